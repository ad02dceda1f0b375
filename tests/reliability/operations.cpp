#include "operations.h"

#include "clock.h"
#include "receiptcontroller.h"
#include "remindermodel.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace Operations {

namespace {

const QStringList kHostileTexts = { QString(), u""_s, u"2025-13-45"_s, u"'; DROP TABLE tenants; --"_s,
    u"2025-02-30"_s, u"2025-1-5"_s, u" 2025-03-15"_s, u"2025-03-15 "_s, u"٢٠٢٥-٠٣-١٥"_s, u"2025-03-15😀"_s,
    u"2025-03-15"_s + QChar(0) + u"x"_s, QString(QChar(0)), u"NaN"_s, u"inf"_s, u"-0"_s, u"1e308"_s,
    u"<b>x</b><script>alert(1)</script>"_s, u"9999-12-31"_s, u"0000-00-00"_s, u"2025/03/15"_s,
    u"+2025-03-15"_s, u"Robert'); DROP TABLE invoices;--"_s, u"مستأجر"_s, u"🏠🔑"_s, QString(100 * 1024, u'x'),
    u"ع"_s.repeated(100 * 1024), u"%"_s, u"_"_s, u"\\"_s, u"\n"_s, u"\r\n"_s, u"1,2,3"_s, u"2025-03"_s,
    u"2025-00"_s, u"2025-3"_s, u"202503"_s, u"2025-03-"_s, u"yyyy-MM"_s, u"-2025-03-15"_s };
// Sound dates of their own, so that spoiled dates also come in the wrong order.
const QStringList kDates = { u"2024-02-29"_s, u"2025-03-15"_s, u"2025-12-31"_s, u"2030-01-01"_s };
const QList<double> kAmounts = { qQNaN(), qInf(), -qInf(), -0.0, 0.0, 1e308, -1e308,
    std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(), 1e-308, 0.004, 0.005, 0.01,
    -1.0, -0.01, 1e13, 1.0000001e13, 123.45, 1e15, 0.1 + 0.2 };
const QList<int> kInts = { 0, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 1, 2, 3,
    5, 999999, 1200, 1201 };

QString shown(const QString& text)
{
    QString shortened = text.size() > 24 ? text.left(24) + u"…(%1)"_s.arg(text.size()) : text;
    shortened.replace(QChar(0), u"\\0"_s).replace(u'\n', u"\\n"_s);
    return u'"' + shortened.replace(u'\r', u"\\r"_s) + u'"';
}

/** Stored and compared as text: the exact form, and a year from 1 to 9999. */
bool isDate(const QString& text)
{
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd"_s);
    return date.isValid() && date.year() > 0 && date.toString(u"yyyy-MM-dd"_s) == text;
}

bool isPeriod(const QString& text)
{
    return text.size() == 7 && isDate(text + u"-01"_s);
}

/** An amount that may be kept: at least 0 (or a cent) once rounded to hundredths, at most the largest. */
bool isAmount(double value, int leastCents = 0)
{
    return Money::isAmount(value) && Money::toCents(value) >= leastCents;
}

/** A unit's area, monthly and yearly rent and price, and its rooms: left out (NaN) or no negative figure. */
QList<double> unitFigures(Arguments& a)
{
    const QList<double> f = { a.amount(95), a.amount(700), a.amount(0), a.amount(0), double(a.count(2)) };
    a.refuseIf(std::any_of(
        f.cbegin(), f.cend(), [](double v) { return !std::isnan(v) && (!std::isfinite(v) || v < 0); }));
    return f;
}

QVariantMap item(double total, double price)
{
    return { { u"description"_s, u"خدمة"_s }, { u"type"_s, u"service"_s }, { u"quantity"_s, 1 },
        { u"unit_price"_s, price }, { u"total"_s, total } };
}

const char* const kAvailable = "status = 'available'";
const char* const kOpenRequest = "status != 'completed'";

int currency(Arguments& a)
{
    return a.id("currencies", "is_primary = 1");
}

/** The import's report accounts for every pasted line: written, or named as refused. */
bool imported(Office& o, Arguments& a, const char* tables, const QString& sound)
{
    const QString target = a.choice(tables);
    const QString text = a.pasted(sound);
    a.refuseIf(text.trimmed().isEmpty());
    const QVariantMap report = o.app->importController()->importRawCSV(text, target);
    const int written = report.value(u"written"_s).toInt();
    const int refused = int(report.value(u"refused"_s).toList().size());
    int lines = 0;
    for (const QString& line : text.split(QRegularExpression(u"\r\n|\n|\r"_s)))
        lines += line.trimmed().isEmpty() ? 0 : 1;
    a.expect(report.value(u"failed"_s).toBool() || written + refused == lines,
        u"the import report accounts for %1 + %2 of %3 lines"_s.arg(written).arg(refused).arg(lines));
    return written > 0;
}

/** An invoice of February left open: past its due date and grace period on the tests' today. */
void overdueInvoice(Office& o)
{
    const QVariantList rows = o.db->execQuery(
        u"SELECT tenant_id, unit_id FROM contracts WHERE status = 'active' ORDER BY id LIMIT 1"_s);
    const QVariantMap contract = rows.value(0).toMap();
    (void)o.app->invoiceModel()->createInvoice(contract.value(u"tenant_id"_s).toInt(),
        contract.value(u"unit_id"_s).toInt(), u"2025-02"_s, { item(250, 250) }, 1);
}

/** The administrator logged in, and a clerk's account to remove. */
void logIn(Office& o)
{
    (void)o.app->authController()->login(u"admin"_s, u"qorvu"_s);
    (void)o.app->authController()->registerUser(u"clerk"_s, u"s3cret-pass"_s, u"user"_s);
}

QList<Operation> operations()
{
    using C = Consistency::Check;
    using A = Arguments;
    QList<Operation> ops;
    // An operation: the rules a legitimate call sets aside, what it needs first, the call itself.
    const auto op = [&](const char* name, Consistency::Checks setsAside, std::function<void(Office&)> prepare,
                        std::function<int(Office&, A&)> call) {
        ops.append(Operation { QLatin1String(name), std::move(call), setsAside, false, std::move(prepare) });
    };
    const auto add
        = [&](const char* name, std::function<int(Office&, A&)> call) { op(name, {}, {}, std::move(call)); };
    // Cashing and returning a cheque: only those two statuses are asked for.
    const auto chequeStatus = [](const char* where, const char* choices) {
        return [=](Office& o, A& a) {
            return o.app->chequeModel()->updateStatus(a.id("cheques", where), a.choice(choices));
        };
    };

    add("property add", [](Office& o, A& a) {
        return o.app->propertyModel()->add(
            a.name("برج 2"), a.choice("mixed,residential"), a.text(), a.text(), {});
    });
    add("property update", [](Office& o, A& a) {
        return o.app->propertyModel()->update(
            a.id("properties"), a.name("برج الأمل"), u"mixed"_s, a.text(), a.text(), {});
    });
    add("property remove", [](Office& o, A& a) {
        return o.app->propertyModel()->remove(
            a.id("properties", "id NOT IN (SELECT property_id FROM units)"));
    });
    add("unit add", [](Office& o, A& a) {
        const QList<double> f = unitFigures(a);
        return o.app->unitModel()->add(
            a.id("properties"), a.name("301"), a.count(3), f[0], int(f[4]), f[1], f[2], f[3], currency(a));
    });
    add("unit update", [](Office& o, A& a) {
        const QList<double> f = unitFigures(a);
        return o.app->unitModel()->update(
            a.id("units", kAvailable), a.name("402"), a.count(4), f[0], int(f[4]), f[1], f[2], f[3]);
    });
    add("unit remove", [](Office& o, A& a) { return o.app->unitModel()->remove(a.id("units", kAvailable)); });
    add("unit out of service", [](Office& o, A& a) {
        return o.app->unitModel()->updateStatus(
            a.id("units", kAvailable), a.choice("maintenance,available|rented,sold,Maintenance"));
    });
    op("unit marked sold", C::NoStraySchedules, {}, [](Office& o, A& a) {
        const double price = a.amount(60000);
        a.refuseIf(!std::isfinite(price) || price < 0);
        return o.app->unitModel()->markAsSold(
            a.id("units", kAvailable), a.id("buyers"), price, a.date("2025-03-01"));
    });
    add("tenant add", [](Office& o, A& a) {
        return o.app->tenantModel()->add(a.name("رنا"), a.text(), a.text(), a.text(), a.text());
    });
    add("tenant update", [](Office& o, A& a) {
        return o.app->tenantModel()->update(a.id("tenants"), a.name("منى أحمد"), a.text(), a.text(), {}, {});
    });
    add("tenant remove", [](Office& o, A& a) {
        return o.app->tenantModel()->remove(a.id("tenants", "id NOT IN (SELECT tenant_id FROM contracts)"));
    });
    add("contract add", [](Office& o, A& a) {
        const QString start = a.date("2025-02-01"), end = a.date("2026-01-31");
        const double deposit = a.amount(0);
        a.refuseIf(end < start || (!std::isnan(deposit) && !isAmount(deposit)));
        return o.app->contractModel()->add(a.id("units", kAvailable), a.id("tenants"), start, end,
            a.charge(800), a.choice("monthly,yearly"), deposit, currency(a));
    });
    add("contract terminate", [](Office& o, A& a) {
        return o.app->contractModel()->terminate(a.id("contracts", "status = 'active'"));
    });
    // A contract's deposit: received up to what the contract agreed, settled once (kept in part for
    // damage or an open invoice, the rest refunded), carried to the contract that renews it.
    add("deposit receive", [](Office& o, A& a) {
        const int contract
            = a.id("contracts", "deposit >= 1 AND id NOT IN (SELECT contract_id FROM deposit_settlements)");
        const double amount = a.amount(300);
        const QVariantMap row
            = o.db->execQuery(u"SELECT deposit, EXISTS (SELECT 1 FROM deposit_settlements "
                              u"WHERE contract_id = c.id) AS settled FROM contracts c WHERE id = ?"_s,
                      { contract })
                  .value(0)
                  .toMap();
        const qint64 held = DepositBook(o.db).heldCents(contract);
        a.refuseIf(row.isEmpty() || row.value(u"settled"_s).toBool() || !isAmount(amount, 1)
            || held + Money::toCents(amount) > Money::toCents(row.value(u"deposit"_s).toDouble()));
        return o.app->depositModel()->receive(
            contract, amount, a.choice("cash,bank,cheque"), a.date("2025-02-01"), a.text("R-1"), a.text());
    });
    add("deposit settle", [](Office& o, A& a) {
        const int contract = a.id("contracts",
            "id NOT IN (SELECT contract_id FROM deposit_settlements) AND (SELECT SUM(CASE WHEN kind IN "
            "('received', "
            "'carried_in') THEN 1 ELSE -1 END * amount) FROM deposit_movements WHERE contract_id = "
            "contracts.id) >= 100");
        const qint64 held = DepositBook(o.db).heldCents(contract);
        const bool settled = DepositBook(o.db).isSettled(contract);
        QVariantList deductions;
        qint64 kept = 0;
        bool sound = true;
        if (!a.chance(30)) {
            const double amount = a.amount(50);
            const QString reason = a.text("كسر زجاج النافذة");
            sound = isAmount(amount, 1) && !reason.trimmed().isEmpty();
            kept = sound ? Money::toCents(amount) : 0;
            deductions.append(
                QVariantMap { { u"kind"_s, u"damage"_s }, { u"amount"_s, amount }, { u"reason"_s, reason } });
        }
        a.refuseIf(!sound || held <= 0 || settled || kept > held);
        return o.app->depositModel()->settle(
            contract, deductions, a.choice("cash,bank"), a.date("2025-12-31"));
    });
    add("contract renew", [](Office& o, A& a) {
        const int contract = a.id("contracts",
            "status = 'active' AND renewed_by IS NULL AND id NOT IN (SELECT contract_id FROM "
            "deposit_settlements)");
        const QVariantMap row
            = o.db->execQuery(
                      u"SELECT end_date, rent_amount, c.status, renewed_by, unit_id, u.status AS "
                      u"unit_status, "
                      u"EXISTS (SELECT 1 FROM deposit_settlements WHERE contract_id = c.id) "
                      u"AS settled FROM contracts c JOIN units u ON u.id = c.unit_id WHERE c.id = ?"_s,
                      { contract })
                  .value(0)
                  .toMap();
        const QString start = QDate::fromString(row.value(u"end_date"_s).toString(), Qt::ISODate)
                                  .addDays(1)
                                  .toString(Qt::ISODate);
        const QString end = a.date("2026-12-31");
        const QString mode = a.choice("percent,amount|rise,");
        const double value = a.amount(5);
        const double topUp = a.chance(50) ? 0.0 : a.amount(100);
        const double rent = mode == u"percent"_s && std::isfinite(value)
            ? Money::fromCents(
                qRound64(Money::toCents(row.value(u"rent_amount"_s).toDouble()) * (100.0 + value) / 100.0))
            : value;
        const qint64 topUpCents = isAmount(topUp) ? Money::toCents(topUp) : 0;
        a.refuseIf(mode != u"percent"_s && mode != u"amount"_s);
        a.refuseIf(start.isEmpty() || row.value(u"unit_status"_s) == u"sold"_s
            || row.value(u"unit_status"_s) == u"maintenance"_s
            || (end >= start
                && o.app->contractModel()->hasOverlap(
                    row.value(u"unit_id"_s).toInt(), start, end, contract)));
        a.refuseIf(row.isEmpty() || row.value(u"status"_s).toString() != u"active"_s
            || !row.value(u"renewed_by"_s).isNull() || row.value(u"settled"_s).toBool() || end < start
            || (mode == u"percent"_s && !(value >= -100 && value <= 1000)) || !isAmount(rent, 1)
            || (!std::isnan(topUp) && !isAmount(topUp))
            || !isAmount(Money::fromCents(DepositBook(o.db).heldCents(contract) + topUpCents)));
        return o.app->contractModel()->renew(contract, end, mode, value, topUp, a.choice("cash,bank"));
    });
    add("invoice create", [](Office& o, A& a) {
        QVariantList items;
        qint64 cents = 0;
        bool sound = true;
        for (int i = 0, n = a.isHostile() ? a.below(4) : 1; i < n; ++i) {
            const double total = a.amount(150), price = a.chance(30) ? a.amount(total) : total;
            items.append(item(total, price));
            sound = sound && isAmount(total) && isAmount(price);
            cents += sound ? Money::toCents(total) : 0;
        }
        // An invoice that could never be settled (nothing to pay, or less) is refused too.
        a.refuseIf(!sound || cents <= 0);
        return o.app->invoiceModel()->createInvoice(
            a.id("tenants"), a.id("units"), a.period("2025-05"), items, currency(a));
    });
    add("invoice paid amount", [](Office& o, A& a) {
        const int invoice = a.id("invoices", "status IN ('pending', 'partial')");
        const double amount = a.amount(100);
        const qint64 cents = isAmount(amount) ? Money::toCents(amount) : -1;
        // The paid amount only rises, through a payment, and never past the total.
        a.refuseIf(cents < 0
            || o.db->scalar(u"SELECT status = 'void' OR ? > ROUND(total_amount * 100) OR ? < "
                            u"ROUND(paid_amount * 100) "
                            "FROM invoices WHERE id = ?"_s,
                       { cents, cents, invoice })
                   .toBool());
        return o.app->invoiceModel()->updatePaidAmount(invoice, amount);
    });
    add("invoice void", [](Office& o, A& a) {
        return o.app->invoiceModel()->voidInvoice(a.id("invoices", "status != 'void'"));
    });
    add("rent run",
        [](Office& o, A& a) { return o.app->invoiceModel()->generateAllRent(a.period("2025-06")); });
    // The office's late-fee rule (the built office charges 2% of what is overdue, at most 100).
    add("late-fee rule", [](Office& o, A& a) {
        const int days = a.count(5);
        const QString kind = a.choice("percent,fixed|flat,");
        const double fixed = a.amount(25), percent = a.amount(2), cap = a.amount(100);
        a.refuseIf(days < 0 || days > 365 || !isAmount(fixed) || !isAmount(cap) || !std::isfinite(percent)
            || percent < 0 || percent > 100);
        return o.app->settingsManager()->setLateFeeSettings(days, kind, fixed, percent, cap);
    });
    op("late-fee run", {}, overdueInvoice,
        [](Office& o, A&) { return !o.app->invoiceModel()->issueLateFees().value(u"refused"_s).toBool(); });
    op(
        "late-fee waiver", {},
        [](Office& o) {
            overdueInvoice(o);
            (void)o.app->invoiceModel()->issueLateFees();
        },
        [](Office& o, A& a) {
            return o.app->invoiceModel()->waiveLateFee(
                a.id("invoices", "late_fee_for IS NOT NULL AND status IN ('pending', 'partial')"),
                a.name("عميل منتظم"));
        });
    // Nobody is reminded twice in a day: the sound call names someone not reminded yet.
    op("reminder", {}, overdueInvoice, [](Office& o, A& a) {
        const QString today = Clock::todayText();
        return o.app->reminderModel()->markReminded(u"tenant"_s,
            a.id("tenants",
                "id IN (SELECT tenant_id FROM invoices WHERE status IN ('pending', 'partial') AND due_date < "
                "?) "
                "AND id NOT IN (SELECT record_id FROM audit_logs WHERE action = 'تذكير بالسداد' "
                "AND table_name = 'tenants' AND date(created_at, 'localtime') = ?)",
                { today, today }),
            a.choice("copy,mail,print|email,"));
    });
    // The rented unit 101 was read in May (opening its water meter at 100) and June (130).
    add("meter reading", [](Office& o, A& a) {
        const int unit = a.id("units", "status = 'rented'");
        const int service = a.id("services", "type = 'usage'");
        const double reading = a.amount(140);
        const bool meterChange = a.chance(20);
        a.refuseIf(!std::isfinite(reading) || reading < 0 || reading > 1e12
            || !o.db->scalar(u"SELECT 1 FROM services WHERE id = ? AND type = 'usage'"_s, { service })
                    .isValid()
            || !o.db->scalar(u"SELECT 1 FROM units WHERE id = ?"_s, { unit }).isValid());
        return int(o.app->meterReadingModel()
                       ->saveReading(unit, service, a.period("2025-07"), reading, meterChange, true)
                       .value(u"saved"_s)
                       .toBool());
    });
    add("usage run", [](Office& o, A& a) {
        return o.app->invoiceModel()->billUsage(a.period("2025-06")).value(u"made"_s).toInt();
    });
    add("service charge", [](Office& o, A& a) {
        return o.app->invoiceModel()->generateServiceInvoice({ a.id("tenants"), a.id("tenants") },
            a.text("تنظيف"), a.charge(50), a.period("2025-03"), currency(a));
    });
    add("property service charge", [](Office& o, A& a) {
        return o.app->invoiceModel()->generatePropertyServiceInvoice(
            a.id("properties", "id IN (SELECT property_id FROM units WHERE status = 'rented')"),
            a.text("حراسة"), a.charge(75), a.period("2025-03"), currency(a));
    });
    add("payment", [](Office& o, A& a) {
        const int invoice = a.id("invoices", "status IN ('pending', 'partial')");
        const int paidIn = currency(a);
        a.refuseIf(o.db->scalar(u"SELECT COALESCE(currency_id, 0) != ? FROM invoices WHERE id = ?"_s,
                           { paidIn, invoice })
                       .toBool());
        return o.app->paymentModel()->add(invoice,
            a.id("tenants", "id IN (SELECT tenant_id FROM invoices WHERE id = ?)", { invoice }),
            a.charge(250), a.text("cash"), a.date("2025-03-05"), a.text("R-1"), paidIn);
    });
    add("maintenance add", [](Office& o, A& a) {
        return o.app->maintenanceModel()->add(
            a.id("units"), a.id("properties"), a.name("مصعد"), a.text(), a.choice("low,medium,high"));
    });
    add("maintenance status", [](Office& o, A& a) {
        return o.app->maintenanceModel()->updateStatus(
            a.id("maintenance_requests", kOpenRequest), a.choice("in_progress,new|completed"));
    });
    add("maintenance complete", [](Office& o, A& a) {
        const double cost = a.amount(350);
        a.refuseIf(!isAmount(cost));
        return o.app->maintenanceModel()->complete(a.id("maintenance_requests", kOpenRequest), cost);
    });
    add("expense add", [](Office& o, A& a) {
        const int property = a.id("properties", "id IN (SELECT property_id FROM units)");
        return o.app->expenseModel()->add(property, a.id("units", "property_id = ?", { property }),
            a.chance(50) ? 0 : a.id("contractors"), a.name("صيانة"), a.text("سباكة"), a.text(),
            a.charge(1200), a.date("2025-03-02"), currency(a));
    });
    add("contractor add", [](Office& o, A& a) {
        return o.app->expenseModel()->addContractor(a.name("كهربائي"), a.text(), a.text());
    });
    add("account add", [](Office& o, A& a) {
        return o.app->accountModel()->add(a.name("5300"), a.name("مصروفات أخرى"),
            a.choice("expense,asset,liability,equity,revenue|Expense"), a.id("accounts", "type = 'expense'"));
    });
    add("journal entry", [](Office& o, A& a) {
        QVariantList lines;
        double debits = 0, credits = 0;
        qint64 cents = 0;
        bool sound = true;
        const auto line = [&](int account, double debit, double credit) {
            lines.append(QVariantMap { { u"account_id"_s, account }, { u"debit"_s, debit },
                { u"credit"_s, credit }, { u"description"_s, a.text() } });
            debits += debit;
            credits += credit;
            sound = sound && isAmount(debit) && isAmount(credit);
            cents += sound ? Money::toCents(debit) - Money::toCents(credit) : 0;
        };
        if (!a.isHostile()) {
            const double amount = a.amount(100);
            line(2, amount, 0);
            line(8, 0, amount);
        }
        for (int i = 0, n = a.isHostile() ? a.below(4) : 0; i < n; ++i)
            line(2 + a.below(12), a.chance(50) ? 0.0 : a.amount(0), a.chance(50) ? 0.0 : a.amount(0));
        // Balanced entries are rare at random: balance half of them on purpose.
        if (!lines.isEmpty() && a.chance(50) && std::isfinite(debits) && std::isfinite(credits))
            line(2, std::max(0.0, credits - debits), std::max(0.0, debits - credits));
        // Every line is kept in hundredths, and the entry must balance in them exactly.
        a.refuseIf(lines.isEmpty() || !sound || cents != 0);
        return o.app->accountModel()->createJournalEntry(
            a.date("2025-03-01"), a.text("قيد"), u"manual"_s, 0, lines);
    });
    add("cheque add", [](Office& o, A& a) {
        const double rate = a.amount(1.0);
        a.refuseIf(!std::isfinite(rate));
        return o.app->chequeModel()->add(a.text("9002"), a.choice("issued,received"), a.charge(700),
            a.text("بنك"), a.date("2025-05-01", false), a.text("مورد"), currency(a), rate,
            a.chance(50) ? a.id("buyers") : 0, a.chance(50) ? a.id("tenants") : 0);
    });
    add("cheque status",
        chequeStatus("installment_id IS NULL AND status = 'pending'", "paid,bounced|pending,Paid,"));
    // An installment's cheque carries the installment's money: cashing collects it, a bounce of the
    // cashed cheque takes the collection back.
    add("installment cheque cash",
        chequeStatus("installment_id IS NOT NULL AND status = 'pending'", "paid,bounced|pending,Paid,"));
    add("installment cheque bounce",
        chequeStatus("installment_id IS NOT NULL AND status = 'paid'", "bounced,paid|pending,Paid,"));
    add("buyer add", [](Office& o, A& a) {
        return o.app->buyerModel()->add(a.name("ليلى"), a.text(), a.text(), a.text(), a.text());
    });
    add("buyer update", [](Office& o, A& a) {
        return o.app->buyerModel()->update(a.id("buyers"), a.name("سامي خليل"), a.text(), a.text(), {}, {});
    });
    op("installment add", C::SaleSchedules | C::NoStraySchedules, {}, [](Office& o, A& a) {
        const double total = a.amount(90000), down = a.amount(9000);
        a.refuseIf(!Money::isAmount(total) || !Money::isAmount(down));
        return o.app->installmentModel()->add(a.id("buyers"), a.id("units", "status = 'sold'"), total, down,
            a.charge(500), a.date("2026-02-15"), currency(a));
    });
    add("installment collect", [](Office& o, A& a) {
        return o.app->installmentModel()->payInstallment(
            a.id("installments", "status != 'paid'"), a.charge(1000));
    });
    add("unit sale", [](Office& o, A& a) {
        const double total = a.amount(60000), down = a.amount(6000);
        const int count = a.count(24);
        const QString start = a.date("2025-03-01");
        // In whole hundredths: a down payment above the price, or installments of less than a cent,
        // are refused; due dates must stay "yyyy-MM-dd", so a schedule may not run past 9999.
        const qint64 remainder
            = isAmount(total) && isAmount(down) ? Money::toCents(total) - Money::toCents(down) : 0;
        const QDate lastDue = QDate::fromString(start, Qt::ISODate).addMonths(std::max(count, 1) - 1);
        a.refuseIf(!isAmount(total, 1) || !isAmount(down) || remainder < 0
            || (remainder > 0 && (count > 1200 || remainder < std::max(count, 1) || lastDue.year() > 9999)));
        return o.app->installmentModel()->sellUnit(a.id("buyers"), a.id("units", kAvailable), total, down,
            count, start, currency(a), a.text("700"), a.text("بنك"));
    });
    // Rates are any finite figure above 0.
    add("exchange rate", [](Office& o, A& a) {
        const double rate = a.amount(0.27);
        a.refuseIf(!std::isfinite(rate) || rate <= 0);
        return o.app->currencyModel()->setRate(currency(a), a.id("currencies", "is_primary = 0"), rate);
    });
    // The primary currency stays once the books hold entries in it; the books' own settings.
    add("primary currency", [](Office& o, A& a) {
        return o.app->settingsManager()->setPrimaryCurrency(a.choice("ILS|USD,usd"));
    });
    // Off, or on again: then the books catch up with what was done meanwhile.
    add("automatic posting switched", [](Office& o, A&) {
        SettingsManager* settings = o.app->settingsManager();
        return settings->setAutoPosting(!settings->autoPosting()).value(u"ok"_s).toBool();
    });
    add("rate of an earlier day", [](Office& o, A& a) {
        const double rate = a.amount(3.61);
        a.refuseIf(!std::isfinite(rate) || rate <= 0);
        return o.app->currencyModel()->setRateOn(
            a.id("currencies", "is_primary = 0"), currency(a), rate, a.date("2025-03-01"));
    });
    add("company profile", [](Office& o, A& a) {
        return o.app->settingsManager()->updateCompanyProfile(
            a.text("مكتب الأمل"), a.text("022"), a.text("رام الله"), a.text("info@example.com"));
    });
    add("audit entry", [](Office& o, A& a) {
        return o.app->auditManager()->log(a.id("users"), a.text("اختبار"), a.text("units"), a.count(1), {});
    });
    add("import tenants", [](Office& o, A& a) {
        return imported(o, a, "tenants,buyers,units|Tenants,", u"علي,7001,0591\nهدى,7002,0592"_s);
    });
    add("import readings", [](Office& o, A& a) {
        return imported(o, a, "readings,units|Readings,",
            u"%1,101,مياه,2025-08,150\n%1,102,مياه,2025-08,40"_s.arg(
                a.id("properties", "id IN (SELECT property_id FROM units WHERE unit_number = '101')")));
    });
    add("import units", [](Office& o, A& a) {
        return imported(o, a, "units,tenants,buyers|Tenants,",
            u"%1,501,100,70000\n%1,502,110,75000"_s.arg(a.id("properties")));
    });
    // Accounts, by the administrator.
    op("register user", {}, logIn, [](Office& o, A&) {
        return o.app->authController()->registerUser(u"typist"_s, u"s3cret-pass"_s, u"user"_s);
    });
    op("change password", {}, logIn, [](Office& o, A&) {
        return o.app->authController()->changePassword(u"qorvu"_s, u"n3w-pass-word"_s);
    });
    op("remove user", {}, logIn,
        [](Office& o, A&) { return o.app->authController()->removeUser(u"clerk"_s); });

    // A receipt's print is counted with it: no document is left when the count cannot be written.
    add("print receipt", [](Office& o, A&) {
        const int payment = o.db->scalar(u"SELECT MIN(payment_id) FROM receipts"_s).toInt();
        return !o.app->receiptController()->printReceipt(payment).isEmpty();
    });

    // Files: beside the database, written whether or not the database itself may be written.
    const qsizetype firstFile = ops.size();
    add("backup", [](Office& o, A&) { return o.app->backupManager()->createBackup(); });
    add("csv export", [](Office& o, A&) { return o.app->backupManager()->exportAllToCSV(); });
    add("print report", [](Office& o, A&) {
        QSignalSpy finished(o.app->printController(), &PrintController::printFinished);
        o.app->printController()->printReport(
            u"تقرير الوحدات"_s, u"units"_s, o.app->unitModel()->getAll(), { { u"عدد الوحدات"_s, 3 } });
        return finished.count() == 1 && finished.first().first().toBool();
    });
    // A restore writes the live file through a connection of its own.
    op(
        "restore", {}, [](Office& o) { (void)o.app->backupManager()->createBackup(); },
        [](Office& o, A&) {
            return o.app->backupManager()->restoreBackup(o.app->backupManager()->listBackups().value(0));
        });
    for (qsizetype i = firstFile; i < ops.size(); ++i)
        ops[i].onFiles = true;
    return ops;
}

} // namespace

Arguments::Arguments(Mode mode, QRandomGenerator* random, Database* db, const QVariantMap& pinned)
    : m_mode(mode)
    , m_random(random)
    , m_db(db)
    , m_pinned(pinned)
{
    // Some calls are spoiled in one argument, some in all: refusals and acceptances both happen.
    m_hostility = mode == Hostile ? pick(QList<int> { 5, 25, 60, 100 }) : 0;
    m_dayShift = mode == Sound ? 0 : below(1461) - 730;
}

QString Arguments::noted(const QString& value)
{
    m_drawn.append(shown(value));
    return value;
}

double Arguments::noted(double value)
{
    m_drawn.append(QString::number(value, 'g', 17));
    return value;
}

QString Arguments::text(const char* literal)
{
    // Names of the office at work are new each time (unit numbers must not repeat in a property);
    // numbers stay numbers, so that cheque books run on.
    const QString sound = QString::fromUtf8(literal);
    bool isNumber = false;
    const qint64 number = sound.toLongLong(&isNumber);
    return noted(spoiled()                       ? pick(kHostileTexts)
            : m_mode == Sound || sound.isEmpty() ? sound
            : isNumber                           ? QString::number(number + m_random->bounded(1000000))
                                                 : sound + u" %1"_s.arg(m_random->generate()));
}

QString Arguments::name(const char* sound)
{
    const QString name = text(sound);
    refuseIf(name.trimmed().isEmpty());
    return name;
}

QString Arguments::date(const char* sound, bool checked)
{
    // All dates of a call move together: a contract still ends after it starts.
    const QDate shifted = QDate::fromString(QLatin1String(sound), Qt::ISODate).addDays(m_dayShift);
    const QString drawn = !spoiled() ? shifted.toString(Qt::ISODate)
        : chance(40)                 ? pick(kDates)
                                     : pick(kHostileTexts);
    const QString date = m_pinned.value(u"date"_s, drawn).toString();
    refuseIf(checked && !isDate(date));
    return noted(date);
}

QString Arguments::period(const char* sound)
{
    const QDate month = QDate::fromString(QLatin1String(sound) + u"-01"_s, Qt::ISODate);
    const QString period = spoiled()
        ? pick(kHostileTexts)
        : month.addMonths(m_mode == Sound ? 0 : below(37) - 18).toString(u"yyyy-MM"_s);
    refuseIf(!isPeriod(period));
    return noted(period);
}

double Arguments::amount(double sound)
{
    return noted(m_pinned.contains(u"amount"_s) ? m_pinned.value(u"amount"_s).toDouble()
            : spoiled() ? (chance(25) ? std::round(m_random->bounded(500000.0)) / 100.0 + 1 : pick(kAmounts))
            : m_mode == Sound ? sound
                              : Money::roundToCents(sound * (0.5 + m_random->generateDouble())));
}

double Arguments::charge(double sound)
{
    const double charge = amount(sound);
    refuseIf(!isAmount(charge, 1));
    return charge;
}

int Arguments::count(int sound)
{
    // The office at work sells on long schedules: long transactions, where kills land.
    return int(noted(m_pinned.contains(u"count"_s) ? m_pinned.value(u"count"_s).toInt()
            : spoiled()                            ? (chance(30) ? 1 + below(36) : pick(kInts))
            : m_mode == Sound                      ? sound
                                                   : 1 + below(sound * 10)));
}

QString Arguments::choice(const char* list)
{
    const QStringList parts = QString::fromUtf8(list).split(u'|');
    const QStringList choices = QString::fromUtf8(list).split(QRegularExpression(u"[,|]"_s));
    const QString chosen
        = !spoiled() ? choices.first() : noted(chance(85) ? pick(choices) : pick(kHostileTexts));
    refuseIf(parts.size() > 1 && !parts.first().split(u',').contains(chosen));
    return chosen;
}

QString Arguments::pasted(const QString& sound)
{
    if (!spoiled())
        return noted(m_pinned.value(u"pasted"_s, sound).toString());
    if (chance(10))
        return noted(pick(kHostileTexts));
    QStringList lines;
    for (int i = 0, n = 1 + below(12); i < n; ++i) {
        QStringList fields;
        for (int f = 0, m = below(7); f < m; ++f) {
            const QString field
                = chance(50) ? u"name%1"_s.arg(m_random->generate() % 100000) : pick(kHostileTexts);
            fields.append(field.size() > 1000 && !chance(10) ? field.left(40) : field);
        }
        lines.append(fields.join(chance(80) ? u',' : u'\t'));
    }
    return noted(lines.join(pick(QStringList { u"\n"_s, u"\r\n"_s, u"\r"_s })));
}

int Arguments::id(const char* table, const char* where, const QVariantList& params)
{
    const bool spoilt = spoiled(), pinned = m_pinned.contains(QLatin1String(table));
    if (spoilt && chance(50))
        return int(noted(pick(kInts)));
    const QString condition = spoilt ? u"1 = 1"_s
        : pinned                     ? m_pinned.value(QLatin1String(table)).toString()
                                     : QString::fromLatin1(where);
    const QVariantList rows = m_db->execQuery(
        u"SELECT id FROM %1 WHERE %2 ORDER BY id DESC LIMIT 20"_s.arg(QLatin1String(table), condition),
        spoilt || pinned ? QVariantList() : params);
    const int row = rows.isEmpty() ? -1 : m_mode == Sound ? 0 : below(int(rows.size()));
    return int(noted(row < 0 ? -1 : rows.at(row).toMap().value(u"id"_s).toInt()));
}

void Arguments::expect(bool holds, const QString& what)
{
    if (!holds)
        m_broken.append(what);
}

Office::Office(Database* database, const QString& dataDir)
    : file(database ? nullptr : std::make_unique<TestDatabase>())
    , db(database ? database : file->db())
{
    pinHomeFolder(home.path());
    app = std::make_unique<AppBackend>(db, database ? dataDir : file->dir());
    app->backupManager()->setDesktopServices(&desktop);
    app->printController()->setDesktopServices(&desktop);
}

bool Office::build(int lets)
{
    PropertyModel* properties = app->propertyModel();
    UnitModel* units = app->unitModel();
    const int property = properties->add(u"برج النخيل"_s, u"mixed"_s, u"شارع 1"_s, u"رام الله"_s, {});
    QList<int> ids = { property, properties->add(u"أرض فارغة"_s, u"residential"_s, {}, {}, {}),
        units->add(property, u"101"_s, 1, 100, 3, 1000, 12000, 0, 1),
        units->add(property, u"201"_s, 2, 120, 4, 0, 0, 90000, 1),
        app->tenantModel()->add(u"منى"_s, u"4001"_s, u"0599"_s, {}, {}),
        app->tenantModel()->add(u"سعيد"_s, u"4002"_s, {}, {}, {}),
        app->buyerModel()->add(u"سامي"_s, u"5001"_s, {}, {}, {}) };
    for (int number = 102; number <= 104; ++number)
        ids.append(units->add(property, QString::number(number), 1, 90, 2, 800, 9600, 60000, 1));
    const int rented = ids.at(2), tenant = ids.at(4);
    ids.append(app->contractModel()->add(
        rented, tenant, u"2025-01-01"_s, u"2025-12-31"_s, 1000, u"monthly"_s, 2000, 1));
    ids.append(app->depositModel()->receive(ids.last(), 1000, u"cash"_s, u"2025-01-01"_s));
    ids.append(app->invoiceModel()->generateAllRent(u"2025-03"_s));
    const int rentInvoice = db->scalar(u"SELECT MAX(id) FROM invoices"_s).toInt();
    ids.append(app->paymentModel()->add(rentInvoice, tenant, 400, u"cash"_s, u"2025-03-05"_s, u"R-0"_s, 1));
    ids.append(app->invoiceModel()->createInvoice(tenant, rented, u"2025-04"_s, { item(300, 300) }, 1));
    for (const auto& [period, reading] : { std::pair { "2025-05", 100 }, std::pair { "2025-06", 130 } })
        ids.append(app->meterReadingModel()
                       ->saveReading(rented, 1, QString::fromLatin1(period), reading)
                       .value(u"saved"_s)
                       .toInt());
    ids.append(app->installmentModel()->sellUnit(
        ids.at(6), ids.at(3), 90000, 9000, 12, u"2025-01-15"_s, 1, u"500"_s, u"بنك فلسطين"_s));
    // The first installment's cheque is cashed, so that there is one to return.
    ids.append(app->chequeModel()->updateStatus(
        db->scalar(u"SELECT MIN(id) FROM cheques WHERE installment_id IS NOT NULL"_s).toInt(), u"paid"_s));
    ids.append(app->maintenanceModel()->add(rented, property, u"تسرب"_s, {}, u"high"_s));
    ids.append(app->expenseModel()->addContractor(u"أبو علي"_s, u"0598"_s, u"سباكة"_s));
    ids.append(app->chequeModel()->add(
        u"9001"_s, u"received"_s, 500, u"بنك"_s, u"2025-04-01"_s, u"منى"_s, 1, 1.0, 0, tenant));
    ids.append(app->settingsManager()->setLateFeeSettings(5, u"percent"_s, 0, 2, 100));
    for (int i = 0; i < lets; ++i) {
        const int unit = units->add(property, u"L%1"_s.arg(i), 1, 90, 2, 1000, 0, 0, 1);
        const int tenant = app->tenantModel()->add(u"مستأجر %1"_s.arg(i), {}, {}, {}, {});
        ids.append(app->contractModel()->add(
            unit, tenant, u"2025-02-01"_s, u"2026-01-31"_s, 1000, u"monthly"_s, 0, 1));
    }
    return std::all_of(ids.cbegin(), ids.cend(), [](int id) { return id > 0; });
}

const QList<Operation>& catalogue()
{
    static const QList<Operation> all = operations();
    return all;
}

const Operation& find(const QString& name)
{
    const auto it = std::find_if(
        catalogue().cbegin(), catalogue().cend(), [&](const Operation& op) { return op.name == name; });
    if (it == catalogue().cend())
        qFatal("no operation named %s", qPrintable(name));
    return *it;
}

} // namespace Operations
