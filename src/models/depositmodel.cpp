#include "depositmodel.h"

#include "bookkeeper.h"
#include "contractmodel.h"
#include "database.h"
#include "depositbook.h"
#include "money.h"
#include "receiptbook.h"
#include "transactionguard.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDepositModel, "darvelinto.deposits.model")

namespace {

const QString kContract = QStringLiteral(R"(
    SELECT c.id, c.tenant_id, c.unit_id, c.status, c.deposit, c.start_date, c.end_date,
           COALESCE(c.currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)) AS currency_id,
           t.full_name AS tenant_name, u.unit_number, p.name AS property_name, cur.symbol AS currency_symbol,
           cur.code AS currency_code, cur.name_ar AS currency_name
    FROM contracts c
    JOIN tenants t ON t.id = c.tenant_id
    JOIN units u ON u.id = c.unit_id
    JOIN properties p ON p.id = u.property_id
    LEFT JOIN currencies cur ON cur.id = COALESCE(c.currency_id,
        (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))
    WHERE c.id = ?)");

} // namespace

DepositModel::DepositModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

int DepositModel::receive(int contractId, double amount, const QString& method, const QString& date,
    const QString& reference, const QString& bank)
{
    clearRefusal();
    if (!Money::isAmount(amount) || Money::toCents(amount) <= 0)
        return refuseRow(QStringLiteral("مبلغ التأمين يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("contracts"), contractId))
        return refuseUnsavedRow();
    DepositBook book(m_db);
    const int id = book.receive(contractId, Money::toCents(amount), method, date, reference, bank);
    if (id <= 0)
        return book.refusal().isEmpty() ? refuseUnsavedRow() : refuseRow(book.refusal());
    if (!transaction.commit())
        return refuseUnsavedRow();
    emit dataChanged();
    return id;
}

QVariantMap DepositModel::getSummary(int contractId) const
{
    const QVariantList rows = m_db->execQuery(kContract, { contractId });
    if (rows.isEmpty())
        return {};
    QVariantMap summary = rows.first().toMap();
    DepositBook book(m_db);
    summary.insert(QStringLiteral("held"), Money::fromCents(book.heldCents(contractId)));
    summary.insert(QStringLiteral("settled"), book.isSettled(contractId));
    summary.insert(QStringLiteral("received"),
        m_db->scalar(QStringLiteral("SELECT COALESCE(SUM(amount), 0) FROM deposit_movements "
                                    "WHERE contract_id = ? AND kind IN ('received', 'carried_in')"),
                { contractId })
            .toDouble());
    summary.insert(QStringLiteral("movements"),
        m_db->execQuery(QStringLiteral(R"(
            SELECT id, kind, amount, movement_date, reason, receipt_number, payment_method
            FROM deposit_movements WHERE contract_id = ? ORDER BY id)"),
            { contractId }));
    return summary;
}

QVariantList DepositModel::getOpenInvoices(int contractId) const
{
    return m_db->execQuery(QStringLiteral(R"(
        SELECT i.id, i.invoice_number, i.period, i.total_amount, i.balance, i.due_date
        FROM invoices i JOIN contracts c ON c.id = ?
        WHERE i.tenant_id = c.tenant_id AND i.status IN ('pending', 'partial') AND i.balance > 0
          AND COALESCE(i.currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))
            = COALESCE(c.currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))
        ORDER BY i.due_date, i.id)"),
        { contractId });
}

bool DepositModel::payInvoice(const QVariantMap& contract, int invoiceId, qint64 cents, const QString& date,
    const QString& reason, int settlementId, const QVariant& currency)
{
    const int tenantId = contract.value(QStringLiteral("tenant_id")).toInt();
    if (!m_db->lockRow(QStringLiteral("invoices"), invoiceId))
        return refuseUnsaved();
    const QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT tenant_id, invoice_number, paid_amount, balance, status,
               COALESCE(currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)) AS currency_id
        FROM invoices WHERE id = ?)"),
        { invoiceId });
    const QVariantMap invoice = rows.value(0).toMap();
    // The deposit is the tenant's money: it settles only the tenant's own live invoices, in its currency.
    if (rows.isEmpty() || invoice.value(QStringLiteral("tenant_id")).toInt() != tenantId
        || invoice.value(QStringLiteral("status")).toString() == QLatin1String("void"))
        return refuse(QStringLiteral("الفاتورة المختارة للخصم ليست فاتورة مفتوحة على هذا المستأجر"));
    if (invoice.value(QStringLiteral("currency_id")).toInt() != currency.toInt())
        return refuse(QStringLiteral("الفاتورة بعملة غير عملة التأمين"));
    const qint64 open = Money::toCents(invoice.value(QStringLiteral("balance")).toDouble());
    if (cents > open)
        return refuse(QStringLiteral("الخصم أكبر من المتبقي على الفاتورة %1 (%2)")
                          .arg(invoice.value(QStringLiteral("invoice_number")).toString(),
                              Money::display(Money::fromCents(open), QString())));
    const QString note
        = QStringLiteral("خصم من التأمين") + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
    const int paymentId = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO payments (invoice_id, tenant_id, amount, payment_method, payment_date, reference, currency_id, notes)
        VALUES (?,?,?,'deposit',?,?,?,?))"),
        { invoiceId, tenantId, Money::fromCents(cents), date,
            QStringLiteral("تأمين العقد %1").arg(contract.value(QStringLiteral("id")).toInt()), currency,
            note });
    if (paymentId <= 0)
        return refuseUnsaved();
    const qint64 left = open - cents;
    const qint64 paidBefore = Money::toCents(invoice.value(QStringLiteral("paid_amount")).toDouble());
    const bool written
        = m_db->execNonQuery(
              QStringLiteral("UPDATE invoices SET paid_amount=?, balance=?, status=? WHERE id=?"),
              { Money::fromCents(paidBefore + cents), Money::fromCents(left),
                  left == 0 ? QStringLiteral("paid") : QStringLiteral("partial"), invoiceId })
        && m_db->execNonQuery(QStringLiteral("UPDATE tenants SET balance=")
                + Money::movedByCentsSql("balance") + QStringLiteral(" WHERE id=?"),
            { -cents, tenantId });
    if (!written)
        return refuseUnsaved();
    const BookKeeper::Result posted = BookKeeper(m_db).postTenantPayment(
        paymentId, invoiceId, cents, QStringLiteral("deposit"), date, currency, open);
    if (!posted.ok)
        return posted.refusal.isEmpty() ? refuseUnsaved() : refuse(posted.refusal);
    if (ReceiptBook(m_db).issue(paymentId, Money::fromCents(left)) <= 0)
        return refuseUnsaved();
    return DepositBook(m_db).write(contract.value(QStringLiteral("id")).toInt(), QStringLiteral("unpaid"),
               cents, currency, date,
               { { QStringLiteral("reason"), reason.isEmpty() ? note : reason },
                   { QStringLiteral("payment_id"), paymentId },
                   { QStringLiteral("settlement_id"), settlementId } })
        > 0
        || refuseUnsaved();
}

int DepositModel::settle(
    int contractId, const QVariantList& deductions, const QString& refundMethod, const QString& date)
{
    clearRefusal();
    if (!DepositBook::isDay(date))
        return refuseRow(QStringLiteral("تاريخ التسوية يُكتب بالشكل YYYY-MM-DD"));
    // Each deduction is checked before anything is written.
    qint64 deducted = 0;
    for (const QVariant& value : deductions) {
        const QVariantMap line = value.toMap();
        const QString kind = line.value(QStringLiteral("kind")).toString();
        const double amount = line.value(QStringLiteral("amount")).toDouble();
        if (!Money::isAmount(amount) || Money::toCents(amount) <= 0)
            return refuseRow(QStringLiteral("مبلغ كل خصم يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
        if (kind == QLatin1String("damage")) {
            if (line.value(QStringLiteral("reason")).toString().trimmed().isEmpty())
                return refuseRow(QStringLiteral("اكتب سبب كل خصم"));
        } else if (kind != QLatin1String("unpaid") || line.value(QStringLiteral("invoice_id")).toInt() <= 0) {
            return refuseRow(QStringLiteral("اختر الفاتورة التي يُخصم لها"));
        }
        deducted += Money::toCents(amount);
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("contracts"), contractId))
        return refuseUnsavedRow();
    const QVariantList rows = m_db->execQuery(kContract, { contractId });
    if (rows.isEmpty())
        return refuseRow(QStringLiteral("العقد غير موجود"));
    const QVariantMap contract = rows.first().toMap();
    DepositBook book(m_db);
    if (book.isSettled(contractId))
        return refuseRow(QStringLiteral("سُوّي تأمين هذا العقد من قبل"));
    const qint64 held = book.heldCents(contractId);
    if (held <= 0)
        return refuseRow(QStringLiteral("لا يوجد تأمين محتجز لهذا العقد"));
    if (deducted > held)
        return refuseRow(QStringLiteral("الخصومات (%1) أكبر من التأمين المحتجز (%2)")
                             .arg(Money::display(Money::fromCents(deducted), QString()),
                                 Money::display(Money::fromCents(held), QString())));
    // The tenant leaves: a contract still active ends with its settlement.
    if (contract.value(QStringLiteral("status")).toString() == QLatin1String("active")
        && !ContractModel::writeTermination(m_db, contractId, contract.value(QStringLiteral("unit_id"))))
        return refuseUnsavedRow();
    const QString clerk = m_db->actingUser();
    const int settlementId = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO deposit_settlements (contract_id, settlement_date, held, deducted, refunded, issued_by)
        VALUES (?,?,?,?,?,?))"),
        { contractId, date, Money::fromCents(held), Money::fromCents(deducted),
            Money::fromCents(held - deducted), clerk.isNull() ? QStringLiteral("") : clerk });
    if (settlementId <= 0)
        return refuseUnsavedRow();
    const QVariant currency = contract.value(QStringLiteral("currency_id"));
    for (const QVariant& value : deductions) {
        const QVariantMap line = value.toMap();
        const qint64 cents = Money::toCents(line.value(QStringLiteral("amount")).toDouble());
        const QString reason = line.value(QStringLiteral("reason")).toString().trimmed();
        if (line.value(QStringLiteral("kind")).toString() == QLatin1String("unpaid")) {
            if (!payInvoice(contract, line.value(QStringLiteral("invoice_id")).toInt(), cents, date, reason,
                    settlementId, currency))
                return -1;
        } else if (book.write(contractId, QStringLiteral("damage"), cents, currency, date,
                       { { QStringLiteral("reason"), reason },
                           { QStringLiteral("settlement_id"), settlementId } })
            <= 0) {
            return book.refusal().isEmpty() ? refuseUnsavedRow() : refuseRow(book.refusal());
        }
    }
    if (held > deducted) {
        const QString method
            = refundMethod.trimmed().isEmpty() ? QStringLiteral("cash") : refundMethod.trimmed();
        if (book.write(contractId, QStringLiteral("refund"), held - deducted, currency, date,
                { { QStringLiteral("method"), method }, { QStringLiteral("settlement_id"), settlementId } })
            <= 0)
            return book.refusal().isEmpty() ? refuseUnsavedRow() : refuseRow(book.refusal());
    }
    if (book.heldCents(contractId) != 0 || !transaction.commit()) {
        qCWarning(lcDepositModel) << "deposit of contract" << contractId << "not settled";
        return refuseUnsavedRow();
    }
    emit dataChanged();
    return settlementId;
}

QVariantMap DepositModel::getSettlement(int contractId) const
{
    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT * FROM deposit_settlements WHERE contract_id = ?"), { contractId });
    if (rows.isEmpty())
        return {};
    QVariantMap settlement = m_db->execQuery(kContract, { contractId }).value(0).toMap();
    settlement.insert(rows.first().toMap());
    settlement.insert(QStringLiteral("lines"),
        m_db->execQuery(QStringLiteral(R"(
            SELECT m.kind, m.amount, m.reason, m.payment_method, i.invoice_number, i.period
            FROM deposit_movements m
            LEFT JOIN payments p ON p.id = m.payment_id
            LEFT JOIN invoices i ON i.id = p.invoice_id
            WHERE m.settlement_id = ? ORDER BY m.kind = 'refund', m.id)"),
            { settlement.value(QStringLiteral("id")) }));
    return settlement;
}

QVariantList DepositModel::getHeldTotals() const
{
    return m_db->execQuery(QStringLiteral(R"(
        SELECT h.currency_id, cur.symbol AS currency_symbol, cur.code AS currency_code,
               SUM(h.cents) / 100.0 AS held, COUNT(*) AS contracts
        FROM (SELECT COALESCE(currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))
                         AS currency_id, contract_id,
                     SUM(CASE WHEN kind IN ('received', 'carried_in') THEN 1 ELSE -1 END * ROUND(amount * 100)) AS cents
              FROM deposit_movements GROUP BY 1, 2
              HAVING SUM(CASE WHEN kind IN ('received', 'carried_in') THEN 1 ELSE -1 END * ROUND(amount * 100)) != 0) h
        LEFT JOIN currencies cur ON cur.id = h.currency_id
        GROUP BY h.currency_id ORDER BY h.currency_id)"));
}
