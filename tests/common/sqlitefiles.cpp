#include "sqlitefiles.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace SqliteFiles {

namespace {

template <typename Work> QVariant withConnection(const QString& path, const QString& options, Work work)
{
    const QString name = QStringLiteral("inspect-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        if (db.open())
            result = work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

QVariant value(const QString& path, const QString& sql)
{
    if (!QFile::exists(path))
        return {};
    return withConnection(path, QStringLiteral("QSQLITE_OPEN_READONLY"), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        return query.exec(sql) && query.next() ? query.value(0) : QVariant();
    });
}

bool writeForeignDatabase(const QString& path)
{
    return withConnection(path, QString(), [](QSqlDatabase& db) {
        QSqlQuery query(db);
        return QVariant(query.exec(QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)"))
            && query.exec(QStringLiteral("INSERT INTO notes (body) VALUES ('shopping list')")));
    }).toBool();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace SqliteFiles
