#include "authcontroller.h"

#include "database.h"

AuthController::AuthController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
