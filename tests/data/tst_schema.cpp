#include "passwordhasher.h"
#include "testdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {

QStringList columnsOf(Database* db, const QString& table)
{
    QStringList names;
    for (const QVariant& row : db->execQuery(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), { table }))
        names << row.toMap().value(QStringLiteral("name")).toString();
    return names;
}

QStringList namesOf(Database* db, const QString& type)
{
    QStringList names;
    for (const QVariant& row : db->execQuery(
             QStringLiteral("SELECT name FROM sqlite_master WHERE type = ? AND name NOT LIKE 'sqlite_%' ORDER BY name"), { type }))
        names << row.toMap().value(QStringLiteral("name")).toString();
    return names;
}

const QStringList kHistoryIndexes = { "idx_invoices_unit", "idx_installments_unit", "idx_expenses_unit",
    "idx_expenses_project", "idx_cost_centers_unit", "idx_cost_centers_property", "idx_cost_centers_parent" };
const QStringList kHistoryColumns = { "invoices(unit_id)", "installments(unit_id)", "expenses(unit_id)",
    "expenses(project_id)", "cost_centers(unit_id)", "cost_centers(property_id)", "cost_centers(parent_id)" };

/** "table(columns)" of each index named, "-" for one that is missing. */
QStringList indexedColumns(Database* db, const QStringList& indexes)
{
    QStringList found;
    for (const QString& index : indexes) {
        const QString table = db->scalar(QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type = 'index' AND name = ?"), { index }).toString();
        const QString columns = db->scalar(QStringLiteral("SELECT group_concat(name) FROM pragma_index_info(?)"), { index }).toString();
        found << (table.isEmpty() ? QStringLiteral("-") : table + QLatin1Char('(') + columns + QLatin1Char(')'));
    }
    return found;
}

QString schemaDump(Database* db)
{
    QStringList parts;
    for (const QVariant& row : db->execQuery(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY type, name")))
        parts << row.toMap().value(QStringLiteral("sql")).toString();
    return parts.join(QLatin1Char('\n'));
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void freshFileHasAllTables()
    {
        TestDatabase db;
        const QStringList expected = { "accounts", "app_log", "audit_logs", "buyers", "cheques", "contractors",
            "contracts", "cost_centers", "currencies", "exchange_rates", "expenses", "installments", "invoice_items",
            "invoices", "journal_entries", "journal_lines", "maintenance_requests", "payments", "properties",
            "services", "settings", "tenants", "units", "usage_records", "users" };
        QCOMPARE(namesOf(db.db(), QStringLiteral("table")), expected);
    }

    void freshFileHasAllIndexes()
    {
        TestDatabase db;
        const QStringList indexes = namesOf(db.db(), QStringLiteral("index"));
        QCOMPARE(indexes.size(), 39);
        QVERIFY(indexes.contains(QStringLiteral("idx_invoices_period")));
        QVERIFY(indexes.contains(QStringLiteral("idx_units_buyer")));
        QCOMPARE(db.value(QStringLiteral("SELECT group_concat(name) FROM pragma_index_info('idx_invoices_period')")).toString(),
            QStringLiteral("tenant_id,period"));
        QCOMPARE(indexedColumns(db.db(), kHistoryIndexes), kHistoryColumns);
    }

    void olderFileIsBroughtUpToDate()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        {
            // A file of the version before: down payments known by their notes only, and none of
            // the indexes on a unit's or project's history.
            Database db;
            QVERIFY(db.initialize(path));
            QVERIFY(db.execInsert(QStringLiteral("INSERT INTO buyers (full_name) VALUES ('b')")) > 0);
            const QString payment = QStringLiteral("INSERT INTO payments (buyer_id, amount, payment_date, notes) VALUES (1, ?, '2025-01-01', ?)");
            QVERIFY(db.execInsert(payment, { 500, QStringLiteral("دفعة مقدمة / بيع وحدة: 7") }) > 0);
            QVERIFY(db.execInsert(payment, { 80, QStringLiteral("تحصيل قسط - معرف: 3") }) > 0);
            QVERIFY(db.execNonQuery(QStringLiteral("ALTER TABLE payments DROP COLUMN is_down_payment")));
            for (const QString& index : kHistoryIndexes)
                QVERIFY(db.execNonQuery(QStringLiteral("DROP INDEX ") + index));
        }
        Database db;
        QVERIFY(db.initialize(path));
        QCOMPARE(db.scalar(QStringLiteral("SELECT group_concat(is_down_payment) FROM (SELECT is_down_payment FROM payments ORDER BY id)")).toString(),
            QStringLiteral("1,0"));
        QCOMPARE(indexedColumns(&db, kHistoryIndexes), kHistoryColumns);
    }

    void columnOrder_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("journal_entries") << "journal_entries"
                                         << QStringList { "id", "entry_date", "description", "reference_type", "reference_id",
                                                "created_at", "project_id", "cost_center_id", "contractor_id", "currency_id",
                                                "original_amount", "exchange_rate" };
        QTest::newRow("expenses") << "expenses"
                                  << QStringList { "id", "property_id", "unit_id", "category", "description", "amount",
                                         "expense_date", "vendor", "maintenance_id", "currency_id", "created_at", "project_id",
                                         "contractor_id", "cost_center_id", "work_category" };
        QTest::newRow("units") << "units"
                               << QStringList { "id", "property_id", "unit_number", "floor", "area", "rooms", "rent_monthly",
                                      "rent_yearly", "sale_price", "status", "buyer_id", "sale_price_actual", "sale_date",
                                      "currency_id", "description", "created_at" };
        QTest::newRow("payments") << "payments"
                                  << QStringList { "id", "invoice_id", "tenant_id", "buyer_id", "unit_id", "amount",
                                         "payment_method", "payment_date", "reference", "currency_id", "cost_center_id", "notes",
                                         "created_at", "is_down_payment", "cheque_id" };
        QTest::newRow("settings") << "settings" << QStringList { "key", "value" };
    }

    void columnOrder()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        TestDatabase db;
        QCOMPARE(columnsOf(db.db(), table), columns);
    }

    void secondStartChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        QString schemaBefore;
        QVariantList usersBefore;
        {
            Database db;
            QVERIFY(db.initialize(path));
            schemaBefore = schemaDump(&db);
            usersBefore = db.execQuery(QStringLiteral("SELECT * FROM users"));
        }
        Database db;
        QVERIFY(db.initialize(path));
        QCOMPARE(schemaDump(&db), schemaBefore);
        QCOMPARE(db.execQuery(QStringLiteral("SELECT * FROM users")), usersBefore);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM services")).toInt(), 5);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM accounts")).toInt(), 18);
    }

    void uniqueConstraints()
    {
        TestDatabase db;
        const int p1 = db->execInsert(QStringLiteral("INSERT INTO properties (name) VALUES ('a')"));
        const int p2 = db->execInsert(QStringLiteral("INSERT INTO properties (name) VALUES ('b')"));
        const QString unitSql = QStringLiteral("INSERT INTO units (property_id, unit_number) VALUES (?, ?)");
        QVERIFY(db->execInsert(unitSql, { p1, QStringLiteral("101") }) > 0);
        QCOMPARE(db->execInsert(unitSql, { p1, QStringLiteral("101") }), -1);
        QVERIFY(db->execInsert(unitSql, { p2, QStringLiteral("101") }) > 0);
        QVERIFY(!db->execNonQuery(QStringLiteral("DELETE FROM properties WHERE id = ?"), { p1 }));

        const QString rateSql = QStringLiteral("INSERT INTO exchange_rates (from_currency_id, to_currency_id, rate, date) VALUES (?, ?, ?, ?)");
        QVERIFY(db->execInsert(rateSql, { 2, 1, 3.7, QStringLiteral("2025-01-01") }) > 0);
        QCOMPARE(db->execInsert(rateSql, { 2, 1, 3.8, QStringLiteral("2025-01-01") }), -1);
        QVERIFY(db->execNonQuery(QStringLiteral("INSERT OR REPLACE INTO exchange_rates (from_currency_id, to_currency_id, rate, date) VALUES (?, ?, ?, ?)"),
            { 2, 1, 3.8, QStringLiteral("2025-01-01") }));
        QCOMPARE(db.count(QStringLiteral("exchange_rates")), 1);
        QCOMPARE(db.value(QStringLiteral("SELECT rate FROM exchange_rates")).toDouble(), 3.8);
    }

    void oldUsersTableIsMigrated()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        {
            QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            old.setDatabaseName(path);
            QVERIFY(old.open());
            QSqlQuery q(old);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE users (id INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT UNIQUE NOT NULL, "
                                          "password TEXT, full_name TEXT, role TEXT DEFAULT 'user', active INTEGER DEFAULT 1, "
                                          "created_at TEXT DEFAULT (datetime('now')))")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO users (username, password, role) VALUES ('admin', 'secret1', 'admin')")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO users (username, password) VALUES ('clerk', '')")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO users (username, password) VALUES ('other', NULL)")));
            old.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));

        Database db;
        QVERIFY(db.initialize(path));
        const QStringList columns = columnsOf(&db, QStringLiteral("users"));
        QVERIFY(columns.contains(QStringLiteral("password")));
        QCOMPARE(columns.last(), QStringLiteral("password_hash"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT password_hash FROM users WHERE username = 'admin'")).toString(), QStringLiteral("secret1"));
        QVERIFY(db.scalar(QStringLiteral("SELECT password_hash FROM users WHERE username = 'clerk'")).isNull());
        QVERIFY(db.scalar(QStringLiteral("SELECT password_hash FROM users WHERE username = 'other'")).isNull());
        // Users exist, so nothing is seeded over them.
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM users")).toInt(), 3);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM currencies")).toInt(), 0);
    }
};

class TestSeed : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void administrator()
    {
        TestDatabase db;
        const QVariantList users = db->execQuery(QStringLiteral("SELECT * FROM users"));
        QCOMPARE(users.size(), 1);
        const QVariantMap admin = users.first().toMap();
        QCOMPARE(admin.value(QStringLiteral("username")).toString(), QStringLiteral("admin"));
        QCOMPARE(admin.value(QStringLiteral("full_name")).toString(), QStringLiteral("مدير عام"));
        QCOMPARE(admin.value(QStringLiteral("role")).toString(), QStringLiteral("admin"));
        QCOMPARE(admin.value(QStringLiteral("active")).toInt(), 1);
        const QString stored = admin.value(QStringLiteral("password_hash")).toString();
        QVERIFY(PasswordHasher::isHash(stored));
        QVERIFY(PasswordHasher::verify(QStringLiteral("qorvu"), stored));
        QVERIFY(!PasswordHasher::verify(QStringLiteral("Qorvu"), stored));
    }

    void currencies()
    {
        TestDatabase db;
        const QVariantList rows = db->execQuery(QStringLiteral("SELECT id, code, name_ar, symbol, is_primary FROM currencies ORDER BY id"));
        QCOMPARE(rows.size(), 3);
        const QStringList codes = { "ILS", "USD", "JOD" };
        const QStringList symbols = { "₪", "$", "د.ا" };
        for (int i = 0; i < 3; ++i) {
            const QVariantMap row = rows.at(i).toMap();
            QCOMPARE(row.value(QStringLiteral("id")).toInt(), i + 1);
            QCOMPARE(row.value(QStringLiteral("code")).toString(), codes.at(i));
            QCOMPARE(row.value(QStringLiteral("symbol")).toString(), symbols.at(i));
            QCOMPARE(row.value(QStringLiteral("is_primary")).toInt(), i == 0 ? 1 : 0);
        }
    }

    void chartOfAccounts_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("parentCode");
        QTest::newRow("1000") << "1000" << "asset" << "";
        QTest::newRow("1100") << "1100" << "asset" << "1000";
        QTest::newRow("1200") << "1200" << "asset" << "1000";
        QTest::newRow("2000") << "2000" << "liability" << "";
        QTest::newRow("2100") << "2100" << "liability" << "2000";
        QTest::newRow("3000") << "3000" << "equity" << "";
        QTest::newRow("4000") << "4000" << "revenue" << "";
        QTest::newRow("4100") << "4100" << "revenue" << "4000";
        QTest::newRow("4200") << "4200" << "revenue" << "4000";
        QTest::newRow("4300") << "4300" << "revenue" << "4000";
        QTest::newRow("5000") << "5000" << "expense" << "";
        QTest::newRow("5100") << "5100" << "expense" << "5000";
        QTest::newRow("5200") << "5200" << "expense" << "5000";
        // The accounts the operations post to besides.
        QTest::newRow("1110") << "1110" << "asset" << "1100";
        QTest::newRow("1210") << "1210" << "asset" << "1200";
        QTest::newRow("2200") << "2200" << "liability" << "2000";
        QTest::newRow("3100") << "3100" << "equity" << "3000";
        QTest::newRow("4400") << "4400" << "revenue" << "4000";
    }

    void chartOfAccounts()
    {
        QFETCH(QString, code);
        QFETCH(QString, type);
        QFETCH(QString, parentCode);
        TestDatabase db;
        QCOMPARE(db.count(QStringLiteral("accounts")), 18);
        const QVariantList rows = db->execQuery(
            QStringLiteral("SELECT a.type, a.is_system, a.balance, p.code AS parent_code FROM accounts a "
                           "LEFT JOIN accounts p ON p.id = a.parent_id WHERE a.code = ?"),
            { code });
        QCOMPARE(rows.size(), 1);
        const QVariantMap row = rows.first().toMap();
        QCOMPARE(row.value(QStringLiteral("type")).toString(), type);
        QCOMPARE(row.value(QStringLiteral("is_system")).toInt(), 1);
        QCOMPARE(row.value(QStringLiteral("balance")).toDouble(), 0.0);
        QCOMPARE(row.value(QStringLiteral("parent_code")).toString(), parentCode);
    }

    void services()
    {
        TestDatabase db;
        const QVariantList rows = db->execQuery(QStringLiteral("SELECT name, type, rate, unit_of_measure, description FROM services ORDER BY id"));
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows.at(0).toMap().value(QStringLiteral("name")).toString(), QStringLiteral("مياه"));
        QCOMPARE(rows.at(0).toMap().value(QStringLiteral("type")).toString(), QStringLiteral("usage"));
        QCOMPARE(rows.at(1).toMap().value(QStringLiteral("rate")).toDouble(), 0.5);
        QCOMPARE(rows.at(4).toMap().value(QStringLiteral("rate")).toDouble(), 75.0);
        QCOMPARE(rows.at(4).toMap().value(QStringLiteral("unit_of_measure")).toString(), QStringLiteral("شهري"));
        QVERIFY(rows.at(2).toMap().value(QStringLiteral("description")).isNull());
    }

    void nothingElseIsSeeded()
    {
        TestDatabase db;
        // Only the switch of the books: posting on, from the start.
        QCOMPARE(db.count(QStringLiteral("SELECT key FROM settings WHERE key NOT IN ('ledger_posting', 'ledger_since')")), 0);
        QCOMPARE(db.count(QStringLiteral("journal_entries")), 0);
        QCOMPARE(db.count(QStringLiteral("exchange_rates")), 0);
        QCOMPARE(db.count(QStringLiteral("cost_centers")), 0);
    }

    void emptiedUsersTableIsSeededAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        {
            Database db;
            QVERIFY(db.initialize(path));
            QVERIFY(db.execNonQuery(QStringLiteral("DELETE FROM users")));
            QVERIFY(db.execNonQuery(QStringLiteral("UPDATE currencies SET name_ar = 'x' WHERE code = 'USD'")));
        }
        Database db;
        QVERIFY(db.initialize(path));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM users")).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM currencies")).toInt(), 3);
        QCOMPARE(db.scalar(QStringLiteral("SELECT name_ar FROM currencies WHERE code = 'USD'")).toString(), QStringLiteral("x"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM accounts")).toInt(), 18);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM services")).toInt(), 10);
    }
};

int main(int argc, char** argv)
{
    int status = 0;
    {
        TestSchema schema;
        status |= QTest::qExec(&schema, argc, argv);
    }
    {
        TestSeed seed;
        status |= QTest::qExec(&seed, argc, argv);
    }
    return status;
}

#include "tst_schema.moc"
