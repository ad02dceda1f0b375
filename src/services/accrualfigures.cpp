#include "accrualfigures.h"

#include "database.h"
#include "money.h"
#include "reportdaterange.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAccrual, "darvelinto.reports.accrual")

namespace {

// The whole history, when no range is given: every stored date sorts between these.
const QString kBeforeAll = QStringLiteral("0000-00-00");
const QString kAfterAll = QStringLiteral("9999-99-99");

// The currency a row is in; rows that name none are in the primary one.
const char* const kCurrency = "COALESCE(currency_id, (SELECT id FROM p))";

QString rows(const char* sql)
{
    return QString::fromUtf8(sql).arg(QLatin1String(kCurrency));
}

double figure(qint64 cents)
{
    return Money::fromCents(cents) + 0.0;
}

} // namespace

AccrualFigures::AccrualFigures(Database* db)
    : m_db(db)
{ }

QPair<qint64, qint64> AccrualFigures::converted(const QString& rowsSql, const QVariantList& params)
{
    // Each row at the rate in force on its day (the latest on record that day or before), rounded
    // to the cent as BookKeeper::converted() rounds it; a row with no rate is counted, not guessed.
    const QVariantList result = m_db->execQuery(QStringLiteral(R"(
        WITH p(id) AS (SELECT id FROM currencies WHERE is_primary = 1 ORDER BY id LIMIT 1),
        r(cents, cur, day) AS (%1),
        rated AS (
            SELECT cents,
                   CASE WHEN cur = (SELECT id FROM p) THEN 1.0
                        ELSE (SELECT er.rate FROM exchange_rates er
                              WHERE er.from_currency_id = r.cur AND er.to_currency_id = (SELECT id FROM p)
                                AND er.date <= r.day AND er.rate > 0
                              ORDER BY er.date DESC LIMIT 1) END AS rate
            FROM r)
        SELECT COALESCE(SUM(ROUND(cents * rate)), 0) AS cents, COUNT(*) - COUNT(rate) AS unconverted
        FROM rated)")
                                                    .arg(rowsSql),
        params);
    const QVariantMap row = result.value(0).toMap();
    return { qRound64(row.value(QStringLiteral("cents")).toDouble()),
        row.value(QStringLiteral("unconverted")).toLongLong() };
}

QVariantMap AccrualFigures::summary(const ReportDateRange& range)
{
    const QString first = range.isGiven() ? range.first() : kBeforeAll;
    const QString end = range.isGiven() ? range.endExclusive() : kAfterAll;
    const QVariantList bounds { first, end };
    qint64 unconverted = 0;
    const auto take = [&unconverted](const QPair<qint64, qint64>& sum) {
        unconverted += sum.second;
        return sum.first;
    };

    // Invoices on the day they were made; a void takes back the open part, at the invoice's rate,
    // on the day it was voided (the invoice's own day for voids older than that record).
    const qint64 rental = take(converted(rows(R"(
        SELECT ROUND(total_amount * 100), %1, date(created_at, 'localtime') FROM invoices
        WHERE date(created_at, 'localtime') >= ? AND date(created_at, 'localtime') < ?
        UNION ALL
        SELECT -ROUND((total_amount - paid_amount) * 100), %1, date(created_at, 'localtime') FROM invoices
        WHERE status = 'void' AND total_amount > paid_amount
          AND date(COALESCE(voided_at, created_at), 'localtime') >= ?
          AND date(COALESCE(voided_at, created_at), 'localtime') < ?)"),
        bounds + bounds));
    // A sale is its down payment and its schedule, on the day of the sale; an installment added by
    // hand on the day it was added.
    const qint64 sales = take(converted(rows(R"(
        SELECT ROUND(amount * 100), %1, payment_date FROM payments
        WHERE is_down_payment = 1 AND payment_date >= ? AND payment_date < ?
        UNION ALL
        SELECT ROUND(i.installment_amount * 100), COALESCE(i.currency_id, (SELECT id FROM p)), u.sale_date
        FROM installments i JOIN units u ON u.id = i.unit_id
        WHERE i.added_by_hand = 0 AND u.sale_date >= ? AND u.sale_date < ?
        UNION ALL
        SELECT ROUND(installment_amount * 100), %1, date(created_at, 'localtime') FROM installments
        WHERE added_by_hand = 1 AND date(created_at, 'localtime') >= ? AND date(created_at, 'localtime') < ?)"),
        bounds + bounds + bounds));
    static const char* const maintenanceRule = "(TRIM(category) = 'صيانة' OR maintenance_id IS NOT NULL)";
    const QString expenseRows = rows(R"(
        SELECT ROUND(amount * 100), %1, expense_date FROM expenses
        WHERE %2 AND expense_date >= ? AND expense_date < ?)");
    // The rule of BookKeeper::isMaintenanceExpense(), in SQL.
    const QString rule = QString::fromUtf8(maintenanceRule);
    const qint64 maintenance = take(converted(expenseRows.arg(rule), bounds));
    const qint64 operating = take(converted(expenseRows.arg(QStringLiteral("NOT ") + rule), bounds));

    // Positions as they stand: what is open at the rate it was booked at, what came in and went out
    // at the rate of its day.
    const qint64 tenants = take(converted(rows(R"(
        SELECT ROUND(balance * 100), %1, date(created_at, 'localtime') FROM invoices WHERE status != 'void')"),
        {}));
    const qint64 buyers = take(converted(QStringLiteral(R"(
        SELECT ROUND((i.installment_amount - i.paid_amount) * 100), COALESCE(i.currency_id, (SELECT id FROM p)),
               CASE WHEN i.added_by_hand = 1 THEN date(i.created_at, 'localtime') ELSE u.sale_date END
        FROM installments i JOIN units u ON u.id = i.unit_id
        WHERE i.installment_amount != i.paid_amount)"),
        {}));
    // Money received, and the deposits taken in less those refunded, in the till or at the bank by
    // how they were paid; what is kept of a deposit for an invoice (a payment "deposit") never
    // passed through either.
    static const char* const inCash = "COALESCE(TRIM(payment_method), '') IN ('', 'cash')";
    static const char* const inBank = "COALESCE(TRIM(payment_method), '') NOT IN ('', 'cash', 'deposit')";
    const QString received = rows(R"(
        SELECT ROUND(amount * 100), %1, payment_date FROM payments WHERE %2
        UNION ALL
        SELECT CASE kind WHEN 'received' THEN 1 ELSE -1 END * ROUND(amount * 100), %1, movement_date
        FROM deposit_movements WHERE kind IN ('received', 'refund') AND %2)");
    const qint64 cashIn = take(converted(received.arg(QLatin1String(inCash)), {}));
    const qint64 bank = take(converted(received.arg(QLatin1String(inBank)), {}));
    // What the office holds of its tenants' deposits.
    const qint64 held = take(converted(rows(R"(
        SELECT CASE WHEN kind IN ('received', 'carried_in') THEN 1 ELSE -1 END * ROUND(amount * 100), %1,
               movement_date
        FROM deposit_movements)"),
        {}));
    const QString spent = rows(R"(SELECT ROUND(amount * 100), %1, expense_date FROM expenses WHERE %2)");
    const qint64 paidOut = take(converted(spent.arg(QStringLiteral("contractor_id IS NULL")), {}));
    const qint64 payables = take(converted(spent.arg(QStringLiteral("contractor_id IS NOT NULL")), {}));
    if (unconverted > 0)
        qCInfo(lcAccrual) << unconverted << "rows have no exchange rate on record and are left out";

    return {
        { QStringLiteral("rental_revenue"), figure(rental) },
        { QStringLiteral("sales_revenue"), figure(sales) },
        { QStringLiteral("revenue"), figure(rental + sales) },
        { QStringLiteral("maintenance_expenses"), figure(maintenance) },
        { QStringLiteral("operating_expenses"), figure(operating) },
        { QStringLiteral("expenses"), figure(maintenance + operating) },
        { QStringLiteral("net_profit"), figure(rental + sales - maintenance - operating) },
        { QStringLiteral("tenant_receivables"), figure(tenants) },
        { QStringLiteral("buyer_receivables"), figure(buyers) },
        { QStringLiteral("receivables"), figure(tenants + buyers) },
        { QStringLiteral("cash"), figure(cashIn - paidOut) },
        { QStringLiteral("bank"), figure(bank) },
        { QStringLiteral("payables"), figure(payables) },
        { QStringLiteral("deposits_held"), figure(held) },
        { QStringLiteral("unconverted"), unconverted },
    };
}
