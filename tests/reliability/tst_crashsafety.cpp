// Kills a process busy writing the books with SIGKILL, 40 times on the same file: while it opens
// the file, while an operation runs, or while it rests after one. After every kill the file passes
// the consistency checks (an operation is kept whole or not at all), and killed at rest the file is
// exactly as the worker's own connection last saw it: nothing written is lost. First the checks are
// shown to see damage of every kind.
//
// The worker is this program run as `tst_crashsafety --work <file> <seed>`: the office's day through
// the catalogue's operations, with varied sound arguments. It says READY once the file is open, then
// rests, writing nothing, until it reads g (one more operation: it says B <operation> as it begins and
// E <0|1> as it ends, failed or done) or d (it says D <digest of the content as it sees it>).
#include "operations.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kKills = 40;
// The whole run stays well inside the suite's time: a worker that hangs fails the test instead.
constexpr int kBudgetMs = 150000;
constexpr int kWaitMs = 20000;

// The day's work, as often as an office does each.
const QStringList kDay
    = u"unit add,unit add,tenant add,contract add,contract add,rent run,rent run,rent run,payment,"
      "payment,payment,invoice void,service charge,invoice create,buyer add,unit sale,unit sale,"
      "unit sale,installment collect,installment collect,installment cheque cash,"
      "installment cheque bounce,late-fee run,reminder,meter reading,meter reading,usage run"_s.split(u',');

void say(const QByteArray& line)
{
    // One write per line: a kill never leaves half of a line that looks whole.
    [[maybe_unused]] const auto written
        = ::write(STDOUT_FILENO, (line + '\n').constData(), size_t(line.size() + 1));
}

int work(const QString& path, quint32 seed)
{
    ::alarm(60); // never outlives a test that lost track of it
    QLoggingCategory::setFilterRules(u"darvelinto.*=false"_s);
    Database database;
    if (!database.initialize(path))
        return 1;
    Operations::Office office(&database, QFileInfo(path).absolutePath());
    QRandomGenerator random(seed);
    say("READY");
    for (char asked = 0; ::read(STDIN_FILENO, &asked, 1) == 1;) {
        if (asked == 'd') {
            say("D " + Consistency::contentHash(database.getDb()));
        } else if (!database.scalar(u"SELECT 1 FROM properties"_s).isValid()) {
            say("B build");
            say(office.build() ? "E 1" : "E 0");
        } else {
            const Operations::Operation& op = Operations::find(kDay.at(random.bounded(int(kDay.size()))));
            say("B " + op.name.toUtf8());
            Operations::Arguments arguments(Operations::Arguments::Varied, &random, &database);
            say(op.call(office, arguments) > 0 ? "E 1" : "E 0");
        }
    }
    return 0;
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private:
    quint32 m_seed = 20250613;

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        if (qEnvironmentVariableIsSet("RELIABILITY_SEED"))
            m_seed = qEnvironmentVariableIntValue("RELIABILITY_SEED");
        qInfo("seed %u (set RELIABILITY_SEED to repeat another run)", m_seed);
    }

    // The checks are only worth something if they see a half-written record: one damage per check.
    // (The overhead split is worked out from the file itself: no damaged row can break it.)
    void checksSeeDamage_data()
    {
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("damage");
        using C = Consistency::Check;
        const auto row = [](const char* name, C check, const char* damage) {
            QTest::newRow(name) << int(check) << QString::fromUtf8(damage);
        };
        row("a dangling reference", C::FileIntegrity, "DELETE FROM tenants WHERE id = 1");
        row("an invoice item lost", C::InvoiceTotals, "DELETE FROM invoice_items WHERE id = 1");
        row("a void that kept its balance", C::InvoiceBalances, "UPDATE invoices SET status = 'void'");
        row("a payment its invoice missed", C::InvoicePayments, "UPDATE invoices SET paid_amount = 0");
        row("a tenant balance not moved", C::TenantBalances, "UPDATE tenants SET balance = balance + 10");
        row("a buyer balance not raised", C::BuyerBalances, "UPDATE buyers SET balance = 0");
        row("an unmarked collection", C::InstallmentPayments, "UPDATE installments SET paid_amount = 0");
        row("an installment lost", C::SaleSchedules, "DELETE FROM installments WHERE id = 2");
        row("a sale without its record", C::NoStraySchedules, "DELETE FROM audit_logs WHERE id > 0");
        row("an infinite balance", C::FiniteFigures, "UPDATE buyers SET balance = 9e999");
        row("a fraction of a cent", C::WholeCents, "UPDATE contracts SET deposit = 1000.004");
        row("settled with money open", C::SettledExactly, "UPDATE invoices SET status = 'paid'");
        row("an invoice of nothing", C::PositiveInvoices, "UPDATE invoices SET total_amount = 0");
        row("paid in another currency", C::PaymentCurrencies, "UPDATE payments SET currency_id = 2");
        row("a let unit out of service", C::UnitStatuses, "UPDATE units SET status = 'maintenance'");
        row("a returned cheque's money", C::ChequeCollections, "UPDATE cheques SET status = 'bounced'");
        row("a journal line lost", C::LedgerBalanced, "DELETE FROM journal_lines WHERE id = 1");
        row("entries naming other operations", C::LedgerPosted,
            "UPDATE journal_entries SET reference_id = reference_id + 1000");
        row("a receipt lost", C::Receipts,
            "DELETE FROM receipts WHERE receipt_number = (SELECT MIN(receipt_number) FROM receipts)");
        row("a late fee on itself", C::LateFees,
            "UPDATE invoices SET late_fee_for = id, late_fee_month = '2025-01'");
        row("a deposit refunded twice", C::Deposits,
            "INSERT INTO deposit_movements (contract_id, kind, amount, movement_date) "
            "SELECT contract_id, 'refund', 1000 + amount, movement_date FROM deposit_movements");
    }

    void checksSeeDamage()
    {
        QFETCH(int, check);
        QFETCH(QString, damage);
        Operations::Office office;
        QVERIFY(office.build());
        QCOMPARE(Consistency::problems(office.db->getDb()), QStringList());
        // Damage as a crash in the middle would leave it, foreign keys or not.
        QVERIFY(office.db->execNonQuery(u"PRAGMA foreign_keys = OFF"_s));
        QVERIFY(office.db->execNonQuery(damage));
        QVERIFY(!Consistency::problems(office.db->getDb(), Consistency::Check(check)).isEmpty());
    }

    void killsAtRandomMomentsLoseNothingCommitted()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"darvelinto.db"_s);
        QRandomGenerator random(m_seed);
        QElapsedTimer budget;
        budget.start();
        int inOperation = 0, atRest = 0, done = 0;
        QByteArray lastFile; // the digest of the file after the last kill
        for (int kill = 1; kill <= kKills; ++kill) {
            QProcess worker;
            worker.start(QCoreApplication::applicationFilePath(),
                { u"--work"_s, path, QString::number(m_seed + kill) });
            QVERIFY2(worker.waitForStarted(kWaitMs), qPrintable(worker.errorString()));
            QByteArray output;
            // What the worker said, in whole lines: a line the kill cut short claims nothing.
            const auto said = [&] {
                QList<QByteArray> lines = output.split('\n');
                lines.removeLast();
                return lines;
            };
            const auto running
                = [&] { return worker.state() == QProcess::Running && budget.elapsed() < kBudgetMs; };
            const auto ended = [](const QList<QByteArray>& lines, const char* how) {
                return std::count_if(
                    lines.cbegin(), lines.cend(), [&](const QByteArray& l) { return l.startsWith(how); });
            };
            if (kill % 6 == 0) {
                // Somewhere in opening the file: pragmas, schema, default data, the first writes.
                QThread::usleep(random.bounded(60000));
            } else {
                // After the k-th operation, killed at rest (its digest taken), or at work on the
                // ones after, half of those kills almost at once.
                const int target = 1 + random.bounded(12);
                const bool rest = random.bounded(3) == 0;
                worker.write(QByteArray(target, 'g') + QByteArray(rest ? 1 : 100, rest ? 'd' : 'g'));
                while (running()
                    && (ended(said(), "E ") < target || (rest && !said().last().startsWith("D ")))) {
                    worker.waitForReadyRead(kWaitMs);
                    output += worker.readAllStandardOutput();
                }
                if (!rest)
                    QThread::usleep(random.bounded(2) == 0 ? random.bounded(3000) : random.bounded(25000));
            }
            QVERIFY2(
                running(), worker.readAllStandardError().prepend("the worker stopped or the time ran out: "));
            worker.kill();
            QVERIFY(worker.waitForFinished(kWaitMs));
            QCOMPARE(worker.exitStatus(), QProcess::CrashExit);
            output += worker.readAllStandardOutput();
            const QList<QByteArray> lines = said();
            const QByteArray last = lines.value(lines.size() - 1);
            inOperation += last.startsWith("B ") ? 1 : 0;
            atRest += last.startsWith("D ") ? 1 : 0;
            done += int(ended(lines, "E 1"));

            // Killed at work, the file holds each operation whole or not at all: the consistency
            // checks tell. Killed at rest, it is exactly as the worker's own connection saw it, and
            // killed while opening it, exactly as the last kill left it.
            Consistency::FileConnection file(path);
            QVERIFY(file.isOpen());
            const QStringList problems = Consistency::problems(file.db());
            QVERIFY2(problems.isEmpty(),
                qPrintable(u"after kill %1: "_s.arg(kill) + problems.mid(0, 10).join(u'\n')));
            const QByteArray digest = Consistency::contentHash(file.db());
            const QByteArray expected = last.startsWith("D ") ? last.mid(2)
                : lines.isEmpty() && kill > 1                 ? lastFile
                                                              : digest;
            QVERIFY2(digest == expected, qPrintable(u"kill %1 lost what was written"_s.arg(kill)));
            lastFile = digest;
        }

        qInfo("%d kills (%d in an operation, %d at rest), %d operations done, %.1f s", kKills, inOperation,
            atRest, done, budget.elapsed() / 1000.0);
        // The file was really worked on, not killed before it could write anything.
        Consistency::FileConnection file(path);
        QSqlQuery worked(file.db());
        QVERIFY(worked.exec(u"SELECT 1 FROM invoices, installments LIMIT 1"_s) && worked.next());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--work") == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // dies with the test that started it
        QCoreApplication app(argc, argv);
        return work(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toUInt());
    }
    QCoreApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_crashsafety.moc"
