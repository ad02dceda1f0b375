#include "auditmanager.h"
#include "testdatabase.h"
#include "transactionguard.h"

#include <QTest>

class TestAuditManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<AuditManager> m_audit;

    Database* db() const { return m_db->db(); }
    QVariantMap onlyRow() const
    {
        const QVariantList rows = db()->execQuery(QStringLiteral("SELECT * FROM audit_logs"));
        return rows.size() == 1 ? rows.first().toMap() : QVariantMap();
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_audit = std::make_unique<AuditManager>(db());
    }
    void cleanup()
    {
        m_audit.reset();
        m_db.reset();
    }

    void userAndActionAlone()
    {
        QVERIFY(m_audit->log(1, QStringLiteral("تعديل")));
        const QVariantMap row = onlyRow();
        QCOMPARE(row.value(QStringLiteral("user_id")).toInt(), 1);
        QCOMPARE(row.value(QStringLiteral("action")).toString(), QStringLiteral("تعديل"));
        QCOMPARE(row.value(QStringLiteral("table_name")).toString(), QStringLiteral(""));
        QVERIFY(!row.value(QStringLiteral("table_name")).isNull());
        QCOMPARE(row.value(QStringLiteral("record_id")).toInt(), 0);
        QVERIFY(!row.value(QStringLiteral("record_id")).isNull());
        QVERIFY(!row.value(QStringLiteral("details")).isNull());
        QVERIFY(!row.value(QStringLiteral("created_at")).toString().isEmpty());

        const QVariantList logs = m_audit->getLogs();
        QCOMPARE(logs.size(), 1);
        QCOMPARE(logs.first().toMap().value(QStringLiteral("username")).toString(), QStringLiteral("admin"));
    }

    void allFiveValuesAreStored()
    {
        QVERIFY(m_audit->log(
            1, QStringLiteral("خطأ"), QStringLiteral("units"), 42, QStringLiteral("الوحدة مباعة")));
        const QVariantMap row = onlyRow();
        QCOMPARE(row.value(QStringLiteral("table_name")).toString(), QStringLiteral("units"));
        QCOMPARE(row.value(QStringLiteral("record_id")).toInt(), 42);
        QCOMPARE(row.value(QStringLiteral("details")).toString(), QStringLiteral("الوحدة مباعة"));

        const QVariantMap log = m_audit->getLogs().first().toMap();
        const QStringList keys = { QStringLiteral("action"), QStringLiteral("created_at"),
            QStringLiteral("details"), QStringLiteral("id"), QStringLiteral("record_id"),
            QStringLiteral("table_name"), QStringLiteral("user_id"), QStringLiteral("username") };
        QCOMPARE(log.keys(), keys);
    }

    void callableWithTheDefaultsFromTheInterface()
    {
        // QML calls log(userId, action) with the trailing arguments left out.
        bool written = false;
        QVERIFY(QMetaObject::invokeMethod(m_audit.get(), "log", Q_RETURN_ARG(bool, written), Q_ARG(int, 1),
            Q_ARG(QString, QStringLiteral("عرض"))));
        QVERIFY(written);
        QVariantList logs;
        QVERIFY(QMetaObject::invokeMethod(m_audit.get(), "getLogs", Q_RETURN_ARG(QVariantList, logs)));
        QCOMPARE(logs.size(), 1);
    }

    void unknownUsersHaveNoName_data()
    {
        QTest::addColumn<int>("userId");
        QTest::addColumn<bool>("storedAsNull");
        QTest::newRow("no user (-1)") << -1 << true;
        QTest::newRow("no user (0)") << 0 << true;
        QTest::newRow("names no account") << 999 << false;
    }

    void unknownUsersHaveNoName()
    {
        QFETCH(int, userId);
        QFETCH(bool, storedAsNull);
        QVERIFY(m_audit->log(userId, QStringLiteral("خطأ")));
        QCOMPARE(onlyRow().value(QStringLiteral("user_id")).isNull(), storedAsNull);
        QVERIFY(m_audit->getLogs().first().toMap().value(QStringLiteral("username")).isNull());
    }

    void rowsWrittenWithoutAUserHaveNoName()
    {
        // The sale writes its own rows, without a user id.
        QVERIFY(db()->execNonQuery(
            QStringLiteral("INSERT INTO audit_logs (action, table_name, record_id, details) "
                           "VALUES ('بيع وحدة', 'units', 3, 'تم بيع الوحدة')")));
        const QVariantMap log = m_audit->getLogs().first().toMap();
        QCOMPARE(log.value(QStringLiteral("action")).toString(), QStringLiteral("بيع وحدة"));
        QVERIFY(log.value(QStringLiteral("username")).isNull());
    }

    void blankActionIsRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("null") << QString();
        QTest::newRow("empty") << QStringLiteral("");
        QTest::newRow("blanks") << QStringLiteral("  ");
    }

    void blankActionIsRefused()
    {
        QFETCH(QString, action);
        QVERIFY(!m_audit->log(1, action, QStringLiteral("units"), 1, QStringLiteral("x")));
        QCOMPARE(m_db->count(QStringLiteral("audit_logs")), 0);
    }

    void newestFirst()
    {
        QVERIFY(m_audit->log(1, QStringLiteral("a")));
        QVERIFY(m_audit->log(1, QStringLiteral("b")));
        QVERIFY(m_audit->log(1, QStringLiteral("c"))); // all three within the same second
        QStringList actions;
        for (const QVariant& row : m_audit->getLogs())
            actions << row.toMap().value(QStringLiteral("action")).toString();
        QCOMPARE(actions, QStringList({ QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a") }));
        QCOMPARE(m_audit->getLogs(1).first().toMap().value(QStringLiteral("action")).toString(),
            QStringLiteral("c"));
    }

    void limits_data()
    {
        QTest::addColumn<QVariant>("limit");
        QTest::addColumn<int>("expected");
        QTest::newRow("default") << QVariant() << 100;
        QTest::newRow("five, as the dashboard asks") << QVariant(5) << 5;
        QTest::newRow("zero") << QVariant(0) << 0;
        QTest::newRow("more than there are") << QVariant(500) << 105;
        QTest::newRow("negative means all") << QVariant(-1) << 105;
    }

    void limits()
    {
        QFETCH(QVariant, limit);
        QFETCH(int, expected);
        {
            TransactionGuard transaction(db());
            for (int i = 0; i < 105; ++i)
                QVERIFY(m_audit->log(1, QStringLiteral("row %1").arg(i)));
            QVERIFY(transaction.commit());
        }
        const QVariantList logs = limit.isValid() ? m_audit->getLogs(limit.toInt()) : m_audit->getLogs();
        QCOMPARE(logs.size(), expected);
        if (expected > 0)
            QCOMPARE(
                logs.first().toMap().value(QStringLiteral("action")).toString(), QStringLiteral("row 104"));
    }
};

QTEST_GUILESS_MAIN(TestAuditManager)
#include "tst_auditmanager.moc"
