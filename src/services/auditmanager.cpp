#include "auditmanager.h"

#include "database.h"

AuditManager::AuditManager(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
