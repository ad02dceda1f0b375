// The invoices list page by page: newest first, a search over number, period, tenant, property
// and unit, and the paging arguments kept within bounds.
#include "billingfixtures.h"
#include "clock.h"
#include "invoicemodel.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QTest>

using namespace BillingFixtures;

class TestInvoicePages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_model;
    int m_tower = 0;
    int m_villa = 0;
    int m_unit101 = 0;
    int m_unit7 = 0;
    int m_sami = 0;
    int m_layla = 0;
    int m_omar = 0;

    Database* db() const { return m_db->db(); }

    int invoice(int tenant, int unit, const QString& period, double total)
    {
        return m_model->createInvoice(tenant, unit, period, { item(QStringLiteral("إيجار"), total) }, 1);
    }

    /** Ids of the stored invoices whose SQL condition holds, newest first. */
    QList<int> storedIds(const QString& condition = QStringLiteral("1=1")) const
    {
        return idsOf(db()->execQuery(QStringLiteral("SELECT id FROM invoices WHERE ") + condition
            + QStringLiteral(" ORDER BY id DESC")));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 15));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<InvoiceModel>(db());
        m_tower = addProperty(db(), QStringLiteral("برج النخيل"));
        m_villa = addProperty(db(), QStringLiteral("فيلا الزيتون"));
        m_unit101 = addUnit(db(), m_tower, QStringLiteral("101"));
        m_unit7 = addUnit(db(), m_villa, QStringLiteral("B-7"));
        m_sami = addTenant(db(), QStringLiteral("سامي خليل"));
        m_layla = addTenant(db(), QStringLiteral("ليلى حسن"));
        m_omar = addTenant(db(), QStringLiteral("عمر 50% خصم"));
    }

    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void pagesRunNewestFirstWithoutOverlap()
    {
        // Seven invoices: months of two tenants on alternating units, the last one made first
        // for an earlier period, so the order is that of writing, not of the period.
        QList<int> made;
        for (int month = 1; month <= 6; ++month)
            made << invoice(month % 2 ? m_sami : m_layla, month % 2 ? m_unit101 : m_unit7,
                QStringLiteral("2025-%1").arg(month, 2, 10, QLatin1Char('0')), 100.0 * month);
        made << invoice(m_omar, 0, QStringLiteral("2024-12"), 50);
        for (int id : made)
            QVERIFY(id > 0);
        QCOMPARE(storedIds(), QList<int>({ made[6], made[5], made[4], made[3], made[2], made[1], made[0] }));

        const QVariantList first = m_model->getPage(0, 3);
        const QVariantList second = m_model->getPage(3, 3);
        const QVariantList third = m_model->getPage(6, 3);
        QCOMPARE(idsOf(first), QList<int>({ made[6], made[5], made[4] }));
        QCOMPARE(idsOf(second), QList<int>({ made[3], made[2], made[1] }));
        QCOMPARE(idsOf(third), QList<int>({ made[0] }));
        QVERIFY(m_model->getPage(7, 3).isEmpty());
        // Asking one row more than is shown tells whether another page follows.
        QCOMPARE(m_model->getPage(0, 8).size(), 7);
    }

    void rowsCarryTheNamesOfTheList()
    {
        const int withUnit = invoice(m_sami, m_unit101, QStringLiteral("2025-03"), 1200);
        const int withoutUnit = invoice(m_layla, 0, QStringLiteral("2025-03"), 80);
        QVERIFY(withUnit > 0 && withoutUnit > 0);
        const QVariantList rows = m_model->getPage(0, 10);
        QCOMPARE(rows.size(), 2);
        const QVariantMap last = rows.at(0).toMap();
        QCOMPARE(last.value("id").toInt(), withoutUnit);
        QCOMPARE(last.value("tenant_name").toString(), QStringLiteral("ليلى حسن"));
        QVERIFY(last.contains("property_name"));
        QVERIFY(last.value("property_name").isNull());
        QVERIFY(last.value("unit_number").isNull());
        const QVariantMap earlier = rows.at(1).toMap();
        QCOMPARE(earlier.value("tenant_name").toString(), QStringLiteral("سامي خليل"));
        QCOMPARE(earlier.value("property_name").toString(), QStringLiteral("برج النخيل"));
        QCOMPARE(earlier.value("unit_number").toString(), QStringLiteral("101"));
        QCOMPARE(earlier.value("total_amount").toDouble(), 1200.0);
        QCOMPARE(earlier.value("balance").toDouble(), 1200.0);
        QCOMPARE(earlier.value("status").toString(), QStringLiteral("pending"));
        QCOMPARE(earlier.value("invoice_number").toString(),
            db()->scalar(QStringLiteral("SELECT invoice_number FROM invoices WHERE id=?"), { withUnit })
                .toString());
        // The same keys as the full list.
        QCOMPARE(earlier.keys(), m_model->getAll().last().toMap().keys());
    }

    void searchFindsEveryNamedField_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("condition");
        QTest::newRow("tenant") << QStringLiteral("ليلى") << QStringLiteral("tenant_id=2");
        QTest::newRow("tenant, blanks around") << QStringLiteral("  سامي ") << QStringLiteral("tenant_id=1");
        QTest::newRow("property") << QStringLiteral("الزيتون") << QStringLiteral("unit_id=2");
        QTest::newRow("unit") << QStringLiteral("B-7") << QStringLiteral("unit_id=2");
        QTest::newRow("period") << QStringLiteral("2025-02") << QStringLiteral("period='2025-02'");
        QTest::newRow("number") << QStringLiteral("INV-202503-0003")
                                << QStringLiteral("invoice_number='INV-202503-0003'");
        QTest::newRow("percent taken literally") << QStringLiteral("50%") << QStringLiteral("tenant_id=3");
        QTest::newRow("underscore taken literally") << QStringLiteral("_") << QStringLiteral("0");
        QTest::newRow("nothing matches") << QStringLiteral("لا يوجد") << QStringLiteral("0");
        QTest::newRow("empty search: all") << QStringLiteral("   ") << QStringLiteral("1=1");
    }

    void searchFindsEveryNamedField()
    {
        QFETCH(QString, search);
        QFETCH(QString, condition);
        QCOMPARE(m_sami, 1);
        QCOMPARE(m_layla, 2);
        QCOMPARE(m_omar, 3);
        QCOMPARE(m_unit7, 2);
        QVERIFY(invoice(m_sami, m_unit101, QStringLiteral("2025-01"), 1000) > 0);
        QVERIFY(invoice(m_layla, m_unit7, QStringLiteral("2025-01"), 900) > 0);
        QVERIFY(invoice(m_sami, m_unit101, QStringLiteral("2025-02"), 1000) > 0);
        QVERIFY(invoice(m_layla, m_unit7, QStringLiteral("2025-02"), 900) > 0);
        QVERIFY(invoice(m_omar, 0, QStringLiteral("2025-02"), 30) > 0);

        const QList<int> expected = storedIds(condition);
        QCOMPARE(idsOf(m_model->getPage(0, 50, search)), expected);
    }

    void searchPagesToo()
    {
        for (int month = 1; month <= 5; ++month) {
            QVERIFY(
                invoice(m_sami, m_unit101, QStringLiteral("2024-%1").arg(month, 2, 10, QLatin1Char('0')), 10)
                > 0);
            QVERIFY(
                invoice(m_layla, m_unit7, QStringLiteral("2024-%1").arg(month, 2, 10, QLatin1Char('0')), 20)
                > 0);
        }
        const QList<int> sami = storedIds(QStringLiteral("tenant_id=1"));
        QCOMPARE(sami.size(), 5);
        QCOMPARE(idsOf(m_model->getPage(0, 2, QStringLiteral("سامي"))), sami.mid(0, 2));
        QCOMPARE(idsOf(m_model->getPage(2, 2, QStringLiteral("سامي"))), sami.mid(2, 2));
        QCOMPARE(idsOf(m_model->getPage(4, 2, QStringLiteral("سامي"))), sami.mid(4));
    }

    void voidInvoicesStayListed()
    {
        const int id = invoice(m_sami, m_unit101, QStringLiteral("2025-03"), 500);
        QVERIFY(m_model->voidInvoice(id));
        const QVariantList rows = m_model->getPage(0, 10);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().toMap().value("status").toString(), QStringLiteral("void"));
    }

    void pagingArgumentsAreKeptInBounds()
    {
        for (int month = 1; month <= 3; ++month)
            QVERIFY(
                invoice(m_sami, m_unit101, QStringLiteral("2025-%1").arg(month, 2, 10, QLatin1Char('0')), 10)
                > 0);
        const QList<int> all = storedIds();
        QCOMPARE(idsOf(m_model->getPage(-5, 2)), all.mid(0, 2));
        QCOMPARE(idsOf(m_model->getPage(0, 0)), all.mid(0, 1));
        QCOMPARE(idsOf(m_model->getPage(1, -3)), all.mid(1, 1));
        QCOMPARE(m_model->getPage(0, 1000000).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestInvoicePages)
#include "tst_invoicepages.moc"
