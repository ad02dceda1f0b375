#pragma once

#include <QDate>
#include <QDateTime>

/**
 * The one place the back end reads the calendar. Business rules that depend on "today" (due
 * dates, overdue lists, expiring contracts, alerts) ask here, so tests can pin a date.
 */
class Clock
{
public:
    static QDate today();
    static QDateTime now();
    /** "yyyy-MM-dd" of today. */
    static QString todayText();

    /** Pins today for tests; an invalid date returns to the system clock. */
    static void setToday(const QDate& date);

private:
    static QDate s_fixedToday;
};
