#include "settingsmanager.h"

#include "database.h"

SettingsManager::SettingsManager(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
