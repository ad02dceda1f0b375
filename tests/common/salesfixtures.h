#pragma once

#include <QString>
#include <QVariant>

class Database;

/**
 * Rows the sales tests stand on, written with plain INSERTs so the tests do not depend on the
 * rental models. Each helper returns the new id (or -1 when the insert failed).
 */
namespace SalesFixtures {

/** The seeded primary currency (ILS). */
constexpr int kPrimaryCurrency = 1;

int addProperty(Database* db, const QString& name = QStringLiteral("برج الياسمين"));
int addUnit(Database* db, int propertyId, const QString& unitNumber,
    const QString& status = QStringLiteral("available"));
/** A cost centre of type 'unit' for the unit. */
int addUnitCostCenter(Database* db, int unitId, const QString& name = QStringLiteral("مركز الوحدة"));
int addBuyer(Database* db, const QString& name, double balance = 0);
int addTenant(Database* db, const QString& name);

/** Rates of the dollar and the dinar in shekels since long ago, so sales in them can be booked. */
void addRates(Database* db);

/** Installs a trigger that makes every statement of `event` on `table` fail, to test rollbacks. */
void failOn(Database* db, const QString& event, const QString& table);

} // namespace SalesFixtures
