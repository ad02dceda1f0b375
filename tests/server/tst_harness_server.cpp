// The PostgreSQL test server the server runs share: a fresh database per TestServer that every
// connection to it sees alike, and that is gone once the TestServer is.
#include "testserver.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// PostgreSQL prepares only queries and row changes: a statement without parameters (the DDL here)
// runs as it stands.
bool run(QSqlQuery& query, const QString& sql, const QVariantList& params)
{
    bool ok = params.isEmpty() ? query.exec(sql) : query.prepare(sql);
    if (ok && !params.isEmpty()) {
        for (const QVariant& param : params)
            query.addBindValue(param);
        ok = query.exec();
    }
    if (!ok)
        qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    return ok;
}

bool exec(const QSqlDatabase& db, const QString& sql, const QVariantList& params = {})
{
    QSqlQuery query(db);
    return run(query, sql, params);
}

QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& params = {})
{
    QSqlQuery query(db);
    return run(query, sql, params) && query.next() ? query.value(0) : QVariant();
}

} // namespace

class HarnessServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!TestServer::available())
            QSKIP("no PostgreSQL test server (scripts/pg-test-server.sh found no server packages)");
    }

    void twoConnectionsSeeEachOthersCommittedRows()
    {
        TestServer server;
        QVERIFY2(server.isValid(), qPrintable(server.errorString()));
        QSqlDatabase first = server.openConnection(u"first"_s);
        QSqlDatabase second = server.openConnection(u"second"_s);
        QVERIFY2(first.isOpen(), qPrintable(first.lastError().text()));
        QVERIFY2(second.isOpen(), qPrintable(second.lastError().text()));

        QVERIFY(exec(first, u"CREATE TABLE tenants (id INTEGER PRIMARY KEY, name TEXT NOT NULL)"_s));
        QVERIFY(first.transaction());
        QVERIFY(exec(first, u"INSERT INTO tenants (id, name) VALUES (?, ?)"_s, { 1, u"شقة الدور الأول"_s }));
        QCOMPARE(scalar(second, u"SELECT COUNT(*) FROM tenants"_s).toInt(), 0);
        QVERIFY(first.commit());
        QCOMPARE(scalar(second, u"SELECT name FROM tenants WHERE id = ?"_s, { 1 }).toString(),
            u"شقة الدور الأول"_s);

        QVERIFY(exec(second, u"INSERT INTO tenants (id, name) VALUES (?, ?)"_s, { 2, u"Second"_s }));
        QCOMPARE(scalar(first, u"SELECT COUNT(*) FROM tenants"_s).toInt(), 2);
    }

    void databaseIsGoneWithItsTestServer()
    {
        QString dropped;
        {
            TestServer server;
            QVERIFY2(server.isValid(), qPrintable(server.errorString()));
            dropped = server.databaseName();
            // A connection the TestServer does not know of, still open when it goes, does not keep
            // the database alive.
            QSqlDatabase outsider = QSqlDatabase::addDatabase(u"QPSQL"_s, u"outsider"_s);
            outsider.setHostName(server.host());
            outsider.setPort(server.port());
            outsider.setUserName(server.user());
            outsider.setDatabaseName(server.databaseName());
            QVERIFY2(outsider.open(), qPrintable(outsider.lastError().text()));
        }
        QSqlDatabase::removeDatabase(u"outsider"_s);
        TestServer other;
        QVERIFY2(other.isValid(), qPrintable(other.errorString()));
        QVERIFY(other.databaseName() != dropped);
        QSqlDatabase db = other.openConnection(u"other"_s);
        const QString sql = u"SELECT COUNT(*) FROM pg_database WHERE datname = ?"_s;
        QCOMPARE(scalar(db, sql, { other.databaseName() }).toInt(), 1);
        QCOMPARE(scalar(db, sql, { dropped }).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(HarnessServerTest)
#include "tst_harness_server.moc"
