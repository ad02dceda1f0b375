#include "dashboardfixtures.h"

#include "clock.h"
#include "database.h"

#include <QSqlDriver>
#include <QTest>
#include <sqlite3.h>

namespace {

// 0 stands for "no reference" and is written as NULL, as the models do.
QVariant idOrNull(int id)
{
    return id > 0 ? QVariant(id) : QVariant(QMetaType::fromType<int>());
}

} // namespace

DashboardFixtures::DashboardFixtures(Database* db)
    : m_db(db)
{ }

int DashboardFixtures::insert(const QString& sql, const QVariantList& params)
{
    const int id = m_db->execInsert(sql, params);
    if (id <= 0)
        QTest::qFail(qPrintable(QStringLiteral("fixture insert refused: ") + sql), __FILE__, __LINE__);
    return id;
}

QString DashboardFixtures::day(int days)
{
    return Clock::today().addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
}

int DashboardFixtures::property(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { name });
}

int DashboardFixtures::unit(int propertyId, const QString& number, const QString& status)
{
    return insert(QStringLiteral("INSERT INTO units (property_id, unit_number, status) VALUES (?, ?, ?)"),
        { propertyId, number, status });
}

int DashboardFixtures::tenant(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { name });
}

int DashboardFixtures::buyer(const QString& name)
{
    return insert(QStringLiteral("INSERT INTO buyers (full_name) VALUES (?)"), { name });
}

int DashboardFixtures::contract(int unitId, int tenantId, const QDate& end, const QString& status)
{
    return insert(QStringLiteral(
                      "INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, status) "
                      "VALUES (?, ?, ?, ?, ?, ?)"),
        { unitId, tenantId, end.addYears(-1).toString(Qt::ISODate), end.toString(Qt::ISODate), 1000.0,
            status });
}

int DashboardFixtures::invoice(const Invoice& invoice)
{
    const QString due = invoice.dueDate.isEmpty() ? invoice.period + QStringLiteral("-28") : invoice.dueDate;
    return insert(
        QStringLiteral("INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, total_amount, "
                       "paid_amount, balance, status, due_date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        { invoice.number, idOrNull(invoice.tenantId), idOrNull(invoice.unitId), invoice.period, invoice.total,
            invoice.paid, invoice.total - invoice.paid, invoice.status, due });
}

int DashboardFixtures::payment(const Payment& payment)
{
    return insert(QStringLiteral(
                      "INSERT INTO payments (invoice_id, tenant_id, buyer_id, unit_id, amount, payment_date) "
                      "VALUES (?, ?, ?, ?, ?, ?)"),
        { idOrNull(payment.invoiceId), idOrNull(payment.tenantId), idOrNull(payment.buyerId),
            idOrNull(payment.unitId), payment.amount, payment.date.toString(Qt::ISODate) });
}

int DashboardFixtures::maintenance(
    int unitId, const QString& title, const QString& status, const QString& createdAt)
{
    return insert(
        QStringLiteral(
            "INSERT INTO maintenance_requests (unit_id, title, status, created_at) VALUES (?, ?, ?, ?)"),
        { unitId, title, status, createdAt });
}

int DashboardFixtures::installment(
    int buyerId, int unitId, double amount, const QDate& due, const QString& status, double paid)
{
    return insert(
        QStringLiteral("INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, "
                       "due_date, paid_amount, status) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        { buyerId, unitId, amount * 10, amount, due.toString(Qt::ISODate), paid, status });
}

int DashboardFixtures::cheque(const Cheque& cheque)
{
    return insert(
        QStringLiteral("INSERT INTO cheques (cheque_number, type, amount, due_date, status, buyer_id, "
                       "tenant_id, installment_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        { cheque.number, cheque.type, cheque.amount, cheque.due.toString(Qt::ISODate), cheque.status,
            idOrNull(cheque.buyerId), idOrNull(cheque.tenantId), idOrNull(cheque.installmentId) });
}

StatementWork::StatementWork(Database* db)
{
    const QVariant handle = db->getDb().driver()->handle();
    auto* connection = *static_cast<sqlite3* const*>(handle.constData());
    m_handle = connection;
    sqlite3_trace_v2(connection, SQLITE_TRACE_PROFILE, &StatementWork::onTrace, this);
}

StatementWork::~StatementWork()
{
    sqlite3_trace_v2(static_cast<sqlite3*>(m_handle), 0, nullptr, nullptr);
}

void StatementWork::reset()
{
    m_steps = 0;
    m_fullScanSteps = 0;
    m_report.clear();
}

int StatementWork::onTrace(unsigned type, void* self, void* statement, void*)
{
    if (type != SQLITE_TRACE_PROFILE)
        return 0;
    auto* work = static_cast<StatementWork*>(self);
    auto* stmt = static_cast<sqlite3_stmt*>(statement);
    // Reset the counters as they are read: a statement run twice must not be counted twice.
    const int steps = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 1);
    const int scanned = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
    work->m_steps += steps;
    work->m_fullScanSteps += scanned;
    work->m_report.append(QStringLiteral("%1 steps, %2 scanning: %3")
                              .arg(steps)
                              .arg(scanned)
                              .arg(QString::fromUtf8(sqlite3_sql(stmt)).simplified()));
    return 0;
}
