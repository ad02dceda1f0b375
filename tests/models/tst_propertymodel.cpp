#include "contractmodel.h"
#include "propertymodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>

using namespace RentalFixtures;

class TestPropertyModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<PropertyModel> m_properties;

    Database* db() const { return m_db->db(); }
    QVariantMap rowOf(const QVariantList& rows, int id) const
    {
        for (const QVariant& row : rows) {
            if (row.toMap().value(QStringLiteral("id")).toInt() == id)
                return row.toMap();
        }
        return {};
    }
    int insertInvoice(int tenantId, int unitId, const QString& number)
    {
        return db()->execInsert(QStringLiteral(R"(
            INSERT INTO invoices (invoice_number,tenant_id,unit_id,period,total_amount,balance,due_date)
            VALUES (?,?,?,'2025-03',1000,1000,'2025-03-28'))"),
            { number, tenantId, unitId });
    }
    void insertPayment(int invoiceId, int tenantId, double amount)
    {
        QVERIFY(db()->execInsert(QStringLiteral(R"(
            INSERT INTO payments (invoice_id,tenant_id,amount,payment_method,payment_date)
            VALUES (?,?,?,'cash','2025-03-10'))"),
                    { invoiceId, tenantId, amount })
            > 0);
    }
    void insertExpense(const QVariant& propertyId, double amount)
    {
        QVERIFY(db()->execInsert(QStringLiteral(R"(
            INSERT INTO expenses (property_id,category,amount,expense_date,project_id)
            VALUES (?,'صيانة',?,'2025-03-05',?))"),
                    { propertyId, amount, propertyId })
            > 0);
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

    void addWritesThePropertyAndOneProjectCentre_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("residential") << QStringLiteral("residential");
        QTest::newRow("commercial") << QStringLiteral("commercial");
        QTest::newRow("mixed") << QStringLiteral("mixed");
        QTest::newRow("free text") << QStringLiteral("warehouse");
    }
    void addWritesThePropertyAndOneProjectCentre()
    {
        QFETCH(QString, type);
        QSignalSpy changed(m_properties.get(), &PropertyModel::dataChanged);
        const int id = m_properties->add(QStringLiteral("برج السلام"), type, QStringLiteral("شارع الإرسال"),
            QStringLiteral("رام الله"), QStringLiteral("عشرة طوابق"));
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);

        const QVariantMap property = m_properties->getById(id);
        QCOMPARE(property.value(QStringLiteral("name")).toString(), QStringLiteral("برج السلام"));
        QCOMPARE(property.value(QStringLiteral("type")).toString(), type);
        QCOMPARE(property.value(QStringLiteral("city")).toString(), QStringLiteral("رام الله"));
        QCOMPARE(property.value(QStringLiteral("address")).toString(), QStringLiteral("شارع الإرسال"));
        QCOMPARE(property.value(QStringLiteral("description")).toString(), QStringLiteral("عشرة طوابق"));
        QCOMPARE(property.value(QStringLiteral("status")).toString(), QStringLiteral("active"));

        const QVariantList centres = db()->execQuery(QStringLiteral("SELECT * FROM cost_centers"));
        QCOMPARE(centres.size(), 1);
        const QVariantMap centre = centres.first().toMap();
        QCOMPARE(centre.value(QStringLiteral("name")).toString(), QStringLiteral("برج السلام"));
        QCOMPARE(centre.value(QStringLiteral("type")).toString(), QStringLiteral("project"));
        QCOMPARE(centre.value(QStringLiteral("property_id")).toInt(), id);
        QVERIFY(centre.value(QStringLiteral("unit_id")).isNull());
        QVERIFY(centre.value(QStringLiteral("parent_id")).isNull());
    }

    void addRefusesABlankName()
    {
        QSignalSpy changed(m_properties.get(), &PropertyModel::dataChanged);
        QCOMPARE(m_properties->add(QStringLiteral("   "), QStringLiteral("residential"), {}, {}, {}), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("properties")), 0);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 0);
    }

    void addKeepsNoPropertyWithoutItsCentre()
    {
        QVERIFY(db()->execNonQuery(QStringLiteral(R"(
            CREATE TRIGGER refuse_centres BEFORE INSERT ON cost_centers
            BEGIN SELECT RAISE(ABORT, 'refused'); END)")));
        QCOMPARE(m_properties->add(QStringLiteral("برج"), QStringLiteral("residential"), {}, {}, {}), -1);
        QCOMPARE(m_db->count(QStringLiteral("properties")), 0);
    }

    void getAllCountsUnitsAndActiveRent()
    {
        const int tower = addProperty(db(), QStringLiteral("برج الندى"));
        const int rented = addUnit(db(), tower, QStringLiteral("1"), 1, 1000);
        const int ended = addUnit(db(), tower, QStringLiteral("2"), 1, 700);
        const int sold = addUnit(db(), tower, QStringLiteral("3"), 2, 650);
        addUnit(db(), tower, QStringLiteral("4"), 2, 500);
        const int tenant = addTenant(db(), QStringLiteral("ليلى"));
        addContract(db(), rented, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        ContractModel contracts(db());
        QVERIFY(contracts.terminate(addContract(
            db(), ended, tenant, QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"), 700)));
        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE units SET status='sold' WHERE id=?"), { sold }));
        const int empty = addProperty(db(), QStringLiteral("أرض فارغة"));

        const QVariantList all = m_properties->getAll();
        QCOMPARE(all.size(), 2);
        // Newest first; both were created within the same second.
        QCOMPARE(all.first().toMap().value(QStringLiteral("id")).toInt(), empty);
        const QVariantMap row = rowOf(all, tower);
        QCOMPARE(row.value(QStringLiteral("name")).toString(), QStringLiteral("برج الندى"));
        QCOMPARE(row.value(QStringLiteral("total_units")).toInt(), 4);
        QCOMPARE(row.value(QStringLiteral("rented_units")).toInt(), 1);
        QCOMPARE(row.value(QStringLiteral("sold_units")).toInt(), 1);
        // Only the unit under an active contract earns: 1000, not 1000 + 700.
        QCOMPARE(row.value(QStringLiteral("monthly_revenue")).toDouble(), 1000.0);
        const QVariantMap none = rowOf(all, empty);
        QCOMPARE(none.value(QStringLiteral("total_units")).toInt(), 0);
        QCOMPARE(none.value(QStringLiteral("monthly_revenue")).toDouble(), 0.0);
    }

    void updateRenamesThePropertyAndItsProjectCentre()
    {
        const int id = addProperty(db(), QStringLiteral("الاسم القديم"));
        QSignalSpy changed(m_properties.get(), &PropertyModel::dataChanged);
        QVERIFY(m_properties->update(id, QStringLiteral("الاسم الجديد"), QStringLiteral("commercial"),
            QStringLiteral("شارع 1"), QStringLiteral("نابلس"), QStringLiteral("وصف")));
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = m_properties->getById(id);
        QCOMPARE(row.value(QStringLiteral("name")).toString(), QStringLiteral("الاسم الجديد"));
        QCOMPARE(row.value(QStringLiteral("type")).toString(), QStringLiteral("commercial"));
        QCOMPARE(row.value(QStringLiteral("city")).toString(), QStringLiteral("نابلس"));
        QCOMPARE(m_db->value(QStringLiteral("SELECT name FROM cost_centers WHERE type='project'")).toString(),
            QStringLiteral("الاسم الجديد"));

        QVERIFY(!m_properties->update(9999, QStringLiteral("x"), {}, {}, {}, {}));
        QVERIFY(!m_properties->update(id, QString(), {}, {}, {}, {}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_properties->getById(id).value(QStringLiteral("name")).toString(),
            QStringLiteral("الاسم الجديد"));
    }

    void searchMatchesNameCityOrAddress_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("matches");
        QTest::newRow("empty matches all") << QString() << 3;
        QTest::newRow("name") << QStringLiteral("النخيل") << 1;
        QTest::newRow("city") << QStringLiteral("الخليل") << 2;
        QTest::newRow("address") << QStringLiteral("الشهداء") << 1;
        QTest::newRow("nothing") << QStringLiteral("غزة") << 0;
    }
    void searchMatchesNameCityOrAddress()
    {
        QFETCH(QString, query);
        QFETCH(int, matches);
        m_properties->add(QStringLiteral("برج النخيل"), QStringLiteral("residential"),
            QStringLiteral("شارع عين سارة"), QStringLiteral("الخليل"), {});
        m_properties->add(QStringLiteral("مجمع الواحة"), QStringLiteral("mixed"),
            QStringLiteral("شارع الشهداء"), QStringLiteral("الخليل"), {});
        m_properties->add(QStringLiteral("عمارة الفجر"), QStringLiteral("commercial"),
            QStringLiteral("الماصيون"), QStringLiteral("رام الله"), {});
        QCOMPARE(m_properties->search(query).size(), matches);
    }

    void statsOfAnEmptyPropertyAreZero()
    {
        const QVariantMap stats = m_properties->getStats(addProperty(db()));
        const QStringList keys = { QStringLiteral("total_units"), QStringLiteral("rented"),
            QStringLiteral("available"), QStringLiteral("sold"), QStringLiteral("maintenance"),
            QStringLiteral("total_income"), QStringLiteral("total_expenses") };
        QCOMPARE(stats.size(), keys.size());
        for (const QString& key : keys) {
            QVERIFY2(stats.contains(key), qPrintable(key));
            QCOMPARE(stats.value(key).toDouble(), 0.0);
        }
    }

    void statsAddUpUnitsIncomeAndExpenses()
    {
        const int tower = addProperty(db(), QStringLiteral("برج"));
        const int other = addProperty(db(), QStringLiteral("آخر"));
        const int u1 = addUnit(db(), tower, QStringLiteral("1"));
        const int u2 = addUnit(db(), tower, QStringLiteral("2"));
        addUnit(db(), tower, QStringLiteral("3"));
        const int elsewhere = addUnit(db(), other, QStringLiteral("1"));
        const int tenant = addTenant(db(), QStringLiteral("رامي"));
        addContract(db(), u1, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE units SET status='sold' WHERE id=?"), { u2 }));

        const int inv1 = insertInvoice(tenant, u1, QStringLiteral("INV-202503-0001"));
        const int inv2 = insertInvoice(tenant, elsewhere, QStringLiteral("INV-202503-0002"));
        insertPayment(inv1, tenant, 400);
        insertPayment(inv1, tenant, 250);
        insertPayment(inv2, tenant, 999);
        insertExpense(tower, 300);
        insertExpense(tower, 45.5);
        insertExpense(other, 80);

        const QVariantMap stats = m_properties->getStats(tower);
        QCOMPARE(stats.value(QStringLiteral("total_units")).toInt(), 3);
        QCOMPARE(stats.value(QStringLiteral("rented")).toInt(), 1);
        QCOMPARE(stats.value(QStringLiteral("available")).toInt(), 1);
        QCOMPARE(stats.value(QStringLiteral("sold")).toInt(), 1);
        QCOMPARE(stats.value(QStringLiteral("total_income")).toDouble(), 650.0);
        QCOMPARE(stats.value(QStringLiteral("total_expenses")).toDouble(), 345.5);
    }

    void removeWithoutHistoryTakesUnitsAndTreeAlong()
    {
        const int doomed = addProperty(db(), QStringLiteral("للحذف"));
        addUnit(db(), doomed, QStringLiteral("G"), 0);
        addUnit(db(), doomed, QStringLiteral("201"), 2);
        addUnit(db(), doomed, QStringLiteral("202"), 2);
        const int kept = addProperty(db(), QStringLiteral("باق"));
        const int keptUnit = addUnit(db(), kept, QStringLiteral("201"), 2);
        // project, floor 2 and three units of the doomed one; project, floor and unit of the other
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 8);
        QSignalSpy changed(m_properties.get(), &PropertyModel::dataChanged);

        QVERIFY(m_properties->remove(doomed));
        QCOMPARE(changed.count(), 1);
        QVERIFY(m_properties->getById(doomed).isEmpty());
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM units WHERE property_id=?"), { doomed }), 0);
        QCOMPARE(
            m_db->count(QStringLiteral("SELECT id FROM cost_centers WHERE property_id=?"), { doomed }), 0);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), 3);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM cost_centers WHERE unit_id=?"), { keptUnit }), 1);
        QCOMPARE(m_db->count(QStringLiteral("units")), 1);
    }

    void removeRefusedWhileAnythingRefersToIt_data()
    {
        QTest::addColumn<QString>("history");
        QTest::newRow("rented unit") << QStringLiteral("rented");
        QTest::newRow("sold unit") << QStringLiteral("sold");
        QTest::newRow("expense on the property") << QStringLiteral("property expense");
        QTest::newRow("expense on the project only") << QStringLiteral("project expense");
        QTest::newRow("maintenance on the property") << QStringLiteral("property maintenance");
        for (const char* kind :
            { "contract", "invoice", "payment", "installment", "expense", "maintenance", "usage" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void removeRefusedWhileAnythingRefersToIt()
    {
        QFETCH(QString, history);
        const int property = addProperty(db());
        addUnit(db(), property, QStringLiteral("100"), 0);
        const int unit = addUnit(db(), property, QStringLiteral("101"), 1);
        if (history == QLatin1String("rented")) {
            addContract(db(), unit, addTenant(db(), QStringLiteral("هدى")), QStringLiteral("2025-01-01"),
                QStringLiteral("2025-12-31"), 900);
        } else if (history == QLatin1String("sold")) {
            QVERIFY(
                db()->execNonQuery(QStringLiteral("UPDATE units SET status='sold' WHERE id=?"), { unit }));
        } else if (history == QLatin1String("property expense")) {
            insertExpense(property, 150);
        } else if (history == QLatin1String("project expense")) {
            QVERIFY(db()->execInsert(QStringLiteral(R"(
                INSERT INTO expenses (category,amount,expense_date,project_id) VALUES ('رسوم',90,'2025-03-05',?))"),
                        { property })
                > 0);
        } else if (history == QLatin1String("property maintenance")) {
            // Only the request's property_id points here: it must be found by that alone.
            const int elsewhere
                = addUnit(db(), addProperty(db(), QStringLiteral("آخر")), QStringLiteral("1"));
            QVERIFY(db()->execInsert(
                        QStringLiteral(
                            "INSERT INTO maintenance_requests (unit_id,property_id,title) VALUES (?,?,?)"),
                        { elsewhere, property, QStringLiteral("مصعد") })
                > 0);
        } else {
            QVERIFY(addUnitHistory(db(), history, unit) > 0);
        }
        const int units = m_db->count(QStringLiteral("units"));
        const int centres = m_db->count(QStringLiteral("cost_centers"));
        // The model's own checks must hold where the file's foreign keys do not: columns added
        // to older files carry none.
        QVERIFY(db()->execNonQuery(QStringLiteral("PRAGMA foreign_keys=OFF")));
        QSignalSpy changed(m_properties.get(), &PropertyModel::dataChanged);

        QVERIFY(!m_properties->remove(property));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!m_properties->getById(property).isEmpty());
        QCOMPARE(m_db->count(QStringLiteral("units")), units);
        QCOMPARE(m_db->count(QStringLiteral("cost_centers")), centres);
    }
};

QTEST_GUILESS_MAIN(TestPropertyModel)
#include "tst_propertymodel.moc"
