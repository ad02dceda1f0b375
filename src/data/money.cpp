#include "money.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

bool Money::isAmount(double value)
{
    return std::isfinite(value) && std::abs(value) <= kMaxAmount;
}

qint64 Money::toCents(double value)
{
    // The nudge carries figures such as 1.005 (1.00499999... in binary) to the cent a person typed.
    // It grows with the figure, as the binary error does, but stays well below half a hundredth.
    const double hundredths = value * 100.0;
    const double nudge = std::min(0.25, std::max(1e-7, std::abs(hundredths) * 1e-14));
    return static_cast<qint64>(std::round(hundredths + (hundredths < 0 ? -nudge : nudge)));
}

double Money::fromCents(qint64 cents)
{
    // Plain division (not cents * 0.01) gives the double nearest to the decimal figure.
    return static_cast<double>(cents) / 100.0;
}

double Money::roundToCents(double value)
{
    const double rounded = fromCents(toCents(value));
    return rounded == 0.0 ? 0.0 : rounded; // never -0
}

bool Money::sameCents(double a, double b)
{
    return toCents(a) == toCents(b);
}

QString Money::movedByCentsSql(const char* column)
{
    return QStringLiteral("(ROUND(%1*100)+?)/100.0").arg(QLatin1String(column));
}

QString Money::display(double value, const QString& symbol)
{
    // Digits and separators are the same on every computer, as the interface writes them.
    static const QLocale numbers(QLocale::English, QLocale::UnitedStates);
    const double cents = isAmount(value) ? roundToCents(value) : 0.0;
    const QString figure = QChar(0x2066) + numbers.toString(cents, 'f', 2) + QChar(0x2069);
    return symbol.isEmpty() ? figure : figure + QLatin1Char(' ') + symbol;
}
