#pragma once

#include <QString>
#include <QVariantMap>

class Database;

/**
 * The one place where an installment's money moves, shared by the installment collection and the
 * cheque register: a collection (by hand, or by cashing one of the installment's cheques) and the
 * taking back of what a cheque brought in when it bounces. Each writes the installment, its cheque,
 * a payment row on the unit's cost centre (with its receipt, for a collection), the buyer's running
 * balance and an audit row, in whole hundredths.
 *
 * Runs inside the caller's transaction and never commits: a result that is not `ok` means the
 * caller must roll back, since some of these rows may already have been written.
 */
class InstallmentCollection
{
public:
    struct Result
    {
        bool ok = false;
        /** Why a rule refused, in Arabic for the user; empty when a statement failed. */
        QString refusal;
        /** What was collected, or taken back. */
        double amount = 0;
    };

    explicit InstallmentCollection(Database* db);

    /**
     * Collects `amount` (rounded to the cent) on an installment. Refused for an unknown
     * installment, an amount not above 0 or above the open amount. The first pending cheque of
     * the installment whose amount the collection covers is cashed with it; no other cheque
     * changes.
     */
    [[nodiscard]] Result collect(int installmentId, double amount);

    /**
     * Cashes a pending cheque of an installment (`cheque` carries its `id`, `cheque_number`,
     * `amount` and `installment_id`): collects the installment's open amount, up to the
     * cheque's amount, through the cheque. Refused when the installment is already settled.
     */
    [[nodiscard]] Result cashCheque(const QVariantMap& cheque);

    /**
     * A cashed cheque bounced: what its collections brought in is taken back by a payment row of
     * the opposite amount dated today, the installment reopens by as much and the buyer owes it
     * again. A cheque that collected nothing takes nothing back.
     */
    [[nodiscard]] Result takeBack(const QVariantMap& cheque);

private:
    struct Installment;

    bool readInstallment(int id, Installment* installment) const;
    Result collectThrough(const Installment& installment, qint64 cents, const QVariantMap& cheque);
    bool setPaid(const Installment& installment, qint64 paidCents);
    bool moveBuyerBalance(int buyerId, qint64 cents);
    bool writeAudit(const QString& action, int installmentId, const QString& details);

    Database* m_db;
};
