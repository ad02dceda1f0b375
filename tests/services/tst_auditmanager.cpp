// The audit trail: what a row must carry, who wrote it, and the newest rows first.
#include "auditmanager.h"
#include "testdatabase.h"
#include "transactionguard.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAuditManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_audit = std::make_unique<AuditManager>(m_db->db());
    }
    void cleanup()
    {
        m_audit.reset();
        m_db.reset();
    }

    void blankActionIsRefused()
    {
        for (const QString& action : { QString(), u"  "_s }) {
            QTest::ignoreMessage(QtWarningMsg, "Refusing an audit row without an action");
            QVERIFY(!m_audit->log(1, action, u"units"_s, 1, u"x"_s));
        }
        QCOMPARE(m_db->count(u"audit_logs"_s), 0);
    }

    void rowsNameTheirUserOnlyWhenThereIsOne()
    {
        // The interface calls log(userId, action) with the trailing arguments left out.
        bool written = false;
        QVERIFY(QMetaObject::invokeMethod(
            m_audit.get(), "log", Q_RETURN_ARG(bool, written), Q_ARG(int, 1), Q_ARG(QString, u"عرض"_s)));
        QVERIFY(written);
        QVERIFY(m_audit->log(-1, u"بلا مستخدم"_s));
        QVERIFY(m_audit->log(999, u"حساب محذوف"_s));
        const QVariantList logs = m_audit->getLogs();
        QCOMPARE(logs.first().toMap().value("username").toString(), QString());
        QCOMPARE(logs.last().toMap().value("username").toString(), u"admin"_s);
        QCOMPARE(m_db->count(u"SELECT id FROM audit_logs WHERE user_id IS NULL"_s), 1);
    }

    void newestFirst_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        QTest::newRow("five, as the dashboard asks") << 5 << 5;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("more than there are") << 500 << 105;
        QTest::newRow("negative means all") << -1 << 105;
    }

    void newestFirst()
    {
        {
            TransactionGuard transaction(m_db->db());
            for (int i = 0; i < 105; ++i) // all within the same second
                QVERIFY(m_audit->log(1, u"row %1"_s.arg(i)));
            QVERIFY(transaction.commit());
        }
        QCOMPARE(m_audit->getLogs().size(), 100);
        QFETCH(int, limit);
        const QVariantList rows = m_audit->getLogs(limit);
        QTEST(int(rows.size()), "expected");
        if (!rows.isEmpty())
            QCOMPARE(rows.first().toMap().value("action").toString(), u"row 104"_s);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<AuditManager> m_audit;
};

QTEST_GUILESS_MAIN(TestAuditManager)
#include "tst_auditmanager.moc"
