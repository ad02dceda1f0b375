// Moving an office: its file copied to a new server database, and the server's books copied back
// to a file (the way a server database is backed up). The copy must hold the same books, carry on
// numbering where the original stopped, and never write over an office's books or half-copy.
#include "consistency.h"
#include "databasecopymanager.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace RentalFixtures;
using namespace Qt::StringLiterals;

namespace {

// Figures the books must show alike on both sides, each an independent sum of what is stored.
const QStringList kFigures = {
    u"SELECT COALESCE(SUM(total_amount), 0) FROM invoices WHERE status <> 'void'"_s,
    u"SELECT COALESCE(SUM(amount), 0) FROM payments"_s,
    u"SELECT COALESCE(SUM(balance), 0) FROM tenants"_s,
    u"SELECT COALESCE(SUM(paid_amount), 0) FROM installments"_s,
    u"SELECT COALESCE(SUM(debit), 0) FROM journal_lines"_s,
    u"SELECT COALESCE(MAX(receipt_number), 0) FROM receipts"_s,
};

QVariantList figures(Database& db)
{
    QVariantList values;
    for (const QString& sql : kFigures)
        values << qRound64(db.scalar(sql).toDouble() * 100);
    return values;
}

int count(Database& db, const QString& table)
{
    return db.scalar(u"SELECT COUNT(*) FROM "_s + table).toInt();
}

QStringList problems(Database& db)
{
    return Consistency::problems(db.getDb());
}

} // namespace

class CopyServerTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_demo;

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        if (!TestDatabase::server().isComplete())
            QSKIP("no PostgreSQL server for this run");
        // The demo office holds a bit of everything: rent, readings, fees, sales, cheques, the ledger.
        m_demo = m_dir.filePath(u"demo.db"_s);
        QProcess datagen;
        datagen.start(
            QStringLiteral(DARVELINTO_DATAGEN), { u"demo"_s, m_demo, u"--today"_s, u"2026-06-30"_s });
        QVERIFY(datagen.waitForFinished(120000));
        QCOMPARE(datagen.exitCode(), 0);
    }

    void anOfficeMovesToTheServerAndBackWhole()
    {
        Database file;
        QVERIFY(file.initialize(m_demo));
        QVERIFY2(problems(file).isEmpty(), qPrintable(problems(file).join(u'\n')));
        TestDatabase server(u"server"_s);

        const DatabaseCopyReport there = DatabaseCopyManager::copy(file, *server.db());
        QVERIFY2(there.copied, qPrintable(there.error));
        QVERIFY(there.tables.indexOf(u"tenants"_s) < there.tables.indexOf(u"contracts"_s));
        QVERIFY(there.tables.indexOf(u"invoices"_s) < there.tables.indexOf(u"payments"_s));
        for (const QString& table : there.tables) {
            QCOMPARE(count(*server.db(), table), count(file, table));
            QCOMPARE(there.rows.value(table), count(file, table));
        }
        QVERIFY(there.rows.value(u"journal_lines"_s) > 1000);
        QVERIFY2(problems(*server.db()).isEmpty(), qPrintable(problems(*server.db()).join(u'\n')));
        QCOMPARE(figures(*server.db()), figures(file));

        // Back to a file, as a backup of the server's books is taken.
        Database back(u"back"_s);
        QVERIFY(back.initialize(m_dir.filePath(u"back.db"_s)));
        const DatabaseCopyReport home = DatabaseCopyManager::copy(*server.db(), back);
        QVERIFY2(home.copied, qPrintable(home.error));
        QCOMPARE(home.rows, there.rows);
        QVERIFY(problems(back).isEmpty());
        QCOMPARE(figures(back), figures(file));

        // The server carries on where the file stopped: a new row takes the next id, not one in use.
        const int lastTenant = file.scalar(u"SELECT MAX(id) FROM tenants"_s).toInt();
        QCOMPARE(addTenant(server.db(), u"مستأجر جديد"_s), lastTenant + 1);
        QCOMPARE(addTenant(&back, u"مستأجر جديد"_s), lastTenant + 1);
    }

    void aDestinationHoldingBooksIsRefusedUntouched()
    {
        Database file;
        QVERIFY(file.initialize(m_demo));
        TestDatabase server(u"server"_s);
        QVERIFY(addTenant(server.db(), u"مستأجر قائم"_s) > 0);
        const Consistency::Unchanged unchanged(server->getDb());

        const DatabaseCopyReport report = DatabaseCopyManager::copy(file, *server.db());
        QVERIFY(!report.copied);
        QVERIFY(report.error.contains(u"already holds"_s));
        QVERIFY(unchanged.holds());
    }

    void aFailedWriteCopiesNothing()
    {
        Database file;
        QVERIFY(file.initialize(m_demo));
        TestDatabase server(u"server"_s);
        failOn(server.db(), u"INSERT"_s, u"payments"_s);
        const Consistency::Unchanged unchanged(server->getDb());

        const DatabaseCopyReport report = DatabaseCopyManager::copy(file, *server.db());
        QVERIFY(!report.copied);
        QVERIFY(report.error.contains(u"payments"_s));
        QVERIFY(unchanged.holds());
        QCOMPARE(count(file, u"payments"_s) > 0, true);
    }

    // The administrator's command: the server's books to a new file, never over an existing one.
    void theCommandBacksTheServerUpToANewFile()
    {
        TestDatabase server(u"server"_s);
        {
            Database file;
            QVERIFY(file.initialize(m_demo));
            QVERIFY(DatabaseCopyManager::copy(file, *server.db()).copied);
        }
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"data"_s));
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        program.setProcessEnvironment(environment);
        const QString backup = m_dir.filePath(u"backup.db"_s);
        const QStringList arguments
            = { u"--server"_s, server.serverAddress().toString(), u"--copy-to"_s, backup };
        program.start(QStringLiteral(DARVELINTO_BINARY), arguments);
        QVERIFY(program.waitForFinished(120000));
        const QString said = QString::fromUtf8(program.readAllStandardOutput());
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(said.contains(u"copied: every table reads the same on both sides"_s));
        {
            Database copy(u"backup"_s);
            QVERIFY(copy.initialize(backup));
            QCOMPARE(figures(copy), figures(*server.db()));
        }

        program.start(QStringLiteral(DARVELINTO_BINARY), arguments);
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(CopyServerTest)
#include "tst_copy_server.moc"
