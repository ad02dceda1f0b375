#include "database.h"

#include "ledgeropening.h"
#include "postgresdialect.h"

#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimeZone>
#include <optional>

#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcDatabase, "darvelinto.database")

Database::Database(QObject* parent)
    : QObject(parent)
{ }

Database::Database(const QString& connectionName, QObject* parent)
    : QObject(parent)
    , m_connectionName(connectionName)
{ }

Database::~Database()
{
    close();
}

void Database::close()
{
    finalizeStatements();
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_backend = Backend::Sqlite;
    m_serverSql.clear();
    m_serverTransaction = false;
}

bool Database::initialize(const QString& path)
{
    finalizeStatements();
    m_backend = Backend::Sqlite;
    m_path = path;
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(path);
    if (!m_db.open()) {
        emit databaseError(m_db.lastError().text());
        return false;
    }
    // SQLite opens lazily: a foreign or read-only file only shows itself on the first statement.
    // Refuse it here, before any pragma or schema statement could write to it.
    if (!isUsableSqliteFile()) {
        close();
        return false;
    }
    applyConnectionPragmas();
    prepareSchema();
    return true;
}

bool Database::initializeServer(const ServerAddress& address)
{
    finalizeStatements();
    m_path = address.toString();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    if (!m_db.isValid()) {
        emit databaseError(QStringLiteral("The PostgreSQL driver of Qt (QPSQL) is not installed"));
        close();
        return false;
    }
    m_backend = Backend::Postgres;
    address.applyTo(m_db);
    if (!m_db.open()) {
        emit databaseError(m_db.lastError().text());
        close();
        return false;
    }
    QSqlQuery session(m_db);
    session.exec(QStringLiteral("SET client_min_messages TO warning"));
    // Stored times are UTC; the day a clerk sees is the one at the desk.
    session.prepare(QStringLiteral("SELECT set_config('TimeZone', ?, false)"));
    session.addBindValue(QString::fromUtf8(QTimeZone::systemTimeZoneId()));
    session.exec();
    if (!prepareSchema()) {
        close();
        return false;
    }
    return true;
}

/*
 * Creates what the schema lacks, migrates, seeds and opens the books. On a server several desks
 * may start at once: they take turns, so that no two create one table or seed the office twice.
 */
bool Database::prepareSchema()
{
    QSqlQuery turn(m_db);
    constexpr int kSchemaLock = 7270111;
    if (isServer()) {
        if (!turn.exec(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kSchemaLock))) {
            emit databaseError(turn.lastError().text());
            return false;
        }
        QSqlQuery functions(m_db);
        for (const QString& sql : PostgresDialect::functions()) {
            if (!functions.exec(sql)) {
                emit databaseError(functions.lastError().text());
                turn.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kSchemaLock));
                return false;
            }
        }
    }
    createTables();
    QSqlQuery keys(m_db);
    for (const QString& sql : std::as_const(m_pendingKeys)) {
        if (!keys.exec(sql))
            qCWarning(lcDatabase) << "a reference between tables could not be added:"
                                  << keys.lastError().text();
    }
    m_pendingKeys.clear();
    migrateSchema();
    createIndexes();
    seedDefaultData();
    if (!addPostingAccounts())
        qCWarning(lcDatabase) << "the accounts of the posting roles could not be added";
    // The books are opened from the operations once, at the first start of a file. A file that
    // cannot be written now is opened at a later start; meanwhile nothing is posted.
    if (!LedgerOpening(this).openOnFirstStart())
        qCWarning(lcDatabase) << "the books could not be opened; operations post nothing until they are";
    if (isServer())
        turn.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kSchemaLock));
    return true;
}

QString Database::forBackend(const QString& sql)
{
    if (!isServer())
        return sql;
    const auto known = m_serverSql.constFind(sql);
    if (known != m_serverSql.cend())
        return *known;
    const QString rewritten = PostgresDialect::statement(sql);
    m_serverSql.insert(sql, rewritten);
    return rewritten;
}

bool Database::isUsableSqliteFile()
{
    QSqlQuery probe(m_db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        emit databaseError(probe.lastError().text());
        return false;
    }
    probe.finish();
    auto* handle = *static_cast<sqlite3**>(m_db.driver()->handle().data());
    if (handle && sqlite3_db_readonly(handle, "main") == 1) {
        emit databaseError(QStringLiteral("The database file is read-only: %1").arg(m_path));
        return false;
    }
    return true;
}

void Database::applyConnectionPragmas()
{
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    query.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    query.exec(QStringLiteral("PRAGMA cache_size=-64000"));
}

QVariant Database::boundValue(const QVariant& value) const
{
    return isServer() && value.typeId() == QMetaType::Bool ? QVariant(value.toInt()) : value;
}

bool Database::prepareAndExec(QSqlQuery& query, const QString& sql, const QVariantList& params)
{
    query.setForwardOnly(true);
    // A server prepares only queries and row changes: a statement without values runs as it is.
    bool done = false;
    if (s_trace && isServer()) {
        QVariantList sent;
        for (const QVariant& value : params)
            sent << boundValue(value);
        s_trace(forBackend(sql), sent);
    }
    if (isServer() && params.isEmpty()) {
        done = query.exec(forBackend(sql));
    } else {
        // A statement the server could not prepare must not run: its EXECUTE would name nothing.
        done = query.prepare(forBackend(sql));
        for (int i = 0; done && i < params.size(); ++i) {
            query.bindValue(i, boundValue(params.at(i)));
        }
        done = done && query.exec();
    }
    if (!done && isServer())
        qCDebug(lcDatabase).noquote() << "the server refused" << forBackend(sql).simplified() << ":"
                                      << query.lastError().text().simplified();
    return done;
}

QVariantMap Database::recordToMap(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QVariantMap row;
    for (int i = 0; i < record.count(); ++i)
        row.insert(record.fieldName(i), query.value(i));
    return row;
}

namespace {

/** The connection's own SQLite handle, or null when the driver is not SQLite. */
sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// What Qt's SQLite driver binds as NULL: no value, or a null string, byte array, date or time.
bool bindsNull(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    case QMetaType::QDate:
        return value.toDate().isNull();
    case QMetaType::QTime:
        return value.toTime().isNull();
    case QMetaType::QDateTime:
        return value.toDateTime().isNull();
    default:
        return false;
    }
}

// The driver's binding rules, so a statement sees the same values whichever road it takes.
int bindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    if (bindsNull(value))
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(
            statement, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Bool:
    case QMetaType::Int:
        return sqlite3_bind_int(statement, index, value.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    default: {
        QString text;
        if (value.typeId() == QMetaType::QDateTime)
            text = value.toDateTime().toString(Qt::ISODateWithMs);
        else if (value.typeId() == QMetaType::QTime)
            text = value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
        else
            text = value.toString();
        return sqlite3_bind_text16(
            statement, index, text.utf16(), static_cast<int>(text.size()) * 2, SQLITE_TRANSIENT);
    }
    }
}

// The value types the driver gives: 64-bit integers, doubles, strings, and a null string for NULL.
QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)),
            sqlite3_column_bytes(statement, column)));
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                sqlite3_column_bytes(statement, column)));
    }
}

// The field name as the driver reports it: quotes dropped, a "table." prefix cut off.
QString columnName(sqlite3_stmt* statement, int column)
{
    QString name = QString::fromUtf8(sqlite3_column_name(statement, column)).remove(QLatin1Char('"'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.mid(dot + 1);
}

/**
 * Turns rows into record maps. Every row of a statement has the same keys, so the first map is
 * kept as a pattern: each row copies it (no key comparisons) and fills the values in key order,
 * which is the map's own order. Of two columns with one name, the later one is the one filled.
 */
class RowBuilder
{
public:
    explicit RowBuilder(sqlite3_stmt* statement)
    {
        const int columns = sqlite3_column_count(statement);
        QMap<QString, int> lastColumnOf;
        for (int i = 0; i < columns; ++i)
            lastColumnOf.insert(columnName(statement, i), i);
        m_columnsInKeyOrder.reserve(lastColumnOf.size());
        for (auto it = lastColumnOf.cbegin(); it != lastColumnOf.cend(); ++it) {
            m_pattern.insert(it.key(), QVariant());
            m_columnsInKeyOrder.append(it.value());
        }
    }

    QVariantMap row(sqlite3_stmt* statement) const
    {
        QVariantMap row = m_pattern;
        auto slot = row.begin();
        for (const int column : m_columnsInKeyOrder) {
            slot.value() = columnValue(statement, column);
            ++slot;
        }
        return row;
    }

private:
    QVariantMap m_pattern;
    QList<int> m_columnsInKeyOrder;
};

} // namespace

QVariantList Database::execQuery(const QString& sql, const QVariantList& params)
{
    if (isServer())
        return queryRows(sql, params);
    QMutexLocker lock(&m_mutex);
    sqlite3* handle = sqliteHandle(m_db);
    if (!handle) {
        lock.unlock();
        emit databaseError(QStringLiteral("The database is not open"));
        return {};
    }
    // Straight on the connection's SQLite handle: the lists of the pages run through here, and the
    // driver's road copies every value twice before a map sees it.
    QString error;
    sqlite3_stmt* statement = cachedStatement(sql, &error);
    if (statement && sqlite3_bind_parameter_count(statement) != params.size()) {
        error = QStringLiteral("Parameter count mismatch");
    } else {
        for (int i = 0; statement && i < params.size() && error.isEmpty(); ++i) {
            if (bindValue(statement, i + 1, params.at(i)) != SQLITE_OK)
                error = QString::fromUtf8(sqlite3_errmsg(handle))
                    + QStringLiteral(" Unable to bind parameters");
        }
    }
    QVariantList rows;
    if (statement && error.isEmpty()) {
        // The columns are read after the first step: a kept statement is prepared again inside
        // it when the schema changed since (a column added), and may come back with more columns.
        std::optional<RowBuilder> builder;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!builder)
                builder.emplace(statement);
            rows.append(builder->row(statement));
        }
        if (rc != SQLITE_DONE) {
            error = QString::fromUtf8(sqlite3_errmsg(handle)) + QStringLiteral(" Unable to fetch row");
            rows.clear();
        }
    }
    releaseStatement(sql, statement, !error.isEmpty());
    if (!error.isEmpty()) {
        lock.unlock();
        emit databaseError(error);
        return {};
    }
    return rows;
}

sqlite3_stmt* Database::cachedStatement(const QString& sql, QString* error)
{
    sqlite3* handle = sqliteHandle(m_db);
    if (sqlite3_stmt* cached = m_statements.take(sql)) {
        // A statement of a connection since closed and opened again (its open flags changed)
        // would run on the old one: it is prepared afresh on the connection of now.
        if (sqlite3_db_handle(cached) == handle)
            return cached;
        sqlite3_finalize(cached);
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v3(handle, text.constData(), static_cast<int>(text.size()), SQLITE_PREPARE_PERSISTENT,
            &statement, nullptr)
        != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(handle)) + QStringLiteral(" Unable to execute statement");
        sqlite3_finalize(statement);
        return nullptr;
    }
    return statement;
}

void Database::releaseStatement(const QString& sql, sqlite3_stmt* statement, bool failed)
{
    if (!statement)
        return;
    // Reset at once: a statement left mid-way would hold its read open, keeping writers from the
    // log's checkpoint and a restore from the file.
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    // Statements built from typed text (searches) are many and used once: past a few hundred,
    // new ones are not kept.
    constexpr qsizetype kMaxCachedStatements = 256;
    if (failed || m_statements.size() >= kMaxCachedStatements) {
        sqlite3_finalize(statement);
        return;
    }
    m_statements.insert(sql, statement);
}

void Database::finalizeStatements()
{
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
}

bool Database::execNonQuery(const QString& sql, const QVariantList& params)
{
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    if (!prepareAndExec(query, sql, params)) {
        const QString error = query.lastError().text();
        lock.unlock();
        emit databaseError(error);
        return false;
    }
    return true;
}

QVariantList Database::queryRows(const QString& sql, const QVariantList& params)
{
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    if (!prepareAndExec(query, sql, params)) {
        const QString error = query.lastError().text();
        lock.unlock();
        emit databaseError(error);
        return {};
    }
    QVariantList rows;
    while (query.next())
        rows.append(recordToMap(query));
    return rows;
}

int Database::execInsert(const QString& sql, const QVariantList& params)
{
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    // A server tells the new row's id only when asked for it.
    const bool askId = isServer() && !sql.contains(QLatin1String("RETURNING"), Qt::CaseInsensitive);
    if (!prepareAndExec(query, askId ? sql + QStringLiteral(" RETURNING id") : sql, params)) {
        const QString error = query.lastError().text();
        lock.unlock();
        emit databaseError(error);
        return -1;
    }
    if (isServer())
        return query.next() ? query.value(0).toInt() : -1;
    return query.lastInsertId().toInt();
}

QVariantMap Database::getById(const QString& table, int id)
{
    // The name is spliced into the statement (a name cannot be bound), and the pages may call
    // this: anything but one of the program's own tables would be SQL of the caller's choosing.
    if (!isOwnTable(table)) {
        qCWarning(lcDatabase) << "getById refused a table that is not the program's own";
        return {};
    }
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    if (!prepareAndExec(
            query, QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE id=?"), { id }))
        return {};
    if (!query.next())
        return {};
    return recordToMap(query);
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    if (!prepareAndExec(query, sql, params)) {
        const QString error = query.lastError().text();
        lock.unlock();
        emit databaseError(error);
        return {};
    }
    return query.next() ? query.value(0) : QVariant();
}

bool Database::lockRow(const QString& table, int id)
{
    if (!isServer())
        return true;
    if (!isOwnTable(table))
        return false;
    return execNonQuery(
        QStringLiteral("SELECT id FROM ") + table + QStringLiteral(" WHERE id=? FOR UPDATE"), { id });
}

bool Database::beginTransaction()
{
    // SQLite refuses a transaction inside another; a server only warns and goes on, which would
    // let an inner commit end the outer one. Refused alike.
    if (isServer() && m_serverTransaction)
        return false;
    traceStatement(QStringLiteral("BEGIN"));
    const bool begun = m_db.transaction();
    m_serverTransaction = begun && isServer();
    return begun;
}

bool Database::commitTransaction()
{
    traceStatement(QStringLiteral("COMMIT"));
    const bool committed = m_db.commit();
    // A failed commit on a server ends the transaction too (rolled back).
    m_serverTransaction = false;
    return committed;
}

bool Database::rollbackTransaction()
{
    traceStatement(QStringLiteral("ROLLBACK"));
    m_serverTransaction = false;
    return m_db.rollback();
}
