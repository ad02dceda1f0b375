#include "databasecopymanager.h"

#include "database.h"
#include "transactionguard.h"

#include <QCryptographicHash>
#include <QLocale>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <map>

Q_LOGGING_CATEGORY(lcCopy, "darvelinto.copy")

using namespace Qt::StringLiterals;

namespace {

constexpr int kPageRows = 2000;
// Both backends take this many values in one statement, whatever their build.
constexpr int kValuesPerStatement = 999;

// A table holding any of these rows is an office's books: a copy never writes over them. The
// rest (users, the chart of accounts, settings...) is what any new database starts with.
const QStringList kBooks = { u"properties"_s, u"units"_s, u"tenants"_s, u"buyers"_s, u"contracts"_s,
    u"invoices"_s, u"payments"_s, u"expenses"_s, u"installments"_s, u"cheques"_s, u"maintenance_requests"_s,
    u"journal_entries"_s, u"receipts"_s, u"contractors"_s, u"deposit_movements"_s, u"usage_records"_s };

/** Names come from the database's own catalogue, yet are spliced into statements: only plain ones. */
bool isPlainName(const QString& name)
{
    static const QRegularExpression plain(u"^[a-z_][a-z0-9_]*$"_s);
    return plain.match(name).hasMatch();
}

QStringList tableNames(Database& db)
{
    const QString sql = db.isServer()
        ? u"SELECT tablename AS name FROM pg_tables WHERE schemaname = current_schema()"_s
        : u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'"_s;
    QStringList names;
    for (const QVariant& row : db.execQuery(sql))
        names << row.toMap().value(u"name"_s).toString();
    names.sort();
    return names;
}

/** The tables each table refers to, itself left out (a row's parent comes first by id). */
QHash<QString, QSet<QString>> references(Database& db, const QStringList& tables)
{
    QHash<QString, QSet<QString>> refers;
    if (db.isServer()) {
        const QVariantList pairs
            = db.execQuery(u"SELECT conrelid::regclass::text AS child, confrelid::regclass::text AS parent "
                           "FROM pg_constraint WHERE contype = 'f'"_s);
        for (const QVariant& pair : pairs) {
            const QVariantMap row = pair.toMap();
            refers[row.value(u"child"_s).toString()].insert(row.value(u"parent"_s).toString());
        }
    } else {
        for (const QString& table : tables) {
            for (const QVariant& key :
                db.execQuery(u"SELECT \"table\" AS parent FROM pragma_foreign_key_list(?)"_s, { table }))
                refers[table].insert(key.toMap().value(u"parent"_s).toString());
        }
    }
    for (auto it = refers.begin(); it != refers.end(); ++it)
        it->remove(it.key());
    return refers;
}

/** Every table after the tables it refers to; empty if the references go round in a circle. */
QStringList loadOrder(const QStringList& tables, const QHash<QString, QSet<QString>>& refers)
{
    QStringList ordered;
    QSet<QString> placed;
    while (ordered.size() < tables.size()) {
        bool progressed = false;
        for (const QString& table : tables) {
            if (placed.contains(table))
                continue;
            const QSet<QString> parents = refers.value(table);
            if (std::all_of(parents.begin(), parents.end(), [&](const QString& parent) {
                    return placed.contains(parent) || !tables.contains(parent);
                })) {
                ordered << table;
                placed.insert(table);
                progressed = true;
            }
        }
        if (!progressed)
            return {};
    }
    return ordered;
}

/** A value as both backends read it back: a number by its value, whatever type held it. */
QString canonical(const QVariant& value)
{
    if (value.isNull())
        return u"\u0001"_s;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        return value.toString();
    }
}

QByteArray canonicalRow(const QVariantMap& row)
{
    QString text;
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        text += it.key() + u'=' + canonical(it.value()) + u'\u0002';
    return text.toUtf8();
}

/**
 * Reads a table whole, a page at a time in the order of its ids (a table keyed by name at once, its
 * rows sorted here: the backends sort text differently), handing each row on. False on a failed read.
 */
bool readTable(Database& db, const QString& table, const std::function<bool(const QVariantMap&)>& take)
{
    const QVariantList first = db.execQuery(u"SELECT * FROM "_s + table + u" LIMIT 1"_s);
    if (first.isEmpty())
        return db.scalar(u"SELECT COUNT(*) FROM "_s + table).isValid();
    if (!first.first().toMap().contains(u"id"_s)) {
        QVariantList rows = db.execQuery(u"SELECT * FROM "_s + table);
        std::sort(rows.begin(), rows.end(), [](const QVariant& a, const QVariant& b) {
            return canonicalRow(a.toMap()) < canonicalRow(b.toMap());
        });
        return std::all_of(
            rows.cbegin(), rows.cend(), [&](const QVariant& row) { return take(row.toMap()); });
    }
    const QString page = u"SELECT * FROM "_s + table + u" WHERE id > ? ORDER BY id LIMIT ?"_s;
    for (qint64 after = std::numeric_limits<qint64>::min();;) {
        const QVariantList rows = db.execQuery(page, { after, kPageRows });
        for (const QVariant& row : rows) {
            if (!take(row.toMap()))
                return false;
        }
        if (rows.size() < kPageRows)
            return true;
        after = rows.last().toMap().value(u"id"_s).toLongLong();
    }
}

/** Collects rows and writes them in statements of many rows each. */
class TableWriter
{
public:
    TableWriter(Database& db, const QString& table)
        : m_db(db)
        , m_table(table)
    { }

    bool add(const QVariantMap& row)
    {
        if (m_columns.isEmpty()) {
            m_columns = row.keys();
            if (!std::all_of(m_columns.cbegin(), m_columns.cend(), isPlainName))
                return false;
            m_rowsPerStatement = std::max<int>(1, kValuesPerStatement / int(m_columns.size()));
        }
        if (row.keys() != m_columns)
            return false;
        for (const QString& column : std::as_const(m_columns))
            m_values << row.value(column);
        return ++m_pending < m_rowsPerStatement || flush();
    }

    bool hasIds() const { return m_columns.contains(u"id"_s); }

    bool flush()
    {
        if (m_pending == 0)
            return true;
        const QString oneRow = u"("_s + QStringList(m_columns.size(), u"?"_s).join(u',') + u')';
        const QString sql = u"INSERT INTO "_s + m_table + u" ("_s + m_columns.join(u',') + u") VALUES "_s
            + QStringList(m_pending, oneRow).join(u',');
        const bool written = m_db.execNonQuery(sql, m_values);
        m_values.clear();
        m_pending = 0;
        return written;
    }

private:
    Database& m_db;
    QString m_table;
    QStringList m_columns;
    QVariantList m_values;
    int m_rowsPerStatement = 1;
    int m_pending = 0;
};

/** A digest of a table's rows and their number, taken row by row as readTable() hands them on. */
class TableContent
{
public:
    void add(const QVariantMap& row)
    {
        m_hash.addData(canonicalRow(row));
        ++m_rows;
    }
    qint64 rows() const { return m_rows; }
    bool operator==(const TableContent& other) const
    {
        return m_rows == other.m_rows && m_hash.resultView() == other.m_hash.resultView();
    }

private:
    QCryptographicHash m_hash { QCryptographicHash::Sha256 };
    qint64 m_rows = 0;
};

/** Whether the table reads from `db` exactly as `expected` was read. */
bool readsAs(Database& db, const QString& table, const TableContent& expected)
{
    TableContent content;
    const bool read = readTable(db, table, [&](const QVariantMap& row) {
        content.add(row);
        return true;
    });
    return read && content == expected;
}

/** Ids a server hands out next must follow the copied ones; a file's follow them by themselves. */
bool continueIds(Database& db, const QString& table)
{
    if (!db.isServer())
        return true;
    const QVariant sequence = db.scalar(u"SELECT pg_get_serial_sequence(?, 'id')"_s, { table });
    if (sequence.isNull())
        return sequence.isValid();
    return db.scalar(u"SELECT setval(?::regclass, (SELECT MAX(id) FROM "_s + table + u"))"_s, { sequence })
        .isValid();
}

class Copy
{
public:
    Copy(Database& from, Database& to)
        : m_from(from)
        , m_to(to)
    { }

    DatabaseCopyReport run()
    {
        const auto noteError = QObject::connect(
            &m_to, &Database::databaseError, &m_to, [this](const QString& error) { m_lastError = error; });
        const auto noteReadError = QObject::connect(&m_from, &Database::databaseError, &m_from,
            [this](const QString& error) { m_lastError = error; });
        if (plan() && refuseBooks()) {
            // One snapshot of the source: the copy is the books at one moment, whatever others write.
            TransactionGuard snapshot(&m_from);
            TransactionGuard write(&m_to);
            if (!snapshot.isActive() || !write.isActive())
                fail(u"a transaction could not begin"_s);
            else if (!m_from.isServer()
                || m_from.execNonQuery(u"SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"_s))
                copyAndCheck(write);
        }
        QObject::disconnect(noteError);
        QObject::disconnect(noteReadError);
        m_report.copied = m_report.error.isEmpty();
        return m_report;
    }

private:
    void fail(const QString& why)
    {
        if (m_report.error.isEmpty())
            m_report.error = m_lastError.isEmpty() ? why : why + u": "_s + m_lastError.simplified();
        qCWarning(lcCopy).noquote() << "copy failed:" << m_report.error;
    }

    bool plan()
    {
        const QStringList tables = tableNames(m_from);
        const QStringList targets = tableNames(m_to);
        for (const QString& table : tables) {
            if (!isPlainName(table) || !targets.contains(table)) {
                fail(u"the destination has no table "_s + table);
                return false;
            }
        }
        m_report.tables = loadOrder(tables, references(m_from, tables));
        if (m_report.tables.isEmpty())
            fail(u"the tables refer to each other in a circle"_s);
        return !m_report.tables.isEmpty();
    }

    bool refuseBooks()
    {
        for (const QString& table : kBooks) {
            if (m_report.tables.contains(table)
                && !m_to.execQuery(u"SELECT * FROM "_s + table + u" LIMIT 1"_s).isEmpty()) {
                fail(u"the destination already holds an office's books (table "_s + table + u')');
                return false;
            }
        }
        return true;
    }

    void copyAndCheck(TransactionGuard& write)
    {
        // What a new database starts with (users, chart of accounts, settings) gives way to the source's.
        for (auto table = m_report.tables.crbegin(); table != m_report.tables.crend(); ++table) {
            if (!m_to.execNonQuery(u"DELETE FROM "_s + *table))
                return fail(u"could not empty "_s + *table);
        }
        std::map<QString, TableContent> source;
        for (const QString& table : std::as_const(m_report.tables)) {
            TableWriter writer(m_to, table);
            TableContent& read = source[table];
            const bool copied = readTable(m_from, table, [&](const QVariantMap& row) {
                read.add(row);
                return writer.add(row);
            });
            if (!copied || !writer.flush() || (writer.hasIds() && !continueIds(m_to, table)))
                return fail(u"could not copy "_s + table);
            m_report.rows.insert(table, read.rows());
        }
        // Committed only once every table reads back as it was read: no figure rounded, no row lost.
        for (const QString& table : std::as_const(m_report.tables)) {
            if (!readsAs(m_to, table, source.at(table)))
                return fail(u"the copy of "_s + table + u" does not read as the original"_s);
        }
        if (!write.commit())
            fail(u"the copy could not be committed"_s);
    }

    Database& m_from;
    Database& m_to;
    DatabaseCopyReport m_report;
    QString m_lastError;
};

} // namespace

DatabaseCopyReport DatabaseCopyManager::copy(Database& from, Database& to)
{
    return Copy(from, to).run();
}

QString DatabaseCopyReport::summary() const
{
    QStringList lines;
    for (const QString& table : tables) {
        if (rows.contains(table))
            lines << u"%1: %2 rows"_s.arg(table).arg(rows.value(table));
    }
    lines << (copied ? u"copied: every table reads the same on both sides"_s : u"not copied: "_s + error);
    return lines.join(u'\n');
}
