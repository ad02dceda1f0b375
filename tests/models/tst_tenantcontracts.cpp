#include "contractmodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QTest>

using namespace RentalFixtures;

/** The contracts dialog of the tenants page reads one tenant's contracts only. */
class TestTenantContracts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

    Database* db() const { return m_db->db(); }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void listsTheTenantsContractsNewestFirst()
    {
        const RentedUnit rented
            = addRentedUnit(db(), QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"), 1000.0);
        ContractModel contracts(db());
        QVERIFY(contracts.terminate(rented.contractId));
        const int second = addContract(db(), rented.unitId, rented.tenantId, QStringLiteral("2025-01-01"),
            QStringLiteral("2025-12-31"), 1100.0, QStringLiteral("yearly"));
        const int other = addTenant(db(), QStringLiteral("منى"));
        const int otherUnit = addUnit(db(), rented.propertyId, QStringLiteral("102"));
        addContract(
            db(), otherUnit, other, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 700.0);

        const QVariantList rows = contracts.getByTenant(rented.tenantId);
        QCOMPARE(rows.size(), 2);
        const QVariantMap newest = rows.at(0).toMap();
        QCOMPARE(newest.value(QStringLiteral("id")).toInt(), second);
        QCOMPARE(newest.value(QStringLiteral("status")).toString(), QStringLiteral("active"));
        QCOMPARE(newest.value(QStringLiteral("payment_frequency")).toString(), QStringLiteral("yearly"));
        QCOMPARE(newest.value(QStringLiteral("tenant_name")).toString(), QStringLiteral("سامي خليل"));
        QCOMPARE(newest.value(QStringLiteral("unit_number")).toString(), QStringLiteral("101"));
        QCOMPARE(newest.value(QStringLiteral("property_name")).toString(), QStringLiteral("برج النخيل"));
        QCOMPARE(newest.value(QStringLiteral("currency_symbol")).toString(),
            m_db->value(QStringLiteral("SELECT symbol FROM currencies WHERE id=1")).toString());
        const QVariantMap older = rows.at(1).toMap();
        QCOMPARE(older.value(QStringLiteral("id")).toInt(), rented.contractId);
        QCOMPARE(older.value(QStringLiteral("status")).toString(), QStringLiteral("terminated"));
    }

    void aTenantWithoutContractsHasNone()
    {
        const int tenant = addTenant(db(), QStringLiteral("منى"));
        QVERIFY(ContractModel(db()).getByTenant(tenant).isEmpty());
        QVERIFY(ContractModel(db()).getByTenant(0).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTenantContracts)
#include "tst_tenantcontracts.moc"
