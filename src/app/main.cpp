#include "appbackend.h"
#include "backend.h"
#include "applicationidentity.h"
#include "applog.h"
#include "database.h"
#include "instancelock.h"
#include "terminationhandler.h"

#include <QApplication>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TerminationHandler termination;
    ApplicationIdentity::apply();

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    InstanceLock instanceLock(dataDir);
    if (!instanceLock.acquire()) {
        if (instanceLock.isHeldByAnotherCopy()) {
            InstanceLock::reportAlreadyRunning();
            return 1;
        }
        // A folder that refuses even the lock file will not take the database's writes either.
        qCritical("Cannot write in the data folder %s", qPrintable(dataDir));
        return -1;
    }

    Database database;
    if (!database.initialize(dataDir + QStringLiteral("/darvelinto.db"))) {
        qCritical("Failed to initialize database!");
        return -1;
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
