#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * The cheque register: cheques received (from buyers, tenants or others) and issued by the
 * office. An entry moves no money, except a cheque that pays an installment: cashing it collects
 * the installment, and its bounce takes that collection back (see InstallmentCollection).
 *
 * Every list carries all cheque columns plus `currency_symbol`, `buyer_name`, `tenant_name`,
 * `unit_number` and `property_name` (the last two through the cheque's installment).
 */
class ChequeModel : public Refusable
{
    Q_OBJECT
public:
    explicit ChequeModel(Database* db, QObject* parent = nullptr);

    /** Every cheque, latest due first, also with `currency_code`. */
    Q_INVOKABLE QVariantList getAll() const;
    /** Pending cheques, earliest due first. */
    Q_INVOKABLE QVariantList getPending() const;
    /** Pending cheques due after today, earliest first. */
    Q_INVOKABLE QVariantList getPostDated() const;
    /** Cheques of one type ("received", "issued"), latest due first. */
    Q_INVOKABLE QVariantList getByType(const QString& type) const;
    /** Cheques in one status, earliest due first. */
    Q_INVOKABLE QVariantList getByStatus(const QString& status) const;

    /**
     * Records a pending cheque issued today. `payerPayee` is the payer of a "received" cheque and
     * the payee of an "issued" one; the exchange rate is kept in the notes. Links of 0 stay NULL.
     * The amount is rounded to the cent. Returns the new id, or -1 for an amount that does not
     * round to a cent or more or is above Money::kMaxAmount, a rate that is not a finite number,
     * or a failed insert.
     */
    Q_INVOKABLE int add(const QString& num, const QString& type, double amount, const QString& bank,
        const QString& dueDate, const QString& payerPayee, int currId, double exchangeRate, int buyerId = 0,
        int tenantId = 0);
    /**
     * One page of a cut of the register, latest due first (the latest recorded first within a
     * day). Cuts: "all", "received", "issued", "postdated" (pending, due after today) and "due"
     * (received, pending, due today or before, not of a settled installment: what there is to
     * collect); any other cut gives an empty list. A non-empty `search`
     * keeps the cheques whose number, bank, drawer or payee, due date, buyer, tenant, property
     * or unit contains it.
     */
    Q_INVOKABLE QVariantList getPage(
        const QString& cut, int offset, int limit, const QString& search = QString()) const;
    /**
     * Count and sum of amounts per status over the whole register: a map from "pending", "paid"
     * and "bounced" (always present) and any other stored status to a map of `count` and `total`.
     * "pending" counts received cheques only: what is still to be collected.
     */
    Q_INVOKABLE QVariantMap getStatusTotals() const;

    /**
     * Cashes ("paid") or returns ("bounced") a cheque, all or nothing. Cashing a pending cheque
     * of an installment collects the installment's open amount, up to the cheque's amount,
     * through the cheque; it is refused when the installment is already settled. A cashed
     * installment cheque that bounces takes back what it collected and reopens the installment.
     * Refused: an unknown cheque, any other status, cashing a cheque that is not pending, and
     * returning one already returned; lastError then says why.
     */
    Q_INVOKABLE bool updateStatus(int id, const QString& status);

signals:
    void dataChanged();

private:
    QVariantList select(
        const QString& tail, const QVariantList& params = {}, bool withCurrencyCode = false) const;
    bool changeStatus(int id, const QString& status);

    Database* m_db;
};
