#include "ledgeropening.h"

#include "bookkeeper.h"
#include "clock.h"
#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMap>
#include <QSet>
#include <algorithm>

Q_LOGGING_CATEGORY(lcOpening, "darvelinto.books.opening")

namespace {

using Role = BookKeeper::Role;

/** Hundredths per posting role and currency. */
using Position = QMap<QPair<int, int>, qint64>;

void add(Position* position, Role role, int currency, qint64 cents)
{
    (*position)[{ static_cast<int>(role), currency }] += cents;
}

QString placeholders()
{
    QStringList marks;
    for (int i = 0; i < BookKeeper::postedReferenceTypes().size(); ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

QVariantList postedTypes()
{
    QVariantList types;
    for (const QString& type : BookKeeper::postedReferenceTypes())
        types << type;
    return types;
}

} // namespace

LedgerOpening::LedgerOpening(Database* db)
    : m_db(db)
{ }

bool LedgerOpening::openOnFirstStart()
{
    if (m_db->scalar(QStringLiteral("SELECT value FROM settings WHERE key='ledger_posting'")).isValid())
        return true;
    const Result opened = switchOn();
    if (opened.ok)
        return true;
    if (opened.missingRates.isEmpty())
        return false;
    // Money held in another currency cannot enter the books without its rate: the office switches
    // posting on from the settings page once it has entered the rate.
    qCWarning(lcOpening) << "books not opened at first start:" << opened.refusal;
    return switchOff();
}

bool LedgerOpening::switchOff()
{
    return m_db->execNonQuery(
        QStringLiteral("INSERT INTO settings (key, value) VALUES ('ledger_posting', 'off') ON CONFLICT (key) "
                       "DO UPDATE SET value = excluded.value"));
}

LedgerOpening::Result LedgerOpening::switchOn()
{
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return {};
    Result result = open();
    if (result.ok && !transaction.commit())
        result.ok = false;
    return result;
}

LedgerOpening::Result LedgerOpening::open()
{
    Result result;
    if (!BookKeeper::ensureAccounts(m_db))
        return result;
    BookKeeper books(m_db);
    const int primary = books.primaryCurrency();
    const QVariant primaryId = primary;

    // What the operational tables hold, per posting account and currency (in that currency).
    Position target;
    bool unread = false;
    const auto rows = [&](const QString& sql, const QVariantList& params = {}) {
        const QMetaObject::Connection watch
            = QObject::connect(m_db, &Database::databaseError, [&unread](const QString&) { unread = true; });
        const QVariantList found = m_db->execQuery(sql, params);
        QObject::disconnect(watch);
        return found;
    };
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(currency_id, ?) AS currency,
                   CASE WHEN TRIM(payment_method) = 'deposit' THEN 2
                        WHEN COALESCE(TRIM(payment_method), '') IN ('', 'cash') THEN 1 ELSE 0 END AS account,
                   SUM(ROUND(amount * 100)) AS cents
            FROM payments GROUP BY 1, 2)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        const int account = row.value(QStringLiteral("account")).toInt();
        // What was kept out of a deposit for an invoice left the money held, not the till.
        add(&target,
            account == 2       ? Role::HeldForOthers
                : account == 1 ? Role::Cash
                               : Role::Bank,
            row.value(QStringLiteral("currency")).toInt(), row.value(QStringLiteral("cents")).toLongLong());
    }
    // Deposits: received into the till or the bank and held, refunded out of them, kept for damage
    // as other income. Carrying a deposit to the renewed contract moves nothing.
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(currency_id, ?) AS currency, kind,
                   COALESCE(TRIM(payment_method), '') IN ('', 'cash') AS in_cash,
                   SUM(ROUND(amount * 100)) AS cents
            FROM deposit_movements WHERE kind IN ('received', 'refund', 'damage') GROUP BY 1, 2, 3)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        const int currency = row.value(QStringLiteral("currency")).toInt();
        const QString kind = row.value(QStringLiteral("kind")).toString();
        const qint64 cents = row.value(QStringLiteral("cents")).toLongLong();
        const Role money = row.value(QStringLiteral("in_cash")).toInt() ? Role::Cash : Role::Bank;
        if (kind == QLatin1String("received")) {
            add(&target, money, currency, cents);
            add(&target, Role::HeldForOthers, currency, -cents);
        } else {
            add(&target, Role::HeldForOthers, currency, cents);
            add(&target, kind == QLatin1String("refund") ? money : Role::OtherIncome, currency, -cents);
        }
    }
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(currency_id, ?) AS currency, category, maintenance_id IS NOT NULL AS from_request,
                   contractor_id IS NOT NULL AS owed, SUM(ROUND(amount * 100)) AS cents
            FROM expenses GROUP BY 1, 2, 3, 4)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        const int currency = row.value(QStringLiteral("currency")).toInt();
        const qint64 cents = row.value(QStringLiteral("cents")).toLongLong();
        add(&target,
            BookKeeper::isMaintenanceExpense(row.value(QStringLiteral("category")).toString(),
                row.value(QStringLiteral("from_request")).toInt())
                ? Role::Maintenance
                : Role::Operating,
            currency, cents);
        add(&target, row.value(QStringLiteral("owed")).toInt() ? Role::Payables : Role::Cash, currency,
            -cents);
    }
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(currency_id, ?) AS currency, SUM(ROUND(balance * 100)) AS cents
            FROM invoices WHERE status != 'void' GROUP BY 1)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        add(&target, Role::TenantReceivable, row.value(QStringLiteral("currency")).toInt(),
            row.value(QStringLiteral("cents")).toLongLong());
    }
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(currency_id, ?) AS currency,
                   SUM(ROUND((installment_amount - paid_amount) * 100)) AS open,
                   SUM(ROUND(installment_amount * 100)) AS owed
            FROM installments GROUP BY 1)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        const int currency = row.value(QStringLiteral("currency")).toInt();
        add(&target, Role::BuyerReceivable, currency, row.value(QStringLiteral("open")).toLongLong());
        add(&target, Role::Sales, currency, -row.value(QStringLiteral("owed")).toLongLong());
    }
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(currency_id, ?) AS currency, SUM(ROUND(amount * 100)) AS cents
            FROM payments WHERE is_down_payment = 1 GROUP BY 1)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        add(&target, Role::Sales, row.value(QStringLiteral("currency")).toInt(),
            -row.value(QStringLiteral("cents")).toLongLong());
    }
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(i.currency_id, ?) AS currency,
                   CASE it.type WHEN 'rent' THEN 'rent' WHEN 'late_fee' THEN 'late_fee' ELSE '' END AS kind,
                   SUM(ROUND(it.total * 100)) AS cents
            FROM invoice_items it JOIN invoices i ON i.id = it.invoice_id GROUP BY 1, 2)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        const QString kind = row.value(QStringLiteral("kind")).toString();
        add(&target,
            kind == QLatin1String("rent")           ? Role::Rent
                : kind == QLatin1String("late_fee") ? Role::LateFees
                                                    : Role::Services,
            row.value(QStringLiteral("currency")).toInt(), -row.value(QStringLiteral("cents")).toLongLong());
    }
    // A void took back what was still open, from rent, late fees and services in the invoice's own shares.
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT COALESCE(i.currency_id, ?) AS currency, ROUND(i.total_amount * 100) AS total,
                   ROUND(i.paid_amount * 100) AS paid,
                   COALESCE((SELECT SUM(ROUND(total * 100)) FROM invoice_items
                             WHERE invoice_id = i.id AND type = 'rent'), 0) AS rent,
                   COALESCE((SELECT SUM(ROUND(total * 100)) FROM invoice_items
                             WHERE invoice_id = i.id AND type = 'late_fee'), 0) AS late_fees
            FROM invoices i WHERE i.status = 'void' AND i.total_amount > i.paid_amount)"),
             { primaryId })) {
        const QVariantMap row = value.toMap();
        const int currency = row.value(QStringLiteral("currency")).toInt();
        const qint64 total = row.value(QStringLiteral("total")).toLongLong();
        const qint64 open = total - row.value(QStringLiteral("paid")).toLongLong();
        const qint64 rent = row.value(QStringLiteral("rent")).toLongLong();
        const qint64 rentBack = BookKeeper::rentShare(open, rent, total);
        const qint64 feeBack = BookKeeper::lateFeeShare(
            open, rentBack, rent, row.value(QStringLiteral("late_fees")).toLongLong(), total);
        add(&target, Role::Rent, currency, rentBack);
        add(&target, Role::LateFees, currency, feeBack);
        add(&target, Role::Services, currency, open - rentBack - feeBack);
    }

    // What the program has posted so far, per account and currency; entries by hand stay apart.
    QMap<int, Role> roleOf;
    for (int role = static_cast<int>(Role::Cash); role <= static_cast<int>(Role::LateFees); ++role)
        roleOf.insert(books.accountOf(static_cast<Role>(role)), static_cast<Role>(role));
    Position posted;
    bool everPosted = false;
    for (const QVariant& value : rows(QStringLiteral(R"(
            SELECT jl.account_id, COALESCE(je.currency_id, ?) AS currency,
                   SUM(ROUND(jl.original_amount * 100)) AS cents
            FROM journal_lines jl JOIN journal_entries je ON je.id = jl.entry_id
            WHERE je.reference_type IN (%1) GROUP BY 1, 2)")
                                          .arg(placeholders()),
             QVariantList { primaryId } + postedTypes())) {
        const QVariantMap row = value.toMap();
        everPosted = true;
        const auto role = roleOf.constFind(row.value(QStringLiteral("account_id")).toInt());
        if (role != roleOf.cend())
            add(&posted, *role, row.value(QStringLiteral("currency")).toInt(),
                row.value(QStringLiteral("cents")).toLongLong());
    }
    if (unread) {
        qCWarning(lcOpening) << "the operational figures could not be read; the books stay as they are";
        return result;
    }

    // One entry per account and currency for what the books lack, at today's rate.
    const QString today = Clock::todayText();
    QVector<BookKeeper::Entry> entries;
    QSet<int> missing;
    QMap<int, double> rates;
    QSet<QPair<int, int>> keys(target.keyBegin(), target.keyEnd());
    for (auto it = posted.cbegin(); it != posted.cend(); ++it)
        keys.insert(it.key());
    QList<QPair<int, int>> ordered(keys.cbegin(), keys.cend());
    std::sort(ordered.begin(), ordered.end());
    for (const QPair<int, int>& key : ordered) {
        const qint64 lacking = target.value(key) - posted.value(key);
        if (lacking == 0)
            continue;
        const Role role = static_cast<Role>(key.first);
        const int currency = key.second;
        const std::optional<double> rate = books.rateOn(currency, today);
        if (!rate) {
            missing.insert(currency);
            continue;
        }
        rates.insert(currency, *rate);
        const qint64 primaryCents = BookKeeper::converted(lacking, *rate);
        const int account = books.accountOf(role);
        const QString name
            = m_db->scalar(QStringLiteral("SELECT name_ar FROM accounts WHERE id=?"), { account }).toString();
        entries.append({ QStringLiteral("opening"), account, today,
            (everPosted ? QStringLiteral("تسوية عند استئناف الترحيل التلقائي: %1")
                        : QStringLiteral("رصيد افتتاحي: %1"))
                .arg(name),
            currency, std::abs(lacking), *rate,
            { { role, primaryCents, lacking }, { Role::OpeningEquity, -primaryCents, 0 } } });
    }
    if (!missing.isEmpty()) {
        QStringList names;
        for (const int currency : std::as_const(missing)) {
            const QVariantMap row
                = m_db->execQuery(
                          QStringLiteral("SELECT id, code, name_ar FROM currencies WHERE id=?"), { currency })
                      .value(0)
                      .toMap();
            names << row.value(QStringLiteral("name_ar")).toString();
            result.missingRates.append(QVariantMap { { QStringLiteral("currency_id"), currency },
                { QStringLiteral("code"), row.value(QStringLiteral("code")) },
                { QStringLiteral("name_ar"), row.value(QStringLiteral("name_ar")) },
                { QStringLiteral("date"), today } });
        }
        result.refusal
            = QStringLiteral("لا يمكن فتح الدفاتر قبل إدخال سعر صرف اليوم لـ: %1. للمكتب أرصدة بهذه "
                             "العملات يجب تحويلها إلى العملة الأساسية.")
                  .arg(names.join(QStringLiteral("، ")));
        return result;
    }
    for (const BookKeeper::Entry& entry : std::as_const(entries)) {
        if (!books.write(entry))
            return result;
    }

    // From here on every operation posts its own entry: the point of the switch is the last id of
    // each operational table and the time, kept with the rates the open documents entered at.
    QJsonObject since { { QStringLiteral("time"),
        Clock::now().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) } };
    static const char* const tables[][2] = { { "invoices", "invoices" }, { "payments", "payments" },
        { "expenses", "expenses" }, { "installments", "installments" }, { "audit_logs", "audit" },
        { "deposit_movements", "deposits" } };
    for (const auto& table : tables) {
        since.insert(QLatin1String(table[1]),
            m_db->scalar(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM %1").arg(QLatin1String(table[0])))
                .toLongLong());
    }
    QJsonObject openingRates;
    for (auto it = rates.cbegin(); it != rates.cend(); ++it) {
        if (it.key() != primary)
            openingRates.insert(QString::number(it.key()), it.value());
    }
    since.insert(QStringLiteral("rates"), openingRates);
    const QVariantList settings { QStringLiteral("ledger_posting"), QStringLiteral("on"),
        QStringLiteral("ledger_since"),
        QString::fromUtf8(QJsonDocument(since).toJson(QJsonDocument::Compact)) };
    for (int i = 0; i < settings.size(); i += 2) {
        if (!m_db->execNonQuery(QStringLiteral("INSERT INTO settings (key, value) VALUES (?, ?) ON CONFLICT "
                                               "(key) DO UPDATE SET value = excluded.value"),
                { settings.at(i), settings.at(i + 1) }))
            return result;
    }
    if (!entries.isEmpty())
        qCInfo(lcOpening) << "automatic posting on;" << entries.size() << "opening entries";
    result.ok = true;
    return result;
}
