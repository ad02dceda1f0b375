#include "projectfinancials.h"

#include "database.h"
#include "money.h"
#include "reportdaterange.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

namespace {

/** Each unit's weight in the split: its area, or the average known area when it has none. */
QList<double> allocationWeights(const QList<double>& areas)
{
    // Areas are scaled by the largest one first, so that even absurd areas add up to a finite sum.
    double largest = 0;
    for (double area : areas) {
        if (std::isfinite(area) && area > 0)
            largest = std::max(largest, area);
    }
    QList<double> weights;
    weights.reserve(areas.size());
    double knownSum = 0;
    int known = 0;
    for (double area : areas) {
        const bool isKnown = largest > 0 && std::isfinite(area) && area > 0;
        weights.append(isKnown ? area / largest : -1);
        if (isKnown) {
            knownSum += area / largest;
            ++known;
        }
    }
    const double standIn = known > 0 ? knownSum / known : 1.0;
    for (double& weight : weights) {
        if (weight < 0)
            weight = standIn;
    }
    return weights;
}

} // namespace

QList<double> ProjectFinancials::allocateOverheads(double overheads, const QList<double>& areas)
{
    if (areas.isEmpty())
        return {};
    const QList<double> weights = allocationWeights(areas);
    const double totalWeight = std::accumulate(weights.cbegin(), weights.cend(), 0.0);
    QList<double> shares;
    shares.reserve(areas.size());
    // Whole cents of up to 1e15 still fit a 64-bit count with room to spare.
    if (!std::isfinite(overheads) || std::abs(overheads) >= 1e15) {
        // Far beyond any office's expenses; kept proportional, unrounded.
        for (double weight : weights)
            shares.append(std::isfinite(overheads) ? overheads * (weight / totalWeight) : 0.0);
        return shares;
    }

    // Largest remainder in whole cents, on the overheads' magnitude: the shares carry its sign.
    const qint64 cents = Money::toCents(overheads);
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QList<qint64> parts;
    QList<double> remainders;
    qint64 given = 0;
    for (double weight : weights) {
        const double exact = double(magnitude) * (weight / totalWeight);
        const auto part = static_cast<qint64>(std::floor(exact));
        parts.append(part);
        remainders.append(exact - double(part));
        given += part;
    }
    QList<int> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(
        order.begin(), order.end(), [&](int a, int b) { return remainders.at(a) > remainders.at(b); });
    // Rounding errors of the division may leave the floors a cent off either way.
    for (int i = 0; given < magnitude; i = (i + 1) % int(order.size()), ++given)
        ++parts[order.at(i)];
    for (int i = int(order.size()) - 1; given > magnitude;
         i = (i + int(order.size()) - 1) % int(order.size())) {
        if (parts.at(order.at(i)) > 0) {
            --parts[order.at(i)];
            --given;
        }
    }
    for (qint64 part : parts)
        shares.append(Money::fromCents(cents < 0 ? -part : part));
    return shares;
}

/*
 * Costs of a set of units, given by a CTE `target(id)`. Overheads (project expenses not booked to
 * a unit) are spread over every unit of the project by allocateOverheads(), so the units of a
 * project read together carry exactly its overheads.
 */
QHash<qint64, ProjectFinancials::UnitCost> ProjectFinancials::unitCosts(
    const QString& targetSql, const QVariantList& params) const
{
    static const QString body = uR"(,
        projects AS (SELECT DISTINCT property_id FROM units WHERE id IN (SELECT id FROM target)),
        direct AS (SELECT unit_id, SUM(amount) AS x FROM expenses
                   WHERE unit_id IN (SELECT id FROM target) GROUP BY unit_id),
        overheads AS (SELECT property_id, SUM(amount) AS o FROM expenses
                      WHERE unit_id IS NULL AND property_id IN (SELECT property_id FROM projects)
                      GROUP BY property_id)
        SELECT u.id, u.property_id, u.area,
               CASE WHEN u.sale_price_actual > 0 THEN u.sale_price_actual ELSE u.sale_price END AS price,
               COALESCE(direct.x, 0) AS direct, COALESCE(overheads.o, 0) AS overheads,
               u.id IN (SELECT id FROM target) AS wanted
        FROM units u
        LEFT JOIN direct ON direct.unit_id = u.id
        LEFT JOIN overheads ON overheads.property_id = u.property_id
        WHERE u.property_id IN (SELECT property_id FROM projects)
        ORDER BY u.property_id, u.id)"_s;

    const QVariantList rows = m_db->execQuery(targetSql + body, params);
    QHash<qint64, UnitCost> costs;
    // Rows come project by project; each project's overheads are split over all of its units.
    for (qsizetype first = 0; first < rows.size();) {
        const QVariant project = rows.at(first).toMap().value(u"property_id"_s);
        qsizetype end = first;
        QList<double> areas;
        while (end < rows.size() && rows.at(end).toMap().value(u"property_id"_s) == project) {
            const QVariant area = rows.at(end).toMap().value(u"area"_s);
            areas.append(area.isNull() ? qQNaN() : area.toDouble());
            ++end;
        }
        const QList<double> shares = allocateOverheads(number(rows.at(first).toMap(), u"overheads"_s), areas);
        for (qsizetype i = first; i < end; ++i) {
            const QVariantMap row = rows.at(i).toMap();
            if (!row.value(u"wanted"_s).toBool())
                continue;
            UnitCost cost;
            cost.salePrice = number(row, u"price"_s);
            cost.directExpenses = number(row, u"direct"_s);
            cost.allocatedExpenses = shares.at(i - first);
            costs.insert(row.value(u"id"_s).toLongLong(), cost);
        }
        first = end;
    }
    return costs;
}

QVariantMap ProjectFinancials::unitProfitability(int unitId) const
{
    const QHash<qint64, UnitCost> costs
        = unitCosts(u"WITH target(id) AS (SELECT CAST(? AS BIGINT))"_s, { unitId });
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
