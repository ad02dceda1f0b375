#pragma once

#include <QLockFile>
#include <QString>

/**
 * Keeps a second copy of the program away from a data folder that is already in use, so two
 * processes never write the same database file. A lock left by a crashed process is taken over.
 */
class InstanceLock
{
public:
    explicit InstanceLock(const QString& dataDir);

    /** True when this process now owns the data folder. */
    [[nodiscard]] bool acquire();

    /**
     * After a failed acquire(): true when a running copy holds the folder, false when the folder
     * refused the lock file itself (read-only, full, gone).
     */
    bool isHeldByAnotherCopy() const { return m_lock.error() == QLockFile::LockFailedError; }

    /** Tells the user, in Arabic, that the program is already running (a dialog on a real screen). */
    static void reportAlreadyRunning();

private:
    QLockFile m_lock;
};
