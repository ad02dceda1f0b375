#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class Database;

/**
 * Adds tenants, buyers or units from text pasted into the import dialog: one record per line,
 * fields separated by commas (Latin "," or Arabic "،"), or by tabs when the cells were copied from
 * a spreadsheet.
 */
class ImportController : public QObject
{
    Q_OBJECT
public:
    explicit ImportController(Database* db, QObject* parent = nullptr);

    /**
     * Imports rawText into targetTable ("tenants", "buyers", "units" or "readings") in one transaction and
     * says what it did. A line the rules refuse (too few fields, a missing name or unit number, an identity
     * or unit number already taken, an unknown property, a number that cannot be read) is left out and named
     * with its reason; the other lines are written. When the database fails to store a line, nothing at all
     * is written. Imported units get their cost centre. A meter reading line (property id, unit number,
     * service name, period "yyyy-MM", reading, and "1" or "نعم" when the meter was changed) passes the rules
     * of the readings page; an unusually high use, which asks for confirmation there, is refused here.
     *
     * The report: `written` (lines written), `refused` (one map per refused line: `line`, its
     * number in the pasted text from 1, and `reason`, in Arabic), `failed` (true when nothing could
     * be written for a reason other than the lines: empty text, unknown table, the database) and
     * `message` (one Arabic sentence for the user).
     */
    Q_INVOKABLE QVariantMap importRawCSV(const QString& rawText, const QString& targetTable);

    /**
     * The trimmed fields of one pasted line: split at tabs only when it holds one (a comma inside a
     * spreadsheet cell is text), otherwise at every "," and "،".
     */
    static QStringList splitLine(const QString& line);

private:
    enum class Outcome { Written, Refused, Failed };

    Outcome insertParty(const QString& table, const QStringList& fields, QString* reason);
    Outcome insertUnit(const QStringList& fields, QString* reason);
    Outcome insertReading(const QStringList& fields, QString* reason);
    /** 1 when the statement finds a row, 0 when not, -1 when it fails. */
    int exists(const QString& sql, const QVariantList& params);

    Database* m_db;
};
