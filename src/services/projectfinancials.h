#pragma once

#include <QHash>
#include <QVariantList>
#include <QVariantMap>

class Database;
class ReportDateRange;

/**
 * What a project (a property whose units are sold) has earned, collected and spent, what each unit
 * costs with its share of the project's overheads, and the same figures for every node of the
 * project's cost-centre tree. Sale values, collections and expenses are read from the operational
 * tables; amounts of different currencies are added as they are.
 */
class ProjectFinancials
{
public:
    explicit ProjectFinancials(Database* db);

    QVariantMap detailedFinancials(int propertyId) const;
    /** Empty map when the unit does not exist. */
    QVariantMap unitProfitability(int unitId) const;
    QVariantList costCenters(int propertyId) const;
    QVariantMap propertyProfitability(int propertyId, const ReportDateRange& range) const;

    /**
     * A project's overheads spread over its units by floor area, one share per entry of `areas`
     * (in that order). A unit whose area is unknown (NaN, 0 or less) weighs as much as the average
     * unit whose area is known; where none is known the overheads are split evenly. Shares are
     * whole hundredths that add up to the overheads exactly: the cents left over by rounding down
     * go to the largest remainders, so the units never carry more, nor less, than the project spent.
     */
    static QList<double> allocateOverheads(double overheads, const QList<double>& areas);

private:
    struct UnitCost
    {
        double salePrice = 0;
        double directExpenses = 0;
        double allocatedExpenses = 0;
        double totalCost() const { return directExpenses + allocatedExpenses; }
    };
    struct NodeFigures
    {
        double revenue = 0;
        double expenses = 0;
    };

    QHash<qint64, UnitCost> unitCosts(const QString& targetSql, const QVariantList& params) const;
    QHash<qint64, NodeFigures> floorFigures(int propertyId) const;

    Database* m_db;
};
