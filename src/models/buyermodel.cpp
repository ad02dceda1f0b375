#include "buyermodel.h"

#include "database.h"

BuyerModel::BuyerModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
