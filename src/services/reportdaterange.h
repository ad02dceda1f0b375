#pragma once

#include <QString>

/**
 * The "from"/"to" pair the report pages send. A range applies only when both bounds are given;
 * one bound alone means the whole history. A given range covers whole calendar days: its end is
 * turned into the first day after it, so a row stamped late on the last day (an invoice's
 * creation time) still falls inside while the comparison stays a plain index-friendly
 * `col >= ? AND col < ?` on the stored text.
 */
class ReportDateRange
{
public:
    ReportDateRange(const QString& from, const QString& to);

    /** Both bounds were given, so the report is limited to them. */
    bool isGiven() const { return m_given; }
    /** False when a given bound is not a calendar date "yyyy-MM-dd": the report is refused. */
    bool isValid() const { return m_valid; }

    /** First day inside the range, "yyyy-MM-dd". */
    QString first() const { return m_first; }
    /** First day after the range, "yyyy-MM-dd". */
    QString endExclusive() const { return m_endExclusive; }

private:
    bool m_given = false;
    bool m_valid = true;
    QString m_first;
    QString m_endExclusive;
};
