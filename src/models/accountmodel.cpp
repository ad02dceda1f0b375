#include "accountmodel.h"

#include "database.h"

AccountModel::AccountModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
