#include "backgroundreader.h"

#include "database.h"

#include <QAtomicInt>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

Q_LOGGING_CATEGORY(lcBackgroundReader, "darvelinto.reader")

namespace {

QString freshConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("darvelinto-reader-%1").arg(counter.fetchAndAddRelaxed(1));
}

// Everything a connection is made of stays inside this function, on the worker's thread: a Qt
// connection may only be used by the thread that opened it.
bool readOnce(const QString& path, const QString& sql, const QVariantList& params, QVariantList* rows)
{
    const QString name = freshConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            // The same page cache as the program's own connection: the reads this is for walk
            // tens of megabytes.
            query.exec(QStringLiteral("PRAGMA cache_size=-64000"));
            ok = query.prepare(sql);
            for (const QVariant& value : params)
                query.addBindValue(value);
            ok = ok && query.exec();
            while (ok && query.next())
                rows->append(Database::recordToMap(query));
            if (!ok)
                qCWarning(lcBackgroundReader) << "read failed:" << query.lastError().text();
        } else {
            qCWarning(lcBackgroundReader) << "cannot open" << path << ":" << db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

BackgroundReader::BackgroundReader(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
    // One read at a time: they are few and heavy, and the interface keeps the other core.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(30000);
}

BackgroundReader::~BackgroundReader()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void BackgroundReader::read(const QString& sql, const QVariantList& params, Done done)
{
    const QString path = m_db->path();
    m_pool.start([this, path, sql, params, done = std::move(done)] {
        QVariantList rows;
        const bool ok = readOnce(path, sql, params, &rows);
        // Posted to this object: a reader already gone takes the answer with it.
        QMetaObject::invokeMethod(
            this, [done, ok, rows] { done(ok, rows); }, Qt::QueuedConnection);
    });
}
