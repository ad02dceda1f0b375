#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

class Database;

/**
 * The one place where the office's operations meet the ledger: which accounts each operation
 * debits and credits, at what rate an amount in another currency enters the books, and the writing
 * of its journal entry (with the account balances) under a `reference_type`/`reference_id` naming
 * the operation.
 *
 * Runs inside the caller's transaction and never commits: the operation and its entry are written
 * together or not at all. A result that is not `ok` means the caller must roll back and report
 * failure; `refusal` then says why in Arabic when a rule refused (no exchange rate on record).
 *
 * The books are kept in the primary currency. An amount in another currency enters at the rate in
 * force on the operation's day (the latest rate on record toward the primary currency dated that
 * day or before); the entry keeps the original currency, amount and rate, and every line its part
 * in that currency. A receivable is taken off at the rate it was booked at, so a settled invoice or
 * installment leaves nothing in the books; what the rate moved meanwhile is an exchange difference.
 *
 * With automatic posting switched off (the office keeps its books elsewhere) every post*() does
 * nothing and succeeds.
 */
class BookKeeper
{
public:
    /** What an account is used for; the chart may give it any code. */
    enum class Role {
        Cash,
        Bank,
        TenantReceivable,
        BuyerReceivable,
        Payables,
        HeldForOthers,
        OpeningEquity,
        Rent,
        Services,
        Sales,
        Exchange,
        OtherIncome,
        Maintenance,
        Operating,
        LateFees,
    };

    struct Result
    {
        bool ok = true;
        /** Why a rule refused, in Arabic for the user; empty when a statement failed. */
        QString refusal;
        /** The currency whose rate is missing, and the day it is needed for; 0 and empty otherwise. */
        int missingRateCurrency = 0;
        QString missingRateDate;
    };

    explicit BookKeeper(Database* db);

    /** Whether the office's operations post to the ledger (the setting "ledger_posting"). */
    [[nodiscard]] bool isPosting();

    /**
     * An invoice issued on `day`: its rent, its service and usage lines and its late-fee lines, in
     * hundredths.
     */
    [[nodiscard]] Result postInvoice(int invoiceId, const QString& number, const QString& day,
        const QVariant& currencyId, qint64 rentCents, qint64 serviceCents, qint64 lateFeeCents = 0);
    /** A void takes back what was still open on the invoice, at the rate the invoice was booked. */
    [[nodiscard]] Result postVoid(int invoiceId, qint64 openCents);
    /** A tenant's payment on an invoice that had `openBefore` hundredths open. */
    [[nodiscard]] Result postTenantPayment(int paymentId, int invoiceId, qint64 cents, const QString& method,
        const QString& date, const QVariant& currencyId, qint64 openBefore);
    /**
     * Money collected on an installment that had `openBefore` hundredths open; a negative amount is
     * a cheque the bank returned, taking its collection back.
     */
    [[nodiscard]] Result postCollection(int paymentId, int installmentId, qint64 cents, const QString& method,
        const QString& date, const QVariant& currencyId, qint64 openBefore, const QString& chequeNumber);
    /** An expense: paid at once, or owed to the contractor who did the work. */
    [[nodiscard]] Result postExpense(int expenseId, const QString& date, const QVariant& currencyId,
        qint64 cents, const QString& category, bool maintenance, bool owedToContractor);
    /** A unit sold: the down payment received and the schedule the buyer owes, against the price. */
    [[nodiscard]] Result postSale(int unitId, const QString& unitNumber, const QString& date,
        const QVariant& currencyId, qint64 downCents, const QList<qint64>& installmentCents);
    /** An installment added to a sold unit by hand: more the buyer owes on the sale. */
    [[nodiscard]] Result postAddedInstallment(
        int installmentId, const QString& day, const QVariant& currencyId, qint64 cents);

    /**
     * A movement of a tenant's security deposit, the money the office holds for the tenant (2200):
     * "received" comes in to the till or the bank, "refund" goes back out of it, "damage" is kept
     * for damage and becomes the office's other income. `heldBefore` is what the contract held
     * before the movement, taken off at the rate it came in at. (What is kept against an open
     * invoice is a tenant payment whose method is "deposit".)
     */
    [[nodiscard]] Result postDeposit(int movementId, int contractId, const QString& kind, qint64 cents,
        const QString& method, const QString& date, const QVariant& currencyId, qint64 heldBefore);

    /**
     * The rate of one unit of a currency in the primary currency on a day: 1 for the primary
     * currency, none when no rate is on record for that day or before.
     */
    [[nodiscard]] std::optional<double> rateOn(int currencyId, const QString& date);
    /** The primary currency's id (0 when none is marked). */
    [[nodiscard]] int primaryCurrency();
    /** A currency id of a row, the primary one for rows that name none. */
    [[nodiscard]] int currencyOf(const QVariant& currencyId);
    /** The refusal for a missing rate, naming the currency and the day. */
    [[nodiscard]] Result missingRate(int currencyId, const QString& date);

    /**
     * An amount in hundredths converted at `rate`, rounded half away from zero to the hundredth,
     * exactly as SQLite's ROUND() does it (the reports convert in SQL and must agree to the cent).
     */
    static qint64 converted(qint64 cents, double rate);
    /** The local calendar day of a time stamp as the database writes them (UTC "yyyy-MM-dd HH:mm:ss"). */
    static QString localDayOf(const QString& timestamp);

    /** Maintenance work (5100) rather than the office's running costs (5200). */
    static bool isMaintenanceExpense(const QString& category, bool fromRequest);
    /**
     * The part of `open` hundredths a void takes back from rent, of an invoice of `total` whose rent
     * lines come to `rent`: in the invoice's own shares, rounded half up; the rest is services.
     */
    static qint64 rentShare(qint64 open, qint64 rent, qint64 total);
    /**
     * The part of `open` a void takes back from late fees, once `rentBack` went back to rent: the
     * fee lines' share of what is left, so rent, fees and services never take back more than open.
     */
    static qint64 lateFeeShare(qint64 open, qint64 rentBack, qint64 rent, qint64 lateFees, qint64 total);

    /** The reference types of the entries the program posts (anything else was entered by hand). */
    static const QStringList& postedReferenceTypes();

    /** The account of a role, or 0 when the chart has none. */
    [[nodiscard]] int accountOf(Role role);
    /**
     * Gives the chart an account for every role: the accounts of the default chart take their
     * roles, the missing ones (bank, buyers' receivable, money held for others, opening balances,
     * exchange differences) are added as system accounts, on a free code near their usual one.
     */
    static bool ensureAccounts(Database* db);

    /** One line of an entry: debit positive, in the primary currency and in the entry's currency. */
    struct Line
    {
        Role role;
        qint64 primary = 0;
        qint64 original = 0;
    };
    struct Entry
    {
        QString referenceType;
        int referenceId = 0;
        QString date;
        QString description;
        int currencyId = 0;
        qint64 original = 0;
        double rate = 1.0;
        QVector<Line> lines;
    };
    /** Writes a balanced entry and moves the account balances; false when a statement failed. */
    [[nodiscard]] bool write(const Entry& entry);

private:
    bool loadAccounts();
    std::optional<double> bookedRate(const QString& referenceType, int referenceId);
    double openingRate(int currencyId, double fallback);
    double invoiceRate(int invoiceId, int currencyId, double fallback);
    double installmentRate(int installmentId, int currencyId, double fallback);
    /** What taking `cents` off `openBefore` hundredths booked at `rate` takes off the books. */
    static qint64 takenOff(qint64 openBefore, qint64 cents, double rate);
    static Role moneyAccount(const QString& method);
    Result failed() const;

    Database* m_db;
    std::optional<bool> m_posting;
    int m_primary = -1;
    QHash<int, int> m_accounts; // role -> account id
    QHash<QString, std::optional<double>> m_rates; // "currency|date" -> rate
};
