#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QStringList>

/**
 * What a bookkeeping file must hold after anything at all has happened to the program writing it
 * (a kill, a full disk, hostile input): a sound SQLite file whose running balances agree with the
 * rows they sum up, and whose sales carry their whole schedule.
 *
 * Works on any open connection, the program's own or a private one on a file.
 */
namespace Consistency {

enum Check {
    FileIntegrity = 0x001, ///< PRAGMA integrity_check says "ok", foreign_key_check finds nothing
    InvoiceTotals = 0x002, ///< every invoice's total is the sum of its items
    InvoiceBalances = 0x004, ///< open balance = total - paid (0 once void), status agrees with it
    InvoicePayments = 0x008, ///< an invoice's paid amount is the sum of the payments made on it
    TenantBalances = 0x010, ///< a tenant's balance = invoices - payments - what voids took back
    BuyerBalances = 0x020, ///< a buyer's balance = what the installments still leave open
    InstallmentPayments = 0x040, ///< an installment's paid amount is the sum of its collections
    SaleSchedules = 0x080, ///< every sold unit has its whole schedule, flagged down payment and cheques
    NoStraySchedules = 0x100, ///< no installment and no sale record on a unit that was not sold
    FiniteFigures = 0x200, ///< no infinite amount, no NULL running balance
    WholeCents = 0x400, ///< rental and ledger amounts are whole numbers of hundredths
    SettledExactly = 0x800, ///< a paid or void invoice has exactly 0 open, an open one more than 0
    PositiveInvoices = 0x1000, ///< every invoice's total is above 0 and no line is negative
    PaymentCurrencies = 0x2000, ///< a payment on an invoice is in the invoice's currency
    UnitStatuses = 0x4000, ///< a unit's status is known; a unit out of service is neither let nor sold
    OverheadShares = 0x8000, ///< a project's overheads spread over its units add up to them, no more
    ChequeCollections
    = 0x10000, ///< a cashed cheque's installment is collected; only a cashed one holds money
    Receipts = 0x20000, ///< every sum received has one receipt, numbered 1 to the counter with no gap
    /// Trial balance 0, every entry balances, every account is the sum of its lines.
    LedgerBalanced = 0x40000,
    /// While operations post (per currency): receivables, cash and bank, and each month's revenue are
    /// what the operations say; each operation since the switch has one entry, each entry its operation.
    LedgerPosted = 0x80000,
    /// No meter reading is on two live invoices; a billed one is billed at its cost, on its own unit.
    ReadingsBilledOnce = 0x100000,
    /// Every contract holds what its deposit received less what was refunded, kept and carried on,
    /// never less than 0; a settled one holds nothing, and its settlement adds up; the books' money
    /// held for others is what the contracts hold (while operations post).
    Deposits = 0x200000,
    /// A late fee is charged for a month, once per invoice and month, on an invoice that is no fee.
    LateFees = 0x400000,
    All = 0x7fffff,
};
Q_DECLARE_FLAGS(Checks, Check)

/** Every broken promise found, one readable line each; empty when the file is consistent. */
QStringList problems(const QSqlDatabase& db, Checks checks = All);

/**
 * A digest of the whole content: the schema and every row of every table, sqlite_sequence
 * included, in rowid order. Equal digests mean nothing was written (not even an id used up).
 */
QByteArray contentHash(const QSqlDatabase& db);

/** Taken before a call that must write nothing: holds() while the content's digest is still the same. */
class Unchanged
{
public:
    explicit Unchanged(const QSqlDatabase& db)
        : m_db(db)
        , m_before(contentHash(db))
    { }
    bool holds() const { return contentHash(m_db) == m_before; }

private:
    QSqlDatabase m_db;
    QByteArray m_before;
};

/** A private connection on a database file, removed again when the object goes. */
class FileConnection
{
public:
    explicit FileConnection(const QString& path);
    ~FileConnection();
    FileConnection(const FileConnection&) = delete;
    FileConnection& operator=(const FileConnection&) = delete;

    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase db() const { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace Consistency

Q_DECLARE_OPERATORS_FOR_FLAGS(Consistency::Checks)
