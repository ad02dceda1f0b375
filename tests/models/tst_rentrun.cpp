#include "billingfixtures.h"
#include "clock.h"
#include "invoicemodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace BillingFixtures;

/** The monthly rent run and the service charges of the invoice model. */
class TestRentRun : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_model;
    int m_property = 0;

    Database* db() const { return m_db->db(); }
    int invoicesOf(int contractId, const QString& period) const
    {
        return m_db->count(QStringLiteral("SELECT id FROM invoices WHERE contract_id=? AND period=?"),
            { contractId, period });
    }
    QVariantMap onlyInvoice() const
    {
        const QVariantList rows = db()->execQuery(QStringLiteral("SELECT * FROM invoices"));
        return rows.size() == 1 ? rows.first().toMap() : QVariantMap();
    }
    QVariantList itemsOf(int invoiceId) const
    {
        return db()->execQuery(
            QStringLiteral("SELECT * FROM invoice_items WHERE invoice_id=? ORDER BY id"), { invoiceId });
    }
    /** Makes every balance change of the tenant named "blocked" fail. */
    void blockTenantNamedBlocked()
    {
        QVERIFY(db()->execNonQuery(
            QStringLiteral("CREATE TRIGGER block_balance BEFORE UPDATE OF balance ON tenants "
                           "WHEN NEW.full_name = 'blocked' "
                           "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<InvoiceModel>(db());
        m_property = addProperty(db());
    }

    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void monthWindows_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("invoices");

        // Part months count whole, from the start month through the end month.
        const QString from = QStringLiteral("2025-01-15");
        const QString to = QStringLiteral("2025-06-14");
        QTest::newRow("monthly, month before start") << from << to << "monthly"
                                                     << "2024-12" << 0;
        QTest::newRow("monthly, start month") << from << to << "monthly"
                                              << "2025-01" << 1;
        QTest::newRow("monthly, inside") << from << to << "monthly"
                                         << "2025-03" << 1;
        QTest::newRow("monthly, end month") << from << to << "monthly"
                                            << "2025-06" << 1;
        QTest::newRow("monthly, month after end") << from << to << "monthly"
                                                  << "2025-07" << 0;
        QTest::newRow("monthly, a year later") << from << to << "monthly"
                                               << "2026-03" << 0;
        QTest::newRow("unknown frequency bills monthly") << from << to << "Yearly"
                                                         << "2025-02" << 1;

        // Yearly rent falls due in the anniversary month only, every year of the term.
        const QString yearFrom = QStringLiteral("2024-03-01");
        const QString yearTo = QStringLiteral("2026-02-28");
        QTest::newRow("yearly, first anniversary") << yearFrom << yearTo << "yearly"
                                                   << "2024-03" << 1;
        QTest::newRow("yearly, second anniversary") << yearFrom << yearTo << "yearly"
                                                    << "2025-03" << 1;
        QTest::newRow("yearly, month after") << yearFrom << yearTo << "yearly"
                                             << "2024-04" << 0;
        QTest::newRow("yearly, month before") << yearFrom << yearTo << "yearly"
                                              << "2025-02" << 0;
        QTest::newRow("yearly, last month of term") << yearFrom << yearTo << "yearly"
                                                    << "2026-02" << 0;
        QTest::newRow("yearly, anniversary after term") << yearFrom << yearTo << "yearly"
                                                        << "2026-03" << 0;
        QTest::newRow("yearly, anniversary before term") << yearFrom << yearTo << "yearly"
                                                         << "2023-03" << 0;

        // A date that does not parse sets no limit on its side.
        QTest::newRow("unreadable end") << from << "open"
                                        << "monthly"
                                        << "2030-01" << 1;
        QTest::newRow("unreadable start") << "soon" << to << "monthly"
                                          << "2020-01" << 1;
        QTest::newRow("yearly, unreadable start bills every month") << "soon" << yearTo << "yearly"
                                                                    << "2025-08" << 1;
    }

    void monthWindows()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, frequency);
        QFETCH(QString, period);
        QFETCH(int, invoices);
        const int unit = addUnit(db(), m_property, QStringLiteral("1"));
        const int tenant = addTenant(db(), QStringLiteral("هدى"));
        const int contract = addContract(db(), unit, tenant, start, end, 1000, frequency);
        QCOMPARE(m_model->generateAllRent(period), invoices);
        QCOMPARE(invoicesOf(contract, period), invoices);
        QCOMPARE(tenantBalance(db(), tenant), 1000.0 * invoices);
    }

    void rentInvoiceCarriesTheContract()
    {
        const int unit = addUnit(db(), m_property, QStringLiteral("7"));
        const int tenant = addTenant(db(), QStringLiteral("مازن"));
        const int contract = addContract(
            db(), unit, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1250.5);
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-02")), 1);
        QCOMPARE(changed.count(), 1);

        const QVariantMap invoice = onlyInvoice();
        QCOMPARE(invoice.value("invoice_number").toString(), QStringLiteral("INV-202503-0001"));
        QCOMPARE(invoice.value("tenant_id").toInt(), tenant);
        QCOMPARE(invoice.value("unit_id").toInt(), unit);
        QCOMPARE(invoice.value("contract_id").toInt(), contract);
        QCOMPARE(invoice.value("period").toString(), QStringLiteral("2025-02"));
        QCOMPARE(invoice.value("total_amount").toDouble(), 1250.5);
        QCOMPARE(invoice.value("balance").toDouble(), 1250.5);
        QCOMPARE(invoice.value("status").toString(), QStringLiteral("pending"));
        QCOMPARE(invoice.value("currency_id").toInt(), 1);
        QCOMPARE(invoice.value("due_date").toString(), QStringLiteral("2025-02-28"));
        QCOMPARE(tenantBalance(db(), tenant), 1250.5);

        const QVariantList items = itemsOf(invoice.value("id").toInt());
        QCOMPARE(items.size(), 1);
        const QVariantMap rent = items.first().toMap();
        QCOMPARE(rent.value("description").toString(), QStringLiteral("إيجار شهري"));
        QCOMPARE(rent.value("type").toString(), QStringLiteral("rent"));
        QCOMPARE(rent.value("quantity").toDouble(), 1.0);
        QCOMPARE(rent.value("unit_price").toDouble(), 1250.5);
        QCOMPARE(rent.value("total").toDouble(), 1250.5);
    }

    void yearlyRentIsChargedWhole()
    {
        const int unit = addUnit(db(), m_property, QStringLiteral("8"));
        const int tenant = addTenant(db(), QStringLiteral("رامي"));
        addContract(db(), unit, tenant, QStringLiteral("2024-05-20"), QStringLiteral("2026-05-19"), 12000,
            QStringLiteral("yearly"));
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-05")), 1);
        const QVariantMap rent = itemsOf(onlyInvoice().value("id").toInt()).first().toMap();
        QCOMPARE(rent.value("description").toString(), QStringLiteral("إيجار سنوي"));
        QCOMPARE(rent.value("total").toDouble(), 12000.0);
        QCOMPARE(tenantBalance(db(), tenant), 12000.0);
    }

    void usageItemsFollowTheRent()
    {
        const int unit = addUnit(db(), m_property, QStringLiteral("9"));
        const int neighbour = addUnit(db(), m_property, QStringLiteral("10"));
        const int tenant = addTenant(db(), QStringLiteral("نور"));
        addContract(db(), unit, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        const int water = serviceId(db(), QStringLiteral("مياه"));
        const int electricity = serviceId(db(), QStringLiteral("كهرباء"));
        addUsage(db(), unit, water, QStringLiteral("2025-03"), 10, 25);
        addUsage(db(), unit, electricity, QStringLiteral("2025-03"), 0, 40);
        addUsage(db(), unit, water, QStringLiteral("2025-02"), 8, 20);
        addUsage(db(), neighbour, water, QStringLiteral("2025-03"), 5, 12);

        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 1);
        const QVariantMap invoice = onlyInvoice();
        QCOMPARE(invoice.value("total_amount").toDouble(), 1000.0 + 25.0 + 40.0);
        QCOMPARE(tenantBalance(db(), tenant), 1065.0);

        const QVariantList items = itemsOf(invoice.value("id").toInt());
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).toMap().value("type").toString(), QStringLiteral("rent"));
        const QVariantMap waterItem = items.at(1).toMap();
        QCOMPARE(waterItem.value("description").toString(), QStringLiteral("مياه"));
        QCOMPARE(waterItem.value("type").toString(), QStringLiteral("usage"));
        QCOMPARE(waterItem.value("quantity").toDouble(), 10.0);
        QCOMPARE(waterItem.value("unit_price").toDouble(), 2.5);
        QCOMPARE(waterItem.value("total").toDouble(), 25.0);
        // No consumption: the unit price is the whole cost.
        const QVariantMap power = items.at(2).toMap();
        QCOMPARE(power.value("description").toString(), QStringLiteral("كهرباء"));
        QCOMPARE(power.value("quantity").toDouble(), 0.0);
        QCOMPARE(power.value("unit_price").toDouble(), 40.0);
        QCOMPARE(power.value("total").toDouble(), 40.0);
    }

    void guardIsPerContractAndPeriod()
    {
        const int tenant = addTenant(db(), QStringLiteral("خالد"));
        const int shop = addContract(db(), addUnit(db(), m_property, QStringLiteral("S1")), tenant,
            QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 800);
        const int flat = addContract(db(), addUnit(db(), m_property, QStringLiteral("F1")), tenant,
            QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1200);
        // A custom invoice of the same tenant and period does not stand in for the rent.
        QVERIFY(m_model->createInvoice(
                    tenant, 0, QStringLiteral("2025-03"), { item(QStringLiteral("تنظيف"), 30) }, 1)
            > 0);

        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 2);
        QCOMPARE(invoicesOf(shop, QStringLiteral("2025-03")), 1);
        QCOMPARE(invoicesOf(flat, QStringLiteral("2025-03")), 1);
        QCOMPARE(tenantBalance(db(), tenant), 30.0 + 800.0 + 1200.0);

        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 3);
        QCOMPARE(tenantBalance(db(), tenant), 2030.0);

        // A void rent invoice is made again by the next run.
        const int shopInvoice
            = db()->scalar(QStringLiteral("SELECT id FROM invoices WHERE contract_id=?"), { shop }).toInt();
        QVERIFY(m_model->voidInvoice(shopInvoice));
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 1);
        QCOMPARE(
            m_db->count(
                QStringLiteral("SELECT id FROM invoices WHERE contract_id=? AND status='pending'"), { shop }),
            1);
        QCOMPARE(tenantBalance(db(), tenant), 2030.0);
    }

    void terminatedContractsAreNotBilled()
    {
        const int tenant = addTenant(db(), QStringLiteral("سلمى"));
        addContract(db(), addUnit(db(), m_property, QStringLiteral("T1")), tenant,
            QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 900, QStringLiteral("monthly"),
            QStringLiteral("terminated"));
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
    }

    void unreadablePeriodDoesNothing_data()
    {
        QTest::addColumn<QString>("period");
        QTest::newRow("month 13") << "2025-13";
        QTest::newRow("empty") << "";
        QTest::newRow("month 0") << "2025-00";
        QTest::newRow("words") << "March";
    }

    void unreadablePeriodDoesNothing()
    {
        QFETCH(QString, period);
        addContract(db(), addUnit(db(), m_property, QStringLiteral("P1")),
            addTenant(db(), QStringLiteral("x")), QStringLiteral("2000-01-01"), QStringLiteral("2100-12-31"),
            500);
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generateAllRent(period), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
    }

    void numbersContinueThroughTheRun()
    {
        const int early = addTenant(db(), QStringLiteral("أول"));
        QVERIFY(
            m_model->createInvoice(early, 0, QStringLiteral("2025-01"), { item(QStringLiteral("x"), 5) }, 1)
            > 0);
        for (int i = 0; i < 3; ++i)
            addContract(db(), addUnit(db(), m_property, QString::number(100 + i)),
                addTenant(db(), QStringLiteral("t%1").arg(i)), QStringLiteral("2025-01-01"),
                QStringLiteral("2025-12-31"), 100);
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 3);
        const QVariantList numbers = db()->execQuery(QStringLiteral(
            "SELECT invoice_number FROM invoices WHERE contract_id IS NOT NULL ORDER BY contract_id"));
        QCOMPARE(numbers.size(), 3);
        QCOMPARE(numbers.at(0).toMap().value("invoice_number").toString(), QStringLiteral("INV-202503-0002"));
        QCOMPARE(numbers.at(1).toMap().value("invoice_number").toString(), QStringLiteral("INV-202503-0003"));
        QCOMPARE(numbers.at(2).toMap().value("invoice_number").toString(), QStringLiteral("INV-202503-0004"));
    }

    void oneFailedInvoiceDoesNotStopTheRun()
    {
        const int first = addTenant(db(), QStringLiteral("a"));
        const int blocked = addTenant(db(), QStringLiteral("blocked"));
        const int last = addTenant(db(), QStringLiteral("c"));
        for (const int tenant : { first, blocked, last })
            addContract(db(), addUnit(db(), m_property, QString::number(tenant)), tenant,
                QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 100);
        blockTenantNamedBlocked();

        // The run says what it made and what it could not write.
        const QVariantMap outcome = m_model->issueRent(QStringLiteral("2025-03"));
        QCOMPARE(outcome.value("made").toInt(), 2);
        QCOMPARE(outcome.value("failed").toInt(), 1);
        QCOMPARE(outcome.value("refused").toBool(), false);
        // The blocked tenant's invoice went back with its balance change, items and all.
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM invoices WHERE tenant_id=?"), { blocked }), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoice_items")), 2);
        QCOMPARE(tenantBalance(db(), first), 100.0);
        QCOMPARE(tenantBalance(db(), last), 100.0);
        QCOMPARE(
            db()->scalar(QStringLiteral("SELECT invoice_number FROM invoices WHERE tenant_id=?"), { last })
                .toString(),
            QStringLiteral("INV-202503-0002"));

        // Once the cause is gone, a rerun fills in only the missing invoice.
        QVERIFY(db()->execNonQuery(QStringLiteral("DROP TRIGGER block_balance")));
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 1);
        QCOMPARE(tenantBalance(db(), blocked), 100.0);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 3);
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
        addContract(db(), addUnit(db(), m_property, QStringLiteral("1")),
            addTenant(db(), QStringLiteral("a")), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"),
            100);
        const int unit = addUnit(db(), m_property, QStringLiteral("2"));
        addContract(db(), unit, addTenant(db(), QStringLiteral("b")), QStringLiteral("2025-01-01"),
            QStringLiteral("2025-12-31"), rent);
        if (used != 0)
            addUsage(db(), unit, serviceId(db(), QStringLiteral("مياه")), QStringLiteral("2025-03"), 5, used);

        const QVariantMap outcome = m_model->issueRent(QStringLiteral("2025-03"));
        QCOMPARE(outcome.value("made").toInt(), made);
        QCOMPARE(outcome.value("failed").toInt(), 2 - made);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), made);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM invoices WHERE total_amount <= 0")), 0);
        QVERIFY(db()->scalar(QStringLiteral("SELECT SUM(total_amount) FROM invoices")).toDouble() == billed);
        QVERIFY(db()->scalar(QStringLiteral("SELECT SUM(balance) FROM tenants")).toDouble() == billed);
    }

    void largeRunMakesOneInvoicePerContract()
    {
        constexpr int kContracts = 2000;
        addManyContracts(db(), kContracts, QStringLiteral("2024-06-01"), QStringLiteral("2026-05-31"), 750);
        // Contracts that must stay out of the run, around the large block.
        addContract(db(), addUnit(db(), m_property, QStringLiteral("ended")),
            addTenant(db(), QStringLiteral("e")), QStringLiteral("2023-01-01"), QStringLiteral("2024-12-31"),
            999);
        addContract(db(), addUnit(db(), m_property, QStringLiteral("gone")),
            addTenant(db(), QStringLiteral("g")), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"),
            999, QStringLiteral("monthly"), QStringLiteral("terminated"));

        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), kContracts);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), kContracts);
        QCOMPARE(m_db->count(QStringLiteral("invoice_items")), kContracts);
        QCOMPARE(m_db->count(QStringLiteral("SELECT DISTINCT contract_id FROM invoices")), kContracts);
        QCOMPARE(db()->scalar(QStringLiteral("SELECT MIN(invoice_number) FROM invoices")).toString(),
            QStringLiteral("INV-202503-0001"));
        QCOMPARE(db()->scalar(QStringLiteral("SELECT MAX(invoice_number) FROM invoices")).toString(),
            QStringLiteral("INV-202503-2000"));
        QCOMPARE(
            db()->scalar(QStringLiteral("SELECT SUM(balance) FROM tenants")).toDouble(), 750.0 * kContracts);
        QCOMPARE(db()->scalar(QStringLiteral("SELECT SUM(total_amount) FROM invoices")).toDouble(),
            750.0 * kContracts);
        QCOMPARE(m_db->count(
                     QStringLiteral("SELECT t.id FROM tenants t WHERE t.balance != 0 AND t.balance != 750")),
            0);

        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), kContracts);
        QCOMPARE(
            db()->scalar(QStringLiteral("SELECT SUM(balance) FROM tenants")).toDouble(), 750.0 * kContracts);
    }

    void serviceChargeHasNoGuard()
    {
        const int withContract = addTenant(db(), QStringLiteral("وليد"));
        const int unit = addUnit(db(), m_property, QStringLiteral("V1"));
        addContract(
            db(), unit, withContract, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 700);
        const int withoutContract = addTenant(db(), QStringLiteral("ريم"));
        const int third = addTenant(db(), QStringLiteral("عمر"));
        const QVariantList tenants { withContract, withoutContract, third };

        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generateServiceInvoice(
                     tenants, QStringLiteral("مصعد"), 45, QStringLiteral("2025-03"), 1),
            3);
        QCOMPARE(m_model->generateServiceInvoice(
                     tenants, QStringLiteral("مصعد"), 45, QStringLiteral("2025-03"), 1),
            3);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 6);
        QCOMPARE(tenantBalance(db(), withContract), 90.0);
        QCOMPARE(tenantBalance(db(), withoutContract), 90.0);
        QCOMPARE(tenantBalance(db(), third), 90.0);

        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM invoices WHERE tenant_id=? AND unit_id=?"),
                     { withContract, unit }),
            2);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM invoices WHERE tenant_id=? AND unit_id IS NULL"),
                     { withoutContract }),
            2);
        const QVariantMap charge
            = db()->execQuery(QStringLiteral("SELECT i.*, it.description, it.type, it.quantity, "
                                             "it.unit_price, it.total FROM invoices i JOIN "
                                             "invoice_items it ON it.invoice_id=i.id "
                                             "WHERE i.tenant_id=? LIMIT 1"),
                      { third })
                  .first()
                  .toMap();
        QCOMPARE(charge.value("description").toString(), QStringLiteral("مصعد"));
        QCOMPARE(charge.value("type").toString(), QStringLiteral("service"));
        QCOMPARE(charge.value("quantity").toDouble(), 1.0);
        QCOMPARE(charge.value("unit_price").toDouble(), 45.0);
        QCOMPARE(charge.value("total_amount").toDouble(), 45.0);
        QCOMPARE(charge.value("status").toString(), QStringLiteral("pending"));
        QVERIFY(charge.value("contract_id").isNull());
        QCOMPARE(charge.value("due_date").toString(), QStringLiteral("2025-03-28"));
        QCOMPARE(m_db->count(QStringLiteral("SELECT DISTINCT invoice_number FROM invoices")), 6);
    }

    void serviceChargeRefusals()
    {
        const int tenant = addTenant(db(), QStringLiteral("فادي"));
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(
            m_model->generateServiceInvoice({}, QStringLiteral("مياه"), 10, QStringLiteral("2025-03"), 1), 0);
        QCOMPARE(m_model->generateServiceInvoice(
                     { tenant }, QStringLiteral("مياه"), std::nan(""), QStringLiteral("2025-03"), 1),
            0);
        QCOMPARE(m_model->generateServiceInvoice(
                     { tenant }, QStringLiteral("مياه"), 10, QStringLiteral("2025-3"), 1),
            0);
        // A charge of nothing, or less than a cent, could never be settled.
        QCOMPARE(m_model->generateServiceInvoice(
                     { tenant }, QStringLiteral("مياه"), 0, QStringLiteral("2025-03"), 1),
            0);
        QCOMPARE(m_model->generateServiceInvoice(
                     { tenant }, QStringLiteral("مياه"), 0.004, QStringLiteral("2025-03"), 1),
            0);
        QCOMPARE(m_model->generateServiceInvoice(
                     { tenant }, QStringLiteral("مياه"), -10, QStringLiteral("2025-03"), 1),
            0);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
        // Unknown tenants are left out; the others are still charged.
        QCOMPARE(m_model->generateServiceInvoice(
                     { 999, tenant }, QStringLiteral("مياه"), 10, QStringLiteral("2025-03"), 1),
            1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 1);
        QCOMPARE(tenantBalance(db(), tenant), 10.0);
    }

    void propertyChargeReachesEachTenantOnce()
    {
        const int other = addProperty(db(), QStringLiteral("برج آخر"));
        const int twoFlats = addTenant(db(), QStringLiteral("سعاد"));
        const int elsewhereToo = addTenant(db(), QStringLiteral("باسل"));
        const int onlyElsewhere = addTenant(db(), QStringLiteral("جود"));
        const int firstFlat = addUnit(db(), m_property, QStringLiteral("A1"));
        addContract(
            db(), firstFlat, twoFlats, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 500);
        addContract(db(), addUnit(db(), m_property, QStringLiteral("A2")), twoFlats,
            QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 500);
        // This tenant's older contract is in the other property; the charge still lands on the
        // unit of this one.
        addContract(db(), addUnit(db(), other, QStringLiteral("Z1")), elsewhereToo,
            QStringLiteral("2024-01-01"), QStringLiteral("2025-12-31"), 500);
        const int here = addUnit(db(), m_property, QStringLiteral("A3"));
        addContract(
            db(), here, elsewhereToo, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 500);
        addContract(db(), addUnit(db(), other, QStringLiteral("Z2")), onlyElsewhere,
            QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 500);
        addContract(db(), addUnit(db(), m_property, QStringLiteral("A4")),
            addTenant(db(), QStringLiteral("سابق")), QStringLiteral("2024-01-01"),
            QStringLiteral("2024-12-31"), 500, QStringLiteral("monthly"), QStringLiteral("terminated"));

        QCOMPARE(m_model->generatePropertyServiceInvoice(
                     m_property, QStringLiteral("حراسة"), 60, QStringLiteral("2025-03"), 1),
            2);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 2);
        QCOMPARE(tenantBalance(db(), twoFlats), 60.0);
        QCOMPARE(tenantBalance(db(), elsewhereToo), 60.0);
        QCOMPARE(tenantBalance(db(), onlyElsewhere), 0.0);
        QCOMPARE(db()->scalar(QStringLiteral("SELECT unit_id FROM invoices WHERE tenant_id=?"), { twoFlats })
                     .toInt(),
            firstFlat);
        QCOMPARE(
            db()->scalar(QStringLiteral("SELECT unit_id FROM invoices WHERE tenant_id=?"), { elsewhereToo })
                .toInt(),
            here);
    }

    void propertyChargeOfNothingIsRefused()
    {
        const int tenant = addTenant(db(), QStringLiteral("هبة"));
        addContract(db(), addUnit(db(), m_property, QStringLiteral("N1")), tenant,
            QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 500);
        const QVariantMap outcome = m_model->issuePropertyService(
            m_property, QStringLiteral("تنظيف"), 0, QStringLiteral("2025-03"), 1);
        QCOMPARE(outcome.value("refused").toBool(), true);
        QCOMPARE(outcome.value("made").toInt(), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
        QCOMPARE(tenantBalance(db(), tenant), 0.0);
    }

    void propertyWithoutActiveContractsGetsNothing()
    {
        addUnit(db(), m_property, QStringLiteral("E1"));
        addUnit(db(), m_property, QStringLiteral("E2"));
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->generatePropertyServiceInvoice(
                     m_property, QStringLiteral("تنظيف"), 20, QStringLiteral("2025-03"), 1),
            0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
    }
};

QTEST_GUILESS_MAIN(TestRentRun)
#include "tst_rentrun.moc"
