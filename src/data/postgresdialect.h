#pragma once

#include <QString>
#include <QStringList>

/**
 * What the program's SQL becomes on a PostgreSQL server. The models write one SQL, the one SQLite
 * reads; the few words only SQLite knows are rewritten here and nowhere else: the clock
 * (datetime('now'), date('now')), the local day of a stored time (date(x, 'localtime')),
 * GROUP_CONCAT, GLOB, and in the schema the column types, AUTOINCREMENT, columns added again and
 * references to tables created later.
 */
class PostgresDialect
{
public:
    /** The functions the rewritten SQL calls, created (or replaced) when a desk connects. */
    static QStringList functions();

    /** A statement of the models, rewritten; the text unchanged when nothing in it is SQLite's own. */
    static QString statement(const QString& sql);

    /**
     * A schema statement, rewritten. The references its columns make are left out and appended to
     * `foreignKeys` as statements of their own, to run once every table exists.
     */
    static QString schema(const QString& sql, QStringList* foreignKeys);

    /** A GLOB pattern as an anchored regular expression ('*' any run, '?' one character, [...] kept). */
    static QString globToRegex(const QString& glob);
};
