#include "money.h"

#include <QTest>

class TestMoney : public QObject
{
    Q_OBJECT

private slots:
    void roundsToWholeHundredths_data()
    {
        QTest::addColumn<double>("input");
        QTest::addColumn<double>("expected");
        QTest::newRow("binary fraction") << 0.1 + 0.2 << 0.3;
        QTest::newRow("half up") << 0.125 << 0.13;
        QTest::newRow("typed 1.005") << 1.005 << 1.01;
        QTest::newRow("half away from zero") << -0.125 << -0.13;
        QTest::newRow("below half a cent") << 0.004 << 0.0;
        QTest::newRow("negative below half a cent is 0, not -0") << -0.004 << 0.0;
        QTest::newRow("a twelfth of 0.10") << 0.10 / 12 << 0.01;
        QTest::newRow("largest amount") << 9999999999999.99 << 9999999999999.99;
    }
    void roundsToWholeHundredths()
    {
        QFETCH(double, input);
        QFETCH(double, expected);
        const double rounded = Money::roundToCents(input);
        QCOMPARE(rounded, expected);
        QVERIFY(!std::signbit(rounded) || rounded < 0);
        QCOMPARE(Money::toCents(rounded), Money::toCents(expected));
    }

    void sumsOfRoundedAmountsAgree()
    {
        double sum = 0;
        for (int i = 0; i < 10; ++i)
            sum += Money::roundToCents(0.1);
        QVERIFY(Money::sameCents(sum, 1.0));
        QVERIFY(!Money::sameCents(1.0, 1.01));
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
