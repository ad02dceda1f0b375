#include "maintenancemodel.h"

#include "database.h"

MaintenanceModel::MaintenanceModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
