// Starts the real program on data folders something has happened to: a file or folder it may not
// write, a damaged file, another copy running, the debris of a crash. Where it cannot work safely it
// ends with -1, where another copy has the folder with 1, both leaving the folder exactly as it was;
// where what a crash left can be set aside it starts, with the data as it was.
//
// As root permission bits stop no write: the read-only cases run the program as "nobody" (uid
// 65534), as an office clerk would, from a copy placed where "nobody" can reach it, since the build
// tree may lie where it cannot (a checkout in root's home); the program loads nothing else from it.
#include "consistency.h"
#include "database.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using SqliteFiles::readBytes;

namespace {

constexpr int kWaitMs = 30000;
constexpr uid_t kNobody = 65534;
using F = QFileDevice;
constexpr auto kReachable = F::ReadOwner | F::ExeOwner | F::WriteOwner | F::ReadOther | F::ExeOther;

/** A data folder of its own: where the program keeps its file, lock and log. */
struct Home
{
    QTemporaryDir dir;
    QString folder() const { return dir.path() + u"/Darvelinto/Darvelinto"_s; }
    QString file(const char* name = "darvelinto.db") const { return folder() + u'/' + QLatin1String(name); }
    int loaded() const
    {
        return QString::fromUtf8(readBytes(file("app.log"))).count(u"QML root loaded successfully"_s);
    }
    /** Every file of the folder with its bytes, but for an empty log and SQLite's index of one. */
    QStringList contents() const
    {
        QStringList found;
        for (const QFileInfo& file : QDir(folder()).entryInfoList(QDir::Files | QDir::Hidden)) {
            if (file.size() > 0 && !file.fileName().endsWith(u"-shm"_s))
                found << file.fileName() << QString::fromLatin1(readBytes(file.filePath()).toHex());
        }
        return found;
    }
};

/** The program on a data folder of its own, as the logged-in user or, given a copy to run, as "nobody". */
class Program : public QProcess
{
public:
    explicit Program(const Home& home, const QString& nobodysCopy = {})
        : m_home(home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, home.dir.path());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        setProcessEnvironment(env);
        setProgram(nobodysCopy.isEmpty() ? QStringLiteral(DARVELINTO_BINARY) : nobodysCopy);
        if (!nobodysCopy.isEmpty()) {
            setChildProcessModifier([] {
                // Between fork and exec: only async-signal-safe calls.
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                    ::_exit(99);
            });
        }
    }
    bool launch()
    {
        m_loadedBefore = m_home.loaded();
        start();
        return waitForStarted(kWaitMs);
    }
    /** Waits until the window is up; false when the program ended or took too long. */
    bool waitLoaded()
    {
        (void)QTest::qWaitFor(
            [&] { return m_home.loaded() > m_loadedBefore || state() == NotRunning; }, kWaitMs);
        return m_home.loaded() > m_loadedBefore;
    }
    /** The exit code (-1 shows as 255) of a program that ends by itself or, asked to, as a session would. */
    int ended(bool quit = false)
    {
        if (quit)
            terminate();
        if (state() != NotRunning && !waitForFinished(kWaitMs))
            return -1000;
        return exitStatus() == NormalExit ? exitCode() : -2000;
    }
    QString errors() { return QString::fromLocal8Bit(readAllStandardError()); }

private:
    const Home& m_home;
    int m_loadedBefore = 0;
};

} // namespace

class TestStartupFaults : public QObject
{
    Q_OBJECT

private:
    // As root, whom permission bits do not stop, a copy of the program that "nobody" runs; otherwise
    // the permission bits stop the logged-in user, and the program itself is run.
    QTemporaryDir m_reachable;
    QString m_nobodysCopy;

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        if (::geteuid() != 0)
            return;
        m_nobodysCopy = m_reachable.filePath(u"darvelinto"_s);
        QVERIFY(QFile::copy(QStringLiteral(DARVELINTO_BINARY), m_nobodysCopy));
        QVERIFY(QFile::setPermissions(m_nobodysCopy, kReachable));
        QVERIFY(QFile::setPermissions(m_reachable.path(), kReachable));
    }

    void startsOnlyWhereItIsSafe_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("exitCode"); // 0: it started, and ended when asked
        const auto row = [](const char* fault, int exitCode) {
            QTest::newRow(fault) << QString::fromLatin1(fault) << exitCode;
        };
        // A file it may not write, or in a folder that can take neither the write-ahead log nor the
        // lock (a folder that is not writable is not writable for its owner either).
        row("read-only file", 255);
        row("read-only folder", 255);
        row("not a database", 255);
        row("header overwritten", 255);
        row("cut in half", 255);
        row("schema page overwritten", 255);
        // A copy already running (frozen, so that it writes nothing either), or a lock held by a
        // living process.
        row("a running copy", 1);
        row("a lock held by a living process", 1);
        // What a crash leaves: a write-ahead log that is not one (torn, or another file's), which
        // SQLite sets aside as it checks every frame; the lock of a copy that was killed, or one whose
        // process id now belongs to another program (the id was reused).
        row("garbled write-ahead log", 0);
        row("lock of a killed copy", 0);
        row("lock naming another program", 0);
    }

    void startsOnlyWhereItIsSafe()
    {
        QFETCH(QString, fault);
        QFETCH(int, exitCode);
        Home home;
        {
            Database db; // the program's own file, with a tenant in it, written and closed
            QVERIFY(QDir().mkpath(home.folder()) && db.initialize(home.file())
                && db.execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s, { u"منى"_s }) > 0);
        }
        QByteArray bytes = readBytes(home.file());
        QVERIFY(bytes.size() > 16 * 4096);
        const bool readOnly = fault.startsWith(u"read-only"_s), folder = fault.endsWith(u"folder"_s);
        Program first(home);
        QLockFile held(home.file("darvelinto.lock"));
        if (readOnly) {
            QVERIFY(QFile::setPermissions(home.dir.path(), kReachable));
            QVERIFY(QFile::setPermissions(home.dir.path() + u"/Darvelinto"_s, kReachable));
            QVERIFY(QFile::setPermissions(
                home.folder(), folder ? kReachable & ~F::WriteOwner : kReachable | F::WriteOther));
            QVERIFY(QFile::setPermissions(home.file(),
                F::ReadOwner | F::ReadOther | (folder ? F::WriteOwner | F::WriteOther : F::Permissions())));
        } else if (fault == u"a running copy"_s) {
            QVERIFY(first.launch() && first.waitLoaded() && ::kill(pid_t(first.processId()), SIGSTOP) == 0);
        } else if (fault == u"lock of a killed copy"_s) {
            QVERIFY(first.launch() && first.waitLoaded());
            first.kill();
            QVERIFY(first.waitForFinished(kWaitMs) && QFile::exists(held.fileName()));
        } else if (fault == u"a lock held by a living process"_s) {
            QVERIFY(held.tryLock(0));
        } else if (fault == u"lock naming another program"_s) {
            QVERIFY(held.tryLock(0));
            QList<QByteArray> lines = readBytes(held.fileName()).split('\n');
            held.unlock();
            // This test's own, living process id, recorded as if it were the program's.
            QVERIFY(lines.size() >= 3 && lines.at(0).toLongLong() == QCoreApplication::applicationPid());
            lines[1] = "darvelinto";
            QVERIFY(SqliteFiles::writeBytes(held.fileName(), lines.join('\n')));
        } else if (fault == u"garbled write-ahead log"_s) {
            QVERIFY(SqliteFiles::writeBytes(home.file("darvelinto.db-wal"), QByteArray(64 * 1024, '\x3c')));
        } else {
            if (fault == u"not a database"_s)
                bytes = QByteArray("name,amount\nمنى,1000\n");
            else if (fault == u"header overwritten"_s)
                bytes.replace(16, 2, QByteArray("\xff\x7f", 2)); // a page size that is no power of two
            else if (fault == u"cut in half"_s)
                bytes.truncate(bytes.size() / 2);
            else
                bytes.replace(100, 3996, QByteArray(3996, '\x5a'));
            QVERIFY(SqliteFiles::writeBytes(home.file(), bytes));
        }
        const QStringList before = home.contents();

        Program program(home, readOnly ? m_nobodysCopy : QString());
        QVERIFY(program.launch());
        if (exitCode == 0) {
            QVERIFY2(program.waitLoaded(), qPrintable(program.errors()));
            QCOMPARE(program.ended(true), 0);
            Consistency::FileConnection file(home.file());
            QCOMPARE(Consistency::problems(file.db()), QStringList());
            QCOMPARE(SqliteFiles::value(home.file(), u"SELECT full_name FROM tenants"_s), QVariant(u"منى"_s));
        } else {
            QCOMPARE(program.ended(), exitCode);
            QCOMPARE(program.errors().contains(u"already running"_s), exitCode == 1);
            QFile::setPermissions(home.folder(), kReachable); // so that it can be removed
            QCOMPARE(home.contents(), before);
        }
        if (fault == u"a running copy"_s) {
            QVERIFY(::kill(pid_t(first.processId()), SIGCONT) == 0);
            QCOMPARE(first.ended(true), 0);
        }
    }

    void twoCopiesStartedTogetherLeaveOne()
    {
        Home home;
        Program one(home);
        Program other(home);
        QVERIFY(one.launch() && other.launch());
        // Whichever loses the lock leaves at once; the winner runs on.
        (void)QTest::qWaitFor(
            [&] { return one.state() != QProcess::Running || other.state() != QProcess::Running; }, kWaitMs);
        Program& loser = one.state() == QProcess::Running ? other : one;
        Program& winner = &loser == &one ? other : one;
        QCOMPARE(loser.ended(), 1);
        QVERIFY(winner.waitLoaded());
        QCOMPARE(winner.ended(true), 0);
        QCOMPARE(QString::fromUtf8(readBytes(home.file("app.log"))).count(u"App started at"_s), 1);
    }
};

QTEST_GUILESS_MAIN(TestStartupFaults)
#include "tst_startupfaults.moc"
