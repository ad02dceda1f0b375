#include "importcontroller.h"

#include "database.h"
#include "transactionguard.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <cmath>

Q_LOGGING_CATEGORY(lcImport, "darvelinto.import")

namespace {

double numberOrZero(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

/** Several parties may lack an identity number; an empty one must not collide with the next. */
QVariant identityOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace

ImportController::ImportController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

QStringList ImportController::splitLine(const QString& line)
{
    // Cells copied from a spreadsheet arrive separated by tabs; typed lines use commas.
    const QChar separator = line.contains(QLatin1Char(',')) ? QLatin1Char(',') : QLatin1Char('\t');
    QStringList fields = line.split(separator);
    // Empty text, not NULL, for a blank cell: the database stores what the user pasted.
    for (QString& field : fields) {
        field = field.trimmed();
        if (field.isNull())
            field = QStringLiteral("");
    }
    return fields;
}

bool ImportController::insertTenant(const QStringList& fields)
{
    if (fields.size() < 3 || fields.at(0).isEmpty())
        return false;
    const QString sql
        = QStringLiteral(R"(INSERT INTO tenants (full_name, id_number, phone, address) VALUES (?,?,?,?))");
    return m_db->execInsert(sql,
               { fields.at(0), identityOrNull(fields.at(1)), fields.at(2),
                   fields.value(3, QStringLiteral("")) })
        > 0;
}

bool ImportController::insertBuyer(const QStringList& fields)
{
    if (fields.size() < 3 || fields.at(0).isEmpty())
        return false;
    const QString sql = QStringLiteral(R"(INSERT INTO buyers (full_name, id_number, phone) VALUES (?,?,?))");
    return m_db->execInsert(sql, { fields.at(0), identityOrNull(fields.at(1)), fields.at(2) }) > 0;
}

bool ImportController::insertUnit(const QStringList& fields)
{
    if (fields.size() < 4 || fields.at(1).isEmpty())
        return false;
    bool ok = false;
    int propertyId = fields.at(0).toInt(&ok, 10);
    if (!ok)
        propertyId = 0; // no property has id 0, so the foreign key refuses the row
    const QString sql = QStringLiteral(
        R"(INSERT INTO units (property_id, unit_number, area, sale_price, rent_monthly, status) VALUES (?,?,?,?,?,'available'))");
    return m_db->execInsert(sql,
               { propertyId, fields.at(1), numberOrZero(fields.at(2)), numberOrZero(fields.at(3)),
                   numberOrZero(fields.value(4)) })
        > 0;
}

bool ImportController::importRawCSV(const QString& rawText, const QString& targetTable)
{
    bool (ImportController::*insert)(const QStringList&) = nullptr;
    if (targetTable == QLatin1String("tenants"))
        insert = &ImportController::insertTenant;
    else if (targetTable == QLatin1String("buyers"))
        insert = &ImportController::insertBuyer;
    else if (targetTable == QLatin1String("units"))
        insert = &ImportController::insertUnit;
    if (!insert || rawText.trimmed().isEmpty()) {
        qCInfo(lcImport) << "nothing to import into" << targetTable;
        return false;
    }

    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return false;
    int lines = 0;
    int written = 0;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    for (const QString& line : rawText.split(lineBreak)) {
        if (line.trimmed().isEmpty())
            continue;
        ++lines;
        // A refused row (duplicate, unknown property) is skipped; the others still go in.
        if ((this->*insert)(splitLine(line)))
            ++written;
    }
    qCInfo(lcImport) << "imported" << written << "of" << lines << "lines into" << targetTable;
    // Success for nothing would tell the user the paste worked when it did not.
    return written > 0 && transaction.commit();
}
