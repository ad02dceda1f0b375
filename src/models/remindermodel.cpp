#include "remindermodel.h"

#include "clock.h"
#include "database.h"
#include "money.h"

#include <QLoggingCategory>
#include <QMap>
#include <QUrl>

Q_LOGGING_CATEGORY(lcReminders, "darvelinto.reminders")

namespace {

const QString kAction = QStringLiteral("تذكير بالسداد");

/** What each kind of debtor owes past its due date, per currency: the SQL and the audit table. */
struct Debt
{
    const char* kind;
    const char* table;
    const char* sql;
};

// Statuses are named so SQLite walks the status index, not every document ever settled.
constexpr Debt kDebts[] = {
    { "tenant", "tenants", R"(
        SELECT t.id AS party_id, t.full_name AS name, t.phone, t.email, %1 AS symbol,
               COUNT(*) AS count, MIN(i.due_date) AS since, SUM(ROUND(i.balance * 100)) AS cents
        FROM invoices i JOIN tenants t ON t.id = i.tenant_id LEFT JOIN currencies cur ON cur.id = i.currency_id
        WHERE i.status IN ('pending', 'partial') AND i.balance > 0 AND i.due_date < ? AND (? = 0 OR t.id = ?)
        GROUP BY t.id, symbol ORDER BY t.id, symbol)" },
    { "buyer", "buyers", R"(
        SELECT b.id AS party_id, b.full_name AS name, b.phone, b.email, %1 AS symbol,
               COUNT(*) AS count, MIN(i.due_date) AS since,
               SUM(ROUND((i.installment_amount - i.paid_amount) * 100)) AS cents
        FROM installments i JOIN buyers b ON b.id = i.buyer_id LEFT JOIN currencies cur ON cur.id = i.currency_id
        WHERE i.status IN ('pending', 'partial') AND i.installment_amount > i.paid_amount AND i.due_date < ?
          AND (? = 0 OR b.id = ?)
        GROUP BY b.id, symbol ORDER BY b.id, symbol)" },
};

const Debt* debtOf(const QString& kind)
{
    for (const Debt& debt : kDebts) {
        if (kind == QLatin1String(debt.kind))
            return &debt;
    }
    return nullptr;
}

QString isolated(const QString& text)
{
    return QChar(0x2066) + text + QChar(0x2069);
}

QString timestampNow()
{
    return Clock::now().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString mailLink(const QString& email, const QString& subject, const QString& body)
{
    const QString address = email.trimmed();
    if (!address.contains(QLatin1Char('@')) || address.contains(QLatin1Char(' ')))
        return {};
    return QStringLiteral("mailto:") + QString::fromLatin1(QUrl::toPercentEncoding(address, "@"))
        + QStringLiteral("?subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject))
        + QStringLiteral("&body=") + QString::fromLatin1(QUrl::toPercentEncoding(body));
}

} // namespace

ReminderModel::ReminderModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList ReminderModel::getReminders()
{
    QVariantList reminders
        = remindersOf(QStringLiteral("tenant"), 0) + remindersOf(QStringLiteral("buyer"), 0);
    std::stable_sort(reminders.begin(), reminders.end(), [](const QVariant& a, const QVariant& b) {
        return a.toMap().value(QStringLiteral("since")).toString()
            < b.toMap().value(QStringLiteral("since")).toString();
    });
    return reminders;
}

QVariantList ReminderModel::remindersOf(const QString& kind, int partyId)
{
    const Debt* debt = debtOf(kind);
    if (!debt)
        return {};
    static const QString symbol = QStringLiteral(
        "COALESCE(cur.symbol, (SELECT symbol FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))");
    const QString today = Clock::todayText();
    const QVariantList rows
        = m_db->execQuery(QString::fromUtf8(debt->sql).arg(symbol), { today, partyId, partyId });
    if (rows.isEmpty())
        return {};
    const QString table = QLatin1String(debt->table);
    QHash<int, QString> lastReminded;
    for (const QVariant& value : m_db->execQuery(QStringLiteral(R"(
             SELECT record_id, MAX(created_at) AS at FROM audit_logs
             WHERE action = ? AND table_name = ? AND (? = 0 OR record_id = ?) GROUP BY record_id)"),
             { kAction, table, partyId, partyId })) {
        const QVariantMap row = value.toMap();
        lastReminded.insert(
            row.value(QStringLiteral("record_id")).toInt(), row.value(QStringLiteral("at")).toString());
    }
    const QString office
        = m_db->scalar(QStringLiteral("SELECT value FROM settings WHERE key='company_name'")).toString();
    const QString phone
        = m_db->scalar(QStringLiteral("SELECT value FROM settings WHERE key='company_phone'")).toString();
    const bool tenant = kind == QLatin1String("tenant");

    // The rows come per person and currency; each person gets one reminder naming every currency.
    QVariantList reminders;
    QVariantMap current;
    QStringList dues;
    const auto finish = [&] {
        if (current.isEmpty())
            return;
        const int count = current.value(QStringLiteral("count")).toInt();
        const QString due = dues.join(QStringLiteral(" و"));
        // Day/month/year, as the interface writes dates: a run of digits and slashes keeps its
        // order inside an Arabic line wherever the text is pasted.
        const QString since
            = QDate::fromString(current.value(QStringLiteral("since")).toString(), Qt::ISODate)
                  .toString(QStringLiteral("dd/MM/yyyy"));
        const QString what = tenant
            ? (count == 1 ? QStringLiteral("فاتورة واحدة") : QStringLiteral("%1 فواتير").arg(count))
            : (count == 1 ? QStringLiteral("قسط واحد") : QStringLiteral("%1 أقساط").arg(count));
        QString text = QStringLiteral("السيد/السيدة %1 المحترم/ة،\nتحية طيبة وبعد،\n\n")
                           .arg(current.value(QStringLiteral("name")).toString())
            + QStringLiteral("نذكّركم بأن عليكم مبلغ %1 مستحقاً منذ %2 عن %3 لم تُسدَّد بعد.\n")
                  .arg(due, since, what)
            + QStringLiteral(
                "نرجو المبادرة إلى السداد في أقرب وقت، وإن كنتم قد سددتم فنرجو إهمال هذا التذكير.\n");
        if (!phone.trimmed().isEmpty())
            text += QStringLiteral("للاستفسار: %1\n").arg(isolated(phone.trimmed()));
        text += QStringLiteral("\nمع الشكر،\n")
            + (office.trimmed().isEmpty() ? QStringLiteral("إدارة العقارات") : office.trimmed());
        const QString subject = QStringLiteral("تذكير بالسداد");
        const QString last = lastReminded.value(current.value(QStringLiteral("party_id")).toInt());
        const QDateTime lastAt = QDateTime::fromString(last, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QDateTime lastLocal = lastAt;
        lastLocal.setTimeSpec(Qt::UTC);
        lastLocal = lastLocal.toLocalTime();
        current.insert(QStringLiteral("kind"), kind);
        current.insert(QStringLiteral("due"), due);
        current.insert(QStringLiteral("since_text"), since);
        current.insert(QStringLiteral("subject"), subject);
        current.insert(QStringLiteral("text"), text);
        current.insert(QStringLiteral("mailto"),
            mailLink(current.value(QStringLiteral("email")).toString(), subject, text));
        current.insert(QStringLiteral("last_reminded"),
            lastAt.isValid() ? lastLocal.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString());
        current.insert(
            QStringLiteral("reminded_today"), lastAt.isValid() && lastLocal.date() == Clock::today());
        reminders.append(current);
        current.clear();
        dues.clear();
    };
    for (const QVariant& value : rows) {
        const QVariantMap row = value.toMap();
        if (!current.isEmpty()
            && current.value(QStringLiteral("party_id")) != row.value(QStringLiteral("party_id")))
            finish();
        if (current.isEmpty()) {
            current = row;
            current.remove(QStringLiteral("symbol"));
            current.remove(QStringLiteral("cents"));
        } else {
            current.insert(QStringLiteral("count"),
                current.value(QStringLiteral("count")).toInt() + row.value(QStringLiteral("count")).toInt());
            current.insert(QStringLiteral("since"),
                std::min(current.value(QStringLiteral("since")).toString(),
                    row.value(QStringLiteral("since")).toString()));
        }
        dues.append(Money::display(Money::fromCents(row.value(QStringLiteral("cents")).toLongLong()),
            row.value(QStringLiteral("symbol")).toString()));
    }
    finish();
    return reminders;
}

bool ReminderModel::markReminded(const QString& kind, int partyId, const QString& channel)
{
    clearRefusal();
    static const QStringList channels
        = { QStringLiteral("copy"), QStringLiteral("mail"), QStringLiteral("print") };
    const Debt* debt = debtOf(kind);
    if (!debt || partyId <= 0 || !channels.contains(channel))
        return refuse(QStringLiteral("لا يوجد تذكير بهذا الوصف"));
    const QVariantList reminder = remindersOf(kind, partyId);
    if (reminder.isEmpty())
        return refuse(QStringLiteral("لا توجد مبالغ متأخرة على هذا الشخص"));
    const QVariantMap row = reminder.first().toMap();
    if (row.value(QStringLiteral("reminded_today")).toBool())
        return refuse(QStringLiteral("ذُكِّر %1 اليوم، فلا يُذكَّر مرتين في يوم واحد")
                          .arg(row.value(QStringLiteral("name")).toString()));
    const QString clerk = m_db->actingUser();
    if (m_db->execInsert(QStringLiteral(R"(
            INSERT INTO audit_logs (user_id, action, table_name, record_id, details, created_at)
            VALUES ((SELECT id FROM users WHERE ? != '' AND (full_name=? OR username=?) ORDER BY id LIMIT 1),
                    ?, ?, ?, ?, ?))"),
            { clerk, clerk, clerk, kAction, QLatin1String(debt->table), partyId,
                channel + QStringLiteral(": ") + row.value(QStringLiteral("due")).toString(),
                timestampNow() })
        <= 0) {
        qCWarning(lcReminders) << "could not record the reminder of" << kind << partyId;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

QVariantList ReminderModel::getReminderLog(int limit)
{
    QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT a.table_name, a.details, a.created_at,
               CASE a.table_name WHEN 'tenants' THEN (SELECT full_name FROM tenants WHERE id = a.record_id)
                                 ELSE (SELECT full_name FROM buyers WHERE id = a.record_id) END AS name
        FROM audit_logs a WHERE a.action = ? ORDER BY a.id DESC LIMIT ?)"),
        { kAction, std::clamp(limit, 1, 1000) });
    for (QVariant& value : rows) {
        QVariantMap row = value.toMap();
        QDateTime at = QDateTime::fromString(
            row.value(QStringLiteral("created_at")).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        at.setTimeSpec(Qt::UTC);
        row.insert(
            QStringLiteral("reminded_at"), at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        row.insert(QStringLiteral("kind"),
            row.value(QStringLiteral("table_name")) == QLatin1String("tenants") ? QStringLiteral("tenant")
                                                                                : QStringLiteral("buyer"));
        row.insert(QStringLiteral("channel"),
            row.value(QStringLiteral("details")).toString().section(QLatin1Char(':'), 0, 0));
        value = row;
    }
    return rows;
}
