#include "accountmodel.h"

#include "bookkeeper.h"
#include "database.h"
#include "entryorigin.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>
#include <QSet>

Q_LOGGING_CATEGORY(lcAccounts, "darvelinto.accounts")

namespace {

// A page larger than this is a caller's mistake, not a list anybody reads.
constexpr int kMaxPageSize = 500;

// What a journal row shows of its entry besides its own columns: the amount it moved in the primary
// currency, and the code of the operation's currency when it had one.
const QString kEntryFigures = QStringLiteral(
    R"( (SELECT SUM(debit) FROM journal_lines WHERE entry_id = je.id) AS amount,
        (SELECT code FROM currencies WHERE id = je.currency_id) AS currency_code )");

/** The text for a LIKE with '\' as escape character, its own wildcards taken literally. */
QString escapedForLike(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return escaped;
}

bool isAccountType(const QString& type)
{
    static const QSet<QString> types = { QStringLiteral("asset"), QStringLiteral("liability"),
        QStringLiteral("equity"), QStringLiteral("revenue"), QStringLiteral("expense") };
    return types.contains(type);
}

/**
 * A missing amount counts 0; anything else must be a number from 0 up to Money::kMaxAmount. Kept in
 * whole hundredths, as the account balances are.
 */
bool readAmount(const QVariantMap& line, const QString& key, double* amount)
{
    const QVariant value = line.value(key);
    if (!value.isValid() || value.isNull()) {
        *amount = 0.0;
        return true;
    }
    bool ok = false;
    const double given = value.toDouble(&ok);
    if (!ok || !Money::isAmount(given) || Money::toCents(given) < 0)
        return false;
    *amount = Money::roundToCents(given);
    return true;
}

} // namespace

AccountModel::AccountModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList AccountModel::getAll() const
{
    return m_db->execQuery(R"(SELECT * FROM accounts ORDER BY code)");
}

int AccountModel::add(const QString& code, const QString& name, const QString& type, int parentId)
{
    const QString trimmedCode = code.trimmed();
    const QString trimmedName = name.trimmed();
    // The statements select accounts by these five words: any other type would drop out of them.
    if (trimmedCode.isEmpty() || trimmedName.isEmpty() || !isAccountType(type)) {
        qCWarning(lcAccounts) << "Refusing account" << code << "of type" << type;
        return -1;
    }
    const QVariant parent = parentId >= 1 ? QVariant(parentId) : QVariant();
    const int id = m_db->execInsert(R"(INSERT INTO accounts (code,name_ar,type,parent_id) VALUES (?,?,?,?))",
        { trimmedCode, trimmedName, type, parent });
    return id >= 1 ? id : -1;
}

QVariantList AccountModel::getJournalEntries(const QString& from, const QString& to) const
{
    if (from.isEmpty()) {
        return m_db->execQuery(R"(
            SELECT je.*, GROUP_CONCAT(a.name_ar || ':' || jl.debit || ':' || jl.credit) as lines
            FROM journal_entries je
            JOIN journal_lines jl ON je.id=jl.entry_id
            JOIN accounts a ON jl.account_id=a.id
            GROUP BY je.id ORDER BY je.entry_date DESC, je.id DESC)");
    }
    return m_db->execQuery(R"(
        SELECT je.*, GROUP_CONCAT(a.name_ar || ':' || jl.debit || ':' || jl.credit) as lines
        FROM journal_entries je
        JOIN journal_lines jl ON je.id=jl.entry_id
        JOIN accounts a ON jl.account_id=a.id
        WHERE je.entry_date BETWEEN ? AND ?
        GROUP BY je.id ORDER BY je.entry_date DESC, je.id DESC)",
        { from, to });
}

QVariantList AccountModel::getJournalPage(int offset, int limit, const QString& search) const
{
    if (limit <= 0)
        return {};
    const QVariantList page { qMin(limit, kMaxPageSize), qMax(offset, 0) };
    const QString text = search.trimmed();
    // The date index gives the newest entries in order (its entries end with the row id, so the
    // later entry of a day comes first), and the page stops the walk after `limit` matches.
    if (text.isEmpty()) {
        return m_db->execQuery(QStringLiteral("SELECT je.*,") + kEntryFigures
                + QStringLiteral(
                    "FROM journal_entries je ORDER BY je.entry_date DESC, je.id DESC LIMIT ? OFFSET ?"),
            page);
    }
    const QString like = escapedForLike(text);
    return m_db->execQuery(QStringLiteral("SELECT je.*,") + kEntryFigures + QStringLiteral(R"(
        FROM journal_entries je
        WHERE je.description LIKE ? ESCAPE '\' OR je.entry_date LIKE ? ESCAPE '\' OR CAST(je.id AS TEXT) = ?
        ORDER BY je.entry_date DESC, je.id DESC LIMIT ? OFFSET ?)"),
        QVariantList { QStringLiteral("%") + like + QStringLiteral("%"), like + QStringLiteral("%"), text }
            + page);
}

bool AccountModel::readLines(const QVariantList& lines, QVector<Line>* out)
{
    out->reserve(lines.size());
    for (const QVariant& item : lines) {
        const QVariantMap map = item.toMap();
        Line line;
        bool idOk = false;
        line.accountId = map.value(QStringLiteral("account_id")).toInt(&idOk);
        if (!idOk || line.accountId < 1)
            return false;
        if (!readAmount(map, QStringLiteral("debit"), &line.debit)
            || !readAmount(map, QStringLiteral("credit"), &line.credit))
            return false;
        line.description = map.value(QStringLiteral("description"));
        out->append(line);
    }
    return true;
}

int AccountModel::createJournalEntry(
    const QString& date, const QString& desc, const QString& refType, int refId, const QVariantList& lines)
{
    // The statements compare entry dates as text, which only works for one fixed form, and for
    // years from 1 on ("-2025-03-01" parses).
    clearRefusal();
    const QDate entered = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    if (!entered.isValid() || entered.year() < 1) {
        qCWarning(lcAccounts) << "Refusing journal entry dated" << date;
        return refuseRow(QStringLiteral("تاريخ القيد يُكتب بالشكل YYYY-MM-DD"));
    }
    // The operations' own entries are told apart by their reference type; an entry by hand may not
    // pose as one, or the books would count an operation twice.
    if (BookKeeper::postedReferenceTypes().contains(refType)) {
        qCWarning(lcAccounts) << "Refusing a journal entry by hand of the reserved type" << refType;
        return -1;
    }
    QVector<Line> parsed;
    if (lines.isEmpty() || !readLines(lines, &parsed)) {
        qCWarning(lcAccounts) << "Refusing journal entry with missing or malformed lines";
        return refuseRow(
            QStringLiteral("سطور القيد ناقصة: لكل سطر حساب ومبلغ من صفر فأكثر ضمن الحد المسموح"));
    }
    // Every line is in whole hundredths, so a balanced entry balances exactly: a cent let through
    // on each entry would leave the ledger's accounts off by the sum of those cents.
    qint64 debits = 0;
    qint64 credits = 0;
    for (const Line& line : qAsConst(parsed)) {
        debits += Money::toCents(line.debit);
        credits += Money::toCents(line.credit);
    }
    if (debits != credits) {
        qCInfo(lcAccounts) << "Refusing unbalanced journal entry:" << debits << "against" << credits
                           << "hundredths";
        return refuseRow(QStringLiteral("القيد غير متوازن: المدين لا يساوي الدائن"));
    }
    const int id = writeEntry(date, desc, refType, refId, parsed);
    if (id < 1)
        return refuseUnsavedRow();
    emit dataChanged();
    return id;
}

int AccountModel::writeEntry(
    const QString& date, const QString& desc, const QString& refType, int refId, const QVector<Line>& lines)
{
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return -1;
    const int entryId = m_db->execInsert(
        R"(INSERT INTO journal_entries (entry_date,description,reference_type,reference_id) VALUES (?,?,?,?))",
        { date, desc, refType, refId });
    if (entryId < 1)
        return -1;
    for (const Line& line : lines) {
        // An unknown account fails the line's foreign key; the whole entry goes with it.
        if (m_db->execInsert(
                R"(INSERT INTO journal_lines (entry_id,account_id,debit,credit,description) VALUES (?,?,?,?,?))",
                { entryId, line.accountId, line.debit, line.credit, line.description })
            < 1)
            return -1;
        if (!m_db->execNonQuery(QStringLiteral("UPDATE accounts SET balance=")
                    + Money::movedByCentsSql("balance") + QStringLiteral(" WHERE id=?"),
                { Money::toCents(line.debit) - Money::toCents(line.credit), line.accountId }))
            return -1;
    }
    return transaction.commit() ? entryId : -1;
}

QVariantMap AccountModel::getProfitLoss(const QString& from, const QString& to) const
{
    // Per account first (in whole hundredths, so the totals are exact), then the totals. The date
    // index gives the period's entries; their lines are found through the entry index.
    const QVariantList rows = m_db->execQuery(R"(
        SELECT a.code, a.name_ar, a.type,
               SUM(ROUND(jl.credit*100) - ROUND(jl.debit*100)) AS credit_cents
        FROM journal_entries je
        JOIN journal_lines jl ON jl.entry_id=je.id
        JOIN accounts a ON jl.account_id=a.id
        WHERE je.entry_date BETWEEN ? AND ? AND a.type IN ('revenue','expense')
        GROUP BY a.id ORDER BY a.code)",
        { from, to });
    qint64 revenue = 0;
    qint64 expenses = 0;
    QVariantList lines;
    for (const QVariant& value : rows) {
        QVariantMap row = value.toMap();
        const qint64 credit = row.take(QStringLiteral("credit_cents")).toLongLong();
        const bool isRevenue = row.value(QStringLiteral("type")).toString() == QLatin1String("revenue");
        (isRevenue ? revenue : expenses) += isRevenue ? credit : -credit;
        row.insert(QStringLiteral("amount"), Money::fromCents(isRevenue ? credit : -credit) + 0.0);
        lines.append(row);
    }
    return { { QStringLiteral("revenue"), Money::fromCents(revenue) + 0.0 },
        { QStringLiteral("expenses"), Money::fromCents(expenses) + 0.0 },
        { QStringLiteral("net_profit"), Money::fromCents(revenue - expenses) + 0.0 },
        { QStringLiteral("lines"), lines } };
}

QVariantMap AccountModel::getBalanceSheet() const
{
    // Liabilities and equity are credit-normal, so their balances are negative; the sheet shows
    // them turned positive. The sign is taken over the sum, not per account: a liability account
    // with a debit balance (an overpaid supplier) lowers the liabilities instead of adding to them.
    const QVariantList rows = m_db->execQuery(R"(
        SELECT COALESCE(SUM(CASE WHEN type='asset' THEN balance END),0) as assets,
               -COALESCE(SUM(CASE WHEN type='liability' THEN balance END),0) as liabilities,
               -COALESCE(SUM(CASE WHEN type='equity' THEN balance END),0) as equity
        FROM accounts)");
    const QVariantMap row = rows.value(0).toMap();
    // Revenue and expenses are not closed into equity: what they leave is the earnings to date.
    const qint64 earnings = -m_db->scalar(R"(
        SELECT COALESCE(SUM(ROUND(balance*100)),0) FROM accounts WHERE type IN ('revenue','expense'))")
                                 .toLongLong();
    QVariantList lines;
    for (const QVariant& value : m_db->execQuery(R"(
            SELECT code, name_ar, type, parent_id, balance FROM accounts
            WHERE type IN ('asset','liability','equity') AND balance != 0 ORDER BY code)")) {
        QVariantMap line = value.toMap();
        const double balance = line.take(QStringLiteral("balance")).toDouble();
        line.insert(QStringLiteral("amount"),
            (line.value(QStringLiteral("type")).toString() == QLatin1String("asset") ? balance : -balance)
                + 0.0);
        lines.append(line);
    }
    // 0.0 - 0.0 is -0.0 in SQLite's arithmetic; adding 0.0 shows an empty ledger as plain 0.
    return { { QStringLiteral("assets"), row.value(QStringLiteral("assets")).toDouble() + 0.0 },
        { QStringLiteral("liabilities"), row.value(QStringLiteral("liabilities")).toDouble() + 0.0 },
        { QStringLiteral("equity"), row.value(QStringLiteral("equity")).toDouble() + 0.0 },
        { QStringLiteral("earnings"), Money::fromCents(earnings) + 0.0 },
        { QStringLiteral("lines"), lines } };
}

QVariantList AccountModel::getTrialBalance() const
{
    // The running balances are the sums of the lines (the consistency checks hold them to it), so
    // the trial balance reads the chart, not the whole journal.
    QVariantList rows;
    qint64 debits = 0;
    qint64 credits = 0;
    for (const QVariant& value :
        m_db->execQuery(R"(SELECT id, code, name_ar, type, parent_id, ROUND(balance*100) AS cents
                           FROM accounts ORDER BY code)")) {
        QVariantMap row = value.toMap();
        const qint64 cents = row.take(QStringLiteral("cents")).toLongLong();
        (cents >= 0 ? debits : credits) += cents >= 0 ? cents : -cents;
        row.insert(QStringLiteral("debit"), cents > 0 ? Money::fromCents(cents) : 0.0);
        row.insert(QStringLiteral("credit"), cents < 0 ? Money::fromCents(-cents) : 0.0);
        rows.append(row);
    }
    rows.append(QVariantMap { { QStringLiteral("code"), QString() },
        { QStringLiteral("name_ar"), QStringLiteral("الإجمالي") },
        { QStringLiteral("debit"), Money::fromCents(debits) },
        { QStringLiteral("credit"), Money::fromCents(credits) } });
    return rows;
}

QVariantMap AccountModel::getEntry(int id) const
{
    const QVariantList rows = m_db->execQuery(R"(
        SELECT je.*, c.code AS currency_code FROM journal_entries je
        LEFT JOIN currencies c ON c.id = je.currency_id WHERE je.id = ?)",
        { id });
    if (rows.isEmpty())
        return {};
    QVariantMap entry = rows.first().toMap();
    entry.insert(QStringLiteral("lines"),
        m_db->execQuery(R"(
        SELECT a.code, a.name_ar, jl.debit, jl.credit, jl.original_amount, jl.description
        FROM journal_lines jl JOIN accounts a ON a.id = jl.account_id WHERE jl.entry_id = ? ORDER BY jl.id)",
            { id }));
    entry.insert(EntryOrigin::describe(m_db, entry.value(QStringLiteral("reference_type")).toString(),
        entry.value(QStringLiteral("reference_id")).toInt()));
    return entry;
}

QVariantMap AccountModel::missingRate(int currencyId, const QString& date, bool evenWhenOff) const
{
    BookKeeper books(m_db);
    if ((!evenWhenOff && !books.isPosting()) || currencyId <= 0 || books.rateOn(currencyId, date))
        return {};
    const QVariantMap currency
        = m_db->execQuery(R"(SELECT code, name_ar FROM currencies WHERE id=?)", { currencyId })
              .value(0)
              .toMap();
    if (currency.isEmpty())
        return {};
    return { { QStringLiteral("currency_id"), currencyId },
        { QStringLiteral("code"), currency.value(QStringLiteral("code")) },
        { QStringLiteral("name_ar"), currency.value(QStringLiteral("name_ar")) },
        { QStringLiteral("date"), date },
        { QStringLiteral("message"), books.missingRate(currencyId, date).refusal } };
}
