// Project financials, unit profitability, the cost-centre tree and property profitability, on
// small projects whose figures are worked out by hand in each test.
#include "clock.h"
#include "money.h"
#include "reportcontroller.h"
#include "reportfixtures.h"
#include "testdatabase.h"

#include <QTest>

class TestReportControllerProjects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void cleanupTestCase() { Clock::setToday(QDate()); }

    void init()
    {
        Clock::setToday(QDate(2025, 6, 15));
        m_db = std::make_unique<TestDatabase>();
        m_fx = std::make_unique<ReportFixtures>(m_db->db());
        m_reports = std::make_unique<ReportController>(m_db->db());
    }
    void cleanup()
    {
        m_reports.reset();
        m_fx.reset();
        m_db.reset();
    }

    void projectExampleFigures()
    {
        // One sold unit (no agreed price, list 100000), one available (list 80000), expenses 30000
        // of which 5000 on the sold unit, 20000 collected on installments, a down payment of 10000.
        const int project = buildExampleProject();

        const QVariantMap f = m_reports->getProjectDetailedFinancials(project, QString(), QString());
        QCOMPARE(f.value("total_sales_value").toDouble(), 100000.0);
        QCOMPARE(f.value("total_revenue").toDouble(), 100000.0);
        QCOMPARE(f.value("total_collected").toDouble(), 30000.0);
        QCOMPARE(f.value("total_expenses").toDouble(), 30000.0);
        QCOMPARE(f.value("unsold_value").toDouble(), 80000.0);
        QCOMPARE(f.value("expected_profit").toDouble(), 150000.0);
        QCOMPARE(f.value("net_cash_flow").toDouble(), 0.0);
        QCOMPARE(f.value("realized_profit").toDouble(), 70000.0);
        QCOMPARE(f.value("cash_sales").toDouble(), 10000.0);
        QCOMPARE(f.value("installment_collections").toDouble(), 20000.0);
        QCOMPARE(f.value("total_units").toInt(), 3);
        QCOMPARE(f.value("sold_units").toInt(), 1);
        QCOMPARE(f.value("sold_direct_cost").toDouble(), 5000.0);
        QCOMPARE(f.size(), 13);
    }

    void downPaymentsAreKnownByTheirFlagNotTheirNotes()
    {
        const int project = m_fx->property(QStringLiteral("مشروع"));
        const int sold = m_fx->unit(project, QStringLiteral("1"), QStringLiteral("sold"), 50000);
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int reworded = m_fx->downPayment(buyer, sold, 4000, QStringLiteral("2025-01-01"));
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE payments SET notes = 'عربون' WHERE id = ?"), { reworded }));
        // A collection whose notes happen to read like a down payment is not one.
        m_fx->buyerPayment(
            buyer, sold, 700, QStringLiteral("2025-02-01"), QStringLiteral("دفعة مقدمة / بيع وحدة: 1"));
        QCOMPARE(m_reports->getProjectDetailedFinancials(project).value("cash_sales").toDouble(), 4000.0);
    }

    void projectRangeChangesNothing()
    {
        const int project = buildExampleProject();
        const QVariantMap all = m_reports->getProjectDetailedFinancials(project);
        QCOMPARE(m_reports->getProjectDetailedFinancials(
                     project, QStringLiteral("2030-01-01"), QStringLiteral("2030-12-31")),
            all);
        QCOMPARE(
            m_reports->getProjectDetailedFinancials(project, QStringLiteral("bad"), QStringLiteral("range")),
            all);
    }

    void projectUsesTheAgreedPriceWhenThereIsOne()
    {
        const int project = m_fx->property(QStringLiteral("مشروع"));
        m_fx->unit(project, QStringLiteral("1"), QStringLiteral("sold"), 100000, 95000);
        m_fx->unit(project, QStringLiteral("2"), QStringLiteral("sold"), 50000, 0);
        m_fx->unit(project, QStringLiteral("3"), QStringLiteral("available"), 70000, 65000);
        const QVariantMap f = m_reports->getProjectDetailedFinancials(project);
        QCOMPARE(f.value("total_sales_value").toDouble(), 145000.0);
        // An available unit is valued at its list price.
        QCOMPARE(f.value("unsold_value").toDouble(), 70000.0);
        QCOMPARE(f.value("sold_units").toInt(), 2);
    }

    void unknownProjectHasZeroFigures()
    {
        const QVariantMap f = m_reports->getProjectDetailedFinancials(4242);
        QCOMPARE(f.value("total_sales_value").toDouble(), 0.0);
        QCOMPARE(f.value("total_collected").toDouble(), 0.0);
        QCOMPARE(f.value("expected_profit").toDouble(), 0.0);
        QCOMPARE(f.value("total_units").toInt(), 0);
        QCOMPARE(f.value("sold_units").toInt(), 0);
        QVERIFY(m_reports->getProjectCostCenters(4242).isEmpty());
        const QVariantMap p = m_reports->getPropertyProfitability(4242);
        QCOMPARE(p.value("income").toDouble(), 0.0);
        QCOMPARE(p.value("margin").toDouble(), 0.0);
    }

    void unitProfitabilitySpreadsOverheadsByArea_data()
    {
        QTest::addColumn<QVariant>("area");
        QTest::addColumn<double>("allocated");
        // Project: this unit X plus Y of 200 and Z of 300; overheads 1000. The three shares are
        // whole cents adding up to 1000; a cent left by rounding down goes to the largest remainder.
        // 100 of 600: 166.666.. -> 166.67 (Y 333.33, Z 500).
        QTest::newRow("area 100") << QVariant(100.0) << 166.67;
        // No area: weighs as the average known area, 250 of 750 (Y 266.67, Z 400).
        QTest::newRow("area 0 is not known") << QVariant(0.0) << 333.33;
        QTest::newRow("missing area") << QVariant() << 333.33;
        // 0.25 of 500.25: 0.49975 -> 0.50, taking the cent (Y 399.80, Z 599.70).
        QTest::newRow("area below one is its own") << QVariant(0.25) << 0.50;
    }

    void unitProfitabilitySpreadsOverheadsByArea()
    {
        QFETCH(QVariant, area);
        QFETCH(double, allocated);
        const int project = m_fx->property(QStringLiteral("مشروع"));
        const int unit
            = m_fx->unit(project, QStringLiteral("X"), QStringLiteral("available"), 60000, 0, area);
        const int other = m_fx->unit(project, QStringLiteral("Y"), QStringLiteral("sold"), 50000, 0, 200.0);
        const int third
            = m_fx->unit(project, QStringLiteral("Z"), QStringLiteral("available"), 40000, 0, 300.0);
        m_fx->expense(project, QVariant(), 600, QStringLiteral("2025-01-01"));
        m_fx->expense(project, QVariant(), 400, QStringLiteral("2025-02-01"));
        m_fx->expense(project, unit, 150, QStringLiteral("2025-03-01"));
        m_fx->expense(project, other, 99, QStringLiteral("2025-03-01"));

        const QVariantMap p = m_reports->getUnitProfitability(unit);
        QCOMPARE(p.keys(),
            QStringList({ "allocated_expenses", "direct_expenses", "profit", "sale_price", "total_cost" }));
        QCOMPARE(p.value("sale_price").toDouble(), 60000.0);
        QCOMPARE(p.value("direct_expenses").toDouble(), 150.0);
        QCOMPARE(p.value("allocated_expenses").toDouble(), allocated);
        QCOMPARE(p.value("total_cost").toDouble(), 150 + allocated);
        QCOMPARE(p.value("profit").toDouble(), 60000 - 150 - allocated);
        double shared = 0;
        for (int id : { unit, other, third })
            shared += m_reports->getUnitProfitability(id).value("allocated_expenses").toDouble();
        QVERIFY(Money::sameCents(shared, 1000));
    }

    void unitProfitabilitySplitsOverheadsEvenlyWithoutAnyArea()
    {
        // No unit of the project has an area: the 900 of overheads are shared, not charged in full
        // to each of the three units.
        const int project = m_fx->property(QStringLiteral("مشروع"));
        const int a
            = m_fx->unit(project, QStringLiteral("1"), QStringLiteral("sold"), 1000, QVariant(), QVariant());
        const int b
            = m_fx->unit(project, QStringLiteral("2"), QStringLiteral("available"), 1000, QVariant(), 0.0);
        const int c = m_fx->unit(
            project, QStringLiteral("3"), QStringLiteral("rented"), 1000, QVariant(), QVariant());
        m_fx->expense(project, QVariant(), 900, QStringLiteral("2025-01-01"));
        m_fx->expense(project, b, 40, QStringLiteral("2025-01-02"));

        QCOMPARE(m_reports->getUnitProfitability(a).value("allocated_expenses").toDouble(), 300.0);
        QCOMPARE(m_reports->getUnitProfitability(b).value("allocated_expenses").toDouble(), 300.0);
        QCOMPARE(m_reports->getUnitProfitability(b).value("total_cost").toDouble(), 340.0);
        QCOMPARE(m_reports->getUnitProfitability(c).value("profit").toDouble(), 700.0);
    }

    void unitProfitabilityUsesTheAgreedPriceAndKnowsOnlyRealUnits()
    {
        const int project = m_fx->property(QStringLiteral("مشروع"));
        const int unit
            = m_fx->unit(project, QStringLiteral("1"), QStringLiteral("sold"), 100000, 95000, 100.0);
        const QVariantMap p = m_reports->getUnitProfitability(unit);
        QCOMPARE(p.value("sale_price").toDouble(), 95000.0);
        QCOMPARE(p.value("allocated_expenses").toDouble(), 0.0);
        QCOMPARE(p.value("profit").toDouble(), 95000.0);
        QVERIFY(m_reports->getUnitProfitability(unit + 100).isEmpty());
    }

    void costCentreTreeShowsFloorsAndUnits()
    {
        // Project with floor 1 (A sold at 120000 agreed, B available at 90000), floor 2 (C sold at
        // its list price 70000) and a ground-floor unit G hung on the project. Areas 100, 100, 50,
        // 50 (total 300); overheads 3000; direct expenses A 1000, B 500, C 200.
        const int project = m_fx->property(QStringLiteral("برج الياسمين"));
        const int a
            = m_fx->unit(project, QStringLiteral("A"), QStringLiteral("sold"), 100000, 120000, 100.0, 1);
        const int b = m_fx->unit(
            project, QStringLiteral("B"), QStringLiteral("available"), 90000, QVariant(), 100.0, 1);
        const int c
            = m_fx->unit(project, QStringLiteral("C"), QStringLiteral("sold"), 70000, QVariant(), 50.0, 2);
        const int g
            = m_fx->unit(project, QStringLiteral("G"), QStringLiteral("rented"), 0, QVariant(), 50.0, 0);
        const int root = m_fx->costCenter(QStringLiteral("برج الياسمين"), QStringLiteral("project"), project);
        const int floor1 = m_fx->costCenter(
            QStringLiteral("الطابق 1"), QStringLiteral("floor"), project, QVariant(), root);
        const int floor2 = m_fx->costCenter(
            QStringLiteral("الطابق 2"), QStringLiteral("floor"), project, QVariant(), root);
        const int ccA
            = m_fx->costCenter(QStringLiteral("شقة / وحدة A"), QStringLiteral("unit"), project, a, floor1);
        const int ccB
            = m_fx->costCenter(QStringLiteral("شقة / وحدة B"), QStringLiteral("unit"), project, b, floor1);
        const int ccC
            = m_fx->costCenter(QStringLiteral("شقة / وحدة C"), QStringLiteral("unit"), project, c, floor2);
        const int ccG
            = m_fx->costCenter(QStringLiteral("شقة / وحدة G"), QStringLiteral("unit"), project, g, root);
        m_fx->expense(project, QVariant(), 3000, QStringLiteral("2025-01-01"));
        m_fx->expense(project, a, 1000, QStringLiteral("2025-01-02"));
        m_fx->expense(project, b, 500, QStringLiteral("2025-01-03"));
        m_fx->expense(project, c, 200, QStringLiteral("2025-01-04"));
        // Another project's tree stays out.
        const int elsewhere = m_fx->property(QStringLiteral("غيره"));
        m_fx->costCenter(QStringLiteral("غيره"), QStringLiteral("project"), elsewhere);

        const QVariantList nodes = m_reports->getProjectCostCenters(project);
        QList<int> ids;
        for (const QVariant& node : nodes)
            ids << node.toMap().value("id").toInt();
        // Project, floors, then the other nodes by parent and id.
        QCOMPARE(ids, QList<int>({ root, floor1, floor2, ccG, ccA, ccB, ccC }));

        struct Expected
        {
            double revenue, expenses, profit;
        };
        const QList<Expected> expected {
            { 190000, 4700, 185300 }, // sold A + C; every expense of the project
            { 120000, 1500, 118500 }, // floor 1: only sold A earns; A and B's direct expenses
            { 70000, 200, 69800 }, // floor 2
            { 0, 500, -500 }, // G: its 50/300 of the overheads
            { 120000, 2000, 118000 }, // A: 1000 direct + 1000 overheads
            { 90000, 1500, 88500 }, // B shows its list price although unsold
            { 70000, 700, 69300 }, // C: 200 + 500
        };
        for (int i = 0; i < nodes.size(); ++i) {
            const QVariantMap node = nodes.at(i).toMap();
            QCOMPARE(node.value("revenue").toDouble(), expected.at(i).revenue);
            QCOMPARE(node.value("expenses").toDouble(), expected.at(i).expenses);
            QCOMPARE(node.value("profit").toDouble(), expected.at(i).profit);
            QCOMPARE(node.value("property_name").toString(), QStringLiteral("برج الياسمين"));
        }
        const QVariantMap unitNode = nodes.at(4).toMap();
        QCOMPARE(unitNode.value("unit_number").toString(), QStringLiteral("A"));
        QCOMPARE(unitNode.value("floor").toInt(), 1);
        QCOMPARE(unitNode.value("parent_id").toInt(), floor1);
        QCOMPARE(unitNode.value("name").toString(), QStringLiteral("شقة / وحدة A"));
        QVERIFY(nodes.at(1).toMap().value("unit_number").isNull());
    }

    void propertyProfitabilityWithAndWithoutRange()
    {
        const int property = m_fx->property(QStringLiteral("برج"));
        const int rented = m_fx->unit(property, QStringLiteral("1"), QStringLiteral("rented"));
        const int sold = m_fx->unit(property, QStringLiteral("2"), QStringLiteral("sold"), 50000);
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int invoice = m_fx->invoice(
            tenant, rented, 3000, 2000, QStringLiteral("partial"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(invoice, tenant, 800, QStringLiteral("2025-02-10"));
        m_fx->rentPayment(invoice, tenant, 1200, QStringLiteral("2025-03-31"));
        m_fx->installment(buyer, sold, 1500, 1500, QStringLiteral("paid"), QStringLiteral("2024-01-01"));
        m_fx->installment(buyer, sold, 1500, 500, QStringLiteral("partial"), QStringLiteral("2026-01-01"));
        // A down payment carries no invoice: not income here.
        m_fx->downPayment(buyer, sold, 10000, QStringLiteral("2025-03-05"));
        m_fx->expense(property, QVariant(), 500, QStringLiteral("2025-03-01"));
        m_fx->expense(property, rented, 300, QStringLiteral("2025-04-01"));

        // Rent 2000 + installments 2000; expenses 800.
        const QVariantMap all = m_reports->getPropertyProfitability(property, QString(), QString());
        QCOMPARE(all.keys(), QStringList({ "expenses", "income", "margin", "profit" }));
        QCOMPARE(all.value("income").toDouble(), 4000.0);
        QCOMPARE(all.value("expenses").toDouble(), 800.0);
        QCOMPARE(all.value("profit").toDouble(), 3200.0);
        QCOMPARE(all.value("margin").toDouble(), 80.0);

        // March: rent 1200 (the 31st is in) + every installment collected 2000; expenses 500.
        const QVariantMap march = m_reports->getPropertyProfitability(
            property, QStringLiteral("2025-03-01"), QStringLiteral("2025-03-31"));
        QCOMPARE(march.value("income").toDouble(), 3200.0);
        QCOMPARE(march.value("expenses").toDouble(), 500.0);
        QCOMPARE(march.value("profit").toDouble(), 2700.0);
        QCOMPARE(march.value("margin").toDouble(), 84.375);

        // Nothing earned: no margin, not a division by zero.
        const int bare = m_fx->property(QStringLiteral("أرض"));
        m_fx->expense(bare, QVariant(), 100, QStringLiteral("2025-01-01"));
        const QVariantMap loss = m_reports->getPropertyProfitability(bare);
        QCOMPARE(loss.value("profit").toDouble(), -100.0);
        QCOMPARE(loss.value("margin").toDouble(), 0.0);
    }

private:
    int buildExampleProject()
    {
        const int project = m_fx->property(QStringLiteral("مشروع الواحة"));
        const int sold = m_fx->unit(project, QStringLiteral("S1"), QStringLiteral("sold"), 100000, 0.0);
        m_fx->unit(project, QStringLiteral("A1"), QStringLiteral("available"), 80000);
        // A rented unit counts among the units but in neither the sold nor the unsold value.
        const int rented = m_fx->unit(project, QStringLiteral("R1"), QStringLiteral("rented"), 65000);
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        m_fx->expense(project, QVariant(), 25000, QStringLiteral("2025-01-10"));
        m_fx->expense(project, sold, 5000, QStringLiteral("2025-02-10"));
        m_fx->installment(buyer, sold, 50000, 20000, QStringLiteral("partial"), QStringLiteral("2025-03-01"));
        m_fx->downPayment(buyer, sold, 10000, QStringLiteral("2025-01-01"));
        // Neither the collection's own payment row nor rent is a down payment.
        m_fx->buyerPayment(
            buyer, sold, 20000, QStringLiteral("2025-03-01"), QStringLiteral("تحصيل قسط - معرف: 1"));
        const int invoice
            = m_fx->invoice(tenant, rented, 900, 900, QStringLiteral("paid"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(invoice, tenant, 900, QStringLiteral("2025-03-05"));
        // Another project's sale stays out.
        const int other = m_fx->property(QStringLiteral("غيره"));
        const int otherUnit = m_fx->unit(other, QStringLiteral("S1"), QStringLiteral("sold"), 1);
        m_fx->downPayment(buyer, otherUnit, 777, QStringLiteral("2025-01-01"));
        return project;
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ReportFixtures> m_fx;
    std::unique_ptr<ReportController> m_reports;
};

QTEST_GUILESS_MAIN(TestReportControllerProjects)
#include "tst_reportcontroller_projects.moc"
