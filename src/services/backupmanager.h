#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>

class DesktopServices;
class QTimer;

/**
 * Keeps dated copies of the database (on request and every 24 hours), rotates them to the newest
 * 30, restores one into the live database, and writes the CSV export of the main tables.
 *
 * Copies are consistent snapshots taken through SQLite itself, so rows still waiting in the
 * write-ahead log are included. A restore writes the chosen copy into the live database through
 * SQLite as well: the open connection sees the restored rows at once and no -wal/-shm file is
 * left behind that could replay old pages over them.
 */
class BackupManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString backupPath READ backupPath WRITE setBackupPath NOTIFY backupPathChanged)
public:
    static constexpr int kKeptBackups = 30;
    static constexpr int kAutoBackupIntervalMs = 24 * 60 * 60 * 1000;

    explicit BackupManager(const QString& dataDir, QObject* parent = nullptr);
    ~BackupManager() override;

    QString backupPath() const { return m_backupPath; }
    void setBackupPath(const QString& path);

    /**
     * The office's books live on a server: this desk's file is not them, so copying or restoring
     * it is refused (the server's own tools back a server database up).
     */
    void setOnServer(bool onServer) { m_onServer = onServer; }

    /** Writes "darvelinto_<yyyy-MM-dd_HH-mm-ss>.db" into the backup folder; false when it could not. */
    Q_INVOKABLE bool createBackup();
    /**
     * Replaces the live data with the copy at backupFile. The copy must be a sound SQLite file
     * holding this program's tables; the current data is backed up first. False, with the live
     * data untouched, on any refusal or failure.
     */
    Q_INVOKABLE bool restoreBackup(const QString& backupFile);
    /** Writes the main tables as CSV files into a dated folder on the desktop and opens it. */
    Q_INVOKABLE bool exportAllToCSV();
    /** Absolute paths of the "*.db" files of the backup folder, newest first. */
    Q_INVOKABLE QStringList listBackups() const;
    Q_INVOKABLE void setAutoBackup(bool enabled);
    Q_INVOKABLE QString browseBackupPath();
    Q_INVOKABLE QString browseRestoreFile();

    /** Replaces the desktop (file opening and choosers); tests hand in a recording fake. */
    void setDesktopServices(DesktopServices* desktop);
    /** The live database file this manager copies and restores. */
    QString databaseFilePath() const;

    /** One CSV field: shortest number form, quoted when needed, formulas defused. */
    static QString csvField(const QVariant& value);

signals:
    void backupPathChanged();
    void backupCreated(const QString& path);
    void backupRestored();
    void backupError(const QString& error);

private:
    [[nodiscard]] bool snapshotTo(const QString& target);
    [[nodiscard]] QString validateRestoreSource(const QString& file) const;
    [[nodiscard]] bool exportTable(const QString& folder, const QString& table) const;
    void rotateBackups(const QStringList& keep) const;
    QStringList backupFilesNewestFirst() const;
    QString timestampedBackupPath(const QString& prefix) const;
    bool ensureFolder(const QString& path) const;

    QString m_dataDir;
    bool m_onServer = false;
    QString m_backupPath;
    QSettings m_settings;
    QTimer* m_timer;
    DesktopServices* m_desktop;
};
