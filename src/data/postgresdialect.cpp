#include "postgresdialect.h"

#include <QRegularExpression>

QStringList PostgresDialect::functions()
{
    // Times are stored as SQLite writes them: UTC, "yyyy-MM-dd HH:mm:ss" text.
    return {
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION darvelinto_now() RETURNS text LANGUAGE sql STABLE AS
            $$ SELECT to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS') $$)"),
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION darvelinto_today() RETURNS text LANGUAGE sql STABLE AS
            $$ SELECT to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD') $$)"),
        // The day at the desk (the session's time zone) of a stored UTC time; null for text that
        // is not a time, as SQLite gives.
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION darvelinto_local_day(stamp text) RETURNS text
            LANGUAGE plpgsql STABLE AS $$
            BEGIN
                RETURN to_char(stamp::timestamp AT TIME ZONE 'UTC', 'YYYY-MM-DD');
            EXCEPTION WHEN others THEN
                RETURN NULL;
            END $$)"),
        // SQLite's JSON reading of settings kept as JSON text: "$.a.b" and "$.rates.\"3\"" paths.
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION json_valid(document text) RETURNS integer
            LANGUAGE plpgsql IMMUTABLE AS $$
            BEGIN
                PERFORM document::json;
                RETURN 1;
            EXCEPTION WHEN others THEN
                RETURN 0;
            END $$)"),
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION json_extract(document text, path text) RETURNS text
            LANGUAGE sql IMMUTABLE AS
            $$ SELECT document::json #>> string_to_array(replace(substr(path, 3), '"', ''), '.') $$)"),
        // SQLite rounds a double to n places half away from zero; the server's round() takes
        // only numeric for that.
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION round(value double precision, places integer)
            RETURNS double precision LANGUAGE sql IMMUTABLE AS
            $$ SELECT round(value::numeric, places)::double precision $$)"),
    };
}

namespace {

struct Rewrite
{
    QRegularExpression pattern;
    QString replacement;
};

const QList<Rewrite>& statementRewrites()
{
    static const QList<Rewrite> rewrites = {
        { QRegularExpression(QStringLiteral(R"(datetime\('now'\))")), QStringLiteral("darvelinto_now()") },
        { QRegularExpression(QStringLiteral(R"(\bdate\('now'\))")), QStringLiteral("darvelinto_today()") },
        // One level of parentheses inside: date(COALESCE(voided_at, created_at), 'localtime').
        { QRegularExpression(QStringLiteral(R"(\bdate\(((?:[^()]|\([^()]*\))*), 'localtime'\))")),
            QStringLiteral(R"(darvelinto_local_day(\1))") },
        // "AND +status=..." and "ORDER BY +date" keep SQLite off an index; the server has no unary
        // plus for text.
        { QRegularExpression(QStringLiteral(R"(\b(AND|WHERE|OR|ON|BY)\s+\+(?=[A-Za-z_]))")),
            QStringLiteral(R"(\1 )") },
        { QRegularExpression(QStringLiteral(R"(,\s*\+(?=[A-Za-z_]))")), QStringLiteral(", ") },
        // SQLite's LIKE ignores case (an office types "inv-7" for INV-7); the server's ILIKE does.
        { QRegularExpression(QStringLiteral(R"(\bLIKE\b)")), QStringLiteral("ILIKE") },
        // Nor does SQLite's LIKE take a backslash for an escape unless told to; the server's does.
        { QRegularExpression(QStringLiteral(R"(\bILIKE (\?|'[^']*')(?!\s*ESCAPE))")),
            QStringLiteral(R"(ILIKE \1 ESCAPE '')") },
        // SQLite's CROSS JOIN fixes the order of the loops and may carry an ON; the server's may not.
        { QRegularExpression(QStringLiteral(R"(\bCROSS JOIN\b(?=[^()]*?\bON\b))")), QStringLiteral("JOIN") },
        // "x IS NOT y" compares with NULL taken as a value; the server says it in words.
        { QRegularExpression(QStringLiteral(R"(\bIS NOT (?!NULL\b|DISTINCT\b|TRUE\b|FALSE\b))"),
              QRegularExpression::CaseInsensitiveOption),
            QStringLiteral("IS DISTINCT FROM ") },
        { QRegularExpression(QStringLiteral(R"(\bIS (?!NOT\b|NULL\b|DISTINCT\b|TRUE\b|FALSE\b))"),
              QRegularExpression::CaseInsensitiveOption),
            QStringLiteral("IS NOT DISTINCT FROM ") },
        { QRegularExpression(
              QStringLiteral(R"(\bGROUP_CONCAT\(([^()]*)\))"), QRegularExpression::CaseInsensitiveOption),
            QStringLiteral(R"(string_agg((\1)::text, ','))") },
    };
    return rewrites;
}

QString applyRewrites(QString sql)
{
    for (const Rewrite& rewrite : statementRewrites())
        sql.replace(rewrite.pattern, rewrite.replacement);
    static const QRegularExpression glob(QStringLiteral(R"(\bGLOB '([^']*)')"));
    for (QRegularExpressionMatch match = glob.match(sql); match.hasMatch(); match = glob.match(sql)) {
        sql.replace(match.capturedStart(), match.capturedLength(),
            QStringLiteral("~ '%1'").arg(PostgresDialect::globToRegex(match.captured(1))));
    }
    return sql;
}

} // namespace

QString PostgresDialect::statement(const QString& sql)
{
    return applyRewrites(sql);
}

QString PostgresDialect::schema(const QString& sql, QStringList* foreignKeys)
{
    QString text = applyRewrites(sql);
    static const QRegularExpression table(
        QStringLiteral(R"(^\s*(?:CREATE TABLE IF NOT EXISTS|ALTER TABLE)\s+(\w+))"));
    const QString tableName = table.match(text).captured(1);
    // A column and the table it refers to; the reference is added once every table exists.
    static const QRegularExpression reference(
        QStringLiteral(R"((\w+) (INTEGER|TEXT)([^,\n]*?) REFERENCES (\w+)\((\w+)\))"));
    for (QRegularExpressionMatch match = reference.match(text); match.hasMatch();
         match = reference.match(text)) {
        if (foreignKeys && !tableName.isEmpty()) {
            const QString column = match.captured(1);
            foreignKeys->append(QStringLiteral(
                "DO $$ BEGIN ALTER TABLE %1 ADD CONSTRAINT %1_%2_fkey FOREIGN KEY (%2) REFERENCES %3(%4); "
                "EXCEPTION WHEN duplicate_object THEN NULL; END $$")
                                    .arg(tableName, column, match.captured(4), match.captured(5)));
        }
        text.replace(match.capturedStart(), match.capturedLength(),
            match.captured(1) + QLatin1Char(' ') + match.captured(2) + match.captured(3));
    }
    static const QList<Rewrite> types = {
        { QRegularExpression(QStringLiteral(R"(\bINTEGER PRIMARY KEY AUTOINCREMENT\b)")),
            QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY") },
        { QRegularExpression(QStringLiteral(R"(\bINTEGER\b)")), QStringLiteral("BIGINT") },
        { QRegularExpression(QStringLiteral(R"(\bREAL\b)")), QStringLiteral("DOUBLE PRECISION") },
        { QRegularExpression(QStringLiteral(R"(\bADD COLUMN\b)")),
            QStringLiteral("ADD COLUMN IF NOT EXISTS") },
    };
    for (const Rewrite& rewrite : types)
        text.replace(rewrite.pattern, rewrite.replacement);
    return text;
}

QString PostgresDialect::globToRegex(const QString& glob)
{
    QString regex = QStringLiteral("^");
    bool inClass = false;
    for (const QChar c : glob) {
        if (inClass) {
            regex += c;
            inClass = c != QLatin1Char(']');
        } else if (c == QLatin1Char('*')) {
            regex += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            regex += QLatin1Char('.');
        } else if (c == QLatin1Char('[')) {
            regex += c;
            inClass = true;
        } else if (QStringLiteral(R"(\.^$+(){}|)").contains(c)) {
            regex += QLatin1Char('\\') + c;
        } else {
            regex += c;
        }
    }
    return regex + QLatin1Char('$');
}
