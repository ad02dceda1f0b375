#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSqlDatabase>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

#include "serveraddress.h"

class QSqlQuery;
struct sqlite3_stmt;

/**
 * Owns the program's single connection: to an SQLite file on this desk, or to an office's database
 * on a PostgreSQL server that several desks share. Every model reaches the data through the four
 * query helpers, which bind positional "?" parameters and return rows as record maps; on a server
 * the few words of SQL only SQLite knows are rewritten on the way (PostgresDialect).
 */
class Database : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* kConnectionName = "qt_sql_default_connection";

    enum class Backend { Sqlite, Postgres };

    explicit Database(QObject* parent = nullptr);
    /** A database beside the program's own (a copy's destination): its connection named apart. */
    explicit Database(const QString& connectionName, QObject* parent = nullptr);
    ~Database() override;

    /**
     * Opens the file, tunes the connection, creates and migrates the schema and seeds a new file.
     * Refuses (false, file untouched) anything that is not a writable SQLite database.
     */
    [[nodiscard]] bool initialize(const QString& path);

    /**
     * Connects to an office's database on a PostgreSQL server, creates what its schema lacks and
     * seeds it when new. Several desks may do so at once. False (and databaseError) when the server
     * cannot be reached or refuses the log-in.
     */
    [[nodiscard]] bool initializeServer(const ServerAddress& address);

    Backend backend() const { return m_backend; }
    bool isServer() const { return m_backend == Backend::Postgres; }

    Q_INVOKABLE QVariantList execQuery(const QString& sql, const QVariantList& params = {});
    Q_INVOKABLE bool execNonQuery(const QString& sql, const QVariantList& params = {});
    Q_INVOKABLE int execInsert(const QString& sql, const QVariantList& params = {});
    /** The row of one of the program's own tables (see isOwnTable); an empty map otherwise. */
    Q_INVOKABLE QVariantMap getById(const QString& table, int id);

    /**
     * Inside a transaction, holds one row of one of the program's own tables for this desk until
     * the transaction ends: another desk on the server that reads it to change it waits, then reads
     * what this one wrote. A file has one writer at a time, so there it holds nothing.
     */
    [[nodiscard]] bool lockRow(const QString& table, int id);

    /**
     * Sees every statement sent to a server, as sent, with its values (the benchmark replays them
     * straight through the server's client library). None by default; not for a file.
     */
    using StatementTrace = std::function<void(const QString& sql, const QVariantList& params)>;
    static void setStatementTrace(StatementTrace trace) { s_trace = std::move(trace); }
    /** Tells the trace of a statement run on this connection without the helpers here. */
    void traceStatement(const QString& sql, const QVariantList& params = {}) const
    {
        if (s_trace && isServer())
            s_trace(sql, params);
    }
    Q_INVOKABLE bool beginTransaction();
    Q_INVOKABLE bool commitTransaction();
    Q_INVOKABLE bool rollbackTransaction();

    /** The first column of the first row, or an invalid variant when there is none. */
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    QSqlDatabase getDb() const { return m_db; }
    QString path() const { return m_path; }
    bool isOpen() const { return m_db.isOpen(); }

    void createTables();
    void migrateSchema();
    void createIndexes();
    void seedDefaultData();
    /** Gives a file that posts to the ledger the accounts of every posting role; false when it could not. */
    bool addPostingAccounts();

    /**
     * The person at the keyboard (set at log-in, cleared at log-out), whose name the documents
     * written meanwhile carry as the clerk's; empty when nobody is logged in.
     */
    void setActingUser(const QString& name) { m_actingUser = name; }
    QString actingUser() const { return m_actingUser; }

    static QVariantMap recordToMap(const QSqlQuery& query);
    /** True for the name, exactly as the schema writes it, of a table of the program with an id. */
    static bool isOwnTable(const QString& name);

signals:
    void databaseError(const QString& error);

private:
    bool prepareAndExec(QSqlQuery& query, const QString& sql, const QVariantList& params);
    /** A value as it is bound: the schema keeps truth values as numbers, and a server will not compare a
     * number with TRUE. */
    QVariant boundValue(const QVariant& value) const;
    bool finishMigration(const QSqlQuery& query, bool done);
    bool markDownPayments();
    bool linkBilledReadings();
    bool numberExistingReceipts();
    bool isUsableSqliteFile();
    void applyConnectionPragmas();
    void close();
    sqlite3_stmt* cachedStatement(const QString& sql, QString* error);
    void releaseStatement(const QString& sql, sqlite3_stmt* statement, bool failed);
    void finalizeStatements();
    bool prepareSchema();
    QString forBackend(const QString& sql);
    void runSchema(QSqlQuery& query, std::initializer_list<const char*> statements);
    void addColumns(QSqlQuery& query, const char* table, std::initializer_list<const char*> columns);
    bool hasColumn(QSqlQuery& query, const QString& table, const QString& column);
    QVariantList queryRows(const QString& sql, const QVariantList& params);

    QSqlDatabase m_db;
    // The list queries, prepared once per connection: a page asks the same few dozen questions
    // again and again, and preparing costs more than answering the small ones.
    QHash<QString, sqlite3_stmt*> m_statements;
    // The statements of the models as the server reads them, rewritten once each.
    QHash<QString, QString> m_serverSql;
    // References between tables, added once every table exists (a server checks them at once).
    QStringList m_pendingKeys;
    Backend m_backend = Backend::Sqlite;
    bool m_serverTransaction = false;
    QMutex m_mutex;
    QString m_path;
    QString m_actingUser;
    QString m_connectionName = QLatin1String(kConnectionName);
    static inline StatementTrace s_trace;
};
