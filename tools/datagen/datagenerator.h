#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

class Database;

/**
 * How big an office to make. `demo` is pleasant to look at; `large` is the office the speed and
 * memory targets are set for; tests use smaller ones of their own.
 */
struct OfficeProfile
{
    QString name;
    int rentalProperties = 0;
    int saleProjects = 0;
    int floors = 0;
    int unitsPerFloor = 0;
    int months = 0; // of history, the current month included
    int occupiedUnits = 0; // contracts kept running, about the active contracts at the end
    int sales = 0; // one buyer each; cash sales included
    int contractors = 0;
    int maintenancePerMonth = 0;
    int expensesPerMonth = 0;
    int serviceChargesPerMonth = 0; // properties charged a building service in a month
    int manualChequesPerMonth = 0;

    static OfficeProfile demo();
    static OfficeProfile large();
    /** "demo" or "large"; an empty profile (no name) for anything else. */
    static OfficeProfile named(const QString& name);
};

/**
 * Fills a fresh database with the history of a real-estate office, written only through the
 * program's own models and controllers, as its users would have written it day by day: the rent
 * run on the first of each month, payments as tenants pay, sales with their schedules, collections,
 * cheques, maintenance, expenses and the ledger. The same profile, seed and end date give the
 * same file.
 *
 * The meter readings (`usage_records`) are inserted by the generator itself, with bound values, a
 * month's readings of every let metered unit before its rent run, as the readers' sheet would be
 * pasted in; the readings page checks each one typed, which would only slow the history down.
 */
class DataGenerator
{
public:
    struct Options
    {
        OfficeProfile profile;
        QDate today; // the last day of the history; the data's "now"
        quint32 seed = 20240611;
        std::function<void(const QString&)> progress; // optional
    };

    explicit DataGenerator(Database* db);
    ~DataGenerator();
    DataGenerator(const DataGenerator&) = delete;
    DataGenerator& operator=(const DataGenerator&) = delete;

    /** Writes the office into the database, which must be initialized and hold only the default data. */
    [[nodiscard]] bool generate(const Options& options);
    /** Why generate() failed. */
    QString errorString() const;

private:
    class Office;
    Database* m_db;
    QString m_error;
};
