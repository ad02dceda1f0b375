#include "testdatabase.h"
#include "transactionguard.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <unistd.h>

class TestDatabaseHelpers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void foreignKeysAreEnforced()
    {
        QCOMPARE(m_db->value(QStringLiteral("PRAGMA foreign_keys")).toInt(), 1);
        QSignalSpy errors(m_db->db(), &Database::databaseError);
        QCOMPARE(m_db->db()->execInsert(
                     QStringLiteral("INSERT INTO units (property_id, unit_number) VALUES (?, ?)"),
                     { 999, QStringLiteral("A1") }),
            -1);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
    }

    void connectionIsTuned()
    {
        QCOMPARE(m_db->value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(m_db->value(QStringLiteral("PRAGMA synchronous")).toInt(), 1);
        QCOMPARE(m_db->value(QStringLiteral("PRAGMA cache_size")).toInt(), -64000);
    }

    void syntaxErrorReturnsEmptyAndSignalsOnce()
    {
        QSignalSpy errors(m_db->db(), &Database::databaseError);
        QVERIFY(m_db->db()->execQuery(QStringLiteral("SELEC * FROM users")).isEmpty());
        QCOMPARE(errors.count(), 1);
        QVERIFY(!errors.first().first().toString().isEmpty());
        QVERIFY(!m_db->db()->execNonQuery(QStringLiteral("UPDATE nosuch SET x = 1")));
        QCOMPARE(errors.count(), 2);
    }

    void uniqueViolationReturnsMinusOne()
    {
        QSignalSpy errors(m_db->db(), &Database::databaseError);
        const QString sql = QStringLiteral("INSERT INTO tenants (full_name, id_number) VALUES (?, ?)");
        const int first = m_db->db()->execInsert(sql, { QStringLiteral("أحمد"), QStringLiteral("123") });
        QVERIFY(first > 0);
        QCOMPARE(m_db->db()->execInsert(sql, { QStringLiteral("محمد"), QStringLiteral("123") }), -1);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
    }

    void joinedIdKeepsTheLastColumn()
    {
        const int property = m_db->db()->execInsert(
            QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { QStringLiteral("برج") });
        m_db->db()->execInsert(
            QStringLiteral("INSERT INTO properties (name) VALUES (?)"), { QStringLiteral("filler") });
        const int unit = m_db->db()->execInsert(
            QStringLiteral("INSERT INTO units (property_id, unit_number) VALUES (?, ?)"),
            { property, QStringLiteral("1") });
        m_db->db()->execInsert(QStringLiteral("INSERT INTO units (property_id, unit_number) VALUES (?, ?)"),
            { property, QStringLiteral("2") });
        const QVariantList rows = m_db->db()->execQuery(
            QStringLiteral(
                "SELECT u.id, p.id FROM units u JOIN properties p ON p.id = u.property_id WHERE u.id = ?"),
            { unit + 1 });
        QCOMPARE(rows.size(), 1);
        const QVariantMap row = rows.first().toMap();
        QCOMPARE(row.size(), 1);
        QCOMPARE(row.value(QStringLiteral("id")).toInt(), property);
    }

    void nullColumnIsPresentAndNull()
    {
        const int id = m_db->db()->execInsert(
            QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { QStringLiteral("x") });
        const QVariantMap row = m_db->db()->getById(QStringLiteral("tenants"), id);
        QVERIFY(row.contains(QStringLiteral("phone")));
        QVERIFY(row.value(QStringLiteral("phone")).isNull());
        QCOMPARE(row.value(QStringLiteral("balance")).toDouble(), 0.0);
        QCOMPARE(row.value(QStringLiteral("id")).typeId(), QMetaType::LongLong);
    }

    void nullParameterBindsNull()
    {
        const int id
            = m_db->db()->execInsert(QStringLiteral("INSERT INTO tenants (full_name, phone) VALUES (?, ?)"),
                { QStringLiteral("x"), QVariant() });
        QVERIFY(m_db->db()->getById(QStringLiteral("tenants"), id).value(QStringLiteral("phone")).isNull());
    }

    void getByIdOfUnknownIdIsEmptyAndSilent()
    {
        QSignalSpy errors(m_db->db(), &Database::databaseError);
        QVERIFY(m_db->db()->getById(QStringLiteral("tenants"), 4242).isEmpty());
        QVERIFY(m_db->db()->getById(QStringLiteral("no_such_table"), 1).isEmpty());
        QCOMPARE(errors.count(), 0);
    }

    void getByIdReadsOnlyTheProgramsOwnTables()
    {
        // The name goes into the statement: a subquery in its place would read any column.
        const QString subquery = QStringLiteral("(SELECT 1 AS id, password_hash FROM users)");
        QVERIFY(m_db->db()->getById(subquery, 1).isEmpty());
        QVERIFY(m_db->db()->getById(QStringLiteral("sqlite_master"), 1).isEmpty());
        QCOMPARE(
            m_db->db()->getById(QStringLiteral("currencies"), 1).value(QStringLiteral("code")).toString(),
            QStringLiteral("ILS"));
    }

    void emptyParameterListRunsPlainStatement()
    {
        const QVariantList rows
            = m_db->db()->execQuery(QStringLiteral("SELECT code FROM currencies ORDER BY id"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.first().toMap().value(QStringLiteral("code")).toString(), QStringLiteral("ILS"));
    }

    void valuesAreNeverSplicedIntoSql()
    {
        const QString hostile = QStringLiteral("x'); DROP TABLE tenants; --");
        QVERIFY(
            m_db->db()->execInsert(QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { hostile })
            > 0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT full_name FROM tenants")).toString(), hostile);
    }

    void anAskedAgainQuerySeesTheSchemaAndDataOfTheMoment()
    {
        Database* db = m_db->db();
        const auto note = [db] {
            const QString sql = QStringLiteral("SELECT * FROM currencies WHERE code='ILS'");
            return db->execQuery(sql).value(0).toMap().value(QStringLiteral("note"));
        };
        QVERIFY(!note().isValid());
        QVERIFY(db->execNonQuery(QStringLiteral("ALTER TABLE currencies ADD COLUMN note TEXT")));
        QVERIFY(db->execNonQuery(QStringLiteral("UPDATE currencies SET note='شيكل' WHERE code='ILS'")));
        QCOMPARE(note().toString(), QStringLiteral("شيكل"));

        // Written by another connection to the file, as a restore does.
        const QVariant written = onOtherConnection(
            QStringLiteral("UPDATE currencies SET note='جديد' WHERE code='ILS'"), QString());
        QVERIFY(written.toBool());
        QCOMPARE(note().toString(), QStringLiteral("جديد"));
    }

    void askedQueriesLeaveNoReadOpen()
    {
        Database* db = m_db->db();
        QSignalSpy errors(db, &Database::databaseError);
        QVERIFY(!db->execQuery(QStringLiteral("SELECT * FROM currencies")).isEmpty());
        // A wrong number of values, then the same statement as it should be asked.
        QVERIFY(db->execQuery(QStringLiteral("SELECT * FROM currencies WHERE id=?")).isEmpty());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(db->execQuery(QStringLiteral("SELECT * FROM currencies WHERE id=?"), { 1 }).size(), 1);
        // A statement failing half-way through its rows.
        QVERIFY(
            db->execQuery(QStringLiteral("SELECT abs(-9223372036854775807 - id) FROM currencies")).isEmpty());
        QCOMPARE(errors.count(), 2);

        // A read left open would keep the log from being folded back into the file by another
        // connection (a backup, a restore).
        QVERIFY(db->execNonQuery(QStringLiteral("UPDATE settings SET value='x' WHERE key='company_name'")));
        const QVariant busy = onOtherConnection(
            QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        QCOMPARE(busy.toInt(), 0);
    }

    void guardRollsBackUnlessCommitted()
    {
        {
            TransactionGuard guard(m_db->db());
            QVERIFY(guard.isActive());
            m_db->db()->execInsert(
                QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { QStringLiteral("gone") });
        }
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 0);
        {
            TransactionGuard guard(m_db->db());
            m_db->db()->execInsert(
                QStringLiteral("INSERT INTO tenants (full_name) VALUES (?)"), { QStringLiteral("kept") });
            QVERIFY(guard.commit());
        }
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
    }

    void transactionsDoNotNest()
    {
        QVERIFY(m_db->db()->beginTransaction());
        TransactionGuard inner(m_db->db());
        QVERIFY(!inner.isActive());
        QVERIFY(!inner.commit());
        QVERIFY(m_db->db()->rollbackTransaction());
    }

private:
    /** Runs one statement on a connection of its own to the test file: the first value it gives,
     * true for a statement without rows, or an invalid value when it fails. */
    QVariant onOtherConnection(const QString& sql, const QString& options) const
    {
        QVariant result;
        {
            QSqlDatabase other
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(m_db->filePath());
            other.setConnectOptions(options);
            if (other.open()) {
                QSqlQuery query(other);
                if (query.exec(sql))
                    result = query.next() ? query.value(0) : QVariant(true);
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        return result;
    }

    std::unique_ptr<TestDatabase> m_db;
};

class TestDatabaseOpening : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void refusesFilesThatAreNotSqlite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("name,amount\nAhmad,100\n");
        QTest::newRow("binary") << QByteArray(8192, '\x5a');
        QByteArray truncated("SQLite format 3");
        truncated.append('\0');
        truncated.append(QByteArray(84, '\x01'));
        QTest::newRow("damaged header") << truncated;
    }

    void refusesFilesThatAreNotSqlite()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        {
            Database db;
            QSignalSpy errors(&db, &Database::databaseError);
            QVERIFY(!db.initialize(path));
            QVERIFY(errors.count() >= 1);
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    }

    void refusesReadOnlyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        {
            Database db;
            QVERIFY(db.initialize(path));
        }
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        const QByteArray before = [&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        Database db;
        const bool opened = db.initialize(path);
        if (::geteuid() == 0) {
            // root ignores permission bits, so the file really is writable: opening is right.
            QVERIFY(opened);
            return;
        }
        QVERIFY(!opened);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void refusesUnreachableFolder()
    {
        Database db;
        QSignalSpy errors(&db, &Database::databaseError);
        QVERIFY(!db.initialize(QStringLiteral("/proc/no/such/folder/darvelinto.db")));
        QCOMPARE(errors.count(), 1);
    }
};

int main(int argc, char** argv)
{
    int status = 0;
    {
        TestDatabaseHelpers helpers;
        status |= QTest::qExec(&helpers, argc, argv);
    }
    {
        TestDatabaseOpening opening;
        status |= QTest::qExec(&opening, argc, argv);
    }
    return status;
}

#include "tst_database.moc"
