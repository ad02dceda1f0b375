// Starts the real program on a temporary data folder and checks what a first and a second start
// leave behind: the folder, the database file and the application log.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int exitCode = 0;
    bool finished = false;
};

QString dataDirOf(const QTemporaryDir& home)
{
    return home.path() + QStringLiteral("/Darvelinto/Darvelinto");
}

QString readLog(const QTemporaryDir& home)
{
    QFile log(dataDirOf(home) + QStringLiteral("/app.log"));
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(log.readAll());
}

/** Starts the program, waits until its window is loaded, then asks it to quit as a session would. */
Run startAndClose(const QTemporaryDir& home, bool waitForWindow = true)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    const int loadedBefore = readLog(home).count(QStringLiteral("QML root loaded successfully"));
    process.start(QStringLiteral(DARVELINTO_BINARY), {});
    if (!process.waitForStarted(10000))
        return {};
    if (waitForWindow) {
        QElapsedTimer clock;
        clock.start();
        while (readLog(home).count(QStringLiteral("QML root loaded successfully")) == loadedBefore
            && process.state() != QProcess::NotRunning && clock.elapsed() < 30000)
            QTest::qWait(50);
        process.terminate();
    }
    Run run;
    run.finished = process.waitForFinished(30000);
    run.exitCode = process.exitCode();
    return run;
}

int countOf(const QString& path, const QString& sql)
{
    int result = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspect"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                result = query.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
    return result;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstStartCreatesFolderDatabaseAndLog()
    {
        QTemporaryDir home;
        const Run run = startAndClose(home);
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);

        const QString db = dataDirOf(home) + QStringLiteral("/darvelinto.db");
        QVERIFY(QFile::exists(db));
        QCOMPARE(countOf(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'")), 25);
        QCOMPARE(countOf(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='index' AND name NOT LIKE 'sqlite_%'")), 39);
        QCOMPARE(countOf(db, QStringLiteral("SELECT COUNT(*) FROM users")), 1);
        QCOMPARE(countOf(db, QStringLiteral("SELECT COUNT(*) FROM currencies")), 3);
        QCOMPARE(countOf(db, QStringLiteral("SELECT id FROM currencies WHERE is_primary = 1 AND code = 'ILS'")), 1);
        QCOMPARE(countOf(db, QStringLiteral("SELECT COUNT(*) FROM accounts")), 18);
        QCOMPARE(countOf(db, QStringLiteral("SELECT COUNT(*) FROM services")), 5);

        const QStringList lines = readLog(home).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QString(43, QLatin1Char('-')));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("App started at ")));
        QVERIFY(QDateTime::fromString(lines.at(1).mid(15), Qt::TextDate).isValid());
        QCOMPARE(lines.at(2), QStringLiteral("QML root loaded successfully"));
        QCOMPARE(lines.at(3), QStringLiteral("App exited with code: 0"));
    }

    void secondStartAppendsAfterTheFirst()
    {
        QTemporaryDir home;
        QCOMPARE(startAndClose(home).exitCode, 0);
        const QString firstRun = readLog(home);
        QCOMPARE(startAndClose(home).exitCode, 0);
        const QString both = readLog(home);
        QVERIFY(both.startsWith(firstRun));
        const QStringList secondLines = both.mid(firstRun.size()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(secondLines.size(), 4);
        QCOMPARE(secondLines.first(), QString(43, QLatin1Char('-')));
        QCOMPARE(countOf(dataDirOf(home) + QStringLiteral("/darvelinto.db"), QStringLiteral("SELECT COUNT(*) FROM services")), 5);
    }

    void foreignFileEndsStartWithMinusOneAndStaysUntouched()
    {
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(dataDirOf(home)));
        const QByteArray content("this is a letter, not a database\n");
        QFile file(dataDirOf(home) + QStringLiteral("/darvelinto.db"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        const Run run = startAndClose(home, false);
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 255); // -1 as the shell sees it
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QVERIFY(!QFile::exists(dataDirOf(home) + QStringLiteral("/app.log")));
    }

    void secondCopyOnTheSameFolderExits()
    {
        QTemporaryDir home;
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(DARVELINTO_BINARY), {});
        QVERIFY(first.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains(QStringLiteral("QML root loaded successfully")), 30000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(DARVELINTO_BINARY), {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(second.readAllStandardError()).contains(QStringLiteral("already running")));
        // The second copy wrote nothing to the log of the first.
        QCOMPARE(readLog(home).count(QStringLiteral("App started at")), 1);

        first.terminate();
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        // Once the first copy is gone, the folder is free again.
        QCOMPARE(startAndClose(home).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
