// Starts the real program on data folders that something has happened to: a database file it may
// not write, a folder it may not write, a damaged file, the debris of a crash, a copy already
// running, the lock of a copy that was killed. It must end cleanly with -1 where it cannot work
// safely, leave the file as it was, and start normally where it can.
//
// The tests run as root, for whom permission bits do not stop a write: the read-only cases start
// the program as the unprivileged user "nobody" (uid 65534), as an office clerk would run it. The
// build tree may lie where "nobody" cannot enter (a checkout in root's home), so it runs a copy of
// the program placed where everyone can; the program loads nothing else from the build tree.
#include "consistency.h"
#include "database.h"
#include "testdatabase.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 30000;
constexpr uid_t kNobody = 65534;

QString dataDirOf(const QTemporaryDir& home)
{
    return home.path() + QStringLiteral("/Darvelinto/Darvelinto");
}

QString databaseOf(const QTemporaryDir& home)
{
    return dataDirOf(home) + QStringLiteral("/darvelinto.db");
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int loadedCount(const QTemporaryDir& home)
{
    return QString::fromUtf8(bytesOf(dataDirOf(home) + QStringLiteral("/app.log")))
        .count(QStringLiteral("QML root loaded successfully"));
}

/** The program on a data folder of its own, as the logged-in user or as "nobody". */
class Program
{
public:
    /** The build's own program as the logged-in user, or `unprivilegedProgram` as "nobody". */
    Program(const QTemporaryDir& home, const QString& unprivilegedProgram = {})
        : m_home(home)
        , m_program(unprivilegedProgram.isEmpty() ? QStringLiteral(DARVELINTO_BINARY) : unprivilegedProgram)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        if (!unprivilegedProgram.isEmpty()) {
            m_process.setChildProcessModifier([] {
                // Between fork and exec: only async-signal-safe calls.
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                    ::_exit(99);
            });
        }
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }

    bool start()
    {
        m_loadedBefore = loadedCount(m_home);
        m_process.start(m_program, {});
        if (m_process.waitForStarted(kWaitMs))
            return true;
        qWarning().noquote() << "cannot start" << m_program << ":" << m_process.errorString();
        return false;
    }

    /** Waits until the window is up; false when the program ended or took too long. */
    bool waitLoaded()
    {
        QElapsedTimer clock;
        clock.start();
        while (loadedCount(m_home) == m_loadedBefore) {
            if (m_process.state() == QProcess::NotRunning || clock.elapsed() > kWaitMs)
                return false;
            m_process.waitForFinished(50);
        }
        return true;
    }

    /** The exit code of a program that ends by itself (-1 shows as 255), or -1000 when it does not. */
    int exitCode()
    {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(kWaitMs))
            return -1000;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2000;
    }

    /** Asks the program to quit as a session would; its exit code. */
    int quit()
    {
        m_process.terminate();
        return exitCode();
    }

    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }
    QProcess& process() { return m_process; }

private:
    const QTemporaryDir& m_home;
    QString m_program;
    QProcess m_process;
    int m_loadedBefore = 0;
};

/** A database of the program's own, with a tenant in it, written and closed. */
bool writeProgramDatabase(const QTemporaryDir& home)
{
    if (!QDir().mkpath(dataDirOf(home)))
        return false;
    Database db;
    return db.initialize(databaseOf(home))
        && db.execInsert(
               QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { QStringLiteral("منى") })
        > 0;
}

/**
 * Lets "nobody" reach the data folder, and write in it when `writableFolder`; a folder that is not
 * writable is not writable for its owner either. The folder is opened again when this goes, so the
 * temporary folder can be removed.
 */
class FolderAccess
{
public:
    FolderAccess(const QTemporaryDir& home, bool writableFolder)
        : m_folder(dataDirOf(home))
    {
        const auto reachable
            = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
        QFile::setPermissions(home.path(), reachable | QFileDevice::WriteOwner);
        QFile::setPermissions(
            home.path() + QStringLiteral("/Darvelinto"), reachable | QFileDevice::WriteOwner);
        QFile::setPermissions(m_folder,
            writableFolder ? reachable | QFileDevice::WriteOwner | QFileDevice::WriteOther : reachable);
    }
    ~FolderAccess()
    {
        QFile::setPermissions(
            m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

private:
    QString m_folder;
};

} // namespace

class TestStartupFaults : public QObject
{
    Q_OBJECT

private:
    /**
     * The program for the read-only cases. As root, whom permission bits do not stop, it is a copy
     * that "nobody" runs; otherwise the permission bits stop the logged-in user and it is empty.
     */
    QTemporaryDir m_reachable;
    QString m_unprivilegedProgram;

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        if (::geteuid() != 0)
            return;
        const auto everyoneRuns = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadOther | QFileDevice::ExeOther;
        m_unprivilegedProgram = m_reachable.filePath(QStringLiteral("darvelinto"));
        QVERIFY(QFile::copy(QStringLiteral(DARVELINTO_BINARY), m_unprivilegedProgram));
        QVERIFY(QFile::setPermissions(m_unprivilegedProgram, everyoneRuns));
        QVERIFY(QFile::setPermissions(m_reachable.path(), everyoneRuns));
    }

    void readOnlyDatabaseFileEndsStartWithMinusOne()
    {
        QTemporaryDir home;
        QVERIFY(writeProgramDatabase(home));
        const FolderAccess access(home, true);
        QVERIFY(QFile::setPermissions(databaseOf(home), QFileDevice::ReadOwner | QFileDevice::ReadOther));
        const QByteArray before = bytesOf(databaseOf(home));

        Program program(home, m_unprivilegedProgram);
        QVERIFY(program.start());
        QCOMPARE(program.exitCode(), 255);
        QVERIFY(program.errors().contains(QStringLiteral("Failed to initialize database")));
        QCOMPARE(bytesOf(databaseOf(home)), before);
        QVERIFY(!QFile::exists(dataDirOf(home) + QStringLiteral("/app.log")));
    }

    void readOnlyDataFolderEndsStartWithMinusOne()
    {
        QTemporaryDir home;
        QVERIFY(writeProgramDatabase(home));
        const FolderAccess access(home, false);
        // The file itself would take writes; its folder cannot take the write-ahead log or the lock.
        QVERIFY(QFile::setPermissions(databaseOf(home),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                | QFileDevice::WriteOther));
        const QByteArray before = bytesOf(databaseOf(home));

        Program program(home, m_unprivilegedProgram);
        QVERIFY(program.start());
        const int code = program.exitCode();
        const QString errors = program.errors();
        QVERIFY2(!errors.contains(QStringLiteral("already running")), qPrintable(errors));
        QCOMPARE(code, 255);
        QCOMPARE(bytesOf(databaseOf(home)), before);
    }

    void damagedFileEndsStartWithMinusOne_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("not a database") << QStringLiteral("text");
        QTest::newRow("header overwritten") << QStringLiteral("header");
        QTest::newRow("cut in half") << QStringLiteral("truncated");
        QTest::newRow("schema page overwritten") << QStringLiteral("schema");
    }

    void damagedFileEndsStartWithMinusOne()
    {
        QFETCH(QString, damage);
        QTemporaryDir home;
        QVERIFY(writeProgramDatabase(home));
        QByteArray bytes = bytesOf(databaseOf(home));
        QVERIFY(bytes.size() > 16 * 4096);
        if (damage == QLatin1String("text"))
            bytes = QByteArray("name,amount\nمنى,1000\n");
        else if (damage == QLatin1String("header"))
            bytes.replace(16, 2, QByteArray("\xff\x7f", 2)); // a page size that is no power of two
        else if (damage == QLatin1String("truncated"))
            bytes.truncate(bytes.size() / 2);
        else if (damage == QLatin1String("schema"))
            bytes.replace(100, 3996, QByteArray(3996, '\x5a'));
        QFile file(databaseOf(home));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();

        Program program(home);
        QVERIFY(program.start());
        QCOMPARE(program.exitCode(), 255);
        QCOMPARE(bytesOf(databaseOf(home)), bytes);
        QVERIFY(!QFile::exists(dataDirOf(home) + QStringLiteral("/app.log")));
    }

    // What a crash leaves beside the file: a write-ahead log that is not one (torn, or another
    // file's). SQLite checks every frame of the log, so it is set aside and the data stays as it was.
    void garbledWriteAheadLogIsSetAside()
    {
        QTemporaryDir home;
        QVERIFY(writeProgramDatabase(home));
        QFile wal(databaseOf(home) + QStringLiteral("-wal"));
        QVERIFY(wal.open(QIODevice::WriteOnly));
        wal.write(QByteArray(64 * 1024, '\x3c'));
        wal.close();

        Program program(home);
        QVERIFY(program.start());
        QVERIFY2(program.waitLoaded(), qPrintable(program.errors()));
        QCOMPARE(program.quit(), 0);
        Consistency::FileConnection file(databaseOf(home));
        QCOMPARE(Consistency::problems(file.db()), QStringList());
        QSqlQuery query(file.db());
        QVERIFY(query.exec(QStringLiteral("SELECT full_name FROM tenants")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("منى"));
    }

    void secondCopyTouchesNothing()
    {
        QTemporaryDir home;
        Program first(home);
        QVERIFY(first.start());
        QVERIFY(first.waitLoaded());
        // Frozen, the first copy writes nothing either: whatever changes now is the second's doing.
        QVERIFY(::kill(pid_t(first.process().processId()), SIGSTOP) == 0);
        QStringList files = QDir(dataDirOf(home)).entryList(QDir::Files);
        QHash<QString, QByteArray> before;
        for (const QString& name : files)
            before.insert(name, bytesOf(dataDirOf(home) + QLatin1Char('/') + name));

        Program second(home);
        QVERIFY(second.start());
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(second.errors().contains(QStringLiteral("already running")));
        QCOMPARE(QDir(dataDirOf(home)).entryList(QDir::Files), files);
        for (const QString& name : files)
            QVERIFY2(
                bytesOf(dataDirOf(home) + QLatin1Char('/') + name) == before.value(name), qPrintable(name));

        QVERIFY(::kill(pid_t(first.process().processId()), SIGCONT) == 0);
        QCOMPARE(first.quit(), 0);
    }

    void twoCopiesStartedTogetherLeaveOne()
    {
        QTemporaryDir home;
        Program one(home);
        Program other(home);
        QVERIFY(one.start());
        QVERIFY(other.start());
        // Whichever loses the lock leaves at once; the winner runs on.
        QElapsedTimer clock;
        clock.start();
        while (one.process().state() == QProcess::Running && other.process().state() == QProcess::Running
            && clock.elapsed() < kWaitMs)
            QTest::qWait(20);
        Program& loser = one.process().state() == QProcess::Running ? other : one;
        Program& winner = &loser == &one ? other : one;
        QCOMPARE(loser.exitCode(), 1);
        QVERIFY(winner.waitLoaded());
        QCOMPARE(winner.quit(), 0);
        QCOMPARE(QString::fromUtf8(bytesOf(dataDirOf(home) + QStringLiteral("/app.log")))
                     .count(QStringLiteral("App started at")),
            1);
    }

    void lockOfAKilledCopyIsTakenOver()
    {
        QTemporaryDir home;
        {
            Program crashed(home);
            QVERIFY(crashed.start());
            QVERIFY(crashed.waitLoaded());
            crashed.process().kill();
            QVERIFY(crashed.process().waitForFinished(kWaitMs));
        }
        QVERIFY(QFile::exists(dataDirOf(home) + QStringLiteral("/darvelinto.lock")));

        Program next(home);
        QVERIFY(next.start());
        QVERIFY2(next.waitLoaded(), qPrintable(next.errors()));
        QCOMPARE(next.quit(), 0);
        Consistency::FileConnection file(databaseOf(home));
        QCOMPARE(Consistency::problems(file.db()), QStringList());
    }

    // A lock whose process id now belongs to another program (the id was reused after a crash)
    // does not keep the office out; a lock held by a living copy does.
    void lockNamingAnotherProgramIsTakenOver()
    {
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(dataDirOf(home)));
        const QString lockPath = dataDirOf(home) + QStringLiteral("/darvelinto.lock");
        QByteArray content;
        {
            QLockFile ours(lockPath);
            QVERIFY(ours.tryLock(0));
            content = bytesOf(lockPath);
            ours.unlock();
        }
        // This test's own, living process id, recorded as if it were the program's.
        QList<QByteArray> lines = content.split('\n');
        QVERIFY(lines.size() >= 3);
        QCOMPARE(lines.at(0).toLongLong(), qint64(QCoreApplication::applicationPid()));
        lines[1] = "darvelinto";
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(lines.join('\n'));
        lock.close();

        Program program(home);
        QVERIFY(program.start());
        QVERIFY2(program.waitLoaded(), qPrintable(program.errors()));
        QCOMPARE(program.quit(), 0);
    }

    void lockHeldByALivingProcessKeepsTheProgramOut()
    {
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(dataDirOf(home)));
        QLockFile held(dataDirOf(home) + QStringLiteral("/darvelinto.lock"));
        QVERIFY(held.tryLock(0));
        Program program(home);
        QVERIFY(program.start());
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(!QFile::exists(databaseOf(home)));
    }
};

QTEST_GUILESS_MAIN(TestStartupFaults)
#include "tst_startupfaults.moc"
