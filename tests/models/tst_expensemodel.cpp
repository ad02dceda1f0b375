#include "billingfixtures.h"
#include "expensemodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace BillingFixtures;

class TestExpenseModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ExpenseModel> m_model;
    int m_property = 0;
    int m_otherProperty = 0;
    int m_unit = 0;
    int m_unitCentre = 0;
    int m_plumber = 0;

    Database* db() const { return m_db->db(); }
    QVariantMap expense(int id) const { return db()->getById(QStringLiteral("expenses"), id); }
    int spend(int property, int unit, int contractor, double amount,
        const QString& date = QStringLiteral("2025-05-04"))
    {
        return m_model->add(property, unit, contractor, QStringLiteral("صيانة"), QStringLiteral("سباكة"),
            QStringLiteral("تغيير أنابيب"), amount, date, 1);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<ExpenseModel>(db());
        m_property = addProperty(db());
        m_otherProperty = addProperty(db(), QStringLiteral("عمارة السلام"));
        m_unit = addUnit(db(), m_property, QStringLiteral("3A"));
        // A cost centre row first, so the unit's centre id differs from the unit id.
        QVERIFY(db()->execInsert(
                    QStringLiteral("INSERT INTO cost_centers (name, type, property_id) VALUES (?, ?, ?)"),
                    { QStringLiteral("برج النخيل"), QStringLiteral("project"), m_property })
            > 0);
        QVERIFY(db()->execInsert(
                    QStringLiteral("INSERT INTO cost_centers (name, type, property_id) VALUES (?, ?, ?)"),
                    { QStringLiteral("الطابق 3"), QStringLiteral("floor"), m_property })
            > 0);
        m_unitCentre = db()->execInsert(
            QStringLiteral("INSERT INTO cost_centers (name, type, property_id, unit_id) VALUES (?, ?, ?, ?)"),
            { QStringLiteral("شقة / وحدة 3A"), QStringLiteral("unit"), m_property, m_unit });
        QVERIFY(m_unitCentre > 0 && m_unitCentre != m_unit);
        m_plumber = m_model->addContractor(
            QStringLiteral("أبو سمير"), QStringLiteral("0599000000"), QStringLiteral("سباكة"));
        QVERIFY(m_plumber > 0);
    }

    void cleanup()
    {
        m_model.reset();
        m_db.reset();
    }

    void expenseRaisesTheContractorsBalance()
    {
        QSignalSpy changed(m_model.get(), &ExpenseModel::dataChanged);
        const int id = spend(m_property, m_unit, m_plumber, 1200);
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(contractorBalance(db(), m_plumber), 1200.0);
        QVERIFY(spend(m_property, 0, m_plumber, 300.5) > 0);
        QCOMPARE(contractorBalance(db(), m_plumber), 1500.5);

        const QVariantMap row = expense(id);
        QCOMPARE(row.value("property_id").toInt(), m_property);
        QCOMPARE(row.value("project_id").toInt(), m_property);
        QCOMPARE(row.value("unit_id").toInt(), m_unit);
        QCOMPARE(row.value("cost_center_id").toInt(), m_unitCentre);
        QCOMPARE(row.value("contractor_id").toInt(), m_plumber);
        QCOMPARE(row.value("category").toString(), QStringLiteral("صيانة"));
        QCOMPARE(row.value("work_category").toString(), QStringLiteral("سباكة"));
        QCOMPARE(row.value("description").toString(), QStringLiteral("تغيير أنابيب"));
        QCOMPARE(row.value("amount").toDouble(), 1200.0);
        QCOMPARE(row.value("expense_date").toString(), QStringLiteral("2025-05-04"));
        QCOMPARE(row.value("currency_id").toInt(), 1);
    }

    void amountsAndBalanceStayInHundredths()
    {
        QVERIFY(spend(m_property, 0, m_plumber, 0.1) > 0);
        QVERIFY(spend(m_property, 0, m_plumber, 0.2) > 0);
        const int odd = spend(m_property, 0, m_plumber, 10.005);
        QVERIFY(expense(odd).value("amount").toDouble() == 10.01);
        QVERIFY(contractorBalance(db(), m_plumber) == 10.31);
    }

    void expenseWithoutContractorOrUnit()
    {
        const int id = spend(m_otherProperty, 0, 0, 80);
        QVERIFY(id > 0);
        const QVariantMap row = expense(id);
        QVERIFY(row.value("contractor_id").isNull());
        QVERIFY(row.value("unit_id").isNull());
        QVERIFY(row.value("cost_center_id").isNull());
        QCOMPARE(row.value("project_id").toInt(), m_otherProperty);
        QCOMPARE(contractorBalance(db(), m_plumber), 0.0);
    }

    void unitWithoutCostCentreStoresNone()
    {
        const int bare = addUnit(db(), m_property, QStringLiteral("4C"));
        const int id = spend(m_property, bare, 0, 60);
        QVERIFY(id > 0);
        QCOMPARE(expense(id).value("unit_id").toInt(), bare);
        QVERIFY(expense(id).value("cost_center_id").isNull());
    }

    void refusedExpensesWriteNothing_data()
    {
        QTest::addColumn<int>("property");
        QTest::addColumn<int>("contractor");
        QTest::addColumn<QString>("category");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("date");

        QTest::newRow("zero") << 1 << 1 << "صيانة" << 0.0 << "2025-05-04";
        QTest::newRow("negative") << 1 << 1 << "صيانة" << -10.0 << "2025-05-04";
        QTest::newRow("below half a cent") << 1 << 1 << "صيانة" << 0.004 << "2025-05-04";
        QTest::newRow("NaN") << 1 << 1 << "صيانة" << std::nan("") << "2025-05-04";
        QTest::newRow("no category") << 1 << 1 << " " << 10.0 << "2025-05-04";
        QTest::newRow("no date") << 1 << 1 << "صيانة" << 10.0 << "";
        QTest::newRow("impossible date") << 1 << 1 << "صيانة" << 10.0 << "2025-13-01";
        QTest::newRow("unknown contractor") << 1 << 99 << "صيانة" << 10.0 << "2025-05-04";
        QTest::newRow("unknown property") << 99 << 1 << "صيانة" << 10.0 << "2025-05-04";
    }

    void refusedExpensesWriteNothing()
    {
        QFETCH(int, property);
        QFETCH(int, contractor);
        QFETCH(QString, category);
        QFETCH(double, amount);
        QFETCH(QString, date);
        QSignalSpy changed(m_model.get(), &ExpenseModel::dataChanged);
        QCOMPARE(
            m_model->add(property == 1 ? m_property : property, m_unit,
                contractor == 1 ? m_plumber : contractor, category, QString(), QString(), amount, date, 1),
            -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("expenses")), 0);
        QCOMPARE(contractorBalance(db(), m_plumber), 0.0);
    }

    void failedBalanceChangeUndoesTheExpense()
    {
        QVERIFY(
            db()->execNonQuery(QStringLiteral("CREATE TRIGGER block_contractors BEFORE UPDATE ON contractors "
                                              "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
        QCOMPARE(spend(m_property, m_unit, m_plumber, 450), -1);
        QCOMPARE(m_db->count(QStringLiteral("expenses")), 0);
        QCOMPARE(contractorBalance(db(), m_plumber), 0.0);
        // Without a contractor nothing needs the balance.
        QVERIFY(spend(m_property, m_unit, 0, 450) > 0);
    }

    void totals()
    {
        QCOMPARE(m_model->getTotal(), 0.0);
        QVERIFY(spend(m_property, m_unit, m_plumber, 100) > 0);
        QVERIFY(spend(m_property, 0, 0, 250) > 0);
        QVERIFY(spend(m_otherProperty, 0, 0, 40) > 0);
        QCOMPARE(m_model->getTotal(), 390.0);
        QCOMPARE(m_model->getTotal(-1), 390.0);
        QCOMPARE(m_model->getTotal(m_property), 350.0);
        QCOMPARE(m_model->getTotal(m_otherProperty), 40.0);
        // 0 is a property id like any other: no expense carries it.
        QCOMPARE(m_model->getTotal(0), 0.0);
    }

    void lists()
    {
        QVERIFY(spend(m_property, m_unit, m_plumber, 100, QStringLiteral("2025-05-01")) > 0);
        QVERIFY(spend(m_property, 0, 0, 250, QStringLiteral("2025-05-09")) > 0);
        QVERIFY(spend(m_otherProperty, 0, m_plumber, 40, QStringLiteral("2025-05-05")) > 0);

        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all.at(0).toMap().value("expense_date").toString(), QStringLiteral("2025-05-09"));
        const QVariantMap oldest = all.at(2).toMap();
        QCOMPARE(oldest.value("property_name").toString(), QStringLiteral("برج النخيل"));
        QCOMPARE(oldest.value("unit_number").toString(), QStringLiteral("3A"));
        QCOMPARE(oldest.value("contractor_name").toString(), QStringLiteral("أبو سمير"));
        QVERIFY(all.at(0).toMap().value("contractor_name").isNull());

        const QVariantList mine = m_model->getByProperty(m_property);
        QCOMPARE(mine.size(), 2);
        QCOMPARE(mine.first().toMap().value("amount").toDouble(), 250.0);

        const QVariantList plumbers = m_model->getContractorExpenses(m_plumber);
        QCOMPARE(plumbers.size(), 2);
        QCOMPARE(plumbers.first().toMap().value("property_name").toString(), QStringLiteral("عمارة السلام"));
        QCOMPARE(plumbers.last().toMap().value("amount").toDouble(), 100.0);
    }

    void contractors()
    {
        QSignalSpy changed(m_model.get(), &ExpenseModel::dataChanged);
        const int electrician
            = m_model->addContractor(QStringLiteral("أحمد"), QString(), QStringLiteral("كهرباء"));
        QVERIFY(electrician > 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_model->addContractor(QStringLiteral("  "), QString(), QString()), -1);
        QCOMPARE(changed.count(), 1);

        const QVariantList list = m_model->getContractors();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(0).toMap().value("name").toString(), QStringLiteral("أبو سمير"));
        QCOMPARE(list.at(1).toMap().value("name").toString(), QStringLiteral("أحمد"));
        QCOMPARE(list.at(1).toMap().value("trade").toString(), QStringLiteral("كهرباء"));
        QCOMPARE(list.at(1).toMap().value("balance").toDouble(), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestExpenseModel)
#include "tst_expensemodel.moc"
