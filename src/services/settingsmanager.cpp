#include "settingsmanager.h"

#include "bookkeeper.h"
#include "currencymodel.h"
#include "database.h"
#include "latefeepolicy.h"
#include "ledgeropening.h"
#include "transactionguard.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSettings, "darvelinto.settings")

namespace {

const QString kThemeKey = QStringLiteral("theme_mode");
const QString kLight = QStringLiteral("light");
const QString kDark = QStringLiteral("dark");

} // namespace

SettingsManager::SettingsManager(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
    loadPrimaryCurrency();
    loadThemeMode();
}

void SettingsManager::loadPrimaryCurrency()
{
    // No primary currency means the office has not finished its first-run setup.
    const QVariant code
        = m_db->scalar(R"(SELECT code FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)");
    m_firstRun = !code.isValid();
    m_primaryCurrency = code.toString();
}

void SettingsManager::loadThemeMode()
{
    m_themeMode = normalizedThemeMode(readSetting(kThemeKey));
}

QString SettingsManager::normalizedThemeMode(const QString& mode)
{
    return mode.trimmed().toLower() == kLight ? kLight : kDark;
}

QString SettingsManager::readSetting(const QString& key) const
{
    return m_db->scalar(R"(SELECT value FROM settings WHERE key=?)", { key }).toString();
}

QString SettingsManager::companyName() const
{
    return readSetting(QStringLiteral("company_name"));
}

QString SettingsManager::companyPhone() const
{
    return readSetting(QStringLiteral("company_phone"));
}

QString SettingsManager::companyAddress() const
{
    return readSetting(QStringLiteral("company_address"));
}

QString SettingsManager::companyEmail() const
{
    return readSetting(QStringLiteral("company_email"));
}

bool SettingsManager::setPrimaryCurrency(const QString& code)
{
    // Checked first: clearing every flag and then matching nothing would leave no primary currency.
    const QVariant stored = m_db->scalar(R"(SELECT code FROM currencies WHERE code=?)", { code });
    if (!stored.isValid()) {
        qCWarning(lcSettings) << "Refusing unknown primary currency:" << code;
        return false;
    }
    // The books are kept in the primary currency: once the operations have posted to them in one,
    // moving it would give every posted figure another meaning.
    const QString current
        = m_db->scalar(R"(SELECT code FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)").toString();
    if (!current.isEmpty() && current != stored.toString()
        && m_db->scalar(QStringLiteral("SELECT 1 FROM journal_entries WHERE reference_type IN ('%1') LIMIT 1")
                            .arg(BookKeeper::postedReferenceTypes().join(QStringLiteral("','"))))
               .isValid()) {
        qCWarning(lcSettings) << "Refusing to move the primary currency of books already posted in"
                              << current;
        return false;
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return false;
    if (!m_db->execNonQuery(R"(UPDATE currencies SET is_primary=0 WHERE is_primary<>0)")
        || !m_db->execNonQuery(R"(UPDATE currencies SET is_primary=1 WHERE code=?)", { code })
        || !transaction.commit()) {
        qCWarning(lcSettings) << "Could not move the primary currency to" << code;
        return false;
    }
    m_primaryCurrency = stored.toString();
    emit settingsChanged();
    return true;
}

void SettingsManager::setThemeMode(const QString& mode)
{
    const QString normalized = normalizedThemeMode(mode);
    if (normalized == m_themeMode)
        return;
    // The window follows the choice even when it could not be stored: only the next start differs.
    if (!m_db->execNonQuery(
            R"(INSERT INTO settings (key, value) VALUES (?, ?) ON CONFLICT (key) DO UPDATE SET value = excluded.value)",
            { kThemeKey, normalized }))
        qCWarning(lcSettings) << "Could not store the theme" << normalized;
    m_themeMode = normalized;
    emit settingsChanged();
}

bool SettingsManager::updateCompanyProfile(
    const QString& name, const QString& phone, const QString& addr, const QString& email)
{
    static const char* const keys[] = { "company_name", "company_phone", "company_address", "company_email" };
    const QString values[] = { name, phone, addr, email };

    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return false;
    for (int i = 0; i < 4; ++i) {
        // A null string would bind SQL NULL; the profile stores empty text instead.
        const QString value = values[i].isNull() ? QStringLiteral("") : values[i];
        if (!m_db->execNonQuery(
                R"(INSERT INTO settings (key, value) VALUES (?, ?) ON CONFLICT (key) DO UPDATE SET value = excluded.value)",
                { QString::fromLatin1(keys[i]), value }))
            return false;
    }
    if (!transaction.commit())
        return false;
    emit settingsChanged();
    return true;
}

bool SettingsManager::autoPosting() const
{
    return readSetting(QStringLiteral("ledger_posting")) == QLatin1String("on");
}

QVariantMap SettingsManager::setAutoPosting(bool on)
{
    if (on == autoPosting())
        return { { QStringLiteral("ok"), true } };
    LedgerOpening opening(m_db);
    if (!on) {
        if (!opening.switchOff())
            return { { QStringLiteral("ok"), false },
                { QStringLiteral("message"), QStringLiteral("تعذر حفظ الإعداد، ولم يتغير شيء") } };
        emit settingsChanged();
        return { { QStringLiteral("ok"), true } };
    }
    const LedgerOpening::Result opened = opening.switchOn();
    if (!opened.ok) {
        qCWarning(lcSettings) << "automatic posting not switched on:" << opened.refusal;
        return { { QStringLiteral("ok"), false },
            { QStringLiteral("message"),
                opened.refusal.isEmpty() ? QStringLiteral("تعذر فتح الدفاتر، ولم يتغير شيء")
                                         : opened.refusal },
            { QStringLiteral("missing_rates"), opened.missingRates } };
    }
    emit settingsChanged();
    return { { QStringLiteral("ok"), true } };
}

void SettingsManager::completeSetup()
{
    m_firstRun = false;
    emit settingsChanged();
}

QVariantList SettingsManager::getCurrencies() const
{
    return m_db->execQuery(R"(SELECT * FROM currencies ORDER BY is_primary DESC, id)");
}

bool SettingsManager::updateExchangeRate(int fromId, int toId, double rate)
{
    return CurrencyModel::storeRate(m_db, fromId, toId, rate);
}

double SettingsManager::getExchangeRate(int fromId, int toId) const
{
    if (fromId == toId)
        return 1.0;
    // Rows that are not a usable rate (older files accepted zero and negative rates) are skipped,
    // so a conversion never turns an amount into 0 or its opposite.
    const QVariant rate = m_db->scalar(R"(
        SELECT rate FROM exchange_rates
        WHERE from_currency_id=? AND to_currency_id=? AND rate > 0
        ORDER BY date DESC LIMIT 1)",
        { fromId, toId });
    return rate.isValid() ? rate.toDouble() : 1.0;
}

double SettingsManager::convertAmount(double amount, int fromCurrencyId, int toCurrencyId) const
{
    return amount * getExchangeRate(fromCurrencyId, toCurrencyId);
}

QVariantMap SettingsManager::lateFeeSettings() const
{
    return LateFeePolicy::read(m_db).toMap();
}

bool SettingsManager::setLateFeeSettings(
    int graceDays, const QString& kind, double fixed, double percent, double cap)
{
    if (!LateFeePolicy::store(m_db, graceDays, kind, fixed, percent, cap))
        return false;
    emit settingsChanged();
    return true;
}
