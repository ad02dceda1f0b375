// A buyer's installment schedule (or every buyer's) page by page: latest due first, and a search
// over due date, cheque, bank, buyer, property and unit.
#include "clock.h"
#include "installmentmodel.h"
#include "rowvalues.h"
#include "salesfixtures.h"
#include "testdatabase.h"

#include <QTest>

using namespace SalesFixtures;

class TestInstallmentPages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InstallmentModel> m_model;
    int m_tower = 0;
    int m_villa = 0;
    int m_flat = 0;
    int m_house = 0;
    int m_sami = 0;
    int m_nader = 0;

    Database* db() const { return m_db->db(); }

    QList<int> storedIds(const QString& condition = QStringLiteral("1=1")) const
    {
        return idsOf(db()->execQuery(QStringLiteral("SELECT id FROM installments WHERE ") + condition
            + QStringLiteral(" ORDER BY due_date DESC, id DESC")));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<InstallmentModel>(db());
        m_tower = addProperty(db(), QStringLiteral("برج النخيل"));
        m_villa = addProperty(db(), QStringLiteral("فيلا الزيتون"));
        m_flat = addUnit(db(), m_tower, QStringLiteral("101"));
        m_house = addUnit(db(), m_villa, QStringLiteral("B-7"));
        m_sami = addBuyer(db(), QStringLiteral("سامي خليل"));
        m_nader = addBuyer(db(), QStringLiteral("نادر المصري"));
        // Sami: 4 installments of 1000 from 2025-01-15 with cheques 1001..1004 at one bank.
        QCOMPARE(m_model->sellUnit(m_sami, m_flat, 5000, 1000, 4, QStringLiteral("2025-01-15"),
                     kPrimaryCurrency, QStringLiteral("1001"), QStringLiteral("بنك فلسطين")),
            1);
        // Nader: 3 installments of 2000 from 2025-02-01 without cheques.
        QCOMPARE(
            m_model->sellUnit(m_nader, m_house, 6000, 0, 3, QStringLiteral("2025-02-01"), kPrimaryCurrency),
            1);
    }

    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void oneBuyersScheduleLatestDueFirst()
    {
        // A hand-added installment due on a day the schedule already has comes before it.
        const int added
            = m_model->add(m_sami, m_flat, 0, 0, 250, QStringLiteral("2025-03-15"), kPrimaryCurrency);
        QVERIFY(added > 0);
        const QList<int> sami = storedIds(QStringLiteral("buyer_id=1"));
        QCOMPARE(sami.size(), 5);
        QCOMPARE(sami.at(1), added);
        QCOMPARE(idsOf(m_model->getPage(m_sami, 0, 3)), sami.mid(0, 3));
        QCOMPARE(idsOf(m_model->getPage(m_sami, 3, 3)), sami.mid(3));

        const QVariantList rows = m_model->getPage(m_sami, 0, 10);
        QCOMPARE(rows.size(), 5);
        const QVariantMap latest = rows.first().toMap();
        QCOMPARE(latest.value("due_date").toString(), QStringLiteral("2025-04-15"));
        QCOMPARE(latest.value("installment_amount").toDouble(), 1000.0);
        QCOMPARE(latest.value("cheque_number").toString(), QStringLiteral("1004"));
        QCOMPARE(latest.value("bank_name").toString(), QStringLiteral("بنك فلسطين"));
        QCOMPARE(latest.value("buyer_name").toString(), QStringLiteral("سامي خليل"));
        QCOMPARE(latest.value("unit_number").toString(), QStringLiteral("101"));
        QCOMPARE(latest.value("property_name").toString(), QStringLiteral("برج النخيل"));
        QCOMPARE(latest.keys(), m_model->getAll().first().toMap().keys());
    }

    void everyBuyerWhenNoneIsGiven()
    {
        const QList<int> all = storedIds();
        QCOMPARE(all.size(), 7);
        QCOMPARE(idsOf(m_model->getPage(0, 0, 50)), all);
        QCOMPARE(idsOf(m_model->getPage(-1, 5, 50)), all.mid(5));
        QVERIFY(m_model->getPage(999, 0, 50).isEmpty());
    }

    void collectionShowsOnTheNextRead()
    {
        const int first = storedIds(QStringLiteral("buyer_id=1 AND due_date='2025-01-15'")).first();
        QVERIFY(m_model->payInstallment(first, 1000));
        const QVariantList rows = m_model->getPage(m_sami, 0, 10, QStringLiteral("2025-01"));
        QCOMPARE(idsOf(rows), QList<int>({ first }));
        QCOMPARE(rows.first().toMap().value("status").toString(), QStringLiteral("paid"));
        QCOMPARE(rows.first().toMap().value("paid_amount").toDouble(), 1000.0);
    }

    void searchFindsEveryNamedField_data()
    {
        QTest::addColumn<int>("buyer");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("condition");
        QTest::newRow("due month") << 0 << QStringLiteral("2025-03")
                                   << QStringLiteral("due_date LIKE '2025-03%'");
        QTest::newRow("due month of one buyer")
            << 2 << QStringLiteral("2025-03") << QStringLiteral("buyer_id=2 AND due_date LIKE '2025-03%'");
        QTest::newRow("cheque") << 0 << QStringLiteral("1003") << QStringLiteral("cheque_number='1003'");
        QTest::newRow("bank") << 0 << QStringLiteral("فلسطين") << QStringLiteral("buyer_id=1");
        QTest::newRow("buyer") << 0 << QStringLiteral("نادر") << QStringLiteral("buyer_id=2");
        QTest::newRow("property") << 0 << QStringLiteral("الزيتون") << QStringLiteral("unit_id=2");
        QTest::newRow("unit") << 0 << QStringLiteral("B-7") << QStringLiteral("unit_id=2");
        QTest::newRow("another buyer's unit") << 1 << QStringLiteral("B-7") << QStringLiteral("0");
        QTest::newRow("underscore taken literally") << 0 << QStringLiteral("2025_") << QStringLiteral("0");
    }

    void searchFindsEveryNamedField()
    {
        QFETCH(int, buyer);
        QFETCH(QString, search);
        QFETCH(QString, condition);
        QCOMPARE(m_house, 2);
        QCOMPARE(m_nader, 2);
        QCOMPARE(idsOf(m_model->getPage(buyer, 0, 50, search)), storedIds(condition));
    }
};

QTEST_GUILESS_MAIN(TestInstallmentPages)
#include "tst_installmentpages.moc"
