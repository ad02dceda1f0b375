#pragma once

#include <QString>
#include <QVariant>

class Database;

/**
 * The security deposits the office holds for its tenants, one per contract, in the contract's
 * currency: what a contract holds is the deposit received (and carried in from the contract it
 * renews) less what was refunded, kept or carried on. Writes the movements, their receipts and
 * their journal entries.
 *
 * Runs inside the caller's transaction and never commits. A failed call (0 or false) means the
 * caller must roll back; `refusal()` then says why in Arabic when a rule refused.
 */
class DepositBook
{
public:
    explicit DepositBook(Database* db);

    /** What the contract holds now, in hundredths of its currency. */
    [[nodiscard]] qint64 heldCents(int contractId) const;
    /** Whether the contract's deposit was settled (refunded or kept) when the tenant left. */
    [[nodiscard]] bool isSettled(int contractId) const;

    /**
     * Money received toward the contract's deposit, with its receipt. Refused when the contract is
     * unknown or settled, the date is not "yyyy-MM-dd", the amount is not at least a cent or would
     * take what is held past the deposit the contract agreed. Returns the movement's id, or 0.
     */
    [[nodiscard]] int receive(int contractId, qint64 cents, const QString& method, const QString& date,
        const QString& reference, const QString& bank);
    /** Moves all a contract holds to the contract that renews it; true when nothing was held. */
    [[nodiscard]] bool carry(int fromContract, int toContract, const QString& date);

    /** Writes one movement and posts it; the id, or 0. */
    [[nodiscard]] int write(int contractId, const QString& kind, qint64 cents, const QVariant& currencyId,
        const QString& date, const QVariantMap& details);

    [[nodiscard]] QString refusal() const { return m_refusal; }

    /** "yyyy-MM-dd" of a year from 1 on, exactly as written. */
    static bool isDay(const QString& text);

private:
    bool refuse(const QString& reason);

    Database* m_db;
    QString m_refusal;
};
