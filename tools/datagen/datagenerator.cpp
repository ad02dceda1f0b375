#include "datagenerator.h"

#include "authcontroller.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "clock.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "database.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "officevocabulary.h"
#include "passwordhasher.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "settingsmanager.h"
#include "simulatedclock.h"
#include "tenantmodel.h"
#include "transactionguard.h"
#include "unitmodel.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QVariantMap>
#include <cmath>
#include <map>
#include <vector>

Q_LOGGING_CATEGORY(lcDatagen, "darvelinto.datagen")

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QString dateText(const QDate& date)
{
    return date.toString(kDateFormat);
}

QString periodText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM"));
}

double cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

double roundedTo(double amount, double step)
{
    return std::round(amount / step) * step;
}

QDate lastDayOfMonth(const QDate& date)
{
    return QDate(date.year(), date.month(), date.daysInMonth());
}

// Currencies as the default data numbers them.
constexpr int kShekel = 1;
constexpr int kDollar = 2;
constexpr int kDinar = 3;
constexpr double kDollarRate = 3.6;
constexpr double kDinarRate = 5.1;

} // namespace

OfficeProfile OfficeProfile::demo()
{
    OfficeProfile p;
    p.name = QStringLiteral("demo");
    p.rentalProperties = 3;
    p.saleProjects = 1;
    p.floors = 5;
    p.unitsPerFloor = 3;
    p.months = 12;
    p.occupiedUnits = 38;
    p.sales = 9;
    p.contractors = 6;
    p.maintenancePerMonth = 4;
    p.expensesPerMonth = 6;
    p.serviceChargesPerMonth = 1;
    p.manualChequesPerMonth = 3;
    return p;
}

OfficeProfile OfficeProfile::large()
{
    OfficeProfile p;
    p.name = QStringLiteral("large");
    p.rentalProperties = 180;
    p.saleProjects = 20;
    p.floors = 5;
    p.unitsPerFloor = 5;
    p.months = 60;
    p.occupiedUnits = 4000;
    p.sales = 500;
    p.contractors = 40;
    p.maintenancePerMonth = 45;
    p.expensesPerMonth = 110;
    p.serviceChargesPerMonth = 5;
    p.manualChequesPerMonth = 25;
    return p;
}

OfficeProfile OfficeProfile::named(const QString& name)
{
    if (name == QLatin1String("demo"))
        return demo();
    if (name == QLatin1String("large"))
        return large();
    return {};
}

/**
 * One run of the simulation: the office's state as the generator tracks it beside the database,
 * and a calendar of things still to happen. Every day of the history is lived in order; the first
 * of the month opens it (contracts ending and starting, meter readings, the rent run, building
 * service charges) and events fall on their days; every operation posts its own journal entry.
 */
class DataGenerator::Office
{
public:
    Office(Database* db, const Options& options)
        : m_db(db)
        , m_options(options)
        , m_profile(options.profile)
        , m_random(options.seed)
        , m_words(&m_random)
        , m_settings(db)
        , m_properties(db)
        , m_units(db)
        , m_tenants(db)
        , m_contracts(db)
        , m_invoices(db)
        , m_payments(db)
        , m_maintenance(db)
        , m_expenses(db)
        , m_cheques(db)
        , m_buyers(db)
        , m_installments(db)
        , m_currencies(db)
        , m_auth(db)
    { }

    bool run(QString* error)
    {
        const QDate today = m_options.today;
        const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-(m_profile.months - 1));
        QElapsedTimer timer;
        timer.start();

        SimulatedClock::setDay(firstMonth.addDays(-45));
        setUpOffice();
        buildProperties();
        SimulatedClock::setDay(firstMonth.addDays(-1));
        signInitialContracts(firstMonth);
        planSales(firstMonth, today);
        report(QStringLiteral("office set up: %1 units, %2 contracts (%3 ms)")
                   .arg(m_unitList.size())
                   .arg(m_active.size())
                   .arg(timer.elapsed()));

        for (QDate day = firstMonth; day <= today && m_failure.isEmpty(); day = day.addDays(1)) {
            SimulatedClock::setDay(day);
            if (day.day() == 1)
                openMonth(day);
            runEventsUntil(day);
            if (day.month() == 12 && day.day() == 31)
                report(QStringLiteral("%1 lived (%2 s)").arg(day.year()).arg(timer.elapsed() / 1000));
        }
        SimulatedClock::release();
        if (!m_failure.isEmpty()) {
            *error = m_failure;
            return false;
        }
        report(QStringLiteral("history written in %1 s").arg(timer.elapsed() / 1000));
        return true;
    }

private:
    struct Unit
    {
        int id = 0;
        int propertyId = 0;
        double rentMonthly = 0;
        double salePrice = 0;
        bool metered = false;
        int contractId = 0; // the running contract, 0 when vacant
        double waterReading = 0;
        double powerReading = 0;
    };

    struct Contract
    {
        int id = 0;
        int unit = 0; // index into m_unitList
        int tenantId = 0;
        QDate end;
        double rent = 0;
        bool yearly = false;
        int currency = kShekel;
    };

    // ---------------------------------------------------------------------------------------
    // Randomness and bookkeeping
    // ---------------------------------------------------------------------------------------

    bool chance(double probability) { return m_random.generateDouble() < probability; }
    int between(int low, int high)
    {
        return low + static_cast<int>(m_random.bounded(static_cast<quint32>(high - low + 1)));
    }
    double betweenReal(double low, double high) { return low + (high - low) * m_random.generateDouble(); }

    template <typename T> const T& anyOf(const std::vector<T>& items)
    {
        return items.at(static_cast<size_t>(m_random.bounded(static_cast<quint32>(items.size()))));
    }

    /** Notes the first refusal: a row the program would not write means the generator is wrong. */
    bool check(bool ok, const QString& what)
    {
        if (!ok && m_failure.isEmpty())
            m_failure = QStringLiteral("refused on %1: %2").arg(Clock::todayText(), what);
        return ok;
    }

    void report(const QString& text) const
    {
        if (m_options.progress)
            m_options.progress(text);
    }

    void at(const QDate& day, std::function<void()> event) { m_calendar.emplace(day, std::move(event)); }

    void runEventsUntil(const QDate& day)
    {
        while (!m_calendar.empty() && m_calendar.begin()->first <= day && m_failure.isEmpty()) {
            auto event = std::move(m_calendar.begin()->second);
            m_calendar.erase(m_calendar.begin());
            event();
        }
    }

    int serviceId(const QString& name) const
    {
        return m_db->scalar(QStringLiteral("SELECT id FROM services WHERE name=?"), { name }).toInt();
    }

    // ---------------------------------------------------------------------------------------
    // The office before its history
    // ---------------------------------------------------------------------------------------

    void setUpOffice()
    {
        check(m_settings.updateCompanyProfile(QStringLiteral("مكتب دارفلينتو للعقارات والاستثمار"),
                  QStringLiteral("022987654"),
                  QStringLiteral("شارع الإرسال، عمارة النخيل، الطابق الثالث، رام الله"),
                  QStringLiteral("office@darvelinto.ps")),
            QStringLiteral("company profile"));
        // Two colleagues besides the administrator, added the way the users page adds them.
        if (check(m_auth.login(
                      QStringLiteral("admin"), QString::fromLatin1(PasswordHasher::kDefaultAdminPassword)),
                QStringLiteral("log-in"))) {
            check(m_auth.registerUser(
                      QStringLiteral("sara"), QStringLiteral("sara-2024"), QStringLiteral("user")),
                QStringLiteral("user sara"));
            check(m_auth.registerUser(
                      QStringLiteral("khaled"), QStringLiteral("khaled-2024"), QStringLiteral("admin")),
                QStringLiteral("user khaled"));
            m_auth.logout();
        }
        setRates();
        for (int i = 0; i < m_profile.contractors; ++i) {
            const int id = m_expenses.addContractor(m_words.companyName(), m_words.phone(), m_words.trade());
            if (check(id > 0, QStringLiteral("contractor")))
                m_contractorIds.push_back(id);
        }
        m_waterService = serviceId(QStringLiteral("مياه"));
        m_powerService = serviceId(QStringLiteral("كهرباء"));
    }

    void setRates()
    {
        check(m_currencies.setRate(kDollar, kShekel, cents(kDollarRate * betweenReal(0.95, 1.05))),
            QStringLiteral("dollar rate"));
        check(m_currencies.setRate(kDinar, kShekel, cents(kDinarRate * betweenReal(0.97, 1.03))),
            QStringLiteral("dinar rate"));
    }

    void buildProperties()
    {
        static const QStringList types
            = { QStringLiteral("residential"), QStringLiteral("commercial"), QStringLiteral("mixed") };
        const int total = m_profile.rentalProperties + m_profile.saleProjects;
        for (int p = 0; p < total; ++p) {
            const bool forSale = p >= m_profile.rentalProperties;
            const double roll = m_random.generateDouble();
            const QString type = forSale ? types.at(0) : types.at(roll < 0.7 ? 0 : roll < 0.85 ? 1 : 2);
            const QString city = m_words.city();
            const QString description
                = forSale ? QStringLiteral("مشروع سكني للبيع بالتقسيط") : QStringLiteral("عقار للإيجار");
            const int propertyId
                = m_properties.add(m_words.propertyName(p), type, m_words.address(city), city, description);
            if (!check(propertyId > 0, QStringLiteral("property")))
                return;
            m_propertyIds.push_back(propertyId);
            addUnits(propertyId, type, forSale);
        }
    }

    void addUnits(int propertyId, const QString& type, bool forSale)
    {
        const bool shopsBelow = type != QLatin1String("residential");
        for (int floor = 1; floor <= m_profile.floors; ++floor) {
            for (int k = 1; k <= m_profile.unitsPerFloor; ++k) {
                const bool shop = shopsBelow && floor == 1;
                const int rooms = shop ? 1 : between(2, 5);
                const double area = shop ? between(40, 120) : 60 + rooms * between(18, 30);
                const double rent
                    = roundedTo(shop ? area * betweenReal(35, 60) : 700 + area * betweenReal(10, 16), 50);
                const double salePrice = roundedTo(area * betweenReal(4200, 6500), 1000);
                const QString number = QString::number(floor * 100 + k);
                const int id = m_units.add(propertyId, number, floor, area, rooms, rent,
                    roundedTo(rent * 11.5, 100), salePrice, kShekel);
                if (!check(id > 0, QStringLiteral("unit %1").arg(number)))
                    return;
                Unit unit;
                unit.id = id;
                unit.propertyId = propertyId;
                unit.rentMonthly = rent;
                unit.salePrice = salePrice;
                unit.metered = !forSale && chance(0.3);
                unit.waterReading = between(100, 900);
                unit.powerReading = between(1000, 9000);
                const int index = static_cast<int>(m_unitList.size());
                m_unitList.push_back(unit);
                (forSale ? m_saleUnits : m_rentalUnits).push_back(index);
            }
        }
    }

    // ---------------------------------------------------------------------------------------
    // Tenants and contracts
    // ---------------------------------------------------------------------------------------

    int newTenant()
    {
        ++m_people;
        const QString city = m_words.city();
        const QString email = chance(0.25) ? QStringLiteral("tenant%1@mail.ps").arg(m_people) : QString();
        // Identity numbers are nine digits and never repeat.
        const QString identity = QString::number(400000000 + m_people * 37 + between(0, 36));
        const int id
            = m_tenants.add(m_words.personName(), identity, m_words.phone(), email, m_words.address(city));
        check(id > 0, QStringLiteral("tenant"));
        return id;
    }

    /** Lets a unit from `start` for `months` months; the new contract's id or 0. */
    int let(int unitIndex, int tenantId, const QDate& start, int months, double monthlyRent)
    {
        Unit& unit = m_unitList.at(static_cast<size_t>(unitIndex));
        Contract contract;
        contract.unit = unitIndex;
        contract.tenantId = tenantId;
        contract.end = start.addMonths(months).addDays(-1);
        contract.yearly = chance(0.03);
        const double roll = m_random.generateDouble();
        contract.currency = roll < 0.92 ? kShekel : roll < 0.98 ? kDollar : kDinar;
        const double rate = contract.currency == kDollar ? kDollarRate
            : contract.currency == kDinar                ? kDinarRate
                                                         : 1.0;
        const double monthly = roundedTo(monthlyRent / rate, 10);
        contract.rent = contract.yearly ? roundedTo(monthly * 12 * 0.95, 100) : monthly;
        const int id = m_contracts.add(unit.id, tenantId, dateText(start), dateText(contract.end),
            contract.rent, contract.yearly ? QStringLiteral("yearly") : QStringLiteral("monthly"), monthly,
            contract.currency);
        if (!check(id > 0, QStringLiteral("contract on unit %1").arg(unit.id)))
            return 0;
        contract.id = id;
        unit.contractId = id;
        m_active.emplace(id, contract);
        return id;
    }

    int contractMonths()
    {
        const double roll = m_random.generateDouble();
        return roll < 0.6 ? 12 : roll < 0.85 ? 24 : 36;
    }

    void signInitialContracts(const QDate& firstMonth)
    {
        std::vector<int> pool = m_rentalUnits;
        const int occupied = std::min<int>(m_profile.occupiedUnits, static_cast<int>(pool.size()));
        for (int i = 0; i < occupied && m_failure.isEmpty(); ++i) {
            // Draw without putting back.
            const size_t pick = i + m_random.bounded(static_cast<quint32>(pool.size() - i));
            std::swap(pool[static_cast<size_t>(i)], pool[pick]);
            const int months = contractMonths();
            // Contracts already running when the history starts began up to a term earlier.
            const QDate start = firstMonth.addMonths(-between(0, months - 1));
            const int unitIndex = pool[static_cast<size_t>(i)];
            let(unitIndex, newTenant(), start, months,
                m_unitList.at(static_cast<size_t>(unitIndex)).rentMonthly);
        }
    }

    void endContract(int contractId)
    {
        auto found = m_active.find(contractId);
        if (found == m_active.end())
            return;
        check(
            m_contracts.terminate(contractId), QStringLiteral("termination of contract %1").arg(contractId));
        m_unitList.at(static_cast<size_t>(found->second.unit)).contractId = 0;
        m_active.erase(found);
    }

    /** Contracts that ran out last month end; most tenants sign on for another term. */
    void turnOverContracts(const QDate& monthStart)
    {
        std::vector<Contract> ended;
        for (const auto& [id, contract] : m_active) {
            if (contract.end < monthStart)
                ended.push_back(contract);
        }
        for (const Contract& contract : ended) {
            endContract(contract.id);
            // A few leave the contract on the books a while after it ran out; the office catches up
            // with the paperwork a month or two later (the alerts show it meanwhile).
            if (chance(0.8)) {
                const double raised = contract.rent * (contract.yearly ? 1.0 / (12 * 0.95) : 1.0);
                const double rate = contract.currency == kDollar ? kDollarRate
                    : contract.currency == kDinar                ? kDinarRate
                                                                 : 1.0;
                let(contract.unit, contract.tenantId, monthStart, contractMonths(),
                    raised * rate * betweenReal(1.0, 1.05));
            }
        }
        // Vacant units find new tenants until the office is as full as it usually is.
        int vacancies = m_profile.occupiedUnits - static_cast<int>(m_active.size());
        for (int tries = 0; vacancies > 0 && tries < vacancies * 20; ++tries) {
            const int unitIndex = anyOf(m_rentalUnits);
            const Unit& unit = m_unitList.at(static_cast<size_t>(unitIndex));
            if (unit.contractId != 0)
                continue;
            if (let(unitIndex, newTenant(), monthStart, contractMonths(), unit.rentMonthly) > 0)
                --vacancies;
        }
    }

    /** Now and then a tenant leaves before the term is out. */
    void planEarlyDepartures(const QDate& monthStart)
    {
        for (const auto& [id, contract] : m_active) {
            if (contract.end > monthStart.addMonths(2) && chance(0.002)) {
                const int contractId = id;
                at(monthStart.addDays(between(5, 25)), [this, contractId] { endContract(contractId); });
            }
        }
    }

    // ---------------------------------------------------------------------------------------
    // The month
    // ---------------------------------------------------------------------------------------

    void openMonth(const QDate& monthStart)
    {
        const QString period = periodText(monthStart);
        if (monthStart.month() == 1 || monthStart.month() == 7)
            setRates();
        turnOverContracts(monthStart);
        planEarlyDepartures(monthStart);
        readMeters(period);

        const int made = m_invoices.generateAllRent(period);
        check(made > 0, QStringLiteral("rent run of %1").arg(period));
        for (int i = 0; i < m_profile.serviceChargesPerMonth; ++i) {
            const int propertyId
                = m_propertyIds.at(static_cast<size_t>(between(0, m_profile.rentalProperties - 1)));
            m_invoices.generatePropertyServiceInvoice(propertyId, m_words.buildingServiceCharge(),
                roundedTo(betweenReal(40, 150), 5), period, kShekel);
        }
        planInvoicePayments(monthStart);

        const QDate monthEnd = lastDayOfMonth(monthStart);
        for (int i = 0; i < m_profile.maintenancePerMonth; ++i)
            at(monthStart.addDays(between(0, monthEnd.day() - 1)), [this] { raiseMaintenance(); });
        for (int i = 0; i < m_profile.expensesPerMonth; ++i)
            at(monthStart.addDays(between(0, monthEnd.day() - 1)), [this] { bookExpense(); });
        for (int i = 0; i < m_profile.manualChequesPerMonth; ++i)
            at(monthStart.addDays(between(0, monthEnd.day() - 1)), [this] { recordCheque(); });
    }

    /** The utilities' readings of the metered units that are let, one water and one power row each. */
    void readMeters(const QString& period)
    {
        static const QString sql = QStringLiteral(
            R"(INSERT INTO usage_records (unit_id,service_id,period,previous_reading,current_reading,consumption,cost)
               VALUES (?,?,?,?,?,?,?))");
        TransactionGuard transaction(m_db);
        if (!check(transaction.isActive(), QStringLiteral("meter readings")))
            return;
        for (Unit& unit : m_unitList) {
            if (!unit.metered || unit.contractId == 0)
                continue;
            const double water = between(4, 30);
            const double power = between(120, 650);
            check(m_db->execInsert(sql,
                      { unit.id, m_waterService, period, unit.waterReading, unit.waterReading + water, water,
                          cents(water * 5.0) })
                    > 0,
                QStringLiteral("water reading"));
            check(m_db->execInsert(sql,
                      { unit.id, m_powerService, period, unit.powerReading, unit.powerReading + power, power,
                          cents(power * 0.5) })
                    > 0,
                QStringLiteral("power reading"));
            unit.waterReading += water;
            unit.powerReading += power;
        }
        check(transaction.commit(), QStringLiteral("meter readings"));
    }

    /** How each tenant settles this month's invoices. */
    void planInvoicePayments(const QDate& monthStart)
    {
        const QVariantList rows = m_db->execQuery(
            QStringLiteral(
                "SELECT id, tenant_id, total_amount, currency_id FROM invoices WHERE id>? ORDER BY id"),
            { m_lastInvoiceId });
        const QDate due = monthStart.addDays(27);
        for (const QVariant& value : rows) {
            const QVariantMap row = value.toMap();
            const int invoiceId = row.value(QStringLiteral("id")).toInt();
            m_lastInvoiceId = std::max(m_lastInvoiceId, invoiceId);
            const int tenantId = row.value(QStringLiteral("tenant_id")).toInt();
            const double total = row.value(QStringLiteral("total_amount")).toDouble();
            const int currency = row.value(QStringLiteral("currency_id")).toInt();
            const double roll = m_random.generateDouble();
            if (roll < 0.78) {
                pay(monthStart.addDays(between(0, 26)), invoiceId, tenantId, total, currency);
            } else if (roll < 0.86) {
                const double first = cents(total * betweenReal(0.3, 0.7));
                const QDate firstDay = monthStart.addDays(between(0, 20));
                pay(firstDay, invoiceId, tenantId, first, currency);
                pay(firstDay.addDays(between(10, 35)), invoiceId, tenantId, total - first, currency);
            } else if (roll < 0.95) {
                pay(due.addDays(between(3, 40)), invoiceId, tenantId, total, currency);
            } else if (roll < 0.985) {
                const double first = cents(total * betweenReal(0.3, 0.6));
                const QDate firstDay = due.addDays(between(5, 30));
                pay(firstDay, invoiceId, tenantId, first, currency);
                pay(firstDay.addDays(between(20, 60)), invoiceId, tenantId, total - first, currency);
            } else {
                // Never paid: written off after a few months of reminders.
                at(due.addDays(between(60, 120)),
                    [this, invoiceId] { check(m_invoices.voidInvoice(invoiceId), QStringLiteral("void")); });
            }
        }
    }

    void pay(const QDate& day, int invoiceId, int tenantId, double amount, int currency)
    {
        at(day, [this, invoiceId, tenantId, amount, currency] {
            const double roll = m_random.generateDouble();
            const QString method = roll < 0.55 ? QStringLiteral("cash")
                : roll < 0.9                   ? QStringLiteral("bank")
                                               : QStringLiteral("cheque");
            QString reference;
            if (method == QLatin1String("bank"))
                reference = QStringLiteral("TRX-%1").arg(between(100000, 999999));
            else if (method == QLatin1String("cheque"))
                reference = QString::number(between(10000, 99999));
            const int id = m_payments.add(
                invoiceId, tenantId, amount, method, Clock::todayText(), reference, currency);
            check(id > 0, QStringLiteral("payment of %1 on invoice %2").arg(amount).arg(invoiceId));
        });
    }

    void raiseMaintenance()
    {
        const int unitIndex = anyOf(m_rentalUnits);
        const Unit& unit = m_unitList.at(static_cast<size_t>(unitIndex));
        static const QStringList priorities
            = { QStringLiteral("low"), QStringLiteral("medium"), QStringLiteral("high") };
        const int id = m_maintenance.add(unit.id, unit.propertyId, m_words.maintenanceTitle(),
            m_words.maintenanceDescription(), m_words.pick(priorities));
        if (!check(id > 0, QStringLiteral("maintenance request")))
            return;
        const QDate today = Clock::today();
        if (chance(0.6)) {
            at(today.addDays(between(2, 6)), [this, id] {
                check(m_maintenance.updateStatus(id, QStringLiteral("in_progress")),
                    QStringLiteral("maintenance status"));
            });
        }
        if (chance(0.95)) {
            const double cost = roundedTo(betweenReal(80, 2500), 10);
            at(today.addDays(between(7, 30)), [this, id, cost] {
                check(m_maintenance.complete(id, cost), QStringLiteral("maintenance completion"));
            });
        }
    }

    void bookExpense()
    {
        const int propertyIndex = between(0, static_cast<int>(m_propertyIds.size()) - 1);
        const int propertyId = m_propertyIds.at(static_cast<size_t>(propertyIndex));
        int unitId = 0;
        if (chance(0.3)) {
            // A unit of that property: properties hold their units in one run of the unit list.
            const int perProperty = m_profile.floors * m_profile.unitsPerFloor;
            unitId = m_unitList
                         .at(static_cast<size_t>(propertyIndex * perProperty + between(0, perProperty - 1)))
                         .id;
        }
        const int contractorId = chance(0.6) ? anyOf(m_contractorIds) : 0;
        const double amount = roundedTo(betweenReal(150, 6000), 5);
        const QString category = m_words.expenseCategory();
        const int id = m_expenses.add(propertyId, unitId, contractorId, category, m_words.workCategory(),
            category + QStringLiteral(" - ") + m_words.maintenanceTitle(), amount, Clock::todayText(),
            kShekel);
        check(id > 0, QStringLiteral("expense"));
    }

    void recordCheque()
    {
        const QDate today = Clock::today();
        const bool received = chance(0.7);
        QString party;
        int tenantId = 0;
        if (received) {
            // From a tenant who rents now.
            for (int tries = 0; tries < 20 && tenantId == 0; ++tries) {
                const Unit& unit = m_unitList.at(static_cast<size_t>(anyOf(m_rentalUnits)));
                if (unit.contractId != 0)
                    tenantId = m_active.at(unit.contractId).tenantId;
            }
            party = m_db->scalar(QStringLiteral("SELECT full_name FROM tenants WHERE id=?"), { tenantId })
                        .toString();
        } else {
            party = m_db->scalar(QStringLiteral("SELECT name FROM contractors WHERE id=?"),
                            { anyOf(m_contractorIds) })
                        .toString();
        }
        const QDate due = today.addDays(between(0, 90));
        const int id = m_cheques.add(QString::number(between(100000, 999999)),
            received ? QStringLiteral("received") : QStringLiteral("issued"),
            roundedTo(betweenReal(500, 9000), 50), m_words.bank(), dateText(due), party, kShekel, 1.0, 0,
            tenantId);
        if (!check(id > 0, QStringLiteral("cheque")))
            return;
        const double roll = m_random.generateDouble();
        if (roll < 0.97) {
            const QString status = roll < 0.88 ? QStringLiteral("paid") : QStringLiteral("bounced");
            at(due.addDays(between(0, 3)), [this, id, status] {
                check(m_cheques.updateStatus(id, status), QStringLiteral("cheque status"));
            });
        }
    }

    // ---------------------------------------------------------------------------------------
    // Sales
    // ---------------------------------------------------------------------------------------

    void planSales(const QDate& firstMonth, const QDate& today)
    {
        const int count = std::min<int>(m_profile.sales, static_cast<int>(m_saleUnits.size()));
        const int span = std::max(1, static_cast<int>(firstMonth.daysTo(today)) - 20);
        for (int i = 0; i < count; ++i) {
            const int unitIndex = m_saleUnits.at(static_cast<size_t>(i));
            at(firstMonth.addDays(between(0, span)), [this, unitIndex] { sell(unitIndex); });
        }
    }

    void sell(int unitIndex)
    {
        const Unit& unit = m_unitList.at(static_cast<size_t>(unitIndex));
        ++m_people;
        const QString city = m_words.city();
        const int buyerId
            = m_buyers.add(m_words.personName(), QString::number(800000000 + m_people * 37 + between(0, 36)),
                m_words.phone(), QString(), m_words.address(city));
        if (!check(buyerId > 0, QStringLiteral("buyer")))
            return;
        const int currency = chance(0.15) ? kDollar : kShekel;
        const double price = roundedTo(
            unit.salePrice * betweenReal(0.95, 1.0) / (currency == kDollar ? kDollarRate : 1.0), 1000);
        const bool cash = chance(0.1);
        static const std::vector<int> terms = { 12, 24, 24, 36, 36, 48 };
        const int count = cash ? 0 : anyOf(terms);
        const double down = cash ? price : roundedTo(price * betweenReal(0.1, 0.3), 1000);
        const bool chequeBook = !cash && chance(0.6);
        const QString firstCheque = chequeBook ? QString::number(between(100000, 900000)) : QString();
        const QString bank = chequeBook ? m_words.bank() : QString();
        const QString saleDate = Clock::todayText();
        const int sold = m_installments.sellUnit(
            buyerId, unit.id, price, down, count, saleDate, currency, firstCheque, bank);
        if (!check(sold == 1, QStringLiteral("sale of unit %1").arg(unit.id)))
            return;
        planCollections(buyerId, unit.id);
    }

    void planCollections(int buyerId, int unitId)
    {
        const QVariantList rows = m_db->execQuery(QStringLiteral(
                                                      R"(SELECT i.id, i.installment_amount, i.due_date,
                                                                (SELECT MIN(c.id) FROM cheques c WHERE c.installment_id=i.id) as cheque_id
                                                         FROM installments i WHERE i.buyer_id=? AND i.unit_id=? ORDER BY i.id)"),
            { buyerId, unitId });
        const QDate today = m_options.today;
        for (const QVariant& value : rows) {
            const QVariantMap row = value.toMap();
            const int id = row.value(QStringLiteral("id")).toInt();
            const double amount = row.value(QStringLiteral("installment_amount")).toDouble();
            const QDate due
                = QDate::fromString(row.value(QStringLiteral("due_date")).toString(), kDateFormat);
            const int chequeId = row.value(QStringLiteral("cheque_id")).toInt();
            // Installments falling due today or yesterday are still open, as in any office.
            const bool dueNow = due == today || due == today.addDays(-1);
            const double roll = dueNow ? 0.97 : m_random.generateDouble();
            if (roll < 0.72) {
                collect(due.addDays(between(0, 4)), id, amount);
            } else if (roll < 0.9) {
                collect(due.addDays(between(5, 25)), id, amount);
            } else if (roll < 0.95) {
                // Half in cash, the rest when the cheque is cashed (in cash too when there is none).
                const double first = cents(amount / 2);
                const QDate firstDay = due.addDays(between(0, 10));
                collect(firstDay, id, first);
                const QDate restDay = firstDay.addDays(between(15, 45));
                if (chequeId > 0)
                    cash(restDay, chequeId, amount - first);
                else
                    collect(restDay, id, amount - first);
            } else if (roll < 0.99) {
                collect(due.addDays(between(30, 90)), id, amount);
            } else if (chequeId > 0) {
                // The cheque came back and the buyer has not paid since.
                at(due.addDays(3), [this, chequeId] {
                    check(m_cheques.updateStatus(chequeId, QStringLiteral("bounced")),
                        QStringLiteral("bounced cheque"));
                });
            }
        }
    }

    /** Cashing an installment's cheque collects what is still open on the installment. */
    void cash(const QDate& day, int chequeId, double open)
    {
        at(day, [this, chequeId, open] {
            check(m_cheques.updateStatus(chequeId, QStringLiteral("paid")),
                QStringLiteral("cashed cheque %1").arg(chequeId));
        });
    }

    void collect(const QDate& day, int installmentId, double amount)
    {
        at(day, [this, installmentId, amount] {
            check(m_installments.payInstallment(installmentId, amount),
                QStringLiteral("collection of installment %1").arg(installmentId));
        });
    }

    Database* m_db;
    const Options& m_options;
    const OfficeProfile m_profile;
    QRandomGenerator m_random;
    OfficeVocabulary m_words;
    QString m_failure;

    SettingsManager m_settings;
    PropertyModel m_properties;
    UnitModel m_units;
    TenantModel m_tenants;
    ContractModel m_contracts;
    InvoiceModel m_invoices;
    PaymentModel m_payments;
    MaintenanceModel m_maintenance;
    ExpenseModel m_expenses;
    ChequeModel m_cheques;
    BuyerModel m_buyers;
    InstallmentModel m_installments;
    CurrencyModel m_currencies;
    AuthController m_auth;

    std::vector<Unit> m_unitList;
    std::vector<int> m_rentalUnits;
    std::vector<int> m_saleUnits;
    std::vector<int> m_propertyIds;
    std::vector<int> m_contractorIds;
    std::map<int, Contract> m_active; // by contract id, so walks are in a fixed order
    std::multimap<QDate, std::function<void()>> m_calendar; // same-day events keep their order
    int m_people = 0;
    int m_lastInvoiceId = 0;
    int m_waterService = 0;
    int m_powerService = 0;
};

DataGenerator::DataGenerator(Database* db)
    : m_db(db)
{ }

DataGenerator::~DataGenerator() = default;

bool DataGenerator::generate(const Options& options)
{
    m_error.clear();
    if (options.profile.name.isEmpty() || !options.today.isValid()) {
        m_error = QStringLiteral("no profile or no end date");
        return false;
    }
    if (m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM properties")).toInt() > 0) {
        m_error = QStringLiteral("the database already holds an office");
        return false;
    }
    Office office(m_db, options);
    if (!office.run(&m_error)) {
        qCWarning(lcDatagen) << m_error;
        return false;
    }
    return true;
}

QString DataGenerator::errorString() const
{
    return m_error;
}
