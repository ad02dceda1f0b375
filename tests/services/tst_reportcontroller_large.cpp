// The reports on a large office file: 240,000 invoices, 250,000 payments, 12,000 installments,
// 5,000 units. The figures are checked against totals worked out by hand from the generator's
// pattern. With DARVELINTO_REPORT_TIMINGS=1 each call is also timed against the reference SQL of
// the same report run raw and a table is printed (never asserted: the machine is shared).
#include "clock.h"
#include "reportcontroller.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <functional>

namespace {

/*
 * The generator's pattern, from which every expected figure below is worked out:
 * - 50 properties of 100 units each; unit i lies in property (i-1)/100+1 on floor ((i-1)%100)/10+1,
 *   area 50 + (i%5)*10, list price 100000; i%10 in 0..5 rented, 6..7 sold (agreed 95000), 8..9
 *   available. Every property, floor and unit has its cost centre.
 * - 2,000 tenants, 1,000 buyers, 100 contractors.
 * - 240,000 invoices of 1000: invoice k for tenant k%2000+1 on unit k%5000+1, created on the first
 *   of month k%48 counted from January 2022; k%4 = 0 pending, 1 partial (400 paid), 2..3 paid.
 * - 240,000 rent payments of 100, payment j against invoice j; 10,000 buyer payments of 500 on
 *   sold units, half of them down payments; dates cycle over 1,400 days from 2022-01-01.
 * - 12,000 installments of 1000 on sold units; n%3 = 0 paid, 1 partial (400), 2 pending; due on
 *   the first of month n%36 counted from January 2023.
 * - 12,000 cheques of 200, 20,000 expenses of 50 (half of them on a unit).
 */
const char* const kGenerator[] = {
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50)
       INSERT INTO properties (name) SELECT 'مشروع ' || i FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)
       INSERT INTO units (property_id, unit_number, floor, area, sale_price, sale_price_actual, status, currency_id)
       SELECT (i - 1) / 100 + 1, CAST(i AS TEXT), ((i - 1) % 100) / 10 + 1, 50 + (i % 5) * 10, 100000,
              CASE WHEN i % 10 IN (6, 7) THEN 95000 END,
              CASE WHEN i % 10 < 6 THEN 'rented' WHEN i % 10 < 8 THEN 'sold' ELSE 'available' END, 1
       FROM n)",
    R"(INSERT INTO cost_centers (name, type, property_id) SELECT name, 'project', id FROM properties ORDER BY id)",
    R"(WITH RECURSIVE f(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM f WHERE x < 10)
       INSERT INTO cost_centers (name, type, property_id, parent_id)
       SELECT 'الطابق ' || f.x, 'floor', p.id, p.id FROM properties p CROSS JOIN f ORDER BY p.id, f.x)",
    // Project nodes are ids 1..50, floor nodes 51..550 in property and floor order.
    R"(INSERT INTO cost_centers (name, type, property_id, unit_id, parent_id)
       SELECT 'شقة / وحدة ' || unit_number, 'unit', property_id, id, 50 + (property_id - 1) * 10 + floor FROM units ORDER BY id)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
       INSERT INTO tenants (full_name) SELECT 'مستأجر ' || i FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
       INSERT INTO buyers (full_name) SELECT 'مشتري ' || i FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100)
       INSERT INTO contractors (name) SELECT 'مقاول ' || i FROM n)",
    R"(WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 240000)
       INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, total_amount, paid_amount, balance, status,
                             currency_id, due_date, created_at)
       SELECT 'INV-' || k, k % 2000 + 1, k % 5000 + 1, strftime('%Y-%m', date('2022-01-01', '+' || (k % 48) || ' months')),
              1000, CASE k % 4 WHEN 0 THEN 0 WHEN 1 THEN 400 ELSE 1000 END,
              CASE k % 4 WHEN 0 THEN 1000 WHEN 1 THEN 600 ELSE 0 END,
              CASE k % 4 WHEN 0 THEN 'pending' WHEN 1 THEN 'partial' ELSE 'paid' END, 1,
              date('2022-01-28', '+' || (k % 48) || ' months'),
              date('2022-01-01', '+' || (k % 48) || ' months') || ' 08:00:00'
       FROM n)",
    R"(WITH RECURSIVE n(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM n WHERE j < 240000)
       INSERT INTO payments (invoice_id, tenant_id, amount, payment_date, reference, currency_id)
       SELECT j, j % 2000 + 1, 100, date('2022-01-01', '+' || (j % 1400) || ' days'), 'R' || j, 1 FROM n)",
    R"(WITH RECURSIVE n(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM n WHERE j < 10000)
       INSERT INTO payments (buyer_id, unit_id, amount, payment_date, notes, currency_id, is_down_payment)
       SELECT j % 1000 + 1, (j % 500) * 10 + 6, 500, date('2022-01-01', '+' || (j % 1400) || ' days'),
              CASE WHEN j % 2 = 0 THEN 'دفعة مقدمة / بيع وحدة: ' || ((j % 500) * 10 + 6) ELSE 'تحصيل قسط - معرف: ' || j END, 1,
              1 - j % 2
       FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12000)
       INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, paid_amount, status, due_date, currency_id)
       SELECT i % 1000 + 1, (i % 500) * 10 + 6 + i % 2, 95000, 1000,
              CASE i % 3 WHEN 0 THEN 1000 WHEN 1 THEN 400 ELSE 0 END,
              CASE i % 3 WHEN 0 THEN 'paid' WHEN 1 THEN 'partial' ELSE 'pending' END,
              date('2023-01-01', '+' || (i % 36) || ' months'), 1
       FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12000)
       INSERT INTO cheques (cheque_number, amount, status, due_date, buyer_id, installment_id, currency_id)
       SELECT CAST(100000 + i AS TEXT), 200, CASE i % 3 WHEN 0 THEN 'paid' WHEN 1 THEN 'bounced' ELSE 'pending' END,
              date('2023-01-01', '+' || (i % 36) || ' months'), i % 1000 + 1, i, 1
       FROM n)",
    R"(WITH RECURSIVE n(e) AS (SELECT 1 UNION ALL SELECT e + 1 FROM n WHERE e < 20000)
       INSERT INTO expenses (property_id, unit_id, contractor_id, category, amount, expense_date)
       SELECT e % 50 + 1, CASE WHEN e % 2 = 1 THEN (e % 50) * 100 + (e % 100) + 1 END, e % 100 + 1, 'صيانة', 50,
              date('2022-01-01', '+' || (e % 1400) || ' days')
       FROM n)",
};

struct Reference
{
    QString sql;
    QVariantList params;
};

// Runs a statement straight on the connection and reads every value, as a page would.
qint64 runRaw(QSqlDatabase db, const Reference& ref)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(ref.sql);
    for (int i = 0; i < ref.params.size(); ++i)
        query.bindValue(i, ref.params.at(i));
    if (!query.exec())
        qFatal("reference query failed: %s", qPrintable(query.lastError().text()));
    qint64 cells = 0;
    const int columns = query.record().count();
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            cells += query.value(c).isValid() ? 1 : 0;
    }
    return cells;
}

// Milliseconds of one run.
template <typename F> double elapsed(F&& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

class TestReportControllerLarge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        Clock::setToday(QDate(2025, 6, 15));
        m_db = std::make_unique<TestDatabase>();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(m_db->db()->beginTransaction());
        for (const char* sql : kGenerator)
            QVERIFY2(m_db->db()->execNonQuery(QString::fromUtf8(sql)), sql);
        QVERIFY(m_db->db()->commitTransaction());
        qInfo("generated the large file in %lld ms", timer.elapsed());
        // A copy to look at query plans by hand: DARVELINTO_LARGE_DB_COPY=/tmp/large.db
        const QString copy = qEnvironmentVariable("DARVELINTO_LARGE_DB_COPY");
        if (!copy.isEmpty())
            QVERIFY(m_db->db()->execNonQuery(QStringLiteral("VACUUM INTO ?"), { copy }));
        m_reports = std::make_unique<ReportController>(m_db->db());
    }

    void cleanupTestCase()
    {
        printTimings();
        m_reports.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void fileHasTheIntendedSize()
    {
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 240000);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 250000);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 12000);
        QCOMPARE(m_db->count(QStringLiteral("units")), 5000);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 5550);
    }

    void cashFigures()
    {
        // 240,000 x 100 rent + 10,000 x 500 sale money; 20,000 x 50 expenses.
        const QVariantMap all = timed("getProfitLoss()", [&] { return QVariant(m_reports->getProfitLoss()); },
            { { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM payments"), {} },
                { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses"),
                    {} } }).toMap();
        QCOMPARE(all.value("revenue").toDouble(), 29000000.0);
        QCOMPARE(all.value("expenses").toDouble(), 1000000.0);

        // 2023-01-01 is day 365 of the cycle: days 365..729 hold a year of payment dates. Payment j
        // falls on day j%1400; 240000 = 171 x 1400 + 600, so days 1..600 get 172 payments and the
        // others 171. Days 365..600 (236) x 172 + days 601..729 (129) x 171 = 40592 + 22059 = 62651.
        // Buyer payments: 10000 = 7 x 1400 + 200, days 1..200 get 8, the year's 365 days get 7 each.
        const QVariantMap year = timed("getProfitLoss(2023)",
            [&] {
                return QVariant(
                    m_reports->getProfitLoss(QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31")));
            },
            { { QStringLiteral(
                    "SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE payment_date BETWEEN ? AND ?"),
                  { QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31") } },
                { QStringLiteral(
                      "SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE expense_date BETWEEN ? AND ?"),
                    { QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31") } } })
                                     .toMap();
        QCOMPARE(year.value("revenue").toDouble(), 62651 * 100.0 + 365 * 7 * 500.0);

        // Open invoices: 60,000 pending x 1000 + 60,000 partial x 600. Installments: 4,000 pending
        // x 1000 + 4,000 partial x 600.
        const QVariantMap sheet = timed("getBalanceSheet()",
            [&] { return QVariant(m_reports->getBalanceSheet()); },
            { { QStringLiteral("SELECT COALESCE(SUM(balance),0) as t FROM invoices WHERE status!='paid' AND "
                               "status!='void'"),
                  {} },
                { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM payments"), {} },
                { QStringLiteral("SELECT COALESCE(SUM(installment_amount-paid_amount),0) as t FROM "
                                 "installments WHERE status!='paid'"),
                    {} } }).toMap();
        QCOMPARE(sheet.value("receivables").toDouble(), 96000000.0);
        QCOMPARE(sheet.value("installment_receivables").toDouble(), 6400000.0);
        QCOMPARE(sheet.value("total_assets").toDouble(), 96000000.0 + 29000000.0 + 6400000.0);
    }

    void statements()
    {
        // Tenant 1 holds invoices k = 2000, 4000, ..., 240000 (120) and payments j alike (120).
        const QString tenantSql
            = QStringLiteral("SELECT * FROM (SELECT 'فاتورة' as type, i.created_at as date, i.invoice_number "
                             "as ref, i.total_amount as debit, 0 as credit "
                             "FROM invoices i WHERE i.tenant_id=? AND i.status!='void' UNION ALL SELECT "
                             "'دفعة' as type, p.payment_date as date, "
                             "p.reference as ref, 0 as debit, p.amount as credit FROM payments p WHERE "
                             "p.tenant_id=? ) t WHERE 1=1 ");
        const QVariantList tenantRows = timed("getTenantStatement(1)",
            [&] { return QVariant(m_reports->getTenantStatement(1)); },
            { { tenantSql + QStringLiteral(" ORDER BY date"),
                { 1, 1 } } }).toList();
        QCOMPARE(tenantRows.size(), 240);
        timed("getTenantStatement(1, 2023)",
            [&] {
                return QVariant(m_reports->getTenantStatement(
                    1, QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31")));
            },
            { { tenantSql + QStringLiteral(" AND date BETWEEN ? AND ? ORDER BY date"),
                { 1, 1, QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31") } } });

        // Buyer 1 holds installments n = 1000, 2000, ..., 12000.
        const QVariantList buyerRows = timed("getBuyerStatement(1)",
            [&] { return QVariant(m_reports->getBuyerStatement(1)); },
            { { QStringLiteral(
                    "SELECT i.*, u.unit_number, p.name as property_name FROM installments i JOIN units u ON "
                    "i.unit_id=u.id "
                    "JOIN properties p ON u.property_id=p.id WHERE i.buyer_id=?  ORDER BY i.due_date"),
                { 1 } } }).toList();
        QCOMPARE(buyerRows.size(), 12);

        // Contractor 1 is charged expenses e = 100, 200, ..., 20000.
        const QVariantList contractorRows = timed("getContractorStatement(1)",
            [&] { return QVariant(m_reports->getContractorStatement(1)); },
            { { QStringLiteral("SELECT e.*, p.name as property_name, u.unit_number FROM expenses e LEFT JOIN "
                               "properties p ON "
                               "e.property_id=p.id LEFT JOIN units u ON e.unit_id=u.id WHERE "
                               "e.contractor_id=?  ORDER BY e.expense_date DESC"),
                { 1 } } }).toList();
        QCOMPARE(contractorRows.size(), 200);
    }

    void registers()
    {
        const QString chequeSql
            = QStringLiteral("SELECT c.*, cur.symbol as currency_symbol FROM cheques c LEFT JOIN currencies "
                             "cur ON c.currency_id=cur.id WHERE 1=1 ");
        QCOMPARE(timed("getChequeReport()", [&] { return QVariant(m_reports->getChequeReport()); },
                     { { chequeSql + QStringLiteral(" ORDER BY c.due_date"), {} } })
                     .toList()
                     .size(),
            12000);
        // A month of due dates: 12000 / 36 = 333 or 334 cheques, a third of them pending.
        const QVariantList pending = timed("getChequeReport(pending, 2024-03)",
            [&] {
                return QVariant(m_reports->getChequeReport(
                    QStringLiteral("pending"), QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31")));
            },
            { { chequeSql
                    + QStringLiteral(" AND c.status=?  AND c.due_date BETWEEN ? AND? ORDER BY c.due_date"),
                { QStringLiteral("pending"), QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31") } } })
                                         .toList();
        // 2024-03 is month 14 of the cycle: i = 14, 50, ..., i%36 = 14 gives 333 cheques with
        // i%3 = 2 for i = 14 + 36t when t%3 = 0 (14%3 = 2, 36t%3 = 0): all 333... of which pending
        // are those with i%3 = 2, i.e. every one of them.
        QCOMPARE(pending.size(), 333);

        // Every overdue installment is pending or partial and due before 2025-06-01: months 0..29
        // of the cycle (2023-01 .. 2025-06 first day is month 29, due 2025-06-01 < 2025-06-15).
        // 12000 = 333 x 36 + 12: months 0..11 have 334 installments, the rest 333. Months 0..29:
        // 12 x 334 + 18 x 333 = 10002; two thirds unpaid... by i%3 of i = m + 36t.
        const QVariantList overdue = timed("getOverdueInstallments()",
            [&] { return QVariant(m_reports->getOverdueInstallments()); },
            { { QStringLiteral("SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as "
                               "property_name FROM installments i "
                               "JOIN buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id JOIN "
                               "properties p ON u.property_id=p.id "
                               "WHERE i.status!='paid' AND i.due_date < ? ORDER BY i.due_date"),
                { QStringLiteral(
                    "2025-06-15") } } }).toList();
        // i = m + 36t with m in 0..29 and i in 1..12000: i%3 = m%3 since 36t%3 = 0. Months with
        // m%3 != 0 are unpaid: m in 1,2,4,5,...,28,29 (20 months): m 1,2,4,5,7,8,10,11 have 334
        // (m < 12), the other 12 have 333. 8 x 334 + 12 x 333 = 2672 + 3996 = 6668.
        QCOMPARE(overdue.size(), 6668);
    }

    void monthsAndProperties()
    {
        const QVariantList months = timed("getMonthlyReport(2023)",
            [&] { return QVariant(m_reports->getMonthlyReport(QStringLiteral("2023"))); },
            { { QStringLiteral(
                    "SELECT strftime('%m', payment_date) as month, SUM(amount) as revenue FROM payments "
                    "WHERE "
                    "strftime('%Y', payment_date)=? GROUP BY strftime('%m', payment_date) ORDER BY month"),
                { QStringLiteral(
                    "2023") } } }).toList();
        QCOMPARE(months.size(), 12);
        double total = 0;
        for (const QVariant& month : months)
            total += month.toMap().value("revenue").toDouble();
        QCOMPARE(total, 62651 * 100.0 + 365 * 7 * 500.0);

        const QVariantList comparison = timed("getPropertyComparison()",
            [&] { return QVariant(m_reports->getPropertyComparison()); },
            { { QStringLiteral("SELECT p.name, p.id, (SELECT COUNT(*) FROM units WHERE property_id=p.id) as "
                               "units, (SELECT COUNT(*) FROM "
                               "units WHERE property_id=p.id AND status='rented') as rented, (SELECT "
                               "COUNT(*) FROM units WHERE "
                               "property_id=p.id AND status='sold') as sold, (SELECT "
                               "COALESCE(SUM(pay.amount),0) FROM payments pay JOIN "
                               "invoices i ON pay.invoice_id=i.id JOIN units u ON i.unit_id=u.id WHERE "
                               "u.property_id=p.id) as income, "
                               "(SELECT COALESCE(SUM(amount),0) FROM expenses WHERE property_id=p.id) as "
                               "expenses FROM properties p ORDER "
                               "BY income DESC"),
                {} } }).toList();
        QCOMPARE(comparison.size(), 50);
        // Invoice k lies on unit k%5000+1: each unit carries 48 invoices, a property 4800, each
        // paid once with 100. Expenses: 400 per property.
        for (const QVariant& row : comparison) {
            QCOMPARE(row.toMap().value("income").toDouble(), 480000.0);
            QCOMPARE(row.toMap().value("units").toInt(), 100);
            QCOMPARE(row.toMap().value("rented").toInt(), 60);
            QCOMPARE(row.toMap().value("sold").toInt(), 20);
            QCOMPARE(row.toMap().value("expenses").toDouble(), 20000.0);
        }
    }

    void projects()
    {
        const QVariantMap project = timed(
            "getProjectDetailedFinancials(1)",
            [&] { return QVariant(m_reports->getProjectDetailedFinancials(1)); }, projectReference(1))
                                        .toMap();
        // 20 sold units at 95000; 20 available at 100000; expenses 400 x 50.
        QCOMPARE(project.value("total_sales_value").toDouble(), 1900000.0);
        QCOMPARE(project.value("unsold_value").toDouble(), 2000000.0);
        QCOMPARE(project.value("total_expenses").toDouble(), 20000.0);
        QCOMPARE(project.value("total_units").toInt(), 100);
        QCOMPARE(project.value("sold_units").toInt(), 20);

        const QVariantMap unit = timed(
            "getUnitProfitability(6)", [&] { return QVariant(m_reports->getUnitProfitability(6)); },
            unitReference(6))
                                     .toMap();
        QCOMPARE(unit.value("sale_price").toDouble(), 95000.0);

        const QVariantList nodes = timed(
            "getProjectCostCenters(1)", [&] { return QVariant(m_reports->getProjectCostCenters(1)); },
            costCentreReference(1))
                                       .toList();
        QCOMPARE(nodes.size(), 111);

        timed(
            "getPropertyProfitability(1)", [&] { return QVariant(m_reports->getPropertyProfitability(1)); },
            propertyProfitabilityReference(1, QString(), QString()));
        timed(
            "getPropertyProfitability(1, 2023)",
            [&] {
                return QVariant(m_reports->getPropertyProfitability(
                    1, QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31")));
            },
            propertyProfitabilityReference(1, QStringLiteral("2023-01-01"), QStringLiteral("2023-12-31")));
    }

    void insights()
    {
        const QVariantList cards
            = timed("getAIInsights()", [&] { return QVariant(m_reports->getAIInsights()); },
                {
                    { QStringLiteral("SELECT COUNT(*) as total, SUM(CASE WHEN status='rented' THEN 1 ELSE 0 "
                                     "END) as rented, SUM(CASE WHEN "
                                     "status='sold' THEN 1 ELSE 0 END) as sold FROM units"),
                        {} },
                    { QStringLiteral("SELECT COALESCE(SUM(balance),0) as overdue FROM invoices WHERE "
                                     "status!='paid' AND status!='void' AND "
                                     "due_date < ?"),
                        { QStringLiteral("2025-06-15") } },
                    { QStringLiteral("SELECT COUNT(*) as c, COALESCE(SUM(installment_amount-paid_amount),0) "
                                     "as t FROM installments WHERE "
                                     "status!='paid' AND due_date < ?"),
                        { QStringLiteral("2025-06-15") } },
                    { QStringLiteral("SELECT COUNT(*) as c, COALESCE(SUM(amount),0) as t FROM cheques WHERE "
                                     "status='pending' AND due_date <= ?"),
                        { QStringLiteral("2025-06-22") } },
                })
                  .toList();
        QCOMPARE(cards.size(), 4);
        QCOMPARE(cards.at(0).toMap().value("description").toString(),
            QStringLiteral("نسبة الإشغال 60% (3000/5000 وحدة). يمكن تحسين الإشغال."));

        const QVariantMap analysis
            = timed("getSmartAIAnalysis()", [&] { return QVariant(m_reports->getSmartAIAnalysis()); },
                {
                    { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM payments"), {} },
                    { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses"), {} },
                    { QStringLiteral("SELECT status, COUNT(*) as cnt FROM units GROUP BY status"), {} },
                    { QStringLiteral("SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as "
                                     "property_name FROM installments i JOIN "
                                     "buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id JOIN "
                                     "properties p ON u.property_id=p.id WHERE "
                                     "i.status!='paid' AND i.due_date < ? ORDER BY i.due_date"),
                        { QStringLiteral("2025-06-15") } },
                    { QStringLiteral(
                          "SELECT COUNT(*) as cnt FROM cheques WHERE status='pending' AND due_date <= ?"),
                        { QStringLiteral("2025-06-22") } },
                })
                  .toMap();
        QCOMPARE(analysis.value("occupancy").toDouble(), 80.0);
        QVERIFY(analysis.value("text").toString().contains(QStringLiteral("**29000000 ₪**")));
    }

private:
    QList<Reference> projectReference(int pid) const
    {
        const QVariantList p { pid };
        return {
            { QStringLiteral("SELECT COALESCE(SUM(CASE WHEN sale_price_actual > 0 THEN sale_price_actual "
                             "ELSE sale_price END),0) as t FROM "
                             "units WHERE property_id=? AND status='sold'"),
                p },
            { QStringLiteral("SELECT COALESCE(SUM(paid_amount),0) as t FROM installments i JOIN units u ON "
                             "i.unit_id=u.id WHERE u.property_id=?"),
                p },
            { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE is_down_payment = 1 "
                             "AND unit_id IN (SELECT id FROM units WHERE property_id=?)"),
                p },
            { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=?"), p },
            { QStringLiteral("SELECT COALESCE(SUM(sale_price),0) as t FROM units WHERE property_id=? AND "
                             "status='available'"),
                p },
            { QStringLiteral("SELECT COUNT(*) as total, SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END) as "
                             "sold FROM units WHERE property_id=?"),
                p },
            { QStringLiteral("SELECT COALESCE(SUM(CASE WHEN sale_price_actual > 0 THEN sale_price_actual "
                             "ELSE sale_price END),0) as revenue, "
                             "COALESCE(SUM((SELECT COALESCE(SUM(amount),0) FROM expenses e WHERE "
                             "e.unit_id=u.id)),0) as direct_cost FROM "
                             "units u WHERE u.property_id=? AND u.status='sold'"),
                p },
        };
    }

    QList<Reference> unitReference(int uid) const
    {
        const QVariantMap unit = m_db->db()->getById(QStringLiteral("units"), uid);
        const QVariantList property { unit.value("property_id") };
        return {
            { QStringLiteral("SELECT * FROM units WHERE id=?"), { uid } },
            { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE unit_id=?"), { uid } },
            { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=? AND "
                             "unit_id IS NULL"),
                property },
            { QStringLiteral("SELECT COALESCE(SUM(area),1) as t FROM units WHERE property_id=?"), property },
        };
    }

    // The tree's nodes, then each node's own figures one by one.
    QList<Reference> costCentreReference(int pid) const
    {
        QList<Reference> refs {
            { QStringLiteral(
                  "SELECT cc.*, p.name as property_name, u.unit_number, u.floor FROM cost_centers cc LEFT "
                  "JOIN properties p ON cc.property_id=p.id LEFT JOIN units u ON cc.unit_id=u.id WHERE "
                  "cc.property_id=? ORDER BY CASE cc.type WHEN 'project' THEN 0 WHEN 'floor' THEN 1 ELSE "
                  "2 END, cc.parent_id, cc.id"),
                { pid } }
        };
        for (const QVariant& value : m_db->db()->execQuery(
                 QStringLiteral("SELECT id, type, unit_id FROM cost_centers WHERE property_id=?"), { pid })) {
            const QVariantMap node = value.toMap();
            const QString type = node.value("type").toString();
            if (type == QLatin1String("project")) {
                refs += projectReference(pid);
            } else if (type == QLatin1String("floor")) {
                refs += { QStringLiteral("SELECT COALESCE(SUM(CASE WHEN u.sale_price_actual > 0 THEN "
                                         "u.sale_price_actual ELSE u.sale_price "
                                         "END),0) as t FROM units u WHERE u.id IN (SELECT unit_id FROM "
                                         "cost_centers WHERE parent_id=? AND "
                                         "unit_id IS NOT NULL) AND u.status='sold'"),
                    { node.value("id") } };
                refs += { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE unit_id IN "
                                         "(SELECT unit_id FROM "
                                         "cost_centers WHERE parent_id=? AND unit_id IS NOT NULL)"),
                    { node.value("id") } };
            } else {
                refs += unitReference(node.value("unit_id").toInt());
            }
        }
        return refs;
    }

    QList<Reference> propertyProfitabilityReference(int pid, const QString& from, const QString& to) const
    {
        const bool ranged = !from.isEmpty() && !to.isEmpty();
        const QVariantList params = ranged ? QVariantList { pid, from, to } : QVariantList { pid };
        return {
            { QStringLiteral("SELECT COALESCE(SUM(p.amount),0) as t FROM payments p JOIN invoices i ON "
                             "p.invoice_id=i.id JOIN units u ON "
                             "i.unit_id=u.id WHERE u.property_id=? ")
                    + (ranged ? QStringLiteral(" AND p.payment_date BETWEEN ? AND ?") : QString()),
                params },
            { QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=? ")
                    + (ranged ? QStringLiteral(" AND expense_date BETWEEN ? AND ?") : QString()),
                params },
            { QStringLiteral("SELECT COALESCE(SUM(paid_amount),0) as t FROM installments inst JOIN units u "
                             "ON inst.unit_id=u.id WHERE "
                             "u.property_id=?"),
                { pid } },
        };
    }

    QVariant timed(const char* name, const std::function<QVariant()>& call, const QList<Reference>& reference)
    {
        if (!m_measure)
            return call();
        // Interleaved and repeated, best of each: the machine is shared, so single runs are noisy.
        QVariant result;
        double report = 1e12;
        double raw = 1e12;
        double spent = 0;
        for (int run = 0; run < 15 && (run < 3 || spent < 400); ++run) {
            const double r = elapsed([&] { result = call(); });
            const double q = elapsed([&] {
                for (const Reference& ref : reference)
                    runRaw(m_db->db()->getDb(), ref);
            });
            report = qMin(report, r);
            raw = qMin(raw, q);
            spent += r + q;
        }
        m_timings << QStringLiteral("%1 %2 ms  %3 ms  %4")
                         .arg(QString::fromLatin1(name), -36)
                         .arg(report, 9, 'f', 2)
                         .arg(raw, 9, 'f', 2)
                         .arg(raw > 0 ? report / raw : 0, 6, 'f', 2);
        return result;
    }

    void printTimings() const
    {
        if (!m_measure)
            return;
        qInfo("%-36s %12s %12s %6s", "report", "controller", "reference", "ratio");
        for (const QString& line : m_timings)
            qInfo("%s", qPrintable(line));
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ReportController> m_reports;
    QStringList m_timings;
    const bool m_measure = qEnvironmentVariableIsSet("DARVELINTO_REPORT_TIMINGS");
};

QTEST_GUILESS_MAIN(TestReportControllerLarge)
#include "tst_reportcontroller_large.moc"
