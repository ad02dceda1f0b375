#include "accountmodel.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>
#include <QSet>

Q_LOGGING_CATEGORY(lcAccounts, "darvelinto.accounts")

namespace {

// A page larger than this is a caller's mistake, not a list anybody reads.
constexpr int kMaxPageSize = 500;

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
        return m_db->execQuery(R"(
            SELECT je.* FROM journal_entries je
            ORDER BY je.entry_date DESC, je.id DESC LIMIT ? OFFSET ?)",
            page);
    }
    const QString like = escapedForLike(text);
    return m_db->execQuery(R"(
        SELECT je.* FROM journal_entries je
        WHERE je.description LIKE ? ESCAPE '\' OR je.entry_date LIKE ? ESCAPE '\' OR CAST(je.id AS TEXT) = ?
        ORDER BY je.entry_date DESC, je.id DESC LIMIT ? OFFSET ?)",
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
    const QVariantList rows = m_db->execQuery(R"(
        SELECT COALESCE(SUM(CASE WHEN a.type='revenue' THEN jl.credit-jl.debit END),0) as revenue,
               COALESCE(SUM(CASE WHEN a.type='expense' THEN jl.debit-jl.credit END),0) as expenses
        FROM journal_entries je
        JOIN journal_lines jl ON jl.entry_id=je.id
        JOIN accounts a ON jl.account_id=a.id
        WHERE a.type IN ('revenue','expense') AND je.entry_date BETWEEN ? AND ?)",
        { from, to });
    const QVariantMap row = rows.value(0).toMap();
    const double revenue = row.value(QStringLiteral("revenue")).toDouble();
    const double expenses = row.value(QStringLiteral("expenses")).toDouble();
    return { { QStringLiteral("revenue"), revenue }, { QStringLiteral("expenses"), expenses },
        { QStringLiteral("net_profit"), revenue - expenses } };
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
    // 0.0 - 0.0 is -0.0 in SQLite's arithmetic; adding 0.0 shows an empty ledger as plain 0.
    return { { QStringLiteral("assets"), row.value(QStringLiteral("assets")).toDouble() + 0.0 },
        { QStringLiteral("liabilities"), row.value(QStringLiteral("liabilities")).toDouble() + 0.0 },
        { QStringLiteral("equity"), row.value(QStringLiteral("equity")).toDouble() + 0.0 } };
}
