#include "buyermodel.h"

#include "database.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcBuyers, "darvelinto.buyers")

// The identity number is UNIQUE: two buyers entered without one would collide on empty text,
// while any number of NULLs may coexist.
QVariant identityNumber(const QString& idNum)
{
    return idNum.trimmed().isEmpty() ? QVariant() : QVariant(idNum);
}

// A null QString binds as SQL NULL; optional texts are stored as empty text instead.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

bool BuyerModel::identityTaken(const QString& idNum, int exceptId) const
{
    const QVariant number = identityNumber(idNum);
    return !number.isNull()
        && m_db->scalar(
                   QStringLiteral("SELECT 1 FROM buyers WHERE id_number=? AND id!=?"), { number, exceptId })
               .isValid();
}

BuyerModel::BuyerModel(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{ }

QVariantList BuyerModel::getAll() const
{
    return m_db->execQuery(QStringLiteral(
        R"(SELECT b.*, (SELECT COUNT(*) FROM installments WHERE buyer_id=b.id) as installment_count FROM buyers b ORDER BY b.full_name)"));
}

int BuyerModel::add(const QString& name, const QString& idNum, const QString& phone, const QString& email,
    const QString& addr)
{
    clearRefusal();
    if (name.trimmed().isEmpty()) {
        qCWarning(lcBuyers) << "refused a buyer without a name";
        refuse(QStringLiteral("أدخل اسم المشتري"));
        return -1;
    }
    if (identityTaken(idNum, 0)) {
        refuse(QStringLiteral("رقم الهوية %1 مسجل لمشترٍ آخر").arg(idNum.trimmed()));
        return -1;
    }
    const int id = m_db->execInsert(
        QStringLiteral(R"(INSERT INTO buyers (full_name,id_number,phone,email,address) VALUES (?,?,?,?,?))"),
        { name, identityNumber(idNum), text(phone), text(email), text(addr) });
    if (id <= 0) {
        qCWarning(lcBuyers) << "could not add buyer" << name;
        refuseUnsaved();
        return -1;
    }
    emit dataChanged();
    return id;
}

bool BuyerModel::update(int id, const QString& name, const QString& idNum, const QString& phone,
    const QString& email, const QString& addr)
{
    clearRefusal();
    if (name.trimmed().isEmpty()) {
        qCWarning(lcBuyers) << "refused to clear the name of buyer" << id;
        return refuse(QStringLiteral("أدخل اسم المشتري"));
    }
    if (identityTaken(idNum, id))
        return refuse(QStringLiteral("رقم الهوية %1 مسجل لمشترٍ آخر").arg(idNum.trimmed()));
    const bool ok = m_db->execNonQuery(
        QStringLiteral(R"(UPDATE buyers SET full_name=?,id_number=?,phone=?,email=?,address=? WHERE id=?)"),
        { name, identityNumber(idNum), text(phone), text(email), text(addr), id });
    if (!ok) {
        qCWarning(lcBuyers) << "could not update buyer" << id;
        return refuseUnsaved();
    }
    emit dataChanged();
    return true;
}

QVariantList BuyerModel::getStatement(int id) const
{
    return m_db->execQuery(
        QStringLiteral(
            R"(SELECT i.*, u.unit_number, p.name as property_name FROM installments i JOIN units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE i.buyer_id=? ORDER BY i.due_date)"),
        { id });
}
