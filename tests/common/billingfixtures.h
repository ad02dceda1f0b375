#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

class Database;

/**
 * Rental data written straight into the tables, so the billing tests depend on nothing but the
 * schema. A helper whose statement fails stops the test program: nothing after it would mean anything.
 */
namespace BillingFixtures {

int addProperty(Database* db, const QString& name = QStringLiteral("برج النخيل"));
int addUnit(Database* db, int propertyId, const QString& number, int floor = 1);
int addTenant(Database* db, const QString& name);
int addContract(Database* db, int unitId, int tenantId, const QString& start, const QString& end, double rent,
    const QString& frequency = QStringLiteral("monthly"), const QString& status = QStringLiteral("active"));
int addContractor(Database* db, const QString& name);
int addUsage(Database* db, int unitId, int serviceId, const QString& period, double consumption, double cost);
/** A seeded service by name (the default data ships "مياه", "كهرباء", ...). */
int serviceId(Database* db, const QString& name);

/**
 * `count` active monthly contracts, each on its own unit and tenant in one property, running
 * from `start` to `end`; written in a handful of statements so large runs stay quick to set up.
 */
void addManyContracts(Database* db, int count, const QString& start, const QString& end, double rent);

double tenantBalance(Database* db, int tenantId);
double contractorBalance(Database* db, int contractorId);
/** One column of one row, by id. */
QVariant field(Database* db, const QString& table, int id, const QString& column);

/** An invoice item map as the custom invoice dialog builds it. */
QVariantMap item(const QString& description, double total, const QVariant& quantity = 1,
    const QString& type = QStringLiteral("service"));

} // namespace BillingFixtures
