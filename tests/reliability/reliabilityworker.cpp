// A stand-in for the office at work, for the crash test: opens the database file it is given and
// keeps doing what the office does all day through the operations of the catalogue, with sound
// arguments varied at random (new units, tenants and contracts, rent runs, payments, voids,
// service charges, unit sales with schedules of up to 240 installments, collections, installment
// cheques cashed and bounced) until it is killed.
//
//     reliability-worker <database file> <seed>
//
// It reports on standard output, one line each, flushed at once:
//     READY                 the database is open
//     B <operation>         an operation starts
//     E <0|1>               it ended, failed or done
// After READY and after every E it rests, writing nothing, until a line on standard input lets it
// go on ("go"), or asks for the digest of the content as its own connection sees it ("digest",
// answered by "D <digest>"): the test kills it at rest, or lets it go and kills it at work.
#include "consistency.h"
#include "database.h"
#include "operations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The worker never outlives a test that lost track of it.
constexpr unsigned kLifetimeSeconds = 60;

// The day's work, as often as an office does each.
const QStringList kDay = { u"unit add"_s, u"unit add"_s, u"tenant add"_s, u"contract add"_s,
    u"contract add"_s, u"rent run"_s, u"rent run"_s, u"rent run"_s, u"payment"_s, u"payment"_s, u"payment"_s,
    u"invoice void"_s, u"service charge"_s, u"invoice create"_s, u"buyer add"_s, u"unit sale"_s,
    u"unit sale"_s, u"unit sale"_s, u"installment collect"_s, u"installment collect"_s,
    u"installment cheque cash"_s, u"installment cheque bounce"_s };

void say(const QString& line)
{
    // One write per line: a kill never leaves half of a line that looks whole.
    const QByteArray bytes = line.toUtf8() + '\n';
    [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size()));
}

void rest(const QString& line, Database* database)
{
    say(line);
    for (QByteArray asked;;) {
        char c = 0;
        if (::read(STDIN_FILENO, &c, 1) != 1)
            ::_exit(0);
        if (c != '\n') {
            asked += c;
        } else if (asked == "go") {
            return;
        } else {
            say(u"D "_s + QString::fromLatin1(Consistency::contentHash(database->getDb())));
            asked.clear();
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Dies with the test that started it, whatever happens to the test.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        say(u"usage: reliability-worker <database file> <seed>"_s);
        return 2;
    }
    ::alarm(kLifetimeSeconds);
    QLoggingCategory::setFilterRules(u"darvelinto.*=false"_s);

    Database database;
    if (!database.initialize(args.at(1)))
        return 1;
    Operations::Office office(&database, QFileInfo(args.at(1)).absolutePath());
    rest(u"READY"_s, &database);
    if (!database.scalar(u"SELECT 1 FROM properties"_s).isValid()) {
        say(u"B build"_s);
        rest(u"E %1"_s.arg(office.build() ? 1 : 0), &database);
    }
    QRandomGenerator random(args.at(2).toUInt());
    for (;;) {
        const Operations::Operation& op = Operations::find(kDay.at(random.bounded(int(kDay.size()))));
        say(u"B "_s + op.name);
        Operations::Arguments arguments(Operations::Arguments::Varied, &random, &database);
        const bool done = op.call(office, arguments);
        rest(u"E %1"_s.arg(done ? 1 : 0), &database);
    }
}
