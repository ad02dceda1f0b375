#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class Database;

/** What a copy of an office's books did, table by table. */
struct DatabaseCopyReport
{
    bool copied = false;
    /** Why nothing was copied; empty once copied. */
    QString error;
    /** The tables in the order they were written (a table after those it refers to). */
    QStringList tables;
    QHash<QString, qint64> rows;

    /** One line per table with its rows, then the outcome. */
    QString summary() const;

    /** A copy that did not start, and why. */
    static DatabaseCopyReport refused(const QString& why)
    {
        DatabaseCopyReport report;
        report.error = why;
        return report;
    }
};

/**
 * Copies an office's books whole from one database to another: a file on this desk to a new
 * database on a server, a server's database back to a file (which is how a server's books are
 * backed up), or file to file. The source is read in one snapshot, so the copy is consistent while
 * other desks write; the destination is written in one transaction that is committed only once
 * every table reads back the same as in the source, row for row and figure for figure. A
 * destination that already holds an office's books is refused and left as it was.
 */
class DatabaseCopyManager
{
public:
    [[nodiscard]] static DatabaseCopyReport copy(Database& from, Database& to);
};
