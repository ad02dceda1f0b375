// What each operation posts to the ledger, in the primary currency and in others, and the switch.
#include "accountmodel.h"
#include "billingfixtures.h"
#include "chequemodel.h"
#include "clock.h"
#include "currencymodel.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "paymentmodel.h"
#include "settingsmanager.h"
#include "testdatabase.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace BillingFixtures;

namespace {

constexpr int kShekel = 1;
constexpr int kDollar = 2;
const QDate kToday(2025, 3, 10);

/** An entry's lines as "code:cents" (debit positive), in code order, and its reference. */
struct Posted
{
    QString reference;
    QStringList lines;
};

} // namespace

class TestBookKeeper : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    int m_unit = 0;
    int m_tenant = 0;
    int m_buyer = 0;

    Database* db() const { return m_db->db(); }

    /** The lines of the newest entry the program posted. */
    Posted newest() const
    {
        const QVariantMap entry
            = db()->execQuery(QStringLiteral("SELECT id, reference_type FROM journal_entries "
                                             "WHERE reference_type != 'manual' ORDER BY id DESC LIMIT 1"))
                  .value(0)
                  .toMap();
        Posted posted { entry.value(QStringLiteral("reference_type")).toString(), {} };
        for (const QVariant& row : db()->execQuery(
                 QStringLiteral("SELECT a.code, ROUND(jl.debit*100) - ROUND(jl.credit*100) AS cents "
                                "FROM journal_lines jl JOIN accounts a ON a.id=jl.account_id "
                                "WHERE jl.entry_id=? ORDER BY a.code"),
                 { entry.value(QStringLiteral("id")) }))
            posted.lines << QStringLiteral("%1:%2").arg(row.toMap().value(QStringLiteral("code")).toString(),
                QString::number(row.toMap().value(QStringLiteral("cents")).toLongLong()));
        return posted;
    }

    int entries() const { return m_db->count(QStringLiteral("journal_entries")); }

    int invoice(double rent, double service = 0, int currency = kShekel,
        const QString& period = QStringLiteral("2025-03"))
    {
        QVariantList items { item(QStringLiteral("إيجار"), rent, 1, QStringLiteral("rent")) };
        if (service > 0)
            items << item(QStringLiteral("نظافة"), service);
        return InvoiceModel(db()).createInvoice(m_tenant, m_unit, period, items, currency);
    }

    int sale(int unitId, double price, double down, int count, const QString& firstCheque = QString())
    {
        return InstallmentModel(db()).sellUnit(m_buyer, unitId, price, down, count,
            kToday.toString(Qt::ISODate), kShekel, firstCheque, QStringLiteral("بنك فلسطين"));
    }

    /** The books agree with the operations: receivables with the balances, the trial balance 0. */
    void verifyBooksAgree() const
    {
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT SUM(ROUND(balance*100)) FROM accounts")).toLongLong(), 0LL);
        QCOMPARE(m_db->value(QStringLiteral("SELECT SUM(ROUND(balance*100)) FROM accounts "
                                            "WHERE posting_role IN ('tenant_receivable','buyer_receivable')"))
                     .toLongLong(),
            m_db->value(QStringLiteral("SELECT (SELECT SUM(ROUND(balance*100)) FROM tenants) "
                                       "+ (SELECT SUM(ROUND(balance*100)) FROM buyers)"))
                .toLongLong());
    }

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        Clock::setToday(kToday);
    }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        const int property = addProperty(db());
        m_unit = addUnit(db(), property, QStringLiteral("101"));
        m_tenant = addTenant(db(), QStringLiteral("سامر"));
        m_buyer = db()->execInsert(QStringLiteral("INSERT INTO buyers (full_name) VALUES ('ليلى')"));
        addUnit(db(), property, QStringLiteral("201"));
        addUnit(db(), property, QStringLiteral("202"));
    }
    void cleanup() { m_db.reset(); }

    void chartHasAnAccountForEveryPosting()
    {
        QStringList codes;
        for (const QVariant& row : db()->execQuery(
                 QStringLiteral("SELECT code FROM accounts WHERE posting_role IS NOT NULL ORDER BY code")))
            codes << row.toMap().value(QStringLiteral("code")).toString();
        QCOMPARE(codes.join(QLatin1Char(' ')),
            QStringLiteral("1100 1110 1200 1210 2100 2200 3100 4100 4200 4300 4400 5100 5200"));
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT value FROM settings WHERE key='ledger_posting'")).toString(),
            QStringLiteral("on"));
    }

    void everyOperationPostsItsEntry()
    {
        // Each step and the lines its entry carries, in hundredths of the primary currency.
        const int contractor = addContractor(db(), QStringLiteral("أبو علي"));
        const int request
            = MaintenanceModel(db()).add(m_unit, 0, QStringLiteral("تسرب"), {}, QStringLiteral("low"));
        int invoiceId = 0;
        const struct
        {
            const char* name;
            std::function<bool()> act;
            const char* reference;
            const char* lines;
        } steps[] = {
            { "rent and service invoice", [&] { return (invoiceId = invoice(1000, 150)) > 0; }, "invoice",
                "1200:115000 4100:-100000 4200:-15000" },
            { "payment in cash",
                [&] {
                    return PaymentModel(db()).add(invoiceId, m_tenant, 400, QStringLiteral("cash"),
                               kToday.toString(Qt::ISODate), {}, kShekel)
                        > 0;
                },
                "payment", "1100:40000 1200:-40000" },
            { "payment by bank transfer",
                [&] {
                    return PaymentModel(db()).add(invoiceId, m_tenant, 115, QStringLiteral("bank"),
                               kToday.toString(Qt::ISODate), {}, kShekel)
                        > 0;
                },
                "payment", "1110:11500 1200:-11500" },
            // 635 still open of 1000 rent and 150 service: taken back in those shares.
            { "void takes back the open part", [&] { return InvoiceModel(db()).voidInvoice(invoiceId); },
                "void", "1200:-63500 4100:55217 4200:8283" },
            { "expense paid",
                [&] {
                    return ExpenseModel(db()).add(1, m_unit, 0, QStringLiteral("كهرباء"), {}, {}, 300,
                               QStringLiteral("2025-03-09"), kShekel)
                        > 0;
                },
                "expense", "1100:-30000 5200:30000" },
            { "contractor's work owed",
                [&] {
                    return ExpenseModel(db()).add(1, m_unit, contractor, QStringLiteral("صيانة"), {}, {},
                               220.5, QStringLiteral("2025-03-09"), kShekel)
                        > 0;
                },
                "expense", "2100:-22050 5100:22050" },
            { "maintenance completed", [&] { return MaintenanceModel(db()).complete(request, 250); },
                "expense", "1100:-25000 5100:25000" },
            { "sale with down payment", [&] { return sale(2, 100000, 20000, 4, QStringLiteral("500")) == 1; },
                "sale", "1100:2000000 1210:8000000 4300:-10000000" },
            { "installment collected",
                [&] {
                    const int first = m_db->value(QStringLiteral("SELECT MIN(id) FROM installments")).toInt();
                    return InstallmentModel(db()).payInstallment(first, 5000);
                },
                "collection", "1100:500000 1210:-500000" },
            { "installment cheque cashed",
                [&] {
                    return ChequeModel(db()).updateStatus(
                        m_db->value(QStringLiteral("SELECT id FROM cheques WHERE cheque_number='501'"))
                            .toInt(),
                        QStringLiteral("paid"));
                },
                "collection", "1110:2000000 1210:-2000000" },
            { "cheque returned by the bank",
                [&] {
                    return ChequeModel(db()).updateStatus(
                        m_db->value(QStringLiteral("SELECT id FROM cheques WHERE cheque_number='501'"))
                            .toInt(),
                        QStringLiteral("bounced"));
                },
                "cheque_return", "1110:-2000000 1210:2000000" },
            { "installment added by hand",
                [&] {
                    return InstallmentModel(db()).add(
                               m_buyer, 2, 0, 0, 750, QStringLiteral("2025-09-10"), kShekel)
                        > 0;
                },
                "installment", "1210:75000 4300:-75000" },
        };
        for (const auto& step : steps) {
            const int before = entries();
            QVERIFY2(step.act(), step.name);
            QCOMPARE(entries(), before + 1);
            const Posted posted = newest();
            QCOMPARE(posted.reference, QLatin1String(step.reference));
            QCOMPARE(posted.lines.join(QLatin1Char(' ')), QLatin1String(step.lines));
        }
        verifyBooksAgree();
        // The sale's down payment goes with the sale: no entry of its own.
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT je.id FROM journal_entries je JOIN payments p ON p.id=je.reference_id "
                     "WHERE je.reference_type='payment' AND p.is_down_payment=1")),
            0);
        // Work done for nothing moves no money.
        const int free
            = MaintenanceModel(db()).add(m_unit, 0, QStringLiteral("فحص"), {}, QStringLiteral("low"));
        const int before = entries();
        QVERIFY(MaintenanceModel(db()).complete(free, 0));
        QCOMPARE(entries(), before);
    }

    void otherCurrenciesPostAtTheRateOfTheDay()
    {
        QVERIFY(CurrencyModel(db()).setRate(kDollar, kShekel, 3.5));
        const int id = invoice(100, 0, kDollar);
        QVERIFY(id > 0);
        QCOMPARE(newest().lines.join(QLatin1Char(' ')), QStringLiteral("1200:35000 4100:-35000"));
        const QVariantMap entry
            = db()->execQuery(QStringLiteral("SELECT currency_id, original_amount, exchange_rate FROM "
                                             "journal_entries WHERE reference_type='invoice'"))
                  .value(0)
                  .toMap();
        QCOMPARE(entry.value(QStringLiteral("currency_id")).toInt(), kDollar);
        QCOMPARE(entry.value(QStringLiteral("original_amount")).toDouble(), 100.0);
        QCOMPARE(entry.value(QStringLiteral("exchange_rate")).toDouble(), 3.5);

        // Paid a day later at 3.6 in two parts: the receivable goes at 3.5, the rest is a gain.
        Clock::setToday(kToday.addDays(1));
        QVERIFY(CurrencyModel(db()).setRate(kDollar, kShekel, 3.6));
        QVERIFY(PaymentModel(db()).add(
                    id, m_tenant, 33.33, QStringLiteral("cash"), Clock::todayText(), {}, kDollar)
            > 0);
        QCOMPARE(newest().lines.join(QLatin1Char(' ')), QStringLiteral("1100:11999 1200:-11665 4400:-334"));
        QVERIFY(PaymentModel(db()).add(
                    id, m_tenant, 66.67, QStringLiteral("cash"), Clock::todayText(), {}, kDollar)
            > 0);
        QCOMPARE(newest().lines.join(QLatin1Char(' ')), QStringLiteral("1100:24001 1200:-23335 4400:-666"));
        Clock::setToday(kToday);
        // Settled: nothing of it is left in the books.
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT balance FROM accounts WHERE code='1200'")).toDouble(), 0.0);
        verifyBooksAgree();
    }

    void missingRateRefusesAndCanBeEntered()
    {
        AccountModel accounts(db());
        const QString lastWeek = kToday.addDays(-7).toString(Qt::ISODate);
        QVERIFY(accounts.missingRate(kShekel, lastWeek).isEmpty());
        const QVariantMap missing = accounts.missingRate(kDollar, lastWeek);
        QCOMPARE(missing.value(QStringLiteral("code")).toString(), QStringLiteral("USD"));
        QVERIFY(!missing.value(QStringLiteral("message")).toString().isEmpty());

        // Refused with nothing written, rather than posted at a guessed rate.
        const int invoicesBefore = m_db->count(QStringLiteral("invoices"));
        QCOMPARE(invoice(100, 0, kDollar), -1);
        QCOMPARE(m_db->count(QStringLiteral("invoices")), invoicesBefore);
        QCOMPARE(entries(), 0);
        // The rent run says which rate its invoices lack.
        const int contract = addContract(
            db(), m_unit, m_tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 500);
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE contracts SET currency_id=? WHERE id=?"), { kDollar, contract }));
        const QVariantMap run = InvoiceModel(db()).issueRent(QStringLiteral("2025-04"));
        QCOMPARE(run.value(QStringLiteral("failed")).toInt(), 1);
        QCOMPARE(run.value(QStringLiteral("missing_rates"))
                     .toList()
                     .value(0)
                     .toMap()
                     .value(QStringLiteral("currency_id"))
                     .toInt(),
            kDollar);

        // A rate of an earlier day is entered once; today's rate is no rate of last week.
        QVERIFY(CurrencyModel(db()).setRate(kDollar, kShekel, 3.7));
        QVERIFY(!accounts.missingRate(kDollar, lastWeek).isEmpty());
        QVERIFY(CurrencyModel(db()).setRateOn(kDollar, kShekel, 3.65, lastWeek));
        QVERIFY(!CurrencyModel(db()).setRateOn(kDollar, kShekel, 3.66, lastWeek));
        QVERIFY(accounts.missingRate(kDollar, lastWeek).isEmpty());
        QVERIFY(ExpenseModel(db()).add(1, 0, 0, QStringLiteral("رسوم"), {}, {}, 10, lastWeek, kDollar) > 0);
        QCOMPARE(newest().lines.join(QLatin1Char(' ')), QStringLiteral("1100:-3650 5200:3650"));
    }

    void switchedOffPostsNothingAndCatchesUpWhenOn()
    {
        SettingsManager settings(db());
        QVERIFY(settings.setAutoPosting(false).value(QStringLiteral("ok")).toBool());
        QVERIFY(!settings.autoPosting());
        const int id = invoice(900);
        QVERIFY(PaymentModel(db()).add(
                    id, m_tenant, 200, QStringLiteral("cash"), kToday.toString(Qt::ISODate), {}, kShekel)
            > 0);
        QCOMPARE(sale(2, 5000, 1000, 2), 1);
        QCOMPARE(entries(), 0);

        // On again: one entry per account brings the books up to what was done meanwhile.
        QVERIFY(settings.setAutoPosting(true).value(QStringLiteral("ok")).toBool());
        QCOMPARE(
            m_db->count(QStringLiteral("SELECT id FROM journal_entries WHERE reference_type='opening'")), 5);
        QCOMPARE(m_db->count(QStringLiteral("SELECT DISTINCT reference_id FROM journal_entries")), 5);
        verifyBooksAgree();
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT balance FROM accounts WHERE code='1100'")).toDouble(), 1200.0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT balance FROM accounts WHERE code='4300'")).toDouble(),
            -5000.0);
        // The opening balances' counterpart nets out: the operations' books balance among themselves.
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT balance FROM accounts WHERE code='3100'")).toDouble(), 0.0);
    }

    void openingOfAFileThatNeverPosted()
    {
        // A file of a version without automatic posting, with an entry typed by hand.
        m_db.reset();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("office.db"));
        {
            Database old;
            QVERIFY(old.initialize(path));
            SettingsManager(&old).setAutoPosting(false);
            const int unit = addUnit(&old, addProperty(&old), QStringLiteral("1"));
            const int tenant = addTenant(&old, QStringLiteral("سامر"));
            const int id = InvoiceModel(&old).createInvoice(tenant, unit, QStringLiteral("2025-03"),
                { item(QStringLiteral("إيجار"), 1200, 1, QStringLiteral("rent")),
                    item(QStringLiteral("نظافة"), 80) },
                kShekel);
            QVERIFY(PaymentModel(&old).add(
                        id, tenant, 500, QStringLiteral("bank"), kToday.toString(Qt::ISODate), {}, kShekel)
                > 0);
            QVERIFY(ExpenseModel(&old).add(
                        1, 0, 0, QStringLiteral("رواتب"), {}, {}, 300, kToday.toString(Qt::ISODate), kShekel)
                > 0);
            QVERIFY(AccountModel(&old).createJournalEntry(kToday.toString(Qt::ISODate),
                        QStringLiteral("رأس مال"), QStringLiteral("manual"), 0,
                        { QVariantMap { { "account_id", 2 }, { "debit", 1000 }, { "credit", 0 } },
                            QVariantMap { { "account_id", 6 }, { "debit", 0 }, { "credit", 1000 } } })
                > 0);
            QVERIFY(old.execNonQuery(QStringLiteral("DELETE FROM settings WHERE key LIKE 'ledger_%'")));
        }
        Database reopened;
        QVERIFY(reopened.initialize(path));

        // One opening entry per account; the entry by hand stays as it was, on top.
        QStringList opened;
        for (const QVariant& row : reopened.execQuery(QStringLiteral(
                 "SELECT a.code, ROUND(jl.debit*100) - ROUND(jl.credit*100) AS cents FROM journal_entries je "
                 "JOIN journal_lines jl ON jl.entry_id=je.id JOIN accounts a ON a.id=jl.account_id "
                 "WHERE je.reference_type='opening' AND a.code != '3100' ORDER BY a.code")))
            opened << row.toMap().value(QStringLiteral("code")).toString() + QLatin1Char(':')
                    + QString::number(row.toMap().value(QStringLiteral("cents")).toLongLong());
        QCOMPARE(opened.join(QLatin1Char(' ')),
            QStringLiteral("1100:-30000 1110:50000 1200:78000 4100:-120000 4200:-8000 5200:30000"));
        QCOMPARE(reopened.scalar(QStringLiteral("SELECT balance FROM accounts WHERE code='1100'")).toDouble(),
            700.0);
        QCOMPARE(
            reopened
                .scalar(QStringLiteral("SELECT COUNT(*) FROM journal_entries WHERE reference_type='manual'"))
                .toInt(),
            1);
    }

    void entryKnowsItsOrigin()
    {
        const int id = invoice(640);
        QVERIFY(id > 0);
        AccountModel accounts(db());
        const int entry
            = m_db->value(QStringLiteral("SELECT id FROM journal_entries WHERE reference_type='invoice'"))
                  .toInt();
        const QVariantMap shown = accounts.getEntry(entry);
        QCOMPARE(shown.value(QStringLiteral("origin_kind")).toString(), QStringLiteral("فاتورة"));
        QCOMPARE(shown.value(QStringLiteral("origin_page")).toString(), QStringLiteral("InvoicesPage"));
        QCOMPARE(shown.value(QStringLiteral("lines")).toList().size(), 2);
        const QVariantList trial = accounts.getTrialBalance();
        const QVariantMap totals = trial.last().toMap();
        QCOMPARE(totals.value(QStringLiteral("debit")).toDouble(), 640.0);
        QCOMPARE(totals.value(QStringLiteral("credit")).toDouble(), 640.0);
        // An entry by hand may not pose as an operation's, and the books' currency stays.
        QCOMPARE(accounts.createJournalEntry(kToday.toString(Qt::ISODate), {}, QStringLiteral("invoice"), id,
                     { QVariantMap { { "account_id", 2 }, { "debit", 5 } },
                         QVariantMap { { "account_id", 8 }, { "credit", 5 } } }),
            -1);
        QVERIFY(!SettingsManager(db()).setPrimaryCurrency(QStringLiteral("USD")));
    }
};

QTEST_GUILESS_MAIN(TestBookKeeper)
#include "tst_bookkeeper.moc"
