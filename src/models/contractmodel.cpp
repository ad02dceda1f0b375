#include "contractmodel.h"

#include "clock.h"
#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcContracts, "darvelinto.contracts")

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

const QString kSelectContracts = QStringLiteral(R"(
    SELECT c.*, t.full_name as tenant_name, u.unit_number, p.name as property_name, cur.symbol as currency_symbol
    FROM contracts c
    JOIN tenants t ON c.tenant_id=t.id
    JOIN units u ON c.unit_id=u.id
    JOIN properties p ON u.property_id=p.id
    LEFT JOIN currencies cur ON c.currency_id=cur.id)");

// Contract dates are compared as text (overlaps, the rent run's windows, expiry), which only
// orders correctly for the exact zero-padded form of a year from 1 on ("-2025-01-01" parses).
bool isIsoDate(const QString& text)
{
    const QDate date = QDate::fromString(text, kDateFormat);
    return date.isValid() && date.year() > 0 && date.toString(kDateFormat) == text;
}

} // namespace

ContractModel::ContractModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList ContractModel::getAll()
{
    return m_db->execQuery(kSelectContracts + QStringLiteral(" ORDER BY c.created_at DESC, c.id DESC"));
}

QVariantList ContractModel::getByTenant(int tenantId)
{
    return m_db->execQuery(
        kSelectContracts + QStringLiteral(" WHERE c.tenant_id=? ORDER BY c.created_at DESC, c.id DESC"),
        { tenantId });
}

QVariantMap ContractModel::getById(int id)
{
    const QVariantList rows = m_db->execQuery(kSelectContracts + QStringLiteral(" WHERE c.id=?"), { id });
    return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
}

std::optional<bool> ContractModel::overlaps(
    int unitId, const QString& start, const QString& end, int excludeId) const
{
    // Both ends are inclusive: a contract ending on the day the next one starts still holds
    // the unit that day. The unary plus keeps SQLite on the unit's index: without statistics it
    // takes the status index as just as selective and walks every active contract of the office.
    const QVariant count = m_db->scalar(QStringLiteral(R"(
        SELECT COUNT(*) as c FROM contracts
        WHERE unit_id=? AND +status='active' AND id!=? AND start_date<=? AND end_date>=?)"),
        { unitId, excludeId, end, start });
    if (!count.isValid())
        return std::nullopt;
    return count.toInt() > 0;
}

bool ContractModel::hasOverlap(int unitId, const QString& start, const QString& end, int excludeId)
{
    return overlaps(unitId, start, end, excludeId).value_or(false);
}

int ContractModel::add(int unitId, int tenantId, const QString& start, const QString& end, double rent,
    const QString& freq, double deposit, int currId)
{
    // The page sends parseFloat() of the deposit field: an emptied field means no deposit.
    clearRefusal();
    const double depositAmount = std::isnan(deposit) ? 0.0 : deposit;
    // The rent run invoices the rent as it stands: a rent of 0 would make invoices nobody could
    // ever settle, so a contract must carry at least a cent of rent. Both amounts are kept in
    // whole hundredths.
    if (!isIsoDate(start) || !isIsoDate(end) || end < start || !Money::isAmount(rent)
        || Money::toCents(rent) <= 0 || !Money::isAmount(depositAmount)
        || Money::toCents(depositAmount) < 0) {
        qCWarning(lcContracts) << "refused contract on unit" << unitId << ": bad dates or amounts" << start
                               << end << rent << deposit;
        if (!isIsoDate(start) || !isIsoDate(end))
            refuse(QStringLiteral("تاريخا العقد يُكتبان بالشكل YYYY-MM-DD"));
        else if (end < start)
            refuse(QStringLiteral("تاريخ نهاية العقد قبل تاريخ بدايته"));
        else if (!Money::isAmount(rent) || Money::toCents(rent) <= 0)
            refuse(QStringLiteral("قيمة الإيجار يجب أن تكون أكبر من صفر وضمن الحد المسموح"));
        else
            refuse(QStringLiteral("قيمة التأمين يجب أن تكون من صفر فأكثر وضمن الحد المسموح"));
        return -1;
    }
    const QString frequency
        = freq == QLatin1String("yearly") ? QStringLiteral("yearly") : QStringLiteral("monthly");

    TransactionGuard tx(m_db);
    if (!tx.isActive()) {
        refuseUnsaved();
        return -1;
    }
    const QVariant unitStatus
        = m_db->scalar(QStringLiteral("SELECT status FROM units WHERE id=?"), { unitId });
    // A unit out of service ('maintenance') cannot be let until it is put back.
    if (!unitStatus.isValid() || unitStatus.toString() == QLatin1String("sold")
        || unitStatus.toString() == QLatin1String("maintenance")) {
        qCWarning(lcContracts) << "refused contract: unit" << unitId << "is missing, sold or out of service";
        refuse(!unitStatus.isValid() ? QStringLiteral("الوحدة غير موجودة")
                : unitStatus.toString() == QLatin1String("sold")
                ? QStringLiteral("الوحدة مباعة ولا تؤجر")
                : QStringLiteral("الوحدة خارج الخدمة، أعدها إلى الخدمة أولاً"));
        return -1;
    }
    if (!m_db->scalar(QStringLiteral("SELECT 1 FROM tenants WHERE id=?"), { tenantId }).isValid()) {
        refuse(QStringLiteral("المستأجر غير موجود"));
        return -1;
    }
    const std::optional<bool> overlap = overlaps(unitId, start, end, -1);
    if (!overlap || *overlap) {
        qCInfo(lcContracts) << "refused contract: unit" << unitId << "is let for" << start << "to" << end;
        if (overlap)
            refuse(QStringLiteral("الوحدة مؤجرة بعقد آخر في هذه الفترة"));
        else
            refuseUnsaved();
        return -1;
    }
    const int id = m_db->execInsert(QStringLiteral(R"(
        INSERT INTO contracts (unit_id,tenant_id,start_date,end_date,rent_amount,payment_frequency,deposit,currency_id)
        VALUES (?,?,?,?,?,?,?,?))"),
        { unitId, tenantId, start, end, Money::roundToCents(rent), frequency,
            Money::roundToCents(depositAmount), currId });
    if (id <= 0) {
        refuseUnsaved();
        return -1;
    }
    if (!m_db->execNonQuery(QStringLiteral("UPDATE units SET status='rented' WHERE id=?"), { unitId })
        || !tx.commit()) {
        qCWarning(lcContracts) << "could not mark unit" << unitId << "rented; contract not kept";
        refuseUnsaved();
        return -1;
    }
    emit dataChanged();
    return id;
}

bool ContractModel::terminate(int id)
{
    clearRefusal();
    TransactionGuard tx(m_db);
    if (!tx.isActive())
        return refuseUnsaved();
    const QVariantList rows
        = m_db->execQuery(QStringLiteral("SELECT unit_id, status FROM contracts WHERE id=?"), { id });
    if (rows.isEmpty())
        return refuse(QStringLiteral("العقد غير موجود"));
    const QVariantMap contract = rows.first().toMap();
    // A second termination must not touch the unit again: by then it may be let under a new
    // contract or sold.
    if (contract.value(QStringLiteral("status")).toString() != QLatin1String("active"))
        return refuse(QStringLiteral("العقد منتهٍ من قبل"));
    const QVariant unitId = contract.value(QStringLiteral("unit_id"));
    const bool done
        = m_db->execNonQuery(QStringLiteral("UPDATE contracts SET status='terminated' WHERE id=?"), { id })
        && m_db->execNonQuery(QStringLiteral(R"(
            UPDATE units SET status='available'
            WHERE id=? AND status='rented'
              AND NOT EXISTS (SELECT 1 FROM contracts WHERE unit_id=? AND +status='active'))"),
            { unitId, unitId });
    if (!done || !tx.commit()) {
        qCWarning(lcContracts) << "could not terminate contract" << id;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

QVariantList ContractModel::getExpiring(int days)
{
    // No lower bound: an active contract whose end has passed still needs renewing or ending.
    const QString limit = Clock::today().addDays(days).toString(kDateFormat);
    return m_db->execQuery(QStringLiteral(R"(
        SELECT c.*, t.full_name as tenant_name, u.unit_number, p.name as property_name
        FROM contracts c
        JOIN tenants t ON c.tenant_id=t.id
        JOIN units u ON c.unit_id=u.id
        JOIN properties p ON u.property_id=p.id
        WHERE c.status='active' AND c.end_date <= ?
        ORDER BY c.end_date, c.id)"),
        { limit });
}
