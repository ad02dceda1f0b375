// Puts every write operation of the program through a database file it may not write and through
// a full disk: each must report failure, leave the file exactly as it was (no half-written record,
// not even a used-up id) and leave no half-written file behind; and once the fault is gone the
// same operation must work, since the program keeps running.
//
// Read-only: the tests run as root, for whom permission bits do not stop a write. The program's
// own connection is reopened with SQLite's read-only open flag instead, the state SQLite falls
// back to when the operating system refuses write access; the models keep the connection they
// hold. Full disk: the soft RLIMIT_FSIZE of this process is lowered for the duration of one call
// (SIGXFSZ ignored), so every write past the cap fails with EFBIG, as on a full disk.
#include "accountmodel.h"
#include "appbackend.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "backupmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "clock.h"
#include "consistency.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "database.h"
#include "expensemodel.h"
#include "importcontroller.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "receiptcontroller.h"
#include "recordingdesktop.h"
#include "rentalfixtures.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QDirIterator>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// Room for a few pages of the write-ahead log: small transactions fit, long ones do not.
constexpr rlim_t kSomePages = 96 * 1024;

/** Reopens the program's connection (the one the models hold) read-only, and back. */
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(Database* db)
        : m_connection(db->getDb())
    {
        reopen(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    ~ReadOnlyFile() { reopen(QString()); }

    bool isReadOnly() const
    {
        QSqlQuery probe(m_connection);
        return !probe.exec(QStringLiteral("CREATE TABLE probe (x)"));
    }

private:
    void reopen(const QString& options)
    {
        m_connection.close();
        m_connection.setConnectOptions(options);
        m_connection.open();
        QSqlQuery pragma(m_connection);
        pragma.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
        pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }

    QSqlDatabase m_connection;
};

/**
 * No file of this process grows past `bytes` while it lives. The write-ahead log is emptied first,
 * so the cap is what is left of the disk for the next transaction.
 */
class DiskCap
{
public:
    DiskCap(Database* db, rlim_t bytes)
    {
        QSqlQuery checkpoint(db->getDb());
        checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        checkpoint.finish();
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit capped = m_old;
        capped.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &capped) == 0;
    }
    ~DiskCap()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isActive() const { return m_active; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

/** The program on a small office: one of everything, so that every write operation can succeed. */
struct Office
{
    TestDatabase file;
    QTemporaryDir home;
    RecordingDesktop desktop;
    std::unique_ptr<AppBackend> app;
    int property = -1, spareProperty = -1, rentedUnit = -1, spareUnit = -1, saleUnit = -1;
    int tenant = -1, spareTenant = -1, contract = -1, rentInvoice = -1, otherInvoice = -1;
    int buyer = -1, installment = -1, request = -1, contractor = -1, cheque = -1, saleCheque = -1;

    Database* db() const { return file.db(); }

    bool build()
    {
        // Documents and desktop of this office alone: what one operation wrote is told apart.
        pinHomeFolder(home.path());
        app = std::make_unique<AppBackend>(file.db(), file.dir());
        app->backupManager()->setDesktopServices(&desktop);
        app->printController()->setDesktopServices(&desktop);
        auto* properties = app->propertyModel();
        auto* units = app->unitModel();
        property = properties->add(QStringLiteral("برج النخيل"), QStringLiteral("mixed"),
            QStringLiteral("شارع 1"), QStringLiteral("رام الله"), QString());
        spareProperty = properties->add(
            QStringLiteral("أرض فارغة"), QStringLiteral("residential"), QString(), QString(), QString());
        rentedUnit = units->add(property, QStringLiteral("101"), 1, 100, 3, 1000, 12000, 0, 1);
        spareUnit = units->add(property, QStringLiteral("102"), 1, 90, 2, 800, 9600, 60000, 1);
        saleUnit = units->add(property, QStringLiteral("201"), 2, 120, 4, 0, 0, 90000, 1);
        tenant = app->tenantModel()->add(
            QStringLiteral("منى"), QStringLiteral("4001"), QStringLiteral("0599"), QString(), QString());
        spareTenant = app->tenantModel()->add(
            QStringLiteral("سعيد"), QStringLiteral("4002"), QString(), QString(), QString());
        contract = app->contractModel()->add(rentedUnit, tenant, QStringLiteral("2025-01-01"),
            QStringLiteral("2025-12-31"), 1000, QStringLiteral("monthly"), 0, 1);
        if (app->invoiceModel()->generateAllRent(QStringLiteral("2025-03")) != 1)
            return false;
        rentInvoice = file.value(QStringLiteral("SELECT MAX(id) FROM invoices")).toInt();
        otherInvoice = app->invoiceModel()->createInvoice(
            tenant, rentedUnit, QStringLiteral("2025-04"), { item(300) }, 1);
        buyer = app->buyerModel()->add(
            QStringLiteral("سامي"), QStringLiteral("5001"), QString(), QString(), QString());
        if (app->installmentModel()->sellUnit(buyer, saleUnit, 90000, 9000, 12, QStringLiteral("2025-01-15"),
                1, QStringLiteral("500"), QStringLiteral("بنك فلسطين"))
            != 1)
            return false;
        installment = file.value(QStringLiteral("SELECT MIN(id) FROM installments")).toInt();
        saleCheque
            = file.value(QStringLiteral("SELECT id FROM cheques WHERE installment_id = ?"), { installment })
                  .toInt();
        request = app->maintenanceModel()->add(
            rentedUnit, property, QStringLiteral("تسرب"), QString(), QStringLiteral("high"));
        contractor = app->expenseModel()->addContractor(
            QStringLiteral("أبو علي"), QStringLiteral("0598"), QStringLiteral("سباكة"));
        cheque = app->chequeModel()->add(QStringLiteral("9001"), QStringLiteral("received"), 500,
            QStringLiteral("بنك"), QStringLiteral("2025-04-01"), QStringLiteral("منى"), 1, 1.0, 0, tenant);
        const QList<int> ids
            = { property, spareProperty, rentedUnit, spareUnit, saleUnit, tenant, spareTenant, contract,
                  rentInvoice, otherInvoice, buyer, installment, request, contractor, cheque, saleCheque };
        return std::all_of(ids.cbegin(), ids.cend(), [](int id) { return id > 0; });
    }

    static QVariantMap item(double amount)
    {
        return { { QStringLiteral("description"), QStringLiteral("خدمة") },
            { QStringLiteral("type"), QStringLiteral("service") }, { QStringLiteral("quantity"), 1 },
            { QStringLiteral("unit_price"), amount }, { QStringLiteral("total"), amount } };
    }

    /** Every file under the data folder and the home folder (documents, desktop), with its size. */
    QStringList files() const
    {
        QStringList found;
        for (const QString& root : { file.dir(), QDir::homePath() }) {
            QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                it.next();
                // The live database and its companions change size as SQLite works.
                if (!it.fileName().startsWith(QLatin1String("darvelinto.db")))
                    found.append(it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().size()));
            }
        }
        found.sort();
        return found;
    }
};

bool printed(PrintController* print, const std::function<void()>& call)
{
    QSignalSpy finished(print, &PrintController::printFinished);
    call();
    return finished.count() == 1 && finished.first().first().toBool();
}

struct Operation
{
    bool writesDatabase = true;
    // Rules a legitimate use of the operation sets aside (a unit marked sold without a sale, an
    // installment added by hand).
    Consistency::Checks checks = Consistency::All;
    std::function<void(Office&)> prepare;
    std::function<bool(Office&)> act;
};

QMap<QString, Operation> operations()
{
    using C = Consistency::Check;
    QMap<QString, Operation> ops;
    const auto add = [&](const char* name, std::function<bool(Office&)> act) {
        ops.insert(QLatin1String(name), Operation { true, Consistency::All, {}, std::move(act) });
        return &ops[QLatin1String(name)];
    };
    add("property add", [](Office& o) {
        return o.app->propertyModel()->add(QStringLiteral("برج 2"), QStringLiteral("mixed"), {}, {}, {}) > 0;
    });
    add("property update", [](Office& o) {
        return o.app->propertyModel()->update(
            o.property, QStringLiteral("برج النخيل الجديد"), QStringLiteral("mixed"), {}, {}, {});
    });
    add("property remove", [](Office& o) { return o.app->propertyModel()->remove(o.spareProperty); });
    add("unit add", [](Office& o) {
        return o.app->unitModel()->add(o.property, QStringLiteral("301"), 3, 95, 2, 700, 0, 0, 1) > 0;
    });
    add("unit update", [](Office& o) {
        return o.app->unitModel()->update(o.spareUnit, QStringLiteral("402"), 4, 90, 2, 850, 0, 0);
    });
    add("unit remove", [](Office& o) { return o.app->unitModel()->remove(o.spareUnit); });
    add("unit out of service", [](Office& o) {
        return o.app->unitModel()->updateStatus(o.spareUnit, QStringLiteral("maintenance"));
    });
    add("unit marked sold",
        [](Office& o) {
            return o.app->unitModel()->markAsSold(o.spareUnit, o.buyer, 60000, QStringLiteral("2025-03-01"));
        })
        ->checks
        &= ~Consistency::Checks(C::NoStraySchedules);
    add("tenant add",
        [](Office& o) { return o.app->tenantModel()->add(QStringLiteral("رنا"), {}, {}, {}, {}) > 0; });
    add("tenant update", [](Office& o) {
        return o.app->tenantModel()->update(
            o.tenant, QStringLiteral("منى أحمد"), QStringLiteral("4001"), {}, {}, {});
    });
    add("tenant remove", [](Office& o) { return o.app->tenantModel()->remove(o.spareTenant); });
    add("contract add", [](Office& o) {
        return o.app->contractModel()->add(o.spareUnit, o.spareTenant, QStringLiteral("2025-02-01"),
                   QStringLiteral("2026-01-31"), 800, QStringLiteral("monthly"), 0, 1)
            > 0;
    });
    add("contract terminate", [](Office& o) { return o.app->contractModel()->terminate(o.contract); });
    add("invoice create", [](Office& o) {
        return o.app->invoiceModel()->createInvoice(
                   o.spareTenant, 0, QStringLiteral("2025-05"), { Office::item(120), Office::item(30) }, 1)
            > 0;
    });
    add("invoice paid amount",
        [](Office& o) { return o.app->invoiceModel()->updatePaidAmount(o.rentInvoice, 100); });
    add("invoice void", [](Office& o) { return o.app->invoiceModel()->voidInvoice(o.otherInvoice); });
    add("rent run",
        [](Office& o) { return o.app->invoiceModel()->generateAllRent(QStringLiteral("2025-06")) == 1; });
    add("service charge", [](Office& o) {
        return o.app->invoiceModel()->generateServiceInvoice(
                   { o.tenant, o.spareTenant }, QStringLiteral("تنظيف"), 50, QStringLiteral("2025-03"), 1)
            == 2;
    });
    add("property service charge", [](Office& o) {
        return o.app->invoiceModel()->generatePropertyServiceInvoice(
                   o.property, QStringLiteral("حراسة"), 75, QStringLiteral("2025-03"), 1)
            == 1;
    });
    add("payment", [](Office& o) {
        return o.app->paymentModel()->add(o.rentInvoice, o.tenant, 250, QStringLiteral("cash"),
                   QStringLiteral("2025-03-05"), QStringLiteral("R-1"), 1)
            > 0;
    });
    add("maintenance add", [](Office& o) {
        return o.app->maintenanceModel()->add(
                   o.rentedUnit, o.property, QStringLiteral("مصعد"), {}, QStringLiteral("low"))
            > 0;
    });
    add("maintenance status", [](Office& o) {
        return o.app->maintenanceModel()->updateStatus(o.request, QStringLiteral("in_progress"));
    });
    add("maintenance complete",
        [](Office& o) { return o.app->maintenanceModel()->complete(o.request, 350); });
    add("expense add", [](Office& o) {
        return o.app->expenseModel()->add(o.property, o.rentedUnit, o.contractor, QStringLiteral("صيانة"),
                   QStringLiteral("سباكة"), QStringLiteral("تبديل أنابيب"), 1200,
                   QStringLiteral("2025-03-02"), 1)
            > 0;
    });
    add("contractor add", [](Office& o) {
        return o.app->expenseModel()->addContractor(QStringLiteral("كهربائي"), {}, {}) > 0;
    });
    add("account add", [](Office& o) {
        return o.app->accountModel()->add(
                   QStringLiteral("5300"), QStringLiteral("مصروفات أخرى"), QStringLiteral("expense"), 11)
            > 0;
    });
    add("journal entry", [](Office& o) {
        const QVariantList lines = {
            QVariantMap { { "account_id", 2 }, { "debit", 100.0 }, { "credit", 0.0 }, { "description", "" } },
            QVariantMap { { "account_id", 8 }, { "debit", 0.0 }, { "credit", 100.0 }, { "description", "" } }
        };
        return o.app->accountModel()->createJournalEntry(
                   QStringLiteral("2025-03-01"), QStringLiteral("قيد"), QStringLiteral("manual"), 0, lines)
            > 0;
    });
    add("cheque add", [](Office& o) {
        return o.app->chequeModel()->add(QStringLiteral("9002"), QStringLiteral("issued"), 700,
                   QStringLiteral("بنك"), QStringLiteral("2025-05-01"), QStringLiteral("مورد"), 1, 1.0, 0, 0)
            > 0;
    });
    add("cheque status",
        [](Office& o) { return o.app->chequeModel()->updateStatus(o.cheque, QStringLiteral("paid")); });
    // An installment's cheque carries the installment's money: cashing collects it, a bounce of the
    // cashed cheque takes the collection back.
    add("installment cheque cash",
        [](Office& o) { return o.app->chequeModel()->updateStatus(o.saleCheque, QStringLiteral("paid")); });
    add("installment cheque bounce",
        [](Office& o) { return o.app->chequeModel()->updateStatus(o.saleCheque, QStringLiteral("bounced")); })
        ->prepare
        = [](Office& o) { (void)o.app->chequeModel()->updateStatus(o.saleCheque, QStringLiteral("paid")); };
    add("buyer add",
        [](Office& o) { return o.app->buyerModel()->add(QStringLiteral("ليلى"), {}, {}, {}, {}) > 0; });
    add("buyer update", [](Office& o) {
        return o.app->buyerModel()->update(o.buyer, QStringLiteral("سامي خليل"), {}, {}, {}, {});
    });
    add("installment add",
        [](Office& o) {
            return o.app->installmentModel()->add(
                       o.buyer, o.saleUnit, 90000, 9000, 500, QStringLiteral("2026-02-15"), 1)
                > 0;
        })
        ->checks
        &= ~Consistency::Checks(C::SaleSchedules);
    add("installment collect",
        [](Office& o) { return o.app->installmentModel()->payInstallment(o.installment, 1000); });
    add("unit sale", [](Office& o) {
        return o.app->installmentModel()->sellUnit(o.buyer, o.spareUnit, 60000, 6000, 24,
                   QStringLiteral("2025-03-01"), 1, QStringLiteral("700"), QStringLiteral("بنك"))
            == 1;
    });
    add("exchange rate", [](Office& o) { return o.app->currencyModel()->setRate(1, 2, 0.27); });
    add("primary currency",
        [](Office& o) { return o.app->settingsManager()->setPrimaryCurrency(QStringLiteral("USD")); });
    add("company profile", [](Office& o) {
        return o.app->settingsManager()->updateCompanyProfile(QStringLiteral("مكتب الأمل"),
            QStringLiteral("022"), QStringLiteral("رام الله"), QStringLiteral("info@example.com"));
    });
    add("settings exchange rate",
        [](Office& o) { return o.app->settingsManager()->updateExchangeRate(2, 1, 3.7); });
    add("audit entry", [](Office& o) {
        return o.app->auditManager()->log(1, QStringLiteral("اختبار"), QStringLiteral("units"), 1, {});
    });
    add("import tenants", [](Office& o) {
        return o.app->importController()
                   ->importRawCSV(QStringLiteral("علي,7001,0591\nهدى,7002,0592"), QStringLiteral("tenants"))
                   .value(QStringLiteral("written"))
                   .toInt()
            == 2;
    });
    add("import units",
        [](Office& o) {
            return o.app->importController()
                       ->importRawCSV(QStringLiteral("%1,501,100,70000\n%1,502,110,75000").arg(o.property),
                           QStringLiteral("units"))
                       .value(QStringLiteral("written"))
                       .toInt()
                == 2;
        })
        ->checks
        &= ~Consistency::Checks(C::NoStraySchedules);
    const auto logIn = [](Office& o) {
        (void)o.app->authController()->login(QStringLiteral("admin"), QStringLiteral("qorvu"));
    };
    add("register user",
        [](Office& o) {
            return o.app->authController()->registerUser(
                QStringLiteral("clerk"), QStringLiteral("s3cret-pass"), QStringLiteral("user"));
        })
        ->prepare
        = logIn;
    add("change password",
        [](Office& o) {
            return o.app->authController()->changePassword(
                QStringLiteral("qorvu"), QStringLiteral("n3w-pass-word"));
        })
        ->prepare
        = logIn;
    add("remove user", [](Office& o) { return o.app->authController()->removeUser(QStringLiteral("clerk")); })
        ->prepare
        = [logIn](Office& o) {
              logIn(o);
              (void)o.app->authController()->registerUser(
                  QStringLiteral("clerk"), QStringLiteral("s3cret-pass"), QStringLiteral("user"));
          };

    // The count of prints is kept with the receipt: no document is left when it cannot be counted.
    add("print receipt", [](Office& o) {
        const int payment = o.file.value(QStringLiteral("SELECT MIN(payment_id) FROM receipts")).toInt();
        return !o.app->receiptController()->printReceipt(payment).isEmpty();
    });

    // Files beside the database: written whether or not the database itself may be written.
    const auto addFile = [&](const char* name, std::function<bool(Office&)> act) {
        add(name, std::move(act))->writesDatabase = false;
    };
    addFile("backup", [](Office& o) { return o.app->backupManager()->createBackup(); });
    addFile("csv export", [](Office& o) { return o.app->backupManager()->exportAllToCSV(); });
    addFile("print report", [](Office& o) {
        return printed(o.app->printController(), [&] {
            o.app->printController()->printReport(QStringLiteral("تقرير الوحدات"), QStringLiteral("units"),
                o.app->unitModel()->getAll(), { { QStringLiteral("عدد الوحدات"), 3 } });
        });
    });
    addFile("print statement", [](Office& o) {
        return printed(o.app->printController(), [&] {
            o.app->printController()->printStatement(QStringLiteral("منى"), QStringLiteral("مستأجر"),
                o.app->tenantModel()->getStatement(o.tenant), { { QStringLiteral("الرصيد"), 1300 } });
        });
    });
    // A restore writes the live file through a connection of its own, which this test cannot make
    // read-only; under a full disk it must fail before it touches anything.
    Operation restore;
    restore.writesDatabase = true;
    restore.prepare = [](Office& o) { (void)o.app->backupManager()->createBackup(); };
    restore.act = [](Office& o) {
        return o.app->backupManager()->restoreBackup(o.app->backupManager()->listBackups().value(0));
    };
    ops.insert(QStringLiteral("restore (full disk only)"), restore);
    return ops;
}

} // namespace

class TestDiskFaults : public QObject
{
    Q_OBJECT

private:
    int m_refusedWrites = 0;
    int m_readsOfReadOnlyFile = 0;

    void operationRows()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : operations().keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    /** Builds the office, runs `prepare`, and reports what the file and folders held. */
    static bool setUp(Office& office, const Operation& op)
    {
        if (!office.build())
            return false;
        if (op.prepare)
            op.prepare(office);
        return true;
    }

    /** After the fault: the file as it was, no new file, and the operation works again. */
    void verifyUnharmedAndWorking(
        Office& office, const Operation& op, const QByteArray& before, const QStringList& filesBefore)
    {
        QCOMPARE(Consistency::contentHash(office.db()->getDb()), before);
        QCOMPARE(office.files(), filesBefore);
        QCOMPARE(Consistency::problems(office.db()->getDb(), op.checks), QStringList());
        QVERIFY2(op.act(office), "the operation fails once the fault is gone");
        QCOMPARE(Consistency::problems(office.db()->getDb(), op.checks), QStringList());
    }

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QLoggingCategory::setFilterRules(QStringLiteral("darvelinto.*.info=false"));
        Clock::setToday(QDate(2025, 3, 10));
    }

    void cleanupTestCase()
    {
        qInfo("%d writes refused with the file unchanged, %d copies, exports and prints of a read-only file "
              "made",
            m_refusedWrites, m_readsOfReadOnlyFile);
    }

    void readOnlyFile_data() { operationRows(); }
    void readOnlyFile()
    {
        QFETCH(QString, name);
        const Operation op = operations().value(name);
        if (name.contains(QLatin1String("full disk only")))
            QSKIP("this operation writes through a connection of its own");
        Office office;
        QVERIFY(setUp(office, op));
        const QByteArray before = Consistency::contentHash(office.db()->getDb());
        const QStringList filesBefore = office.files();
        bool done = false;
        {
            ReadOnlyFile readOnly(office.db());
            QVERIFY(readOnly.isReadOnly());
            done = op.act(office);
        }
        if (!op.writesDatabase) {
            ++m_readsOfReadOnlyFile;
            // A read-only database is still read: a copy, an export or a print of it works.
            QVERIFY2(done, "an operation that only reads the database failed on a read-only file");
            QCOMPARE(Consistency::contentHash(office.db()->getDb()), before);
            return;
        }
        QVERIFY2(!done, "a write reported success on a read-only file");
        ++m_refusedWrites;
        verifyUnharmedAndWorking(office, op, before, filesBefore);
    }

    void fullDisk_data() { operationRows(); }
    void fullDisk()
    {
        QFETCH(QString, name);
        const Operation op = operations().value(name);
        Office office;
        QVERIFY(setUp(office, op));
        const QByteArray before = Consistency::contentHash(office.db()->getDb());
        const QStringList filesBefore = office.files();
        bool done = false;
        {
            DiskCap full(office.db(), 0);
            QVERIFY(full.isActive());
            done = op.act(office);
        }
        QVERIFY2(!done, "a write reported success on a full disk");
        ++m_refusedWrites;
        verifyUnharmedAndWorking(office, op, before, filesBefore);
    }

    // The disk fills in the middle of a run: each invoice is its own transaction, so the run keeps
    // the invoices it finished whole, says how many it made and how many failed, and a second run
    // fills in the rest.
    void rentRunKeepsWholeInvoicesWhenTheDiskFills()
    {
        TestDatabase file;
        QVERIFY(RentalFixtures::addActiveContracts(
                    file.db(), 40, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000)
            > 0);
        InvoiceModel invoices(file.db());
        QVariantMap outcome;
        {
            DiskCap cap(file.db(), kSomePages);
            QVERIFY(cap.isActive());
            outcome = invoices.issueRent(QStringLiteral("2025-04"));
        }
        const int made = outcome.value(QStringLiteral("made")).toInt();
        QCOMPARE(file.count(QStringLiteral("SELECT id FROM invoices WHERE period = '2025-04'")), made);
        QCOMPARE(outcome.value(QStringLiteral("failed")).toInt(), 40 - made);
        QCOMPARE(outcome.value(QStringLiteral("refused")).toBool(), false);
        QVERIFY2(made < 40, "the disk did not fill during the run");
        QCOMPARE(Consistency::problems(file->getDb()), QStringList());
        QCOMPARE(invoices.generateAllRent(QStringLiteral("2025-04")), 40 - made);
        QCOMPARE(Consistency::problems(file->getDb()), QStringList());
        qInfo("the disk filled after %d of 40 rent invoices; the second run made the other %d", made,
            40 - made);
    }

    void longSaleIsAllOrNothingWhenTheDiskFills()
    {
        TestDatabase file;
        const int property = RentalFixtures::addProperty(file.db());
        const int unit = RentalFixtures::addUnit(file.db(), property, QStringLiteral("A-1"));
        const int buyer = BuyerModel(file.db()).add(QStringLiteral("سامي"), {}, {}, {}, {});
        InstallmentModel installments(file.db());
        const QByteArray before = Consistency::contentHash(file->getDb());
        {
            DiskCap cap(file.db(), kSomePages);
            QCOMPARE(installments.sellUnit(buyer, unit, 1200000, 0, 1200, QStringLiteral("2025-01-31"), 1,
                         QStringLiteral("1000"), QStringLiteral("بنك")),
                -1);
        }
        QCOMPARE(Consistency::contentHash(file->getDb()), before);
        QCOMPARE(installments.sellUnit(buyer, unit, 1200000, 0, 1200, QStringLiteral("2025-01-31"), 1,
                     QStringLiteral("1000"), QStringLiteral("بنك")),
            1);
        QCOMPARE(file.count(QStringLiteral("installments")), 1200);
        QCOMPARE(Consistency::problems(file->getDb()), QStringList());
    }

    void longImportIsAllOrNothingWhenTheDiskFills()
    {
        TestDatabase file;
        QStringList lines;
        for (int i = 0; i < 3000; ++i)
            lines.append(QStringLiteral("مستأجر %1,ID-%1,0599%1,رام الله").arg(i));
        ImportController import(file.db());
        const QByteArray before = Consistency::contentHash(file->getDb());
        {
            DiskCap cap(file.db(), kSomePages);
            const QVariantMap report
                = import.importRawCSV(lines.join(QLatin1Char('\n')), QStringLiteral("tenants"));
            QVERIFY(report.value(QStringLiteral("failed")).toBool());
            QCOMPARE(report.value(QStringLiteral("written")).toInt(), 0);
        }
        QCOMPARE(Consistency::contentHash(file->getDb()), before);
        QCOMPARE(import.importRawCSV(lines.join(QLatin1Char('\n')), QStringLiteral("tenants"))
                     .value(QStringLiteral("written"))
                     .toInt(),
            3000);
        QCOMPARE(file.count(QStringLiteral("tenants")), 3000);
    }

    // Files that do not fit: the backup, one of the export's tables, the PDF. None may be left
    // half-written, and none may be reported as written.
    void filesThatDoNotFitAreReportedAndLeaveNothing()
    {
        Office office;
        QVERIFY(office.build());
        QVERIFY(RentalFixtures::addActiveContracts(
                    office.db(), 40, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000)
            > 0);
        QVERIFY(office.app->invoiceModel()->generateAllRent(QStringLiteral("2025-04")) > 0);
        const QStringList filesBefore = office.files();
        // Room for the small tables of the export (properties, accounts), not for the invoices.
        const rlim_t cap = 2048;
        {
            DiskCap full(office.db(), cap);
            QVERIFY(!office.app->backupManager()->createBackup());
        }
        QCOMPARE(office.files(), filesBefore);
        {
            DiskCap full(office.db(), cap);
            QVERIFY2(!office.app->backupManager()->exportAllToCSV(),
                "an export missing tables was reported as done");
        }
        QCOMPARE(office.files(), filesBefore);
        QVERIFY(office.desktop.opened.isEmpty());
        {
            DiskCap full(office.db(), cap);
            QVERIFY(!printed(office.app->printController(), [&] {
                office.app->printController()->printReport(QStringLiteral("الفواتير"),
                    QStringLiteral("invoices"), office.app->invoiceModel()->getAll(), {});
            }));
        }
        QCOMPARE(office.files(), filesBefore);
        QVERIFY(office.desktop.opened.isEmpty());
    }
};

QTEST_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"
