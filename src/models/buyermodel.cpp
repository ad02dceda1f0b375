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

BuyerModel::BuyerModel(Database* db, QObject* parent)
    : QObject(parent)
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
    if (name.trimmed().isEmpty()) {
        qCWarning(lcBuyers) << "refused a buyer without a name";
        return -1;
    }
    const int id = m_db->execInsert(
        QStringLiteral(R"(INSERT INTO buyers (full_name,id_number,phone,email,address) VALUES (?,?,?,?,?))"),
        { name, identityNumber(idNum), text(phone), text(email), text(addr) });
    if (id > 0)
        emit dataChanged();
    else
        qCWarning(lcBuyers) << "could not add buyer" << name;
    return id;
}

bool BuyerModel::update(int id, const QString& name, const QString& idNum, const QString& phone,
    const QString& email, const QString& addr)
{
    if (name.trimmed().isEmpty()) {
        qCWarning(lcBuyers) << "refused to clear the name of buyer" << id;
        return false;
    }
    const bool ok = m_db->execNonQuery(
        QStringLiteral(R"(UPDATE buyers SET full_name=?,id_number=?,phone=?,email=?,address=? WHERE id=?)"),
        { name, identityNumber(idNum), text(phone), text(email), text(addr), id });
    if (ok)
        emit dataChanged();
    else
        qCWarning(lcBuyers) << "could not update buyer" << id;
    return ok;
}

QVariantList BuyerModel::getStatement(int id) const
{
    return m_db->execQuery(
        QStringLiteral(
            R"(SELECT i.*, u.unit_number, p.name as property_name FROM installments i JOIN units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE i.buyer_id=? ORDER BY i.due_date)"),
        { id });
}
