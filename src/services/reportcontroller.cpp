#include "reportcontroller.h"

#include "database.h"

ReportController::ReportController(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
