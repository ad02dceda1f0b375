#include "contractmodel.h"
#include "installmentmodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace RentalFixtures;

namespace {

const QString kFloor3 = QStringLiteral("الطابق 3");

} // namespace

class TestUnitModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<UnitModel> m_units;

    Database* db() const { return m_db->db(); }
    QVariantMap centreOfUnit(int unitId) const
    {
        const QVariantList rows
            = db()->execQuery(QStringLiteral("SELECT * FROM cost_centers WHERE unit_id=?"), { unitId });
        return rows.size() == 1 ? rows.first().toMap() : QVariantMap();
    }
    int projectCentreOf(int propertyId) const
    {
        return m_db
            ->value(QStringLiteral("SELECT id FROM cost_centers WHERE property_id=? AND type='project'"),
                { propertyId })
            .toInt();
    }
    int floorCentre(int propertyId, const QString& name) const
    {
        return m_db
            ->value(
                QStringLiteral("SELECT id FROM cost_centers WHERE property_id=? AND type='floor' AND name=?"),
                { propertyId, name })
            .toInt();
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_units = std::make_unique<UnitModel>(db());
    }
    void cleanup()
    {
        m_units.reset();
        m_db.reset();
    }

    void addStoresTheUnitAvailable()
    {
        const int property = addProperty(db(), QStringLiteral("برج الريحان"));
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);
        const int id = m_units->add(property, QStringLiteral("A-12"), 2, 95.5, 3, 1200, 14400, 90000, 2);
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap unit = m_units->getById(id);
        QCOMPARE(unit.value(QStringLiteral("unit_number")).toString(), QStringLiteral("A-12"));
        QCOMPARE(unit.value(QStringLiteral("floor")).toInt(), 2);
        QCOMPARE(unit.value(QStringLiteral("area")).toDouble(), 95.5);
        QCOMPARE(unit.value(QStringLiteral("rooms")).toInt(), 3);
        QCOMPARE(unit.value(QStringLiteral("rent_monthly")).toDouble(), 1200.0);
        QCOMPARE(unit.value(QStringLiteral("rent_yearly")).toDouble(), 14400.0);
        QCOMPARE(unit.value(QStringLiteral("sale_price")).toDouble(), 90000.0);
        QCOMPARE(unit.value(QStringLiteral("currency_id")).toInt(), 2);
        QCOMPARE(unit.value(QStringLiteral("status")).toString(), QStringLiteral("available"));
        QCOMPARE(unit.value(QStringLiteral("property_name")).toString(), QStringLiteral("برج الريحان"));
    }

    void unitsOnOneFloorShareTheFloorCentre()
    {
        const int property = addProperty(db());
        const int project = projectCentreOf(property);
        QVERIFY(project > 0);
        const int first = m_units->add(property, QStringLiteral("301"), 3, 80, 2, 900, 10800, 0, 1);
        const int second = m_units->add(property, QStringLiteral("302"), 3, 85, 2, 950, 11400, 0, 1);
        QVERIFY(first > 0 && second > 0);

        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM cost_centers WHERE type='floor'")), 1);
        const int floor = floorCentre(property, kFloor3);
        QVERIFY(floor > 0);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT parent_id FROM cost_centers WHERE id=?"), { floor }).toInt(),
            project);
        QVERIFY(
            m_db->value(QStringLiteral("SELECT unit_id FROM cost_centers WHERE id=?"), { floor }).isNull());

        const QVariantMap a = centreOfUnit(first);
        const QVariantMap b = centreOfUnit(second);
        QCOMPARE(a.value(QStringLiteral("name")).toString(), QStringLiteral("شقة / وحدة 301"));
        QCOMPARE(b.value(QStringLiteral("name")).toString(), QStringLiteral("شقة / وحدة 302"));
        QCOMPARE(a.value(QStringLiteral("type")).toString(), QStringLiteral("unit"));
        QCOMPARE(a.value(QStringLiteral("property_id")).toInt(), property);
        QCOMPARE(a.value(QStringLiteral("parent_id")).toInt(), floor);
        QCOMPARE(b.value(QStringLiteral("parent_id")).toInt(), floor);
        // project + floor 3 + two units
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 4);
    }

    void groundAndBasementHangUnderTheProject_data()
    {
        QTest::addColumn<int>("floor");
        QTest::newRow("ground") << 0;
        QTest::newRow("basement") << -1;
    }
    void groundAndBasementHangUnderTheProject()
    {
        QFETCH(int, floor);
        const int property = addProperty(db());
        const int id = m_units->add(property, QStringLiteral("G1"), floor, 60, 1, 500, 6000, 0, 1);
        QVERIFY(id > 0);
        QCOMPARE(centreOfUnit(id).value(QStringLiteral("parent_id")).toInt(), projectCentreOf(property));
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM cost_centers WHERE type='floor'")), 0);
    }

    void sameFloorOfTwoPropertiesIsTwoCentres()
    {
        const int east = addProperty(db(), QStringLiteral("الشرقي"));
        const int west = addProperty(db(), QStringLiteral("الغربي"));
        const int a = m_units->add(east, QStringLiteral("301"), 3, 80, 2, 900, 10800, 0, 1);
        const int b = m_units->add(west, QStringLiteral("301"), 3, 80, 2, 900, 10800, 0, 1);
        QVERIFY(a > 0 && b > 0);
        const int eastFloor = floorCentre(east, kFloor3);
        const int westFloor = floorCentre(west, kFloor3);
        QVERIFY(eastFloor > 0 && westFloor > 0 && eastFloor != westFloor);
        QCOMPARE(centreOfUnit(a).value(QStringLiteral("parent_id")).toInt(), eastFloor);
        QCOMPARE(centreOfUnit(b).value(QStringLiteral("parent_id")).toInt(), westFloor);
        QCOMPARE(m_db->value(QStringLiteral("SELECT parent_id FROM cost_centers WHERE id=?"), { westFloor })
                     .toInt(),
            projectCentreOf(west));
    }

    void projectCentreIsCreatedOnDemand()
    {
        // A property written by another road (an import, an older file) has no project centre.
        const int property = db()->execInsert(
            QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { QStringLiteral("قديم") });
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 0);

        const int first = m_units->add(property, QStringLiteral("201"), 2, 70, 2, 800, 9600, 0, 1);
        QVERIFY(first > 0);
        const QVariantList projects = db()->execQuery(
            QStringLiteral("SELECT * FROM cost_centers WHERE property_id=? AND type='project'"),
            { property });
        QCOMPARE(projects.size(), 1);
        const QVariantMap project = projects.first().toMap();
        QCOMPARE(project.value(QStringLiteral("name")).toString(), QStringLiteral("قديم"));
        QVERIFY(project.value(QStringLiteral("parent_id")).isNull());
        const int floor = floorCentre(property, QStringLiteral("الطابق 2"));
        QCOMPARE(m_db->value(QStringLiteral("SELECT parent_id FROM cost_centers WHERE id=?"), { floor }),
            project.value(QStringLiteral("id")));
        QCOMPARE(centreOfUnit(first).value(QStringLiteral("parent_id")).toInt(), floor);

        QVERIFY(m_units->add(property, QStringLiteral("001"), 0, 70, 2, 800, 9600, 0, 1) > 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM cost_centers WHERE type='project'")), 1);
    }

    void floorsHangUnderTheOldestProjectCentre()
    {
        const int property = db()->execInsert(
            QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { QStringLiteral("مزدوج") });
        const QString sql
            = QStringLiteral("INSERT INTO cost_centers (name,type,property_id) VALUES (?,'project',?)");
        const int older = db()->execInsert(sql, { QStringLiteral("أ"), property });
        QVERIFY(db()->execInsert(sql, { QStringLiteral("ب"), property }) > older);
        const int id = m_units->add(property, QStringLiteral("401"), 4, 70, 2, 800, 9600, 0, 1);
        QVERIFY(id > 0);
        const int floor = floorCentre(property, QStringLiteral("الطابق 4"));
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT parent_id FROM cost_centers WHERE id=?"), { floor }).toInt(),
            older);
    }

    void duplicateNumberLeavesNothingBehind()
    {
        const int property = addProperty(db());
        const int other = addProperty(db(), QStringLiteral("مبنى آخر"));
        QVERIFY(m_units->add(property, QStringLiteral("101"), 1, 80, 2, 900, 10800, 0, 1) > 0);
        const int centresBefore = m_db->count(QStringLiteral("cost_centers"));
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);

        QCOMPARE(m_units->add(property, QStringLiteral("101"), 7, 80, 2, 900, 10800, 0, 1), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("units")), 1);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), centresBefore);
        QCOMPARE(floorCentre(property, QStringLiteral("الطابق 7")), 0);

        // The number is unique per property only.
        QVERIFY(m_units->add(other, QStringLiteral("101"), 1, 80, 2, 900, 10800, 0, 1) > 0);
    }

    void addRefusesBadInput_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::addColumn<int>("property");
        QTest::addColumn<QString>("number");
        QTest::addColumn<double>("area");
        QTest::addColumn<int>("rooms");
        QTest::addColumn<double>("rent");
        QTest::addColumn<double>("salePrice");
        QTest::addColumn<int>("currency");
        QTest::newRow("blank number") << 0 << QStringLiteral("  ") << 80.0 << 2 << 900.0 << 0.0 << 1;
        QTest::newRow("negative rent") << 0 << QStringLiteral("1") << 80.0 << 2 << -900.0 << 0.0 << 1;
        QTest::newRow("infinite rent") << 0 << QStringLiteral("1") << 80.0 << 2 << inf << 0.0 << 1;
        QTest::newRow("negative area") << 0 << QStringLiteral("1") << -80.0 << 2 << 900.0 << 0.0 << 1;
        QTest::newRow("negative rooms") << 0 << QStringLiteral("1") << 80.0 << -2 << 900.0 << 0.0 << 1;
        QTest::newRow("negative price") << 0 << QStringLiteral("1") << nan << 2 << 900.0 << -1.0 << 1;
        QTest::newRow("unknown property") << 999 << QStringLiteral("1") << 80.0 << 2 << 900.0 << 0.0 << 1;
        QTest::newRow("unknown currency") << 0 << QStringLiteral("1") << 80.0 << 2 << 900.0 << 0.0 << 77;
    }
    void addRefusesBadInput()
    {
        QFETCH(int, property);
        QFETCH(QString, number);
        QFETCH(double, area);
        QFETCH(int, rooms);
        QFETCH(double, rent);
        QFETCH(double, salePrice);
        QFETCH(int, currency);
        const int real = addProperty(db());
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);
        QCOMPARE(
            m_units->add(property ? property : real, number, 3, area, rooms, rent, 0, salePrice, currency),
            -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 1); // the property's own project centre
    }

    void emptyFieldsAreStoredAsNotGiven()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const int property = addProperty(db());
        const int id = m_units->add(property, QStringLiteral("9"), 0, nan, 0, nan, nan, nan, 1);
        QVERIFY(id > 0);
        const QVariantMap unit = m_units->getById(id);
        QVERIFY(unit.value(QStringLiteral("area")).isNull());
        QCOMPARE(unit.value(QStringLiteral("rent_monthly")).toDouble(), 0.0);
        QVERIFY(!unit.value(QStringLiteral("rent_monthly")).isNull());
        QCOMPARE(unit.value(QStringLiteral("sale_price")).toDouble(), 0.0);
    }

    void unitIsNotKeptWithoutItsCentre()
    {
        const int property = addProperty(db());
        QVERIFY(db()->execNonQuery(QStringLiteral(R"(
            CREATE TRIGGER refuse_unit_centres BEFORE INSERT ON cost_centers WHEN NEW.type='unit'
            BEGIN SELECT RAISE(ABORT, 'refused'); END)")));
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);
        QCOMPARE(m_units->add(property, QStringLiteral("501"), 5, 80, 2, 900, 10800, 0, 1), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
        // The floor centre written before the failure went back with the unit.
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 1);
    }

    void listsSelectAndOrder()
    {
        const int zahra = addProperty(db(), QStringLiteral("برج الزهراء"));
        const int amal = addProperty(db(), QStringLiteral("برج الأمل"));
        const int z2 = addUnit(db(), zahra, QStringLiteral("2"));
        const int z1 = addUnit(db(), zahra, QStringLiteral("1"));
        const int a1 = addUnit(db(), amal, QStringLiteral("1"));
        const int a2 = addUnit(db(), amal, QStringLiteral("2"));
        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE units SET status='rented' WHERE id=?"), { z1 }));
        // Out of service: not offered.
        QVERIFY(m_units->updateStatus(a2, QStringLiteral("maintenance")));

        const auto ids = [](const QVariantList& rows) {
            QList<int> out;
            for (const QVariant& row : rows)
                out << row.toMap().value(QStringLiteral("id")).toInt();
            return out;
        };
        QCOMPARE(ids(m_units->getByProperty(zahra)), (QList<int> { z1, z2 }));
        // "برج الأمل" sorts before "برج الزهراء".
        QCOMPARE(ids(m_units->getAll()), (QList<int> { a1, a2, z1, z2 }));
        QCOMPARE(ids(m_units->getAvailable()), (QList<int> { a1, z2 }));
        QCOMPARE(m_units->getAll().first().toMap().value(QStringLiteral("property_name")).toString(),
            QStringLiteral("برج الأمل"));
        QVERIFY(m_units->getById(9999).isEmpty());
    }

    void updateChangesFiguresAndMovesTheCentre()
    {
        const int property = addProperty(db());
        const int moving = addUnit(db(), property, QStringLiteral("301"), 3);
        const int staying = addUnit(db(), property, QStringLiteral("302"), 3);
        const int floor3 = floorCentre(property, kFloor3);
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);

        QVERIFY(m_units->update(moving, QStringLiteral("501"), 5, 120, 4, 1500, 18000, 0));
        QCOMPARE(changed.count(), 1);
        const QVariantMap unit = m_units->getById(moving);
        QCOMPARE(unit.value(QStringLiteral("unit_number")).toString(), QStringLiteral("501"));
        QCOMPARE(unit.value(QStringLiteral("floor")).toInt(), 5);
        QCOMPARE(unit.value(QStringLiteral("rent_monthly")).toDouble(), 1500.0);
        QCOMPARE(unit.value(QStringLiteral("currency_id")).toInt(), 1);
        const int floor5 = floorCentre(property, QStringLiteral("الطابق 5"));
        QVERIFY(floor5 > 0);
        QCOMPARE(centreOfUnit(moving).value(QStringLiteral("parent_id")).toInt(), floor5);
        QCOMPARE(
            centreOfUnit(moving).value(QStringLiteral("name")).toString(), QStringLiteral("شقة / وحدة 501"));
        QCOMPARE(floorCentre(property, kFloor3), floor3); // 302 still lives there

        QVERIFY(m_units->update(staying, QStringLiteral("302"), 0, 80, 2, 900, 10800, 0));
        QCOMPARE(centreOfUnit(staying).value(QStringLiteral("parent_id")).toInt(), projectCentreOf(property));
        QCOMPARE(floorCentre(property, kFloor3), 0); // emptied floor left the tree
    }

    void updateRefusals()
    {
        const int property = addProperty(db());
        const int a = addUnit(db(), property, QStringLiteral("1"), 1, 700);
        addUnit(db(), property, QStringLiteral("2"), 1, 700);
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);
        QVERIFY(!m_units->update(a, QStringLiteral("2"), 4, 80, 2, 900, 10800, 0)); // number taken
        QVERIFY(!m_units->update(9999, QStringLiteral("X"), 1, 80, 2, 900, 10800, 0));
        QVERIFY(!m_units->update(a, QStringLiteral("1"), 1, 80, 2, -1, 10800, 0));
        QCOMPARE(changed.count(), 0);
        const QVariantMap unit = m_units->getById(a);
        QCOMPARE(unit.value(QStringLiteral("unit_number")).toString(), QStringLiteral("1"));
        QCOMPARE(unit.value(QStringLiteral("floor")).toInt(), 1);
        QCOMPARE(unit.value(QStringLiteral("rent_monthly")).toDouble(), 700.0);
        QCOMPARE(floorCentre(property, QStringLiteral("الطابق 4")), 0);
    }

    void removeTakesTheUnitsCentresAlong()
    {
        const int property = addProperty(db());
        const int first = addUnit(db(), property, QStringLiteral("201"), 2);
        const int second = addUnit(db(), property, QStringLiteral("202"), 2);
        const int floor = floorCentre(property, QStringLiteral("الطابق 2"));
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);

        QVERIFY(m_units->remove(first));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM units WHERE id=?"), { first }), 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM cost_centers WHERE unit_id=?"), { first }), 0);
        QCOMPARE(floorCentre(property, QStringLiteral("الطابق 2")), floor); // shared with 202

        QVERIFY(m_units->remove(second));
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
        // Only the project centre of the property remains.
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 1);
        QVERIFY(projectCentreOf(property) > 0);
    }

    void removeOfAnUnknownIdChangesNothing()
    {
        const int property = addProperty(db());
        addUnit(db(), property, QStringLiteral("1"));
        QVERIFY(m_units->remove(4242));
        QCOMPARE(m_db->count(QStringLiteral("units")), 1);
    }

    void removeRefusedForLetSoldOrHistory_data()
    {
        QTest::addColumn<QString>("history");
        QTest::newRow("rented") << QStringLiteral("rented");
        QTest::newRow("sold") << QStringLiteral("sold");
        for (const char* kind :
            { "contract", "invoice", "payment", "installment", "expense", "maintenance", "usage" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void removeRefusedForLetSoldOrHistory()
    {
        QFETCH(QString, history);
        const int property = addProperty(db());
        const int unit = addUnit(db(), property, QStringLiteral("101"), 1);
        if (history == QLatin1String("rented")) {
            QVERIFY(addContract(db(), unit, addTenant(db(), QStringLiteral("مها")),
                        QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 900)
                > 0);
        } else if (history == QLatin1String("sold")) {
            const int buyer = db()->execInsert(
                QStringLiteral("INSERT INTO buyers (full_name) VALUES (?)"), { QStringLiteral("ب") });
            QVERIFY(m_units->markAsSold(unit, buyer, 80000, QStringLiteral("2025-02-01")));
        } else {
            QVERIFY(addUnitHistory(db(), history, unit) > 0);
        }
        const int centres = m_db->count(QStringLiteral("cost_centers"));
        // The model's own checks must hold where the file's foreign keys do not: columns added
        // to older files carry none.
        QVERIFY(db()->execNonQuery(QStringLiteral("PRAGMA foreign_keys=OFF")));
        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);

        QVERIFY(!m_units->remove(unit));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM units WHERE id=?"), { unit }), 1);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), centres);
        QVERIFY(!centreOfUnit(unit).isEmpty());
    }

    void onlyAFreeUnitGoesOutOfServiceAndBack_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("free unit out of service") << "available"
                                                  << "maintenance" << true;
        QTest::newRow("back into service") << "maintenance"
                                           << "available" << true;
        QTest::newRow("already free") << "available"
                                      << "available" << true;
        QTest::newRow("let unit") << "rented"
                                  << "maintenance" << false;
        QTest::newRow("sold unit") << "sold"
                                   << "maintenance" << false;
        QTest::newRow("let by hand, without a contract") << "available"
                                                         << "rented" << false;
        QTest::newRow("sold by hand, without a sale") << "available"
                                                      << "sold" << false;
        QTest::newRow("out of service to let") << "maintenance"
                                               << "rented" << false;
        QTest::newRow("capitalised") << "available"
                                     << "Maintenance" << false;
        QTest::newRow("empty") << "available"
                               << "" << false;
        QTest::newRow("other") << "available"
                               << "reserved" << false;
    }
    void onlyAFreeUnitGoesOutOfServiceAndBack()
    {
        QFETCH(QString, from);
        QFETCH(QString, status);
        QFETCH(bool, accepted);
        const int unit = addUnit(db(), addProperty(db()), QStringLiteral("1"));
        if (from == QLatin1String("maintenance"))
            QVERIFY(m_units->updateStatus(unit, from));
        if (from == QLatin1String("rented"))
            QVERIFY(addContract(db(), unit, addTenant(db(), QStringLiteral("t")),
                        QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 900)
                > 0);
        if (from == QLatin1String("sold"))
            QVERIFY(m_units->markAsSold(unit,
                db()->execInsert(QStringLiteral("INSERT INTO buyers (full_name) VALUES ('b')")), 1000,
                QStringLiteral("2025-02-01")));
        QCOMPARE(m_units->updateStatus(unit, status), accepted);
        QCOMPARE(m_units->getById(unit).value(QStringLiteral("status")).toString(), accepted ? status : from);
        QVERIFY(!m_units->updateStatus(9999, QStringLiteral("maintenance")));
    }

    void aUnitOutOfServiceIsOfferedForNothing()
    {
        const int unit = addUnit(db(), addProperty(db()), QStringLiteral("1"));
        const int buyer = db()->execInsert(QStringLiteral("INSERT INTO buyers (full_name) VALUES ('b')"));
        QVERIFY(m_units->updateStatus(unit, QStringLiteral("maintenance")));
        QVERIFY(m_units->getAvailable().isEmpty());
        QCOMPARE(
            ContractModel(db()).add(unit, addTenant(db(), QStringLiteral("t")), QStringLiteral("2025-01-01"),
                QStringLiteral("2025-12-31"), 900, QStringLiteral("monthly"), 0, 1),
            -1);
        QCOMPARE(
            InstallmentModel(db()).sellUnit(buyer, unit, 1000, 1000, 0, QStringLiteral("2025-01-01"), 1), -1);
        QVERIFY(!m_units->markAsSold(unit, buyer, 1000, QStringLiteral("2025-01-01")));
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM units WHERE status='maintenance'")), 1);
        QCOMPARE(m_db->count(QStringLiteral("contracts")), 0);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
    }

    void markAsSoldRecordsTheSale()
    {
        const int unit = addUnit(db(), addProperty(db()), QStringLiteral("1"));
        const int buyer = db()->execInsert(
            QStringLiteral("INSERT INTO buyers (full_name) VALUES (?)"), { QStringLiteral("نور") });
        QVERIFY(!m_units->markAsSold(unit, buyer, 120000, QStringLiteral("2025-2-1")));
        QVERIFY(!m_units->markAsSold(9999, buyer, 120000, QStringLiteral("2025-02-01")));
        QCOMPARE(
            m_units->getById(unit).value(QStringLiteral("status")).toString(), QStringLiteral("available"));

        QSignalSpy changed(m_units.get(), &UnitModel::dataChanged);
        QVERIFY(m_units->markAsSold(unit, buyer, 120000.004, QStringLiteral("2025-02-01")));
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = m_units->getById(unit);
        QCOMPARE(row.value(QStringLiteral("status")).toString(), QStringLiteral("sold"));
        QCOMPARE(row.value(QStringLiteral("buyer_id")).toInt(), buyer);
        QCOMPARE(row.value(QStringLiteral("sale_price_actual")).toDouble(), 120000.0); // in cents
        QCOMPARE(row.value(QStringLiteral("sale_date")).toString(), QStringLiteral("2025-02-01"));
    }
};

QTEST_GUILESS_MAIN(TestUnitModel)
#include "tst_unitmodel.moc"
