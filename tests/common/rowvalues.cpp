#include "rowvalues.h"

#include <QVariantMap>

QList<int> idsOf(const QVariantList& rows)
{
    QList<int> result;
    for (const QVariant& row : rows)
        result << row.toMap().value(QStringLiteral("id")).toInt();
    return result;
}

QStringList columnOf(const QVariantList& rows, const QString& key)
{
    QStringList values;
    for (const QVariant& row : rows)
        values << row.toMap().value(key).toString();
    return values;
}
