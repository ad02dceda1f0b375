#include "clock.h"
#include "currencymodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

class TestCurrencyModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<CurrencyModel> m_model;

    Database* db() const { return m_db->db(); }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        Clock::setToday(QDate(2024, 7, 1));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<CurrencyModel>(db());
    }
    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday({});
    }

    void listsPrimaryFirst()
    {
        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 3);
        const QVariantMap first = all.first().toMap();
        QCOMPARE(first.value(QStringLiteral("code")).toString(), QStringLiteral("ILS"));
        QCOMPARE(first.value(QStringLiteral("name_ar")).toString(), QStringLiteral("شيكل"));
        QCOMPARE(first.value(QStringLiteral("is_primary")).toInt(), 1);
        QVERIFY(first.contains(QStringLiteral("created_at")));

        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE currencies SET is_primary=(code='JOD')")));
        QCOMPARE(m_model->getAll().first().toMap().value(QStringLiteral("code")).toString(),
            QStringLiteral("JOD"));
    }

    void primaryCurrency()
    {
        const QVariantMap primary = m_model->getPrimary();
        QCOMPARE(primary.value(QStringLiteral("code")).toString(), QStringLiteral("ILS"));
        QCOMPARE(primary.value(QStringLiteral("symbol")).toString(), QStringLiteral("₪"));

        QVERIFY(db()->execNonQuery(QStringLiteral("UPDATE currencies SET is_primary=0")));
        QVERIFY(m_model->getPrimary().isEmpty());
    }

    void symbols_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("shekel") << 1 << QStringLiteral("₪");
        QTest::newRow("dollar") << 2 << QStringLiteral("$");
        QTest::newRow("dinar") << 3 << QStringLiteral("د.ا");
        QTest::newRow("unknown") << 99 << QString();
        QTest::newRow("none") << 0 << QString();
    }

    void symbols()
    {
        QFETCH(int, id);
        QFETCH(QString, symbol);
        QCOMPARE(m_model->getSymbol(id), symbol);
    }

    void setRateStoresTodaysDirectionalRate()
    {
        QSignalSpy changed(m_model.get(), &CurrencyModel::dataChanged);
        QVERIFY(m_model->setRate(2, 1, 3.7));
        QCOMPARE(changed.count(), 1);
        const QVariantList rows = db()->execQuery(QStringLiteral("SELECT * FROM exchange_rates"));
        QCOMPARE(rows.size(), 1);
        const QVariantMap row = rows.first().toMap();
        QCOMPARE(row.value(QStringLiteral("from_currency_id")).toInt(), 2);
        QCOMPARE(row.value(QStringLiteral("to_currency_id")).toInt(), 1);
        QCOMPARE(row.value(QStringLiteral("rate")).toDouble(), 3.7);
        QCOMPARE(row.value(QStringLiteral("date")).toString(), QStringLiteral("2024-07-01"));
    }

    void sameDayReplacesTheRow()
    {
        QVERIFY(m_model->setRate(2, 1, 3.7));
        QVERIFY(m_model->setRate(2, 1, 3.65));
        QCOMPARE(m_db->count(QStringLiteral("exchange_rates")), 1);
        const QVariantList listed = m_model->getExchangeRates();
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed.first().toMap().value(QStringLiteral("rate")).toDouble(), 3.65);

        // The next day adds a row and keeps yesterday's as history.
        Clock::setToday(QDate(2024, 7, 2));
        QVERIFY(m_model->setRate(2, 1, 3.6));
        QCOMPARE(m_db->count(QStringLiteral("exchange_rates")), 2);
    }

    void unusableRatesAreRefused_data()
    {
        QTest::addColumn<double>("rate");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -1.0;
        QTest::newRow("typed text, not a number") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    }

    void unusableRatesAreRefused()
    {
        QFETCH(double, rate);
        QVERIFY(m_model->setRate(2, 1, 3.7));
        QSignalSpy changed(m_model.get(), &CurrencyModel::dataChanged);
        QVERIFY(!m_model->setRate(2, 1, rate));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT rate FROM exchange_rates")).toDouble(), 3.7);
    }

    void unknownCurrencyIsRefused()
    {
        QSignalSpy changed(m_model.get(), &CurrencyModel::dataChanged);
        QVERIFY(!m_model->setRate(2, 77, 1.5));
        QVERIFY(!m_model->setRate(77, 1, 1.5));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("exchange_rates")), 0);
    }

    void exchangeRatesListTheLatestDayOnly()
    {
        QVERIFY(m_model->getExchangeRates().isEmpty());
        Clock::setToday(QDate(2024, 6, 30));
        QVERIFY(m_model->setRate(3, 1, 5.2));
        Clock::setToday(QDate(2024, 7, 1));
        QVERIFY(m_model->setRate(2, 1, 3.7));

        const QVariantList listed = m_model->getExchangeRates();
        QCOMPARE(listed.size(), 1);
        const QVariantMap row = listed.first().toMap();
        QCOMPARE(row.value(QStringLiteral("from_code")).toString(), QStringLiteral("USD"));
        QCOMPARE(row.value(QStringLiteral("from_name")).toString(), QStringLiteral("دولار"));
        QCOMPARE(row.value(QStringLiteral("to_code")).toString(), QStringLiteral("ILS"));
        QCOMPARE(row.value(QStringLiteral("to_name")).toString(), QStringLiteral("شيكل"));
        QCOMPARE(row.value(QStringLiteral("date")).toString(), QStringLiteral("2024-07-01"));
        QCOMPARE(row.keys().size(), 10);
    }
};

QTEST_GUILESS_MAIN(TestCurrencyModel)
#include "tst_currencymodel.moc"
