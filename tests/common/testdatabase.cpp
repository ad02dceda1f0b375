#include "testdatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

namespace {

/** Runs one statement on the server's "postgres" database, outside any transaction. */
bool administer(const ServerAddress& server, const QString& sql)
{
    const QString name = QStringLiteral("darvelinto_test_admin");
    bool done = false;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        server.applyTo(admin);
        if (admin.open()) {
            QSqlQuery query(admin);
            done = query.exec(sql);
            if (!done)
                qWarning("server refused %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        } else {
            qWarning("no server: %s", qPrintable(admin.lastError().text()));
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

QString serverDatabaseName(const QString& what)
{
    static int made = 0;
    return QStringLiteral("darvelinto_%1_%2_%3")
        .arg(what)
        .arg(QCoreApplication::applicationPid())
        .arg(++made);
}

/**
 * The schema made once per test program in a template database: every test's database is a copy
 * of it, which the server makes far faster than the schema and its seed.
 */
QString serverTemplate(const ServerAddress& server)
{
    static QString name;
    if (!name.isEmpty())
        return name;
    const QString candidate = serverDatabaseName(QStringLiteral("template"));
    if (!administer(server, QStringLiteral("CREATE DATABASE %1").arg(candidate)))
        return {};
    ServerAddress address = server;
    address.database = candidate;
    {
        Database schema(QStringLiteral("darvelinto_test_template"));
        if (!schema.initializeServer(address))
            return {};
    }
    name = candidate;
    // Dropped when the test program ends, as its tests' databases are when each test ends.
    qAddPostRoutine([] {
        administer(
            TestDatabase::server(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    });
    return name;
}

} // namespace

TestDatabase::TestDatabase(const QString& connectionName)
    : m_db(std::make_unique<Database>(connectionName))
{
    const ServerAddress server = TestDatabase::server();
    if (server.isComplete()) {
        const QString templateName = serverTemplate(server);
        m_serverDatabase = serverDatabaseName(QStringLiteral("test"));
        ServerAddress address = server;
        address.database = m_serverDatabase;
        if (templateName.isEmpty()
            || !administer(
                server, QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_serverDatabase, templateName))
            || !m_db->initializeServer(address))
            qFatal("could not create the test database on the server %s", qPrintable(server.toString()));
        return;
    }
    if (!m_dir.isValid() || !m_db->initialize(filePath()))
        qFatal("could not create the test database in %s", qPrintable(m_dir.path()));
}

TestDatabase::~TestDatabase()
{
    m_db.reset();
    if (onServer())
        administer(server(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_serverDatabase));
}

ServerAddress TestDatabase::server()
{
    // The server the test run started writes where it listens to a file, a line per word.
    QString words = qEnvironmentVariable("DARVELINTO_TEST_SERVER");
    const QString started = qEnvironmentVariable("DARVELINTO_TEST_PG_ENV");
    QFile file(started);
    if (words.isEmpty() && !started.isEmpty() && file.open(QIODevice::ReadOnly)) {
        words = QStringLiteral("dbname=postgres");
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("host=") || line.startsWith("port=") || line.startsWith("user="))
                words += QLatin1Char(' ') + QString::fromUtf8(line.trimmed());
        }
    }
    return ServerAddress::parse(words);
}

ServerAddress TestDatabase::serverAddress() const
{
    if (!onServer())
        return {};
    ServerAddress address = server();
    address.database = m_serverDatabase;
    return address;
}

int TestDatabase::count(const QString& tableOrSql, const QVariantList& params) const
{
    const bool bareTable = !tableOrSql.contains(QLatin1Char(' '));
    const QString sql = bareTable
        ? QStringLiteral("SELECT COUNT(*) FROM ") + tableOrSql
        : QStringLiteral("SELECT COUNT(*) FROM (") + tableOrSql + QStringLiteral(") AS counted");
    return m_db->scalar(sql, params).toInt();
}

QVariant TestDatabase::value(const QString& sql, const QVariantList& params) const
{
    return m_db->scalar(sql, params);
}

void pinTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
