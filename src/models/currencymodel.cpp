#include "currencymodel.h"

#include "clock.h"
#include "database.h"

#include <QDate>
#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcCurrencies, "darvelinto.currencies")

CurrencyModel::CurrencyModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList CurrencyModel::getAll() const
{
    return m_db->execQuery(R"(SELECT * FROM currencies ORDER BY is_primary DESC, id)");
}

QVariantMap CurrencyModel::getPrimary() const
{
    const QVariantList rows
        = m_db->execQuery(R"(SELECT * FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)");
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

QString CurrencyModel::getSymbol(int id) const
{
    return m_db->scalar(R"(SELECT symbol FROM currencies WHERE id=?)", { id }).toString();
}

QVariantList CurrencyModel::getExchangeRates() const
{
    return m_db->execQuery(R"(
        SELECT er.*, c1.code as from_code, c1.name_ar as from_name, c2.code as to_code, c2.name_ar as to_name
        FROM exchange_rates er
        JOIN currencies c1 ON er.from_currency_id=c1.id
        JOIN currencies c2 ON er.to_currency_id=c2.id
        WHERE er.date=(SELECT MAX(date) FROM exchange_rates)
        ORDER BY er.id)");
}

bool CurrencyModel::setRate(int fromId, int toId, double rate)
{
    clearRefusal();
    if (!std::isfinite(rate) || rate <= 0.0)
        return refuse(QStringLiteral("سعر الصرف يجب أن يكون رقماً أكبر من صفر"));
    if (!storeRate(m_db, fromId, toId, rate))
        return refuseUnsaved();
    emit dataChanged();
    return true;
}

bool CurrencyModel::setRateOn(int fromId, int toId, double rate, const QString& date)
{
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid() || day.year() < 1 || day > Clock::today())
        return false;
    if (day == Clock::today())
        return setRate(fromId, toId, rate);
    if (!std::isfinite(rate) || rate <= 0.0) {
        qCWarning(lcCurrencies) << "Refusing exchange rate" << rate << "from" << fromId << "to" << toId;
        return false;
    }
    // A plain insert: the day's rate, if there is one, stays as the entries of that day used it.
    if (!m_db->execNonQuery(
            R"(INSERT INTO exchange_rates (from_currency_id,to_currency_id,rate,date) VALUES (?,?,?,?))",
            { fromId, toId, rate, date }))
        return false;
    emit dataChanged();
    return true;
}

bool CurrencyModel::storeRate(Database* db, int fromId, int toId, double rate)
{
    // The settings page passes whatever the rate field held; NaN, infinities, zero and negative
    // rates would silently wreck every later conversion.
    if (!std::isfinite(rate) || rate <= 0.0) {
        qCWarning(lcCurrencies) << "Refusing exchange rate" << rate << "from" << fromId << "to" << toId;
        return false;
    }
    // One row per pair and day: setting the pair again today replaces today's row, earlier days
    // stay as history. Unknown currency ids fail on the foreign keys.
    return db->execNonQuery(
        R"(INSERT INTO exchange_rates (from_currency_id,to_currency_id,rate,date) VALUES (?,?,?,?) ON CONFLICT (from_currency_id, to_currency_id, date) DO UPDATE SET rate = excluded.rate)",
        { fromId, toId, rate, Clock::todayText() });
}
