// Starts the real program on a temporary data folder, twice: the first start makes the folder, the
// database and the application log; the second adds its own lines after the first's. Damaged
// files, locks and second copies are the start-up fault run's (tests/reliability).
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void twoStartsMakeTheFolderOnceAndAppendToTheLog()
    {
        QTemporaryDir home;
        QVERIFY(startAndClose(home));
        const QString firstRun = readLog(home);
        QVERIFY(startAndClose(home));
        const QString both = readLog(home);
        QVERIFY(both.startsWith(firstRun));
        for (const QString& run : { firstRun, both.mid(firstRun.size()) }) {
            const QStringList lines = run.split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 4);
            QVERIFY(lines.at(1).startsWith(u"App started at "_s));
            QVERIFY(QDateTime::fromString(lines.at(1).mid(15), Qt::TextDate).isValid());
            QCOMPARE(lines.at(2), u"QML root loaded successfully"_s);
            QCOMPARE(lines.at(3), u"App exited with code: 0"_s);
        }

        // The file holds the office's starting point, seeded once.
        QString seeded;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"inspect"_s);
            db.setDatabaseName(dataDirOf(home) + u"/darvelinto.db"_s);
            QSqlQuery query(db.open() ? db : QSqlDatabase());
            if (query.exec(
                    u"SELECT (SELECT COUNT(*) FROM users) || ',' || (SELECT code FROM currencies WHERE "
                    "is_primary = 1) || ',' || (SELECT COUNT(*) FROM services)"_s)
                && query.next())
                seeded = query.value(0).toString();
        }
        QSqlDatabase::removeDatabase(u"inspect"_s);
        QCOMPARE(seeded, u"1,ILS,5"_s);
    }

private:
    static QString dataDirOf(const QTemporaryDir& home) { return home.path() + u"/Darvelinto/Darvelinto"_s; }

    static QString readLog(const QTemporaryDir& home)
    {
        QFile log(dataDirOf(home) + u"/app.log"_s);
        return log.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(log.readAll()) : QString();
    }

    /** Starts the program, waits until its window is loaded, then asks it to quit as a session would. */
    static bool startAndClose(const QTemporaryDir& home)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, home.path());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        process.setProcessEnvironment(env);
        const qsizetype loadedBefore = readLog(home).count(u"QML root loaded successfully"_s);
        process.start(QStringLiteral(DARVELINTO_BINARY), {});
        if (!process.waitForStarted(10000))
            return false;
        for (int waited = 0; waited < 30000 && process.state() != QProcess::NotRunning
             && readLog(home).count(u"QML root loaded successfully"_s) == loadedBefore;
             waited += 50)
            QTest::qWait(50);
        process.terminate();
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
