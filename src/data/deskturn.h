#pragma once

#include <QtGlobal>

class Database;

/**
 * Desks sharing a server take turns at a run that decides from what is already written what to
 * write (the month's rent, the late fees, the usage billing): while one desk holds the turn, a
 * second desk starting the same run waits, then finds the work done and does not do it twice.
 * The turn ends with the object. A file has one writer at a time: there it holds nothing.
 */
class DeskTurn
{
public:
    enum Run : qint64 { RentRun = 7270121, LateFeeRun = 7270122, UsageRun = 7270123 };

    DeskTurn(Database* db, Run run);
    ~DeskTurn();
    DeskTurn(const DeskTurn&) = delete;
    DeskTurn& operator=(const DeskTurn&) = delete;

    /** False when the server could not give the turn: the run must not start. */
    [[nodiscard]] bool isHeld() const { return m_held; }

private:
    Database* m_db;
    Run m_run;
    bool m_held = false;
    bool m_onServer = false;
};
