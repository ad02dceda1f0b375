// The paged lists of the invoices, payments, installments and cheques pages on a large office
// file: 240,000 invoices, 250,000 payments, 12,000 installments and cheques. The rows are checked
// against the generator's pattern; every call is timed and the times printed (never asserted:
// the machine is shared). DARVELINTO_LARGE_DB_COPY=<file> keeps a copy to look at query plans.
#include "chequemodel.h"
#include "clock.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QTest>
#include <functional>

namespace {

/*
 * The pattern the expected rows are worked out from:
 * - 50 properties of 100 units; 2,000 tenants "مستأجر n"; 1,000 buyers "مشتري n".
 * - Invoice k (k = id = 1..240,000) numbered "INV-k" for tenant k%2000+1 on unit k%5000+1.
 * - Payment j (j = id = 1..240,000) of invoice j by tenant j%2000+1, reference "R<j>", dated
 *   day j%1400 from 2022-01-01; payments 240,001..250,000 are buyers' (j' = id - 240,000) on
 *   day j'%1400.
 * - Installment n (1..12,000) of buyer n%1000+1, due on the first of month n%36 from 2023-01.
 * - Cheque n (1..12,000) of 200 for installment n: n%3 = 0 paid, 1 bounced, 2 pending.
 */
const char* const kGenerator[] = {
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50)
       INSERT INTO properties (name) SELECT 'مشروع ' || i FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)
       INSERT INTO units (property_id, unit_number, floor, status, currency_id)
       SELECT (i - 1) / 100 + 1, CAST(i AS TEXT), ((i - 1) % 100) / 10 + 1, 'rented', 1 FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
       INSERT INTO tenants (full_name) SELECT 'مستأجر ' || i FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
       INSERT INTO buyers (full_name) SELECT 'مشتري ' || i FROM n)",
    R"(WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 240000)
       INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, total_amount, paid_amount, balance, status,
                             currency_id, due_date, created_at)
       SELECT 'INV-' || k, k % 2000 + 1, k % 5000 + 1, strftime('%Y-%m', date('2022-01-01', '+' || (k % 48) || ' months')),
              1000, 0, 1000, 'pending', 1, date('2022-01-28', '+' || (k % 48) || ' months'),
              date('2022-01-01', '+' || (k % 48) || ' months') || ' 08:00:00'
       FROM n)",
    R"(WITH RECURSIVE n(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM n WHERE j < 240000)
       INSERT INTO payments (invoice_id, tenant_id, amount, payment_date, reference, currency_id)
       SELECT j, j % 2000 + 1, 100, date('2022-01-01', '+' || (j % 1400) || ' days'), 'R' || j, 1 FROM n)",
    R"(WITH RECURSIVE n(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM n WHERE j < 10000)
       INSERT INTO payments (buyer_id, unit_id, amount, payment_date, notes, currency_id)
       SELECT j % 1000 + 1, (j % 500) * 10 + 6, 500, date('2022-01-01', '+' || (j % 1400) || ' days'), 'تحصيل قسط', 1
       FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12000)
       INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, paid_amount, status, due_date,
                                 cheque_number, bank_name, currency_id)
       SELECT i % 1000 + 1, (i % 500) * 10 + 6, 95000, 1000, 0, 'pending',
              date('2023-01-01', '+' || (i % 36) || ' months'), CAST(100000 + i AS TEXT), 'بنك فلسطين', 1
       FROM n)",
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12000)
       INSERT INTO cheques (cheque_number, amount, status, due_date, buyer_id, installment_id, currency_id)
       SELECT CAST(100000 + i AS TEXT), 200, CASE i % 3 WHEN 0 THEN 'paid' WHEN 1 THEN 'bounced' ELSE 'pending' END,
              date('2023-01-01', '+' || (i % 36) || ' months'), i % 1000 + 1, i, 1
       FROM n)",
};

bool dueDatesRunDown(const QVariantList& rows)
{
    for (int i = 1; i < rows.size(); ++i) {
        if (rows.at(i - 1).toMap().value(QStringLiteral("due_date")).toString()
            < rows.at(i).toMap().value(QStringLiteral("due_date")).toString())
            return false;
    }
    return true;
}

} // namespace

class TestPagedListsLarge : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_invoices;
    std::unique_ptr<PaymentModel> m_payments;
    std::unique_ptr<InstallmentModel> m_installments;
    std::unique_ptr<ChequeModel> m_cheques;
    QList<QPair<QString, double>> m_timings;

    /** Runs a page call, keeps its time for the table printed at the end. */
    QVariantList timed(const QString& label, const std::function<QVariantList()>& call)
    {
        QElapsedTimer timer;
        timer.start();
        QVariantList rows = call();
        m_timings.append({ label, timer.nsecsElapsed() / 1e6 });
        return rows;
    }

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        Clock::setToday(QDate(2025, 6, 15));
        m_db = std::make_unique<TestDatabase>();
        QVERIFY(m_db->db()->beginTransaction());
        for (const char* sql : kGenerator)
            QVERIFY2(m_db->db()->execNonQuery(QString::fromUtf8(sql)), sql);
        QVERIFY(m_db->db()->commitTransaction());
        const QString copy = qEnvironmentVariable("DARVELINTO_LARGE_DB_COPY");
        if (!copy.isEmpty())
            QVERIFY(m_db->db()->execNonQuery(QStringLiteral("VACUUM INTO ?"), { copy }));
        m_invoices = std::make_unique<InvoiceModel>(m_db->db());
        m_payments = std::make_unique<PaymentModel>(m_db->db());
        m_installments = std::make_unique<InstallmentModel>(m_db->db());
        m_cheques = std::make_unique<ChequeModel>(m_db->db());
    }

    void cleanupTestCase()
    {
        for (const auto& [label, ms] : m_timings)
            qInfo("%-48s %8.2f ms", qPrintable(label), ms);
        m_cheques.reset();
        m_installments.reset();
        m_payments.reset();
        m_invoices.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void fileHasTheIntendedSize()
    {
        QCOMPARE(m_db->count(QStringLiteral("invoices")), 240000);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 250000);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 12000);
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 12000);
    }

    void invoicePages()
    {
        const QVariantList first = timed("invoices: first page", [&] { return m_invoices->getPage(0, 51); });
        QCOMPARE(first.size(), 51);
        QCOMPARE(idsOf(first).first(), 240000);
        QCOMPARE(idsOf(first).last(), 239950);
        // Invoice 240000: tenant 1, unit 1 of property 1.
        QCOMPARE(first.first().toMap().value("tenant_name").toString(), QStringLiteral("مستأجر 1"));
        QCOMPARE(first.first().toMap().value("property_name").toString(), QStringLiteral("مشروع 1"));

        const QVariantList deep
            = timed("invoices: page at 120,000", [&] { return m_invoices->getPage(120000, 3); });
        QCOMPARE(idsOf(deep), QList<int>({ 120000, 119999, 119998 }));

        // Tenant 1999 holds invoices k = 1998 + 2000 m: 120 of them, newest 239998.
        const QVariantList tenant = timed("invoices: search a tenant",
            [&] { return m_invoices->getPage(0, 51, QStringLiteral("مستأجر 1999")); });
        QCOMPARE(tenant.size(), 51);
        QCOMPARE(idsOf(tenant).first(), 239998);
        QCOMPARE(idsOf(tenant).last(), 239998 - 50 * 2000);
        const QVariantList lastPage = timed("invoices: last page of a tenant search",
            [&] { return m_invoices->getPage(100, 51, QStringLiteral("مستأجر 1999")); });
        QCOMPARE(lastPage.size(), 20);
        QCOMPARE(idsOf(lastPage).last(), 1998);

        const QVariantList number = timed("invoices: search a number",
            [&] { return m_invoices->getPage(0, 51, QStringLiteral("INV-123457")); });
        QCOMPARE(idsOf(number), QList<int>({ 123457 }));
        const QVariantList none = timed("invoices: search without a match",
            [&] { return m_invoices->getPage(0, 51, QStringLiteral("لا يوجد")); });
        QVERIFY(none.isEmpty());
    }

    void paymentPages()
    {
        // The latest day of the cycle is day 1399: buyer payments j' = 1399 + 1400 m (ids 241399 ..
        // 249799), then rent payments j = 1399 + 1400 m (newest 239399).
        const QVariantList first = timed("payments: first page", [&] { return m_payments->getPage(0, 51); });
        QCOMPARE(first.size(), 51);
        QCOMPARE(idsOf(first).mid(0, 9),
            QList<int>({ 249799, 248399, 246999, 245599, 244199, 242799, 241399, 239399, 237999 }));
        QCOMPARE(first.first().toMap().value("buyer_name").toString(), QStringLiteral("مشتري 800"));
        QCOMPARE(first.at(7).toMap().value("tenant_name").toString(), QStringLiteral("مستأجر 1400"));

        const QVariantList deep
            = timed("payments: page at 125,000", [&] { return m_payments->getPage(125000, 3); });
        QCOMPARE(deep.size(), 3);

        const QVariantList reference = timed("payments: search a reference",
            [&] { return m_payments->getPage(0, 51, QStringLiteral("R123456")); });
        QCOMPARE(idsOf(reference), QList<int>({ 123456 }));
        const QVariantList tenant = timed("payments: search a tenant",
            [&] { return m_payments->getPage(0, 51, QStringLiteral("مستأجر 1999")); });
        QCOMPARE(tenant.size(), 51);
        for (const QVariant& row : tenant)
            QCOMPARE(row.toMap().value("tenant_name").toString(), QStringLiteral("مستأجر 1999"));
        const QVariantList none = timed("payments: search without a match",
            [&] { return m_payments->getPage(0, 51, QStringLiteral("لا يوجد")); });
        QVERIFY(none.isEmpty());
    }

    void installmentPages()
    {
        // Buyer 1 holds installments n = 1000, 2000, ..., 12000.
        const QVariantList buyer
            = timed("installments: one buyer", [&] { return m_installments->getPage(1, 0, 51); });
        QCOMPARE(buyer.size(), 12);
        QVERIFY(dueDatesRunDown(buyer));
        const QVariantList all
            = timed("installments: first page", [&] { return m_installments->getPage(0, 0, 51); });
        QCOMPARE(all.size(), 51);
        QVERIFY(dueDatesRunDown(all));
        // The latest month, 2025-12, is month 35: n = 35 + 36 m, the newest 11987.
        QCOMPARE(idsOf(all).first(), 11987);
        const QVariantList cheque = timed("installments: search a cheque",
            [&] { return m_installments->getPage(0, 0, 51, QStringLiteral("111111")); });
        QCOMPARE(idsOf(cheque), QList<int>({ 11111 }));
    }

    void chequePages()
    {
        const QVariantList all
            = timed("cheques: first page", [&] { return m_cheques->getPage(QStringLiteral("all"), 0, 51); });
        QCOMPARE(all.size(), 51);
        QVERIFY(dueDatesRunDown(all));
        QCOMPARE(idsOf(all).first(), 11987);
        // Pending cheques are n%3 = 2; today is 2025-06-15, so the post-dated ones fall due from
        // 2025-07 (month 30) to 2025-12 (month 35): more than one page of 500, read page by page.
        QVariantList postdated;
        for (int offset = 0;; offset += 500) {
            const QVariantList page = timed(QStringLiteral("cheques: post-dated from %1").arg(offset),
                [&] { return m_cheques->getPage(QStringLiteral("postdated"), offset, 500); });
            postdated += page;
            if (page.size() < 500)
                break;
        }
        QVERIFY(dueDatesRunDown(postdated));
        for (const QVariant& row : postdated) {
            QCOMPARE(row.toMap().value("status").toString(), QStringLiteral("pending"));
            QVERIFY(row.toMap().value("due_date").toString() > QStringLiteral("2025-06-15"));
        }
        // Months 30..35 hold 333 cheques each (12000 = 333 x 36 + 12, the extra ones in months
        // 1..12); n = r + 36 m has n%3 = r%3, so months 32 and 35 are wholly pending: 666.
        QCOMPARE(postdated.size(), 666);
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT id FROM cheques WHERE status='pending' AND due_date > '2025-06-15'")),
            666);
        const QVariantList buyer = timed("cheques: search a buyer",
            [&] { return m_cheques->getPage(QStringLiteral("all"), 0, 51, QStringLiteral("مشتري 999")); });
        QCOMPARE(buyer.size(), 12);

        QVariantMap totals;
        timed("cheques: status totals", [&] {
            totals = m_cheques->getStatusTotals();
            return QVariantList();
        });
        for (const char* status : { "pending", "paid", "bounced" }) {
            QCOMPARE(totals.value(status).toMap().value("count").toInt(), 4000);
            QCOMPARE(totals.value(status).toMap().value("total").toDouble(), 800000.0);
        }
    }
};

QTEST_GUILESS_MAIN(TestPagedListsLarge)
#include "tst_pagedlists_large.moc"
