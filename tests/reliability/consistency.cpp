#include "consistency.h"

#include "money.h"
#include "postgresdialect.h"
#include "projectfinancials.h"

#include <QCryptographicHash>
#include <QDate>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <cmath>

namespace Consistency {

namespace {

// Money is kept in doubles; figures that went through a few additions may differ in the last bits.
bool differs(double a, double b)
{
    return std::fabs(a - b) > 0.005 + 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

bool onServer(const QSqlDatabase& db)
{
    return db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

/** The whole number a text starts with ("12 - ..." is 12), as SQLite's CAST reads it. */
QString leadingNumber(const QSqlDatabase& db, const QString& text)
{
    return onServer(db) ? QStringLiteral("CAST(NULLIF(substring(%1 from '^[0-9]+'), '') AS BIGINT)").arg(text)
                        : QStringLiteral("CAST(%1 AS INTEGER)").arg(text);
}

/** Runs a statement and hands every row to `each`; a failing statement is itself a problem. */
template <typename Each>
void forEachRow(const QSqlDatabase& db, const QString& sql, QStringList* problems, Each each)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(onServer(db) ? PostgresDialect::statement(sql) : sql)) {
        problems->append(
            QStringLiteral("query failed (%1): %2").arg(query.lastError().text(), sql.simplified()));
        return;
    }
    while (query.next())
        each(query);
}

/** Every row a check query returns is one problem, described by `what` and the row's columns. */
void expectNoRows(const QSqlDatabase& db, const QString& what, const QString& sql, QStringList* problems)
{
    forEachRow(db, sql, problems, [&](const QSqlQuery& query) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values.append(query.record().fieldName(i) + QLatin1Char('=') + query.value(i).toString());
        problems->append(what + QStringLiteral(": ") + values.join(QStringLiteral(", ")));
    });
}

void checkFile(const QSqlDatabase& db, QStringList* problems)
{
    // A server keeps its own pages and refuses a dangling reference when it is written.
    if (onServer(db))
        return;
    QStringList verdict;
    forEachRow(db, QStringLiteral("PRAGMA integrity_check"), problems,
        [&](const QSqlQuery& query) { verdict.append(query.value(0).toString()); });
    if (verdict != QStringList { QStringLiteral("ok") })
        problems->append(QStringLiteral("integrity_check: ") + verdict.join(QStringLiteral("; ")));
    expectNoRows(
        db, QStringLiteral("dangling reference"), QStringLiteral("PRAGMA foreign_key_check"), problems);
}

void checkInvoices(const QSqlDatabase& db, Checks checks, QStringList* problems)
{
    if (checks & InvoiceTotals) {
        expectNoRows(db, QStringLiteral("invoice total is not the sum of its items"), QStringLiteral(R"(
            SELECT i.id, i.total_amount, COALESCE(SUM(it.total), 0) AS items, COUNT(it.id) AS lines
            FROM invoices i LEFT JOIN invoice_items it ON it.invoice_id = i.id
            GROUP BY i.id
            HAVING ABS(i.total_amount - COALESCE(SUM(it.total), 0)) > 0.005 + 1e-9 * ABS(i.total_amount)
                OR (i.contract_id IS NOT NULL AND COUNT(it.id) = 0))"),
            problems);
    }
    if (checks & InvoiceBalances) {
        expectNoRows(db, QStringLiteral("invoice balance or status disagrees"), QStringLiteral(R"(
            SELECT id, status, total_amount, paid_amount, balance FROM invoices
            WHERE status NOT IN ('pending', 'partial', 'paid', 'void')
               OR (status = 'void' AND ABS(balance) > 0.005)
               OR (status != 'void'
                   AND ABS(balance - (total_amount - paid_amount)) > 0.005 + 1e-9 * ABS(total_amount))
               OR (status = 'pending' AND paid_amount != 0)
               OR (status = 'paid' AND balance > 0.005))"),
            problems);
    }
    if (checks & InvoicePayments) {
        expectNoRows(db, QStringLiteral("invoice paid amount is not the sum of its payments"),
            QStringLiteral(R"(
            SELECT i.id, i.paid_amount, COALESCE(p.paid, 0) AS payments
            FROM invoices i
            LEFT JOIN (SELECT invoice_id, SUM(amount) AS paid FROM payments
                       WHERE invoice_id IS NOT NULL GROUP BY invoice_id) p ON p.invoice_id = i.id
            WHERE ABS(i.paid_amount - COALESCE(p.paid, 0)) > 0.005 + 1e-9 * ABS(i.paid_amount))"),
            problems);
    }
    if (checks & TenantBalances) {
        // A void takes back what was still open on the invoice: its total less what had been paid.
        expectNoRows(db, QStringLiteral("tenant balance is not invoices - payments - voids"),
            QStringLiteral(R"(
            SELECT id, balance, expected FROM (
                SELECT t.id, t.balance,
                       COALESCE((SELECT SUM(total_amount) FROM invoices WHERE tenant_id = t.id), 0)
                     - COALESCE((SELECT SUM(amount) FROM payments WHERE tenant_id = t.id), 0)
                     - COALESCE((SELECT SUM(total_amount - paid_amount) FROM invoices
                                 WHERE tenant_id = t.id AND status = 'void'), 0) AS expected
                FROM tenants t) AS tenant_balances
            WHERE balance IS NULL OR ABS(balance - expected) > 0.005 + 1e-9 * ABS(expected))"),
            problems);
    }
}

void checkReadings(const QSqlDatabase& db, QStringList* problems)
{
    expectNoRows(db, QStringLiteral("meter reading billed twice"), QStringLiteral(R"(
        SELECT it.usage_record_id, COUNT(*) AS lines FROM invoice_items it
        JOIN invoices i ON i.id = it.invoice_id
        WHERE it.usage_record_id IS NOT NULL AND i.status != 'void'
        GROUP BY it.usage_record_id HAVING COUNT(*) > 1)"),
        problems);
    expectNoRows(db, QStringLiteral("meter reading billed at another cost or on another unit"),
        QStringLiteral(R"(
        SELECT it.id, it.total, ur.cost, i.unit_id, ur.unit_id AS reading_unit FROM invoice_items it
        JOIN invoices i ON i.id = it.invoice_id JOIN usage_records ur ON ur.id = it.usage_record_id
        WHERE ABS(it.total - ur.cost) > 0.005 OR i.unit_id IS NOT ur.unit_id OR i.period != ur.period)"),
        problems);
}

void checkInvoiceTerms(const QSqlDatabase& db, Checks checks, QStringList* problems)
{
    if (checks & SettledExactly) {
        // Amounts are whole hundredths, so "settled" is exact: no margin for a leftover fraction.
        expectNoRows(db,
            QStringLiteral("invoice settled with something left or overpaid, or open with nothing left"),
            QStringLiteral(R"(
            SELECT id, status, total_amount, paid_amount, balance FROM invoices
            WHERE (status IN ('paid', 'void') AND balance != 0)
               OR (status = 'paid' AND paid_amount != total_amount)
               OR (status IN ('pending', 'partial') AND balance <= 0))"),
            problems);
    }
    if (checks & PositiveInvoices) {
        expectNoRows(db, QStringLiteral("invoice total is not above 0, or a line is negative"),
            QStringLiteral(R"(
            SELECT i.id, i.total_amount FROM invoices i
            WHERE i.total_amount <= 0
               OR EXISTS (SELECT 1 FROM invoice_items it
                          WHERE it.invoice_id = i.id AND (it.total < 0 OR it.unit_price < 0)))"),
            problems);
    }
    if (checks & LateFees) {
        expectNoRows(db, QStringLiteral("late fee twice for one month, without a month, or on a fee"),
            QStringLiteral(R"(
            SELECT f.id, f.late_fee_for, f.late_fee_month FROM invoices f
            LEFT JOIN invoices o ON o.id = f.late_fee_for
            WHERE f.late_fee_for IS NOT NULL
              AND (f.late_fee_month IS NULL OR o.id IS NULL OR o.late_fee_for IS NOT NULL
                   OR EXISTS (SELECT 1 FROM invoices g WHERE g.late_fee_for = f.late_fee_for
                              AND g.late_fee_month = f.late_fee_month AND g.id != f.id)))"),
            problems);
    }
    if (checks & PaymentCurrencies) {
        // An invoice that names no currency is in the primary one.
        expectNoRows(db, QStringLiteral("payment in another currency than its invoice"), QStringLiteral(R"(
            SELECT p.id, p.currency_id, i.currency_id AS invoice_currency
            FROM payments p JOIN invoices i ON p.invoice_id = i.id
            WHERE p.currency_id IS NOT COALESCE(i.currency_id,
                      (SELECT id FROM currencies WHERE is_primary = 1 ORDER BY id LIMIT 1)))"),
            problems);
    }
}

/** Every amount of the rental side and the ledger is kept in whole hundredths. */
void checkWholeCents(const QSqlDatabase& db, QStringList* problems)
{
    // ROUND(x*100) without digits is exact in SQLite; dividing by 100.0 gives the double nearest
    // to that many hundredths, which is what the program stores.
    static const char* const columns[][3] = { { "tenants", "balance", "" }, { "contractors", "balance", "" },
        { "accounts", "balance", "" }, { "invoices", "total_amount", "" }, { "invoices", "paid_amount", "" },
        { "invoices", "balance", "" }, { "invoice_items", "total", "" },
        { "invoice_items", "unit_price", "" }, { "payments", "amount", " AND invoice_id IS NOT NULL" },
        { "expenses", "amount", "" }, { "contracts", "rent_amount", "" }, { "contracts", "deposit", "" },
        { "journal_lines", "debit", "" }, { "journal_lines", "credit", "" },
        { "journal_lines", "original_amount", "" }, { "maintenance_requests", "cost", "" },
        { "deposit_movements", "amount", "" } };
    for (const auto& column : columns) {
        const QString table = QLatin1String(column[0]);
        const QString name = QLatin1String(column[1]);
        expectNoRows(db, QStringLiteral("amount not in whole hundredths in %1.%2").arg(table, name),
            QStringLiteral("SELECT id, %2 FROM %1 WHERE %2 != ROUND(%2 * 100) / 100.0%3")
                .arg(table, name, QLatin1String(column[2])),
            problems);
    }
}

struct SaleRecord
{
    int unitId = 0;
    int count = 0;
    // Read back from the rows the sale wrote: the audit text rounds amounts to six digits.
    int buyerId = 0;
    QDate start;
    double total = 0;
    double down = 0;
};

/** Fills in the sale's figures from the unit, its installments and its down payment. */
void resolve(const QSqlDatabase& db, SaleRecord* sale)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT buyer_id, sale_price_actual, sale_date FROM units WHERE id = ?"));
    query.addBindValue(sale->unitId);
    if (!query.exec() || !query.next())
        return;
    sale->buyerId = query.value(0).toInt();
    sale->total = query.value(1).toDouble();
    sale->start = QDate::fromString(query.value(2).toString(), Qt::ISODate);
    query.prepare(
        QStringLiteral("SELECT down_payment FROM installments WHERE unit_id = ? ORDER BY id LIMIT 1"));
    query.addBindValue(sale->unitId);
    if (query.exec() && query.next()) {
        sale->down = query.value(0).toDouble();
        return;
    }
    query.prepare(QStringLiteral(
        "SELECT amount FROM payments WHERE unit_id = ? AND is_down_payment = 1 ORDER BY id LIMIT 1"));
    query.addBindValue(sale->unitId);
    if (query.exec() && query.next())
        sale->down = query.value(0).toDouble();
}

/** The sales as their audit rows name them (unit and installment count), with their figures. */
QList<SaleRecord> saleRecords(const QSqlDatabase& db, QStringList* problems)
{
    static const QRegularExpression pattern(QStringLiteral(R"(, شيكات: (-?\d+)\)$)"));
    QList<SaleRecord> sales;
    forEachRow(db,
        QStringLiteral("SELECT record_id, details FROM audit_logs WHERE action = 'بيع وحدة' AND table_name = "
                       "'units' ORDER BY id"),
        problems, [&](const QSqlQuery& query) {
            const QRegularExpressionMatch match = pattern.match(query.value(1).toString());
            if (!match.hasMatch()) {
                problems->append(QStringLiteral("unreadable sale record: ") + query.value(1).toString());
                return;
            }
            SaleRecord sale;
            sale.unitId = query.value(0).toInt();
            sale.count = match.captured(1).toInt();
            sales.append(sale);
        });
    for (SaleRecord& sale : sales)
        resolve(db, &sale);
    return sales;
}

double remainderOf(const SaleRecord& sale)
{
    return std::max(0.0, sale.total - sale.down);
}

bool isScheduled(const SaleRecord& sale)
{
    // Sales are in whole hundredths: any remainder of a cent or more is spread over installments.
    return sale.total - sale.down > 0.005;
}

void checkSale(const QSqlDatabase& db, const SaleRecord& sale, QStringList* problems)
{
    const QString unit = QString::number(sale.unitId);
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT status FROM units WHERE id = ?"));
    query.addBindValue(sale.unitId);
    if (!query.exec() || !query.next()) {
        problems->append(QStringLiteral("sold unit %1 is missing").arg(unit));
        return;
    }
    if (query.value(0).toString() != QLatin1String("sold") || !sale.start.isValid() || sale.buyerId <= 0)
        problems->append(QStringLiteral("unit %1 has a sale record but reads %2, sold to %3 on %4")
                             .arg(unit, query.value(0).toString(), QString::number(sale.buyerId),
                                 sale.start.toString(Qt::ISODate)));
    const QDate start = sale.start;
    const int buyerId = sale.buyerId;

    // An installment added by hand later is no part of the sale's schedule.
    query.prepare(
        QStringLiteral("SELECT id, installment_amount, due_date, cheque_number, total_price, down_payment, "
                       "buyer_id FROM installments WHERE unit_id = ? AND added_by_hand = 0 ORDER BY id"));
    query.addBindValue(sale.unitId);
    if (!query.exec()) {
        problems->append(query.lastError().text());
        return;
    }
    const int expected = isScheduled(sale) ? std::max(sale.count, 1) : 0;
    int found = 0;
    double sum = 0;
    bool withCheque = false;
    while (query.next()) {
        const double amount = query.value(1).toDouble();
        sum += amount;
        if (query.value(2).toString() != start.addMonths(found).toString(Qt::ISODate))
            problems->append(QStringLiteral("installment %1 of unit %2 falls due on %3")
                                 .arg(QString::number(found), unit, query.value(2).toString()));
        if (differs(query.value(4).toDouble(), sale.total) || differs(query.value(5).toDouble(), sale.down)
            || query.value(6).toInt() != buyerId)
            problems->append(
                QStringLiteral("installment %1 of unit %2 names another sale").arg(found).arg(unit));
        if (!query.value(3).toString().isEmpty())
            withCheque = true;
        ++found;
    }
    if (found != expected || (expected > 0 && differs(sum, remainderOf(sale))))
        problems->append(QStringLiteral("sale of unit %1 has %2 of %3 installments adding up to %4 of %5")
                             .arg(unit)
                             .arg(found)
                             .arg(expected)
                             .arg(sum, 0, 'f', 2)
                             .arg(remainderOf(sale), 0, 'f', 2));

    if (withCheque) {
        query.prepare(QStringLiteral(R"(
            SELECT i.id, COUNT(c.id) AS cheques, COALESCE(SUM(c.amount), 0) - i.installment_amount AS difference
            FROM installments i LEFT JOIN cheques c ON c.installment_id = i.id
            WHERE i.unit_id = ? AND i.cheque_number != ''
            GROUP BY i.id
            HAVING COUNT(c.id) != 1 OR ABS(COALESCE(SUM(c.amount), 0) - i.installment_amount) > 0.005)"));
        query.addBindValue(sale.unitId);
        if (!query.exec())
            problems->append(query.lastError().text());
        while (query.next())
            problems->append(QStringLiteral("installment %1 of unit %2 lacks its one cheque")
                                 .arg(query.value(0).toString(), unit));
    }

    query.prepare(QStringLiteral("SELECT COUNT(*), COALESCE(SUM(amount), 0) FROM payments WHERE unit_id = ? "
                                 "AND buyer_id = ? AND is_down_payment = 1"));
    query.addBindValue(sale.unitId);
    query.addBindValue(buyerId);
    const int downPayments = query.exec() && query.next() ? query.value(0).toInt() : -1;
    if (downPayments != (sale.down > 0 ? 1 : 0)
        || (sale.down > 0 && differs(query.value(1).toDouble(), sale.down)))
        problems->append(
            QStringLiteral("sale of unit %1 has %2 down payment rows").arg(unit).arg(downPayments));
}

void checkSales(const QSqlDatabase& db, Checks checks, const QList<SaleRecord>& sales, QStringList* problems)
{
    if (checks & SaleSchedules) {
        // The project figures count every flagged row as a sale's down payment.
        expectNoRows(db, QStringLiteral("down payment flag on a payment that is no sale's"),
            QStringLiteral(R"(
            SELECT p.id, p.unit_id, p.buyer_id FROM payments p
            WHERE p.is_down_payment = 1
              AND (p.invoice_id IS NOT NULL OR p.buyer_id IS NULL
                   OR NOT EXISTS (SELECT 1 FROM units u WHERE u.id = p.unit_id AND u.buyer_id = p.buyer_id)))"),
            problems);
    }
    QHash<int, int> salesPerUnit;
    for (const SaleRecord& sale : sales) {
        if (++salesPerUnit[sale.unitId] > 1)
            problems->append(QStringLiteral("unit %1 was sold twice").arg(sale.unitId));
        if (checks & SaleSchedules)
            checkSale(db, sale, problems);
    }
    if (!(checks & NoStraySchedules))
        return;
    forEachRow(db, QStringLiteral("SELECT id FROM units WHERE status = 'sold'"), problems,
        [&](const QSqlQuery& query) {
            if (!salesPerUnit.contains(query.value(0).toInt()))
                problems->append(
                    QStringLiteral("unit %1 is sold without a sale record").arg(query.value(0).toInt()));
        });
    forEachRow(db, QStringLiteral("SELECT DISTINCT unit_id FROM installments"), problems,
        [&](const QSqlQuery& query) {
            if (!salesPerUnit.contains(query.value(0).toInt()))
                problems->append(
                    QStringLiteral("unit %1 has installments but no sale").arg(query.value(0).toInt()));
        });
}

void checkBuyers(const QSqlDatabase& db, const QList<SaleRecord>& sales, QStringList* problems)
{
    // A remainder too small to schedule is still owed, without an installment to show for it.
    QHash<int, double> unscheduled;
    for (const SaleRecord& sale : sales) {
        if (isScheduled(sale) || remainderOf(sale) <= 0)
            continue;
        unscheduled[sale.buyerId] += remainderOf(sale);
    }
    forEachRow(db, QStringLiteral(R"(
        SELECT b.id, b.balance,
               COALESCE((SELECT SUM(installment_amount - paid_amount) FROM installments WHERE buyer_id = b.id), 0)
        FROM buyers b)"),
        problems, [&](const QSqlQuery& query) {
            const int id = query.value(0).toInt();
            const double expected = query.value(2).toDouble() + unscheduled.value(id);
            if (query.value(1).isNull() || differs(query.value(1).toDouble(), expected))
                problems->append(QStringLiteral("buyer %1 owes %2 by the balance but %3 by the installments")
                                     .arg(id)
                                     .arg(query.value(1).toString())
                                     .arg(expected, 0, 'f', 2));
        });
}

void checkChequeCollections(const QSqlDatabase& db, QStringList* problems)
{
    // Cashing an installment's cheque collects the installment's open amount up to the cheque's.
    expectNoRows(db, QStringLiteral("cashed cheque whose installment is not collected"), QStringLiteral(R"(
        SELECT c.id, c.amount, i.id AS installment, i.paid_amount, i.status AS installment_status
        FROM cheques c JOIN installments i ON i.id = c.installment_id
        WHERE c.status = 'paid' AND i.status != 'paid'
          AND i.paid_amount < c.amount - 0.005 - 1e-9 * ABS(c.amount))"),
        problems);
    // The payments a cheque brought in stand while it is cashed, up to its amount; a pending or
    // bounced cheque holds nothing (a bounce takes back what it collected).
    expectNoRows(db, QStringLiteral("cheque holds collections its status denies"), QStringLiteral(R"(
        SELECT c.id, c.status, c.amount, COALESCE(SUM(p.amount), 0) AS held
        FROM cheques c LEFT JOIN payments p ON p.cheque_id = c.id
        WHERE c.status != 'paid' OR c.installment_id IS NOT NULL
        GROUP BY c.id
        HAVING (c.status != 'paid' AND ABS(COALESCE(SUM(p.amount), 0)) > 0.005)
            OR (c.status = 'paid' AND (COALESCE(SUM(p.amount), 0) < 0.005
                                       OR COALESCE(SUM(p.amount), 0) > c.amount + 0.005 + 1e-9 * ABS(c.amount))))"),
        problems);
}

void checkReceipts(const QSqlDatabase& db, QStringList* problems)
{
    expectNoRows(db, QStringLiteral("payment received without its receipt"), QStringLiteral(R"(
        SELECT p.id, p.amount FROM payments p LEFT JOIN receipts r ON r.payment_id = p.id
        WHERE p.amount > 0 AND r.id IS NULL)"),
        problems);
    expectNoRows(db, QStringLiteral("receipt of no sum received"), QStringLiteral(R"(
        SELECT r.receipt_number, r.payment_id FROM receipts r LEFT JOIN payments p ON p.id = r.payment_id
        WHERE p.id IS NULL OR p.amount <= 0)"),
        problems);
    expectNoRows(db,
        QStringLiteral("deposit received without its receipt, or a receipt of no deposit received"),
        QStringLiteral(R"(
        SELECT id, kind, receipt_number FROM deposit_movements
        WHERE (kind = 'received') != (receipt_number IS NOT NULL))"),
        problems);
    // Numbers are drawn with the money, so they run from 1 to the counter: a gap is a lost receipt.
    // A deposit's receipt draws from the same counter.
    expectNoRows(db, QStringLiteral("receipt numbers do not run from 1 to the counter"), QStringLiteral(R"(
        SELECT * FROM (SELECT COUNT(*) AS receipts, COUNT(DISTINCT receipt_number) AS numbers,
                              COALESCE(MIN(receipt_number), 1) AS lowest, COALESCE(MAX(receipt_number), 0) AS highest,
                              (SELECT value FROM counters WHERE name = 'receipt') AS counter
                       FROM (SELECT receipt_number FROM receipts UNION ALL
                             SELECT receipt_number FROM deposit_movements WHERE receipt_number IS NOT NULL) AS numbered)
            AS receipt_numbers
        WHERE numbers != receipts OR lowest != 1 OR highest != receipts OR counter IS NULL OR counter != highest)"),
        problems);
}

void checkDeposits(const QSqlDatabase& db, QStringList* problems)
{
    // What a contract holds: received and carried in, less refunded, kept and carried on.
    static const QString held = QStringLiteral(R"(
        SELECT c.id, c.status, COALESCE(SUM(CASE WHEN m.kind IN ('received', 'carried_in') THEN 1 ELSE -1 END
                                            * ROUND(m.amount * 100)), 0) AS held,
               EXISTS (SELECT 1 FROM deposit_settlements s WHERE s.contract_id = c.id) AS settled
        FROM contracts c LEFT JOIN deposit_movements m ON m.contract_id = c.id GROUP BY c.id)");
    expectNoRows(db, QStringLiteral("deposit held below 0, or held after its settlement"),
        QStringLiteral("SELECT * FROM (%1) AS held WHERE held < 0 OR (settled AND held != 0)").arg(held),
        problems);
    expectNoRows(db, QStringLiteral("deposit movement of an unknown kind or not above 0"), QStringLiteral(R"(
        SELECT id, kind, amount FROM deposit_movements
        WHERE kind NOT IN ('received', 'refund', 'unpaid', 'damage', 'carried_in', 'carried_out')
           OR NOT (amount >= 0.01) OR amount != ROUND(amount * 100) / 100.0)"),
        problems);
    // A settlement: what was held is what was kept and refunded, line by line.
    expectNoRows(db, QStringLiteral("deposit settlement does not add up"), QStringLiteral(R"(
        SELECT s.id, s.held, s.deducted, s.refunded, l.kept, l.refunded AS refund_lines FROM deposit_settlements s
        LEFT JOIN (SELECT settlement_id, SUM(CASE WHEN kind != 'refund' THEN ROUND(amount * 100) ELSE 0 END) AS kept,
                          SUM(CASE WHEN kind = 'refund' THEN ROUND(amount * 100) ELSE 0 END) AS refunded
                   FROM deposit_movements WHERE settlement_id IS NOT NULL GROUP BY 1) l ON l.settlement_id = s.id
        WHERE ROUND(s.held * 100) != ROUND(s.deducted * 100) + ROUND(s.refunded * 100)
           OR COALESCE(l.kept, 0) != ROUND(s.deducted * 100) OR COALESCE(l.refunded, 0) != ROUND(s.refunded * 100)
           OR s.refunded < 0)"),
        problems);
    // What was kept for an invoice paid it: one payment out of the deposit, of the same amount.
    expectNoRows(db, QStringLiteral("deposit kept for an invoice without its payment"), QStringLiteral(R"(
        SELECT m.id, m.amount, p.id AS payment, p.amount AS paid FROM deposit_movements m
        LEFT JOIN payments p ON p.id = m.payment_id
        WHERE m.kind = 'unpaid' AND (p.id IS NULL OR p.payment_method != 'deposit' OR ROUND(p.amount * 100) != ROUND(m.amount * 100))
        UNION ALL
        SELECT NULL, NULL, p.id, p.amount FROM payments p
        WHERE p.payment_method = 'deposit'
          AND (SELECT COUNT(*) FROM deposit_movements m WHERE m.payment_id = p.id AND m.kind = 'unpaid') != 1)"),
        problems);
    // A deposit carried to a renewal arrives there whole.
    expectNoRows(db, QStringLiteral("deposit carried on but not in"), QStringLiteral(R"(
        SELECT o.id, o.amount FROM deposit_movements o
        WHERE o.kind = 'carried_out' AND NOT EXISTS (
            SELECT 1 FROM deposit_movements i WHERE i.kind = 'carried_in' AND i.contract_id = o.related_contract_id
              AND i.related_contract_id = o.contract_id AND ROUND(i.amount * 100) = ROUND(o.amount * 100)))"),
        problems);
}

void checkFigures(const QSqlDatabase& db, QStringList* problems)
{
    // SQLite keeps infinities as they come and turns NaN into NULL: both are figures gone wrong.
    static const char* const columns[][2] = { { "tenants", "balance" }, { "buyers", "balance" },
        { "contractors", "balance" }, { "accounts", "balance" }, { "invoices", "total_amount" },
        { "invoices", "paid_amount" }, { "invoices", "balance" }, { "invoice_items", "total" },
        { "invoice_items", "unit_price" }, { "payments", "amount" }, { "installments", "installment_amount" },
        { "installments", "paid_amount" }, { "installments", "total_price" }, { "cheques", "amount" },
        { "expenses", "amount" }, { "contracts", "rent_amount" }, { "contracts", "deposit" },
        { "units", "rent_monthly" }, { "units", "sale_price" }, { "units", "sale_price_actual" },
        { "journal_lines", "debit" }, { "journal_lines", "credit" }, { "maintenance_requests", "cost" },
        { "exchange_rates", "rate" } };
    static const QStringList nullable = { QStringLiteral("sale_price_actual") };
    for (const auto& column : columns) {
        const QString table = QLatin1String(column[0]);
        const QString name = QLatin1String(column[1]);
        const QString nullCheck
            = nullable.contains(name) ? QString() : QStringLiteral(" OR %1 IS NULL").arg(name);
        expectNoRows(db, QStringLiteral("figure out of range in %1.%2").arg(table, name),
            QStringLiteral("SELECT id, %2 FROM %1 WHERE ABS(%2) >= %4%3")
                .arg(table, name, nullCheck,
                    onServer(db) ? QStringLiteral("'Infinity'::float8") : QStringLiteral("9e999")),
            problems);
    }
}

void checkUnitStatuses(const QSqlDatabase& db, QStringList* problems)
{
    // A unit out of service is offered for neither a contract nor a sale: it can hold neither.
    expectNoRows(db, QStringLiteral("unit of unknown status, or out of service while let or sold"),
        QStringLiteral(R"(
        SELECT u.id, u.status, u.buyer_id FROM units u
        WHERE u.status IS NULL OR u.status NOT IN ('available', 'rented', 'sold', 'maintenance')
           OR (u.status = 'maintenance'
               AND (u.buyer_id IS NOT NULL
                    OR EXISTS (SELECT 1 FROM contracts c WHERE c.unit_id = u.id AND c.status = 'active'))))"),
        problems);
}

void checkOverheads(const QSqlDatabase& db, QStringList* problems)
{
    // Each project's overheads spread over its units, as the unit and cost-centre reports do.
    QHash<qint64, double> overheads;
    forEachRow(db,
        QStringLiteral("SELECT property_id, SUM(amount) FROM expenses WHERE unit_id IS NULL AND property_id "
                       "IS NOT NULL GROUP BY property_id"),
        problems, [&](const QSqlQuery& query) {
            overheads.insert(query.value(0).toLongLong(), query.value(1).toDouble());
        });
    QMap<qint64, QList<double>> areas;
    forEachRow(db, QStringLiteral("SELECT property_id, area FROM units ORDER BY property_id, id"), problems,
        [&](const QSqlQuery& query) {
            areas[query.value(0).toLongLong()].append(
                query.value(1).isNull() ? std::nan("") : query.value(1).toDouble());
        });
    for (auto it = areas.cbegin(); it != areas.cend(); ++it) {
        const double spent = overheads.value(it.key());
        const QList<double> shares = ProjectFinancials::allocateOverheads(spent, it.value());
        double total = 0;
        bool sound = shares.size() == it.value().size();
        for (double share : shares) {
            total += share;
            sound = sound && std::isfinite(share) && (spent >= 0 ? share >= 0 : share <= 0);
        }
        // Never more than was spent, and, counted in cents, exactly what was spent.
        if (!sound || std::fabs(total) > std::fabs(spent) * (1 + 1e-12) + 1e-9
            || (std::fabs(spent) < 1e15 && !Money::sameCents(total, spent)))
            problems->append(QStringLiteral("overheads of property %1 allocated as %2 of %3")
                                 .arg(it.key())
                                 .arg(total, 0, 'f', 2)
                                 .arg(spent, 0, 'f', 2));
    }
}

// ---------------------------------------------------------------------------------------------
// The ledger
// ---------------------------------------------------------------------------------------------

void checkLedgerBalanced(const QSqlDatabase& db, QStringList* problems)
{
    // In whole hundredths, as the books keep them: no margin.
    expectNoRows(db, QStringLiteral("trial balance does not come to 0"),
        QStringLiteral(
            "SELECT SUM(ROUND(balance * 100)) AS off FROM accounts HAVING SUM(ROUND(balance * 100)) != 0"),
        problems);
    expectNoRows(db, QStringLiteral("journal entry does not balance"), QStringLiteral(R"(
        SELECT entry_id, SUM(ROUND(debit * 100) - ROUND(credit * 100)) AS off FROM journal_lines
        GROUP BY entry_id HAVING SUM(ROUND(debit * 100) - ROUND(credit * 100)) != 0)"),
        problems);
    expectNoRows(db, QStringLiteral("account balance is not the sum of its lines"), QStringLiteral(R"(
        SELECT a.id, a.code, a.balance, COALESCE(l.cents, 0) / 100.0 AS lines FROM accounts a
        LEFT JOIN (SELECT account_id, SUM(ROUND(debit * 100) - ROUND(credit * 100)) AS cents
                   FROM journal_lines GROUP BY account_id) l ON l.account_id = a.id
        WHERE ROUND(a.balance * 100) != COALESCE(l.cents, 0))"),
        problems);
}

// Every operation that posts, as (kind, id, new, day, currency, revenue group, revenue in
// hundredths): `new` when it was made since the posting was switched on (the last id of each table
// and the time then, as the settings keep them), so it must have its own entry. A void is new from
// the second after the switch: one in that very second may have come before it. `p` is the primary
// currency, `sold` the units sold since the switch.
const QString kOperations = QStringLiteral(R"(
    WITH p(id) AS (SELECT id FROM currencies WHERE is_primary = 1 ORDER BY id LIMIT 1),
    since AS (SELECT CAST(json_extract(value, '$.invoices') AS BIGINT) AS invoices, CAST(json_extract(value, '$.payments') AS BIGINT) AS payments,
                     CAST(json_extract(value, '$.expenses') AS BIGINT) AS expenses, CAST(json_extract(value, '$.installments') AS BIGINT) AS installments,
                     CAST(json_extract(value, '$.audit') AS BIGINT) AS audit, json_extract(value, '$.time') AS time,
                     CAST(json_extract(value, '$.deposits') AS BIGINT) AS deposits
              FROM settings WHERE key = 'ledger_since'),
    sold AS (SELECT record_id AS unit_id FROM audit_logs
             WHERE id > (SELECT audit FROM since) AND action = 'بيع وحدة' AND table_name = 'units'),
    ops(kind, id, new, day, currency, grp, revenue) AS (
      SELECT 'invoice', id, id > (SELECT invoices FROM since), date(created_at, 'localtime'), currency_id,
             'rental', ROUND(total_amount * 100) FROM invoices
      UNION ALL
      SELECT 'void', id, voided_at > (SELECT time FROM since), date(voided_at, 'localtime'), currency_id,
             'rental', -ROUND((total_amount - paid_amount) * 100) FROM invoices
      WHERE status = 'void' AND total_amount > paid_amount
      UNION ALL
      SELECT CASE WHEN tenant_id IS NOT NULL THEN 'payment' WHEN amount > 0 THEN 'collection'
                  ELSE 'cheque_return' END, id, id > (SELECT payments FROM since), payment_date, currency_id, '', 0
      FROM payments WHERE is_down_payment = 0
      UNION ALL
      SELECT 'expense', id, id > (SELECT expenses FROM since), expense_date, currency_id, '', 0 FROM expenses
      WHERE ROUND(amount * 100) > 0
      UNION ALL
      SELECT 'sale', u.id, u.id IN (SELECT unit_id FROM sold), u.sale_date,
             COALESCE(d.currency_id, (SELECT currency_id FROM installments WHERE unit_id = u.id LIMIT 1)), 'sales',
             COALESCE(ROUND(d.amount * 100), 0) + COALESCE((SELECT SUM(ROUND(installment_amount * 100))
                                                    FROM installments WHERE unit_id = u.id AND added_by_hand = 0), 0)
      FROM units u LEFT JOIN payments d ON d.unit_id = u.id AND d.is_down_payment = 1 WHERE u.status = 'sold'
      UNION ALL
      SELECT 'installment', id, id > (SELECT installments FROM since), date(created_at, 'localtime'), currency_id,
             'sales', ROUND(installment_amount * 100) FROM installments WHERE added_by_hand = 1
      UNION ALL
      SELECT CASE kind WHEN 'received' THEN 'deposit' WHEN 'refund' THEN 'deposit_refund' ELSE 'deposit_damage' END,
             id, id > (SELECT deposits FROM since), movement_date, currency_id, '', 0
      FROM deposit_movements WHERE kind IN ('received', 'refund', 'damage')
      UNION ALL
      SELECT 'opening', id, 1 = 0, NULL, NULL, '', 0 FROM accounts)
    )");

/** Hundredths per key, from the (key, cents) rows of a statement that may use the operations. */
QMap<QString, qint64> sums(const QSqlDatabase& db, const QString& sql, QStringList* problems)
{
    QMap<QString, qint64> found;
    forEachRow(db, kOperations + sql, problems, [&](const QSqlQuery& query) {
        found[query.value(0).toString()] += qRound64(query.value(1).toDouble());
    });
    return found;
}

void expectSame(const QString& what, const QMap<QString, qint64>& books,
    const QMap<QString, qint64>& operations, QStringList* problems)
{
    QStringList keys = books.keys() + operations.keys();
    keys.removeDuplicates();
    for (const QString& key : keys) {
        if (books.value(key) != operations.value(key))
            problems->append(QStringLiteral("%1 (%2): %3 in the books, %4 by the operations")
                                 .arg(what, key)
                                 .arg(books.value(key) / 100.0, 0, 'f', 2)
                                 .arg(operations.value(key) / 100.0, 0, 'f', 2));
    }
}

void checkLedgerPosted(const QSqlDatabase& db, QStringList* problems)
{
    const auto same = [&](const QString& what, const QString& books, const QString& operations) {
        expectSame(what, sums(db, books, problems), sums(db, operations, problems), problems);
    };
    // What the program posted on the accounts of some roles (%2), keyed by %1: in the entries'
    // currency, or 'all'.
    static const QString posted = QStringLiteral(R"(
        SELECT %1, ROUND(jl.original_amount * 100) FROM journal_lines jl
        JOIN journal_entries je ON je.id = jl.entry_id JOIN accounts a ON a.id = jl.account_id
        WHERE a.posting_role IN (%2) AND je.reference_type != 'manual')");
    static const QString entryCurrency = QStringLiteral("COALESCE(je.currency_id, (SELECT id FROM p))");
    static const QString currency = QStringLiteral("COALESCE(currency_id, (SELECT id FROM p))");
    // Receivables: what the open invoices and installments leave, per currency; together, what
    // the tenants' and buyers' running balances say is owed.
    same(QStringLiteral("tenants' receivable"),
        posted.arg(entryCurrency, QStringLiteral("'tenant_receivable'")),
        QStringLiteral("SELECT %1, ROUND(balance * 100) FROM invoices WHERE status != 'void'").arg(currency));
    same(QStringLiteral("buyers' receivable"),
        posted.arg(entryCurrency, QStringLiteral("'buyer_receivable'")),
        QStringLiteral("SELECT %1, ROUND((installment_amount - paid_amount) * 100) FROM installments")
            .arg(currency));
    same(QStringLiteral("receivables"),
        posted.arg(QStringLiteral("'all'"), QStringLiteral("'tenant_receivable', 'buyer_receivable'")),
        QStringLiteral("SELECT 'all', ROUND(balance * 100) FROM tenants UNION ALL "
                       "SELECT 'all', ROUND(balance * 100) FROM buyers"));
    // Cash and bank: the money received less the expenses paid (a contractor's work is owed).
    // A deposit received comes into them and a refund goes out; what is kept of a deposit for an
    // invoice (a payment "deposit") never passed through them.
    static const QString inCash = QStringLiteral("COALESCE(TRIM(payment_method), '') IN ('', 'cash')");
    static const QString deposits = QStringLiteral("SELECT %1, CASE kind WHEN 'received' THEN 1 ELSE -1 END "
                                                   "* ROUND(amount * 100) FROM deposit_movements "
                                                   "WHERE kind IN ('received', 'refund') AND %2");
    same(QStringLiteral("cash"), posted.arg(entryCurrency, QStringLiteral("'cash'")),
        QStringLiteral("SELECT %1, ROUND(amount * 100) FROM payments WHERE %2 UNION ALL "
                       "SELECT %1, -ROUND(amount * 100) FROM expenses WHERE contractor_id IS NULL UNION ALL ")
                .arg(currency, inCash)
            + deposits.arg(currency, inCash));
    same(QStringLiteral("bank"), posted.arg(entryCurrency, QStringLiteral("'bank'")),
        QStringLiteral(
            "SELECT %1, ROUND(amount * 100) FROM payments WHERE NOT %2 AND TRIM(payment_method) != 'deposit' "
            "UNION ALL ")
                .arg(currency, inCash)
            + deposits.arg(currency, QStringLiteral("NOT ") + inCash));
    // Money held for others: what the contracts' deposits hold, per currency.
    same(QStringLiteral("deposits held"), posted.arg(entryCurrency, QStringLiteral("'held_for_others'")),
        QStringLiteral("SELECT %1, -CASE WHEN kind IN ('received', 'carried_in') THEN 1 ELSE -1 END * "
                       "ROUND(amount * 100) "
                       "FROM deposit_movements")
            .arg(currency));
    // Each month's revenue of the operations made since the switch, each on its own day and in its
    // own currency, against the revenue lines of their entries by the entries' dates.
    same(QStringLiteral("revenue"),
        QStringLiteral(R"(
        SELECT o.grp || ' ' || substr(je.entry_date, 1, 7) || ' ' || %1, -ROUND(jl.original_amount * 100)
        FROM journal_lines jl JOIN journal_entries je ON je.id = jl.entry_id JOIN accounts a ON a.id = jl.account_id
        JOIN ops o ON o.kind = je.reference_type AND o.id = je.reference_id AND o.new
        WHERE a.posting_role IN ('rent', 'services', 'sales', 'late_fees'))")
            .arg(entryCurrency),
        QStringLiteral(R"(
        SELECT grp || ' ' || substr(day, 1, 7) || ' ' || COALESCE(currency, (SELECT id FROM p)), revenue
        FROM ops WHERE new AND revenue != 0)"));
    // One entry for each operation made since the switch, none for two, none naming nothing.
    const auto expect = [&](const QString& what, const QString& sql) {
        expectNoRows(db, what, kOperations + sql, problems);
    };
    expect(QStringLiteral("operation without its entry"), QStringLiteral(R"(
        SELECT kind, id FROM ops o WHERE new
          AND NOT EXISTS (SELECT 1 FROM journal_entries WHERE reference_type = o.kind AND reference_id = o.id))"));
    expect(QStringLiteral("operation with more than one entry"), QStringLiteral(R"(
        SELECT reference_type, reference_id, COUNT(*) AS entries FROM journal_entries
        WHERE reference_type NOT IN ('manual', 'opening') GROUP BY 1, 2 HAVING COUNT(*) > 1)"));
    expect(QStringLiteral("entry naming no operation of its kind"), QStringLiteral(R"(
        SELECT je.id, je.reference_type, je.reference_id FROM journal_entries je
        WHERE je.reference_type != 'manual'
          AND NOT EXISTS (SELECT 1 FROM ops WHERE kind = je.reference_type AND id = je.reference_id))"));
}

void checkLedger(const QSqlDatabase& db, Checks checks, QStringList* problems)
{
    if (checks & LedgerBalanced)
        checkLedgerBalanced(db, problems);
    // With posting off the office keeps its books elsewhere: the operations owe the ledger nothing.
    QSqlQuery query(db);
    if ((checks & LedgerPosted)
        && query.exec(QStringLiteral("SELECT value FROM settings WHERE key = 'ledger_posting'"))
        && query.next() && query.value(0).toString() == QLatin1String("on"))
        checkLedgerPosted(db, problems);
}

void hashValue(QCryptographicHash* hash, const QVariant& value)
{
    QByteArray bytes;
    if (value.isNull())
        bytes = "N";
    else if (value.typeId() == QMetaType::Double)
        bytes = "R" + QByteArray::number(value.toDouble(), 'g', 17);
    else if (value.typeId() == QMetaType::QByteArray)
        bytes = "B" + value.toByteArray();
    else
        bytes = "T" + value.toString().toUtf8();
    hash->addData(QByteArray::number(bytes.size()) + ':');
    hash->addData(bytes);
}

} // namespace

QStringList problems(const QSqlDatabase& db, Checks checks)
{
    QStringList found;
    if (!db.isOpen())
        return { QStringLiteral("the database is not open") };
    if (checks & FileIntegrity)
        checkFile(db, &found);
    checkInvoices(db, checks, &found);
    checkInvoiceTerms(db, checks, &found);
    if (checks & ReadingsBilledOnce)
        checkReadings(db, &found);
    if (checks & WholeCents)
        checkWholeCents(db, &found);
    if (checks & InstallmentPayments) {
        expectNoRows(db, QStringLiteral("installment paid amount is not the sum of its collections"),
            QStringLiteral(R"(
            SELECT i.id, i.paid_amount, COALESCE(p.collected, 0) AS collected
            FROM installments i
            LEFT JOIN (SELECT %1 AS installment_id,
                              SUM(amount) AS collected
                       FROM payments WHERE notes LIKE 'تحصيل قسط - معرف: %' GROUP BY installment_id) p
                   ON p.installment_id = i.id
            WHERE ABS(i.paid_amount - COALESCE(p.collected, 0)) > 0.005 + 1e-9 * ABS(i.paid_amount))")
                .arg(leadingNumber(db, QStringLiteral("SUBSTR(notes, LENGTH('تحصيل قسط - معرف: ') + 1)"))),
            &found);
    }
    if (checks & ChequeCollections)
        checkChequeCollections(db, &found);
    if (checks & Receipts)
        checkReceipts(db, &found);
    if (checks & (SaleSchedules | NoStraySchedules | BuyerBalances)) {
        const QList<SaleRecord> sales = saleRecords(db, &found);
        checkSales(db, checks, sales, &found);
        if (checks & BuyerBalances)
            checkBuyers(db, sales, &found);
    }
    if (checks & FiniteFigures)
        checkFigures(db, &found);
    if (checks & Deposits)
        checkDeposits(db, &found);
    if (checks & UnitStatuses)
        checkUnitStatuses(db, &found);
    if (checks & OverheadShares)
        checkOverheads(db, &found);
    checkLedger(db, checks, &found);
    return found;
}

QByteArray contentHash(const QSqlDatabase& db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList tables;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (onServer(db)) {
        // The columns and indexes stand for the schema; every table's rows in the order of its key.
        if (!query.exec(QStringLiteral(R"(
                SELECT 'table', table_name, string_agg(column_name || ' ' || data_type, ',' ORDER BY ordinal_position)
                FROM information_schema.columns WHERE table_schema = current_schema() GROUP BY table_name
                UNION ALL SELECT 'index', indexname, indexdef FROM pg_indexes WHERE schemaname = current_schema()
                ORDER BY 1, 2)")))
            return {};
    } else if (!query.exec(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY type, name"))) {
        return {};
    }
    while (query.next()) {
        for (int i = 0; i < 3; ++i)
            hashValue(&hash, query.value(i));
        if (query.value(0).toString() == QLatin1String("table"))
            tables.append(query.value(1).toString());
    }
    for (const QString& table : tables) {
        QSqlQuery rows(db);
        rows.setForwardOnly(true);
        // The names come from sqlite_master of the file itself.
        const QString sql = onServer(db) ? QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1")
                                         : QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid");
        if (!rows.exec(sql.arg(table)))
            return {};
        hashValue(&hash, table);
        while (rows.next()) {
            for (int i = 0; i < rows.record().count(); ++i)
                hashValue(&hash, rows.value(i));
        }
    }
    return hash.result().toHex();
}

FileConnection::FileConnection(const QString& path)
    : m_name(QStringLiteral("consistency-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    m_db.open();
}

FileConnection::~FileConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

} // namespace Consistency
