#include "depositbook.h"

#include "bookkeeper.h"
#include "database.h"
#include "money.h"
#include "receiptbook.h"

#include <QDate>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDeposits, "darvelinto.deposits")

DepositBook::DepositBook(Database* db)
    : m_db(db)
{ }

bool DepositBook::isDay(const QString& text)
{
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return day.isValid() && day.year() > 0 && day.toString(QStringLiteral("yyyy-MM-dd")) == text;
}

bool DepositBook::refuse(const QString& reason)
{
    m_refusal = reason;
    return false;
}

qint64 DepositBook::heldCents(int contractId) const
{
    return m_db
        ->scalar(QStringLiteral(R"(
            SELECT COALESCE(SUM(CASE WHEN kind IN ('received', 'carried_in') THEN 1 ELSE -1 END
                                * ROUND(amount * 100)), 0)
            FROM deposit_movements WHERE contract_id = ?)"),
            { contractId })
        .toLongLong();
}

bool DepositBook::isSettled(int contractId) const
{
    return m_db
        ->scalar(QStringLiteral("SELECT 1 FROM deposit_settlements WHERE contract_id = ?"), { contractId })
        .isValid();
}

int DepositBook::write(int contractId, const QString& kind, qint64 cents, const QVariant& currencyId,
    const QString& date, const QVariantMap& details)
{
    const auto detail = [&details](const char* key) {
        const QVariant value = details.value(QLatin1String(key));
        return value.isValid() ? value : QVariant();
    };
    const qint64 heldBefore = heldCents(contractId);
    qint64 receipt = 0;
    if (kind == QLatin1String("received")) {
        receipt = ReceiptBook(m_db).drawNumber();
        if (receipt <= 0)
            return 0;
    }
    const QString clerk = m_db->actingUser();
    const int id = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO deposit_movements (contract_id, kind, amount, currency_id, movement_date, payment_method,
                                       reference, bank_name, reason, payment_id, related_contract_id,
                                       settlement_id, receipt_number, issued_by)
        VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?))"),
        { contractId, kind, Money::fromCents(cents), currencyId, date, detail("method"), detail("reference"),
            detail("bank"), detail("reason"), detail("payment_id"), detail("related_contract_id"),
            detail("settlement_id"), receipt > 0 ? QVariant(receipt) : QVariant(),
            clerk.isNull() ? QStringLiteral("") : clerk });
    if (id <= 0)
        return 0;
    if (kind == QLatin1String("received") || kind == QLatin1String("refund")
        || kind == QLatin1String("damage")) {
        const BookKeeper::Result posted = BookKeeper(m_db).postDeposit(id, contractId, kind, cents,
            details.value(QStringLiteral("method")).toString(), date, currencyId, heldBefore);
        if (!posted.ok) {
            qCWarning(lcDeposits) << "deposit movement of contract" << contractId
                                  << "not posted:" << posted.refusal;
            refuse(posted.refusal);
            return 0;
        }
    }
    return id;
}

int DepositBook::receive(int contractId, qint64 cents, const QString& method, const QString& date,
    const QString& reference, const QString& bank)
{
    if (cents <= 0 || cents > Money::toCents(Money::kMaxAmount))
        return refuse(QStringLiteral("مبلغ التأمين يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
    if (!isDay(date))
        return refuse(QStringLiteral("التاريخ يُكتب بالشكل YYYY-MM-DD"));
    const QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT deposit, COALESCE(currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))
               AS currency_id
        FROM contracts WHERE id = ?)"),
        { contractId });
    if (rows.isEmpty())
        return refuse(QStringLiteral("العقد غير موجود"));
    if (isSettled(contractId))
        return refuse(QStringLiteral("سُوّي تأمين هذا العقد من قبل"));
    const QVariantMap contract = rows.first().toMap();
    const qint64 agreed = Money::toCents(contract.value(QStringLiteral("deposit")).toDouble());
    const qint64 held = heldCents(contractId);
    if (held + cents > agreed) {
        qCInfo(lcDeposits) << "refused a deposit of" << cents << "on contract" << contractId << "holding"
                           << held << "of" << agreed;
        return refuse(
            QStringLiteral("المبلغ يتجاوز التأمين المتفق عليه في العقد (المتبقي %1)")
                .arg(Money::display(Money::fromCents(std::max<qint64>(0, agreed - held)), QString())));
    }
    return write(contractId, QStringLiteral("received"), cents, contract.value(QStringLiteral("currency_id")),
        date,
        { { QStringLiteral("method"),
              method.trimmed().isEmpty() ? QStringLiteral("cash") : method.trimmed() },
            { QStringLiteral("reference"), reference.trimmed() },
            { QStringLiteral("bank"), bank.trimmed().isEmpty() ? QVariant() : QVariant(bank.trimmed()) } });
}

bool DepositBook::carry(int fromContract, int toContract, const QString& date)
{
    const qint64 held = heldCents(fromContract);
    if (held <= 0)
        return true;
    const QVariant currency
        = m_db->scalar(QStringLiteral("SELECT COALESCE(currency_id, (SELECT id FROM currencies WHERE "
                                      "is_primary=1 ORDER BY id LIMIT 1)) "
                                      "FROM contracts WHERE id = ?"),
            { fromContract });
    return write(fromContract, QStringLiteral("carried_out"), held, currency, date,
               { { QStringLiteral("related_contract_id"), toContract } })
        > 0
        && write(toContract, QStringLiteral("carried_in"), held, currency, date,
               { { QStringLiteral("related_contract_id"), fromContract } })
        > 0;
}
