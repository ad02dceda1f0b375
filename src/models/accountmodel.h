#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>
#include <QVector>

class Database;

/**
 * The double-entry ledger: chart of accounts with running balances, the journal (the entries every
 * operation posts through BookKeeper and those entered by hand), the trial balance and the two
 * statements computed from them. An account's balance is the sum of debit minus credit of its own
 * lines for every type (credit-normal accounts carry negative balances) and is never rolled up into
 * its group account. Posted entries are never edited or deleted; a correction is another entry.
 */
class AccountModel : public Refusable
{
    Q_OBJECT
public:
    explicit AccountModel(Database* db, QObject* parent = nullptr);

    /** Every account, in the text order of the codes. */
    Q_INVOKABLE QVariantList getAll() const;
    /**
     * Adds an account; a parent id below 1 makes it a top-level account. Returns the new id, or -1
     * for an empty code or name, a type other than the five account types, a taken code or an
     * unknown parent.
     */
    Q_INVOKABLE int add(const QString& code, const QString& name, const QString& type, int parentId);
    /**
     * Entries with their lines summarised as "name:debit:credit" items, newest date first. Without
     * a from-date every entry is listed; with one, the dates between both bounds inclusive.
     */
    Q_INVOKABLE QVariantList getJournalEntries(
        const QString& from = QString(), const QString& to = QString()) const;
    /**
     * One page of the journal for a long list: at most `limit` entries (without their lines),
     * newest date first and the later entry first within a day, skipping `offset` of them. A
     * search text keeps the entries whose description holds it, whose date starts with it or
     * whose number it is.
     */
    Q_INVOKABLE QVariantList getJournalPage(int offset, int limit, const QString& search = QString()) const;
    /**
     * Posts an entry, its lines and the account balances all-or-nothing. Each line is a map with
     * `account_id`, `debit`, `credit` and `description`. Refused (-1, nothing written) when the date
     * is not "yyyy-MM-dd", there are no lines, an account is unknown, an amount is negative, not a
     * number or above 1e13, the debits and credits, each rounded to whole hundredths as they are
     * kept, differ by a cent or more, or the reference type is one of those the operations post
     * under (an entry by hand must not pass for an operation's).
     */
    Q_INVOKABLE int createJournalEntry(const QString& date, const QString& desc, const QString& refType,
        int refId, const QVariantList& lines);
    /**
     * Revenue, expenses and net profit from the lines of entries dated between both bounds
     * inclusive, and `lines`: one map per revenue and expense account that moved (`code`,
     * `name_ar`, `type`, `amount` on the account's usual side).
     */
    Q_INVOKABLE QVariantMap getProfitLoss(const QString& from, const QString& to) const;
    /**
     * Assets, liabilities and equity from the account balances; `earnings` (revenue less expenses
     * not yet closed into equity, so that assets = liabilities + equity + earnings) and `lines`: one
     * map per asset, liability and equity account with a balance (`code`, `name_ar`, `type`,
     * `parent_id`, `amount` on the account's usual side).
     */
    Q_INVOKABLE QVariantMap getBalanceSheet() const;
    /**
     * Every account with its balance on the debit or the credit side (`debit`, `credit`), and the
     * two totals as a last row with `code` empty; the totals are equal when the books balance.
     */
    Q_INVOKABLE QVariantList getTrialBalance() const;
    /**
     * One entry with its `lines` (`code`, `name_ar`, `debit`, `credit`, `original_amount`), the
     * currency code of the operation, and where it came from: `origin_kind` (Arabic), `origin`
     * (label and value pairs describing the invoice, payment, expense, sale... it was posted for)
     * and `origin_page` (the page that shows that operation). Empty for an unknown id.
     */
    Q_INVOKABLE QVariantMap getEntry(int id) const;
    /**
     * Whether an operation in this currency on this day can be posted: an empty map when it can
     * (the primary currency, a rate on record, or automatic posting off unless `evenWhenOff`), else
     * `currency_id`, `code`, `name_ar`, `date` and `message` (Arabic), so the page can offer to
     * enter the rate.
     */
    Q_INVOKABLE QVariantMap missingRate(int currencyId, const QString& date, bool evenWhenOff = false) const;

signals:
    void dataChanged();

private:
    struct Line
    {
        int accountId = 0;
        double debit = 0.0;
        double credit = 0.0;
        QVariant description;
    };

    [[nodiscard]] static bool readLines(const QVariantList& lines, QVector<Line>* out);
    [[nodiscard]] int writeEntry(const QString& date, const QString& desc, const QString& refType, int refId,
        const QVector<Line>& lines);

    Database* m_db;
};
