#pragma once

#include <QString>
#include <QVariant>

/**
 * Looks into a database file other than the program's own connection (a backup, a restored file
 * after reopening) through a private, read-only connection that is closed again at once.
 */
namespace SqliteFiles {

/** First column of the first row, or an invalid variant when the file or statement fails. */
QVariant value(const QString& path, const QString& sql);

/** Writes a small SQLite file with one table of its own: a database, but not this program's. */
bool writeForeignDatabase(const QString& path);

/** Replaces a file's content. */
bool writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

} // namespace SqliteFiles
