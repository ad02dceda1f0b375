#include "dashboardcontroller.h"

#include "database.h"

DashboardController::DashboardController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
