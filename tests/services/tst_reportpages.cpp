// The paged forms of the unit status, overdue installment and cheque reports that the reports page
// lists in long lists: order, paging, search and the report's own selection.
#include "clock.h"
#include "reportcontroller.h"
#include "reportfixtures.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QRegularExpression>
#include <QTest>

class TestReportPages : public QObject
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

    void unitStatusPagesByPropertyAndUnit()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int garden = m_fx->property(QStringLiteral("Garden"));
        m_fx->unit(tower, QStringLiteral("B2"), QStringLiteral("rented"));
        m_fx->unit(garden, QStringLiteral("G1"), QStringLiteral("sold"), 90000);
        m_fx->unit(tower, QStringLiteral("A1"), QStringLiteral("available"), 120000);

        // Latin sorts before Arabic in the property names' text order.
        const QVariantList all = m_reports->getUnitStatusPage(0, 50);
        QCOMPARE(columnOf(all, QStringLiteral("unit_number")), QStringList({ "G1", "A1", "B2" }));
        QCOMPARE(columnOf(all, QStringLiteral("property_name")),
            QStringList(
                { QStringLiteral("Garden"), QStringLiteral("برج النور"), QStringLiteral("برج النور") }));
        QCOMPARE(columnOf(all, QStringLiteral("status")), QStringList({ "sold", "available", "rented" }));
        QCOMPARE(all.at(1).toMap().value(QStringLiteral("sale_price")).toDouble(), 120000.0);

        QCOMPARE(columnOf(m_reports->getUnitStatusPage(1, 1), QStringLiteral("unit_number")),
            QStringList({ "A1" }));
        QCOMPARE(m_reports->getUnitStatusPage(3, 10).size(), 0);
        QCOMPARE(m_reports->getUnitStatusPage(0, 0).size(), 0);

        QCOMPARE(columnOf(m_reports->getUnitStatusPage(0, 50, QStringLiteral("النور")),
                     QStringLiteral("unit_number")),
            QStringList({ "A1", "B2" }));
        QCOMPARE(columnOf(m_reports->getUnitStatusPage(0, 50, QStringLiteral(" g1 ")),
                     QStringLiteral("unit_number")),
            QStringList({ "G1" }));
        QCOMPARE(m_reports->getUnitStatusPage(0, 50, QStringLiteral("%")).size(), 0);
    }

    void overdueInstallmentPagesFollowTheReport()
    {
        // Today is pinned to 2025-06-15.
        const int project = m_fx->property(QStringLiteral("مشروع الواحة"));
        const int unit = m_fx->unit(project, QStringLiteral("9"), QStringLiteral("sold"));
        const int other = m_fx->unit(project, QStringLiteral("12"), QStringLiteral("sold"));
        const int hala = m_fx->buyer(QStringLiteral("هالة"));
        const int omar = m_fx->buyer(QStringLiteral("عمر"));
        m_fx->installment(hala, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-14"));
        m_fx->installment(hala, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->installment(omar, other, 700, 200, QStringLiteral("partial"), QStringLiteral("2025-05-01"));
        m_fx->installment(hala, unit, 500, 500, QStringLiteral("paid"), QStringLiteral("2025-04-01"));
        m_fx->installment(omar, other, 700, 0, QStringLiteral("pending"), QStringLiteral("2025-03-01"));

        const QVariantList all = m_reports->getOverdueInstallmentsPage(0, 50);
        QCOMPARE(columnOf(all, QStringLiteral("due_date")),
            QStringList({ "2025-03-01", "2025-05-01", "2025-06-14" }));
        QCOMPARE(columnOf(all, QStringLiteral("due_date")),
            columnOf(m_reports->getOverdueInstallments(), QStringLiteral("due_date")));
        QCOMPARE(all.at(1).toMap().value(QStringLiteral("buyer_name")).toString(), QStringLiteral("عمر"));
        QCOMPARE(all.at(1).toMap().value(QStringLiteral("paid_amount")).toDouble(), 200.0);
        QCOMPARE(all.at(1).toMap().value(QStringLiteral("property_name")).toString(),
            QStringLiteral("مشروع الواحة"));

        QCOMPARE(columnOf(m_reports->getOverdueInstallmentsPage(1, 1), QStringLiteral("due_date")),
            QStringList({ "2025-05-01" }));
        QCOMPARE(columnOf(m_reports->getOverdueInstallmentsPage(0, 50, QStringLiteral("هالة")),
                     QStringLiteral("due_date")),
            QStringList({ "2025-06-14" }));
        QCOMPARE(m_reports->getOverdueInstallmentsPage(0, 50, QStringLiteral("12")).size(), 2);
        QCOMPARE(m_reports->getOverdueInstallmentsPage(0, 50, QStringLiteral("الواحة")).size(), 3);

        Clock::setToday(QDate(2025, 6, 16));
        QCOMPARE(m_reports->getOverdueInstallmentsPage(0, 50).size(), 4);
    }

    void chequeReportPagesFilterLikeTheReport()
    {
        m_fx->cheque(QStringLiteral("C3"), 300, QStringLiteral("paid"), QStringLiteral("2025-03-31"), 1);
        m_fx->cheque(QStringLiteral("C1"), 100, QStringLiteral("pending"), QStringLiteral("2025-01-15"), 2);
        m_fx->cheque(QStringLiteral("C4"), 400, QStringLiteral("bounced"), QStringLiteral("2025-04-01"));
        const int c2 = m_fx->cheque(
            QStringLiteral("C2"), 200, QStringLiteral("pending"), QStringLiteral("2025-03-01"), 1);
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE cheques SET payer_name=?, bank_name=? WHERE id=?"),
            { QStringLiteral("سامي_50%"), QStringLiteral("بنك فلسطين"), c2 }));

        QCOMPARE(columnOf(m_reports->getChequeReportPage(QString(), QString(), QString(), 0, 50),
                     QStringLiteral("cheque_number")),
            QStringList({ "C1", "C2", "C3", "C4" }));
        QCOMPARE(columnOf(m_reports->getChequeReportPage(QString(), QString(), QString(), 1, 2),
                     QStringLiteral("cheque_number")),
            QStringList({ "C2", "C3" }));
        const QVariantList march = m_reports->getChequeReportPage(
            QString(), QStringLiteral("2025-03-01"), QStringLiteral("2025-03-31"), 0, 50);
        QCOMPARE(columnOf(march, QStringLiteral("cheque_number")), QStringList({ "C2", "C3" }));
        QCOMPARE(
            march.at(0).toMap().value(QStringLiteral("currency_symbol")).toString(), QStringLiteral("₪"));
        QCOMPARE(columnOf(m_reports->getChequeReportPage(QStringLiteral("pending"),
                              QStringLiteral("2025-03-01"), QStringLiteral("2025-04-30"), 0, 50),
                     QStringLiteral("cheque_number")),
            QStringList({ "C2" }));
        // One bound alone is no range, as in the full report.
        QCOMPARE(
            m_reports->getChequeReportPage(QString(), QStringLiteral("2025-03-01"), QString(), 0, 50).size(),
            4);

        QCOMPARE(columnOf(m_reports->getChequeReportPage(
                              QString(), QString(), QString(), 0, 50, QStringLiteral("c4")),
                     QStringLiteral("cheque_number")),
            QStringList({ "C4" }));
        QCOMPARE(columnOf(m_reports->getChequeReportPage(
                              QString(), QString(), QString(), 0, 50, QStringLiteral("فلسطين")),
                     QStringLiteral("cheque_number")),
            QStringList({ "C2" }));
        QCOMPARE(columnOf(m_reports->getChequeReportPage(
                              QString(), QString(), QString(), 0, 50, QStringLiteral("_50%")),
                     QStringLiteral("cheque_number")),
            QStringList({ "C2" }));
        QCOMPARE(m_reports->getChequeReportPage(QString(), QString(), QString(), 0, 50, QStringLiteral("%"))
                     .size(),
            1);
    }

    void malformedChequeRangeIsRefused()
    {
        m_fx->cheque(QStringLiteral("C1"), 100, QStringLiteral("pending"), QStringLiteral("2025-01-15"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^refused ")));
        QCOMPARE(m_reports
                     ->getChequeReportPage(
                         QString(), QStringLiteral("2025-1-1"), QStringLiteral("2025-12-31"), 0, 50)
                     .size(),
            0);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ReportFixtures> m_fx;
    std::unique_ptr<ReportController> m_reports;
};

QTEST_GUILESS_MAIN(TestReportPages)
#include "tst_reportpages.moc"
