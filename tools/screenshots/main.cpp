// Starts the real window offscreen on a copy of a database, runs the shot lists and saves PNGs.
//
//   darvelinto-screenshots --out <folder> [--db <file>] [--theme dark|light] [--shots <folder>]
//
// Without --db it works on a new database. The copy is made to show the first-run setup page
// (no primary currency); the shot list finishes the setup with the copy's own primary currency.
#include "appbackend.h"
#include "backend.h"
#include "applicationidentity.h"
#include "database.h"
#include "shotrunner.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTemporaryDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ApplicationIdentity::apply();

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption(
        { QStringLiteral("out"), QStringLiteral("Folder for the PNG files."), QStringLiteral("folder") });
    parser.addOption({ QStringLiteral("db"), QStringLiteral("Database to copy (default: a new one)."),
        QStringLiteral("file") });
    parser.addOption({ QStringLiteral("theme"), QStringLiteral("dark or light."), QStringLiteral("mode"),
        QStringLiteral("dark") });
    parser.addOption({ QStringLiteral("shots"), QStringLiteral("Folder of *.shots lists."),
        QStringLiteral("folder"), QStringLiteral(DARVELINTO_SHOTS_DIR) });
    parser.process(app);
    if (!parser.isSet(QStringLiteral("out"))) {
        qCritical("--out is required");
        return 2;
    }
    const QString outputDir = parser.value(QStringLiteral("out"));
    QDir().mkpath(outputDir);
    const QString theme = parser.value(QStringLiteral("theme")) == QStringLiteral("light")
        ? QStringLiteral("light")
        : QStringLiteral("dark");

    QTemporaryDir dataDir;
    const QString dbPath = dataDir.filePath(QStringLiteral("darvelinto.db"));
    if (parser.isSet(QStringLiteral("db"))) {
        const QString source = parser.value(QStringLiteral("db"));
        // A file still open elsewhere keeps recent pages in its write-ahead log: copy both.
        const QString wal = source + QStringLiteral("-wal");
        if (!QFile::copy(source, dbPath)
            || (QFile::exists(wal) && !QFile::copy(wal, dbPath + QStringLiteral("-wal")))) {
            qCritical("cannot copy %s", qPrintable(source));
            return 2;
        }
    }

    Database database;
    if (!database.initialize(dbPath)) {
        qCritical("cannot open the database");
        return 2;
    }
    QString primary
        = database.scalar(QStringLiteral("SELECT code FROM currencies WHERE is_primary=1")).toString();
    if (primary.isEmpty())
        primary = QStringLiteral("ILS");
    if (!database.execNonQuery(QStringLiteral("UPDATE currencies SET is_primary=0"))
        || !database.execNonQuery(
            QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES ('theme_mode', ?)"),
            { theme })) {
        qCritical("cannot prepare the database copy");
        return 2;
    }

    AppBackend backend(&database, dataDir.path());
    QQmlApplicationEngine engine;
    Backend::attach(&engine, backend);
    ShotRunner runner(theme, primary, outputDir);
    engine.rootContext()->setContextProperty(QStringLiteral("shot"), &runner);
    engine.load(Backend::mainUrl());
    auto* window = engine.rootObjects().isEmpty()
        ? nullptr
        : qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    if (!window) {
        qCritical("the window did not load");
        return 1;
    }
    window->resize(1280, 800);

    const int failures = runner.run(window, parser.value(QStringLiteral("shots")));
    if (failures > 0)
        qCritical("%d step(s) failed", failures);
    return failures > 0 ? 1 : 0;
}
