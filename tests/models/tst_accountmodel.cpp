#include "accountmodel.h"
#include "money.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

namespace {

// Seeded chart of accounts, by id.
constexpr int kAssets = 1;
constexpr int kCash = 2; // "1100"
constexpr int kReceivables = 3;
constexpr int kLiabilities = 4;
constexpr int kPayables = 5; // "2100"
constexpr int kEquity = 6;
constexpr int kRevenue = 7;
constexpr int kRent = 8; // "4100"
constexpr int kServices = 9; // "4200"
constexpr int kExpenses = 11;
constexpr int kMaintenance = 12; // "5100"

QVariantMap line(
    int account, const QVariant& debit, const QVariant& credit, const QString& description = QString())
{
    return { { QStringLiteral("account_id"), account }, { QStringLiteral("debit"), debit },
        { QStringLiteral("credit"), credit }, { QStringLiteral("description"), description } };
}

} // namespace

class TestAccountModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<AccountModel> m_model;

    Database* db() const { return m_db->db(); }
    double balance(int account) const
    {
        return m_db->value(QStringLiteral("SELECT balance FROM accounts WHERE id=?"), { account }).toDouble();
    }
    int post(const QString& date, int debitAccount, int creditAccount, double amount)
    {
        return m_model->createJournalEntry(date, QStringLiteral("قيد"), QStringLiteral("manual"), 0,
            { line(debitAccount, amount, 0.0), line(creditAccount, 0.0, amount) });
    }
    /** Nothing of a refused entry may remain: no entry, no line, every balance still 0. */
    void verifyLedgerUntouched() const
    {
        QCOMPARE(m_db->count(QStringLiteral("journal_entries")), 0);
        QCOMPARE(m_db->count(QStringLiteral("journal_lines")), 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM accounts WHERE balance<>0")), 0);
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<AccountModel>(db());
    }
    void cleanup()
    {
        m_model.reset();
        m_db.reset();
    }

    void chartIsListedByCode()
    {
        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 13);
        QStringList codes;
        for (const QVariant& account : all)
            codes << account.toMap().value(QStringLiteral("code")).toString();
        QCOMPARE(codes.first(), QStringLiteral("1000"));
        QCOMPARE(codes.at(1), QStringLiteral("1100"));
        QCOMPARE(codes.last(), QStringLiteral("5200"));
        QStringList sorted = codes;
        sorted.sort();
        QCOMPARE(codes, sorted);
        const QVariantMap cash = all.at(1).toMap();
        QCOMPARE(cash.value(QStringLiteral("name_ar")).toString(), QStringLiteral("النقدية"));
        QCOMPARE(cash.value(QStringLiteral("parent_id")).toInt(), kAssets);
        QCOMPARE(cash.value(QStringLiteral("is_system")).toInt(), 1);
    }

    void addsTopLevelAndSubAccounts()
    {
        QSignalSpy changed(m_model.get(), &AccountModel::dataChanged);
        const int group = m_model->add(
            QStringLiteral("6000"), QStringLiteral("حسابات نظامية"), QStringLiteral("asset"), 0);
        QVERIFY(group > 0);
        const QVariantMap row = db()->getById(QStringLiteral("accounts"), group);
        QVERIFY(row.value(QStringLiteral("parent_id")).isNull());
        QCOMPARE(row.value(QStringLiteral("is_system")).toInt(), 0);
        QCOMPARE(row.value(QStringLiteral("balance")).toDouble(), 0.0);

        const int sub = m_model->add(
            QStringLiteral(" 1300 "), QStringLiteral("البنك"), QStringLiteral("asset"), kAssets);
        QVERIFY(sub > 0);
        QCOMPARE(db()->getById(QStringLiteral("accounts"), sub).value(QStringLiteral("parent_id")).toInt(),
            kAssets);
        QCOMPARE(db()->getById(QStringLiteral("accounts"), sub).value(QStringLiteral("code")).toString(),
            QStringLiteral("1300"));
        QCOMPARE(changed.count(), 0);
    }

    void badAccountsAreRefused_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("parent");
        QTest::newRow("taken code") << QStringLiteral("1100") << QStringLiteral("x")
                                    << QStringLiteral("asset") << 0;
        QTest::newRow("taken after trimming")
            << QStringLiteral("1100 ") << QStringLiteral("x") << QStringLiteral("asset") << 0;
        QTest::newRow("empty code") << QString() << QStringLiteral("x") << QStringLiteral("asset") << 0;
        QTest::newRow("blank name") << QStringLiteral("7000") << QStringLiteral("  ")
                                    << QStringLiteral("asset") << 0;
        QTest::newRow("unknown type")
            << QStringLiteral("7000") << QStringLiteral("x") << QStringLiteral("income") << 0;
        QTest::newRow("type in capitals")
            << QStringLiteral("7000") << QStringLiteral("x") << QStringLiteral("Asset") << 0;
        QTest::newRow("unknown parent")
            << QStringLiteral("7000") << QStringLiteral("x") << QStringLiteral("asset") << 999;
    }

    void badAccountsAreRefused()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(int, parent);
        QCOMPARE(m_model->add(code, name, type, parent), -1);
        QCOMPARE(m_db->count(QStringLiteral("accounts")), 13);
    }

    void postingMovesOnlyTheAccountsPosted()
    {
        QSignalSpy changed(m_model.get(), &AccountModel::dataChanged);
        const int id = m_model->createJournalEntry(QStringLiteral("2024-04-10"),
            QStringLiteral("إيجار نيسان"), QStringLiteral("manual"), 0,
            { line(kCash, 100.0, 0.0, QStringLiteral("قبض")),
                line(kRent, 0.0, 100.0, QStringLiteral("إيراد")) });
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(balance(kCash), 100.0);
        QCOMPARE(balance(kRent), -100.0); // credit-normal accounts go negative
        QCOMPARE(balance(kAssets), 0.0); // groups are not rolled up
        QCOMPARE(balance(kRevenue), 0.0);

        const QVariantMap entry = db()->getById(QStringLiteral("journal_entries"), id);
        QCOMPARE(entry.value(QStringLiteral("entry_date")).toString(), QStringLiteral("2024-04-10"));
        QCOMPARE(entry.value(QStringLiteral("description")).toString(), QStringLiteral("إيجار نيسان"));
        QCOMPARE(entry.value(QStringLiteral("reference_type")).toString(), QStringLiteral("manual"));
        QCOMPARE(entry.value(QStringLiteral("reference_id")).toInt(), 0);
        QVERIFY(entry.value(QStringLiteral("cost_center_id")).isNull());
        const QVariantList lines
            = db()->execQuery(QStringLiteral("SELECT account_id, debit, credit, description FROM "
                                             "journal_lines WHERE entry_id=? ORDER BY id"),
                { id });
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).toMap().value(QStringLiteral("description")).toString(), QStringLiteral("قبض"));
        QCOMPARE(lines.at(1).toMap().value(QStringLiteral("credit")).toDouble(), 100.0);

        // A second posting adds to the running balances.
        QVERIFY(post(QStringLiteral("2024-04-11"), kCash, kServices, 30.5) > 0);
        QCOMPARE(balance(kCash), 130.5);
        QCOMPARE(balance(kServices), -30.5);
    }

    void splitEntryAndSameAccountOnBothSides()
    {
        QVERIFY(m_model->createJournalEntry(QStringLiteral("2024-04-10"), QStringLiteral("x"),
                    QStringLiteral("manual"), 0,
                    { line(kCash, 150.0, 0.0), line(kRent, 0.0, 100.0), line(kServices, 0.0, 50.0) })
            > 0);
        QCOMPARE(balance(kCash), 150.0);
        QCOMPARE(balance(kRent), -100.0);
        QCOMPARE(balance(kServices), -50.0);

        QVERIFY(post(QStringLiteral("2024-04-12"), kReceivables, kReceivables, 75.0) > 0);
        QCOMPARE(balance(kReceivables), 0.0);
        QCOMPARE(m_db->count(QStringLiteral("journal_entries")), 2);
    }

    void balanceTolerance_data()
    {
        QTest::addColumn<double>("debit");
        QTest::addColumn<double>("credit");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("equal") << 100.0 << 100.0 << true;
        QTest::newRow("100 vs 99.995") << 100.0 << 99.995 << true;
        QTest::newRow("99.995 vs 100") << 99.995 << 100.0 << true;
        // Lines are kept in hundredths, and an entry must balance in them exactly: a cent let
        // through on every entry would leave the ledger off by all of them.
        QTest::newRow("0.01 vs 0, a cent apart") << 0.01 << 0.0 << false;
        QTest::newRow("0.004 vs 0, no cent at all") << 0.004 << 0.0 << true;
        QTest::newRow("100 vs 99.98") << 100.0 << 99.98 << false;
        QTest::newRow("100 vs 99.99, a hair above 0.01") << 100.0 << 99.99 << false;
        QTest::newRow("100 vs 101") << 100.0 << 101.0 << false;
        QTest::newRow("100 vs nothing") << 100.0 << 0.0 << false;
    }

    void balanceTolerance()
    {
        QFETCH(double, debit);
        QFETCH(double, credit);
        QFETCH(bool, accepted);
        QSignalSpy changed(m_model.get(), &AccountModel::dataChanged);
        const int id = m_model->createJournalEntry(QStringLiteral("2024-04-10"), QStringLiteral("x"),
            QStringLiteral("manual"), 0, { line(kCash, debit, 0.0), line(kRent, 0.0, credit) });
        if (accepted) {
            QVERIFY(id > 0);
            QVERIFY(balance(kCash) == Money::roundToCents(debit));
            QVERIFY(balance(kRent) == -Money::roundToCents(credit));
            QCOMPARE(changed.count(), 1);
        } else {
            QCOMPARE(id, -1);
            QCOMPARE(changed.count(), 0);
            verifyLedgerUntouched();
        }
    }

    void badEntriesLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QVariantList>("lines");
        const QString date = QStringLiteral("2024-04-10");
        QTest::newRow("unknown account")
            << date << QVariantList { line(kCash, 100.0, 0.0), line(999, 0.0, 100.0) };
        QTest::newRow("unknown account first")
            << date << QVariantList { line(999, 100.0, 0.0), line(kRent, 0.0, 100.0) };
        QTest::newRow("negative debit and credit")
            << date << QVariantList { line(kCash, -100.0, 0.0), line(kRent, 0.0, -100.0) };
        QTest::newRow("negative amount offset within a line")
            << date << QVariantList { line(kCash, 100.0, -5.0), line(kRent, 0.0, 95.0) };
        QTest::newRow("amount that is not a number")
            << date << QVariantList { line(kCash, QStringLiteral("abc"), 0.0), line(kRent, 0.0, 0.0) };
        QTest::newRow("NaN amount") << date
                                    << QVariantList { line(kCash, std::numeric_limits<double>::quiet_NaN(),
                                                          0.0),
                                           line(kRent, 0.0, 0.0) };
        QTest::newRow("no account id")
            << date
            << QVariantList { QVariantMap { { QStringLiteral("debit"), 10.0 } }, line(kRent, 0.0, 10.0) };
        QTest::newRow("no lines") << date << QVariantList {};
        QTest::newRow("not a map") << date << QVariantList { 42, line(kRent, 0.0, 0.0) };
        QTest::newRow("empty date") << QString()
                                    << QVariantList { line(kCash, 10.0, 0.0), line(kRent, 0.0, 10.0) };
        QTest::newRow("day-month-year date") << QStringLiteral(
            "10/04/2024") << QVariantList { line(kCash, 10.0, 0.0), line(kRent, 0.0, 10.0) };
        QTest::newRow("impossible date") << QStringLiteral("2024-02-30")
                                         << QVariantList { line(kCash, 10.0, 0.0), line(kRent, 0.0, 10.0) };
    }

    void badEntriesLeaveNothingBehind()
    {
        QFETCH(QString, date);
        QFETCH(QVariantList, lines);
        QSignalSpy changed(m_model.get(), &AccountModel::dataChanged);
        QCOMPARE(
            m_model->createJournalEntry(date, QStringLiteral("x"), QStringLiteral("manual"), 0, lines), -1);
        QCOMPARE(changed.count(), 0);
        verifyLedgerUntouched();
    }

    void missingAmountCountsZero()
    {
        const QVariantList lines
            = { QVariantMap { { QStringLiteral("account_id"), kCash }, { QStringLiteral("debit"), 40 } },
                  QVariantMap { { QStringLiteral("account_id"), kRent },
                      { QStringLiteral("credit"), QStringLiteral("40") } } };
        const int id = m_model->createJournalEntry(
            QStringLiteral("2024-04-10"), QString(), QStringLiteral("manual"), 0, lines);
        QVERIFY(id > 0);
        QCOMPARE(balance(kCash), 40.0);
        QCOMPARE(balance(kRent), -40.0);
        QCOMPARE(
            m_db->count(QStringLiteral("SELECT id FROM journal_lines WHERE debit IS NULL OR credit IS NULL")),
            0);
    }

    void refusedWhileAnotherTransactionIsOpen()
    {
        // Writing into someone else's transaction would let its rollback take this entry along.
        QVERIFY(db()->beginTransaction());
        QCOMPARE(post(QStringLiteral("2024-04-10"), kCash, kRent, 10.0), -1);
        QVERIFY(db()->rollbackTransaction());
        verifyLedgerUntouched();
    }

    void journalListing()
    {
        const int older = post(QStringLiteral("2024-03-01"), kCash, kRent, 100.0);
        const int newer = post(QStringLiteral("2024-03-05"), kMaintenance, kCash, 40.0);
        QVERIFY(older > 0 && newer > 0);
        // An entry without lines cannot be posted, so every entry is listed.
        const QVariantList all = m_model->getJournalEntries();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(0).toMap().value(QStringLiteral("id")).toInt(), newer);
        QCOMPARE(all.at(1).toMap().value(QStringLiteral("id")).toInt(), older);

        const QVariantMap entry = all.at(1).toMap();
        QCOMPARE(entry.value(QStringLiteral("reference_type")).toString(), QStringLiteral("manual"));
        QVERIFY(entry.contains(QStringLiteral("contractor_id")));
        QStringList items = entry.value(QStringLiteral("lines")).toString().split(QLatin1Char(','));
        items.sort();
        QCOMPARE(items,
            QStringList(
                { QStringLiteral("إيرادات الإيجار:0.0:100.0"), QStringLiteral("النقدية:100.0:0.0") }));

        QCOMPARE(
            m_model->getJournalEntries(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-01")).size(), 1);
        QCOMPARE(
            m_model->getJournalEntries(QStringLiteral("2024-03-02"), QStringLiteral("2024-03-05")).size(), 1);
        QCOMPARE(
            m_model->getJournalEntries(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31")).size(), 2);
        QCOMPARE(m_model->getJournalEntries(QStringLiteral("2024-03-01"), QString()).size(), 0);
        QCOMPARE(m_model->getJournalEntries(QString(), QStringLiteral("2024-03-01")).size(), 2);
    }

    void journalPagesNewestFirst()
    {
        // Posted out of date order: the page follows the entry date, then the later posting of a day.
        const int march = post(QStringLiteral("2024-03-10"), kCash, kRent, 100.0);
        const int january = post(QStringLiteral("2024-01-05"), kCash, kServices, 50.0);
        const int marchAgain = post(QStringLiteral("2024-03-10"), kMaintenance, kCash, 20.0);
        const int may = post(QStringLiteral("2024-05-01"), kCash, kRent, 70.0);
        QVERIFY(march > 0 && january > 0 && marchAgain > 0 && may > 0);

        const auto ids = [](const QVariantList& rows) {
            QList<int> out;
            for (const QVariant& row : rows)
                out << row.toMap().value(QStringLiteral("id")).toInt();
            return out;
        };
        QCOMPARE(ids(m_model->getJournalPage(0, 50)), QList<int>({ may, marchAgain, march, january }));
        QCOMPARE(ids(m_model->getJournalPage(0, 2)), QList<int>({ may, marchAgain }));
        QCOMPARE(ids(m_model->getJournalPage(2, 2)), QList<int>({ march, january }));
        QCOMPARE(ids(m_model->getJournalPage(4, 2)), QList<int>());
        QCOMPARE(ids(m_model->getJournalPage(-3, 1)), QList<int>({ may }));
        QCOMPARE(m_model->getJournalPage(0, 0).size(), 0);

        const QVariantMap row = m_model->getJournalPage(0, 1).first().toMap();
        QCOMPARE(row.value(QStringLiteral("entry_date")).toString(), QStringLiteral("2024-05-01"));
        QCOMPARE(row.value(QStringLiteral("description")).toString(), QStringLiteral("قيد"));
        QCOMPARE(row.value(QStringLiteral("reference_type")).toString(), QStringLiteral("manual"));
    }

    void journalPageSearch()
    {
        const auto postAs = [this](const QString& date, const QString& description) {
            return m_model->createJournalEntry(date, description, QStringLiteral("manual"), 0,
                { line(kCash, 10.0, 0.0), line(kRent, 0.0, 10.0) });
        };
        const int rent = postAs(QStringLiteral("2024-02-01"), QStringLiteral("إيجار شباط - مرجع: INV-7"));
        const int fee = postAs(QStringLiteral("2024-02-03"), QStringLiteral("رسوم 100% _خدمة_"));
        const int other = postAs(QStringLiteral("2023-12-30"), QStringLiteral("تسوية"));
        QVERIFY(rent > 0 && fee > 0 && other > 0);

        const auto ids = [this](const QString& search) {
            QList<int> out;
            for (const QVariant& row : m_model->getJournalPage(0, 50, search))
                out << row.toMap().value(QStringLiteral("id")).toInt();
            return out;
        };
        QCOMPARE(ids(QStringLiteral("INV-7")), QList<int>({ rent }));
        QCOMPARE(ids(QStringLiteral("  inv-7 ")), QList<int>({ rent })); // blanks dropped, any case
        QCOMPARE(ids(QStringLiteral("2024-02")), QList<int>({ fee, rent }));
        QCOMPARE(ids(QString::number(other)), QList<int>({ other }));
        // The user's % and _ are plain characters, not wildcards.
        QCOMPARE(ids(QStringLiteral("100%")), QList<int>({ fee }));
        QCOMPARE(ids(QStringLiteral("_")), QList<int>({ fee }));
        QCOMPARE(ids(QStringLiteral("%")), QList<int>({ fee }));
        QCOMPARE(ids(QStringLiteral("لا يوجد")), QList<int>());
        QCOMPARE(m_model->getJournalPage(1, 50, QStringLiteral("2024")).size(), 1);
    }

    void balanceSheet()
    {
        const QVariantMap empty = m_model->getBalanceSheet();
        QCOMPARE(empty.value(QStringLiteral("assets")).toDouble(), 0.0);
        QCOMPARE(empty.value(QStringLiteral("liabilities")).toDouble(), 0.0);
        QCOMPARE(empty.value(QStringLiteral("equity")).toDouble(), 0.0);
        QVERIFY(!std::signbit(empty.value(QStringLiteral("liabilities")).toDouble()));

        QVERIFY(post(QStringLiteral("2024-04-10"), kCash, kRent, 100.0) > 0);
        QVariantMap sheet = m_model->getBalanceSheet();
        QCOMPARE(sheet.value(QStringLiteral("assets")).toDouble(), 100.0);
        QCOMPARE(sheet.value(QStringLiteral("liabilities")).toDouble(), 0.0);
        QCOMPARE(sheet.value(QStringLiteral("equity")).toDouble(), 0.0);

        QVERIFY(post(QStringLiteral("2024-04-11"), kCash, kEquity, 500.0) > 0); // capital paid in
        QVERIFY(post(QStringLiteral("2024-04-12"), kMaintenance, kPayables, 50.0) > 0); // a bill owed
        sheet = m_model->getBalanceSheet();
        QCOMPARE(sheet.value(QStringLiteral("assets")).toDouble(), 600.0);
        QCOMPARE(sheet.value(QStringLiteral("liabilities")).toDouble(), 50.0);
        QCOMPARE(sheet.value(QStringLiteral("equity")).toDouble(), 500.0);
    }

    void debitBalanceLowersTheLiabilities()
    {
        // Owed 50 to one supplier, 20 overpaid to another: the office owes 30, not 70.
        const int second = m_model->add(
            QStringLiteral("2200"), QStringLiteral("مورد آخر"), QStringLiteral("liability"), kLiabilities);
        QVERIFY(second > 0);
        QVERIFY(post(QStringLiteral("2024-04-10"), kMaintenance, kPayables, 50.0) > 0);
        QVERIFY(post(QStringLiteral("2024-04-10"), second, kCash, 20.0) > 0);
        QCOMPARE(balance(kPayables), -50.0);
        QCOMPARE(balance(second), 20.0);
        QCOMPARE(m_model->getBalanceSheet().value(QStringLiteral("liabilities")).toDouble(), 30.0);
        QCOMPARE(m_model->getBalanceSheet().value(QStringLiteral("assets")).toDouble(), -20.0);
    }

    void profitAndLossOverARange()
    {
        QVariantMap pl = m_model->getProfitLoss(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"));
        QCOMPARE(pl.value(QStringLiteral("revenue")).toDouble(), 0.0);
        QCOMPARE(pl.value(QStringLiteral("expenses")).toDouble(), 0.0);
        QCOMPARE(pl.value(QStringLiteral("net_profit")).toDouble(), 0.0);

        QVERIFY(post(QStringLiteral("2024-04-01"), kCash, kRent, 100.0) > 0); // on the from-date
        QVERIFY(post(QStringLiteral("2024-04-30"), kMaintenance, kCash, 40.0) > 0); // on the to-date
        QVERIFY(post(QStringLiteral("2024-05-01"), kCash, kServices, 1000.0) > 0); // the day after
        QVERIFY(post(QStringLiteral("2024-03-31"), kMaintenance, kCash, 7.0) > 0); // the day before
        QVERIFY(post(QStringLiteral("2024-04-15"), kCash, kEquity, 300.0) > 0); // not a result account
        // A refund of rent is a debit on revenue and lowers it.
        QVERIFY(post(QStringLiteral("2024-04-20"), kRent, kCash, 10.0) > 0);

        pl = m_model->getProfitLoss(QStringLiteral("2024-04-01"), QStringLiteral("2024-04-30"));
        QCOMPARE(pl.value(QStringLiteral("revenue")).toDouble(), 90.0);
        QCOMPARE(pl.value(QStringLiteral("expenses")).toDouble(), 40.0);
        QCOMPARE(pl.value(QStringLiteral("net_profit")).toDouble(), 50.0);

        pl = m_model->getProfitLoss(QStringLiteral("2024-03-01"), QStringLiteral("2024-05-31"));
        QCOMPARE(pl.value(QStringLiteral("revenue")).toDouble(), 1090.0);
        QCOMPARE(pl.value(QStringLiteral("expenses")).toDouble(), 47.0);
        QCOMPARE(pl.value(QStringLiteral("net_profit")).toDouble(), 1043.0);

        pl = m_model->getProfitLoss(QString(), QString());
        QCOMPARE(pl.value(QStringLiteral("revenue")).toDouble(), 0.0);
        QCOMPARE(pl.value(QStringLiteral("net_profit")).toDouble(), 0.0);
        QCOMPARE(balance(kExpenses), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestAccountModel)
#include "tst_accountmodel.moc"
