#include "rentalfixtures.h"

#include "buyermodel.h"
#include "contractmodel.h"
#include "database.h"
#include "propertymodel.h"
#include "tenantmodel.h"
#include "unitmodel.h"

#include <QTest>

namespace RentalFixtures {

namespace {

int checked(int id, const char* what)
{
    if (id <= 0)
        QTest::qFail(what, __FILE__, __LINE__);
    return id > 0 ? id : -1;
}

} // namespace

int addProperty(Database* db, const QString& name)
{
    PropertyModel model(db);
    return checked(model.add(name, QStringLiteral("residential"), QStringLiteral("شارع القدس"),
                       QStringLiteral("رام الله"), QString()),
        "fixture: property refused");
}

int addUnit(Database* db, int propertyId, const QString& number, int floor, double rentMonthly)
{
    UnitModel model(db);
    return checked(model.add(propertyId, number, floor, 100.0, 3, rentMonthly, rentMonthly * 12, 0.0, 1),
        "fixture: unit refused");
}

int addTenant(Database* db, const QString& name, const QString& idNumber)
{
    TenantModel model(db);
    return checked(model.add(name, idNumber, QStringLiteral("0599000000"), QString(), QString()),
        "fixture: tenant refused");
}

int addContract(Database* db, int unitId, int tenantId, const QString& start, const QString& end, double rent,
    const QString& frequency)
{
    ContractModel model(db);
    return checked(
        model.add(unitId, tenantId, start, end, rent, frequency, 0.0, 1), "fixture: contract refused");
}

int addUnitHistory(Database* db, const QString& kind, int unitId)
{
    const QVariant propertyId
        = db->scalar(QStringLiteral("SELECT property_id FROM units WHERE id=?"), { unitId });
    const auto tenant = [db] {
        return db->execInsert(
            QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { QStringLiteral("سابق") });
    };
    const auto buyer = [db] {
        return db->execInsert(
            QStringLiteral("INSERT INTO buyers (full_name) VALUES (?)"), { QStringLiteral("مشترٍ") });
    };
    int id = -1;
    if (kind == QLatin1String("contract")) {
        id = db->execInsert(QStringLiteral(R"(
            INSERT INTO contracts (unit_id,tenant_id,start_date,end_date,rent_amount,status)
            VALUES (?,?,'2023-01-01','2023-12-31',900,'terminated'))"),
            { unitId, tenant() });
    } else if (kind == QLatin1String("invoice")) {
        id = db->execInsert(QStringLiteral(R"(
            INSERT INTO invoices (invoice_number,tenant_id,unit_id,period,total_amount,balance,due_date)
            VALUES (?,?,?,'2024-05',300,300,'2024-05-28'))"),
            { QStringLiteral("INV-HIST-%1").arg(unitId), tenant(), unitId });
    } else if (kind == QLatin1String("payment")) {
        id = db->execInsert(QStringLiteral(R"(
            INSERT INTO payments (buyer_id,unit_id,amount,payment_method,payment_date)
            VALUES (?,?,5000,'cash','2024-02-01'))"),
            { buyer(), unitId });
    } else if (kind == QLatin1String("installment")) {
        id = db->execInsert(QStringLiteral(R"(
            INSERT INTO installments (buyer_id,unit_id,total_price,installment_amount,due_date)
            VALUES (?,?,60000,5000,'2024-03-01'))"),
            { buyer(), unitId });
    } else if (kind == QLatin1String("expense")) {
        id = db->execInsert(QStringLiteral(R"(
            INSERT INTO expenses (unit_id,category,amount,expense_date) VALUES (?,'صيانة',120,'2024-04-04'))"),
            { unitId });
    } else if (kind == QLatin1String("maintenance")) {
        id = db->execInsert(
            QStringLiteral("INSERT INTO maintenance_requests (unit_id,property_id,title) VALUES (?,?,?)"),
            { unitId, propertyId, QStringLiteral("تسريب مياه") });
    } else if (kind == QLatin1String("usage")) {
        const int service = db->execInsert(
            QStringLiteral("INSERT INTO services (name) VALUES (?)"), { QStringLiteral("مياه") });
        id = db->execInsert(QStringLiteral(R"(
            INSERT INTO usage_records (unit_id,service_id,period,consumption,cost) VALUES (?,?,'2024-05',12,36))"),
            { unitId, service });
    }
    return checked(id, "fixture: history row refused");
}

int addBuyer(Database* db, const QString& name)
{
    BuyerModel model(db);
    return checked(model.add(name, QString(), QString(), QString(), QString()), "fixture: buyer refused");
}

QVariantMap item(const QString& description, double total)
{
    return { { QStringLiteral("description"), description }, { QStringLiteral("quantity"), 1 },
        { QStringLiteral("unit_price"), total }, { QStringLiteral("total"), total } };
}

void failOn(Database* db, const QString& event, const QString& table)
{
    // Test code only: the names are fixed by the test, never user input.
    const bool made = db->isServer()
        ? db->execNonQuery(
              QStringLiteral("CREATE OR REPLACE FUNCTION forced_failure() RETURNS trigger "
                             "LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'forced failure'; END $$"))
            && db->execNonQuery(QStringLiteral("CREATE TRIGGER fail_%1_%2 BEFORE %1 ON %2 FOR EACH ROW "
                                               "EXECUTE FUNCTION forced_failure()")
                                    .arg(event, table))
        : db->execNonQuery(QStringLiteral("CREATE TRIGGER fail_%1_%2 BEFORE %1 ON %2 "
                                          "BEGIN SELECT RAISE(ABORT, 'forced failure'); END")
                               .arg(event, table));
    if (!made)
        QTest::qFail("fixture: failure trigger refused", __FILE__, __LINE__);
}

bool failWhen(Database* db, const QString& name, const QString& event, const QString& condition)
{
    if (!db->isServer()) {
        return db->execNonQuery(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 WHEN %3 "
                                               "BEGIN SELECT RAISE(ABORT, 'forced failure'); END")
                                    .arg(name, event, condition));
    }
    return db->execNonQuery(
               QStringLiteral("CREATE FUNCTION %1_fails() RETURNS trigger LANGUAGE plpgsql AS $$ "
                              "BEGIN IF %2 THEN RAISE EXCEPTION 'forced failure'; END IF; "
                              "RETURN NEW; END $$")
                   .arg(name, condition))
        && db->execNonQuery(
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 FOR EACH ROW EXECUTE FUNCTION %1_fails()")
                .arg(name, event));
}

bool stopFailing(Database* db, const QString& name, const QString& table)
{
    return db->execNonQuery(db->isServer() ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table)
                                           : QStringLiteral("DROP TRIGGER %1").arg(name));
}

} // namespace RentalFixtures
