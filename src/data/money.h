#pragma once

#include <QString>
#include <QtGlobal>

/**
 * Money is kept in hundredths. Every amount that enters the books goes through here: it is rounded
 * to whole cents (half away from zero) before it is compared, stored or added to a running balance,
 * so a settled invoice or installment leaves exactly 0 and two sums of the same money agree.
 */
class Money
{
public:
    /** Up to here a double holds every hundredth exactly; larger figures are typing errors. */
    static constexpr double kMaxAmount = 1e13;

    /** Finite and no larger than kMaxAmount either way. */
    static bool isAmount(double value);
    /** The amount in whole hundredths; only meaningful for isAmount() values. */
    static qint64 toCents(double value);
    static double fromCents(qint64 cents);
    /** The nearest whole hundredth: 0.105 -> 0.11, 0.1 + 0.2 -> 0.3, -0.004 -> 0. */
    static double roundToCents(double value);
    /** True when two amounts are the same number of hundredths. */
    static bool sameCents(double a, double b);

    /**
     * SQL for `column` moved by a bound number of hundredths (bind toCents() of the change), for
     * running balances updated in place: "balance + ?" would gather binary fractions with every
     * change, this stays a whole number of hundredths. Rounding the stored figure times 100 gives
     * its exact count of hundredths, and dividing by 100.0 the double fromCents() gives.
     */
    static QString movedByCentsSql(const char* column);

    /**
     * An amount as the interface writes it inside a sentence, by the same rules as its formatting
     * module: rounded to the cent, digits grouped, two decimals, isolated left to right so an
     * Arabic line neither reverses it nor moves its minus sign, then the currency symbol when one
     * is given: 1250 and "₪" give "\u2066" "1,250.00" "\u2069 ₪".
     */
    static QString display(double value, const QString& symbol);
};
