#include "backupmanager.h"

BackupManager::BackupManager(const QString& dataDir, QObject* parent)
    : QObject(parent)
    , m_dataDir(dataDir)
{
}
