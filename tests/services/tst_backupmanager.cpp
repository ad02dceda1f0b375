// Backups (daily copies, rotation, restore with its safety copy and refusals) and the CSV export,
// which the same manager writes.
#include "backupmanager.h"
#include "clock.h"
#include "database.h"
#include "recordingdesktop.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace SqliteFiles;
using namespace Qt::StringLiterals;

class TestBackupManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QVERIFY(m_home.isValid());
        pinHomeFolder(m_home.path());
    }

    void init()
    {
        QDir(desktop()).removeRecursively();
        QFile::remove(desktop());
        m_dir = std::make_unique<QTemporaryDir>();
        openDatabase();
        m_manager = std::make_unique<BackupManager>(m_dir->path());
        m_manager->setDesktopServices(&m_desktop);
        m_desktop.opened.clear();
        m_desktop.nextChoice.clear();
    }

    void cleanup()
    {
        Clock::setToday(QDate());
        m_manager.reset();
        m_db.reset();
        m_dir.reset();
    }

    void copiesEveryDayAndTheChoiceIsKept()
    {
        QTimer* timer = m_manager->findChild<QTimer*>(u"autoBackupTimer"_s);
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 24 * 60 * 60 * 1000);
        QVERIFY(m_manager->listBackups().isEmpty()); // the first copy is a day away
        QSignalSpy created(m_manager.get(), &BackupManager::backupCreated);
        timer->start(0);
        QTRY_COMPARE(created.count(), 1);

        m_manager->setAutoBackup(false);
        QVERIFY(!timer->isActive());
        m_manager = std::make_unique<BackupManager>(m_dir->path());
        QVERIFY(!m_manager->findChild<QTimer*>(u"autoBackupTimer"_s)->isActive());
    }

    void backupFolderIsMadeKeptAndUsed()
    {
        const QString folder = m_dir->filePath(u"elsewhere/deeper"_s);
        m_manager->setBackupPath(folder);
        QVERIFY(m_manager->createBackup());
        QCOMPARE(QDir(folder).entryList({ u"*.db"_s }, QDir::Files).size(), 1);
        QCOMPARE(BackupManager(m_dir->path()).backupPath(), folder);

        // A folder cannot be made inside a plain file: refused, the folder in use stays.
        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QVERIFY(writeBytes(m_dir->filePath(u"plainfile"_s), "x"));
        m_manager->setBackupPath(m_dir->filePath(u"plainfile/sub"_s));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(m_manager->backupPath(), folder);
        QCOMPARE(BackupManager(m_dir->path()).backupPath(), folder);

        // A chooser cancelled changes nothing.
        QCOMPARE(m_manager->browseBackupPath(), QString());
        QCOMPARE(m_manager->backupPath(), folder);
    }

    void aDeskOnAServerNeitherCopiesNorRestoresItsFile()
    {
        // The file beside the program is not the office's books then: a copy of it would pass for
        // a backup of them, and restoring it would change nothing on the server.
        const QString copy = backup();
        m_manager->setOnServer(true);
        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QVERIFY(!m_manager->createBackup());
        QVERIFY(!m_manager->restoreBackup(copy));
        QCOMPARE(errors.count(), 2);
        QCOMPARE(m_manager->listBackups().size(), 1);
    }

    void backupIsAStandaloneCopyOfWhatWasCommitted()
    {
        insertTenants({ u"سامر"_s, u"ليلى"_s, u"Omar"_s });
        // The rows still sit in the write-ahead log: the main file alone does not hold them.
        QVERIFY(QFileInfo(dbPath() + u"-wal"_s).size() > 0);
        const QString copy = backup();
        QCOMPARE(
            value(copy, u"SELECT group_concat(full_name) FROM tenants"_s).toString(), u"سامر,ليلى,Omar"_s);
        QCOMPARE(value(copy, u"PRAGMA journal_mode"_s).toString(), u"delete"_s);
        QVERIFY(!QFile::exists(copy + u"-wal"_s));
        QCOMPARE(value(copy, u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
    }

    void aCopyOfTheSameSecondKeepsTheEarlierOne()
    {
        Clock::setToday(QDate(2030, 1, 2)); // the name's date is pinned, its time is not
        QStringList occupied;
        const QDateTime start = Clock::now();
        for (int second = 0; second < 6; ++second) {
            occupied << m_manager->backupPath() + u"/darvelinto_"_s
                    + start.addSecs(second).toString(u"yyyy-MM-dd_HH-mm-ss"_s) + u".db"_s;
            QVERIFY(writeBytes(occupied.last(), "earlier copy"));
        }
        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QVERIFY(!m_manager->createBackup());
        QCOMPARE(errors.count(), 1);
        for (const QString& path : occupied)
            QCOMPARE(readBytes(path), QByteArray("earlier copy"));
    }

    void rotationKeepsTheThirtyNewestCopies()
    {
        const QDir folder(m_manager->backupPath());
        // 29 older copies, an unrelated "*.db" older than all, and entries that are no copies.
        QStringList old;
        for (int i = 0; i < 29; ++i)
            old << placeFile(folder.filePath(u"old_%1.db"_s.arg(i)), -100 + i);
        const QString unrelated = placeFile(folder.filePath(u"unrelated.db"_s), -500);
        const QString notes = placeFile(folder.filePath(u"notes.txt"_s), -900);
        QVERIFY(folder.mkdir(u"folder.db"_s));
        const QString first = backup();
        QVERIFY(!QFile::exists(unrelated));
        QVERIFY(QFile::exists(notes));
        QCOMPARE(m_manager->listBackups(), QStringList { first } + QList(old.crbegin(), old.crend()));

        // A clock set wrong once left copies that look newer: the copy just made still stays.
        for (int i = 0; i < 30; ++i)
            placeFile(folder.filePath(u"future_%1.db"_s.arg(i)), 100000 + i);
        Clock::setToday(QDate(2030, 1, 2));
        const QString made = backup();
        QVERIFY(QFile::exists(made));
        QCOMPARE(m_manager->listBackups().size(), 30);
    }

    void restoreRefusesWhatIsNotThisProgramsDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
            { "text", "truncated", "damaged", "foreign", "empty", "missing", "folder", "live" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void restoreRefusesWhatIsNotThisProgramsDatabase()
    {
        QFETCH(QString, kind);
        insertTenants({ u"before"_s });
        const QString candidate = restoreCandidate(kind);
        insertTenants({ u"live only"_s }, 2);
        const QStringList backups = m_manager->listBackups();
        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QSignalSpy restored(m_manager.get(), &BackupManager::backupRestored);
        QVERIFY(!m_manager->restoreBackup(candidate));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(restored.count(), 0);
        // Refused before anything was touched: no safety copy, the live rows all there.
        QCOMPARE(m_manager->listBackups(), backups);
        m_db.reset();
        QCOMPARE(value(dbPath(), u"SELECT COUNT(*) FROM tenants"_s).toInt(), 2);
    }

    void restoreBringsBackTheCopyAndKeepsWhatItReplaced()
    {
        insertTenants({ u"Old One"_s, u"Old Two"_s });
        const QString copy = backup();
        // Later work that the restore must undo, left in the write-ahead log on purpose.
        QVERIFY(m_db->execNonQuery(u"DELETE FROM tenants WHERE full_name='Old One'"_s));
        insertTenants({ u"Newer"_s }, 10);
        QVERIFY(QFileInfo(dbPath() + u"-wal"_s).size() > 0);
        // The copy is the oldest of a full folder: rotation must not take it.
        QVERIFY(setModified(copy, -1000));
        for (int i = 0; i < 29; ++i)
            placeFile(QDir(m_manager->backupPath()).filePath(u"copy_%1.db"_s.arg(i)), -500 + i);

        QSignalSpy created(m_manager.get(), &BackupManager::backupCreated);
        QSignalSpy restored(m_manager.get(), &BackupManager::backupRestored);
        QVERIFY(m_manager->restoreBackup(copy));
        QCOMPARE(restored.count(), 1);
        // The running program sees the restored rows through its own connection.
        QCOMPARE(tenantNames(), u"Old One,Old Two"_s);
        QVERIFY(m_db->execInsert(u"INSERT INTO tenants (full_name) VALUES ('After')"_s) > 0);
        // The data restored over was kept; the copy restored from too.
        const QString safety = created.value(0).value(0).toString();
        QVERIFY(QFileInfo(safety).fileName().startsWith(u"darvelinto_before-restore_"_s));
        QCOMPARE(
            value(safety, u"SELECT group_concat(full_name) FROM tenants"_s).toString(), u"Old Two,Newer"_s);
        QVERIFY(QFile::exists(copy));
        QCOMPARE(m_manager->listBackups().size(), 30);

        // Reopened as a restart would: nothing stale is replayed over the restored data.
        m_db.reset();
        QVERIFY(!QFile::exists(dbPath() + u"-wal"_s));
        openDatabase();
        QCOMPARE(tenantNames(), u"Old One,Old Two,After"_s);
        QCOMPARE(m_db->scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
    }

    void failedRestoreLeavesTheLiveDataAsItWas()
    {
        // A sound copy whose page size the live write-ahead log cannot take: SQLite refuses in
        // the middle of the copy, which must roll back.
        insertTenants({ u"live"_s });
        const QString odd = m_dir->filePath(u"odd-page-size.db"_s);
        QVERIFY(QFile::copy(backup(), odd));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"resize"_s);
            db.setDatabaseName(odd);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(u"PRAGMA page_size=8192"_s) && query.exec(u"VACUUM"_s));
        }
        QSqlDatabase::removeDatabase(u"resize"_s);
        QCOMPARE(value(odd, u"PRAGMA page_size"_s).toInt(), 8192);

        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QVERIFY(!m_manager->restoreBackup(odd));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(tenantNames(), u"live"_s);
        m_db.reset();
        openDatabase();
        QCOMPARE(tenantNames(), u"live"_s);
    }

    void csvField_data()
    {
        // clang-format off
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("null") << QVariant() << "";
        QTest::newRow("whole real") << QVariant(1500.0) << "1500";
        QTest::newRow("millions, no exponent") << QVariant(12500000.0) << "12500000";
        QTest::newRow("fraction") << QVariant(12345678.9) << "12345678.9";
        QTest::newRow("comma") << QVariant(u"Haddad, Sons"_s) << "\"Haddad, Sons\"";
        QTest::newRow("quote") << QVariant(u"the \"blue\" door"_s) << "\"the \"\"blue\"\" door\"";
        QTest::newRow("line feed") << QVariant(u"one\ntwo"_s) << "\"one\ntwo\"";
        QTest::newRow("carriage return alone") << QVariant(u"a\rb"_s) << "\"a\rb\"";
        QTest::newRow("formula") << QVariant(u"=HYPERLINK(\"http://x\")"_s) << "\"'=HYPERLINK(\"\"http://x\"\")\"";
        QTest::newRow("plus formula") << QVariant(u"+cmd|' /C calc'!A0"_s) << "'+cmd|' /C calc'!A0";
        QTest::newRow("minus formula") << QVariant(u"-2+3"_s) << "'-2+3";
        QTest::newRow("at formula") << QVariant(u"@SUM(A1)"_s) << "'@SUM(A1)";
        QTest::newRow("phone with plus") << QVariant(u"+970599123456"_s) << "+970599123456";
        QTest::newRow("negative number text") << QVariant(u"-12.5"_s) << "-12.5";
        // clang-format on
    }

    void csvField()
    {
        QFETCH(QVariant, value);
        QTEST(BackupManager::csvField(value), "field");
    }

    void exportWritesEveryTableIntoADatedFolderAndOpensIt()
    {
        QVERIFY(m_db->execInsert(u"INSERT INTO tenants (full_name, address, balance) VALUES (?,?,?)"_s,
                    { u"=cmd()"_s, u"first\nsecond"_s, -250.75 })
            > 0);
        QVERIFY(m_manager->exportAllToCSV());
        const QString folder = exportFolder();
        QCOMPARE(m_desktop.opened, QStringList { folder });
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 12);
        // Every field through csvField, under a byte-order mark for spreadsheets.
        const QByteArray bytes = readBytes(folder + u"/tenants.csv"_s);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY2(QString::fromUtf8(bytes).contains(u"\n1,'=cmd(),,,,\"first\nsecond\",,-250.75,"_s),
            bytes.constData());
        // Every row of every table: the seeded chart of accounts, under its header.
        QCOMPARE(readBytes(folder + u"/accounts.csv"_s).count('\n'),
            m_db->scalar(u"SELECT COUNT(*) FROM accounts"_s).toInt() + 1);

        // Exported again the same minute: stale files are replaced.
        QVERIFY(writeBytes(folder + u"/tenants.csv"_s, "stale"));
        QVERIFY(m_manager->exportAllToCSV());
        QVERIFY(!readBytes(exportFolder() + u"/tenants.csv"_s).contains("stale"));
    }

    void exportThatCannotBeWrittenIsReported()
    {
        // A plain file where the desktop folder should be: no folder can be made under it.
        QVERIFY(writeBytes(desktop(), "not a folder"));
        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QVERIFY(!m_manager->exportAllToCSV());
        QCOMPARE(errors.count(), 1);
        QFile::remove(desktop());
        // A closed database writes no folder at all.
        m_db.reset();
        QVERIFY(!m_manager->exportAllToCSV());
        QCOMPARE(errors.count(), 2);
        QVERIFY(!QFileInfo::exists(desktop()));
        QVERIFY(m_desktop.opened.isEmpty());
    }

private:
    QString dbPath() const { return m_dir->filePath(u"darvelinto.db"_s); }
    QString desktop() const { return m_home.filePath(u"Desktop"_s); }

    void openDatabase()
    {
        m_db = std::make_unique<Database>();
        QVERIFY(m_db->initialize(dbPath()));
    }

    /** A new copy, by its path. */
    QString backup()
    {
        QSignalSpy created(m_manager.get(), &BackupManager::backupCreated);
        return m_manager->createBackup() ? created.value(0).value(0).toString() : QString();
    }

    void insertTenants(const QStringList& names, int firstNumber = 1)
    {
        for (const QString& name : names)
            QVERIFY(m_db->execInsert(u"INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"_s,
                        { name, u"id-%1"_s.arg(firstNumber++) })
                > 0);
    }

    QString tenantNames() const
    {
        return m_db
            ->scalar(u"SELECT group_concat(full_name) FROM (SELECT full_name FROM tenants ORDER BY id)"_s)
            .toString();
    }

    static bool setModified(const QString& path, int secondsFromNow)
    {
        QFile file(path);
        return file.open(QIODevice::ReadWrite)
            && file.setFileTime(
                QDateTime::currentDateTime().addSecs(secondsFromNow), QFileDevice::FileModificationTime);
    }

    /** A file with a chosen modification time, by its absolute path. */
    static QString placeFile(const QString& path, int secondsFromNow)
    {
        writeBytes(path, "placeholder");
        setModified(path, secondsFromNow);
        return QFileInfo(path).absoluteFilePath();
    }

    QString restoreCandidate(const QString& kind)
    {
        const QString path = m_dir->filePath(u"candidate.db"_s);
        if (kind == u"text")
            writeBytes(path, "full_name,phone\nAhmad,0599\n");
        else if (kind == u"foreign")
            writeForeignDatabase(path);
        else if (kind == u"missing")
            return m_dir->filePath(u"no-such-copy.db"_s);
        else if (kind == u"live")
            return dbPath();
        else {
            const QString copy = backup();
            QByteArray bytes = readBytes(copy);
            QFile::remove(copy);
            if (kind == u"truncated")
                bytes.truncate(bytes.size() / 2);
            else // damaged: scribbled over in the middle, past the header
                bytes.replace(bytes.size() / 2, 4096, QByteArray(4096, '\x7f'));
            writeBytes(path, bytes);
        }
        return path;
    }

    /** The newest export folder on the desktop, or empty when there is none. */
    QString exportFolder() const
    {
        const QDir folder(desktop());
        const QStringList found = folder.entryList(
            { u"Darvelinto_Export_*"_s }, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        return found.isEmpty() ? QString() : folder.filePath(found.first());
    }

    QTemporaryDir m_home;
    RecordingDesktop m_desktop;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<BackupManager> m_manager;
};

QTEST_GUILESS_MAIN(TestBackupManager)
#include "tst_backupmanager.moc"
