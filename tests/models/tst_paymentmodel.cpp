#include "billingfixtures.h"
#include "clock.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace BillingFixtures;

class TestPaymentModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_invoices;
    std::unique_ptr<PaymentModel> m_model;
    int m_property = 0;
    int m_unit = 0;
    int m_tenant = 0;
    int m_invoice = 0;

    Database* db() const { return m_db->db(); }
    QVariantMap invoice(int id) const { return db()->getById(QStringLiteral("invoices"), id); }
    int pay(double amount, int invoiceId = 0, int tenantId = 0,
        const QString& date = QStringLiteral("2025-03-20"))
    {
        return m_model->add(invoiceId ? invoiceId : m_invoice, tenantId ? tenantId : m_tenant, amount,
            QStringLiteral("bank"), date, QStringLiteral("TR-77"), 1);
    }
    /** Nothing moved since the invoice of 1000 was made. */
    void verifyUntouched()
    {
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        const QVariantMap row = invoice(m_invoice);
        QCOMPARE(row.value("paid_amount").toDouble(), 0.0);
        QCOMPARE(row.value("balance").toDouble(), 1000.0);
        QCOMPARE(row.value("status").toString(), QStringLiteral("pending"));
        QCOMPARE(tenantBalance(db(), m_tenant), 1000.0);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 5));
        m_db = std::make_unique<TestDatabase>();
        m_invoices = std::make_unique<InvoiceModel>(db());
        m_model = std::make_unique<PaymentModel>(db());
        m_property = addProperty(db());
        m_unit = addUnit(db(), m_property, QStringLiteral("12"));
        m_tenant = addTenant(db(), QStringLiteral("منى"));
        m_invoice = m_invoices->createInvoice(
            m_tenant, m_unit, QStringLiteral("2025-03"), { item(QStringLiteral("إيجار"), 1000) }, 1);
        QVERIFY(m_invoice > 0);
    }

    void cleanup()
    {
        m_model.reset();
        m_invoices.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void paymentsMoveInvoiceAndTenant()
    {
        QSignalSpy changed(m_model.get(), &PaymentModel::dataChanged);
        const int first = pay(400);
        QVERIFY(first > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap stored = db()->getById(QStringLiteral("payments"), first);
        QCOMPARE(stored.value("invoice_id").toInt(), m_invoice);
        QCOMPARE(stored.value("tenant_id").toInt(), m_tenant);
        QCOMPARE(stored.value("amount").toDouble(), 400.0);
        QCOMPARE(stored.value("payment_method").toString(), QStringLiteral("bank"));
        QCOMPARE(stored.value("payment_date").toString(), QStringLiteral("2025-03-20"));
        QCOMPARE(stored.value("reference").toString(), QStringLiteral("TR-77"));
        QCOMPARE(stored.value("currency_id").toInt(), 1);
        QVERIFY(stored.value("buyer_id").isNull());

        QCOMPARE(invoice(m_invoice).value("paid_amount").toDouble(), 400.0);
        QCOMPARE(invoice(m_invoice).value("balance").toDouble(), 600.0);
        QCOMPARE(invoice(m_invoice).value("status").toString(), QStringLiteral("partial"));
        QCOMPARE(tenantBalance(db(), m_tenant), 600.0);

        // The rest settles it exactly.
        QVERIFY(pay(600) > 0);
        QCOMPARE(invoice(m_invoice).value("paid_amount").toDouble(), 1000.0);
        QCOMPARE(invoice(m_invoice).value("balance").toDouble(), 0.0);
        QCOMPARE(invoice(m_invoice).value("status").toString(), QStringLiteral("paid"));
        QCOMPARE(tenantBalance(db(), m_tenant), 0.0);
        QVERIFY(m_invoices->getPendingByTenant(m_tenant).isEmpty());

        // Nothing is left to pay.
        QCOMPARE(pay(0.01), -1);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 2);
    }

    void overpaymentIsRefused()
    {
        QVERIFY(pay(400) > 0);
        QSignalSpy changed(m_model.get(), &PaymentModel::dataChanged);
        QCOMPARE(pay(600.01), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);
        QCOMPARE(invoice(m_invoice).value("balance").toDouble(), 600.0);
        QCOMPARE(invoice(m_invoice).value("status").toString(), QStringLiteral("partial"));
        QCOMPARE(tenantBalance(db(), m_tenant), 600.0);
    }

    void refusedPaymentsWriteNothing_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("date");
        QTest::newRow("zero") << 0.0 << "2025-03-20";
        QTest::newRow("negative") << -50.0 << "2025-03-20";
        QTest::newRow("below half a cent") << 0.004 << "2025-03-20";
        QTest::newRow("half a cent past the invoice") << 1000.005 << "2025-03-20";
        QTest::newRow("NaN") << std::nan("") << "2025-03-20";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "2025-03-20";
        QTest::newRow("more than the invoice") << 1000.5 << "2025-03-20";
        QTest::newRow("no date") << 100.0 << "";
        QTest::newRow("not a date") << 100.0 << "2025-02-30";
        QTest::newRow("another date format") << 100.0 << "20/03/2025";
    }

    void refusedPaymentsWriteNothing()
    {
        QFETCH(double, amount);
        QFETCH(QString, date);
        QSignalSpy changed(m_model.get(), &PaymentModel::dataChanged);
        QCOMPARE(pay(amount, 0, 0, date), -1);
        QVERIFY(!m_model->lastError().isEmpty());
        QCOMPARE(changed.count(), 0);
        verifyUntouched();
    }

    void paymentNeedsTheTenantsLiveInvoice()
    {
        const int other = addTenant(db(), QStringLiteral("غريب"));
        QCOMPARE(pay(100, m_invoice, other), -1);
        QCOMPARE(pay(100, m_invoice + 100), -1);
        QCOMPARE(pay(100, -1), -1);
        verifyUntouched();
        QCOMPARE(tenantBalance(db(), other), 0.0);

        QCOMPARE(pay(1000.5), -1);
        QVERIFY(m_model->lastError().contains(QStringLiteral("أكبر من المتبقي"))
            && m_model->lastError().contains(QStringLiteral("1,000.00")));
        QVERIFY(m_invoices->voidInvoice(m_invoice));
        QCOMPARE(pay(100), -1);
        QCOMPARE(m_model->lastError(), QStringLiteral("الفاتورة ملغاة ولا تقبل دفعات"));
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        QCOMPARE(tenantBalance(db(), m_tenant), 0.0);
    }

    void failedBalanceChangeUndoesThePayment()
    {
        QVERIFY(db()->execNonQuery(
            QStringLiteral("CREATE TRIGGER block_balance BEFORE UPDATE OF balance ON tenants "
                           "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
        QCOMPARE(pay(300), -1);
        verifyUntouched();
    }

    void roundingDoesNotStrandAnInvoice()
    {
        // 0.1 + 0.2 is 0.30000000000000004 in doubles; paying 0.1 and then 0.2 settles it.
        const int tenant = addTenant(db(), QStringLiteral("دقيق"));
        const int small = m_invoices->createInvoice(tenant, 0, QStringLiteral("2025-03"),
            { item(QStringLiteral("a"), 0.1), item(QStringLiteral("b"), 0.2) }, 1);
        QVERIFY(small > 0);
        QVERIFY(pay(0.1, small, tenant) > 0);
        QVERIFY(pay(0.2, small, tenant) > 0);
        QCOMPARE(invoice(small).value("status").toString(), QStringLiteral("paid"));
        // Settled means exactly 0, on the invoice and on the tenant.
        QVERIFY(invoice(small).value("balance").toDouble() == 0.0);
        QVERIFY(tenantBalance(db(), tenant) == 0.0);
        QVERIFY(m_invoices->getPendingByTenant(tenant).isEmpty());
    }

    void amountsAreKeptInHundredths()
    {
        const int id = pay(333.335);
        QVERIFY(id > 0);
        QVERIFY(db()->getById(QStringLiteral("payments"), id).value("amount").toDouble() == 333.34);
        QVERIFY(invoice(m_invoice).value("paid_amount").toDouble() == 333.34);
        QVERIFY(invoice(m_invoice).value("balance").toDouble() == 666.66);
        QVERIFY(tenantBalance(db(), m_tenant) == 666.66);
        // What is left, to the half cent, settles the invoice exactly.
        QVERIFY(pay(666.655) > 0);
        QCOMPARE(invoice(m_invoice).value("status").toString(), QStringLiteral("paid"));
        QVERIFY(invoice(m_invoice).value("balance").toDouble() == 0.0);
        QVERIFY(tenantBalance(db(), m_tenant) == 0.0);
    }

    void paymentInAnotherCurrencyIsRefused()
    {
        // The invoice is in currency 1 (the primary one); money of another cannot be added to it.
        QCOMPARE(m_model->add(m_invoice, m_tenant, 100, QStringLiteral("cash"), QStringLiteral("2025-03-20"),
                     QString(), 2),
            -1);
        verifyUntouched();
    }

    void lists()
    {
        QVERIFY(pay(100, 0, 0, QStringLiteral("2025-03-01")) > 0);
        QVERIFY(pay(200, 0, 0, QStringLiteral("2025-03-03")) > 0);
        // A buyer's payment from the sales side, with its own unit.
        const int other = addProperty(db(), QStringLiteral("مشروع الواحة"));
        const int soldUnit = addUnit(db(), other, QStringLiteral("V9"));
        const int buyer = db()->execInsert(
            QStringLiteral("INSERT INTO buyers (full_name) VALUES (?)"), { QStringLiteral("مشتري") });
        QVERIFY(
            db()->execInsert(QStringLiteral("INSERT INTO payments (buyer_id, unit_id, amount, payment_date) "
                                            "VALUES (?, ?, ?, ?)"),
                { buyer, soldUnit, 5000, QStringLiteral("2025-03-02") })
            > 0);

        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all.at(0).toMap().value("amount").toDouble(), 200.0);
        QCOMPARE(all.at(0).toMap().value("tenant_name").toString(), QStringLiteral("منى"));
        QCOMPARE(all.at(0).toMap().value("invoice_number").toString(), QStringLiteral("INV-202503-0001"));
        QCOMPARE(all.at(0).toMap().value("unit_number").toString(), QStringLiteral("12"));
        QCOMPARE(all.at(0).toMap().value("property_name").toString(), QStringLiteral("برج النخيل"));
        const QVariantMap sale = all.at(1).toMap();
        QCOMPARE(sale.value("buyer_name").toString(), QStringLiteral("مشتري"));
        QVERIFY(sale.value("tenant_name").isNull());
        QCOMPARE(sale.value("unit_number").toString(), QStringLiteral("V9"));
        QCOMPARE(sale.value("property_name").toString(), QStringLiteral("مشروع الواحة"));

        QCOMPARE(m_model->getByTenant(m_tenant).size(), 2);
        QCOMPARE(m_model->getByTenant(m_tenant).first().toMap().value("payment_date").toString(),
            QStringLiteral("2025-03-03"));
        QVERIFY(!m_model->getRecent().first().toMap().contains("invoice_number"));
    }

    void recentIsLimited()
    {
        for (int day = 1; day <= 12; ++day)
            QVERIFY(pay(10, 0, 0, QDate(2025, 3, day).toString(Qt::ISODate)) > 0);
        QCOMPARE(m_model->getRecent().size(), 10);
        const QVariantList three = m_model->getRecent(3);
        QCOMPARE(three.size(), 3);
        QCOMPARE(three.first().toMap().value("payment_date").toString(), QStringLiteral("2025-03-12"));
        QCOMPARE(tenantBalance(db(), m_tenant), 1000.0 - 120.0);
    }
};

QTEST_GUILESS_MAIN(TestPaymentModel)
#include "tst_paymentmodel.moc"
