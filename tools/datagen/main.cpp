// Writes a realistic office into a new database file, through the program's own models.
//
//   darvelinto-datagen <demo|large> <file> [--today yyyy-MM-dd] [--seed N] [--months N]
//
// --months shortens or lengthens the history (the benchmark builds the large office one year old).
// The history ends on --today (default: the real date). The file is built beside the target and
// moved into place only when complete, so an interrupted run never leaves half an office behind.
// A line "today=<date>" is written to <file>.today for tools that pin their clock to the data.
#include "database.h"
#include "datagenerator.h"
#include "simulatedclock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

void removeDatabaseFiles(const QString& path)
{
    for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        QFile::remove(path + suffix);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("darvelinto-datagen"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a demo or large office into a new database file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("size"), QStringLiteral("demo or large"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("the database file to write"));
    parser.addOption({ QStringLiteral("today"), QStringLiteral("Last day of the history (default: today)."),
        QStringLiteral("yyyy-MM-dd") });
    parser.addOption({ QStringLiteral("seed"), QStringLiteral("Seed of the random choices."),
        QStringLiteral("N"), QStringLiteral("20240611") });
    parser.addOption({ QStringLiteral("months"),
        QStringLiteral("Months of history instead of the size's own."), QStringLiteral("N") });
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const OfficeProfile profile = OfficeProfile::named(args.value(0));
    if (args.size() != 2 || profile.name.isEmpty()) {
        QTextStream(stderr)
            << "usage: darvelinto-datagen <demo|large> <file> [--today yyyy-MM-dd] [--seed N]\n";
        return 2;
    }
    DataGenerator::Options options;
    options.profile = profile;
    if (parser.isSet(QStringLiteral("months"))) {
        options.profile.months = parser.value(QStringLiteral("months")).toInt();
        if (options.profile.months < 1) {
            QTextStream(stderr) << "bad --months\n";
            return 2;
        }
    }
    options.today = parser.isSet(QStringLiteral("today"))
        ? QDate::fromString(parser.value(QStringLiteral("today")), QStringLiteral("yyyy-MM-dd"))
        : QDate::currentDate();
    bool seedOk = false;
    options.seed = parser.value(QStringLiteral("seed")).toUInt(&seedOk);
    if (!options.today.isValid() || !seedOk) {
        QTextStream(stderr) << "bad --today or --seed\n";
        return 2;
    }
    options.progress = [](const QString& text) { QTextStream(stdout) << "datagen: " << text << Qt::endl; };

    const QString target = QFileInfo(args.at(1)).absoluteFilePath();
    QDir().mkpath(QFileInfo(target).absolutePath());
    const QString building = target + QStringLiteral(".building");
    removeDatabaseFiles(building);
    if (!SimulatedClock::install()) {
        QTextStream(stderr) << "cannot install the simulated clock\n";
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    {
        Database database;
        if (!database.initialize(building)) {
            QTextStream(stderr) << "cannot create " << building << "\n";
            return 1;
        }
        DataGenerator generator(&database);
        if (!generator.generate(options)) {
            QTextStream(stderr) << "datagen failed: " << generator.errorString() << "\n";
            return 1;
        }
        // Leave one self-contained file: the log goes back into the database before it moves.
        database.execQuery(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    removeDatabaseFiles(target);
    if (!QFile::rename(building, target)) {
        QTextStream(stderr) << "cannot move the new file to " << target << "\n";
        return 1;
    }
    QFile::remove(building + QStringLiteral("-wal"));
    QFile::remove(building + QStringLiteral("-shm"));
    QFile marker(target + QStringLiteral(".today"));
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        QTextStream(&marker) << "today=" << options.today.toString(QStringLiteral("yyyy-MM-dd")) << "\n";
    QTextStream(stdout) << "datagen: " << profile.name << " office written to " << target << " in "
                        << timer.elapsed() / 1000.0 << " s" << Qt::endl;
    return 0;
}
