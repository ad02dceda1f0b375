#include "contractmodel.h"

#include "clock.h"
#include "database.h"
#include "depositbook.h"
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

// What a contract's deposit holds now, and whether it was settled: for one contract or a tenant's few.
const QString kDepositColumns = QStringLiteral(R"(,
    (SELECT COALESCE(SUM(CASE WHEN m.kind IN ('received', 'carried_in') THEN 1 ELSE -1 END * ROUND(m.amount * 100)), 0)
     FROM deposit_movements m WHERE m.contract_id = c.id) / 100.0 AS deposit_held,
    EXISTS (SELECT 1 FROM deposit_settlements s WHERE s.contract_id = c.id) AS deposit_settled)");

// Contract dates are compared as text (overlaps, the rent run's windows, expiry), which only
// orders correctly for the exact zero-padded form of a year from 1 on ("-2025-01-01" parses).
bool isIsoDate(const QString& text)
{
    const QDate date = QDate::fromString(text, kDateFormat);
    return date.isValid() && date.year() > 0 && date.toString(kDateFormat) == text;
}

/** The contracts' selection with their deposits' columns. */
QString withDeposit()
{
    static const QString sql = [] {
        QString text = kSelectContracts;
        const int from = text.indexOf(QStringLiteral("\n    FROM contracts c"));
        return text.insert(from, kDepositColumns);
    }();
    return sql;
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
        withDeposit() + QStringLiteral(" WHERE c.tenant_id=? ORDER BY c.created_at DESC, c.id DESC"),
        { tenantId });
}

QVariantMap ContractModel::getById(int id)
{
    const QVariantList rows = m_db->execQuery(withDeposit() + QStringLiteral(" WHERE c.id=?"), { id });
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
    TransactionGuard tx(m_db);
    if (!tx.isActive() || !m_db->lockRow(QStringLiteral("units"), unitId)) {
        refuseUnsaved();
        return -1;
    }
    const int id = writeContract(unitId, tenantId, start, end, rent, freq, depositAmount, currId);
    if (id <= 0)
        return -1;
    if (!tx.commit()) {
        refuseUnsaved();
        return -1;
    }
    emit dataChanged();
    return id;
}

int ContractModel::writeContract(int unitId, int tenantId, const QString& start, const QString& end,
    double rent, const QString& freq, double depositAmount, int currId)
{
    const QString frequency
        = freq == QLatin1String("yearly") ? QStringLiteral("yearly") : QStringLiteral("monthly");
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
    if (!m_db->execNonQuery(QStringLiteral("UPDATE units SET status='rented' WHERE id=?"), { unitId })) {
        qCWarning(lcContracts) << "could not mark unit" << unitId << "rented; contract not kept";
        refuseUnsaved();
        return -1;
    }
    return id;
}

bool ContractModel::terminate(int id)
{
    clearRefusal();
    TransactionGuard tx(m_db);
    if (!tx.isActive() || !m_db->lockRow(QStringLiteral("contracts"), id))
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
    if (!writeTermination(m_db, id, contract.value(QStringLiteral("unit_id"))) || !tx.commit()) {
        qCWarning(lcContracts) << "could not terminate contract" << id;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

bool ContractModel::writeTermination(Database* db, const QVariant& id, const QVariant& unitId)
{
    return db->execNonQuery(QStringLiteral("UPDATE contracts SET status='terminated' WHERE id=?"), { id })
        && db->execNonQuery(QStringLiteral(R"(
            UPDATE units SET status='available'
            WHERE id=? AND status='rented'
              AND NOT EXISTS (SELECT 1 FROM contracts WHERE unit_id=? AND +status='active'))"),
            { unitId, unitId });
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
        WHERE c.status='active' AND c.renewed_by IS NULL AND c.end_date <= ?
        ORDER BY c.end_date, c.id)"),
        { limit });
}

double ContractModel::defaultIncrease() const
{
    bool ok = false;
    const double percent
        = m_db->scalar(QStringLiteral("SELECT value FROM settings WHERE key='renewal_increase_percent'"))
              .toString()
              .toDouble(&ok);
    return ok && std::isfinite(percent) && percent >= -100 ? percent : 0.0;
}

bool ContractModel::setDefaultIncrease(double percent)
{
    clearRefusal();
    if (!std::isfinite(percent) || percent < -100 || percent > 1000)
        return refuse(QStringLiteral("نسبة الزيادة بين -100 و1000"));
    if (!m_db->execNonQuery(
            QStringLiteral("INSERT INTO settings (key, value) VALUES ('renewal_increase_percent', ?) ON "
                           "CONFLICT (key) DO UPDATE SET value = excluded.value"),
            { QString::number(percent, 'f', 2) }))
        return refuseUnsaved();
    return true;
}

namespace {

/** The rent raised by `percent`, in whole hundredths. */
double raised(double rent, double percent)
{
    return Money::fromCents(qRound64(static_cast<double>(Money::toCents(rent)) * (100.0 + percent) / 100.0));
}

} // namespace

QVariantList ContractModel::getDueForRenewal(int days)
{
    const double percent = defaultIncrease();
    QVariantList rows = getExpiring(days);
    for (QVariant& row : rows) {
        QVariantMap contract = row.toMap();
        contract.insert(QStringLiteral("proposed_rent"),
            raised(contract.value(QStringLiteral("rent_amount")).toDouble(), percent));
        contract.insert(QStringLiteral("increase_percent"), percent);
        row = contract;
    }
    return rows;
}

QPair<QDate, QDate> ContractModel::nextTerm(const QDate& start, const QDate& end)
{
    const QDate next = end.addDays(1);
    // Whole months when the term ran whole months: 1 March to the last of February is a year.
    // Counted from the day after, so a term to a month's end runs to a month's end again.
    const int months = (next.year() - start.year()) * 12 + next.month() - start.month();
    for (const int k : { months, months - 1 }) {
        const QDate landed = start.addMonths(k);
        // A start on a day the landing month lacks (29 February) lands on that month's last day.
        if (k > 0 && (landed == next || (landed == end && landed.day() < start.day())))
            return { next, next.addMonths(k).addDays(-1) };
    }
    return { next, next.addDays(start.daysTo(end)) };
}

QVariantMap ContractModel::renewalTerms(int id)
{
    QVariantMap contract = getById(id);
    if (contract.isEmpty())
        return {};
    const auto [start, end]
        = nextTerm(QDate::fromString(contract.value(QStringLiteral("start_date")).toString(), kDateFormat),
            QDate::fromString(contract.value(QStringLiteral("end_date")).toString(), kDateFormat));
    const double percent = defaultIncrease();
    return { { QStringLiteral("id"), id }, { QStringLiteral("start"), start.toString(kDateFormat) },
        { QStringLiteral("end"), end.toString(kDateFormat) },
        { QStringLiteral("rent"), contract.value(QStringLiteral("rent_amount")) },
        { QStringLiteral("proposed_rent"),
            raised(contract.value(QStringLiteral("rent_amount")).toDouble(), percent) },
        { QStringLiteral("increase_percent"), percent },
        { QStringLiteral("deposit"), contract.value(QStringLiteral("deposit")) },
        { QStringLiteral("held"), contract.value(QStringLiteral("deposit_held")) },
        { QStringLiteral("currency_symbol"), contract.value(QStringLiteral("currency_symbol")) },
        { QStringLiteral("tenant_name"), contract.value(QStringLiteral("tenant_name")) },
        { QStringLiteral("unit_number"), contract.value(QStringLiteral("unit_number")) },
        { QStringLiteral("property_name"), contract.value(QStringLiteral("property_name")) },
        { QStringLiteral("old_start"), contract.value(QStringLiteral("start_date")) },
        { QStringLiteral("old_end"), contract.value(QStringLiteral("end_date")) },
        { QStringLiteral("status"), contract.value(QStringLiteral("status")) },
        { QStringLiteral("renewed_by"), contract.value(QStringLiteral("renewed_by")) } };
}

int ContractModel::renew(
    int id, const QString& end, const QString& rentMode, double value, double topUp, const QString& method)
{
    clearRefusal();
    const double extra = std::isnan(topUp) ? 0.0 : topUp;
    if (!Money::isAmount(extra) || Money::toCents(extra) < 0)
        return refuseRow(QStringLiteral("مبلغ زيادة التأمين يجب أن يكون من صفر فأكثر وضمن الحد المسموح"));
    if (!std::isfinite(value))
        return refuseRow(QStringLiteral("قيمة الإيجار الجديد غير صحيحة"));
    TransactionGuard tx(m_db);
    if (!tx.isActive() || !m_db->lockRow(QStringLiteral("contracts"), id))
        return refuseUnsavedRow();
    const QVariantList rows = m_db->execQuery(
        QStringLiteral(
            "SELECT unit_id, tenant_id, start_date, end_date, rent_amount, payment_frequency, deposit, "
            "COALESCE(currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)) AS "
            "currency_id, "
            "status, renewed_by FROM contracts WHERE id=?"),
        { id });
    if (rows.isEmpty())
        return refuseRow(QStringLiteral("العقد غير موجود"));
    const QVariantMap old = rows.first().toMap();
    if (old.value(QStringLiteral("status")).toString() != QLatin1String("active"))
        return refuseRow(QStringLiteral("العقد منتهٍ ولا يُجدَّد"));
    if (!old.value(QStringLiteral("renewed_by")).isNull())
        return refuseRow(QStringLiteral("جُدّد هذا العقد من قبل"));
    DepositBook deposits(m_db);
    if (deposits.isSettled(id))
        return refuseRow(QStringLiteral("سُوّي تأمين هذا العقد، فلا يُجدَّد"));
    const QDate oldEnd = QDate::fromString(old.value(QStringLiteral("end_date")).toString(), kDateFormat);
    // The new term starts the day after the old one ends: no day between them, none in both.
    const QString start = oldEnd.addDays(1).toString(kDateFormat);
    if (!oldEnd.isValid() || !isIsoDate(start))
        return refuseRow(QStringLiteral("تاريخ نهاية العقد الحالي غير صحيح"));
    const double oldRent = old.value(QStringLiteral("rent_amount")).toDouble();
    double rent = 0;
    if (rentMode == QLatin1String("percent")) {
        if (value < -100 || value > 1000)
            return refuseRow(QStringLiteral("نسبة الزيادة بين -100 و1000"));
        rent = raised(oldRent, value);
    } else if (rentMode == QLatin1String("amount")) {
        rent = value;
    } else {
        return refuseRow(QStringLiteral("اختر طريقة تحديد الإيجار الجديد"));
    }
    const qint64 held = deposits.heldCents(id);
    const qint64 topUpCents = Money::toCents(extra);
    // The deposit agreed anew: what is carried over and what is added now.
    const double deposit = Money::fromCents(held + topUpCents);
    if (!isIsoDate(end))
        return refuseRow(QStringLiteral("تاريخ نهاية العقد الجديد يُكتب بالشكل YYYY-MM-DD"));
    if (end < start)
        return refuseRow(QStringLiteral("نهاية العقد الجديد قبل بدايته (%1)").arg(start));
    if (!Money::isAmount(rent) || Money::toCents(rent) <= 0)
        return refuseRow(QStringLiteral("قيمة الإيجار يجب أن تكون أكبر من صفر وضمن الحد المسموح"));
    if (!Money::isAmount(deposit))
        return refuseRow(QStringLiteral("قيمة التأمين يجب أن تكون من صفر فأكثر وضمن الحد المسموح"));
    const int renewed = writeContract(old.value(QStringLiteral("unit_id")).toInt(),
        old.value(QStringLiteral("tenant_id")).toInt(), start, end, rent,
        old.value(QStringLiteral("payment_frequency")).toString(), deposit,
        old.value(QStringLiteral("currency_id")).toInt());
    if (renewed <= 0)
        return -1;
    if (!m_db->execNonQuery(QStringLiteral("UPDATE contracts SET renewed_by=? WHERE id=?"), { renewed, id })
        || !deposits.carry(id, renewed, Clock::todayText()))
        return refuseUnsavedRow();
    if (topUpCents > 0
        && deposits.receive(renewed, topUpCents, method, Clock::todayText(), QString(), QString()) <= 0)
        return deposits.refusal().isEmpty() ? refuseUnsavedRow() : refuseRow(deposits.refusal());
    if (!tx.commit())
        return refuseUnsavedRow();
    emit dataChanged();
    return renewed;
}
