#include "backupmanager.h"
#include "recordingdesktop.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace SqliteFiles;

namespace {
const QByteArray kBom("\xEF\xBB\xBF");
}

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QVERIFY(m_home.isValid());
        pinHomeFolder(m_home.path());
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
            m_home.filePath(QStringLiteral("Desktop")));
    }

    void init()
    {
        QDir(m_home.filePath(QStringLiteral("Desktop"))).removeRecursively();
        QFile::remove(m_home.filePath(QStringLiteral("Desktop")));
        m_db = std::make_unique<TestDatabase>();
        m_desktop = std::make_unique<RecordingDesktop>();
        m_manager = std::make_unique<BackupManager>(m_db->dir());
        m_manager->setDesktopServices(m_desktop.get());
    }

    void cleanup()
    {
        m_manager.reset();
        m_desktop.reset();
        m_db.reset();
    }

    void csvField_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("null") << QVariant() << "";
        QTest::newRow("null text") << QVariant(QMetaType(QMetaType::QString)) << "";
        QTest::newRow("empty text") << QVariant(QString()) << "";
        QTest::newRow("whole real") << QVariant(1500.0) << "1500";
        QTest::newRow("large whole real") << QVariant(250000.0) << "250000";
        QTest::newRow("millions") << QVariant(12500000.0) << "12500000";
        QTest::newRow("millions with fraction") << QVariant(12345678.9) << "12345678.9";
        QTest::newRow("real with fraction") << QVariant(1500.25) << "1500.25";
        QTest::newRow("small real") << QVariant(0.1) << "0.1";
        QTest::newRow("negative real") << QVariant(-3.5) << "-3.5";
        QTest::newRow("integer") << QVariant(qlonglong(42)) << "42";
        QTest::newRow("plain text") << QVariant(QStringLiteral("برج النخيل")) << "برج النخيل";
        QTest::newRow("comma") << QVariant(QStringLiteral("Haddad, Sons")) << "\"Haddad, Sons\"";
        QTest::newRow("quote") << QVariant(QStringLiteral("the \"blue\" door"))
                               << "\"the \"\"blue\"\" door\"";
        QTest::newRow("line feed") << QVariant(QStringLiteral("line one\nline two"))
                                   << "\"line one\nline two\"";
        QTest::newRow("carriage return alone") << QVariant(QStringLiteral("a\rb")) << "\"a\rb\"";
        QTest::newRow("formula") << QVariant(QStringLiteral("=HYPERLINK(\"http://x\")"))
                                 << "\"'=HYPERLINK(\"\"http://x\"\")\"";
        QTest::newRow("plus formula")
            << QVariant(QStringLiteral("+cmd|' /C calc'!A0")) << "'+cmd|' /C calc'!A0";
        QTest::newRow("minus formula") << QVariant(QStringLiteral("-2+3")) << "'-2+3";
        QTest::newRow("at formula") << QVariant(QStringLiteral("@SUM(A1)")) << "'@SUM(A1)";
        QTest::newRow("formula with comma") << QVariant(QStringLiteral("=1,2")) << "\"'=1,2\"";
        QTest::newRow("phone with plus") << QVariant(QStringLiteral("+970599123456")) << "+970599123456";
        QTest::newRow("negative number text") << QVariant(QStringLiteral("-12.5")) << "-12.5";
        QTest::newRow("dash in the middle") << QVariant(QStringLiteral("A-101")) << "A-101";
    }

    void csvField()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, field);
        QCOMPARE(BackupManager::csvField(value), field);
    }

    void writesTheTwelveTablesIntoADatedFolderAndOpensIt()
    {
        QVERIFY(m_manager->exportAllToCSV());
        const QString folder = exportFolder();
        QVERIFY(!folder.isEmpty());
        static const QRegularExpression name(
            QStringLiteral(R"(^Darvelinto_Export_\d{4}-\d\d-\d\d_\d\d-\d\d$)"));
        QVERIFY2(name.match(QFileInfo(folder).fileName()).hasMatch(), qPrintable(folder));
        QStringList expected { "accounts.csv", "buyers.csv", "cheques.csv", "contracts.csv",
            "installments.csv", "invoices.csv", "journal_entries.csv", "maintenance_requests.csv",
            "payments.csv", "properties.csv", "tenants.csv", "units.csv" };
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
        QCOMPARE(m_desktop->opened, QStringList { folder });
    }

    void tenantsFileHoldsHeaderBomQuotingNullsAndNumbers()
    {
        const QString sql = QStringLiteral("INSERT INTO tenants (full_name, id_number, phone, email, "
                                           "address, notes, balance, created_at) VALUES (?,?,?,?,?,?,?,?)");
        const QString stamp = QStringLiteral("2024-03-01 10:00:00");
        QVERIFY(
            m_db->db()->execInsert(sql,
                { QStringLiteral("حداد, وأولاده"), QStringLiteral("401"), QStringLiteral("+970599000111"),
                    QVariant(), QStringLiteral("رام الله"), QStringLiteral("قال \"لاحقاً\""), 1500.0, stamp })
            > 0);
        QVERIFY(m_db->db()->execInsert(sql,
                    { QStringLiteral("=cmd()"), QVariant(), QVariant(), QVariant(),
                        QStringLiteral("first line\nsecond line"), QVariant(), -250.75, stamp })
            > 0);
        QVERIFY(m_manager->exportAllToCSV());

        const QByteArray bytes = readBytes(exportFolder() + QStringLiteral("/tenants.csv"));
        QVERIFY(bytes.startsWith(kBom));
        const QString expected = QStringLiteral(
            "id,full_name,id_number,phone,email,address,notes,balance,created_at\n"
            "1,\"حداد, وأولاده\",401,+970599000111,,رام الله,\"قال \"\"لاحقاً\"\"\",1500,2024-03-01 10:00:00\n"
            "2,'=cmd(),,,,\"first line\nsecond line\",,-250.75,2024-03-01 10:00:00\n");
        QCOMPARE(QString::fromUtf8(bytes.mid(kBom.size())), expected);
        // The line break inside the quoted address spans two physical lines.
        QCOMPARE(bytes.count('\n'), 4);
    }

    void emptyTableGivesTheHeaderAlone()
    {
        QVERIFY(m_manager->exportAllToCSV());
        QCOMPARE(readBytes(exportFolder() + QStringLiteral("/cheques.csv")),
            kBom
                + QByteArray(
                    "id,cheque_number,type,amount,bank_name,issue_date,due_date,payer_name,payee_name,status,"
                    "tenant_id,buyer_id,installment_id,currency_id,notes,created_at\n"));
    }

    void headerFollowsTheTablesColumnOrder()
    {
        QVERIFY(m_manager->exportAllToCSV());
        QStringList columns;
        for (const QVariant& row : m_db->db()->execQuery(QStringLiteral("PRAGMA table_info(units)")))
            columns.append(row.toMap().value(QStringLiteral("name")).toString());
        const QByteArray bytes = readBytes(exportFolder() + QStringLiteral("/units.csv"));
        QCOMPARE(QString::fromUtf8(bytes.mid(kBom.size())).section(QLatin1Char('\n'), 0, 0),
            columns.join(QLatin1Char(',')));
    }

    void rowsOfTheSeededTablesAreAllWritten()
    {
        QVERIFY(m_manager->exportAllToCSV());
        const int accounts = m_db->count(QStringLiteral("accounts"));
        QVERIFY(accounts > 0);
        const QByteArray bytes = readBytes(exportFolder() + QStringLiteral("/accounts.csv"));
        QCOMPARE(bytes.count('\n'), accounts + 1);
    }

    void closedDatabaseIsReportedAndWritesNothing()
    {
        m_manager.reset();
        m_db.reset();
        QTemporaryDir dataDir;
        BackupManager manager(dataDir.path());
        manager.setDesktopServices(m_desktop.get());
        QSignalSpy errors(&manager, &BackupManager::backupError);
        QVERIFY(!manager.exportAllToCSV());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Database not connected"));
        QVERIFY(exportFolder().isEmpty());
        QVERIFY(m_desktop->opened.isEmpty());
    }

    void unwritableDesktopIsReported()
    {
        // A plain file where the desktop folder should be: no folder can be made under it.
        QVERIFY(writeBytes(m_home.filePath(QStringLiteral("Desktop")), "not a folder"));
        QSignalSpy errors(m_manager.get(), &BackupManager::backupError);
        QVERIFY(!m_manager->exportAllToCSV());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Failed to create export folder"));
        QVERIFY(m_desktop->opened.isEmpty());
    }

    void exportingAgainReplacesTheFiles()
    {
        QVERIFY(m_manager->exportAllToCSV());
        const QString first = exportFolder();
        QVERIFY(writeBytes(first + QStringLiteral("/tenants.csv"), "stale content that must go"));
        QVERIFY(m_manager->exportAllToCSV());
        // Usually the same minute, so the same folder; either way the newest tenants file is fresh.
        const QString second = exportFolder();
        const QByteArray bytes = readBytes(second + QStringLiteral("/tenants.csv"));
        QVERIFY(bytes.startsWith(kBom + QByteArray("id,full_name")));
        QVERIFY(!bytes.contains("stale"));
    }

private:
    /** The newest export folder on the desktop, or empty when there is none. */
    QString exportFolder() const
    {
        const QDir desktop(m_home.filePath(QStringLiteral("Desktop")));
        const QStringList folders = desktop.entryList({ QStringLiteral("Darvelinto_Export_*") },
            QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        return folders.isEmpty() ? QString() : desktop.filePath(folders.first());
    }

    QTemporaryDir m_home;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<RecordingDesktop> m_desktop;
    std::unique_ptr<BackupManager> m_manager;
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
