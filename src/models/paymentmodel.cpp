#include "paymentmodel.h"

#include "database.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcPayments, "darvelinto.payments")

namespace {

// Amounts are doubles: an invoice of 0.1 + 0.2 paid as 0.1 and 0.2 leaves 5.5e-17 behind. Within
// this margin an invoice counts as settled and a payment as not exceeding the balance.
constexpr double kSettledMargin = 0.000001;

} // namespace

PaymentModel::PaymentModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

QVariantList PaymentModel::getAll()
{
    return m_db->execQuery(QStringLiteral(
        R"(SELECT p.*, t.full_name as tenant_name, b.full_name as buyer_name, i.invoice_number,
                  COALESCE(payUnit.unit_number, invUnit.unit_number) as unit_number,
                  COALESCE(payProperty.name, invProperty.name) as property_name
           FROM payments p
           LEFT JOIN tenants t ON p.tenant_id=t.id
           LEFT JOIN buyers b ON p.buyer_id=b.id
           LEFT JOIN invoices i ON p.invoice_id=i.id
           LEFT JOIN units invUnit ON i.unit_id=invUnit.id
           LEFT JOIN properties invProperty ON invUnit.property_id=invProperty.id
           LEFT JOIN units payUnit ON p.unit_id=payUnit.id
           LEFT JOIN properties payProperty ON payUnit.property_id=payProperty.id
           ORDER BY p.payment_date DESC)"));
}

QVariantList PaymentModel::getRecent(int limit)
{
    return m_db->execQuery(QStringLiteral(
                               R"(SELECT p.*, t.full_name as tenant_name, b.full_name as buyer_name,
                                         COALESCE(payUnit.unit_number, invUnit.unit_number) as unit_number,
                                         COALESCE(payProperty.name, invProperty.name) as property_name
                                  FROM payments p
                                  LEFT JOIN tenants t ON p.tenant_id=t.id
                                  LEFT JOIN buyers b ON p.buyer_id=b.id
                                  LEFT JOIN invoices i ON p.invoice_id=i.id
                                  LEFT JOIN units invUnit ON i.unit_id=invUnit.id
                                  LEFT JOIN properties invProperty ON invUnit.property_id=invProperty.id
                                  LEFT JOIN units payUnit ON p.unit_id=payUnit.id
                                  LEFT JOIN properties payProperty ON payUnit.property_id=payProperty.id
                                  ORDER BY p.payment_date DESC LIMIT ?)"),
        { limit });
}

QVariantList PaymentModel::getByTenant(int tenantId)
{
    return m_db->execQuery(
        QStringLiteral("SELECT * FROM payments WHERE tenant_id=? ORDER BY payment_date DESC"), { tenantId });
}

int PaymentModel::add(int invoiceId, int tenantId, double amount, const QString& method, const QString& date,
    const QString& ref, int currId)
{
    if (!std::isfinite(amount) || amount <= 0) {
        qCWarning(lcPayments) << "refused a payment of" << amount;
        return -1;
    }
    // Statements and the dashboard read payment dates as "yyyy-MM-dd" text; a year before 1
    // ("-2025-03-15" parses) would sort before every other date.
    const QDate paid = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    if (!paid.isValid() || paid.year() < 1) {
        qCWarning(lcPayments) << "refused a payment dated" << date;
        return -1;
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return -1;

    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT tenant_id, balance, status FROM invoices WHERE id=?"), { invoiceId });
    if (rows.isEmpty())
        return -1;
    const QVariantMap invoice = rows.first().toMap();
    // Money paid on someone else's invoice would lower one tenant's balance for another's debt.
    if (invoice.value(QStringLiteral("tenant_id")).toInt() != tenantId
        || invoice.value(QStringLiteral("status")).toString() == QLatin1String("void"))
        return -1;
    if (amount > invoice.value(QStringLiteral("balance")).toDouble() + kSettledMargin) {
        qCInfo(lcPayments) << "refused an overpayment of invoice" << invoiceId;
        return -1;
    }

    const int id = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO payments (invoice_id,tenant_id,amount,payment_method,payment_date,reference,
                                                currency_id) VALUES (?,?,?,?,?,?,?))"),
        { invoiceId, tenantId, amount, method, date, ref, currId });
    if (id <= 0)
        return -1;
    if (!m_db->execNonQuery(
            QStringLiteral(R"(UPDATE invoices SET paid_amount=paid_amount+?, balance=balance-?,
                              status=CASE WHEN balance-?<=? THEN 'paid' ELSE 'partial' END WHERE id=?)"),
            { amount, amount, amount, kSettledMargin, invoiceId }))
        return -1;
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE tenants SET balance=balance-? WHERE id=?"), { amount, tenantId }))
        return -1;
    if (!transaction.commit())
        return -1;
    emit dataChanged();
    return id;
}
