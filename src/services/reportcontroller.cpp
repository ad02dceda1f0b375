#include "reportcontroller.h"

#include "accrualfigures.h"
#include "clock.h"
#include "database.h"
#include "listpaging.h"
#include "reportdaterange.h"

#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcReports, "darvelinto.reports")

using namespace Qt::StringLiterals;

namespace {

// The figure a single-value query gave, or 0 when it gave no row (a failed query included).
QVariant figureOrZero(const QVariant& value)
{
    return value.isValid() ? value : QVariant(0);
}

// A page larger than this is a caller's mistake, not a list anybody reads.
constexpr int kMaxPageSize = 500;

/** LIMIT and OFFSET of one page, kept within sense. */
QVariantList pageBounds(int offset, int limit)
{
    return { qMin(limit, kMaxPageSize), qMax(offset, 0) };
}

// Each table is aggregated once and joined to its property, instead of one sub-select per
// property, which would walk the payments once for every property.
const QString kPropertyComparisonSql = uR"(SELECT p.name, p.id,
        COALESCE(uc.units, 0) AS units, COALESCE(uc.rented, 0) AS rented, COALESCE(uc.sold, 0) AS sold,
        COALESCE(uc.out_of_service, 0) AS out_of_service,
        COALESCE(inc.income, 0) AS income, COALESCE(ex.expenses, 0) AS expenses
    FROM properties p
    LEFT JOIN (SELECT property_id, COUNT(*) AS units,
                      SUM(CASE WHEN status = 'rented' THEN 1 ELSE 0 END) AS rented,
                      SUM(CASE WHEN status = 'sold' THEN 1 ELSE 0 END) AS sold,
                      SUM(CASE WHEN status = 'maintenance' THEN 1 ELSE 0 END) AS out_of_service
               FROM units GROUP BY property_id) uc ON uc.property_id = p.id
    LEFT JOIN (SELECT u.property_id, SUM(pay.amount) AS income
               FROM payments pay
               JOIN invoices i ON pay.invoice_id = i.id
               JOIN units u ON i.unit_id = u.id
               GROUP BY u.property_id) inc ON inc.property_id = p.id
    LEFT JOIN (SELECT property_id, SUM(amount) AS expenses
               FROM expenses GROUP BY property_id) ex ON ex.property_id = p.id
    ORDER BY income DESC, p.id)"_s;

// What the cheque report shows and prints of a cheque: who drew it, on which bank, when, how much
// and where it stands. Its links, notes and record times stay with the register.
const QString kChequeReportColumns = uR"(SELECT c.id, c.cheque_number, c.type, c.amount, c.bank_name,
        c.due_date, c.payer_name, c.payee_name, c.status, c.currency_id, cur.symbol AS currency_symbol
        FROM cheques c LEFT JOIN currencies cur ON c.currency_id = cur.id)"_s;

// Installments not paid whose due date (bound: today) has passed, with their buyer, unit and property.
const QString kOverdueColumns
    = u"SELECT i.*, b.full_name AS buyer_name, u.unit_number, p.name AS property_name"_s;
const QString kOverdueFrom = uR"(
        FROM installments i
        JOIN buyers b ON i.buyer_id = b.id
        JOIN units u ON i.unit_id = u.id
        JOIN properties p ON u.property_id = p.id
        WHERE i.status != 'paid' AND i.due_date < ?)"_s;

} // namespace

ReportController::ReportController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_projects(db)
    , m_insights(db)
    , m_reader(db)
{ }

QVariantList ReportController::rangedStatement(const char* what, const QString& baseSql,
    const QString& rangeSql, const QString& orderSql, const QVariantList& params,
    const ReportDateRange& range)
{
    if (!range.isValid()) {
        qCWarning(lcReports) << "refused" << what << "with a range that is not yyyy-MM-dd";
        return {};
    }
    if (!range.isGiven())
        return m_db->execQuery(baseSql + orderSql, params);
    return m_db->execQuery(
        baseSql + rangeSql + orderSql, params + QVariantList { range.first(), range.endExclusive() });
}

QVariantList ReportController::getTenantStatement(int tid, const QString& from, const QString& to)
{
    // An invoice is dated by its creation time stamp, a payment by its day; the range keeps whole
    // days, so an invoice written late on the last day is in. Within a day the charges come before
    // the payments, as on any account statement, even though a bare day sorts before a time stamp.
    // A void invoice that was paid in part stays at its total, and its void follows on the day it
    // was made as a credit of what was still open on it: its payments stay too, and the rows add up
    // to the tenant's stored balance. A void invoice of which nothing was paid changed nothing and
    // is left out.
    static const QString base = uR"(SELECT type, date, ref, debit, credit FROM (
            SELECT 'فاتورة' AS type, i.created_at AS date, i.invoice_number AS ref, i.total_amount AS debit,
                   0 AS credit, 0 AS kind, i.id AS seq
            FROM invoices i WHERE i.tenant_id = ? AND (i.status != 'void' OR i.paid_amount > 0)
            UNION ALL
            SELECT 'دفعة' AS type, p.payment_date AS date, p.reference AS ref, 0 AS debit,
                   p.amount AS credit, 1 AS kind, p.id AS seq
            FROM payments p WHERE p.tenant_id = ?
            UNION ALL
            SELECT 'إلغاء' AS type, COALESCE(i.voided_at, i.created_at) AS date, i.invoice_number AS ref,
                   0 AS debit, (ROUND(i.total_amount * 100) - ROUND(i.paid_amount * 100)) / 100.0 AS credit,
                   2 AS kind, i.id AS seq
            FROM invoices i
            WHERE i.tenant_id = ? AND i.status = 'void' AND i.paid_amount > 0 AND i.total_amount > i.paid_amount
        ) AS statement WHERE 1 = 1)"_s;
    static const QString range = u" AND date >= ? AND date < ?"_s;
    static const QString order = u" ORDER BY substr(date, 1, 10), kind, date, seq"_s;
    return rangedStatement(
        "the tenant statement", base, range, order, { tid, tid, tid }, ReportDateRange(from, to));
}

QVariantList ReportController::getBuyerStatement(int bid, const QString& from, const QString& to)
{
    static const QString base = uR"(SELECT i.*, u.unit_number, p.name AS property_name,
            CAST(COALESCE(i.installment_amount, 0) - COALESCE(i.paid_amount, 0) AS REAL) AS remaining_amount
        FROM installments i
        JOIN units u ON i.unit_id = u.id
        JOIN properties p ON u.property_id = p.id
        WHERE i.buyer_id = ?)"_s;
    static const QString range = u" AND i.due_date >= ? AND i.due_date < ?"_s;
    static const QString order = u" ORDER BY i.due_date, i.id"_s;
    return rangedStatement("the buyer statement", base, range, order, { bid }, ReportDateRange(from, to));
}

QVariantList ReportController::getContractorStatement(int cid, const QString& from, const QString& to)
{
    static const QString base = uR"(SELECT e.*, p.name AS property_name, u.unit_number
        FROM expenses e
        LEFT JOIN properties p ON e.property_id = p.id
        LEFT JOIN units u ON e.unit_id = u.id
        WHERE e.contractor_id = ?)"_s;
    static const QString range = u" AND e.expense_date >= ? AND e.expense_date < ?"_s;
    static const QString order = u" ORDER BY e.expense_date DESC, e.id DESC"_s;
    return rangedStatement(
        "the contractor statement", base, range, order, { cid }, ReportDateRange(from, to));
}

QVariantList ReportController::getChequeReport(const QString& status, const QString& from, const QString& to)
{
    static const QString base = kChequeReportColumns + uR"( WHERE 1 = 1)"_s;
    static const QString byStatus = u" AND c.status = ?"_s;
    static const QString range = u" AND c.due_date >= ? AND c.due_date < ?"_s;
    static const QString order = u" ORDER BY c.due_date, c.id"_s;
    if (status.isEmpty())
        return rangedStatement("the cheque report", base, range, order, {}, ReportDateRange(from, to));
    return rangedStatement(
        "the cheque report", base + byStatus, range, order, { status }, ReportDateRange(from, to));
}

QVariantList ReportController::getMonthlyReport(const QString& year)
{
    static const QRegularExpression fourDigits(QRegularExpression::anchoredPattern(u"[0-9]{4}"_s));
    if (!fourDigits.match(year).hasMatch()) {
        qCWarning(lcReports) << "refused the monthly report for a year that is not four digits";
        return {};
    }
    // The range lets the date index find the year ("yyyy-13" sorts after every date of the year and
    // before the next year); the GLOB keeps out stored dates that are not "yyyy-MM-dd", whose month
    // could not be read off. Both are far cheaper per row than strftime.
    static const QString sql = uR"(SELECT substr(payment_date, 6, 2) AS month, SUM(amount) AS revenue
        FROM payments
        WHERE payment_date >= ? AND payment_date < ?
          AND payment_date GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]*'
        GROUP BY month
        ORDER BY month)"_s;
    return m_db->execQuery(sql, { year + u"-01-01"_s, year + u"-13"_s });
}

QVariantList ReportController::getPropertyComparison()
{
    return m_db->execQuery(kPropertyComparisonSql);
}

int ReportController::requestPropertyComparison()
{
    const int request = ++m_comparisonRequests;
    m_reader.read(kPropertyComparisonSql, {}, [this, request](bool ok, const QVariantList& rows) {
        // A file the side connection cannot read (an in-memory one, say) is still answered, on the
        // program's own connection, which also reports any error.
        emit propertyComparisonReady(request, ok ? rows : getPropertyComparison());
    });
    return request;
}

QVariantList ReportController::getOverdueInstallments()
{
    static const QString sql = kOverdueColumns + kOverdueFrom + u" ORDER BY i.due_date, i.id"_s;
    return m_db->execQuery(sql, { Clock::todayText() });
}

int ReportController::overdueInstallmentCount()
{
    // The same selection as getOverdueInstallments, counted where it is needed as a number only.
    static const QString sql = u"SELECT COUNT(*)"_s + kOverdueFrom;
    return m_db->scalar(sql, { Clock::todayText() }).toInt();
}

QVariantList ReportController::getUnitStatusPage(int offset, int limit, const QString& search)
{
    if (limit <= 0)
        return {};
    static const QString base = uR"(SELECT u.id, u.unit_number, u.floor, u.area, u.rooms, u.rent_monthly,
            u.sale_price, u.sale_price_actual, u.status, u.property_id, p.name AS property_name
        FROM units u JOIN properties p ON u.property_id = p.id)"_s;
    static const QString filter = u" WHERE p.name LIKE ? ESCAPE '\\' OR u.unit_number LIKE ? ESCAPE '\\'"_s;
    static const QString order = u" ORDER BY p.name, u.unit_number, u.id LIMIT ? OFFSET ?"_s;
    const QString text = search.trimmed();
    if (text.isEmpty())
        return m_db->execQuery(base + order, pageBounds(offset, limit));
    const QString pattern = ListPaging::containsPattern(text);
    return m_db->execQuery(
        base + filter + order, QVariantList { pattern, pattern } + pageBounds(offset, limit));
}

QVariantList ReportController::getOverdueInstallmentsPage(int offset, int limit, const QString& search)
{
    if (limit <= 0)
        return {};
    // The due-date index walks the installments in report order; the page ends the walk early.
    static const QString base = kOverdueColumns + kOverdueFrom;
    static const QString filter
        = u" AND (b.full_name LIKE ? ESCAPE '\\' OR p.name LIKE ? ESCAPE '\\' OR u.unit_number LIKE ? ESCAPE '\\')"_s;
    static const QString order = u" ORDER BY i.due_date, i.id LIMIT ? OFFSET ?"_s;
    const QString text = search.trimmed();
    if (text.isEmpty())
        return m_db->execQuery(base + order, QVariantList { Clock::todayText() } + pageBounds(offset, limit));
    const QString pattern = ListPaging::containsPattern(text);
    return m_db->execQuery(base + filter + order,
        QVariantList { Clock::todayText(), pattern, pattern, pattern } + pageBounds(offset, limit));
}

QVariantList ReportController::getChequeReportPage(const QString& status, const QString& from,
    const QString& to, int offset, int limit, const QString& search)
{
    if (limit <= 0)
        return {};
    const ReportDateRange range(from, to);
    if (!range.isValid()) {
        qCWarning(lcReports) << "refused the cheque report with a range that is not yyyy-MM-dd";
        return {};
    }
    QString sql = kChequeReportColumns + uR"( WHERE 1 = 1)"_s;
    QVariantList params;
    if (!status.isEmpty()) {
        sql += u" AND c.status = ?"_s;
        params << status;
    }
    if (range.isGiven()) {
        sql += u" AND c.due_date >= ? AND c.due_date < ?"_s;
        params << range.first() << range.endExclusive();
    }
    const QString text = search.trimmed();
    if (!text.isEmpty()) {
        sql += uR"( AND (c.cheque_number LIKE ? ESCAPE '\' OR c.payer_name LIKE ? ESCAPE '\'
            OR c.payee_name LIKE ? ESCAPE '\' OR c.bank_name LIKE ? ESCAPE '\'))"_s;
        const QString pattern = ListPaging::containsPattern(text);
        params << pattern << pattern << pattern << pattern;
    }
    sql += u" ORDER BY c.due_date, c.id LIMIT ? OFFSET ?"_s;
    return m_db->execQuery(sql, params + pageBounds(offset, limit));
}

QVariantMap ReportController::getProfitLoss(const QString& from, const QString& to)
{
    const ReportDateRange range(from, to);
    if (!range.isValid()) {
        qCWarning(lcReports) << "refused the profit and loss with a range that is not yyyy-MM-dd";
        return {};
    }
    QVariant revenue;
    QVariant expenses;
    if (range.isGiven()) {
        const QVariantList bounds { range.first(), range.endExclusive() };
        revenue = m_db->scalar(
            u"SELECT COALESCE(SUM(amount), 0) AS t FROM payments WHERE payment_date >= ? AND payment_date < ?"_s,
            bounds);
        expenses = m_db->scalar(
            u"SELECT COALESCE(SUM(amount), 0) AS t FROM expenses WHERE expense_date >= ? AND expense_date < ?"_s,
            bounds);
    } else {
        revenue = m_db->scalar(u"SELECT COALESCE(SUM(amount), 0) AS t FROM payments"_s);
        expenses = m_db->scalar(u"SELECT COALESCE(SUM(amount), 0) AS t FROM expenses"_s);
    }
    revenue = figureOrZero(revenue);
    expenses = figureOrZero(expenses);
    return {
        { u"revenue"_s, revenue },
        { u"expenses"_s, expenses },
        { u"net_profit"_s, revenue.toDouble() - expenses.toDouble() },
    };
}

QVariantMap ReportController::getBalanceSheet()
{
    // "Neither paid nor void" as the three ranges around those two words: the same rows, reached
    // through the status index instead of the whole invoice history.
    const QVariant receivables
        = figureOrZero(m_db->scalar(uR"(SELECT COALESCE(SUM(balance), 0) AS t FROM invoices
            WHERE status < 'paid' OR (status > 'paid' AND status < 'void') OR status > 'void')"_s));
    const QVariant cash = figureOrZero(m_db->scalar(u"SELECT COALESCE(SUM(amount), 0) AS t FROM payments"_s));
    const QVariant installmentReceivables = figureOrZero(m_db->scalar(
        u"SELECT COALESCE(SUM(installment_amount - paid_amount), 0) AS t FROM installments WHERE status != 'paid'"_s));
    return {
        { u"receivables"_s, receivables },
        { u"cash"_s, cash },
        { u"installment_receivables"_s, installmentReceivables },
        { u"total_assets"_s, receivables.toDouble() + cash.toDouble() + installmentReceivables.toDouble() },
    };
}

QVariantMap ReportController::getAccrualSummary(const QString& from, const QString& to)
{
    const ReportDateRange range(from, to);
    if (!range.isValid()) {
        qCWarning(lcReports) << "refused the accrual summary with a range that is not yyyy-MM-dd";
        return {};
    }
    return AccrualFigures(m_db).summary(range);
}

QVariantMap ReportController::getProjectDetailedFinancials(int pid, const QString& from, const QString& to)
{
    // The project card always shows the whole history; the range is accepted for the page's sake.
    Q_UNUSED(from)
    Q_UNUSED(to)
    return m_projects.detailedFinancials(pid);
}

QVariantMap ReportController::getUnitProfitability(int uid)
{
    return m_projects.unitProfitability(uid);
}

QVariantList ReportController::getProjectCostCenters(int pid)
{
    return m_projects.costCenters(pid);
}

QVariantMap ReportController::getPropertyProfitability(int pid, const QString& from, const QString& to)
{
    const ReportDateRange range(from, to);
    if (!range.isValid()) {
        qCWarning(lcReports) << "refused the property profitability with a range that is not yyyy-MM-dd";
        return {};
    }
    return m_projects.propertyProfitability(pid, range);
}

QVariantList ReportController::getAIInsights()
{
    return m_insights.cards();
}

QVariantMap ReportController::getSmartAIAnalysis()
{
    const QVariantMap profitLoss = getProfitLoss();
    return m_insights.analysis(profitLoss.value(u"revenue"_s).toDouble(),
        profitLoss.value(u"net_profit"_s).toDouble(), overdueInstallmentCount());
}
