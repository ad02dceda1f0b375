#pragma once

#include "refusable.h"

#include <QVariantList>

class Database;

/**
 * The office's outgoings per property and unit, and the contractors they are charged to. An
 * expense and its contractor's higher balance are written together or not at all.
 */
class ExpenseModel : public Refusable
{
    Q_OBJECT
public:
    explicit ExpenseModel(Database* db, QObject* parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    /**
     * Records an expense; a unit or contractor id of 0 or less means none. Refused (-1, nothing
     * written) without a category, with an amount that is not at least a cent once rounded to
     * hundredths (the form it is kept in) or is above 1e13, a date
     * that is not "yyyy-MM-dd" or an unknown contractor.
     */
    Q_INVOKABLE int add(int propId, int unitId, int contractorId, const QString& cat, const QString& workCat,
        const QString& desc, double amount, const QString& date, int currId);
    Q_INVOKABLE QVariantList getByProperty(int propId);
    /** The sum of all expenses, or of one property's when propId is 0 or more. */
    Q_INVOKABLE double getTotal(int propId = -1);

    Q_INVOKABLE QVariantList getContractors();
    Q_INVOKABLE int addContractor(const QString& name, const QString& phone, const QString& trade);
    Q_INVOKABLE QVariantList getContractorExpenses(int contractorId);

signals:
    void dataChanged();

private:
    Database* m_db;
};
