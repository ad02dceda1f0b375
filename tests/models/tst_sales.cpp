// Selling units: buyers, the sale and its schedule, collecting installments, and the cheques that
// pay them, cashed or returned by the bank.
#include "buyermodel.h"
#include "chequemodel.h"
#include "clock.h"
#include "currencymodel.h"
#include "installmentmodel.h"
#include "modeltest.h"
#include "money.h"
#include "rentalfixtures.h"
#include "rowvalues.h"
#include "unitmodel.h"

using namespace RentalFixtures;
using namespace Qt::StringLiterals;

class TestSales : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InstallmentModel> m_sales;
    std::unique_ptr<ChequeModel> m_cheques;
    std::unique_ptr<BuyerModel> m_buyers;
    int m_property = 0;
    int m_unit = 0;
    int m_buyer = 0;
    // What the refusal table stands on: a unit sold in one installment paid by a pending cheque,
    // another whose cheque was cashed, and a cheque the bank returned.
    int m_soldUnit = 0;
    int m_installment = 0;
    int m_cheque = 0;
    int m_cashed = 0;
    int m_returned = 0;

    Database* db() const { return m_db->db(); }
    double balance(int buyer = 0) const
    {
        return m_db->value("SELECT balance FROM buyers WHERE id=?", { buyer ? buyer : m_buyer }).toDouble();
    }
    bool sell(double total, double down, int count, const QString& start = "2025-01-01", int currency = 1,
        int buyer = 0, int unit = 0)
    {
        return m_sales->sellUnit(buyer ? buyer : m_buyer, unit ? unit : m_unit, total, down, count, start,
                   currency, "1001", "بنك فلسطين")
            == 1;
    }
    /** Sells a unit in one installment due 2025-01-15, in dinars, paid by cheque 1001; its installment and
     * cheque. */
    std::pair<int, int> sellOne(double amount, int unit = 0)
    {
        if (m_sales->sellUnit(m_buyer, unit ? unit : m_unit, amount, 0, 1, "2025-01-15", 3, "1001", "بنك")
            != 1)
            return { -1, -1 };
        return { m_db->value("SELECT MAX(id) FROM installments").toInt(),
            m_db->value("SELECT MAX(id) FROM cheques").toInt() };
    }
    bool addInstallment(double amount, const QString& due, int buyer = 0)
    {
        return m_sales->add(buyer ? buyer : m_buyer, m_unit, 0, 0, amount, due, 1) > 0;
    }
    bool addCheque(double amount, double rate = 1, int currency = 1)
    {
        return m_cheques->add("1", "received", amount, {}, "2025-04-01", "x", currency, rate) > 0;
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_sales = std::make_unique<InstallmentModel>(db());
        m_cheques = std::make_unique<ChequeModel>(db());
        m_buyers = std::make_unique<BuyerModel>(db());
        m_property = addProperty(db(), "برج الياسمين");
        m_unit = addUnit(db(), m_property, "A-101");
        m_buyer = addBuyer(db(), "سامي خليل");
        // Sales in dollars and dinars post to the books at the rate of their day.
        QVERIFY(CurrencyModel(db()).setRateOn(2, 1, 3.6, "2000-01-01"));
        QVERIFY(CurrencyModel(db()).setRateOn(3, 1, 5.1, "2000-01-01"));
    }
    void cleanup()
    {
        m_db.reset();
        Clock::setToday(QDate());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("failing"); // a statement made to fail first: "EVENT table", or a trigger
        QTest::addColumn<Call>("call");
        const auto pay = [this](double amount) {
            return Call([this, amount] { return m_sales->payInstallment(m_installment, amount); });
        };
        const auto hand = [this](double amount, const char* due, int buyer = 0) {
            return Call([=] { return addInstallment(amount, due, buyer); });
        };
        const auto cheque = [this](int* id, const char* status) {
            return Call([=] { return m_cheques->updateStatus(*id, status); });
        };
        const Call sale = [this] { return sell(1000, 100, 3); };
        refusal("buyer with a taken identity number",
            [this] { return m_buyers->add("د", "77", {}, {}, {}) > 0; });
        refusal("buyer without a name", [this] { return m_buyers->add("   ", "1", {}, {}, {}) > 0; });
        refusal(
            "buyer's name blanked", [this] { return m_buyers->update(m_buyer, QString(), {}, {}, {}, {}); });
        refusal("buyer given a taken identity number",
            [this] { return m_buyers->update(m_buyer, "س", "77", {}, {}, {}); });
        refusal("sale to an unknown buyer", [this] { return sell(1000, 100, 3, "2025-01-01", 1, 500); });
        refusal("sale of an unknown unit", [this] { return sell(1000, 100, 3, "2025-01-01", 1, 0, 9999); });
        refusal("sale of a sold unit", [this] { return sell(2000, 500, 2, "2025-03-01", 1, 0, m_soldUnit); });
        refusal("sale in an unknown currency", [this] { return sell(1000, 100, 3, "2025-01-01", 99); });
        refusal("cash sale in an unknown currency", [this] { return sell(1000, 1000, 0, "2025-01-01", 99); });
        refusal("sale for nothing", [this] { return sell(0, 0, 0); });
        refusal("negative price", [this] { return sell(-1000, 0, 3); });
        refusal("negative down payment", [this] { return sell(1000, -100, 3); });
        refusal("down payment above the price", [this] { return sell(1000, 1200, 12); });
        refusal("installments of less than a cent", [this] { return sell(1000.10, 1000, 12); });
        refusal("infinite price", [this] { return sell(qInf(), 0, 3); });
        refusal("price not a number", [this] { return sell(qQNaN(), 0, 3); });
        refusal("infinite down payment", [this] { return sell(1000, qInf(), 3); });
        refusal("down payment not a number", [this] { return sell(1000, qQNaN(), 3); });
        refusal("absurd price", [this] { return sell(1e300, 0, 3); });
        refusal("sale on no such day", [this] { return sell(1000, 0, 3, "2025-02-30"); });
        refusal("sale on an unpadded date", [this] { return sell(1000, 0, 3, "2025-1-5"); });
        refusal("cash sale without a date", [this] { return sell(1000, 1000, 0, ""); });
        refusal("a mistyped count", [this] { return sell(1000, 0, 1201); });
        // Due dates past the year 9999 would sort before every other date.
        refusal("schedule running past the year 9999", [this] { return sell(1000, 0, 2, "9999-12-01"); });
        refusal("sale: unit not written", sale, "UPDATE units");
        refusal("sale: down payment not written", sale, "INSERT payments");
        refusal("sale: installment not written", sale, "INSERT installments");
        refusal("sale: cheque not written", sale, "INSERT cheques");
        refusal("sale: buyer's balance not written", sale, "UPDATE buyers");
        refusal("sale: record not written", sale, "INSERT audit_logs");
        refusal("sale: entry not written", sale, "INSERT journal_lines");
        refusal("sale: a later cheque not written", sale,
            "CREATE TRIGGER no_third BEFORE INSERT ON cheques WHEN NEW.cheque_number = '1003' "
            "BEGIN SELECT RAISE(ABORT, 'no'); END");
        refusal("collection of nothing", pay(0));
        refusal("negative collection", pay(-50));
        refusal("collection below a cent", pay(0.004));
        refusal("collection not a number", pay(qQNaN()));
        refusal("infinite collection", pay(qInf()));
        refusal("a cent more than is open", pay(500.01));
        refusal(
            "collection of an unknown installment", [this] { return m_sales->payInstallment(9999, 100); });
        refusal("collection: installment not written", pay(500), "UPDATE installments");
        refusal("collection: cheque not written", pay(500), "UPDATE cheques");
        refusal("collection: payment not written", pay(500), "INSERT payments");
        refusal("collection: buyer's balance not written", pay(500), "UPDATE buyers");
        refusal("collection: record not written", pay(500), "INSERT audit_logs");
        refusal("installment of nothing", hand(0, "2025-05-01"));
        refusal("negative installment", hand(-10, "2025-05-01"));
        refusal("installment below a cent", hand(0.004, "2025-05-01"));
        refusal("installment not a number", hand(qQNaN(), "2025-05-01"));
        refusal("infinite installment", hand(qInf(), "2025-05-01"));
        refusal("installment on a day-month-year date", hand(100, "01/05/2025"));
        refusal("installment without a date", hand(100, ""));
        refusal("installment of an unknown buyer", hand(100, "2025-05-01", 50));
        refusal("installment: buyer's balance not written", hand(100, "2025-05-01"), "UPDATE buyers");
        refusal("infinite cheque", [this] { return addCheque(qInf()); });
        refusal("cheque not a number", [this] { return addCheque(qQNaN()); });
        refusal("negative cheque", [this] { return addCheque(-40); });
        refusal("cheque below a cent", [this] { return addCheque(0.004); });
        refusal("absurd cheque", [this] { return addCheque(1e308); });
        refusal("cheque at an infinite rate", [this] { return addCheque(100, qInf()); });
        refusal("cheque at a rate not a number", [this] { return addCheque(100, qQNaN()); });
        refusal("cheque in an unknown currency", [this] { return addCheque(100, 1, 99); });
        refusal("pending cheque set pending", cheque(&m_cheque, "pending"));
        refusal("cheque set to a word outside the vocabulary", cheque(&m_cheque, "cashed"));
        refusal("unknown cheque cashed", [this] { return m_cheques->updateStatus(4242, "paid"); });
        // A returned cheque is never cashed, nor returned twice.
        refusal("returned cheque cashed", cheque(&m_returned, "paid"));
        refusal("returned cheque returned again", cheque(&m_returned, "bounced"));
        for (const char* step : { "UPDATE installments", "UPDATE cheques", "INSERT payments", "UPDATE buyers",
                 "INSERT audit_logs" }) {
            QTest::addRow("cashing: %s fails", step)
                << QString::fromLatin1(step) << cheque(&m_cheque, "paid");
            QTest::addRow("return: %s fails", step)
                << QString::fromLatin1(step) << cheque(&m_cashed, "bounced");
        }
    }
    void refusals()
    {
        QFETCH(QString, failing);
        QFETCH(Call, call);
        QVERIFY(m_buyers->add("ج", "77", {}, {}, {}) > 0);
        m_soldUnit = addUnit(db(), m_property, "S-1");
        std::tie(m_installment, m_cheque) = sellOne(500, m_soldUnit);
        m_cashed = sellOne(300, addUnit(db(), m_property, "S-2")).second;
        QVERIFY(m_cheques->updateStatus(m_cashed, "paid"));
        QVERIFY(addCheque(100));
        m_returned = m_db->value("SELECT MAX(id) FROM cheques").toInt();
        QVERIFY(m_cheques->updateStatus(m_returned, "bounced"));
        verifyRefused(db(), failing, call, { m_sales.get(), m_cheques.get(), m_buyers.get() });
    }

    void buyerRegister()
    {
        // The page sends empty text for a blank identity number: such buyers do not collide.
        const int first = m_buyers->add("أ", "", {}, {}, {});
        QVERIFY(first > 0 && m_buyers->add("ب", "  ", {}, {}, {}) > 0);
        QVERIFY(sell(1000, 0, 2, "2025-01-01", 1, first));
        // Editing a buyer leaves what the buyer owes alone.
        QVERIFY(m_buyers->update(first, "أحمد", "900", "059", {}, {}));
        QCOMPARE(balance(first), 1000.0);
        QCOMPARE(m_buyers->getAll().first().toMap().value("installment_count").toInt(), 2);
    }

    void aSaleWritesTheWholeSchedule()
    {
        QVERIFY(sell(1000, 0, 3, "2025-01-31"));
        QCOMPARE(statusOf(db(), "units", m_unit), "sold");
        QCOMPARE(db()->getById("units", m_unit).value("buyer_id").toInt(), m_buyer);
        const QVariantList rows
            = db()->execQuery("SELECT i.installment_amount || ' ' || i.due_date || ' ' || c.cheque_number AS "
                              "line FROM installments i "
                              "JOIN cheques c ON c.installment_id=i.id AND c.amount=i.installment_amount AND "
                              "c.status='pending' ORDER BY i.id");
        QCOMPARE(columnOf(rows, "line"),
            QStringList({ "333.33 2025-01-31 1001", "333.33 2025-02-28 1002", "333.34 2025-03-31 1003" }));
        QCOMPARE(balance(), 1000.0);
        QCOMPARE(m_db->count("payments"), 0);
        VERIFY_CONSISTENT(db());
    }

    void aSaleIsAuditedUnderTheClerkWhoTriedItRefusedOrNot()
    {
        const int admin = m_db->value("SELECT id FROM users WHERE username='admin'").toInt();
        QVERIFY(admin > 0);
        m_sales->setActingUser(admin);
        QVERIFY(!sell(1000, 1200, 12));
        const QVariantMap refused = db()->execQuery("SELECT * FROM audit_logs").value(0).toMap();
        QCOMPARE(refused.value("user_id").toInt(), admin);
        QCOMPARE(refused.value("record_id").toInt(), m_unit);
        QVERIFY(refused.value("details").toString().endsWith(m_sales->lastError()));
        QCOMPARE(m_db->count("payments") + m_db->count("installments"), 0);
        QVERIFY(sell(1000, 100, 3));
        QCOMPARE(m_db->value("SELECT COUNT(*) FROM audit_logs WHERE user_id=?", { admin }).toInt(), 2);
    }

    void scheduleInWholeCentsAndMonths_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("down");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("schedule");
        const auto row = [](const char* name, double total, double down, int count, const char* start,
                             const char* schedule) {
            QTest::newRow(name) << total << down << count << QString::fromLatin1(start)
                                << QString::fromLatin1(schedule);
        };
        row("leap year month ends", 900, 0, 3, "2024-01-31",
            "300 2024-01-31, 300 2024-02-29, 300 2024-03-31");
        row("common year month ends", 900, 0, 3, "2023-12-31",
            "300 2023-12-31, 300 2024-01-31, 300 2024-02-29");
        row("30th into February", 90, 0, 3, "2025-01-30", "30 2025-01-30, 30 2025-02-28, 30 2025-03-30");
        row("29 February a month on", 100, 0, 2, "2024-02-29", "50 2024-02-29, 50 2024-03-29");
        row("remainder after down payment", 1000, 400, 3, "2025-11-15",
            "200 2025-11-15, 200 2025-12-15, 200 2026-01-15");
        row("cut down, last carries the rest", 100, 0, 3, "2025-01-10",
            "33.33 2025-01-10, 33.33 2025-02-10, 33.34 2025-03-10");
        row("a sub-cent price is rounded to the cent", 10.005, 0, 2, "2025-01-01",
            "5 2025-01-01, 5.01 2025-02-01");
        row("a cent left is still an installment", 1000.01, 1000, 1, "2025-01-01", "0.01 2025-01-01");
        // 0.29 is 28.999999999999996 hundredths in binary; it must not be cut to 0.28.
        row("binary fraction share", 0.58, 0, 2, "2025-01-01", "0.29 2025-01-01, 0.29 2025-02-01");
        row("count 0 gives one installment", 500, 100, 0, "2025-01-01", "400 2025-01-01");
        row("negative count gives one installment", 500, 0, -4, "2025-01-01", "500 2025-01-01");
        // Shares of 21,474,836.48 and more wrap a 32-bit count of hundredths.
        row("large share", 100000000, 0, 2, "2025-01-01", "50000000 2025-01-01, 50000000 2025-02-01");
        row("large share with cents", 90000000.07, 0, 2, "2025-01-01",
            "45000000.03 2025-01-01, 45000000.04 2025-02-01");
    }
    void scheduleInWholeCentsAndMonths()
    {
        QFETCH(double, total);
        QFETCH(double, down);
        QFETCH(int, count);
        QFETCH(QString, start);
        QFETCH(QString, schedule);
        QVERIFY(sell(total, down, count, start));
        QStringList stored;
        for (const QVariant& row :
            db()->execQuery("SELECT installment_amount, due_date FROM installments ORDER BY id"))
            stored << QString::number(row.toMap().value("installment_amount").toDouble(), 'g', 15) + ' '
                    + row.toMap().value("due_date").toString();
        QCOMPARE(stored.join(", "), schedule);
        QCOMPARE(balance(), Money::fromCents(Money::toCents(total) - Money::toCents(down)));
        VERIFY_CONSISTENT(db());
    }

    void aCashSaleIsItsDownPayment()
    {
        const int registered = UnitModel(db()).add(m_property, "D-4", 2, 120, 3, 0, 0, 150000, 1);
        const QVariant ownCentre
            = m_db->value("SELECT id FROM cost_centers WHERE unit_id=? AND type='unit'", { registered });
        QVERIFY(sell(85000, 85000, 0, "2025-06-01", 2, 0, registered));
        QCOMPARE(m_db->count("installments") + m_db->count("cheques"), 0);
        QCOMPARE(balance(), 0.0);
        // The down payment is the buyer's, in the sale's currency, paid into the unit's own centre.
        const QVariantMap payment = db()->execQuery("SELECT * FROM payments").first().toMap();
        QCOMPARE(payment.value("amount").toDouble(), 85000.0);
        QCOMPARE(payment.value("currency_id").toInt(), 2);
        QCOMPARE(payment.value("cost_center_id"), ownCentre);
        // A unit let to a tenant can be sold; its number is kept literally in the sale's record.
        const int rented = addUnit(db(), m_property, "%2-%1");
        addContract(db(), rented, addTenant(db(), "t"), "2025-01-01", "2025-12-31", 500);
        QVERIFY(sell(100, 100, 0, "2025-01-01", 1, 0, rented));
        QVERIFY(
            m_db->value("SELECT details FROM audit_logs WHERE table_name='units' AND record_id=?", { rented })
                .toString()
                .contains("%2-%1"));
        // The longest schedule there is: a hundred years.
        QVERIFY(sell(120000, 0, 1200, "2025-01-31"));
        QCOMPARE(m_db->value("SELECT MAX(due_date) FROM installments").toString(), "2124-12-31");
        VERIFY_CONSISTENT(db());
    }

    void chequeNumbersCountOnFromTheFirst_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("leading zeros kept") << u"000998"_s << u"000998,000999,001000"_s;
        QTest::newRow("not a number") << u"A-77"_s << u"A-77,,"_s;
        QTest::newRow("negative") << u"-5"_s << u"-5,,"_s;
        QTest::newRow("too large to count on") << u"99999999999999999999"_s << u"99999999999999999999,,"_s;
        QTest::newRow("none") << QString() << u",,"_s;
    }
    void chequeNumbersCountOnFromTheFirst()
    {
        QFETCH(QString, first);
        QFETCH(QString, numbers);
        QCOMPARE(m_sales->sellUnit(m_buyer, m_unit, 300, 0, 3, "2025-01-01", 1, first), 1);
        QCOMPARE(
            columnOf(db()->execQuery("SELECT cheque_number FROM installments ORDER BY id"), "cheque_number")
                .join(','),
            numbers);
        // One cheque for each numbered installment, of its amount.
        QCOMPARE(m_db->count("cheques"), numbers.split(',', Qt::SkipEmptyParts).size());
        VERIFY_CONSISTENT(db());
    }

    void collectionsMoveTheInstallmentAndItsCheque()
    {
        // A collection that covers the installment's cheque is that cheque cashed.
        const auto [covered, coveredCheque] = sellOne(500);
        QVERIFY(m_sales->payInstallment(covered, 500));
        QCOMPARE(statusOf(db(), "installments", covered), "paid");
        QCOMPARE(statusOf(db(), "cheques", coveredCheque), "paid");
        QCOMPARE(m_db->value("SELECT cheque_id FROM payments").toInt(), coveredCheque);
        QCOMPARE(m_db->value("SELECT currency_id FROM payments").toInt(), 3);
        // Collections in parts do not cash it; a returned cheque stays returned.
        const auto [parts, partsCheque] = sellOne(500, addUnit(db(), m_property, "B"));
        QVERIFY(m_sales->payInstallment(parts, 200));
        QCOMPARE(statusOf(db(), "installments", parts), "partial");
        QVERIFY(m_sales->payInstallment(parts, 300));
        QCOMPARE(statusOf(db(), "cheques", partsCheque), "pending");
        const auto [returned, returnedCheque] = sellOne(500, addUnit(db(), m_property, "C"));
        QVERIFY(m_cheques->updateStatus(returnedCheque, "bounced"));
        QVERIFY(m_sales->payInstallment(returned, 500));
        QCOMPARE(statusOf(db(), "cheques", returnedCheque), "bounced");
        QCOMPARE(balance(), 0.0);
        VERIFY_CONSISTENT(db());
        // An installment added by hand, in whole cents, has no cheque to touch.
        QVERIFY(addInstallment(250.254, "2025-04-01"));
        QCOMPARE(balance(), 250.25);
        QVERIFY(m_sales->payInstallment(m_db->value("SELECT MAX(id) FROM installments").toInt(), 250.25));
        QCOMPARE(balance(), 0.0);
    }

    void collectionsInWholeCents_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("second");
        QTest::addColumn<QString>("status");
        QTest::newRow("half a cent short, rounded") << 500.0 << 499.995 << 0.0 << u"paid"_s;
        QTest::newRow("a cent short") << 500.0 << 499.99 << 0.0 << u"partial"_s;
        // 0.1 + 0.2 is 0.30000000000000004 in binary; counted in cents it is 0.3 and nothing is left.
        QTest::newRow("0.1 then 0.2 of 0.3") << 0.3 << 0.1 << 0.2 << u"paid"_s;
    }
    void collectionsInWholeCents()
    {
        QFETCH(double, price);
        QFETCH(double, first);
        QFETCH(double, second);
        QFETCH(QString, status);
        const int id = sellOne(price).first;
        QVERIFY(m_sales->payInstallment(id, first));
        QVERIFY(second == 0 || m_sales->payInstallment(id, second));
        QCOMPARE(statusOf(db(), "installments", id), status);
        QVERIFY(balance() == Money::roundToCents(price - Money::roundToCents(first) - second));
        VERIFY_CONSISTENT(db());
    }

    void aRegisterEntryMovesNoMoney()
    {
        const auto entry = [this](const char* type) {
            const int id = m_cheques->add(
                "5001", type, 40.004, "بنك القاهرة عمان", "2025-06-01", "شركة النور", 1, 3.65);
            return db()->getById("cheques", id);
        };
        // The drawer of a received cheque, the payee of an issued one.
        QCOMPARE(entry("received").value("payer_name").toString(), "شركة النور");
        QCOMPARE(entry("issued").value("payee_name").toString(), "شركة النور");
        const QVariantMap neither = entry("Received");
        QVERIFY(neither.value("payer_name").toString().isEmpty()
            && neither.value("payee_name").toString().isEmpty());
        QCOMPARE(neither.value("amount").toDouble(), 40.0);
        QCOMPARE(neither.value("issue_date").toString(), "2025-03-10");
        QCOMPARE(neither.value("status").toString(), "pending");
        QVERIFY(m_cheques->updateStatus(neither.value("id").toInt(), "bounced"));
        QCOMPARE(m_db->count("payments"), 0);
        VERIFY_CONSISTENT(db());
    }

    void cashingAnInstallmentChequeCollectsIt_data()
    {
        QTest::addColumn<QList<double>>("byHand"); // collected before, none covering the cheque
        QTest::addColumn<double>("collected"); // through the cheque; 0: refused
        QTest::newRow("nothing paid yet") << QList<double> {} << 500.0;
        QTest::newRow("partly paid by hand") << QList<double> { 200 } << 300.0;
        QTest::newRow("settled by hand") << QList<double> { 200, 300 } << 0.0;
    }
    void cashingAnInstallmentChequeCollectsIt()
    {
        QFETCH(QList<double>, byHand);
        QFETCH(double, collected);
        const auto [installment, cheque] = sellOne(500);
        for (const double amount : byHand)
            QVERIFY(m_sales->payInstallment(installment, amount));
        QCOMPARE(m_cheques->updateStatus(cheque, "paid"), collected > 0);
        QCOMPARE(m_cheques->lastError().isEmpty(), collected > 0);
        // Every case ends with the installment settled once.
        QCOMPARE(statusOf(db(), "installments", installment), "paid");
        QCOMPARE(balance(), 0.0);
        QCOMPARE(m_db->value("SELECT COALESCE(SUM(amount), 0) FROM payments WHERE cheque_id=?", { cheque })
                     .toDouble(),
            collected);
        VERIFY_CONSISTENT(db());
    }

    void aReturnTakesBackWhatTheChequeCollected_data()
    {
        QTest::addColumn<double>("byHand"); // collected by hand before the cheque
        QTest::addColumn<bool>("onTheRegister"); // cashed here, or by a collection that covers it
        QTest::newRow("cashed on the register") << 0.0 << true;
        QTest::newRow("covered by a collection") << 0.0 << false;
        QTest::newRow("the rest of a partly paid installment") << 200.0 << true;
    }
    void aReturnTakesBackWhatTheChequeCollected()
    {
        QFETCH(double, byHand);
        QFETCH(bool, onTheRegister);
        const auto [installment, cheque] = sellOne(500);
        QVERIFY(byHand == 0 || m_sales->payInstallment(installment, byHand));
        QVERIFY(onTheRegister ? m_cheques->updateStatus(cheque, "paid")
                              : m_sales->payInstallment(installment, 500));
        QVERIFY(m_cheques->updateStatus(cheque, "bounced"));
        QCOMPARE(db()->getById("installments", installment).value("paid_amount").toDouble(), byHand);
        QCOMPARE(statusOf(db(), "installments", installment), byHand > 0 ? "partial" : "pending");
        QCOMPARE(balance(), 500 - byHand);
        // The collection stays on the books and is taken back by a payment of the opposite amount.
        QCOMPARE(m_db->count(
                     "SELECT id FROM payments WHERE cheque_id=? AND amount=?", { cheque, -(500 - byHand) }),
            1);
        QCOMPARE(m_sales->getOverdue().size(), 1);
        QVERIFY(m_sales->payInstallment(installment, 500 - byHand));
        QVERIFY2(m_sales->getOverdue().isEmpty(), "a paid installment is overdue no more");
        VERIFY_CONSISTENT(db());
    }

    void aReturnBeyondWhatTheInstallmentShowsPaidIsRefused()
    {
        // Records that disagree (the installment shows less paid than the cheque brought in): taking
        // the whole cheque back would leave the installment owing more than its amount.
        const auto [installment, cheque] = sellOne(500);
        QVERIFY(m_cheques->updateStatus(cheque, "paid"));
        QVERIFY(db()->execNonQuery(
            "UPDATE installments SET paid_amount=100, status='partial' WHERE id=?", { installment }));
        const Unchanged refused(db(), { m_sales.get(), m_cheques.get(), m_buyers.get() });
        QVERIFY(!m_cheques->updateStatus(cheque, "bounced"));
        QVERIFY(refused.holds());
    }
};

QTEST_GUILESS_MAIN(TestSales)
#include "tst_sales.moc"
