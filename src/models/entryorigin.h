#pragma once

#include <QString>
#include <QVariantMap>

class Database;

/**
 * What a journal entry was posted for, read back from the operation it names: the invoice, payment,
 * collection, expense, sale or installment, or the account an opening entry opened.
 */
class EntryOrigin
{
public:
    /**
     * `origin_kind` (Arabic), `origin` (a list of maps with `label` and `value`, the operation's
     * main figures as its own page shows them) and `origin_page` (the name of the page listing such
     * operations, empty for entries by hand).
     */
    static QVariantMap describe(Database* db, const QString& referenceType, int referenceId);
};
