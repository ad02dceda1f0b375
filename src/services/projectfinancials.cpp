#include "projectfinancials.h"

#include "database.h"
#include "reportdaterange.h"

using namespace Qt::StringLiterals;

namespace {

double number(const QVariantMap& row, const QString& key)
{
    return row.value(key).toDouble();
}

} // namespace

ProjectFinancials::ProjectFinancials(Database* db)
    : m_db(db)
{ }

QVariantMap ProjectFinancials::detailedFinancials(int propertyId) const
{
    // A sold unit's value is its agreed price, or its list price when none was recorded. A sale
    // flags its down payment's row, whatever the notes on it say.
    static const QString sql = uR"(SELECT
        (SELECT COALESCE(SUM(CASE WHEN sale_price_actual > 0 THEN sale_price_actual ELSE sale_price END), 0)
            FROM units WHERE property_id = ? AND status = 'sold') AS sold_value,
        (SELECT COALESCE(SUM(i.paid_amount), 0)
            FROM installments i JOIN units u ON i.unit_id = u.id WHERE u.property_id = ?) AS installments_collected,
        (SELECT COALESCE(SUM(amount), 0) FROM payments
            WHERE is_down_payment = 1 AND unit_id IN (SELECT id FROM units WHERE property_id = ?))
            AS down_payments,
        (SELECT COALESCE(SUM(amount), 0) FROM expenses WHERE property_id = ?) AS expenses,
        (SELECT COALESCE(SUM(sale_price), 0) FROM units WHERE property_id = ? AND status = 'available') AS unsold_value,
        (SELECT COUNT(*) FROM units WHERE property_id = ?) AS total_units,
        (SELECT COUNT(*) FROM units WHERE property_id = ? AND status = 'sold') AS sold_units,
        (SELECT COALESCE(SUM(e.amount), 0)
            FROM expenses e JOIN units u ON e.unit_id = u.id
            WHERE u.property_id = ? AND u.status = 'sold') AS sold_direct_cost)"_s;
    const QVariantList rows = m_db->execQuery(sql, QVariantList(8, propertyId));
    const QVariantMap row = rows.value(0).toMap();

    const double sold = number(row, u"sold_value"_s);
    const double installments = number(row, u"installments_collected"_s);
    const double downPayments = number(row, u"down_payments"_s);
    const double expenses = number(row, u"expenses"_s);
    const double unsold = number(row, u"unsold_value"_s);

    QVariantMap result {
        { u"total_sales_value"_s, sold },
        { u"total_revenue"_s, sold },
        { u"total_collected"_s, installments + downPayments },
        { u"total_expenses"_s, row.value(u"expenses"_s, 0) },
        { u"unsold_value"_s, unsold },
        { u"expected_profit"_s, unsold + sold - expenses },
        { u"net_cash_flow"_s, installments + downPayments - expenses },
        { u"realized_profit"_s, sold - expenses },
        { u"cash_sales"_s, downPayments },
        { u"installment_collections"_s, installments },
    };
    if (!rows.isEmpty()) {
        result.insert(u"total_units"_s, row.value(u"total_units"_s));
        result.insert(u"sold_units"_s, row.value(u"sold_units"_s));
        result.insert(u"sold_direct_cost"_s, row.value(u"sold_direct_cost"_s));
    }
    return result;
}

/*
 * Costs of a set of units, given by a CTE `target(id)`. Overheads (project expenses not booked to
 * a unit) are spread by floor area; a unit with no area or a smaller one counts as one area unit.
 * Where no unit of the project has any area the overheads are split evenly, so the project's
 * overheads are never charged to every unit in full.
 */
QHash<qint64, ProjectFinancials::UnitCost> ProjectFinancials::unitCosts(
    const QString& targetSql, const QVariantList& params) const
{
    static const QString body = uR"(,
        direct AS (SELECT unit_id, SUM(amount) AS x FROM expenses
                   WHERE unit_id IN (SELECT id FROM target) GROUP BY unit_id),
        projects AS (SELECT property_id, COALESCE(SUM(area), 0) AS area_total, COUNT(*) AS unit_count
                     FROM units
                     WHERE property_id IN (SELECT property_id FROM units WHERE id IN (SELECT id FROM target))
                     GROUP BY property_id),
        overheads AS (SELECT property_id, SUM(amount) AS o FROM expenses
                      WHERE unit_id IS NULL AND property_id IN (SELECT property_id FROM projects)
                      GROUP BY property_id)
        SELECT u.id, u.area,
               CASE WHEN u.sale_price_actual > 0 THEN u.sale_price_actual ELSE u.sale_price END AS price,
               COALESCE(direct.x, 0) AS direct, COALESCE(overheads.o, 0) AS overheads,
               projects.area_total, projects.unit_count
        FROM units u
        JOIN projects ON projects.property_id = u.property_id
        LEFT JOIN direct ON direct.unit_id = u.id
        LEFT JOIN overheads ON overheads.property_id = u.property_id
        WHERE u.id IN (SELECT id FROM target))"_s;

    QHash<qint64, UnitCost> costs;
    for (const QVariant& value : m_db->execQuery(targetSql + body, params)) {
        const QVariantMap row = value.toMap();
        const double areaTotal = number(row, u"area_total"_s);
        const double share = areaTotal >= 1 ? qMax(number(row, u"area"_s), 1.0) / areaTotal
                                            : 1.0 / qMax(row.value(u"unit_count"_s).toLongLong(), 1LL);
        UnitCost cost;
        cost.salePrice = number(row, u"price"_s);
        cost.directExpenses = number(row, u"direct"_s);
        cost.allocatedExpenses = share * number(row, u"overheads"_s);
        costs.insert(row.value(u"id"_s).toLongLong(), cost);
    }
    return costs;
}

QVariantMap ProjectFinancials::unitProfitability(int unitId) const
{
    const QHash<qint64, UnitCost> costs = unitCosts(u"WITH target(id) AS (SELECT ?)"_s, { unitId });
    const auto found = costs.constFind(unitId);
    if (found == costs.constEnd())
        return {};
    const UnitCost& cost = found.value();
    return {
        { u"sale_price"_s, cost.salePrice },
        { u"direct_expenses"_s, cost.directExpenses },
        { u"allocated_expenses"_s, cost.allocatedExpenses },
        { u"total_cost"_s, cost.totalCost() },
        { u"profit"_s, cost.salePrice - cost.totalCost() },
    };
}

/*
 * A floor earns the value of its sold units only and bears their direct expenses, sold or not.
 * Every floor of the project is computed in one statement.
 */
QHash<qint64, ProjectFinancials::NodeFigures> ProjectFinancials::floorFigures(int propertyId) const
{
    static const QString sql = uR"(WITH
        link AS (SELECT DISTINCT parent_id, unit_id FROM cost_centers
                 WHERE unit_id IS NOT NULL
                   AND parent_id IN (SELECT id FROM cost_centers WHERE property_id = ? AND type = 'floor')),
        direct AS (SELECT unit_id, SUM(amount) AS x FROM expenses
                   WHERE unit_id IN (SELECT unit_id FROM link) GROUP BY unit_id)
        SELECT link.parent_id AS floor_id,
               COALESCE(SUM(CASE WHEN u.status = 'sold'
                                 THEN CASE WHEN u.sale_price_actual > 0 THEN u.sale_price_actual ELSE u.sale_price END
                                 ELSE 0 END), 0) AS revenue,
               COALESCE(SUM(direct.x), 0) AS expenses
        FROM link
        JOIN units u ON u.id = link.unit_id
        LEFT JOIN direct ON direct.unit_id = link.unit_id
        GROUP BY link.parent_id)"_s;
    QHash<qint64, NodeFigures> floors;
    for (const QVariant& value : m_db->execQuery(sql, { propertyId })) {
        const QVariantMap row = value.toMap();
        floors.insert(
            row.value(u"floor_id"_s).toLongLong(), { number(row, u"revenue"_s), number(row, u"expenses"_s) });
    }
    return floors;
}

QVariantList ProjectFinancials::costCenters(int propertyId) const
{
    static const QString sql = uR"(SELECT cc.*, p.name AS property_name, u.unit_number, u.floor
        FROM cost_centers cc
        LEFT JOIN properties p ON cc.property_id = p.id
        LEFT JOIN units u ON cc.unit_id = u.id
        WHERE cc.property_id = ?
        ORDER BY CASE cc.type WHEN 'project' THEN 0 WHEN 'floor' THEN 1 ELSE 2 END, cc.parent_id, cc.id)"_s;
    QVariantList nodes = m_db->execQuery(sql, { propertyId });
    if (nodes.isEmpty())
        return {};

    // Figures for every kind of node are read in bulk up front: one statement per kind, however
    // many floors and units the tree holds.
    const QVariantMap project = detailedFinancials(propertyId);
    const NodeFigures projectFigures { number(project, u"total_sales_value"_s),
        number(project, u"total_expenses"_s) };
    const QHash<qint64, NodeFigures> floors = floorFigures(propertyId);
    const QHash<qint64, UnitCost> units = unitCosts(
        u"WITH target(id) AS (SELECT unit_id FROM cost_centers WHERE property_id = ? AND unit_id IS NOT NULL)"_s,
        { propertyId });

    for (QVariant& value : nodes) {
        QVariantMap node = value.toMap();
        const QString type = node.value(u"type"_s).toString();
        NodeFigures figures;
        if (type == u"project"_s) {
            figures = projectFigures;
        } else if (type == u"floor"_s) {
            figures = floors.value(node.value(u"id"_s).toLongLong());
        } else {
            const QVariant unitId = node.value(u"unit_id"_s);
            if (!unitId.isNull()) {
                const UnitCost cost = units.value(unitId.toLongLong());
                figures = { cost.salePrice, cost.totalCost() };
            }
        }
        node.insert(u"revenue"_s, figures.revenue);
        node.insert(u"expenses"_s, figures.expenses);
        node.insert(u"profit"_s, figures.revenue - figures.expenses);
        value = node;
    }
    return nodes;
}

QVariantMap ProjectFinancials::propertyProfitability(int propertyId, const ReportDateRange& range) const
{
    static const QString rentSql = uR"(SELECT COALESCE(SUM(p.amount), 0) AS t
        FROM payments p
        JOIN invoices i ON p.invoice_id = i.id
        JOIN units u ON i.unit_id = u.id
        WHERE u.property_id = ?)"_s;
    static const QString rentRange = u" AND p.payment_date >= ? AND p.payment_date < ?"_s;
    static const QString expensesSql
        = u"SELECT COALESCE(SUM(amount), 0) AS t FROM expenses WHERE property_id = ?"_s;
    static const QString expensesRange = u" AND expense_date >= ? AND expense_date < ?"_s;
    // Installment collections count whatever the range: an installment's paid amount has no date.
    static const QString installmentsSql = uR"(SELECT COALESCE(SUM(inst.paid_amount), 0) AS t
        FROM installments inst JOIN units u ON inst.unit_id = u.id
        WHERE u.property_id = ?)"_s;

    double rent = 0;
    double expenses = 0;
    if (range.isGiven()) {
        const QVariantList params { propertyId, range.first(), range.endExclusive() };
        rent = m_db->scalar(rentSql + rentRange, params).toDouble();
        expenses = m_db->scalar(expensesSql + expensesRange, params).toDouble();
    } else {
        rent = m_db->scalar(rentSql, { propertyId }).toDouble();
        expenses = m_db->scalar(expensesSql, { propertyId }).toDouble();
    }
    const double installments = m_db->scalar(installmentsSql, { propertyId }).toDouble();

    const double income = rent + installments;
    const double profit = income - expenses;
    return {
        { u"income"_s, income },
        { u"expenses"_s, expenses },
        { u"profit"_s, profit },
        { u"margin"_s, income > 0 ? profit / income * 100 : 0.0 },
    };
}
