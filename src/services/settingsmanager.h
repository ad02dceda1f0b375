#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * Office-wide settings: first-run state, primary currency, colour theme and the company profile
 * printed on documents. Everything lives in the database (the `settings` rows and the primary flag
 * of `currencies`); the class also answers single exchange-rate look-ups and conversions.
 */
class SettingsManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isFirstRun READ isFirstRun NOTIFY settingsChanged)
    Q_PROPERTY(QString primaryCurrency READ primaryCurrency NOTIFY settingsChanged)
    Q_PROPERTY(QString companyName READ companyName NOTIFY settingsChanged)
    Q_PROPERTY(QString companyPhone READ companyPhone NOTIFY settingsChanged)
    Q_PROPERTY(QString companyAddress READ companyAddress NOTIFY settingsChanged)
    Q_PROPERTY(QString companyEmail READ companyEmail NOTIFY settingsChanged)
    Q_PROPERTY(QString themeMode READ themeMode NOTIFY settingsChanged)
    /** Whether every operation posts its journal entry (off: the office keeps its books elsewhere). */
    Q_PROPERTY(bool autoPosting READ autoPosting NOTIFY settingsChanged)

public:
    explicit SettingsManager(Database* db, QObject* parent = nullptr);

    bool isFirstRun() const { return m_firstRun; }
    QString primaryCurrency() const { return m_primaryCurrency; }
    QString themeMode() const { return m_themeMode; }

    // Read from the table at every access, so a profile written by another road shows at once.
    QString companyName() const;
    QString companyPhone() const;
    QString companyAddress() const;
    QString companyEmail() const;

    /**
     * Makes the currency with this code the only primary one. Refuses (false, nothing changed)
     * a code that names no currency, so the office is never left without a primary currency, and
     * another currency once the operations have posted to the books in the present one.
     */
    Q_INVOKABLE bool setPrimaryCurrency(const QString& code);
    /** "light" (any case, blanks ignored) selects the light theme; anything else the dark one. */
    Q_INVOKABLE void setThemeMode(const QString& mode);
    /** Stores the four profile texts as given, all or none. */
    Q_INVOKABLE bool updateCompanyProfile(
        const QString& name, const QString& phone, const QString& addr, const QString& email);
    bool autoPosting() const;
    /**
     * Switches the automatic posting of operations to the ledger. Switching on opens the books (or
     * catches up with what was done while it was off), all or nothing. Returns a map with `ok` and,
     * when refused, `message` (Arabic) and `missing_rates` (the currencies lacking today's rate:
     * `currency_id`, `code`, `name_ar`, `date`).
     */
    Q_INVOKABLE QVariantMap setAutoPosting(bool on);
    /** Ends the first-run state for the running program; the next start derives it again. */
    Q_INVOKABLE void completeSetup();

    Q_INVOKABLE QVariantList getCurrencies() const;
    /** Stores today's rate from one currency to another; the rate must be finite and above 0. */
    Q_INVOKABLE bool updateExchangeRate(int fromId, int toId, double rate);
    /** The latest rate set from one currency to the other; 1.0 for the same currency or no rate. */
    Q_INVOKABLE double getExchangeRate(int fromId, int toId) const;
    Q_INVOKABLE double convertAmount(double amount, int fromCurrencyId, int toCurrencyId) const;

    static QString normalizedThemeMode(const QString& mode);

signals:
    void settingsChanged();

private:
    QString readSetting(const QString& key) const;
    void loadPrimaryCurrency();
    void loadThemeMode();

    Database* m_db;
    bool m_firstRun = true;
    QString m_primaryCurrency;
    QString m_themeMode;
};
