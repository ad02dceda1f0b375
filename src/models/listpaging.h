#pragma once

#include <QString>

/**
 * Helpers shared by the paged lists of the models (invoices, payments, installments, cheques):
 * one page of rows newest first, LIMIT/OFFSET done by SQLite, and a free-text search by LIKE.
 */
namespace ListPaging {

/** Rows a page may ask for at most; a list view never shows more at once. */
constexpr int kMaxLimit = 500;

/** The limit to bind: at least 1, at most kMaxLimit. */
int limit(int requested);
/** The offset to bind: never negative. */
int offset(int requested);

/**
 * A LIKE pattern that matches `search` anywhere in a text, with the wildcards the user typed
 * taken literally (bind it with ESCAPE '\'). Empty when the trimmed search is empty.
 */
QString containsPattern(const QString& search);

} // namespace ListPaging
