#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

/**
 * A fresh, uniquely named PostgreSQL database on the test run's throwaway server
 * (scripts/pg-test-server.sh, started by CTest for every test whose name ends in _server).
 * The server is found through the file DARVELINTO_TEST_PG_ENV names; without it the server
 * runs skip:
 *
 *     if (!TestServer::available())
 *         QSKIP("no PostgreSQL test server");
 *     TestServer server;
 *     QVERIFY2(server.isValid(), qPrintable(server.errorString()));
 *
 * The destructor closes the connections opened through openConnection() and drops the database,
 * whoever else is still connected to it. Declare the TestServer before any QSqlDatabase handle
 * so that the handles are gone first.
 */
class TestServer
{
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    /** A server was started for this run and Qt's PostgreSQL driver is installed. */
    [[nodiscard]] static bool available();

    /** The database was created; errorString() says why not. */
    [[nodiscard]] bool isValid() const { return m_created; }
    QString errorString() const { return m_error; }

    /** The folder of the server's Unix socket (libpq takes a folder as the host). */
    QString host() const { return m_host; }
    int port() const { return m_port; }
    QString user() const { return m_user; }
    QString databaseName() const { return m_databaseName; }

    /**
     * An open QPSQL connection to this database under connectionName, or a closed one whose
     * lastError() says why. Removed by the destructor.
     */
    QSqlDatabase openConnection(const QString& connectionName);

private:
    bool readServerFacts();
    bool runAsAdmin(const QString& sql);
    QSqlDatabase addConnection(const QString& connectionName, const QString& databaseName) const;

    QString m_host;
    int m_port = 0;
    QString m_user;
    QString m_databaseName;
    QStringList m_connectionNames;
    QString m_error;
    bool m_created = false;
};
