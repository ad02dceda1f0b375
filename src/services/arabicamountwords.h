#pragma once

#include <QString>
#include <QtGlobal>

/**
 * An amount of money written out in Arabic words, as a receipt or a cheque states it: "ألف ومئتان
 * وخمسون شيكلاً وخمس وعشرون أغورة". Knows the program's currencies (the shekel with its agora, the
 * dollar with its cent, the Jordanian dinar with its fils, a thousand to the dinar) and follows the
 * grammar of the counted noun: one and two after it ("شيكل واحد", "شيكلان"), three to ten with it in
 * the plural ("ثلاثة شواقل", the number taking the opposite gender), eleven to ninety-nine with it
 * singular and accusative ("أحد عشر شيكلاً"), round hundreds, thousands and millions with it singular
 * ("مئة شيكل"), the duals of hundreds, thousands and millions ("مئتان", "ألفا شيكل") and their plurals
 * ("ثلاثة آلاف", "ملايين"), every part joined by "و". A number that ends in one or two after a larger
 * part keeps the noun singular, as cheques write it ("مئة وواحد شيكل").
 */
class ArabicAmountWords
{
public:
    /** Up to 999,999,999.99. */
    static constexpr qint64 kMaxCents = 99999999999;

    /**
     * `cents` hundredths of the currency with ISO code `currencyCode` in words; empty text for an
     * amount below 0.01 or above kMaxCents. A currency the class does not know is written with
     * `currencyName` after the number and its hundredths as a fraction.
     */
    static QString fromCents(
        qint64 cents, const QString& currencyCode, const QString& currencyName = QString());

    /** A whole number from 1 to 999,999,999 in words, the form used before a masculine noun. */
    static QString number(qint64 value);
};
