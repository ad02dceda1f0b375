// The cheque register in its five cuts, page by page and latest due first, with a search, and the
// count and sum of every status.
#include "chequemodel.h"
#include "clock.h"
#include "installmentmodel.h"
#include "rowvalues.h"
#include "salesfixtures.h"
#include "testdatabase.h"

#include <QTest>

using namespace SalesFixtures;

class TestChequePages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ChequeModel> m_model;
    std::unique_ptr<InstallmentModel> m_installments;
    int m_buyer = 0;
    int m_tenant = 0;

    Database* db() const { return m_db->db(); }

    QList<int> storedIds(const QString& condition) const
    {
        return idsOf(db()->execQuery(QStringLiteral("SELECT id FROM cheques WHERE ") + condition
            + QStringLiteral(" ORDER BY due_date DESC, id DESC")));
    }

    int cheque(const QString& number, const QString& type, double amount, const QString& due,
        const QString& party = QString(), int buyer = 0, int tenant = 0)
    {
        return m_model->add(number, type, amount, QStringLiteral("بنك القدس"), due, party, kPrimaryCurrency,
            1.0, buyer, tenant);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<ChequeModel>(db());
        m_installments = std::make_unique<InstallmentModel>(db());
        m_buyer = addBuyer(db(), QStringLiteral("سامي خليل"));
        m_tenant = addTenant(db(), QStringLiteral("ليلى حسن"));
        const int property = addProperty(db(), QStringLiteral("برج النخيل"));
        const int unit = addUnit(db(), property, QStringLiteral("101"));
        // Three sale cheques 7001..7003 of 1000, due 2025-02-10, 2025-03-10 and 2025-04-10.
        QCOMPARE(m_installments->sellUnit(m_buyer, unit, 3000, 0, 3, QStringLiteral("2025-02-10"),
                     kPrimaryCurrency, QStringLiteral("7001"), QStringLiteral("بنك فلسطين")),
            1);
        QVERIFY(cheque(QStringLiteral("88"), QStringLiteral("received"), 450, QStringLiteral("2025-03-09"),
                    QStringLiteral("شركة النور"), 0, m_tenant)
            > 0);
        QVERIFY(cheque(QStringLiteral("89"), QStringLiteral("issued"), 1200, QStringLiteral("2025-05-01"),
                    QStringLiteral("مقاول الكهرباء"))
            > 0);
        QVERIFY(cheque(QStringLiteral("90"), QStringLiteral("issued"), 300, QStringLiteral("2025-03-10"),
                    QStringLiteral("شركة المياه"))
            > 0);
        QVERIFY(cheque(QStringLiteral("91"), QStringLiteral("received"), 75.5, QStringLiteral("2025-01-20"),
                    QStringLiteral("زبون"))
            > 0);
        QVERIFY(m_model->updateStatus(7, "paid"));
        QVERIFY(m_model->updateStatus(1, "bounced"));
    }

    void cleanup()
    {
        m_installments.reset();
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void everyCutLatestDueFirst_data()
    {
        QTest::addColumn<QString>("cut");
        QTest::addColumn<QString>("condition");
        QTest::newRow("all") << QStringLiteral("all") << QStringLiteral("1=1");
        QTest::newRow("received") << QStringLiteral("received") << QStringLiteral("type='received'");
        QTest::newRow("issued") << QStringLiteral("issued") << QStringLiteral("type='issued'");
        // Today is 2025-03-10: a cheque due today is to be collected, no longer post-dated.
        QTest::newRow("postdated") << QStringLiteral("postdated")
                                   << QStringLiteral("status='pending' AND due_date > '2025-03-10'");
        QTest::newRow("due, received only") << QStringLiteral(
            "due") << QStringLiteral("status='pending' AND type='received' AND due_date <= '2025-03-10'");
        QTest::newRow("unknown cut") << QStringLiteral("bounced") << QStringLiteral("0");
    }

    void everyCutLatestDueFirst()
    {
        QFETCH(QString, cut);
        QFETCH(QString, condition);
        QCOMPARE(idsOf(m_model->getPage(cut, 0, 50)), storedIds(condition));
    }

    void theCutsHoldWhatTheOfficeExpects()
    {
        // Worked out from the cheques of init(): 1 = 7001 bounced, 2 = 7002 due today,
        // 3 = 7003 April, 4 = 88 yesterday, 5 = 89 May, 6 = 90 today, 7 = 91 cashed.
        QCOMPARE(idsOf(m_model->getPage(QStringLiteral("all"), 0, 50)), QList<int>({ 5, 3, 6, 2, 4, 1, 7 }));
        QCOMPARE(idsOf(m_model->getPage(QStringLiteral("postdated"), 0, 50)), QList<int>({ 5, 3 }));
        QCOMPARE(idsOf(m_model->getPage(QStringLiteral("due"), 0, 50)), QList<int>({ 2, 4 }));
        QCOMPARE(idsOf(m_model->getPage(QStringLiteral("issued"), 0, 50)), QList<int>({ 5, 6 }));
        QCOMPARE(idsOf(m_model->getPage(QStringLiteral("all"), 2, 3)), QList<int>({ 6, 2, 4 }));
    }

    void rowsCarryTheNamesOfTheList()
    {
        const QVariantList rows = m_model->getPage(QStringLiteral("all"), 0, 50);
        const QVariantMap sale = rows.at(1).toMap();
        QCOMPARE(sale.value("cheque_number").toString(), QStringLiteral("7003"));
        QCOMPARE(sale.value("buyer_name").toString(), QStringLiteral("سامي خليل"));
        QCOMPARE(sale.value("unit_number").toString(), QStringLiteral("101"));
        QCOMPARE(sale.value("property_name").toString(), QStringLiteral("برج النخيل"));
        QCOMPARE(sale.value("currency_symbol").toString(), QStringLiteral("₪"));
        QCOMPARE(sale.value("currency_code").toString(), QStringLiteral("ILS"));
        const QVariantMap tenant = rows.at(4).toMap();
        QCOMPARE(tenant.value("cheque_number").toString(), QStringLiteral("88"));
        QCOMPARE(tenant.value("tenant_name").toString(), QStringLiteral("ليلى حسن"));
        QCOMPARE(tenant.value("payer_name").toString(), QStringLiteral("شركة النور"));
        QVERIFY(tenant.value("unit_number").isNull());
        QCOMPARE(sale.keys(), m_model->getAll().first().toMap().keys());
    }

    void searchFindsEveryNamedField_data()
    {
        QTest::addColumn<QString>("cut");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("condition");
        QTest::newRow("number") << QStringLiteral("all") << QStringLiteral("7002")
                                << QStringLiteral("cheque_number='7002'");
        QTest::newRow("bank") << QStringLiteral("all") << QStringLiteral("فلسطين")
                              << QStringLiteral("installment_id IS NOT NULL");
        QTest::newRow("payer") << QStringLiteral("all") << QStringLiteral("النور")
                               << QStringLiteral("cheque_number='88'");
        QTest::newRow("payee") << QStringLiteral("issued") << QStringLiteral("المياه")
                               << QStringLiteral("cheque_number='90'");
        QTest::newRow("buyer") << QStringLiteral("all") << QStringLiteral("سامي")
                               << QStringLiteral("buyer_id=1");
        QTest::newRow("tenant") << QStringLiteral("all") << QStringLiteral("ليلى")
                                << QStringLiteral("tenant_id=1");
        QTest::newRow("property") << QStringLiteral("all") << QStringLiteral("النخيل")
                                  << QStringLiteral("installment_id IS NOT NULL");
        QTest::newRow("due date in a cut") << QStringLiteral("due") << QStringLiteral("2025-03-10")
                                           << QStringLiteral("cheque_number='7002'");
        QTest::newRow("search narrows a cut") << QStringLiteral("postdated") << QStringLiteral("سامي")
                                              << QStringLiteral("cheque_number='7003'");
        QTest::newRow("percent taken literally")
            << QStringLiteral("all") << QStringLiteral("%") << QStringLiteral("0");
    }

    void searchFindsEveryNamedField()
    {
        QFETCH(QString, cut);
        QFETCH(QString, search);
        QFETCH(QString, condition);
        QCOMPARE(idsOf(m_model->getPage(cut, 0, 50, search)), storedIds(condition));
    }

    void statusTotalsCountAndSumEveryStatus()
    {
        // Pending and received: 7002, 7003 (1000 each), 88 (450), not the issued 89 (1200) and 90
        // (300); cashed: 91 (75.5); returned: 7001 (1000).
        QVariantMap totals = m_model->getStatusTotals();
        QCOMPARE(totals.value("pending").toMap().value("count").toInt(), 3);
        QCOMPARE(totals.value("pending").toMap().value("total").toDouble(), 2450.0);
        QCOMPARE(totals.value("paid").toMap().value("count").toInt(), 1);
        QCOMPARE(totals.value("paid").toMap().value("total").toDouble(), 75.5);
        QCOMPARE(totals.value("bounced").toMap().value("count").toInt(), 1);
        QCOMPARE(totals.value("bounced").toMap().value("total").toDouble(), 1000.0);

        // Cashing moves a cheque from one box to the other.
        QVERIFY(m_model->updateStatus(4, "paid"));
        totals = m_model->getStatusTotals();
        QCOMPARE(totals.value("pending").toMap().value("count").toInt(), 2);
        QCOMPARE(totals.value("pending").toMap().value("total").toDouble(), 2000.0);
        QCOMPARE(totals.value("paid").toMap().value("count").toInt(), 2);
        QCOMPARE(totals.value("paid").toMap().value("total").toDouble(), 525.5);
    }

    void statusTotalsOfAnEmptyRegister()
    {
        QVERIFY(db()->execNonQuery(QStringLiteral("DELETE FROM cheques")));
        const QVariantMap totals = m_model->getStatusTotals();
        QCOMPARE(totals.keys(), QStringList({ "bounced", "paid", "pending" }));
        for (const QString& status : totals.keys()) {
            QCOMPARE(totals.value(status).toMap().value("count").toInt(), 0);
            QCOMPARE(totals.value(status).toMap().value("total").toDouble(), 0.0);
        }
    }
};

QTEST_GUILESS_MAIN(TestChequePages)
#include "tst_chequepages.moc"
