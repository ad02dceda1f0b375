#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * The month's meter readings (`usage_records`) of the metered services, unit by unit. A reading's
 * use is the reading less the one before it; the cost is the use times the service's price. The
 * first reading of a meter only opens it (nothing used yet). A reading below the one before is
 * refused unless the meter was changed: the use then runs from the new meter's first reading. A
 * use above three times the unit's average waits for the clerk's confirmation. A reading that a
 * live invoice has billed, or that a later month's reading follows, is no longer changed.
 */
class MeterReadingModel : public Refusable
{
    Q_OBJECT
public:
    explicit MeterReadingModel(Database* db, QObject* parent = nullptr);

    /** A reading as the clerk gives it. */
    struct Reading
    {
        int unitId = 0;
        int serviceId = 0;
        QString period;
        double reading = 0;
        bool meterChange = false;
        /** The new meter's first reading, for a meter change. */
        double newMeterStart = 0;
    };

    /** What became of a reading. */
    struct Verdict
    {
        enum Kind { Saved, Refused, NeedsConfirmation, Failed };
        Kind kind = Failed;
        /** Why it was refused or needs confirmation, in Arabic. */
        QString reason;
        double consumption = 0;
        double cost = 0;
        double average = 0;
        QVariantMap toMap() const;
    };

    /** The services read from a meter (type 'usage'): `id`, `name`, `rate`, `unit_of_measure`. */
    Q_INVOKABLE QVariantList getMeteredServices();
    /**
     * The entry sheet of a service and period: every unit not sold (of one property, or of all when
     * `propertyId` is 0), by property and unit number, with `unit_id`, `unit_number`,
     * `property_name`, `tenant_name` (of its active contract, if any), `last_reading` (the latest
     * reading before the period) and `read_before` (0 for a meter never read), `kept` (1 when the period has its
     * reading) and then that reading: `record_id`, `previous_reading`, `current_reading`,
     * `consumption`, `cost`, `meter_change`, `billed`.
     */
    Q_INVOKABLE QVariantList getSheet(int serviceId, const QString& period, int propertyId = 0);
    /**
     * Keeps the period's reading of a unit's meter (a second call for the same month corrects it
     * while it is not billed). The map: `saved`; `confirm` when the use is unusually high and
     * `confirmed` was false (nothing written; call again with `confirmed`); `reason` (Arabic) when
     * refused or asking; `consumption`, `cost`, `average`.
     */
    Q_INVOKABLE QVariantMap saveReading(int unitId, int serviceId, const QString& period, double reading,
        bool meterChange = false, bool confirmed = false, double newMeterStart = 0);

    /**
     * The rules of saveReading() inside a transaction the caller holds (the import keeps a whole
     * paste in one): writes the reading when it passes them, and nothing otherwise.
     */
    [[nodiscard]] Verdict record(const Reading& reading, bool confirmed);

signals:
    void dataChanged();

private:
    Database* m_db;
};
