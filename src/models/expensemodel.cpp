#include "expensemodel.h"

#include "bookkeeper.h"
#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcExpenses, "darvelinto.expenses")

namespace {

QVariant idOrNull(int id)
{
    return id > 0 ? QVariant(id) : QVariant();
}

} // namespace

ExpenseModel::ExpenseModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList ExpenseModel::getAll()
{
    return m_db->execQuery(QStringLiteral(
        R"(SELECT e.*, p.name as property_name, u.unit_number, c.name as contractor_name
           FROM expenses e
           LEFT JOIN properties p ON e.property_id=p.id
           LEFT JOIN units u ON e.unit_id=u.id
           LEFT JOIN contractors c ON e.contractor_id=c.id
           ORDER BY e.expense_date DESC)"));
}

int ExpenseModel::add(int propId, int unitId, int contractorId, const QString& cat, const QString& workCat,
    const QString& desc, double amount, const QString& date, int currId)
{
    // Expense dates are compared as text; a year before 1 ("-2025-03-15" parses) would sort first.
    const QDate spent = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    // Kept in whole hundredths, like the contractor's running balance it adds to.
    if (cat.trimmed().isEmpty() || !Money::isAmount(amount) || Money::toCents(amount) <= 0 || !spent.isValid()
        || spent.year() < 1) {
        qCWarning(lcExpenses) << "refused an expense of" << amount << "dated" << date << "in" << cat;
        return -1;
    }
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return -1;
    // contractor_id carries no foreign key: an unknown contractor would take the expense while
    // no balance moves.
    if (contractorId > 0
        && !m_db->scalar(QStringLiteral("SELECT 1 FROM contractors WHERE id=?"), { contractorId }).isValid())
        return -1;
    // The unit's own node of the cost-centre tree, not the unit id: the two only look alike.
    const QVariant costCenter = unitId > 0
        ? m_db->scalar(
            QStringLiteral("SELECT id FROM cost_centers WHERE unit_id=? AND type='unit' ORDER BY id LIMIT 1"),
            { unitId })
        : QVariant();
    const int id = m_db->execInsert(
        QStringLiteral(
            R"(INSERT INTO expenses (property_id,unit_id,contractor_id,category,work_category,description,
                                                amount,expense_date,currency_id,project_id,cost_center_id)
                          VALUES (?,?,?,?,?,?,?,?,?,?,?))"),
        { propId, idOrNull(unitId), idOrNull(contractorId), cat, workCat, desc, Money::roundToCents(amount),
            date, currId, propId, costCenter.isValid() ? costCenter : QVariant() });
    if (id <= 0)
        return -1;
    if (contractorId > 0
        && !m_db->execNonQuery(QStringLiteral("UPDATE contractors SET balance=")
                + Money::movedByCentsSql("balance") + QStringLiteral(" WHERE id=?"),
            { Money::toCents(amount), contractorId }))
        return -1;
    // Work a contractor did is owed to the contractor; anything else was paid at once.
    const BookKeeper::Result posted = BookKeeper(m_db).postExpense(id, date, currId, Money::toCents(amount),
        cat, BookKeeper::isMaintenanceExpense(cat, false), contractorId > 0);
    if (!posted.ok) {
        qCWarning(lcExpenses) << "expense not posted:" << posted.refusal;
        return posted.refusal.isEmpty() ? refuseUnsavedRow() : refuseRow(posted.refusal);
    }
    if (!transaction.commit())
        return -1;
    emit dataChanged();
    return id;
}

QVariantList ExpenseModel::getByProperty(int propId)
{
    return m_db->execQuery(
        QStringLiteral("SELECT * FROM expenses WHERE property_id=? ORDER BY expense_date DESC"), { propId });
}

double ExpenseModel::getTotal(int propId)
{
    const QVariant total = propId < 0
        ? m_db->scalar(QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses"))
        : m_db->scalar(
            QStringLiteral("SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=?"),
            { propId });
    return total.toDouble();
}

QVariantList ExpenseModel::getContractors()
{
    return m_db->execQuery(QStringLiteral("SELECT * FROM contractors ORDER BY name"));
}

int ExpenseModel::addContractor(const QString& name, const QString& phone, const QString& trade)
{
    clearRefusal();
    if (name.trimmed().isEmpty()) {
        qCWarning(lcExpenses) << "refused a contractor without a name";
        return refuseRow(QStringLiteral("أدخل اسم المورد"));
    }
    const int id = m_db->execInsert(
        QStringLiteral("INSERT INTO contractors (name,phone,trade) VALUES (?,?,?)"), { name, phone, trade });
    if (id <= 0)
        return refuseUnsavedRow();
    emit dataChanged();
    return id;
}

QVariantList ExpenseModel::getContractorExpenses(int contractorId)
{
    return m_db->execQuery(QStringLiteral(
                               R"(SELECT e.*, p.name as property_name FROM expenses e
                                  LEFT JOIN properties p ON e.property_id=p.id
                                  WHERE e.contractor_id=? ORDER BY e.expense_date DESC)"),
        { contractorId });
}
