#include "billingfixtures.h"

#include "database.h"

#include <QVariantMap>

namespace BillingFixtures {

namespace {

int insert(Database* db, const QString& sql, const QVariantList& params)
{
    const int id = db->execInsert(sql, params);
    if (id <= 0)
        qFatal("fixture insert failed: %s", qPrintable(sql));
    return id;
}

void run(Database* db, const QString& sql, const QVariantList& params = {})
{
    if (!db->execNonQuery(sql, params))
        qFatal("fixture statement failed: %s", qPrintable(sql));
}

} // namespace

int addProperty(Database* db, const QString& name)
{
    return insert(db, QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { name });
}

int addUnit(Database* db, int propertyId, const QString& number, int floor)
{
    return insert(db, QStringLiteral("INSERT INTO units (property_id, unit_number, floor) VALUES (?, ?, ?)"),
        { propertyId, number, floor });
}

int addTenant(Database* db, const QString& name)
{
    return insert(db, QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { name });
}

int addContract(Database* db, int unitId, int tenantId, const QString& start, const QString& end, double rent,
    const QString& frequency, const QString& status)
{
    const int id = insert(db,
        QStringLiteral("INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, "
                       "payment_frequency, status, currency_id) VALUES (?, ?, ?, ?, ?, ?, ?, 1)"),
        { unitId, tenantId, start, end, rent, frequency, status });
    if (status == QLatin1String("active"))
        run(db, QStringLiteral("UPDATE units SET status='rented' WHERE id=?"), { unitId });
    return id;
}

int addContractor(Database* db, const QString& name)
{
    return insert(db, QStringLiteral("INSERT INTO contractors (name) VALUES (?)"), { name });
}

int addUsage(Database* db, int unitId, int serviceId, const QString& period, double consumption, double cost)
{
    return insert(db,
        QStringLiteral("INSERT INTO usage_records (unit_id, service_id, period, consumption, cost) "
                       "VALUES (?, ?, ?, ?, ?)"),
        { unitId, serviceId, period, consumption, cost });
}

int serviceId(Database* db, const QString& name)
{
    const int id
        = db->scalar(QStringLiteral("SELECT id FROM services WHERE name=? ORDER BY id LIMIT 1"), { name })
              .toInt();
    if (id <= 0)
        qFatal("no seeded service named %s", qPrintable(name));
    return id;
}

void addManyContracts(Database* db, int count, const QString& start, const QString& end, double rent)
{
    const int property = addProperty(db, QStringLiteral("مجمع كبير"));
    const int firstUnit = db->scalar(QStringLiteral("SELECT COALESCE(MAX(id),0) FROM units")).toInt() + 1;
    const int firstTenant = db->scalar(QStringLiteral("SELECT COALESCE(MAX(id),0) FROM tenants")).toInt() + 1;
    run(db,
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                       "INSERT INTO units (id, property_id, unit_number, floor, status) "
                       "SELECT ? + i, ?, 'B-' || i, 1, 'rented' FROM n"),
        { count, firstUnit, property });
    run(db,
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                       "INSERT INTO tenants (id, full_name) SELECT ? + i, 'tenant ' || i FROM n"),
        { count, firstTenant });
    run(db,
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                       "INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, "
                       "payment_frequency, status, currency_id) "
                       "SELECT ? + i, ? + i, ?, ?, ?, 'monthly', 'active', 1 FROM n"),
        { count, firstUnit, firstTenant, start, end, rent });
}

double tenantBalance(Database* db, int tenantId)
{
    return field(db, QStringLiteral("tenants"), tenantId, QStringLiteral("balance")).toDouble();
}

double contractorBalance(Database* db, int contractorId)
{
    return field(db, QStringLiteral("contractors"), contractorId, QStringLiteral("balance")).toDouble();
}

QVariant field(Database* db, const QString& table, int id, const QString& column)
{
    return db->getById(table, id).value(column);
}

QVariantMap item(const QString& description, double total, const QVariant& quantity, const QString& type)
{
    QVariantMap map;
    map.insert(QStringLiteral("description"), description);
    map.insert(QStringLiteral("type"), type);
    map.insert(QStringLiteral("quantity"), quantity);
    map.insert(QStringLiteral("unit_price"), total);
    map.insert(QStringLiteral("total"), total);
    return map;
}

} // namespace BillingFixtures
