#include "arabicamountwords.h"

#include <QStringList>

namespace {

/** The forms of a counted noun. */
struct Noun
{
    QString singular; // after one, round hundreds and thousands: "شيكل"
    QString dual; // two, standing alone: "شيكلان"
    QString dualConstruct; // two, followed by what it counts: "ألفا شيكل"
    QString plural; // three to ten: "شواقل"
    QString accusative; // eleven to ninety-nine: "شيكلاً"
    bool feminine = false;
};

struct Currency
{
    Noun main;
    Noun fraction;
    int fractionPerCent = 1; // fils to a hundredth of a dinar: 10
};

const Noun kThousand { QStringLiteral("ألف"), QStringLiteral("ألفان"), QStringLiteral("ألفا"),
    QStringLiteral("آلاف"), QStringLiteral("ألفاً"), false };
const Noun kMillion { QStringLiteral("مليون"), QStringLiteral("مليونان"), QStringLiteral("مليونا"),
    QStringLiteral("ملايين"), QStringLiteral("مليوناً"), false };

bool currencyOf(const QString& code, Currency* currency)
{
    const QString upper = code.trimmed().toUpper();
    if (upper == QLatin1String("ILS")) {
        *currency = { { QStringLiteral("شيكل"), QStringLiteral("شيكلان"), QStringLiteral("شيكلا"),
                          QStringLiteral("شواقل"), QStringLiteral("شيكلاً"), false },
            { QStringLiteral("أغورة"), QStringLiteral("أغورتان"), QStringLiteral("أغورتا"),
                QStringLiteral("أغورات"), QStringLiteral("أغورة"), true },
            1 };
        return true;
    }
    if (upper == QLatin1String("USD")) {
        *currency = { { QStringLiteral("دولار"), QStringLiteral("دولاران"), QStringLiteral("دولارا"),
                          QStringLiteral("دولارات"), QStringLiteral("دولاراً"), false },
            { QStringLiteral("سنت"), QStringLiteral("سنتان"), QStringLiteral("سنتا"), QStringLiteral("سنتات"),
                QStringLiteral("سنتاً"), false },
            1 };
        return true;
    }
    if (upper == QLatin1String("JOD")) {
        *currency = { { QStringLiteral("دينار"), QStringLiteral("ديناران"), QStringLiteral("دينارا"),
                          QStringLiteral("دنانير"), QStringLiteral("ديناراً"), false },
            { QStringLiteral("فلس"), QStringLiteral("فلسان"), QStringLiteral("فلسا"), QStringLiteral("فلوس"),
                QStringLiteral("فلساً"), false },
            10 };
        return true;
    }
    return false;
}

const QString kAnd = QStringLiteral(" و");

/**
 * One to ten in the form that counts a noun of the given gender: a masculine noun takes the
 * feminine form from three on ("ثلاثة شواقل"), a feminine one the masculine ("ثلاث أغورات").
 */
QString unit(int n, bool feminineNoun)
{
    static const QStringList forMasculine = { QString(), QStringLiteral("واحد"), QStringLiteral("اثنان"),
        QStringLiteral("ثلاثة"), QStringLiteral("أربعة"), QStringLiteral("خمسة"), QStringLiteral("ستة"),
        QStringLiteral("سبعة"), QStringLiteral("ثمانية"), QStringLiteral("تسعة"), QStringLiteral("عشرة") };
    static const QStringList forFeminine = { QString(), QStringLiteral("واحدة"), QStringLiteral("اثنتان"),
        QStringLiteral("ثلاث"), QStringLiteral("أربع"), QStringLiteral("خمس"), QStringLiteral("ست"),
        QStringLiteral("سبع"), QStringLiteral("ثماني"), QStringLiteral("تسع"), QStringLiteral("عشر") };
    return (feminineNoun ? forFeminine : forMasculine).at(n);
}

/** 1 to 99. */
QString belowHundred(int n, bool feminineNoun)
{
    if (n <= 10)
        return unit(n, feminineNoun);
    if (n == 11)
        return feminineNoun ? QStringLiteral("إحدى عشرة") : QStringLiteral("أحد عشر");
    if (n == 12)
        return feminineNoun ? QStringLiteral("اثنتا عشرة") : QStringLiteral("اثنا عشر");
    if (n < 20)
        return unit(n - 10, feminineNoun) + (feminineNoun ? QStringLiteral(" عشرة") : QStringLiteral(" عشر"));
    static const QStringList tens = { QString(), QString(), QStringLiteral("عشرون"), QStringLiteral("ثلاثون"),
        QStringLiteral("أربعون"), QStringLiteral("خمسون"), QStringLiteral("ستون"), QStringLiteral("سبعون"),
        QStringLiteral("ثمانون"), QStringLiteral("تسعون") };
    const int ones = n % 10;
    if (ones == 0)
        return tens.at(n / 10);
    const QString one = ones == 1 ? (feminineNoun ? QStringLiteral("إحدى") : QStringLiteral("واحد"))
                                  : unit(ones, feminineNoun);
    return one + kAnd + tens.at(n / 10);
}

/**
 * 1 to 999. `followedByNoun`: the noun it counts comes right after, so two hundred is in the
 * construct form ("مئتا شيكل") rather than standing alone ("مئتان").
 */
QString belowThousand(int n, bool feminineNoun, bool followedByNoun)
{
    static const QStringList hundreds
        = { QString(), QStringLiteral("مئة"), QString(), QStringLiteral("ثلاثمئة"), QStringLiteral("أربعمئة"),
              QStringLiteral("خمسمئة"), QStringLiteral("ستمئة"), QStringLiteral("سبعمئة"),
              QStringLiteral("ثمانمئة"), QStringLiteral("تسعمئة") };
    const int h = n / 100;
    const int rest = n % 100;
    QStringList parts;
    if (h == 2)
        parts << (rest == 0 && followedByNoun ? QStringLiteral("مئتا") : QStringLiteral("مئتان"));
    else if (h > 0)
        parts << hundreds.at(h);
    if (rest > 0)
        parts << belowHundred(rest, feminineNoun);
    return parts.join(kAnd);
}

/** The noun after a count of three or more: plural, accusative or genitive singular. */
QString nounAfter(qint64 count, const Noun& noun)
{
    const int lastTwo = static_cast<int>(count % 100);
    if (lastTwo >= 3 && lastTwo <= 10)
        return noun.plural;
    if (lastTwo >= 11)
        return noun.accusative;
    return noun.singular;
}

/**
 * `count` (1 to 999) of a noun, the way a number larger than it names its thousands or millions:
 * "ألف", "ألفان" / "ألفا", "ثلاثة آلاف", "أحد عشر ألفاً", "مئتا ألف".
 */
QString scaled(int count, const Noun& noun, bool followedByNoun)
{
    if (count == 1)
        return noun.singular;
    if (count == 2)
        return followedByNoun ? noun.dualConstruct : noun.dual;
    // Right before what it counts, the noun is in the construct state and drops its tanween:
    // "أحد عشر ألف شيكل", but "أحد عشر ألفاً وخمسمئة شيكل".
    const QString after = nounAfter(count, noun);
    return belowThousand(count, noun.feminine, count % 100 == 0) + QLatin1Char(' ')
        + (followedByNoun && after == noun.accusative ? noun.singular : after);
}

/** `count` (1 to 999,999,999) of a noun, number and noun together. */
QString counted(qint64 count, const Noun& noun)
{
    if (count == 1)
        return noun.singular + QLatin1Char(' ')
            + (noun.feminine ? QStringLiteral("واحدة") : QStringLiteral("واحد"));
    if (count == 2)
        return noun.dual;
    const int millions = static_cast<int>(count / 1000000);
    const int thousands = static_cast<int>(count / 1000 % 1000);
    const int rest = static_cast<int>(count % 1000);
    QStringList parts;
    if (millions > 0)
        parts << scaled(millions, kMillion, thousands == 0 && rest == 0);
    if (thousands > 0)
        parts << scaled(thousands, kThousand, rest == 0);
    if (rest > 0)
        parts << belowThousand(rest, noun.feminine, true);
    return parts.join(kAnd) + QLatin1Char(' ') + nounAfter(count, noun);
}

} // namespace

QString ArabicAmountWords::number(qint64 value)
{
    if (value < 1 || value > kMaxCents / 100)
        return QString();
    static const Noun none {};
    // The noun is left out: the count with an empty noun, trimmed.
    const QString words = counted(value, none);
    if (value == 1)
        return QStringLiteral("واحد");
    if (value == 2)
        return QStringLiteral("اثنان");
    return words.trimmed();
}

QString ArabicAmountWords::fromCents(qint64 cents, const QString& currencyCode, const QString& currencyName)
{
    if (cents < 1 || cents > kMaxCents)
        return QString();
    const qint64 whole = cents / 100;
    const int hundredths = static_cast<int>(cents % 100);
    Currency currency;
    if (!currencyOf(currencyCode, &currency)) {
        // A currency added by the office: the number in words, its name, the hundredths in figures.
        QString text = whole > 0 ? number(whole) + QLatin1Char(' ') + currencyName.trimmed() : QString();
        if (hundredths > 0)
            text += (text.isEmpty() ? QString() : kAnd)
                + QStringLiteral("%1/100").arg(hundredths, 2, 10, QLatin1Char('0'));
        return text.trimmed();
    }
    QStringList parts;
    if (whole > 0)
        parts << counted(whole, currency.main);
    if (hundredths > 0)
        parts << counted(qint64(hundredths) * currency.fractionPerCent, currency.fraction);
    return parts.join(kAnd);
}
