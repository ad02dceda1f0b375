#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>
#include <QVector>

class Database;

/**
 * The double-entry ledger: chart of accounts with running balances, hand-entered journal entries
 * and the two statements computed from them. An account's balance is the sum of debit minus credit
 * of its own lines for every type (credit-normal accounts carry negative balances) and is never
 * rolled up into its group account.
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
     * number or above 1e13, or the debits and credits, each rounded to whole hundredths as they are
     * kept, differ by a cent or more.
     */
    Q_INVOKABLE int createJournalEntry(const QString& date, const QString& desc, const QString& refType,
        int refId, const QVariantList& lines);
    /** Revenue, expenses and net profit from the lines of entries dated between both bounds inclusive. */
    Q_INVOKABLE QVariantMap getProfitLoss(const QString& from, const QString& to) const;
    /** Assets, liabilities and equity from the account balances. */
    Q_INVOKABLE QVariantMap getBalanceSheet() const;

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
