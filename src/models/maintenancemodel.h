#pragma once

#include "refusable.h"

#include <QVariantList>

class Database;

/**
 * Maintenance requests against units. Completing one books its cost as an expense of the unit's
 * property in the same transaction.
 */
class MaintenanceModel : public Refusable
{
    Q_OBJECT
public:
    explicit MaintenanceModel(Database* db, QObject* parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantList getByStatus(const QString& status);
    /** A property id of 0 or less takes the unit's own property. */
    Q_INVOKABLE int add(
        int unitId, int propertyId, const QString& title, const QString& desc, const QString& priority);
    /**
     * Moves an open request between "new" and "in_progress". False, nothing changed, for any other
     * status, an unknown request or a completed one: only complete() closes a request, once.
     */
    Q_INVOKABLE bool updateStatus(int id, const QString& status);
    /**
     * Marks an existing, not yet completed request completed with its cost and books the cost as
     * an expense. False, nothing written, for an unknown or already completed request or a cost
     * that is not a finite number from 0 to 1e13: a second click never books a second expense. The
     * cost is kept in whole hundredths.
     */
    Q_INVOKABLE bool complete(int id, double cost);
    Q_INVOKABLE int getCount(const QString& status = QString());

signals:
    void dataChanged();

private:
    Database* m_db;
};
