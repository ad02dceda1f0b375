#include "notificationcontroller.h"

#include "database.h"

NotificationController::NotificationController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
