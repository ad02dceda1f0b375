#include "clock.h"
#include "settingsmanager.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

class TestSettingsManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

    Database* db() const { return m_db->db(); }
    QVariant stored(const QString& key) const
    {
        return m_db->value(QStringLiteral("SELECT value FROM settings WHERE key=?"), { key });
    }
    int primaryCount() const
    {
        return m_db->count(QStringLiteral("SELECT id FROM currencies WHERE is_primary=1"));
    }
    void insertRate(int from, int to, double rate, const QDate& date)
    {
        QVERIFY(db()->execNonQuery(
            QStringLiteral(
                "INSERT INTO exchange_rates (from_currency_id,to_currency_id,rate,date) VALUES (?,?,?,?)"),
            { from, to, rate, date.toString(Qt::ISODate) }));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        Clock::setToday(QDate(2024, 3, 15));
        m_db = std::make_unique<TestDatabase>();
    }
    void cleanup()
    {
        m_db.reset();
        Clock::setToday({});
    }

    void freshDatabaseDefaults()
    {
        SettingsManager settings(db());
        QCOMPARE(settings.themeMode(), QStringLiteral("dark"));
        QCOMPARE(settings.primaryCurrency(), QStringLiteral("ILS"));
        QVERIFY(!settings.isFirstRun());
        QCOMPARE(settings.companyName(), QString());
        QCOMPARE(settings.companyPhone(), QString());
        QCOMPARE(settings.companyAddress(), QString());
        QCOMPARE(settings.companyEmail(), QString());
        QCOMPARE(m_db->count(QStringLiteral("SELECT key FROM settings WHERE key NOT LIKE 'ledger%'")), 0);
        // The interface binds through the meta-object, not the C++ getters.
        QCOMPARE(settings.property("themeMode").toString(), QStringLiteral("dark"));
        QCOMPARE(settings.property("isFirstRun").toBool(), false);
    }

    void noPrimaryCurrencyMeansFirstRunUntilSetupOrRestart()
    {
        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE currencies SET is_primary=0")));
        {
            SettingsManager settings(db());
            QVERIFY(settings.isFirstRun());
            QCOMPARE(settings.primaryCurrency(), QString());
            QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
            settings.completeSetup();
            QVERIFY(!settings.isFirstRun());
            QCOMPARE(changed.count(), 1);
        }
        // completeSetup stores nothing: the next start asks the currencies again.
        SettingsManager restarted(db());
        QVERIFY(restarted.isFirstRun());
        QVERIFY(restarted.setPrimaryCurrency(QStringLiteral("USD")));
        QVERIFY(restarted.isFirstRun());
        SettingsManager afterSetup(db());
        QVERIFY(!afterSetup.isFirstRun());
        QCOMPARE(afterSetup.primaryCurrency(), QStringLiteral("USD"));
    }

    void primaryCurrencyMovesToExactlyOneRow()
    {
        SettingsManager settings(db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QVERIFY(settings.setPrimaryCurrency(QStringLiteral("USD")));
        QCOMPARE(settings.primaryCurrency(), QStringLiteral("USD"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(primaryCount(), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT code FROM currencies WHERE is_primary=1")).toString(),
            QStringLiteral("USD"));

        QVERIFY(settings.setPrimaryCurrency(QStringLiteral("JOD")));
        QCOMPARE(primaryCount(), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT code FROM currencies WHERE is_primary=1")).toString(),
            QStringLiteral("JOD"));
    }

    void unknownPrimaryCurrencyIsRefused_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("unknown") << QStringLiteral("EUR");
        QTest::newRow("other case") << QStringLiteral("usd");
        QTest::newRow("empty") << QString();
    }

    void unknownPrimaryCurrencyIsRefused()
    {
        QFETCH(QString, code);
        SettingsManager settings(db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QVERIFY(!settings.setPrimaryCurrency(code));
        QCOMPARE(settings.primaryCurrency(), QStringLiteral("ILS"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(primaryCount(), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT code FROM currencies WHERE is_primary=1")).toString(),
            QStringLiteral("ILS"));
    }

    void themeIsNormalised_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("light") << QStringLiteral("light") << QStringLiteral("light");
        QTest::newRow("capitals and blanks") << QStringLiteral("  LIGHT \t") << QStringLiteral("light");
        QTest::newRow("mixed case") << QStringLiteral("Light") << QStringLiteral("light");
        QTest::newRow("dark") << QStringLiteral("dark") << QStringLiteral("dark");
        QTest::newRow("unknown word") << QStringLiteral("blue") << QStringLiteral("dark");
        QTest::newRow("empty") << QString() << QStringLiteral("dark");
        QTest::newRow("light inside a word") << QStringLiteral("lighter") << QStringLiteral("dark");
    }

    void themeIsNormalised()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expected);
        SettingsManager settings(db());
        // Start from the other mode so that the call is a real change.
        if (expected == QStringLiteral("dark"))
            settings.setThemeMode(QStringLiteral("light"));
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        settings.setThemeMode(mode);
        QCOMPARE(settings.themeMode(), expected);
        QCOMPARE(stored(QStringLiteral("theme_mode")).toString(), expected);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(SettingsManager(db()).themeMode(), expected);
    }

    void sameThemeWritesNothingAndStaysQuiet()
    {
        SettingsManager settings(db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        settings.setThemeMode(QStringLiteral(" Dark "));
        settings.setThemeMode(QStringLiteral("nonsense"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT key FROM settings WHERE key NOT LIKE 'ledger%'")), 0);

        settings.setThemeMode(QStringLiteral("light"));
        settings.setThemeMode(QStringLiteral("LIGHT"));
        QCOMPARE(changed.count(), 1);
    }

    void storedThemeIsReadAtStart_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("light") << QStringLiteral("light") << QStringLiteral("light");
        QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("dark");
        QTest::newRow("edited by hand") << QStringLiteral("LIGHT ") << QStringLiteral("light");
        QTest::newRow("junk") << QStringLiteral("sepia") << QStringLiteral("dark");
    }

    void storedThemeIsReadAtStart()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QVERIFY(db()->execNonQuery(
            QStringLiteral("INSERT INTO settings (key, value) VALUES ('theme_mode', ?)"), { value }));
        QCOMPARE(SettingsManager(db()).themeMode(), expected);
    }

    void companyProfileIsStoredAndReadBack()
    {
        SettingsManager settings(db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QVERIFY(settings.updateCompanyProfile(QStringLiteral("دارفلينتو للعقارات"),
            QStringLiteral(" 059-1234567 "), QStringLiteral("رام الله"),
            QStringLiteral("office@example.com")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(settings.companyName(), QStringLiteral("دارفلينتو للعقارات"));
        QCOMPARE(settings.companyPhone(), QStringLiteral(" 059-1234567 ")); // stored as typed
        QCOMPARE(settings.companyAddress(), QStringLiteral("رام الله"));
        QCOMPARE(settings.companyEmail(), QStringLiteral("office@example.com"));
        QCOMPARE(m_db->count(QStringLiteral("SELECT key FROM settings WHERE key NOT LIKE 'ledger%'")), 4);
        QCOMPARE(stored(QStringLiteral("company_address")).toString(), QStringLiteral("رام الله"));

        // An emptied field replaces the stored text with empty text, not with NULL.
        QVERIFY(settings.updateCompanyProfile(QStringLiteral("دارفلينتو"), QString(),
            QStringLiteral("رام الله"), QStringLiteral("office@example.com")));
        QCOMPARE(settings.companyPhone(), QString());
        QCOMPARE(
            m_db->count(QStringLiteral("SELECT key FROM settings WHERE key='company_phone' AND value=''")),
            1);
        QCOMPARE(m_db->count(QStringLiteral("SELECT key FROM settings WHERE key NOT LIKE 'ledger%'")), 4);
    }

    void companyProfileWrittenElsewhereShowsAtNextRead()
    {
        SettingsManager settings(db());
        QVERIFY(db()->execNonQuery(
            QStringLiteral("INSERT INTO settings (key, value) VALUES ('company_email', 'a@b.c')")));
        QCOMPARE(settings.companyEmail(), QStringLiteral("a@b.c"));
        QCOMPARE(settings.property("companyEmail").toString(), QStringLiteral("a@b.c"));
    }

    void companyProfileIsAllOrNothing()
    {
        SettingsManager settings(db());
        QVERIFY(settings.updateCompanyProfile(
            QStringLiteral("قديم"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")));
        // The last of the four writes fails: the three before it must not stay behind.
        QVERIFY(db()->execNonQuery(
            QStringLiteral("CREATE TEMP TRIGGER refuse_email BEFORE INSERT ON settings "
                           "WHEN NEW.key='company_email' BEGIN SELECT RAISE(ABORT, 'no'); END")));
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QVERIFY(!settings.updateCompanyProfile(
            QStringLiteral("جديد"), QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("9")));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(settings.companyName(), QStringLiteral("قديم"));
        QCOMPARE(settings.companyPhone(), QStringLiteral("1"));
        QCOMPARE(settings.companyEmail(), QStringLiteral("3"));
    }

    void currenciesListPrimaryFirst()
    {
        SettingsManager settings(db());
        QVariantList rows = settings.getCurrencies();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.first().toMap().value(QStringLiteral("code")).toString(), QStringLiteral("ILS"));
        QVERIFY(rows.first().toMap().contains(QStringLiteral("symbol")));
        QVERIFY(settings.setPrimaryCurrency(QStringLiteral("JOD")));
        rows = settings.getCurrencies();
        QCOMPARE(rows.first().toMap().value(QStringLiteral("code")).toString(), QStringLiteral("JOD"));
        QCOMPARE(rows.first().toMap().value(QStringLiteral("is_primary")).toInt(), 1);
    }

    void ratesAreDirectional()
    {
        SettingsManager settings(db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QVERIFY(settings.updateExchangeRate(2, 1, 3.7));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(settings.getExchangeRate(2, 1), 3.7);
        QCOMPARE(settings.getExchangeRate(1, 2), 1.0); // never the inverse
        QCOMPARE(settings.convertAmount(10, 2, 1), 37.0);
        QCOMPARE(settings.convertAmount(10, 1, 2), 10.0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT date FROM exchange_rates")).toString(),
            QStringLiteral("2024-03-15"));
    }

    void sameCurrencyIsOneEvenWithAStoredRow()
    {
        insertRate(2, 2, 5.0, Clock::today());
        SettingsManager settings(db());
        QCOMPARE(settings.getExchangeRate(2, 2), 1.0);
        QCOMPARE(settings.convertAmount(12.5, 2, 2), 12.5);
    }

    void sameDayReplacesAndEarlierDaysStay()
    {
        SettingsManager settings(db());
        insertRate(3, 1, 5.0, Clock::today().addDays(-1));
        QVERIFY(settings.updateExchangeRate(3, 1, 5.1));
        QVERIFY(settings.updateExchangeRate(3, 1, 5.2));
        QCOMPARE(m_db->count(QStringLiteral("exchange_rates")), 2);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT rate FROM exchange_rates WHERE date='2024-03-15'")).toDouble(),
            5.2);
        QCOMPARE(settings.getExchangeRate(3, 1), 5.2);

        // The latest day wins even when an older day was written later.
        insertRate(3, 1, 4.0, Clock::today().addDays(-10));
        QCOMPARE(settings.getExchangeRate(3, 1), 5.2);
    }

    void unusableRatesAreRefused_data()
    {
        QTest::addColumn<double>("rate");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -3.7;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
        QTest::newRow("minus infinite") << -std::numeric_limits<double>::infinity();
    }

    void unusableRatesAreRefused()
    {
        QFETCH(double, rate);
        SettingsManager settings(db());
        QVERIFY(!settings.updateExchangeRate(2, 1, rate));
        QCOMPARE(m_db->count(QStringLiteral("exchange_rates")), 0);
        QCOMPARE(settings.getExchangeRate(2, 1), 1.0);
    }

    void unknownCurrencyRateFails()
    {
        SettingsManager settings(db());
        QSignalSpy errors(db(), &Database::databaseError);
        QVERIFY(!settings.updateExchangeRate(99, 1, 2.0));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("exchange_rates")), 0);
    }

    void unusableStoredRateIsSkipped()
    {
        // An older file may hold a zero rate; a conversion must not turn amounts into 0.
        insertRate(2, 1, 3.5, Clock::today().addDays(-1));
        insertRate(2, 1, 0.0, Clock::today());
        SettingsManager settings(db());
        QCOMPARE(settings.getExchangeRate(2, 1), 3.5);
        QCOMPARE(settings.convertAmount(100, 2, 1), 350.0);
    }
};

QTEST_GUILESS_MAIN(TestSettingsManager)
#include "tst_settingsmanager.moc"
