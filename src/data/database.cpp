#include "database.h"

#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcDatabase, "darvelinto.database")

Database::Database(QObject* parent)
    : QObject(parent)
{
}

Database::~Database()
{
    close();
}

void Database::close()
{
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QLatin1String(kConnectionName));
}

bool Database::initialize(const QString& path)
{
    m_path = path;
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnectionName));
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
    createTables();
    migrateSchema();
    createIndexes();
    seedDefaultData();
    return true;
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

bool Database::prepareAndExec(QSqlQuery& query, const QString& sql, const QVariantList& params)
{
    query.setForwardOnly(true);
    query.prepare(sql);
    for (int i = 0; i < params.size(); ++i)
        query.bindValue(i, params.at(i));
    return query.exec();
}

QVariantMap Database::recordToMap(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QVariantMap row;
    for (int i = 0; i < record.count(); ++i)
        row.insert(record.fieldName(i), query.value(i));
    return row;
}

QVariantList Database::execQuery(const QString& sql, const QVariantList& params)
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
    const QSqlRecord record = query.record();
    const int columns = record.count();
    QStringList names;
    names.reserve(columns);
    for (int i = 0; i < columns; ++i)
        names.append(record.fieldName(i));
    while (query.next()) {
        QVariantMap row;
        for (int i = 0; i < columns; ++i)
            row.insert(names.at(i), query.value(i));
        rows.append(row);
    }
    return rows;
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

int Database::execInsert(const QString& sql, const QVariantList& params)
{
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    if (!prepareAndExec(query, sql, params)) {
        const QString error = query.lastError().text();
        lock.unlock();
        emit databaseError(error);
        return -1;
    }
    return query.lastInsertId().toInt();
}

QVariantMap Database::getById(const QString& table, int id)
{
    QMutexLocker lock(&m_mutex);
    QSqlQuery query(m_db);
    if (!prepareAndExec(query, QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE id=?"), { id }))
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

bool Database::beginTransaction()
{
    return m_db.transaction();
}

bool Database::commitTransaction()
{
    return m_db.commit();
}

bool Database::rollbackTransaction()
{
    return m_db.rollback();
}
