#include "windowprobe.h"

#include "appbackend.h"
#include "backend.h"
#include "applicationidentity.h"
#include "authcontroller.h"
#include "clock.h"
#include "database.h"
#include "sqlfloor.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

qint64 peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void writeSql(const QString& path, const QStringList& statements)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(statements.join(QStringLiteral("\n;;\n")).toUtf8());
}

QVariant evaluate(QObject* root, const QString& script)
{
    QQmlExpression expression(qmlContext(root), root, script);
    const QVariant value = expression.evaluate();
    return expression.hasError() ? QVariant() : value;
}

} // namespace

int runWindowProbe(int argc, char* argv[])
{
    SqlRecorder::installOnNewConnections();
    SqlRecorder::start();

    // The start-up of the program itself (src/app/main.cpp), on the given data.
    QApplication app(argc, argv);
    ApplicationIdentity::apply();

    QCommandLineParser parser;
    parser.addOption({ QStringLiteral("window-probe"), QString() });
    parser.addOption({ QStringLiteral("db"), QString(), QStringLiteral("file") });
    parser.addOption({ QStringLiteral("today"), QString(), QStringLiteral("date") });
    parser.addOption({ QStringLiteral("spawned-at"), QString(), QStringLiteral("ms") });
    parser.addOption({ QStringLiteral("sql-out"), QString(), QStringLiteral("prefix") });
    parser.process(app);
    Clock::setToday(QDate::fromString(parser.value(QStringLiteral("today")), Qt::ISODate));
    const double spawnedAt = parser.value(QStringLiteral("spawned-at")).toDouble();
    const QString sqlOut = parser.value(QStringLiteral("sql-out"));
    QTemporaryDir dataDir;

    Database database;
    if (!database.initialize(parser.value(QStringLiteral("db"))))
        return 1;
    AppBackend backend(&database, dataDir.path());
    QQmlApplicationEngine engine;
    Backend::attach(&engine, backend);
    engine.load(Backend::mainUrl());
    auto* window = engine.rootObjects().isEmpty()
        ? nullptr
        : qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    if (!window)
        return 1;

    QTextStream out(stdout);
    enum class Phase { Starting, LoggingIn, Visiting, Done } phase = Phase::Starting;
    double loginStarted = 0;
    int visiting = 0;
    double pageShownAt = 0;
    const int pageCount = 12;
    const auto mainFrameShown = [&] {
        const QVariant shown = evaluate(window,
            QStringLiteral("typeof currentScreen === 'function' && currentScreen() "
                           "? currentScreen().objectName : ''"));
        return shown.toString();
    };
    const auto finish = [&] {
        out << "all_pages_ms=" << QString::number(monotonicMs() - loginStarted, 'f', 2) << Qt::endl;
        writeSql(sqlOut + QStringLiteral("-login.sql"), SqlRecorder::stop());
        phase = Phase::Done;
        out << "peak_rss_kb=" << peakRssKb() << Qt::endl;
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    };
    // Each page in turn, as a user going down the side bar would open it; a page loads its lists
    // when it is first made or when it is shown.
    const auto showNextPage = [&] {
        ++visiting;
        QTimer::singleShot(0, &app, [&] {
            evaluate(window, QStringLiteral("currentScreen().showPage(%1)").arg(visiting));
            window->update();
        });
    };
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
        if (phase == Phase::Starting) {
            out << "startup_ms=" << QString::number(monotonicMs() - spawnedAt, 'f', 2) << Qt::endl;
            writeSql(sqlOut + QStringLiteral("-startup.sql"), SqlRecorder::stop());
            phase = Phase::LoggingIn;
            // The log-in runs from the event loop, as a click on the page's button would.
            QTimer::singleShot(0, &app, [&] {
                SqlRecorder::start();
                loginStarted = monotonicMs();
                const bool hasPage = evaluate(window,
                    QStringLiteral("typeof currentScreen === 'function' && "
                                   "!!currentScreen() && typeof "
                                   "currentScreen().submit === 'function'"))
                                         .toBool();
                if (hasPage)
                    evaluate(window, QStringLiteral("currentScreen().submit('admin', 'qorvu')"));
                else
                    backend.authController()->login(QStringLiteral("admin"), QStringLiteral("qorvu"));
                window->update();
            });
            return;
        }
        if (phase == Phase::LoggingIn && loginStarted > 0) {
            const QString shown = mainFrameShown();
            if (shown == QLatin1String("mainApp")) {
                out << "login_ms=" << QString::number(monotonicMs() - loginStarted, 'f', 2) << Qt::endl;
                out << "frame=" << shown << Qt::endl;
                phase = Phase::Visiting;
                pageShownAt = monotonicMs();
                showNextPage();
            } else if (shown.isEmpty()) {
                // Without the main frame (an interface still being built) the first frame after
                // the log-in is what there is to measure.
                out << "login_ms=" << QString::number(monotonicMs() - loginStarted, 'f', 2) << Qt::endl;
                out << "frame=none" << Qt::endl;
                finish();
            } else {
                window->update();
            }
            return;
        }
        if (phase == Phase::Visiting) {
            const int shownIndex = evaluate(window, QStringLiteral("currentScreen().currentIndex")).toInt();
            if (shownIndex != visiting) {
                window->update();
                return;
            }
            const double now = monotonicMs();
            QTextStream(stderr) << "# page " << visiting << " shown in "
                                << QString::number(now - pageShownAt, 'f', 1) << " ms\n";
            pageShownAt = now;
            if (visiting + 1 >= pageCount)
                finish();
            else
                showNextPage();
        }
    });
    QTimer::singleShot(60000, &app, [&] {
        out << "timeout" << Qt::endl;
        QCoreApplication::exit(1);
    });
    return QApplication::exec();
}
