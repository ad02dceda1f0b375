#include "propertymodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QTest>

using namespace RentalFixtures;

/** The properties page reads its cards a page at a time, with their figures, newest first. */
class TestPropertyPage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<PropertyModel> m_properties;

    Database* db() const { return m_db->db(); }

    QStringList names(const QVariantList& rows) const
    {
        QStringList result;
        for (const QVariant& row : rows)
            result << row.toMap().value(QStringLiteral("name")).toString();
        return result;
    }

    int addNamed(const QString& name, const QString& city, const QString& address)
    {
        return m_properties->add(name, QStringLiteral("residential"), address, city, QString());
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_properties = std::make_unique<PropertyModel>(db());
    }
    void cleanup()
    {
        m_properties.reset();
        m_db.reset();
    }

    void pagesRunNewestFirstWithoutGapsOrRepeats()
    {
        for (int i = 1; i <= 5; ++i)
            QVERIFY(addNamed(QStringLiteral("عقار %1").arg(i), QStringLiteral("رام الله"), QString()) > 0);
        QCOMPARE(names(m_properties->getPage(0, 2)),
            (QStringList { QStringLiteral("عقار 5"), QStringLiteral("عقار 4") }));
        QCOMPARE(names(m_properties->getPage(2, 2)),
            (QStringList { QStringLiteral("عقار 3"), QStringLiteral("عقار 2") }));
        QCOMPARE(names(m_properties->getPage(4, 2)), (QStringList { QStringLiteral("عقار 1") }));
        QVERIFY(m_properties->getPage(5, 2).isEmpty());
        QCOMPARE(m_properties->getPage(-3, 1).size(), 1);
        QVERIFY(m_properties->getPage(0, 0).isEmpty());
    }

    void rowsCarryTheFiguresOfTheCards()
    {
        const int tower = addProperty(db(), QStringLiteral("برج النخيل"));
        const int rented = addUnit(db(), tower, QStringLiteral("101"), 1, 1500.0);
        const int sold = addUnit(db(), tower, QStringLiteral("102"), 1, 900.0);
        addUnit(db(), tower, QStringLiteral("103"), 2, 800.0);
        const int tenant = addTenant(db(), QStringLiteral("سامي خليل"));
        addContract(db(), rented, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1500.0);
        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE units SET status='sold' WHERE id=?"), { sold }));
        addProperty(db(), QStringLiteral("مجمع فارغ"));

        const QVariantList rows = m_properties->getPage(0, 50);
        QCOMPARE(rows.size(), 2);
        const QVariantMap empty = rows.at(0).toMap();
        QCOMPARE(empty.value(QStringLiteral("name")).toString(), QStringLiteral("مجمع فارغ"));
        QCOMPARE(empty.value(QStringLiteral("total_units")).toInt(), 0);
        QCOMPARE(empty.value(QStringLiteral("monthly_revenue")).toDouble(), 0.0);
        const QVariantMap card = rows.at(1).toMap();
        QCOMPARE(card.value(QStringLiteral("id")).toInt(), tower);
        QCOMPARE(card.value(QStringLiteral("total_units")).toInt(), 3);
        QCOMPARE(card.value(QStringLiteral("rented_units")).toInt(), 1);
        QCOMPARE(card.value(QStringLiteral("sold_units")).toInt(), 1);
        QCOMPARE(card.value(QStringLiteral("monthly_revenue")).toDouble(), 1500.0);
        QCOMPARE(card.value(QStringLiteral("city")).toString(), QStringLiteral("رام الله"));
        QCOMPARE(card.value(QStringLiteral("status")).toString(), QStringLiteral("active"));
    }

    void searchMatchesNameCityOrAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("blank is everything")
            << QStringLiteral("  ")
            << QStringList { QStringLiteral("مجمع الياسمين"), QStringLiteral("برج 50% شمال"),
                   QStringLiteral("برج النخيل") };
        QTest::newRow("name") << QStringLiteral("النخيل") << QStringList { QStringLiteral("برج النخيل") };
        QTest::newRow("city") << QStringLiteral("نابلس") << QStringList { QStringLiteral("مجمع الياسمين") };
        QTest::newRow("address") << QStringLiteral("الإرسال") << QStringList { QStringLiteral("برج النخيل") };
        QTest::newRow("surrounding blanks") << QStringLiteral(
            " برج ") << QStringList { QStringLiteral("برج 50% شمال"), QStringLiteral("برج النخيل") };
        QTest::newRow("percent is literal")
            << QStringLiteral("50%") << QStringList { QStringLiteral("برج 50% شمال") };
        QTest::newRow("underscore is literal") << QStringLiteral("_") << QStringList {};
        QTest::newRow("nothing") << QStringLiteral("غزة") << QStringList {};
    }
    void searchMatchesNameCityOrAddress()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QVERIFY(
            addNamed(QStringLiteral("برج النخيل"), QStringLiteral("رام الله"), QStringLiteral("شارع الإرسال"))
            > 0);
        QVERIFY(addNamed(QStringLiteral("برج 50% شمال"), QStringLiteral("البيرة"), QStringLiteral("الماصيون"))
            > 0);
        QVERIFY(
            addNamed(QStringLiteral("مجمع الياسمين"), QStringLiteral("نابلس"), QStringLiteral("رفيديا")) > 0);
        QCOMPARE(names(m_properties->getPage(0, 50, text)), expected);
    }

    void searchPagesLikeTheFullList()
    {
        for (int i = 1; i <= 4; ++i)
            QVERIFY(addNamed(QStringLiteral("برج %1").arg(i), QStringLiteral("رام الله"), QString()) > 0);
        QVERIFY(addNamed(QStringLiteral("مجمع"), QStringLiteral("نابلس"), QString()) > 0);
        QCOMPARE(names(m_properties->getPage(1, 2, QStringLiteral("برج"))),
            (QStringList { QStringLiteral("برج 3"), QStringLiteral("برج 2") }));
    }
};

QTEST_GUILESS_MAIN(TestPropertyPage)
#include "tst_propertypage.moc"
