#include "costcentertree.h"

#include "database.h"

namespace {

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

} // namespace

CostCenterTree::CostCenterTree(Database* db)
    : m_db(db)
{ }

int CostCenterTree::projectCentre(int propertyId)
{
    // Properties that came in by another road (an older file) may lack their root; the first unit
    // added to them plants it, named after the property.
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

int CostCenterTree::floorCentre(int propertyId, int floor, int projectId)
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

int CostCenterTree::parentFor(int propertyId, int floor)
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

bool CostCenterTree::plantUnit(int unitId, int propertyId, const QString& number, int floor)
{
    const int parent = parentFor(propertyId, floor);
    return parent >= 0
        && m_db->execInsert(QStringLiteral(R"(
               INSERT INTO cost_centers (name, type, property_id, unit_id, parent_id) VALUES (?,?,?,?,?))"),
               { unitCentreName(number), QStringLiteral("unit"), propertyId, unitId, idOrNull(parent) })
        > 0;
}

bool CostCenterTree::dropFloorIfEmpty(const QVariant& centreId)
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

bool CostCenterTree::moveUnit(int unitId, int propertyId, const QString& number, int floor)
{
    const QVariantList centres = m_db->execQuery(
        QStringLiteral("SELECT parent_id FROM cost_centers WHERE unit_id=? AND type='unit'"), { unitId });
    if (centres.isEmpty())
        return true;
    const int parent = parentFor(propertyId, floor);
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
