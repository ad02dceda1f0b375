#pragma once

#include <QDate>

/**
 * Moves the program's "today" through a simulated history. Besides the program's own Clock, it
 * turns SQLite's 'now' (the created_at and date defaults of the schema) to the same simulated day,
 * so a row written "in March 2023" also carries a March 2023 time stamp and the lists ordered by
 * creation time read as they would in an office that lived through those years.
 *
 * SQLite asks its VFS for the time; install() registers, as the default VFS, a thin wrapper of
 * the system's one whose only change is the clock. It must run before the connection is opened.
 * Each time SQLite asks, the simulated time of day moves on by one second from 09:00 (stopping at
 * 20:00), so rows written one after another keep their order and the file comes out the same on
 * every run.
 */
class SimulatedClock
{
public:
    /** Registers the clock-shifting VFS as the default; false when SQLite has no default VFS. */
    [[nodiscard]] static bool install();
    /** Puts Clock and SQLite's 'now' on `day`, at 09:00 UTC; a later call on the same day keeps the time
     * running. */
    static void setDay(const QDate& day);
    /** Back to the system clock for both. */
    static void release();
};
