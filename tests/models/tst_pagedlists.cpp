// The paged lists of the pages (invoices, payments, installments, cheques, properties, tenants and
// the journal): each read a page at a time in its own order, without gaps or repeats, and searched
// over the fields its page names, with the wildcards a user types taken literally.
#include "accountmodel.h"
#include "chequemodel.h"
#include "clock.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "modeltest.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "rentalfixtures.h"
#include "rowvalues.h"
#include "settingsmanager.h"
#include "tenantmodel.h"

using namespace RentalFixtures;
using namespace Qt::StringLiterals;

namespace {

struct ListOrder
{
    const char* table;
    const char* order;
};

// Each list's table and the order its page promises: newest first, or latest date first with the
// later row of a day first.
const QMap<QString, ListOrder> kLists = {
    { "invoices", { "invoices", "id DESC" } },
    { "payments", { "payments", "payment_date DESC, id DESC" } },
    { "installments", { "installments", "due_date DESC, id DESC" } },
    { "cheques", { "cheques", "due_date DESC, id DESC" } },
    { "properties", { "properties", "created_at DESC, id DESC" } },
    { "tenants", { "tenants", "id DESC" } },
    { "journal", { "journal_entries", "entry_date DESC, id DESC" } },
};

QVariantMap journalLine(int account, double debit, double credit)
{
    return { { "account_id", account }, { "debit", debit }, { "credit", credit } };
}

} // namespace

class TestPagedLists : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

    Database* db() const { return m_db->db(); }

    /** One page of a list; `cut` is the buyer of the installments or the cut of the cheques. */
    QVariantList page(const QString& list, const QString& cut, int offset, int limit, const QString& search)
    {
        if (list == "invoices")
            return InvoiceModel(db()).getPage(offset, limit, search);
        if (list == "payments")
            return PaymentModel(db()).getPage(offset, limit, search);
        if (list == "installments")
            return InstallmentModel(db()).getPage(cut.toInt(), offset, limit, search);
        if (list == "cheques")
            return ChequeModel(db()).getPage(cut, offset, limit, search);
        if (list == "properties")
            return PropertyModel(db()).getPage(offset, limit, search);
        if (list == "tenants")
            return TenantModel(db()).getPage(offset, limit, search);
        return AccountModel(db()).getJournalPage(offset, limit, search);
    }

    /** The ids of the stored rows of the list that meet `condition`, in the list's order. */
    QList<int> stored(const QString& list, const QString& condition) const
    {
        const ListOrder order = kLists.value(list);
        // "0" is no row; a server wants a truth value there, not a number.
        return idsOf(
            db()->execQuery(u"SELECT id FROM %1 WHERE %2 ORDER BY %3"_s.arg(QLatin1String(order.table),
                condition == u"0"_s ? u"1 = 0"_s : condition, QLatin1String(order.order))));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    // Three properties, five units, three tenants with five invoices (one void, one without a
    // unit) and four payments, two buyers (one with a down payment and cheques 1001..1004), four
    // cheques recorded by hand and four journal entries; today is 2025-03-10.
    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        // The journal holds only the four entries typed by hand: the operations here post nothing.
        QVERIFY(SettingsManager(db()).setAutoPosting(false).value("ok").toBool());
        PropertyModel properties(db());
        const int tower = properties.add("برج النخيل", "residential", "شارع الإرسال", "رام الله", {});
        const int villa = properties.add("فيلا الزيتون", "residential", "رفيديا", "نابلس", {});
        const int north = properties.add("برج 50% شمال", "commercial", "الماصيون", "البيرة", {});
        const int flat = addUnit(db(), tower, "101");
        const int house = addUnit(db(), villa, "B-7");
        addUnit(db(), north, "A-1");
        const int sold = addUnit(db(), villa, "C-3");
        const int soldToo = addUnit(db(), tower, "D-4");

        TenantModel tenants(db());
        const int sami = tenants.add("سامي خليل", "401234567", "0599123456", {}, {});
        const int layla = tenants.add("ليلى حسن", "900000001", "0568111222", {}, {});
        const int suad = tenants.add("سعاد_ع", {}, {}, {}, {});
        QVERIFY(tower > 0 && villa > 0 && north > 0 && sami > 0 && layla > 0 && suad > 0);

        // Invoices 1..5; the last one, for an earlier period, is the newest.
        InvoiceModel invoices(db());
        const auto invoice = [&](int tenant, int unit, const QString& period, double total) {
            QVERIFY(invoices.createInvoice(tenant, unit, period, { item("إيجار", total) }, 1) > 0);
        };
        invoice(sami, flat, "2025-01", 1000);
        invoice(layla, house, "2025-01", 900);
        invoice(sami, flat, "2025-02", 1000);
        invoice(layla, house, "2025-02", 900);
        invoice(suad, 0, "2024-12", 30);
        QVERIFY(invoices.voidInvoice(3));
        // Recorded out of date order, as an office catching up on receipts does.
        PaymentModel payments(db());
        const auto pay
            = [&](int invoiceId, int tenant, double amount, const QString& date, const QString& ref) {
                  QVERIFY(payments.add(invoiceId, tenant, amount, "cash", date, ref, 1) > 0);
              };
        pay(1, sami, 400, "2025-03-05", "TR-9");
        pay(2, layla, 100, "2025-03-02", "CH-3");
        pay(1, sami, 100, "2025-03-07", "");
        pay(4, layla, 50, "2025-03-05", "");
        InstallmentModel installments(db());
        const int nader = addBuyer(db(), "نادر المصري");
        QCOMPARE(installments.sellUnit(nader, sold, 5000, 1000, 4, "2025-01-15", 1, "1001", "بنك فلسطين"), 1);
        QCOMPARE(installments.sellUnit(addBuyer(db(), "هدى يوسف"), soldToo, 6000, 0, 3, "2025-02-01", 1), 1);
        // Added by hand on a day the schedule already has: it comes first of that day.
        QVERIFY(installments.add(nader, sold, 0, 0, 250, "2025-03-15", 1) > 0);
        // Cheques 5..8 by hand; the first sale cheque comes back from the bank, number 91 is cashed.
        ChequeModel cheques(db());
        const auto cheque = [&](const QString& number, const QString& type, double amount, const QString& due,
                                const QString& party, int tenant = 0) {
            QVERIFY(cheques.add(number, type, amount, "بنك القدس", due, party, 1, 1.0, 0, tenant) > 0);
        };
        cheque("88", "received", 450, "2025-03-09", "شركة النور", layla);
        cheque("89", "issued", 1200, "2025-05-01", "مقاول الكهرباء");
        cheque("90", "issued", 300, "2025-03-10", "شركة المياه");
        cheque("91", "received", 75.5, "2025-01-20", "زبون");
        QVERIFY(cheques.updateStatus(8, "paid"));
        QVERIFY(cheques.updateStatus(1, "bounced"));
        AccountModel accounts(db());
        for (const auto& [date, description] : { std::pair("2024-03-10", "إيجار شباط - مرجع: INV-7"),
                 std::pair("2024-01-05", "رسوم 100% _خدمة_"), std::pair("2024-03-10", "تسوية"),
                 std::pair("2024-05-01", "قيد") })
            QVERIFY(accounts.createJournalEntry(
                        date, description, "manual", 0, { journalLine(2, 10, 0), journalLine(8, 0, 10) })
                > 0);
    }

    void cleanup()
    {
        m_db.reset();
        Clock::setToday(QDate());
    }

    void pagesInOrderWithoutGapsOrRepeats_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("cut");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("condition");
        const auto row = [](const char* list, const char* cut, const char* search, const char* condition) {
            QTest::addRow("%s %s '%s'", list, cut, search)
                << QString::fromLatin1(list) << QString::fromLatin1(cut) << QString::fromUtf8(search)
                << QString::fromLatin1(condition);
        };
        for (const QString& list : kLists.keys())
            row(qPrintable(list), list == "cheques" ? "all" : "0", "", "1=1");
        row("invoices", "", "  سامي ", "tenant_id=1");
        row("invoices", "", "الزيتون", "unit_id=2");
        row("invoices", "", "B-7", "unit_id=2");
        row("invoices", "", "2025-02", "period='2025-02'");
        row("invoices", "", "INV-202503-0003", "id=3");
        row("invoices", "", "_", "tenant_id=3");
        row("invoices", "", "%", "0");
        row("payments", "", "ليلى", "tenant_id=2");
        row("payments", "", "المصري", "buyer_id=1");
        row("payments", "", "tr-9", "reference='TR-9'");
        row("payments", "", "2025-03-05", "payment_date='2025-03-05'");
        row("payments", "", "202503-0002", "invoice_id=2");
        // A tenant's payment reaches its unit through the invoice, a buyer's directly.
        row("payments", "", "الزيتون", "invoice_id IN (2, 4) OR buyer_id=1");
        row("payments", "", "101", "invoice_id=1");
        row("payments", "", "C-3", "buyer_id=1");
        row("payments", "", "%", "0");
        row("installments", "1", "", "buyer_id=1");
        row("installments", "0", "2025-03", "due_date LIKE '2025-03%'");
        row("installments", "2", "2025-03", "buyer_id=2 AND due_date LIKE '2025-03%'");
        row("installments", "0", "1003", "cheque_number='1003'");
        row("installments", "0", "فلسطين", "id <= 4");
        row("installments", "0", "هدى", "buyer_id=2");
        row("installments", "0", "النخيل", "buyer_id=2");
        row("installments", "0", "C-3", "buyer_id=1");
        row("installments", "2", "C-3", "0");
        row("installments", "0", "2025_", "0");
        row("cheques", "received", "", "type='received'");
        row("cheques", "issued", "", "type='issued'");
        // Today is 2025-03-10: a cheque due today is to be collected, no longer post-dated.
        row("cheques", "postdated", "", "status='pending' AND due_date > '2025-03-10'");
        // Only cheques the office received are to be collected.
        row("cheques", "due", "", "status='pending' AND type='received' AND due_date <= '2025-03-10'");
        row("cheques", "bounced", "", "0");
        row("cheques", "all", "1002", "cheque_number='1002'");
        row("cheques", "all", "فلسطين", "installment_id IS NOT NULL");
        row("cheques", "all", "النور", "cheque_number='88'");
        row("cheques", "issued", "المياه", "cheque_number='90'");
        row("cheques", "all", "ليلى", "tenant_id=2");
        row("cheques", "all", "الزيتون", "installment_id IS NOT NULL");
        row("cheques", "due", "2025-03",
            "status='pending' AND type='received' AND due_date BETWEEN '2025-03-01' AND '2025-03-10'");
        row("cheques", "postdated", "نادر", "buyer_id=1 AND status='pending' AND due_date > '2025-03-10'");
        row("cheques", "all", "%", "0");
        row("properties", "", "نابلس", "id=2");
        row("properties", "", "الإرسال", "id=1");
        row("properties", "", " برج ", "id IN (1, 3)");
        row("properties", "", "50%", "id=3");
        row("properties", "", "_", "0");
        row("tenants", "", "خليل", "id=1");
        row("tenants", "", "0568", "id=2");
        row("tenants", "", "4012", "id=1");
        row("tenants", "", "_", "id=3");
        row("tenants", "", "%", "0");
        row("journal", "", "  inv-7 ", "id=1");
        row("journal", "", "2024-03", "entry_date LIKE '2024-03%'");
        row("journal", "", "3", "id=3");
        row("journal", "", "100%", "id=2");
        row("journal", "", "_", "id=2");
    }

    void pagesInOrderWithoutGapsOrRepeats()
    {
        QFETCH(QString, list);
        QFETCH(QString, cut);
        QFETCH(QString, search);
        QFETCH(QString, condition);
        const QList<int> expected = stored(list, condition);
        QVERIFY(!expected.isEmpty() || condition == "0");
        QCOMPARE(idsOf(page(list, cut, 0, 50, search)), expected);
        QList<int> paged;
        for (int offset = 0; offset <= expected.size(); offset += 2)
            paged += idsOf(page(list, cut, offset, 2, search));
        QCOMPARE(paged, expected);
        // Paging arguments out of bounds: a negative offset starts at the top, and a limit below
        // one never means "no limit".
        QCOMPARE(idsOf(page(list, cut, -5, 2, search)), expected.mid(0, 2));
        QVERIFY(page(list, cut, 0, -1, search).size() <= 1);
    }

    void aNameSearchTakesABackslashAsTyped()
    {
        TenantModel tenants(db());
        QVERIFY(tenants.add(u"ع\\ب"_s, {}, {}, {}, {}) > 0);
        QCOMPARE(tenants.search(u"ع\\ب"_s).size(), 1);
    }

    void chequeCutsAsTheOfficeReadsThem()
    {
        // 1..4 = 1001..1004 due the 15th of January to April (1001 returned), 5 = 88 yesterday,
        // 6 = 89 in May, 7 = 90 today, 8 = 91 cashed in January.
        const auto cut = [this](const char* name) {
            return idsOf(page("cheques", QLatin1String(name), 0, 50, QString()));
        };
        QCOMPARE(cut("all"), QList<int>({ 6, 4, 3, 7, 5, 2, 8, 1 }));
        QCOMPARE(cut("postdated"), QList<int>({ 6, 4, 3 }));
        QCOMPARE(cut("due"), QList<int>({ 5, 2 }));
        // 1002's installment settled in two sums in cash, neither of them the cheque: the cheque
        // goes back to the buyer, not to the bank.
        InstallmentModel installments(db());
        QVERIFY(installments.payInstallment(2, 600) && installments.payInstallment(2, 400));
        QCOMPARE(cut("due"), QList<int>({ 5 }));
    }

    void rowsCarryTheNamesThePageShows_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("search"); // finds one row
        QTest::addColumn<QString>("shown"); // "key=value; ..."
        const auto row = [](const char* list, const char* search, const char* shown) {
            QTest::addRow("%s %s", list, search) << QString(list) << QString(search) << QString(shown);
        };
        row("invoices", "INV-202503-0001",
            "tenant_name=سامي خليل; property_name=برج النخيل; unit_number=101");
        row("invoices", "سعاد", "tenant_name=سعاد_ع; property_name=; unit_number=");
        row("payments", "TR-9",
            "tenant_name=سامي خليل; invoice_number=INV-202503-0001; property_name=برج النخيل; "
            "unit_number=101");
        row("payments", "نادر", "buyer_name=نادر المصري; property_name=فيلا الزيتون; unit_number=C-3");
        row("installments", "1004", "buyer_name=نادر المصري; property_name=فيلا الزيتون; unit_number=C-3");
        row("cheques", "1004",
            "buyer_name=نادر المصري; property_name=فيلا الزيتون; unit_number=C-3; currency_symbol=₪");
        row("cheques", "88", "tenant_name=ليلى حسن");
    }

    void rowsCarryTheNamesThePageShows()
    {
        QFETCH(QString, list);
        QFETCH(QString, search);
        QFETCH(QString, shown);
        const QVariantList rows = page(list, "all", 0, 50, search);
        QCOMPARE(rows.size(), 1);
        for (const QString& pair : shown.split("; "))
            QCOMPARE(rows.first().toMap().value(pair.section('=', 0, 0)).toString(), pair.section('=', 1));
    }

    void chequeTotalsCountAndSumEveryStatus()
    {
        ChequeModel cheques(db());
        const auto totals = [&](const char* status) {
            const QVariantMap box = cheques.getStatusTotals().value(QLatin1String(status)).toMap();
            return QPair<int, double>(box.value("count").toInt(), box.value("total").toDouble());
        };
        // Pending and received: 1002..1004 (1000 each), 88 (450), not the issued 89 and 90; cashed:
        // 91; returned: 1001.
        QCOMPARE(totals("pending"), qMakePair(4, 3450.0));
        QCOMPARE(totals("paid"), qMakePair(1, 75.5));
        QCOMPARE(totals("bounced"), qMakePair(1, 1000.0));
        QVERIFY(cheques.updateStatus(5, "paid"));
        QCOMPARE(totals("pending"), qMakePair(3, 3000.0));
        QCOMPARE(totals("paid"), qMakePair(2, 525.5));
        QVERIFY(db()->execNonQuery("DELETE FROM cheques"));
        QCOMPARE(totals("bounced"), qMakePair(0, 0.0));
    }
};

QTEST_GUILESS_MAIN(TestPagedLists)
#include "tst_pagedlists.moc"
