#include "appbackend.h"
#include "applicationidentity.h"
#include "applog.h"
#include "backend.h"
#include "database.h"
#include "instancelock.h"
#include "terminationhandler.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TerminationHandler termination;
    ApplicationIdentity::apply();

    // An office with several desks keeps its books on a PostgreSQL server; the password comes from
    // the user's ~/.pgpass (or PGPASSWORD), never from the command line.
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption serverOption(QStringLiteral("server"),
        QStringLiteral(
            "The office's database on a PostgreSQL server: \"host=... port=... dbname=... user=...\"."),
        QStringLiteral("address"));
    parser.addOption(serverOption);
    parser.process(app);

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    Database database;
    // One copy at a time is a rule of the file on this desk: desks share a server at will.
    InstanceLock instanceLock(dataDir);
    if (parser.isSet(serverOption)) {
        const ServerAddress address = ServerAddress::parse(parser.value(serverOption));
        if (!address.isComplete()) {
            qCritical("The server address needs host, port, dbname and user, and no password");
            return -1;
        }
        // Why the server refused (no such database, a wrong password) is told once, at the start.
        const auto why = QObject::connect(&database, &Database::databaseError, &database,
            [](const QString& error) { qCritical("%s", qPrintable(error)); });
        if (!database.initializeServer(address)) {
            qCritical("Could not open the office's database on %s", qPrintable(address.toString()));
            return -1;
        }
        QObject::disconnect(why);
    } else {
        if (!instanceLock.acquire()) {
            if (instanceLock.isHeldByAnotherCopy()) {
                InstanceLock::reportAlreadyRunning();
                return 1;
            }
            // A folder that refuses even the lock file will not take the database's writes either.
            qCritical("Cannot write in the data folder %s", qPrintable(dataDir));
            return -1;
        }
        if (!database.initialize(dataDir + QStringLiteral("/darvelinto.db"))) {
            qCritical("Failed to initialize database!");
            return -1;
        }
    }

    AppBackend backend(&database, dataDir);
    QQmlApplicationEngine engine;
    Backend::attach(&engine, backend);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(-1); },
        Qt::QueuedConnection);

    static AppLog log;
    const QUrl mainQml = Backend::mainUrl();
    if (log.open(dataDir + QStringLiteral("/app.log"))) {
        log.writeStartBanner();
        QObject::connect(
            &engine, &QQmlApplicationEngine::warnings, &engine,
            [](const QList<QQmlError>& warnings) { log.writeQmlWarnings(warnings); }, Qt::DirectConnection);
        engine.load(mainQml);
        if (engine.rootObjects().isEmpty()) {
            log.writeLine(QStringLiteral("CRITICAL: Failed to load QML root objects!"));
            return -1;
        }
        log.writeLine(QStringLiteral("QML root loaded successfully"));
    } else {
        engine.load(mainQml);
        if (engine.rootObjects().isEmpty())
            return -1;
    }

    const int exitCode = QApplication::exec();
    if (log.isOpen()) {
        log.writeLine(QStringLiteral("App exited with code: ") + QString::number(exitCode));
        log.close();
    }
    return exitCode;
}
