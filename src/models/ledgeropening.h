#pragma once

#include <QString>
#include <QVariantList>

class Database;

/**
 * Switches the automatic posting of operations to the ledger on and off.
 *
 * Switching on opens the books: for every posting account and currency it posts one entry (against
 * the opening balances account) bringing what the program has posted there up to what the
 * operational tables hold: the tenants' and buyers' open balances, the money received less the
 * expenses paid, what is owed to contractors, and revenue and expenses to date. On a file that never
 * posted this is its opening; after a time switched off it catches up with what was done meanwhile.
 * Entries written by hand are left as they are. From then on every operation posts its own entry;
 * the point of the switch (the last id of each operational table) is kept in the settings, so the
 * checks know which operations must have one.
 *
 * Switching off means exactly the program's behaviour without a ledger: operations post nothing.
 */
class LedgerOpening
{
public:
    struct Result
    {
        bool ok = false;
        /** Why it was refused, in Arabic for the user; empty when a statement failed. */
        QString refusal;
        /** Currencies lacking a rate for today: maps with `currency_id`, `code`, `name_ar`, `date`. */
        QVariantList missingRates;
    };

    explicit LedgerOpening(Database* db);

    /**
     * At the start of a file that has not decided yet (written by a version without automatic
     * posting, or new): opens its books and switches posting on. When a rate is missing for money
     * held in another currency the books are not opened and posting stays off until the office
     * enters the rate and switches it on. False only when the file could not be written.
     */
    [[nodiscard]] bool openOnFirstStart();
    /** Opens (or catches up) the books and switches posting on, all or nothing. */
    [[nodiscard]] Result switchOn();
    /** Switches posting off. */
    [[nodiscard]] bool switchOff();

private:
    Result open();

    Database* m_db;
};
