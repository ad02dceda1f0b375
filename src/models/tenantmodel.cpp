#include "tenantmodel.h"

#include "database.h"
#include "listpaging.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTenants, "darvelinto.tenants")

namespace {

// id_number is UNIQUE: an empty text would be a value that only one tenant could hold, while
// NULL is "not given" and may repeat.
QVariant identityOrNull(const QString& idNum)
{
    const QString trimmed = idNum.trimmed();
    return trimmed.isEmpty() ? QVariant() : QVariant(trimmed);
}

} // namespace

bool TenantModel::identityTaken(const QString& idNum, int exceptId) const
{
    const QVariant number = identityOrNull(idNum);
    return !number.isNull()
        && m_db->scalar(
                   QStringLiteral("SELECT 1 FROM tenants WHERE id_number=? AND id!=?"), { number, exceptId })
               .isValid();
}

TenantModel::TenantModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList TenantModel::getAll()
{
    // The unary plus keeps each count on the tenant's index: without statistics SQLite would
    // count through every active contract of the office once per tenant.
    return m_db->execQuery(QStringLiteral(R"(
        SELECT t.*, (SELECT COUNT(*) FROM contracts WHERE tenant_id=t.id AND +status='active') as active_contracts
        FROM tenants t ORDER BY t.full_name)"));
}

QVariantMap TenantModel::getById(int id)
{
    const QVariantList rows = m_db->execQuery(QStringLiteral("SELECT * FROM tenants WHERE id=?"), { id });
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

int TenantModel::add(const QString& name, const QString& idNum, const QString& phone, const QString& email,
    const QString& addr)
{
    clearRefusal();
    if (name.trimmed().isEmpty()) {
        qCWarning(lcTenants) << "refused a tenant without a name";
        refuse(QStringLiteral("أدخل اسم المستأجر"));
        return -1;
    }
    if (identityTaken(idNum, 0)) {
        refuse(QStringLiteral("رقم الهوية %1 مسجل لمستأجر آخر").arg(idNum.trimmed()));
        return -1;
    }
    const int id = m_db->execInsert(
        QStringLiteral("INSERT INTO tenants (full_name,id_number,phone,email,address) VALUES (?,?,?,?,?)"),
        { name.trimmed(), identityOrNull(idNum), phone, email, addr });
    if (id <= 0) {
        refuseUnsaved();
        return -1;
    }
    emit dataChanged();
    return id;
}

bool TenantModel::update(int id, const QString& name, const QString& idNum, const QString& phone,
    const QString& email, const QString& addr)
{
    clearRefusal();
    if (name.trimmed().isEmpty())
        return refuse(QStringLiteral("أدخل اسم المستأجر"));
    if (!m_db->scalar(QStringLiteral("SELECT 1 FROM tenants WHERE id=?"), { id }).isValid())
        return refuse(QStringLiteral("المستأجر غير موجود"));
    if (identityTaken(idNum, id))
        return refuse(QStringLiteral("رقم الهوية %1 مسجل لمستأجر آخر").arg(idNum.trimmed()));
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE tenants SET full_name=?,id_number=?,phone=?,email=?,address=? WHERE id=?"),
            { name.trimmed(), identityOrNull(idNum), phone, email, addr, id }))
        return refuseUnsaved();
    emit dataChanged();
    return true;
}

bool TenantModel::remove(int id)
{
    // Checked here rather than left to the foreign keys: cheques.tenant_id came by an added
    // column in older files and carries no foreign key there.
    clearRefusal();
    static const QString historySql = QStringLiteral(R"(
        SELECT (SELECT COUNT(*) FROM contracts WHERE tenant_id=? AND status='active') AS active,
               EXISTS(SELECT 1 FROM contracts WHERE tenant_id=?)
            OR EXISTS(SELECT 1 FROM invoices WHERE tenant_id=?)
            OR EXISTS(SELECT 1 FROM payments WHERE tenant_id=?)
            OR EXISTS(SELECT 1 FROM cheques WHERE tenant_id=?) AS history)");
    const QVariantList rows = m_db->execQuery(historySql, QVariantList(5, id));
    if (rows.isEmpty())
        return refuseUnsaved();
    const QVariantMap history = rows.first().toMap();
    const int active = history.value(QStringLiteral("active")).toInt();
    if (active > 0 || history.value(QStringLiteral("history")).toInt() != 0) {
        qCInfo(lcTenants) << "tenant" << id << "has contracts or an account; not deleted";
        return refuse(active > 0 ? QStringLiteral("لدى المستأجر %1 عقد نشط، أنهِ العقود أولاً").arg(active)
                                 : QStringLiteral("للمستأجر سجل من عقود سابقة أو فواتير أو دفعات أو شيكات"));
    }
    if (!m_db->execNonQuery(QStringLiteral("DELETE FROM tenants WHERE id=?"), { id }))
        return refuseUnsaved();
    emit dataChanged();
    return true;
}

QVariantList TenantModel::getStatement(int id)
{
    // Every invoice at its total, void ones too; a void shows again as a credit of what was still
    // open on it when it was voided (its payments stay on the statement), so the rows add up to the
    // tenant's stored balance. Within the same moment a charge comes before what takes it back.
    return m_db->execQuery(QStringLiteral(R"(
        SELECT type, date, ref, debit, credit, description FROM (
            SELECT 'invoice' as type, i.created_at as date, i.invoice_number as ref, i.total_amount as debit,
                   0 as credit, i.notes as description, 0 as kind, i.id as seq
            FROM invoices i WHERE i.tenant_id=?
            UNION ALL
            SELECT 'void' as type, COALESCE(i.voided_at, i.created_at) as date, i.invoice_number as ref,
                   0 as debit, (ROUND(i.total_amount*100) - ROUND(i.paid_amount*100)) / 100.0 as credit,
                   i.notes as description, 2 as kind, i.id as seq
            FROM invoices i WHERE i.tenant_id=? AND i.status='void' AND i.total_amount > i.paid_amount
            UNION ALL
            SELECT 'payment' as type, p.payment_date as date, p.reference as ref, 0 as debit, p.amount as credit,
                   p.notes as description, 1 as kind, p.id as seq
            FROM payments p WHERE p.tenant_id=?) AS statement
        ORDER BY date, kind, seq)"),
        { id, id, id });
}

QVariantList TenantModel::search(const QString& q)
{
    const QString pattern = QLatin1Char('%') + q + QLatin1Char('%');
    return m_db->execQuery(
        QStringLiteral("SELECT * FROM tenants WHERE full_name LIKE ? OR phone LIKE ? OR id_number LIKE ?"),
        { pattern, pattern, pattern });
}

QVariantList TenantModel::getPage(int offset, int limit, const QString& search)
{
    if (limit < 1)
        return {};
    // Active contracts are counted for the rows of the page only, through the tenant's own
    // contracts (the unary plus keeps SQLite off the status index).
    static const QString sql = QStringLiteral(R"(
        SELECT t.*,
               (SELECT COUNT(*) FROM contracts WHERE tenant_id=t.id AND +status='active') as active_contracts
        FROM (SELECT * FROM tenants
              WHERE ?=1 OR full_name LIKE ? ESCAPE '\' OR phone LIKE ? ESCAPE '\' OR id_number LIKE ? ESCAPE '\'
              ORDER BY id DESC LIMIT ? OFFSET ?) t
        ORDER BY t.id DESC)");
    const QString pattern = ListPaging::containsPattern(search);
    return m_db->execQuery(sql, { pattern.isEmpty(), pattern, pattern, pattern, limit, qMax(0, offset) });
}
