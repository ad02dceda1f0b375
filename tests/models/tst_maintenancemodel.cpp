#include "billingfixtures.h"
#include "clock.h"
#include "maintenancemodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace BillingFixtures;

class TestMaintenanceModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MaintenanceModel> m_model;
    int m_property = 0;
    int m_unit = 0;

    Database* db() const { return m_db->db(); }
    QVariantMap request(int id) const { return db()->getById(QStringLiteral("maintenance_requests"), id); }
    int raise(const QString& title = QStringLiteral("تسريب مياه"))
    {
        return m_model->add(m_unit, m_property, title, QStringLiteral("في المطبخ"), QStringLiteral("high"));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 6, 9));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<MaintenanceModel>(db());
        m_property = addProperty(db());
        m_unit = addUnit(db(), m_property, QStringLiteral("5B"));
    }

    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void addStoresANewRequest()
    {
        QSignalSpy changed(m_model.get(), &MaintenanceModel::dataChanged);
        const int id = raise();
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = request(id);
        QCOMPARE(row.value("unit_id").toInt(), m_unit);
        QCOMPARE(row.value("property_id").toInt(), m_property);
        QCOMPARE(row.value("title").toString(), QStringLiteral("تسريب مياه"));
        QCOMPARE(row.value("description").toString(), QStringLiteral("في المطبخ"));
        QCOMPARE(row.value("priority").toString(), QStringLiteral("high"));
        QCOMPARE(row.value("status").toString(), QStringLiteral("new"));
        QCOMPARE(row.value("cost").toDouble(), 0.0);
        QVERIFY(row.value("completed_date").isNull());
    }

    void requestWithoutPropertyTakesTheUnits()
    {
        const int id = m_model->add(m_unit, 0, QStringLiteral("مصباح"), QString(), QStringLiteral("low"));
        QVERIFY(id > 0);
        QCOMPARE(request(id).value("property_id").toInt(), m_property);
    }

    void refusedRequestsWriteNothing()
    {
        QSignalSpy changed(m_model.get(), &MaintenanceModel::dataChanged);
        QCOMPARE(
            m_model->add(m_unit, m_property, QStringLiteral("   "), QString(), QStringLiteral("low")), -1);
        QCOMPARE(
            m_model->add(m_unit + 50, m_property, QStringLiteral("باب"), QString(), QStringLiteral("low")),
            -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("maintenance_requests")), 0);
    }

    void completionBooksTheCostOnce()
    {
        const int id = raise();
        QSignalSpy changed(m_model.get(), &MaintenanceModel::dataChanged);
        QVERIFY(m_model->complete(id, 350));
        QCOMPARE(changed.count(), 1);

        const QVariantMap done = request(id);
        QCOMPARE(done.value("status").toString(), QStringLiteral("completed"));
        QCOMPARE(done.value("cost").toDouble(), 350.0);
        QCOMPARE(done.value("completed_date").toString(), QStringLiteral("2025-06-09"));

        const QVariantList expenses = db()->execQuery(QStringLiteral("SELECT * FROM expenses"));
        QCOMPARE(expenses.size(), 1);
        const QVariantMap expense = expenses.first().toMap();
        QCOMPARE(expense.value("property_id").toInt(), m_property);
        QCOMPARE(expense.value("unit_id").toInt(), m_unit);
        QCOMPARE(expense.value("category").toString(), QStringLiteral("صيانة"));
        QCOMPARE(expense.value("description").toString(), QStringLiteral("تسريب مياه"));
        QCOMPARE(expense.value("amount").toDouble(), 350.0);
        QCOMPARE(expense.value("expense_date").toString(), QStringLiteral("2025-06-09"));
        QCOMPARE(expense.value("maintenance_id").toInt(), id);
        QVERIFY(expense.value("contractor_id").isNull());

        // A second click: refused, no second expense, the first cost stands.
        Clock::setToday(QDate(2025, 6, 10));
        QVERIFY(!m_model->complete(id, 500));
        QVERIFY(m_model->lastError().contains(QStringLiteral("مكتمل من قبل")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("expenses")), 1);
        QCOMPARE(request(id).value("cost").toDouble(), 350.0);
        QCOMPARE(request(id).value("completed_date").toString(), QStringLiteral("2025-06-09"));
    }

    void costIsKeptInHundredths()
    {
        const int id = raise();
        QVERIFY(m_model->complete(id, 350.005));
        QVERIFY(request(id).value("cost").toDouble() == 350.01);
        QVERIFY(db()->scalar(QStringLiteral("SELECT amount FROM expenses WHERE maintenance_id=?"), { id })
                    .toDouble()
            == 350.01);
    }

    void inProgressRequestCanBeCompleted()
    {
        const int id = raise();
        QVERIFY(m_model->updateStatus(id, QStringLiteral("in_progress")));
        QCOMPARE(request(id).value("status").toString(), QStringLiteral("in_progress"));
        QVERIFY(m_model->complete(id, 0));
        // A free repair is still on the record.
        QCOMPARE(db()->scalar(QStringLiteral("SELECT amount FROM expenses WHERE maintenance_id=?"), { id })
                     .toDouble(),
            0.0);
    }

    void refusedCompletionsWriteNothing_data()
    {
        QTest::addColumn<bool>("known");
        QTest::addColumn<double>("cost");
        QTest::newRow("unknown request") << false << 100.0;
        QTest::newRow("empty cost field") << true << std::nan("");
        QTest::newRow("negative cost") << true << -20.0;
        QTest::newRow("infinite cost") << true << HUGE_VAL;
        QTest::newRow("cost above the largest amount") << true << 1e308;
    }

    void refusedCompletionsWriteNothing()
    {
        QFETCH(bool, known);
        QFETCH(double, cost);
        const int id = raise();
        QSignalSpy changed(m_model.get(), &MaintenanceModel::dataChanged);
        QVERIFY(!m_model->complete(known ? id : id + 40, cost));
        QVERIFY(!m_model->lastError().isEmpty());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(request(id).value("status").toString(), QStringLiteral("new"));
        QCOMPARE(m_db->count(QStringLiteral("expenses")), 0);
    }

    void failedExpenseLeavesTheRequestOpen()
    {
        const int id = raise();
        QVERIFY(db()->execNonQuery(QStringLiteral("CREATE TRIGGER block_expenses BEFORE INSERT ON expenses "
                                                  "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
        QVERIFY(!m_model->complete(id, 120));
        const QVariantMap row = request(id);
        QCOMPARE(row.value("status").toString(), QStringLiteral("new"));
        QCOMPARE(row.value("cost").toDouble(), 0.0);
        QVERIFY(row.value("completed_date").isNull());

        QVERIFY(db()->execNonQuery(QStringLiteral("DROP TRIGGER block_expenses")));
        QVERIFY(m_model->complete(id, 120));
        QCOMPARE(m_db->count(QStringLiteral("expenses")), 1);
    }

    void updateStatusNeverOpensNorClosesARequest_data()
    {
        QTest::addColumn<bool>("completedFirst");
        QTest::addColumn<QString>("status");
        QTest::newRow("into completed, without its expense") << false << "completed";
        QTest::newRow("completed back to new") << true << "new";
        QTest::newRow("completed back to in progress") << true << "in_progress";
        QTest::newRow("a word outside the vocabulary") << false << "cancelled";
    }

    void updateStatusNeverOpensNorClosesARequest()
    {
        QFETCH(bool, completedFirst);
        QFETCH(QString, status);
        const int id = raise();
        if (completedFirst)
            QVERIFY(m_model->complete(id, 75));
        const QVariantMap before = request(id);
        QSignalSpy changed(m_model.get(), &MaintenanceModel::dataChanged);
        QVERIFY(!m_model->updateStatus(id, status));
        QCOMPARE(request(id), before);
        QCOMPARE(changed.count(), 0);
        // Reopened, a completed request would take a second expense for the same work.
        QVERIFY(!m_model->complete(id, 75) || !completedFirst);
        QCOMPARE(m_db->count(QStringLiteral("expenses")), 1);
    }

    void updateStatusOfUnknownRequestFails()
    {
        QSignalSpy changed(m_model.get(), &MaintenanceModel::dataChanged);
        QVERIFY(!m_model->updateStatus(77, QStringLiteral("in_progress")));
        QCOMPARE(changed.count(), 0);
    }

    void listsAndCounts()
    {
        const int leak = raise(QStringLiteral("تسريب"));
        const int door = raise(QStringLiteral("باب"));
        raise(QStringLiteral("نافذة"));
        QVERIFY(m_model->complete(leak, 90));
        QVERIFY(m_model->updateStatus(door, QStringLiteral("in_progress")));

        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 3);
        const QVariantMap first = all.first().toMap();
        QCOMPARE(first.value("unit_number").toString(), QStringLiteral("5B"));
        QCOMPARE(first.value("property_name").toString(), QStringLiteral("برج النخيل"));

        const QVariantList completed = m_model->getByStatus(QStringLiteral("completed"));
        QCOMPARE(completed.size(), 1);
        QCOMPARE(completed.first().toMap().value("id").toInt(), leak);
        QCOMPARE(m_model->getByStatus(QStringLiteral("in_progress")).size(), 1);

        QCOMPARE(m_model->getCount(), 3);
        QCOMPARE(m_model->getCount(QStringLiteral("new")), 1);
        QCOMPARE(m_model->getCount(QStringLiteral("completed")), 1);
        QCOMPARE(m_model->getCount(QStringLiteral("cancelled")), 0);
    }

    void requestsOfOneSecondListNewestFirst()
    {
        // Requests raised in the same second share their created_at: the later one still comes first.
        const int leak = raise(QStringLiteral("تسريب"));
        const int door = raise(QStringLiteral("باب"));
        const int window = raise(QStringLiteral("نافذة"));
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE maintenance_requests SET created_at='2025-06-09 10:00:00'")));
        const auto ids = [](const QVariantList& rows) {
            QList<int> result;
            for (const QVariant& row : rows)
                result << row.toMap().value(QStringLiteral("id")).toInt();
            return result;
        };
        QCOMPARE(ids(m_model->getAll()), QList<int>({ window, door, leak }));
        QCOMPARE(ids(m_model->getByStatus(QStringLiteral("new"))), QList<int>({ window, door, leak }));
    }
};

QTEST_GUILESS_MAIN(TestMaintenanceModel)
#include "tst_maintenancemodel.moc"
