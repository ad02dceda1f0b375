#include "simulatedclock.h"

#include "clock.h"

#include <QDateTime>
#include <sqlite3.h>

namespace {

// SQLite counts time in milliseconds since the Julian epoch; this is the Unix epoch on that scale.
constexpr sqlite3_int64 kUnixEpochJulianMs = 210866760000000LL;
constexpr qint64 kDayStartMs = 9 * 3600 * 1000LL;
constexpr qint64 kDayEndMs = 20 * 3600 * 1000LL;
constexpr qint64 kStepMs = 1000;

sqlite3_vfs g_shim;
sqlite3_vfs* g_real = nullptr;
bool g_simulating = false;
QDate g_day;
qint64 g_dayMs = 0; // milliseconds since the Unix epoch at midnight of g_day
qint64 g_offsetMs = 0; // time of day, moving on with each question

int currentTimeInt64(sqlite3_vfs*, sqlite3_int64* out)
{
    if (!g_simulating)
        return g_real->xCurrentTimeInt64(g_real, out);
    *out = kUnixEpochJulianMs + g_dayMs + g_offsetMs;
    if (g_offsetMs + kStepMs < kDayEndMs)
        g_offsetMs += kStepMs;
    return SQLITE_OK;
}

int currentTime(sqlite3_vfs* vfs, double* out)
{
    sqlite3_int64 ms = 0;
    const int rc = currentTimeInt64(vfs, &ms);
    *out = static_cast<double>(ms) / 86400000.0;
    return rc;
}

// Everything but the clock goes to the system VFS, with the system VFS as its own argument.
int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    return g_real->xOpen(g_real, name, file, flags, outFlags);
}
int remove(sqlite3_vfs*, const char* name, int syncDir)
{
    return g_real->xDelete(g_real, name, syncDir);
}
int access(sqlite3_vfs*, const char* name, int flags, int* result)
{
    return g_real->xAccess(g_real, name, flags, result);
}
int fullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    return g_real->xFullPathname(g_real, name, size, out);
}
void* dlOpen(sqlite3_vfs*, const char* name)
{
    return g_real->xDlOpen(g_real, name);
}
void dlError(sqlite3_vfs*, int size, char* out)
{
    g_real->xDlError(g_real, size, out);
}
void (*dlSym(sqlite3_vfs*, void* handle, const char* symbol))(void)
{
    return g_real->xDlSym(g_real, handle, symbol);
}
void dlClose(sqlite3_vfs*, void* handle)
{
    g_real->xDlClose(g_real, handle);
}
int randomness(sqlite3_vfs*, int size, char* out)
{
    return g_real->xRandomness(g_real, size, out);
}
int sleep(sqlite3_vfs*, int microseconds)
{
    return g_real->xSleep(g_real, microseconds);
}
int lastError(sqlite3_vfs*, int size, char* out)
{
    return g_real->xGetLastError ? g_real->xGetLastError(g_real, size, out) : 0;
}
int setSystemCall(sqlite3_vfs*, const char* name, sqlite3_syscall_ptr call)
{
    return g_real->xSetSystemCall(g_real, name, call);
}
sqlite3_syscall_ptr getSystemCall(sqlite3_vfs*, const char* name)
{
    return g_real->xGetSystemCall(g_real, name);
}
const char* nextSystemCall(sqlite3_vfs*, const char* name)
{
    return g_real->xNextSystemCall(g_real, name);
}

} // namespace

bool SimulatedClock::install()
{
    if (g_real)
        return true;
    g_real = sqlite3_vfs_find(nullptr);
    // The unix VFS of SQLite 3.7 and later has every entry point of version 3.
    if (!g_real || g_real->iVersion < 3 || !g_real->xCurrentTimeInt64)
        return false;
    g_shim = sqlite3_vfs {};
    g_shim.iVersion = 3;
    g_shim.szOsFile = g_real->szOsFile;
    g_shim.mxPathname = g_real->mxPathname;
    g_shim.zName = "darvelinto-simulated-clock";
    g_shim.xOpen = open;
    g_shim.xDelete = remove;
    g_shim.xAccess = access;
    g_shim.xFullPathname = fullPathname;
    g_shim.xDlOpen = dlOpen;
    g_shim.xDlError = dlError;
    g_shim.xDlSym = dlSym;
    g_shim.xDlClose = dlClose;
    g_shim.xRandomness = randomness;
    g_shim.xSleep = sleep;
    g_shim.xCurrentTime = currentTime;
    g_shim.xGetLastError = lastError;
    g_shim.xCurrentTimeInt64 = currentTimeInt64;
    g_shim.xSetSystemCall = setSystemCall;
    g_shim.xGetSystemCall = getSystemCall;
    g_shim.xNextSystemCall = nextSystemCall;
    return sqlite3_vfs_register(&g_shim, 1) == SQLITE_OK;
}

void SimulatedClock::setDay(const QDate& day)
{
    Clock::setToday(day);
    g_simulating = true;
    if (day == g_day)
        return;
    g_day = day;
    g_dayMs = QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    g_offsetMs = kDayStartMs;
}

void SimulatedClock::release()
{
    Clock::setToday(QDate());
    g_simulating = false;
    g_day = QDate();
}
