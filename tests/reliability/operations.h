#pragma once

#include "appbackend.h"
#include "consistency.h"

#include <QRandomGenerator>
#include <QVariantMap>
#include <functional>

class Database;

/**
 * Every write operation of the program, each callable with sound arguments (it must then succeed
 * on a built office), with sound arguments varied at random (the office at work) or with hostile
 * ones, whose refusal the operation's own rules decide. The fuzz run, the disk-fault run and the
 * crash worker all draw from this one catalogue.
 */
namespace Operations {

/** Where an operation's arguments come from, and what the rules say of the ones it drew. */
class Arguments
{
public:
    enum Mode {
        Sound, ///< the values the operation names, the newest fitting row for an id
        Varied, ///< sound values varied: fresh names, other dates, periods and amounts, longer schedules
        Hostile, ///< varied values, from some to all of them replaced by hostile ones (impossible
                 ///< dates, NaN, 1e308, SQL, 100 KB texts, stray ids)
    };
    /**
     * `pinned` replaces sound values by kind: "date", "amount" or "count", or a table name whose
     * value is the condition an id of that table is taken by.
     */
    Arguments(Mode mode, QRandomGenerator* random, Database* db, const QVariantMap& pinned = {});

    QString text(const QString& sound);
    QString date(const QString& sound);
    QString period(const QString& sound);
    double amount(double sound);
    int count(int sound);
    /** One of `choices`; the first is the sound one. */
    QString choice(const QStringList& choices);
    /** Lines of comma or tab separated fields, as pasted into the import. */
    QString pasted(const QString& sound);
    /** A row of `table` that fits the operation (`where`, with `params`), a row that may not, or a stray id.
     */
    int id(const QString& table, const QString& where = QStringLiteral("1"), const QVariantList& params = {});
    /** Never in the sound mode. */
    bool chance(int percent);
    int below(int n) { return int(m_random->bounded(n)); }
    bool isHostile() const { return m_mode == Hostile; }

    /** The rules refuse the call when `rule` holds. */
    void refuseIf(bool rule) { m_mustRefuse = m_mustRefuse || rule; }
    bool mustRefuse() const { return m_mustRefuse; }
    /** Something the call must uphold whether it is accepted or not. */
    void expect(bool holds, const QString& what);
    QStringList broken() const { return m_broken; }
    /** The values drawn, for a failure message. */
    QString drawn() const { return m_drawn.join(QLatin1Char(' ')); }

private:
    /** Whether this argument is a hostile one, at the call's level of hostility. */
    bool spoiled();
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

/** The program on a small office with one of everything, so that every operation finds its rows. */
struct Office
{
    Office(Database* database, const QString& dataDir)
        : db(database)
        , app(database, dataDir)
    { }
    /** Adds the office's records; false when one of them could not be written. */
    bool build();

    Database* db;
    AppBackend app;
};

struct Operation
{
    QString name;
    std::function<bool(Office&, Arguments&)> call;
    /** Rules a legitimate call sets aside for the rest of the file (a unit marked sold without a sale). */
    Consistency::Checks setsAside = {};
    /** Works on files (backup, export, PDF, restore), not through the program's connection. */
    bool onFiles = false;
    /**
     * What the call needs first (a logged-in administrator, a backup to restore). Such calls
     * take sound arguments only: the fuzz run leaves them out.
     */
    std::function<void(Office&)> prepare;
};

/** Every operation, in a fixed order. */
const QList<Operation>& catalogue();
const Operation& find(const QString& name);

/** Dates are "yyyy-MM-dd" with a year from 1 to 9999, periods "yyyy-MM". */
bool isDate(const QString& text);
bool isPeriod(const QString& text);

} // namespace Operations
