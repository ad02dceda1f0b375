#include "contractmodel.h"
#include "rentalfixtures.h"
#include "tenantmodel.h"
#include "testdatabase.h"

#include <QTest>

using namespace RentalFixtures;

/** The tenants page reads its rows a page at a time, newest first, with the active contracts. */
class TestTenantPage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<TenantModel> m_tenants;

    Database* db() const { return m_db->db(); }

    QStringList names(const QVariantList& rows) const
    {
        QStringList result;
        for (const QVariant& row : rows)
            result << row.toMap().value(QStringLiteral("full_name")).toString();
        return result;
    }

    void addPerson(const QString& name, const QString& idNumber, const QString& phone)
    {
        QVERIFY(m_tenants->add(name, idNumber, phone, QString(), QString()) > 0);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_tenants = std::make_unique<TenantModel>(db());
    }
    void cleanup()
    {
        m_tenants.reset();
        m_db.reset();
    }

    void pagesRunNewestFirstWithoutGapsOrRepeats()
    {
        for (int i = 1; i <= 5; ++i)
            addPerson(QStringLiteral("مستأجر %1").arg(i), QString(), QString());
        QCOMPARE(names(m_tenants->getPage(0, 3)),
            (QStringList {
                QStringLiteral("مستأجر 5"), QStringLiteral("مستأجر 4"), QStringLiteral("مستأجر 3") }));
        QCOMPARE(names(m_tenants->getPage(3, 3)),
            (QStringList { QStringLiteral("مستأجر 2"), QStringLiteral("مستأجر 1") }));
        QVERIFY(m_tenants->getPage(5, 3).isEmpty());
        QCOMPARE(names(m_tenants->getPage(-1, 1)), (QStringList { QStringLiteral("مستأجر 5") }));
        QVERIFY(m_tenants->getPage(0, -1).isEmpty());
    }

    void rowsCountOnlyActiveContracts()
    {
        const RentedUnit first
            = addRentedUnit(db(), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000.0);
        const int second = addUnit(db(), first.propertyId, QStringLiteral("102"));
        const int third = addUnit(db(), first.propertyId, QStringLiteral("103"));
        addContract(
            db(), second, first.tenantId, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 900.0);
        const int ended = addContract(
            db(), third, first.tenantId, QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"), 800.0);
        ContractModel contracts(db());
        QVERIFY(contracts.terminate(ended));
        addPerson(QStringLiteral("منى"), QString(), QString());

        const QVariantList rows = m_tenants->getPage(0, 50);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).toMap().value(QStringLiteral("active_contracts")).toInt(), 0);
        const QVariantMap tenant = rows.at(1).toMap();
        QCOMPARE(tenant.value(QStringLiteral("id")).toInt(), first.tenantId);
        QCOMPARE(tenant.value(QStringLiteral("active_contracts")).toInt(), 2);
        QCOMPARE(tenant.value(QStringLiteral("phone")).toString(), QStringLiteral("0599000000"));
    }

    void searchMatchesNamePhoneOrIdentity_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("blank is everyone")
            << QString()
            << QStringList { QStringLiteral("سعاد_ع"), QStringLiteral("منى"), QStringLiteral("أحمد يوسف") };
        QTest::newRow("name") << QStringLiteral("يوسف") << QStringList { QStringLiteral("أحمد يوسف") };
        QTest::newRow("phone") << QStringLiteral("0568") << QStringList { QStringLiteral("منى") };
        QTest::newRow("identity") << QStringLiteral("4012") << QStringList { QStringLiteral("أحمد يوسف") };
        QTest::newRow("underscore is literal")
            << QStringLiteral("_") << QStringList { QStringLiteral("سعاد_ع") };
        QTest::newRow("percent is literal") << QStringLiteral("%") << QStringList {};
        QTest::newRow("nothing") << QStringLiteral("خليل") << QStringList {};
    }
    void searchMatchesNamePhoneOrIdentity()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        addPerson(QStringLiteral("أحمد يوسف"), QStringLiteral("401234567"), QStringLiteral("0599123456"));
        addPerson(QStringLiteral("منى"), QStringLiteral("900000001"), QStringLiteral("0568111222"));
        addPerson(QStringLiteral("سعاد_ع"), QString(), QString());
        QCOMPARE(names(m_tenants->getPage(0, 50, text)), expected);
    }
};

QTEST_GUILESS_MAIN(TestTenantPage)
#include "tst_tenantpage.moc"
