#pragma once

#include "backgroundreader.h"
#include "businessinsights.h"
#include "projectfinancials.h"

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;
class ReportDateRange;

/**
 * Read-only answers for the report pages: statements of tenants, buyers and contractors, the
 * cheque register, takings by month, the property comparison, overdue installments, a cash-basis
 * profit and loss with a balance summary, project and cost-centre financials and the written
 * insights. Figures come from the operational tables, never from the ledger, and every call runs
 * its SQL afresh.
 *
 * Date ranges: a range applies only when both `from` and `to` are given, covers whole calendar
 * days and is always bound as parameters. A given bound that is not "yyyy-MM-dd" is refused with an
 * empty result rather than compared as text.
 */
class ReportController : public QObject
{
    Q_OBJECT
public:
    explicit ReportController(Database* db, QObject* parent = nullptr);

    /**
     * Invoices (debit, dated by creation), payments (credit) and voids of invoices paid in part
     * (type "إلغاء": credit of what was still open, dated when voided) of a tenant, oldest first; the
     * rows add up to the tenant's stored balance. Void invoices of which nothing was paid are left out.
     */
    Q_INVOKABLE QVariantList getTenantStatement(
        int tid, const QString& from = QString(), const QString& to = QString());
    /** A buyer's installments by due date, each with its `remaining_amount`. */
    Q_INVOKABLE QVariantList getBuyerStatement(
        int bid, const QString& from = QString(), const QString& to = QString());
    /** Expenses charged to a contractor, latest first. */
    Q_INVOKABLE QVariantList getContractorStatement(
        int cid, const QString& from = QString(), const QString& to = QString());
    /** Cheques by due date, optionally of one status and within a due-date range. */
    Q_INVOKABLE QVariantList getChequeReport(
        const QString& status = QString(), const QString& from = QString(), const QString& to = QString());
    /** Takings of a year ("yyyy") per month ("01".."12"); months without payments are absent. */
    Q_INVOKABLE QVariantList getMonthlyReport(const QString& year);
    /** One row per property: unit counts, rent and service income (payments on invoices) and expenses. */
    Q_INVOKABLE QVariantList getPropertyComparison();
    /**
     * The same comparison worked out beside the interface (it walks every payment ever received).
     * Returns the request's number; the rows arrive with propertyComparisonReady under that
     * number, so a page that asked twice keeps only its latest answer.
     */
    Q_INVOKABLE int requestPropertyComparison();
    /** Installments not paid whose due date is before today, earliest first. */
    Q_INVOKABLE QVariantList getOverdueInstallments();
    // Pages of three reports for long lists: at most `limit` rows after skipping `offset`, in the
    // report's own order, narrowed by a search text where one is given.
    /** Units by property name and unit number, with `property_name`; search: property or unit number. */
    Q_INVOKABLE QVariantList getUnitStatusPage(int offset, int limit, const QString& search = QString());
    /** The overdue installments, earliest first; search: buyer, property or unit number. */
    Q_INVOKABLE QVariantList getOverdueInstallmentsPage(
        int offset, int limit, const QString& search = QString());
    /** The cheque report, earliest due first; search: cheque number, payer, payee or bank. */
    Q_INVOKABLE QVariantList getChequeReportPage(const QString& status, const QString& from,
        const QString& to, int offset, int limit, const QString& search = QString());
    /** Cash basis: every payment is revenue, every expense a cost. */
    Q_INVOKABLE QVariantMap getProfitLoss(const QString& from = QString(), const QString& to = QString());
    /** Open invoice balances, cash received and open installment amounts. */
    Q_INVOKABLE QVariantMap getBalanceSheet();
    /**
     * The same business on the basis the ledger keeps (AccrualFigures): revenue invoiced and sold,
     * expenses incurred, and what is owed, held and received, in the primary currency. Refused
     * (empty) for a given bound that is not "yyyy-MM-dd".
     */
    Q_INVOKABLE QVariantMap getAccrualSummary(const QString& from = QString(), const QString& to = QString());

    Q_INVOKABLE QVariantMap getProjectDetailedFinancials(
        int pid, const QString& from = QString(), const QString& to = QString());
    Q_INVOKABLE QVariantMap getUnitProfitability(int uid);
    Q_INVOKABLE QVariantList getProjectCostCenters(int pid);
    Q_INVOKABLE QVariantMap getPropertyProfitability(
        int pid, const QString& from = QString(), const QString& to = QString());

    /** Two to four insight cards (`icon`, `title`, `description`). */
    Q_INVOKABLE QVariantList getAIInsights();
    /** The written analysis: `text` (Markdown), `occupancy` and the unit counts (BusinessInsights::analysis).
     */
    Q_INVOKABLE QVariantMap getSmartAIAnalysis();

signals:
    void propertyComparisonReady(int request, const QVariantList& rows);

private:
    QVariantList rangedStatement(const char* what, const QString& baseSql, const QString& rangeSql,
        const QString& orderSql, const QVariantList& params, const ReportDateRange& range);
    int overdueInstallmentCount();

    Database* m_db;
    ProjectFinancials m_projects;
    BusinessInsights m_insights;
    int m_comparisonRequests = 0;
    // Last, so it goes first and waits for a read still running while the rest is intact.
    BackgroundReader m_reader;
};
