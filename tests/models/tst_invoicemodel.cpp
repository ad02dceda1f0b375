#include "billingfixtures.h"
#include "clock.h"
#include "invoicemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace BillingFixtures;

class TestInvoiceModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_model;
    int m_property = 0;
    int m_unit = 0;
    int m_otherUnit = 0;
    int m_tenant = 0;
    int m_otherTenant = 0;

    Database* db() const { return m_db->db(); }
    QString numberOf(int invoiceId) const
    {
        return field(db(), QStringLiteral("invoices"), invoiceId, QStringLiteral("invoice_number"))
            .toString();
    }
    int rentInvoice(int tenant, const QString& period, double total)
    {
        return m_model->createInvoice(tenant, m_unit, period, { item(QStringLiteral("إيجار"), total) }, 1);
    }
    void seedNumber(const QString& number)
    {
        QVERIFY(db()->execInsert(
                    QStringLiteral("INSERT INTO invoices (invoice_number, tenant_id, period, status) "
                                   "VALUES (?, ?, '2025-01', 'paid')"),
                    { number, m_otherTenant })
            > 0);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 15));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<InvoiceModel>(db());
        m_property = addProperty(db());
        m_unit = addUnit(db(), m_property, QStringLiteral("101"));
        m_otherUnit = addUnit(db(), m_property, QStringLiteral("102"));
        m_tenant = addTenant(db(), QStringLiteral("سامي"));
        m_otherTenant = addTenant(db(), QStringLiteral("ليلى"));
    }

    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void createInvoiceWritesInvoiceItemsAndBalance()
    {
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        const QVariantList items { item(QStringLiteral("إيجار"), 1000, 1, QStringLiteral("rent")),
            item(QStringLiteral("مياه"), 50, 0, QString()) };
        const int id = m_model->createInvoice(m_tenant, m_unit, QStringLiteral("2025-03"), items, 1);
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);

        const QVariantMap invoice = db()->getById(QStringLiteral("invoices"), id);
        QCOMPARE(invoice.value("invoice_number").toString(), QStringLiteral("INV-202503-0001"));
        QCOMPARE(invoice.value("tenant_id").toInt(), m_tenant);
        QCOMPARE(invoice.value("unit_id").toInt(), m_unit);
        QVERIFY(invoice.value("contract_id").isNull());
        QCOMPARE(invoice.value("period").toString(), QStringLiteral("2025-03"));
        QCOMPARE(invoice.value("total_amount").toDouble(), 1050.0);
        QCOMPARE(invoice.value("paid_amount").toDouble(), 0.0);
        QCOMPARE(invoice.value("balance").toDouble(), 1050.0);
        QCOMPARE(invoice.value("status").toString(), QStringLiteral("pending"));
        QCOMPARE(invoice.value("currency_id").toInt(), 1);
        QCOMPARE(invoice.value("due_date").toString(), QStringLiteral("2025-03-28"));
        QCOMPARE(tenantBalance(db(), m_tenant), 1050.0);

        const QVariantList stored = m_model->getItems(id);
        QCOMPARE(stored.size(), 2);
        const QVariantMap water
            = m_db->db()
                  ->execQuery(QStringLiteral("SELECT * FROM invoice_items WHERE invoice_id=? "
                                             "AND description=?"),
                      { id, QStringLiteral("مياه") })
                  .first()
                  .toMap();
        // Quantity 0 is stored as 1, an empty type as "service"; the given total stands.
        QCOMPARE(water.value("quantity").toDouble(), 1.0);
        QCOMPARE(water.value("type").toString(), QStringLiteral("service"));
        QCOMPARE(water.value("total").toDouble(), 50.0);
    }

    void invoiceWithoutUnitStoresNull()
    {
        const int id = m_model->createInvoice(
            m_tenant, 0, QStringLiteral("2025-03"), { item(QStringLiteral("تنظيف"), 30) }, 1);
        QVERIFY(id > 0);
        QVERIFY(field(db(), QStringLiteral("invoices"), id, QStringLiteral("unit_id")).isNull());
        const QVariantMap listed = m_model->getAll().first().toMap();
        QVERIFY(listed.contains("unit_number"));
        QVERIFY(listed.value("unit_number").isNull());
        QCOMPARE(listed.value("tenant_name").toString(), QStringLiteral("سامي"));
    }

    void amountsAreKeptInHundredths()
    {
        const int id = m_model->createInvoice(m_tenant, m_unit, QStringLiteral("2025-03"),
            { item(QStringLiteral("a"), 0.1), item(QStringLiteral("b"), 0.2),
                item(QStringLiteral("c"), 10.005) },
            1);
        QVERIFY(id > 0);
        QVERIFY(
            field(db(), QStringLiteral("invoices"), id, QStringLiteral("total_amount")).toDouble() == 10.31);
        QVERIFY(tenantBalance(db(), m_tenant) == 10.31);
        QVERIFY(
            db()->scalar(QStringLiteral("SELECT total FROM invoice_items WHERE description='c'")).toDouble()
            == 10.01);
    }

    void numbersRestartMonthlyAndCountVoided()
    {
        const int first = rentInvoice(m_tenant, QStringLiteral("2025-03"), 100);
        QCOMPARE(numberOf(first), QStringLiteral("INV-202503-0001"));
        QVERIFY(m_model->voidInvoice(first));
        // A voided number keeps its place in the series.
        const int second = rentInvoice(m_otherTenant, QStringLiteral("2025-03"), 100);
        QCOMPARE(numberOf(second), QStringLiteral("INV-202503-0002"));

        // Made on 1 April for March: the series is April's, the due date March's.
        Clock::setToday(QDate(2025, 4, 1));
        const int late = rentInvoice(m_tenant, QStringLiteral("2025-02"), 100);
        QCOMPARE(numberOf(late), QStringLiteral("INV-202504-0001"));
        QCOMPARE(field(db(), QStringLiteral("invoices"), late, QStringLiteral("due_date")).toString(),
            QStringLiteral("2025-02-28"));
        const int next = rentInvoice(m_otherTenant, QStringLiteral("2025-04"), 100);
        QCOMPARE(numberOf(next), QStringLiteral("INV-202504-0002"));
    }

    void numbering_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("run");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("expected");

        QTest::newRow("first of the month") << QStringList() << 0 << QStringList() << "INV-202503-0001";
        QTest::newRow("continues") << QStringList { "INV-202503-0001", "INV-202503-0002" } << 0
                                   << QStringList() << "INV-202503-0003";
        QTest::newRow("other months do not count")
            << QStringList { "INV-202502-0040", "INV-202504-0007", "INV-20250-99999" } << 0 << QStringList()
            << "INV-202503-0001";
        // LIKE would match this one: the series is case-sensitive.
        QTest::newRow("lower case is another series")
            << QStringList { "inv-202503-0050" } << 0 << QStringList() << "INV-202503-0001";
        QTest::newRow("after a gap") << QStringList { "INV-202503-0001", "INV-202503-0007" } << 0
                                     << QStringList() << "INV-202503-0008";
        QTest::newRow("past 9999") << QStringList() << 9999 << QStringList() << "INV-202503-10000";
        QTest::newRow("well past 9999")
            << QStringList() << 9999 << QStringList { "INV-202503-10000", "INV-202503-10001" }
            << "INV-202503-10002";
        // The newest row is 9999 here, while 10000-10002 were written earlier: the taken run is
        // still found.
        QTest::newRow("past 9999, written out of order")
            << QStringList { "INV-202503-10000", "INV-202503-10001", "INV-202503-10002" } << 9999
            << QStringList() << "INV-202503-10003";
    }

    void numbering()
    {
        QFETCH(QStringList, before);
        QFETCH(int, run);
        QFETCH(QStringList, after);
        QFETCH(QString, expected);
        for (const QString& number : before)
            seedNumber(number);
        if (run > 0) {
            QVERIFY(db()->execNonQuery(
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                    "INSERT INTO invoices (invoice_number, tenant_id, period, status) "
                    "SELECT 'INV-202503-' || substr('0000' || i, -4), ?, '2025-01', 'paid' FROM n"),
                { run, m_otherTenant }));
        }
        for (const QString& number : after)
            seedNumber(number);

        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 100);
        QVERIFY(id > 0);
        QCOMPARE(numberOf(id), expected);
    }

    void duplicateGuardIsPerTenantAndPeriod()
    {
        const int first = rentInvoice(m_tenant, QStringLiteral("2025-03"), 1000);
        QVERIFY(first > 0);
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);

        // Same tenant and period: refused, even for another unit and other items.
        QCOMPARE(m_model->createInvoice(m_tenant, m_otherUnit, QStringLiteral("2025-03"),
                     { item(QStringLiteral("كهرباء"), 70) }, 1),
            -1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 1);
        QCOMPARE(m_db->count(QStringLiteral("invoice_items")), 1);
        QCOMPARE(tenantBalance(db(), m_tenant), 1000.0);
        QCOMPARE(changed.count(), 0);

        QVERIFY(rentInvoice(m_tenant, QStringLiteral("2025-04"), 1000) > 0);
        QVERIFY(rentInvoice(m_otherTenant, QStringLiteral("2025-03"), 1000) > 0);

        // A void invoice no longer holds the period.
        QVERIFY(m_model->voidInvoice(first));
        QVERIFY(rentInvoice(m_tenant, QStringLiteral("2025-03"), 900) > 0);
        QCOMPARE(tenantBalance(db(), m_tenant), 1000.0 + 900.0);
    }

    void duplicateGuardSeesRentRunInvoices()
    {
        addContract(db(), m_unit, m_tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        QCOMPARE(m_model->generateAllRent(QStringLiteral("2025-03")), 1);
        QCOMPARE(rentInvoice(m_tenant, QStringLiteral("2025-03"), 50), -1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 1);
    }

    void refusedInputWritesNothing_data()
    {
        QTest::addColumn<int>("tenant");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QVariantList>("items");

        const QVariantList good { item(QStringLiteral("إيجار"), 500) };
        QTest::newRow("month 13") << 1 << "2025-13" << good;
        QTest::newRow("empty period") << 1 << "" << good;
        QTest::newRow("single-digit month") << 1 << "2025-3" << good;
        QTest::newRow("a date, not a period") << 1 << "2025-03-01" << good;
        QTest::newRow("unknown tenant") << 999 << "2025-03" << good;
        QTest::newRow("NaN total") << 1 << "2025-03"
                                   << QVariantList { item(QStringLiteral("x"), std::nan("")) };
        QTest::newRow("infinite total")
            << 1 << "2025-03"
            << QVariantList { item(QStringLiteral("x"), std::numeric_limits<double>::infinity()) };
        // An invoice of nothing, or less, could never be settled.
        QTest::newRow("no items") << 1 << "2025-03" << QVariantList {};
        QTest::newRow("a line of 0") << 1 << "2025-03" << QVariantList { item(QStringLiteral("x"), 0) };
        QTest::newRow("below half a cent")
            << 1 << "2025-03" << QVariantList { item(QStringLiteral("x"), 0.004) };
        QTest::newRow("a negative line")
            << 1 << "2025-03" << QVariantList { good.first(), item(QStringLiteral("خصم"), -100) };
        QTest::newRow("a total above the largest amount")
            << 1 << "2025-03"
            << QVariantList { item(QStringLiteral("x"), 9e12), item(QStringLiteral("y"), 9e12) };
        // The second line cannot be stored (no description): the first may not stay behind.
        QVariantMap broken;
        broken.insert(QStringLiteral("total"), 5.0);
        QTest::newRow("one broken item") << 1 << "2025-03" << QVariantList { good.first(), broken };
    }

    void refusedInputWritesNothing()
    {
        QFETCH(int, tenant);
        QFETCH(QString, period);
        QFETCH(QVariantList, items);
        const int tenantId = tenant == 1 ? m_tenant : tenant;
        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QCOMPARE(m_model->createInvoice(tenantId, m_unit, period, items, 1), -1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoice_items")), 0);
        QCOMPARE(tenantBalance(db(), m_tenant), 0.0);
        QCOMPARE(changed.count(), 0);
    }

    void failedBalanceChangeUndoesTheInvoice()
    {
        QVERIFY(db()->execNonQuery(
            QStringLiteral("CREATE TRIGGER block_balance BEFORE UPDATE OF balance ON tenants "
                           "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
        QCOMPARE(rentInvoice(m_tenant, QStringLiteral("2025-03"), 700), -1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
        QCOMPARE(m_db->count(QStringLiteral("invoice_items")), 0);

        // The number drawn for the failed invoice was never used: the next one gets it.
        QVERIFY(db()->execNonQuery(QStringLiteral("DROP TRIGGER block_balance")));
        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 700);
        QCOMPARE(numberOf(id), QStringLiteral("INV-202503-0001"));
    }

    void updatePaidAmount_data()
    {
        QTest::addColumn<double>("paid");
        QTest::addColumn<double>("balance");
        QTest::addColumn<QString>("status");

        QTest::newRow("part") << 400.0 << 600.0 << "partial";
        QTest::newRow("what was paid already") << 250.0 << 750.0 << "partial";
        QTest::newRow("all") << 1000.0 << 0.0 << "paid";
        QTest::newRow("all, to the half cent") << 999.995 << 0.0 << "paid";
    }

    void updatePaidAmount()
    {
        QFETCH(double, paid);
        QFETCH(double, balance);
        QFETCH(QString, status);
        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 1000);
        QVERIFY(m_model->updatePaidAmount(id, 250));
        // It sets the paid amount, through a payment of the difference.
        QVERIFY(m_model->updatePaidAmount(id, paid));
        const QVariantMap invoice = db()->getById(QStringLiteral("invoices"), id);
        QCOMPARE(invoice.value("paid_amount").toDouble(), Money::roundToCents(paid));
        QVERIFY(invoice.value("balance").toDouble() == balance);
        QCOMPARE(invoice.value("status").toString(), status);
        QVERIFY(tenantBalance(db(), m_tenant) == balance);
        QCOMPARE(db()->scalar(QStringLiteral("SELECT SUM(amount) FROM payments WHERE invoice_id=?"), { id })
                     .toDouble(),
            Money::roundToCents(paid));
    }

    void updatePaidAmountRefusals()
    {
        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 1000);
        QVERIFY(m_model->updatePaidAmount(id, 250));
        QVERIFY(!m_model->updatePaidAmount(id, std::nan("")));
        QVERIFY(!m_model->updatePaidAmount(id, -1));
        QVERIFY(!m_model->updatePaidAmount(id + 100, 10));
        // No payment is taken back, and none goes past the total.
        QVERIFY(!m_model->updatePaidAmount(id, 100));
        QVERIFY(!m_model->updatePaidAmount(id, 1200));
        QCOMPARE(
            field(db(), QStringLiteral("invoices"), id, QStringLiteral("paid_amount")).toDouble(), 250.0);
        QCOMPARE(tenantBalance(db(), m_tenant), 750.0);
        QVERIFY(m_model->voidInvoice(id));
        // A void invoice stays void.
        QVERIFY(!m_model->updatePaidAmount(id, 1000));
        QCOMPARE(field(db(), QStringLiteral("invoices"), id, QStringLiteral("status")).toString(),
            QStringLiteral("void"));
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);
    }

    void voidTakesBackOnlyWhatWasOpen()
    {
        PaymentModel payments(db());
        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 1000);
        QVERIFY(payments.add(
                    id, m_tenant, 400, QStringLiteral("cash"), QStringLiteral("2025-03-10"), QString(), 1)
            > 0);
        QCOMPARE(tenantBalance(db(), m_tenant), 600.0);

        QSignalSpy changed(m_model.get(), &InvoiceModel::dataChanged);
        QVERIFY(m_model->voidInvoice(id));
        QCOMPARE(changed.count(), 1);
        const QVariantMap invoice = db()->getById(QStringLiteral("invoices"), id);
        QCOMPARE(invoice.value("status").toString(), QStringLiteral("void"));
        QCOMPARE(invoice.value("balance").toDouble(), 0.0);
        QCOMPARE(invoice.value("paid_amount").toDouble(), 400.0);
        QCOMPARE(tenantBalance(db(), m_tenant), 0.0);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);

        QVERIFY(!m_model->voidInvoice(id));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tenantBalance(db(), m_tenant), 0.0);
        QVERIFY(!m_model->voidInvoice(id + 100));
    }

    void failedVoidChangesNothing()
    {
        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 1000);
        QVERIFY(db()->execNonQuery(
            QStringLiteral("CREATE TRIGGER block_balance BEFORE UPDATE OF balance ON tenants "
                           "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
        QVERIFY(!m_model->voidInvoice(id));
        QCOMPARE(field(db(), QStringLiteral("invoices"), id, QStringLiteral("status")).toString(),
            QStringLiteral("pending"));
        QCOMPARE(field(db(), QStringLiteral("invoices"), id, QStringLiteral("balance")).toDouble(), 1000.0);
        QCOMPARE(tenantBalance(db(), m_tenant), 1000.0);
    }

    void pendingListsOpenInvoicesEarliestDueFirst()
    {
        const int march = rentInvoice(m_tenant, QStringLiteral("2025-03"), 100);
        const int january = rentInvoice(m_tenant, QStringLiteral("2025-01"), 100);
        const int february = rentInvoice(m_tenant, QStringLiteral("2025-02"), 100);
        const int paid = rentInvoice(m_tenant, QStringLiteral("2024-12"), 100);
        const int voided = rentInvoice(m_tenant, QStringLiteral("2024-11"), 100);
        rentInvoice(m_otherTenant, QStringLiteral("2024-10"), 100);
        QVERIFY(m_model->updatePaidAmount(february, 30));
        QVERIFY(m_model->updatePaidAmount(paid, 100));
        QVERIFY(m_model->voidInvoice(voided));

        const QVariantList pending = m_model->getPendingByTenant(m_tenant);
        QCOMPARE(pending.size(), 3);
        QCOMPARE(pending.at(0).toMap().value("id").toInt(), january);
        QCOMPARE(pending.at(1).toMap().value("id").toInt(), february);
        QCOMPARE(pending.at(2).toMap().value("id").toInt(), march);
        QStringList keys = pending.first().toMap().keys();
        keys.sort();
        QCOMPARE(keys,
            QStringList(
                { "balance", "due_date", "id", "invoice_number", "paid_amount", "period", "total_amount" }));
        QCOMPARE(pending.at(1).toMap().value("balance").toDouble(), 70.0);
    }

    void lookups()
    {
        const int id = rentInvoice(m_tenant, QStringLiteral("2025-03"), 100);
        rentInvoice(m_otherTenant, QStringLiteral("2025-03"), 100);
        const QVariantMap one = m_model->getById(id);
        QCOMPARE(one.value("tenant_name").toString(), QStringLiteral("سامي"));
        QCOMPARE(one.value("invoice_number").toString(), QStringLiteral("INV-202503-0001"));
        QVERIFY(m_model->getById(id + 100).isEmpty());
        QCOMPARE(m_model->getByTenant(m_tenant).size(), 1);
        QCOMPARE(m_model->getByTenant(m_otherTenant).size(), 1);

        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 2);
        const QVariantMap listed = all.first().toMap();
        QCOMPARE(listed.value("unit_number").toString(), QStringLiteral("101"));
        QCOMPARE(listed.value("property_name").toString(), QStringLiteral("برج النخيل"));
    }
};

QTEST_GUILESS_MAIN(TestInvoiceModel)
#include "tst_invoicemodel.moc"
