#pragma once

// The back end whole: the operations below call into all of it, and so do the runs that use them.
#include "accountmodel.h"
#include "appbackend.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "backupmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "consistency.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "database.h"
#include "depositbook.h"
#include "depositmodel.h"
#include "expensemodel.h"
#include "importcontroller.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "meterreadingmodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "recordingdesktop.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QRandomGenerator>
#include <QVariantMap>
#include <functional>

/**
 * Every write operation of the program, each callable with sound arguments (it must then succeed
 * on a built office), with sound ones varied at random (the office at work) or with hostile ones,
 * whose refusal the operation's rules decide. The fuzz, disk-fault and crash runs all draw on it.
 */
namespace Operations {

/** Where an operation's arguments come from, and whether the rules refuse the ones it drew. */
class Arguments
{
public:
    /**
     * Sound: the values the operation names, for an id the newest row that fits. Varied: fresh names,
     * other dates, periods and amounts, longer schedules. Hostile: varied values, from one to all
     * replaced by hostile ones. `pinned` overrides by kind ("date", "amount", "count", "pasted", or
     * a table: the condition its ids fit).
     */
    enum Mode { Sound, Varied, Hostile };
    Arguments(Mode mode, QRandomGenerator* random, Database* db, const QVariantMap& pinned = {});

    // What the rules refuse comes with the kind: a blank name, a date that is not "yyyy-MM-dd" of
    // the years 1 to 9999, a period that is not "yyyy-MM", a charge below a cent or above the
    // largest amount. Text and plain amounts carry no rule of their own.
    QString text(const char* sound = "");
    QString name(const char* sound);
    QString date(const char* sound, bool checked = true);
    QString period(const char* sound);
    double amount(double sound);
    double charge(double sound);
    int count(int sound);
    /** One of `choices`, the first being the sound one; after a "|" come those the rules refuse. */
    QString choice(const char* choices);
    /** Lines of comma or tab separated fields, as pasted into the import. */
    QString pasted(const QString& sound);
    /** A row of `table` that fits (`where`, with `params`); spoiled, any row or a stray id. */
    int id(const char* table, const char* where = "1 = 1", const QVariantList& params = {});
    /** Never in the sound mode. */
    bool chance(int percent) { return m_mode != Sound && below(100) < percent; }
    int below(int n) { return int(m_random->bounded(n)); }
    bool isHostile() const { return m_mode == Hostile; }

    void refuseIf(bool rule) { m_mustRefuse = m_mustRefuse || rule; }
    bool mustRefuse() const { return m_mustRefuse; }
    /** Something the call must uphold whether it is accepted or not. */
    void expect(bool holds, const QString& what);
    QStringList broken() const { return m_broken; }
    /** The values drawn, for a failure message. */
    QString drawn() const { return m_drawn.join(QLatin1Char(' ')); }

private:
    /** Whether this argument is a hostile one, at the call's level of hostility. */
    bool spoiled() { return below(100) < m_hostility; }
    template <typename T> T pick(const QList<T>& list) { return list.at(below(int(list.size()))); }
    QString noted(const QString& value);
    double noted(double value);

    Mode m_mode;
    int m_hostility = 0;
    int m_dayShift = 0;
    QRandomGenerator* m_random;
    Database* m_db;
    QVariantMap m_pinned;
    bool m_mustRefuse = false;
    QStringList m_drawn;
    QStringList m_broken;
};

/** The program with a file (a fresh one unless given), a home folder and a desktop of its own. */
struct Office
{
    explicit Office(Database* database = nullptr, const QString& dataDir = {});
    /** One of everything, for every operation to find its rows, and `lets` more units let for 2025/26. */
    bool build(int lets = 0);

    std::unique_ptr<TestDatabase> file; ///< the fresh file, unless one was given
    Database* db;
    QTemporaryDir home;
    RecordingDesktop desktop;
    std::unique_ptr<AppBackend> app;
};

struct Operation
{
    QString name;
    /** Done when it returns more than 0: an id, a count, or true. */
    std::function<int(Office&, Arguments&)> call;
    /** Rules a legitimate call sets aside for the rest of the file (a unit marked sold without a sale). */
    Consistency::Checks setsAside = {};
    /** Works on files (backup, export, PDF, restore), not through the program's connection. */
    bool onFiles = false;
    /** What the call needs first (an administrator's log-in, a backup): such calls are not fuzzed. */
    std::function<void(Office&)> prepare;
};

/** Every operation, in a fixed order. */
const QList<Operation>& catalogue();
const Operation& find(const QString& name);

} // namespace Operations
