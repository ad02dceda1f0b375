#pragma once

#include "refusable.h"

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
    /** Active contracts ending on or before today + days (already ended ones too), soonest first. */
    Q_INVOKABLE QVariantList getExpiring(int days);
    /** True when another active contract on the unit shares at least one day with start..end. */
    Q_INVOKABLE bool hasOverlap(int unitId, const QString& start, const QString& end, int excludeId = -1);

signals:
    void dataChanged();

private:
    [[nodiscard]] std::optional<bool> overlaps(
        int unitId, const QString& start, const QString& end, int excludeId) const;

    Database* m_db;
};
