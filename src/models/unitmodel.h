#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * Units of the properties, each written with its centre in the property's cost-centre tree
 * (CostCenterTree). A unit is 'available', 'rented' (by a contract), 'sold' (by a sale) or
 * 'maintenance' (out of service, set and cleared by hand).
 *
 * Every list and map carries the units columns plus property_name.
 */
class UnitModel : public Refusable
{
    Q_OBJECT
public:
    explicit UnitModel(Database* db, QObject* parent = nullptr);

    Q_INVOKABLE QVariantList getByProperty(int propertyId);
    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    /** Units free for a new contract or a sale. */
    Q_INVOKABLE QVariantList getAvailable();
    /**
     * Writes the unit with its cost centres (the project centre and floor centre are created when
     * missing) in one transaction. Returns the unit id, or -1 with nothing written: blank number,
     * number taken in the property, unknown property, a negative or infinite amount. A NaN amount
     * (an empty field on the page) is stored as not given: 0 for prices, no area.
     */
    Q_INVOKABLE int add(int propertyId, const QString& number, int floor, double area, int rooms,
        double rentMonthly, double rentYearly, double salePrice, int currencyId);
    /**
     * Changes the unit's own figures; its cost centre follows a new number (name) and a new floor
     * (parent). Currency and property stay. False with nothing changed on bad input or unknown id.
     */
    Q_INVOKABLE bool update(int id, const QString& number, int floor, double area, int rooms,
        double rentMonthly, double rentYearly, double salePrice);
    /**
     * Deletes an available unit without history, with its cost centre and, when it was the last
     * unit on it, its floor centre. False with nothing changed when the unit is rented or sold or
     * has history (contracts, invoices, payments, installments, expenses, maintenance, readings).
     * An id that does not exist is already gone: true.
     */
    Q_INVOKABLE bool remove(int id);
    /**
     * Takes an available unit out of service ("maintenance") or puts one back ("available"). A
     * unit out of service is offered for neither a contract nor a sale. False, nothing changed, for
     * any other status (a contract lets a unit, a sale sells it), an unknown unit, or a unit that
     * is let or sold. Setting the status a unit already has changes nothing and is true.
     */
    Q_INVOKABLE bool updateStatus(int id, const QString& status);
    Q_INVOKABLE bool markAsSold(int unitId, int buyerId, double price, const QString& date);

signals:
    void dataChanged();

private:
    [[nodiscard]] bool hasHistory(int unitId, bool* ok) const;

    Database* m_db;
};
