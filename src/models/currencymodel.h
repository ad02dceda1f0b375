#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * The currencies of the office and the dated history of exchange rates between them. A rate is
 * directional: one unit of the from-currency is worth `rate` units of the to-currency, and it is
 * never inverted for the opposite direction.
 */
class CurrencyModel : public Refusable
{
    Q_OBJECT
public:
    explicit CurrencyModel(Database* db, QObject* parent = nullptr);

    /** Every currency, the primary one first. */
    Q_INVOKABLE QVariantList getAll() const;
    /** The primary currency, or an empty map when none is marked primary. */
    Q_INVOKABLE QVariantMap getPrimary() const;
    Q_INVOKABLE QString getSymbol(int id) const;
    /** The rates set on the most recent day any rate was set, with the codes and names of both sides. */
    Q_INVOKABLE QVariantList getExchangeRates() const;
    /** Sets today's rate for the pair, replacing one set earlier today; refuses a rate that is not above 0.
     */
    Q_INVOKABLE bool setRate(int fromId, int toId, double rate);
    /**
     * Records the rate of an earlier day that has none, for an operation of that day that needs one
     * (today's rate is set with setRate). Refused: a date that is not "yyyy-MM-dd" or lies after
     * today, a rate that is not above 0, or a day that already has a rate for the pair (entries
     * posted at it keep it).
     */
    Q_INVOKABLE bool setRateOn(int fromId, int toId, double rate, const QString& date);

    /** The one writer of exchange rates, shared with the settings manager. */
    [[nodiscard]] static bool storeRate(Database* db, int fromId, int toId, double rate);

signals:
    void dataChanged();

private:
    Database* m_db;
};
