// The dashboard's figures and its alerts, on small offices worked out by hand. Today is pinned
// to Saturday 15 March 2025 unless a test moves it.
#include "clock.h"
#include "dashboardcontroller.h"
#include "notificationcontroller.h"
#include "reportfixtures.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using Cheque = ReportFixtures::Cheque;
constexpr auto figures = &ReportFixtures::figures;

class TestDashboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 15));
        m_db = std::make_unique<TestDatabase>();
        m_fx = std::make_unique<ReportFixtures>(m_db->db());
        m_dash = std::make_unique<DashboardController>(m_db->db());
        m_alerts = std::make_unique<NotificationController>(m_db->db());
        m_errors = std::make_unique<QSignalSpy>(m_db->db(), &Database::databaseError);
        m_property = m_fx->property("برج النور");
        m_unit = m_fx->unit(m_property, "B7", "sold");
        m_buyer = m_fx->buyer("ليلى");
        m_tenant = m_fx->tenant("سمير");
    }

    void cleanup()
    {
        QCOMPARE(m_errors->count(), 0); // every query is valid SQL with its dates bound, whatever the data
        m_errors.reset();
        m_alerts.reset();
        m_dash.reset();
        m_fx.reset();
        m_db.reset();
        Clock::setToday({});
    }

    void headFiguresCountWhatIsLive()
    {
        const int a1 = m_fx->unit(m_property, "A1", "rented");
        const int a2 = m_fx->unit(m_property, "A2", "rented");
        const int v1 = m_fx->unit(m_fx->property("فلل"), "V1", "rented");
        const int v2 = m_fx->unit(m_property, "V2");
        m_fx->unit(m_property, "M", "maintenance");
        const int huda = m_fx->tenant("هدى");
        m_fx->contract(a1, m_tenant, "2025-12-31");
        m_fx->contract(a2, m_tenant, "2025-12-31");
        m_fx->contract(v1, huda, "2025-12-31");
        m_fx->contract(v2, huda, "2024-12-31", "terminated");
        m_fx->maintenance(a1, "new", "2025-03-01 10:00:00");
        m_fx->maintenance(a2, "in_progress", "2025-03-02 10:00:00");
        m_fx->maintenance(v1, "completed", "2025-03-03 10:00:00");

        // Samir's two contracts count twice; 3 rented of the 5 units in service, one under repair apart.
        QCOMPARE(figures(m_dash->getStats(),
                     u"totalProperties activeTenants pendingMaintenance occupancyRate occupiedUnits "
                     u"availableUnits "
                     "soldUnits outOfServiceUnits"_s),
            u"2 3 2 60 3 1 1 1"_s);
        QCOMPARE(m_dash->getOccupancyRate(), 60.0);
    }

    void revenueOfTheMonthAndItsGrowth_data()
    {
        // clang-format off
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QVariantList>("payments"); // day, amount, day, amount...
        QTest::addColumn<double>("thisMonth");
        QTest::addColumn<double>("growth");
        const QDate today(2025, 3, 15);
        QTest::newRow("nothing last month") << today << QVariantList { "2025-03-05", 500 } << 500.0 << 0.0;
        QTest::newRow("halved") << today << QVariantList { "2025-02-20", 1000, "2025-03-05", 500 } << 500.0 << -50.0;
        QTest::newRow("nothing this month") << today << QVariantList { "2025-02-20", 1000 } << 0.0 << -100.0;
        // (1750.5 - 1000) / 1000; 1 March is this month, 28 February and 1 February last month.
        QTest::newRow("month edges") << today << QVariantList { "2025-03-01", 1200, "2025-03-14", 550.5, "2025-02-28",
                                            600, "2025-02-01", 400, "2025-01-31", 999 } << 1750.5 << 75.05;
        QTest::newRow("across the year") << QDate(2025, 1, 3) << QVariantList { "2024-12-31", 800, "2025-01-01", 200, "2024-11-30", 5000 } << 200.0 << -75.0;
        // clang-format on
    }

    void revenueOfTheMonthAndItsGrowth()
    {
        QFETCH(QDate, today);
        QFETCH(QVariantList, payments);
        Clock::setToday(today);
        for (int i = 0; i < payments.size(); i += 2)
            m_fx->payment(payments.at(i + 1).toDouble(), payments.at(i).toString());
        const QVariantMap stats = m_dash->getStats();
        QTEST(stats.value("monthlyRevenue").toDouble(), "thisMonth");
        QTEST(m_dash->getMonthlyRevenue(), "thisMonth");
        QFETCH(double, growth);
        QVERIFY(qFuzzyCompare(1 + stats.value("revenueGrowth").toDouble(), 1 + growth));
    }

    void collectionRateCoversLastAndThisPeriod_data()
    {
        // clang-format off
        QTest::addColumn<QDate>("today");
        QTest::addColumn<double>("rate");
        // In: 2025-02 (1000 of 1000), 2025-03 (600 of 1000), 2025-03 without tenant (100 of 500).
        // Out: 2025-01, 2025-04 and a void invoice of this period.
        QTest::newRow("March") << QDate(2025, 3, 15) << 68.0;
        // 2024-12 and 2025-01 only: 400 of 1500.
        QTest::newRow("across the year") << QDate(2025, 1, 31) << 400.0 / 15;
        // clang-format on
    }

    void collectionRateCoversLastAndThisPeriod()
    {
        QFETCH(QDate, today);
        Clock::setToday(today);
        const int other = m_fx->tenant("هدى");
        m_fx->invoice(m_tenant, QVariant(), 1000, 1000, "paid", "2025-02-28");
        m_fx->invoice(m_tenant, QVariant(), 1000, 600, "partial", "2025-03-28");
        m_fx->invoice(0, QVariant(), 500, 100, "partial", "2025-03-28");
        m_fx->invoice(other, QVariant(), 500, 400, "partial", "2025-01-28");
        m_fx->invoice(other, QVariant(), 800, 0, "pending", "2025-04-28");
        m_fx->invoice(other, QVariant(), 700, 0, "void", "2025-03-28");
        m_fx->invoice(other, QVariant(), 1000, 0, "pending", "2024-12-28");
        QTEST(m_dash->getCollectionRate(), "rate");
    }

    void recentPaymentsNewestFirst()
    {
        const int a1 = m_fx->unit(m_property, "A1", "rented");
        const int invoice = m_fx->invoice(m_tenant, a1, 1000, 0, "pending", "2025-03-28");
        m_fx->rentPayment(invoice, m_tenant, 100, "2025-03-01");
        m_fx->rentPayment(invoice, m_tenant, 200, "2025-03-03");
        const int sameDayFirst = m_fx->rentPayment(invoice, m_tenant, 300, "2025-03-10");
        const int sameDaySecond = m_fx->rentPayment(invoice, m_tenant, 400, "2025-03-10");
        m_fx->rentPayment(invoice, m_tenant, 50, "2025-02-27");
        // A sale's down payment: no invoice and no tenant, though it carries the unit.
        const int down = m_fx->downPayment(m_buyer, m_unit, 25000, "2025-03-12");

        const QVariantList rows = m_dash->getRecentPayments();
        QCOMPARE(idsOf(rows).mid(0, 3), QList<int>({ down, sameDaySecond, sameDayFirst }));
        QCOMPARE(columnOf(rows, u"amount"_s), QStringList({ "25000", "400", "300", "200", "100" }));
        QVERIFY(rows.at(0).toMap().value("unit_number").toString().isEmpty());
        QCOMPARE(rows.at(1).toMap().value("tenant_name").toString(), u"سمير"_s);
        QCOMPARE(rows.at(1).toMap().value("unit_number").toString(), u"A1"_s);
        QCOMPARE(m_dash->getRecentPayments(50).size(), 6);
        // SQLite would read a negative LIMIT as "everything".
        QTest::ignoreMessage(QtWarningMsg, "getRecentPayments refused a limit of -1");
        QVERIFY(m_dash->getRecentPayments(-1).isEmpty());
        QTest::ignoreMessage(QtWarningMsg, "getRecentMaintenance refused a limit of 0");
        QVERIFY(m_dash->getRecentMaintenance(0).isEmpty());

        for (const char* at :
            { "2025-03-01 08:00:00", "2025-03-09 08:00:00", "2025-03-02 08:00:00", "2025-03-05 08:00:00" })
            m_fx->maintenance(a1, "new", QString::fromLatin1(at));
        QCOMPARE(columnOf(m_dash->getRecentMaintenance(), u"created_at"_s),
            QStringList({ "2025-03-09 08:00:00", "2025-03-05 08:00:00", "2025-03-02 08:00:00" }));
    }

    void monthlyCollectionsOldestFirst()
    {
        const std::pair<const char*, double> payments[]
            = { { "2024-09-30", 999 }, { "2024-10-01", 100 }, { "2024-10-31", 150.25 }, { "2024-12-15", 300 },
                  { "2025-01-01", 400 }, { "2025-03-01", 600 }, { "2025-03-31", 50 }, { "2025-04-01", 777 } };
        for (const auto& [on, amount] : payments)
            m_fx->payment(amount, QString::fromLatin1(on));
        const QVariantList months = m_dash->getMonthlyCollections();
        QCOMPARE(columnOf(months, u"period"_s),
            QStringList({ "2024-10", "2024-11", "2024-12", "2025-01", "2025-02", "2025-03" }));
        QCOMPARE(columnOf(months, u"value"_s), QStringList({ "250.25", "0", "300", "400", "0", "650" }));
        QCOMPARE(months.first().toMap().value("label").toString(), u"أكتوبر"_s);
        QCOMPARE(months.last().toMap().value("label").toString(), u"مارس"_s);
        QCOMPARE(m_dash->getMonthlyCollections(120).size(), 120);
        for (int months : { 0, -6, 121 }) {
            QTest::ignoreMessage(
                QtWarningMsg, qPrintable(u"getMonthlyCollections refused %1 months"_s.arg(months)));
            QVERIFY(m_dash->getMonthlyCollections(months).isEmpty());
        }
    }

    void alertRules_data()
    {
        // clang-format off
        QTest::addColumn<QString>("cause"); // what is written, due (or ending) `dueIn` days from today
        QTest::addColumn<int>("dueIn");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("alert"); // type and severity; empty: no alert
        QTest::addColumn<QString>("shown"); // in the detail; <> isolate a figure, "day" is the due day
        QTest::newRow("installment due today") << "installment" << 0 << "pending" << "payment_due high" << "<1,500.00> ₪";
        QTest::newRow("installment due yesterday") << "installment" << -1 << "pending" << "payment_due high" << "";
        QTest::newRow("installment partly paid, the whole shown") << "installment" << 0 << "partial" << "payment_due high" << "<1,500.00> ₪";
        QTest::newRow("installment due before yesterday") << "installment" << -2 << "pending" << "overdue critical" << "day";
        QTest::newRow("installment partly paid long ago") << "installment" << -60 << "partial" << "overdue critical" << "";
        QTest::newRow("installment due tomorrow") << "installment" << 1 << "pending" << "" << "";
        QTest::newRow("installment paid today") << "installment" << 0 << "paid" << "" << "";
        QTest::newRow("installment paid long ago") << "installment" << -60 << "paid" << "" << "";
        QTest::newRow("cheque in exactly 7 days") << "cheque" << 7 << "pending" << "cheque medium" << "<2,500.75> ₪";
        QTest::newRow("cheque today") << "cheque" << 0 << "pending" << "cheque high" << "";
        QTest::newRow("tenant's cheque last month") << "tenant cheque" << -30 << "pending" << "cheque high" << "";
        QTest::newRow("cheque in 8 days") << "cheque" << 8 << "pending" << "" << "";
        QTest::newRow("cheque cashed") << "cheque" << 0 << "paid" << "" << "";
        QTest::newRow("cheque bounced") << "cheque" << -3 << "bounced" << "" << "";
        QTest::newRow("cheque the office issued") << "issued cheque" << 3 << "pending" << "" << "";
        QTest::newRow("cheque of a settled installment") << "settled cheque" << 3 << "pending" << "" << "";
        QTest::newRow("invoice pending due today") << "invoice" << 0 << "pending" << "rent_invoice medium" << "<1,000.10> ₪";
        QTest::newRow("invoice partial due today, what is open") << "invoice" << 0 << "partial" << "rent_invoice medium" << "<400.10> ₪";
        QTest::newRow("invoice due yesterday") << "invoice" << -1 << "pending" << "rent_invoice high" << "";
        QTest::newRow("invoice partial months ago") << "invoice" << -90 << "partial" << "rent_invoice high" << "";
        QTest::newRow("invoice due tomorrow") << "invoice" << 1 << "pending" << "" << "";
        QTest::newRow("invoice paid") << "invoice" << -5 << "paid" << "" << "";
        QTest::newRow("invoice void") << "invoice" << -5 << "void" << "" << "";
        QTest::newRow("contract ended last year, never renewed") << "contract" << -300 << "active" << "contract low" << "";
        QTest::newRow("contract ends today") << "contract" << 0 << "active" << "contract low" << "";
        QTest::newRow("contract ends in 30 days") << "contract" << 30 << "active" << "contract low" << "";
        QTest::newRow("contract ends in 31 days") << "contract" << 31 << "active" << "" << "";
        QTest::newRow("contract terminated") << "contract" << 3 << "terminated" << "" << "";
        // clang-format on
    }

    void alertRules()
    {
        QFETCH(QString, cause);
        QFETCH(int, dueIn);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        const QString day = ReportFixtures::day(dueIn);
        if (shown == u"day")
            shown = u"<"_s + day + u">"_s;
        shown.replace(u'<', QChar(0x2066)).replace(u'>', QChar(0x2069));
        const double part = status == u"paid" ? 1 : status == u"partial" ? 0.6 : 0;
        if (cause == u"installment") {
            m_fx->installment(m_buyer, m_unit, 1500, 1500 * part, status, day);
        } else if (cause == u"invoice") {
            m_fx->invoice(m_tenant, m_unit, 1000.1, status == u"partial" ? 600 : 1000.1 * part, status, day);
        } else if (cause == u"contract") {
            m_fx->contract(m_unit, m_tenant, day, status);
        } else {
            Cheque cheque { u"778812"_s, 2500.75, status, day, m_buyer };
            if (cause == u"tenant cheque")
                std::tie(cheque.buyerId, cheque.tenantId) = std::pair(0, m_tenant);
            if (cause == u"issued cheque")
                cheque.type = u"issued"_s;
            if (cause == u"settled cheque")
                cheque.installmentId
                    = m_fx->installment(m_buyer, m_unit, 2500.75, 2500.75, "paid", ReportFixtures::day(40));
            m_fx->cheque(cheque);
        }
        const QVariantList list = alerts();
        QTEST(list.isEmpty() ? QString() : figures(list.first().toMap(), u"type severity"_s), "alert");
        if (!list.isEmpty()) {
            QVERIFY(list.first().toMap().value("detail").toString().contains(shown));
            // A cheque's alert names who it comes from: the buyer, else the tenant.
            if (cause.endsWith(u"cheque"))
                QVERIFY(list.first().toMap().value("title").toString().endsWith(
                    cause == u"tenant cheque" ? "سمير" : "ليلى"));
        }
    }

    void alertsComeRuleByRuleEarliestFirst()
    {
        // Written in the opposite order to the one they must come back in.
        m_fx->contract(m_unit, m_tenant, ReportFixtures::day(10));
        m_fx->invoice(m_tenant, m_unit, 10, 0, "pending", ReportFixtures::day(0));
        m_fx->invoice(m_tenant, m_unit, 10, 5, "partial", ReportFixtures::day(-45));
        m_fx->cheque({ "late", 1, "pending", ReportFixtures::day(6), m_buyer });
        m_fx->cheque({ "now", 1, "pending", ReportFixtures::day(0), m_buyer });
        m_fx->installment(m_buyer, m_unit, 1000, 0, "pending", ReportFixtures::day(-20));
        m_fx->installment(m_buyer, m_unit, 1000, 0, "pending", ReportFixtures::day(0));
        m_fx->installment(m_buyer, m_unit, 1000, 0, "pending", ReportFixtures::day(-1));

        const QVariantList list = alerts();
        QCOMPARE(columnOf(list, u"type"_s),
            QStringList({ "payment_due", "payment_due", "overdue", "cheque", "cheque", "rent_invoice",
                "rent_invoice", "contract" }));
        QCOMPARE(columnOf(list, u"due_date"_s).mid(0, 7),
            QStringList({ ReportFixtures::day(-1), ReportFixtures::day(0), ReportFixtures::day(-20),
                ReportFixtures::day(0), ReportFixtures::day(6), ReportFixtures::day(-45),
                ReportFixtures::day(0) }));
    }

private:
    /** The alerts, after checking that the count agrees with the list. */
    QVariantList alerts()
    {
        const QVariantList list = m_alerts->getActiveAlerts();
        if (m_alerts->getAlertCount() != list.size())
            QTest::qFail("getAlertCount disagrees with getActiveAlerts", __FILE__, __LINE__);
        return list;
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ReportFixtures> m_fx;
    std::unique_ptr<DashboardController> m_dash;
    std::unique_ptr<NotificationController> m_alerts;
    std::unique_ptr<QSignalSpy> m_errors;
    int m_property = 0;
    int m_unit = 0;
    int m_buyer = 0;
    int m_tenant = 0;
};

QTEST_GUILESS_MAIN(TestDashboard)
#include "tst_dashboard.moc"
