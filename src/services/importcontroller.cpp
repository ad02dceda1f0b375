#include "importcontroller.h"

#include "costcentertree.h"
#include "database.h"
#include "meterreadingmodel.h"
#include "money.h"
#include "transactionguard.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <cmath>

Q_LOGGING_CATEGORY(lcImport, "darvelinto.import")

namespace {

/** Several parties may lack an identity number; an empty one must not collide with the next. */
QVariant identityOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

/** A field as the user will recognise it in a message, cut short when it is long. */
QString quoted(const QString& field)
{
    QString shown = field.size() > 30 ? field.left(30) + QStringLiteral("…") : field;
    shown.replace(QChar(0), QLatin1Char(' '));
    return QStringLiteral("«%1»").arg(shown);
}

/** Arabic-Indic and Persian digits and the Arabic decimal point, as typed on an Arabic keyboard. */
QString westernDigits(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        const char16_t code = c.unicode();
        if (code >= 0x0660 && code <= 0x0669)
            c = QChar(u'0' + (code - 0x0660));
        else if (code >= 0x06F0 && code <= 0x06F9)
            c = QChar(u'0' + (code - 0x06F0));
        else if (code == 0x066B)
            c = QLatin1Char('.');
    }
    return result;
}

/** A figure of 0 or more read from a field; false when the field holds anything else. */
bool readFigure(const QString& field, double* value)
{
    bool ok = false;
    *value = westernDigits(field).toDouble(&ok);
    return ok && std::isfinite(*value) && *value >= 0;
}

/**
 * An optional figure of the units line: empty means not given (`notGiven`), anything else must
 * read as a figure of 0 or more, and an amount of money also as one the books can hold.
 */
bool readOptional(const QString& field, const QVariant& notGiven, bool isMoney, const QString& name,
    QVariant* out, QString* reason)
{
    if (field.isEmpty()) {
        *out = notGiven;
        return true;
    }
    double value = 0;
    if (!readFigure(field, &value) || (isMoney && !Money::isAmount(value))) {
        *reason = QStringLiteral("%1 %2 ليست رقماً صالحاً").arg(name, quoted(field));
        return false;
    }
    *out = isMoney ? Money::roundToCents(value) : value;
    return true;
}

QString tooFewFields(int found, int needed, const QString& order)
{
    return QStringLiteral("عدد الحقول %1 والمطلوب %2 على الأقل (%3)").arg(found).arg(needed).arg(order);
}

QVariantMap report(int written, const QVariantList& refused, bool failed, const QString& message)
{
    return { { QStringLiteral("written"), written }, { QStringLiteral("refused"), refused },
        { QStringLiteral("failed"), failed }, { QStringLiteral("message"), message } };
}

QVariantMap failure(const QString& message)
{
    return report(0, {}, true, message);
}

} // namespace

ImportController::ImportController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{ }

QStringList ImportController::splitLine(const QString& line)
{
    // Cells copied from a spreadsheet arrive separated by tabs, and a comma inside a cell is text
    // then; a typed line separates its fields by commas, Latin or Arabic.
    static const QRegularExpression commas(QStringLiteral("[,،]"));
    QStringList fields
        = line.contains(QLatin1Char('\t')) ? line.split(QLatin1Char('\t')) : line.split(commas);
    // Empty text, not NULL, for a blank cell: the database stores what the user pasted.
    for (QString& field : fields) {
        field = field.trimmed();
        if (field.isNull())
            field = QStringLiteral("");
    }
    return fields;
}

int ImportController::exists(const QString& sql, const QVariantList& params)
{
    const QVariant found = m_db->scalar(QStringLiteral("SELECT EXISTS(") + sql + QLatin1Char(')'), params);
    return found.isValid() ? found.toInt() : -1;
}

ImportController::Outcome ImportController::insertParty(
    const QString& table, const QStringList& fields, QString* reason)
{
    if (fields.size() < 3) {
        *reason = tooFewFields(int(fields.size()), 3, QStringLiteral("الاسم، رقم الهوية، الهاتف"));
        return Outcome::Refused;
    }
    if (fields.at(0).isEmpty()) {
        *reason = QStringLiteral("الاسم فارغ");
        return Outcome::Refused;
    }
    const bool tenants = table == QLatin1String("tenants");
    if (!fields.at(1).isEmpty()) {
        const int taken = exists(tenants ? QStringLiteral("SELECT 1 FROM tenants WHERE id_number=?")
                                         : QStringLiteral("SELECT 1 FROM buyers WHERE id_number=?"),
            { fields.at(1) });
        if (taken < 0)
            return Outcome::Failed;
        if (taken > 0) {
            *reason = QStringLiteral("رقم الهوية %1 مسجل من قبل").arg(quoted(fields.at(1)));
            return Outcome::Refused;
        }
    }
    const int id = tenants
        ? m_db->execInsert(
            QStringLiteral("INSERT INTO tenants (full_name, id_number, phone, address) VALUES (?,?,?,?)"),
            { fields.at(0), identityOrNull(fields.at(1)), fields.at(2), fields.value(3, QStringLiteral("")) })
        : m_db->execInsert(QStringLiteral("INSERT INTO buyers (full_name, id_number, phone) VALUES (?,?,?)"),
            { fields.at(0), identityOrNull(fields.at(1)), fields.at(2) });
    return id > 0 ? Outcome::Written : Outcome::Failed;
}

ImportController::Outcome ImportController::insertUnit(const QStringList& fields, QString* reason)
{
    if (fields.size() < 4) {
        *reason
            = tooFewFields(int(fields.size()), 4, QStringLiteral("معرف العقار، رقم الوحدة، المساحة، السعر"));
        return Outcome::Refused;
    }
    bool whole = false;
    const int propertyId = westernDigits(fields.at(0)).toInt(&whole, 10);
    if (!whole || propertyId <= 0) {
        *reason = QStringLiteral("معرف العقار %1 ليس رقماً صحيحاً").arg(quoted(fields.at(0)));
        return Outcome::Refused;
    }
    const QString number = fields.at(1);
    if (number.isEmpty()) {
        *reason = QStringLiteral("رقم الوحدة فارغ");
        return Outcome::Refused;
    }
    // A figure that cannot be read refuses the line: stored as 0 it would look like a real price.
    QVariant area, salePrice, rent;
    if (!readOptional(fields.at(2), QVariant(), false, QStringLiteral("المساحة"), &area, reason)
        || !readOptional(fields.at(3), 0.0, true, QStringLiteral("السعر"), &salePrice, reason)
        || !readOptional(fields.value(4), 0.0, true, QStringLiteral("الإيجار الشهري"), &rent, reason))
        return Outcome::Refused;

    const int property = exists(QStringLiteral("SELECT 1 FROM properties WHERE id=?"), { propertyId });
    const int taken = property > 0
        ? exists(QStringLiteral("SELECT 1 FROM units WHERE property_id=? AND unit_number=?"),
            { propertyId, number })
        : 0;
    if (property < 0 || taken < 0)
        return Outcome::Failed;
    if (property == 0) {
        *reason = QStringLiteral("لا يوجد عقار بالمعرف %1").arg(propertyId);
        return Outcome::Refused;
    }
    if (taken > 0) {
        *reason = QStringLiteral("الوحدة %1 موجودة في هذا العقار").arg(quoted(number));
        return Outcome::Refused;
    }
    const int id = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO units (property_id, unit_number, area, sale_price, rent_monthly, status)
        VALUES (?,?,?,?,?,'available'))"),
        { propertyId, number, area, salePrice, rent });
    // Like a unit added on the page: the line has no floor, so the unit hangs under the project.
    if (id <= 0 || !CostCenterTree(m_db).plantUnit(id, propertyId, number, 0))
        return Outcome::Failed;
    return Outcome::Written;
}

ImportController::Outcome ImportController::insertReading(const QStringList& fields, QString* reason)
{
    static const QString order
        = QStringLiteral("معرف العقار، رقم الوحدة، الخدمة، الشهر، القراءة، تغيير عداد");
    if (fields.size() < 5) {
        *reason = tooFewFields(int(fields.size()), 5, order);
        return Outcome::Refused;
    }
    bool whole = false;
    const int propertyId = westernDigits(fields.at(0)).toInt(&whole, 10);
    double reading = 0;
    if (!whole || propertyId <= 0) {
        *reason = QStringLiteral("معرف العقار %1 ليس رقماً صحيحاً").arg(quoted(fields.at(0)));
        return Outcome::Refused;
    }
    if (!readFigure(fields.at(4), &reading)) {
        *reason = QStringLiteral("القراءة %1 ليست رقماً صالحاً").arg(quoted(fields.at(4)));
        return Outcome::Refused;
    }
    static const QStringList yes = { QStringLiteral("1"), QStringLiteral("نعم"), QStringLiteral("yes") };
    const QString changed = westernDigits(fields.value(5)).toLower();
    if (!changed.isEmpty() && changed != QLatin1String("0") && changed != QStringLiteral("لا")
        && !yes.contains(changed)) {
        *reason = QStringLiteral("حقل تغيير العداد %1 يُكتب 1 أو نعم أو يُترك فارغاً").arg(quoted(fields.at(5)));
        return Outcome::Refused;
    }
    const QVariantList unit
        = m_db->execQuery(QStringLiteral("SELECT id FROM units WHERE property_id=? AND unit_number=?"),
            { propertyId, fields.at(1) });
    const QVariantList service = m_db->execQuery(
        QStringLiteral("SELECT id FROM services WHERE name=? AND type='usage' ORDER BY id LIMIT 1"),
        { fields.at(2) });
    if (unit.isEmpty()) {
        *reason = QStringLiteral("لا توجد الوحدة %1 في العقار %2").arg(quoted(fields.at(1))).arg(propertyId);
        return Outcome::Refused;
    }
    if (service.isEmpty()) {
        *reason = QStringLiteral("الخدمة %1 لا تُقرأ من عداد").arg(quoted(fields.at(2)));
        return Outcome::Refused;
    }
    MeterReadingModel::Reading input;
    input.unitId = unit.first().toMap().value(QStringLiteral("id")).toInt();
    input.serviceId = service.first().toMap().value(QStringLiteral("id")).toInt();
    input.period = westernDigits(fields.at(3));
    input.reading = reading;
    input.meterChange = yes.contains(changed);
    const MeterReadingModel::Verdict verdict = MeterReadingModel(m_db).record(input, false);
    switch (verdict.kind) {
    case MeterReadingModel::Verdict::Saved:
        return Outcome::Written;
    case MeterReadingModel::Verdict::Failed:
        return Outcome::Failed;
    case MeterReadingModel::Verdict::NeedsConfirmation:
        *reason = verdict.reason + QStringLiteral(" أدخلها من شاشة قراءات العدادات للتأكيد");
        return Outcome::Refused;
    case MeterReadingModel::Verdict::Refused:
        break;
    }
    *reason = verdict.reason;
    return Outcome::Refused;
}

QVariantMap ImportController::importRawCSV(const QString& rawText, const QString& targetTable)
{
    static const QStringList tables = { QStringLiteral("tenants"), QStringLiteral("buyers"),
        QStringLiteral("units"), QStringLiteral("readings") };
    if (!tables.contains(targetTable)) {
        qCWarning(lcImport) << "refused an import into" << targetTable;
        return failure(QStringLiteral("جدول الاستيراد غير معروف"));
    }
    if (rawText.trimmed().isEmpty())
        return failure(QStringLiteral("لا توجد بيانات للاستيراد"));

    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return failure(QStringLiteral("تعذر بدء الاستيراد، لم يُحفظ شيء"));
    int written = 0;
    QVariantList refused;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = rawText.split(lineBreak);
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed().isEmpty())
            continue;
        const QStringList fields = splitLine(lines.at(i));
        QString reason;
        const Outcome outcome = targetTable == QLatin1String("units") ? insertUnit(fields, &reason)
            : targetTable == QLatin1String("readings")                ? insertReading(fields, &reason)
                                                       : insertParty(targetTable, fields, &reason);
        if (outcome == Outcome::Failed) {
            // The database itself failed (a full disk, a file it may not write): nothing is kept,
            // so the user never has to find out which half of the paste went in.
            qCWarning(lcImport) << "could not write line" << i + 1 << "into" << targetTable
                                << "; nothing kept";
            return failure(QStringLiteral("تعذر حفظ السطر %1، لم يُحفظ شيء من الاستيراد").arg(i + 1));
        }
        if (outcome == Outcome::Refused)
            refused.append(
                QVariantMap { { QStringLiteral("line"), i + 1 }, { QStringLiteral("reason"), reason } });
        else
            ++written;
    }
    if (written > 0 && !transaction.commit()) {
        qCWarning(lcImport) << "could not commit the import into" << targetTable;
        return failure(QStringLiteral("تعذر حفظ الاستيراد، لم يُحفظ شيء"));
    }
    qCInfo(lcImport) << "imported" << written << "lines into" << targetTable << "," << refused.size()
                     << "refused";
    const QString message = refused.isEmpty() ? QStringLiteral("تم استيراد %1 سطر").arg(written)
        : written > 0 ? QStringLiteral("تم استيراد %1 سطر ورُفض %2").arg(written).arg(refused.size())
                      : QStringLiteral("لم يُستورد أي سطر، رُفضت الأسطر كلها (%1)").arg(refused.size());
    return report(written, refused, false, message);
}
