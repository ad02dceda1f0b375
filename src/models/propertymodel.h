#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * Properties (buildings and projects). Each property added here gets its 'project' cost centre,
 * the root of the tree that UnitModel grows with floors and units.
 */
class PropertyModel : public Refusable
{
    Q_OBJECT
public:
    explicit PropertyModel(Database* db, QObject* parent = nullptr);

    /**
     * Every property, newest first, with total_units, rented_units, sold_units, maintenance_units
     * (out of service) and monthly_revenue.
     */
    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    /**
     * Writes the property and its project cost centre together; -1 and nothing written when the
     * name is blank or either insert fails.
     */
    Q_INVOKABLE int add(const QString& name, const QString& type, const QString& address, const QString& city,
        const QString& description);
    /** Renames the project cost centre along with the property. False for an unknown id. */
    Q_INVOKABLE bool update(int id, const QString& name, const QString& type, const QString& address,
        const QString& city, const QString& description);
    /**
     * Deletes a property nobody refers to, together with its units and every cost centre of its
     * tree. Refused (false, nothing changed) while a unit is rented or sold or while the property
     * or any of its units has history (contracts, invoices, payments, installments, expenses,
     * maintenance, meter readings).
     */
    Q_INVOKABLE bool remove(int id);
    /** total_units, rented, available, sold, maintenance (out of service), total_income, total_expenses. */
    Q_INVOKABLE QVariantMap getStats(int id);
    Q_INVOKABLE QVariantList search(const QString& query);
    /**
     * One page of properties for the properties page, newest first, with the keys of getAll().
     * `search` (when not blank) keeps the properties whose name, city or address contains it.
     * Empty for a limit below 1; a negative offset counts as 0.
     */
    Q_INVOKABLE QVariantList getPage(int offset, int limit, const QString& search = QString());

signals:
    void dataChanged();

private:
    [[nodiscard]] bool exists(int id) const;

    Database* m_db;
};
