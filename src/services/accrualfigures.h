#pragma once

#include <QVariantMap>

class Database;
class ReportDateRange;

/**
 * The office's figures on the basis the books keep, worked out from the operational tables alone:
 * revenue when it is invoiced or sold (less what voids took back), expenses when incurred, and what
 * is owed, held and received as it stands. Amounts in another currency are converted to the primary
 * currency at the rate in force on the day each was booked, rounded to the cent row by row as the
 * books post them, so the two agree to the cent (the books add the exchange differences of money
 * received at another rate, which no operational table holds).
 */
class AccrualFigures
{
public:
    explicit AccrualFigures(Database* db);

    /**
     * Revenue and expenses of the range (`rental_revenue`, `sales_revenue`, `revenue`,
     * `maintenance_expenses`, `operating_expenses`, `expenses`, `net_profit`), the positions of
     * today (`tenant_receivables`, `buyer_receivables`, `receivables`, `cash`, `bank`,
     * `payables`) and `unconverted`, the number of rows left out for want of an exchange rate.
     */
    QVariantMap summary(const ReportDateRange& range);

private:
    /** Sum in hundredths of the primary currency of (cents, currency, day) rows, and the rows left out. */
    QPair<qint64, qint64> converted(const QString& rowsSql, const QVariantList& params);

    Database* m_db;
};
