#include "auditmanager.h"

#include "database.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAudit, "darvelinto.audit")

AuditManager::AuditManager(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

bool AuditManager::log(
    int userId, const QString& action, const QString& table, int recordId, const QString& details)
{
    if (action.trimmed().isEmpty()) {
        qCWarning(lcAudit) << "Refusing an audit row without an action";
        return false;
    }
    // Null strings would bind SQL NULL; the columns hold empty text when the caller gave none.
    const auto text = [](const QString& value) { return value.isNull() ? QStringLiteral("") : value; };
    const QVariant user = userId >= 1 ? QVariant(userId) : QVariant();
    const bool written = m_db->execNonQuery(
        R"(INSERT INTO audit_logs (user_id, action, table_name, record_id, details) VALUES (?, ?, ?, ?, ?))",
        { user, action, text(table), recordId, text(details) });
    if (!written)
        qCWarning(lcAudit) << "Could not record audit action" << action;
    return written;
}

QVariantList AuditManager::getLogs(int limit) const
{
    // Rows are only ever appended and take their time from the database when written, so the id
    // order is the time order, finer than the one-second stamps. Walking the primary key backwards
    // reads just `limit` rows; sorting on created_at would read the whole, ever-growing table on
    // every dashboard load.
    // A negative limit is every row: said as no limit at all, which every database reads alike.
    static const QString newestFirst = QStringLiteral(R"(
        SELECT a.*, u.username FROM audit_logs a LEFT JOIN users u ON a.user_id = u.id
        ORDER BY a.id DESC)");
    if (limit < 0)
        return m_db->execQuery(newestFirst);
    return m_db->execQuery(newestFirst + QStringLiteral(" LIMIT ?"), { limit });
}
