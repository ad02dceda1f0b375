#include "maintenancemodel.h"

#include "bookkeeper.h"
#include "clock.h"
#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMaintenance, "darvelinto.maintenance")

MaintenanceModel::MaintenanceModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList MaintenanceModel::getAll()
{
    return m_db->execQuery(QStringLiteral(
        R"(SELECT m.*, u.unit_number, p.name as property_name
           FROM maintenance_requests m JOIN units u ON m.unit_id=u.id JOIN properties p ON u.property_id=p.id
           ORDER BY m.created_at DESC, m.id DESC)"));
}

QVariantList MaintenanceModel::getByStatus(const QString& status)
{
    return m_db->execQuery(QStringLiteral(
                               R"(SELECT m.*, u.unit_number, p.name as property_name
                                  FROM maintenance_requests m JOIN units u ON m.unit_id=u.id
                                  JOIN properties p ON u.property_id=p.id
                                  WHERE m.status=? ORDER BY m.created_at DESC, m.id DESC)"),
        { status });
}

int MaintenanceModel::add(
    int unitId, int propertyId, const QString& title, const QString& desc, const QString& priority)
{
    clearRefusal();
    if (title.trimmed().isEmpty()) {
        qCWarning(lcMaintenance) << "refused a maintenance request without a title";
        refuse(QStringLiteral("أدخل عنوان طلب الصيانة"));
        return -1;
    }
    if (!m_db->scalar(QStringLiteral("SELECT 1 FROM units WHERE id=?"), { unitId }).isValid()) {
        refuse(QStringLiteral("الوحدة المختارة غير موجودة"));
        return -1;
    }
    // Completion books the cost against the request's property; a request raised without one
    // would leave that expense outside every property's figures.
    const int id = m_db->execInsert(
        QStringLiteral(R"(INSERT INTO maintenance_requests (unit_id,property_id,title,description,priority)
                          VALUES (?, COALESCE(?, (SELECT property_id FROM units WHERE id=?)), ?, ?, ?))"),
        { unitId, propertyId > 0 ? QVariant(propertyId) : QVariant(), unitId, title, desc, priority });
    if (id <= 0) {
        refuseUnsaved();
        return -1;
    }
    emit dataChanged();
    return id;
}

bool MaintenanceModel::updateStatus(int id, const QString& status)
{
    // 'completed' belongs to complete(), which books the cost as an expense once; moving a request
    // into it here would skip the expense, and moving one out of it would let complete() book the
    // same work a second time.
    static const QStringList open = { QStringLiteral("new"), QStringLiteral("in_progress") };
    clearRefusal();
    if (!open.contains(status)) {
        qCWarning(lcMaintenance) << "refused to set request" << id << "to" << status;
        return refuse(QStringLiteral("حالة طلب الصيانة غير معروفة"));
    }
    const QVariant current
        = m_db->scalar(QStringLiteral("SELECT status FROM maintenance_requests WHERE id=?"), { id });
    if (!current.isValid())
        return refuse(QStringLiteral("طلب الصيانة غير موجود"));
    if (current.toString() == QLatin1String("completed"))
        return refuse(QStringLiteral("طلب الصيانة مكتمل من قبل ولا تتغير حالته"));
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE maintenance_requests SET status=? WHERE id=? AND status!='completed'"),
            { status, id }))
        return refuseUnsaved();
    emit dataChanged();
    return true;
}

bool MaintenanceModel::complete(int id, double cost)
{
    // The cost becomes an expense: kept in whole hundredths and bounded like any amount.
    clearRefusal();
    if (!Money::isAmount(cost) || Money::toCents(cost) < 0) {
        qCWarning(lcMaintenance) << "refused to complete request" << id << "with the cost" << cost;
        return refuse(QStringLiteral("تكلفة الصيانة مبلغ من صفر فأكثر ضمن الحد المسموح"));
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("maintenance_requests"), id))
        return refuseUnsaved();
    const QVariantList rows = m_db->execQuery(
        QStringLiteral(
            R"(SELECT m.unit_id, COALESCE(m.property_id, u.property_id) as property_id, m.title, m.status
                          FROM maintenance_requests m LEFT JOIN units u ON m.unit_id=u.id WHERE m.id=?)"),
        { id });
    if (rows.isEmpty())
        return refuse(QStringLiteral("طلب الصيانة غير موجود"));
    const QVariantMap request = rows.first().toMap();
    if (request.value(QStringLiteral("status")).toString() == QLatin1String("completed"))
        return refuse(QStringLiteral("طلب الصيانة «%1» مكتمل من قبل")
                          .arg(request.value(QStringLiteral("title")).toString()));

    const QString today = Clock::todayText();
    const double amount = Money::roundToCents(cost);
    if (!m_db->execNonQuery(
            QStringLiteral(
                "UPDATE maintenance_requests SET status='completed', cost=?, completed_date=? WHERE id=?"),
            { amount, today, id }))
        return refuseUnsaved();
    const int expenseId = m_db->execInsert(
        QStringLiteral(R"(INSERT INTO expenses (property_id,unit_id,category,description,amount,expense_date,
                                                maintenance_id) VALUES (?,?,?,?,?,?,?))"),
        { request.value(QStringLiteral("property_id")), request.value(QStringLiteral("unit_id")),
            QStringLiteral("صيانة"), request.value(QStringLiteral("title")), amount, today, id });
    if (expenseId <= 0)
        return refuseUnsaved();
    // Work done for nothing moves no money and posts nothing.
    if (Money::toCents(amount) > 0) {
        const BookKeeper::Result posted = BookKeeper(m_db).postExpense(
            expenseId, today, QVariant(), Money::toCents(amount), QStringLiteral("صيانة"), true, false);
        if (!posted.ok) {
            qCWarning(lcMaintenance) << "completion of request" << id << "not posted:" << posted.refusal;
            return posted.refusal.isEmpty() ? refuseUnsaved() : refuse(posted.refusal);
        }
    }
    if (!transaction.commit())
        return refuseUnsaved();
    emit dataChanged();
    return true;
}

int MaintenanceModel::getCount(const QString& status)
{
    const QVariant count = status.isEmpty()
        ? m_db->scalar(QStringLiteral("SELECT COUNT(*) as c FROM maintenance_requests"))
        : m_db->scalar(
            QStringLiteral("SELECT COUNT(*) as c FROM maintenance_requests WHERE status=?"), { status });
    return count.toInt();
}
