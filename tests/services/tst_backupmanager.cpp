#include "backupmanager.h"
#include "clock.h"
#include "database.h"
#include "recordingdesktop.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace SqliteFiles;

class TestBackupManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        m_desktop = std::make_unique<RecordingDesktop>();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        openDatabase();
    }

    void cleanup()
    {
        m_manager.reset();
        m_db.reset();
        m_dir.reset();
        m_desktop.reset();
    }

    void startsWithDefaultFolderAndRunningTimer()
    {
        BackupManager& manager = makeManager();
        QCOMPARE(manager.backupPath(), dataDir() + QStringLiteral("/backups"));
        QVERIFY(QFileInfo(manager.backupPath()).isDir());
        QTimer* timer = manager.findChild<QTimer*>(QStringLiteral("autoBackupTimer"));
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 86400000);
        QVERIFY(timer->isSingleShot() == false);
        // No copy is made at start: the first one is a day away.
        QVERIFY(manager.listBackups().isEmpty());
    }

    void timerTimeoutMakesABackup()
    {
        BackupManager& manager = makeManager();
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QTimer* timer = manager.findChild<QTimer*>(QStringLiteral("autoBackupTimer"));
        timer->start(0);
        QTRY_COMPARE(created.count(), 1);
        timer->stop();
        QCOMPARE(manager.listBackups().size(), 1);
    }

    void autoFlagFromSettingsFileIsHonoured()
    {
        {
            QSettings ini(dataDir() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
            ini.setValue(QStringLiteral("backup/auto"), false);
        }
        BackupManager& manager = makeManager();
        QTimer* timer = manager.findChild<QTimer*>(QStringLiteral("autoBackupTimer"));
        QVERIFY(!timer->isActive());

        manager.setAutoBackup(true);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 86400000);
        QCOMPARE(storedSetting(QStringLiteral("backup/auto")).toBool(), true);

        manager.setAutoBackup(false);
        QVERIFY(!timer->isActive());
        QCOMPARE(storedSetting(QStringLiteral("backup/auto")).toBool(), false);

        // The flag survives a restart.
        m_manager.reset();
        BackupManager& again = makeManager();
        QVERIFY(!again.findChild<QTimer*>(QStringLiteral("autoBackupTimer"))->isActive());
    }

    void backupPathIsCreatedStoredAndUsed()
    {
        BackupManager& manager = makeManager();
        QSignalSpy changed(&manager, &BackupManager::backupPathChanged);
        const QString folder = m_dir->filePath(QStringLiteral("elsewhere/deeper/copies"));

        manager.setBackupPath(folder);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(manager.backupPath(), folder);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(storedSetting(QStringLiteral("backup/path")).toString(), folder);

        // Setting the same folder again still announces it.
        manager.setBackupPath(folder);
        QCOMPARE(changed.count(), 2);

        QVERIFY(manager.createBackup());
        QCOMPARE(QDir(folder).entryList({ QStringLiteral("*.db") }, QDir::Files).size(), 1);

        m_manager.reset();
        QCOMPARE(makeManager().backupPath(), folder);
    }

    void emptyOrUncreatableBackupPathIsRefused()
    {
        BackupManager& manager = makeManager();
        const QString before = manager.backupPath();
        QSignalSpy changed(&manager, &BackupManager::backupPathChanged);
        QSignalSpy errors(&manager, &BackupManager::backupError);

        manager.setBackupPath(QString());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(errors.count(), 0);

        // A folder cannot be made inside a plain file.
        QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("plainfile")), "x"));
        manager.setBackupPath(m_dir->filePath(QStringLiteral("plainfile/sub")));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(manager.backupPath(), before);
        QCOMPARE(storedSetting(QStringLiteral("backup/path")), QVariant());
    }

    void backupIsAConsistentSnapshotIncludingTheWriteAheadLog()
    {
        insertTenants({ QStringLiteral("سامر"), QStringLiteral("ليلى"), QStringLiteral("Omar") });
        // The rows still sit in the write-ahead log: the main file alone does not hold them.
        QVERIFY(QFileInfo(dbPath() + QStringLiteral("-wal")).size() > 0);
        const QString mainOnly = m_dir->filePath(QStringLiteral("main-only.sqlite"));
        QVERIFY(QFile::copy(dbPath(), mainOnly));
        QVERIFY(value(mainOnly, QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt() != 3);

        BackupManager& manager = makeManager();
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(manager.createBackup());
        QCOMPARE(created.count(), 1);
        const QString copy = created.first().first().toString();
        QVERIFY(QFileInfo(copy).isFile());
        QCOMPARE(QFileInfo(copy).dir().absolutePath(), QDir(manager.backupPath()).absolutePath());
        static const QRegularExpression name(
            QStringLiteral(R"(^darvelinto_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.db$)"));
        QVERIFY2(name.match(QFileInfo(copy).fileName()).hasMatch(), qPrintable(copy));

        QCOMPARE(value(copy, QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 3);
        QCOMPARE(
            value(copy, QStringLiteral("SELECT full_name FROM tenants WHERE id_number='id-2'")).toString(),
            QStringLiteral("ليلى"));
        // The copy stands alone as one file.
        QCOMPARE(value(copy, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
        QVERIFY(!QFile::exists(copy + QStringLiteral("-wal")));
        QCOMPARE(value(copy, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        // The live connection went on undisturbed.
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 3);
    }

    void missingDatabaseFileIsReported()
    {
        m_db.reset();
        QVERIFY(QFile::remove(dbPath()));
        BackupManager& manager = makeManager();
        QSignalSpy errors(&manager, &BackupManager::backupError);
        QVERIFY(!manager.createBackup());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Database file not found"));
        QVERIFY(manager.listBackups().isEmpty());
    }

    void backupInTheSameSecondIsRefusedAndKeepsTheEarlierCopy()
    {
        BackupManager& manager = makeManager();
        // Occupy the names of the next few seconds so the clock cannot slip past them.
        QStringList occupied;
        const QDateTime start = QDateTime::currentDateTime();
        for (int second = 0; second < 6; ++second) {
            const QString path = manager.backupPath() + QStringLiteral("/darvelinto_")
                + start.addSecs(second).toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))
                + QStringLiteral(".db");
            QVERIFY(writeBytes(path, "earlier copy"));
            occupied.append(path);
        }
        QSignalSpy errors(&manager, &BackupManager::backupError);
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(!manager.createBackup());
        QCOMPARE(created.count(), 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Failed to create backup"));
        for (const QString& path : occupied)
            QCOMPARE(readBytes(path), QByteArray("earlier copy"));
        QCOMPARE(manager.listBackups().size(), occupied.size());
    }

    void rotationKeepsTheThirtyNewestDbFiles()
    {
        BackupManager& manager = makeManager();
        const QDir folder(manager.backupPath());
        // 29 older copies, an unrelated "*.db" that is the oldest of all, and files that do not count.
        QStringList old;
        for (int i = 0; i < 29; ++i)
            old.append(placeFile(
                folder.filePath(QStringLiteral("old_%1.db").arg(i, 2, 10, QLatin1Char('0'))), -100 + i));
        const QString unrelated = placeFile(folder.filePath(QStringLiteral("unrelated.db")), -500);
        const QString textFile = placeFile(folder.filePath(QStringLiteral("notes.txt")), -900);
        QVERIFY(folder.mkdir(QStringLiteral("folder.db")));
        QCOMPARE(manager.listBackups().size(), 30);

        QVERIFY(manager.createBackup());
        QStringList listed = manager.listBackups();
        QCOMPARE(listed.size(), 30);
        QVERIFY(!QFile::exists(unrelated));
        QVERIFY(QFile::exists(textFile));
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("folder.db"))).isDir());
        for (const QString& path : old)
            QVERIFY(listed.contains(path));

        // One more: the oldest of the old copies goes, the newest stays first.
        QTest::qWait(1100); // a new second, so the copy gets a name of its own
        QVERIFY(manager.createBackup());
        listed = manager.listBackups();
        QCOMPARE(listed.size(), 30);
        QVERIFY(!QFile::exists(old.first()));
        QVERIFY(QFileInfo(listed.first()).fileName().startsWith(QStringLiteral("darvelinto_")));
        QCOMPARE(listed.last(), old.at(1));
    }

    void rotationNeverDeletesTheCopyJustMade()
    {
        BackupManager& manager = makeManager();
        const QDir folder(manager.backupPath());
        // A clock set wrong once left copies that look newer than today's.
        for (int i = 0; i < 30; ++i)
            placeFile(folder.filePath(QStringLiteral("future_%1.db").arg(i)), 100000 + i);
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(manager.createBackup());
        QVERIFY(QFile::exists(created.first().first().toString()));
        QCOMPARE(manager.listBackups().size(), 30);
    }

    void listIsNewestFirstWithAbsolutePaths()
    {
        BackupManager& manager = makeManager();
        const QDir folder(manager.backupPath());
        const QString a = placeFile(folder.filePath(QStringLiteral("a.db")), -30);
        const QString b = placeFile(folder.filePath(QStringLiteral("b.db")), -10);
        const QString c = placeFile(folder.filePath(QStringLiteral("c.db")), -20);
        placeFile(folder.filePath(QStringLiteral("d.sqlite")), 0);
        QCOMPARE(manager.listBackups(), (QStringList { b, c, a }));
        for (const QString& path : manager.listBackups())
            QVERIFY(QFileInfo(path).isAbsolute());
    }

    void choosersAskTheDesktopAndCancelChangesNothing()
    {
        BackupManager& manager = makeManager();
        const QString before = manager.backupPath();
        QSignalSpy changed(&manager, &BackupManager::backupPathChanged);

        QCOMPARE(manager.browseBackupPath(), QString());
        QCOMPARE(manager.browseRestoreFile(), QString());
        QCOMPARE(m_desktop->questions.size(), 2);
        QCOMPARE(m_desktop->questions.at(0).title, QStringLiteral("Select Backup Folder"));
        QCOMPARE(m_desktop->questions.at(0).startFolder, before);
        QCOMPARE(m_desktop->questions.at(1).title, QStringLiteral("Select Database Backup"));
        QCOMPARE(m_desktop->questions.at(1).startFolder, before);
        QCOMPARE(m_desktop->questions.at(1).filter, QStringLiteral("Database files (*.db)"));
        QCOMPARE(manager.backupPath(), before);
        QCOMPARE(changed.count(), 0);

        // A choice is returned but not applied: the page assigns it.
        m_desktop->nextChoice = m_dir->filePath(QStringLiteral("chosen"));
        QCOMPARE(manager.browseBackupPath(), m_desktop->nextChoice);
        QCOMPARE(manager.backupPath(), before);
        QVERIFY(m_desktop->opened.isEmpty());
    }

    void restoreRefusesWhatIsNotThisProgramsDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("text file") << "text"
                                   << "Backup file is damaged or not a database";
        QTest::newRow("truncated copy") << "truncated"
                                        << "Backup file is damaged or not a database";
        QTest::newRow("damaged page") << "damaged"
                                      << "Backup file is damaged or not a database";
        QTest::newRow("foreign sqlite") << "foreign"
                                        << "Backup file does not hold Darvelinto data";
        QTest::newRow("empty file") << "empty"
                                    << "Backup file does not hold Darvelinto data";
        QTest::newRow("missing file") << "missing"
                                      << "Backup file not found";
        QTest::newRow("a folder") << "folder"
                                  << "Backup file not found";
        QTest::newRow("the live file") << "live"
                                       << "The backup file is the live database";
    }

    void restoreRefusesWhatIsNotThisProgramsDatabase()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        BackupManager& manager = makeManager();
        insertTenants({ QStringLiteral("before") });
        const QString candidate = makeRestoreCandidate(manager, kind);
        insertTenants({ QStringLiteral("live only") }, 2);
        const int backupsBefore = manager.listBackups().size();

        QSignalSpy errors(&manager, &BackupManager::backupError);
        QSignalSpy restored(&manager, &BackupManager::backupRestored);
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(!manager.restoreBackup(candidate));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), message);
        QCOMPARE(restored.count(), 0);
        // Refused before anything was touched: no safety copy, the live rows all there.
        QCOMPARE(created.count(), 0);
        QCOMPARE(manager.listBackups().size(), backupsBefore);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 2);
        m_db.reset();
        QCOMPARE(value(dbPath(), QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 2);
    }

    void emptyRestorePathIsSilentlyRefused()
    {
        BackupManager& manager = makeManager();
        QSignalSpy errors(&manager, &BackupManager::backupError);
        QVERIFY(!manager.restoreBackup(QString()));
        QCOMPARE(errors.count(), 0);
    }

    void restoreBringsBackTheOldRowsAtOnceAndAfterReopening()
    {
        BackupManager& manager = makeManager();
        insertTenants({ QStringLiteral("Old One"), QStringLiteral("Old Two") });
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(manager.createBackup());
        const QString copy = created.takeFirst().first().toString();

        // Later work that the restore must undo, left in the write-ahead log on purpose.
        QVERIFY(m_db->execNonQuery(QStringLiteral("DELETE FROM tenants WHERE full_name='Old One'")));
        insertTenants({ QStringLiteral("Newer") }, 10);
        QVERIFY(QFileInfo(dbPath() + QStringLiteral("-wal")).size() > 0);

        QSignalSpy restored(&manager, &BackupManager::backupRestored);
        QSignalSpy errors(&manager, &BackupManager::backupError);
        QVERIFY(manager.restoreBackup(copy));
        QCOMPARE(errors.count(), 0);
        QCOMPARE(restored.count(), 1);

        // The running program sees the restored rows through its own connection.
        QCOMPARE(tenantNames(), (QStringList { QStringLiteral("Old One"), QStringLiteral("Old Two") }));
        QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QVERIFY(m_db->execInsert(
                    QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { QStringLiteral("After") })
            > 0);

        // The data restored over was itself kept.
        QCOMPARE(created.count(), 1);
        const QString safety = created.first().first().toString();
        QVERIFY(QFileInfo(safety).fileName().startsWith(QStringLiteral("darvelinto_before-restore_")));
        QCOMPARE(value(safety, QStringLiteral("SELECT group_concat(full_name) FROM tenants")).toString(),
            QStringLiteral("Old Two,Newer"));
        QVERIFY(QFile::exists(copy));

        // Close and reopen as a restart would: nothing stale is replayed over the restored data.
        m_db.reset();
        QVERIFY(!QFile::exists(dbPath() + QStringLiteral("-wal")));
        QVERIFY(!QFile::exists(dbPath() + QStringLiteral("-shm")));
        openDatabase();
        QCOMPARE(tenantNames(),
            (QStringList { QStringLiteral("Old One"), QStringLiteral("Old Two"), QStringLiteral("After") }));
        QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    void restoreFromALargerDatabaseIntoASmallerOneAndBack()
    {
        // Pages added and pages dropped: the live file must shrink and grow with the copy.
        BackupManager& manager = makeManager();
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(manager.createBackup());
        const QString small = created.takeFirst().first().toString();
        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many.append(QStringLiteral("tenant %1 with a longer name to fill pages").arg(i));
        insertTenants(many);
        QTest::qWait(1100);
        QVERIFY(manager.createBackup());
        const QString large = created.takeFirst().first().toString();

        QVERIFY(manager.restoreBackup(small));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 0);
        QTest::qWait(1100);
        QVERIFY(manager.restoreBackup(large));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 3000);
        m_db.reset();
        openDatabase();
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tenants")).toInt(), 3000);
        QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    void restoringTheOldestCopyOfAFullFolderKeepsIt()
    {
        BackupManager& manager = makeManager();
        insertTenants({ QStringLiteral("kept") });
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(manager.createBackup());
        const QString oldest = created.takeFirst().first().toString();
        QVERIFY(setModified(oldest, -1000));
        for (int i = 0; i < 29; ++i)
            placeFile(QDir(manager.backupPath()).filePath(QStringLiteral("copy_%1.db").arg(i)), -500 + i);
        QCOMPARE(manager.listBackups().size(), 30);

        QVERIFY(manager.restoreBackup(oldest));
        QVERIFY(QFile::exists(oldest));
        QCOMPARE(manager.listBackups().size(), 30);
        QVERIFY(manager.listBackups().first().contains(QStringLiteral("before-restore")));
        QCOMPARE(tenantNames(), QStringList { QStringLiteral("kept") });
    }

    void failedRestoreLeavesTheLiveDataAsItWas()
    {
        // A sound copy whose page size the live write-ahead-log file cannot take: SQLite refuses
        // in the middle of the copy, which must roll back.
        BackupManager& manager = makeManager();
        insertTenants({ QStringLiteral("live") });
        QSignalSpy created(&manager, &BackupManager::backupCreated);
        QVERIFY(manager.createBackup());
        const QString copy = created.takeFirst().first().toString();
        const QString odd = m_dir->filePath(QStringLiteral("odd-page-size.db"));
        QVERIFY(QFile::copy(copy, odd));
        QVERIFY(changePageSize(odd, 8192));
        QCOMPARE(value(odd, QStringLiteral("PRAGMA page_size")).toInt(), 8192);

        QSignalSpy errors(&manager, &BackupManager::backupError);
        QSignalSpy restored(&manager, &BackupManager::backupRestored);
        QVERIFY(!manager.restoreBackup(odd));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Failed to restore backup"));
        QCOMPARE(restored.count(), 0);
        QCOMPARE(tenantNames(), QStringList { QStringLiteral("live") });
        m_db.reset();
        openDatabase();
        QCOMPARE(tenantNames(), QStringList { QStringLiteral("live") });
    }

private:
    QString dataDir() const { return m_dir->path(); }
    QString dbPath() const { return m_dir->filePath(QStringLiteral("darvelinto.db")); }

    void openDatabase()
    {
        m_db = std::make_unique<Database>();
        QVERIFY(m_db->initialize(dbPath()));
    }

    BackupManager& makeManager()
    {
        m_manager = std::make_unique<BackupManager>(dataDir());
        m_manager->setDesktopServices(m_desktop.get());
        return *m_manager;
    }

    QVariant storedSetting(const QString& key) const
    {
        return QSettings(dataDir() + QStringLiteral("/settings.ini"), QSettings::IniFormat).value(key);
    }

    void insertTenants(const QStringList& names, int firstNumber = 1)
    {
        QVERIFY(m_db->beginTransaction());
        int number = firstNumber;
        for (const QString& name : names) {
            QVERIFY(
                m_db->execInsert(QStringLiteral("INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"),
                    { name, QStringLiteral("id-%1").arg(number++) })
                > 0);
        }
        QVERIFY(m_db->commitTransaction());
    }

    QStringList tenantNames() const
    {
        QStringList names;
        for (const QVariant& row :
            m_db->execQuery(QStringLiteral("SELECT full_name FROM tenants ORDER BY id")))
            names.append(row.toMap().value(QStringLiteral("full_name")).toString());
        return names;
    }

    static bool setModified(const QString& path, int secondsFromNow)
    {
        QFile file(path);
        return file.open(QIODevice::ReadWrite)
            && file.setFileTime(
                QDateTime::currentDateTime().addSecs(secondsFromNow), QFileDevice::FileModificationTime);
    }

    /** A file with a chosen modification time. */
    static QString placeFile(const QString& path, int secondsFromNow)
    {
        writeBytes(path, "placeholder");
        setModified(path, secondsFromNow);
        return QFileInfo(path).absoluteFilePath();
    }

    static bool changePageSize(const QString& path, int pageSize)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("resize"));
        db.setDatabaseName(path);
        bool ok = db.open();
        {
            QSqlQuery query(db);
            ok = ok && query.exec(QStringLiteral("PRAGMA journal_mode=DELETE"))
                && query.exec(QStringLiteral("PRAGMA page_size=%1").arg(pageSize))
                && query.exec(QStringLiteral("VACUUM"));
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("resize"));
        return ok;
    }

    QString makeRestoreCandidate(BackupManager& manager, const QString& kind)
    {
        const QString path = m_dir->filePath(QStringLiteral("candidate.db"));
        if (kind == QLatin1String("text")) {
            writeBytes(path, "full_name,phone\nAhmad,0599\n");
        } else if (kind == QLatin1String("empty")) {
            writeBytes(path, QByteArray());
        } else if (kind == QLatin1String("foreign")) {
            writeForeignDatabase(path);
        } else if (kind == QLatin1String("missing")) {
            return m_dir->filePath(QStringLiteral("no-such-copy.db"));
        } else if (kind == QLatin1String("folder")) {
            QDir(m_dir->path()).mkdir(QStringLiteral("folder.db"));
            return m_dir->filePath(QStringLiteral("folder.db"));
        } else if (kind == QLatin1String("live")) {
            return dbPath();
        } else {
            QSignalSpy created(&manager, &BackupManager::backupCreated);
            if (!manager.createBackup())
                return {};
            const QString copy = created.first().first().toString();
            QByteArray bytes = readBytes(copy);
            QFile::remove(copy);
            if (kind == QLatin1String("truncated"))
                bytes.truncate(bytes.size() / 2);
            else // damaged: scribble over the middle of the file, past the header
                bytes.replace(bytes.size() / 2, 4096, QByteArray(4096, '\x7f'));
            writeBytes(path, bytes);
        }
        return path;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<BackupManager> m_manager;
    std::unique_ptr<RecordingDesktop> m_desktop;
};

QTEST_GUILESS_MAIN(TestBackupManager)
#include "tst_backupmanager.moc"
