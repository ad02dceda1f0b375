#pragma once

#include "refusable.h"

#include <QVariantList>

class Database;

/**
 * The sale of a unit against a down payment and a schedule of monthly installments (with the
 * buyer's post-dated cheques), and the collection of those installments. Sale and collection are
 * each one all-or-nothing transaction across units, payments, installments, cheques, the buyer's
 * running balance, the audit log and the journal entry the books receive (BookKeeper).
 */
class InstallmentModel : public Refusable
{
    Q_OBJECT
public:
    explicit InstallmentModel(Database* db, QObject* parent = nullptr);

    /** Every installment with `buyer_name`, `unit_number`, `property_name`, earliest due first. */
    Q_INVOKABLE QVariantList getAll() const;
    /** Installments not yet paid whose due date lies before today, with `buyer_name`, `unit_number`. */
    Q_INVOKABLE QVariantList getOverdue() const;
    /** The buyer's installments with `unit_number`, `property_name`, earliest due first. */
    Q_INVOKABLE QVariantList getByBuyer(int buyerId) const;
    /**
     * One page of installments, latest due first (the latest added first within a day), with the
     * keys of getAll(): those of one buyer, or of every buyer when `buyerId` is 0 or less. A
     * non-empty `search` keeps the installments whose due date, cheque number, bank, buyer,
     * property or unit contains it.
     */
    Q_INVOKABLE QVariantList getPage(
        int buyerId, int offset, int limit, const QString& search = QString()) const;

    /**
     * Adds one installment by hand (no cheque) and raises the buyer's balance by its amount, all
     * amounts rounded to the cent. Returns the new id, or -1 for an amount that does not round to
     * a cent or more, a due date that is not "yyyy-MM-dd", or a failed write (nothing is kept then).
     */
    Q_INVOKABLE int add(
        int buyerId, int unitId, double total, double down, double amount, const QString& dueDate, int cid);

    /**
     * Collects `amount` (rounded to the cent) on an installment: marks it 'partial', or 'paid' once
     * nothing is left open, records the payment on the unit's cost centre, lowers the buyer's
     * balance and writes an audit row. A pending cheque of the installment whose amount the
     * collection covers is cashed with it (the payment is then that cheque's); no other cheque
     * changes. Refuses (false, nothing written) an unknown installment, an amount that is not
     * above 0, more than the open amount, or any failed step.
     */
    Q_INVOKABLE bool payInstallment(int id, double amount);

    /**
     * Sells a unit: marks it sold, records the down payment, spreads the rest over
     * `numInstallments` monthly installments from `startDate` (one cheque each when a first
     * cheque number is given) and raises the buyer's balance by the financed rest. Price and
     * down payment are rounded to the cent. Returns 1, or -1 when the unit is missing or sold,
     * the buyer or currency is unknown, the terms are invalid (price not above 0, a down payment
     * below 0 or above the price, installments of less than a cent, date not "yyyy-MM-dd") or
     * any write fails; nothing is written then.
     */
    Q_INVOKABLE int sellUnit(int buyerId, int unitId, double totalPrice, double downPayment,
        int numInstallments, const QString& startDate, int currId, const QString& startCheque = QString(),
        const QString& bankName = QString());

    /**
     * The account on whose behalf the interface sells (set by the program on every log-in and
     * log-out, never by a page): its id goes on the audit row of each sale, and a sale it tries
     * that is refused is kept in the audit log under it with the reason. 0 or less means nobody
     * (tools, tests): a refusal then writes nothing.
     */
    void setActingUser(int userId) { m_actingUserId = userId; }

signals:
    void dataChanged();

private:
    int sell(int buyerId, int unitId, double totalPrice, double downPayment, int numInstallments,
        const QString& startDate, int currId, const QString& startCheque, const QString& bankName);
    void keepRefusedSale(int unitId);

    Database* m_db;
    int m_actingUserId = 0;
};
