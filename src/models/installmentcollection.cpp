#include "installmentcollection.h"

#include "bookkeeper.h"
#include "clock.h"
#include "database.h"
#include "money.h"
#include "receiptbook.h"
#include "unitcostcenter.h"

#include <QLoggingCategory>
#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcCollection, "darvelinto.collections")

// The reports, the project figures and the consistency checks know an installment's money by this
// note, so a cheque's taken-back collection carries it too (with a negative amount).
const QString kCollectionNote = QStringLiteral("تحصيل قسط - معرف: %1");
const QString kPending = QStringLiteral("pending");

QString amountText(qint64 cents)
{
    return QStringLiteral("%1").arg(Money::fromCents(cents));
}

InstallmentCollection::Result refused(const QString& why)
{
    return { false, why, 0 };
}

InstallmentCollection::Result failed()
{
    return { false, QString(), 0 };
}

} // namespace

struct InstallmentCollection::Installment
{
    int id = 0;
    qint64 amountCents = 0;
    qint64 paidCents = 0;
    int buyerId = 0;
    int unitId = 0;
    QVariant currencyId;

    qint64 openCents() const { return amountCents - paidCents; }
};

InstallmentCollection::InstallmentCollection(Database* db)
    : m_db(db)
{ }

bool InstallmentCollection::readInstallment(int id, Installment* installment) const
{
    // Held until the collection is committed: a cheque cashed on another desk meanwhile waits.
    if (!m_db->lockRow(QStringLiteral("installments"), id))
        return false;
    const QVariantList rows = m_db->execQuery(
        QStringLiteral(
            R"(SELECT installment_amount, paid_amount, buyer_id, unit_id, currency_id FROM installments WHERE id=?)"),
        { id });
    if (rows.isEmpty())
        return false;
    const QVariantMap row = rows.first().toMap();
    const double amount = row.value(QStringLiteral("installment_amount")).toDouble();
    const double paid = row.value(QStringLiteral("paid_amount")).toDouble();
    if (!Money::isAmount(amount) || !Money::isAmount(paid))
        return false;
    installment->id = id;
    installment->amountCents = Money::toCents(amount);
    installment->paidCents = Money::toCents(paid);
    installment->buyerId = row.value(QStringLiteral("buyer_id")).toInt();
    installment->unitId = row.value(QStringLiteral("unit_id")).toInt();
    installment->currencyId = row.value(QStringLiteral("currency_id"));
    return true;
}

InstallmentCollection::Result InstallmentCollection::collect(int installmentId, double amount)
{
    // Nothing but a positive sum is a collection: zero would write an empty payment and mark the
    // installment partly paid, a negative one would raise what the buyer owes.
    if (!Money::isAmount(amount) || Money::toCents(amount) <= 0)
        return refused(QStringLiteral("المبلغ المحصل يجب أن يكون أكبر من صفر"));
    const qint64 cents = Money::toCents(amount);
    Installment installment;
    if (!readInstallment(installmentId, &installment))
        return refused(QStringLiteral("القسط غير موجود"));
    if (cents > installment.openCents()) {
        qCInfo(lcCollection) << "refused to collect" << amount << "on installment" << installmentId << "with"
                             << Money::fromCents(installment.openCents()) << "open";
        return refused(QStringLiteral("المبلغ %1 أكبر من المتبقي على القسط، وهو %2")
                           .arg(Money::display(Money::fromCents(cents), QString()),
                               Money::display(Money::fromCents(std::max<qint64>(0, installment.openCents())),
                                   QString())));
    }
    // A collection that covers a pending cheque of the installment is taken to be that cheque
    // cashed; a smaller one leaves every cheque as it is, and a bounced cheque stays bounced.
    QVariantMap covered;
    const QVariantList cheques = m_db->execQuery(
        QStringLiteral(
            R"(SELECT id, cheque_number, amount FROM cheques WHERE installment_id=? AND status='pending' ORDER BY id)"),
        { installmentId });
    for (const QVariant& value : cheques) {
        const QVariantMap cheque = value.toMap();
        const double chequeAmount = cheque.value(QStringLiteral("amount")).toDouble();
        if (Money::isAmount(chequeAmount) && Money::toCents(chequeAmount) > 0
            && Money::toCents(chequeAmount) <= cents) {
            covered = cheque;
            break;
        }
    }
    return collectThrough(installment, cents, covered);
}

InstallmentCollection::Result InstallmentCollection::cashCheque(const QVariantMap& cheque)
{
    const QString number = cheque.value(QStringLiteral("cheque_number")).toString();
    Installment installment;
    if (!readInstallment(cheque.value(QStringLiteral("installment_id")).toInt(), &installment))
        return refused(QStringLiteral("القسط المرتبط بالشيك رقم %1 غير موجود").arg(number));
    if (installment.openCents() <= 0)
        return refused(QStringLiteral("لا يمكن صرف الشيك رقم %1: القسط المرتبط به مسدد بالكامل، فلا يُحصَّل "
                                      "عليه شيء. إن أُعيد الشيك لصاحبه فسجّله مرتجعاً.")
                           .arg(number));
    const double chequeAmount = cheque.value(QStringLiteral("amount")).toDouble();
    if (!Money::isAmount(chequeAmount) || Money::toCents(chequeAmount) <= 0)
        return refused(QStringLiteral("لا يمكن صرف الشيك رقم %1: مبلغه غير صالح").arg(number));
    return collectThrough(
        installment, std::min(installment.openCents(), Money::toCents(chequeAmount)), cheque);
}

InstallmentCollection::Result InstallmentCollection::collectThrough(
    const Installment& installment, qint64 cents, const QVariantMap& cheque)
{
    const int chequeId = cheque.value(QStringLiteral("id")).toInt();
    const QString chequeNumber = cheque.value(QStringLiteral("cheque_number")).toString();
    if (!setPaid(installment, installment.paidCents + cents))
        return failed();
    if (chequeId > 0
        && !m_db->execNonQuery(
            QStringLiteral(R"(UPDATE cheques SET status='paid' WHERE id=? AND status='pending')"),
            { chequeId }))
        return failed();
    const int paymentId = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, reference, currency_id, cost_center_id, cheque_id, notes) VALUES (?,?,?,?,?,?,?,?,?,?))"),
        { installment.buyerId, installment.unitId, Money::fromCents(cents),
            chequeId > 0 ? QStringLiteral("cheque") : QStringLiteral("cash"), Clock::todayText(),
            chequeId > 0 ? QVariant(chequeNumber) : QVariant(), installment.currencyId,
            unitCostCenterId(m_db, installment.unitId), chequeId > 0 ? QVariant(chequeId) : QVariant(),
            kCollectionNote.arg(installment.id) });
    if (paymentId <= 0)
        return failed();
    if (ReceiptBook(m_db).issue(paymentId, Money::fromCents(installment.openCents() - cents), installment.id)
        <= 0)
        return failed();
    if (!moveBuyerBalance(installment.buyerId, -cents))
        return failed();
    const BookKeeper::Result posted = BookKeeper(m_db).postCollection(paymentId, installment.id, cents,
        chequeId > 0 ? QStringLiteral("cheque") : QStringLiteral("cash"), Clock::todayText(),
        installment.currencyId, installment.openCents(), chequeNumber);
    if (!posted.ok)
        return { false, posted.refusal, 0 };
    QString details = QStringLiteral("تم تحصيل مبلغ %1").arg(amountText(cents));
    if (chequeId > 0)
        details += QStringLiteral(" بالشيك رقم %1").arg(chequeNumber);
    if (!writeAudit(QStringLiteral("تحصيل قسط"), installment.id, details))
        return failed();
    return { true, QString(), Money::fromCents(cents) };
}

InstallmentCollection::Result InstallmentCollection::takeBack(const QVariantMap& cheque)
{
    const int chequeId = cheque.value(QStringLiteral("id")).toInt();
    const QString number = cheque.value(QStringLiteral("cheque_number")).toString();
    const QVariantList payments = m_db->execQuery(
        QStringLiteral(
            R"(SELECT amount, unit_id, currency_id, cost_center_id FROM payments WHERE cheque_id=? ORDER BY id)"),
        { chequeId });
    qint64 held = 0;
    for (const QVariant& payment : payments)
        held += Money::toCents(payment.toMap().value(QStringLiteral("amount")).toDouble());
    if (held <= 0)
        return { true, QString(), 0 };

    Installment installment;
    if (!readInstallment(cheque.value(QStringLiteral("installment_id")).toInt(), &installment))
        return refused(QStringLiteral("القسط المرتبط بالشيك رقم %1 غير موجود").arg(number));
    if (held > installment.paidCents) {
        qCWarning(lcCollection) << "cheque" << chequeId << "holds" << Money::fromCents(held)
                                << "but its installment" << installment.id << "shows"
                                << Money::fromCents(installment.paidCents) << "paid";
        return refused(
            QStringLiteral("لا يمكن ارتجاع الشيك رقم %1: ما حُصِّل به لا يتفق مع القسط المرتبط به").arg(number));
    }
    if (!setPaid(installment, installment.paidCents - held))
        return failed();
    // The reversal is booked where the collection was: same unit, cost centre and currency.
    const QVariantMap source = payments.first().toMap();
    const int reversalId = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, reference, currency_id, cost_center_id, cheque_id, notes) VALUES (?,?,?,?,?,?,?,?,?,?))"),
        { installment.buyerId, source.value(QStringLiteral("unit_id")), Money::fromCents(-held),
            QStringLiteral("cheque"), Clock::todayText(), number, source.value(QStringLiteral("currency_id")),
            source.value(QStringLiteral("cost_center_id")), chequeId,
            kCollectionNote.arg(installment.id) + QStringLiteral(" - ارتجاع الشيك رقم %1").arg(number) });
    if (reversalId <= 0)
        return failed();
    if (!moveBuyerBalance(installment.buyerId, held))
        return failed();
    const BookKeeper::Result posted
        = BookKeeper(m_db).postCollection(reversalId, installment.id, -held, QStringLiteral("cheque"),
            Clock::todayText(), source.value(QStringLiteral("currency_id")), installment.openCents(), number);
    if (!posted.ok)
        return { false, posted.refusal, 0 };
    if (!writeAudit(QStringLiteral("ارتجاع شيك"), installment.id,
            QStringLiteral("تم إلغاء تحصيل مبلغ %1 لارتجاع الشيك رقم %2").arg(amountText(held), number)))
        return failed();
    return { true, QString(), Money::fromCents(held) };
}

bool InstallmentCollection::setPaid(const Installment& installment, qint64 paidCents)
{
    // Whole hundredths on both sides: a settled installment leaves exactly nothing open.
    const QString status = paidCents >= installment.amountCents ? QStringLiteral("paid")
        : paidCents > 0                                         ? QStringLiteral("partial")
                                                                : kPending;
    return m_db->execNonQuery(QStringLiteral(R"(UPDATE installments SET paid_amount=?, status=? WHERE id=?)"),
        { Money::fromCents(paidCents), status, installment.id });
}

bool InstallmentCollection::moveBuyerBalance(int buyerId, qint64 cents)
{
    // Rounded in the database as well, so a long run of collections never drifts off the cent.
    return m_db->execNonQuery(QStringLiteral(R"(UPDATE buyers SET balance=ROUND(balance+?, 2) WHERE id=?)"),
        { Money::fromCents(cents), buyerId });
}

bool InstallmentCollection::writeAudit(const QString& action, int installmentId, const QString& details)
{
    return m_db->execNonQuery(
        QStringLiteral(R"(INSERT INTO audit_logs (action, table_name, record_id, details) VALUES (?,?,?,?))"),
        { action, QStringLiteral("installments"), installmentId, details });
}
