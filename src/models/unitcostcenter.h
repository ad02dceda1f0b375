#pragma once

#include <QVariant>

class Database;

/**
 * The cost centre that money taken for a unit is booked to: the unit's own centre, the oldest one
 * when a unit has several. Returns an invalid variant when the unit has none, which binds as NULL,
 * so a sale or collection on a unit without a centre still records its payment.
 */
[[nodiscard]] QVariant unitCostCenterId(Database* db, int unitId);
