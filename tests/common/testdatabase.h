#pragma once

#include "database.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

/**
 * A fresh, initialized database in its own temporary folder. Create one per test function
 * (in init()) and drop it in cleanup(): the connection is removed with it.
 *
 * Run with DARVELINTO_TEST_SERVER naming a server (ServerAddress words, database "postgres"), it
 * is a fresh database on that server instead, dropped with it: the same suites then run against
 * the server.
 */
class TestDatabase
{
public:
    /** A connection name of its own lets a second database live beside the program's own. */
    explicit TestDatabase(const QString& connectionName = QLatin1String(Database::kConnectionName));
    ~TestDatabase();

    Database* db() const { return m_db.get(); }
    Database* operator->() const { return m_db.get(); }
    QString dir() const { return m_dir.path(); }
    QString filePath() const { return m_dir.filePath(QStringLiteral("darvelinto.db")); }
    bool onServer() const { return !m_serverDatabase.isEmpty(); }
    /** Where another program finds this database on the server; an empty address on a file. */
    ServerAddress serverAddress() const;

    /** Number of rows a query returns, or of rows in a table when given a bare table name. */
    int count(const QString& tableOrSql, const QVariantList& params = {}) const;
    /** The first column of the first row. */
    QVariant value(const QString& sql, const QVariantList& params = {}) const;

    /** The server the suites run against, when one is named; an empty address otherwise. */
    static ServerAddress server();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    QString m_serverDatabase;
};

/** Pins what varies between machines: test-mode standard paths, UTC, a fixed locale. */
void pinTestEnvironment();
