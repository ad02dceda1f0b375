#include "meterreadingmodel.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <cmath>

Q_LOGGING_CATEGORY(lcMeters, "darvelinto.meters")

namespace {

/** No meter shows more; a larger figure is a typing error. */
constexpr double kMaxReading = 1e12;

/** A use above this many times the unit's average asks for confirmation. */
constexpr double kHighUseFactor = 3.0;

bool isPeriod(const QString& period)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-(0[1-9]|1[0-2])$"));
    return pattern.match(period).hasMatch();
}

/** Readings are kept to thousandths (a kilowatt-hour meter shows three decimals). */
double thousandths(double value)
{
    return std::round(value * 1000.0) / 1000.0;
}

bool isReading(double value)
{
    return std::isfinite(value) && value >= 0 && value <= kMaxReading;
}

/** A figure as it reads inside an Arabic sentence, kept left to right. */
QString figure(double value)
{
    return QChar(0x2066) + QString::number(value, 'f', value == std::floor(value) ? 0 : 3) + QChar(0x2069);
}

/** Notes in `failed` whether the database reported an error while it lives. */
class ErrorWatch
{
public:
    explicit ErrorWatch(Database* db)
        : m_connection(
            QObject::connect(db, &Database::databaseError, [this](const QString&) { m_failed = true; }))
    { }
    ~ErrorWatch() { QObject::disconnect(m_connection); }
    bool failed() const { return m_failed; }

private:
    bool m_failed = false;
    QMetaObject::Connection m_connection;
};

MeterReadingModel::Verdict refused(const QString& reason)
{
    MeterReadingModel::Verdict verdict;
    verdict.kind = MeterReadingModel::Verdict::Refused;
    verdict.reason = reason;
    return verdict;
}

} // namespace

MeterReadingModel::MeterReadingModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantMap MeterReadingModel::Verdict::toMap() const
{
    return { { QStringLiteral("saved"), kind == Saved },
        { QStringLiteral("confirm"), kind == NeedsConfirmation }, { QStringLiteral("reason"), reason },
        { QStringLiteral("consumption"), consumption }, { QStringLiteral("cost"), cost },
        { QStringLiteral("average"), average } };
}

QVariantList MeterReadingModel::getMeteredServices()
{
    return m_db->execQuery(QStringLiteral(
        "SELECT id, name, rate, unit_of_measure FROM services WHERE type='usage' ORDER BY id"));
}

QVariantList MeterReadingModel::getSheet(int serviceId, const QString& period, int propertyId)
{
    if (!isPeriod(period))
        return {};
    return m_db->execQuery(QStringLiteral(R"(
        SELECT u.id AS unit_id, u.unit_number, p.name AS property_name,
               (SELECT t.full_name FROM contracts c JOIN tenants t ON t.id=c.tenant_id
                WHERE c.unit_id=u.id AND c.status='active' ORDER BY c.id LIMIT 1) AS tenant_name,
               (SELECT e.current_reading FROM usage_records e
                WHERE e.unit_id=u.id AND e.service_id=? AND e.period<? ORDER BY e.period DESC LIMIT 1) AS last_reading,
               EXISTS (SELECT 1 FROM usage_records e WHERE e.unit_id=u.id AND e.service_id=? AND e.period<?) AS read_before,
               r.id IS NOT NULL AS kept,
               r.id AS record_id, r.previous_reading, r.current_reading, r.consumption, r.cost, r.meter_change,
               EXISTS (SELECT 1 FROM invoice_items ii JOIN invoices i ON i.id=ii.invoice_id
                       WHERE ii.usage_record_id=r.id AND i.status!='void') AS billed
        FROM units u JOIN properties p ON p.id=u.property_id
        LEFT JOIN usage_records r ON r.unit_id=u.id AND r.service_id=? AND r.period=?
        WHERE u.status!='sold' AND (?=0 OR u.property_id=?)
        ORDER BY p.name, u.unit_number, u.id)"),
        { serviceId, period, serviceId, period, serviceId, period, propertyId, propertyId });
}

QVariantMap MeterReadingModel::saveReading(int unitId, int serviceId, const QString& period, double reading,
    bool meterChange, bool confirmed, double newMeterStart)
{
    clearRefusal();
    Verdict verdict;
    {
        TransactionGuard transaction(m_db);
        if (transaction.isActive()) {
            verdict = record({ unitId, serviceId, period, reading, meterChange, newMeterStart }, confirmed);
            if (verdict.kind == Verdict::Saved && !transaction.commit())
                verdict = Verdict();
        }
    }
    if (verdict.kind == Verdict::Saved)
        emit dataChanged();
    else if (verdict.kind == Verdict::Failed)
        refuseUnsaved();
    else if (verdict.kind == Verdict::Refused)
        refuse(verdict.reason);
    QVariantMap map = verdict.toMap();
    if (verdict.kind == Verdict::Failed)
        map.insert(QStringLiteral("reason"), lastError());
    return map;
}

MeterReadingModel::Verdict MeterReadingModel::record(const Reading& input, bool confirmed)
{
    if (!isPeriod(input.period))
        return refused(QStringLiteral("الفترة تُكتب بالشكل YYYY-MM"));
    if (!isReading(input.reading) || (input.meterChange && !isReading(input.newMeterStart)))
        return refused(QStringLiteral("القراءة يجب أن تكون رقماً موجباً"));
    const double reading = thousandths(input.reading);
    const double newMeterStart = thousandths(input.newMeterStart);
    if (input.meterChange && newMeterStart > reading)
        return refused(
            QStringLiteral("القراءة أقل من قراءة العداد الجديد عند تركيبه (%1)").arg(figure(newMeterStart)));

    ErrorWatch watch(m_db);
    const QVariantList services = m_db->execQuery(
        QStringLiteral("SELECT rate FROM services WHERE id=? AND type='usage'"), { input.serviceId });
    const bool unitKnown
        = m_db->scalar(QStringLiteral("SELECT 1 FROM units WHERE id=?"), { input.unitId }).isValid();
    // Later readings stand on this one: changing it would leave their use wrong.
    const bool followed
        = m_db->scalar(
                  QStringLiteral(
                      "SELECT 1 FROM usage_records WHERE unit_id=? AND service_id=? AND period>? LIMIT 1"),
                  { input.unitId, input.serviceId, input.period })
              .isValid();
    const QVariantList current = m_db->execQuery(QStringLiteral(R"(
            SELECT r.id, EXISTS (SELECT 1 FROM invoice_items ii JOIN invoices i ON i.id=ii.invoice_id
                                 WHERE ii.usage_record_id=r.id AND i.status!='void') AS billed
            FROM usage_records r WHERE r.unit_id=? AND r.service_id=? AND r.period=?)"),
        { input.unitId, input.serviceId, input.period });
    const QVariantList earlier = m_db->execQuery(QStringLiteral(R"(
            SELECT (SELECT current_reading FROM usage_records WHERE unit_id=? AND service_id=? AND period<?
                    ORDER BY period DESC LIMIT 1) AS last_reading,
                   (SELECT AVG(consumption) FROM usage_records WHERE unit_id=? AND service_id=? AND period<?
                    AND consumption>0) AS average)"),
        { input.unitId, input.serviceId, input.period, input.unitId, input.serviceId, input.period });
    if (watch.failed() || earlier.isEmpty())
        return {};
    if (services.isEmpty())
        return refused(QStringLiteral("الخدمة لا تُقرأ من عداد"));
    if (!unitKnown)
        return refused(QStringLiteral("الوحدة غير موجودة"));
    if (followed)
        return refused(QStringLiteral("للوحدة قراءة لشهر لاحق، فلا تُعدّل قراءة هذا الشهر"));
    const QVariantMap existing = current.isEmpty() ? QVariantMap() : current.first().toMap();
    if (existing.value(QStringLiteral("billed")).toInt() == 1)
        return refused(QStringLiteral("فُوترت قراءة هذا الشهر، فلا تُعدّل"));

    const double rate = services.first().toMap().value(QStringLiteral("rate")).toDouble();
    const QVariant last = earlier.first().toMap().value(QStringLiteral("last_reading"));
    const double average = earlier.first().toMap().value(QStringLiteral("average")).toDouble();
    double base = reading; // the first reading of a meter opens it
    if (input.meterChange) {
        base = newMeterStart;
    } else if (!last.isNull()) {
        base = last.toDouble();
        if (reading < base)
            return refused(QStringLiteral("القراءة %1 أقل من السابقة %2؛ علّمها «تغيير عداد» إن رُكّب عداد جديد")
                               .arg(figure(reading), figure(base)));
    }

    Verdict verdict;
    verdict.consumption = thousandths(reading - base);
    verdict.average = average;
    const double cost = verdict.consumption * rate;
    if (!Money::isAmount(rate) || rate < 0 || !Money::isAmount(cost))
        return refused(QStringLiteral("تكلفة الاستهلاك خارج الحد المسموح"));
    verdict.cost = Money::roundToCents(cost);
    if (!confirmed && average > 0 && verdict.consumption > kHighUseFactor * average) {
        verdict.kind = Verdict::NeedsConfirmation;
        verdict.reason
            = QStringLiteral("الاستهلاك %1 يزيد على ثلاثة أضعاف متوسط الوحدة %2. هل القراءة صحيحة؟")
                  .arg(figure(verdict.consumption), figure(thousandths(average)));
        return verdict;
    }

    const QVariantList values { base, reading, verdict.consumption, verdict.cost, input.meterChange ? 1 : 0 };
    const bool written = existing.isEmpty()
        ? m_db->execInsert(QStringLiteral(R"(INSERT INTO usage_records
                (unit_id, service_id, period, previous_reading, current_reading, consumption, cost, meter_change)
                VALUES (?,?,?,?,?,?,?,?))"),
              QVariantList { input.unitId, input.serviceId, input.period } + values)
            > 0
        : m_db->execNonQuery(QStringLiteral(R"(UPDATE usage_records SET previous_reading=?, current_reading=?,
                consumption=?, cost=?, meter_change=? WHERE id=?)"),
            values + QVariantList { existing.value(QStringLiteral("id")) });
    if (!written) {
        qCWarning(lcMeters) << "reading of unit" << input.unitId << "service" << input.serviceId << "for"
                            << input.period << "not written";
        return {};
    }
    verdict.kind = Verdict::Saved;
    return verdict;
}
