// The rental register: properties and units with their cost-centre tree, tenants and contracts.
#include "clock.h"
#include "contractmodel.h"
#include "depositmodel.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "modeltest.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "rentalfixtures.h"
#include "reportcontroller.h"
#include "rowvalues.h"
#include "tenantmodel.h"
#include "unitmodel.h"

using namespace RentalFixtures;
using namespace Qt::StringLiterals;

class TestRentals : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<PropertyModel> m_properties;
    std::unique_ptr<UnitModel> m_units;
    std::unique_ptr<TenantModel> m_tenants;
    std::unique_ptr<ContractModel> m_contracts;
    std::unique_ptr<DepositModel> m_deposits;
    // What the refusal table stands on: a free unit, a tenant with an identity number, an active
    // and an ended contract on other units, and a unit marked sold.
    int m_property = 0;
    int m_unit = 0;
    int m_tenant = 0;
    int m_active = 0;
    int m_ended = 0;
    int m_sold = 0;
    int m_invoice = 0;
    int m_settled = 0;
    int m_renewed = 0;

    Database* db() const { return m_db->db(); }

    /** A property's cost centres in the order made: "type name < parent". */
    QStringList tree(int propertyId) const
    {
        return columnOf(
            db()->execQuery(R"(SELECT c.type || ' ' || c.name || COALESCE(' < ' || p.name, '') AS line
            FROM cost_centers c LEFT JOIN cost_centers p ON c.parent_id=p.id WHERE c.property_id=? ORDER BY c.id)",
                { propertyId }),
            "line");
    }
    int sign(int unit, int tenant, const QString& start, const QString& end, double rent = 1000,
        double deposit = 0, int currency = 1)
    {
        return m_contracts->add(unit, tenant, start, end, rent, "monthly", deposit, currency);
    }
    bool sell(int unit) { return m_units->markAsSold(unit, addBuyer(db()), 80000, "2025-02-01"); }
    bool addUnitWith(const QString& number, double area, int rooms, double rent, double price,
        int currency = 1, int property = 0)
    {
        return m_units->add(
                   property ? property : m_property, number, 3, area, rooms, rent, 0, price, currency)
            > 0;
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        Clock::setToday(QDate(2025, 6, 15));
        m_db = std::make_unique<TestDatabase>();
        m_properties = std::make_unique<PropertyModel>(db());
        m_units = std::make_unique<UnitModel>(db());
        m_tenants = std::make_unique<TenantModel>(db());
        m_contracts = std::make_unique<ContractModel>(db());
        m_deposits = std::make_unique<DepositModel>(db());
    }
    void cleanup()
    {
        m_db.reset();
        Clock::setToday(QDate());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("failing"); // a statement made to fail first: "EVENT table", or a trigger
        QTest::addColumn<Call>("call");
        const char* const s = "2025-01-01";
        const char* const e = "2025-12-31";
        refusal(
            "unknown property edited", [this] { return m_properties->update(9999, "x", {}, {}, {}, {}); });
        refusal(
            "property whose centre is not written",
            [this] { return m_properties->add("برج", "residential", {}, {}, {}) > 0; },
            "INSERT cost_centers");
        refusal("unit number taken", [this] { return addUnitWith("101", 80, 2, 900, 0); });
        refusal("unit of an unknown property", [this] { return addUnitWith("1", 80, 2, 900, 0, 1, 999); });
        refusal("unit in an unknown currency", [this] { return addUnitWith("1", 80, 2, 900, 0, 77); });
        // The floor centre written before the unit's own fails goes back with it.
        refusal(
            "unit whose centre is not written", [this] { return addUnitWith("501", 80, 2, 900, 0); },
            "CREATE TRIGGER no_unit_centre BEFORE INSERT ON cost_centers WHEN NEW.type='unit' "
            "BEGIN SELECT RAISE(ABORT, 'no'); END");
        refusal("unit given a taken number",
            [this] { return m_units->update(m_unit, "102", 4, 80, 2, 900, 0, 0); });
        refusal("unknown unit edited", [this] { return m_units->update(9999, "X", 1, 80, 2, 900, 0, 0); });
        refusal("unknown unit sold", [this] { return m_units->markAsSold(9999, 1, 1000, "2025-02-01"); });
        refusal(
            "sold unit sold again", [this] { return m_units->markAsSold(m_sold, 1, 1000, "2025-02-01"); });
        refusal("tenant with a taken identity number",
            [this] { return m_tenants->add("كريم", "900", {}, {}, {}) > 0; });
        refusal("tenant given a taken identity number",
            [this] { return m_tenants->update(m_tenant, "سليم", "901", {}, {}, {}); });
        refusal("unknown tenant edited", [this] { return m_tenants->update(9999, "أي", {}, {}, {}, {}); });
        refusal(
            "contract ending before it starts", [=] { return sign(m_unit, m_tenant, s, "2024-12-31") > 0; });
        refusal("contract on a sold unit", [=] { return sign(m_sold, m_tenant, s, e) > 0; });
        refusal("contract on an unknown unit", [=] { return sign(9999, m_tenant, s, e) > 0; });
        refusal("contract of an unknown tenant", [=] { return sign(m_unit, 9999, s, e) > 0; });
        refusal(
            "contract in an unknown currency", [=] { return sign(m_unit, m_tenant, s, e, 900, 0, 99) > 0; });
        refusal(
            "contract whose unit is not marked let", [=] { return sign(m_unit, m_tenant, s, e) > 0; },
            "UPDATE units");
        refusal("unknown contract ended", [this] { return m_contracts->terminate(9999); });
        refusal("ended contract ended again", [this] { return m_contracts->terminate(m_ended); });
        refusal(
            "contract ended while its unit is not freed", [this] { return m_contracts->terminate(m_active); },
            "UPDATE units");
        // The active contract agreed a deposit of 1000 and holds 800 of it; the tenant owes an invoice of
        // 300.
        const auto settle = [this](QVariantList lines, const char* date = "2025-12-31") {
            return Call([=] { return m_deposits->settle(m_active, lines, "cash", date) > 0; });
        };
        const auto damage = [](double amount, const char* reason = "زجاج مكسور") {
            return QVariantMap { { "kind", "damage" }, { "amount", amount }, { "reason", reason } };
        };
        const auto unpaid = [this](double amount) {
            return QVariantMap { { "kind", "unpaid" }, { "amount", amount }, { "invoice_id", m_invoice } };
        };
        refusal("deposit past what the contract agreed",
            [this] { return m_deposits->receive(m_active, 200.01, "cash", "2025-02-01") > 0; });
        refusal("deposit of nothing",
            [this] { return m_deposits->receive(m_active, 0.004, "cash", "2025-02-01") > 0; });
        refusal("deposit of an ended contract's settlement",
            [this] { return m_deposits->receive(m_settled, 10, "cash", "2025-02-01") > 0; });
        refusal("deposit kept beyond what is held", settle({ damage(500.01), unpaid(300) }));
        refusal("deposit kept past the invoice's balance", settle({ unpaid(300.01) }));
        refusal("deposit kept without a reason", settle({ damage(10, "  ") }));
        refusal("deposit settled on a bad date", settle({}, "2025-13-01"));
        refusal("deposit settled twice",
            [this] { return m_deposits->settle(m_settled, {}, "cash", "2025-12-31") > 0; });
        refusal("deposit settled whose invoice cannot be paid", settle({ damage(100), unpaid(300) }),
            "UPDATE tenants");
        refusal("deposit settled whose refund cannot be written", settle({ damage(100) }), "UPDATE accounts");
        refusal("contract renewed to before its new start",
            [this] { return m_contracts->renew(m_active, "2025-12-31", "percent", 5) > 0; });
        refusal("contract renewed at no rent",
            [this] { return m_contracts->renew(m_active, "2026-12-31", "amount", 0) > 0; });
        refusal("contract renewed twice",
            [this] { return m_contracts->renew(m_renewed, "2027-12-31", "percent", 5) > 0; });
        refusal("contract renewed after its end",
            [this] { return m_contracts->renew(m_ended, "2025-12-31", "percent", 5) > 0; });
        refusal(
            "contract renewed whose deposit cannot be carried",
            [this] { return m_contracts->renew(m_active, "2026-12-31", "percent", 5, 200) > 0; },
            "INSERT deposit_movements");
    }
    void refusals()
    {
        QFETCH(QString, failing);
        QFETCH(Call, call);
        m_property = addProperty(db(), "برج");
        m_unit = addUnit(db(), m_property, "101", 7);
        addTenant(db(), "سعاد", "901");
        m_tenant = addTenant(db(), "سليم", "900");
        m_active = sign(addUnit(db(), m_property, "102"), m_tenant, "2025-01-01", "2025-12-31");
        m_ended = sign(addUnit(db(), m_property, "103"), m_tenant, "2024-01-01", "2024-12-31");
        QVERIFY(m_contracts->terminate(m_ended));
        m_sold = addUnit(db(), m_property, "104");
        QVERIFY(sell(m_sold));
        db()->execNonQuery("UPDATE contracts SET deposit = 1000 WHERE id = ?", { m_active });
        QVERIFY(m_deposits->receive(m_active, 800, "cash", "2025-01-01") > 0);
        m_invoice = InvoiceModel(db()).createInvoice(m_tenant, m_unit, "2025-06", { item("إيجار", 300) }, 1);
        QVERIFY(m_invoice > 0);
        m_settled = sign(addUnit(db(), m_property, "105"), m_tenant, "2024-01-01", "2024-12-31", 500, 100);
        QVERIFY(m_deposits->receive(m_settled, 100, "cash", "2024-01-01") > 0);
        QVERIFY(m_deposits->settle(m_settled, {}, "cash", "2024-12-31") > 0);
        m_renewed = sign(addUnit(db(), m_property, "106"), m_tenant, "2025-01-01", "2025-06-30");
        QVERIFY(m_contracts->renew(m_renewed, "2026-06-30", "percent", 5) > 0);
        verifyRefused(db(), failing, call,
            { m_properties.get(), m_units.get(), m_tenants.get(), m_contracts.get(), m_deposits.get() });
    }

    void aPropertyComesWithItsProjectCentre()
    {
        const int id = m_properties->add("برج السلام", "residential", {}, {}, {});
        QCOMPARE(tree(id), QStringList({ "project برج السلام" }));
        QVERIFY(m_properties->update(id, "برج الأمان", "mixed", {}, {}, {}));
        QCOMPARE(tree(id), QStringList({ "project برج الأمان" }));
    }

    void unitsHangInTheCostCentreTree()
    {
        const auto add = [&](int property, const QString& number, int floor) {
            QVERIFY(m_units->add(property, number, floor, 80, 2, 900, 10800, 0, 1) > 0);
        };
        const int east = addProperty(db(), "الشرقي");
        const int west = addProperty(db(), "الغربي");
        add(east, "301", 3);
        add(east, "302", 3);
        add(east, "G1", 0);
        add(east, "B1", -1);
        add(west, "301", 3); // numbers are unique per property only
        QCOMPARE(tree(east),
            QStringList({ "project الشرقي", "floor الطابق 3 < الشرقي", "unit شقة / وحدة 301 < الطابق 3",
                "unit شقة / وحدة 302 < الطابق 3", "unit شقة / وحدة G1 < الشرقي",
                "unit شقة / وحدة B1 < الشرقي" }));
        QCOMPARE(tree(west),
            QStringList({ "project الغربي", "floor الطابق 3 < الغربي", "unit شقة / وحدة 301 < الطابق 3" }));
        // A property written by another road (an import, an older file) gets its project centre
        // with its first unit.
        const int old = db()->execInsert("INSERT INTO properties (name) VALUES ('قديم')");
        add(old, "201", 2);
        add(old, "001", 0);
        QCOMPARE(tree(old),
            QStringList({ "project قديم", "floor الطابق 2 < قديم", "unit شقة / وحدة 201 < الطابق 2",
                "unit شقة / وحدة 001 < قديم" }));
        VERIFY_CONSISTENT(db());
    }

    void unitEditsMoveItsCentre()
    {
        const int property = addProperty(db(), "برج");
        const int moving = addUnit(db(), property, "301", 3);
        const int leaving = addUnit(db(), property, "302", 3);
        const int staying = addUnit(db(), property, "303", 3);
        QVERIFY(m_units->update(moving, "501", 5, 120, 4, 1500, 18000, 0));
        QVERIFY(m_units->remove(leaving)); // floor 3 still holds 303
        QCOMPARE(tree(property),
            QStringList({ "project برج", "floor الطابق 3 < برج", "unit شقة / وحدة 501 < الطابق 5",
                "unit شقة / وحدة 303 < الطابق 3", "floor الطابق 5 < برج" }));
        QVERIFY(m_units->update(staying, "303", 0, 80, 2, 900, 10800, 0)); // floor 3 emptied
        QVERIFY(m_units->remove(moving)); // and floor 5
        QCOMPARE(tree(property), QStringList({ "project برج", "unit شقة / وحدة 303 < برج" }));
    }

    void removalRefusedWhileAnythingRefersToIt_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("history");
        for (const char* target : { "property", "unit" }) {
            for (const char* history : { "rented", "sold", "contract", "invoice", "payment", "installment",
                     "expense", "maintenance", "usage" })
                QTest::addRow("%s, %s", target, history) << target << history;
        }
        QTest::newRow("property, its own expense") << u"property"_s << u"property_id"_s;
        QTest::newRow("property, its project's expense") << u"property"_s << u"project_id"_s;
        // Only the request's property points here: it must be found by that alone.
        QTest::newRow("property, a request naming it") << u"property"_s << u"request"_s;
    }
    void removalRefusedWhileAnythingRefersToIt()
    {
        QFETCH(QString, target);
        QFETCH(QString, history);
        const int property = addProperty(db());
        addUnit(db(), property, "100", 0);
        const int unit = addUnit(db(), property, "101", 1);
        if (history == "rented")
            QVERIFY(sign(unit, addTenant(db(), "هدى"), "2025-01-01", "2025-12-31") > 0);
        else if (history == "sold")
            QVERIFY(sell(unit));
        else if (history.endsWith("_id"))
            QVERIFY(
                db()->execInsert(
                    u"INSERT INTO expenses (%1,category,amount,expense_date) VALUES (?,'رسوم',90,'2025-03-05')"_s
                        .arg(history),
                    { property })
                > 0);
        else if (history == "request")
            QVERIFY(db()->execInsert(
                        "INSERT INTO maintenance_requests (unit_id,property_id,title) VALUES (?,?,'مصعد')",
                        { addUnit(db(), addProperty(db(), "آخر"), "1"), property })
                > 0);
        else
            QVERIFY(addUnitHistory(db(), history, unit) > 0);
        // The model's own checks must hold where the file's foreign keys do not: columns added
        // to older files carry none. (A server's database has them all.)
        QVERIFY(db()->isServer() || db()->execNonQuery("PRAGMA foreign_keys=OFF"));
        const Unchanged refused(db(), { m_properties.get(), m_units.get() });
        QVERIFY(target == "unit" ? !m_units->remove(unit) : !m_properties->remove(property));
        QVERIFY(refused.holds());
    }

    void aPropertyWithoutHistoryGoesWithItsUnitsAndTree()
    {
        const int doomed = addProperty(db(), "للحذف");
        addUnit(db(), doomed, "G", 0);
        addUnit(db(), doomed, "201", 2);
        const int kept = addProperty(db(), "باق");
        addUnit(db(), kept, "201", 2);
        QVERIFY(m_properties->remove(doomed));
        QVERIFY(m_properties->getById(doomed).isEmpty() && tree(doomed).isEmpty());
        QCOMPARE(m_db->count("units"), 1);
        QCOMPARE(tree(kept).size(), 3);
        VERIFY_CONSISTENT(db());
    }

    void onlyAFreeUnitGoesOutOfServiceAndBack_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("free unit out of service") << u"available"_s << u"maintenance"_s << true;
        QTest::newRow("back into service") << u"maintenance"_s << u"available"_s << true;
        QTest::newRow("let unit") << u"rented"_s << u"maintenance"_s << false;
        QTest::newRow("sold unit") << u"sold"_s << u"maintenance"_s << false;
        // Let or sold by hand, a unit would show held by nobody.
        QTest::newRow("let by hand") << u"available"_s << u"rented"_s << false;
        QTest::newRow("sold by hand") << u"available"_s << u"sold"_s << false;
        QTest::newRow("out of service to let") << u"maintenance"_s << u"rented"_s << false;
        QTest::newRow("a word outside the vocabulary") << u"available"_s << u"reserved"_s << false;
    }
    void onlyAFreeUnitGoesOutOfServiceAndBack()
    {
        QFETCH(QString, from);
        QFETCH(QString, status);
        QFETCH(bool, accepted);
        const int unit = addUnit(db(), addProperty(db()), "1");
        QVERIFY(from != "maintenance" || m_units->updateStatus(unit, from));
        QVERIFY(from != "rented" || sign(unit, addTenant(db(), "t"), "2025-01-01", "2025-12-31") > 0);
        QVERIFY(from != "sold" || sell(unit));
        QCOMPARE(m_units->updateStatus(unit, status), accepted);
        QCOMPARE(statusOf(db(), "units", unit), accepted ? status : from);
        QVERIFY(!m_units->updateStatus(9999, "maintenance"));
        QVERIFY(Consistency::problems(db()->getDb(), Consistency::UnitStatuses).isEmpty());
    }

    void aUnitOutOfServiceIsOfferedForNothing()
    {
        const int property = addProperty(db());
        const int unit = addUnit(db(), property, "1");
        const int free = addUnit(db(), property, "2");
        const int buyer = addBuyer(db());
        const int tenant = addTenant(db(), "t");
        QVERIFY(sign(addUnit(db(), property, "3"), tenant, "2025-01-01", "2025-12-31") > 0);
        QVERIFY(m_units->updateStatus(unit, "maintenance"));
        QCOMPARE(idsOf(m_units->getAvailable()), QList<int>({ free }));
        const Unchanged refused(db(), { m_units.get(), m_contracts.get() });
        QCOMPARE(sign(unit, tenant, "2026-01-01", "2026-12-31"), -1);
        QCOMPARE(InstallmentModel(db()).sellUnit(buyer, unit, 1000, 1000, 0, "2025-01-01", 1), -1);
        QVERIFY(!m_units->markAsSold(unit, buyer, 1000, "2025-01-01"));
        QVERIFY(refused.holds());
    }

    void registerPagesShowTheirFigures()
    {
        // Four units: let, let once (contract ended), sold in whole cents, out of service; and a newer
        // property.
        const int tower = addProperty(db(), "برج الندى");
        const int rented = addUnit(db(), tower, "1", 1, 1000);
        const int ended = addUnit(db(), tower, "2", 1, 700);
        const int sold = addUnit(db(), tower, "3", 2, 650);
        QVERIFY(m_units->markAsSold(sold, addBuyer(db()), 120000.004, "2025-02-01"));
        QCOMPARE(m_units->getById(sold).value("sale_price_actual").toDouble(), 120000.0);
        QVERIFY(m_units->updateStatus(addUnit(db(), tower, "4", 2, 500), "maintenance"));
        const int villa = addProperty(db(), "فيلا");
        const int zaid = addTenant(db(), "زيد");
        const int other = addTenant(db(), "منى");
        const int old = sign(ended, zaid, "2024-01-01", "2024-12-31");
        QVERIFY(m_contracts->terminate(old));
        const int current = sign(rented, zaid, "2025-01-01", "2025-12-31");
        QVERIFY(sign(addUnit(db(), villa, "9"), other, "2025-01-01", "2025-12-31") > 0);

        const QVariantList cards = m_properties->getPage(0, 50);
        QCOMPARE(idsOf(cards), QList<int>({ villa, tower }));
        const QVariantMap card = cards.at(1).toMap();
        QCOMPARE(card.value("total_units").toInt(), 4);
        QCOMPARE(card.value("rented_units").toInt(), 1);
        QCOMPARE(card.value("sold_units").toInt(), 1);
        QCOMPARE(card.value("maintenance_units").toInt(), 1);
        // Only the unit under an active contract earns: 1000, not 1000 + 700.
        QCOMPARE(card.value("monthly_revenue").toDouble(), 1000.0);
        const QVariantList people = m_tenants->getPage(0, 50);
        QCOMPARE(idsOf(people), QList<int>({ other, zaid }));
        QCOMPARE(people.at(1).toMap().value("active_contracts").toInt(), 1);
        // The contracts dialog lists one tenant's contracts, newest first, with their units.
        const QVariantList own = m_contracts->getByTenant(zaid);
        QCOMPARE(idsOf(own), QList<int>({ current, old }));
        QCOMPARE(own.first().toMap().value("unit_number").toString(), "1");
        QCOMPARE(own.first().toMap().value("property_name").toString(), "برج الندى");
    }

    void propertyStatsAddUpItsOwnMoney()
    {
        const int tower = addProperty(db(), "برج");
        const int other = addProperty(db(), "آخر");
        const int tenant = addTenant(db(), "رامي");
        InvoiceModel invoices(db());
        const int here = invoices.createInvoice(
            tenant, addUnit(db(), tower, "1"), "2025-03", { item("إيجار", 1000) }, 1);
        const int there = invoices.createInvoice(
            tenant, addUnit(db(), other, "1"), "2025-04", { item("إيجار", 1000) }, 1);
        for (const auto& [invoice, amount] :
            { std::pair(here, 400.0), std::pair(here, 250.0), std::pair(there, 999.0) })
            QVERIFY(PaymentModel(db()).add(invoice, tenant, amount, "cash", "2025-03-10", {}, 1) > 0);
        for (const auto& [property, amount] :
            { std::pair(tower, 300.0), std::pair(tower, 45.5), std::pair(other, 80.0) })
            QVERIFY(ExpenseModel(db()).add(property, 0, 0, "صيانة", {}, {}, amount, "2025-03-05", 1) > 0);
        const QVariantMap stats = m_properties->getStats(tower);
        QCOMPARE(stats.value("total_units").toInt(), 1);
        QCOMPARE(stats.value("total_income").toDouble(), 650.0);
        QCOMPARE(stats.value("total_expenses").toDouble(), 345.5);
    }

    void tenantsWithoutIdentityNumberDoNotCollide()
    {
        const int first = m_tenants->add("سعاد", QString(), {}, {}, {});
        const int second = m_tenants->add("منى", "  ", {}, {}, {});
        QVERIFY(first > 0 && second > 0);
        QVERIFY(m_tenants->update(first, "سعاد حسن", "", {}, {}, {}));
        QCOMPARE(m_db->count("SELECT id FROM tenants WHERE id_number IS NULL"), 2);
        QVERIFY(m_tenants->remove(second));
        QCOMPARE(m_db->count("tenants"), 1);
    }

    void tenantRemovalRefusedWithHistory_data()
    {
        QTest::addColumn<QString>("history");
        QTest::newRow("active contract") << u"active"_s;
        QTest::newRow("ended contract") << u"terminated"_s;
        QTest::newRow("invoice")
            << u"INSERT INTO invoices (invoice_number,tenant_id,period,total_amount,balance,due_date) "
               "VALUES ('INV-202501-0001',?,'2025-01',800,800,'2025-01-28')"_s;
        QTest::newRow("payment") << u"INSERT INTO payments (tenant_id,amount,payment_method,payment_date) "
                                    "VALUES (?,100,'cash','2025-01-05')"_s;
        QTest::newRow("cheque")
            << u"INSERT INTO cheques (cheque_number,amount,tenant_id) VALUES ('5001',800,?)"_s;
    }
    void tenantRemovalRefusedWithHistory()
    {
        QFETCH(QString, history);
        const int tenant = addTenant(db(), "قديم");
        if (history.startsWith("INSERT")) {
            QVERIFY(db()->execInsert(history, { tenant }) > 0);
        } else {
            const int contract
                = sign(addUnit(db(), addProperty(db()), "1"), tenant, "2025-01-01", "2025-12-31");
            QVERIFY(history == "active" || m_contracts->terminate(contract));
        }
        QVERIFY(db()->isServer() || db()->execNonQuery("PRAGMA foreign_keys=OFF"));
        const Unchanged refused(db(), { m_tenants.get() });
        QVERIFY(!m_tenants->remove(tenant));
        QVERIFY(refused.holds());
    }

    // The stored balance and both statements tell one story: a void takes back what was still
    // open, and what was paid stays paid, its payment on the statement.
    void statementsCloseAtTheStoredBalance_data()
    {
        QTest::addColumn<double>("paid");
        QTest::addColumn<bool>("voided");
        QTest::addColumn<double>("owed");
        QTest::newRow("partly paid, then voided") << 400.0 << true << 250.0;
        QTest::newRow("voided unpaid") << 0.0 << true << 250.0;
        QTest::newRow("paid, then voided") << 1000.0 << true << 250.0;
        QTest::newRow("partly paid") << 400.0 << false << 850.0;
    }
    void statementsCloseAtTheStoredBalance()
    {
        QFETCH(double, paid);
        QFETCH(bool, voided);
        QFETCH(double, owed);
        const int tenant = addTenant(db(), "وفاء");
        InvoiceModel invoices(db());
        const int first = invoices.createInvoice(tenant, 0, "2025-03", { item("إيجار", 1000) }, 1);
        QVERIFY(invoices.createInvoice(tenant, 0, "2025-04", { item("إيجار", 250) }, 1) > 0);
        QVERIFY(paid == 0 || PaymentModel(db()).add(first, tenant, paid, "cash", "2025-03-10", "R-1", 1) > 0);
        QVERIFY(!voided || invoices.voidInvoice(first));
        const auto closing = [](const QVariantList& rows) {
            double sum = 0;
            for (const QVariant& row : rows)
                sum += row.toMap().value("debit").toDouble() - row.toMap().value("credit").toDouble();
            return sum;
        };
        QCOMPARE(m_db->value("SELECT balance FROM tenants WHERE id=?", { tenant }).toDouble(), owed);
        QCOMPARE(closing(m_tenants->getStatement(tenant)), owed);
        const QVariantList shown = ReportController(db()).getTenantStatement(tenant);
        QCOMPARE(closing(shown), owed);
        QCOMPARE(columnOf(shown, "ref").count("R-1"), paid > 0 ? 1 : 0);
        VERIFY_CONSISTENT(db());
    }

    void signingLetsTheUnitAndBillsNothing()
    {
        const int unit = addUnit(db(), addProperty(db()), "12");
        const int tenant = addTenant(db(), "نادر سليمان");
        const int id = sign(unit, tenant, "2025-02-01", "2026-01-31", 1250.505, 99.994, 2);
        QCOMPARE(statusOf(db(), "contracts", id), "active");
        QCOMPARE(statusOf(db(), "units", unit), "rented");
        QCOMPARE(m_contracts->getById(id).value("rent_amount").toDouble(), 1250.51);
        QCOMPARE(m_db->count("invoices"), 0);
        VERIFY_CONSISTENT(db());
        // A contract of one day, with its deposit left empty, is a contract.
        const int oneDay
            = sign(addUnit(db(), addProperty(db()), "1"), tenant, "2025-03-01", "2025-03-01", 50, qQNaN());
        QCOMPARE(m_contracts->getById(oneDay).value("deposit").toDouble(), 0.0);
    }

    void overlapHasInclusiveEnds_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("accepted");
        // Against an active contract from 2025-01-01 to 2025-12-31.
        QTest::newRow("starts the day after") << u"2026-01-01"_s << u"2026-12-31"_s << true;
        QTest::newRow("ends the day before") << u"2024-01-01"_s << u"2024-12-31"_s << true;
        QTest::newRow("starts on its last day") << u"2025-12-31"_s << u"2026-06-30"_s << false;
        QTest::newRow("ends on its first day") << u"2024-06-01"_s << u"2025-01-01"_s << false;
        QTest::newRow("inside") << u"2025-03-01"_s << u"2025-03-31"_s << false;
        QTest::newRow("around") << u"2024-01-01"_s << u"2026-12-31"_s << false;
        QTest::newRow("single shared day") << u"2025-06-15"_s << u"2025-06-15"_s << false;
    }
    void overlapHasInclusiveEnds()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, accepted);
        const int unit = addUnit(db(), addProperty(db()), "1");
        const int tenant = addTenant(db(), "t");
        QVERIFY(sign(unit, tenant, "2025-01-01", "2025-12-31") > 0);
        QCOMPARE(m_contracts->hasOverlap(unit, start, end), !accepted);
        const Unchanged unchanged(db(), { m_contracts.get() });
        QCOMPARE(sign(unit, tenant, start, end) > 0, accepted);
        QCOMPARE(unchanged.holds(), !accepted);
    }

    void overlapLeavesOutEndedContractsOtherUnitsAndItself()
    {
        const int property = addProperty(db());
        const int unit = addUnit(db(), property, "1");
        const int tenant = addTenant(db(), "t");
        QVERIFY(m_contracts->terminate(sign(unit, tenant, "2024-06-01", "2025-05-31")));
        const int next = sign(unit, tenant, "2025-01-01", "2025-12-31");
        QVERIFY(next > 0);
        QVERIFY(sign(addUnit(db(), property, "2"), tenant, "2025-01-01", "2025-12-31") > 0);
        QVERIFY(m_contracts->hasOverlap(unit, "2025-05-01", "2025-05-31"));
        QVERIFY(!m_contracts->hasOverlap(unit, "2025-05-01", "2025-05-31", next));
    }

    void terminationFreesOnlyAUnitNothingElseHolds()
    {
        const int unit = addUnit(db(), addProperty(db()), "1");
        const int tenant = addTenant(db(), "t");
        QVERIFY(m_contracts->terminate(sign(unit, tenant, "2024-01-01", "2024-12-31")));
        QCOMPARE(statusOf(db(), "units", unit), "available");
        QCOMPARE(idsOf(m_units->getAvailable()), QList<int>({ unit }));
        // Another active contract still holds the unit; a sold unit stays sold.
        const int current = sign(unit, tenant, "2025-01-01", "2025-12-31");
        const int following = sign(unit, tenant, "2026-01-01", "2026-12-31");
        QVERIFY(m_contracts->terminate(current));
        QCOMPARE(statusOf(db(), "units", unit), "rented");
        QVERIFY(db()->execNonQuery("UPDATE units SET status='sold' WHERE id=?", { unit }));
        QVERIFY(m_contracts->terminate(following));
        QCOMPARE(statusOf(db(), "contracts", following), "terminated");
        QCOMPARE(statusOf(db(), "units", unit), "sold");
    }

    void settlementKeepsWhatItSaysAndRefundsTheRest_data()
    {
        QTest::addColumn<double>("damage");
        QTest::addColumn<double>("unpaid");
        QTest::addColumn<double>("refund");
        QTest::addColumn<double>("invoiceLeft");
        // 1,500 held; an invoice of 400 open.
        QTest::newRow("refunded in full") << 0.0 << 0.0 << 1500.0 << 400.0;
        QTest::newRow("kept for damage and part of the invoice") << 250.5 << 100.0 << 1149.5 << 300.0;
        QTest::newRow("kept whole") << 1100.0 << 400.0 << 0.0 << 0.0;
    }
    void settlementKeepsWhatItSaysAndRefundsTheRest()
    {
        QFETCH(double, damage);
        QFETCH(double, unpaid);
        QFETCH(double, refund);
        QFETCH(double, invoiceLeft);
        const int unit = addUnit(db(), addProperty(db()), "1");
        const int tenant = addTenant(db(), "هدى");
        const int contract = sign(unit, tenant, "2025-01-01", "2025-12-31", 1000, 1500);
        QVERIFY(m_deposits->receive(contract, 1000, "cash", "2025-01-01") > 0);
        QVERIFY(m_deposits->receive(contract, 500, "bank", "2025-01-02") > 0);
        const int invoice
            = InvoiceModel(db()).createInvoice(tenant, unit, "2025-06", { item("إيجار", 400) }, 1);
        QVariantList lines;
        if (damage > 0)
            lines << QVariantMap { { "kind", "damage" }, { "amount", damage }, { "reason", "باب مكسور" } };
        if (unpaid > 0)
            lines << QVariantMap { { "kind", "unpaid" }, { "amount", unpaid }, { "invoice_id", invoice } };
        QVERIFY(m_deposits->settle(contract, lines, "cash", "2025-12-31") > 0);
        QCOMPARE(m_deposits->getSummary(contract).value("held").toDouble(), 0.0);
        QCOMPARE(statusOf(db(), "contracts", contract), "terminated");
        QCOMPARE(statusOf(db(), "units", unit), "available");
        QCOMPARE(db()->scalar("SELECT COALESCE(SUM(amount), 0) FROM deposit_movements WHERE kind='refund'")
                     .toDouble(),
            refund);
        QCOMPARE(
            db()->scalar("SELECT balance FROM invoices WHERE id=?", { invoice }).toDouble(), invoiceLeft);
        QCOMPARE(db()->scalar("SELECT balance FROM tenants WHERE id=?", { tenant }).toDouble(), invoiceLeft);
        // The books: nothing held any more, the damage is income, the till gave back the refund.
        const auto account = [this](const char* role) {
            return db()->scalar("SELECT balance FROM accounts WHERE posting_role=?", { role }).toDouble();
        };
        QCOMPARE(account("held_for_others"), 0.0);
        QCOMPARE(account("other_income"), -damage);
        QCOMPARE(account("cash") + account("bank"), 1500.0 - refund);
        // The reports page reads the same positions off the operations.
        const QVariantMap shown = ReportController(db()).getAccrualSummary();
        QCOMPARE(shown.value("cash").toDouble(), account("cash"));
        QCOMPARE(shown.value("bank").toDouble(), account("bank"));
        QCOMPARE(shown.value("deposits_held").toDouble(), -account("held_for_others"));
        VERIFY_CONSISTENT(db());
        // Never twice.
        QCOMPARE(m_deposits->settle(contract, {}, "cash", "2025-12-31"), -1);
    }

    void renewalStartsTheDayAfterAndRunsAsLong_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("nextStart");
        QTest::addColumn<QString>("nextEnd");
        QTest::newRow("a calendar year") << "2025-01-01"
                                         << "2025-12-31"
                                         << "2026-01-01"
                                         << "2026-12-31";
        QTest::newRow("a year into a leap February") << "2023-03-01"
                                                     << "2024-02-29"
                                                     << "2024-03-01"
                                                     << "2025-02-28";
        QTest::newRow("a year out of a leap February") << "2024-03-01"
                                                       << "2025-02-28"
                                                       << "2025-03-01"
                                                       << "2026-02-28";
        QTest::newRow("a leap February alone") << "2024-02-01"
                                               << "2024-02-29"
                                               << "2024-03-01"
                                               << "2024-03-31";
        QTest::newRow("a year from mid-month") << "2025-01-15"
                                               << "2026-01-14"
                                               << "2026-01-15"
                                               << "2027-01-14";
        QTest::newRow("a year from a leap day") << "2024-02-29"
                                                << "2025-02-28"
                                                << "2025-03-01"
                                                << "2026-02-28";
        QTest::newRow("89 days") << "2025-01-10"
                                 << "2025-04-08"
                                 << "2025-04-09"
                                 << "2025-07-06";
    }
    void renewalStartsTheDayAfterAndRunsAsLong()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, nextStart);
        QFETCH(QString, nextEnd);
        const auto [from, to] = ContractModel::nextTerm(
            QDate::fromString(start, Qt::ISODate), QDate::fromString(end, Qt::ISODate));
        QCOMPARE(from.toString(Qt::ISODate), nextStart);
        QCOMPARE(to.toString(Qt::ISODate), nextEnd);
        // Renewed: the old contract runs to its end, the new one from the next day, the deposit carried
        // over and topped up, the rent raised by 7.5% (1,000.10 -> 1,075.11, to the nearest cent).
        const int unit = addUnit(db(), addProperty(db()), "1");
        const int old = sign(unit, addTenant(db(), "ليلى"), start, end, 1000.10, 600);
        QVERIFY(m_deposits->receive(old, 600, "cash", start) > 0);
        const int renewed = m_contracts->renew(old, nextEnd, "percent", 7.5, 150, "cash");
        QVERIFY2(renewed > 0, qPrintable(m_contracts->lastError()));
        const QVariantMap contract = m_contracts->getById(renewed);
        QCOMPARE(contract.value("start_date").toString(), nextStart);
        QCOMPARE(contract.value("end_date").toString(), nextEnd);
        QCOMPARE(contract.value("rent_amount").toDouble(), 1075.11);
        QCOMPARE(contract.value("deposit_held").toDouble(), 750.0);
        QCOMPARE(m_contracts->getById(old).value("deposit_held").toDouble(), 0.0);
        QCOMPARE(statusOf(db(), "contracts", old), "active");
        QVERIFY(!m_contracts->hasOverlap(unit, start, end, old));
        QVERIFY(m_contracts->getExpiring(100000).isEmpty()
            || idsOf(m_contracts->getExpiring(100000)) == QList<int>({ renewed }));
        VERIFY_CONSISTENT(db());
    }

    void expiringListsActiveContractsUpToTheHorizon()
    {
        // Today is 2025-06-15: the horizon of 30 days, 2025-07-15, is included; ended ones are left out.
        const int property = addProperty(db());
        const int tenant = addTenant(db(), "t");
        const auto signOn = [&](const QString& number, const QString& start, const QString& end) {
            return sign(addUnit(db(), property, number), tenant, start, end);
        };
        const int past = signOn("A", "2024-06-11", "2025-06-10");
        const int edge = signOn("B", "2024-07-16", "2025-07-15");
        const int soon = signOn("C", "2024-07-01", "2025-06-30");
        QVERIFY(signOn("D", "2024-07-17", "2025-07-16") > 0);
        QVERIFY(m_contracts->terminate(signOn("E", "2024-06-20", "2025-06-20")));
        QCOMPARE(idsOf(m_contracts->getExpiring(30)), QList<int>({ past, soon, edge }));
        QCOMPARE(idsOf(m_contracts->getExpiring(0)), QList<int>({ past }));
    }
};

QTEST_GUILESS_MAIN(TestRentals)
#include "tst_rentals.moc"
