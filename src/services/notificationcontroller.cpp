#include "notificationcontroller.h"

#include "clock.h"
#include "database.h"
#include "money.h"

#include <QDate>
#include <QLoggingCategory>
#include <functional>

Q_LOGGING_CATEGORY(lcAlerts, "darvelinto.alerts")

/** One alert rule: its query with the dates it is bound to, and how one of its rows reads. */
struct NotificationController::Rule
{
    QString sql;
    QVariantList params;
    std::function<void(QVariantMap&)> describe;
};

namespace {

QString text(const QVariantMap& row, const char* key)
{
    return row.value(QLatin1String(key)).toString();
}

// In the row's own currency, as every page writes an amount.
QString amount(const QVariantMap& row, const char* key)
{
    return Money::display(row.value(QLatin1String(key)).toDouble(), text(row, "currency_symbol"));
}

// A date inside an Arabic line, isolated so that it reads in its written order ("2026-12-06"
// after Arabic letters would otherwise show its parts right to left).
QString dateIn(const QVariantMap& row, const char* key)
{
    return QChar(0x2066) + text(row, key) + QChar(0x2069);
}

// The symbol of a row's currency, the primary one for a row that names none (older invoices).
const QString kSymbolOf = QStringLiteral(
    R"(COALESCE(cur.symbol, (SELECT symbol FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)) AS currency_symbol)");

// The four keys overwrite columns of the same name: a cheque's own `type` gives way to "cheque".
void setAlert(QVariantMap& row, const QString& type, const QString& title, const QString& detail,
    const QString& severity)
{
    row.insert(QStringLiteral("type"), type);
    row.insert(QStringLiteral("title"), title);
    row.insert(QStringLiteral("detail"), detail);
    row.insert(QStringLiteral("severity"), severity);
}

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

NotificationController::NotificationController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

std::vector<NotificationController::Rule> NotificationController::rulesFor(const QDate& todayDate)
{
    // Every reference date is formed once per call, so all rules judge against the same day.
    const QString today = dateText(todayDate);
    const QString yesterday = dateText(todayDate.addDays(-1));
    const QString inAWeek = dateText(todayDate.addDays(7));
    const QString inThirtyDays = dateText(todayDate.addDays(30));

    std::vector<Rule> rules;

    // Installments due today or yesterday are still a reminder; anything older is arrears.
    rules.push_back({ QStringLiteral(R"(
        SELECT i.*, b.full_name as buyer_name, u.unit_number, )")
            + kSymbolOf + QStringLiteral(R"(
        FROM installments i
        JOIN buyers b ON i.buyer_id = b.id
        JOIN units u ON i.unit_id = u.id
        LEFT JOIN currencies cur ON cur.id = i.currency_id
        WHERE i.due_date IN (?, ?) AND i.status != 'paid'
        ORDER BY i.due_date, i.id)"),
        { today, yesterday }, [](QVariantMap& row) {
            setAlert(row, QStringLiteral("payment_due"),
                QStringLiteral("دفعة مستحقة (اليوم/أمس): ") + text(row, "buyer_name"),
                QStringLiteral("الوحدة: ") + text(row, "unit_number") + QStringLiteral(" - المبلغ: ")
                    + amount(row, "installment_amount"),
                QStringLiteral("high"));
        } });

    // Installment statuses are 'pending', 'partial' and 'paid': naming the open two lets the
    // status index find them instead of walking every installment that ever fell due.
    rules.push_back({ QStringLiteral(R"(
        SELECT i.*, b.full_name as buyer_name
        FROM installments i
        JOIN buyers b ON i.buyer_id = b.id
        WHERE i.due_date < ? AND i.status IN ('pending', 'partial')
        ORDER BY i.due_date, i.id)"),
        { yesterday }, [](QVariantMap& row) {
            setAlert(row, QStringLiteral("overdue"),
                QStringLiteral("قسط متأخر جداً: ") + text(row, "buyer_name"),
                QStringLiteral("استحق في: ") + dateIn(row, "due_date"), QStringLiteral("critical"));
        } });

    // Received cheques still pending, a week ahead, and those whose day has already come and gone.
    // A cheque the office issued is paid out, not collected; nor is one whose installment was
    // settled by other money (cashing it is refused: it goes back to the buyer). The unary plus
    // keeps SQLite on the status index: by type it would walk every cheque ever received.
    rules.push_back({ QStringLiteral(R"(
        SELECT c.*, b.full_name as buyer_name, t.full_name as tenant_name, u.unit_number, p.name as property_name,
            )")
            + kSymbolOf + QStringLiteral(R"(
        FROM cheques c
        LEFT JOIN buyers b ON c.buyer_id=b.id
        LEFT JOIN tenants t ON c.tenant_id=t.id
        LEFT JOIN installments i ON c.installment_id=i.id
        LEFT JOIN units u ON i.unit_id=u.id
        LEFT JOIN properties p ON u.property_id=p.id
        LEFT JOIN currencies cur ON cur.id = c.currency_id
        WHERE c.due_date <= ? AND c.status = 'pending' AND +c.type = 'received'
          AND (i.id IS NULL OR i.status != 'paid')
        ORDER BY c.due_date, c.id)"),
        { inAWeek }, [today](QVariantMap& row) {
            const QString buyer = text(row, "buyer_name");
            const QString name = buyer.isEmpty() ? text(row, "tenant_name") : buyer;
            const bool ahead = text(row, "due_date") > today;
            QString detail = QStringLiteral("رقم: ") + text(row, "cheque_number")
                + QStringLiteral(" - المبلغ: ") + amount(row, "amount");
            const QString unit = text(row, "unit_number");
            if (!unit.isEmpty())
                detail += QStringLiteral(" - الوحدة: ") + unit;
            setAlert(row, QStringLiteral("cheque"),
                (ahead ? QStringLiteral("شيك مستحق قريباً: ") : QStringLiteral("شيك للتحصيل اليوم: ")) + name,
                detail, ahead ? QStringLiteral("medium") : QStringLiteral("high"));
        } });

    // Invoice statuses are 'pending', 'partial', 'paid' and 'void': the open two are named for the
    // same reason, so the settled history of every invoice ever written is never walked.
    rules.push_back({ QStringLiteral(R"(
        SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name, )")
            + kSymbolOf + QStringLiteral(R"(
        FROM invoices i
        JOIN tenants t ON i.tenant_id=t.id
        LEFT JOIN units u ON i.unit_id=u.id
        LEFT JOIN properties p ON u.property_id=p.id
        LEFT JOIN currencies cur ON cur.id = i.currency_id
        WHERE i.status IN ('pending', 'partial') AND i.due_date <= ?
        ORDER BY i.due_date, i.id)"),
        { today }, [today](QVariantMap& row) {
            setAlert(row, QStringLiteral("rent_invoice"),
                QStringLiteral("إيجار/فاتورة مستحقة: ") + text(row, "tenant_name"),
                QStringLiteral("الفاتورة: ") + text(row, "invoice_number") + QStringLiteral(" - المتبقي: ")
                    + amount(row, "balance"),
                text(row, "due_date") < today ? QStringLiteral("high") : QStringLiteral("medium"));
        } });

    // An active contract whose end has passed is still listed: nobody has renewed or ended it. A
    // renewed one runs out into the contract that follows it.
    rules.push_back({ QStringLiteral(R"(
        SELECT c.*, t.full_name as tenant_name
        FROM contracts c
        JOIN tenants t ON c.tenant_id = t.id
        WHERE c.end_date <= ? AND c.status = 'active' AND c.renewed_by IS NULL
        ORDER BY c.end_date, c.id)"),
        { inThirtyDays }, [](QVariantMap& row) {
            setAlert(row, QStringLiteral("contract"),
                QStringLiteral("عقد ينتهي قريباً: ") + text(row, "tenant_name"),
                QStringLiteral("تاريخ الانتهاء: ") + dateIn(row, "end_date"), QStringLiteral("low"));
        } });

    return rules;
}

QVariantList NotificationController::getActiveAlerts() const
{
    QVariantList alerts;
    for (const Rule& rule : rulesFor(Clock::today())) {
        // A failing rule has been reported by the database; the others still speak.
        QVariantList rows = m_db->execQuery(rule.sql, rule.params);
        for (QVariant& row : rows) {
            // Each row's map is owned by this list alone, so it is completed where it lies
            // rather than copied out and back.
            if (row.metaType() == QMetaType::fromType<QVariantMap>())
                rule.describe(*static_cast<QVariantMap*>(row.data()));
        }
        alerts.append(rows);
    }
    return alerts;
}

int NotificationController::getAlertCount() const
{
    // Counting each rule's own query in SQL gives the same number as the list without building
    // a map per row.
    int count = 0;
    for (const Rule& rule : rulesFor(Clock::today()))
        count
            += m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM (") + rule.sql + QStringLiteral(") AS due"),
                       rule.params)
                   .toInt();
    return count;
}

void NotificationController::markAsRead(int alertId)
{
    qCDebug(lcAlerts) << "markAsRead" << alertId << "ignored: alerts last as long as their cause";
}
