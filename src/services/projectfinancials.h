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
