// Settings: the first run, the primary currency, the theme, the company profile written whole or
// not at all, and exchange rates that only ever convert one way.
#include "clock.h"
#include "rentalfixtures.h"
#include "serverchoicecontroller.h"
#include "settingsmanager.h"
#include "testdatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class TestSettingsManager : public QObject
{
    Q_OBJECT

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

    void noPrimaryCurrencyMeansFirstRunUntilOneIsChosen()
    {
        QVERIFY(!SettingsManager(db()).isFirstRun());
        QVERIFY(db()->execNonQuery(u"UPDATE currencies SET is_primary=0"_s));
        {
            SettingsManager settings(db());
            QVERIFY(settings.isFirstRun());
            settings.completeSetup();
            QVERIFY(!settings.isFirstRun());
        }
        // completeSetup stores nothing: the next start asks the currencies again.
        SettingsManager restarted(db());
        QVERIFY(restarted.isFirstRun());
        QVERIFY(restarted.setPrimaryCurrency(u"USD"_s));
        QVERIFY(!SettingsManager(db()).isFirstRun());
    }

    void primaryCurrencyIsExactlyOneKnownCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("primary");
        QTest::newRow("dollar") << u"USD"_s << u"USD"_s;
        QTest::newRow("dinar") << u"JOD"_s << u"JOD"_s;
        QTest::newRow("unknown") << u"EUR"_s << u"ILS"_s;
        QTest::newRow("other case") << u"usd"_s << u"ILS"_s;
        QTest::newRow("empty") << QString() << u"ILS"_s;
    }

    void primaryCurrencyIsExactlyOneKnownCode()
    {
        QFETCH(QString, code);
        QFETCH(QString, primary);
        SettingsManager settings(db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QCOMPARE(settings.setPrimaryCurrency(code), code == primary);
        QCOMPARE(changed.count(), code == primary ? 1 : 0);
        QCOMPARE(settings.primaryCurrency(), primary);
        QCOMPARE(m_db->value(u"SELECT group_concat(code) FROM currencies WHERE is_primary=1"_s).toString(),
            primary);
        QCOMPARE(settings.getCurrencies().first().toMap().value("code").toString(), primary);
    }

    void themeIsLightOrDark_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capitals and blanks") << u"  LIGHT \t"_s << u"light"_s;
        QTest::newRow("unknown word") << u"blue"_s << u"dark"_s;
        QTest::newRow("light inside a word") << u"lighter"_s << u"dark"_s;
        QTest::newRow("empty") << QString() << u"dark"_s;
    }

    void themeIsLightOrDark()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expected);
        SettingsManager settings(db());
        settings.setThemeMode(expected == u"dark" ? u"light"_s : u"dark"_s); // a real change follows
        settings.setThemeMode(mode);
        QCOMPARE(settings.themeMode(), expected);
        QCOMPARE(SettingsManager(db()).themeMode(), expected);
        // Edited by hand in the file, it is read the same way.
        QVERIFY(db()->execNonQuery(u"UPDATE settings SET value=? WHERE key='theme_mode'"_s, { mode }));
        QCOMPARE(SettingsManager(db()).themeMode(), expected);
    }

    void companyProfileIsWrittenWholeOrNotAtAll()
    {
        SettingsManager settings(db());
        QVERIFY(settings.updateCompanyProfile(u"قديم"_s, u" 059-1 "_s, u"2"_s, u"3"_s));
        QCOMPARE(settings.companyPhone(), u" 059-1 "_s); // as typed
        // An emptied field is empty text, not NULL.
        QVERIFY(settings.updateCompanyProfile(u"قديم"_s, QString(), u"2"_s, u"3"_s));
        QCOMPARE(m_db->count(u"SELECT key FROM settings WHERE key='company_phone' AND value=''"_s), 1);
        // The last of the four writes fails: the three before it must not stay behind.
        QVERIFY(RentalFixtures::failWhen(
            db(), u"refuse_new_email"_s, u"INSERT ON settings"_s, u"NEW.key='company_email'"_s));
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        QVERIFY(!settings.updateCompanyProfile(u"جديد"_s, u"9"_s, u"9"_s, u"9"_s));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(settings.companyName(), u"قديم"_s);
        QCOMPARE(settings.companyAddress(), u"2"_s);
    }

    void ratesConvertOneWayFromTheLatestDay()
    {
        SettingsManager settings(db());
        insertRate(2, 1, 5.0, -1);
        QVERIFY(settings.updateExchangeRate(2, 1, 3.6));
        QVERIFY(settings.updateExchangeRate(2, 1, 3.7)); // the same day replaces
        QCOMPARE(m_db->count(u"exchange_rates"_s), 2);
        insertRate(2, 1, 4.0, -10); // an older day written later
        QCOMPARE(settings.getExchangeRate(2, 1), 3.7);
        QCOMPARE(settings.convertAmount(10, 2, 1), 37.0);
        QCOMPARE(settings.getExchangeRate(1, 2), 1.0); // never the inverse
        insertRate(3, 3, 5.0, 0);
        QCOMPARE(settings.convertAmount(12.5, 3, 3), 12.5);
        // An older file may hold a zero rate; a conversion must not turn amounts into 0.
        insertRate(3, 1, 3.5, -1);
        insertRate(3, 1, 0.0, 0);
        QCOMPARE(settings.convertAmount(100, 3, 1), 350.0);
    }

    void unusableRatesAreRefused_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<double>("rate");
        QTest::newRow("zero") << 2 << 0.0;
        QTest::newRow("negative") << 2 << -3.7;
        QTest::newRow("not a number") << 2 << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << 2 << std::numeric_limits<double>::infinity();
        QTest::newRow("unknown currency") << 99 << 2.0;
    }

    void unusableRatesAreRefused()
    {
        QFETCH(int, from);
        QFETCH(double, rate);
        SettingsManager settings(db());
        QVERIFY(!settings.updateExchangeRate(from, 1, rate));
        QCOMPARE(m_db->count(u"exchange_rates"_s), 0);
        QCOMPARE(settings.getExchangeRate(from, 1), 1.0);
    }

private:
    Database* db() const { return m_db->db(); }

    // The desk's choice of server: kept whole and without a password, refused when a word is
    // missing or would read as two, tried against a real server when the run has one.
    void aServerIsChosenWholeAndNeverWithItsPassword()
    {
        ServerChoiceController choice(db(), m_db->dir());
        QVERIFY(!choice.choose(u"db.office"_s, 5432, u""_s, u"clerk"_s));
        QVERIFY(!choice.choose(u"db.office"_s, 5432, u"books dbname=other"_s, u"clerk"_s));
        QVERIFY(!choice.choose(u"db.office"_s, 70000, u"books"_s, u"clerk"_s));
        QVERIFY(!ServerChoiceController::chosen(m_db->dir()).isComplete());

        QVERIFY(choice.choose(u" db.office "_s, 6543, u"books"_s, u"clerk"_s));
        const ServerAddress kept = ServerChoiceController::chosen(m_db->dir());
        QCOMPARE(kept.toString(), u"host=db.office port=6543 dbname=books user=clerk"_s);
        QVERIFY(choice.tryAddress(u""_s, 5432, u"books"_s, u"clerk"_s, u"secret"_s).contains(u"أدخل"_s));
        QFile config(m_db->dir() + u"/server.conf"_s);
        QVERIFY(config.open(QIODevice::ReadOnly));
        QVERIFY(!config.readAll().contains("secret"));
        QCOMPARE(choice.current().value(u"onServer"_s).toBool(), m_db->onServer());

        const ServerAddress server = TestDatabase::server();
        if (server.isComplete())
            QCOMPARE(
                choice.tryAddress(server.host, server.port, server.database, server.user, {}), QString());
        QVERIFY(!choice.tryAddress(u"/nonexistent"_s, 5432, u"books"_s, u"clerk"_s, {}).isEmpty());

        QVERIFY(choice.forget());
        QVERIFY(!ServerChoiceController::chosen(m_db->dir()).isComplete());
    }

    void insertRate(int from, int to, double rate, int daysFromToday)
    {
        QVERIFY(db()->execNonQuery(
            u"INSERT INTO exchange_rates (from_currency_id,to_currency_id,rate,date) VALUES (?,?,?,?)"_s,
            { from, to, rate, Clock::today().addDays(daysFromToday).toString(Qt::ISODate) }));
    }

    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TestSettingsManager)
#include "tst_settingsmanager.moc"
