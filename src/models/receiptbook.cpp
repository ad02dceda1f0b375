#include "receiptbook.h"

#include "database.h"
#include "money.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcReceipts, "darvelinto.receipts")

ReceiptBook::ReceiptBook(Database* db)
    : m_db(db)
{ }

qint64 ReceiptBook::drawNumber()
{
    // The counter row is written by the schema's migration; without it no number can be drawn.
    if (!m_db->execNonQuery(QStringLiteral("UPDATE counters SET value = value + 1 WHERE name = 'receipt'")))
        return 0;
    const qint64 number
        = m_db->scalar(QStringLiteral("SELECT value FROM counters WHERE name = 'receipt'")).toLongLong();
    return number > 0 ? number : 0;
}

qint64 ReceiptBook::issue(int paymentId, double balanceAfter, const QVariant& installmentId)
{
    const qint64 number = drawNumber();
    if (number <= 0) {
        qCWarning(lcReceipts) << "no receipt counter in the file; payment" << paymentId << "refused";
        return 0;
    }
    const QString clerk = m_db->actingUser();
    const int id = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO receipts (receipt_number, payment_id, installment_id, balance_after, issued_by)
                          VALUES (?,?,?,?,?))"),
        { number, paymentId, installmentId.isValid() ? installmentId : QVariant(),
            Money::roundToCents(balanceAfter), clerk.isNull() ? QStringLiteral("") : clerk });
    return id > 0 ? number : 0;
}
