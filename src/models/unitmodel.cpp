#include "unitmodel.h"

#include "costcentertree.h"
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

const QString kAvailable = QStringLiteral("available");
// Out of service (under repair): offered for neither a contract nor a sale.
const QString kOutOfService = QStringLiteral("maintenance");

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
    : Refusable(parent)
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

int UnitModel::add(int propertyId, const QString& number, int floor, double area, int rooms,
    double rentMonthly, double rentYearly, double salePrice, int currencyId)
{
    clearRefusal();
    UnitFigures figures;
    if (propertyId <= 0 || !readFigures(number, area, rooms, rentMonthly, rentYearly, salePrice, &figures)) {
        qCWarning(lcUnits) << "refused unit" << number << "of property" << propertyId << ": bad figures";
        return refuseRow(number.trimmed().isEmpty()
                ? QStringLiteral("أدخل رقم الوحدة")
                : QStringLiteral("أرقام الوحدة غير صالحة: المساحة والغرف والمبالغ من صفر فأكثر"));
    }
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return refuseUnsavedRow();
    if (m_db->scalar(QStringLiteral("SELECT 1 FROM units WHERE property_id=? AND unit_number=?"),
                { propertyId, number })
            .isValid())
        return refuseRow(QStringLiteral("الوحدة رقم %1 موجودة في هذا العقار").arg(number));
    const int id = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO units (property_id,unit_number,floor,area,rooms,rent_monthly,rent_yearly,sale_price,currency_id)
        VALUES (?,?,?,?,?,?,?,?,?))"),
        { propertyId, number, floor, figures.area, rooms, figures.rentMonthly, figures.rentYearly,
            figures.salePrice, currencyId });
    if (id <= 0)
        return refuseUnsavedRow();
    // The project reports rest on this tree: a unit is written with its centre or not at all.
    const bool planted = CostCenterTree(m_db).plantUnit(id, propertyId, number, floor);
    if (!planted || !tx.commit()) {
        qCWarning(lcUnits) << "could not write the cost centres of unit" << number << "; nothing kept";
        return refuseUnsavedRow();
    }
    emit dataChanged();
    return id;
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
    const bool moved = sameNode
        || CostCenterTree(m_db).moveUnit(id, old.value(QStringLiteral("property_id")).toInt(), number, floor);
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
    clearRefusal();
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return refuseUnsaved();
    const QVariant status = m_db->scalar(QStringLiteral("SELECT status FROM units WHERE id=?"), { id });
    if (!status.isValid())
        return true;
    if (status.toString() == QLatin1String("rented"))
        return refuse(QStringLiteral("الوحدة مؤجرة حالياً"));
    if (status.toString() == QLatin1String("sold"))
        return refuse(QStringLiteral("الوحدة مباعة"));
    if (status.toString() != QLatin1String("available"))
        return refuse(QStringLiteral("الوحدة خارج الخدمة، أعدها إلى الخدمة أولاً"));
    bool ok = false;
    if (hasHistory(id, &ok) || !ok) {
        qCInfo(lcUnits) << "unit" << id << "has history; not deleted";
        return ok ? refuse(QStringLiteral("للوحدة سجل من عقود أو فواتير أو دفعات أو صيانة"))
                  : refuseUnsaved();
    }
    const QVariantList parents = m_db->execQuery(
        QStringLiteral(
            "SELECT DISTINCT parent_id FROM cost_centers WHERE unit_id=? AND parent_id IS NOT NULL"),
        { id });
    bool deleted = m_db->execNonQuery(QStringLiteral("DELETE FROM cost_centers WHERE unit_id=?"), { id });
    CostCenterTree tree(m_db);
    for (const QVariant& row : parents)
        deleted = deleted && tree.dropFloorIfEmpty(row.toMap().value(QStringLiteral("parent_id")));
    deleted = deleted && m_db->execNonQuery(QStringLiteral("DELETE FROM units WHERE id=?"), { id });
    if (!deleted || !tx.commit()) {
        qCWarning(lcUnits) << "could not delete unit" << id;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

bool UnitModel::updateStatus(int id, const QString& status)
{
    // 'rented' and 'sold' are written by a contract and a sale, together with the rows that stand
    // behind them; set by hand they would show a unit let or sold that nobody holds. By hand a free
    // unit is only taken out of service and put back.
    clearRefusal();
    const bool takeOut = status == kOutOfService;
    if (!takeOut && status != kAvailable) {
        qCWarning(lcUnits) << "refused to set unit" << id << "to" << status;
        return refuse(QStringLiteral("تُؤجر الوحدة بعقد وتُباع ببيع، ولا تُغير حالتها إلى ذلك يدوياً"));
    }
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return refuseUnsaved();
    const QVariant current = m_db->scalar(QStringLiteral("SELECT status FROM units WHERE id=?"), { id });
    if (!current.isValid())
        return refuse(QStringLiteral("الوحدة غير موجودة"));
    if (current.toString() == status)
        return true;
    if (current.toString() != (takeOut ? kAvailable : kOutOfService)) {
        qCInfo(lcUnits) << "unit" << id << "is" << current.toString() << "; not set to" << status;
        return refuse(QStringLiteral("لا تُخرج من الخدمة إلا وحدة متاحة"));
    }
    // An available unit has no active contract; a file written by hand might still hold one.
    if (takeOut
        && m_db->scalar(QStringLiteral("SELECT 1 FROM contracts WHERE unit_id=? AND status='active' LIMIT 1"),
                   { id })
               .isValid())
        return refuse(QStringLiteral("للوحدة عقد نشط"));
    if (!m_db->execNonQuery(QStringLiteral("UPDATE units SET status=? WHERE id=?"), { status, id })
        || !tx.commit())
        return refuseUnsaved();
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
    if (!status.isValid() || status.toString() == QLatin1String("sold") || status.toString() == kOutOfService)
        return false;
    if (!m_db->execNonQuery(
            QStringLiteral(
                "UPDATE units SET status='sold', buyer_id=?, sale_price_actual=?, sale_date=? WHERE id=?"),
            { buyerId, Money::roundToCents(price), date, unitId }))
        return false;
    emit dataChanged();
    return true;
}
