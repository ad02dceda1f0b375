#include "installmentmodel.h"
#include "money.h"
#include "propertymodel.h"
#include "salesfixtures.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace SalesFixtures;

class TestSale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<InstallmentModel>(m_db->db());
        m_property = addProperty(db(), QStringLiteral("برج الياسمين"));
        m_unit = addUnit(db(), m_property, QStringLiteral("A-101"));
        m_costCenter = addUnitCostCenter(db(), m_unit);
        m_buyer = addBuyer(db(), QStringLiteral("سامي خليل"));
    }
    void cleanup()
    {
        m_model.reset();
        m_db.reset();
    }

    void workedExample()
    {
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QCOMPARE(m_model->sellUnit(m_buyer, m_unit, 1000, 0, 3, QStringLiteral("2025-01-31"),
                     kPrimaryCurrency, QStringLiteral("1001"), QStringLiteral("بنك فلسطين")),
            1);
        QCOMPARE(changed.count(), 1);

        const QVariantMap unit = db()->getById(QStringLiteral("units"), m_unit);
        QCOMPARE(unit.value(QStringLiteral("status")).toString(), QStringLiteral("sold"));
        QCOMPARE(unit.value(QStringLiteral("buyer_id")).toInt(), m_buyer);
        QCOMPARE(unit.value(QStringLiteral("sale_price_actual")).toDouble(), 1000.0);
        QCOMPARE(unit.value(QStringLiteral("sale_date")).toString(), QStringLiteral("2025-01-31"));

        const QVariantList installments = rows(QStringLiteral("SELECT * FROM installments ORDER BY id"));
        QCOMPARE(installments.size(), 3);
        const double amounts[] = { 333.33, 333.33, 333.34 };
        const char* dues[] = { "2025-01-31", "2025-02-28", "2025-03-31" };
        const char* numbers[] = { "1001", "1002", "1003" };
        for (int i = 0; i < 3; ++i) {
            const QVariantMap row = installments.at(i).toMap();
            QCOMPARE(row.value(QStringLiteral("buyer_id")).toInt(), m_buyer);
            QCOMPARE(row.value(QStringLiteral("unit_id")).toInt(), m_unit);
            QCOMPARE(row.value(QStringLiteral("total_price")).toDouble(), 1000.0);
            QCOMPARE(row.value(QStringLiteral("down_payment")).toDouble(), 0.0);
            QCOMPARE(row.value(QStringLiteral("installment_amount")).toDouble(), amounts[i]);
            QCOMPARE(row.value(QStringLiteral("due_date")).toString(), QLatin1String(dues[i]));
            QCOMPARE(row.value(QStringLiteral("paid_amount")).toDouble(), 0.0);
            QCOMPARE(row.value(QStringLiteral("status")).toString(), QStringLiteral("pending"));
            QCOMPARE(row.value(QStringLiteral("cheque_number")).toString(), QLatin1String(numbers[i]));
            QCOMPARE(row.value(QStringLiteral("bank_name")).toString(), QStringLiteral("بنك فلسطين"));
            QCOMPARE(row.value(QStringLiteral("currency_id")).toInt(), kPrimaryCurrency);
        }

        const QVariantList cheques = rows(QStringLiteral("SELECT * FROM cheques ORDER BY id"));
        QCOMPARE(cheques.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QVariantMap cheque = cheques.at(i).toMap();
            QCOMPARE(cheque.value(QStringLiteral("cheque_number")).toString(), QLatin1String(numbers[i]));
            QCOMPARE(cheque.value(QStringLiteral("type")).toString(), QStringLiteral("received"));
            QCOMPARE(cheque.value(QStringLiteral("amount")).toDouble(), amounts[i]);
            QCOMPARE(cheque.value(QStringLiteral("bank_name")).toString(), QStringLiteral("بنك فلسطين"));
            QCOMPARE(cheque.value(QStringLiteral("issue_date")).toString(), QStringLiteral("2025-01-31"));
            QCOMPARE(cheque.value(QStringLiteral("due_date")).toString(), QLatin1String(dues[i]));
            QVERIFY(cheque.value(QStringLiteral("payer_name")).isNull());
            QVERIFY(cheque.value(QStringLiteral("payee_name")).isNull());
            QVERIFY(cheque.value(QStringLiteral("tenant_id")).isNull());
            QCOMPARE(cheque.value(QStringLiteral("status")).toString(), QStringLiteral("pending"));
            QCOMPARE(cheque.value(QStringLiteral("buyer_id")).toInt(), m_buyer);
            QCOMPARE(cheque.value(QStringLiteral("installment_id")),
                installments.at(i).toMap().value(QStringLiteral("id")));
            QCOMPARE(cheque.value(QStringLiteral("currency_id")).toInt(), kPrimaryCurrency);
            QCOMPARE(cheque.value(QStringLiteral("notes")).toString(),
                QStringLiteral("شيك مرتبط بجدول بيع الوحدة A-101"));
        }

        QCOMPARE(balance(), 1000.0);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        const QVariantList audit = rows(QStringLiteral("SELECT * FROM audit_logs"));
        QCOMPARE(audit.size(), 1);
        const QVariantMap entry = audit.first().toMap();
        QVERIFY(entry.value(QStringLiteral("user_id")).isNull());
        QCOMPARE(entry.value(QStringLiteral("action")).toString(), QStringLiteral("بيع وحدة"));
        QCOMPARE(entry.value(QStringLiteral("table_name")).toString(), QStringLiteral("units"));
        QCOMPARE(entry.value(QStringLiteral("record_id")).toInt(), m_unit);
        QCOMPARE(entry.value(QStringLiteral("details")).toString(),
            QStringLiteral("تم بيع الوحدة A-101 بمبلغ 1000 (دفعة: 0, شيكات: 3)"));
    }

    void schedule_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("down");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<double>>("amounts");
        QTest::addColumn<QStringList>("dues");

        QTest::newRow("leap year month ends")
            << 900.0 << 0.0 << 3 << QStringLiteral("2024-01-31") << QList<double> { 300, 300, 300 }
            << QStringList { "2024-01-31", "2024-02-29", "2024-03-31" };
        QTest::newRow("common year month ends")
            << 900.0 << 0.0 << 3 << QStringLiteral("2023-12-31") << QList<double> { 300, 300, 300 }
            << QStringList { "2023-12-31", "2024-01-31", "2024-02-29" };
        QTest::newRow("30th into February")
            << 90.0 << 0.0 << 3 << QStringLiteral("2025-01-30") << QList<double> { 30, 30, 30 }
            << QStringList { "2025-01-30", "2025-02-28", "2025-03-30" };
        QTest::newRow("29 February a year on")
            << 100.0 << 0.0 << 2 << QStringLiteral("2024-02-29") << QList<double> { 50, 50 }
            << QStringList { "2024-02-29", "2024-03-29" };
        QTest::newRow("remainder after down payment")
            << 1000.0 << 400.0 << 4 << QStringLiteral("2025-05-15") << QList<double> { 150, 150, 150, 150 }
            << QStringList { "2025-05-15", "2025-06-15", "2025-07-15", "2025-08-15" };
        QTest::newRow("cut down, last carries the rest")
            << 100.0 << 0.0 << 3 << QStringLiteral("2025-11-10") << QList<double> { 33.33, 33.33, 33.34 }
            << QStringList { "2025-11-10", "2025-12-10", "2026-01-10" };
        QTest::newRow("a sub-cent price is rounded to the cent")
            << 10.005 << 0.0 << 2 << QStringLiteral("2025-01-01") << QList<double> { 5.0, 5.01 }
            << QStringList { "2025-01-01", "2025-02-01" };
        QTest::newRow("a cent left is still an installment")
            << 1000.01 << 1000.0 << 1 << QStringLiteral("2025-01-01") << QList<double> { 0.01 }
            << QStringList { "2025-01-01" };
        // 0.29 is 28.999999999999996 hundredths in binary; it must not be cut to 0.28.
        QTest::newRow("binary fraction share")
            << 0.58 << 0.0 << 2 << QStringLiteral("2025-01-01") << QList<double> { 0.29, 0.29 }
            << QStringList { "2025-01-01", "2025-02-01" };
        QTest::newRow("count 0 gives one installment")
            << 500.0 << 100.0 << 0 << QStringLiteral("2025-01-01") << QList<double> { 400 }
            << QStringList { "2025-01-01" };
        QTest::newRow("negative count gives one installment")
            << 500.0 << 0.0 << -4 << QStringLiteral("2025-01-01") << QList<double> { 500 }
            << QStringList { "2025-01-01" };
        // Shares of 21,474,836.48 and more wrap a 32-bit count of hundredths.
        QTest::newRow("large share") << 100000000.0 << 0.0 << 2 << QStringLiteral("2025-01-01")
                                     << QList<double> { 50000000, 50000000 }
                                     << QStringList { "2025-01-01", "2025-02-01" };
        QTest::newRow("large share with cents") << 90000000.07 << 0.0 << 3 << QStringLiteral("2025-01-01")
                                                << QList<double> { 30000000.02, 30000000.02, 30000000.03 }
                                                << QStringList { "2025-01-01", "2025-02-01", "2025-03-01" };
    }
    void schedule()
    {
        QFETCH(double, total);
        QFETCH(double, down);
        QFETCH(int, count);
        QFETCH(QString, start);
        QFETCH(QList<double>, amounts);
        QFETCH(QStringList, dues);

        QCOMPARE(m_model->sellUnit(m_buyer, m_unit, total, down, count, start, kPrimaryCurrency), 1);
        const QVariantList installments = rows(QStringLiteral("SELECT * FROM installments ORDER BY id"));
        QCOMPARE(installments.size(), amounts.size());
        double sum = 0;
        for (int i = 0; i < installments.size(); ++i) {
            const QVariantMap row = installments.at(i).toMap();
            QCOMPARE(row.value(QStringLiteral("installment_amount")).toDouble(), amounts.at(i));
            QCOMPARE(row.value(QStringLiteral("due_date")).toString(), dues.at(i));
            QCOMPARE(row.value(QStringLiteral("down_payment")).toDouble(), down);
            QCOMPARE(row.value(QStringLiteral("cheque_number")).toString(), QStringLiteral(""));
            QVERIFY(!row.value(QStringLiteral("cheque_number")).isNull());
            sum += row.value(QStringLiteral("installment_amount")).toDouble();
        }
        const double financed = Money::fromCents(Money::toCents(total) - Money::toCents(down));
        QVERIFY(std::abs(sum - financed) < 1e-6);
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 0);
        QCOMPARE(balance(), financed);
    }

    void cashSale()
    {
        const int otherUnitBuyer = addBuyer(db(), QStringLiteral("مدين سابق"), 250);
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QCOMPARE(m_model->sellUnit(otherUnitBuyer, m_unit, 85000, 85000, 0, QStringLiteral("2025-06-01"), 2,
                     QStringLiteral("1001"), QStringLiteral("بنك القدس")),
            1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 0);
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 0);
        QCOMPARE(balance(otherUnitBuyer), 250.0);

        const QVariantList payments = rows(QStringLiteral("SELECT * FROM payments"));
        QCOMPARE(payments.size(), 1);
        const QVariantMap payment = payments.first().toMap();
        QCOMPARE(payment.value(QStringLiteral("buyer_id")).toInt(), otherUnitBuyer);
        QCOMPARE(payment.value(QStringLiteral("unit_id")).toInt(), m_unit);
        QCOMPARE(payment.value(QStringLiteral("amount")).toDouble(), 85000.0);
        QCOMPARE(payment.value(QStringLiteral("payment_method")).toString(), QStringLiteral("cash"));
        QCOMPARE(payment.value(QStringLiteral("payment_date")).toString(), QStringLiteral("2025-06-01"));
        QCOMPARE(payment.value(QStringLiteral("currency_id")).toInt(), 2);
        QCOMPARE(payment.value(QStringLiteral("cost_center_id")).toInt(), m_costCenter);
        QCOMPARE(payment.value(QStringLiteral("notes")).toString(),
            QStringLiteral("دفعة مقدمة / بيع وحدة: A-101"));
        QCOMPARE(payment.value(QStringLiteral("is_down_payment")).toInt(), 1);
        QVERIFY(payment.value(QStringLiteral("invoice_id")).isNull());
        QVERIFY(payment.value(QStringLiteral("tenant_id")).isNull());

        QCOMPARE(m_db->value(QStringLiteral("SELECT details FROM audit_logs")).toString(),
            QStringLiteral("تم بيع الوحدة A-101 بمبلغ 85000 (دفعة: 85000, شيكات: 0)"));
    }

    void downPaymentWithSchedule()
    {
        QCOMPARE(m_model->sellUnit(m_buyer, m_unit, 1200, 300, 3, QStringLiteral("2025-02-10"),
                     kPrimaryCurrency, QStringLiteral("55"), QStringLiteral("")),
            1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT amount FROM payments")).toDouble(), 300.0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT SUM(installment_amount) FROM installments")).toDouble(),
            900.0);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT GROUP_CONCAT(cheque_number) FROM (SELECT cheque_number FROM "
                                       "cheques ORDER BY id)"))
                .toString(),
            QStringLiteral("55,56,57"));
        QCOMPARE(balance(), 900.0);
    }

    void noDownPaymentWritesNoPayment()
    {
        QCOMPARE(
            m_model->sellUnit(m_buyer, m_unit, 5000, 0, 5, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            1);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 5);
    }

    void remainderJustAboveACentIsScheduled()
    {
        QCOMPARE(m_model->sellUnit(
                     m_buyer, m_unit, 1000.02, 1000, 1, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            1);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 1);
    }

    void firstChequeNumber_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("cheques");

        QTest::newRow("consecutive") << QStringLiteral("1001") << QStringList { "1001", "1002", "1003" } << 3;
        QTest::newRow("leading zeros kept")
            << QStringLiteral("000998") << QStringList { "000998", "000999", "001000" } << 3;
        QTest::newRow("not a number") << QStringLiteral("A-77") << QStringList { "A-77", "", "" } << 1;
        QTest::newRow("zero") << QStringLiteral("0") << QStringList { "0", "", "" } << 1;
        QTest::newRow("negative") << QStringLiteral("-5") << QStringList { "-5", "", "" } << 1;
        QTest::newRow("too large to count on")
            << QStringLiteral("99999999999999999999") << QStringList { "99999999999999999999", "", "" } << 1;
        QTest::newRow("empty") << QStringLiteral("") << QStringList { "", "", "" } << 0;
        QTest::newRow("left out") << QString() << QStringList { "", "", "" } << 0;
    }
    void firstChequeNumber()
    {
        QFETCH(QString, first);
        QFETCH(QStringList, numbers);
        QFETCH(int, cheques);

        QCOMPARE(m_model->sellUnit(
                     m_buyer, m_unit, 300, 0, 3, QStringLiteral("2025-01-01"), kPrimaryCurrency, first),
            1);
        const QVariantList installments
            = rows(QStringLiteral("SELECT id, cheque_number FROM installments ORDER BY id"));
        QCOMPARE(installments.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QVariant number = installments.at(i).toMap().value(QStringLiteral("cheque_number"));
            QVERIFY(!number.isNull());
            QCOMPARE(number.toString(), numbers.at(i));
        }
        QCOMPARE(m_db->count(QStringLiteral("cheques")), cheques);
        // Each cheque belongs to the installment that carries its number.
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT c.id FROM cheques c JOIN installments i ON i.id = c.installment_id "
                     "WHERE i.cheque_number = c.cheque_number AND i.installment_amount = c.amount")),
            cheques);
    }

    void auditTextFormatsAmountsAsArgDoes_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("down");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("details");

        QTest::newRow("fractions") << 1500.5 << 500.25 << 2
                                   << QStringLiteral(
                                          "تم بيع الوحدة A-101 بمبلغ 1500.5 (دفعة: 500.25, شيكات: 2)");
        QTest::newRow("exponent form")
            << 1000000.0 << 0.0 << 10
            << QStringLiteral("تم بيع الوحدة A-101 بمبلغ 1e+06 (دفعة: 0, شيكات: 10)");
        QTest::newRow("six significant digits, in cents")
            << 1234567.5 << 333.333333 << 1
            << QStringLiteral("تم بيع الوحدة A-101 بمبلغ 1.23457e+06 (دفعة: 333.33, شيكات: 1)");
        QTest::newRow("count as passed")
            << 5000.0 << 1000.0 << -3
            << QStringLiteral("تم بيع الوحدة A-101 بمبلغ 5000 (دفعة: 1000, شيكات: -3)");
    }
    void auditTextFormatsAmountsAsArgDoes()
    {
        QFETCH(double, total);
        QFETCH(double, down);
        QFETCH(int, count);
        QFETCH(QString, details);
        QCOMPARE(m_model->sellUnit(
                     m_buyer, m_unit, total, down, count, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            1);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT details FROM audit_logs WHERE table_name='units'")).toString(),
            details);
    }

    void unitNumberWithPlaceholderIsKeptLiterally()
    {
        const int unit = addUnit(db(), m_property, QStringLiteral("%2-%1"));
        QCOMPARE(
            m_model->sellUnit(m_buyer, unit, 100, 100, 0, QStringLiteral("2025-01-01"), kPrimaryCurrency), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT details FROM audit_logs")).toString(),
            QStringLiteral("تم بيع الوحدة %2-%1 بمبلغ 100 (دفعة: 100, شيكات: 0)"));
    }

    void soldUnitIsRefused()
    {
        QCOMPARE(m_model->sellUnit(m_buyer, m_unit, 1000, 100, 3, QStringLiteral("2025-01-01"),
                     kPrimaryCurrency, QStringLiteral("1")),
            1);
        const int second = addBuyer(db(), QStringLiteral("مشتري ثان"));
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QCOMPARE(m_model->sellUnit(second, m_unit, 2000, 500, 2, QStringLiteral("2025-03-01"),
                     kPrimaryCurrency, QStringLiteral("9")),
            -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(db()->getById(QStringLiteral("units"), m_unit).value(QStringLiteral("buyer_id")).toInt(),
            m_buyer);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 3);
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 3);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);
        QCOMPARE(m_db->count(QStringLiteral("audit_logs")), 1);
        QCOMPARE(balance(second), 0.0);
    }

    void missingUnitIsRefused()
    {
        QCOMPARE(
            m_model->sellUnit(m_buyer, 9999, 1000, 100, 3, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            -1);
        expectNothingWritten();
    }

    void rentedUnitCanBeSold()
    {
        const int rented = addUnit(db(), m_property, QStringLiteral("R-1"), QStringLiteral("rented"));
        QCOMPARE(
            m_model->sellUnit(m_buyer, rented, 100, 100, 0, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            1);
        QCOMPARE(db()->getById(QStringLiteral("units"), rented).value(QStringLiteral("status")).toString(),
            QStringLiteral("sold"));
    }

    void unitWithoutCostCenterPaysWithNull()
    {
        const int bare = addUnit(db(), m_property, QStringLiteral("B-2"));
        QCOMPARE(
            m_model->sellUnit(m_buyer, bare, 100, 40, 1, QStringLiteral("2025-01-01"), kPrimaryCurrency), 1);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);
        QVERIFY(m_db->value(QStringLiteral("SELECT cost_center_id FROM payments")).isNull());
    }

    void oldestCostCenterOfTheUnitIsUsed()
    {
        const int unit = addUnit(db(), m_property, QStringLiteral("C-3"));
        addUnitCostCenter(db(), m_unit, QStringLiteral("مركز وحدة أخرى"));
        const int oldest = addUnitCostCenter(db(), unit, QStringLiteral("أول"));
        addUnitCostCenter(db(), unit, QStringLiteral("ثان"));
        QCOMPARE(
            m_model->sellUnit(m_buyer, unit, 100, 40, 1, QStringLiteral("2025-01-01"), kPrimaryCurrency), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT cost_center_id FROM payments")).toInt(), oldest);
    }

    void unitFromTheUnitRegisterPaysToItsOwnCenter()
    {
        PropertyModel properties(db());
        UnitModel units(db());
        const int property = properties.add(
            QStringLiteral("مشروع الريحان"), QStringLiteral("residential"), QString(), QString(), QString());
        const int unit
            = units.add(property, QStringLiteral("D-4"), 2, 120, 3, 0, 0, 150000, kPrimaryCurrency);
        QVERIFY(unit > 0);
        const QVariant own = m_db->value(
            QStringLiteral("SELECT id FROM cost_centers WHERE unit_id=? AND type='unit'"), { unit });
        QVERIFY(own.isValid());
        QCOMPARE(m_model->sellUnit(
                     m_buyer, unit, 150000, 30000, 12, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT cost_center_id FROM payments")), own);
        QCOMPARE(units.getById(unit).value(QStringLiteral("status")).toString(), QStringLiteral("sold"));
    }

    void invalidTermsAreRefused_data()
    {
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::addColumn<int>("buyerOffset");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("down");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("currency");

        const QString day = QStringLiteral("2025-01-01");
        QTest::newRow("unknown buyer") << 500 << 1000.0 << 100.0 << 3 << day << kPrimaryCurrency;
        QTest::newRow("unknown currency") << 0 << 1000.0 << 100.0 << 3 << day << 99;
        QTest::newRow("unknown currency, cash") << 0 << 1000.0 << 1000.0 << 0 << day << 99;
        QTest::newRow("zero price") << 0 << 0.0 << 0.0 << 0 << day << kPrimaryCurrency;
        QTest::newRow("negative price") << 0 << -1000.0 << 0.0 << 3 << day << kPrimaryCurrency;
        QTest::newRow("negative down payment") << 0 << 1000.0 << -100.0 << 3 << day << kPrimaryCurrency;
        QTest::newRow("down payment above the price")
            << 0 << 1000.0 << 1200.0 << 12 << day << kPrimaryCurrency;
        QTest::newRow("installments of less than a cent")
            << 0 << 1000.10 << 1000.0 << 12 << day << kPrimaryCurrency;
        QTest::newRow("infinite price") << 0 << inf << 0.0 << 3 << day << kPrimaryCurrency;
        QTest::newRow("NaN price") << 0 << nan << 0.0 << 3 << day << kPrimaryCurrency;
        QTest::newRow("infinite down payment") << 0 << 1000.0 << inf << 3 << day << kPrimaryCurrency;
        QTest::newRow("NaN down payment") << 0 << 1000.0 << nan << 3 << day << kPrimaryCurrency;
        QTest::newRow("absurd price") << 0 << 1e300 << 0.0 << 3 << day << kPrimaryCurrency;
        QTest::newRow("no such day") << 0 << 1000.0 << 0.0 << 3 << QStringLiteral("2025-02-30")
                                     << kPrimaryCurrency;
        QTest::newRow("slashes") << 0 << 1000.0 << 0.0 << 3 << QStringLiteral("2025/01/01")
                                 << kPrimaryCurrency;
        QTest::newRow("unpadded") << 0 << 1000.0 << 0.0 << 3 << QStringLiteral("2025-1-5")
                                  << kPrimaryCurrency;
        QTest::newRow("empty date") << 0 << 1000.0 << 0.0 << 3 << QStringLiteral("") << kPrimaryCurrency;
        QTest::newRow("empty date, cash")
            << 0 << 1000.0 << 1000.0 << 0 << QStringLiteral("") << kPrimaryCurrency;
        QTest::newRow("a mistyped count") << 0 << 1000.0 << 0.0 << 1000000 << day << kPrimaryCurrency;
    }
    void invalidTermsAreRefused()
    {
        QFETCH(int, buyerOffset);
        QFETCH(double, total);
        QFETCH(double, down);
        QFETCH(int, count);
        QFETCH(QString, start);
        QFETCH(int, currency);
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QCOMPARE(m_model->sellUnit(m_buyer + buyerOffset, m_unit, total, down, count, start, currency,
                     QStringLiteral("1001"), QStringLiteral("بنك")),
            -1);
        QVERIFY(!m_model->lastError().isEmpty());
        QCOMPARE(changed.count(), 0);
        expectNothingWritten();
    }

    void saleIsAuditedUnderTheUserWhoTriedItRefusedOrNot()
    {
        const int admin = m_db->value(QStringLiteral("SELECT id FROM users WHERE username='admin'")).toInt();
        QVERIFY(admin > 0);
        m_model->setActingUser(admin);
        QCOMPARE(m_model->sellUnit(
                     m_buyer, m_unit, 1000, 1200, 12, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            -1);
        QCOMPARE(m_model->lastError(), QStringLiteral("الدفعة الأولى أكبر من سعر البيع"));
        const QVariantMap refused
            = db()->execQuery(QStringLiteral("SELECT * FROM audit_logs")).value(0).toMap();
        QCOMPARE(refused.value(QStringLiteral("user_id")).toInt(), admin);
        QCOMPARE(refused.value(QStringLiteral("record_id")).toInt(), m_unit);
        QVERIFY(refused.value(QStringLiteral("details")).toString().endsWith(m_model->lastError()));
        QCOMPARE(m_db->count(QStringLiteral("audit_logs")), 1);
        QCOMPARE(m_db->count(QStringLiteral("payments")) + m_db->count(QStringLiteral("installments")), 0);
        QCOMPARE(balance(), 0.0);

        QCOMPARE(
            m_model->sellUnit(m_buyer, m_unit, 1000, 100, 3, QStringLiteral("2025-01-01"), kPrimaryCurrency),
            1);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT user_id FROM audit_logs WHERE action='بيع وحدة'")).toInt(),
            admin);
    }

    void longestScheduleIsAccepted()
    {
        QCOMPARE(m_model->sellUnit(
                     m_buyer, m_unit, 120000, 0, 1200, QStringLiteral("2025-01-31"), kPrimaryCurrency),
            1);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 1200);
        QCOMPARE(m_db->value(QStringLiteral("SELECT MAX(due_date) FROM installments")).toString(),
            QStringLiteral("2124-12-31"));
    }

    void failedStepRollsTheWholeSaleBack_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");

        QTest::newRow("unit update") << QStringLiteral("UPDATE") << QStringLiteral("units");
        QTest::newRow("down payment") << QStringLiteral("INSERT") << QStringLiteral("payments");
        QTest::newRow("installment") << QStringLiteral("INSERT") << QStringLiteral("installments");
        QTest::newRow("cheque") << QStringLiteral("INSERT") << QStringLiteral("cheques");
        QTest::newRow("buyer balance") << QStringLiteral("UPDATE") << QStringLiteral("buyers");
        QTest::newRow("audit row") << QStringLiteral("INSERT") << QStringLiteral("audit_logs");
    }
    void failedStepRollsTheWholeSaleBack()
    {
        QFETCH(QString, event);
        QFETCH(QString, table);
        failOn(db(), event, table);
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QCOMPARE(m_model->sellUnit(m_buyer, m_unit, 1000, 100, 3, QStringLiteral("2025-01-01"),
                     kPrimaryCurrency, QStringLiteral("1001"), QStringLiteral("بنك")),
            -1);
        QCOMPARE(changed.count(), 0);
        expectNothingWritten();
        // The connection is left usable: no transaction is still open.
        QVERIFY(db()->beginTransaction());
        QVERIFY(db()->rollbackTransaction());
    }

    void failedChequeOnALaterInstallmentRollsBack()
    {
        QVERIFY(db()->execNonQuery(
            QStringLiteral("CREATE TRIGGER third_cheque BEFORE INSERT ON cheques "
                           "WHEN NEW.cheque_number = '1003' BEGIN SELECT RAISE(ABORT, 'no'); END")));
        QCOMPARE(m_model->sellUnit(m_buyer, m_unit, 1000, 0, 3, QStringLiteral("2025-01-01"),
                     kPrimaryCurrency, QStringLiteral("1001")),
            -1);
        expectNothingWritten();
    }

private:
    Database* db() const { return m_db->db(); }
    QVariantList rows(const QString& sql, const QVariantList& params = {}) const
    {
        return db()->execQuery(sql, params);
    }
    double balance(int buyer = 0) const
    {
        return m_db
            ->value(QStringLiteral("SELECT balance FROM buyers WHERE id=?"), { buyer ? buyer : m_buyer })
            .toDouble();
    }
    void expectNothingWritten() const
    {
        const QVariantMap unit = db()->getById(QStringLiteral("units"), m_unit);
        QCOMPARE(unit.value(QStringLiteral("status")).toString(), QStringLiteral("available"));
        QVERIFY(unit.value(QStringLiteral("buyer_id")).isNull());
        QVERIFY(unit.value(QStringLiteral("sale_date")).isNull());
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 0);
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 0);
        QCOMPARE(m_db->count(QStringLiteral("audit_logs")), 0);
        QCOMPARE(balance(), 0.0);
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InstallmentModel> m_model;
    int m_property = 0;
    int m_unit = 0;
    int m_costCenter = 0;
    int m_buyer = 0;
};

QTEST_GUILESS_MAIN(TestSale)
#include "tst_sale.moc"
