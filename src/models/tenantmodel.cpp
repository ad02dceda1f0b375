#include "tenantmodel.h"

#include "database.h"

TenantModel::TenantModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
