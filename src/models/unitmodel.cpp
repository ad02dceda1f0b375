#include "unitmodel.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcUnits, "darvelinto.units")

namespace {

const QString kSelectUnits = QStringLiteral(R"(
    SELECT u.*, p.name as property_name
    FROM units u JOIN properties p ON u.property_id=p.id)");

QString floorCentreName(int floor)
{
    return QStringLiteral("الطابق %1").arg(floor);
}

QString unitCentreName(const QString& number)
{
    return QStringLiteral("شقة / وحدة %1").arg(number);
}

QVariant idOrNull(int id)
{
    return id > 0 ? QVariant(id) : QVariant();
}

// The pages hand over parseFloat() of a field as it stands: an empty field arrives as NaN and
// means "not given"; an infinity or a negative figure is a typing mistake and is refused.
bool readAmount(double value, const QVariant& notGiven, QVariant* out)
{
    if (std::isnan(value)) {
        *out = notGiven;
        return true;
    }
    if (!std::isfinite(value) || value < 0)
        return false;
    *out = value;
    return true;
}

struct UnitFigures
{
    QVariant area;
    QVariant rentMonthly;
    QVariant rentYearly;
    QVariant salePrice;
};

bool readFigures(const QString& number, double area, int rooms, double rentMonthly, double rentYearly,
    double salePrice, UnitFigures* out)
{
    return !number.trimmed().isEmpty() && rooms >= 0 && readAmount(area, QVariant(), &out->area)
        && readAmount(rentMonthly, 0.0, &out->rentMonthly) && readAmount(rentYearly, 0.0, &out->rentYearly)
        && readAmount(salePrice, 0.0, &out->salePrice);
}

} // namespace

UnitModel::UnitModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

QVariantList UnitModel::getByProperty(int propertyId)
{
    return m_db->execQuery(
        kSelectUnits + QStringLiteral(" WHERE u.property_id=? ORDER BY u.unit_number"), { propertyId });
}

QVariantList UnitModel::getAll()
{
    return m_db->execQuery(kSelectUnits + QStringLiteral(" ORDER BY p.name, u.unit_number"));
}

QVariantMap UnitModel::getById(int id)
{
    const QVariantList rows = m_db->execQuery(kSelectUnits + QStringLiteral(" WHERE u.id=?"), { id });
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

QVariantList UnitModel::getAvailable()
{
    return m_db->execQuery(
        kSelectUnits + QStringLiteral(" WHERE u.status='available' ORDER BY p.name, u.unit_number"));
}

bool UnitModel::exists(int id) const
{
    return m_db->scalar(QStringLiteral("SELECT 1 FROM units WHERE id=?"), { id }).isValid();
}

int UnitModel::projectCentre(int propertyId)
{
    // Properties that came in by another road (an import, an older file) may lack their root;
    // the first unit added to them plants it, named after the property.
    const QVariant existing = m_db->scalar(
        QStringLiteral(
            "SELECT id FROM cost_centers WHERE property_id=? AND type='project' ORDER BY id LIMIT 1"),
        { propertyId });
    if (existing.isValid())
        return existing.toInt();
    const QVariant name
        = m_db->scalar(QStringLiteral("SELECT name FROM properties WHERE id=?"), { propertyId });
    if (!name.isValid())
        return 0;
    const int id = m_db->execInsert(
        QStringLiteral("INSERT INTO cost_centers (name, type, property_id) VALUES (?,?,?)"),
        { name, QStringLiteral("project"), propertyId });
    return id > 0 ? id : -1;
}

int UnitModel::floorCentre(int propertyId, int floor, int projectId)
{
    const QString name = floorCentreName(floor);
    const QVariant existing = m_db->scalar(QStringLiteral(R"(
        SELECT id FROM cost_centers
        WHERE property_id=? AND unit_id IS NULL AND type='floor' AND name=? LIMIT 1)"),
        { propertyId, name });
    if (existing.isValid())
        return existing.toInt();
    const int id = m_db->execInsert(
        QStringLiteral("INSERT INTO cost_centers (name, type, property_id, parent_id) VALUES (?,?,?,?)"),
        { name, QStringLiteral("floor"), propertyId, idOrNull(projectId) });
    return id > 0 ? id : -1;
}

int UnitModel::parentCentreFor(int propertyId, int floor)
{
    const int project = projectCentre(propertyId);
    if (project < 0)
        return -1;
    // Ground floor and basements hang directly under the project.
    if (floor <= 0)
        return project;
    const int floorId = floorCentre(propertyId, floor, project);
    if (floorId < 0)
        return -1;
    return floorId > 0 ? floorId : project;
}

bool UnitModel::dropFloorIfEmpty(const QVariant& centreId)
{
    if (centreId.isNull())
        return true;
    // A floor centre is shared by every unit on the floor: it goes only with the last of them.
    return m_db->execNonQuery(QStringLiteral(R"(
        DELETE FROM cost_centers
        WHERE id=? AND type='floor' AND unit_id IS NULL
          AND NOT EXISTS (SELECT 1 FROM cost_centers c WHERE c.parent_id=?))"),
        { centreId, centreId });
}

int UnitModel::add(int propertyId, const QString& number, int floor, double area, int rooms,
    double rentMonthly, double rentYearly, double salePrice, int currencyId)
{
    UnitFigures figures;
    if (propertyId <= 0 || !readFigures(number, area, rooms, rentMonthly, rentYearly, salePrice, &figures)) {
        qCWarning(lcUnits) << "refused unit" << number << "of property" << propertyId << ": bad figures";
        return -1;
    }
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return -1;
    const int id = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO units (property_id,unit_number,floor,area,rooms,rent_monthly,rent_yearly,sale_price,currency_id)
        VALUES (?,?,?,?,?,?,?,?,?))"),
        { propertyId, number, floor, figures.area, rooms, figures.rentMonthly, figures.rentYearly,
            figures.salePrice, currencyId });
    if (id <= 0)
        return -1;
    // The project reports rest on this tree: a unit is written with its centre or not at all.
    const int parent = parentCentreFor(propertyId, floor);
    static const QString centreSql = QStringLiteral(R"(
        INSERT INTO cost_centers (name, type, property_id, unit_id, parent_id) VALUES (?,?,?,?,?))");
    const bool planted = parent >= 0
        && m_db->execInsert(centreSql,
               { unitCentreName(number), QStringLiteral("unit"), propertyId, id, idOrNull(parent) })
            > 0;
    if (!planted || !tx.commit()) {
        qCWarning(lcUnits) << "could not write the cost centres of unit" << number << "; nothing kept";
        return -1;
    }
    emit dataChanged();
    return id;
}

bool UnitModel::moveUnitCentre(int unitId, int propertyId, const QString& number, int floor)
{
    const QVariantList centres = m_db->execQuery(
        QStringLiteral("SELECT parent_id FROM cost_centers WHERE unit_id=? AND type='unit'"), { unitId });
    // Units that entered by another road (the CSV import) have no centre and get none here.
    if (centres.isEmpty())
        return true;
    const int parent = parentCentreFor(propertyId, floor);
    if (parent < 0)
        return false;
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE cost_centers SET name=?, parent_id=? WHERE unit_id=? AND type='unit'"),
            { unitCentreName(number), idOrNull(parent), unitId }))
        return false;
    for (const QVariant& row : centres) {
        const QVariant oldParent = row.toMap().value(QStringLiteral("parent_id"));
        if (oldParent.toInt() != parent && !dropFloorIfEmpty(oldParent))
            return false;
    }
    return true;
}

bool UnitModel::update(int id, const QString& number, int floor, double area, int rooms, double rentMonthly,
    double rentYearly, double salePrice)
{
    UnitFigures figures;
    if (!readFigures(number, area, rooms, rentMonthly, rentYearly, salePrice, &figures))
        return false;
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return false;
    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT property_id, unit_number, floor FROM units WHERE id=?"), { id });
    if (rows.isEmpty())
        return false;
    const QVariantMap old = rows.first().toMap();
    if (!m_db->execNonQuery(QStringLiteral(R"(
            UPDATE units SET unit_number=?,floor=?,area=?,rooms=?,rent_monthly=?,rent_yearly=?,sale_price=?
            WHERE id=?)"),
            { number, floor, figures.area, rooms, figures.rentMonthly, figures.rentYearly, figures.salePrice,
                id }))
        return false;
    // The floor figures of the project report add up the units hung under each floor centre, so
    // a unit that moves floor moves in the tree too.
    const bool sameNode = old.value(QStringLiteral("unit_number")).toString() == number
        && old.value(QStringLiteral("floor")).toInt() == floor;
    const bool moved
        = sameNode || moveUnitCentre(id, old.value(QStringLiteral("property_id")).toInt(), number, floor);
    if (!moved || !tx.commit()) {
        qCWarning(lcUnits) << "could not update unit" << id;
        return false;
    }
    emit dataChanged();
    return true;
}

bool UnitModel::hasHistory(int unitId, bool* ok) const
{
    // Expenses also carry the unit id in cost_center_id, never without unit_id.
    static const QString sql = QStringLiteral(R"(
        SELECT EXISTS(SELECT 1 FROM contracts WHERE unit_id=?)
            OR EXISTS(SELECT 1 FROM invoices WHERE unit_id=?)
            OR EXISTS(SELECT 1 FROM payments WHERE unit_id=?)
            OR EXISTS(SELECT 1 FROM installments WHERE unit_id=?)
            OR EXISTS(SELECT 1 FROM expenses WHERE unit_id=?)
            OR EXISTS(SELECT 1 FROM maintenance_requests WHERE unit_id=?)
            OR EXISTS(SELECT 1 FROM usage_records WHERE unit_id=?))");
    const QVariant result = m_db->scalar(sql, QVariantList(7, unitId));
    *ok = result.isValid();
    return result.toInt() != 0;
}

bool UnitModel::remove(int id)
{
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return false;
    const QVariant status = m_db->scalar(QStringLiteral("SELECT status FROM units WHERE id=?"), { id });
    if (!status.isValid())
        return true;
    if (status.toString() != QLatin1String("available"))
        return false;
    bool ok = false;
    if (hasHistory(id, &ok) || !ok) {
        qCInfo(lcUnits) << "unit" << id << "has history; not deleted";
        return false;
    }
    const QVariantList parents = m_db->execQuery(
        QStringLiteral(
            "SELECT DISTINCT parent_id FROM cost_centers WHERE unit_id=? AND parent_id IS NOT NULL"),
        { id });
    bool deleted = m_db->execNonQuery(QStringLiteral("DELETE FROM cost_centers WHERE unit_id=?"), { id });
    for (const QVariant& row : parents)
        deleted = deleted && dropFloorIfEmpty(row.toMap().value(QStringLiteral("parent_id")));
    deleted = deleted && m_db->execNonQuery(QStringLiteral("DELETE FROM units WHERE id=?"), { id });
    if (!deleted || !tx.commit()) {
        qCWarning(lcUnits) << "could not delete unit" << id;
        return false;
    }
    emit dataChanged();
    return true;
}

bool UnitModel::updateStatus(int id, const QString& status)
{
    static const QStringList statuses
        = { QStringLiteral("available"), QStringLiteral("rented"), QStringLiteral("sold") };
    if (!statuses.contains(status) || !exists(id))
        return false;
    if (!m_db->execNonQuery(QStringLiteral("UPDATE units SET status=? WHERE id=?"), { status, id }))
        return false;
    emit dataChanged();
    return true;
}

bool UnitModel::markAsSold(int unitId, int buyerId, double price, const QString& date)
{
    const QDate saleDate = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    // Stored as text and compared as text: only the exact form, and years from 1 on.
    if (!Money::isAmount(price) || price < 0 || !saleDate.isValid() || saleDate.year() < 1
        || saleDate.toString(QStringLiteral("yyyy-MM-dd")) != date)
        return false;
    // A sold unit keeps the buyer, price and date of its sale: marking it again would detach it
    // from the schedule and the payments that sale wrote.
    const QVariant status = m_db->scalar(QStringLiteral("SELECT status FROM units WHERE id=?"), { unitId });
    if (!status.isValid() || status.toString() == QLatin1String("sold"))
        return false;
    if (!m_db->execNonQuery(
            QStringLiteral(
                "UPDATE units SET status='sold', buyer_id=?, sale_price_actual=?, sale_date=? WHERE id=?"),
            { buyerId, Money::roundToCents(price), date, unitId }))
        return false;
    emit dataChanged();
    return true;
}
