#pragma once

#include <QDate>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * The head figures and short lists of the dashboard. Read-only and stateless: every call asks
 * the database afresh, with "today" taken from Clock and bound as a parameter.
 */
class DashboardController : public QObject
{
    Q_OBJECT
public:
    explicit DashboardController(Database* db, QObject* parent = nullptr);

    /**
     * Keys, in the order they are computed: totalProperties, activeTenants, monthlyRevenue,
     * pendingMaintenance (each as the database returns it, 0 when nothing comes back),
     * revenueGrowth and occupancyRate (doubles, percent), then the units by status, each counted
     * apart: occupiedUnits (rented), availableUnits, outOfServiceUnits ('maintenance'), soldUnits.
     */
    Q_INVOKABLE QVariantMap getStats() const;

    /** Latest payments, newest first; a payment without an invoice has no tenant, unit or property. */
    Q_INVOKABLE QVariantList getRecentPayments(int limit = 5) const;
    Q_INVOKABLE QVariantList getRecentMaintenance(int limit = 3) const;

    /** Active contracts ending within `days` days from today, those already past included. */
    Q_INVOKABLE QVariantList getExpiringContracts(int days = 30) const;

    /**
     * Percent of the units in service that are rented; sold and available units count as not
     * occupied, units out of service ('maintenance') are left out of the count.
     */
    Q_INVOKABLE double getOccupancyRate() const;

    /** Percent paid of the live invoices of last month's and this month's periods. */
    Q_INVOKABLE double getCollectionRate() const;

    /** Sum of the payments dated from the first of this month on. */
    Q_INVOKABLE double getMonthlyRevenue() const;

    /**
     * One map per calendar month, oldest first, ending with the current month: `label` (Arabic
     * month name), `period` ("yyyy-MM") and `value` (sum of the payments dated in that month, 0
     * for a month without any). Empty for `months` outside 1..120.
     */
    Q_INVOKABLE QVariantList getMonthlyCollections(int months = 6) const;

    /** Arabic name of a month 1..12, empty text otherwise. */
    static QString arabicMonthName(int month);

private:
    [[nodiscard]] QVariant firstValue(const QString& sql, const QVariantList& params = {}) const;
    /** Sum of the payments dated on or after `from`, as the database returns it. */
    [[nodiscard]] QVariant paymentsFrom(const QDate& from) const;
    [[nodiscard]] double paymentsBetween(const QDate& from, const QDate& before) const;
    /** total, occupied, available, out_of_service and sold units. */
    [[nodiscard]] QVariantMap unitCounts() const;
    static double occupancyOf(const QVariantMap& counts);

    Database* m_db;
};
