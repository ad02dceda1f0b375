#include "importcontroller.h"

#include "database.h"

ImportController::ImportController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
