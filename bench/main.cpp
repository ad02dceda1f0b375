// The benchmark of the speed and memory targets, against the SQLite floor.
//
//   darvelinto-bench --db <large office> --db-small <office with ~50,000 invoices> [--today yyyy-MM-dd]
//                    [--runs N]
//
// Prints the machine, then one line per figure: "name: ours_ms floor_ms ratio" (medians of N
// runs). The floor is the same SQL as the program ran, straight through the SQLite C API. Works on
// copies: the given files are never written.
#include "accountmodel.h"
#include "appbackend.h"
#include "auditmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "clock.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "dashboardcontroller.h"
#include "database.h"
#include "databasecopymanager.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "notificationcontroller.h"
#include "paymentmodel.h"
#include "pgfloor.h"
#include "propertymodel.h"
#include "reportcontroller.h"
#include "sqlfloor.h"
#include "tenantmodel.h"
#include "unitmodel.h"
#include "windowprobe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMetaMethod>
#include <QProcess>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <sqlite3.h>

namespace {

QTextStream out(stdout);

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printFigure(const QString& name, double ours, double floor, const QString& note = QString())
{
    const QString ratio = floor > 0 ? QString::number(ours / floor, 'f', 2) : QStringLiteral("-");
    out << name << ": " << QString::number(ours, 'f', 2) << ' ' << QString::number(floor, 'f', 2) << ' '
        << ratio;
    if (!note.isEmpty())
        out << "  # " << note;
    out << Qt::endl;
}

bool copyDatabase(const QString& from, const QString& to)
{
    for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        QFile::remove(to + suffix);
    return QFile::copy(from, to);
}

// ---------------------------------------------------------------------------------------------
// 1. The rent run
// ---------------------------------------------------------------------------------------------

struct Draft
{
    int tenantId = 0;
    int unitId = 0;
    int contractId = 0;
    int currencyId = 0;
    struct Item
    {
        QByteArray description;
        QByteArray type;
        double quantity = 1;
        double unitPrice = 0;
        double total = 0;
        /** The meter reading a usage line bills; 0 for other lines. */
        sqlite3_int64 usageRecordId = 0;
    };
    std::vector<Item> items;
};

/** The readings of ?1 no live invoice bills yet, as the program picks them. */
const char* const kUnbilledReadings
    = "SELECT ur.id, ur.unit_id, ur.consumption, ur.cost, s.name FROM usage_records ur "
      "JOIN services s ON ur.service_id=s.id WHERE ur.period=?1 AND ur.cost<>0 AND NOT EXISTS (SELECT 1 "
      "FROM invoice_items ii JOIN invoices i ON i.id=ii.invoice_id WHERE ii.usage_record_id=ur.id AND "
      "i.status!='void')";

/** A usage line of a row of kUnbilledReadings. */
Draft::Item usageItem(sqlite3_stmt* readings)
{
    const double quantity = sqlite3_column_double(readings, 2);
    const double cost = sqlite3_column_double(readings, 3);
    return { QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(readings, 4))), "usage", quantity,
        quantity > 1 ? cost / quantity : cost, cost, sqlite3_column_int64(readings, 0) };
}

/** What the rent run of `period` will write, read before the clock starts. */
std::vector<Draft> rentDrafts(sqlite3* db, const QDate& periodStart)
{
    const QByteArray period = periodStart.toString(QStringLiteral("yyyy-MM")).toUtf8();
    std::vector<Draft> drafts;
    sqlite3_stmt* contracts = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT c.id, c.tenant_id, c.unit_id, c.currency_id, c.rent_amount, c.payment_frequency, "
        "c.start_date, "
        "c.end_date FROM contracts c WHERE c.status='active' AND NOT EXISTS (SELECT 1 FROM invoices i WHERE "
        "i.tenant_id=c.tenant_id AND i.period=?1 AND i.contract_id=c.id AND i.status!='void') ORDER BY c.id",
        -1, &contracts, nullptr);
    sqlite3_bind_text(contracts, 1, period.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_stmt* usage = nullptr;
    sqlite3_prepare_v2(db,
        (QByteArray(kUnbilledReadings) + " AND ur.unit_id=?2 ORDER BY ur.service_id, ur.id").constData(), -1,
        &usage, nullptr);
    while (sqlite3_step(contracts) == SQLITE_ROW) {
        const auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(contracts, column)));
        };
        const bool yearly = text(5) == QLatin1String("yearly");
        const QDate begins = QDate::fromString(text(6), Qt::ISODate);
        const QDate ends = QDate::fromString(text(7), Qt::ISODate);
        if (begins.isValid() && QDate(begins.year(), begins.month(), 1) > periodStart)
            continue;
        if (ends.isValid() && QDate(ends.year(), ends.month(), 1) < periodStart)
            continue;
        if (yearly && begins.isValid() && begins.month() != periodStart.month())
            continue;
        Draft draft;
        draft.contractId = sqlite3_column_int(contracts, 0);
        draft.tenantId = sqlite3_column_int(contracts, 1);
        draft.unitId = sqlite3_column_int(contracts, 2);
        draft.currencyId = sqlite3_column_int(contracts, 3);
        const double rent = sqlite3_column_double(contracts, 4);
        draft.items.push_back(
            { yearly ? QByteArray("إيجار سنوي") : QByteArray("إيجار شهري"), "rent", 1, rent, rent });
        sqlite3_bind_text(usage, 1, period.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(usage, 2, draft.unitId);
        while (sqlite3_step(usage) == SQLITE_ROW)
            draft.items.push_back(usageItem(usage));
        sqlite3_reset(usage);
        drafts.push_back(std::move(draft));
    }
    sqlite3_finalize(usage);
    sqlite3_finalize(contracts);
    return drafts;
}

/** The rounding of BookKeeper::converted(), as SQLite's ROUND() does it. */
sqlite3_int64 converted(sqlite3_int64 cents, double rate)
{
    if (rate == 1.0)
        return cents;
    const double product = static_cast<double>(cents) * rate;
    return static_cast<sqlite3_int64>(product + (product < 0 ? -0.5 : 0.5));
}

/** What the program reads once per rent run before posting: the accounts of the roles and the rates. */
struct Books
{
    int receivable = 0, rent = 0, services = 0, primary = 1;
    std::map<int, double> rates; // currency -> latest rate toward the primary one
};

Books readBooks(sqlite3* db)
{
    Books books;
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT posting_role, id FROM accounts WHERE posting_role IS NOT NULL", -1, &query, nullptr);
    while (sqlite3_step(query) == SQLITE_ROW) {
        const QByteArray role(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
        const int id = sqlite3_column_int(query, 1);
        if (role == "tenant_receivable")
            books.receivable = id;
        else if (role == "rent")
            books.rent = id;
        else if (role == "services")
            books.services = id;
    }
    sqlite3_finalize(query);
    sqlite3_prepare_v2(
        db, "SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1", -1, &query, nullptr);
    if (sqlite3_step(query) == SQLITE_ROW)
        books.primary = sqlite3_column_int(query, 0);
    sqlite3_finalize(query);
    sqlite3_prepare_v2(db,
        "SELECT from_currency_id, rate FROM exchange_rates WHERE to_currency_id=?1 AND rate > 0 ORDER BY "
        "date",
        -1, &query, nullptr);
    sqlite3_bind_int(query, 1, books.primary);
    while (sqlite3_step(query) == SQLITE_ROW)
        books.rates[sqlite3_column_int(query, 0)] = sqlite3_column_double(query, 1);
    sqlite3_finalize(query);
    return books;
}

/**
 * What the usage run of `period` will write, read before the clock starts: one invoice per let
 * unit with readings not billed yet, to the tenant of the first active contract covering the month.
 */
std::vector<Draft> usageDrafts(sqlite3* db, const QDate& periodStart)
{
    const QByteArray period = periodStart.toString(QStringLiteral("yyyy-MM")).toUtf8();
    std::map<int, std::vector<Draft::Item>> byUnit;
    sqlite3_stmt* readings = nullptr;
    sqlite3_prepare_v2(db,
        (QByteArray(kUnbilledReadings) + " ORDER BY ur.unit_id, ur.service_id, ur.id").constData(), -1,
        &readings, nullptr);
    sqlite3_bind_text(readings, 1, period.constData(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(readings) == SQLITE_ROW)
        byUnit[sqlite3_column_int(readings, 1)].push_back(usageItem(readings));
    sqlite3_finalize(readings);
    std::vector<Draft> drafts;
    sqlite3_stmt* contracts = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT c.tenant_id, c.unit_id, c.currency_id, c.start_date, c.end_date FROM contracts c "
        "WHERE c.status='active' AND c.unit_id IN (SELECT unit_id FROM usage_records WHERE period=?1) "
        "ORDER BY c.id",
        -1, &contracts, nullptr);
    sqlite3_bind_text(contracts, 1, period.constData(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(contracts) == SQLITE_ROW) {
        const auto date = [&](int column) {
            return QDate::fromString(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(contracts, column))),
                Qt::ISODate);
        };
        const auto found = byUnit.find(sqlite3_column_int(contracts, 1));
        const QDate begins = date(3), ends = date(4);
        if (found == byUnit.end()
            || (begins.isValid() && QDate(begins.year(), begins.month(), 1) > periodStart)
            || (ends.isValid() && QDate(ends.year(), ends.month(), 1) < periodStart))
            continue;
        Draft draft;
        draft.tenantId = sqlite3_column_int(contracts, 0);
        draft.unitId = found->first;
        draft.currencyId = sqlite3_column_int(contracts, 2);
        draft.items = std::move(found->second);
        byUnit.erase(found);
        drafts.push_back(std::move(draft));
    }
    sqlite3_finalize(contracts);
    return drafts;
}

/**
 * The same per-invoice transactions as the rent and usage runs, numbers drawn in advance: the
 * invoice, its items, the tenant's balance and its journal entry with its lines and the accounts'
 * balances; milliseconds.
 */
double floorRun(const QString& path, const QDate& periodStart,
    const std::function<std::vector<Draft>(sqlite3*, const QDate&)>& drafting, int* written)
{
    SqlFloor floor(path);
    sqlite3* db = floor.handle();
    const std::vector<Draft> drafts = drafting(db, periodStart);
    const Books books = readBooks(db);
    const QByteArray period = periodStart.toString(QStringLiteral("yyyy-MM")).toUtf8();
    const QByteArray due = period + "-28";
    const QString prefix
        = QStringLiteral("INV-") + periodStart.toString(QStringLiteral("yyyyMM")) + QLatin1Char('-');
    // The month's series goes on after the invoices already in it (the usage run follows the rent run).
    sqlite3_int64 taken = 0;
    sqlite3_stmt* series = nullptr;
    const QByteArray pattern = (prefix + QLatin1Char('%')).toUtf8();
    sqlite3_prepare_v2(
        db, "SELECT COUNT(*) FROM invoices WHERE invoice_number LIKE ?1", -1, &series, nullptr);
    sqlite3_bind_text(series, 1, pattern.constData(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(series) == SQLITE_ROW)
        taken = sqlite3_column_int64(series, 0);
    sqlite3_finalize(series);
    std::vector<QByteArray> numbers;
    for (size_t i = 0; i < drafts.size(); ++i)
        numbers.push_back(
            (prefix + QString::number(taken + qint64(i) + 1).rightJustified(4, QLatin1Char('0'))).toUtf8());

    sqlite3_stmt *begin, *commit, *invoice, *item, *balance, *entry, *lines[2], *accounts[2];
    sqlite3_prepare_v2(db, "BEGIN", -1, &begin, nullptr);
    sqlite3_prepare_v2(db, "COMMIT", -1, &commit, nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO invoices "
        "(invoice_number,tenant_id,unit_id,contract_id,period,total_amount,balance,status,"
        "currency_id,due_date) VALUES (?,?,?,?,?,?,?,'pending',?,?) RETURNING created_at",
        -1, &invoice, nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO journal_entries (entry_date,description,reference_type,reference_id,currency_id,"
        "original_amount,exchange_rate) VALUES (?,?,?,?,?,?,?) RETURNING id",
        -1, &entry, nullptr);
    // Rent alone posts two lines and moves two accounts; with meter readings, three.
    sqlite3_prepare_v2(db,
        "INSERT INTO journal_lines (entry_id,account_id,debit,credit,original_amount) VALUES "
        "(?,?,?,?,?),(?,?,?,?,?) RETURNING id",
        -1, &lines[0], nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO journal_lines (entry_id,account_id,debit,credit,original_amount) VALUES "
        "(?,?,?,?,?),(?,?,?,?,?),(?,?,?,?,?) RETURNING id",
        -1, &lines[1], nullptr);
    sqlite3_prepare_v2(db,
        "UPDATE accounts SET balance=(ROUND(balance*100)+CASE id WHEN ? THEN ? WHEN ? THEN ? END)/100.0 "
        "WHERE id IN (?,?) RETURNING id",
        -1, &accounts[0], nullptr);
    sqlite3_prepare_v2(db,
        "UPDATE accounts SET balance=(ROUND(balance*100)+CASE id WHEN ? THEN ? WHEN ? THEN ? WHEN ? THEN ? "
        "END)/100.0 WHERE id IN (?,?,?) RETURNING id",
        -1, &accounts[1], nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO invoice_items (invoice_id,description,type,quantity,unit_price,total,usage_record_id) "
        "VALUES (?,?,?,?,?,?,?)",
        -1, &item, nullptr);
    // The running balance is moved in whole hundredths, as the program does.
    sqlite3_prepare_v2(
        db, "UPDATE tenants SET balance=(ROUND(balance*100)+?)/100.0 WHERE id=?", -1, &balance, nullptr);

    const double started = monotonicMs();
    int count = 0;
    for (size_t i = 0; i < drafts.size(); ++i) {
        const Draft& draft = drafts[i];
        double total = 0;
        for (const Draft::Item& line : draft.items)
            total += line.total;
        sqlite3_step(begin);
        sqlite3_reset(begin);
        sqlite3_bind_text(invoice, 1, numbers[i].constData(), -1, SQLITE_STATIC);
        sqlite3_bind_int(invoice, 2, draft.tenantId);
        sqlite3_bind_int(invoice, 3, draft.unitId);
        if (draft.contractId > 0)
            sqlite3_bind_int(invoice, 4, draft.contractId);
        else
            sqlite3_bind_null(invoice, 4);
        sqlite3_bind_text(invoice, 5, period.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_double(invoice, 6, total);
        sqlite3_bind_double(invoice, 7, total);
        sqlite3_bind_int(invoice, 8, draft.currencyId);
        sqlite3_bind_text(invoice, 9, due.constData(), -1, SQLITE_STATIC);
        const bool ok = sqlite3_step(invoice) == SQLITE_ROW;
        const QString createdAt
            = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(invoice, 0)));
        sqlite3_reset(invoice);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        for (const Draft::Item& line : draft.items) {
            sqlite3_bind_int64(item, 1, id);
            sqlite3_bind_text(item, 2, line.description.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(item, 3, line.type.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_double(item, 4, line.quantity);
            sqlite3_bind_double(item, 5, line.unitPrice);
            sqlite3_bind_double(item, 6, line.total);
            if (line.usageRecordId > 0)
                sqlite3_bind_int64(item, 7, line.usageRecordId);
            else
                sqlite3_bind_null(item, 7);
            sqlite3_step(item);
            sqlite3_reset(item);
        }
        sqlite3_bind_int64(balance, 1, std::llround(total * 100));
        sqlite3_bind_int(balance, 2, draft.tenantId);
        sqlite3_step(balance);
        sqlite3_reset(balance);

        // The entry, dated the local day of the invoice, converted at the rate of its currency.
        sqlite3_int64 rentCents = 0, totalCents = 0;
        for (const Draft::Item& line : draft.items) {
            totalCents += std::llround(line.total * 100);
            if (line.type == "rent")
                rentCents += std::llround(line.total * 100);
        }
        const double rate = draft.currencyId == books.primary ? 1.0 : books.rates.at(draft.currencyId);
        const sqlite3_int64 totalPrimary = converted(totalCents, rate);
        const sqlite3_int64 rentPrimary = converted(rentCents, rate);
        QDateTime created = QDateTime::fromString(createdAt, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        created.setTimeSpec(Qt::UTC);
        const QByteArray day = created.toLocalTime().date().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        const QByteArray description
            = QStringLiteral("فاتورة %1").arg(QString::fromUtf8(numbers[i])).toUtf8();
        sqlite3_bind_text(entry, 1, day.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(entry, 2, description.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(entry, 3, "invoice", -1, SQLITE_STATIC);
        sqlite3_bind_int64(entry, 4, id);
        sqlite3_bind_int(entry, 5, draft.currencyId);
        sqlite3_bind_double(entry, 6, totalCents / 100.0);
        sqlite3_bind_double(entry, 7, rate);
        sqlite3_step(entry);
        const sqlite3_int64 entryId = sqlite3_column_int64(entry, 0);
        sqlite3_reset(entry);
        const bool withServices = totalCents != rentCents;
        sqlite3_stmt* insertLines = lines[withServices ? 1 : 0];
        const struct
        {
            int account;
            sqlite3_int64 primary, original;
        } posted[]
            = { { books.receivable, totalPrimary, totalCents }, { books.rent, -rentPrimary, -rentCents },
                  { books.services, rentPrimary - totalPrimary, rentCents - totalCents } };
        const int lineCount = withServices ? 3 : 2;
        for (int k = 0; k < lineCount; ++k) {
            sqlite3_bind_int64(insertLines, k * 5 + 1, entryId);
            sqlite3_bind_int(insertLines, k * 5 + 2, posted[k].account);
            sqlite3_bind_double(
                insertLines, k * 5 + 3, posted[k].primary > 0 ? posted[k].primary / 100.0 : 0.0);
            sqlite3_bind_double(
                insertLines, k * 5 + 4, posted[k].primary < 0 ? -posted[k].primary / 100.0 : 0.0);
            sqlite3_bind_double(insertLines, k * 5 + 5, posted[k].original / 100.0);
        }
        while (sqlite3_step(insertLines) == SQLITE_ROW) { }
        sqlite3_reset(insertLines);
        sqlite3_stmt* move = accounts[withServices ? 1 : 0];
        for (int k = 0; k < lineCount; ++k) {
            sqlite3_bind_int(move, k * 2 + 1, posted[k].account);
            sqlite3_bind_int64(move, k * 2 + 2, posted[k].primary);
            sqlite3_bind_int(move, lineCount * 2 + k + 1, posted[k].account);
        }
        while (sqlite3_step(move) == SQLITE_ROW) { }
        sqlite3_reset(move);
        sqlite3_step(commit);
        sqlite3_reset(commit);
        count += ok ? 1 : 0;
    }
    const double elapsed = monotonicMs() - started;
    for (sqlite3_stmt* statement :
        { begin, commit, invoice, item, balance, entry, lines[0], lines[1], accounts[0], accounts[1] })
        sqlite3_finalize(statement);
    *written = count;
    return elapsed;
}

double rentOurs(const QString& path, const QDate& periodStart, int* written)
{
    Database database;
    if (!database.initialize(path))
        return -1;
    InvoiceModel invoices(&database);
    // The office runs the month's rent on its first day.
    Clock::setToday(periodStart);
    const double started = monotonicMs();
    *written = invoices.generateAllRent(periodStart.toString(QStringLiteral("yyyy-MM")));
    const double elapsed = monotonicMs() - started;
    Clock::setToday(QDate());
    return elapsed;
}

void benchRentRun(
    const QString& label, const QString& source, const QDate& today, int runs, const QString& scratch)
{
    const QDate periodStart = QDate(today.year(), today.month(), 1).addMonths(1);
    const QString copy = QDir(scratch).filePath(QStringLiteral("rent.db"));
    std::vector<double> ours, floors;
    int made = 0, floorMade = 0;
    qint64 existing = 0;
    for (int run = 0; run < runs; ++run) {
        if (!copyDatabase(source, copy))
            return;
        ours.push_back(rentOurs(copy, periodStart, &made));
        if (!copyDatabase(source, copy))
            return;
        floors.push_back(floorRun(copy, periodStart, rentDrafts, &floorMade));
    }
    {
        SqlFloor probe(source);
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(probe.handle(), "SELECT COUNT(*) FROM invoices", -1, &count, nullptr);
        if (sqlite3_step(count) == SQLITE_ROW)
            existing = sqlite3_column_int64(count, 0);
        sqlite3_finalize(count);
    }
    const double oursMs = median(ours);
    const double floorMs = median(floors);
    const QString note
        = QStringLiteral("%1 invoices written, %2 already in the file").arg(made).arg(existing);
    printFigure(QStringLiteral("rent_run_") + label, oursMs, floorMs, note);
    if (made > 0 && floorMade > 0)
        printFigure(QStringLiteral("rent_run_per_invoice_us_") + label, oursMs * 1000 / made,
            floorMs * 1000 / floorMade);
    if (made != floorMade)
        out << "# warning: the floor wrote " << floorMade << " invoices, the program " << made << Qt::endl;
}

/**
 * Every let unit that was ever read is read again for `period`, after its rent was billed: ten of
 * each metered service, not billed yet. Returns the number of readings.
 */
int readMetersAfterRent(const QString& path, const QDate& periodStart)
{
    const QByteArray period = periodStart.toString(QStringLiteral("yyyy-MM")).toUtf8();
    SqlFloor floor(path);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(floor.handle(),
        "INSERT INTO usage_records "
        "(unit_id,service_id,period,previous_reading,current_reading,consumption,cost) "
        "SELECT ur.unit_id, ur.service_id, ?1, MAX(ur.current_reading), MAX(ur.current_reading) + 10, 10, "
        "ROUND(10 * s.rate, 2) FROM usage_records ur JOIN services s ON s.id=ur.service_id "
        "WHERE ur.unit_id IN (SELECT unit_id FROM contracts WHERE status='active') GROUP BY ur.unit_id, "
        "ur.service_id",
        -1, &insert, nullptr);
    sqlite3_bind_text(insert, 1, period.constData(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(insert);
    sqlite3_finalize(insert);
    return rc == SQLITE_DONE ? sqlite3_changes(floor.handle()) : -1;
}

double usageOurs(const QString& path, const QDate& periodStart, int* written)
{
    Database database;
    if (!database.initialize(path))
        return -1;
    InvoiceModel invoices(&database);
    Clock::setToday(periodStart.addDays(9));
    const double started = monotonicMs();
    *written = invoices.billUsage(periodStart.toString(QStringLiteral("yyyy-MM")))
                   .value(QStringLiteral("made"))
                   .toInt();
    const double elapsed = monotonicMs() - started;
    Clock::setToday(QDate());
    return elapsed;
}

/** The usage run of next month's readings, taken after its rent run, against its floor. */
void benchUsageRun(const QString& source, const QDate& today, int runs, const QString& scratch)
{
    const QDate periodStart = QDate(today.year(), today.month(), 1).addMonths(1);
    const QString billed = QDir(scratch).filePath(QStringLiteral("usage-source.db"));
    const QString copy = QDir(scratch).filePath(QStringLiteral("usage.db"));
    int made = 0, floorMade = 0, rentMade = 0;
    if (!copyDatabase(source, billed) || rentOurs(billed, periodStart, &rentMade) < 0)
        return;
    const int readings = readMetersAfterRent(billed, periodStart);
    std::vector<double> ours, floors;
    for (int run = 0; run < runs; ++run) {
        if (!copyDatabase(billed, copy))
            return;
        ours.push_back(usageOurs(copy, periodStart, &made));
        if (!copyDatabase(billed, copy))
            return;
        floors.push_back(floorRun(copy, periodStart, usageDrafts, &floorMade));
    }
    printFigure(QStringLiteral("usage_run"), median(ours), median(floors),
        QStringLiteral("%1 invoices of %2 readings").arg(made).arg(readings));
    if (made != floorMade)
        out << "# warning: the floor wrote " << floorMade << " invoices, the program " << made << Qt::endl;
}

// ---------------------------------------------------------------------------------------------
// 1b. The late-fee run
// ---------------------------------------------------------------------------------------------

/**
 * The late-fee run of `day` on a copy; milliseconds. With `statements`, they are recorded as they
 * run, and the run is not one to time: recording expands every statement's SQL.
 */
double lateFeeOurs(const QString& path, const QDate& day, int* written, QStringList* statements = nullptr)
{
    Database database;
    if (!database.initialize(path))
        return -1;
    InvoiceModel invoices(&database);
    Clock::setToday(day);
    if (statements) {
        SqlRecorder::attach(*static_cast<sqlite3**>(database.getDb().driver()->handle().data()));
        SqlRecorder::start();
    }
    const double started = monotonicMs();
    *written = invoices.issueLateFees().value(QStringLiteral("made")).toInt();
    const double elapsed = monotonicMs() - started;
    if (statements)
        *statements = SqlRecorder::stop();
    Clock::setToday(QDate());
    return elapsed;
}

/**
 * The late-fee run on the 12th of the month after the data's today, when every invoice still open
 * is past its grace period; the floor is the same statements (reads, one transaction of writes)
 * run again through the C API on a fresh copy.
 */
void benchLateFeeRun(const QString& source, const QDate& today, int runs, const QString& scratch)
{
    const QDate day = QDate(today.year(), today.month(), 1).addMonths(1).addDays(11);
    const QString copy = QDir(scratch).filePath(QStringLiteral("fees.db"));
    std::vector<double> ours, floors;
    int made = 0;
    QStringList statements;
    if (!copyDatabase(source, copy) || lateFeeOurs(copy, day, &made, &statements) < 0)
        return;
    for (int run = 0; run < runs; ++run) {
        if (!copyDatabase(source, copy))
            return;
        ours.push_back(lateFeeOurs(copy, day, &made));
        if (!copyDatabase(source, copy))
            return;
        SqlFloor floor(copy);
        if (floor.prepare(statements) > 0)
            out << "# warning: the late-fee floor could not prepare: " << floor.error() << Qt::endl;
        floors.push_back(floor.run());
    }
    printFigure(QStringLiteral("late_fee_run"), median(ours), median(floors),
        QStringLiteral("%1 fees written").arg(made));
}

// ---------------------------------------------------------------------------------------------
// 2. Lists and reports the pages load
// ---------------------------------------------------------------------------------------------

struct Call
{
    QString name;
    QObject* target;
    const char* method;
    QVariantList args;
};

QMetaMethod findMethod(QObject* target, const char* name, int argumentCount)
{
    const QMetaObject* meta = target->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() == name && method.parameterCount() == argumentCount)
            return method;
    }
    return {};
}

/** Calls an invokable by name, as the pages do through QML; false when there is no such method. */
bool invoke(QObject* target, const QMetaMethod& method, const QVariantList& args, QVariant* result)
{
    QVariantList converted = args;
    QGenericArgument arguments[10];
    for (int i = 0; i < converted.size(); ++i) {
        converted[i].convert(method.parameterMetaType(i));
        arguments[i] = QGenericArgument(method.parameterTypeName(i).constData(), converted[i].constData());
    }
    *result = QVariant(method.returnMetaType(), nullptr);
    return method.invoke(target, Qt::DirectConnection,
        QGenericReturnArgument(method.typeName(), result->data()), arguments[0], arguments[1], arguments[2],
        arguments[3], arguments[4], arguments[5], arguments[6], arguments[7], arguments[8], arguments[9]);
}

int rowsOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QVariantList>())
        return static_cast<int>(value.toList().size());
    return 1;
}

QVariant firstValue(Database* db, const QString& sql)
{
    return db->scalar(sql);
}

/**
 * Deleting a unit asks whether anything in the whole history refers to it (contracts, invoices,
 * payments, installments, expenses, ...) and makes SQLite check every foreign key that may point
 * at it and at its cost centre. Each run deletes a fresh unit of its own, added untimed; there is
 * no floor, as the statements of one delete find nothing to delete when run again.
 */
void benchUnitDelete(AppBackend& backend, const QVariant& property, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const int unit = backend.unitModel()->add(
            property.toInt(), QStringLiteral("bench-%1").arg(run), 1, 80, 2, 500, 6000, 0, 1);
        const double started = monotonicMs();
        const bool removed = unit > 0 && backend.unitModel()->remove(unit);
        times.push_back(monotonicMs() - started);
        if (!removed) {
            out << "unit_remove: could not add and delete a unit" << Qt::endl;
            return;
        }
    }
    printFigure(QStringLiteral("unit_remove"), median(times), 0, QStringLiteral("a unit without history"));
}

/**
 * Times a page call against its floor. `recordAndPrepare` makes a first call, which warms the page
 * caches of both connections, and prepares the floor from the statements it sent (answering their
 * number); then each timed call is followed by a run of the floor.
 */
void timeCall(const QString& name, const Call& call, const QMetaMethod& method, int runs,
    const std::function<int(QVariant*)>& recordAndPrepare, const std::function<double()>& runFloor)
{
    QVariant result;
    const int statements = recordAndPrepare(&result);
    runFloor();
    std::vector<double> ours, floors;
    for (int run = 0; run < runs; ++run) {
        // The rows of the run before are let go first: freeing them is not this call's work.
        result = QVariant();
        const double started = monotonicMs();
        invoke(call.target, method, call.args, &result);
        ours.push_back(monotonicMs() - started);
        floors.push_back(runFloor());
    }
    printFigure(name, median(ours), median(floors),
        QStringLiteral("%1 rows, %2 statements").arg(rowsOf(result)).arg(statements));
}

/** The calls the pages make, on the rows of the office the pages would open first. */
std::vector<Call> listCalls(AppBackend& backend, Database& database, const QDate& today)
{
    const QVariant tenant = firstValue(&database,
        QStringLiteral(
            "SELECT tenant_id FROM invoices GROUP BY tenant_id ORDER BY COUNT(*) DESC, tenant_id LIMIT 1"));
    const QVariant buyer = firstValue(&database,
        QStringLiteral(
            "SELECT buyer_id FROM installments GROUP BY buyer_id ORDER BY COUNT(*) DESC, buyer_id LIMIT 1"));
    const QVariant contractor = firstValue(&database,
        QStringLiteral(
            "SELECT contractor_id FROM expenses WHERE contractor_id IS NOT NULL GROUP BY contractor_id "
            "ORDER BY COUNT(*) DESC, contractor_id LIMIT 1"));
    const QVariant project = firstValue(&database,
        QStringLiteral(
            "SELECT property_id FROM units WHERE status='sold' GROUP BY property_id ORDER BY COUNT(*) DESC, "
            "property_id LIMIT 1"));
    const QVariant property = firstValue(&database,
        QStringLiteral(
            "SELECT property_id FROM units WHERE status='rented' GROUP BY property_id ORDER BY COUNT(*) "
            "DESC, property_id LIMIT 1"));
    const QVariant soldUnit = database.scalar(
        QStringLiteral("SELECT id FROM units WHERE status='sold' AND property_id=? ORDER BY id LIMIT 1"),
        { project });
    const QString year = QString::number(today.year());
    const QVariant tenantName
        = database.scalar(QStringLiteral("SELECT full_name FROM tenants WHERE id=?"), { tenant });
    const QVariant buyerName
        = database.scalar(QStringLiteral("SELECT full_name FROM buyers WHERE id=?"), { buyer });
    const QString none = QStringLiteral("لا يوجد");
    // The year before today's, as the reports page asks for a range.
    const QString yearStart = QString::number(today.year() - 1) + QStringLiteral("-01-01");
    const QString yearEnd = QString::number(today.year() - 1) + QStringLiteral("-12-31");

    return {
        { QStringLiteral("dashboard_getStats"), backend.dashboardController(), "getStats", {} },
        { QStringLiteral("dashboard_getRecentPayments"), backend.dashboardController(), "getRecentPayments",
            {} },
        { QStringLiteral("dashboard_getRecentMaintenance"), backend.dashboardController(),
            "getRecentMaintenance", {} },
        { QStringLiteral("dashboard_getExpiringContracts"), backend.dashboardController(),
            "getExpiringContracts", {} },
        { QStringLiteral("dashboard_getCollectionRate"), backend.dashboardController(), "getCollectionRate",
            {} },
        { QStringLiteral("dashboard_getMonthlyCollections"), backend.dashboardController(),
            "getMonthlyCollections", {} },
        { QStringLiteral("alerts_getActiveAlerts"), backend.notificationController(), "getActiveAlerts", {} },
        { QStringLiteral("alerts_getAlertCount"), backend.notificationController(), "getAlertCount", {} },
        { QStringLiteral("insights_getAIInsights"), backend.reportController(), "getAIInsights", {} },
        { QStringLiteral("analysis_getSmartAIAnalysis"), backend.reportController(), "getSmartAIAnalysis",
            {} },
        { QStringLiteral("property_getAll"), backend.propertyModel(), "getAll", {} },
        { QStringLiteral("unit_getAll"), backend.unitModel(), "getAll", {} },
        { QStringLiteral("unit_getAvailable"), backend.unitModel(), "getAvailable", {} },
        { QStringLiteral("tenant_getAll"), backend.tenantModel(), "getAll", {} },
        { QStringLiteral("contract_getAll"), backend.contractModel(), "getAll", {} },
        { QStringLiteral("contract_getExpiring"), backend.contractModel(), "getExpiring", { 30 } },
        { QStringLiteral("invoice_getAll"), backend.invoiceModel(), "getAll", {} },
        { QStringLiteral("payment_getAll"), backend.paymentModel(), "getAll", {} },
        { QStringLiteral("payment_getRecent"), backend.paymentModel(), "getRecent", {} },
        { QStringLiteral("maintenance_getAll"), backend.maintenanceModel(), "getAll", {} },
        { QStringLiteral("expense_getAll"), backend.expenseModel(), "getAll", {} },
        { QStringLiteral("expense_getContractors"), backend.expenseModel(), "getContractors", {} },
        { QStringLiteral("account_getAll"), backend.accountModel(), "getAll", {} },
        { QStringLiteral("account_getJournalEntries"), backend.accountModel(), "getJournalEntries", {} },
        { QStringLiteral("cheque_getAll"), backend.chequeModel(), "getAll", {} },
        { QStringLiteral("buyer_getAll"), backend.buyerModel(), "getAll", {} },
        { QStringLiteral("installment_getAll"), backend.installmentModel(), "getAll", {} },
        { QStringLiteral("installment_getOverdue"), backend.installmentModel(), "getOverdue", {} },
        { QStringLiteral("currency_getAll"), backend.currencyModel(), "getAll", {} },
        { QStringLiteral("audit_getLogs"), backend.auditManager(), "getLogs", {} },
        { QStringLiteral("report_getPropertyComparison"), backend.reportController(), "getPropertyComparison",
            {} },
        { QStringLiteral("report_getProfitLoss"), backend.reportController(), "getProfitLoss", {} },
        { QStringLiteral("report_getBalanceSheet"), backend.reportController(), "getBalanceSheet", {} },
        { QStringLiteral("report_getOverdueInstallments"), backend.reportController(),
            "getOverdueInstallments", {} },
        { QStringLiteral("report_getMonthlyReport"), backend.reportController(), "getMonthlyReport",
            { year } },
        { QStringLiteral("report_getChequeReport"), backend.reportController(), "getChequeReport", {} },
        { QStringLiteral("report_getProfitLoss_year"), backend.reportController(), "getProfitLoss",
            { yearStart, yearEnd } },
        { QStringLiteral("report_getChequeReport_pending_year"), backend.reportController(),
            "getChequeReport", { QStringLiteral("pending"), yearStart, yearEnd } },
        { QStringLiteral("statement_tenant_year"), backend.reportController(), "getTenantStatement",
            { tenant, yearStart, yearEnd } },
        { QStringLiteral("statement_tenant"), backend.reportController(), "getTenantStatement", { tenant } },
        { QStringLiteral("statement_buyer"), backend.reportController(), "getBuyerStatement", { buyer } },
        { QStringLiteral("statement_contractor"), backend.reportController(), "getContractorStatement",
            { contractor } },
        { QStringLiteral("project_getProjectDetailedFinancials"), backend.reportController(),
            "getProjectDetailedFinancials", { project } },
        { QStringLiteral("project_getProjectCostCenters"), backend.reportController(),
            "getProjectCostCenters", { project } },
        { QStringLiteral("project_getPropertyProfitability"), backend.reportController(),
            "getPropertyProfitability", { property } },
        { QStringLiteral("project_getPropertyProfitability_year"), backend.reportController(),
            "getPropertyProfitability", { property, yearStart, yearEnd } },
        { QStringLiteral("project_getUnitProfitability"), backend.reportController(), "getUnitProfitability",
            { soldUnit } },
        { QStringLiteral("account_getBalanceSheet"), backend.accountModel(), "getBalanceSheet", {} },
        // The books the operations post to: the accounting page's views and the reports' same basis.
        { QStringLiteral("account_getTrialBalance"), backend.accountModel(), "getTrialBalance", {} },
        { QStringLiteral("account_getProfitLoss_year"), backend.accountModel(), "getProfitLoss",
            { yearStart, yearEnd } },
        { QStringLiteral("report_getAccrualSummary"), backend.reportController(), "getAccrualSummary", {} },
        { QStringLiteral("report_getAccrualSummary_year"), backend.reportController(), "getAccrualSummary",
            { yearStart, yearEnd } },
        // The paged lists of the pages: the first page, one deep in the list, and searches.
        { QStringLiteral("invoice_getPage"), backend.invoiceModel(), "getPage", { 0, 51, QString() } },
        { QStringLiteral("invoice_getPage_deep"), backend.invoiceModel(), "getPage",
            { 100000, 51, QString() } },
        { QStringLiteral("invoice_getPage_tenant"), backend.invoiceModel(), "getPage",
            { 0, 51, tenantName } },
        { QStringLiteral("invoice_getPage_nomatch"), backend.invoiceModel(), "getPage", { 0, 51, none } },
        { QStringLiteral("payment_getPage"), backend.paymentModel(), "getPage", { 0, 51, QString() } },
        { QStringLiteral("payment_getPage_deep"), backend.paymentModel(), "getPage",
            { 100000, 51, QString() } },
        { QStringLiteral("payment_getPage_tenant"), backend.paymentModel(), "getPage",
            { 0, 51, tenantName } },
        { QStringLiteral("payment_getPage_nomatch"), backend.paymentModel(), "getPage", { 0, 51, none } },
        { QStringLiteral("installment_getPage"), backend.installmentModel(), "getPage",
            { 0, 0, 51, QString() } },
        { QStringLiteral("installment_getPage_buyer"), backend.installmentModel(), "getPage",
            { buyer, 0, 51, QString() } },
        { QStringLiteral("cheque_getPage"), backend.chequeModel(), "getPage",
            { QStringLiteral("all"), 0, 51, QString() } },
        { QStringLiteral("cheque_getPage_postdated"), backend.chequeModel(), "getPage",
            { QStringLiteral("postdated"), 0, 500, QString() } },
        { QStringLiteral("cheque_getPage_buyer"), backend.chequeModel(), "getPage",
            { QStringLiteral("all"), 0, 51, buyerName } },
        { QStringLiteral("cheque_getStatusTotals"), backend.chequeModel(), "getStatusTotals", {} },
        { QStringLiteral("property_getPage"), backend.propertyModel(), "getPage", { 0, 51, QString() } },
        { QStringLiteral("tenant_getPage"), backend.tenantModel(), "getPage", { 0, 51, QString() } },
        { QStringLiteral("journal_getPage"), backend.accountModel(), "getJournalPage", { 0, 51, QString() } },
    };
}

void benchLists(const QString& copy, const QDate& today, int runs, const QString& scratch)
{
    Clock::setToday(today);
    Database database;
    if (!database.initialize(copy))
        return;
    AppBackend backend(&database, scratch);
    SqlRecorder::attach(*static_cast<sqlite3**>(database.getDb().driver()->handle().data()));
    SqlFloor floor(copy);

    const std::vector<Call> calls = listCalls(backend, database, today);

    for (const Call& call : calls) {
        const QMetaMethod method = findMethod(call.target, call.method, static_cast<int>(call.args.size()));
        if (!method.isValid()) {
            out << call.name << ": not built yet" << Qt::endl;
            continue;
        }
        timeCall(
            call.name, call, method, runs,
            [&](QVariant* result) {
                SqlRecorder::start();
                invoke(call.target, method, call.args, result);
                const QStringList statements = SqlRecorder::stop();
                floor.prepare(statements);
                return int(statements.size());
            },
            [&] { return floor.run(); });
    }
    const QVariant property = firstValue(&database,
        QStringLiteral(
            "SELECT property_id FROM units WHERE status='rented' GROUP BY property_id ORDER BY COUNT(*) "
            "DESC, property_id LIMIT 1"));
    benchUnitDelete(backend, property, runs);
    Clock::setToday(QDate());
}

// ---------------------------------------------------------------------------------------------
// 3 and 4. The window, each run in a process of its own
// ---------------------------------------------------------------------------------------------

void benchWindow(const QString& copy, const QDate& today, int runs, const QString& scratch)
{
    std::vector<double> startup, login, allPages, rss;
    QStringList startupSql, loginSql;
    QString frame;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        const QString sqlPrefix = QDir(scratch).filePath(QStringLiteral("window-sql"));
        const double spawned = monotonicMs();
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--window-probe"), QStringLiteral("--db"), copy, QStringLiteral("--today"),
                today.toString(Qt::ISODate), QStringLiteral("--spawned-at"), QString::number(spawned, 'f', 3),
                QStringLiteral("--sql-out"), sqlPrefix });
        if (!child.waitForFinished(120000) || child.exitCode() != 0) {
            out << "# window run failed: " << child.readAllStandardOutput() << Qt::endl;
            return;
        }
        const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            const QString key = line.section(QLatin1Char('='), 0, 0);
            const QString value = line.section(QLatin1Char('='), 1);
            if (key == QLatin1String("startup_ms"))
                startup.push_back(value.toDouble());
            else if (key == QLatin1String("login_ms"))
                login.push_back(value.toDouble());
            else if (key == QLatin1String("all_pages_ms"))
                allPages.push_back(value.toDouble());
            else if (key == QLatin1String("peak_rss_kb"))
                rss.push_back(value.toDouble() / 1024.0);
            else if (key == QLatin1String("frame"))
                frame = value;
        }
        const auto readSql = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly)
                ? QString::fromUtf8(file.readAll()).split(QStringLiteral("\n;;\n"), Qt::SkipEmptyParts)
                : QStringList();
        };
        startupSql = readSql(sqlPrefix + QStringLiteral("-startup.sql"));
        loginSql = readSql(sqlPrefix + QStringLiteral("-login.sql"));
    }
    const auto floorOf = [&](const QStringList& statements) {
        SqlFloor floor(copy);
        floor.prepare(statements);
        floor.run();
        std::vector<double> times;
        for (int run = 0; run < runs; ++run)
            times.push_back(floor.run());
        return median(times);
    };
    printFigure(QStringLiteral("startup_to_login_window"), median(startup), floorOf(startupSql),
        QStringLiteral("%1 statements").arg(startupSql.size()));
    printFigure(
        QStringLiteral("login_to_main_frame"), median(login), 0, QStringLiteral("shown: %1").arg(frame));
    printFigure(QStringLiteral("login_and_all_twelve_pages"), median(allPages), floorOf(loginSql),
        QStringLiteral("%1 statements").arg(loginSql.size()));
    out << "login_peak_rss_mb: " << QString::number(median(rss), 'f', 1) << Qt::endl;
}

// ---------------------------------------------------------------------------------------------
// 5. The same office on a PostgreSQL server, against the same statements sent through libpq
// ---------------------------------------------------------------------------------------------

/** Runs one statement on the server's "postgres" database, outside any transaction. */
bool administer(const ServerAddress& server, const QString& sql)
{
    const QString name = QStringLiteral("bench_admin");
    bool done = false;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        server.applyTo(admin);
        done = admin.open() && QSqlQuery(admin).exec(sql);
        admin.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!done)
        out << "# the server refused: " << sql << Qt::endl;
    return done;
}

/** A fresh database on the server, a copy of `from` when one is named. */
ServerAddress freshDatabase(const ServerAddress& server, const QString& name, const QString& from = QString())
{
    ServerAddress address = server;
    address.database = name;
    administer(server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    const bool made = administer(server,
        QStringLiteral("CREATE DATABASE %1").arg(name)
            + (from.isEmpty() ? QString() : QStringLiteral(" TEMPLATE ") + from));
    return made ? address : ServerAddress();
}

/** The statements a call sends, recorded while it runs. */
class SentStatements
{
public:
    SentStatements()
    {
        Database::setStatementTrace([this](const QString& sql, const QVariantList& params) {
            m_sent.push_back({ sql, params });
        });
    }
    ~SentStatements() { Database::setStatementTrace({}); }
    const std::vector<PgFloor::Statement>& statements() const { return m_sent; }

private:
    std::vector<PgFloor::Statement> m_sent;
};

bool copyToServer(const QString& current, const ServerAddress& office)
{
    Database file(QStringLiteral("bench_file"));
    Database onServer(QStringLiteral("bench_server"));
    if (!file.initialize(current) || !onServer.initializeServer(office))
        return false;
    const double started = monotonicMs();
    const DatabaseCopyReport report = DatabaseCopyManager::copy(file, onServer);
    qint64 rows = 0;
    for (const qint64 tableRows : report.rows)
        rows += tableRows;
    printFigure(QStringLiteral("server_copy_office"), monotonicMs() - started, 0,
        report.copied
            ? QStringLiteral("%1 rows in %2 tables, each read back").arg(rows).arg(report.tables.size())
            : report.error);
    return report.copied;
}

void benchServerRent(const ServerAddress& server, const QString& office, const QDate& today, int runs)
{
    const QDate periodStart = QDate(today.year(), today.month(), 1).addMonths(1);
    std::vector<double> ours, floors;
    int made = 0;
    size_t sent = 0;
    for (int run = 0; run < runs; ++run) {
        const ServerAddress oursAt = freshDatabase(server, QStringLiteral("bench_rent_ours"), office);
        const ServerAddress floorAt = freshDatabase(server, QStringLiteral("bench_rent_floor"), office);
        std::vector<PgFloor::Statement> statements;
        {
            Database database(QStringLiteral("bench_rent"));
            if (!oursAt.isComplete() || !floorAt.isComplete() || !database.initializeServer(oursAt))
                return;
            InvoiceModel invoices(&database);
            Clock::setToday(periodStart);
            const SentStatements recorded;
            const double started = monotonicMs();
            made = invoices.generateAllRent(periodStart.toString(QStringLiteral("yyyy-MM")));
            ours.push_back(monotonicMs() - started);
            statements = recorded.statements();
            Clock::setToday(QDate());
        }
        PgFloor floor(floorAt.toString());
        if (floor.prepare(statements) > 0)
            out << "# the floor's server refused a statement: " << floor.error() << Qt::endl;
        floors.push_back(floor.run());
        sent = statements.size();
    }
    printFigure(QStringLiteral("server_rent_run_240k"), median(ours), median(floors),
        QStringLiteral("%1 invoices written, %2 statements").arg(made).arg(sent));
}

void benchServerLists(const ServerAddress& office, const QDate& today, int runs, const QString& scratch)
{
    Clock::setToday(today);
    Database database(QStringLiteral("bench_lists"));
    if (!database.initializeServer(office))
        return;
    AppBackend backend(&database, scratch);
    PgFloor floor(office.toString());
    for (const Call& call : listCalls(backend, database, today)) {
        const QMetaMethod method = findMethod(call.target, call.method, static_cast<int>(call.args.size()));
        if (!method.isValid())
            continue;
        timeCall(
            QStringLiteral("server_") + call.name, call, method, runs,
            [&](QVariant* result) {
                const SentStatements recorded;
                invoke(call.target, method, call.args, result);
                floor.prepare(recorded.statements());
                return int(recorded.statements().size());
            },
            [&] { return floor.run(); });
    }
    Clock::setToday(QDate());
}

/** The server's address from the file the throwaway server's start wrote (host, port, user). */
ServerAddress serverFromFile(const QString& path)
{
    QFile file(path);
    QString words = QStringLiteral("dbname=postgres");
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("host=") || line.startsWith("port=") || line.startsWith("user="))
                words += QLatin1Char(' ') + QString::fromUtf8(line.trimmed());
        }
    }
    return ServerAddress::parse(words);
}

void benchServer(
    const QString& serverFile, const QString& current, const QDate& today, int runs, const QString& scratch)
{
    const ServerAddress server = serverFromFile(serverFile);
    if (!server.isComplete()) {
        out << "# no PostgreSQL server for the server figures" << Qt::endl;
        return;
    }
    const QString office = QStringLiteral("bench_office");
    const ServerAddress officeAt = freshDatabase(server, office);
    if (!officeAt.isComplete() || !copyToServer(current, officeAt))
        return;
    benchServerRent(server, office, today, std::min(runs, 2));
    benchServerLists(officeAt, today, runs, scratch);
    for (const QString& name :
        { office, QStringLiteral("bench_rent_ours"), QStringLiteral("bench_rent_floor") })
        administer(server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--window-probe") == 0)
        return runWindowProbe(argc, argv);

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("db"), QStringLiteral("The large office."), QStringLiteral("file") });
    parser.addOption({ QStringLiteral("db-small"), QStringLiteral("The same office a year old."),
        QStringLiteral("file") });
    parser.addOption(
        { QStringLiteral("today"), QStringLiteral("The data's today."), QStringLiteral("yyyy-MM-dd") });
    parser.addOption({ QStringLiteral("runs"), QStringLiteral("Runs per figure."), QStringLiteral("N"),
        QStringLiteral("5") });
    parser.addOption({ QStringLiteral("only"), QStringLiteral("rent, usage, fees, lists, window or server."),
        QStringLiteral("part") });
    parser.addOption({ QStringLiteral("server-env"),
        QStringLiteral(
            "Where a PostgreSQL server for the server figures listens (host=, port=, user= lines)."),
        QStringLiteral("file") });
    parser.process(app);
    const QString source = parser.value(QStringLiteral("db"));
    const QDate today = parser.isSet(QStringLiteral("today"))
        ? QDate::fromString(parser.value(QStringLiteral("today")), Qt::ISODate)
        : QDate::currentDate();
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
    const QString only = parser.value(QStringLiteral("only"));
    if (source.isEmpty() || !QFile::exists(source) || !today.isValid()) {
        QTextStream(stderr)
            << "usage: darvelinto-bench --db <large.db> [--db-small <file>] [--today yyyy-MM-dd]\n";
        return 2;
    }

    out << "machine: " << QThread::idealThreadCount() << " cores, " << QSysInfo::prettyProductName()
        << ", SQLite " << sqlite3_libversion() << ", Qt " << qVersion() << Qt::endl;
    out << "data: " << source << " (today " << today.toString(Qt::ISODate) << "), median of " << runs
        << " runs" << Qt::endl;

    QTemporaryDir scratch;
    const QString copy = QDir(scratch.path()).filePath(QStringLiteral("darvelinto.db"));
    if (!copyDatabase(source, copy)) {
        QTextStream(stderr) << "cannot copy " << source << "\n";
        return 1;
    }
    // The floors write straight into the file: bring a file of an older version up to date first,
    // as the program does when it opens one.
    const QString current = QDir(scratch.path()).filePath(QStringLiteral("current.db"));
    if (!copyDatabase(source, current) || !Database().initialize(current)) {
        QTextStream(stderr) << "cannot bring " << source << " up to date\n";
        return 1;
    }
    if (only.isEmpty() || only == QLatin1String("rent")) {
        benchRentRun(QStringLiteral("240k"), current, today, std::min(runs, 3), scratch.path());
        const QString small = parser.value(QStringLiteral("db-small"));
        if (!small.isEmpty() && QFile::exists(small))
            benchRentRun(QStringLiteral("50k"), small, today, std::min(runs, 3), scratch.path());
    }
    if (only.isEmpty() || only == QLatin1String("fees"))
        benchLateFeeRun(source, today, std::min(runs, 3), scratch.path());
    if (only.isEmpty() || only == QLatin1String("usage"))
        benchUsageRun(current, today, std::min(runs, 3), scratch.path());
    if (only.isEmpty() || only == QLatin1String("lists"))
        benchLists(copy, today, runs, scratch.path());
    if (only.isEmpty() || only == QLatin1String("window"))
        benchWindow(copy, today, std::min(runs, 3), scratch.path());
    if ((only.isEmpty() || only == QLatin1String("server")) && parser.isSet(QStringLiteral("server-env")))
        benchServer(parser.value(QStringLiteral("server-env")), current, today, runs, scratch.path());
    return 0;
}
