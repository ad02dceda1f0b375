#include "contractmodel.h"

#include "database.h"

ContractModel::ContractModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
