#include "paymentmodel.h"

#include "bookkeeper.h"
#include "database.h"
#include "listpaging.h"
#include "money.h"
#include "receiptbook.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcPayments, "darvelinto.payments")

namespace {

// The names a payment is shown with: its payer, and its unit and property, which a buyer's payment
// carries itself and a tenant's takes from its invoice. Joined to payments as "p".
const QString kNamedColumns = QStringLiteral(
    R"( t.full_name as tenant_name, b.full_name as buyer_name,
        COALESCE(payUnit.unit_number, invUnit.unit_number) as unit_number,
        COALESCE(payProperty.name, invProperty.name) as property_name )");
const QString kNameJoins = QStringLiteral(R"(
           LEFT JOIN tenants t ON p.tenant_id=t.id
           LEFT JOIN buyers b ON p.buyer_id=b.id
           LEFT JOIN invoices i ON p.invoice_id=i.id
           LEFT JOIN units invUnit ON i.unit_id=invUnit.id
           LEFT JOIN properties invProperty ON invUnit.property_id=invProperty.id
           LEFT JOIN units payUnit ON p.unit_id=payUnit.id
           LEFT JOIN properties payProperty ON payUnit.property_id=payProperty.id )");

} // namespace

PaymentModel::PaymentModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList PaymentModel::getAll()
{
    static const QString sql = QStringLiteral("SELECT p.*, i.invoice_number,") + kNamedColumns
        + QStringLiteral("FROM payments p") + kNameJoins + QStringLiteral("ORDER BY p.payment_date DESC");
    return m_db->execQuery(sql);
}

QVariantList PaymentModel::getRecent(int limit)
{
    static const QString sql = QStringLiteral("SELECT p.*,") + kNamedColumns
        + QStringLiteral("FROM payments p") + kNameJoins
        + QStringLiteral("ORDER BY p.payment_date DESC LIMIT ?");
    return m_db->execQuery(sql, { limit });
}

QVariantList PaymentModel::getPage(int offset, int limit, const QString& search)
{
    // The page is chosen first, on the payment rows alone, and only its rows are joined to their
    // names. Without a search the date index (whose entries end in the rowid) hands the rows over
    // in order, so OFFSET skips index entries only. A search reads every row anyway: the unary
    // plus keeps the planner off the date index, whose order would cost a table lookup per row,
    // and the few matches are sorted instead. The names, invoice numbers and units a text names
    // are matched once in sub-selects; a buyer's unit is on the payment, a tenant's on the invoice.
    static const QString matching = QStringLiteral(
        R"(WHERE f.reference LIKE ? ESCAPE '\' OR f.payment_date LIKE ? ESCAPE '\'
              OR f.tenant_id IN (SELECT id FROM tenants WHERE full_name LIKE ? ESCAPE '\')
              OR f.buyer_id IN (SELECT id FROM buyers WHERE full_name LIKE ? ESCAPE '\')
              OR f.unit_id IN (SELECT su.id FROM units su JOIN properties sp ON su.property_id=sp.id
                               WHERE su.unit_number LIKE ? ESCAPE '\' OR sp.name LIKE ? ESCAPE '\')
              OR f.invoice_id IN (SELECT si.id FROM invoices si
                                  WHERE si.invoice_number LIKE ? ESCAPE '\'
                                     OR si.unit_id IN (SELECT su.id FROM units su
                                                       JOIN properties sp ON su.property_id=sp.id
                                                       WHERE su.unit_number LIKE ? ESCAPE '\'
                                                          OR sp.name LIKE ? ESCAPE '\'))
           ORDER BY +f.payment_date DESC, f.id DESC )");
    static const QString inDateOrder = QStringLiteral("ORDER BY f.payment_date DESC, f.id DESC ");

    const QString pattern = ListPaging::containsPattern(search);
    QVariantList params;
    if (!pattern.isEmpty()) {
        for (int i = 0; i < 9; ++i)
            params << pattern;
    }
    params << ListPaging::limit(limit) << ListPaging::offset(offset);
    return m_db->execQuery(QStringLiteral("SELECT p.*, i.invoice_number,") + kNamedColumns
            + QStringLiteral("FROM (SELECT f.id, f.payment_date FROM payments f ")
            + (pattern.isEmpty() ? inDateOrder : matching)
            + QStringLiteral("LIMIT ? OFFSET ?) page JOIN payments p ON p.id=page.id") + kNameJoins
            + QStringLiteral("ORDER BY page.payment_date DESC, p.id DESC"),
        params);
}

QVariantList PaymentModel::getByTenant(int tenantId)
{
    return m_db->execQuery(
        QStringLiteral("SELECT * FROM payments WHERE tenant_id=? ORDER BY payment_date DESC"), { tenantId });
}

int PaymentModel::add(int invoiceId, int tenantId, double amount, const QString& method, const QString& date,
    const QString& ref, int currId, const QString& bank)
{
    clearRefusal();
    // Kept in whole hundredths, so that paying the balance leaves exactly 0 on the invoice.
    if (!Money::isAmount(amount) || Money::toCents(amount) <= 0) {
        qCWarning(lcPayments) << "refused a payment of" << amount;
        return refuseRow(QStringLiteral("مبلغ الدفعة يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
    }
    const qint64 cents = Money::toCents(amount);
    // Statements and the dashboard read payment dates as "yyyy-MM-dd" text; a year before 1
    // ("-2025-03-15" parses) would sort before every other date.
    const QDate paid = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    if (!paid.isValid() || paid.year() < 1) {
        qCWarning(lcPayments) << "refused a payment dated" << date;
        return refuseRow(QStringLiteral("تاريخ الدفعة يُكتب بالشكل YYYY-MM-DD"));
    }
    TransactionGuard transaction(m_db);
    // The invoice is held until the payment is committed: a second desk paying it meanwhile
    // reads the balance this one leaves.
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("invoices"), invoiceId))
        return refuseUnsavedRow();

    // An invoice that names no currency (written by older versions) is in the primary one.
    const QVariantList rows
        = m_db->execQuery(QStringLiteral(R"(SELECT tenant_id, paid_amount, balance, status,
                                 COALESCE(currency_id, (SELECT id FROM currencies WHERE is_primary=1
                                                        ORDER BY id LIMIT 1)) AS currency_id
                          FROM invoices WHERE id=?)"),
            { invoiceId });
    if (rows.isEmpty())
        return refuseRow(QStringLiteral("الفاتورة غير موجودة"));
    const QVariantMap invoice = rows.first().toMap();
    // Money paid on someone else's invoice would lower one tenant's balance for another's debt.
    if (invoice.value(QStringLiteral("tenant_id")).toInt() != tenantId)
        return refuseRow(QStringLiteral("الفاتورة ليست على هذا المستأجر"));
    if (invoice.value(QStringLiteral("status")).toString() == QLatin1String("void"))
        return refuseRow(QStringLiteral("الفاتورة ملغاة ولا تقبل دفعات"));
    // Amounts of two currencies cannot be added up: the invoice's balance would mix them.
    if (invoice.value(QStringLiteral("currency_id")).toInt() != currId) {
        qCWarning(lcPayments) << "refused a payment in currency" << currId << "on invoice" << invoiceId
                              << "in currency" << invoice.value(QStringLiteral("currency_id")).toInt();
        return refuseRow(QStringLiteral("الدفعة بعملة غير عملة الفاتورة"));
    }
    const qint64 open = Money::toCents(invoice.value(QStringLiteral("balance")).toDouble());
    if (cents > open) {
        qCInfo(lcPayments) << "refused an overpayment of invoice" << invoiceId;
        return refuseRow(open == 0 ? QStringLiteral("الفاتورة مدفوعة بالكامل")
                                   : QStringLiteral("المبلغ أكبر من المتبقي على الفاتورة (%1)")
                                         .arg(Money::display(Money::fromCents(open), QString())));
    }

    const int id = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO payments (invoice_id,tenant_id,amount,payment_method,payment_date,reference,
                                                currency_id,bank_name) VALUES (?,?,?,?,?,?,?,?))"),
        { invoiceId, tenantId, Money::fromCents(cents), method, date, ref, currId,
            bank.trimmed().isEmpty() ? QVariant() : QVariant(bank.trimmed()) });
    if (id <= 0)
        return refuseUnsavedRow();
    const qint64 paidBefore = Money::toCents(invoice.value(QStringLiteral("paid_amount")).toDouble());
    const qint64 left = open - cents;
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE invoices SET paid_amount=?, balance=?, status=? WHERE id=?"),
            { Money::fromCents(paidBefore + cents), Money::fromCents(left),
                left == 0 ? QStringLiteral("paid") : QStringLiteral("partial"), invoiceId }))
        return refuseUnsavedRow();
    if (!m_db->execNonQuery(QStringLiteral("UPDATE tenants SET balance=") + Money::movedByCentsSql("balance")
                + QStringLiteral(" WHERE id=?"),
            { -cents, tenantId }))
        return refuseUnsavedRow();
    const BookKeeper::Result posted = BookKeeper(m_db).postTenantPayment(
        id, invoiceId, cents, method, date, invoice.value(QStringLiteral("currency_id")), open);
    if (!posted.ok) {
        qCWarning(lcPayments) << "payment on invoice" << invoiceId << "not posted:" << posted.refusal;
        return posted.refusal.isEmpty() ? refuseUnsavedRow() : refuseRow(posted.refusal);
    }
    if (ReceiptBook(m_db).issue(id, Money::fromCents(left)) <= 0)
        return refuseUnsavedRow();
    if (!transaction.commit())
        return refuseUnsavedRow();
    emit dataChanged();
    return id;
}
