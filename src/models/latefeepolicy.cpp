#include "latefeepolicy.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcLateFees, "darvelinto.latefees")

namespace {

const QString kGrace = QStringLiteral("late_fee_grace_days");
const QString kKind = QStringLiteral("late_fee_kind");
const QString kFixed = QStringLiteral("late_fee_fixed");
const QString kPercent = QStringLiteral("late_fee_percent");
const QString kCap = QStringLiteral("late_fee_cap");
constexpr int kLongestGrace = 365;

/** A stored amount read back in hundredths; anything unusable counts as 0. */
qint64 storedCents(const QVariant& value)
{
    const double amount = value.toDouble();
    return Money::isAmount(amount) && amount > 0 ? Money::toCents(amount) : 0;
}

} // namespace

LateFeePolicy LateFeePolicy::read(Database* db)
{
    LateFeePolicy policy;
    const QVariantList rows
        = db->execQuery(QStringLiteral("SELECT key, value FROM settings WHERE key IN (?,?,?,?,?)"),
            { kGrace, kKind, kFixed, kPercent, kCap });
    for (const QVariant& value : rows) {
        const QVariantMap row = value.toMap();
        const QString key = row.value(QStringLiteral("key")).toString();
        const QVariant stored = row.value(QStringLiteral("value"));
        if (key == kGrace)
            policy.graceDays = std::clamp(stored.toInt(), 0, kLongestGrace);
        else if (key == kKind)
            policy.kind = stored.toString() == QLatin1String("percent") ? Kind::Percent : Kind::Fixed;
        else if (key == kFixed)
            policy.fixedCents = storedCents(stored);
        else if (key == kPercent)
            policy.percent
                = std::isfinite(stored.toDouble()) ? std::clamp(stored.toDouble(), 0.0, 100.0) : 0.0;
        else if (key == kCap)
            policy.capCents = storedCents(stored);
    }
    return policy;
}

bool LateFeePolicy::store(
    Database* db, int graceDays, const QString& kind, double fixed, double percent, double cap)
{
    const bool amountsSound = Money::isAmount(fixed) && Money::toCents(fixed) >= 0 && Money::isAmount(cap)
        && Money::toCents(cap) >= 0 && std::isfinite(percent) && percent >= 0 && percent <= 100;
    if (graceDays < 0 || graceDays > kLongestGrace || !amountsSound
        || (kind != QLatin1String("fixed") && kind != QLatin1String("percent"))) {
        qCWarning(lcLateFees) << "refused the late-fee rule" << graceDays << kind << fixed << percent << cap;
        return false;
    }
    TransactionGuard transaction(db);
    if (!transaction.isActive())
        return false;
    const QList<QPair<QString, QVariant>> values { { kGrace, graceDays }, { kKind, kind },
        { kFixed, Money::roundToCents(fixed) }, { kPercent, percent }, { kCap, Money::roundToCents(cap) } };
    for (const auto& [key, value] : values) {
        if (!db->execNonQuery(QStringLiteral("INSERT INTO settings (key, value) VALUES (?, ?) ON CONFLICT "
                                             "(key) DO UPDATE SET value = excluded.value"),
                { key, value.toString() }))
            return false;
    }
    return transaction.commit();
}

bool LateFeePolicy::chargesFees() const
{
    return kind == Kind::Fixed ? fixedCents > 0 : percent > 0;
}

qint64 LateFeePolicy::feeCents(qint64 balanceCents) const
{
    if (balanceCents <= 0)
        return 0;
    if (kind == Kind::Fixed)
        return fixedCents;
    // Half a cent and up rounds up, as every amount of the books.
    const qint64 fee = Money::toCents(Money::fromCents(balanceCents) * percent / 100.0);
    return capCents > 0 ? std::min(fee, capCents) : fee;
}

QVariantMap LateFeePolicy::toMap() const
{
    return { { QStringLiteral("grace_days"), graceDays },
        { QStringLiteral("kind"),
            kind == Kind::Percent ? QStringLiteral("percent") : QStringLiteral("fixed") },
        { QStringLiteral("fixed"), Money::fromCents(fixedCents) }, { QStringLiteral("percent"), percent },
        { QStringLiteral("cap"), Money::fromCents(capCents) } };
}
