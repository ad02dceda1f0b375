#include "invoicemodel.h"

#include "bookkeeper.h"
#include "clock.h"
#include "database.h"
#include "deskturn.h"
#include "latefeepolicy.h"
#include "listpaging.h"
#include "money.h"
#include "paymentmodel.h"
#include "transactionguard.h"

#include <QDate>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <optional>

Q_LOGGING_CATEGORY(lcInvoices, "darvelinto.invoices")

namespace {

const QString kRentMonthly = QStringLiteral("إيجار شهري");
const QString kRentYearly = QStringLiteral("إيجار سنوي");

/** The first day of a "yyyy-MM" period, or an invalid date when the text is anything else. */
QDate periodStart(const QString& period)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}$"));
    if (!pattern.match(period).hasMatch())
        return {};
    return QDate::fromString(period + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
}

/** An amount an invoice line may carry: within bounds and not below 0 once in hundredths. */
std::optional<double> lineAmount(double value)
{
    if (!Money::isAmount(value) || Money::toCents(value) < 0)
        return std::nullopt;
    return Money::roundToCents(value);
}

/** A service charge: within bounds and at least a cent once rounded. */
bool isCharge(double amount)
{
    return Money::isAmount(amount) && Money::toCents(amount) > 0;
}

QString dueDate(const QString& period)
{
    return period + QStringLiteral("-28");
}

QVariant idOrNull(int id)
{
    return id > 0 ? QVariant(id) : QVariant();
}

QDate firstOfMonth(const QDate& date)
{
    return QDate(date.year(), date.month(), 1);
}

/**
 * Runs a read and says in `failed` whether the database reported an error meanwhile: an empty
 * list alone cannot tell "nothing to do" from "could not look".
 */
QVariantList readWatched(Database* db, const QString& sql, const QVariantList& params, bool* failed)
{
    const QMetaObject::Connection watch
        = QObject::connect(db, &Database::databaseError, [failed](const QString&) { *failed = true; });
    const QVariantList rows = db->execQuery(sql, params);
    QObject::disconnect(watch);
    return rows;
}

/**
 * The readings of a period (bound to the one "?") that still wait for their bill: something to
 * charge, and no line of a live invoice names them. A void invoice gave its readings back.
 */
QString unbilledReadingsSql()
{
    return QStringLiteral(R"(SELECT ur.id, ur.unit_id, ur.consumption, ur.cost, s.name
        FROM usage_records ur JOIN services s ON ur.service_id=s.id
        WHERE ur.period=? AND ur.cost<>0
          AND NOT EXISTS (SELECT 1 FROM invoice_items ii JOIN invoices i ON i.id=ii.invoice_id
                          WHERE ii.usage_record_id=ur.id AND i.status!='void'))");
}

/** Whether a contract running from `begins` to `ends` (either may be invalid: no limit) is billed for the
 * month of `start`. */
bool coversMonth(const QDate& begins, const QDate& ends, const QDate& start)
{
    // Part months count whole: a contract is billed from its start month through its end month.
    return !(begins.isValid() && firstOfMonth(begins) > start)
        && !(ends.isValid() && firstOfMonth(ends) < start);
}

/** The time stamp of now in the form the database gives created_at (datetime('now'), UTC). */
QString timestampNow()
{
    return Clock::now().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

InvoiceModel::InvoiceModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantMap InvoiceModel::Outcome::toMap() const
{
    QVariantMap map { { QStringLiteral("made"), made }, { QStringLiteral("failed"), failed },
        { QStringLiteral("refused"), refused } };
    if (!missingRates.isEmpty()) {
        map.insert(QStringLiteral("refusal"), refusal);
        map.insert(QStringLiteral("missing_rates"), missingRates);
    }
    return map;
}

qint64 InvoiceModel::Draft::totalCents() const
{
    // A total above the largest amount is a typing error, like a line above it.
    static const qint64 largest = Money::toCents(Money::kMaxAmount);
    qint64 sum = 0;
    for (const Item& item : items) {
        sum += Money::toCents(item.total);
        if (sum > largest)
            return -1;
    }
    return sum;
}

QVariantList InvoiceModel::getAll()
{
    return m_db->execQuery(QStringLiteral(
        R"(SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name
           FROM invoices i
           LEFT JOIN tenants t ON i.tenant_id=t.id
           LEFT JOIN units u ON i.unit_id=u.id
           LEFT JOIN properties p ON u.property_id=p.id
           ORDER BY i.created_at DESC)"));
}

QVariantList InvoiceModel::getPage(int offset, int limit, const QString& search)
{
    // The page is chosen first, on the invoice rows alone: newest first by id walks the primary
    // key backwards, so the rows skipped by OFFSET cost no joins and a search tests only the
    // invoice's own columns, the names being matched once in small sub-selects. Only the rows of
    // the page are then joined to their tenant, unit and property.
    static const QString matching = QStringLiteral(
        R"(WHERE f.invoice_number LIKE ? ESCAPE '\' OR f.period LIKE ? ESCAPE '\'
              OR f.tenant_id IN (SELECT id FROM tenants WHERE full_name LIKE ? ESCAPE '\')
              OR f.unit_id IN (SELECT su.id FROM units su JOIN properties sp ON su.property_id=sp.id
                               WHERE su.unit_number LIKE ? ESCAPE '\' OR sp.name LIKE ? ESCAPE '\') )");
    const QString pattern = ListPaging::containsPattern(search);
    QVariantList params;
    if (!pattern.isEmpty())
        params = { pattern, pattern, pattern, pattern, pattern };
    params << ListPaging::limit(limit) << ListPaging::offset(offset);
    return m_db->execQuery(
        QStringLiteral("SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
                       "FROM (SELECT f.id FROM invoices f ")
            + (pattern.isEmpty() ? QString() : matching)
            + QStringLiteral(R"(ORDER BY f.id DESC LIMIT ? OFFSET ?) page
                                JOIN invoices i ON i.id=page.id
                                LEFT JOIN tenants t ON i.tenant_id=t.id
                                LEFT JOIN units u ON i.unit_id=u.id
                                LEFT JOIN properties p ON u.property_id=p.id
                                ORDER BY i.id DESC)"),
        params);
}

QVariantMap InvoiceModel::getById(int id)
{
    const QVariantList rows = m_db->execQuery(QStringLiteral(
                                                  R"(SELECT i.*, t.full_name as tenant_name FROM invoices i
                                                     LEFT JOIN tenants t ON i.tenant_id=t.id WHERE i.id=?)"),
        { id });
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

QVariantList InvoiceModel::getItems(int invoiceId)
{
    return m_db->execQuery(QStringLiteral("SELECT * FROM invoice_items WHERE invoice_id=?"), { invoiceId });
}

QVariantList InvoiceModel::getByTenant(int tenantId)
{
    return m_db->execQuery(
        QStringLiteral("SELECT * FROM invoices WHERE tenant_id=? ORDER BY created_at DESC"), { tenantId });
}

QVariantList InvoiceModel::getPendingByTenant(int tenantId)
{
    return m_db->execQuery(
        QStringLiteral(
            R"(SELECT id, invoice_number, period, total_amount, paid_amount, balance, due_date
                                  FROM invoices WHERE tenant_id=? AND status NOT IN ('paid', 'void')
                                  ORDER BY due_date, created_at)"),
        { tenantId });
}

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

/**
 * Writes invoices for one operation, each in its own transaction: numbering, the invoice row, its
 * items, the tenant's balance and the invoice's journal entry. Its statements are prepared once per operation
 * rather than per call as the Database helpers do: the rent run repeats them for every contract and would
 * otherwise spend about half its time compiling the same SQL again. They run on the one
 * connection, on the one GUI thread, like the helpers; failures still reach databaseError. Lives
 * no longer than the operation that made it, so no statement outlives a restore or the connection.
 */
class InvoiceModel::Writer
{
public:
    explicit Writer(Database* db)
        : m_db(db)
        , m_insertInvoice(db,
              QStringLiteral(
                  R"(INSERT INTO invoices (invoice_number,tenant_id,unit_id,contract_id,period,total_amount,
                                                      balance,status,currency_id,due_date,late_fee_for,
                                                      late_fee_month,notes)
                                VALUES (?,?,?,?,?,?,?,'pending',?,?,?,?,?) RETURNING id, created_at)"))
        , m_insertItem(db,
              QStringLiteral(
                  R"(INSERT INTO invoice_items (invoice_id,description,type,quantity,unit_price,total,
                                                           usage_record_id)
                                VALUES (?,?,?,?,?,?,?) RETURNING id)"))
        , m_raiseBalance(db,
              QStringLiteral("UPDATE tenants SET balance=") + Money::movedByCentsSql("balance")
                  + QStringLiteral(" WHERE id=?"))
        , m_begin(db, QStringLiteral("BEGIN"))
        , m_commit(db, QStringLiteral("COMMIT"))
        , m_rollback(db, QStringLiteral("ROLLBACK"))
        , m_books(db)
    { }

    /** Why the last invoice could not be posted to the books, when a rule refused it. */
    const BookKeeper::Result& posting() const { return m_posting; }

    /** The number of the last invoice written. */
    const QString& lastNumber() const { return m_lastNumber; }

    /**
     * The invoice with its items and the balance change, all or nothing; the new id or -1, and
     * the reason in the log. An invoice whose total is not above 0 could never be settled: it is
     * refused before anything is written.
     */
    [[nodiscard]] int create(const Draft& draft)
    {
        const qint64 total = checkedTotal(draft);
        if (total <= 0)
            return -1;
        // The transaction statements are prepared once too (TransactionGuard compiles BEGIN and
        // COMMIT afresh each time): the rent run opens one transaction per invoice.
        m_error.clear();
        m_posting = {};
        if (!begin()) {
            qCWarning(lcInvoices) << "could not open a transaction for an invoice of tenant" << draft.tenantId
                                  << ":" << m_error;
            return -1;
        }
        const int id = write(draft, total);
        if (id <= 0 || !commit()) {
            if (!rollback())
                qCCritical(lcInvoices) << "could not roll back an unwritten invoice";
            // Whatever was drawn went back with the invoice: the next draw asks the file.
            m_next = 0;
            qCWarning(lcInvoices) << "invoice of tenant" << draft.tenantId << "for" << draft.period
                                  << contractNote(draft) << "not written:" << m_error;
            return -1;
        }
        ++m_next;
        return id;
    }

    /**
     * The invoice inside the caller's transaction, for an operation that writes several invoices
     * all or nothing; the new id or -1, and the caller rolls back. The writer must not outlive
     * that transaction.
     */
    [[nodiscard]] int createInside(const Draft& draft)
    {
        const qint64 total = checkedTotal(draft);
        if (total <= 0)
            return -1;
        m_error.clear();
        m_posting = {};
        const int id = write(draft, total);
        if (id <= 0) {
            m_next = 0;
            qCWarning(lcInvoices) << "invoice of tenant" << draft.tenantId << "for" << draft.period
                                  << "not written:" << m_error;
            return -1;
        }
        ++m_next;
        return id;
    }

private:
    /** The total in hundredths, or 0 when the invoice is refused (the log says why). */
    static qint64 checkedTotal(const Draft& draft)
    {
        const qint64 total = draft.totalCents();
        if (total <= 0) {
            qCWarning(lcInvoices) << "refused an invoice of tenant" << draft.tenantId << "for" << draft.period
                                  << (total < 0 ? "above the largest amount" : "whose total is not above 0")
                                  << contractNote(draft);
            return 0;
        }
        return total;
    }

    /** A statement prepared on first use and run again with new values; failures reach databaseError. */
    class Statement
    {
    public:
        Statement(Database* db, const QString& sql)
            : m_db(db)
            , m_sql(sql)
        { }

        /**
         * Runs with the values bound in order; false (and databaseError) on failure, with the
         * database's words in `error` when one is given.
         */
        [[nodiscard]] bool exec(const QVariantList& params, QString* error = nullptr)
        {
            return run(params, error) >= 0;
        }

        /** Runs an INSERT; the new row id, or -1. `returned` receives the value it returns, if any. */
        [[nodiscard]] qint64 insert(const QVariantList& params, QString* error, QVariant* returned = nullptr)
        {
            return run(params, error, returned);
        }

    private:
        /** The id an INSERT ... RETURNING id gives (0 for other statements) after a successful run, or -1. */
        qint64 run(const QVariantList& params, QString* error, QVariant* returned = nullptr)
        {
            if (!m_query) {
                m_query.emplace(m_db->getDb());
                m_query->setForwardOnly(true);
                if (!m_query->prepare(m_sql))
                    return fail(error);
            }
            for (int i = 0; i < params.size(); ++i)
                m_query->bindValue(i, params.at(i));
            m_db->traceStatement(m_sql, params);
            if (!m_query->exec())
                return fail(error);
            // An insert returns its id first (a server gives no other way to learn it), then
            // what the caller asked for.
            qint64 rowId = 0;
            if (m_query->next()) {
                rowId = m_query->value(0).toLongLong();
                if (returned)
                    *returned = m_query->value(1);
            }
            m_query->finish();
            return rowId;
        }

        qint64 fail(QString* error)
        {
            const QString text = m_query->lastError().text();
            m_query->finish();
            if (error)
                *error = text;
            emit m_db->databaseError(text);
            return -1;
        }

        Database* m_db;
        QString m_sql;
        std::optional<QSqlQuery> m_query;
    };

    [[nodiscard]] int write(const Draft& draft, qint64 totalCents)
    {
        const double total = Money::fromCents(totalCents);
        // Desks sharing a server take turns at the numbers until their invoice is committed, each
        // asking the database afresh: no two invoices share a number and none is skipped.
        if (m_db->isServer()) {
            if (!m_db->execNonQuery(QStringLiteral("SELECT pg_advisory_xact_lock(7270112)"))) {
                m_error = QStringLiteral("the invoice numbers could not be reserved");
                return -1;
            }
            m_next = 0;
        }
        const QString number = generateNumber();
        if (number.isEmpty()) {
            m_error = QStringLiteral("no invoice number could be drawn");
            return -1;
        }
        QVariantList params { number, draft.tenantId, draft.unitId, draft.contractId, draft.period, total,
            total, draft.currencyId, draft.dueDate.isEmpty() ? dueDate(draft.period) : draft.dueDate,
            draft.lateFeeFor, draft.lateFeeMonth, draft.notes };
        QVariant createdAt;
        qint64 id = m_insertInvoice.insert(params, &m_error, &createdAt);
        if (id <= 0) {
            // A number written behind this writer's back (by another series filling a gap) fails
            // on the unique index: ask the file once more before giving up.
            m_next = 0;
            const QString fresh = generateNumber();
            if (fresh.isEmpty() || fresh == number)
                return -1;
            params[0] = fresh;
            id = m_insertInvoice.insert(params, &m_error, &createdAt);
            if (id <= 0)
                return -1;
        }
        qint64 rentCents = 0;
        qint64 lateFeeCents = 0;
        for (const Item& item : draft.items) {
            if (m_insertItem.insert({ id, item.description, item.type, item.quantity, item.unitPrice,
                                        item.total, item.usageRecordId },
                    &m_error)
                <= 0)
                return -1;
            if (item.type == QLatin1String("rent"))
                rentCents += Money::toCents(item.total);
            else if (item.type == QLatin1String("late_fee"))
                lateFeeCents += Money::toCents(item.total);
        }
        if (!m_raiseBalance.exec({ totalCents, draft.tenantId }, &m_error))
            return -1;
        // Dated the day the invoice was made, as the statements show it.
        m_lastNumber = params.at(0).toString();
        m_posting = m_books.postInvoice(static_cast<int>(id), m_lastNumber, dayOf(createdAt.toString()),
            draft.currencyId, rentCents, totalCents - rentCents - lateFeeCents, lateFeeCents);
        if (!m_posting.ok) {
            m_error = m_posting.refusal.isEmpty() ? QStringLiteral("its journal entry could not be written")
                                                  : m_posting.refusal;
            return -1;
        }
        return static_cast<int>(id);
    }

    /** The local day of a creation time; a run stamps many invoices within the same second. */
    const QString& dayOf(const QString& createdAt)
    {
        if (createdAt != m_stamp || m_stampDay.isEmpty()) {
            m_stamp = createdAt;
            m_stampDay = BookKeeper::localDayOf(createdAt);
        }
        return m_stampDay;
    }

    // A server runs BEGIN and COMMIT only as plain statements, never prepared ones.
    bool begin() { return m_db->isServer() ? m_db->beginTransaction() : m_begin.exec({}, &m_error); }
    bool commit() { return m_db->isServer() ? m_db->commitTransaction() : m_commit.exec({}, &m_error); }
    bool rollback() { return m_db->isServer() ? m_db->rollbackTransaction() : m_rollback.exec({}); }

    static QString contractNote(const Draft& draft)
    {
        return draft.contractId.isValid() && !draft.contractId.isNull()
            ? QStringLiteral("(contract %1)").arg(draft.contractId.toString())
            : QString();
    }

    /** The number the next invoice gets; drawn from the file once, then counted on in memory. */
    [[nodiscard]] QString generateNumber()
    {
        // The month of issue, not the billed period, names the series: a March invoice made on
        // 1 April is INV-202504-xxxx.
        const QDate today = Clock::today();
        if (today != m_prefixDay) {
            m_prefixDay = today;
            const QString prefix
                = QStringLiteral("INV-") + today.toString(QStringLiteral("yyyyMM")) + QLatin1Char('-');
            if (prefix != m_prefix) {
                m_prefix = prefix;
                m_next = 0;
            }
        }
        if (m_next <= 0)
            m_next = firstFreeSequence(m_prefix);
        if (m_next <= 0)
            return {};
        return numbered(m_prefix, m_next);
    }

    static QString numbered(const QString& prefix, qint64 sequence)
    {
        return prefix + QString::number(sequence).rightJustified(4, QLatin1Char('0'));
    }

    [[nodiscard]] qint64 firstFreeSequence(const QString& prefix)
    {
        // Both probes walk an index a few steps, whatever the size of the history: the month's
        // highest number in text order through the unique index on invoice_number (a
        // case-sensitive range: ':' follows '9', so it holds every numeric suffix and nothing
        // else), and the newest invoice through the rowid. Past 9999 the text order is no longer
        // the numeric one ("10000" < "9999"); the newest invoice then carries the highest number.
        const QVariantList rows = m_db->execQuery(QStringLiteral(
                                                      R"(SELECT (SELECT invoice_number FROM invoices
                                                                 WHERE invoice_number >= ? AND invoice_number < ?
                                                                 ORDER BY invoice_number DESC LIMIT 1) as highest_text,
                                                                (SELECT invoice_number FROM invoices
                                                                 ORDER BY id DESC LIMIT 1) as newest)"),
            { prefix + QLatin1Char('0'), prefix + QLatin1Char(':') });
        if (rows.isEmpty()) {
            qCWarning(lcInvoices) << "could not read the invoice numbers of" << prefix;
            return 0;
        }
        const QVariantMap row = rows.first().toMap();
        const auto sequenceOf = [&prefix](const QVariant& value) -> qint64 {
            const QString number = value.toString();
            if (!number.startsWith(prefix))
                return 0;
            bool ok = false;
            const qint64 sequence = number.mid(prefix.size()).toLongLong(&ok);
            return ok && sequence > 0 ? sequence : 0;
        };
        const qint64 highest = std::max(sequenceOf(row.value(QStringLiteral("highest_text"))),
            sequenceOf(row.value(QStringLiteral("newest"))));

        // A month's numbers run on without gaps, so the next one is normally free. When it is not
        // (the newest invoice is of another series and the month has gone past 9999), gallop over
        // the taken run and close in on its end.
        qint64 taken = highest;
        qint64 free = highest + 1;
        qint64 step = 1;
        while (numberTaken(numbered(prefix, free))) {
            taken = free;
            step *= 2;
            free = taken + step;
        }
        while (free - taken > 1) {
            const qint64 middle = taken + (free - taken) / 2;
            if (numberTaken(numbered(prefix, middle)))
                taken = middle;
            else
                free = middle;
        }
        return free;
    }

    [[nodiscard]] bool numberTaken(const QString& number)
    {
        return m_db->scalar(QStringLiteral("SELECT 1 FROM invoices WHERE invoice_number=?"), { number })
            .isValid();
    }

    Database* m_db;
    // Why the last invoice could not be written, in the database's words.
    QString m_error;
    QString m_lastNumber;
    QString m_stamp;
    QString m_stampDay;
    QDate m_prefixDay;
    QString m_prefix;
    qint64 m_next = 0;
    Statement m_insertInvoice;
    Statement m_insertItem;
    Statement m_raiseBalance;
    Statement m_begin;
    Statement m_commit;
    Statement m_rollback;
    BookKeeper m_books;
    BookKeeper::Result m_posting;
};

int InvoiceModel::createInvoice(
    int tenantId, int unitId, const QString& period, const QVariantList& items, int currencyId)
{
    clearRefusal();
    if (!periodStart(period).isValid()) {
        qCWarning(lcInvoices) << "refused an invoice for the period" << period;
        return refuseRow(QStringLiteral("الفترة تُكتب بالشكل YYYY-MM"));
    }
    Draft draft;
    draft.tenantId = tenantId;
    draft.unitId = idOrNull(unitId);
    draft.period = period;
    draft.currencyId = currencyId;
    for (const QVariant& value : items) {
        const QVariantMap map = value.toMap();
        Item item;
        item.description = map.value(QStringLiteral("description")).toString();
        item.type = map.value(QStringLiteral("type")).toString();
        if (item.type.isEmpty())
            item.type = QStringLiteral("service");
        const double quantity = map.value(QStringLiteral("quantity")).toDouble();
        item.quantity = std::isfinite(quantity) && quantity > 0 ? quantity : 1;
        const std::optional<double> unitPrice
            = lineAmount(map.value(QStringLiteral("unit_price")).toDouble());
        const std::optional<double> total = lineAmount(map.value(QStringLiteral("total")).toDouble());
        if (!unitPrice || !total) {
            qCWarning(lcInvoices)
                << "refused an invoice line whose amount is negative, not finite or too large";
            return refuseRow(QStringLiteral("مبلغ البند «%1» غير صالح").arg(item.description.left(60)));
        }
        item.unitPrice = *unitPrice;
        item.total = *total;
        draft.items.append(item);
    }

    const QVariant live = m_db->scalar(
        QStringLiteral("SELECT id FROM invoices WHERE tenant_id=? AND period=? AND status!='void' "
                       "AND late_fee_for IS NULL LIMIT 1"),
        { tenantId, period });
    if (live.isValid())
        return refuseRow(
            QStringLiteral("للمستأجر فاتورة قائمة عن الفترة %1").arg(QChar(0x2066) + period + QChar(0x2069)));

    if (draft.totalCents() <= 0)
        return refuseRow(QStringLiteral("مجموع الفاتورة يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
    Writer writer(m_db);
    const int id = writer.create(draft);
    if (id <= 0)
        return writer.posting().refusal.isEmpty() ? refuseUnsavedRow() : refuseRow(writer.posting().refusal);
    emit dataChanged();
    return id;
}

bool InvoiceModel::updatePaidAmount(int id, double amount)
{
    if (!Money::isAmount(amount) || Money::toCents(amount) < 0) {
        qCWarning(lcInvoices) << "refused to set the paid amount of invoice" << id << "to" << amount;
        return false;
    }
    // An invoice that names no currency (written by older versions) is in the primary one.
    const QVariantList rows
        = m_db->execQuery(QStringLiteral(R"(SELECT tenant_id, total_amount, paid_amount, status,
                                 COALESCE(currency_id, (SELECT id FROM currencies WHERE is_primary=1
                                                        ORDER BY id LIMIT 1)) AS currency_id
                          FROM invoices WHERE id=?)"),
            { id });
    if (rows.isEmpty())
        return false;
    const QVariantMap invoice = rows.first().toMap();
    // A void invoice is final: paying it would bring it back to life without its balance ever
    // returning to the tenant.
    if (invoice.value(QStringLiteral("status")).toString() == QLatin1String("void"))
        return false;
    const qint64 wanted = Money::toCents(amount);
    const qint64 paid = Money::toCents(invoice.value(QStringLiteral("paid_amount")).toDouble());
    const qint64 total = Money::toCents(invoice.value(QStringLiteral("total_amount")).toDouble());
    if (wanted < paid || wanted > total) {
        qCWarning(lcInvoices) << "refused to set the paid amount of invoice" << id << "to" << amount
                              << ": payments are never taken back and never exceed the total";
        return false;
    }
    if (wanted == paid)
        return true;
    // A paid amount is the sum of the payments behind it: the missing part is recorded as a payment,
    // which moves the invoice, the tenant's balance and the statements together.
    PaymentModel payments(m_db);
    if (payments.add(id, invoice.value(QStringLiteral("tenant_id")).toInt(), Money::fromCents(wanted - paid),
            QStringLiteral("cash"), Clock::todayText(), QString(),
            invoice.value(QStringLiteral("currency_id")).toInt())
        <= 0)
        return false;
    emit dataChanged();
    return true;
}

bool InvoiceModel::voidInvoice(int id)
{
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("invoices"), id))
        return false;
    if (!voidWithin(id) || !transaction.commit())
        return false;
    emit dataChanged();
    return true;
}

bool InvoiceModel::voidWithin(int id)
{
    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT tenant_id, balance FROM invoices WHERE id=? AND status!='void'"), { id });
    if (rows.isEmpty())
        return false;
    const QVariantMap invoice = rows.first().toMap();
    // The statements show the void on the day it was made, taking back what was still open.
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE invoices SET status='void', balance=0, voided_at=? WHERE id=?"),
            { timestampNow(), id }))
        return false;
    // Only what was still open leaves the tenant's balance: payments already made stay made.
    const QVariant tenantId = invoice.value(QStringLiteral("tenant_id"));
    const qint64 open = Money::toCents(invoice.value(QStringLiteral("balance")).toDouble());
    if (!tenantId.isNull()
        && !m_db->execNonQuery(QStringLiteral("UPDATE tenants SET balance=")
                + Money::movedByCentsSql("balance") + QStringLiteral(" WHERE id=?"),
            { -open, tenantId }))
        return false;
    const BookKeeper::Result posted = BookKeeper(m_db).postVoid(id, open);
    if (!posted.ok) {
        qCWarning(lcInvoices) << "void of invoice" << id << "not posted:" << posted.refusal;
        return posted.refusal.isEmpty() ? refuseUnsaved() : refuse(posted.refusal);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Late fees
// ---------------------------------------------------------------------------------------------

QVariantList InvoiceModel::overdueForFees(bool* failed)
{
    const LateFeePolicy policy = LateFeePolicy::read(m_db);
    if (!policy.chargesFees())
        return {};
    // Past its due date by more than the grace period: due before today less the grace days.
    const QString lastDueSpared = Clock::today().addDays(-policy.graceDays).toString(Qt::ISODate);
    const QString month = Clock::today().toString(QStringLiteral("yyyy-MM"));
    const QVariantList rows = readWatched(m_db, QStringLiteral(R"(
        SELECT i.id, i.invoice_number, i.tenant_id, i.unit_id, i.currency_id,
               ROUND(i.balance * 100) AS open, t.full_name AS tenant_name,
               COALESCE(c.symbol, (SELECT symbol FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1))
                   AS currency_symbol
        FROM invoices i
        JOIN tenants t ON t.id = i.tenant_id
        LEFT JOIN currencies c ON c.id = i.currency_id
        WHERE i.status IN ('pending', 'partial') AND i.balance > 0 AND i.late_fee_for IS NULL
          AND i.due_date < ?
          AND NOT EXISTS (SELECT 1 FROM invoices f WHERE f.late_fee_for = i.id AND f.late_fee_month = ?)
        ORDER BY i.id)"),
        { lastDueSpared, month }, failed);
    QVariantList charged;
    charged.reserve(rows.size());
    for (const QVariant& value : rows) {
        QVariantMap row = value.toMap();
        const qint64 fee = policy.feeCents(row.value(QStringLiteral("open")).toLongLong());
        if (fee <= 0)
            continue;
        row.insert(QStringLiteral("fee"), fee);
        charged.append(row);
    }
    return charged;
}

int InvoiceModel::lateFeesDue()
{
    bool failed = false;
    const int due = static_cast<int>(overdueForFees(&failed).size());
    return failed ? 0 : due;
}

QVariantMap InvoiceModel::issueLateFees()
{
    clearRefusal();
    const auto refused = [this](const QString& why) {
        refuse(why);
        return QVariantMap { { QStringLiteral("made"), 0 }, { QStringLiteral("refused"), true },
            { QStringLiteral("refusal"), why }, { QStringLiteral("invoices"), QVariantList() } };
    };
    if (!LateFeePolicy::read(m_db).chargesFees())
        return refused(QStringLiteral("لم تُحدَّد غرامة التأخير بعد: حدّدها في الإعدادات"));
    const DeskTurn turn(m_db, DeskTurn::LateFeeRun);
    TransactionGuard transaction(m_db);
    if (!turn.isHeld() || !transaction.isActive())
        return refused(QStringLiteral("تعذّر حفظ الغرامات، ولم يُسجَّل شيء"));
    bool unread = false;
    const QVariantList overdue = overdueForFees(&unread);
    if (unread)
        return refused(QStringLiteral("تعذّر حفظ الغرامات، ولم يُسجَّل شيء"));
    const QDate today = Clock::today();
    const QString month = today.toString(QStringLiteral("yyyy-MM"));
    Writer writer(m_db);
    QVariantList made;
    for (const QVariant& value : overdue) {
        const QVariantMap row = value.toMap();
        const QString number = row.value(QStringLiteral("invoice_number")).toString();
        const double fee = Money::fromCents(row.value(QStringLiteral("fee")).toLongLong());
        Draft draft;
        draft.tenantId = row.value(QStringLiteral("tenant_id")).toInt();
        draft.unitId = row.value(QStringLiteral("unit_id"));
        draft.period = month;
        draft.currencyId = row.value(QStringLiteral("currency_id"));
        // Due at once: the fee is for money that is already late.
        draft.dueDate = today.toString(Qt::ISODate);
        draft.lateFeeFor = row.value(QStringLiteral("id"));
        draft.lateFeeMonth = month;
        draft.notes = QStringLiteral("غرامة تأخير عن الفاتورة %1 لشهر %2").arg(number, month);
        draft.items.append({ QStringLiteral("غرامة تأخير عن الفاتورة %1").arg(number),
            QStringLiteral("late_fee"), 1, fee, fee, {} });
        const int id = writer.createInside(draft);
        if (id <= 0) {
            qCWarning(lcInvoices) << "late-fee run of" << month << "rolled back: the fee on invoice" << number
                                  << "could not be written";
            QVariantMap outcome = refused(writer.posting().refusal.isEmpty()
                    ? QStringLiteral("تعذّر حفظ الغرامات، ولم يُسجَّل شيء")
                    : writer.posting().refusal);
            // A fee in another currency waits for the rate of the day; the page asks for it.
            if (writer.posting().missingRateCurrency > 0)
                outcome.insert(QStringLiteral("missing_rates"),
                    QVariantList {
                        QVariantMap { { QStringLiteral("currency_id"), writer.posting().missingRateCurrency },
                            { QStringLiteral("date"), writer.posting().missingRateDate } } });
            return outcome;
        }
        made.append(QVariantMap { { QStringLiteral("id"), id },
            { QStringLiteral("invoice_number"), writer.lastNumber() },
            { QStringLiteral("for_number"), number },
            { QStringLiteral("tenant_name"), row.value(QStringLiteral("tenant_name")) },
            { QStringLiteral("amount"), fee },
            { QStringLiteral("currency_symbol"), row.value(QStringLiteral("currency_symbol")) } });
    }
    if (!made.isEmpty()
        && !audit(QStringLiteral("غرامات تأخير"), 0,
            QStringLiteral("%1 غرامة لشهر %2").arg(made.size()).arg(month)))
        return refused(QStringLiteral("تعذّر حفظ الغرامات، ولم يُسجَّل شيء"));
    if (!transaction.commit())
        return refused(QStringLiteral("تعذّر حفظ الغرامات، ولم يُسجَّل شيء"));
    if (!made.isEmpty())
        emit dataChanged();
    return { { QStringLiteral("made"), made.size() }, { QStringLiteral("refused"), false },
        { QStringLiteral("invoices"), made } };
}

bool InvoiceModel::waiveLateFee(int id, const QString& reason)
{
    clearRefusal();
    const QString why = reason.trimmed();
    if (why.isEmpty())
        return refuse(QStringLiteral("اكتب سبب الإعفاء من الغرامة"));
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("invoices"), id))
        return refuseUnsaved();
    const QVariantList rows = m_db->execQuery(
        QStringLiteral("SELECT invoice_number, late_fee_for, status FROM invoices WHERE id=?"), { id });
    const QVariantMap fee = rows.value(0).toMap();
    if (rows.isEmpty() || fee.value(QStringLiteral("late_fee_for")).isNull())
        return refuse(QStringLiteral("هذه الفاتورة ليست غرامة تأخير"));
    const QString status = fee.value(QStringLiteral("status")).toString();
    if (status == QLatin1String("void"))
        return refuse(QStringLiteral("أُعفي من هذه الغرامة من قبل"));
    // What was paid stays paid: a settled fee is not taken back by a waiver.
    if (status == QLatin1String("paid"))
        return refuse(QStringLiteral("هذه الغرامة مسددة فلا يُعفى منها"));
    if (!voidWithin(id))
        return lastError().isEmpty() ? refuseUnsaved() : false;
    if (!audit(QStringLiteral("إعفاء من غرامة تأخير"), id,
            QStringLiteral("الفاتورة %1 — السبب: %2")
                .arg(fee.value(QStringLiteral("invoice_number")).toString(), why))
        || !transaction.commit())
        return refuseUnsaved();
    emit dataChanged();
    return true;
}

bool InvoiceModel::audit(const QString& action, int recordId, const QString& details)
{
    // The clerk is known by the name the log-in gave the connection.
    const QString clerk = m_db->actingUser();
    return m_db->execInsert(QStringLiteral(R"(
               INSERT INTO audit_logs (user_id, action, table_name, record_id, details, created_at)
               VALUES ((SELECT id FROM users WHERE ? != '' AND (full_name=? OR username=?) ORDER BY id LIMIT 1),
                       ?, 'invoices', ?, ?, ?))"),
               { clerk, clerk, clerk, action, recordId, details, timestampNow() })
        > 0;
}

// ---------------------------------------------------------------------------------------------
// Bulk generation
// ---------------------------------------------------------------------------------------------

QVariantMap InvoiceModel::issueRent(const QString& period)
{
    return runRent(period).toMap();
}

int InvoiceModel::generateAllRent(const QString& period)
{
    return runRent(period).made;
}

InvoiceModel::Outcome InvoiceModel::runRent(const QString& period)
{
    Outcome outcome;
    const QDate start = periodStart(period);
    if (!start.isValid()) {
        qCWarning(lcInvoices) << "rent run refused for the period" << period;
        outcome.refused = true;
        return outcome;
    }
    const DeskTurn turn(m_db, DeskTurn::RentRun);
    if (!turn.isHeld()) {
        outcome.refused = true;
        return outcome;
    }

    // Everything the loop needs is read up front in two statements, so each invoice costs only
    // its own writes. The duplicate guard rides on the (tenant_id, period) index: a rent invoice
    // always carries its contract's tenant.
    bool unread = false;
    const QVariantList contracts = readWatched(m_db,
        QStringLiteral(R"(SELECT c.id, c.tenant_id, c.unit_id, c.currency_id, c.rent_amount,
                                 c.payment_frequency, c.start_date, c.end_date
                          FROM contracts c
                          WHERE c.status='active'
                            AND NOT EXISTS (SELECT 1 FROM invoices i
                                            WHERE i.tenant_id=c.tenant_id AND i.period=?
                                              AND i.contract_id=c.id AND i.status!='void')
                          ORDER BY c.id)"),
        { period }, &unread);
    const QVariantList usage = contracts.isEmpty()
        ? QVariantList()
        : readWatched(m_db,
            unbilledReadingsSql() + QStringLiteral(" ORDER BY ur.unit_id, ur.service_id, ur.id"), { period },
            &unread);
    if (unread) {
        qCWarning(lcInvoices) << "rent run for" << period << "not started: the contracts could not be read";
        outcome.refused = true;
        return outcome;
    }

    QHash<int, QVector<Item>> usageByUnit;
    QSet<int> unbillableUsage;
    sortUsage(usage, &usageByUnit, &unbillableUsage);

    Writer writer(m_db);
    for (const QVariant& value : contracts) {
        const QVariantMap contract = value.toMap();
        const bool yearly
            = contract.value(QStringLiteral("payment_frequency")).toString() == QLatin1String("yearly");
        const QDate begins
            = QDate::fromString(contract.value(QStringLiteral("start_date")).toString(), Qt::ISODate);
        const QDate ends
            = QDate::fromString(contract.value(QStringLiteral("end_date")).toString(), Qt::ISODate);
        if (!coversMonth(begins, ends, start))
            continue;
        // Yearly rent falls due in the anniversary month only.
        if (yearly && begins.isValid() && begins.month() != start.month())
            continue;

        Draft draft;
        draft.tenantId = contract.value(QStringLiteral("tenant_id")).toInt();
        draft.unitId = contract.value(QStringLiteral("unit_id"));
        draft.contractId = contract.value(QStringLiteral("id"));
        draft.period = period;
        draft.currencyId = contract.value(QStringLiteral("currency_id"));
        const std::optional<double> rent
            = lineAmount(contract.value(QStringLiteral("rent_amount")).toDouble());
        if (!rent || unbillableUsage.contains(draft.unitId.toInt())) {
            qCWarning(lcInvoices) << "rent of contract" << draft.contractId.toInt() << "for" << period
                                  << "not invoiced: its rent or a usage record of its unit is negative or "
                                     "out of range";
            ++outcome.failed;
            continue;
        }
        draft.items.append(
            { yearly ? kRentYearly : kRentMonthly, QStringLiteral("rent"), 1, *rent, *rent, {} });
        // A unit's readings go on one invoice only, should the unit have two contracts.
        draft.items += usageByUnit.take(draft.unitId.toInt());
        // A contract with no rent and nothing used is refused by the writer (a total of 0 could
        // never be settled) and counted as failed, so the run never passes over it in silence.
        if (writer.create(draft) > 0)
            ++outcome.made;
        else
            countFailure(&outcome, writer);
    }
    if (outcome.failed > 0)
        qCWarning(lcInvoices) << "rent run for" << period << "made" << outcome.made << "invoices;"
                              << outcome.failed << "could not be written";
    if (outcome.made > 0)
        emit dataChanged();
    return outcome;
}

void InvoiceModel::sortUsage(
    const QVariantList& readings, QHash<int, QVector<Item>>* byUnit, QSet<int>* unbillable)
{
    for (const QVariant& value : readings) {
        const QVariantMap row = value.toMap();
        const int unitId = row.value(QStringLiteral("unit_id")).toInt();
        Item item;
        item.description = row.value(QStringLiteral("name")).toString();
        item.type = QStringLiteral("usage");
        item.quantity = row.value(QStringLiteral("consumption")).toDouble();
        item.usageRecordId = row.value(QStringLiteral("id"));
        const double cost = row.value(QStringLiteral("cost")).toDouble();
        const std::optional<double> total = lineAmount(cost);
        const std::optional<double> unitPrice = lineAmount(item.quantity > 1 ? cost / item.quantity : cost);
        if (!total || !unitPrice) {
            unbillable->insert(unitId);
            continue;
        }
        item.total = *total;
        item.unitPrice = *unitPrice;
        (*byUnit)[unitId].append(item);
    }
}

QVariantMap InvoiceModel::billUsage(const QString& period)
{
    Outcome outcome;
    const QDate start = periodStart(period);
    if (!start.isValid()) {
        qCWarning(lcInvoices) << "usage run refused for the period" << period;
        outcome.refused = true;
        return outcome.toMap();
    }
    const DeskTurn turn(m_db, DeskTurn::UsageRun);
    if (!turn.isHeld()) {
        outcome.refused = true;
        return outcome.toMap();
    }
    bool unread = false;
    const QVariantList readings = readWatched(m_db,
        unbilledReadingsSql() + QStringLiteral(" ORDER BY ur.unit_id, ur.service_id, ur.id"), { period },
        &unread);
    const QVariantList contracts = readings.isEmpty()
        ? QVariantList()
        : readWatched(m_db,
            QStringLiteral(R"(SELECT c.id, c.tenant_id, c.unit_id, c.currency_id, c.start_date, c.end_date
                  FROM contracts c
                  WHERE c.status='active' AND c.unit_id IN (SELECT unit_id FROM usage_records WHERE period=?)
                  ORDER BY c.id)"),
            { period }, &unread);
    if (unread) {
        qCWarning(lcInvoices) << "usage run for" << period << "not started: the readings could not be read";
        outcome.refused = true;
        return outcome.toMap();
    }
    QHash<int, QVector<Item>> usageByUnit;
    QSet<int> unbillable;
    sortUsage(readings, &usageByUnit, &unbillable);

    // Each reading goes once to the tenant whose contract holds its unit in that month, on an
    // invoice of its own: an invoice already issued may be printed, paid and receipted, so it is
    // never changed afterwards.
    Writer writer(m_db);
    for (const QVariant& value : contracts) {
        const QVariantMap contract = value.toMap();
        const int unitId = contract.value(QStringLiteral("unit_id")).toInt();
        if (!usageByUnit.contains(unitId)
            || !coversMonth(
                QDate::fromString(contract.value(QStringLiteral("start_date")).toString(), Qt::ISODate),
                QDate::fromString(contract.value(QStringLiteral("end_date")).toString(), Qt::ISODate), start))
            continue;
        Draft draft;
        draft.tenantId = contract.value(QStringLiteral("tenant_id")).toInt();
        draft.unitId = unitId;
        draft.period = period;
        draft.currencyId = contract.value(QStringLiteral("currency_id"));
        draft.items = usageByUnit.take(unitId);
        if (writer.create(draft) > 0)
            ++outcome.made;
        else
            countFailure(&outcome, writer);
    }
    // What is left has nobody to be billed to (a vacant unit), or could never be billed.
    int unbilled = unbillable.size();
    for (const QVector<Item>& items : std::as_const(usageByUnit))
        unbilled += int(items.size());
    if (outcome.failed > 0 || unbilled > 0)
        qCWarning(lcInvoices) << "usage run for" << period << "made" << outcome.made << "invoices;"
                              << outcome.failed << "could not be written," << unbilled
                              << "readings have no tenant to bill or cannot be billed";
    if (outcome.made > 0)
        emit dataChanged();
    QVariantMap result = outcome.toMap();
    result.insert(QStringLiteral("unbilled"), unbilled);
    return result;
}

int InvoiceModel::generateServiceInvoice(const QVariantList& tenantIds, const QString& serviceName,
    double amount, const QString& period, int currencyId)
{
    if (tenantIds.isEmpty())
        return 0;
    if (!periodStart(period).isValid() || !isCharge(amount)) {
        qCWarning(lcInvoices) << "refused a service charge of" << amount << "for" << period;
        return 0;
    }
    QVector<ServiceTarget> targets;
    targets.reserve(tenantIds.size());
    for (const QVariant& value : tenantIds) {
        bool ok = false;
        const int tenantId = value.toInt(&ok);
        if (!ok || tenantId <= 0)
            continue;
        // A tenant without an active contract is still charged, on no unit. The unary plus keeps
        // the look-up on the tenant's index rather than every active contract.
        const QVariant unitId = m_db->scalar(
            QStringLiteral(
                "SELECT unit_id FROM contracts WHERE tenant_id=? AND +status='active' ORDER BY id LIMIT 1"),
            { tenantId });
        targets.append({ tenantId, unitId.isValid() ? unitId : QVariant() });
    }
    return chargeService(targets, serviceName, amount, period, currencyId).made;
}

QVariantMap InvoiceModel::issuePropertyService(
    int propertyId, const QString& serviceName, double amount, const QString& period, int currencyId)
{
    Outcome outcome;
    if (!periodStart(period).isValid() || !isCharge(amount)) {
        qCWarning(lcInvoices) << "refused a service charge of" << amount << "for" << period;
        outcome.refused = true;
        return outcome.toMap();
    }
    // Each tenant once, on a unit of this property: the charge belongs to the property that
    // raised it, also for a tenant who rents elsewhere too. The unary plus walks the property's
    // units and their contracts instead of every active contract of the office.
    bool unread = false;
    const QVariantList rows
        = readWatched(m_db, QStringLiteral(R"(SELECT c.tenant_id, c.unit_id FROM contracts c
                          JOIN units u ON c.unit_id=u.id
                          WHERE u.property_id=? AND +c.status='active' ORDER BY c.id)"),
            { propertyId }, &unread);
    if (unread) {
        qCWarning(lcInvoices) << "service charge of property" << propertyId
                              << "not started: its tenants could not be read";
        outcome.refused = true;
        return outcome.toMap();
    }
    QVector<ServiceTarget> targets;
    QSet<int> seen;
    for (const QVariant& value : rows) {
        const QVariantMap row = value.toMap();
        const int tenantId = row.value(QStringLiteral("tenant_id")).toInt();
        if (seen.contains(tenantId))
            continue;
        seen.insert(tenantId);
        targets.append({ tenantId, row.value(QStringLiteral("unit_id")) });
    }
    return chargeService(targets, serviceName, amount, period, currencyId).toMap();
}

int InvoiceModel::generatePropertyServiceInvoice(
    int propertyId, const QString& serviceName, double amount, const QString& period, int currencyId)
{
    return issuePropertyService(propertyId, serviceName, amount, period, currencyId)
        .value(QStringLiteral("made"))
        .toInt();
}

InvoiceModel::Outcome InvoiceModel::chargeService(const QVector<ServiceTarget>& targets,
    const QString& serviceName, double amount, const QString& period, int currencyId)
{
    const double charge = Money::roundToCents(amount);
    Writer writer(m_db);
    Outcome outcome;
    for (const ServiceTarget& target : targets) {
        Draft draft;
        draft.tenantId = target.tenantId;
        draft.unitId = target.unitId;
        draft.period = period;
        draft.currencyId = currencyId;
        draft.items.append({ serviceName, QStringLiteral("service"), 1, charge, charge, {} });
        if (writer.create(draft) > 0)
            ++outcome.made;
        else
            countFailure(&outcome, writer);
    }
    if (outcome.failed > 0)
        qCWarning(lcInvoices) << "service charge for" << period << "made" << outcome.made << "invoices;"
                              << outcome.failed << "could not be written";
    if (outcome.made > 0)
        emit dataChanged();
    return outcome;
}

void InvoiceModel::countFailure(Outcome* outcome, const Writer& writer)
{
    ++outcome->failed;
    const BookKeeper::Result& posting = writer.posting();
    if (posting.missingRateCurrency <= 0)
        return;
    const QVariantMap missing { { QStringLiteral("currency_id"), posting.missingRateCurrency },
        { QStringLiteral("date"), posting.missingRateDate } };
    if (!outcome->missingRates.contains(missing)) {
        outcome->missingRates.append(missing);
        outcome->refusal += (outcome->refusal.isEmpty() ? QString() : QStringLiteral("\n")) + posting.refusal;
    }
}
