#include "chequemodel.h"

#include "clock.h"
#include "database.h"
#include "installmentcollection.h"
#include "listpaging.h"
#include "money.h"
#include "transactionguard.h"

#include <QLoggingCategory>
#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcCheques, "darvelinto.cheques")

// A null QString binds as SQL NULL; the party a cheque does not have is stored as empty text.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QVariant link(int id)
{
    return id > 0 ? QVariant(id) : QVariant();
}

const QString kPending = QStringLiteral("pending");
const QString kCashed = QStringLiteral("paid");
const QString kBounced = QStringLiteral("bounced");

} // namespace

ChequeModel::ChequeModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList ChequeModel::select(const QString& tail, const QVariantList& params, bool withCurrencyCode) const
{
    // A cheque reaches a unit and property only through its installment; the COALESCE keeps a
    // cheque without one from matching anything.
    static const QString columns = QStringLiteral(
        R"(SELECT c.*, cur.symbol as currency_symbol, b.full_name as buyer_name, t.full_name as tenant_name, u.unit_number, p.name as property_name)");
    static const QString currencyCode = QStringLiteral(R"(, cur.code as currency_code)");
    static const QString joins = QStringLiteral(
        R"( FROM cheques c LEFT JOIN currencies cur ON c.currency_id=cur.id LEFT JOIN buyers b ON c.buyer_id=b.id LEFT JOIN tenants t ON c.tenant_id=t.id LEFT JOIN installments i ON c.installment_id=i.id LEFT JOIN units u ON COALESCE(i.unit_id, 0)=u.id LEFT JOIN properties p ON u.property_id=p.id )");
    return m_db->execQuery(columns + (withCurrencyCode ? currencyCode : QString()) + joins + tail, params);
}

QVariantList ChequeModel::getAll() const
{
    return select(QStringLiteral(R"(ORDER BY c.due_date DESC)"), {}, true);
}

QVariantList ChequeModel::getPending() const
{
    return select(QStringLiteral(R"(WHERE c.status='pending' ORDER BY c.due_date)"));
}

QVariantList ChequeModel::getPostDated() const
{
    // Today from the clock, like every other date rule: a cheque due today is no longer post-dated.
    return select(QStringLiteral(R"(WHERE c.status='pending' AND c.due_date > ? ORDER BY c.due_date)"),
        { Clock::todayText() });
}

QVariantList ChequeModel::getByType(const QString& type) const
{
    return select(QStringLiteral(R"(WHERE c.type=? ORDER BY c.due_date DESC)"), { type });
}

QVariantList ChequeModel::getByStatus(const QString& status) const
{
    return select(QStringLiteral(R"(WHERE c.status=? ORDER BY c.due_date)"), { status });
}

QVariantList ChequeModel::getPage(const QString& cut, int offset, int limit, const QString& search) const
{
    QStringList conditions;
    QVariantList params;
    if (cut == QLatin1String("received") || cut == QLatin1String("issued")) {
        conditions << QStringLiteral("c.type=?");
        params << cut;
    } else if (cut == QLatin1String("postdated")) {
        conditions << QStringLiteral("c.status='pending' AND c.due_date > ?");
        params << Clock::todayText();
    } else if (cut == QLatin1String("due")) {
        // What there is to collect, as the alerts count it: received cheques only (an issued one
        // is paid out), and none of an installment other money settled (it goes back to the buyer).
        conditions << QStringLiteral(R"(c.status='pending' AND c.type='received' AND c.due_date <= ?
            AND NOT EXISTS (SELECT 1 FROM installments si WHERE si.id = c.installment_id AND si.status = 'paid'))");
        params << Clock::todayText();
    } else if (cut != QLatin1String("all")) {
        qCWarning(lcCheques) << "no such cut of the register:" << cut;
        return {};
    }

    const QString pattern = ListPaging::containsPattern(search);
    if (!pattern.isEmpty()) {
        // Only columns of the cheque row are tested per row; names are matched once in sub-selects.
        conditions << QStringLiteral(
            R"((c.cheque_number LIKE ? ESCAPE '\' OR c.bank_name LIKE ? ESCAPE '\'
                OR c.payer_name LIKE ? ESCAPE '\' OR c.payee_name LIKE ? ESCAPE '\'
                OR c.due_date LIKE ? ESCAPE '\'
                OR c.buyer_id IN (SELECT id FROM buyers WHERE full_name LIKE ? ESCAPE '\')
                OR c.tenant_id IN (SELECT id FROM tenants WHERE full_name LIKE ? ESCAPE '\')
                OR c.installment_id IN (SELECT si.id FROM installments si
                                        JOIN units su ON si.unit_id=su.id
                                        JOIN properties sp ON su.property_id=sp.id
                                        WHERE su.unit_number LIKE ? ESCAPE '\' OR sp.name LIKE ? ESCAPE '\')))");
        for (int i = 0; i < 9; ++i)
            params << pattern;
    }
    params << ListPaging::limit(limit) << ListPaging::offset(offset);
    const QString where = conditions.isEmpty()
        ? QString()
        : QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND ")) + QLatin1Char(' ');
    return select(
        where + QStringLiteral("ORDER BY c.due_date DESC, c.id DESC LIMIT ? OFFSET ?"), params, true);
}

QVariantMap ChequeModel::getStatusTotals() const
{
    QVariantMap totals;
    for (const char* status : { "pending", "paid", "bounced" })
        totals.insert(QLatin1String(status),
            QVariantMap { { QStringLiteral("count"), 0 }, { QStringLiteral("total"), 0.0 } });
    // Pending means still to be collected: the office's own issued cheques are left out of it.
    const QVariantList rows = m_db->execQuery(QStringLiteral(
        R"(SELECT status, COUNT(*) as count, COALESCE(SUM(amount),0) as total FROM cheques
           WHERE status != 'pending' OR type = 'received' GROUP BY status)"));
    for (const QVariant& value : rows) {
        const QVariantMap row = value.toMap();
        totals.insert(row.value(QStringLiteral("status")).toString(),
            QVariantMap { { QStringLiteral("count"), row.value(QStringLiteral("count")).toInt() },
                { QStringLiteral("total"), row.value(QStringLiteral("total")).toDouble() } });
    }
    return totals;
}

int ChequeModel::add(const QString& num, const QString& type, double amount, const QString& bank,
    const QString& dueDate, const QString& payerPayee, int currId, double exchangeRate, int buyerId,
    int tenantId)
{
    // An infinite amount would poison every total of the register, a NaN one has no meaning, and
    // a cheque for nothing (or less) can be neither cashed nor returned.
    clearRefusal();
    if (!Money::isAmount(amount) || Money::toCents(amount) <= 0 || !std::isfinite(exchangeRate)) {
        qCWarning(lcCheques) << "refused cheque" << num << "of" << amount << "at rate" << exchangeRate;
        refuse(std::isfinite(exchangeRate)
                ? QStringLiteral("مبلغ الشيك يجب أن يكون أكبر من صفر وضمن الحد المسموح")
                : QStringLiteral("سعر الصرف غير صالح"));
        return -1;
    }
    amount = Money::roundToCents(amount);
    const QString payer = type == QLatin1String("received") ? text(payerPayee) : QStringLiteral("");
    const QString payee = type == QLatin1String("issued") ? text(payerPayee) : QStringLiteral("");
    const int id = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO cheques (cheque_number,type,amount,bank_name,issue_date,due_date,payer_name,payee_name,status,currency_id,buyer_id,tenant_id,notes) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?))"),
        { text(num), text(type), amount, text(bank), Clock::todayText(), text(dueDate), payer, payee,
            QStringLiteral("pending"), currId, link(buyerId), link(tenantId),
            QStringLiteral("exchange_rate=%1").arg(exchangeRate) });
    if (id <= 0) {
        qCWarning(lcCheques) << "could not record cheque" << num;
        refuseUnsaved();
        return -1;
    }
    emit dataChanged();
    return id;
}

bool ChequeModel::updateStatus(int id, const QString& status)
{
    if (!changeStatus(id, status)) {
        qCWarning(lcCheques) << "did not set cheque" << id << "to" << status << ":" << lastError();
        return false;
    }
    clearRefusal();
    emit dataChanged();
    return true;
}

bool ChequeModel::changeStatus(int id, const QString& status)
{
    static const QString notSaved = QStringLiteral("تعذر حفظ حالة الشيك، ولم يتغير شيء");
    const bool cashing = status == kCashed;
    if (!cashing && status != kBounced) {
        return refuse(QStringLiteral("حالة الشيك غير معروفة: %1").arg(status.left(40)));
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("cheques"), id)) {
        return refuse(notSaved);
    }
    const QVariantList rows = m_db->execQuery(
        QStringLiteral(R"(SELECT id, cheque_number, amount, status, installment_id FROM cheques WHERE id=?)"),
        { id });
    if (rows.isEmpty()) {
        return refuse(QStringLiteral("الشيك غير موجود في السجل"));
    }
    const QVariantMap cheque = rows.first().toMap();
    const QString number = cheque.value(QStringLiteral("cheque_number")).toString();
    const QString current = cheque.value(QStringLiteral("status")).toString();
    const bool paysAnInstallment = !cheque.value(QStringLiteral("installment_id")).isNull();

    // A cheque is cashed once, from pending; it bounces once, from pending or after it was cashed
    // (the bank returns it), and a returned cheque is never cashed.
    InstallmentCollection::Result moved { true, QString(), 0 };
    if (cashing) {
        if (current != kPending) {
            return refuse(current == kCashed
                    ? QStringLiteral("الشيك رقم %1 مصروف من قبل").arg(number)
                    : QStringLiteral("لا يمكن صرف الشيك رقم %1 لأنه ليس معلقاً").arg(number));
        }
        if (paysAnInstallment)
            moved = InstallmentCollection(m_db).cashCheque(cheque);
    } else {
        if (current != kPending && current != kCashed) {
            return refuse(QStringLiteral("الشيك رقم %1 مسجل مرتجعاً من قبل").arg(number));
        }
        if (current == kCashed && paysAnInstallment)
            moved = InstallmentCollection(m_db).takeBack(cheque);
    }
    if (!moved.ok) {
        return refuse(moved.refusal.isEmpty() ? notSaved : moved.refusal);
    }
    if (!m_db->execNonQuery(QStringLiteral(R"(UPDATE cheques SET status=? WHERE id=?)"), { status, id })
        || !transaction.commit()) {
        return refuse(notSaved);
    }
    return true;
}
