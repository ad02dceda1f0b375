#include "propertymodel.h"

#include "database.h"
#include "listpaging.h"
#include "transactionguard.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcProperties, "darvelinto.properties")

namespace {

// Each property ("p") with the counts of its units and the rent of their active contracts.
const QString kWithFigures = QStringLiteral(R"(
        SELECT p.*,
               (SELECT COUNT(*) FROM units WHERE property_id=p.id) as total_units,
               (SELECT COUNT(*) FROM units WHERE property_id=p.id AND +status='rented') as rented_units,
               (SELECT COUNT(*) FROM units WHERE property_id=p.id AND +status='sold') as sold_units,
               (SELECT COUNT(*) FROM units WHERE property_id=p.id AND +status='maintenance') as maintenance_units,
               (SELECT COALESCE(SUM(rent_monthly),0) FROM units u JOIN contracts c ON u.id=c.unit_id
                 WHERE u.property_id=p.id AND +c.status='active') as monthly_revenue
    )");

} // namespace

PropertyModel::PropertyModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList PropertyModel::getAll()
{
    // monthly_revenue counts a unit's rent once per active contract on it; the id breaks ties
    // between properties created within the same second. The unary plus keeps every count on the
    // property's own units (and the revenue on their contracts): without statistics SQLite walks
    // every rented unit or active contract of the office once per property instead.
    static const QString sql
        = kWithFigures + QStringLiteral("FROM properties p ORDER BY p.created_at DESC, p.id DESC");
    return m_db->execQuery(sql);
}

QVariantMap PropertyModel::getById(int id)
{
    const QVariantList rows = m_db->execQuery(QStringLiteral("SELECT * FROM properties WHERE id=?"), { id });
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

int PropertyModel::add(const QString& name, const QString& type, const QString& address, const QString& city,
    const QString& description)
{
    clearRefusal();
    if (name.trimmed().isEmpty()) {
        qCWarning(lcProperties) << "refused a property without a name";
        return refuseRow(QStringLiteral("أدخل اسم العقار"));
    }
    // The project cost centre is the root every unit hangs under; a property without it would
    // make the first unit repair the tree later, so both rows are written or neither.
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return refuseUnsavedRow();
    const int id = m_db->execInsert(
        QStringLiteral("INSERT INTO properties (name,type,address,city,description) VALUES (?,?,?,?,?)"),
        { name, type, address, city, description });
    if (id <= 0)
        return refuseUnsavedRow();
    const int centre
        = m_db->execInsert(QStringLiteral("INSERT INTO cost_centers (name,type,property_id) VALUES (?,?,?)"),
            { name, QStringLiteral("project"), id });
    if (centre <= 0 || !tx.commit()) {
        qCWarning(lcProperties) << "could not write the project cost centre of property" << name;
        return refuseUnsavedRow();
    }
    emit dataChanged();
    return id;
}

bool PropertyModel::exists(int id) const
{
    return m_db->scalar(QStringLiteral("SELECT 1 FROM properties WHERE id=?"), { id }).isValid();
}

bool PropertyModel::update(int id, const QString& name, const QString& type, const QString& address,
    const QString& city, const QString& description)
{
    if (name.trimmed().isEmpty())
        return false;
    TransactionGuard tx(m_db);
    if (!tx.isActive() || !exists(id))
        return false;
    const bool updated = m_db->execNonQuery(QStringLiteral(R"(
        UPDATE properties SET name=?,type=?,address=?,city=?,description=?,updated_at=datetime('now')
        WHERE id=?)"),
        { name, type, address, city, description, id });
    // The project reports label the tree's root with the centre's own name: keep it the
    // property's name.
    const bool renamed = updated
        && m_db->execNonQuery(
            QStringLiteral(
                "UPDATE cost_centers SET name=? WHERE property_id=? AND type='project' AND unit_id IS NULL"),
            { name, id });
    if (!renamed || !tx.commit())
        return false;
    emit dataChanged();
    return true;
}

bool PropertyModel::remove(int id)
{
    // Anything that records what happened in the property (a contract, a bill, money in or out,
    // a sale schedule, a repair, a meter reading) keeps it alive; so does a unit that is let or
    // sold. Expenses carry the property in project_id too, and a unit's cost in unit_id.
    static const QString historySql = QStringLiteral(R"(
        SELECT EXISTS(SELECT 1 FROM units WHERE property_id=? AND status IS NOT 'available')
            OR EXISTS(SELECT 1 FROM contracts WHERE unit_id IN (SELECT id FROM units WHERE property_id=?))
            OR EXISTS(SELECT 1 FROM invoices WHERE unit_id IN (SELECT id FROM units WHERE property_id=?))
            OR EXISTS(SELECT 1 FROM payments WHERE unit_id IN (SELECT id FROM units WHERE property_id=?))
            OR EXISTS(SELECT 1 FROM installments WHERE unit_id IN (SELECT id FROM units WHERE property_id=?))
            OR EXISTS(SELECT 1 FROM usage_records WHERE unit_id IN (SELECT id FROM units WHERE property_id=?))
            OR EXISTS(SELECT 1 FROM expenses WHERE property_id=?)
            OR EXISTS(SELECT 1 FROM expenses
                      WHERE project_id=? OR unit_id IN (SELECT id FROM units WHERE property_id=?))
            OR EXISTS(SELECT 1 FROM maintenance_requests
                      WHERE property_id=? OR unit_id IN (SELECT id FROM units WHERE property_id=?)))");
    clearRefusal();
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return refuseUnsaved();
    const QVariant history = m_db->scalar(historySql, QVariantList(11, id));
    if (!history.isValid())
        return refuseUnsaved();
    if (history.toInt() != 0) {
        qCInfo(lcProperties) << "property" << id << "has history or let/sold units; not deleted";
        const int taken
            = m_db->scalar(
                      QStringLiteral(
                          "SELECT COUNT(*) FROM units WHERE property_id=? AND status IS NOT 'available'"),
                      { id })
                  .toInt();
        return refuse(taken > 0 ? QStringLiteral("في العقار %1 وحدة مؤجرة أو مباعة أو خارج الخدمة").arg(taken)
                                : QStringLiteral("للعقار سجل من عقود أو فواتير أو دفعات أو مصاريف أو صيانة"));
    }
    // One statement for the whole tree: foreign keys are checked at the end of the statement,
    // so parents and children of the tree can go together.
    const bool deleted = m_db->execNonQuery(QStringLiteral(R"(
            DELETE FROM cost_centers
            WHERE property_id=? OR unit_id IN (SELECT id FROM units WHERE property_id=?))"),
                             { id, id })
        && m_db->execNonQuery(QStringLiteral("DELETE FROM units WHERE property_id=?"), { id })
        && m_db->execNonQuery(QStringLiteral("DELETE FROM properties WHERE id=?"), { id });
    if (!deleted || !tx.commit()) {
        qCWarning(lcProperties) << "could not delete property" << id;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

QVariantMap PropertyModel::getStats(int id)
{
    // The unary plus keeps the counts on the property's units, not on every unit of a status.
    static const QString sql = QStringLiteral(R"(
        SELECT (SELECT COUNT(*) FROM units WHERE property_id=?) as total_units,
               (SELECT COUNT(*) FROM units WHERE property_id=? AND +status='rented') as rented,
               (SELECT COUNT(*) FROM units WHERE property_id=? AND +status='available') as available,
               (SELECT COUNT(*) FROM units WHERE property_id=? AND +status='sold') as sold,
               (SELECT COUNT(*) FROM units WHERE property_id=? AND +status='maintenance') as maintenance,
               (SELECT COALESCE(SUM(p.amount),0) FROM invoices i
                  JOIN payments p ON p.invoice_id=i.id
                 WHERE i.unit_id IN (SELECT id FROM units WHERE property_id=?)) as total_income,
               (SELECT COALESCE(SUM(amount),0) FROM expenses WHERE property_id=?) as total_expenses)");
    const QVariantList rows = m_db->execQuery(sql, QVariantList(7, id));
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

QVariantList PropertyModel::search(const QString& query)
{
    const QString pattern = QLatin1Char('%') + query + QLatin1Char('%');
    return m_db->execQuery(
        QStringLiteral("SELECT * FROM properties WHERE name LIKE ? OR city LIKE ? OR address LIKE ?"),
        { pattern, pattern, pattern });
}

QVariantList PropertyModel::getPage(int offset, int limit, const QString& search)
{
    if (limit < 1)
        return {};
    // The figures are worked out for the rows of the page only, not for every property before
    // the page is cut; the unary plus keeps them on the property's own units, as in getAll().
    static const QString sql = kWithFigures + QStringLiteral(R"(
        FROM (SELECT * FROM properties
              WHERE ?=1 OR name LIKE ? ESCAPE '\' OR city LIKE ? ESCAPE '\' OR address LIKE ? ESCAPE '\'
              ORDER BY created_at DESC, id DESC LIMIT ? OFFSET ?) p
        ORDER BY p.created_at DESC, p.id DESC)");
    const QString pattern = ListPaging::containsPattern(search);
    return m_db->execQuery(sql, { pattern.isEmpty(), pattern, pattern, pattern, limit, qMax(0, offset) });
}
