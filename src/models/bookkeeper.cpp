#include "bookkeeper.h"

#include "clock.h"
#include "database.h"
#include "money.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QMap>
#include <cmath>

Q_LOGGING_CATEGORY(lcBooks, "darvelinto.books")

namespace {

using Role = BookKeeper::Role;

/**
 * The chart the operations post to, as an accountant of a property office keeps it: money in the
 * till and at the bank, what tenants and what buyers owe (both under the receivables), what the
 * office owes its contractors and holds for others, and revenue and expenses by kind.
 */
struct RoleAccount
{
    Role role;
    const char* key;
    const char* code;
    const char* name;
    const char* type;
    const char* parentCode;
};

constexpr RoleAccount kRoles[] = {
    { Role::Cash, "cash", "1100", "النقدية", "asset", "1000" },
    { Role::Bank, "bank", "1110", "البنك", "asset", "1100" },
    { Role::TenantReceivable, "tenant_receivable", "1200", "الذمم المدينة", "asset", "1000" },
    { Role::BuyerReceivable, "buyer_receivable", "1210", "ذمم المشترين", "asset", "1200" },
    { Role::Payables, "payables", "2100", "الذمم الدائنة", "liability", "2000" },
    { Role::HeldForOthers, "held_for_others", "2200", "أمانات وتأمينات للغير", "liability", "2000" },
    { Role::OpeningEquity, "opening_equity", "3100", "أرصدة افتتاحية", "equity", "3000" },
    { Role::Rent, "rent", "4100", "إيرادات الإيجار", "revenue", "4000" },
    { Role::Services, "services", "4200", "إيرادات الخدمات", "revenue", "4000" },
    { Role::Sales, "sales", "4300", "إيرادات المبيعات", "revenue", "4000" },
    { Role::Exchange, "exchange", "4400", "فروق أسعار الصرف", "revenue", "4000" },
    // What is kept of a deposit for damage compensates the owner: income outside rent and services.
    { Role::OtherIncome, "other_income", "4900", "إيرادات أخرى", "revenue", "4000" },
    { Role::Maintenance, "maintenance", "5100", "مصروفات الصيانة", "expense", "5000" },
    { Role::Operating, "operating", "5200", "مصروفات تشغيلية", "expense", "5000" },
    { Role::LateFees, "late_fees", "4500", "إيرادات غرامات التأخير", "revenue", "4000" },
};

const RoleAccount* roleAccountOf(const QString& key)
{
    for (const RoleAccount& account : kRoles) {
        if (key == QLatin1String(account.key))
            return &account;
    }
    return nullptr;
}

/** Installs the account of one role; false when it could not be written. */
bool ensureAccount(Database* db, const RoleAccount& account)
{
    const QString role = QLatin1String(account.key);
    if (db->scalar(QStringLiteral("SELECT id FROM accounts WHERE posting_role=?"), { role }).isValid())
        return true;
    const QString code = QLatin1String(account.code);
    const QVariantList existing
        = db->execQuery(QStringLiteral("SELECT id, is_system, type FROM accounts WHERE code=?"), { code });
    const QVariantMap row = existing.value(0).toMap();
    // The accounts of the default chart carry their roles; an account the office added under the
    // same code is its own and is left alone.
    if (!existing.isEmpty() && row.value(QStringLiteral("is_system")).toInt() == 1
        && row.value(QStringLiteral("type")).toString() == QLatin1String(account.type))
        return db->execNonQuery(QStringLiteral("UPDATE accounts SET posting_role=? WHERE id=?"),
            { role, row.value(QStringLiteral("id")) });
    QString free = existing.isEmpty() ? code : QString();
    for (int step = 1; free.isEmpty() && step < 10; ++step) {
        const QString candidate
            = QString::number(code.toInt() + step * (code.endsWith(QLatin1String("00")) ? 10 : 1));
        if (!db->scalar(QStringLiteral("SELECT id FROM accounts WHERE code=?"), { candidate }).isValid())
            free = candidate;
    }
    if (free.isEmpty()) {
        qCWarning(lcBooks) << "no free code for the account of" << role;
        return false;
    }
    const QVariant parent = db->scalar(
        QStringLiteral("SELECT id FROM accounts WHERE code=?"), { QLatin1String(account.parentCode) });
    return db->execInsert(
               QStringLiteral("INSERT INTO accounts (code,name_ar,type,parent_id,is_system,posting_role) "
                              "VALUES (?,?,?,?,1,?)"),
               { free, QString::fromUtf8(account.name), QLatin1String(account.type), parent, role })
        > 0;
}

QString keyOf(Role role)
{
    for (const RoleAccount& account : kRoles) {
        if (account.role == role)
            return QLatin1String(account.key);
    }
    return {};
}

} // namespace

BookKeeper::BookKeeper(Database* db)
    : m_db(db)
{ }

const QStringList& BookKeeper::postedReferenceTypes()
{
    static const QStringList types
        = { QStringLiteral("invoice"), QStringLiteral("void"), QStringLiteral("payment"),
              QStringLiteral("collection"), QStringLiteral("cheque_return"), QStringLiteral("expense"),
              QStringLiteral("sale"), QStringLiteral("installment"), QStringLiteral("opening"),
              QStringLiteral("deposit"), QStringLiteral("deposit_refund"), QStringLiteral("deposit_damage") };
    return types;
}

bool BookKeeper::ensureAccounts(Database* db)
{
    constexpr int roles = sizeof(kRoles) / sizeof(kRoles[0]);
    if (db->scalar(QStringLiteral("SELECT COUNT(*) FROM accounts WHERE posting_role IS NOT NULL")).toInt()
        == roles)
        return true;
    for (const RoleAccount& account : kRoles) {
        if (!ensureAccount(db, account))
            return false;
    }
    return true;
}

bool BookKeeper::isPosting()
{
    if (!m_posting) {
        m_posting
            = m_db->scalar(QStringLiteral("SELECT value FROM settings WHERE key='ledger_posting'")).toString()
            == QLatin1String("on");
    }
    return *m_posting;
}

bool BookKeeper::loadAccounts()
{
    if (!m_accounts.isEmpty())
        return true;
    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT posting_role, id FROM accounts WHERE posting_role IS NOT NULL"));
    for (const QVariant& value : rows) {
        const QVariantMap row = value.toMap();
        if (const RoleAccount* account = roleAccountOf(row.value(QStringLiteral("posting_role")).toString()))
            m_accounts.insert(static_cast<int>(account->role), row.value(QStringLiteral("id")).toInt());
    }
    return !m_accounts.isEmpty();
}

int BookKeeper::accountOf(Role role)
{
    loadAccounts();
    return m_accounts.value(static_cast<int>(role));
}

int BookKeeper::primaryCurrency()
{
    if (m_primary < 0)
        m_primary
            = m_db->scalar(QStringLiteral("SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1"))
                  .toInt();
    return m_primary;
}

int BookKeeper::currencyOf(const QVariant& currencyId)
{
    const int id = currencyId.toInt();
    return id > 0 ? id : primaryCurrency();
}

std::optional<double> BookKeeper::rateOn(int currencyId, const QString& date)
{
    if (currencyId == primaryCurrency())
        return 1.0;
    const QString key = QString::number(currencyId) + QLatin1Char('|') + date;
    const auto cached = m_rates.constFind(key);
    if (cached != m_rates.cend())
        return *cached;
    // Rows that are not a usable rate (older files accepted zero and negative rates) are skipped.
    const QVariant rate = m_db->scalar(QStringLiteral(R"(
        SELECT rate FROM exchange_rates
        WHERE from_currency_id=? AND to_currency_id=? AND date<=? AND rate > 0
        ORDER BY date DESC LIMIT 1)"),
        { currencyId, primaryCurrency(), date });
    std::optional<double> found;
    if (rate.isValid() && std::isfinite(rate.toDouble()))
        found = rate.toDouble();
    m_rates.insert(key, found);
    return found;
}

BookKeeper::Result BookKeeper::missingRate(int currencyId, const QString& date)
{
    const QString name
        = m_db->scalar(QStringLiteral("SELECT name_ar FROM currencies WHERE id=?"), { currencyId })
              .toString();
    Result result;
    result.ok = false;
    result.missingRateCurrency = currencyId;
    result.missingRateDate = date;
    result.refusal = QStringLiteral("لا يوجد سعر صرف مسجل للعملة «%1» في %2 أو قبله، فلا يمكن ترحيل العملية "
                                    "إلى الدفاتر. أدخل سعر الصرف ثم أعد المحاولة.")
                         .arg(name, date);
    qCInfo(lcBooks) << "no exchange rate of currency" << currencyId << "on" << date;
    return result;
}

BookKeeper::Result BookKeeper::failed() const
{
    Result result;
    result.ok = false;
    return result;
}

qint64 BookKeeper::converted(qint64 cents, double rate)
{
    if (rate == 1.0)
        return cents;
    const double product = static_cast<double>(cents) * rate;
    // A product past any amount the books keep (an absurd rate) is carried as a figure the bounds
    // refuse, never as an overflowed integer.
    constexpr double beyond = 1e17;
    if (!std::isfinite(product) || std::fabs(product) > beyond)
        return product < 0 ? -static_cast<qint64>(beyond) : static_cast<qint64>(beyond);
    return static_cast<qint64>(product + (product < 0 ? -0.5 : 0.5));
}

QString BookKeeper::localDayOf(const QString& timestamp)
{
    QDateTime moment = QDateTime::fromString(timestamp, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!moment.isValid())
        return Clock::todayText();
    moment.setTimeSpec(Qt::UTC);
    return moment.toLocalTime().date().toString(QStringLiteral("yyyy-MM-dd"));
}

bool BookKeeper::isMaintenanceExpense(const QString& category, bool fromRequest)
{
    // Blanks around the word are ignored, as SQL's TRIM() ignores them in the reports.
    qsizetype first = 0;
    qsizetype last = category.size();
    while (first < last && category.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && category.at(last - 1) == QLatin1Char(' '))
        --last;
    return fromRequest || QStringView(category).mid(first, last - first) == QStringLiteral("صيانة");
}

qint64 BookKeeper::rentShare(qint64 open, qint64 rent, qint64 total)
{
    if (total <= 0 || rent <= 0)
        return 0;
    if (rent >= total)
        return open;
    return static_cast<qint64>(
        (static_cast<__int128>(open) * rent * 2 + total) / (2 * static_cast<__int128>(total)));
}

qint64 BookKeeper::lateFeeShare(qint64 open, qint64 rentBack, qint64 rent, qint64 lateFees, qint64 total)
{
    return rentShare(open - rentBack, lateFees, total - std::min(rent, total));
}

qint64 BookKeeper::takenOff(qint64 openBefore, qint64 cents, double rate)
{
    // What remains open is always held at its booked value, so a document paid off in any number of
    // parts leaves exactly nothing behind, whatever the rounding of each part.
    return converted(openBefore, rate) - converted(openBefore - cents, rate);
}

BookKeeper::Role BookKeeper::moneyAccount(const QString& method)
{
    // Blanks around the method are ignored, and nothing else, as SQL's TRIM() ignores them: the
    // reports and the checks find the till's money by that rule, and a line break is not a blank.
    qsizetype first = 0;
    qsizetype last = method.size();
    while (first < last && method.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && method.at(last - 1) == QLatin1Char(' '))
        --last;
    const QStringView how = QStringView(method).mid(first, last - first);
    // Kept out of the tenant's deposit: the money was already held for the tenant.
    if (how == QLatin1String("deposit"))
        return Role::HeldForOthers;
    return how.isEmpty() || how == QLatin1String("cash") ? Role::Cash : Role::Bank;
}

std::optional<double> BookKeeper::bookedRate(const QString& referenceType, int referenceId)
{
    const QVariant rate = m_db->scalar(QStringLiteral(R"(
        SELECT exchange_rate FROM journal_entries WHERE reference_type=? AND reference_id=? ORDER BY id LIMIT 1)"),
        { referenceType, referenceId });
    if (!rate.isValid() || rate.isNull() || !(rate.toDouble() > 0))
        return std::nullopt;
    return rate.toDouble();
}

double BookKeeper::openingRate(int currencyId, double fallback)
{
    // Documents that were open when the books were opened entered at the rate of that day.
    const QVariant rate = m_db->scalar(
        QStringLiteral(
            "SELECT json_extract(value, ?) FROM settings WHERE key='ledger_since' AND json_valid(value)"),
        { QStringLiteral("$.rates.\"%1\"").arg(currencyId) });
    bool ok = false;
    const double value = rate.toDouble(&ok);
    return ok && value > 0 && std::isfinite(value) ? value : fallback;
}

double BookKeeper::invoiceRate(int invoiceId, int currencyId, double fallback)
{
    if (currencyId == primaryCurrency())
        return 1.0;
    if (const std::optional<double> booked = bookedRate(QStringLiteral("invoice"), invoiceId))
        return *booked;
    return openingRate(currencyId, fallback);
}

double BookKeeper::installmentRate(int installmentId, int currencyId, double fallback)
{
    if (currencyId == primaryCurrency())
        return 1.0;
    if (const std::optional<double> booked = bookedRate(QStringLiteral("installment"), installmentId))
        return *booked;
    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT unit_id, added_by_hand FROM installments WHERE id=?"), { installmentId });
    const QVariantMap row = rows.value(0).toMap();
    if (!rows.isEmpty() && row.value(QStringLiteral("added_by_hand")).toInt() == 0) {
        if (const std::optional<double> booked
            = bookedRate(QStringLiteral("sale"), row.value(QStringLiteral("unit_id")).toInt()))
            return *booked;
    }
    return openingRate(currencyId, fallback);
}

namespace {

/** Amounts past the largest one the books keep are refused, as every amount that enters them. */
bool withinBounds(qint64 cents)
{
    static const qint64 largest = Money::toCents(Money::kMaxAmount);
    return cents >= -largest && cents <= largest;
}

} // namespace

bool BookKeeper::write(const Entry& entry)
{
    qint64 sum = 0;
    QMap<int, qint64> moves; // account -> change of its balance
    QVariantList lineValues;
    int lineCount = 0;
    for (const Line& line : entry.lines) {
        sum += line.primary;
        if (!withinBounds(line.primary) || !withinBounds(line.original)) {
            qCWarning(lcBooks) << "entry for" << entry.referenceType << entry.referenceId
                               << "carries an amount past the largest one";
            return false;
        }
        if (line.primary == 0 && line.original == 0)
            continue;
        const int account = accountOf(line.role);
        if (account <= 0) {
            qCCritical(lcBooks) << "the chart has no account for" << keyOf(line.role);
            return false;
        }
        moves[account] += line.primary;
        lineValues << account << (line.primary > 0 ? Money::fromCents(line.primary) : 0.0)
                   << (line.primary < 0 ? Money::fromCents(-line.primary) : 0.0)
                   << Money::fromCents(line.original);
        ++lineCount;
    }
    if (sum != 0) {
        qCCritical(lcBooks) << "unbalanced entry for" << entry.referenceType << entry.referenceId << "off by"
                            << sum << "hundredths";
        return false;
    }
    const QVariantList inserted = m_db->execQuery(QStringLiteral(R"(
        INSERT INTO journal_entries (entry_date,description,reference_type,reference_id,currency_id,
                                     original_amount,exchange_rate)
        VALUES (?,?,?,?,?,?,?) RETURNING id)"),
        { entry.date, entry.description, entry.referenceType, entry.referenceId, entry.currencyId,
            Money::fromCents(entry.original), entry.rate });
    const int entryId = inserted.value(0).toMap().value(QStringLiteral("id")).toInt();
    if (entryId <= 0)
        return false;
    if (lineCount == 0)
        return true;

    // All lines in one statement and all balances in another: the rent run writes thousands.
    QString lines = QStringLiteral(
        "INSERT INTO journal_lines (entry_id,account_id,debit,credit,original_amount) VALUES ");
    QVariantList lineParams;
    lineParams.reserve(lineCount * 5);
    for (int i = 0; i < lineCount; ++i) {
        lines += i == 0 ? QStringLiteral("(?,?,?,?,?)") : QStringLiteral(",(?,?,?,?,?)");
        lineParams << entryId;
        for (int k = 0; k < 4; ++k)
            lineParams << lineValues.at(i * 4 + k);
    }
    lines += QStringLiteral(" RETURNING id");
    if (m_db->execQuery(lines, lineParams).size() != lineCount)
        return false;

    QString update = QStringLiteral("UPDATE accounts SET balance=(ROUND(balance*100)+CASE id");
    QString ids;
    QVariantList updateParams;
    for (auto it = moves.cbegin(); it != moves.cend(); ++it) {
        // Typed, for a server, which cannot tell a CASE's result type from a bare parameter.
        update += QStringLiteral(" WHEN ? THEN CAST(? AS BIGINT)");
        updateParams << it.key() << it.value();
        ids += ids.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
    }
    for (auto it = moves.cbegin(); it != moves.cend(); ++it)
        updateParams << it.key();
    update += QStringLiteral(" END)/100.0 WHERE id IN (") + ids + QStringLiteral(") RETURNING id");
    return m_db->execQuery(update, updateParams).size() == moves.size();
}

// ---------------------------------------------------------------------------------------------
// What each operation posts
// ---------------------------------------------------------------------------------------------

BookKeeper::Result BookKeeper::postInvoice(int invoiceId, const QString& number, const QString& day,
    const QVariant& currencyId, qint64 rentCents, qint64 serviceCents, qint64 lateFeeCents)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, day);
    if (!rate)
        return missingRate(currency, day);
    const qint64 total = rentCents + serviceCents + lateFeeCents;
    const qint64 totalPrimary = converted(total, *rate);
    const qint64 rentPrimary = converted(rentCents, *rate);
    const qint64 feePrimary = converted(lateFeeCents, *rate);
    Entry entry { QStringLiteral("invoice"), invoiceId, day, QStringLiteral("فاتورة %1").arg(number),
        currency, total, *rate,
        { { Role::TenantReceivable, totalPrimary, total }, { Role::Rent, -rentPrimary, -rentCents },
            { Role::LateFees, -feePrimary, -lateFeeCents },
            { Role::Services, rentPrimary + feePrimary - totalPrimary, -serviceCents } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postVoid(int invoiceId, qint64 openCents)
{
    if (!isPosting() || openCents <= 0)
        return {};
    const QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT invoice_number, currency_id, total_amount,
               COALESCE((SELECT SUM(total) FROM invoice_items WHERE invoice_id=i.id AND type='rent'), 0) AS rent,
               COALESCE((SELECT SUM(total) FROM invoice_items WHERE invoice_id=i.id AND type='late_fee'), 0)
                   AS late_fees
        FROM invoices i WHERE id=?)"),
        { invoiceId });
    if (rows.isEmpty())
        return failed();
    const QVariantMap invoice = rows.first().toMap();
    const int currency = currencyOf(invoice.value(QStringLiteral("currency_id")));
    const QString today = Clock::todayText();
    const qint64 total = Money::toCents(invoice.value(QStringLiteral("total_amount")).toDouble());
    const qint64 rent = std::min(total, Money::toCents(invoice.value(QStringLiteral("rent")).toDouble()));
    double rate = 1.0;
    if (currency != primaryCurrency()) {
        const std::optional<double> now = rateOn(currency, today);
        rate = invoiceRate(invoiceId, currency, now.value_or(0.0));
        if (!(rate > 0))
            return missingRate(currency, today);
    }
    const qint64 lateFees = Money::toCents(invoice.value(QStringLiteral("late_fees")).toDouble());
    const qint64 rentBack = rentShare(openCents, rent, total);
    const qint64 feeBack = lateFeeShare(openCents, rentBack, rent, lateFees, total);
    const qint64 back = converted(openCents, rate);
    const qint64 rentBackPrimary = converted(rentBack, rate);
    const qint64 feeBackPrimary = converted(feeBack, rate);
    Entry entry { QStringLiteral("void"), invoiceId, today,
        QStringLiteral("إلغاء الفاتورة %1").arg(invoice.value(QStringLiteral("invoice_number")).toString()),
        currency, openCents, rate,
        { { Role::Rent, rentBackPrimary, rentBack }, { Role::LateFees, feeBackPrimary, feeBack },
            { Role::Services, back - rentBackPrimary - feeBackPrimary, openCents - rentBack - feeBack },
            { Role::TenantReceivable, -back, -openCents } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postTenantPayment(int paymentId, int invoiceId, qint64 cents,
    const QString& method, const QString& date, const QVariant& currencyId, qint64 openBefore)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, date);
    if (!rate)
        return missingRate(currency, date);
    const double booked = invoiceRate(invoiceId, currency, *rate);
    const qint64 received = converted(cents, *rate);
    const qint64 off = takenOff(openBefore, cents, booked);
    const QString number
        = m_db->scalar(QStringLiteral("SELECT invoice_number FROM invoices WHERE id=?"), { invoiceId })
              .toString();
    Entry entry { QStringLiteral("payment"), paymentId, date,
        QStringLiteral("دفعة على الفاتورة %1").arg(number), currency, cents, *rate,
        { { moneyAccount(method), received, cents }, { Role::TenantReceivable, -off, -cents },
            { Role::Exchange, off - received, 0 } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postCollection(int paymentId, int installmentId, qint64 cents,
    const QString& method, const QString& date, const QVariant& currencyId, qint64 openBefore,
    const QString& chequeNumber)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, date);
    if (!rate)
        return missingRate(currency, date);
    const double booked = installmentRate(installmentId, currency, *rate);
    const qint64 received = converted(cents, *rate);
    const qint64 off = takenOff(openBefore, cents, booked);
    const bool returned = cents < 0;
    const QString description = returned
        ? QStringLiteral("ارتجاع الشيك رقم %1 - القسط رقم %2").arg(chequeNumber).arg(installmentId)
        : QStringLiteral("تحصيل القسط رقم %1").arg(installmentId);
    Entry entry { returned ? QStringLiteral("cheque_return") : QStringLiteral("collection"), paymentId, date,
        description, currency, std::abs(cents), *rate,
        { { moneyAccount(method), received, cents }, { Role::BuyerReceivable, -off, -cents },
            { Role::Exchange, off - received, 0 } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postExpense(int expenseId, const QString& date, const QVariant& currencyId,
    qint64 cents, const QString& category, bool maintenance, bool owedToContractor)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, date);
    if (!rate)
        return missingRate(currency, date);
    const qint64 amount = converted(cents, *rate);
    Entry entry { QStringLiteral("expense"), expenseId, date, QStringLiteral("مصروف: %1").arg(category),
        currency, cents, *rate,
        { { maintenance ? Role::Maintenance : Role::Operating, amount, cents },
            { owedToContractor ? Role::Payables : Role::Cash, -amount, -cents } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postSale(int unitId, const QString& unitNumber, const QString& date,
    const QVariant& currencyId, qint64 downCents, const QList<qint64>& installmentCents)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, date);
    if (!rate)
        return missingRate(currency, date);
    // Each installment is owed at its own converted value, as its collections will take it off.
    qint64 owed = 0;
    qint64 owedPrimary = 0;
    for (const qint64 cents : installmentCents) {
        owed += cents;
        owedPrimary += converted(cents, *rate);
    }
    const qint64 down = converted(downCents, *rate);
    Entry entry { QStringLiteral("sale"), unitId, date, QStringLiteral("بيع الوحدة %1").arg(unitNumber),
        currency, downCents + owed, *rate,
        { { Role::Cash, down, downCents }, { Role::BuyerReceivable, owedPrimary, owed },
            { Role::Sales, -(down + owedPrimary), -(downCents + owed) } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postAddedInstallment(
    int installmentId, const QString& day, const QVariant& currencyId, qint64 cents)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, day);
    if (!rate)
        return missingRate(currency, day);
    const qint64 amount = converted(cents, *rate);
    Entry entry { QStringLiteral("installment"), installmentId, day,
        QStringLiteral("قسط مضاف يدوياً رقم %1").arg(installmentId), currency, cents, *rate,
        { { Role::BuyerReceivable, amount, cents }, { Role::Sales, -amount, -cents } } };
    return write(entry) ? Result() : failed();
}

BookKeeper::Result BookKeeper::postDeposit(int movementId, int contractId, const QString& kind, qint64 cents,
    const QString& method, const QString& date, const QVariant& currencyId, qint64 heldBefore)
{
    if (!isPosting())
        return {};
    const int currency = currencyOf(currencyId);
    const std::optional<double> rate = rateOn(currency, date);
    if (!rate)
        return missingRate(currency, date);
    const qint64 amount = converted(cents, *rate);
    if (kind == QLatin1String("received")) {
        Entry entry { QStringLiteral("deposit"), movementId, date,
            QStringLiteral("تأمين مستلم - العقد رقم %1").arg(contractId), currency, cents, *rate,
            { { moneyAccount(method), amount, cents }, { Role::HeldForOthers, -amount, -cents } } };
        return write(entry) ? Result() : failed();
    }
    // What leaves the deposit leaves it at the rate it came in at; the rest is an exchange difference.
    double booked = *rate;
    if (currency != primaryCurrency()) {
        const QVariant first = m_db->scalar(QStringLiteral(R"(
            SELECT je.exchange_rate FROM journal_entries je JOIN deposit_movements m ON m.id = je.reference_id
            WHERE je.reference_type = 'deposit' AND m.contract_id = ? ORDER BY je.id LIMIT 1)"),
            { contractId });
        if (first.isValid() && first.toDouble() > 0)
            booked = first.toDouble();
    }
    const qint64 off = takenOff(heldBefore, cents, booked);
    const bool refund = kind == QLatin1String("refund");
    Entry entry { refund ? QStringLiteral("deposit_refund") : QStringLiteral("deposit_damage"), movementId,
        date,
        (refund ? QStringLiteral("رد التأمين - العقد رقم %1")
                : QStringLiteral("خصم من التأمين لأضرار - العقد رقم %1"))
            .arg(contractId),
        currency, cents, *rate,
        { { Role::HeldForOthers, off, cents },
            { refund ? moneyAccount(method) : Role::OtherIncome, -amount, -cents },
            { Role::Exchange, amount - off, 0 } } };
    return write(entry) ? Result() : failed();
}
