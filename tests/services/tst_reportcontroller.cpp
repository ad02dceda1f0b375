// Statements, cheque register, takings by month, property comparison, overdue installments and the
// cash-basis profit and loss and balance summary, on small data sets whose figures are worked out
// by hand in each test.
#include "clock.h"
#include "reportcontroller.h"
#include "reportfixtures.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kInvoice = QStringLiteral("فاتورة");
const QString kPayment = QStringLiteral("دفعة");

QVariantMap rowAt(const QVariantList& rows, int i)
{
    return rows.value(i).toMap();
}

// Each refusal is logged once; the test fails if one is missing.
void expectRefusals(int count)
{
    for (int i = 0; i < count; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^refused ")));
}

} // namespace

class TestReportController : public QObject
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

    void tenantStatementListsChargesAndPaymentsByDay()
    {
        const int property = m_fx->property(QStringLiteral("برج النور"));
        const int unit = m_fx->unit(property, QStringLiteral("A1"), QStringLiteral("rented"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int other = m_fx->tenant(QStringLiteral("ليلى"));
        const int march = m_fx->invoice(tenant, unit, 1000, 400, QStringLiteral("partial"),
            QStringLiteral("2025-03-28"), QStringLiteral("2025-03-05 09:00:00"));
        m_fx->invoice(tenant, unit, 1200, 0, QStringLiteral("pending"), QStringLiteral("2025-04-28"),
            QStringLiteral("2025-04-02 08:00:00"));
        m_fx->invoice(tenant, unit, 500, 0, QStringLiteral("void"), QStringLiteral("2025-03-28"),
            QStringLiteral("2025-03-10 12:00:00"));
        m_fx->invoice(other, unit, 700, 0, QStringLiteral("pending"), QStringLiteral("2025-03-28"),
            QStringLiteral("2025-03-06 10:00:00"));
        m_fx->rentPayment(march, tenant, 400, QStringLiteral("2025-03-20"), QStringLiteral("TR-1"));
        // Paid the same day the invoice was written: the charge still comes first.
        m_fx->rentPayment(march, tenant, 0.5, QStringLiteral("2025-03-05"), QStringLiteral("TR-0"));

        const QVariantList rows = m_reports->getTenantStatement(tenant, QString(), QString());
        QCOMPARE(rows.size(), 4);
        QCOMPARE(
            columnOf(rows, QStringLiteral("type")), QStringList({ kInvoice, kPayment, kPayment, kInvoice }));
        QCOMPARE(columnOf(rows, QStringLiteral("date")),
            QStringList({ QStringLiteral("2025-03-05 09:00:00"), QStringLiteral("2025-03-05"),
                QStringLiteral("2025-03-20"), QStringLiteral("2025-04-02 08:00:00") }));
        QCOMPARE(columnOf(rows, QStringLiteral("ref")),
            QStringList({ QStringLiteral("INV-T-0001"), QStringLiteral("TR-0"), QStringLiteral("TR-1"),
                QStringLiteral("INV-T-0002") }));
        const QVariantMap first = rowAt(rows, 0);
        QCOMPARE(first.keys(), QStringList({ "credit", "date", "debit", "ref", "type" }));
        QCOMPARE(first.value("debit").toDouble(), 1000.0);
        QCOMPARE(first.value("credit").toDouble(), 0.0);
        QCOMPARE(rowAt(rows, 2).value("debit").toDouble(), 0.0);
        QCOMPARE(rowAt(rows, 2).value("credit").toDouble(), 400.0);
        QCOMPARE(rowAt(rows, 3).value("debit").toDouble(), 1200.0);

        QVERIFY(m_reports->getTenantStatement(9999, QString(), QString()).isEmpty());
    }

    void tenantStatementRangeKeepsWholeDays()
    {
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const QString pending = QStringLiteral("pending");
        const QString due = QStringLiteral("2025-03-28");
        m_fx->invoice(tenant, QVariant(), 100, 0, pending, due, QStringLiteral("2025-02-28 23:59:59"));
        m_fx->invoice(tenant, QVariant(), 200, 0, pending, due, QStringLiteral("2025-03-01 00:00:00"));
        m_fx->invoice(tenant, QVariant(), 300, 0, pending, due, QStringLiteral("2025-03-31 10:00:00"));
        m_fx->invoice(tenant, QVariant(), 400, 0, pending, due, QStringLiteral("2025-03-31 23:59:59"));
        m_fx->invoice(tenant, QVariant(), 500, 0, pending, due, QStringLiteral("2025-04-01 00:00:00"));
        const int paidInto
            = m_fx->invoice(tenant, QVariant(), 9000, 0, pending, due, QStringLiteral("2024-12-01 00:00:00"));
        m_fx->rentPayment(paidInto, tenant, 10, QStringLiteral("2025-02-28"));
        m_fx->rentPayment(paidInto, tenant, 20, QStringLiteral("2025-03-01"));
        m_fx->rentPayment(paidInto, tenant, 30, QStringLiteral("2025-03-31"));
        m_fx->rentPayment(paidInto, tenant, 40, QStringLiteral("2025-04-01"));

        const QVariantList rows = m_reports->getTenantStatement(
            tenant, QStringLiteral("2025-03-01"), QStringLiteral("2025-03-31"));
        // In: invoices of 1 March (200) and 31 March at 10:00 and 23:59 (300, 400); payments of 1 and 31
        // March.
        double debit = 0;
        double credit = 0;
        for (const QVariant& row : rows) {
            debit += row.toMap().value("debit").toDouble();
            credit += row.toMap().value("credit").toDouble();
        }
        QCOMPARE(rows.size(), 5);
        QCOMPARE(debit, 900.0);
        QCOMPARE(credit, 50.0);
        QCOMPARE(rowAt(rows, 3).value("date").toString(), QStringLiteral("2025-03-31 23:59:59"));
        QCOMPARE(rowAt(rows, 4).value("date").toString(), QStringLiteral("2025-03-31"));

        // A single day is a whole day.
        const QVariantList lastDay = m_reports->getTenantStatement(
            tenant, QStringLiteral("2025-03-31"), QStringLiteral("2025-03-31"));
        QCOMPARE(lastDay.size(), 3);
    }

    void rangeWithOneBoundCoversTheWholeHistory()
    {
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        m_fx->invoice(tenant, QVariant(), 100, 0, QStringLiteral("pending"), QStringLiteral("2025-01-28"),
            QStringLiteral("2024-01-05 09:00:00"));
        m_fx->invoice(tenant, QVariant(), 200, 0, QStringLiteral("pending"), QStringLiteral("2025-05-28"),
            QStringLiteral("2025-05-05 09:00:00"));

        QCOMPARE(m_reports->getTenantStatement(tenant, QStringLiteral("2025-05-01"), QString()).size(), 2);
        QCOMPARE(m_reports->getTenantStatement(tenant, QString(), QStringLiteral("2024-02-01")).size(), 2);
        QCOMPARE(
            m_reports->getTenantStatement(tenant, QStringLiteral("2025-05-01"), QStringLiteral("2025-05-31"))
                .size(),
            1);
        // A reversed range holds no day.
        QCOMPARE(
            m_reports->getTenantStatement(tenant, QStringLiteral("2025-05-31"), QStringLiteral("2025-05-01"))
                .size(),
            0);
    }

    void malformedRangeIsRefusedAndChangesNothing_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("quote closing the to bound")
            << QStringLiteral("2025-01-01") << QStringLiteral("2025-12-31' OR '1'='1");
        QTest::newRow("quote closing the from bound")
            << QStringLiteral("2000-01-01' OR date > '") << QStringLiteral("2025-12-31");
        QTest::newRow("statement after a quote")
            << QStringLiteral("2025-01-01") << QStringLiteral("x'); DELETE FROM payments; --");
        QTest::newRow("slashes") << QStringLiteral("2025/01/01") << QStringLiteral("2025/12/31");
        QTest::newRow("day first") << QStringLiteral("01-01-2025") << QStringLiteral("31-12-2025");
        QTest::newRow("no such day") << QStringLiteral("2025-02-30") << QStringLiteral("2025-12-31");
        QTest::newRow("time of day") << QStringLiteral("2025-01-01") << QStringLiteral("2025-12-31 10:00");
        QTest::newRow("unpadded") << QStringLiteral("2025-1-1") << QStringLiteral("2025-12-31");
    }

    void malformedRangeIsRefusedAndChangesNothing()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        const int property = m_fx->property(QStringLiteral("برج"));
        const int unit = m_fx->unit(property, QStringLiteral("1"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int contractor = m_fx->contractor(QStringLiteral("مقاول"));
        const int invoice = m_fx->invoice(tenant, unit, 100, 0, QStringLiteral("pending"),
            QStringLiteral("2025-03-28"), QStringLiteral("2025-03-01 09:00:00"));
        m_fx->rentPayment(invoice, tenant, 50, QStringLiteral("2025-03-02"));
        m_fx->installment(buyer, unit, 300, 0, QStringLiteral("pending"), QStringLiteral("2025-03-10"));
        m_fx->expense(property, unit, 70, QStringLiteral("2025-03-03"), contractor);
        m_fx->cheque(QStringLiteral("1"), 300, QStringLiteral("pending"), QStringLiteral("2025-03-10"));

        QSignalSpy errors(m_db->db(), &Database::databaseError);
        expectRefusals(7);
        QVERIFY(m_reports->getTenantStatement(tenant, from, to).isEmpty());
        QVERIFY(m_reports->getBuyerStatement(buyer, from, to).isEmpty());
        QVERIFY(m_reports->getContractorStatement(contractor, from, to).isEmpty());
        QVERIFY(m_reports->getChequeReport(QString(), from, to).isEmpty());
        QVERIFY(m_reports->getChequeReport(QStringLiteral("pending"), from, to).isEmpty());
        QVERIFY(m_reports->getProfitLoss(from, to).isEmpty());
        QVERIFY(m_reports->getPropertyProfitability(property, from, to).isEmpty());
        QCOMPARE(errors.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 1);

        // The same reports with a sound range still see the rows.
        QCOMPARE(
            m_reports->getTenantStatement(tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"))
                .size(),
            2);
        QCOMPARE(m_reports->getProfitLoss(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"))
                     .value("revenue")
                     .toDouble(),
            50.0);
    }

    void quoteInTheChequeStatusMatchesNothing()
    {
        m_fx->cheque(QStringLiteral("1"), 300, QStringLiteral("pending"), QStringLiteral("2025-03-10"));
        QSignalSpy errors(m_db->db(), &Database::databaseError);
        QVERIFY(m_reports->getChequeReport(QStringLiteral("x' OR '1'='1"), QString(), QString()).isEmpty());
        QCOMPARE(errors.count(), 0);
    }

    void buyerStatementListsInstallmentsWithWhatRemains()
    {
        const int property = m_fx->property(QStringLiteral("مشروع الياسمين"));
        const int unit = m_fx->unit(property, QStringLiteral("B7"), QStringLiteral("sold"), 90000);
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int other = m_fx->buyer(QStringLiteral("عمر"));
        m_fx->installment(buyer, unit, 1000, 250.5, QStringLiteral("partial"), QStringLiteral("2025-02-28"));
        m_fx->installment(buyer, unit, 1000, 0, QStringLiteral("pending"), QStringLiteral("2025-01-31"));
        m_fx->installment(buyer, unit, 1000.5, 1000.5, QStringLiteral("paid"), QStringLiteral("2025-03-31"));
        m_fx->installment(other, unit, 777, 0, QStringLiteral("pending"), QStringLiteral("2025-02-01"));

        const QVariantList rows = m_reports->getBuyerStatement(buyer, QString(), QString());
        QCOMPARE(columnOf(rows, QStringLiteral("due_date")),
            QStringList({ QStringLiteral("2025-01-31"), QStringLiteral("2025-02-28"),
                QStringLiteral("2025-03-31") }));
        QCOMPARE(rowAt(rows, 0).value("remaining_amount").toDouble(), 1000.0);
        QCOMPARE(rowAt(rows, 1).value("remaining_amount").toDouble(), 749.5);
        QCOMPARE(rowAt(rows, 2).value("remaining_amount").toDouble(), 0.0);
        QCOMPARE(rowAt(rows, 1).value("remaining_amount").typeId(), QMetaType::Double);
        QCOMPARE(rowAt(rows, 1).value("unit_number").toString(), QStringLiteral("B7"));
        QCOMPARE(rowAt(rows, 1).value("property_name").toString(), QStringLiteral("مشروع الياسمين"));
        QCOMPARE(rowAt(rows, 1).value("status").toString(), QStringLiteral("partial"));
        QVERIFY(rowAt(rows, 1).contains("installment_amount"));

        // The last day of the range is in.
        const QVariantList feb
            = m_reports->getBuyerStatement(buyer, QStringLiteral("2025-02-01"), QStringLiteral("2025-02-28"));
        QCOMPARE(columnOf(feb, QStringLiteral("due_date")), QStringList({ QStringLiteral("2025-02-28") }));
    }

    void contractorStatementListsLatestFirst()
    {
        const int property = m_fx->property(QStringLiteral("برج"));
        const int unit = m_fx->unit(property, QStringLiteral("3"));
        const int contractor = m_fx->contractor(QStringLiteral("أبو خالد"));
        const int other = m_fx->contractor(QStringLiteral("غيره"));
        m_fx->expense(property, unit, 1200, QStringLiteral("2025-01-10"), contractor);
        m_fx->expense(property, QVariant(), 300, QStringLiteral("2025-03-31"), contractor);
        m_fx->expense(property, unit, 50, QStringLiteral("2025-02-15"), contractor);
        m_fx->expense(property, unit, 999, QStringLiteral("2025-02-16"), other);

        const QVariantList rows = m_reports->getContractorStatement(contractor, QString(), QString());
        QCOMPARE(columnOf(rows, QStringLiteral("expense_date")),
            QStringList({ QStringLiteral("2025-03-31"), QStringLiteral("2025-02-15"),
                QStringLiteral("2025-01-10") }));
        QCOMPARE(rowAt(rows, 0).value("amount").toDouble(), 300.0);
        QVERIFY(rowAt(rows, 0).contains("unit_number"));
        QVERIFY(rowAt(rows, 0).value("unit_number").isNull());
        QCOMPARE(rowAt(rows, 1).value("unit_number").toString(), QStringLiteral("3"));
        QCOMPARE(rowAt(rows, 1).value("property_name").toString(), QStringLiteral("برج"));

        const QVariantList ranged = m_reports->getContractorStatement(
            contractor, QStringLiteral("2025-02-15"), QStringLiteral("2025-03-31"));
        QCOMPARE(columnOf(ranged, QStringLiteral("amount")),
            QStringList({ QStringLiteral("300"), QStringLiteral("50") }));
    }

    void chequeReportFiltersByStatusAndDueDate()
    {
        m_fx->cheque(QStringLiteral("C3"), 300, QStringLiteral("paid"), QStringLiteral("2025-03-31"), 1);
        m_fx->cheque(QStringLiteral("C1"), 100, QStringLiteral("pending"), QStringLiteral("2025-01-15"), 2);
        m_fx->cheque(QStringLiteral("C4"), 400, QStringLiteral("bounced"), QStringLiteral("2025-04-01"));
        m_fx->cheque(QStringLiteral("C2"), 200, QStringLiteral("pending"), QStringLiteral("2025-03-01"), 1);

        const QVariantList all = m_reports->getChequeReport();
        QCOMPARE(columnOf(all, QStringLiteral("cheque_number")), QStringList({ "C1", "C2", "C3", "C4" }));
        QCOMPARE(rowAt(all, 0).value("currency_symbol").toString(), QStringLiteral("$"));
        QCOMPARE(rowAt(all, 1).value("currency_symbol").toString(), QStringLiteral("₪"));
        QVERIFY(rowAt(all, 3).value("currency_symbol").isNull());

        QCOMPARE(
            columnOf(m_reports->getChequeReport(QStringLiteral("pending")), QStringLiteral("cheque_number")),
            QStringList({ "C1", "C2" }));
        QCOMPARE(columnOf(m_reports->getChequeReport(
                              QString(), QStringLiteral("2025-03-01"), QStringLiteral("2025-03-31")),
                     QStringLiteral("cheque_number")),
            QStringList({ "C2", "C3" }));
        QCOMPARE(columnOf(m_reports->getChequeReport(QStringLiteral("pending"), QStringLiteral("2025-03-01"),
                              QStringLiteral("2025-04-30")),
                     QStringLiteral("cheque_number")),
            QStringList({ "C2" }));
        QCOMPARE(m_reports->getChequeReport(QString(), QStringLiteral("2025-03-01"), QString()).size(), 4);
    }

    void monthlyReportListsOnlyMonthsWithTakings()
    {
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int property = m_fx->property(QStringLiteral("برج"));
        const int unit = m_fx->unit(property, QStringLiteral("1"), QStringLiteral("sold"));
        const int invoice
            = m_fx->invoice(tenant, unit, 5000, 0, QStringLiteral("pending"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(invoice, tenant, 100, QStringLiteral("2025-03-01"));
        m_fx->rentPayment(invoice, tenant, 250.5, QStringLiteral("2025-03-31"));
        // A down payment and an installment collection count like rent.
        m_fx->buyerPayment(buyer, unit, 1000, QStringLiteral("2025-05-01"),
            ReportFixtures::downPaymentNotes(QStringLiteral("1")));
        m_fx->buyerPayment(
            buyer, unit, 30, QStringLiteral("2025-05-31"), QStringLiteral("تحصيل قسط - معرف: 1"));
        m_fx->rentPayment(invoice, tenant, 999, QStringLiteral("2024-12-31"));
        m_fx->rentPayment(invoice, tenant, 7, QStringLiteral("2026-01-01"));
        // A day with a time still names its month; a date not in the stored form names none.
        m_fx->rentPayment(invoice, tenant, 0.25, QStringLiteral("2025-05-31 18:30:00"));
        m_fx->rentPayment(invoice, tenant, 55, QStringLiteral("2025-3-5"));

        const QVariantList rows = m_reports->getMonthlyReport(QStringLiteral("2025"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rowAt(rows, 0).value("month").toString(), QStringLiteral("03"));
        QCOMPARE(rowAt(rows, 0).value("revenue").toDouble(), 350.5);
        QCOMPARE(rowAt(rows, 1).value("month").toString(), QStringLiteral("05"));
        QCOMPARE(rowAt(rows, 1).value("revenue").toDouble(), 1030.25);
        QCOMPARE(rowAt(rows, 0).keys(), QStringList({ "month", "revenue" }));

        const QVariantList lastYear = m_reports->getMonthlyReport(QStringLiteral("2024"));
        QCOMPARE(lastYear.size(), 1);
        QCOMPARE(rowAt(lastYear, 0).value("month").toString(), QStringLiteral("12"));
        QVERIFY(m_reports->getMonthlyReport(QStringLiteral("2023")).isEmpty());

        QSignalSpy errors(m_db->db(), &Database::databaseError);
        expectRefusals(4);
        QVERIFY(m_reports->getMonthlyReport(QStringLiteral("25")).isEmpty());
        QVERIFY(m_reports->getMonthlyReport(QStringLiteral("2025' OR '1'='1")).isEmpty());
        QVERIFY(m_reports->getMonthlyReport(QString()).isEmpty());
        QVERIFY(m_reports->getMonthlyReport(QStringLiteral("2025\n")).isEmpty());
        QCOMPARE(errors.count(), 0);
    }

    void propertyComparisonCountsIncomeFromInvoicesOnly()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int rented = m_fx->unit(tower, QStringLiteral("1"), QStringLiteral("rented"));
        const int sold = m_fx->unit(tower, QStringLiteral("2"), QStringLiteral("sold"), 100000);
        m_fx->unit(tower, QStringLiteral("3"));
        const int villa = m_fx->property(QStringLiteral("فيلا"));
        const int villaUnit = m_fx->unit(villa, QStringLiteral("V"), QStringLiteral("rented"));
        const int empty = m_fx->property(QStringLiteral("أرض"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));

        const int towerInvoice = m_fx->invoice(
            tenant, rented, 1000, 800, QStringLiteral("partial"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(towerInvoice, tenant, 500, QStringLiteral("2025-03-01"));
        m_fx->rentPayment(towerInvoice, tenant, 300, QStringLiteral("2025-03-10"));
        // Sale money of the tower's sold unit is not rent income.
        m_fx->buyerPayment(buyer, sold, 20000, QStringLiteral("2025-03-01"),
            ReportFixtures::downPaymentNotes(QStringLiteral("2")));
        m_fx->buyerPayment(
            buyer, sold, 5000, QStringLiteral("2025-04-01"), QStringLiteral("تحصيل قسط - معرف: 1"));
        m_fx->expense(tower, QVariant(), 200, QStringLiteral("2025-03-05"));
        m_fx->expense(tower, rented, 25.5, QStringLiteral("2025-03-06"));
        const int villaInvoice = m_fx->invoice(
            tenant, villaUnit, 1000, 1000, QStringLiteral("paid"), QStringLiteral("2025-04-28"));
        m_fx->rentPayment(villaInvoice, tenant, 1000, QStringLiteral("2025-04-02"));

        const QVariantList rows = m_reports->getPropertyComparison();
        QCOMPARE(rows.size(), 3);
        const QVariantMap first = rowAt(rows, 0);
        QCOMPARE(
            first.keys(), QStringList({ "expenses", "id", "income", "name", "rented", "sold", "units" }));
        QCOMPARE(first.value("id").toInt(), villa);
        QCOMPARE(first.value("income").toDouble(), 1000.0);
        QCOMPARE(first.value("units").toInt(), 1);
        QCOMPARE(first.value("expenses").toDouble(), 0.0);

        const QVariantMap second = rowAt(rows, 1);
        QCOMPARE(second.value("name").toString(), QStringLiteral("برج النور"));
        QCOMPARE(second.value("units").toInt(), 3);
        QCOMPARE(second.value("rented").toInt(), 1);
        QCOMPARE(second.value("sold").toInt(), 1);
        QCOMPARE(second.value("income").toDouble(), 800.0);
        QCOMPARE(second.value("expenses").toDouble(), 225.5);

        const QVariantMap third = rowAt(rows, 2);
        QCOMPARE(third.value("id").toInt(), empty);
        QCOMPARE(third.value("units").toInt(), 0);
        QCOMPARE(third.value("rented").toInt(), 0);
        QCOMPARE(third.value("income").toDouble(), 0.0);
    }

    void propertyComparisonRequestedAnswersWithTheSameRowsAndTheLatestData()
    {
        const int tower = m_fx->property(QStringLiteral("برج النور"));
        const int unit = m_fx->unit(tower, QStringLiteral("1"), QStringLiteral("rented"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int invoice
            = m_fx->invoice(tenant, unit, 1000, 0, QStringLiteral("pending"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(invoice, tenant, 400, QStringLiteral("2025-03-01"));
        m_fx->expense(tower, QVariant(), 75, QStringLiteral("2025-03-05"));

        QSignalSpy ready(m_reports.get(), &ReportController::propertyComparisonReady);
        const int first = m_reports->requestPropertyComparison();
        QVERIFY(ready.wait(5000));
        QCOMPARE(ready.at(0).at(0).toInt(), first);
        const QVariantList rows = ready.at(0).at(1).toList();
        QCOMPARE(rows, m_reports->getPropertyComparison());
        QCOMPARE(rowAt(rows, 0).value("income").toDouble(), 400.0);
        QCOMPARE(rowAt(rows, 0).value("expenses").toDouble(), 75.0);

        // What was committed after the first answer is in the next one, under a newer number.
        m_fx->rentPayment(invoice, tenant, 100, QStringLiteral("2025-03-02"));
        const int second = m_reports->requestPropertyComparison();
        QVERIFY(second > first);
        QVERIFY(ready.wait(5000));
        QCOMPARE(ready.at(1).at(0).toInt(), second);
        QCOMPARE(rowAt(ready.at(1).at(1).toList(), 0).value("income").toDouble(), 500.0);
    }

    void propertyComparisonStillRunningWhenTheControllerGoesIsDropped()
    {
        for (int i = 0; i < 20; ++i)
            m_fx->property(QStringLiteral("عقار %1").arg(i));
        QSignalSpy ready(m_reports.get(), &ReportController::propertyComparisonReady);
        m_reports->requestPropertyComparison();
        m_reports.reset();
        QTest::qWait(50);
        QCOMPARE(ready.count(), 0);
    }

    void overdueInstallmentsAreThoseDueBeforeToday()
    {
        // Today is pinned to 2025-06-15.
        const int property = m_fx->property(QStringLiteral("مشروع"));
        const int unit = m_fx->unit(property, QStringLiteral("9"), QStringLiteral("sold"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        m_fx->installment(buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-14"));
        m_fx->installment(buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->installment(buyer, unit, 500, 200, QStringLiteral("partial"), QStringLiteral("2025-05-01"));
        m_fx->installment(buyer, unit, 500, 500, QStringLiteral("paid"), QStringLiteral("2025-04-01"));

        const QVariantList rows = m_reports->getOverdueInstallments();
        QCOMPARE(columnOf(rows, QStringLiteral("due_date")),
            QStringList({ QStringLiteral("2025-05-01"), QStringLiteral("2025-06-14") }));
        QCOMPARE(rowAt(rows, 0).value("buyer_name").toString(), QStringLiteral("هالة"));
        QCOMPARE(rowAt(rows, 0).value("unit_number").toString(), QStringLiteral("9"));
        QCOMPARE(rowAt(rows, 0).value("property_name").toString(), QStringLiteral("مشروع"));
        QCOMPARE(rowAt(rows, 0).value("paid_amount").toDouble(), 200.0);

        Clock::setToday(QDate(2025, 6, 16));
        QCOMPARE(m_reports->getOverdueInstallments().size(), 3);
    }

    void profitLossWithAndWithoutRange()
    {
        const QVariantMap none = m_reports->getProfitLoss();
        QCOMPARE(none.value("revenue").toDouble(), 0.0);
        QCOMPARE(none.value("expenses").toDouble(), 0.0);
        QCOMPARE(none.value("net_profit").toDouble(), 0.0);

        const int property = m_fx->property(QStringLiteral("برج"));
        const int unit = m_fx->unit(property, QStringLiteral("1"), QStringLiteral("sold"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        const int invoice
            = m_fx->invoice(tenant, unit, 5000, 0, QStringLiteral("pending"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(invoice, tenant, 1000, QStringLiteral("2025-01-10"));
        m_fx->buyerPayment(buyer, unit, 2000, QStringLiteral("2025-03-31"),
            ReportFixtures::downPaymentNotes(QStringLiteral("1")));
        m_fx->rentPayment(invoice, tenant, 500, QStringLiteral("2025-04-01"));
        m_fx->expense(property, QVariant(), 300, QStringLiteral("2025-03-31"));
        m_fx->expense(property, unit, 100, QStringLiteral("2025-04-02"));

        // Whole history: 1000 + 2000 + 500 in, 300 + 100 out.
        const QVariantMap all = m_reports->getProfitLoss(QString(), QString());
        QCOMPARE(all.keys(), QStringList({ "expenses", "net_profit", "revenue" }));
        QCOMPARE(all.value("revenue").toDouble(), 3500.0);
        QCOMPARE(all.value("expenses").toDouble(), 400.0);
        QCOMPARE(all.value("net_profit").toDouble(), 3100.0);
        QCOMPARE(all.value("net_profit").typeId(), QMetaType::Double);

        // First quarter: the 31 March payment and expense are in, April is out.
        const QVariantMap q1
            = m_reports->getProfitLoss(QStringLiteral("2025-01-01"), QStringLiteral("2025-03-31"));
        QCOMPARE(q1.value("revenue").toDouble(), 3000.0);
        QCOMPARE(q1.value("expenses").toDouble(), 300.0);
        QCOMPARE(q1.value("net_profit").toDouble(), 2700.0);

        // One bound alone is no range.
        QCOMPARE(
            m_reports->getProfitLoss(QStringLiteral("2025-04-01"), QString()).value("revenue").toDouble(),
            3500.0);
    }

    void balanceSheetCountsOpenPartsOnly()
    {
        const int property = m_fx->property(QStringLiteral("برج"));
        const int unit = m_fx->unit(property, QStringLiteral("1"), QStringLiteral("sold"));
        const int tenant = m_fx->tenant(QStringLiteral("سامر"));
        const int buyer = m_fx->buyer(QStringLiteral("هالة"));
        m_fx->invoice(tenant, unit, 1000, 0, QStringLiteral("pending"), QStringLiteral("2025-03-28"));
        const int partial
            = m_fx->invoice(tenant, unit, 1000, 600, QStringLiteral("partial"), QStringLiteral("2025-04-28"));
        const int paid
            = m_fx->invoice(tenant, unit, 800, 800, QStringLiteral("paid"), QStringLiteral("2025-05-28"));
        // A void invoice is out even where a balance was left on it.
        m_fx->invoice(tenant, unit, 250, 0, QStringLiteral("void"), QStringLiteral("2025-05-28"));
        m_fx->rentPayment(partial, tenant, 600, QStringLiteral("2025-04-10"));
        m_fx->rentPayment(paid, tenant, 800, QStringLiteral("2025-05-10"));
        m_fx->buyerPayment(buyer, unit, 5000, QStringLiteral("2025-01-01"),
            ReportFixtures::downPaymentNotes(QStringLiteral("1")));
        m_fx->installment(buyer, unit, 1000, 0, QStringLiteral("pending"), QStringLiteral("2025-02-01"));
        m_fx->installment(buyer, unit, 1000, 250, QStringLiteral("partial"), QStringLiteral("2025-03-01"));
        m_fx->installment(buyer, unit, 1000, 1000, QStringLiteral("paid"), QStringLiteral("2025-04-01"));
        m_fx->expense(property, QVariant(), 4000, QStringLiteral("2025-01-05"));

        const QVariantMap sheet = m_reports->getBalanceSheet();
        QCOMPARE(
            sheet.keys(), QStringList({ "cash", "installment_receivables", "receivables", "total_assets" }));
        QCOMPARE(sheet.value("receivables").toDouble(), 1400.0); // 1000 pending + 400 open of the partial one
        QCOMPARE(sheet.value("cash").toDouble(), 6400.0); // 600 + 800 + 5000; expenses are not deducted
        QCOMPARE(sheet.value("installment_receivables").toDouble(), 1750.0); // 1000 + 750
        QCOMPARE(sheet.value("total_assets").toDouble(), 9550.0);
    }

    void emptyDatabaseGivesZeroFigures()
    {
        const QVariantMap sheet = m_reports->getBalanceSheet();
        QCOMPARE(sheet.value("receivables").toDouble(), 0.0);
        QCOMPARE(sheet.value("cash").toDouble(), 0.0);
        QCOMPARE(sheet.value("installment_receivables").toDouble(), 0.0);
        QCOMPARE(sheet.value("total_assets").toDouble(), 0.0);
        QVERIFY(m_reports->getPropertyComparison().isEmpty());
        QVERIFY(m_reports->getOverdueInstallments().isEmpty());
        QVERIFY(m_reports->getChequeReport().isEmpty());
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ReportFixtures> m_fx;
    std::unique_ptr<ReportController> m_reports;
};

QTEST_GUILESS_MAIN(TestReportController)
#include "tst_reportcontroller.moc"
