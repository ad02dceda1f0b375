#include "sqlfloor.h"

#include <sqlite3.h>
#include <time.h>

namespace {

bool g_recording = false;
QStringList g_statements;

int onTrace(unsigned type, void*, void* statement, void*)
{
    if (type != SQLITE_TRACE_STMT || !g_recording)
        return 0;
    auto* stmt = static_cast<sqlite3_stmt*>(statement);
    char* text = sqlite3_expanded_sql(stmt);
    if (text) {
        const QString sql = QString::fromUtf8(text).trimmed();
        // BEGIN, COMMIT and the like are the transaction, not the query being measured.
        if (!sql.startsWith(QLatin1String("--")))
            g_statements.append(sql);
        sqlite3_free(text);
    }
    return 0;
}

int onOpen(sqlite3* db, const char**, const sqlite3_api_routines*)
{
    SqlRecorder::attach(db);
    return SQLITE_OK;
}

} // namespace

void SqlRecorder::installOnNewConnections()
{
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(onOpen));
}

void SqlRecorder::attach(sqlite3* handle)
{
    sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, onTrace, nullptr);
}

void SqlRecorder::start()
{
    g_statements.clear();
    g_recording = true;
}

QStringList SqlRecorder::stop()
{
    g_recording = false;
    return std::exchange(g_statements, {});
}

SqlFloor::SqlFloor(const QString& path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    // The program's own connection settings, so both sides read the file the same way.
    sqlite3_exec(m_db,
        "PRAGMA journal_mode=WAL; PRAGMA foreign_keys=ON; PRAGMA synchronous=NORMAL; "
        "PRAGMA cache_size=-64000;",
        nullptr, nullptr, nullptr);
}

SqlFloor::~SqlFloor()
{
    finalizeAll();
    if (m_db)
        sqlite3_close(m_db);
}

void SqlFloor::finalizeAll()
{
    for (sqlite3_stmt* statement : m_statements)
        sqlite3_finalize(statement);
    m_statements.clear();
}

int SqlFloor::prepare(const QStringList& statements)
{
    finalizeAll();
    int skipped = 0;
    for (const QString& sql : statements) {
        sqlite3_stmt* statement = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &statement, nullptr)
            != SQLITE_OK) {
            // A statement that did not compile did not run in the program either (a schema step
            // that finds its column already there); it costs the floor nothing.
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in ") + sql;
            ++skipped;
            continue;
        }
        if (statement)
            m_statements.push_back(statement);
    }
    return skipped;
}

double SqlFloor::run()
{
    const double started = monotonicMs();
    volatile qint64 sink = 0;
    for (sqlite3_stmt* statement : m_statements) {
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) {
                switch (sqlite3_column_type(statement, i)) {
                case SQLITE_INTEGER:
                    sink = sink + sqlite3_column_int64(statement, i);
                    break;
                case SQLITE_FLOAT:
                    sink = sink + static_cast<qint64>(sqlite3_column_double(statement, i));
                    break;
                case SQLITE_TEXT:
                case SQLITE_BLOB: {
                    const unsigned char* text = sqlite3_column_text(statement, i);
                    sink = sink + sqlite3_column_bytes(statement, i) + (text ? *text : 0);
                    break;
                }
                default:
                    break;
                }
            }
        }
        sqlite3_reset(statement);
    }
    return monotonicMs() - started;
}

double monotonicMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}
