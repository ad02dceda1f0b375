#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

/**
 * The floor of a measurement: the same SQL the program ran, executed straight through the SQLite C
 * API on a connection of its own, every row stepped and every column read, with no Qt in the way.
 *
 * SqlRecorder catches the statements as the program runs them (SQLite's statement trace, with the
 * bound values written into the text); SqlFloor prepares them once and times their execution.
 */
class SqlRecorder
{
public:
    /** Makes every connection opened from now on report to the recorder (an SQLite auto-extension). */
    static void installOnNewConnections();
    /** Reports the statements of an already open connection too. */
    static void attach(sqlite3* handle);

    static void start();
    /** The statements run since start(), in order. */
    static QStringList stop();
};

class SqlFloor
{
public:
    explicit SqlFloor(const QString& path);
    ~SqlFloor();
    SqlFloor(const SqlFloor&) = delete;
    SqlFloor& operator=(const SqlFloor&) = delete;

    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    /** Prepares the statements; returns how many did not compile (error() tells the last). */
    int prepare(const QStringList& statements);
    /** Runs the prepared statements once, stepping every row and reading every column; milliseconds. */
    double run();
    QString error() const { return m_error; }

private:
    sqlite3* m_db = nullptr;
    std::vector<sqlite3_stmt*> m_statements;
    QString m_error;
    void finalizeAll();
};

/** Milliseconds of a monotonic clock shared by every process of the machine. */
double monotonicMs();
