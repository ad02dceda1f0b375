#include "clock.h"
#include "dashboardcontroller.h"
#include "dashboardfixtures.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <functional>

using Payment = DashboardFixtures::Payment;
using Invoice = DashboardFixtures::Invoice;

class TestDashboardController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<DashboardFixtures> m_fx;
    std::unique_ptr<DashboardController> m_dash;
    std::unique_ptr<QSignalSpy> m_errors;

    void pay(double amount, const QDate& date) { m_fx->payment({ amount, date }); }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        // A Saturday in the middle of March 2025: month arithmetic stays clear of edges unless a
        // test moves the day on purpose.
        Clock::setToday(QDate(2025, 3, 15));
        m_db = std::make_unique<TestDatabase>();
        m_fx = std::make_unique<DashboardFixtures>(m_db->db());
        m_dash = std::make_unique<DashboardController>(m_db->db());
        m_errors = std::make_unique<QSignalSpy>(m_db->db(), &Database::databaseError);
    }

    void cleanup()
    {
        // Every query of the controller must be valid SQL with its dates bound, whatever the data.
        QCOMPARE(m_errors->count(), 0);
        m_errors.reset();
        m_dash.reset();
        m_fx.reset();
        m_db.reset();
        Clock::setToday({});
    }

    void emptyOfficeShowsZeros()
    {
        const QVariantMap stats = m_dash->getStats();
        QCOMPARE(stats.value("totalProperties").toInt(), 0);
        QCOMPARE(stats.value("activeTenants").toInt(), 0);
        QCOMPARE(stats.value("monthlyRevenue").toDouble(), 0.0);
        QCOMPARE(stats.value("pendingMaintenance").toInt(), 0);
        QCOMPARE(stats.value("revenueGrowth").toDouble(), 0.0);
        QCOMPARE(stats.value("occupancyRate").toDouble(), 0.0);
        for (const char* count : { "occupiedUnits", "availableUnits", "outOfServiceUnits", "soldUnits" })
            QCOMPARE(stats.value(count).toInt(), 0);
        QCOMPARE(stats.size(), 10);
        QCOMPARE(m_dash->getOccupancyRate(), 0.0);
        QCOMPARE(m_dash->getCollectionRate(), 0.0);
        QCOMPARE(m_dash->getMonthlyRevenue(), 0.0);
        QVERIFY(m_dash->getRecentPayments().isEmpty());
        QVERIFY(m_dash->getRecentMaintenance().isEmpty());
        QVERIFY(m_dash->getExpiringContracts().isEmpty());
    }

    void headFiguresCountWhatIsLive()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int villas = m_fx->property(QStringLiteral("فلل الياسمين"));
        const int a1 = m_fx->unit(tower, QStringLiteral("A1"), QStringLiteral("rented"));
        const int a2 = m_fx->unit(tower, QStringLiteral("A2"), QStringLiteral("rented"));
        const int v1 = m_fx->unit(villas, QStringLiteral("V1"), QStringLiteral("rented"));
        const int v2 = m_fx->unit(villas, QStringLiteral("V2"));
        const int samir = m_fx->tenant(QStringLiteral("سمير"));
        const int huda = m_fx->tenant(QStringLiteral("هدى"));
        // Samir holds two active contracts and counts twice; Huda's old contract is over.
        m_fx->contract(a1, samir, QDate(2025, 12, 31));
        m_fx->contract(a2, samir, QDate(2025, 12, 31));
        m_fx->contract(v1, huda, QDate(2025, 12, 31));
        m_fx->contract(v2, huda, QDate(2024, 12, 31), QStringLiteral("terminated"));

        m_fx->maintenance(
            a1, QStringLiteral("تسريب"), QStringLiteral("new"), QStringLiteral("2025-03-01 10:00:00"));
        m_fx->maintenance(a2, QStringLiteral("كهرباء"), QStringLiteral("in_progress"),
            QStringLiteral("2025-03-02 10:00:00"));
        m_fx->maintenance(
            v1, QStringLiteral("دهان"), QStringLiteral("completed"), QStringLiteral("2025-03-03 10:00:00"));

        // This month: 1200 + 550.5 = 1750.5. Last month: 1000. Growth (1750.5 - 1000) / 1000 = 75.05 %.
        pay(1200, QDate(2025, 3, 2));
        pay(550.5, QDate(2025, 3, 14));
        pay(1000, QDate(2025, 2, 10));

        const QVariantMap stats = m_dash->getStats();
        QCOMPARE(stats.value("totalProperties").toInt(), 2);
        QCOMPARE(stats.value("activeTenants").toInt(), 3);
        QCOMPARE(stats.value("monthlyRevenue").toDouble(), 1750.5);
        QCOMPARE(stats.value("pendingMaintenance").toInt(), 2);
        QVERIFY(qFuzzyCompare(stats.value("revenueGrowth").toDouble(), 75.05));
        QCOMPARE(stats.value("occupancyRate").toDouble(), 75.0); // 3 of 4 units rented
        QCOMPARE(m_dash->getMonthlyRevenue(), 1750.5);
    }

    void revenueGrowth_data()
    {
        QTest::addColumn<double>("lastMonth");
        QTest::addColumn<double>("thisMonth");
        QTest::addColumn<double>("growth");
        QTest::newRow("nothing last month") << 0.0 << 500.0 << 0.0;
        QTest::newRow("halved") << 1000.0 << 500.0 << -50.0;
        QTest::newRow("doubled and a half") << 400.0 << 1000.0 << 150.0;
        QTest::newRow("nothing this month") << 1000.0 << 0.0 << -100.0;
        QTest::newRow("steady") << 250.0 << 250.0 << 0.0;
        QTest::newRow("quiet") << 0.0 << 0.0 << 0.0;
    }

    void revenueGrowth()
    {
        QFETCH(double, lastMonth);
        QFETCH(double, thisMonth);
        QFETCH(double, growth);
        if (lastMonth > 0)
            pay(lastMonth, QDate(2025, 2, 20));
        if (thisMonth > 0)
            pay(thisMonth, QDate(2025, 3, 5));
        QCOMPARE(m_dash->getStats().value("revenueGrowth").toDouble(), growth);
    }

    void monthEdgesDecideWhichMonthAPaymentBelongsTo()
    {
        pay(600, QDate(2025, 3, 1)); // first of this month: this month
        pay(200, QDate(2025, 2, 28)); // last day of last month: last month only
        pay(200, QDate(2025, 2, 1)); // first of last month: last month
        pay(999, QDate(2025, 1, 31)); // the month before: neither
        QCOMPARE(m_dash->getMonthlyRevenue(), 600.0);
        const QVariantMap stats = m_dash->getStats();
        QCOMPARE(stats.value("monthlyRevenue").toDouble(), 600.0);
        QCOMPARE(stats.value("revenueGrowth").toDouble(), 50.0); // (600 - 400) / 400
    }

    void growthCrossesTheYear()
    {
        Clock::setToday(QDate(2025, 1, 3));
        pay(800, QDate(2024, 12, 31));
        pay(200, QDate(2025, 1, 1));
        pay(5000, QDate(2024, 11, 30));
        QCOMPARE(m_dash->getMonthlyRevenue(), 200.0);
        QCOMPARE(m_dash->getStats().value("revenueGrowth").toDouble(), -75.0); // (200 - 800) / 800
    }

    void occupancyCountsOnlyRentedUnits()
    {
        const int tower = m_fx->property(QStringLiteral("برج"));
        m_fx->unit(tower, QStringLiteral("1"), QStringLiteral("rented"));
        m_fx->unit(tower, QStringLiteral("2"), QStringLiteral("sold"));
        m_fx->unit(tower, QStringLiteral("3"), QStringLiteral("available"));
        QCOMPARE(m_dash->getOccupancyRate(), 100.0 / 3.0);
        QCOMPARE(m_dash->getStats().value("occupancyRate").toDouble(), 100.0 / 3.0);

        m_fx->unit(tower, QStringLiteral("4"), QStringLiteral("rented"));
        QCOMPARE(m_dash->getOccupancyRate(), 50.0);

        // A unit under repair is counted apart: 2 rented of the 4 units in service.
        m_fx->unit(tower, QStringLiteral("5"), QStringLiteral("maintenance"));
        QCOMPARE(m_dash->getOccupancyRate(), 50.0);
        const QVariantMap stats = m_dash->getStats();
        QCOMPARE(stats.value("occupiedUnits").toInt(), 2);
        QCOMPARE(stats.value("availableUnits").toInt(), 1);
        QCOMPARE(stats.value("outOfServiceUnits").toInt(), 1);
        QCOMPARE(stats.value("soldUnits").toInt(), 1);
    }

    void collectionRateCoversLastAndThisPeriodWithoutVoid()
    {
        const int tenant = m_fx->tenant(QStringLiteral("سمير"));
        const int other = m_fx->tenant(QStringLiteral("هدى"));
        // In: 2025-02 (1000 / 1000), 2025-03 (1000 / 600), 2025-03 without tenant (500 / 400).
        m_fx->invoice({ QStringLiteral("INV-1"), tenant, 0, QStringLiteral("2025-02"), 1000, 1000,
            QStringLiteral("paid") });
        m_fx->invoice({ QStringLiteral("INV-2"), tenant, 0, QStringLiteral("2025-03"), 1000, 600,
            QStringLiteral("partial") });
        m_fx->invoice({ QStringLiteral("INV-3"), 0, 0, QStringLiteral("2025-03"), 500, 400,
            QStringLiteral("partial") });
        // Out: an older period, a later period, a void invoice of this period.
        m_fx->invoice({ QStringLiteral("INV-4"), other, 0, QStringLiteral("2025-01"), 500, 0 });
        m_fx->invoice({ QStringLiteral("INV-5"), other, 0, QStringLiteral("2025-04"), 800, 0 });
        m_fx->invoice(
            { QStringLiteral("INV-6"), other, 0, QStringLiteral("2025-03"), 700, 0, QStringLiteral("void") });
        // 2000 paid of 2500 billed.
        QCOMPARE(m_dash->getCollectionRate(), 80.0);
    }

    void collectionRateCrossesTheYear()
    {
        Clock::setToday(QDate(2025, 1, 31));
        const int tenant = m_fx->tenant(QStringLiteral("سمير"));
        m_fx->invoice({ QStringLiteral("INV-1"), tenant, 0, QStringLiteral("2024-12"), 400, 100,
            QStringLiteral("partial") });
        m_fx->invoice({ QStringLiteral("INV-2"), tenant, 0, QStringLiteral("2025-01"), 600, 0 });
        m_fx->invoice({ QStringLiteral("INV-3"), tenant, 0, QStringLiteral("2024-11"), 1000, 1000,
            QStringLiteral("paid") });
        QCOMPARE(m_dash->getCollectionRate(), 10.0); // 100 of 1000
    }

    void collectionRateIgnoresTextThatOnlyLooksLikeAPeriod()
    {
        const int tenant = m_fx->tenant(QStringLiteral("سمير"));
        m_fx->invoice({ QStringLiteral("INV-1"), tenant, 0, QStringLiteral("2025-03"), 200, 50,
            QStringLiteral("partial") });
        // A full date or a quoted text is not the period "2025-03" and must neither count nor
        // break the query.
        m_fx->invoice({ QStringLiteral("INV-2"), tenant, 0, QStringLiteral("2025-03-01"), 900, 0 });
        m_fx->invoice({ QStringLiteral("INV-3"), tenant, 0, QStringLiteral("2025-03' OR '1'='1"), 900, 0 });
        QCOMPARE(m_dash->getCollectionRate(), 25.0);
    }

    void expiringContractsIncludeThePastAndThirtyDays()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int samir = m_fx->tenant(QStringLiteral("سمير"));
        const int huda = m_fx->tenant(QStringLiteral("هدى"));
        const QDate today = Clock::today();
        const int in30 = m_fx->contract(m_fx->unit(tower, QStringLiteral("1")), samir, today.addDays(30));
        m_fx->contract(m_fx->unit(tower, QStringLiteral("2")), huda, today.addDays(31));
        const int lastWeek = m_fx->contract(m_fx->unit(tower, QStringLiteral("3")), huda, today.addDays(-7));
        const int todayEnd = m_fx->contract(m_fx->unit(tower, QStringLiteral("4")), samir, today);
        m_fx->contract(
            m_fx->unit(tower, QStringLiteral("5")), samir, today.addDays(5), QStringLiteral("terminated"));

        const QVariantList rows = m_dash->getExpiringContracts();
        QCOMPARE(columnOf(rows, "id"),
            (QStringList { QString::number(lastWeek), QString::number(todayEnd), QString::number(in30) }));
        const QVariantMap first = rows.first().toMap();
        QCOMPARE(first.value("tenant_name").toString(), QStringLiteral("هدى"));
        QCOMPARE(first.value("unit_number").toString(), QStringLiteral("3"));
        QCOMPARE(first.value("property_name").toString(), QStringLiteral("برج النور"));
        QCOMPARE(first.value("end_date").toString(), QStringLiteral("2025-03-08"));
        QCOMPARE(first.value("status").toString(), QStringLiteral("active"));

        QCOMPARE(m_dash->getExpiringContracts(31).size(), 4);
        QCOMPARE(m_dash->getExpiringContracts(0).size(), 2); // ended last week and today
        QCOMPARE(m_dash->getExpiringContracts(-8).size(), 0);
    }

    void recentPaymentsNewestFirstWithASaleWithoutTenant()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int a1 = m_fx->unit(tower, QStringLiteral("A1"), QStringLiteral("rented"));
        const int b7 = m_fx->unit(tower, QStringLiteral("B7"), QStringLiteral("sold"));
        const int samir = m_fx->tenant(QStringLiteral("سمير"));
        const int buyer = m_fx->buyer(QStringLiteral("ليلى"));
        const int invoice
            = m_fx->invoice({ QStringLiteral("INV-1"), samir, a1, QStringLiteral("2025-03"), 1000, 0 });

        m_fx->payment({ 100, QDate(2025, 3, 1), invoice, samir, 0, a1 });
        m_fx->payment({ 200, QDate(2025, 3, 3), invoice, samir, 0, a1 });
        const int sameDayFirst = m_fx->payment({ 300, QDate(2025, 3, 10), invoice, samir, 0, a1 });
        const int sameDaySecond = m_fx->payment({ 400, QDate(2025, 3, 10), invoice, samir, 0, a1 });
        m_fx->payment({ 50, QDate(2025, 2, 27), invoice, samir, 0, a1 });
        // The down payment of a sale: no invoice and no tenant, though it carries the unit.
        const int downPayment = m_fx->payment({ 25000, QDate(2025, 3, 12), 0, 0, buyer, b7 });

        const QVariantList rows = m_dash->getRecentPayments();
        QCOMPARE(rows.size(), 5);
        QCOMPARE(columnOf(rows, "amount"),
            (QStringList { QStringLiteral("25000"), QStringLiteral("400"), QStringLiteral("300"),
                QStringLiteral("200"), QStringLiteral("100") }));
        const QVariantMap sale = rows.at(0).toMap();
        QCOMPARE(sale.value("id").toInt(), downPayment);
        QVERIFY(sale.value("tenant_name").toString().isEmpty());
        QVERIFY(sale.value("unit_number").toString().isEmpty());
        QVERIFY(sale.value("property_name").toString().isEmpty());
        QCOMPARE(sale.value("buyer_id").toInt(), buyer);
        QCOMPARE(sale.value("unit_id").toInt(), b7);
        QCOMPARE(rows.at(1).toMap().value("id").toInt(), sameDaySecond);
        QCOMPARE(rows.at(2).toMap().value("id").toInt(), sameDayFirst);
        const QVariantMap rent = rows.at(1).toMap();
        QCOMPARE(rent.value("tenant_name").toString(), QStringLiteral("سمير"));
        QCOMPARE(rent.value("unit_number").toString(), QStringLiteral("A1"));
        QCOMPARE(rent.value("property_name").toString(), QStringLiteral("برج النور"));
        QCOMPARE(rent.value("payment_date").toString(), QStringLiteral("2025-03-10"));

        // The sale's money is this month's money too: 100 + 200 + 300 + 400 + 25000.
        QCOMPARE(m_dash->getMonthlyRevenue(), 26000.0);
        QCOMPARE(m_dash->getRecentPayments(2).size(), 2);
        QCOMPARE(m_dash->getRecentPayments(50).size(), 6);
    }

    void listsRefuseANonsenseLimit()
    {
        pay(10, QDate(2025, 3, 1));
        // SQLite would read a negative LIMIT as "everything".
        QVERIFY(m_dash->getRecentPayments(-1).isEmpty());
        QVERIFY(m_dash->getRecentPayments(0).isEmpty());
        QVERIFY(m_dash->getRecentMaintenance(-1).isEmpty());
    }

    void recentMaintenanceNewestFirst()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int a1 = m_fx->unit(tower, QStringLiteral("A1"));
        m_fx->maintenance(
            a1, QStringLiteral("أول"), QStringLiteral("completed"), QStringLiteral("2025-03-01 08:00:00"));
        m_fx->maintenance(
            a1, QStringLiteral("رابع"), QStringLiteral("new"), QStringLiteral("2025-03-09 08:00:00"));
        m_fx->maintenance(
            a1, QStringLiteral("ثاني"), QStringLiteral("new"), QStringLiteral("2025-03-02 08:00:00"));
        m_fx->maintenance(
            a1, QStringLiteral("ثالث"), QStringLiteral("in_progress"), QStringLiteral("2025-03-05 08:00:00"));

        const QVariantList rows = m_dash->getRecentMaintenance();
        QCOMPARE(columnOf(rows, "title"),
            (QStringList { QStringLiteral("رابع"), QStringLiteral("ثالث"), QStringLiteral("ثاني") }));
        QCOMPARE(rows.first().toMap().value("unit_number").toString(), QStringLiteral("A1"));
        QCOMPARE(rows.first().toMap().value("property_name").toString(), QStringLiteral("برج النور"));
        QCOMPARE(m_dash->getRecentMaintenance(10).size(), 4);
    }

    void monthlyCollectionsShowSixMonthsOldestFirst()
    {
        pay(999, QDate(2024, 9, 30)); // before the window
        pay(100, QDate(2024, 10, 1));
        pay(150.25, QDate(2024, 10, 31));
        pay(300, QDate(2024, 12, 15));
        pay(400, QDate(2025, 1, 1));
        pay(600, QDate(2025, 3, 1));
        pay(50, QDate(2025, 3, 31)); // later this month, still this month
        pay(777, QDate(2025, 4, 1)); // after the window

        const QVariantList months = m_dash->getMonthlyCollections();
        QCOMPARE(months.size(), 6);
        QCOMPARE(columnOf(months, "period"),
            (QStringList { "2024-10", "2024-11", "2024-12", "2025-01", "2025-02", "2025-03" }));
        QCOMPARE(columnOf(months, "label"),
            (QStringList { QStringLiteral("أكتوبر"), QStringLiteral("نوفمبر"), QStringLiteral("ديسمبر"),
                QStringLiteral("يناير"), QStringLiteral("فبراير"), QStringLiteral("مارس") }));
        QList<double> values;
        for (const QVariant& month : months)
            values.append(month.toMap().value("value").toDouble());
        QCOMPARE(values, (QList<double> { 250.25, 0, 300, 400, 0, 650 }));
        QCOMPARE(months.first().toMap().size(), 3);
    }

    void monthlyCollectionsWindowSize_data()
    {
        QTest::addColumn<int>("months");
        QTest::addColumn<QStringList>("periods");
        QTest::newRow("this month only") << 1 << QStringList { "2025-03" };
        QTest::newRow("a quarter") << 3 << QStringList { "2025-01", "2025-02", "2025-03" };
        QTest::newRow("none") << 0 << QStringList {};
        QTest::newRow("negative") << -6 << QStringList {};
        QTest::newRow("beyond ten years") << 121 << QStringList {};
    }

    void monthlyCollectionsWindowSize()
    {
        QFETCH(int, months);
        QFETCH(QStringList, periods);
        QCOMPARE(columnOf(m_dash->getMonthlyCollections(months), "period"), periods);
    }

    void workFollowsTheRowsShownNotTheHistory()
    {
        const int tower = m_fx->property(QStringLiteral("برج"));
        QList<int> tenants;
        for (int i = 1; i <= 10; ++i) {
            const int unit = m_fx->unit(
                tower, QString::number(i), i <= 6 ? QStringLiteral("rented") : QStringLiteral("sold"));
            tenants.append(m_fx->tenant(QStringLiteral("مستأجر %1").arg(i)));
            m_fx->contract(unit, tenants.last(), QDate(2025, 3, 1).addMonths(i));
        }
        // Eight years of settled history that no figure of today should have to read.
        QVERIFY(m_db->db()->execNonQuery(QStringLiteral(R"(
            WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
            INSERT INTO invoices (invoice_number, tenant_id, period, total_amount, paid_amount, balance, status, due_date)
            SELECT 'OLD-' || i, ? + i % 10, printf('%04d-%02d', 2015 + i / 400, 1 + i % 12), 100, 100, 0, 'paid',
                   printf('%04d-%02d-28', 2015 + i / 400, 1 + i % 12) FROM n)"),
            { tenants.first() }));
        QVERIFY(m_db->db()->execNonQuery(QStringLiteral(R"(
            WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
            INSERT INTO payments (tenant_id, amount, payment_date)
            SELECT ? + i % 10, 100, printf('%04d-%02d-%02d', 2015 + i / 400, 1 + i % 12, 1 + i % 28) FROM n)"),
            { tenants.first() }));
        for (int i = 0; i < 5; ++i) {
            m_fx->invoice({ QStringLiteral("INV-%1").arg(i), tenants.at(i), 0, QStringLiteral("2025-03"), 100,
                50, QStringLiteral("partial") });
            pay(50, QDate(2025, 3, 1 + i));
        }

        StatementWork work(m_db->db());
        const QList<std::pair<const char*, std::function<void()>>> calls = {
            { "getStats", [this] { m_dash->getStats(); } },
            { "getRecentPayments", [this] { m_dash->getRecentPayments(); } },
            { "getExpiringContracts", [this] { m_dash->getExpiringContracts(); } },
            { "getOccupancyRate", [this] { m_dash->getOccupancyRate(); } },
            { "getCollectionRate", [this] { QCOMPARE(m_dash->getCollectionRate(), 50.0); } },
            { "getMonthlyRevenue", [this] { QCOMPARE(m_dash->getMonthlyRevenue(), 250.0); } },
            { "getMonthlyCollections", [this] { m_dash->getMonthlyCollections(); } },
        };
        for (const auto& [name, call] : calls) {
            work.reset();
            call();
            // A pass over either history table alone would take well over 3000 steps.
            QVERIFY2(work.steps() < 1500, qPrintable(QStringLiteral("%1:\n%2").arg(name, work.report())));
            QVERIFY2(
                work.fullScanSteps() <= 20, qPrintable(QStringLiteral("%1:\n%2").arg(name, work.report())));
        }
    }

    void datesAreBoundNeverWrittenIntoTheSql()
    {
        StatementWork work(m_db->db());
        m_dash->getStats();
        m_dash->getRecentPayments();
        m_dash->getRecentMaintenance();
        m_dash->getExpiringContracts();
        m_dash->getOccupancyRate();
        m_dash->getCollectionRate();
        m_dash->getMonthlyRevenue();
        m_dash->getMonthlyCollections();
        const QString statements = work.report();
        QVERIFY(statements.count(QLatin1Char('\n')) >= 15);
        // The statement texts as SQLite keeps them: every date must be a placeholder.
        QVERIFY2(!statements.contains(QStringLiteral("2025")) && !statements.contains(QStringLiteral("2024")),
            qPrintable(statements));
        QVERIFY2(!statements.contains(QStringLiteral("'now'")), qPrintable(statements));
    }

    void monthlyCollectionsNameEveryMonth()
    {
        Clock::setToday(QDate(2025, 12, 31));
        const QVariantList months = m_dash->getMonthlyCollections(12);
        QCOMPARE(columnOf(months, "label"),
            (QStringList { QStringLiteral("يناير"), QStringLiteral("فبراير"), QStringLiteral("مارس"),
                QStringLiteral("أبريل"), QStringLiteral("مايو"), QStringLiteral("يونيو"),
                QStringLiteral("يوليو"), QStringLiteral("أغسطس"), QStringLiteral("سبتمبر"),
                QStringLiteral("أكتوبر"), QStringLiteral("نوفمبر"), QStringLiteral("ديسمبر") }));
        QCOMPARE(months.first().toMap().value("period").toString(), QStringLiteral("2025-01"));
        QCOMPARE(months.last().toMap().value("period").toString(), QStringLiteral("2025-12"));
        QCOMPARE(m_dash->getMonthlyCollections(120).size(), 120);
        QCOMPARE(m_dash->getMonthlyCollections(120).first().toMap().value("period").toString(),
            QStringLiteral("2016-01"));
    }
};

QTEST_GUILESS_MAIN(TestDashboardController)
#include "tst_dashboardcontroller.moc"
