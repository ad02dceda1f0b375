#include "appbackend.h"
#include "applicationidentity.h"
#include "applog.h"
#include "backend.h"
#include "database.h"
#include "databasecopymanager.h"
#include "instancelock.h"
#include "serverchoicecontroller.h"
#include "terminationhandler.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QStandardPaths>
#include <cstdio>

namespace {

/**
 * Copies the office's books to a new file or a new database on a server (its address has the
 * server's connection words), prints table by table what was copied and gives the program's exit
 * code: 0 once the copy reads as the original. A file is never written over, and a failed copy's
 * new file is removed again.
 */
/** The copy itself; its destination closes when it returns. */
DatabaseCopyReport copyTo(Database& from, const QString& target, bool toServer)
{
    Database to(QStringLiteral("darvelinto_copy"));
    QObject::connect(
        &to, &Database::databaseError, &to, [](const QString& error) { qCritical("%s", qPrintable(error)); });
    if (toServer) {
        const ServerAddress address = ServerAddress::parse(target);
        if (!address.isComplete() || !to.initializeServer(address)) {
            return DatabaseCopyReport::refused(QStringLiteral(
                "the server's database could not be opened (host, port, dbname and user, no password)"));
        }
    } else if (QFileInfo::exists(target) || !to.initialize(target)) {
        return DatabaseCopyReport::refused(
            target + QStringLiteral(" exists already or cannot be made: a copy goes to a new file"));
    }
    return DatabaseCopyManager::copy(from, to);
}

/**
 * Copies the office's books to a new file or a new database on a server (its address has the
 * server's connection words), prints table by table what was copied and gives the program's exit
 * code: 0 once the copy reads as the original. A file is never written over, and a failed copy's
 * new file is removed again.
 */
int copyOffice(Database& from, const QString& target)
{
    const bool toServer = target.contains(QLatin1Char('='));
    const bool existed = QFileInfo::exists(target);
    const DatabaseCopyReport report = copyTo(from, target, toServer);
    std::printf("%s\n", qPrintable(report.summary()));
    if (!report.copied && !toServer && !existed) {
        for (const char* suffix : { "", "-wal", "-shm" })
            QFile::remove(target + QLatin1String(suffix));
    }
    return report.copied ? 0 : 1;
}

/** The password of the server's user, typed by the user; empty when they cancel. */
QString askPassword(const ServerAddress& address, bool again)
{
    QInputDialog dialog;
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setWindowTitle(QStringLiteral("الاتصال بخادم المكتب"));
    dialog.setLabelText((again ? QStringLiteral("كلمة المرور غير صحيحة.\n") : QString())
        + QStringLiteral("كلمة مرور المستخدم %1 على الخادم %2:").arg(address.user, address.host));
    dialog.setTextEchoMode(QLineEdit::Password);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

/**
 * Opens the office's books on the server. When the server asks for a password that ~/.pgpass
 * does not give, the user types it (three tries); it is kept nowhere. Why the server refused is
 * told once, at the start.
 */
bool openOnServer(Database& database, ServerAddress address, bool mayAsk)
{
    QString why;
    const auto note = QObject::connect(
        &database, &Database::databaseError, &database, [&why](const QString& error) { why = error; });
    bool opened = database.initializeServer(address);
    for (int tries = 0; !opened && mayAsk && tries < 3 && why.contains(QLatin1String("password")); ++tries) {
        address.password = askPassword(address, tries > 0);
        if (address.password.isEmpty())
            break;
        opened = database.initializeServer(address);
    }
    QObject::disconnect(note);
    if (!opened) {
        qCritical("%s", qPrintable(why));
        qCritical("Could not open the office's database on %s", qPrintable(address.toString()));
    }
    return opened;
}

} // namespace

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
    const QCommandLineOption copyOption(QStringLiteral("copy-to"),
        QStringLiteral("Copy the office's books to a new file, or to a new database on a server "
                       "(\"host=... port=... dbname=... user=...\"), and quit."),
        QStringLiteral("file or address"));
    parser.addOption(copyOption);
    parser.process(app);

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    Database database;
    // One copy at a time is a rule of the file on this desk: desks share a server at will.
    InstanceLock instanceLock(dataDir);
    ServerAddress server = ServerChoiceController::chosen(dataDir);
    if (parser.isSet(serverOption)) {
        server = ServerAddress::parse(parser.value(serverOption));
        if (!server.isComplete()) {
            qCritical("The server address needs host, port, dbname and user, and no password");
            return -1;
        }
    }
    if (server.isComplete()) {
        if (!openOnServer(database, server, !parser.isSet(copyOption)))
            return -1;
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

    if (parser.isSet(copyOption))
        return copyOffice(database, parser.value(copyOption));

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
