// Billing the tenants: invoices and their numbers, the rent run and service charges, payments.
#include "clock.h"
#include "contractmodel.h"
#include "invoicemodel.h"
#include "latefeepolicy.h"
#include "meterreadingmodel.h"
#include "modeltest.h"
#include "money.h"
#include "paymentmodel.h"
#include "remindermodel.h"
#include "rentalfixtures.h"
#include "rowvalues.h"

using namespace RentalFixtures;
using namespace Qt::StringLiterals;

class TestBilling : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_invoices;
    std::unique_ptr<PaymentModel> m_payments;
    std::unique_ptr<MeterReadingModel> m_meters;
    int m_property = 0;
    int m_unit = 0;
    int m_tenant = 0;
    int m_other = 0;
    // What the refusal table stands on: an invoice of 1000 with 400 paid, and a void one.
    int m_invoice = 0;
    int m_void = 0;
    // A let unit read in February (100, opening its water meter) and March (130), not billed yet.
    int m_metered = 0;
    static constexpr int kWater = 1; // 5 a cubic metre

    Database* db() const { return m_db->db(); }
    QVariant field(int invoice, const char* column) const
    {
        return db()->getById("invoices", invoice).value(QString::fromLatin1(column));
    }
    double balanceOf(int tenant) const
    {
        return m_db->value("SELECT balance FROM tenants WHERE id=?", { tenant }).toDouble();
    }
    int bill(int tenant, const QString& period, double total)
    {
        return m_invoices->createInvoice(tenant, m_unit, period, { item("إيجار", total) }, 1);
    }
    bool billLines(const QString& period, const QVariantList& lines, int tenant = 0)
    {
        return m_invoices->createInvoice(tenant ? tenant : m_tenant, m_unit, period, lines, 1) > 0;
    }
    int pay(int invoiceId, int tenant, double amount, const QString& date = "2025-03-20", int currency = 1)
    {
        return m_payments->add(invoiceId, tenant, amount, "bank", date, "TR-7", currency);
    }
    /** A tenant on a new unit of the property under an active contract; returns the contract. */
    int let(const QString& name, double rent, const QString& start = "2025-01-01",
        const QString& end = "2025-12-31")
    {
        return addContract(db(), addUnit(db(), m_property, name), addTenant(db(), name), start, end, rent);
    }
    int of(const char* column, int contract) const
    {
        return m_db->value(u"SELECT %1 FROM contracts WHERE id=?"_s.arg(QLatin1String(column)), { contract })
            .toInt();
    }
    void addUsage(int unit, const QString& service, const QString& period, double consumption, double cost)
    {
        QVERIFY(db()->execInsert("INSERT INTO usage_records (unit_id, service_id, period, consumption, cost) "
                                 "VALUES (?, (SELECT id FROM services WHERE name=?), ?, ?, ?)",
                    { unit, service, period, consumption, cost })
            > 0);
    }
    /** Keeps a reading of the water meter: "yyyy-MM reading", then "change" or "sure" when so. */
    QVariantMap read(int unit, const QString& entry)
    {
        const QStringList parts = entry.split(' ');
        return m_meters->saveReading(unit, kWater, parts.at(0), parts.at(1).toDouble(),
            parts.contains("change"), parts.contains("sure"));
    }
    /** A contract the model would refuse, written by hand. */
    void addRawContract(
        const QVariant& start, const QVariant& end, double rent, const QString& frequency = "monthly")
    {
        QVERIFY(
            db()->execInsert("INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, "
                             "payment_frequency, currency_id) VALUES (?, ?, ?, ?, ?, ?, 1)",
                { m_unit, m_tenant, start, end, rent, frequency })
            > 0);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_invoices = std::make_unique<InvoiceModel>(db());
        m_payments = std::make_unique<PaymentModel>(db());
        m_meters = std::make_unique<MeterReadingModel>(db());
        m_property = addProperty(db());
        m_unit = addUnit(db(), m_property, "101");
        m_tenant = addTenant(db(), "سامي");
        m_other = addTenant(db(), "ليلى");
    }

    void cleanup()
    {
        m_db.reset();
        Clock::setToday(QDate());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("failing"); // "EVENT table" made to fail first
        QTest::addColumn<Call>("call");
        const auto invoice = [this](const char* period, const QVariantList& lines, int tenant = 0) {
            return Call([=] { return billLines(period, lines, tenant); });
        };
        const auto payment = [this](double amount, const char* date = "2025-03-20", int currency = 1) {
            return Call([=] { return pay(m_invoice, m_tenant, amount, date, currency) > 0; });
        };
        const QVariantList rent { item("إيجار", 500) };
        refusal("invoice of an unknown tenant", invoice("2025-04", rent, 999));
        refusal("invoice above the largest amount", invoice("2025-04", { item("x", 9e12), item("y", 9e12) }));
        // The second line cannot be stored (no description): the first may not stay behind.
        refusal("invoice with one broken line",
            invoice("2025-04", { rent.first(), QVariantMap { { "total", 5.0 } } }));
        // One invoice per tenant and period, even for another unit and other lines.
        refusal("second invoice of a period", [this] {
            return m_invoices->createInvoice(m_tenant, 0, "2025-03", { item("كهرباء", 70) }, 1) > 0;
        });
        refusal("invoice whose balance is not written", invoice("2025-04", rent), "UPDATE tenants");
        // Payments are never taken back, never exceed the total and never revive a void invoice.
        refusal("paid amount below what was paid",
            [this] { return m_invoices->updatePaidAmount(m_invoice, 100); });
        refusal(
            "paid amount above the total", [this] { return m_invoices->updatePaidAmount(m_invoice, 1200); });
        refusal(
            "paid amount of a void invoice", [this] { return m_invoices->updatePaidAmount(m_void, 1000); });
        refusal(
            "paid amount of an unknown invoice", [this] { return m_invoices->updatePaidAmount(9999, 10); });
        refusal("void invoice voided again", [this] { return m_invoices->voidInvoice(m_void); });
        refusal("unknown invoice voided", [this] { return m_invoices->voidInvoice(9999); });
        refusal(
            "void whose balance is not written", [this] { return m_invoices->voidInvoice(m_invoice); },
            "UPDATE tenants");
        refusal("payment of nothing", payment(0));
        refusal("payment of a cent more than is open", payment(600.01));
        refusal("payment of half a cent more than is open", payment(600.005));
        refusal("payment on another tenant's invoice", [this] { return pay(m_invoice, m_other, 100) > 0; });
        refusal("payment on an unknown invoice", [this] { return pay(9999, m_tenant, 100) > 0; });
        refusal("payment on a void invoice", [this] { return pay(m_void, m_other, 100) > 0; });
        refusal("payment whose balance is not written", payment(100), "UPDATE tenants");
        refusal("service charge to nobody",
            [this] { return m_invoices->generateServiceInvoice({}, "مياه", 10, "2025-03", 1) > 0; });
        refusal("property charge of nothing", [this] {
            return !m_invoices->issuePropertyService(m_property, "تنظيف", 0, "2025-03", 1)
                        .value("refused")
                        .toBool();
        });
        refusal("property charge where nobody rents", [this] {
            return m_invoices->generatePropertyServiceInvoice(m_property, "تنظيف", 20, "2025-03", 1) > 0;
        });
        const auto lateFees = [this] {
            Clock::setToday(QDate(2025, 4, 15));
            return !m_invoices->issueLateFees().value("refused").toBool();
        };
        refusal("late-fee run whose fee is not owed", lateFees, "UPDATE tenants");
        refusal("late-fee run whose fee is not booked", lateFees, "INSERT journal_lines");
        refusal("waiver of an invoice that is no fee",
            [this] { return m_invoices->waiveLateFee(m_invoice, "x"); });
        const auto reading = [this](const char* period, double value, int service = kWater) {
            return Call([=] {
                return m_meters->saveReading(m_metered, service, period, value).value("saved").toBool();
            });
        };
        const auto usageRun = [this](const char* period) {
            return Call([=] { return m_invoices->billUsage(period).value("made").toInt() > 0; });
        };
        refusal("reading below the last one", reading("2025-04", 129.5));
        refusal("reading of a month a later one follows", reading("2025-02", 101));
        refusal("reading not a number", reading("2025-04", qQNaN()));
        refusal("negative reading", reading("2025-04", -1));
        refusal("reading for a single-digit month", reading("2025-4", 140));
        refusal("reading of a service without a meter", reading("2025-04", 140, 3));
        // Use of 91 against an average of 30 waits for the clerk's word.
        refusal("unusually high use, not confirmed", reading("2025-04", 221));
        refusal("reading whose row is not written", reading("2025-04", 140), "INSERT usage_records");
        refusal("usage run for month 13", usageRun("2025-13"));
        refusal("usage run whose balance is not written", usageRun("2025-03"), "UPDATE tenants");
        refusal("usage run whose lines are not written", usageRun("2025-03"), "INSERT invoice_items");
    }
    void refusals()
    {
        QFETCH(QString, failing);
        QFETCH(Call, call);
        m_invoice = bill(m_tenant, "2025-03", 1000);
        QVERIFY(pay(m_invoice, m_tenant, 400) > 0);
        m_void = bill(m_other, "2025-03", 1000);
        QVERIFY(m_invoices->voidInvoice(m_void));
        QVERIFY(LateFeePolicy::store(db(), 5, "fixed", 50, 0, 0));
        // In a property of its own: the property charges of the table find nobody renting.
        m_metered = addUnit(db(), addProperty(db(), "عمارة العدادات"), "M1");
        addContract(db(), m_metered, addTenant(db(), "مهند"), "2025-01-01", "2025-12-31", 1000);
        QVERIFY(read(m_metered, "2025-02 100").value("saved").toBool());
        QVERIFY(read(m_metered, "2025-03 130").value("saved").toBool());
        verifyRefused(db(), failing, call, { m_invoices.get(), m_payments.get(), m_meters.get() });
    }

    void anInvoiceIsItsLinesInWholeCents()
    {
        QVERIFY(
            billLines("2025-02", { item("إيجار", 1000), item("a", 0.1), item("b", 0.2), item("c", 10.005) }));
        QVERIFY(field(1, "total_amount").toDouble() == 1010.31);
        QVERIFY(balanceOf(m_tenant) == 1010.31);
        VERIFY_CONSISTENT(db());
    }

    void numbering_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("run"); // numbers 0001.. of the month written before too
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("expected");
        const auto row
            = [](const char* name, const char* before, int run, const char* after, const char* expected) {
                  QTest::newRow(name) << QString(before).split(' ', Qt::SkipEmptyParts) << run
                                      << QString(after).split(' ', Qt::SkipEmptyParts) << QString(expected);
              };
        row("first of the month", "", 0, "", "INV-202503-0001");
        row("after a gap", "INV-202503-0001 INV-202503-0007", 0, "", "INV-202503-0008");
        row("other months do not count", "INV-202502-0040 INV-202504-0007 INV-20250-99999", 0, "",
            "INV-202503-0001");
        // LIKE would match this one: the series is case-sensitive.
        row("lower case is another series", "inv-202503-0050", 0, "", "INV-202503-0001");
        row("past 9999", "", 9999, "", "INV-202503-10000");
        row("well past 9999", "", 9999, "INV-202503-10000 INV-202503-10001", "INV-202503-10002");
        // The newest row is 9999 here, while 10000-10002 were written earlier.
        row("past 9999, written out of order", "INV-202503-10000 INV-202503-10001 INV-202503-10002", 9999, "",
            "INV-202503-10003");
    }
    void numbering()
    {
        QFETCH(QStringList, before);
        QFETCH(int, run);
        QFETCH(QStringList, after);
        QFETCH(QString, expected);
        const QString seed = "INSERT INTO invoices (invoice_number, tenant_id, period, status) VALUES (?, ?, "
                             "'2025-01', 'paid')";
        for (const QString& number : before)
            QVERIFY(db()->execInsert(seed, { number, m_other }) > 0);
        QVERIFY(db()->execNonQuery(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO invoices (invoice_number, tenant_id, period, status) "
            "SELECT 'INV-202503-' || substr('0000' || i, -4), ?, '2025-01', 'paid' FROM n WHERE ? > 0",
            { run, m_other, run }));
        for (const QString& number : after)
            QVERIFY(db()->execInsert(seed, { number, m_other }) > 0);
        QCOMPARE(field(bill(m_tenant, "2025-03", 100), "invoice_number").toString(), expected);
    }

    void numbersFollowTheDayOfWritingAndOnePeriodHasOneInvoice()
    {
        // A void invoice keeps its number and no longer holds its period.
        const int first = bill(m_tenant, "2025-03", 1000);
        QVERIFY(m_invoices->voidInvoice(first));
        QCOMPARE(field(bill(m_tenant, "2025-03", 900), "invoice_number").toString(), "INV-202503-0002");
        // Made on 1 April for February: the series is April's, the due date February's.
        Clock::setToday(QDate(2025, 4, 1));
        const int late = bill(m_tenant, "2025-02", 100);
        QCOMPARE(field(late, "invoice_number").toString(), "INV-202504-0001");
        QCOMPARE(field(late, "due_date").toString(), "2025-02-28");
        // A rent-run invoice holds its period too.
        const int contract = let("L1", 500);
        QCOMPARE(m_invoices->generateAllRent("2025-01"), 1);
        QCOMPARE(bill(of("tenant_id", contract), "2025-01", 50), -1);
        QCOMPARE(balanceOf(m_tenant), 1000.0);
        VERIFY_CONSISTENT(db());
    }

    void aPaidAmountIsSetThroughAPayment_data()
    {
        QTest::addColumn<double>("paid");
        QTest::addColumn<double>("balance");
        QTest::addColumn<QString>("status");
        QTest::newRow("part") << 400.0 << 600.0 << u"partial"_s;
        QTest::newRow("what was paid already") << 250.0 << 750.0 << u"partial"_s;
        QTest::newRow("all") << 1000.0 << 0.0 << u"paid"_s;
        QTest::newRow("all, to the half cent") << 999.995 << 0.0 << u"paid"_s;
    }
    void aPaidAmountIsSetThroughAPayment()
    {
        QFETCH(double, paid);
        QFETCH(double, balance);
        QFETCH(QString, status);
        const int id = bill(m_tenant, "2025-03", 1000);
        QVERIFY(m_invoices->updatePaidAmount(id, 250));
        QVERIFY(m_invoices->updatePaidAmount(id, paid));
        QVERIFY(field(id, "balance").toDouble() == balance);
        QCOMPARE(field(id, "status").toString(), status);
        QVERIFY(balanceOf(m_tenant) == balance);
        VERIFY_CONSISTENT(db());
    }

    void voidTakesBackOnlyWhatWasOpen()
    {
        const int id = bill(m_tenant, "2025-03", 1000);
        QVERIFY(pay(id, m_tenant, 400) > 0);
        QVERIFY(m_invoices->voidInvoice(id));
        QCOMPARE(field(id, "status").toString(), "void");
        QCOMPARE(field(id, "paid_amount").toDouble(), 400.0);
        QCOMPARE(balanceOf(m_tenant), 0.0);
        VERIFY_CONSISTENT(db());
    }

    void pendingListsOpenInvoicesEarliestDueFirst()
    {
        const int march = bill(m_tenant, "2025-03", 100);
        const int january = bill(m_tenant, "2025-01", 100);
        const int february = bill(m_tenant, "2025-02", 100);
        QVERIFY(m_invoices->updatePaidAmount(bill(m_tenant, "2024-12", 100), 100));
        QVERIFY(m_invoices->voidInvoice(bill(m_tenant, "2024-11", 100)));
        QVERIFY(bill(m_other, "2024-10", 100) > 0);
        QVERIFY(m_invoices->updatePaidAmount(february, 30));
        const QVariantList pending = m_invoices->getPendingByTenant(m_tenant);
        QCOMPARE(idsOf(pending), QList<int>({ january, february, march }));
        QCOMPARE(pending.at(1).toMap().value("balance").toDouble(), 70.0);
    }

    void rentFallsDueInTheContractsMonths_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("invoices");
        const auto row = [](const char* name, const char* start, const char* end, const char* frequency,
                             const char* period, int invoices) {
            QTest::newRow(name) << QString::fromLatin1(start) << QString::fromLatin1(end)
                                << QString::fromLatin1(frequency) << QString::fromLatin1(period) << invoices;
        };
        // Part months count whole, from the start month through the end month.
        row("monthly, month before start", "2025-01-15", "2025-06-14", "monthly", "2024-12", 0);
        row("monthly, start month", "2025-01-15", "2025-06-14", "monthly", "2025-01", 1);
        row("monthly, end month", "2025-01-15", "2025-06-14", "monthly", "2025-06", 1);
        row("monthly, month after end", "2025-01-15", "2025-06-14", "monthly", "2025-07", 0);
        row("unknown frequency bills monthly", "2025-01-15", "2025-06-14", "Yearly", "2025-02", 1);
        // Yearly rent, charged whole, falls due in the anniversary month of every year of the term.
        row("yearly, first anniversary", "2024-03-01", "2026-02-28", "yearly", "2024-03", 1);
        row("yearly, second anniversary", "2024-03-01", "2026-02-28", "yearly", "2025-03", 1);
        row("yearly, month after", "2024-03-01", "2026-02-28", "yearly", "2024-04", 0);
        row("yearly, month before", "2024-03-01", "2026-02-28", "yearly", "2025-02", 0);
        row("yearly, anniversary after term", "2024-03-01", "2026-02-28", "yearly", "2026-03", 0);
        row("yearly, anniversary before term", "2024-03-01", "2026-02-28", "yearly", "2023-03", 0);
        // A date that does not parse sets no limit on its side.
        row("unreadable end", "2025-01-15", "open", "monthly", "2030-01", 1);
        row("unreadable start", "soon", "2025-06-14", "monthly", "2020-01", 1);
        row("yearly, unreadable start bills every month", "soon", "2026-02-28", "yearly", "2025-08", 1);
    }
    void rentFallsDueInTheContractsMonths()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, frequency);
        QFETCH(QString, period);
        QFETCH(int, invoices);
        addRawContract(start, end, 1000, frequency);
        QCOMPARE(m_invoices->generateAllRent(period), invoices);
        QCOMPARE(
            m_db->count("SELECT id FROM invoices WHERE contract_id=1 AND period=?", { period }), invoices);
        QCOMPARE(balanceOf(m_tenant), 1000.0 * invoices);
    }

    void rentRunBillsEachActiveContractOnce()
    {
        const int shop = let("S1", 800);
        const int flat = let("F1", 1200);
        QVERIFY(ContractModel(db()).terminate(let("T1", 900)));
        // A custom invoice of the same tenant and period does not stand in for the rent, and the
        // run's numbers follow it.
        QVERIFY(m_invoices->createInvoice(of("tenant_id", shop), 0, "2025-03", { item("تنظيف", 30) }, 1) > 0);
        QSignalSpy changed(m_invoices.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(field(2, "invoice_number").toString(), "INV-202503-0002");
        QCOMPARE(field(2, "contract_id").toInt(), shop);
        QCOMPARE(field(2, "due_date").toString(), "2025-03-28");
        QCOMPARE(field(3, "invoice_number").toString(), "INV-202503-0003");
        QCOMPARE(balanceOf(of("tenant_id", shop)), 830.0);
        QCOMPARE(balanceOf(of("tenant_id", flat)), 1200.0);
        const Unchanged rerun(db(), { m_invoices.get() });
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 0);
        QVERIFY(rerun.holds());
        // A void rent invoice is made again by the next run.
        QVERIFY(m_invoices->voidInvoice(2));
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 1);
        QCOMPARE(balanceOf(of("tenant_id", shop)), 830.0);
        VERIFY_CONSISTENT(db());
    }

    void usageOfThePeriodFollowsTheRent()
    {
        const int contract = let("9", 1000);
        const int unit = of("unit_id", contract);
        addUsage(unit, "مياه", "2025-03", 10, 25);
        addUsage(unit, "كهرباء", "2025-03", 0, 40);
        addUsage(unit, "مياه", "2025-02", 8, 20);
        addUsage(m_unit, "مياه", "2025-03", 5, 12);
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 1);
        QCOMPARE(balanceOf(of("tenant_id", contract)), 1065.0);
        // The unit price is the cost of one unit used, or the whole cost when nothing is counted.
        QCOMPARE(columnOf(db()->execQuery("SELECT unit_price FROM invoice_items ORDER BY id"), "unit_price"),
            QStringList({ "1000", "2.5", "40" }));
        VERIFY_CONSISTENT(db());
    }

    // Each row keeps the water readings in order; the last one's fate, the use it leaves for March
    // and what the March rent run then bills (rent 1000 plus the use at 5 a cubic metre).
    void meterReadings_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("last");
        QTest::addColumn<double>("used");
        QTest::addColumn<double>("billed");
        const auto row
            = [](const char* name, const QStringList& entries, const char* last, double used, double billed) {
                  QTest::newRow(name) << entries << QString::fromLatin1(last) << used << billed;
              };
        row("first reading only opens the meter", { "2025-03 100" }, "saved", 0, 1000);
        row("use is the reading less the last", { "2025-01 100", "2025-02 110", "2025-03 130" }, "saved", 20,
            1100);
        row("use in thousandths", { "2025-02 100.25", "2025-03 112.875" }, "saved", 12.625, 1063.13);
        row("lower reading refused", { "2025-02 100", "2025-03 90" }, "refused", 0, 1000);
        row("meter change runs from the new meter", { "2025-02 100", "2025-03 7 change" }, "saved", 7, 1035);
        row("use above three times the average asks", { "2025-01 100", "2025-02 110", "2025-03 140.5" },
            "confirm", 0, 1000);
        row("confirmed high use", { "2025-01 100", "2025-02 110", "2025-03 150 sure" }, "saved", 40, 1200);
        row("three times the average is not unusual", { "2025-01 100", "2025-02 110", "2025-03 140" },
            "saved", 30, 1150);
        row("unbilled reading corrected", { "2025-02 100", "2025-03 120", "2025-03 115" }, "saved", 15, 1075);
        row("month before a later one refused", { "2025-01 100", "2025-03 120", "2025-02 110" }, "refused",
            20, 1100);
    }
    void meterReadings()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, last);
        QFETCH(double, used);
        QFETCH(double, billed);
        const int contract = let("9", 1000);
        const int unit = of("unit_id", contract);
        QVariantMap verdict;
        for (const QString& entry : entries)
            verdict = read(unit, entry);
        const QString fate = verdict.value("saved").toBool() ? "saved"
            : verdict.value("confirm").toBool()              ? "confirm"
                                                             : "refused";
        QCOMPARE(fate, last);
        QVERIFY(!verdict.value("reason").toString().isEmpty() || fate == "saved");
        QCOMPARE(m_db->value("SELECT COALESCE(SUM(consumption), 0) FROM usage_records WHERE period='2025-03'")
                     .toDouble(),
            used);
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 1);
        QVERIFY(Money::sameCents(balanceOf(of("tenant_id", contract)), billed));
        VERIFY_CONSISTENT(db());
    }

    void aReadingIsBilledOnce()
    {
        const int contract = let("9", 1000);
        const int tenant = of("tenant_id", contract);
        const int unit = of("unit_id", contract);
        QVERIFY(read(unit, "2025-02 100").value("saved").toBool());
        QVERIFY(read(unit, "2025-03 130").value("saved").toBool());
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 1);
        QCOMPARE(balanceOf(tenant), 1150.0);
        // Billed with the rent: neither run bills it again, and it is no longer changed.
        QCOMPARE(m_invoices->billUsage("2025-03").value("made").toInt(), 0);
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 0);
        QVERIFY(!read(unit, "2025-03 131").value("saved").toBool());
        // Read after April's rent: the usage run bills it on an invoice of its own, once.
        QCOMPARE(m_invoices->generateAllRent("2025-04"), 1);
        QVERIFY(read(unit, "2025-04 150").value("saved").toBool());
        const QVariantMap run = m_invoices->billUsage("2025-04");
        QCOMPARE(run.value("made").toInt(), 1);
        QCOMPARE(run.value("unbilled").toInt(), 0);
        QCOMPARE(m_invoices->billUsage("2025-04").value("made").toInt(), 0);
        QCOMPARE(balanceOf(tenant), 2250.0);
        // A void gives the reading back to be billed again; the vacant unit's reading has nobody to bill.
        QVERIFY(m_invoices->voidInvoice(m_db->value("SELECT MAX(id) FROM invoices").toInt()));
        QVERIFY(read(m_unit, "2025-03 10").value("saved").toBool());
        QVERIFY(read(m_unit, "2025-04 20").value("saved").toBool());
        const QVariantMap again = m_invoices->billUsage("2025-04");
        QCOMPARE(again.value("made").toInt(), 1);
        QCOMPARE(again.value("unbilled").toInt(), 1);
        QCOMPARE(balanceOf(tenant), 2250.0);
        QCOMPARE(m_db->count("SELECT id FROM invoice_items WHERE usage_record_id IS NOT NULL"), 3);
        VERIFY_CONSISTENT(db());
    }

    void aFailedInvoiceDoesNotStopTheRun()
    {
        let("a", 100);
        const int blocked = of("tenant_id", let("blocked", 100));
        const int last = of("tenant_id", let("c", 100));
        QVERIFY(failWhen(db(), "block_balance", "UPDATE OF balance ON tenants", "NEW.full_name = 'blocked'"));
        // The run says what it made and what it could not write.
        const QVariantMap outcome = m_invoices->issueRent("2025-03");
        QCOMPARE(outcome.value("made").toInt(), 2);
        QCOMPARE(outcome.value("failed").toInt(), 1);
        QCOMPARE(outcome.value("refused").toBool(), false);
        QCOMPARE(m_db->count("SELECT id FROM invoices WHERE tenant_id=?", { blocked }), 0);
        QCOMPARE(balanceOf(last), 100.0);
        VERIFY_CONSISTENT(db());
        // Once the cause is gone, a rerun fills in only the missing invoice.
        QVERIFY(stopFailing(db(), "block_balance", "tenants"));
        QCOMPARE(m_invoices->generateAllRent("2025-03"), 1);
        QCOMPARE(balanceOf(blocked), 100.0);
        QCOMPARE(m_db->count("invoices"), 3);
        // The failed invoice gave its number back: the month's numbers run on without a gap.
        QCOMPARE(m_db->value("SELECT invoice_number FROM invoices WHERE tenant_id=?", { blocked }).toString(),
            "INV-202503-0003");
    }

    // What could never be settled is not invoiced, and the run counts it as failed instead of
    // passing over it in silence.
    void unbillableRentIsCountedAsFailed_data()
    {
        QTest::addColumn<double>("rent");
        QTest::addColumn<double>("used");
        QTest::addColumn<int>("made");
        QTest::addColumn<double>("billed");
        QTest::newRow("rent of 0") << 0.0 << 0.0 << 1 << 100.0;
        QTest::newRow("rent of 0, water used") << 0.0 << 25.0 << 2 << 125.0;
        QTest::newRow("negative water bill") << 500.0 << -10.0 << 1 << 100.0;
        QTest::newRow("rent below half a cent") << 0.004 << 0.0 << 1 << 100.0;
        QTest::newRow("rent in fractions of a cent") << 500.005 << 0.0 << 2 << 600.01;
    }
    void unbillableRentIsCountedAsFailed()
    {
        QFETCH(double, rent);
        QFETCH(double, used);
        QFETCH(int, made);
        QFETCH(double, billed);
        let("1", 100);
        addRawContract("2025-01-01", "2025-12-31", rent);
        if (used != 0)
            addUsage(m_unit, "مياه", "2025-03", 5, used);
        const QVariantMap outcome = m_invoices->issueRent("2025-03");
        QCOMPARE(outcome.value("made").toInt(), made);
        QCOMPARE(outcome.value("failed").toInt(), 2 - made);
        QVERIFY(db()->scalar("SELECT SUM(balance) FROM tenants").toDouble() == billed);
        QCOMPARE(m_db->count("SELECT id FROM invoices WHERE total_amount <= 0"), 0);
    }

    // An invoice of 1000 for March (due on the 28th) with 400 paid leaves 600 overdue; a paid and a
    // void invoice of the same month are never charged.
    void lateFeesFollowTheOfficesRule_data()
    {
        QTest::addColumn<int>("grace");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("fixed");
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("cap");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<double>("fee"); // 0: none charged
        const QDate afterGrace(2025, 4, 3);
        QTest::newRow("on the last day of grace")
            << 5 << "fixed" << 50.0 << 0.0 << 0.0 << QDate(2025, 4, 2) << 0.0;
        QTest::newRow("fixed, the day after grace")
            << 5 << "fixed" << 50.0 << 0.0 << 0.0 << afterGrace << 50.0;
        QTest::newRow("no grace, the day after due")
            << 0 << "fixed" << 50.0 << 0.0 << 0.0 << QDate(2025, 3, 29) << 50.0;
        QTest::newRow("percent of what is open") << 5 << "percent" << 0.0 << 5.0 << 0.0 << afterGrace << 30.0;
        QTest::newRow("percent to the cent") << 5 << "percent" << 0.0 << 0.3335 << 0.0 << afterGrace << 2.0;
        QTest::newRow("percent under its cap") << 5 << "percent" << 0.0 << 5.0 << 45.0 << afterGrace << 30.0;
        QTest::newRow("percent over its cap") << 5 << "percent" << 0.0 << 10.0 << 45.0 << afterGrace << 45.0;
        QTest::newRow("no fee set") << 5 << "fixed" << 0.0 << 10.0 << 0.0 << afterGrace << 0.0;
    }
    void lateFeesFollowTheOfficesRule()
    {
        QFETCH(int, grace);
        QFETCH(QString, kind);
        QFETCH(double, fixed);
        QFETCH(double, percent);
        QFETCH(double, cap);
        QFETCH(QDate, today);
        QFETCH(double, fee);
        const int late = bill(m_tenant, "2025-03", 1000);
        QVERIFY(pay(late, m_tenant, 400) > 0);
        QVERIFY(pay(bill(m_other, "2025-03", 300), m_other, 300) > 0);
        QVERIFY(m_invoices->voidInvoice(bill(m_other, "2025-02", 300)));
        QVERIFY(LateFeePolicy::store(db(), grace, kind, fixed, percent, cap));
        Clock::setToday(today);
        QCOMPARE(m_invoices->lateFeesDue(), fee > 0 ? 1 : 0);
        const QVariantMap run = m_invoices->issueLateFees();
        QCOMPARE(run.value("made").toInt(), fee > 0 ? 1 : 0);
        QCOMPARE(m_db->count("SELECT id FROM invoices WHERE late_fee_for IS NOT NULL"), fee > 0 ? 1 : 0);
        QCOMPARE(m_db->count(
                     "SELECT id FROM invoices WHERE late_fee_for=? AND late_fee_month=? AND total_amount=?",
                     { late, today.toString("yyyy-MM"), fee }),
            fee > 0 ? 1 : 0);
        QCOMPARE(balanceOf(m_tenant), 600 + fee);
        QCOMPARE(balanceOf(m_other), 0.0);
        QCOMPARE(m_db->value("SELECT -balance FROM accounts WHERE posting_role='late_fees'").toDouble(), fee);
        VERIFY_CONSISTENT(db());
    }

    void aLateFeeIsChargedOnceAMonthAndWaivedWithAReason()
    {
        const int late = bill(m_tenant, "2025-03", 1000);
        const int alsoLate = bill(m_other, "2025-03", 200);
        QVERIFY(LateFeePolicy::store(db(), 0, "fixed", 50, 0, 0));
        Clock::setToday(QDate(2025, 4, 10));
        // The second fee cannot be written: the first goes back with it.
        QVERIFY(failWhen(db(), "second_fee", "INSERT ON invoice_items",
            "NEW.type='late_fee' AND EXISTS (SELECT 1 FROM invoice_items WHERE type='late_fee')"));
        {
            const Unchanged refused(db(), { m_invoices.get() });
            QVERIFY(m_invoices->issueLateFees().value("refused").toBool());
            QVERIFY(refused.holds());
        }
        QVERIFY(stopFailing(db(), "second_fee", "invoice_items"));
        QCOMPARE(m_invoices->issueLateFees().value("made").toInt(), 2);
        QCOMPARE(m_invoices->issueLateFees().value("made").toInt(), 0);
        const int fee = m_db->value("SELECT id FROM invoices WHERE late_fee_for=?", { late }).toInt();
        QVERIFY(!m_invoices->waiveLateFee(fee, "  "));
        QVERIFY(m_invoices->waiveLateFee(fee, "عميل قديم"));
        QCOMPARE(statusOf(db(), "invoices", fee), "void");
        QCOMPARE(balanceOf(m_tenant), 1000.0);
        QCOMPARE(m_db->count(
                     "SELECT id FROM audit_logs WHERE record_id=? AND details LIKE '%عميل قديم%'", { fee }),
            1);
        QVERIFY(!m_invoices->waiveLateFee(fee, "مرة أخرى"));
        // A waived fee stays waived for its month; the next month the invoice is charged again.
        QCOMPARE(m_invoices->issueLateFees().value("made").toInt(), 0);
        Clock::setToday(QDate(2025, 5, 2));
        QCOMPARE(m_invoices->issueLateFees().value("made").toInt(), 2);
        QCOMPARE(m_db->count("SELECT id FROM invoices WHERE late_fee_for=?", { alsoLate }), 2);
        // Money paid on a fee stays paid: a paid fee is not waived.
        const int paidFee
            = m_db->value("SELECT MAX(id) FROM invoices WHERE late_fee_for=?", { alsoLate }).toInt();
        QVERIFY(pay(paidFee, m_other, 50, "2025-05-02") > 0);
        QVERIFY(!m_invoices->waiveLateFee(paidFee, "دفعها"));
        QCOMPARE(statusOf(db(), "invoices", paidFee), "paid");
        // A fee is never charged a fee, nor a paid invoice one.
        QCOMPARE(m_db->count("SELECT id FROM invoices f WHERE late_fee_for IN "
                             "(SELECT id FROM invoices WHERE late_fee_for IS NOT NULL)"),
            0);
        QCOMPARE(
            m_db->value("SELECT -balance FROM accounts WHERE posting_role='late_fees'").toDouble(), 150.0);
        VERIFY_CONSISTENT(db());
    }

    void remindersSayWhatIsDueOnceADay()
    {
        QVERIFY(db()->execNonQuery("INSERT INTO settings (key, value) VALUES ('company_phone', "
                                   "'02-555-0101') ON CONFLICT (key) DO UPDATE SET value = excluded.value"));
        QVERIFY(pay(bill(m_tenant, "2025-02", 1000), m_tenant, 250.5) > 0);
        bill(m_tenant, "2025-03", 1200);
        bill(m_other, "2025-04", 90); // not yet due
        const int buyer = db()->execInsert("INSERT INTO buyers (full_name, balance) VALUES ('مها', 700)");
        QVERIFY(db()->execInsert(
                    "INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, "
                    "due_date, paid_amount, status, currency_id) VALUES (?, ?, 9000, 700, '2025-03-01', 0, "
                    "'pending', 2)",
                    { buyer, m_unit })
            > 0);
        Clock::setToday(QDate(2025, 4, 15));
        ReminderModel reminders(db());
        const QVariantList due = reminders.getReminders();
        QCOMPARE(due.size(), 2);
        // The longest overdue first: the tenant's February invoice, then the buyer's installment.
        const QVariantMap tenant = due.at(0).toMap();
        QCOMPARE(tenant.value("name").toString(), "سامي");
        QCOMPARE(tenant.value("count").toInt(), 2);
        QCOMPARE(tenant.value("since").toString(), "2025-02-28");
        for (const char* part : { "سامي", "1,949.50", "₪", "28/02/2025", "02-555-0101" })
            QVERIFY2(tenant.value("text").toString().contains(QString::fromUtf8(part)), part);
        const QVariantMap owner = due.at(1).toMap();
        QCOMPARE(owner.value("kind").toString(), "buyer");
        QVERIFY(owner.value("text").toString().contains("700.00"));
        QVERIFY(owner.value("text").toString().contains("$"));
        // Reminded once a day, whatever the channel; the log says who and when.
        QVERIFY(reminders.markReminded("tenant", m_tenant, "copy"));
        QVERIFY(!reminders.markReminded("tenant", m_tenant, "print"));
        QVERIFY(!reminders.markReminded("tenant", m_other, "copy"));
        QVERIFY(reminders.getReminders().at(0).toMap().value("reminded_today").toBool());
        QCOMPARE(reminders.getReminderLog().size(), 1);
        Clock::setToday(QDate(2025, 4, 16));
        QVERIFY(reminders.markReminded("tenant", m_tenant, "mail"));
        QCOMPARE(
            m_db->count("SELECT id FROM audit_logs WHERE table_name='tenants' AND record_id=?", { m_tenant }),
            2);
    }

    void serviceChargesReachEveryTenantNamed()
    {
        const int withContract = let("V1", 700);
        const int lodger = of("tenant_id", withContract);
        // No duplicate guard: charged twice, owed twice. Unknown tenants are left out.
        for (int run = 0; run < 2; ++run)
            QCOMPARE(
                m_invoices->generateServiceInvoice({ lodger, m_other, 999 }, "مصعد", 45, "2025-03", 1), 2);
        QCOMPARE(balanceOf(lodger), 90.0);
        QCOMPARE(balanceOf(m_other), 90.0);
        // The charge lands on the unit of the tenant's contract, when there is one.
        QCOMPARE(m_db->count("SELECT id FROM invoices WHERE tenant_id=? AND unit_id=?",
                     { lodger, of("unit_id", withContract) }),
            2);
        QCOMPARE(
            m_db->count("SELECT id FROM invoices WHERE tenant_id=? AND unit_id IS NULL", { m_other }), 2);
        VERIFY_CONSISTENT(db());
    }

    void aPropertyChargeReachesEachOfItsTenantsOnce()
    {
        const int other = addProperty(db(), "برج آخر");
        const int twoFlats = addTenant(db(), "سعاد");
        const int elsewhereToo = addTenant(db(), "باسل");
        const int onlyElsewhere = addTenant(db(), "جود");
        const int firstFlat = addUnit(db(), m_property, "A1");
        addContract(db(), firstFlat, twoFlats, "2025-01-01", "2025-12-31", 500);
        addContract(db(), addUnit(db(), m_property, "A2"), twoFlats, "2025-01-01", "2025-12-31", 500);
        // This tenant's older contract is in the other property; the charge lands on the unit here.
        addContract(db(), addUnit(db(), other, "Z1"), elsewhereToo, "2024-01-01", "2025-12-31", 500);
        const int here = addUnit(db(), m_property, "A3");
        addContract(db(), here, elsewhereToo, "2025-01-01", "2025-12-31", 500);
        addContract(db(), addUnit(db(), other, "Z2"), onlyElsewhere, "2025-01-01", "2025-12-31", 500);
        QVERIFY(ContractModel(db()).terminate(let("A4", 500, "2024-01-01", "2024-12-31")));
        QCOMPARE(m_invoices->generatePropertyServiceInvoice(m_property, "حراسة", 60, "2025-03", 1), 2);
        QCOMPARE(balanceOf(twoFlats), 60.0);
        QCOMPARE(balanceOf(elsewhereToo), 60.0);
        QCOMPARE(balanceOf(onlyElsewhere), 0.0);
        QCOMPARE(
            m_db->value("SELECT unit_id FROM invoices WHERE tenant_id=?", { twoFlats }).toInt(), firstFlat);
        QCOMPARE(
            m_db->value("SELECT unit_id FROM invoices WHERE tenant_id=?", { elsewhereToo }).toInt(), here);
    }

    void paymentsSettleTheInvoiceToTheCent()
    {
        const int id = bill(m_tenant, "2025-03", 1000);
        QVERIFY(pay(id, m_tenant, 333.335) > 0);
        QVERIFY(field(id, "balance").toDouble() == 666.66);
        QCOMPARE(field(id, "status").toString(), "partial");
        QVERIFY(balanceOf(m_tenant) == 666.66);
        // What is left, to the half cent, settles the invoice exactly; then nothing is left to pay.
        QVERIFY(pay(id, m_tenant, 666.655) > 0);
        QCOMPARE(field(id, "status").toString(), "paid");
        QVERIFY(field(id, "balance").toDouble() == 0.0);
        QVERIFY(balanceOf(m_tenant) == 0.0);
        QVERIFY(m_invoices->getPendingByTenant(m_tenant).isEmpty());
        QCOMPARE(pay(id, m_tenant, 0.01), -1);
        // 0.1 + 0.2 is 0.30000000000000004 in doubles; paying 0.1 and then 0.2 settles it.
        QVERIFY(billLines("2025-03", { item("a", 0.1), item("b", 0.2) }, m_other));
        QVERIFY(pay(2, m_other, 0.1) > 0);
        QVERIFY(pay(2, m_other, 0.2) > 0);
        QCOMPARE(field(2, "status").toString(), "paid");
        QVERIFY(balanceOf(m_other) == 0.0);
        VERIFY_CONSISTENT(db());
    }
};

QTEST_GUILESS_MAIN(TestBilling)
#include "tst_billing.moc"
