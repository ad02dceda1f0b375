#include "installmentmodel.h"

#include "bookkeeper.h"
#include "clock.h"
#include "database.h"
#include "installmentcollection.h"
#include "listpaging.h"
#include "money.h"
#include "receiptbook.h"
#include "transactionguard.h"
#include "unitcostcenter.h"

#include <QDate>
#include <QLoggingCategory>
#include <algorithm>
#include <limits>

namespace {

Q_LOGGING_CATEGORY(lcSales, "darvelinto.sales")

// A hundred years of monthly installments; a mistyped count must not write millions of rows.
constexpr int kMaxInstallments = 1200;

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kSold = QStringLiteral("sold");
const QString kOutOfService = QStringLiteral("maintenance");
const QString kCash = QStringLiteral("cash");

// Only the canonical form of a year from 1 on ("-2025-01-31" parses): the text is also stored,
// compared as text by the overdue lists and grouped by month in the reports.
QDate isoDate(const QString& text)
{
    const QDate date = QDate::fromString(text, kDateFormat);
    return date.isValid() && date.year() > 0 && date.toString(kDateFormat) == text ? date : QDate();
}

// A null QString binds as SQL NULL; these columns hold empty text when there is nothing.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

bool rowExists(Database* db, const QString& sql, int id)
{
    return db->scalar(sql, { id }).isValid();
}

/**
 * Amounts of an N-installment schedule for a remainder of `cents` hundredths: every installment
 * but the last gets cents / N cut down to whole hundredths, the last carries the rest so that the
 * schedule adds up to the remainder exactly. Counted in 64 bits: a share above 21,474,836.47 would
 * wrap a 32-bit count.
 */
QList<double> scheduleAmounts(qint64 cents, int count)
{
    const qint64 base = cents / count;
    QList<double> amounts;
    amounts.reserve(count);
    for (int i = 0; i < count - 1; ++i)
        amounts.append(Money::fromCents(base));
    amounts.append(Money::fromCents(cents - base * (count - 1)));
    return amounts;
}

/**
 * Cheque number of installment `index`. A positive number starts a book whose numbers run on
 * (keeping the leading zeros printed on it); anything else names the first cheque only.
 */
QString chequeNumber(const QString& first, int index, int count)
{
    bool isNumber = false;
    const qint64 start = first.toLongLong(&isNumber);
    const bool runsOn = isNumber && start > 0 && start <= std::numeric_limits<qint64>::max() - count;
    if (!runsOn)
        return index == 0 ? text(first) : QStringLiteral("");
    const QString digits = first.trimmed();
    const int width = digits.startsWith(QLatin1Char('0')) ? int(digits.size()) : 0;
    return QStringLiteral("%1").arg(start + index, width, 10, QLatin1Char('0'));
}

struct Sale
{
    int buyerId = 0;
    int unitId = 0;
    double totalPrice = 0;
    double downPayment = 0;
    QString saleDate;
    QDate start;
    int currencyId = 0;
    QString firstCheque;
    QString bankName;
    QString unitNumber;
    QVariant costCenter;
};

bool writeDownPayment(Database* db, const Sale& sale)
{
    // The flag, not the notes, tells the project figures that this is the sale's down payment.
    static const QString notes = QStringLiteral("دفعة مقدمة / بيع وحدة: ");
    const int id = db->execInsert(
        QStringLiteral(
            R"(INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, currency_id, cost_center_id, notes, is_down_payment) VALUES (?,?,?,?,?,?,?,?,1))"),
        { sale.buyerId, sale.unitId, sale.downPayment, kCash, sale.saleDate, sale.currencyId, sale.costCenter,
            notes + sale.unitNumber });
    // Its receipt shows what is left of the price after it.
    return id > 0
        && ReceiptBook(db).issue(
               id, Money::fromCents(Money::toCents(sale.totalPrice) - Money::toCents(sale.downPayment)))
        > 0;
}

bool writeScheduleCheque(Database* db, const Sale& sale, int installmentId, const QString& number,
    double amount, const QString& dueDate)
{
    const int id = db->execInsert(
        QStringLiteral(
            R"(INSERT INTO cheques (cheque_number,type,amount,bank_name,issue_date,due_date,payer_name,status,buyer_id,installment_id,currency_id,notes) VALUES (?,?,?,?,?,?,?,?,?,?,?,?))"),
        { number, QStringLiteral("received"), amount, text(sale.bankName), sale.saleDate, dueDate, QVariant(),
            QStringLiteral("pending"), sale.buyerId, installmentId, sale.currencyId,
            QStringLiteral("شيك مرتبط بجدول بيع الوحدة %1").arg(sale.unitNumber) });
    return id > 0;
}

bool writeSchedule(Database* db, const Sale& sale, qint64 remainderCents, int count)
{
    const QList<double> amounts = scheduleAmounts(remainderCents, count);
    for (int i = 0; i < count; ++i) {
        // Months are added to the start date, not to the previous due date, so a schedule begun
        // on the 31st comes back to the 31st after a short month.
        const QString dueDate = sale.start.addMonths(i).toString(kDateFormat);
        const QString number = chequeNumber(sale.firstCheque, i, count);
        const int installmentId = db->execInsert(
            QStringLiteral(
                R"(INSERT INTO installments (buyer_id,unit_id,total_price,down_payment,installment_amount,due_date,currency_id,cheque_number,bank_name) VALUES (?,?,?,?,?,?,?,?,?))"),
            { sale.buyerId, sale.unitId, sale.totalPrice, sale.downPayment, amounts.at(i), dueDate,
                sale.currencyId, number, text(sale.bankName) });
        if (installmentId <= 0)
            return false;
        if (!number.isEmpty()
            && !writeScheduleCheque(db, sale, installmentId, number, amounts.at(i), dueDate))
            return false;
    }
    return true;
}

bool writeAudit(Database* db, int userId, const QString& action, const QString& table, int recordId,
    const QString& details)
{
    return db->execNonQuery(
        QStringLiteral(
            R"(INSERT INTO audit_logs (user_id, action, table_name, record_id, details) VALUES (?,?,?,?,?))"),
        { userId > 0 ? QVariant(userId) : QVariant(), action, table, recordId, details });
}

} // namespace

InstallmentModel::InstallmentModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList InstallmentModel::getAll() const
{
    return m_db->execQuery(QStringLiteral(
        R"(SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as property_name FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id ORDER BY i.due_date)"));
}

QVariantList InstallmentModel::getOverdue() const
{
    // Today comes from the clock, not the database, so the list agrees with the rest of the
    // program (and with a pinned date in tests): an installment due today is not overdue yet.
    return m_db->execQuery(
        QStringLiteral(
            R"(SELECT i.*, b.full_name as buyer_name, u.unit_number FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id WHERE i.status!='paid' AND i.due_date < ? ORDER BY i.due_date)"),
        { Clock::todayText() });
}

QVariantList InstallmentModel::getByBuyer(int buyerId) const
{
    return m_db->execQuery(
        QStringLiteral(
            R"(SELECT i.*, u.unit_number, p.name as property_name FROM installments i JOIN units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE i.buyer_id=? ORDER BY i.due_date)"),
        { buyerId });
}

QVariantList InstallmentModel::getPage(int buyerId, int offset, int limit, const QString& search) const
{
    QStringList conditions;
    QVariantList params;
    if (buyerId > 0) {
        conditions << QStringLiteral("i.buyer_id=?");
        params << buyerId;
    }
    const QString pattern = ListPaging::containsPattern(search);
    if (!pattern.isEmpty()) {
        // Only columns of the installment row are tested per row; names are matched once in sub-selects.
        conditions << QStringLiteral(
            R"((i.due_date LIKE ? ESCAPE '\' OR i.cheque_number LIKE ? ESCAPE '\' OR i.bank_name LIKE ? ESCAPE '\'
                OR i.buyer_id IN (SELECT id FROM buyers WHERE full_name LIKE ? ESCAPE '\')
                OR i.unit_id IN (SELECT su.id FROM units su JOIN properties sp ON su.property_id=sp.id
                                 WHERE su.unit_number LIKE ? ESCAPE '\' OR sp.name LIKE ? ESCAPE '\')))");
        for (int i = 0; i < 6; ++i)
            params << pattern;
    }
    params << ListPaging::limit(limit) << ListPaging::offset(offset);
    const QString where = conditions.isEmpty()
        ? QString()
        : QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND ")) + QLatin1Char(' ');
    return m_db->execQuery(
        QStringLiteral(
            R"(SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as property_name FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id )")
            + where + QStringLiteral("ORDER BY i.due_date DESC, i.id DESC LIMIT ? OFFSET ?"),
        params);
}

int InstallmentModel::add(
    int buyerId, int unitId, double total, double down, double amount, const QString& dueDate, int cid)
{
    clearRefusal();
    // Money is kept in whole hundredths; an amount that rounds to nothing is no installment.
    if (!Money::isAmount(total) || !Money::isAmount(down) || !Money::isAmount(amount)
        || Money::toCents(amount) <= 0) {
        qCWarning(lcSales) << "refused an installment of" << amount << "for buyer" << buyerId;
        return refuseRow(QStringLiteral("مبلغ القسط يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
    }
    total = Money::roundToCents(total);
    down = Money::roundToCents(down);
    amount = Money::roundToCents(amount);
    if (!isoDate(dueDate).isValid()) {
        qCWarning(lcSales) << "refused an installment due on" << dueDate;
        return refuseRow(QStringLiteral("تاريخ الاستحقاق يُكتب بالشكل YYYY-MM-DD"));
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive()) {
        qCWarning(lcSales) << "could not begin a transaction to add an installment";
        return refuseUnsavedRow();
    }
    const QVariantMap added
        = m_db->execQuery(
                  QStringLiteral(
                      R"(INSERT INTO installments (buyer_id,unit_id,total_price,down_payment,installment_amount,due_date,currency_id,added_by_hand) VALUES (?,?,?,?,?,?,?,1) RETURNING id, created_at)"),
                  { buyerId, unitId, total, down, amount, dueDate, cid })
              .value(0)
              .toMap();
    const int id = added.value(QStringLiteral("id")).toInt();
    if (id <= 0)
        return refuseUnsavedRow();
    if (!m_db->execNonQuery(QStringLiteral(R"(UPDATE buyers SET balance=ROUND(balance+?, 2) WHERE id=?)"),
            { amount, buyerId }))
        return refuseUnsavedRow();
    const BookKeeper::Result posted = BookKeeper(m_db).postAddedInstallment(id,
        BookKeeper::localDayOf(added.value(QStringLiteral("created_at")).toString()), cid,
        Money::toCents(amount));
    if (!posted.ok) {
        qCWarning(lcSales) << "installment of buyer" << buyerId << "not posted:" << posted.refusal;
        return posted.refusal.isEmpty() ? refuseUnsavedRow() : refuseRow(posted.refusal);
    }
    if (!transaction.commit())
        return refuseUnsavedRow();
    emit dataChanged();
    return id;
}

bool InstallmentModel::payInstallment(int id, double amount)
{
    clearRefusal();
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("installments"), id)) {
        qCWarning(lcSales) << "could not begin a transaction to collect installment" << id;
        return refuseUnsaved();
    }
    const InstallmentCollection::Result collected = InstallmentCollection(m_db).collect(id, amount);
    if (!collected.ok) {
        qCWarning(lcSales) << "did not collect" << amount << "on installment" << id << collected.refusal;
        return collected.refusal.isEmpty() ? refuseUnsaved() : refuse(collected.refusal);
    }
    if (!transaction.commit()) {
        qCWarning(lcSales) << "could not commit the collection of installment" << id;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

int InstallmentModel::sellUnit(int buyerId, int unitId, double totalPrice, double downPayment,
    int numInstallments, const QString& startDate, int currId, const QString& startCheque,
    const QString& bankName)
{
    clearRefusal();
    const int sold = sell(
        buyerId, unitId, totalPrice, downPayment, numInstallments, startDate, currId, startCheque, bankName);
    if (sold < 0)
        keepRefusedSale(unitId);
    return sold;
}

void InstallmentModel::keepRefusedSale(int unitId)
{
    // Written after the sale's transaction was rolled back, on its own: the refusal is kept even
    // though nothing of the sale is.
    if (m_actingUserId <= 0)
        return;
    if (!writeAudit(m_db, m_actingUserId, QStringLiteral("خطأ"), QStringLiteral("units"), std::max(unitId, 0),
            QStringLiteral("فشل البيع: ") + lastError()))
        qCWarning(lcSales) << "could not keep the refused sale of unit" << unitId << "in the audit log";
}

int InstallmentModel::sell(int buyerId, int unitId, double totalPrice, double downPayment,
    int numInstallments, const QString& startDate, int currId, const QString& startCheque,
    const QString& bankName)
{
    Sale sale;
    sale.buyerId = buyerId;
    sale.unitId = unitId;
    sale.saleDate = startDate;
    sale.start = isoDate(startDate);
    sale.currencyId = currId;
    sale.firstCheque = startCheque;
    sale.bankName = bankName;

    // A down payment above the price would leave the buyer owing a negative remainder.
    if (!Money::isAmount(totalPrice) || !Money::isAmount(downPayment) || Money::toCents(totalPrice) <= 0
        || Money::toCents(downPayment) < 0 || Money::toCents(downPayment) > Money::toCents(totalPrice)) {
        qCWarning(lcSales) << "refused a sale of unit" << unitId << "at" << totalPrice << "with"
                           << downPayment << "down";
        if (!Money::isAmount(totalPrice) || Money::toCents(totalPrice) <= 0)
            return refuseRow(QStringLiteral("سعر البيع يجب أن يكون أكبر من صفر وضمن الحد المسموح"));
        if (!Money::isAmount(downPayment) || Money::toCents(downPayment) < 0)
            return refuseRow(QStringLiteral("الدفعة الأولى مبلغ من صفر فأكثر ضمن الحد المسموح"));
        return refuseRow(QStringLiteral("الدفعة الأولى أكبر من سعر البيع"));
    }
    // Everything the sale writes is in whole hundredths, so its rows add up to the price exactly.
    totalPrice = Money::roundToCents(totalPrice);
    downPayment = Money::roundToCents(downPayment);
    sale.totalPrice = totalPrice;
    sale.downPayment = downPayment;
    // The date goes on the unit, the down payment and every due date; the reports group and
    // compare it as text.
    if (!sale.start.isValid()) {
        qCWarning(lcSales) << "refused a sale of unit" << unitId << "dated" << startDate;
        return refuseRow(QStringLiteral("تاريخ البيع يُكتب بالشكل YYYY-MM-DD"));
    }
    const qint64 remainderCents = Money::toCents(totalPrice) - Money::toCents(downPayment);
    const bool scheduled = remainderCents > 0;
    const int count = numInstallments > 0 ? numInstallments : 1;
    if (scheduled && count > kMaxInstallments) {
        qCWarning(lcSales) << "refused a sale of unit" << unitId << "over" << numInstallments
                           << "installments";
        return refuseRow(QStringLiteral("عدد الأقساط حتى %1").arg(kMaxInstallments));
    }
    // An installment of less than a cent can be neither paid nor shown; 0.10 over 12 is refused.
    if (scheduled && remainderCents < count) {
        qCWarning(lcSales) << "refused a sale of unit" << unitId << "spreading"
                           << Money::fromCents(remainderCents) << "over" << count << "installments";
        return refuseRow(QStringLiteral("القسط أقل من سنت واحد، قلل عدد الأقساط"));
    }
    // Due dates are stored and compared as "yyyy-MM-dd" text: a schedule running past the year
    // 9999 would write five-digit years, which sort before every other date.
    if (scheduled && sale.start.addMonths(count - 1).year() > 9999) {
        qCWarning(lcSales) << "refused a sale of unit" << unitId << "whose schedule ends after 9999";
        return refuseRow(QStringLiteral("جدول الأقساط يتجاوز سنة 9999"));
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive() || !m_db->lockRow(QStringLiteral("units"), unitId)) {
        qCWarning(lcSales) << "could not begin a transaction to sell unit" << unitId;
        return refuseUnsavedRow();
    }
    const QVariantList units
        = m_db->execQuery(QStringLiteral(R"(SELECT status, unit_number FROM units WHERE id=?)"), { unitId });
    const QString unitStatus = units.value(0).toMap().value(QStringLiteral("status")).toString();
    if (units.isEmpty() || unitStatus == kSold || unitStatus == kOutOfService) {
        qCInfo(lcSales) << "unit" << unitId << "is missing, already sold or out of service";
        if (units.isEmpty())
            return refuseRow(QStringLiteral("الوحدة غير موجودة"));
        const QString number = units.first().toMap().value(QStringLiteral("unit_number")).toString();
        return refuseRow(unitStatus == kSold ? QStringLiteral("الوحدة %1 مباعة من قبل").arg(number)
                                             : QStringLiteral("الوحدة %1 خارج الخدمة").arg(number));
    }
    if (!rowExists(m_db, QStringLiteral(R"(SELECT 1 FROM buyers WHERE id=?)"), buyerId)
        || !rowExists(m_db, QStringLiteral(R"(SELECT 1 FROM currencies WHERE id=?)"), currId)) {
        qCWarning(lcSales) << "refused a sale of unit" << unitId << "to buyer" << buyerId << "in currency"
                           << currId;
        return refuseRow(rowExists(m_db, QStringLiteral(R"(SELECT 1 FROM buyers WHERE id=?)"), buyerId)
                ? QStringLiteral("العملة غير موجودة")
                : QStringLiteral("المشتري غير موجود"));
    }
    sale.unitNumber = units.first().toMap().value(QStringLiteral("unit_number")).toString();
    sale.costCenter = unitCostCenterId(m_db, unitId);

    if (!m_db->execNonQuery(
            QStringLiteral(
                R"(UPDATE units SET status='sold', buyer_id=?, sale_price_actual=?, sale_date=? WHERE id=?)"),
            { buyerId, totalPrice, startDate, unitId }))
        return refuseUnsavedRow();
    if (downPayment > 0 && !writeDownPayment(m_db, sale))
        return refuseUnsavedRow();
    if (scheduled && !writeSchedule(m_db, sale, remainderCents, count))
        return refuseUnsavedRow();
    if (!m_db->execNonQuery(QStringLiteral(R"(UPDATE buyers SET balance=ROUND(balance+?, 2) WHERE id=?)"),
            { Money::fromCents(remainderCents), buyerId }))
        return refuseUnsavedRow();
    QList<qint64> owed;
    if (scheduled) {
        for (const double amount : scheduleAmounts(remainderCents, count))
            owed.append(Money::toCents(amount));
    }
    const BookKeeper::Result posted = BookKeeper(m_db).postSale(
        unitId, sale.unitNumber, startDate, currId, Money::toCents(downPayment), owed);
    if (!posted.ok) {
        qCWarning(lcSales) << "sale of unit" << unitId << "not posted:" << posted.refusal;
        return posted.refusal.isEmpty() ? refuseUnsavedRow() : refuseRow(posted.refusal);
    }
    const QString details = QStringLiteral("تم بيع الوحدة %1 بمبلغ %2 (دفعة: %3, شيكات: %4)")
                                .arg(sale.unitNumber, QStringLiteral("%1").arg(totalPrice),
                                    QStringLiteral("%1").arg(downPayment), QString::number(numInstallments));
    if (!writeAudit(
            m_db, m_actingUserId, QStringLiteral("بيع وحدة"), QStringLiteral("units"), unitId, details))
        return refuseUnsavedRow();
    if (!transaction.commit()) {
        qCWarning(lcSales) << "could not commit the sale of unit" << unitId;
        return refuseUnsavedRow();
    }
    emit dataChanged();
    return 1;
}
