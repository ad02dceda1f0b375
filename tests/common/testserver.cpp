#include "testserver.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kDriver = QStringLiteral("QPSQL");
const char kEnvFileVariable[] = "DARVELINTO_TEST_PG_ENV";
// A test that cannot reach the server fails within this many seconds instead of hanging the run.
const QString kConnectOptions = QStringLiteral("connect_timeout=10");

QAtomicInt databaseCounter;
QAtomicInt adminConnectionCounter;

/** The key=value lines of the file the test run's server start wrote; empty when there is none. */
QHash<QString, QString> serverFacts()
{
    QHash<QString, QString> facts;
    const QString path = qEnvironmentVariable(kEnvFileVariable);
    if (path.isEmpty())
        return facts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return facts;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            facts.insert(line.left(equals), line.mid(equals + 1));
    }
    return facts;
}

bool factsComplete(const QHash<QString, QString>& facts)
{
    bool portIsNumber = false;
    facts.value(QStringLiteral("port")).toInt(&portIsNumber);
    return !facts.value(QStringLiteral("host")).isEmpty() && portIsNumber
        && !facts.value(QStringLiteral("user")).isEmpty();
}

// CREATE and DROP DATABASE take no parameters. The names quoted here are made by this class from
// letters, digits and underscores only.
QString quotedIdentifier(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

bool TestServer::available()
{
    return factsComplete(serverFacts()) && QSqlDatabase::isDriverAvailable(kDriver);
}

TestServer::TestServer()
{
    if (!readServerFacts())
        return;
    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        m_error = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        return;
    }
    m_databaseName = QStringLiteral("darvelinto_test_%1_%2")
                         .arg(QCoreApplication::applicationPid())
                         .arg(databaseCounter.fetchAndAddRelaxed(1) + 1);
    // A killed earlier process with the same pid may have left a database of this name behind.
    m_created
        = runAsAdmin(
              QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quotedIdentifier(m_databaseName)))
        && runAsAdmin(
            QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8'").arg(quotedIdentifier(m_databaseName)));
}

TestServer::~TestServer()
{
    for (const QString& name : std::as_const(m_connectionNames)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    if (m_created
        && !runAsAdmin(
            QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quotedIdentifier(m_databaseName))))
        qWarning("TestServer: could not drop %s: %s", qPrintable(m_databaseName), qPrintable(m_error));
}

QSqlDatabase TestServer::openConnection(const QString& connectionName)
{
    QSqlDatabase db = addConnection(connectionName, m_databaseName);
    m_connectionNames.append(connectionName);
    db.open();
    return db;
}

bool TestServer::readServerFacts()
{
    const QHash<QString, QString> facts = serverFacts();
    if (!factsComplete(facts)) {
        m_error = QStringLiteral("no PostgreSQL test server: %1 names no complete server file")
                      .arg(QLatin1String(kEnvFileVariable));
        return false;
    }
    m_host = facts.value(QStringLiteral("host"));
    m_port = facts.value(QStringLiteral("port")).toInt();
    m_user = facts.value(QStringLiteral("user"));
    return true;
}

/** One statement on a short-lived connection to the server's `postgres` database. */
bool TestServer::runAsAdmin(const QString& sql)
{
    const QString connectionName = QStringLiteral("darvelinto_test_admin_%1_%2")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(adminConnectionCounter.fetchAndAddRelaxed(1) + 1);
    bool ok = false;
    {
        QSqlDatabase admin = addConnection(connectionName, QStringLiteral("postgres"));
        if (!admin.open()) {
            m_error = QStringLiteral("cannot connect to the PostgreSQL test server in %1: %2")
                          .arg(m_host, admin.lastError().text());
        } else {
            QSqlQuery query(admin);
            ok = query.exec(sql);
            if (!ok)
                m_error = QStringLiteral("%1: %2").arg(sql, query.lastError().text());
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    return ok;
}

QSqlDatabase TestServer::addConnection(const QString& connectionName, const QString& databaseName) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connectionName);
    db.setHostName(m_host);
    db.setPort(m_port);
    db.setUserName(m_user);
    db.setDatabaseName(databaseName);
    db.setConnectOptions(kConnectOptions);
    return db;
}
