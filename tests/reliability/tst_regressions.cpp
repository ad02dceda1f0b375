// The faults the reliability tests found, each pinned by the smallest case that showed it, so they
// stay fixed whatever the random runs happen to draw.
#include "accountmodel.h"
#include "buyermodel.h"
#include "clock.h"
#include "consistency.h"
#include "contractmodel.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QTest>
#include <limits>

class TestRegressions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_file;

    Database* db() const { return m_file->db(); }
    QByteArray digest() const { return Consistency::contentHash(db()->getDb()); }

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        Clock::setToday(QDate(2025, 3, 10));
    }
    void init() { m_file = std::make_unique<TestDatabase>(); }
    void cleanup() { m_file.reset(); }

    // Found by the fuzz test: a second markAsSold rewrote the buyer, price and date of a unit a
    // sale had sold, leaving its schedule and payments pointing at a sale that no longer read so.
    void soldUnitKeepsItsSale()
    {
        const int unit
            = RentalFixtures::addUnit(db(), RentalFixtures::addProperty(db()), QStringLiteral("A-1"));
        BuyerModel buyers(db());
        const int first = buyers.add(QStringLiteral("سامي"), {}, {}, {}, {});
        const int second = buyers.add(QStringLiteral("ليلى"), {}, {}, {}, {});
        QCOMPARE(
            InstallmentModel(db()).sellUnit(first, unit, 90000, 9000, 12, QStringLiteral("2025-01-15"), 1),
            1);
        const QByteArray before = digest();

        UnitModel units(db());
        QVERIFY(!units.markAsSold(unit, second, 100, QStringLiteral("2025-03-01")));
        QCOMPARE(digest(), before);
        const QVariantMap row = units.getById(unit);
        QCOMPARE(row.value(QStringLiteral("buyer_id")).toInt(), first);
        QCOMPARE(row.value(QStringLiteral("sale_price_actual")).toDouble(), 90000.0);
        QCOMPARE(row.value(QStringLiteral("sale_date")).toString(), QStringLiteral("2025-01-15"));
        QCOMPARE(Consistency::problems(db()->getDb()), QStringList());

        // A unit not sold yet is still marked as before.
        const int other = RentalFixtures::addUnit(
            db(), RentalFixtures::addProperty(db(), QStringLiteral("برج 2")), QStringLiteral("B-1"));
        QVERIFY(units.markAsSold(other, second, 50000, QStringLiteral("2025-03-01")));
    }

    // Found by the fuzz test: a sale begun late in the year 9999 wrote due dates such as
    // "10000-01-31", which sort before every other date and read as long overdue.
    void scheduleStaysWithinFourDigitYears()
    {
        const int property = RentalFixtures::addProperty(db());
        const int late = RentalFixtures::addUnit(db(), property, QStringLiteral("A-1"));
        const int last = RentalFixtures::addUnit(db(), property, QStringLiteral("A-2"));
        const int buyer = BuyerModel(db()).add(QStringLiteral("سامي"), {}, {}, {}, {});
        InstallmentModel installments(db());
        const QByteArray before = digest();
        QCOMPARE(installments.sellUnit(buyer, late, 12000, 0, 12, QStringLiteral("9999-06-30"), 1), -1);
        QCOMPARE(digest(), before);
        // The last month of the year 9999 is still a date.
        QCOMPARE(installments.sellUnit(buyer, last, 12000, 0, 12, QStringLiteral("9999-01-31"), 1), 1);
        QCOMPARE(m_file->value(QStringLiteral("SELECT MAX(due_date) FROM installments")).toString(),
            QStringLiteral("9999-12-31"));
        QCOMPARE(Consistency::problems(db()->getDb()), QStringList());
    }

    // Found by the fuzz test: "-2025-03-15" parses as a date of the year -2025 and was stored,
    // sorting before every real date wherever dates are compared as text.
    void yearsBeforeOneAreRefused()
    {
        const QString date = QStringLiteral("-2025-03-15");
        const RentalFixtures::RentedUnit let = RentalFixtures::addRentedUnit(
            db(), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        InvoiceModel invoices(db());
        QCOMPARE(invoices.generateAllRent(QStringLiteral("2025-03")), 1);
        const int invoice = m_file->value(QStringLiteral("SELECT id FROM invoices")).toInt();
        const int spare = RentalFixtures::addUnit(db(), let.propertyId, QStringLiteral("2"));
        const int sold = RentalFixtures::addUnit(db(), let.propertyId, QStringLiteral("3"));
        const int buyer = BuyerModel(db()).add(QStringLiteral("سامي"), {}, {}, {}, {});
        const QVariantList lines
            = { QVariantMap { { QStringLiteral("account_id"), 2 }, { QStringLiteral("debit"), 10.0 } },
                  QVariantMap { { QStringLiteral("account_id"), 8 }, { QStringLiteral("credit"), 10.0 } } };
        const QByteArray before = digest();

        QCOMPARE(PaymentModel(db()).add(invoice, let.tenantId, 100, QStringLiteral("cash"), date, {}, 1), -1);
        QCOMPARE(
            ExpenseModel(db()).add(let.propertyId, 0, 0, QStringLiteral("صيانة"), {}, {}, 10, date, 1), -1);
        QCOMPARE(AccountModel(db()).createJournalEntry(date, {}, QStringLiteral("manual"), 0, lines), -1);
        QCOMPARE(
            ContractModel(db()).add(spare, let.tenantId, date, QStringLiteral("2025-12-31"), 900, {}, 0, 1),
            -1);
        QCOMPARE(InstallmentModel(db()).add(buyer, sold, 1000, 0, 100, date, 1), -1);
        QCOMPARE(InstallmentModel(db()).sellUnit(buyer, sold, 12000, 0, 12, date, 1), -1);
        QVERIFY(!UnitModel(db()).markAsSold(spare, buyer, 1000, date));
        QCOMPARE(digest(), before);

        // The year 1 itself is a date like any other.
        QVERIFY(PaymentModel(db()).add(
                    invoice, let.tenantId, 100, QStringLiteral("cash"), QStringLiteral("0001-01-01"), {}, 1)
            > 0);
    }

    // Found by the fuzz test: amounts of 1e308 were taken as finite numbers, and the second of them
    // drove a running balance to infinity, where no payment or void could bring it back.
    void hugeAmountsNeverReachARunningBalance_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("ten trillion") << 1e13 << true;
        QTest::newRow("just above") << 1.0000001e13 << false;
        QTest::newRow("1e308") << 1e308 << false;
        QTest::newRow("largest double") << std::numeric_limits<double>::max() << false;
    }

    void hugeAmountsNeverReachARunningBalance()
    {
        QFETCH(double, amount);
        QFETCH(bool, accepted);
        const RentalFixtures::RentedUnit let = RentalFixtures::addRentedUnit(
            db(), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        InvoiceModel invoices(db());
        const QVariantMap item = { { QStringLiteral("description"), QStringLiteral("بند") },
            { QStringLiteral("type"), QStringLiteral("service") }, { QStringLiteral("quantity"), 1 },
            { QStringLiteral("unit_price"), amount }, { QStringLiteral("total"), amount } };
        const int contractor = ExpenseModel(db()).addContractor(QStringLiteral("أبو علي"), {}, {});
        const QVariantList lines
            = { QVariantMap { { QStringLiteral("account_id"), 2 }, { QStringLiteral("debit"), amount } },
                  QVariantMap { { QStringLiteral("account_id"), 8 }, { QStringLiteral("credit"), amount } } };
        const int otherUnit = RentalFixtures::addUnit(db(), let.propertyId, QStringLiteral("2"));

        for (int time = 0; time < 2; ++time) {
            const QString period = QStringLiteral("2025-0%1").arg(3 + time);
            QCOMPARE(invoices.createInvoice(let.tenantId, let.unitId, period, { item }, 1) > 0, accepted);
            QCOMPARE(
                invoices.generateServiceInvoice({ let.tenantId }, QStringLiteral("حراسة"), amount, period, 1),
                accepted ? 1 : 0);
            QCOMPARE(invoices.generatePropertyServiceInvoice(
                         let.propertyId, QStringLiteral("تنظيف"), amount, period, 1),
                accepted ? 1 : 0);
            QCOMPARE(ExpenseModel(db()).add(let.propertyId, let.unitId, contractor, QStringLiteral("صيانة"),
                         {}, {}, amount, QStringLiteral("2025-03-01"), 1)
                    > 0,
                accepted);
            QCOMPARE(AccountModel(db()).createJournalEntry(
                         QStringLiteral("2025-03-01"), {}, QStringLiteral("manual"), 0, lines)
                    > 0,
                accepted);
        }
        // A rent that large would be added to the tenant's balance every month.
        QCOMPARE(ContractModel(db()).add(otherUnit, let.tenantId, QStringLiteral("2026-01-01"),
                     QStringLiteral("2026-12-31"), amount, QStringLiteral("monthly"), 0, 1)
                > 0,
            accepted);
        QCOMPARE(Consistency::problems(db()->getDb()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRegressions)
#include "tst_regressions.moc"
