#include "clock.h"
#include "dashboardfixtures.h"
#include "notificationcontroller.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>

using Cheque = DashboardFixtures::Cheque;
using Invoice = DashboardFixtures::Invoice;

class TestNotificationController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<DashboardFixtures> m_fx;
    std::unique_ptr<NotificationController> m_alerts;
    std::unique_ptr<QSignalSpy> m_errors;
    int m_property = 0;
    int m_unit = 0;
    int m_buyer = 0;
    int m_tenant = 0;

    static QDate today() { return Clock::today(); }

    /** The alerts, after checking that the count agrees with the list. */
    QVariantList alerts()
    {
        const QVariantList list = m_alerts->getActiveAlerts();
        if (m_alerts->getAlertCount() != list.size())
            QTest::qFail("getAlertCount disagrees with getActiveAlerts", __FILE__, __LINE__);
        return list;
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 15));
        m_db = std::make_unique<TestDatabase>();
        m_fx = std::make_unique<DashboardFixtures>(m_db->db());
        m_alerts = std::make_unique<NotificationController>(m_db->db());
        m_errors = std::make_unique<QSignalSpy>(m_db->db(), &Database::databaseError);
        m_property = m_fx->property(QStringLiteral("برج النور"));
        m_unit = m_fx->unit(m_property, QStringLiteral("B7"), QStringLiteral("sold"));
        m_buyer = m_fx->buyer(QStringLiteral("ليلى"));
        m_tenant = m_fx->tenant(QStringLiteral("سمير"));
    }

    void cleanup()
    {
        QCOMPARE(m_errors->count(), 0);
        m_errors.reset();
        m_alerts.reset();
        m_fx.reset();
        m_db.reset();
        Clock::setToday({});
    }

    void quietOfficeHasNoAlerts()
    {
        // Rows that exist but need nothing today.
        m_fx->installment(m_buyer, m_unit, 1000, today().addDays(1));
        m_fx->installment(m_buyer, m_unit, 1000, today().addDays(-5), QStringLiteral("paid"), 1000);
        m_fx->cheque({ QStringLiteral("C-1"), 500, today().addDays(8), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        m_fx->invoice({ QStringLiteral("INV-1"), m_tenant, m_unit, QStringLiteral("2025-03"), 1000, 0,
            QStringLiteral("pending"), DashboardFixtures::day(1) });
        m_fx->contract(m_unit, m_tenant, today().addDays(31));
        QVERIFY(m_alerts->getActiveAlerts().isEmpty());
        QCOMPARE(m_alerts->getAlertCount(), 0);
    }

    void installmentRules_data()
    {
        QTest::addColumn<int>("dueIn");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("type"); // empty: no alert
        QTest::addColumn<QString>("severity");
        QTest::newRow("due today") << 0 << "pending"
                                   << "payment_due"
                                   << "high";
        QTest::newRow("due yesterday") << -1 << "pending"
                                       << "payment_due"
                                       << "high";
        QTest::newRow("partly paid today") << 0 << "partial"
                                           << "payment_due"
                                           << "high";
        QTest::newRow("due the day before yesterday") << -2 << "pending"
                                                      << "overdue"
                                                      << "critical";
        QTest::newRow("partly paid long ago") << -60 << "partial"
                                              << "overdue"
                                              << "critical";
        QTest::newRow("due tomorrow") << 1 << "pending"
                                      << ""
                                      << "";
        QTest::newRow("paid today") << 0 << "paid"
                                    << ""
                                    << "";
        QTest::newRow("paid long ago") << -60 << "paid"
                                       << ""
                                       << "";
    }

    void installmentRules()
    {
        QFETCH(int, dueIn);
        QFETCH(QString, status);
        QFETCH(QString, type);
        QFETCH(QString, severity);
        const double paid = status == QLatin1String("partial") ? 400 : 0;
        m_fx->installment(m_buyer, m_unit, 1500, today().addDays(dueIn), status, paid);

        const QVariantList list = alerts();
        if (type.isEmpty()) {
            QVERIFY(list.isEmpty());
            return;
        }
        QCOMPARE(list.size(), 1);
        const QVariantMap alert = list.first().toMap();
        QCOMPARE(alert.value("type").toString(), type);
        QCOMPARE(alert.value("severity").toString(), severity);
        if (type == QLatin1String("payment_due")) {
            QCOMPARE(alert.value("title").toString(), QStringLiteral("دفعة مستحقة (اليوم/أمس): ليلى"));
            // The full installment, not what is left of it.
            QCOMPARE(alert.value("detail").toString(), QStringLiteral("الوحدة: B7 - المبلغ: 1500 ₪"));
        } else {
            QCOMPARE(alert.value("title").toString(), QStringLiteral("قسط متأخر جداً: ليلى"));
            QCOMPARE(alert.value("detail").toString(),
                QStringLiteral("استحق في: ") + DashboardFixtures::day(dueIn));
        }
        // The alert is the installment's own row with the four keys added.
        QCOMPARE(alert.value("buyer_name").toString(), QStringLiteral("ليلى"));
        QCOMPARE(alert.value("status").toString(), status);
        QCOMPARE(alert.value("installment_amount").toDouble(), 1500.0);
        QCOMPARE(alert.value("paid_amount").toDouble(), paid);
    }

    void installmentAmountIsWrittenPlainly()
    {
        m_fx->installment(m_buyer, m_unit, 1250.5, today());
        QCOMPARE(alerts().first().toMap().value("detail").toString(),
            QStringLiteral("الوحدة: B7 - المبلغ: 1250.5 ₪"));
    }

    void chequeWindow_data()
    {
        QTest::addColumn<int>("dueIn");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("title"); // empty: no alert
        QTest::addColumn<QString>("severity");
        const QString soon = QStringLiteral("شيك مستحق قريباً: ليلى");
        const QString now = QStringLiteral("شيك للتحصيل اليوم: ليلى");
        QTest::newRow("in exactly 7 days") << 7 << "pending" << soon << "medium";
        QTest::newRow("tomorrow") << 1 << "pending" << soon << "medium";
        QTest::newRow("today") << 0 << "pending" << now << "high";
        QTest::newRow("last month") << -30 << "pending" << now << "high";
        QTest::newRow("in 8 days") << 8 << "pending"
                                   << ""
                                   << "";
        QTest::newRow("cashed") << 0 << "paid"
                                << ""
                                << "";
        QTest::newRow("bounced") << -3 << "bounced"
                                 << ""
                                 << "";
    }

    void chequeWindow()
    {
        QFETCH(int, dueIn);
        QFETCH(QString, status);
        QFETCH(QString, title);
        QFETCH(QString, severity);
        m_fx->cheque({ QStringLiteral("778812"), 2500.75, today().addDays(dueIn), status,
            QStringLiteral("received"), m_buyer });

        const QVariantList list = alerts();
        if (title.isEmpty()) {
            QVERIFY(list.isEmpty());
            return;
        }
        QCOMPARE(list.size(), 1);
        const QVariantMap alert = list.first().toMap();
        QCOMPARE(alert.value("type").toString(), QStringLiteral("cheque")); // replaces the cheque's own type
        QCOMPARE(alert.value("title").toString(), title);
        QCOMPARE(alert.value("severity").toString(), severity);
        QCOMPARE(alert.value("detail").toString(), QStringLiteral("رقم: 778812 - المبلغ: 2500.75"));
        QCOMPARE(alert.value("cheque_number").toString(), QStringLiteral("778812"));
    }

    void chequeNamesTheBuyerFirstAndItsUnit()
    {
        const int installment = m_fx->installment(m_buyer, m_unit, 3000, today().addDays(40));
        m_fx->cheque({ QStringLiteral("1"), 3000, today().addDays(1), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer, m_tenant, installment });
        m_fx->cheque({ QStringLiteral("2"), 700, today().addDays(2), QStringLiteral("pending"),
            QStringLiteral("received"), 0, m_tenant });
        // Not to collect: a cheque the office issued, and one whose installment was settled otherwise.
        m_fx->cheque({ QStringLiteral("3"), 90, today().addDays(3), QStringLiteral("pending"),
            QStringLiteral("issued") });
        const int settled = m_fx->installment(m_buyer, m_unit, 500, today(), QStringLiteral("paid"), 500);
        m_fx->cheque({ QStringLiteral("4"), 500, today(), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer, 0, settled });

        const QVariantList list = alerts();
        QCOMPARE(columnOf(list, "title"),
            (QStringList {
                QStringLiteral("شيك مستحق قريباً: ليلى"), QStringLiteral("شيك مستحق قريباً: سمير") }));
        QCOMPARE(columnOf(list, "detail"),
            (QStringList { QStringLiteral("رقم: 1 - المبلغ: 3000 - الوحدة: B7"),
                QStringLiteral("رقم: 2 - المبلغ: 700") }));
        const QVariantMap first = list.first().toMap();
        QCOMPARE(first.value("unit_number").toString(), QStringLiteral("B7"));
        QCOMPARE(first.value("property_name").toString(), QStringLiteral("برج النور"));
        QCOMPARE(first.value("tenant_name").toString(), QStringLiteral("سمير"));
    }

    void chequesComeEarliestFirst()
    {
        m_fx->cheque({ QStringLiteral("late"), 1, today().addDays(6), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        m_fx->cheque({ QStringLiteral("old"), 1, today().addDays(-9), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        m_fx->cheque({ QStringLiteral("now"), 1, today(), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        QCOMPARE(columnOf(alerts(), "cheque_number"),
            (QStringList { QStringLiteral("old"), QStringLiteral("now"), QStringLiteral("late") }));
    }

    void invoiceRules_data()
    {
        QTest::addColumn<int>("dueIn");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("severity"); // empty: no alert
        QTest::newRow("pending due today") << 0 << "pending"
                                           << "medium";
        QTest::newRow("partial due today") << 0 << "partial"
                                           << "medium";
        QTest::newRow("pending due yesterday") << -1 << "pending"
                                               << "high";
        QTest::newRow("partial months ago") << -90 << "partial"
                                            << "high";
        QTest::newRow("due tomorrow") << 1 << "pending"
                                      << "";
        QTest::newRow("paid") << -5 << "paid"
                              << "";
        QTest::newRow("void") << -5 << "void"
                              << "";
    }

    void invoiceRules()
    {
        QFETCH(int, dueIn);
        QFETCH(QString, status);
        QFETCH(QString, severity);
        const double paid = status == QLatin1String("partial") ? 600
            : status == QLatin1String("paid")                  ? 1000
                                                               : 0;
        m_fx->invoice({ QStringLiteral("INV-202503-0001"), m_tenant, m_unit, QStringLiteral("2025-03"), 1000,
            paid, status, DashboardFixtures::day(dueIn) });

        const QVariantList list = alerts();
        if (severity.isEmpty()) {
            QVERIFY(list.isEmpty());
            return;
        }
        QCOMPARE(list.size(), 1);
        const QVariantMap alert = list.first().toMap();
        QCOMPARE(alert.value("type").toString(), QStringLiteral("rent_invoice"));
        QCOMPARE(alert.value("severity").toString(), severity);
        QCOMPARE(alert.value("title").toString(), QStringLiteral("إيجار/فاتورة مستحقة: سمير"));
        QCOMPARE(alert.value("detail").toString(),
            QStringLiteral("الفاتورة: INV-202503-0001 - المتبقي: ")
                + (paid > 0 ? QStringLiteral("400") : QStringLiteral("1000")));
        QCOMPARE(alert.value("unit_number").toString(), QStringLiteral("B7"));
        QCOMPARE(alert.value("property_name").toString(), QStringLiteral("برج النور"));
    }

    void invoiceBalanceDropsFloatingResidue()
    {
        // 0.1 + 0.2 is stored as 0.30000000000000004.
        m_fx->invoice({ QStringLiteral("INV-1"), m_tenant, 0, QStringLiteral("2025-03"), 0.1 + 0.2, 0,
            QStringLiteral("pending"), DashboardFixtures::day(0) });
        const QVariantMap alert = alerts().first().toMap();
        QCOMPARE(alert.value("detail").toString(), QStringLiteral("الفاتورة: INV-1 - المتبقي: 0.3"));
        QVERIFY(alert.value("unit_number").toString().isEmpty()); // a service invoice without a unit
    }

    void invoicesComeEarliestFirst()
    {
        m_fx->invoice({ QStringLiteral("B"), m_tenant, 0, QStringLiteral("2025-03"), 10, 0,
            QStringLiteral("pending"), DashboardFixtures::day(0) });
        m_fx->invoice({ QStringLiteral("A"), m_tenant, 0, QStringLiteral("2025-01"), 10, 0,
            QStringLiteral("pending"), DashboardFixtures::day(-45) });
        m_fx->invoice({ QStringLiteral("C"), m_tenant, 0, QStringLiteral("2025-02"), 10, 5,
            QStringLiteral("partial"), DashboardFixtures::day(-15) });
        QCOMPARE(columnOf(alerts(), "invoice_number"),
            (QStringList { QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B") }));
    }

    void contractRules_data()
    {
        QTest::addColumn<int>("endsIn");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("listed");
        QTest::newRow("ended last year") << -300 << "active" << true;
        QTest::newRow("ends today") << 0 << "active" << true;
        QTest::newRow("ends in 30 days") << 30 << "active" << true;
        QTest::newRow("ends in 31 days") << 31 << "active" << false;
        QTest::newRow("terminated") << 3 << "terminated" << false;
    }

    void contractRules()
    {
        QFETCH(int, endsIn);
        QFETCH(QString, status);
        QFETCH(bool, listed);
        m_fx->contract(m_unit, m_tenant, today().addDays(endsIn), status);

        const QVariantList list = alerts();
        QCOMPARE(list.size(), listed ? 1 : 0);
        if (!listed)
            return;
        const QVariantMap alert = list.first().toMap();
        QCOMPARE(alert.value("type").toString(), QStringLiteral("contract"));
        QCOMPARE(alert.value("severity").toString(), QStringLiteral("low"));
        QCOMPARE(alert.value("title").toString(), QStringLiteral("عقد ينتهي قريباً: سمير"));
        QCOMPARE(alert.value("detail").toString(),
            QStringLiteral("تاريخ الانتهاء: ") + DashboardFixtures::day(endsIn));
        QCOMPARE(alert.value("rent_amount").toDouble(), 1000.0);
    }

    void rulesComeInTheirOwnOrder()
    {
        // Written in the opposite order to the one they must come back in.
        m_fx->contract(m_unit, m_tenant, today().addDays(10));
        m_fx->invoice({ QStringLiteral("INV-1"), m_tenant, m_unit, QStringLiteral("2025-03"), 1000, 0,
            QStringLiteral("pending"), DashboardFixtures::day(-3) });
        m_fx->cheque({ QStringLiteral("C-1"), 500, today().addDays(2), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        m_fx->installment(m_buyer, m_unit, 1000, today().addDays(-20));
        m_fx->installment(m_buyer, m_unit, 1000, today().addDays(-1));
        m_fx->installment(m_buyer, m_unit, 1000, today());

        const QVariantList list = alerts();
        QCOMPARE(columnOf(list, "type"),
            (QStringList { "payment_due", "payment_due", "overdue", "cheque", "rent_invoice", "contract" }));
        QCOMPARE(columnOf(list, "severity"),
            (QStringList { "high", "high", "critical", "medium", "high", "low" }));
        QCOMPARE(columnOf(list, "due_date").first(), DashboardFixtures::day(-1));
    }

    void settledCausesDropOut()
    {
        const int installment = m_fx->installment(m_buyer, m_unit, 1000, today());
        const int cheque = m_fx->cheque({ QStringLiteral("C-1"), 500, today(), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        const int invoice = m_fx->invoice({ QStringLiteral("INV-1"), m_tenant, m_unit,
            QStringLiteral("2025-03"), 1000, 0, QStringLiteral("pending"), DashboardFixtures::day(0) });
        const int contract = m_fx->contract(m_unit, m_tenant, today().addDays(5));
        QCOMPARE(m_alerts->getAlertCount(), 4);

        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE installments SET status='paid' WHERE id=?"), { installment }));
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE cheques SET status='paid' WHERE id=?"), { cheque }));
        QCOMPARE(columnOf(alerts(), "type"), (QStringList { "rent_invoice", "contract" }));

        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE invoices SET status='paid' WHERE id=?"), { invoice }));
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE contracts SET end_date='2026-03-31' WHERE id=?"), { contract }));
        QVERIFY(alerts().isEmpty());
    }

    void markAsReadChangesNothing()
    {
        m_fx->installment(m_buyer, m_unit, 1000, today());
        const QVariantList before = alerts();
        m_alerts->markAsRead(before.first().toMap().value("id").toInt());
        m_alerts->markAsRead(-1);
        QCOMPARE(alerts(), before);
    }

    void workFollowsTheAlertsNotTheHistory()
    {
        // Years of settled installments, cashed cheques, paid invoices and ended contracts: the
        // rules must reach today's few open rows without walking any of it.
        const QString history = QStringLiteral(R"(
            WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) )");
        QVERIFY(m_db->db()->execNonQuery(history + QStringLiteral(R"(
            INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, due_date, paid_amount, status)
            SELECT ?, ?, 100000, 500, date('2016-01-01', '+' || i || ' days'), 500, 'paid' FROM n)"),
            { m_buyer, m_unit }));
        QVERIFY(m_db->db()->execNonQuery(history + QStringLiteral(R"(
            INSERT INTO cheques (cheque_number, amount, due_date, status, buyer_id)
            SELECT 'OLD-' || i, 500, date('2016-01-01', '+' || i || ' days'), 'paid', ? FROM n)"),
            { m_buyer }));
        QVERIFY(m_db->db()->execNonQuery(history + QStringLiteral(R"(
            INSERT INTO invoices (invoice_number, tenant_id, period, total_amount, paid_amount, balance, status, due_date)
            SELECT 'OLD-' || i, ?, strftime('%Y-%m', date('2016-01-01', '+' || i || ' days')), 100, 100, 0,
                   CASE WHEN i % 50 = 0 THEN 'void' ELSE 'paid' END, date('2016-01-01', '+' || i || ' days') FROM n)"),
            { m_tenant }));
        m_fx->installment(m_buyer, m_unit, 1000, today());
        m_fx->installment(m_buyer, m_unit, 1000, today().addDays(-3));
        m_fx->cheque({ QStringLiteral("C-1"), 500, today().addDays(2), QStringLiteral("pending"),
            QStringLiteral("received"), m_buyer });
        m_fx->invoice({ QStringLiteral("INV-1"), m_tenant, m_unit, QStringLiteral("2025-03"), 1000, 0,
            QStringLiteral("pending"), DashboardFixtures::day(-1) });
        m_fx->contract(m_unit, m_tenant, today().addDays(20));

        StatementWork work(m_db->db());
        QCOMPARE(columnOf(m_alerts->getActiveAlerts(), "type"),
            (QStringList { "payment_due", "overdue", "cheque", "rent_invoice", "contract" }));
        // A pass over any one of the history tables alone would take well over 3000 steps.
        QVERIFY2(work.steps() < 1500, qPrintable(work.report()));
        QCOMPARE(work.fullScanSteps(), 0);

        work.reset();
        QCOMPARE(m_alerts->getAlertCount(), 5);
        QVERIFY2(work.steps() < 1000, qPrintable(work.report()));
        QCOMPARE(work.fullScanSteps(), 0);
    }

    void datesAreBoundNeverWrittenIntoTheSql()
    {
        StatementWork work(m_db->db());
        m_alerts->getActiveAlerts();
        m_alerts->getAlertCount();
        const QString statements = work.report();
        QCOMPARE(statements.count(QLatin1Char('\n')), 9); // five rules listed, five counted
        QVERIFY2(!statements.contains(QStringLiteral("2025")), qPrintable(statements));
        QVERIFY2(!statements.contains(QStringLiteral("'now'")), qPrintable(statements));
    }

    void plainNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 1500.0 << "1500";
        QTest::newRow("half") << 1250.5 << "1250.5";
        QTest::newRow("cents") << 99.99 << "99.99";
        QTest::newRow("three decimals kept") << 0.125 << "0.125";
        QTest::newRow("binary residue") << 0.1 + 0.2 << "0.3";
        QTest::newRow("a million, no exponent") << 1e6 << "1000000";
        QTest::newRow("large") << 1234567890123.0 << "1234567890123";
        QTest::newRow("beyond fifteen digits") << 1e20 << "100000000000000000000";
        QTest::newRow("negative") << -75.5 << "-75.5";
        QTest::newRow("negative zero") << -0.0 << "0";
    }

    void plainNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(NotificationController::plainNumber(value), text);
    }
};

QTEST_GUILESS_MAIN(TestNotificationController)
#include "tst_notificationcontroller.moc"
