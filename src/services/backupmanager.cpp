#include "backupmanager.h"

#include "clock.h"
#include "database.h"
#include "desktopservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <iterator>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcBackup, "darvelinto.backup")

namespace {

const QString kDatabaseFileName = QStringLiteral("darvelinto.db");
const QString kBackupStamp = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// Tables every database of this program has had from its first version; a file without them is
// somebody else's SQLite file, whatever its name.
const char* const kRequiredTables[] = { "users", "settings", "currencies", "properties", "units", "tenants",
    "buyers", "contracts", "invoices", "payments", "installments", "cheques", "accounts", "journal_entries" };

const char* const kExportedTables[] = { "properties", "units", "tenants", "contracts", "payments", "invoices",
    "maintenance_requests", "journal_entries", "accounts", "buyers", "installments", "cheques" };

/** A raw SQLite connection of its own, beside the program's Qt connection, closed on scope exit. */
class SqliteConnection
{
public:
    SqliteConnection(const QString& path, int flags)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_handle, flags, nullptr);
        if (rc != SQLITE_OK) {
            qCWarning(lcBackup) << "cannot open" << path << ":" << errorText();
            sqlite3_close(m_handle);
            m_handle = nullptr;
            return;
        }
        // The program's own connection may be finishing a write; give it a moment instead of failing.
        sqlite3_busy_timeout(m_handle, 2000);
    }
    ~SqliteConnection() { sqlite3_close(m_handle); }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool isOpen() const { return m_handle != nullptr; }
    sqlite3* handle() const { return m_handle; }
    QString errorText() const
    {
        return m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QStringLiteral("out of memory");
    }

    /** The first column of every row; false when the statement fails (not a database, damaged...). */
    [[nodiscard]] bool column(const char* sql, QStringList* values) const
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_handle, sql, -1, &statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement);
            return false;
        }
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            values->append(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_handle = nullptr;
};

/** Copies every page of source into destination in one step, as one transaction on the destination. */
bool copyDatabase(const SqliteConnection& source, const SqliteConnection& destination)
{
    sqlite3_backup* backup = sqlite3_backup_init(destination.handle(), "main", source.handle(), "main");
    if (!backup) {
        qCWarning(lcBackup) << "backup init failed:" << destination.errorText();
        return false;
    }
    const int stepResult = sqlite3_backup_step(backup, -1);
    const int finishResult = sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE || finishResult != SQLITE_OK) {
        qCWarning(lcBackup) << "backup step failed:" << sqlite3_errstr(stepResult) << destination.errorText();
        return false;
    }
    return true;
}

void removeWithCompanions(const QString& path)
{
    for (const char* suffix : { "", "-journal", "-wal", "-shm" })
        QFile::remove(path + QLatin1String(suffix));
}

bool isPlainNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)"));
    return number.match(text).hasMatch();
}

} // namespace

BackupManager::BackupManager(const QString& dataDir, QObject* parent)
    : QObject(parent)
    , m_dataDir(dataDir)
    , m_settings(dataDir + QStringLiteral("/settings.ini"), QSettings::IniFormat)
    , m_timer(new QTimer(this))
    , m_desktop(DesktopServices::system())
{
    m_backupPath
        = m_settings.value(QStringLiteral("backup/path"), dataDir + QStringLiteral("/backups")).toString();
    if (!ensureFolder(m_backupPath))
        qCWarning(lcBackup) << "cannot create the backup folder" << m_backupPath;

    m_timer->setObjectName(QStringLiteral("autoBackupTimer"));
    m_timer->setInterval(kAutoBackupIntervalMs);
    connect(m_timer, &QTimer::timeout, this, [this] { (void)createBackup(); });
    if (m_settings.value(QStringLiteral("backup/auto"), true).toBool())
        m_timer->start();
}

BackupManager::~BackupManager() = default;

void BackupManager::setDesktopServices(DesktopServices* desktop)
{
    m_desktop = desktop ? desktop : DesktopServices::system();
}

QString BackupManager::databaseFilePath() const
{
    return m_dataDir + QLatin1Char('/') + kDatabaseFileName;
}

bool BackupManager::ensureFolder(const QString& path) const
{
    return !path.isEmpty() && QDir().mkpath(path);
}

void BackupManager::setBackupPath(const QString& path)
{
    if (path.isEmpty())
        return;
    // A folder that cannot be made would silently turn every later backup into a failure: keep
    // the working one and say so.
    if (!ensureFolder(path)) {
        emit backupError(QStringLiteral("Failed to create backup folder"));
        return;
    }
    m_backupPath = path;
    m_settings.setValue(QStringLiteral("backup/path"), path);
    m_settings.sync();
    emit backupPathChanged();
}

void BackupManager::setAutoBackup(bool enabled)
{
    m_settings.setValue(QStringLiteral("backup/auto"), enabled);
    m_settings.sync();
    if (enabled)
        m_timer->start(kAutoBackupIntervalMs);
    else
        m_timer->stop();
}

QString BackupManager::browseBackupPath()
{
    return m_desktop->chooseFolder(QStringLiteral("Select Backup Folder"), m_backupPath);
}

QString BackupManager::browseRestoreFile()
{
    return m_desktop->chooseFileToOpen(
        QStringLiteral("Select Database Backup"), m_backupPath, QStringLiteral("Database files (*.db)"));
}

QString BackupManager::timestampedBackupPath(const QString& prefix) const
{
    return m_backupPath + QLatin1Char('/') + prefix + Clock::now().toString(kBackupStamp)
        + QStringLiteral(".db");
}

bool BackupManager::snapshotTo(const QString& target)
{
    // Two copies in the same second share a name; the earlier one is kept, never overwritten.
    if (QFileInfo::exists(target))
        return false;
    {
        // Reading through SQLite, not copying the file, is what brings along the committed rows
        // still sitting in the write-ahead log and keeps a half-written page out of the copy.
        const SqliteConnection source(databaseFilePath(), SQLITE_OPEN_READONLY);
        const SqliteConnection destination(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        QStringList mode;
        const bool copied = source.isOpen() && destination.isOpen()
            && copyDatabase(source, destination)
            // A copy must stand alone as one file: no -wal beside it to lose when it is moved.
            && destination.column("PRAGMA journal_mode=DELETE", &mode)
            && mode.value(0) == QLatin1String("delete");
        if (copied)
            return true;
    }
    removeWithCompanions(target);
    return false;
}

bool BackupManager::createBackup()
{
    if (m_onServer) {
        emit backupError(QStringLiteral("البيانات على الخادم: تُنسخ احتياطياً بأدوات الخادم (pg_dump)"));
        return false;
    }
    if (!QFileInfo::exists(databaseFilePath())) {
        emit backupError(QStringLiteral("Database file not found"));
        return false;
    }
    const QString target = timestampedBackupPath(QStringLiteral("darvelinto_"));
    if (!ensureFolder(m_backupPath) || !snapshotTo(target)) {
        qCWarning(lcBackup) << "backup to" << target << "failed";
        emit backupError(QStringLiteral("Failed to create backup"));
        return false;
    }
    qCInfo(lcBackup) << "backup written to" << target;
    emit backupCreated(target);
    rotateBackups({ target });
    return true;
}

QStringList BackupManager::backupFilesNewestFirst() const
{
    QStringList files;
    const QFileInfoList entries
        = QDir(m_backupPath).entryInfoList({ QStringLiteral("*.db") }, QDir::Files, QDir::Time);
    for (const QFileInfo& entry : entries)
        files.append(entry.absoluteFilePath());
    return files;
}

QStringList BackupManager::listBackups() const
{
    return backupFilesNewestFirst();
}

void BackupManager::rotateBackups(const QStringList& keep) const
{
    // Every "*.db" of the folder counts; the files just written or just restored from are kept
    // even when a clock set wrong makes others look newer.
    QStringList files = backupFilesNewestFirst();
    for (int i = files.size() - 1; i >= 0 && files.size() > kKeptBackups; --i) {
        if (keep.contains(files.at(i)))
            continue;
        if (!QFile::remove(files.at(i)))
            qCWarning(lcBackup) << "could not remove old backup" << files.at(i);
        files.removeAt(i);
    }
}

QString BackupManager::validateRestoreSource(const QString& file) const
{
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("Backup file not found");
    if (info.canonicalFilePath() == QFileInfo(databaseFilePath()).canonicalFilePath())
        return QStringLiteral("The backup file is the live database");

    const SqliteConnection source(file, SQLITE_OPEN_READONLY);
    QStringList check;
    if (!source.isOpen() || !source.column("PRAGMA integrity_check", &check)
        || check != QStringList { QStringLiteral("ok") }) {
        qCWarning(lcBackup) << "restore refused," << file << "is not a sound database:" << source.errorText()
                            << check.mid(0, 5);
        return QStringLiteral("Backup file is damaged or not a database");
    }
    QStringList tables;
    if (!source.column("SELECT name FROM sqlite_master WHERE type='table'", &tables))
        return QStringLiteral("Backup file is damaged or not a database");
    for (const char* table : kRequiredTables) {
        if (!tables.contains(QLatin1String(table))) {
            qCWarning(lcBackup) << "restore refused," << file << "lacks the table" << table;
            return QStringLiteral("Backup file does not hold Darvelinto data");
        }
    }
    return {};
}

bool BackupManager::restoreBackup(const QString& backupFile)
{
    if (backupFile.isEmpty())
        return false;
    if (m_onServer) {
        emit backupError(QStringLiteral("البيانات على الخادم: لا تُستعاد من ملف على هذا الجهاز"));
        return false;
    }
    const QString refusal = validateRestoreSource(backupFile);
    if (!refusal.isEmpty()) {
        emit backupError(refusal);
        return false;
    }

    // Whatever the user restores over is kept: a wrong choice must be reversible.
    QString safetyCopy;
    if (QFileInfo::exists(databaseFilePath())) {
        safetyCopy = timestampedBackupPath(QStringLiteral("darvelinto_before-restore_"));
        if (!ensureFolder(m_backupPath) || !snapshotTo(safetyCopy)) {
            emit backupError(QStringLiteral("Failed to back up the current database"));
            return false;
        }
        emit backupCreated(safetyCopy);
    }

    bool restored = false;
    {
        // Written through SQLite into the live file: the copy lands as one transaction in the
        // live write-ahead log, the program's open connection reads it at its next statement,
        // and a failure rolls back with the live data as it was.
        const SqliteConnection source(backupFile, SQLITE_OPEN_READONLY);
        const SqliteConnection live(databaseFilePath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        restored = source.isOpen() && live.isOpen() && copyDatabase(source, live);
    }
    rotateBackups({ safetyCopy, QFileInfo(backupFile).absoluteFilePath() });
    if (!restored) {
        emit backupError(QStringLiteral("Failed to restore backup"));
        return false;
    }
    qCInfo(lcBackup) << "restored" << backupFile << "; the previous data is in" << safetyCopy;
    emit backupRestored();
    return true;
}

QString BackupManager::csvField(const QVariant& value)
{
    if (value.isNull())
        return {};
    QString text;
    switch (value.typeId()) {
    case QMetaType::Double:
        text = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    case QMetaType::QString:
        text = value.toString();
        // A spreadsheet runs a cell that starts like a formula; a stored name must never do that.
        if (!text.isEmpty() && QStringLiteral("=+-@").contains(text.front()) && !isPlainNumber(text))
            text.prepend(QLatin1Char('\''));
        break;
    default:
        text = value.toString();
    }
    // A carriage return ends a record for spreadsheets as a line feed does: quoted like it.
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

bool BackupManager::exportTable(const QString& folder, const QString& table) const
{
    QSqlDatabase connection = QSqlDatabase::database(QLatin1String(Database::kConnectionName), false);
    QSqlQuery query(connection);
    query.setForwardOnly(true);
    // The table names are this file's own constants, never input.
    if (!query.exec(QStringLiteral("SELECT * FROM ") + table)) {
        qCWarning(lcBackup) << "export of" << table << "failed:" << query.lastError().text();
        return false;
    }
    // Written aside and put in place whole: a full disk never leaves half a table behind, nor
    // destroys the file an earlier export of the same minute wrote.
    QSaveFile file(folder + QLatin1Char('/') + table + QStringLiteral(".csv"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCWarning(lcBackup) << "cannot write" << file.fileName() << ":" << file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out.setGenerateByteOrderMark(true);

    const QSqlRecord record = query.record();
    const int columns = record.count();
    QStringList fields;
    fields.reserve(columns);
    for (int i = 0; i < columns; ++i)
        fields.append(record.fieldName(i));
    out << fields.join(QLatin1Char(',')) << '\n';
    while (query.next()) {
        fields.clear();
        for (int i = 0; i < columns; ++i)
            fields.append(csvField(query.value(i)));
        out << fields.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        qCWarning(lcBackup) << "writing" << file.fileName() << "failed:" << file.errorString();
        return false;
    }
    return true;
}

bool BackupManager::exportAllToCSV()
{
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty())
        desktop = QDir::homePath();
    const QString folder = desktop + QStringLiteral("/Darvelinto_Export_")
        + Clock::now().toString(QStringLiteral("yyyy-MM-dd_HH-mm"));
    // Asked first so a closed database leaves no empty folder on the desktop.
    if (!QSqlDatabase::database(QLatin1String(Database::kConnectionName), false).isOpen()) {
        emit backupError(QStringLiteral("Database not connected"));
        return false;
    }
    const bool newFolder = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        emit backupError(QStringLiteral("Failed to create export folder"));
        return false;
    }
    int exported = 0;
    for (const char* table : kExportedTables) {
        if (exportTable(folder, QLatin1String(table)))
            ++exported;
    }
    // An export missing a table (a full disk) would pass for the whole set: it is reported as
    // failed, and a folder made for it goes again.
    if (exported != int(std::size(kExportedTables))) {
        qCWarning(lcBackup) << "only" << exported << "tables could be exported to" << folder;
        if (newFolder)
            QDir(folder).removeRecursively();
        return false;
    }
    qCInfo(lcBackup) << exported << "tables exported to" << folder;
    m_desktop->openLocalPath(folder);
    return true;
}
