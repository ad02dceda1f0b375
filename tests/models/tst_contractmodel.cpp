#include "clock.h"
#include "contractmodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace RentalFixtures;

class TestContractModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ContractModel> m_contracts;
    int m_property = -1;
    int m_unit = -1;
    int m_tenant = -1;

    Database* db() const { return m_db->db(); }
    QString unitStatus(int unitId) const
    {
        return m_db->value(QStringLiteral("SELECT status FROM units WHERE id=?"), { unitId }).toString();
    }
    QString contractStatus(int contractId) const
    {
        return m_db->value(QStringLiteral("SELECT status FROM contracts WHERE id=?"), { contractId })
            .toString();
    }
    int add(const QString& start, const QString& end, int unitId = -1)
    {
        return m_contracts->add(
            unitId > 0 ? unitId : m_unit, m_tenant, start, end, 1000, QStringLiteral("monthly"), 0, 1);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_contracts = std::make_unique<ContractModel>(db());
        m_property = addProperty(db(), QStringLiteral("برج القمر"));
        m_unit = addUnit(db(), m_property, QStringLiteral("12"), 1, 1000);
        m_tenant = addTenant(db(), QStringLiteral("نادر سليمان"));
    }
    void cleanup()
    {
        Clock::setToday(QDate());
        m_contracts.reset();
        m_db.reset();
    }

    void addWritesAnActiveContractAndRentsTheUnit()
    {
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);
        const int id = m_contracts->add(m_unit, m_tenant, QStringLiteral("2025-02-01"),
            QStringLiteral("2026-01-31"), 1250.5, QStringLiteral("monthly"), 2500, 2);
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = db()->getById(QStringLiteral("contracts"), id);
        QCOMPARE(row.value(QStringLiteral("unit_id")).toInt(), m_unit);
        QCOMPARE(row.value(QStringLiteral("tenant_id")).toInt(), m_tenant);
        QCOMPARE(row.value(QStringLiteral("start_date")).toString(), QStringLiteral("2025-02-01"));
        QCOMPARE(row.value(QStringLiteral("end_date")).toString(), QStringLiteral("2026-01-31"));
        QCOMPARE(row.value(QStringLiteral("rent_amount")).toDouble(), 1250.5);
        QCOMPARE(row.value(QStringLiteral("payment_frequency")).toString(), QStringLiteral("monthly"));
        QCOMPARE(row.value(QStringLiteral("deposit")).toDouble(), 2500.0);
        QCOMPARE(row.value(QStringLiteral("currency_id")).toInt(), 2);
        QCOMPARE(row.value(QStringLiteral("status")).toString(), QStringLiteral("active"));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("rented"));
        // Nothing is billed by signing.
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 0);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT balance FROM tenants WHERE id=?"), { m_tenant }).toDouble(),
            0.0);
    }

    void frequencyIsNormalised_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::newRow("yearly") << QStringLiteral("yearly") << QStringLiteral("yearly");
        QTest::newRow("monthly") << QStringLiteral("monthly") << QStringLiteral("monthly");
        QTest::newRow("capital Y") << QStringLiteral("Yearly") << QStringLiteral("monthly");
        QTest::newRow("padded") << QStringLiteral(" yearly") << QStringLiteral("monthly");
        QTest::newRow("empty") << QString() << QStringLiteral("monthly");
        QTest::newRow("other word") << QStringLiteral("annual") << QStringLiteral("monthly");
    }
    void frequencyIsNormalised()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        const int id = m_contracts->add(
            m_unit, m_tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 12000, given, 0, 1);
        QVERIFY(id > 0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT payment_frequency FROM contracts WHERE id=?"), { id })
                     .toString(),
            stored);
    }

    void overlapHasInclusiveEnds_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("accepted");
        // Against an active contract from 2025-01-01 to 2025-12-31.
        QTest::newRow("starts the day after") << "2026-01-01"
                                              << "2026-12-31" << true;
        QTest::newRow("ends the day before") << "2024-01-01"
                                             << "2024-12-31" << true;
        QTest::newRow("starts on its last day") << "2025-12-31"
                                                << "2026-06-30" << false;
        QTest::newRow("ends on its first day") << "2024-06-01"
                                               << "2025-01-01" << false;
        QTest::newRow("inside") << "2025-03-01"
                                << "2025-03-31" << false;
        QTest::newRow("around") << "2024-01-01"
                                << "2026-12-31" << false;
        QTest::newRow("same range") << "2025-01-01"
                                    << "2025-12-31" << false;
        QTest::newRow("single shared day") << "2025-06-15"
                                           << "2025-06-15" << false;
    }
    void overlapHasInclusiveEnds()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, accepted);
        const int existing = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QVERIFY(existing > 0);
        QCOMPARE(m_contracts->hasOverlap(m_unit, start, end), !accepted);
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);

        const int id = add(start, end);
        QCOMPARE(id > 0, accepted);
        QCOMPARE(changed.count(), accepted ? 1 : 0);
        QCOMPARE(m_db->count(QStringLiteral("contracts")), accepted ? 2 : 1);
        QCOMPARE(contractStatus(existing), QStringLiteral("active"));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("rented"));
        if (!accepted)
            QCOMPARE(id, -1);
    }

    void contractEndingOnTheNewStartBlocksIt()
    {
        QVERIFY(add(QStringLiteral("2024-01-02"), QStringLiteral("2025-01-01")) > 0);
        QCOMPARE(add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31")), -1);
    }

    void overlapIgnoresTerminatedContractsAndOtherUnits()
    {
        const int old = add(QStringLiteral("2024-06-01"), QStringLiteral("2025-05-31"));
        QVERIFY(m_contracts->terminate(old));
        QVERIFY(!m_contracts->hasOverlap(m_unit, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31")));
        const int next = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QVERIFY(next > 0);
        QCOMPARE(contractStatus(old), QStringLiteral("terminated"));

        const int neighbour = addUnit(db(), m_property, QStringLiteral("13"));
        QVERIFY(add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), neighbour) > 0);
    }

    void overlapCanExcludeTheContractItself()
    {
        const int id = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QVERIFY(m_contracts->hasOverlap(m_unit, QStringLiteral("2025-05-01"), QStringLiteral("2025-05-31")));
        QVERIFY(
            !m_contracts->hasOverlap(m_unit, QStringLiteral("2025-05-01"), QStringLiteral("2025-05-31"), id));
    }

    void badInputIsRefusedWithNothingWritten_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<double>("rent");
        QTest::addColumn<double>("deposit");
        const QString s = QStringLiteral("2025-01-01");
        const QString e = QStringLiteral("2025-12-31");
        QTest::newRow("month 13") << "2025-13-01" << e << 900.0 << 0.0;
        QTest::newRow("30 February") << "2025-02-30" << e << 900.0 << 0.0;
        QTest::newRow("slashes") << "2025/01/01" << e << 900.0 << 0.0;
        QTest::newRow("unpadded") << "2025-1-1" << e << 900.0 << 0.0;
        QTest::newRow("with time") << s << "2025-12-31 00:00" << 900.0 << 0.0;
        QTest::newRow("empty end") << s << "" << 900.0 << 0.0;
        QTest::newRow("end before start") << s << "2024-12-31" << 900.0 << 0.0;
        QTest::newRow("negative rent") << s << e << -900.0 << 0.0;
        // The rent run would make invoices of nothing that nobody could settle.
        QTest::newRow("no rent") << s << e << 0.0 << 0.0;
        QTest::newRow("rent below half a cent") << s << e << 0.004 << 0.0;
        QTest::newRow("rent not a number") << s << e << nan << 0.0;
        QTest::newRow("infinite rent") << s << e << inf << 0.0;
        QTest::newRow("negative deposit") << s << e << 900.0 << -1.0;
        QTest::newRow("infinite deposit") << s << e << 900.0 << inf;
    }
    void badInputIsRefusedWithNothingWritten()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(double, rent);
        QFETCH(double, deposit);
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);
        QCOMPARE(
            m_contracts->add(m_unit, m_tenant, start, end, rent, QStringLiteral("monthly"), deposit, 1), -1);
        QVERIFY(!m_contracts->lastError().isEmpty());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("contracts")), 0);
        QCOMPARE(unitStatus(m_unit), QStringLiteral("available"));
    }

    void oneDayContractAndEmptyDepositAreAccepted()
    {
        const int id
            = m_contracts->add(m_unit, m_tenant, QStringLiteral("2025-03-01"), QStringLiteral("2025-03-01"),
                50, QStringLiteral("monthly"), std::numeric_limits<double>::quiet_NaN(), 1);
        QVERIFY(id > 0);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT deposit FROM contracts WHERE id=?"), { id }).toDouble(), 0.0);
    }

    void amountsAreKeptInHundredths()
    {
        const int id = m_contracts->add(m_unit, m_tenant, QStringLiteral("2025-03-01"),
            QStringLiteral("2026-02-28"), 1250.505, QStringLiteral("monthly"), 99.994, 1);
        QVERIFY(id > 0);
        const QVariantMap row = db()->getById(QStringLiteral("contracts"), id);
        QVERIFY(row.value(QStringLiteral("rent_amount")).toDouble() == 1250.51);
        QVERIFY(row.value(QStringLiteral("deposit")).toDouble() == 99.99);
    }

    void soldMissingOrUnknownPartiesAreRefused_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::newRow("sold unit") << QStringLiteral("sold");
        QTest::newRow("unit out of service") << QStringLiteral("maintenance");
        QTest::newRow("unknown unit") << QStringLiteral("unit");
        QTest::newRow("unknown tenant") << QStringLiteral("tenant");
        QTest::newRow("unknown currency") << QStringLiteral("currency");
    }
    void soldMissingOrUnknownPartiesAreRefused()
    {
        QFETCH(QString, problem);
        UnitModel units(db());
        if (problem == QLatin1String("maintenance"))
            QVERIFY(units.updateStatus(m_unit, problem));
        if (problem == QLatin1String("sold"))
            QVERIFY(
                db()->execNonQuery(QStringLiteral("UPDATE units SET status='sold' WHERE id=?"), { m_unit }));
        const int unit = problem == QLatin1String("unit") ? 9999 : m_unit;
        const int tenant = problem == QLatin1String("tenant") ? 9999 : m_tenant;
        const int currency = problem == QLatin1String("currency") ? 99 : 1;
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);
        QCOMPARE(m_contracts->add(unit, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"),
                     900, QStringLiteral("monthly"), 0, currency),
            -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("contracts")), 0);
        QCOMPARE(unitStatus(m_unit),
            problem == QLatin1String("sold") || problem == QLatin1String("maintenance")
                ? problem
                : QStringLiteral("available"));
    }

    void contractIsNotKeptWhenTheUnitCannotBeMarked()
    {
        QVERIFY(db()->execNonQuery(QStringLiteral(R"(
            CREATE TRIGGER freeze_units BEFORE UPDATE OF status ON units
            BEGIN SELECT RAISE(ABORT, 'frozen'); END)")));
        QCOMPARE(add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31")), -1);
        QCOMPARE(m_db->count(QStringLiteral("contracts")), 0);
    }

    void terminateEndsTheContractAndFreesTheUnit()
    {
        const int id = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);
        QVERIFY(m_contracts->terminate(id));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(contractStatus(id), QStringLiteral("terminated"));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("available"));
        // Dates stay as signed.
        QCOMPARE(m_db->value(QStringLiteral("SELECT end_date FROM contracts WHERE id=?"), { id }).toString(),
            QStringLiteral("2025-12-31"));
        UnitModel units(db());
        QCOMPARE(units.getAvailable().size(), 1);
        QCOMPARE(units.getAvailable().first().toMap().value(QStringLiteral("id")).toInt(), m_unit);
    }

    void terminateOfAnUnknownContractChangesNothing()
    {
        const int id = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);
        QVERIFY(!m_contracts->terminate(id + 100));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(contractStatus(id), QStringLiteral("active"));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("rented"));
    }

    void secondTerminationLeavesTheReletUnitAlone()
    {
        const int first = add(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"));
        QVERIFY(m_contracts->terminate(first));
        const int second = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QVERIFY(second > 0);
        QSignalSpy changed(m_contracts.get(), &ContractModel::dataChanged);
        QVERIFY(!m_contracts->terminate(first));
        QCOMPARE(m_contracts->lastError(), QStringLiteral("العقد منتهٍ من قبل"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(unitStatus(m_unit), QStringLiteral("rented"));
        QCOMPARE(contractStatus(second), QStringLiteral("active"));
    }

    void terminationKeepsAUnitHeldByAnotherContractOrSold()
    {
        const int current = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        const int following = add(QStringLiteral("2026-01-01"), QStringLiteral("2026-12-31"));
        QVERIFY(current > 0 && following > 0);
        QVERIFY(m_contracts->terminate(current));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("rented"));

        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE units SET status='sold' WHERE id=?"), { m_unit }));
        QVERIFY(m_contracts->terminate(following));
        QCOMPARE(contractStatus(following), QStringLiteral("terminated"));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("sold"));
    }

    void terminationIsAllOrNothing()
    {
        const int id = add(QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"));
        QVERIFY(db()->execNonQuery(QStringLiteral(R"(
            CREATE TRIGGER freeze_units BEFORE UPDATE OF status ON units
            BEGIN SELECT RAISE(ABORT, 'frozen'); END)")));
        QVERIFY(!m_contracts->terminate(id));
        QCOMPARE(contractStatus(id), QStringLiteral("active"));
        QCOMPARE(unitStatus(m_unit), QStringLiteral("rented"));
    }

    void expiringListsActiveContractsUpToTheHorizon()
    {
        Clock::setToday(QDate(2025, 6, 15));
        const auto unitFor
            = [this](const char* number) { return addUnit(db(), m_property, QString::fromLatin1(number)); };
        const int past = add(QStringLiteral("2024-06-11"), QStringLiteral("2025-06-10"), unitFor("A"));
        const int edge = add(QStringLiteral("2024-07-16"), QStringLiteral("2025-07-15"), unitFor("B"));
        const int soon = add(QStringLiteral("2024-07-01"), QStringLiteral("2025-06-30"), unitFor("C"));
        QVERIFY(add(QStringLiteral("2024-07-17"), QStringLiteral("2025-07-16"), unitFor("D")) > 0);
        const int ended = add(QStringLiteral("2024-06-20"), QStringLiteral("2025-06-20"), unitFor("E"));
        QVERIFY(m_contracts->terminate(ended));

        const QVariantList rows = m_contracts->getExpiring(30);
        QList<int> ids;
        for (const QVariant& row : rows)
            ids << row.toMap().value(QStringLiteral("id")).toInt();
        QCOMPARE(ids, (QList<int> { past, soon, edge }));
        const QVariantMap first = rows.first().toMap();
        QCOMPARE(first.value(QStringLiteral("tenant_name")).toString(), QStringLiteral("نادر سليمان"));
        QCOMPARE(first.value(QStringLiteral("unit_number")).toString(), QStringLiteral("A"));
        QCOMPARE(first.value(QStringLiteral("property_name")).toString(), QStringLiteral("برج القمر"));
        QCOMPARE(m_contracts->getExpiring(0).size(), 1);
    }

    void listsCarryTheJoinedNames()
    {
        const int older = add(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"));
        QVERIFY(m_contracts->terminate(older));
        const int newer = m_contracts->add(m_unit, m_tenant, QStringLiteral("2025-01-01"),
            QStringLiteral("2025-12-31"), 300, QStringLiteral("yearly"), 0, 2);
        const QVariantList all = m_contracts->getAll();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.first().toMap().value(QStringLiteral("id")).toInt(), newer);
        const QVariantMap row = m_contracts->getById(newer);
        QCOMPARE(row.value(QStringLiteral("tenant_name")).toString(), QStringLiteral("نادر سليمان"));
        QCOMPARE(row.value(QStringLiteral("unit_number")).toString(), QStringLiteral("12"));
        QCOMPARE(row.value(QStringLiteral("property_name")).toString(), QStringLiteral("برج القمر"));
        QCOMPARE(row.value(QStringLiteral("currency_symbol")).toString(), QStringLiteral("$"));
        QCOMPARE(m_contracts->getById(older).value(QStringLiteral("currency_symbol")).toString(),
            QStringLiteral("₪"));
        QVERIFY(m_contracts->getById(9999).isEmpty());
    }

    void bulkFixtureWritesWhatTheModelWrites()
    {
        const int property = addActiveContracts(db(), 40, QStringLiteral("2025-01-01"),
            QStringLiteral("2025-12-31"), 750, QStringLiteral("yearly"));
        QVERIFY(property > 0);
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT id FROM contracts WHERE status='active' AND payment_frequency='yearly'"
                     " AND rent_amount=750 AND currency_id=1")),
            40);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM units WHERE property_id=? AND status='rented'"),
                     { property }),
            40);
        QCOMPARE(m_contracts->getAll().size(), 40);
        // Every unit is taken: another contract on any of them overlaps.
        const int unit
            = m_db->value(QStringLiteral("SELECT MIN(id) FROM units WHERE property_id=?"), { property })
                  .toInt();
        QVERIFY(m_contracts->hasOverlap(unit, QStringLiteral("2025-06-01"), QStringLiteral("2025-06-30")));
    }
};

QTEST_GUILESS_MAIN(TestContractModel)
#include "tst_contractmodel.moc"
