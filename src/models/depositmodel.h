#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * Tenants' security deposits: received with a receipt, held apart from rent, and settled once when
 * the tenant leaves: refunded in full, or kept in part against open invoices or for damage (a line
 * per deduction with its reason) and the rest refunded, all in one transaction.
 */
class DepositModel : public Refusable
{
    Q_OBJECT
public:
    explicit DepositModel(Database* db, QObject* parent = nullptr);

    /**
     * Money received toward a contract's deposit, in the contract's currency, with its receipt
     * (printed through the receipts). Returns the movement's id, or -1 with nothing written when the
     * contract is unknown or settled, the date is not "yyyy-MM-dd", or the amount is not at least a
     * cent or would take what is held past the deposit the contract agreed.
     */
    Q_INVOKABLE int receive(int contractId, double amount, const QString& method, const QString& date,
        const QString& reference = QString(), const QString& bank = QString());
    /**
     * A contract's deposit: `deposit` (agreed), `held`, `received`, `currency_symbol`, `settled`,
     * `contract_status`, `tenant_name`, `unit_number`, `property_name`, and `movements` (each with
     * `id`, `kind`, `amount`, `movement_date`, `reason`, `receipt_number`).
     */
    Q_INVOKABLE QVariantMap getSummary(int contractId) const;
    /** The tenant's open invoices in the contract's currency, oldest first, that a deduction may settle. */
    Q_INVOKABLE QVariantList getOpenInvoices(int contractId) const;
    /**
     * Settles a contract's deposit and ends the contract if it is still active, together. Each of
     * `deductions` is a map: `kind` "unpaid" (with `invoice_id`: paid out of the deposit, as a
     * payment would) or "damage" (with its `reason`), and `amount`. What is not kept is refunded by
     * `refundMethod`. Refused (-1, nothing written) when the contract is unknown, holds nothing or
     * was settled, a deduction is not at least a cent, lacks its reason or invoice, exceeds what the
     * invoice leaves open, or the deductions come to more than is held. Returns the settlement's id.
     */
    Q_INVOKABLE int settle(
        int contractId, const QVariantList& deductions, const QString& refundMethod, const QString& date);
    /**
     * The settlement of a contract: `held`, `deducted`, `refunded`, `settlement_date`, `issued_by`,
     * the contract's names, and `lines` (`kind`, `amount`, `reason`, `invoice_number`). Empty when
     * none.
     */
    Q_INVOKABLE QVariantMap getSettlement(int contractId) const;
    /** Deposits held, per currency: `currency_id`, `currency_symbol`, `held`, `contracts`. */
    Q_INVOKABLE QVariantList getHeldTotals() const;

signals:
    void dataChanged();

private:
    bool payInvoice(const QVariantMap& contract, int invoiceId, qint64 cents, const QString& date,
        const QString& reason, int settlementId, const QVariant& currency);

    Database* m_db;
};
