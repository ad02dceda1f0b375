#pragma once

#include <QObject>
#include <QStringList>

class Database;

/**
 * Adds tenants, buyers or units from text pasted into the import dialog: one record per line,
 * fields separated by commas, or by tabs when the cells were copied from a spreadsheet.
 */
class ImportController : public QObject
{
    Q_OBJECT
public:
    explicit ImportController(Database* db, QObject* parent = nullptr);

    /**
     * Imports every acceptable line of rawText into targetTable ("tenants", "buyers" or "units")
     * in one transaction. Lines that are too short or that the database refuses (a duplicate
     * identity number or unit number, an unknown property) are skipped. True only when at least
     * one row was written.
     */
    Q_INVOKABLE bool importRawCSV(const QString& rawText, const QString& targetTable);

    /** The trimmed fields of one pasted line. */
    static QStringList splitLine(const QString& line);

private:
    bool insertTenant(const QStringList& fields);
    bool insertBuyer(const QStringList& fields);
    bool insertUnit(const QStringList& fields);

    Database* m_db;
};
