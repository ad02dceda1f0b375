#pragma once

#include <QString>
#include <QVariantMap>

class Database;

/**
 * Builds office data through the real models, so the rows are exactly what the program writes
 * (cost centres included). Each helper returns the new id; when the model refuses, it records a
 * failure of the running test (QTest::qFail) and returns -1, so the caller's next check stops it.
 */
namespace RentalFixtures {

int addProperty(Database* db, const QString& name = QStringLiteral("برج النخيل"));
int addUnit(Database* db, int propertyId, const QString& number, int floor = 1, double rentMonthly = 1000.0);
int addTenant(Database* db, const QString& name, const QString& idNumber = QString());
int addContract(Database* db, int unitId, int tenantId, const QString& start, const QString& end, double rent,
    const QString& frequency = QStringLiteral("monthly"));

/**
 * Writes one record of history about a unit the way the other parts of the program would:
 * "contract" (terminated), "invoice", "payment" (a buyer's), "installment", "expense",
 * "maintenance" or "usage" (a meter reading). Returns the new row id, or -1.
 */
int addUnitHistory(Database* db, const QString& kind, int unitId);

int addBuyer(Database* db, const QString& name = QStringLiteral("نادر المصري"));

/** An invoice line of `total`, as the custom invoice dialog builds it. */
QVariantMap item(const QString& description, double total);

/** Makes every `event` ("INSERT" or "UPDATE") on `table` fail from now on, to test rollbacks. */
void failOn(Database* db, const QString& event, const QString& table);
/**
 * Makes a write fail when `condition` (on NEW) holds: `event` is "INSERT ON table", "UPDATE OF
 * column ON table" and the like; on a file or on a server alike. False when it could not.
 */
bool failWhen(Database* db, const QString& name, const QString& event, const QString& condition);
/** Takes a fault of failWhen() away again. */
bool stopFailing(Database* db, const QString& name, const QString& table);

} // namespace RentalFixtures
