#include "authcontroller.h"
#include "passwordhasher.h"
#include "testdatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

const QString kAdmin = QStringLiteral("admin");
const QString kDefault = QStringLiteral("qorvu");
const QString kWrongCredentials = QStringLiteral("اسم المستخدم أو كلمة المرور غير صحيحة");
const QString kDisabled = QStringLiteral("الحساب معطل");
const QString kUserPassword = QStringLiteral("secret-1");

// Hashing is slow on purpose; the suite hashes the one user password once.
QString userPasswordHash()
{
    static const QString hash = PasswordHasher::hash(kUserPassword);
    return hash;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAuthController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

    Database* db() const { return m_db->db(); }

    int addUser(const QString& name, const QString& stored, const QString& role = QStringLiteral("user"),
        int active = 1)
    {
        return db()->execInsert(
            QStringLiteral(
                "INSERT INTO users (username, password_hash, full_name, role, active) VALUES (?,?,?,?,?)"),
            { name, stored, name + QStringLiteral(" الكامل"), role, active });
    }
    QString storedPassword(const QString& name) const
    {
        return m_db->value(QStringLiteral("SELECT password_hash FROM users WHERE username=?"), { name })
            .toString();
    }
    int logRecords(const QString& action) const
    {
        return m_db->count(QStringLiteral("SELECT id FROM app_log WHERE action=?"), { action });
    }
    /** Everything SQLite keeps on disk for this database: the file and its write-ahead log. */
    QByteArray databaseBytes() const
    {
        return fileBytes(m_db->filePath()) + fileBytes(m_db->filePath() + QStringLiteral("-wal"));
    }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void startsLoggedOut()
    {
        AuthController auth(db());
        QVERIFY(!auth.isLoggedIn());
        QCOMPARE(auth.currentUser(), QString());
        QCOMPARE(auth.currentRole(), QString());
        QCOMPARE(auth.property("isLoggedIn").toBool(), false);
    }

    void adminLogsInWithTrimmedDefaults()
    {
        AuthController auth(db());
        QSignalSpy changed(&auth, &AuthController::authChanged);
        QSignalSpy failed(&auth, &AuthController::loginFailed);
        QVERIFY(auth.login(QStringLiteral("  admin \t"), QStringLiteral(" qorvu  ")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(failed.count(), 0);
        QVERIFY(auth.isLoggedIn());
        QCOMPARE(auth.currentUser(), QStringLiteral("مدير عام")); // the full name, not "admin"
        QCOMPARE(auth.currentRole(), QStringLiteral("admin"));

        const QVariantList records
            = db()->execQuery(QStringLiteral("SELECT action, details, user_id FROM app_log"));
        QCOMPARE(records.size(), 1);
        const QVariantMap record = records.first().toMap();
        QCOMPARE(record.value(QStringLiteral("action")).toString(), QStringLiteral("login"));
        QCOMPARE(record.value(QStringLiteral("details")).toString(), QStringLiteral("تسجيل دخول: admin"));
        QCOMPARE(record.value(QStringLiteral("user_id")).toInt(), 1);
    }

    void refusedLogins_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << kAdmin << QStringLiteral("qorvu1");
        QTest::newRow("password in other case") << kAdmin << QStringLiteral("QORVU");
        QTest::newRow("name in other case") << QStringLiteral("Admin") << kDefault;
        QTest::newRow("unknown name") << QStringLiteral("nobody") << kDefault;
        QTest::newRow("empty password") << kAdmin << QString();
        QTest::newRow("blank password") << kAdmin << QStringLiteral("   ");
        QTest::newRow("empty name") << QString() << kDefault;
    }

    void refusedLogins()
    {
        QFETCH(QString, username);
        QFETCH(QString, password);
        AuthController auth(db());
        QSignalSpy changed(&auth, &AuthController::authChanged);
        QSignalSpy failed(&auth, &AuthController::loginFailed);
        QVERIFY(!auth.login(username, password));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toString(), kWrongCredentials);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!auth.isLoggedIn());
        QCOMPARE(m_db->count(QStringLiteral("app_log")), 0);
    }

    void failedLoginKeepsTheCurrentState()
    {
        addUser(QStringLiteral("sami"), userPasswordHash());
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QSignalSpy changed(&auth, &AuthController::authChanged);
        QVERIFY(!auth.login(QStringLiteral("sami"), QStringLiteral("not-it")));
        QVERIFY(auth.isLoggedIn());
        QCOMPARE(auth.currentRole(), QStringLiteral("admin"));
        QCOMPARE(changed.count(), 0);

        // A second successful log-in simply replaces the state.
        QVERIFY(auth.login(QStringLiteral("sami"), kUserPassword));
        QCOMPARE(auth.currentUser(), QStringLiteral("sami الكامل"));
        QCOMPARE(auth.currentRole(), QStringLiteral("user"));
        QCOMPARE(logRecords(QStringLiteral("login")), 2);
    }

    void disabledAccountIsCheckedAfterThePassword_data()
    {
        QTest::addColumn<int>("active");
        QTest::newRow("inactive") << 0;
        QTest::newRow("any value but 1") << 2;
    }

    void disabledAccountIsCheckedAfterThePassword()
    {
        QFETCH(int, active);
        addUser(QStringLiteral("sami"), userPasswordHash(), QStringLiteral("user"), active);
        AuthController auth(db());
        QSignalSpy failed(&auth, &AuthController::loginFailed);
        QVERIFY(!auth.login(QStringLiteral("sami"), QStringLiteral("wrong")));
        QVERIFY(!auth.login(QStringLiteral("sami"), kUserPassword));
        QCOMPARE(failed.count(), 2);
        QCOMPARE(failed.at(0).first().toString(), kWrongCredentials);
        QCOMPARE(failed.at(1).first().toString(), kDisabled);
        QVERIFY(!auth.isLoggedIn());
        QCOMPARE(m_db->count(QStringLiteral("app_log")), 0);
    }

    void logoutIsRecordedOnce()
    {
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QSignalSpy changed(&auth, &AuthController::authChanged);
        auth.logout();
        QCOMPARE(changed.count(), 1);
        QVERIFY(!auth.isLoggedIn());
        QCOMPARE(auth.currentUser(), QString());
        QCOMPARE(auth.currentRole(), QString());
        const QVariantList records
            = db()->execQuery(QStringLiteral("SELECT details, user_id FROM app_log WHERE action='logout'"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().toMap().value(QStringLiteral("details")).toString(),
            QStringLiteral("تسجيل خروج: admin"));
        QCOMPARE(records.first().toMap().value(QStringLiteral("user_id")).toInt(), 1);

        // Nobody is logged in any more: a second press records no log-out of nobody.
        auth.logout();
        QCOMPARE(logRecords(QStringLiteral("logout")), 1);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM app_log WHERE user_id=-1")), 0);
        QVERIFY(!auth.isLoggedIn());
    }

    void usersListTheirOwnLastLogin()
    {
        const int ali = addUser(QStringLiteral("ali"), userPasswordHash());
        const int alia = addUser(QStringLiteral("alia"), userPasswordHash());
        const QString insertLog = QStringLiteral(
            "INSERT INTO app_log (action, details, user_id, created_at) VALUES (?, ?, ?, ?)");
        QVERIFY(db()->execInsert(insertLog,
                    { QStringLiteral("login"), QStringLiteral("تسجيل دخول: alia"), alia,
                        QStringLiteral("2024-05-01 08:00:00") })
            > 0);
        QVERIFY(db()->execInsert(insertLog,
                    { QStringLiteral("login"), QStringLiteral("تسجيل دخول: alia"), alia,
                        QStringLiteral("2024-05-03 09:30:00") })
            > 0);
        // Only log-ins count, not log-outs.
        QVERIFY(db()->execInsert(insertLog,
                    { QStringLiteral("logout"), QStringLiteral("تسجيل خروج: ali"), ali,
                        QStringLiteral("2024-05-04 10:00:00") })
            > 0);

        AuthController auth(db());
        const QVariantList users = auth.getUsers();
        QCOMPARE(users.size(), 3);
        QHash<QString, QVariantMap> byName;
        for (const QVariant& user : users)
            byName.insert(user.toMap().value(QStringLiteral("username")).toString(), user.toMap());
        const QStringList keys
            = { QStringLiteral("active"), QStringLiteral("full_name"), QStringLiteral("id"),
                  QStringLiteral("last_login"), QStringLiteral("role"), QStringLiteral("username") };
        QCOMPARE(byName.value(QStringLiteral("ali")).keys(), keys); // and never the password
        QVERIFY(byName.value(QStringLiteral("ali")).value(QStringLiteral("last_login")).isNull());
        QCOMPARE(byName.value(QStringLiteral("alia")).value(QStringLiteral("last_login")).toString(),
            QStringLiteral("2024-05-03 09:30:00"));
        QVERIFY(byName.value(kAdmin).value(QStringLiteral("last_login")).isNull());
        QCOMPARE(byName.value(kAdmin).value(QStringLiteral("role")).toString(), QStringLiteral("admin"));

        QVERIFY(auth.login(kAdmin, kDefault));
        const QVariantList after = auth.getUsers();
        QCOMPARE(after.first().toMap().value(QStringLiteral("username")).toString(), kAdmin);
        QVERIFY(!after.first().toMap().value(QStringLiteral("last_login")).toString().isEmpty());
    }

    void registeringNeedsALoggedInAdministrator()
    {
        addUser(QStringLiteral("clerk"), userPasswordHash(), QStringLiteral("user"));
        AuthController auth(db());
        QVERIFY(!auth.registerUser(QStringLiteral("new1"), QStringLiteral("pw-1"), QStringLiteral("user")));
        QVERIFY(auth.login(QStringLiteral("clerk"), kUserPassword));
        QVERIFY(!auth.registerUser(QStringLiteral("new1"), QStringLiteral("pw-1"), QStringLiteral("user")));
        QCOMPARE(m_db->count(QStringLiteral("users")), 2);
    }

    void registeredUserIsHashedTrimmedAndCanLogIn()
    {
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.registerUser(
            QStringLiteral(" sami "), QStringLiteral(" Tamarind-42 "), QStringLiteral("user")));
        const QVariantList rows = db()->execQuery(QStringLiteral(
            "SELECT username, password_hash, full_name, role, active FROM users WHERE username='sami'"));
        QCOMPARE(rows.size(), 1);
        const QVariantMap row = rows.first().toMap();
        QCOMPARE(row.value(QStringLiteral("full_name")).toString(), QStringLiteral("sami"));
        QCOMPARE(row.value(QStringLiteral("role")).toString(), QStringLiteral("user"));
        QCOMPARE(row.value(QStringLiteral("active")).toInt(), 1);
        const QString stored = row.value(QStringLiteral("password_hash")).toString();
        QVERIFY(PasswordHasher::isHash(stored));
        QVERIFY(!stored.contains(QStringLiteral("Tamarind")));

        auth.logout();
        QVERIFY(auth.login(QStringLiteral("sami"), QStringLiteral("Tamarind-42")));
        QCOMPARE(auth.currentRole(), QStringLiteral("user"));
        QVERIFY(!auth.registerUser(QStringLiteral("other"), QStringLiteral("pw"), QStringLiteral("user")));
    }

    void badRegistrationsAreRefused_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("role");
        QTest::newRow("taken name") << QStringLiteral("ali") << QStringLiteral("pw")
                                    << QStringLiteral("user");
        QTest::newRow("taken after trimming")
            << QStringLiteral(" ali") << QStringLiteral("pw") << QStringLiteral("user");
        QTest::newRow("empty name") << QString() << QStringLiteral("pw") << QStringLiteral("user");
        QTest::newRow("blank name") << QStringLiteral("  ") << QStringLiteral("pw") << QStringLiteral("user");
        QTest::newRow("empty password") << QStringLiteral("new") << QString() << QStringLiteral("user");
        QTest::newRow("blank password")
            << QStringLiteral("new") << QStringLiteral(" \t ") << QStringLiteral("user");
        QTest::newRow("unknown role")
            << QStringLiteral("new") << QStringLiteral("pw") << QStringLiteral("manager");
        QTest::newRow("role in capitals")
            << QStringLiteral("new") << QStringLiteral("pw") << QStringLiteral("Admin");
        QTest::newRow("look-alike of admin")
            << QStringLiteral("ADMIN") << QStringLiteral("pw") << QStringLiteral("user");
    }

    void badRegistrationsAreRefused()
    {
        QFETCH(QString, username);
        QFETCH(QString, password);
        QFETCH(QString, role);
        addUser(QStringLiteral("ali"), userPasswordHash());
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(!auth.registerUser(username, password, role));
        QCOMPARE(m_db->count(QStringLiteral("users")), 2);
    }

    void namesAreCaseSensitive()
    {
        addUser(QStringLiteral("sami"), userPasswordHash());
        AuthController auth(db());
        QSignalSpy failed(&auth, &AuthController::loginFailed);
        QVERIFY(!auth.login(QStringLiteral("Sami"), kUserPassword));
        QCOMPARE(failed.first().first().toString(), kWrongCredentials);
    }

    void removingUsers()
    {
        addUser(QStringLiteral("ali"), userPasswordHash());
        addUser(QStringLiteral("clerk"), userPasswordHash());
        AuthController auth(db());
        QVERIFY(!auth.removeUser(QStringLiteral("ali"))); // nobody logged in
        QVERIFY(auth.login(QStringLiteral("clerk"), kUserPassword));
        QVERIFY(!auth.removeUser(QStringLiteral("ali"))); // not an administrator
        QCOMPARE(m_db->count(QStringLiteral("users")), 3);

        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.removeUser(QStringLiteral("ali")));
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM users WHERE username='ali'")), 0);
        QVERIFY(auth.removeUser(QStringLiteral("nobody"))); // nothing to delete is not a failure
        QCOMPARE(m_db->count(QStringLiteral("users")), 2);
    }

    void theAccountInUseCannotBeRemoved()
    {
        addUser(QStringLiteral("boss"), userPasswordHash(), QStringLiteral("admin"));
        AuthController auth(db());
        QVERIFY(auth.login(QStringLiteral("boss"), kUserPassword));
        QCOMPARE(auth.property("currentUsername").toString(), QStringLiteral("boss"));
        QVERIFY(!auth.removeUser(QStringLiteral("boss")));
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM users WHERE username='boss'")), 1);
    }

    void builtInAdminCannotBeRemoved_data()
    {
        QTest::addColumn<QString>("username");
        QTest::newRow("exact") << kAdmin;
        QTest::newRow("capital first letter") << QStringLiteral("Admin");
        QTest::newRow("capitals and blanks") << QStringLiteral(" ADMIN ");
    }

    void builtInAdminCannotBeRemoved()
    {
        QFETCH(QString, username);
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(!auth.removeUser(username));
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM users WHERE username='admin'")), 1);
    }

    void changingThePassword()
    {
        AuthController auth(db());
        QVERIFY(!auth.changePassword(kDefault, QStringLiteral("new-pass"))); // nobody logged in
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.usingDefaultPassword());
        const QString before = storedPassword(kAdmin);
        QVERIFY(!auth.changePassword(QStringLiteral("wrong"), QStringLiteral("new-pass")));
        QVERIFY(!auth.changePassword(kDefault, QStringLiteral("   ")));
        QCOMPARE(storedPassword(kAdmin), before);
        QVERIFY(auth.usingDefaultPassword());

        QSignalSpy changed(&auth, &AuthController::authChanged);
        QVERIFY(auth.changePassword(kDefault, QStringLiteral("new-pass ")));
        QCOMPARE(changed.count(), 1); // the default-password notice goes away
        QVERIFY(!auth.usingDefaultPassword());
        QCOMPARE(auth.property("usingDefaultPassword").toBool(), false);
        const QString after = storedPassword(kAdmin);
        QVERIFY(PasswordHasher::isHash(after));
        QVERIFY(after != before);
        QVERIFY(auth.isLoggedIn());

        auth.logout();
        QVERIFY(!auth.login(kAdmin, kDefault));
        QVERIFY(auth.login(kAdmin, QStringLiteral("new-pass")));
        QVERIFY(!auth.usingDefaultPassword());
    }

    void startNeverResetsAChangedAdminPassword()
    {
        const QString chosen = userPasswordHash(); // stands for a password the administrator chose
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE users SET password_hash=?, active=0, role='user' WHERE username='admin'"),
            { chosen }));
        AuthController auth(db());
        QCOMPARE(storedPassword(kAdmin), chosen);
        QCOMPARE(m_db->value(QStringLiteral("SELECT active FROM users WHERE username='admin'")).toInt(), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT role FROM users WHERE username='admin'")).toString(),
            QStringLiteral("admin"));
        QVERIFY(!auth.usingDefaultPassword());
        QVERIFY(!auth.login(kAdmin, kDefault));
        QVERIFY(auth.login(kAdmin, kUserPassword));
    }

    void startLeavesOtherAccountsAlone()
    {
        addUser(QStringLiteral("ali"), userPasswordHash(), QStringLiteral("user"), 0);
        AuthController auth(db());
        QCOMPARE(m_db->value(QStringLiteral("SELECT active FROM users WHERE username='ali'")).toInt(), 0);
        QCOMPARE(storedPassword(QStringLiteral("ali")), userPasswordHash());
    }

    void startCreatesAMissingAdmin()
    {
        QVERIFY(db()->execNonQuery(QStringLiteral("DELETE FROM users WHERE username='admin'")));
        AuthController auth(db());
        const QVariantList rows = db()->execQuery(QStringLiteral(
            "SELECT full_name, role, active, password_hash FROM users WHERE username='admin'"));
        QCOMPARE(rows.size(), 1);
        const QVariantMap admin = rows.first().toMap();
        QCOMPARE(admin.value(QStringLiteral("full_name")).toString(), QStringLiteral("مدير عام"));
        QCOMPARE(admin.value(QStringLiteral("role")).toString(), QStringLiteral("admin"));
        QCOMPARE(admin.value(QStringLiteral("active")).toInt(), 1);
        QVERIFY(PasswordHasher::isHash(admin.value(QStringLiteral("password_hash")).toString()));
        QVERIFY(auth.usingDefaultPassword());
        QVERIFY(auth.login(kAdmin, kDefault));
    }

    void passwordlessAdminGetsTheDefault()
    {
        QVERIFY(
            db()->execNonQuery(QStringLiteral("UPDATE users SET password_hash='' WHERE username='admin'")));
        AuthController auth(db());
        QVERIFY(PasswordHasher::isHash(storedPassword(kAdmin)));
        QVERIFY(auth.usingDefaultPassword());
        QVERIFY(auth.login(kAdmin, kDefault));
    }

    void defaultPasswordStateFollowsTheStoredPassword()
    {
        {
            AuthController fresh(db());
            QVERIFY(fresh.usingDefaultPassword());
            QVERIFY(fresh.property("usingDefaultPassword").toBool());
        }
        // A plain default left by an older file counts as the default too.
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE users SET password_hash='qorvu' WHERE username='admin'")));
        QVERIFY(AuthController(db()).usingDefaultPassword());
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE users SET password_hash='other' WHERE username='admin'")));
        QVERIFY(!AuthController(db()).usingDefaultPassword());
    }

    void startUpCheckOfAnUnknownHashArrivesLater()
    {
        // A file written by another process carries a hash of the default with its own salt:
        // checking it costs a full Argon2 run, which must not hold up the first window.
        const QString foreignDefault = PasswordHasher::hash(QStringLiteral("qorvu"));
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE users SET password_hash=? WHERE username='admin'"), { foreignDefault }));
        AuthController auth(db());
        QSignalSpy changed(&auth, &AuthController::authChanged);
        QTRY_VERIFY_WITH_TIMEOUT(auth.usingDefaultPassword(), 10000);
        QCOMPARE(changed.count(), 1);
    }

    void aLogInOverridesAStartUpCheckStillOnItsWay()
    {
        const QString foreignDefault = PasswordHasher::hash(QStringLiteral("qorvu"));
        QVERIFY(db()->execNonQuery(
            QStringLiteral("UPDATE users SET password_hash=? WHERE username='admin'"), { foreignDefault }));
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.changePassword(kDefault, QStringLiteral("chosen-1")));
        QVERIFY(!auth.usingDefaultPassword());
        QTest::qWait(1000); // let the start-up answer arrive: it must not bring the notice back
        QVERIFY(!auth.usingDefaultPassword());
    }

    void plainPasswordIsAcceptedOnceAndRehashed()
    {
        addUser(QStringLiteral("old"), QStringLiteral("Plain-Old-7"));
        AuthController auth(db());
        QVERIFY(auth.login(QStringLiteral("old"), QStringLiteral(" Plain-Old-7 ")));
        const QString stored = storedPassword(QStringLiteral("old"));
        QVERIFY(PasswordHasher::isHash(stored));
        QVERIFY(PasswordHasher::verify(QStringLiteral("Plain-Old-7"), stored));
        QVERIFY(!databaseBytes().contains("Plain-Old-7"));
        QVERIFY(auth.login(QStringLiteral("old"), QStringLiteral("Plain-Old-7")));
        QCOMPARE(storedPassword(QStringLiteral("old")), stored); // hashed once, not on every log-in
    }

    void plainPasswordIsExactAndNeverTrimmedWhenStored()
    {
        // A stored plain password that ends in a blank can never match a trimmed entry.
        addUser(QStringLiteral("old"), QStringLiteral("pw "));
        AuthController auth(db());
        QVERIFY(!auth.login(QStringLiteral("old"), QStringLiteral("pw ")));
        QVERIFY(!auth.login(QStringLiteral("old"), QStringLiteral("pw")));
        QVERIFY(!auth.login(QStringLiteral("old"), QStringLiteral("PW")));
        QCOMPARE(storedPassword(QStringLiteral("old")), QStringLiteral("pw "));
    }

    void noPasswordTextInTheFileAfterLogIn()
    {
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(
            auth.registerUser(QStringLiteral("sami"), QStringLiteral("كلمة-سر-42"), QStringLiteral("user")));
        auth.logout();
        QVERIFY(auth.login(QStringLiteral("sami"), QStringLiteral("كلمة-سر-42")));

        const QByteArray bytes = databaseBytes();
        QVERIFY(bytes.size() > 0);
        QVERIFY(bytes.contains("$argon2id$")); // the check reads the real file, hashes and all
        QVERIFY(!bytes.contains("qorvu"));
        QVERIFY(!bytes.contains(QStringLiteral("كلمة-سر-42").toUtf8()));
    }

    void olderFileWithPasswordColumn()
    {
        // A file from an older version: passwords in a plain `password` column, no password_hash.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        {
            QSqlDatabase legacy
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("legacy"));
            legacy.setDatabaseName(path);
            QVERIFY(legacy.open());
            QSqlQuery query(legacy);
            QVERIFY(query.exec(QStringLiteral(
                "CREATE TABLE users (id INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT UNIQUE NOT NULL, "
                "password TEXT NOT NULL, full_name TEXT, role TEXT DEFAULT 'user', active INTEGER DEFAULT 1, "
                "created_at TEXT DEFAULT (datetime('now')))")));
            QVERIFY(
                query.exec(QStringLiteral("INSERT INTO users (username, password, full_name, role) VALUES "
                                          "('admin', 'Chosen-Admin-9', 'مدير عام', 'admin'), "
                                          "('ali', 'Ali-Legacy-3', 'علي', 'user')")));
            query.finish();
            legacy.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("legacy"));

        m_db.reset(); // one connection at a time
        Database database;
        QVERIFY(database.initialize(path));
        AuthController auth(&database);
        // The administrator's own password survives the start.
        QCOMPARE(database.scalar(QStringLiteral("SELECT password_hash FROM users WHERE username='admin'"))
                     .toString(),
            QStringLiteral("Chosen-Admin-9"));
        QVERIFY(!auth.usingDefaultPassword());

        QVERIFY(auth.login(QStringLiteral("ali"), QStringLiteral("Ali-Legacy-3")));
        const QVariantMap ali
            = database
                  .execQuery(QStringLiteral("SELECT password, password_hash FROM users WHERE username='ali'"))
                  .first()
                  .toMap();
        QCOMPARE(ali.value(QStringLiteral("password")).toString(), QString());
        QVERIFY(PasswordHasher::verify(
            QStringLiteral("Ali-Legacy-3"), ali.value(QStringLiteral("password_hash")).toString()));

        // New accounts must be insertable although the old column is NOT NULL.
        QVERIFY(auth.login(kAdmin, QStringLiteral("Chosen-Admin-9")));
        QVERIFY(
            auth.registerUser(QStringLiteral("new"), QStringLiteral("New-Pass-5"), QStringLiteral("user")));
        QVERIFY(auth.login(QStringLiteral("new"), QStringLiteral("New-Pass-5")));

        const QByteArray bytes = fileBytes(path) + fileBytes(path + QStringLiteral("-wal"));
        QVERIFY(!bytes.contains("Ali-Legacy-3"));
        QVERIFY(!bytes.contains("Chosen-Admin-9"));
        QVERIFY(!bytes.contains("New-Pass-5"));
    }
};

QTEST_GUILESS_MAIN(TestAuthController)
#include "tst_authcontroller.moc"
