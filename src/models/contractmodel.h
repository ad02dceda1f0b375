#pragma once

#include "refusable.h"

#include <QDate>
#include <QPair>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

class Database;

/**
 * Rental contracts: one tenant, one unit, a date range and a rent per period ("monthly" or
 * "yearly"). A contract and its unit's status change together.
 */
class ContractModel : public Refusable
{
    Q_OBJECT
public:
    explicit ContractModel(Database* db, QObject* parent = nullptr);

    /** Newest first, with tenant_name, unit_number, property_name, currency_symbol. */
    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    /** The contracts of one tenant, newest first, with the keys of getAll(). */
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    /**
     * Writes an active contract and marks the unit 'rented', together. Returns -1 with nothing
     * written when a date is not a valid "yyyy-MM-dd", the end is before the start, the rent is
     * not at least a cent, the deposit is negative, either is not a number or above 1e13 (an empty
     * deposit counts 0), the unit is missing or
     * sold, or another active contract on the unit overlaps the dates (both ends inclusive).
     * Any frequency other than exactly "yearly" is stored as "monthly"; amounts are stored in
     * whole hundredths.
     */
    Q_INVOKABLE int add(int unitId, int tenantId, const QString& start, const QString& end, double rent,
        const QString& freq, double deposit, int currId);
    /**
     * Ends an active contract and frees its unit, together. The unit becomes 'available' only
     * while it is 'rented' and no other active contract holds it. False for an unknown contract
     * or one already terminated.
     */
    Q_INVOKABLE bool terminate(int id);
    /**
     * Active contracts not yet renewed ending on or before today + days (already ended ones too),
     * soonest first.
     */
    Q_INVOKABLE QVariantList getExpiring(int days);
    /**
     * The contracts due for renewal in the next `days` days (as getExpiring), each with
     * `proposed_rent`: its rent after the office's default increase ("renewal_increase_percent").
     */
    Q_INVOKABLE QVariantList getDueForRenewal(int days);
    /** The office's default rent increase on renewal, in percent (0 when none is set). */
    Q_INVOKABLE double defaultIncrease() const;
    Q_INVOKABLE bool setDefaultIncrease(double percent);
    /**
     * What renewing a contract would make: `start` (the day after it ends), `end` (as long a term
     * again), `rent`, `proposed_rent` (after the default increase), `increase_percent`,
     * `deposit`, `held`, `currency_symbol`. Empty for an unknown contract.
     */
    Q_INVOKABLE QVariantMap renewalTerms(int id);
    /**
     * Renews an active contract: a new active contract on the same unit and tenant from the day
     * after this one ends to `end`, at the rent raised by `value` percent (`rentMode` "percent") or
     * set to `value` ("amount"), with the deposit this one holds carried over and `topUp` more
     * received now by `method` (with its receipt); the old contract runs to its end. All or
     * nothing. Refused (-1) for a contract unknown, ended, settled or already renewed, an end
     * before the new start, a rent not at least a cent or a negative top-up.
     */
    Q_INVOKABLE int renew(int id, const QString& end, const QString& rentMode, double value, double topUp = 0,
        const QString& method = QStringLiteral("cash"));

    /**
     * The next term after start..end: from the day after `end`, as many whole months as the term
     * ran when it ran whole months (a month end stays a month end), otherwise as many days.
     */
    static QPair<QDate, QDate> nextTerm(const QDate& start, const QDate& end);
    /**
     * Marks a contract terminated and frees its unit (when it is let and no other active contract
     * holds it), inside the caller's transaction.
     */
    [[nodiscard]] static bool writeTermination(Database* db, const QVariant& id, const QVariant& unitId);
    /** True when another active contract on the unit shares at least one day with start..end. */
    Q_INVOKABLE bool hasOverlap(int unitId, const QString& start, const QString& end, int excludeId = -1);

signals:
    void dataChanged();

private:
    /** Checks the unit, the tenant and the dates' overlap, writes the contract and lets the unit. */
    int writeContract(int unitId, int tenantId, const QString& start, const QString& end, double rent,
        const QString& freq, double deposit, int currId);
    [[nodiscard]] std::optional<bool> overlaps(
        int unitId, const QString& start, const QString& end, int excludeId) const;

    Database* m_db;
};
