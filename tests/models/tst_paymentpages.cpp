// The payments list page by page: latest payment date first, tenants' and buyers' payments
// together, and a search over names, reference, date, invoice, property and unit.
#include "billingfixtures.h"
#include "clock.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QTest>

using namespace BillingFixtures;

class TestPaymentPages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_invoices;
    std::unique_ptr<PaymentModel> m_model;
    int m_tower = 0;
    int m_villa = 0;
    int m_unit101 = 0;
    int m_unit7 = 0;
    int m_sami = 0;
    int m_layla = 0;
    int m_buyer = 0;
    int m_samiInvoice = 0;
    int m_laylaInvoice = 0;

    Database* db() const { return m_db->db(); }

    QList<int> storedIds(const QString& condition = QStringLiteral("1=1")) const
    {
        return idsOf(db()->execQuery(QStringLiteral("SELECT id FROM payments WHERE ") + condition
            + QStringLiteral(" ORDER BY payment_date DESC, id DESC")));
    }

    int pay(int invoiceId, int tenantId, double amount, const QString& date, const QString& ref)
    {
        return m_model->add(invoiceId, tenantId, amount, QStringLiteral("cash"), date, ref, 1);
    }

    /** A buyer's payment on a sold unit, as the sale and the collection write it. */
    int buyerPayment(double amount, const QString& date)
    {
        return db()->execInsert(
            QStringLiteral("INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, "
                           "currency_id, notes) VALUES (?, ?, ?, 'cash', ?, 1, 'تحصيل قسط')"),
            { m_buyer, m_unit7, amount, date });
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 15));
        m_db = std::make_unique<TestDatabase>();
        m_invoices = std::make_unique<InvoiceModel>(db());
        m_model = std::make_unique<PaymentModel>(db());
        m_tower = addProperty(db(), QStringLiteral("برج النخيل"));
        m_villa = addProperty(db(), QStringLiteral("فيلا الزيتون"));
        m_unit101 = addUnit(db(), m_tower, QStringLiteral("101"));
        m_unit7 = addUnit(db(), m_villa, QStringLiteral("B-7"));
        m_sami = addTenant(db(), QStringLiteral("سامي خليل"));
        m_layla = addTenant(db(), QStringLiteral("ليلى حسن"));
        m_buyer = db()->execInsert(QStringLiteral("INSERT INTO buyers (full_name) VALUES ('نادر المصري')"));
        QVERIFY(m_buyer > 0);
        m_samiInvoice = m_invoices->createInvoice(
            m_sami, m_unit101, QStringLiteral("2025-03"), { item(QStringLiteral("إيجار"), 3000) }, 1);
        m_laylaInvoice = m_invoices->createInvoice(
            m_layla, 0, QStringLiteral("2025-03"), { item(QStringLiteral("مياه"), 3000) }, 1);
        QVERIFY(m_samiInvoice > 0 && m_laylaInvoice > 0);
    }

    void cleanup()
    {
        m_model.reset();
        m_invoices.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void latestDateFirstThenLatestRecorded()
    {
        // Recorded out of date order, as an office catching up on receipts does.
        const int march10
            = pay(m_samiInvoice, m_sami, 100, QStringLiteral("2025-03-10"), QStringLiteral("R-1"));
        const int march02
            = pay(m_laylaInvoice, m_layla, 200, QStringLiteral("2025-03-02"), QStringLiteral("R-2"));
        const int sale = buyerPayment(5000, QStringLiteral("2025-03-10"));
        const int march12
            = pay(m_samiInvoice, m_sami, 300, QStringLiteral("2025-03-12"), QStringLiteral("R-3"));
        const int feb = buyerPayment(700, QStringLiteral("2025-02-27"));
        for (int id : { march10, march02, sale, march12, feb })
            QVERIFY(id > 0);

        const QList<int> expected { march12, sale, march10, march02, feb };
        QCOMPARE(storedIds(), expected);
        QCOMPARE(idsOf(m_model->getPage(0, 2)), expected.mid(0, 2));
        QCOMPARE(idsOf(m_model->getPage(2, 2)), expected.mid(2, 2));
        QCOMPARE(idsOf(m_model->getPage(4, 2)), expected.mid(4));
        QCOMPARE(m_model->getPage(0, 6).size(), 5);
    }

    void rowsCarryTheNamesOfTheList()
    {
        const int rent
            = pay(m_samiInvoice, m_sami, 1000, QStringLiteral("2025-03-05"), QStringLiteral("TR-9"));
        const int sale = buyerPayment(5000, QStringLiteral("2025-03-06"));
        const int water = pay(m_laylaInvoice, m_layla, 40, QStringLiteral("2025-03-04"), QString());
        const QVariantList rows = m_model->getPage(0, 10);
        QCOMPARE(idsOf(rows), QList<int>({ sale, rent, water }));

        const QVariantMap buyer = rows.at(0).toMap();
        QCOMPARE(buyer.value("buyer_name").toString(), QStringLiteral("نادر المصري"));
        QVERIFY(buyer.value("tenant_name").isNull());
        QCOMPARE(buyer.value("property_name").toString(), QStringLiteral("فيلا الزيتون"));
        QCOMPARE(buyer.value("unit_number").toString(), QStringLiteral("B-7"));
        QCOMPARE(buyer.value("amount").toDouble(), 5000.0);

        const QVariantMap tenant = rows.at(1).toMap();
        QCOMPARE(tenant.value("tenant_name").toString(), QStringLiteral("سامي خليل"));
        QVERIFY(tenant.value("buyer_name").isNull());
        QCOMPARE(tenant.value("property_name").toString(), QStringLiteral("برج النخيل"));
        QCOMPARE(tenant.value("unit_number").toString(), QStringLiteral("101"));
        QCOMPARE(tenant.value("invoice_number").toString(), QStringLiteral("INV-202503-0001"));
        QCOMPARE(tenant.value("reference").toString(), QStringLiteral("TR-9"));

        const QVariantMap noUnit = rows.at(2).toMap();
        QVERIFY(noUnit.value("property_name").isNull());
        QCOMPARE(noUnit.keys(), m_model->getAll().first().toMap().keys());
    }

    void searchFindsEveryNamedField_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("condition");
        QTest::newRow("tenant") << QStringLiteral("ليلى") << QStringLiteral("tenant_id=2");
        QTest::newRow("buyer") << QStringLiteral("المصري") << QStringLiteral("buyer_id=1");
        QTest::newRow("reference") << QStringLiteral("tr-9") << QStringLiteral("reference='TR-9'");
        QTest::newRow("date") << QStringLiteral("2025-03-06") << QStringLiteral("payment_date='2025-03-06'");
        QTest::newRow("invoice number") << QStringLiteral("202503-0002") << QStringLiteral("invoice_id=2");
        // A tenant's payment reaches its unit through the invoice, a buyer's directly.
        QTest::newRow("property via invoice") << QStringLiteral("النخيل") << QStringLiteral("invoice_id=1");
        QTest::newRow("property of a sale") << QStringLiteral("الزيتون") << QStringLiteral("buyer_id=1");
        QTest::newRow("unit") << QStringLiteral("101") << QStringLiteral("invoice_id=1");
        QTest::newRow("percent taken literally") << QStringLiteral("%") << QStringLiteral("0");
        QTest::newRow("empty: all") << QString() << QStringLiteral("1=1");
    }

    void searchFindsEveryNamedField()
    {
        QFETCH(QString, search);
        QFETCH(QString, condition);
        QVERIFY(pay(m_samiInvoice, m_sami, 1000, QStringLiteral("2025-03-05"), QStringLiteral("TR-9")) > 0);
        QVERIFY(buyerPayment(5000, QStringLiteral("2025-03-06")) > 0);
        QVERIFY(pay(m_laylaInvoice, m_layla, 40, QStringLiteral("2025-03-04"), QStringLiteral("CH-3")) > 0);
        QVERIFY(pay(m_samiInvoice, m_sami, 500, QStringLiteral("2025-03-07"), QString()) > 0);
        QCOMPARE(m_layla, 2);
        QCOMPARE(m_laylaInvoice, 2);

        const QList<int> expected = storedIds(condition);
        QCOMPARE(idsOf(m_model->getPage(0, 50, search)), expected);
    }
};

QTEST_GUILESS_MAIN(TestPaymentPages)
#include "tst_paymentpages.moc"
