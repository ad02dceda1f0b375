#include "reportfixtures.h"

#include "clock.h"
#include "database.h"

namespace {

QVariant idOrNull(int id)
{
    return id > 0 ? QVariant(id) : QVariant(QMetaType::fromType<int>());
}

} // namespace

ReportFixtures::ReportFixtures(Database* db)
    : m_db(db)
{ }

QString ReportFixtures::day(int days)
{
    return Clock::today().addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
}

double ReportFixtures::sumOf(const QVariantList& rows, const QString& key)
{
    double sum = 0;
    for (const QVariant& row : rows)
        sum += row.toMap().value(key).toDouble();
    return sum;
}

QString ReportFixtures::figures(const QVariantMap& row, const QString& keys)
{
    QStringList values;
    for (const QString& key : keys.split(QLatin1Char(' ')))
        values << row.value(key).toString();
    return values.join(QLatin1Char(' '));
}

int ReportFixtures::insert(const QString& sql, const QVariantList& params)
{
    const int id = m_db->execInsert(sql, params);
    if (id <= 0)
        qFatal("report fixture insert failed: %s", qPrintable(sql));
    return id;
}

int ReportFixtures::property(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { name });
}

int ReportFixtures::unit(int propertyId, const QString& number, const QString& status, double salePrice,
    const QVariant& salePriceActual, const QVariant& area, const QVariant& floor)
{
    return insert(QStringLiteral("INSERT INTO units (property_id, unit_number, status, sale_price, "
                                 "sale_price_actual, area, floor) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        { propertyId, number, status, salePrice, salePriceActual, area, floor });
}

int ReportFixtures::tenant(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { name });
}

int ReportFixtures::buyer(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO buyers (full_name) VALUES (?)"), { name });
}

int ReportFixtures::contractor(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO contractors (name) VALUES (?)"), { name });
}

int ReportFixtures::contract(int unitId, int tenantId, const QString& endDate, const QString& status)
{
    const QDate end = QDate::fromString(endDate, Qt::ISODate);
    return insert(
        QStringLiteral("INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, "
                       "status) VALUES (?, ?, ?, ?, 1000, ?)"),
        { unitId, tenantId, end.addYears(-1).toString(Qt::ISODate), endDate, status });
}

int ReportFixtures::maintenance(int unitId, const QString& status, const QString& createdAt)
{
    return insert(QStringLiteral("INSERT INTO maintenance_requests (unit_id, title, status, created_at) "
                                 "VALUES (?, ?, ?, ?)"),
        { unitId, createdAt, status, createdAt });
}

int ReportFixtures::invoice(int tenantId, const QVariant& unitId, double total, double paid,
    const QString& status, const QString& dueDate, const QString& createdAt)
{
    const QString number = QStringLiteral("INV-T-%1").arg(++m_invoiceSeq, 4, 10, QLatin1Char('0'));
    return insert(
        QStringLiteral(
            "INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, total_amount, paid_amount, "
            "balance, status, currency_id, due_date, created_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?)"),
        { number, idOrNull(tenantId), unitId, dueDate.left(7), total, paid, total - paid, status, dueDate,
            createdAt });
}

int ReportFixtures::rentPayment(
    int invoiceId, int tenantId, double amount, const QString& date, const QString& reference)
{
    return insert(
        QStringLiteral("INSERT INTO payments (invoice_id, tenant_id, amount, payment_date, reference, "
                       "currency_id) VALUES (?, ?, ?, ?, ?, 1)"),
        { invoiceId, tenantId, amount, date, reference });
}

int ReportFixtures::buyerPayment(
    int buyerId, int unitId, double amount, const QString& date, const QString& notes)
{
    return insert(QStringLiteral("INSERT INTO payments (buyer_id, unit_id, amount, payment_date, notes, "
                                 "currency_id) VALUES (?, ?, ?, ?, ?, 1)"),
        { buyerId, unitId, amount, date, notes });
}

int ReportFixtures::downPayment(int buyerId, int unitId, double amount, const QString& date)
{
    return insert(QStringLiteral("INSERT INTO payments (buyer_id, unit_id, amount, payment_date, notes, "
                                 "currency_id, is_down_payment) VALUES (?, ?, ?, ?, ?, 1, 1)"),
        { buyerId, unitId, amount, date, QStringLiteral("دفعة مقدمة / بيع وحدة: %1").arg(unitId) });
}

int ReportFixtures::payment(double amount, const QString& date)
{
    return insert(
        QStringLiteral("INSERT INTO payments (amount, payment_date) VALUES (?, ?)"), { amount, date });
}

int ReportFixtures::installment(
    int buyerId, int unitId, double amount, double paid, const QString& status, const QString& dueDate)
{
    return insert(
        QStringLiteral("INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, "
                       "paid_amount, status, due_date, currency_id) VALUES (?, ?, ?, ?, ?, ?, ?, 1)"),
        { buyerId, unitId, amount, amount, paid, status, dueDate });
}

int ReportFixtures::cheque(const Cheque& c)
{
    return insert(
        QStringLiteral("INSERT INTO cheques (cheque_number, type, amount, due_date, status, buyer_id, "
                       "tenant_id, installment_id, currency_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1)"),
        { c.number, c.type, c.amount, c.due, c.status, idOrNull(c.buyerId), idOrNull(c.tenantId),
            idOrNull(c.installmentId) });
}

int ReportFixtures::expense(const QVariant& propertyId, const QVariant& unitId, double amount,
    const QString& date, const QVariant& contractorId)
{
    return insert(
        QStringLiteral("INSERT INTO expenses (property_id, unit_id, contractor_id, category, amount, "
                       "expense_date) VALUES (?, ?, ?, ?, ?, ?)"),
        { propertyId, unitId, contractorId, QStringLiteral("صيانة"), amount, date });
}

int ReportFixtures::costCenter(const QString& name, const QString& type, int propertyId,
    const QVariant& unitId, const QVariant& parentId)
{
    return insert(QStringLiteral("INSERT INTO cost_centers (name, type, property_id, unit_id, parent_id) "
                                 "VALUES (?, ?, ?, ?, ?)"),
        { name, type, propertyId, unitId, parentId });
}
