// Starts the real program on data folders something has happened to: a file or folder it may not
// write, a damaged file, the debris of a crash, another copy running. It ends with -1 where it cannot
// work safely, leaving the file as it was, and starts normally where it can.
//
// As root permission bits stop no write: the read-only cases run the program as "nobody" (uid
// 65534), as an office clerk would, from a copy placed where "nobody" can reach it, since the build
// tree may lie where it cannot (a checkout in root's home); the program loads nothing else from it.
#include "consistency.h"
#include "database.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QDebug>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using SqliteFiles::readBytes;

namespace {

constexpr int kWaitMs = 30000;
constexpr uid_t kNobody = 65534;

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

    /** A database of the program's own, with a tenant in it, written and closed. */
    bool writeDatabase() const
    {
        Database db;
        return QDir().mkpath(folder()) && db.initialize(file())
            && db.execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s, { u"منى"_s }) > 0;
    }
};

/** The program on a data folder of its own, as the logged-in user or, given a copy to run, as "nobody". */
class Program : public QProcess
{
public:
    explicit Program(const Home& home, const QString& copyForNobody = {})
        : m_home(home)
        , m_program(copyForNobody.isEmpty() ? QStringLiteral(DARVELINTO_BINARY) : copyForNobody)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, home.dir.path());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        setProcessEnvironment(env);
        if (!copyForNobody.isEmpty()) {
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
        start(m_program, {});
        if (waitForStarted(kWaitMs))
            return true;
        qWarning().noquote() << "cannot start" << m_program << ":" << errorString();
        return false;
    }

    /** Waits until the window is up; false when the program ended or took too long. */
    bool waitLoaded()
    {
        (void)QTest::qWaitFor(
            [&] { return m_home.loaded() > m_loadedBefore || state() == NotRunning; }, kWaitMs);
        return m_home.loaded() > m_loadedBefore;
    }

    /**
     * The exit code of a program that ends by itself (-1 shows as 255), or asked to `quit` as a
     * session would; -1000 when it does not end.
     */
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
    QString m_program;
    int m_loadedBefore = 0;
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
        m_unprivilegedProgram = m_reachable.filePath(u"darvelinto"_s);
        QVERIFY(QFile::copy(QStringLiteral(DARVELINTO_BINARY), m_unprivilegedProgram));
        QVERIFY(QFile::setPermissions(m_unprivilegedProgram, everyoneRuns));
        QVERIFY(QFile::setPermissions(m_reachable.path(), everyoneRuns));
    }

    // A file it may not write, or in a folder that cannot take the write-ahead log or the lock (a
    // folder that is not writable is not writable for its owner either); a file that is damaged.
    void unusableDataEndsStartWithMinusOne_data()
    {
        QTest::addColumn<QString>("fault");
        for (const QString& fault :
            u"read-only file,read-only folder,not a database,header overwritten,cut in half,"
            "schema page overwritten"_s.split(u','))
            QTest::newRow(qPrintable(fault)) << fault;
    }

    void unusableDataEndsStartWithMinusOne()
    {
        QFETCH(QString, fault);
        Home home;
        QVERIFY(home.writeDatabase());
        QByteArray bytes = readBytes(home.file());
        QVERIFY(bytes.size() > 16 * 4096);
        const bool readOnly = fault.startsWith(u"read-only"_s), folder = fault == u"read-only folder"_s;
        using F = QFileDevice;
        const auto reachable = F::ReadOwner | F::ExeOwner | F::WriteOwner | F::ReadOther | F::ExeOther;
        if (readOnly) {
            QVERIFY(QFile::setPermissions(home.dir.path(), reachable));
            QVERIFY(QFile::setPermissions(home.dir.path() + u"/Darvelinto"_s, reachable));
            QVERIFY(QFile::setPermissions(
                home.folder(), folder ? reachable & ~F::WriteOwner : reachable | F::WriteOther));
            QVERIFY(QFile::setPermissions(home.file(),
                F::ReadOwner | F::ReadOther | (folder ? F::WriteOwner | F::WriteOther : F::Permissions())));
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

        Program program(home, readOnly ? m_unprivilegedProgram : QString());
        QVERIFY(program.launch());
        const int code = program.ended();
        const QString errors = program.errors();
        QFile::setPermissions(home.folder(), reachable); // opened again, so that it can be removed
        QVERIFY2(!errors.contains(u"already running"_s), qPrintable(errors));
        QCOMPARE(code, 255);
        QCOMPARE(readBytes(home.file()), bytes);
        QVERIFY(!QFile::exists(home.file("app.log")));
    }

    // A copy already running (frozen, so that it writes nothing either), or a lock held by a living
    // process: the program leaves with 1, touching nothing.
    void anotherCopyKeepsTheProgramOut_data()
    {
        QTest::addColumn<bool>("runningCopy");
        QTest::newRow("a running copy") << true;
        QTest::newRow("a lock held by a living process") << false;
    }

    void anotherCopyKeepsTheProgramOut()
    {
        QFETCH(bool, runningCopy);
        Home home;
        Program first(home);
        QLockFile held(home.file("darvelinto.lock"));
        if (runningCopy) {
            QVERIFY(first.launch() && first.waitLoaded());
            QVERIFY(::kill(pid_t(first.processId()), SIGSTOP) == 0);
        } else {
            QVERIFY(QDir().mkpath(home.folder()) && held.tryLock(0));
        }
        const auto contents = [&] {
            QStringList found;
            for (const QString& name : QDir(home.folder()).entryList(QDir::Files))
                found << name << QString::fromLatin1(readBytes(home.folder() + u'/' + name).toHex());
            return found;
        };
        const QStringList before = contents();

        Program second(home);
        QVERIFY(second.launch());
        QCOMPARE(second.ended(), 1);
        QVERIFY(second.errors().contains(u"already running"_s));
        QVERIFY(contents() == before);
        if (runningCopy) {
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

    // What a crash leaves beside the file: a write-ahead log that is not one (torn, or another
    // file's), which SQLite sets aside as it checks every frame; the lock of a copy that was killed,
    // or one whose process id now belongs to another program (the id was reused). None keeps the
    // office out, and the data stays as it was.
    void debrisOfACrashIsSetAside_data()
    {
        QTest::addColumn<QString>("debris");
        for (const QString& debris :
            u"garbled write-ahead log,lock of a killed copy,lock naming another program"_s.split(u','))
            QTest::newRow(qPrintable(debris)) << debris;
    }

    void debrisOfACrashIsSetAside()
    {
        QFETCH(QString, debris);
        Home home;
        QVERIFY(home.writeDatabase());
        if (debris == u"garbled write-ahead log"_s) {
            QVERIFY(SqliteFiles::writeBytes(home.file("darvelinto.db-wal"), QByteArray(64 * 1024, '\x3c')));
        } else if (debris == u"lock of a killed copy"_s) {
            Program crashed(home);
            QVERIFY(crashed.launch() && crashed.waitLoaded());
            crashed.kill();
            QVERIFY(crashed.waitForFinished(kWaitMs));
            QVERIFY(QFile::exists(home.file("darvelinto.lock")));
        } else {
            QLockFile ours(home.file("darvelinto.lock"));
            QVERIFY(ours.tryLock(0));
            QList<QByteArray> lines = readBytes(home.file("darvelinto.lock")).split('\n');
            ours.unlock();
            // This test's own, living process id, recorded as if it were the program's.
            QVERIFY(lines.size() >= 3);
            QCOMPARE(lines.at(0).toLongLong(), qint64(QCoreApplication::applicationPid()));
            lines[1] = "darvelinto";
            QVERIFY(SqliteFiles::writeBytes(home.file("darvelinto.lock"), lines.join('\n')));
        }

        Program next(home);
        QVERIFY(next.launch());
        QVERIFY2(next.waitLoaded(), qPrintable(next.errors()));
        QCOMPARE(next.ended(true), 0);
        Consistency::FileConnection file(home.file());
        QCOMPARE(Consistency::problems(file.db()), QStringList());
        QCOMPARE(SqliteFiles::value(home.file(), u"SELECT full_name FROM tenants"_s), QVariant(u"منى"_s));
    }
};

QTEST_GUILESS_MAIN(TestStartupFaults)
#include "tst_startupfaults.moc"
