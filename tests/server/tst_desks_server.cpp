// Several desks on one server database at once: one runs the rent of a year while the other takes
// payments, charges services and sells units, each a program of its own. Afterwards the books must
// hold together, and no invoice or receipt number may be shared or skipped.
#include "clock.h"
#include "consistency.h"
#include "contractmodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QDateTime>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <limits>

using namespace RentalFixtures;
using namespace Qt::StringLiterals;

namespace {

constexpr int kTenants = 150;
constexpr int kUnitsForSale = 12;
const QStringList kPeriods
    = { u"2025-01"_s, u"2025-02"_s, u"2025-03"_s, u"2025-04"_s, u"2025-05"_s, u"2025-06"_s };

/** What a desk did: operations done and operations that failed. */
struct Tally
{
    int done = 0;
    int failed = 0;
    void count(bool ok) { ok ? ++done : ++failed; }
};

/** The rent desk: every month's rent, issued on the same day as the other desk works. */
Tally rentDesk(Database* db)
{
    Tally tally;
    InvoiceModel invoices(db);
    for (const QString& period : kPeriods) {
        const QVariantMap outcome = invoices.issueRent(period);
        tally.done += outcome.value(u"made"_s).toInt();
        tally.failed += outcome.value(u"failed"_s).toInt() + (outcome.value(u"refused"_s).toBool() ? 1 : 0);
    }
    return tally;
}

/** The cashier's desk: pays what is open, charges a service now and then, sells and collects. */
Tally cashierDesk(Database* db)
{
    Tally tally;
    InvoiceModel invoices(db);
    PaymentModel payments(db);
    InstallmentModel sales(db);
    const QVariantList tenants = db->execQuery(u"SELECT id FROM tenants ORDER BY id"_s);
    const QVariantList forSale
        = db->execQuery(u"SELECT id FROM units WHERE status = 'available' ORDER BY id"_s);
    const QVariantList buyers = db->execQuery(u"SELECT id FROM buyers ORDER BY id"_s);
    for (int round = 0; round < kPeriods.size(); ++round) {
        for (int i = 0; i < tenants.size(); ++i) {
            const int tenant = tenants.at(i).toMap().value(u"id"_s).toInt();
            if (i % 8 == round % 8)
                tally.count(
                    invoices.generateServiceInvoice({ tenant }, u"تنظيف"_s, 25, kPeriods.at(round), 1) == 1);
            for (const QVariant& open : invoices.getPendingByTenant(tenant)) {
                const QVariantMap invoice = open.toMap();
                tally.count(payments.add(invoice.value(u"id"_s).toInt(), tenant,
                                invoice.value(u"balance"_s).toDouble(), u"cash"_s, u"2025-06-15"_s, {}, 1)
                    > 0);
            }
        }
        for (int k = round * 2; k < round * 2 + 2 && k < forSale.size(); ++k) {
            tally.count(sales.sellUnit(buyers.at(k).toMap().value(u"id"_s).toInt(),
                            forSale.at(k).toMap().value(u"id"_s).toInt(), 12000, 2000, 4, u"2025-06-01"_s, 1)
                == 1);
        }
        for (const QVariant& due : db->execQuery(u"SELECT id, installment_amount FROM installments "
                                                 "WHERE status = 'pending' AND due_date <= '2025-07-01'"_s)) {
            const QVariantMap installment = due.toMap();
            tally.count(sales.payInstallment(
                installment.value(u"id"_s).toInt(), installment.value(u"installment_amount"_s).toDouble()));
        }
    }
    return tally;
}

/** A payer's desk: pays 100 on every invoice, as the other payer's desk does at the same time. */
Tally payerDesk(Database* db)
{
    Tally tally;
    PaymentModel payments(db);
    for (const QVariant& row : db->execQuery(u"SELECT id, tenant_id FROM invoices ORDER BY id"_s)) {
        const QVariantMap invoice = row.toMap();
        tally.count(payments.add(invoice.value(u"id"_s).toInt(), invoice.value(u"tenant_id"_s).toInt(), 100,
                        u"cash"_s, u"2025-06-15"_s, {}, 1)
            > 0);
    }
    return tally;
}

/** A desk's program: runs its part on the database named and prints its tally. */
int runDesk(const QString& desk, const QString& address)
{
    Clock::setToday(QDate(2025, 6, 15));
    Database db;
    if (!db.initializeServer(ServerAddress::parse(address)))
        return 2;
    // The desks begin at the same instant, so that they meet on the same rows.
    const qint64 start = qEnvironmentVariableIntValue("DARVELINTO_DESK_START") * 1000LL;
    while (QDateTime::currentMSecsSinceEpoch() < start)
        QThread::usleep(200);
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    const Tally tally = desk == u"rent"_s ? rentDesk(&db)
        : desk == u"payer"_s              ? payerDesk(&db)
                                          : cashierDesk(&db);
    std::printf("%d %d %lld %lld\n", tally.done, tally.failed, started, QDateTime::currentMSecsSinceEpoch());
    return tally.failed == 0 ? 0 : 1;
}

} // namespace

class DesksServerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        if (!TestDatabase::server().isComplete())
            QSKIP("no PostgreSQL server for this run");
    }

    void twoDesksKeepOneSetOfBooks()
    {
        TestDatabase office;
        openOffice(office);
        const QList<QProcess*> desks = startDesks(office, { u"rent"_s, u"cashier"_s });
        int operations = 0;
        qint64 lastStart = 0;
        qint64 firstEnd = std::numeric_limits<qint64>::max();
        for (QProcess* process : std::as_const(desks)) {
            QVERIFY(process->waitForFinished(600000));
            // "done failed started ended", times in milliseconds
            const QStringList tally
                = QString::fromUtf8(process->readAllStandardOutput()).trimmed().split(u' ');
            QCOMPARE(process->exitCode(), 0);
            QCOMPARE(tally.size(), 4);
            operations += tally.at(0).toInt();
            QCOMPARE(tally.at(1).toInt(), 0);
            lastStart = std::max(lastStart, tally.at(2).toLongLong());
            firstEnd = std::min(firstEnd, tally.at(3).toLongLong());
        }
        qInfo("desks: 2, operations: %d, at the same time for %lld ms, faults found: none", operations,
            firstEnd - lastStart);
        QVERIFY(operations > 1000);
        QVERIFY2(firstEnd > lastStart, "the desks did not work at the same time");

        // Every invoice of the month is numbered once, from 1 up without a gap.
        const int invoices
            = office.count(u"SELECT id FROM invoices WHERE invoice_number LIKE 'INV-202506-%'"_s);
        QVERIFY(invoices > kTenants * kPeriods.size());
        QCOMPARE(
            office.count(u"SELECT DISTINCT invoice_number FROM invoices"_s), office.count(u"invoices"_s));
        QCOMPARE(
            office.value(u"SELECT MAX(CAST(SUBSTR(invoice_number, 12) AS INTEGER)) FROM invoices"_s).toInt(),
            invoices);
        QVERIFY(booksHold(office));
    }

    // A desk killed in the middle of the rent run (power cut, task manager): the server drops its
    // open transaction, the other desk goes on, and a rent run started again finishes the months.
    void aDeskKilledMidWriteLeavesTheBooksWhole()
    {
        TestDatabase office;
        openOffice(office);
        const QList<QProcess*> desks = startDesks(office, { u"rent"_s, u"cashier"_s });
        QTest::qWait(800);
        QCOMPARE(desks.first()->state(), QProcess::Running);
        desks.first()->kill();
        for (QProcess* desk : desks)
            QVERIFY(desk->waitForFinished(600000));
        QCOMPARE(desks.last()->exitCode(), 0);
        const int before = office.count(u"invoices"_s);

        QProcess again;
        again.start(QCoreApplication::applicationFilePath(),
            { u"--desk"_s, u"rent"_s, office.serverAddress().toString() });
        QVERIFY(again.waitForFinished(600000));
        QCOMPARE(again.exitCode(), 0);
        QVERIFY(office.count(u"invoices"_s) > before);
        QCOMPARE(office.count(u"SELECT DISTINCT invoice_id FROM invoice_items WHERE type = 'rent'"_s),
            kTenants * int(kPeriods.size()));
        QVERIFY(booksHold(office));
    }

    // Two desks paying the same invoices at the same moment: each payment counts, none overwrites
    // the other's in the invoice's paid amount or the tenant's balance.
    void twoDesksPayingOneInvoiceBothCount()
    {
        TestDatabase office;
        openOffice(office);
        InvoiceModel invoices(office.db());
        QCOMPARE(invoices.issueRent(kPeriods.first()).value(u"made"_s).toInt(), kTenants);
        const QList<QProcess*> desks = startDesks(office, { u"payer"_s, u"payer"_s });
        for (QProcess* desk : desks) {
            QVERIFY(desk->waitForFinished(600000));
            QCOMPARE(desk->exitCode(), 0);
        }
        QCOMPARE(office.value(u"SELECT SUM(paid_amount) FROM invoices"_s).toDouble(), 200.0 * kTenants);
        QVERIFY(booksHold(office));
    }

    // Two desks starting the same months' rent at once: each contract is billed once a month.
    void twoDesksRunningTheSameRentBillOnce()
    {
        TestDatabase office;
        openOffice(office);
        for (QProcess* desk : startDesks(office, { u"rent"_s, u"rent"_s }))
            QVERIFY(desk->waitForFinished(600000));
        QCOMPARE(office.count(u"SELECT DISTINCT invoice_id FROM invoice_items WHERE type = 'rent'"_s),
            kTenants * int(kPeriods.size()));
        QVERIFY(booksHold(office));
    }

private:
    void openOffice(TestDatabase& office)
    {
        Clock::setToday(QDate(2025, 6, 15));
        const int property = addProperty(office.db());
        for (int i = 0; i < kTenants; ++i) {
            const int unit = addUnit(office.db(), property, u"R-%1"_s.arg(i));
            const int tenant
                = addTenant(office.db(), u"مستأجر %1"_s.arg(i), u"9%1"_s.arg(i, 8, 10, QLatin1Char('0')));
            QVERIFY(addContract(office.db(), unit, tenant, u"2025-01-01"_s, u"2025-12-31"_s, 500 + i) > 0);
        }
        for (int i = 0; i < kUnitsForSale; ++i) {
            QVERIFY(addUnit(office.db(), property, u"S-%1"_s.arg(i)) > 0);
            QVERIFY(addBuyer(office.db(), u"مشترٍ %1"_s.arg(i)) > 0);
        }
    }

    QList<QProcess*> startDesks(const TestDatabase& office, const QStringList& kinds)
    {
        QList<QProcess*> desks;
        for (const QString& desk : kinds) {
            auto* process = new QProcess(this);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(
                u"DARVELINTO_DESK_START"_s, QString::number(QDateTime::currentSecsSinceEpoch() + 2));
            process->setProcessEnvironment(environment);
            process->start(QCoreApplication::applicationFilePath(),
                { u"--desk"_s, desk, office.serverAddress().toString() });
            desks << process;
        }
        return desks;
    }

    /** The consistency checks, and every invoice number used once, from 1 up without a gap per month. */
    static bool booksHold(const TestDatabase& office)
    {
        const QStringList problems = Consistency::problems(office->getDb());
        if (!problems.isEmpty())
            qWarning("%s", qPrintable(problems.join(u'\n')));
        const int numbers = office.count(u"SELECT DISTINCT invoice_number FROM invoices"_s);
        const QVariant gaps
            = office.value(u"SELECT COUNT(*) FROM (SELECT SUBSTR(invoice_number, 1, 11) AS month, "
                           "COUNT(*) AS made, MAX(CAST(SUBSTR(invoice_number, 12) AS INTEGER)) AS last "
                           "FROM invoices GROUP BY SUBSTR(invoice_number, 1, 11)) AS months "
                           "WHERE made <> last"_s);
        return problems.isEmpty() && numbers == office.count(u"invoices"_s) && gaps.toInt() == 0;
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--desk") == 0)
        return runDesk(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    DesksServerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desks_server.moc"
