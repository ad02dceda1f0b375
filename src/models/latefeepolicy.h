#pragma once

#include <QString>
#include <QVariantMap>

class Database;

/**
 * The office's rule for late fees, kept in the settings rows: how many days after its due date an
 * invoice may stay open before a fee is charged (the grace period), and the fee itself, a fixed
 * amount or a percentage of the overdue balance with an optional cap. The fee is charged in the
 * overdue invoice's currency. A fee of 0 means the office charges none.
 */
class LateFeePolicy
{
public:
    enum class Kind { Fixed, Percent };

    int graceDays = 0;
    Kind kind = Kind::Fixed;
    /** The fixed fee, in hundredths. */
    qint64 fixedCents = 0;
    /** The percentage of the overdue balance, 0 to 100. */
    double percent = 0;
    /** The largest fee a percentage may come to, in hundredths; 0 for no cap. */
    qint64 capCents = 0;

    /** The rule as stored; the defaults (no fee) when the office has set none. */
    static LateFeePolicy read(Database* db);
    /**
     * Stores a rule, all or nothing. Refused (false, nothing written) when the grace period is not
     * 0 to 365 days, the kind is neither "fixed" nor "percent", an amount is negative, not finite
     * or above the largest amount, or the percentage is outside 0 to 100.
     */
    [[nodiscard]] static bool store(
        Database* db, int graceDays, const QString& kind, double fixed, double percent, double cap);

    /** Whether a fee would ever be charged. */
    [[nodiscard]] bool chargesFees() const;
    /** The fee on an overdue balance of `balanceCents`, in hundredths (0: none). */
    [[nodiscard]] qint64 feeCents(qint64 balanceCents) const;
    /** The rule as the settings page shows it: grace_days, kind, fixed, percent, cap. */
    [[nodiscard]] QVariantMap toMap() const;
};
