// The database file: what it refuses to open, what it refuses to write, its helpers' reads and
// transactions, and the schema an older file is brought up to.
#include "testdatabase.h"
#include "transactionguard.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <sys/fsuid.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList kHistoryIndexes = { "idx_invoices_unit", "idx_installments_unit", "idx_expenses_unit",
    "idx_expenses_project", "idx_cost_centers_unit", "idx_cost_centers_property", "idx_cost_centers_parent" };

} // namespace

class TestDatabaseFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void refusedStatementsWriteNothingAndSaySo_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::newRow("unknown property")
            << u"INSERT INTO units (property_id, unit_number) VALUES (?, ?)"_s << QVariantList { 999, "A1" };
        QTest::newRow("identity number taken")
            << u"INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"_s
            << QVariantList { "محمد", "123" };
        QTest::newRow("unit number taken in its property")
            << u"INSERT INTO units (property_id, unit_number) VALUES (?, ?)"_s << QVariantList { 1, "101" };
        QTest::newRow("property still holding units")
            << u"DELETE FROM properties WHERE id = ?"_s << QVariantList { 1 };
        QTest::newRow("misspelt") << u"INSERT INTO tenant (full_name) VALUES (?)"_s << QVariantList { "x" };
    }

    void refusedStatementsWriteNothingAndSaySo()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        Database* db = m_db->db();
        QVERIFY(db->execInsert(u"INSERT INTO tenants (full_name, id_number) VALUES ('أحمد', '123')"_s) > 0);
        QVERIFY(db->execInsert(u"INSERT INTO properties (name) VALUES ('برج')"_s) > 0);
        QVERIFY(db->execInsert(u"INSERT INTO units (property_id, unit_number) VALUES (1, '101')"_s) > 0);
        QSignalSpy errors(db, &Database::databaseError);
        QCOMPARE(db->execInsert(sql, values), -1);
        QVERIFY(!db->execNonQuery(sql, values));
        QCOMPARE(errors.count(), 2);
        QVERIFY(!errors.first().first().toString().isEmpty());
        QVERIFY(db->execQuery(u"SELEC * FROM users"_s).isEmpty());
        QCOMPARE(errors.count(), 3);
        QCOMPARE(
            m_db->value(
                    u"SELECT group_concat(id) FROM (SELECT id FROM tenants UNION ALL SELECT id FROM units)"_s)
                .toString(),
            u"1,1"_s);
    }

    void getByIdReadsOnlyTheProgramsOwnTables()
    {
        // The name goes into the statement: a subquery in its place would read any column.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"refused a table"_s));
        QVERIFY(m_db->db()->getById(u"(SELECT 1 AS id, password_hash FROM users)"_s, 1).isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"refused a table"_s));
        QVERIFY(m_db->db()->getById(u"sqlite_master"_s, 1).isEmpty());
        QCOMPARE(m_db->db()->getById(u"currencies"_s, 1).value("code").toString(), u"ILS"_s);
        QVERIFY(m_db->db()->getById(u"currencies"_s, 4242).isEmpty());
    }

    void anAskedAgainQuerySeesTheSchemaAndDataOfTheMoment()
    {
        Database* db = m_db->db();
        const auto note = [db] {
            return db->execQuery(u"SELECT * FROM currencies WHERE code='ILS'"_s)
                .value(0)
                .toMap()
                .value("note");
        };
        QVERIFY(!note().isValid());
        QVERIFY(db->execNonQuery(u"ALTER TABLE currencies ADD COLUMN note TEXT"_s));
        QVERIFY(db->execNonQuery(u"UPDATE currencies SET note='شيكل' WHERE code='ILS'"_s));
        QCOMPARE(note().toString(), u"شيكل"_s);
        // Written by another connection to the file, as a restore does.
        QVERIFY(
            onOtherConnection(u"UPDATE currencies SET note='جديد' WHERE code='ILS'"_s, QString()).toBool());
        QCOMPARE(note().toString(), u"جديد"_s);
    }

    void askedQueriesLeaveNoReadOpen()
    {
        Database* db = m_db->db();
        QVERIFY(!db->execQuery(u"SELECT * FROM currencies"_s).isEmpty());
        // A wrong number of values, then a statement failing half-way through its rows.
        QVERIFY(db->execQuery(u"SELECT * FROM currencies WHERE id=?"_s).isEmpty());
        QVERIFY(db->execQuery(u"SELECT abs(-9223372036854775807 - id) FROM currencies"_s).isEmpty());
        // A read left open would keep another connection (a backup, a restore) from folding the
        // log back into the file.
        QVERIFY(db->execNonQuery(u"UPDATE currencies SET symbol='₪' WHERE id=1"_s));
        QCOMPARE(
            onOtherConnection(u"PRAGMA wal_checkpoint(TRUNCATE)"_s, u"QSQLITE_BUSY_TIMEOUT=0"_s).toInt(), 0);
    }

    void transactionGuardRollsBackUnlessCommittedAndDoesNotNest()
    {
        Database* db = m_db->db();
        const QString insert = u"INSERT INTO tenants (full_name) VALUES (?)"_s;
        {
            TransactionGuard guard(db);
            QVERIFY(guard.isActive());
            QVERIFY(db->execInsert(insert, { u"gone"_s }) > 0);
        }
        {
            TransactionGuard guard(db);
            QVERIFY(db->execInsert(insert, { u"kept"_s }) > 0);
            TransactionGuard inner(db);
            QVERIFY(!inner.isActive());
            QVERIFY(!inner.commit());
            QVERIFY(guard.commit());
        }
        QCOMPARE(m_db->value(u"SELECT group_concat(full_name) FROM tenants"_s).toString(), u"kept"_s);
    }

    void olderFileIsBroughtUpToDateAndASecondStartChangesNothing()
    {
        m_db.reset(); // one connection at a time
        QTemporaryDir dir;
        const QString path = dir.filePath(u"darvelinto.db"_s);
        {
            // A file of a version before: down payments known by their notes only, no void stamp on
            // invoices, none of the indexes on a unit's or project's history.
            Database file;
            QVERIFY(file.initialize(path));
            Database* db = &file;
            QVERIFY(db->execInsert(u"INSERT INTO buyers (full_name) VALUES ('b')"_s) > 0);
            const QString payment
                = u"INSERT INTO payments (buyer_id, amount, payment_date, notes) VALUES (1, ?, '2025-01-01', ?)"_s;
            QVERIFY(db->execInsert(payment, { 500, u"دفعة مقدمة / بيع وحدة: 7"_s }) > 0);
            QVERIFY(db->execInsert(payment, { 80, u"تحصيل قسط - معرف: 3"_s }) > 0);
            QVERIFY(db->execNonQuery(u"ALTER TABLE payments DROP COLUMN is_down_payment"_s));
            QVERIFY(db->execNonQuery(u"ALTER TABLE invoices DROP COLUMN voided_at"_s));
            for (const QString& index : kHistoryIndexes)
                QVERIFY(db->execNonQuery(u"DROP INDEX "_s + index));
            // Its accounts emptied by hand: the start makes the administrator again, nothing more.
            QVERIFY(db->execNonQuery(u"DELETE FROM users"_s));
        }
        QString schema;
        for (int start = 0; start < 2; ++start) {
            Database db;
            QVERIFY(db.initialize(path));
            QCOMPARE(db.scalar(u"SELECT group_concat(is_down_payment) FROM payments"_s).toString(), u"1,0"_s);
            QCOMPARE(db.scalar(u"SELECT COUNT(voided_at) FROM invoices"_s).toInt(), 0);
            for (const QString& index : kHistoryIndexes)
                QVERIFY2(db.scalar(u"SELECT 1 FROM sqlite_master WHERE name = ?"_s, { index }).isValid(),
                    qPrintable(index));
            QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM users"_s).toInt(), 1);
            QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM services"_s).toInt(), 5);
            const QString now = db.scalar(u"SELECT group_concat(sql, ';') FROM sqlite_master"_s).toString()
                + db.scalar(u"SELECT group_concat(password_hash) FROM users"_s).toString();
            QVERIFY(start == 0 || now == schema);
            schema = now;
        }
    }

    void refusesAFileItCannotUse_data()
    {
        QTest::addColumn<QByteArray>("content"); // "" for a sound file of its own
        QTest::newRow("text") << QByteArray("name,amount\nAhmad,100\n");
        QTest::newRow("binary") << QByteArray(8192, '\x5a');
        QTest::newRow("damaged header") << QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x01');
        QTest::newRow("read-only") << QByteArray();
    }

    void refusesAFileItCannotUse()
    {
        QFETCH(QByteArray, content);
        m_db.reset();
        QTemporaryDir dir;
        const QString path = dir.filePath(u"darvelinto.db"_s);
        if (content.isEmpty()) {
            Database sound;
            QVERIFY(sound.initialize(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && file.write(content) == content.size());
        }
        QVERIFY(QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QVERIFY(QFile::setPermissions(QFileInfo(path).path(), QFileDevice::Permissions(0x7777)));
        const QByteArray before = bytesOf(path);
        // Root writes whatever the permission bits say; a file-system user other than root makes
        // the kernel refuse the write, and SQLite falls back to reading, as for anyone else.
        const bool asRoot = ::geteuid() == 0;
        if (asRoot)
            ::setfsuid(65534);
        bool opened = true;
        {
            Database db;
            QSignalSpy errors(&db, &Database::databaseError);
            opened = db.initialize(path);
            QVERIFY(errors.count() >= 1);
        }
        if (asRoot)
            ::setfsuid(0);
        QVERIFY(!opened);
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(QFileInfo(path + u"-wal"_s).size(), 0); // none, or an empty one a reader may leave

        Database db;
        QVERIFY(!db.initialize(u"/proc/no/such/folder/darvelinto.db"_s));
    }

private:
    /** Runs one statement on a connection of its own to the test file: the first value it gives,
     * true for a statement without rows, or an invalid value when it fails. */
    QVariant onOtherConnection(const QString& sql, const QString& options) const
    {
        QVariant result;
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            other.setDatabaseName(m_db->filePath());
            other.setConnectOptions(options);
            if (other.open()) {
                QSqlQuery query(other);
                if (query.exec(sql))
                    result = query.next() ? query.value(0) : QVariant(true);
            }
        }
        QSqlDatabase::removeDatabase(u"other"_s);
        return result;
    }

    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "tst_database.moc"
