// Schema of the database file: tables, columns added by later versions, the users-password
// migration and the indexes. Every step is idempotent; it runs on every start.
#include "database.h"

#include "bookkeeper.h"
#include "postgresdialect.h"
#include "transactionguard.h"

#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>

Q_LOGGING_CATEGORY(lcSchema, "darvelinto.schema")

void Database::addColumns(QSqlQuery& query, const char* table, std::initializer_list<const char*> columns)
{
    // An existing column makes ALTER fail on a file: that is the normal outcome on a current one.
    // A server is told to skip it instead (a failed statement there spoils its transaction).
    for (const char* column : columns) {
        const QString sql
            = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(QLatin1String(table), QLatin1String(column));
        query.exec(isServer() ? PostgresDialect::schema(sql, &m_pendingKeys) : sql);
    }
}

void Database::runSchema(QSqlQuery& query, std::initializer_list<const char*> statements)
{
    for (const char* sql : statements) {
        const QString text = QString::fromUtf8(sql);
        if (!query.exec(isServer() ? PostgresDialect::schema(text, &m_pendingKeys) : text) && isServer())
            qCWarning(lcSchema) << "schema statement refused by the server:" << query.lastError().text();
    }
}

bool Database::isOwnTable(const QString& name)
{
    // Every table createTables() writes, except settings, which is keyed by name, not by id.
    static const QStringList tables = { QStringLiteral("accounts"), QStringLiteral("app_log"),
        QStringLiteral("audit_logs"), QStringLiteral("buyers"), QStringLiteral("cheques"),
        QStringLiteral("contractors"), QStringLiteral("contracts"), QStringLiteral("cost_centers"),
        QStringLiteral("currencies"), QStringLiteral("deposit_movements"),
        QStringLiteral("deposit_settlements"), QStringLiteral("exchange_rates"), QStringLiteral("expenses"),
        QStringLiteral("installments"), QStringLiteral("invoice_items"), QStringLiteral("invoices"),
        QStringLiteral("receipts"), QStringLiteral("journal_entries"), QStringLiteral("journal_lines"),
        QStringLiteral("maintenance_requests"), QStringLiteral("payments"), QStringLiteral("properties"),
        QStringLiteral("services"), QStringLiteral("tenants"), QStringLiteral("units"),
        QStringLiteral("usage_records"), QStringLiteral("users") };
    return tables.contains(name);
}

void Database::createTables()
{
    QSqlQuery query(m_db);
    runSchema(query,
        {
            R"(CREATE TABLE IF NOT EXISTS audit_logs (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            user_id INTEGER,
            action TEXT NOT NULL,
            table_name TEXT,
            record_id INTEGER,
            details TEXT,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS users (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            username TEXT UNIQUE NOT NULL,
            password_hash TEXT NOT NULL,
            full_name TEXT,
            role TEXT DEFAULT 'user',
            active INTEGER DEFAULT 1,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS currencies (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            code TEXT UNIQUE NOT NULL,
            name_ar TEXT NOT NULL,
            symbol TEXT NOT NULL,
            is_primary INTEGER DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS exchange_rates (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            from_currency_id INTEGER NOT NULL REFERENCES currencies(id),
            to_currency_id INTEGER NOT NULL REFERENCES currencies(id),
            rate REAL NOT NULL,
            date TEXT NOT NULL,
            created_at TEXT DEFAULT (datetime('now')),
            UNIQUE(from_currency_id, to_currency_id, date))
        )",
            R"(CREATE TABLE IF NOT EXISTS properties (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            name TEXT NOT NULL,
            type TEXT NOT NULL DEFAULT 'residential',
            address TEXT,
            city TEXT,
            description TEXT,
            total_units INTEGER DEFAULT 0,
            status TEXT DEFAULT 'active',
            created_at TEXT DEFAULT (datetime('now')),
            updated_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS units (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            property_id INTEGER NOT NULL REFERENCES properties(id),
            unit_number TEXT NOT NULL,
            floor INTEGER,
            area REAL,
            rooms INTEGER,
            rent_monthly REAL DEFAULT 0,
            rent_yearly REAL DEFAULT 0,
            sale_price REAL DEFAULT 0,
            status TEXT DEFAULT 'available',
            buyer_id INTEGER REFERENCES buyers(id),
            sale_price_actual REAL,
            sale_date TEXT,
            currency_id INTEGER REFERENCES currencies(id),
            description TEXT,
            created_at TEXT DEFAULT (datetime('now')),
            UNIQUE(property_id, unit_number))
        )",
        });
    addColumns(query, "units", { "buyer_id INTEGER", "sale_price_actual REAL", "sale_date TEXT" });
    runSchema(query,
        {
            R"(CREATE TABLE IF NOT EXISTS tenants (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            full_name TEXT NOT NULL,
            id_number TEXT UNIQUE,
            phone TEXT,
            email TEXT,
            address TEXT,
            notes TEXT,
            balance REAL DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS buyers (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            full_name TEXT NOT NULL,
            id_number TEXT UNIQUE,
            phone TEXT,
            email TEXT,
            address TEXT,
            notes TEXT,
            balance REAL DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS contracts (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            unit_id INTEGER NOT NULL REFERENCES units(id),
            tenant_id INTEGER NOT NULL REFERENCES tenants(id),
            start_date TEXT NOT NULL,
            end_date TEXT NOT NULL,
            rent_amount REAL NOT NULL,
            payment_frequency TEXT DEFAULT 'monthly',
            deposit REAL DEFAULT 0,
            status TEXT DEFAULT 'active',
            notes TEXT,
            currency_id INTEGER REFERENCES currencies(id),
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS services (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            name TEXT NOT NULL,
            type TEXT DEFAULT 'fixed',
            rate REAL DEFAULT 0,
            unit_of_measure TEXT,
            description TEXT)
        )",
            R"(CREATE TABLE IF NOT EXISTS usage_records (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            unit_id INTEGER NOT NULL REFERENCES units(id),
            service_id INTEGER NOT NULL REFERENCES services(id),
            period TEXT NOT NULL,
            previous_reading REAL DEFAULT 0,
            current_reading REAL DEFAULT 0,
            consumption REAL DEFAULT 0,
            cost REAL DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')),
            UNIQUE(unit_id, service_id, period))
        )",
            R"(CREATE TABLE IF NOT EXISTS invoices (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            invoice_number TEXT UNIQUE NOT NULL,
            tenant_id INTEGER REFERENCES tenants(id),
            unit_id INTEGER REFERENCES units(id),
            contract_id INTEGER REFERENCES contracts(id),
            period TEXT,
            total_amount REAL DEFAULT 0,
            paid_amount REAL DEFAULT 0,
            balance REAL DEFAULT 0,
            status TEXT DEFAULT 'pending',
            currency_id INTEGER REFERENCES currencies(id),
            due_date TEXT,
            notes TEXT,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS invoice_items (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            invoice_id INTEGER NOT NULL REFERENCES invoices(id),
            description TEXT NOT NULL,
            type TEXT DEFAULT 'rent',
            quantity REAL DEFAULT 1,
            unit_price REAL DEFAULT 0,
            total REAL DEFAULT 0)
        )",
            R"(CREATE TABLE IF NOT EXISTS payments (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            invoice_id INTEGER REFERENCES invoices(id),
            tenant_id INTEGER REFERENCES tenants(id),
            buyer_id INTEGER REFERENCES buyers(id),
            unit_id INTEGER REFERENCES units(id),
            amount REAL NOT NULL,
            payment_method TEXT DEFAULT 'cash',
            payment_date TEXT NOT NULL,
            reference TEXT,
            currency_id INTEGER REFERENCES currencies(id),
            cost_center_id INTEGER REFERENCES cost_centers(id),
            notes TEXT,
            created_at TEXT DEFAULT (datetime('now')),
            is_down_payment INTEGER NOT NULL DEFAULT 0)
        )",
        });
    addColumns(query, "payments", { "buyer_id INTEGER", "unit_id INTEGER", "cost_center_id INTEGER" });
    // When an invoice was voided: the statements show the void on that day. Empty for voids made
    // before it was kept; they are shown on the invoice's own date.
    addColumns(query, "invoices", { "voided_at TEXT" });
    // A late fee is an invoice of its own, charged for another invoice overdue in a month.
    addColumns(query, "invoices", { "late_fee_for INTEGER REFERENCES invoices(id)", "late_fee_month TEXT" });
    runSchema(query,
        {
            R"(CREATE TABLE IF NOT EXISTS installments (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            buyer_id INTEGER NOT NULL REFERENCES buyers(id),
            unit_id INTEGER NOT NULL REFERENCES units(id),
            total_price REAL NOT NULL,
            down_payment REAL DEFAULT 0,
            installment_amount REAL NOT NULL,
            due_date TEXT NOT NULL,
            paid_amount REAL DEFAULT 0,
            status TEXT DEFAULT 'pending',
            cheque_number TEXT,
            bank_name TEXT,
            currency_id INTEGER REFERENCES currencies(id),
            notes TEXT,
            created_at TEXT DEFAULT (datetime('now')))
        )",
        });
    addColumns(query, "installments", { "cheque_number TEXT", "bank_name TEXT" });
    runSchema(query,
        {
            R"(CREATE TABLE IF NOT EXISTS cheques (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            cheque_number TEXT NOT NULL,
            type TEXT DEFAULT 'received',
            amount REAL NOT NULL,
            bank_name TEXT,
            issue_date TEXT,
            due_date TEXT,
            payer_name TEXT,
            payee_name TEXT,
            status TEXT DEFAULT 'pending',
            tenant_id INTEGER REFERENCES tenants(id),
            buyer_id INTEGER REFERENCES buyers(id),
            installment_id INTEGER REFERENCES installments(id),
            currency_id INTEGER REFERENCES currencies(id),
            notes TEXT,
            created_at TEXT DEFAULT (datetime('now')))
        )",
        });
    addColumns(query, "cheques", { "buyer_id INTEGER", "tenant_id INTEGER", "installment_id INTEGER" });
    // The cheque an installment's money came in by: a bounce takes back exactly what it brought.
    addColumns(query, "payments", { "cheque_id INTEGER REFERENCES cheques(id)" });
    runSchema(query,
        {
            R"(CREATE TABLE IF NOT EXISTS expenses (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            property_id INTEGER REFERENCES properties(id),
            unit_id INTEGER REFERENCES units(id),
            category TEXT NOT NULL,
            description TEXT,
            amount REAL NOT NULL,
            expense_date TEXT NOT NULL,
            vendor TEXT,
            maintenance_id INTEGER,
            currency_id INTEGER REFERENCES currencies(id),
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS maintenance_requests (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            unit_id INTEGER NOT NULL REFERENCES units(id),
            property_id INTEGER REFERENCES properties(id),
            title TEXT NOT NULL,
            description TEXT,
            priority TEXT DEFAULT 'medium',
            status TEXT DEFAULT 'new',
            cost REAL DEFAULT 0,
            assigned_to TEXT,
            request_date TEXT DEFAULT (date('now')),
            completed_date TEXT,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS accounts (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            code TEXT UNIQUE NOT NULL,
            name_ar TEXT NOT NULL,
            type TEXT NOT NULL,
            parent_id INTEGER REFERENCES accounts(id),
            balance REAL DEFAULT 0,
            is_system INTEGER DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS journal_entries (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            entry_date TEXT NOT NULL,
            description TEXT,
            reference_type TEXT,
            reference_id INTEGER,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS journal_lines (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            entry_id INTEGER NOT NULL REFERENCES journal_entries(id),
            account_id INTEGER NOT NULL REFERENCES accounts(id),
            debit REAL DEFAULT 0,
            credit REAL DEFAULT 0,
            description TEXT,
            cost_center_id INTEGER)
        )",
            R"(CREATE TABLE IF NOT EXISTS cost_centers (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            name TEXT NOT NULL,
            type TEXT DEFAULT 'project',
            property_id INTEGER REFERENCES properties(id),
            unit_id INTEGER REFERENCES units(id),
            parent_id INTEGER REFERENCES cost_centers(id))
        )",
            R"(CREATE TABLE IF NOT EXISTS app_log (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            action TEXT NOT NULL,
            details TEXT,
            user_id INTEGER,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS settings (
            key TEXT PRIMARY KEY,
            value TEXT)
        )",
        });
    addColumns(query, "journal_entries",
        { "project_id INTEGER", "cost_center_id INTEGER", "contractor_id INTEGER" });
    // An entry the program posts keeps the operation's own currency and amount, and the rate it was
    // converted at; each line keeps its part in that currency (debit positive). The debit and credit
    // columns stay in the primary currency, in which the books are kept.
    addColumns(
        query, "journal_entries", { "currency_id INTEGER", "original_amount REAL", "exchange_rate REAL" });
    addColumns(query, "journal_lines", { "original_amount REAL" });
    // The account each kind of operation posts to, whatever code the office's chart gives it.
    addColumns(query, "accounts", { "posting_role TEXT" });
    // An installment added to a sold unit by hand is a sale of its own: the schedule a sale writes
    // is booked with the sale.
    addColumns(query, "installments", { "added_by_hand INTEGER NOT NULL DEFAULT 0" });
    addColumns(query, "expenses",
        { "project_id INTEGER", "contractor_id INTEGER", "cost_center_id INTEGER", "work_category TEXT" });
    // The bank of a cheque a tenant paid by (an installment's cheque names its own).
    addColumns(query, "payments", { "bank_name TEXT" });
    // A reading taken on a new meter: its use runs from the new meter's first reading (kept as
    // previous_reading), not from the old meter's last.
    addColumns(query, "usage_records", { "meter_change INTEGER NOT NULL DEFAULT 0" });
    // The contract that renewed this one (it starts the day after this one ends).
    addColumns(query, "contracts", { "renewed_by INTEGER REFERENCES contracts(id)" });
    runSchema(query,
        {
            // One receipt for every sum of money received (a payment row above 0), numbered from a
            // counter row moved in the same transaction as the money: a number is never reused and
            // never looked for in the history. `balance_after` is what the payment left open on what
            // it paid, kept as it was then, so a reprint says what the original said.
            R"(CREATE TABLE IF NOT EXISTS receipts (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            receipt_number INTEGER UNIQUE NOT NULL,
            payment_id INTEGER UNIQUE NOT NULL REFERENCES payments(id),
            installment_id INTEGER REFERENCES installments(id),
            balance_after REAL,
            issued_by TEXT,
            issued_at TEXT DEFAULT (datetime('now')),
            print_count INTEGER NOT NULL DEFAULT 0)
        )",
            R"(CREATE TABLE IF NOT EXISTS counters (
            name TEXT PRIMARY KEY,
            value INTEGER NOT NULL)
        )",
            // A tenant's security deposit is money the office holds for the tenant: every sum that moves
            // it is a row here, in the contract's currency, above 0. 'received' (with a receipt number
            // from the one counter of receipts), 'refund', 'unpaid' (kept against an open invoice: the
            // payment it made is `payment_id`), 'damage' (kept for damage, with its reason), and
            // 'carried_out'/'carried_in' (moved to the contract that renews it). What a contract holds
            // is what came in less what went out.
            R"(CREATE TABLE IF NOT EXISTS deposit_movements (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            contract_id INTEGER NOT NULL REFERENCES contracts(id),
            kind TEXT NOT NULL,
            amount REAL NOT NULL,
            currency_id INTEGER REFERENCES currencies(id),
            movement_date TEXT NOT NULL,
            payment_method TEXT,
            reference TEXT,
            bank_name TEXT,
            reason TEXT,
            payment_id INTEGER REFERENCES payments(id),
            related_contract_id INTEGER REFERENCES contracts(id),
            settlement_id INTEGER REFERENCES deposit_settlements(id),
            receipt_number INTEGER UNIQUE,
            issued_by TEXT,
            print_count INTEGER NOT NULL DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            // The settlement of a contract's deposit when the tenant leaves: one per contract, ever.
            R"(CREATE TABLE IF NOT EXISTS deposit_settlements (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            contract_id INTEGER UNIQUE NOT NULL REFERENCES contracts(id),
            settlement_date TEXT NOT NULL,
            held REAL NOT NULL,
            deducted REAL NOT NULL,
            refunded REAL NOT NULL,
            issued_by TEXT,
            created_at TEXT DEFAULT (datetime('now')))
        )",
            R"(CREATE TABLE IF NOT EXISTS contractors (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            name TEXT NOT NULL,
            phone TEXT,
            email TEXT,
            trade TEXT,
            balance REAL DEFAULT 0,
            created_at TEXT DEFAULT (datetime('now')))
        )",
        });
}

bool Database::hasColumn(QSqlQuery& query, const QString& table, const QString& column)
{
    if (isServer()) {
        query.prepare(QStringLiteral("SELECT 1 FROM information_schema.columns WHERE table_name=? "
                                     "AND column_name=? AND table_schema=current_schema()"));
        query.addBindValue(table);
        query.addBindValue(column);
        return query.exec() && query.next();
    }
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return false;
    bool found = false;
    while (query.next())
        found = found || query.value(1).toString() == column;
    return found;
}

/*
 * A sale's down payment carries is_down_payment = 1, so that the project figures find it whatever
 * its notes say. Files written before the flag knew their down payments only by the notes text the
 * sale wrote; they are marked by that text once, in the same transaction that adds the column, so
 * a file is either wholly migrated or not at all.
 */
bool Database::markDownPayments()
{
    QSqlQuery query(m_db);
    if (hasColumn(query, QStringLiteral("payments"), QStringLiteral("is_down_payment")))
        return true;
    if (!m_db.transaction())
        return false;
    const bool done = query.exec(QStringLiteral(
                          "ALTER TABLE payments ADD COLUMN is_down_payment INTEGER NOT NULL DEFAULT 0"))
        && query.exec(QStringLiteral("UPDATE payments SET is_down_payment = 1 "
                                     "WHERE buyer_id IS NOT NULL AND invoice_id IS NULL "
                                     "AND notes LIKE 'دفعة مقدمة / بيع وحدة:%'"));
    return finishMigration(query, done);
}

/*
 * A file written before receipts existed gets one for every payment it holds, numbered in the
 * order the money came in (payment date, then the order it was recorded), with the balance each
 * payment left as its history shows it. Numbering them here, all at once, rather than as each is
 * first printed, keeps the sequence in the order of the money and leaves no payment without its
 * receipt. The counter row marks a file as done; it is written in the same transaction.
 */
bool Database::numberExistingReceipts()
{
    QSqlQuery query(m_db);
    if (query.exec(QStringLiteral("SELECT 1 FROM counters WHERE name='receipt'")) && query.next())
        return true;
    query.finish();
    if (!m_db.transaction())
        return false;
    const bool done = query.exec(QStringLiteral(R"(
            INSERT INTO receipts (receipt_number, payment_id, installment_id, balance_after, issued_by)
            SELECT ROW_NUMBER() OVER (ORDER BY h.payment_date, h.id), h.id, inst.id,
                   CASE WHEN h.invoice_id IS NOT NULL THEN ROUND(inv.total_amount - h.paid_so_far, 2)
                        WHEN inst.id IS NOT NULL THEN ROUND(inst.installment_amount - h.paid_so_far, 2)
                        WHEN h.is_down_payment = 1 THEN ROUND(u.sale_price_actual - h.amount, 2)
                   END, ''
            FROM (SELECT c.*, SUM(c.amount) OVER (
                              PARTITION BY COALESCE('i' || c.invoice_id, 'c' || c.collected_installment, 'p' || c.id)
                              ORDER BY c.id ROWS UNBOUNDED PRECEDING) AS paid_so_far
                  FROM (SELECT p.*, CASE WHEN p.notes LIKE 'تحصيل قسط - معرف: %' THEN CAST(SUBSTR(p.notes,
                                    LENGTH('تحصيل قسط - معرف: ') + 1) AS INTEGER) END AS collected_installment
                        FROM payments p) c) h
            LEFT JOIN invoices inv ON inv.id = h.invoice_id
            LEFT JOIN installments inst ON inst.id = h.collected_installment
            LEFT JOIN units u ON u.id = h.unit_id
            WHERE h.amount > 0)"))
        && query.exec(QStringLiteral("INSERT INTO counters (name, value) SELECT 'receipt', "
                                     "COALESCE(MAX(receipt_number), 0) FROM receipts"));
    return finishMigration(query, done);
}

/*
 * A usage line names the meter reading it bills, so that no reading is ever billed twice. Files
 * written before the link knew it only by the line's unit, period and service name: the lines are
 * linked by those once, in the same transaction that adds the column, so a reading the rent run
 * already billed is never billed again.
 */
bool Database::linkBilledReadings()
{
    QSqlQuery query(m_db);
    if (hasColumn(query, QStringLiteral("invoice_items"), QStringLiteral("usage_record_id")))
        return true;
    if (!m_db.transaction())
        return false;
    const bool done = query.exec(QStringLiteral("ALTER TABLE invoice_items ADD COLUMN usage_record_id "
                                                "INTEGER REFERENCES usage_records(id)"))
        && query.exec(QStringLiteral(R"(
            UPDATE invoice_items SET usage_record_id = (
                SELECT ur.id FROM invoices i
                JOIN usage_records ur ON ur.unit_id = i.unit_id AND ur.period = i.period
                JOIN services s ON s.id = ur.service_id AND s.name = invoice_items.description
                WHERE i.id = invoice_items.invoice_id
                ORDER BY ur.id LIMIT 1)
            WHERE type = 'usage')"));
    return finishMigration(query, done);
}

/*
 * Ends a one-off migration begun with a transaction: committed when every statement ran, otherwise
 * rolled back and the failing statement's error (or the commit's) reported.
 */
bool Database::finishMigration(const QSqlQuery& query, bool done)
{
    const QString error = query.lastError().text();
    if (!done || !m_db.commit()) {
        m_db.rollback();
        emit databaseError(done ? m_db.lastError().text() : error);
        return false;
    }
    return true;
}

void Database::migrateSchema()
{
    markDownPayments();
    linkBilledReadings();
    numberExistingReceipts();
    // A server's database was made by a version that already kept passwords hashed.
    if (isServer())
        return;
    QSqlQuery query(m_db);
    bool hasPassword = false;
    bool hasPasswordHash = false;
    if (query.exec(QStringLiteral("PRAGMA table_info(users)"))) {
        while (query.next()) {
            const QString name = query.value(1).toString();
            hasPassword = hasPassword || name == QLatin1String("password");
            hasPasswordHash = hasPasswordHash || name == QLatin1String("password_hash");
        }
    }
    if (!hasPasswordHash && !query.exec(QStringLiteral("ALTER TABLE users ADD COLUMN password_hash TEXT")))
        emit databaseError(query.lastError().text());
    if (hasPassword
        && !query.exec(QStringLiteral("UPDATE users SET password_hash = password "
                                      "WHERE (password_hash IS NULL OR password_hash = '') "
                                      "AND password IS NOT NULL AND password != ''")))
        emit databaseError(query.lastError().text());
}

/*
 * A file whose operations already post to the ledger gets the accounts of the posting roles a
 * later version added (money held for others, other income, late fees), as system accounts: an operation
 * that posts to a role the chart lacks would be refused.
 */
bool Database::addPostingAccounts()
{
    if (scalar(QStringLiteral("SELECT value FROM settings WHERE key='ledger_posting'")).toString()
        != QLatin1String("on"))
        return true;
    TransactionGuard transaction(this);
    return transaction.isActive() && BookKeeper::ensureAccounts(this) && transaction.commit();
}

void Database::createIndexes()
{
    QSqlQuery query(m_db);
    runSchema(query,
        {
            "CREATE INDEX IF NOT EXISTS idx_units_property ON units(property_id)",
            "CREATE INDEX IF NOT EXISTS idx_units_status ON units(status)",
            "CREATE INDEX IF NOT EXISTS idx_contracts_unit ON contracts(unit_id)",
            "CREATE INDEX IF NOT EXISTS idx_contracts_tenant ON contracts(tenant_id)",
            "CREATE INDEX IF NOT EXISTS idx_contracts_status ON contracts(status)",
            "CREATE INDEX IF NOT EXISTS idx_invoices_tenant ON invoices(tenant_id)",
            "CREATE INDEX IF NOT EXISTS idx_invoices_status ON invoices(status)",
            "CREATE INDEX IF NOT EXISTS idx_payments_invoice ON payments(invoice_id)",
            "CREATE INDEX IF NOT EXISTS idx_payments_tenant ON payments(tenant_id)",
            "CREATE INDEX IF NOT EXISTS idx_payments_buyer ON payments(buyer_id)",
            "CREATE INDEX IF NOT EXISTS idx_payments_unit ON payments(unit_id)",
            "CREATE INDEX IF NOT EXISTS idx_payments_date ON payments(payment_date)",
            "CREATE INDEX IF NOT EXISTS idx_payments_cheque ON payments(cheque_id)",
            "CREATE INDEX IF NOT EXISTS idx_expenses_property ON expenses(property_id)",
            "CREATE INDEX IF NOT EXISTS idx_cheques_status ON cheques(status)",
            "CREATE INDEX IF NOT EXISTS idx_maintenance_status ON maintenance_requests(status)",
            "CREATE INDEX IF NOT EXISTS idx_journal_date ON journal_entries(entry_date)",
            "CREATE INDEX IF NOT EXISTS idx_installments_buyer ON installments(buyer_id)",
            "CREATE INDEX IF NOT EXISTS idx_installments_due ON installments(due_date)",
            "CREATE INDEX IF NOT EXISTS idx_installments_status ON installments(status)",
            "CREATE INDEX IF NOT EXISTS idx_exchange_date ON exchange_rates(date)",
            "CREATE INDEX IF NOT EXISTS idx_expenses_contractor ON expenses(contractor_id)",
            "CREATE INDEX IF NOT EXISTS idx_expenses_date ON expenses(expense_date)",
            "CREATE INDEX IF NOT EXISTS idx_cheques_due ON cheques(due_date)",
            "CREATE INDEX IF NOT EXISTS idx_cheques_type ON cheques(type)",
            "CREATE INDEX IF NOT EXISTS idx_cheques_installment ON cheques(installment_id)",
            "CREATE INDEX IF NOT EXISTS idx_invoices_period ON invoices(tenant_id, period)",
            "CREATE INDEX IF NOT EXISTS idx_units_buyer ON units(buyer_id)",
            // A unit's or a project's whole history (its profitability, the check before a unit is
            // deleted, the foreign keys a delete of a unit or cost centre verifies) is read through
            // these; without them each such read walks every invoice, installment and expense ever
            // written. Existing files receive them at their next start.
            "CREATE INDEX IF NOT EXISTS idx_invoices_unit ON invoices(unit_id)",
            // One late fee per overdue invoice and month, a waived (void) one included: a waiver is final.
            "CREATE UNIQUE INDEX IF NOT EXISTS idx_invoices_late_fee ON invoices(late_fee_for, "
            "late_fee_month) "
            "WHERE late_fee_for IS NOT NULL",
            "CREATE INDEX IF NOT EXISTS idx_installments_unit ON installments(unit_id)",
            "CREATE INDEX IF NOT EXISTS idx_expenses_unit ON expenses(unit_id)",
            "CREATE INDEX IF NOT EXISTS idx_expenses_project ON expenses(project_id)",
            "CREATE INDEX IF NOT EXISTS idx_cost_centers_unit ON cost_centers(unit_id)",
            "CREATE INDEX IF NOT EXISTS idx_cost_centers_property ON cost_centers(property_id)",
            "CREATE INDEX IF NOT EXISTS idx_cost_centers_parent ON cost_centers(parent_id)",
            "CREATE INDEX IF NOT EXISTS idx_receipts_installment ON receipts(installment_id)",
            // The readings of a month, and the invoice line that billed a reading.
            "CREATE INDEX IF NOT EXISTS idx_usage_period ON usage_records(period)",
            "CREATE INDEX IF NOT EXISTS idx_invoice_items_usage ON invoice_items(usage_record_id) "
            "WHERE usage_record_id IS NOT NULL",
            "CREATE INDEX IF NOT EXISTS idx_deposit_movements_contract ON deposit_movements(contract_id)",
            "CREATE INDEX IF NOT EXISTS idx_deposit_movements_payment ON deposit_movements(payment_id)",
            // The ledger: an entry's lines, an account's lines, the entry an operation posted, and the
            // one account of each posting role.
            "CREATE INDEX IF NOT EXISTS idx_journal_lines_entry ON journal_lines(entry_id)",
            "CREATE INDEX IF NOT EXISTS idx_journal_lines_account ON journal_lines(account_id)",
            "CREATE INDEX IF NOT EXISTS idx_journal_reference ON journal_entries(reference_type, "
            "reference_id)",
            "CREATE UNIQUE INDEX IF NOT EXISTS idx_accounts_posting_role ON accounts(posting_role) "
            "WHERE posting_role IS NOT NULL",
        });
}
