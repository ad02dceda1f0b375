#include "salesfixtures.h"

#include "database.h"

#include <utility>

namespace SalesFixtures {

int addProperty(Database* db, const QString& name)
{
    return db->execInsert(QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { name });
}

int addUnit(Database* db, int propertyId, const QString& unitNumber, const QString& status)
{
    return db->execInsert(
        QStringLiteral("INSERT INTO units (property_id, unit_number, status) VALUES (?, ?, ?)"),
        { propertyId, unitNumber, status });
}

int addUnitCostCenter(Database* db, int unitId, const QString& name)
{
    return db->execInsert(
        QStringLiteral("INSERT INTO cost_centers (name, type, property_id, unit_id) "
                       "VALUES (?, 'unit', (SELECT property_id FROM units WHERE id = ?), ?)"),
        { name, unitId, unitId });
}

int addBuyer(Database* db, const QString& name, double balance)
{
    return db->execInsert(
        QStringLiteral("INSERT INTO buyers (full_name, balance) VALUES (?, ?)"), { name, balance });
}

void addRates(Database* db)
{
    for (const auto& [currency, rate] : { std::pair { 2, 3.6 }, std::pair { 3, 5.1 } })
        db->execInsert(
            QStringLiteral("INSERT INTO exchange_rates (from_currency_id, to_currency_id, rate, date) "
                           "VALUES (?, 1, ?, '2000-01-01')"),
            { currency, rate });
}

int addTenant(Database* db, const QString& name)
{
    return db->execInsert(QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { name });
}

void failOn(Database* db, const QString& event, const QString& table)
{
    // Test code only: the names are fixed by the test, never user input.
    const QString sql = QStringLiteral(
        "CREATE TRIGGER fail_%1_%2 BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'forced failure'); END")
                            .arg(event.toLower(), table);
    if (!db->execNonQuery(sql))
        qFatal("could not install the failure trigger on %s", qPrintable(table));
}

} // namespace SalesFixtures
