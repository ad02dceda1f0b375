#include "clock.h"

QDate Clock::s_fixedToday;

QDate Clock::today()
{
    return s_fixedToday.isValid() ? s_fixedToday : QDate::currentDate();
}

QDateTime Clock::now()
{
    if (!s_fixedToday.isValid())
        return QDateTime::currentDateTime();
    return QDateTime(s_fixedToday, QTime::currentTime());
}

QString Clock::todayText()
{
    return today().toString(QStringLiteral("yyyy-MM-dd"));
}

void Clock::setToday(const QDate& date)
{
    s_fixedToday = date;
}
