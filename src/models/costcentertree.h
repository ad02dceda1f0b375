#pragma once

#include <QString>
#include <QVariant>

class Database;

/**
 * The cost-centre tree of a property that the project reports rest on: a 'project' centre per
 * property, a 'floor' centre per floor number above 0 (shared by the units on that floor) and a
 * 'unit' centre per unit, hung under its floor, or under the project for floor 0 and below. Every
 * road by which a unit enters the books plants its centre here. Runs inside the caller's
 * transaction; a false or negative result means the caller must roll back.
 */
class CostCenterTree
{
public:
    explicit CostCenterTree(Database* db);

    /**
     * Writes the unit's centre, with the project and floor centres it hangs under when they are
     * missing. False when a statement failed or the property does not exist.
     */
    [[nodiscard]] bool plantUnit(int unitId, int propertyId, const QString& number, int floor);
    /**
     * Renames the unit's centre and hangs it under the centre of its new floor; an emptied floor
     * centre goes. A unit without a centre (written by an older version) is left without one.
     */
    [[nodiscard]] bool moveUnit(int unitId, int propertyId, const QString& number, int floor);
    /** Deletes a floor centre no centre hangs under any more; anything else is left alone. */
    [[nodiscard]] bool dropFloorIfEmpty(const QVariant& centreId);

private:
    [[nodiscard]] int projectCentre(int propertyId);
    [[nodiscard]] int floorCentre(int propertyId, int floor, int projectId);
    /** The id the unit's centre hangs under, 0 for none, -1 on failure. */
    [[nodiscard]] int parentFor(int propertyId, int floor);

    Database* m_db;
};
