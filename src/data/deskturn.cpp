#include "deskturn.h"

#include "database.h"

DeskTurn::DeskTurn(Database* db, Run run)
    : m_db(db)
    , m_run(run)
    , m_onServer(db->isServer())
{
    // A lock of the connection, not of a transaction: the run commits invoice by invoice.
    m_held = !m_onServer
        || m_db->execNonQuery(QStringLiteral("SELECT pg_advisory_lock(?)"), { static_cast<qint64>(m_run) });
}

DeskTurn::~DeskTurn()
{
    if (m_onServer && m_held)
        m_db->execNonQuery(QStringLiteral("SELECT pg_advisory_unlock(?)"), { static_cast<qint64>(m_run) });
}
