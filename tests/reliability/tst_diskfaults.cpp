// Every write operation of the catalogue on a database file it may not write and on a full disk
// reports failure, leaves the file exactly as it was (not even an id used up) and no half-written
// file behind, and works again once the fault is gone; so do a long sale and a long import when the
// disk fills in the middle of them. A rent run the disk fills keeps the invoices it finished whole.
//
// Read-only: as root, permission bits stop no write, so the program's own connection is reopened
// with SQLite's read-only flag, the state SQLite falls back to when the system refuses writes. Full
// disk: the soft RLIMIT_FSIZE of the process, lowered for one call (SIGXFSZ ignored), fails every
// write past it with EFBIG, as a full disk does.
#include "clock.h"
#include "operations.h"

#include <QDirIterator>
#include <QLoggingCategory>
#include <QSqlQuery>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

using namespace Operations;

namespace {

// Room for a few pages of the write-ahead log: small transactions fit, long ones do not.
constexpr rlim_t kSomePages = 96 * 1024;

/**
 * A fault for as long as it lives. A read-only file: the program's connection (the one the models
 * hold) reopened read-only, and back. A full disk: no file of this process grows past `room`
 * bytes; the write-ahead log is emptied first, so the room is what is left for the next write.
 */
class Fault
{
public:
    Fault(Database* db, bool fullDisk, rlim_t room = 0)
        : m_connection(db->getDb())
        , m_fullDisk(fullDisk)
    {
        QSqlQuery(m_connection).exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit capped = m_old;
        capped.rlim_cur = fullDisk ? room : m_old.rlim_cur;
        m_active = setrlimit(RLIMIT_FSIZE, &capped) == 0 && (fullDisk || reopen(u"QSQLITE_OPEN_READONLY"_s));
    }
    ~Fault()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
        if (!m_fullDisk)
            reopen({});
    }
    bool isActive() const { return m_active; }

private:
    /** Opens the connection again with `options`; whether a write is refused now. */
    bool reopen(const QString& options)
    {
        m_connection.close();
        m_connection.setConnectOptions(options);
        m_connection.open();
        QSqlQuery pragma(m_connection);
        pragma.exec(u"PRAGMA foreign_keys=ON"_s);
        pragma.exec(u"PRAGMA synchronous=NORMAL"_s);
        return !options.isEmpty() && !pragma.exec(u"CREATE TABLE probe (x)"_s);
    }

    QSqlDatabase m_connection;
    bool m_fullDisk;
    bool m_active = false;
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

/** Every file under the data folder and the home folder (documents, desktop), with its size. */
QStringList files(const Office& office)
{
    QStringList found;
    for (const QString& root : { office.file->dir(), office.home.path() }) {
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            // The live database and its companions change size as SQLite works.
            if (!it.fileName().startsWith(u"darvelinto.db"_s))
                found.append(it.filePath() + u' ' + QString::number(it.fileInfo().size()));
        }
    }
    found.sort();
    return found;
}

} // namespace

class TestDiskFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QLoggingCategory::setFilterRules(u"darvelinto.*.info=false"_s);
        Clock::setToday(QDate(2025, 3, 10));
    }

    void everyWriteFailsWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QVariantMap>("pinned");
        QTest::addColumn<int>("room");
        for (const Operation& op : catalogue()) {
            QTest::addRow("%s on a read-only file", qPrintable(op.name))
                << op.name << false << QVariantMap() << 0;
            // Files bigger than the room left (a backup, an export's invoice table, a PDF): none may
            // be left half-written, and none reported as written.
            QTest::addRow("%s on a full disk", qPrintable(op.name))
                << op.name << true << QVariantMap() << (op.onFiles ? 2048 : 0);
        }
        // Long transactions the disk fills in the middle of.
        QStringList lines;
        for (int i = 0; i < 3000; ++i)
            lines.append(u"مستأجر %1,ID-%1,0599%1,رام الله"_s.arg(i));
        QTest::newRow("a sale of 1,200 installments")
            << u"unit sale"_s << true << QVariantMap { { u"count"_s, 1200 } } << int(kSomePages);
        QTest::newRow("an import of 3,000 tenants")
            << u"import tenants"_s << true << QVariantMap { { u"pasted"_s, lines.join(u'\n') } }
            << int(kSomePages);
    }

    void everyWriteFailsWhole()
    {
        QFETCH(QString, name);
        QFETCH(bool, fullDisk);
        QFETCH(QVariantMap, pinned);
        QFETCH(int, room);
        const Operation& op = find(name);
        if (name == u"restore"_s && !fullDisk)
            QSKIP("a restore writes through a connection of its own");
        const bool bigFiles = op.onFiles && fullDisk;
        Office office;
        QVERIFY(office.build(bigFiles ? 40 : 0));
        QVERIFY(!bigFiles || office.app->invoiceModel()->generateAllRent(u"2026-01"_s) > 0);
        if (op.prepare)
            op.prepare(office);
        QRandomGenerator random(1);
        const auto call = [&] {
            Arguments a(Arguments::Sound, &random, office.db, pinned);
            return op.call(office, a) > 0 && a.broken().isEmpty();
        };
        const Consistency::Unchanged unchanged(office.db->getDb());
        const QStringList filesBefore = files(office);
        bool done = false;
        {
            const Fault fault(office.db, fullDisk, rlim_t(room));
            QVERIFY(fault.isActive());
            done = call();
        }
        QVERIFY(unchanged.holds());
        if (op.onFiles && !fullDisk) {
            // A read-only database is still read: a copy, an export or a print of it works.
            QVERIFY2(done, "an operation that only reads the database failed on a read-only file");
            return;
        }
        QVERIFY2(!done, "a write reported success");
        QCOMPARE(files(office), filesBefore);
        QVERIFY(office.desktop.opened.isEmpty());
        QVERIFY2(call(), "the operation fails once the fault is gone");
        QCOMPARE(Consistency::problems(office.db->getDb(), Consistency::All & ~op.setsAside), QStringList());
    }

    // The disk fills in the middle of a run: each invoice is its own transaction, so the run keeps
    // the invoices it finished whole, says how many it made and how many failed, and a second run
    // fills in the rest.
    void rentRunKeepsWholeInvoicesWhenTheDiskFills()
    {
        Office office;
        QVERIFY(office.build(40));
        InvoiceModel* invoices = office.app->invoiceModel();
        QVariantMap outcome;
        {
            const Fault fault(office.db, true, kSomePages);
            QVERIFY(fault.isActive());
            outcome = invoices->issueRent(u"2026-01"_s);
        }
        const int made = outcome.value(u"made"_s).toInt();
        QCOMPARE(office.file->count(u"SELECT id FROM invoices WHERE period = '2026-01'"_s), made);
        QCOMPARE(outcome.value(u"failed"_s).toInt(), 40 - made);
        QCOMPARE(outcome.value(u"refused"_s).toBool(), false);
        QVERIFY2(made < 40, "the disk did not fill during the run");
        QCOMPARE(Consistency::problems(office.db->getDb()), QStringList());
        QCOMPARE(invoices->generateAllRent(u"2026-01"_s), 40 - made);
        QCOMPARE(Consistency::problems(office.db->getDb()), QStringList());
    }
};

QTEST_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"
