#include "reportdaterange.h"

#include <QDate>

namespace {

// Only the stored form is accepted: anything else (a slash date, a time, a stray quote) would be
// compared as text against "yyyy-MM-dd" columns and silently match the wrong rows.
QDate calendarDate(const QString& text)
{
    if (text.size() != 10)
        return {};
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

} // namespace

ReportDateRange::ReportDateRange(const QString& from, const QString& to)
    : m_given(!from.isEmpty() && !to.isEmpty())
{
    if (!m_given)
        return;
    const QDate first = calendarDate(from);
    const QDate last = calendarDate(to);
    m_valid = first.isValid() && last.isValid();
    if (!m_valid)
        return;
    m_first = first.toString(QStringLiteral("yyyy-MM-dd"));
    m_endExclusive = last.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
}
