#include "transactionguard.h"

#include "database.h"

TransactionGuard::TransactionGuard(Database* db)
    : m_db(db)
    , m_active(db && db->beginTransaction())
{
}

TransactionGuard::~TransactionGuard()
{
    rollback();
}

bool TransactionGuard::commit()
{
    if (!m_active)
        return false;
    if (!m_db->commitTransaction()) {
        rollback();
        return false;
    }
    m_active = false;
    return true;
}

void TransactionGuard::rollback()
{
    if (!m_active)
        return;
    m_db->rollbackTransaction();
    m_active = false;
}
