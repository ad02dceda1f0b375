#pragma once

#include <QList>
#include <QStringList>
#include <QVariantList>

// What the tests compare of a list of records: the ids, or one field, in the list's own order.

/** The `id` of each record. */
QList<int> idsOf(const QVariantList& rows);

/** One field of each record, as text. */
QStringList columnOf(const QVariantList& rows, const QString& key);
