#include "dashboardcontroller.h"

#include "clock.h"
#include "contractmodel.h"
#include "database.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDashboard, "darvelinto.dashboard")

namespace {

// Every page asks for a handful of rows; a wider request is a mistake, not a wish for the whole
// history (SQLite reads a negative LIMIT as "no limit").
bool isUsableLimit(int limit, const char* method)
{
    if (limit >= 1)
        return true;
    qCWarning(lcDashboard) << method << "refused a limit of" << limit;
    return false;
}

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString periodText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM"));
}

QDate firstOfMonth(const QDate& date)
{
    return QDate(date.year(), date.month(), 1);
}

double percentOf(double part, double whole)
{
    return whole > 0 ? part / whole * 100.0 : 0.0;
}

} // namespace

DashboardController::DashboardController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

QVariant DashboardController::firstValue(const QString& sql, const QVariantList& params) const
{
    const QVariant value = m_db->scalar(sql, params);
    return value.isValid() ? value : QVariant(0);
}

QVariant DashboardController::paymentsFrom(const QDate& from) const
{
    static const QString sql
        = QStringLiteral(R"(SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE payment_date >= ?)");
    return firstValue(sql, { dateText(from) });
}

double DashboardController::paymentsBetween(const QDate& from, const QDate& before) const
{
    static const QString sql = QStringLiteral(
        R"(SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE payment_date >= ? AND payment_date < ?)");
    return firstValue(sql, { dateText(from), dateText(before) }).toDouble();
}

QVariantMap DashboardController::getStats() const
{
    const QDate monthStart = firstOfMonth(Clock::today());
    QVariantMap stats;
    stats.insert(QStringLiteral("totalProperties"),
        firstValue(QStringLiteral("SELECT COUNT(*) as c FROM properties")));
    stats.insert(QStringLiteral("activeTenants"),
        firstValue(QStringLiteral(
            R"(SELECT COUNT(*) as c FROM tenants t JOIN contracts c ON t.id=c.tenant_id WHERE c.status='active')")));

    const QVariant thisMonth = paymentsFrom(monthStart);
    stats.insert(QStringLiteral("monthlyRevenue"), thisMonth);

    stats.insert(QStringLiteral("pendingMaintenance"),
        firstValue(QStringLiteral(
            R"(SELECT COUNT(*) as c FROM maintenance_requests WHERE status IN ('new','in_progress'))")));

    const double lastMonth = paymentsBetween(monthStart.addMonths(-1), monthStart);
    const double growth = lastMonth > 0 ? (thisMonth.toDouble() - lastMonth) / lastMonth * 100.0 : 0.0;
    stats.insert(QStringLiteral("revenueGrowth"), growth);
    // Money held for tenants is theirs: counted apart, never with the month's takings.
    stats.insert(QStringLiteral("depositsHeld"), firstValue(QStringLiteral(R"(
            SELECT COALESCE(SUM(CASE WHEN kind IN ('received', 'carried_in') THEN 1 ELSE -1 END
                                * ROUND(amount * 100)), 0) / 100.0 FROM deposit_movements)")));
    const QVariantMap units = unitCounts();
    stats.insert(QStringLiteral("occupancyRate"), occupancyOf(units));
    stats.insert(QStringLiteral("occupiedUnits"), units.value(QStringLiteral("occupied"), 0).toLongLong());
    stats.insert(QStringLiteral("availableUnits"), units.value(QStringLiteral("available"), 0).toLongLong());
    stats.insert(
        QStringLiteral("outOfServiceUnits"), units.value(QStringLiteral("out_of_service"), 0).toLongLong());
    stats.insert(QStringLiteral("soldUnits"), units.value(QStringLiteral("sold"), 0).toLongLong());
    return stats;
}

QVariantList DashboardController::getRecentPayments(int limit) const
{
    if (!isUsableLimit(limit, "getRecentPayments"))
        return {};
    // The unit and property come through the invoice, so a sale's down payment or an installment
    // collection shows no tenant, unit or property. The id breaks ties within a day so the
    // newest entry leads; the date index already holds the rowid, so no sort is needed.
    static const QString sql = QStringLiteral(R"(
        SELECT p.*, t.full_name as tenant_name, u.unit_number, pr.name as property_name
        FROM payments p
        LEFT JOIN tenants t ON p.tenant_id=t.id
        LEFT JOIN invoices i ON p.invoice_id=i.id
        LEFT JOIN units u ON i.unit_id=u.id
        LEFT JOIN properties pr ON u.property_id=pr.id
        ORDER BY p.payment_date DESC, p.id DESC
        LIMIT ?)");
    return m_db->execQuery(sql, { limit });
}

QVariantList DashboardController::getRecentMaintenance(int limit) const
{
    if (!isUsableLimit(limit, "getRecentMaintenance"))
        return {};
    // created_at has no index: the newest few are picked by id and date alone, so the sort
    // carries two columns instead of every request's whole row and its joins.
    static const QString sql = QStringLiteral(R"(
        SELECT m.*, u.unit_number, p.name as property_name
        FROM maintenance_requests m
        JOIN units u ON m.unit_id=u.id
        JOIN properties p ON u.property_id=p.id
        WHERE m.id IN (SELECT id FROM maintenance_requests ORDER BY created_at DESC, id DESC LIMIT ?)
        ORDER BY m.created_at DESC, m.id DESC)");
    return m_db->execQuery(sql, { limit });
}

QVariantList DashboardController::getExpiringContracts(int days) const
{
    return ContractModel(m_db).getExpiring(days);
}

QVariantMap DashboardController::unitCounts() const
{
    static const QString sql = QStringLiteral(R"(
        SELECT COUNT(*) as total,
               COALESCE(SUM(CASE WHEN status='rented' THEN 1 ELSE 0 END), 0) as occupied,
               COALESCE(SUM(CASE WHEN status='available' THEN 1 ELSE 0 END), 0) as available,
               COALESCE(SUM(CASE WHEN status='maintenance' THEN 1 ELSE 0 END), 0) as out_of_service,
               COALESCE(SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END), 0) as sold
        FROM units)");
    return m_db->execQuery(sql).value(0).toMap();
}

double DashboardController::occupancyOf(const QVariantMap& counts)
{
    // A unit out of service can be let by nobody: the rate is of the units in service.
    const qint64 inService = counts.value(QStringLiteral("total")).toLongLong()
        - counts.value(QStringLiteral("out_of_service")).toLongLong();
    return percentOf(counts.value(QStringLiteral("occupied")).toLongLong(), inService);
}

double DashboardController::getOccupancyRate() const
{
    return occupancyOf(unitCounts());
}

double DashboardController::getCollectionRate() const
{
    // Invoices carry their period as "yyyy-MM", so the window is the two period texts themselves.
    // Periods are indexed only behind the tenant, so the rows are reached tenant by tenant
    // through that index instead of scanning every invoice ever written. The enforced foreign
    // key means every invoice either has its tenant row or none at all; the latter are read
    // through the same index under NULL.
    static const QString sql = QStringLiteral(R"(
        SELECT COALESCE(SUM(total_amount),0) as total, COALESCE(SUM(paid_amount),0) as paid FROM (
            SELECT i.total_amount, i.paid_amount, i.status
            FROM tenants t CROSS JOIN invoices i ON i.tenant_id=t.id AND i.period IN (?, ?)
            UNION ALL
            SELECT total_amount, paid_amount, status
            FROM invoices WHERE tenant_id IS NULL AND period IN (?, ?)
        ) AS month_invoices WHERE status IS NOT 'void')");
    const QDate monthStart = firstOfMonth(Clock::today());
    const QString current = periodText(monthStart);
    const QString previous = periodText(monthStart.addMonths(-1));
    const QVariantList rows = m_db->execQuery(sql, { previous, current, previous, current });
    if (rows.isEmpty())
        return 0.0;
    const QVariantMap row = rows.first().toMap();
    return percentOf(
        row.value(QStringLiteral("paid")).toDouble(), row.value(QStringLiteral("total")).toDouble());
}

double DashboardController::getMonthlyRevenue() const
{
    return paymentsFrom(firstOfMonth(Clock::today())).toDouble();
}

QVariantList DashboardController::getMonthlyCollections(int months) const
{
    if (months < 1 || months > 120) {
        qCWarning(lcDashboard) << "getMonthlyCollections refused" << months << "months";
        return {};
    }
    const QDate currentMonth = firstOfMonth(Clock::today());
    QVariantList result;
    result.reserve(months);
    // One bounded range of the date index per month: grouping the whole window by month text
    // would need a sort of every payment in it, which costs more than these few lookups.
    for (QDate month = currentMonth.addMonths(-(months - 1)); month <= currentMonth;
         month = month.addMonths(1)) {
        result.append(QVariantMap {
            { QStringLiteral("label"), arabicMonthName(month.month()) },
            { QStringLiteral("period"), periodText(month) },
            { QStringLiteral("value"), paymentsBetween(month, month.addMonths(1)) },
        });
    }
    return result;
}

QString DashboardController::arabicMonthName(int month)
{
    static const QStringList names = {
        QStringLiteral("يناير"),
        QStringLiteral("فبراير"),
        QStringLiteral("مارس"),
        QStringLiteral("أبريل"),
        QStringLiteral("مايو"),
        QStringLiteral("يونيو"),
        QStringLiteral("يوليو"),
        QStringLiteral("أغسطس"),
        QStringLiteral("سبتمبر"),
        QStringLiteral("أكتوبر"),
        QStringLiteral("نوفمبر"),
        QStringLiteral("ديسمبر"),
    };
    return month >= 1 && month <= 12 ? names.at(month - 1) : QString();
}
