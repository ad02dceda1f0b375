// Log-in, the administrator's rights, the accounts of older files, where password text may never
// go (the database file, its log or the program's diagnostics), and the audit trail of who did what.
#include "auditmanager.h"
#include "authcontroller.h"
#include "passwordhasher.h"
#include "testdatabase.h"
#include "transactionguard.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kAdmin = u"admin"_s;
const QString kDefault = u"qorvu"_s;
const QString kUserPassword = u"secret-1"_s;

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

/** Everything SQLite keeps on disk for a database: the file and its write-ahead log. */
QByteArray databaseBytes(const QString& path)
{
    return fileBytes(path) + fileBytes(path + u"-wal"_s);
}

QStringList g_messages;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages << message;
}

} // namespace

class TestAuthController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void adminLogsInWithTrimmedDefaults()
    {
        AuthController auth(db());
        QSignalSpy changed(&auth, &AuthController::authChanged);
        QVERIFY(!auth.isLoggedIn());
        QVERIFY(auth.login(u"  admin \t"_s, u" qorvu  "_s));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(auth.currentUser(), u"مدير عام"_s); // the full name, not "admin"
        QCOMPARE(auth.currentRole(), u"admin"_s);
        QCOMPARE(m_db->count(u"SELECT id FROM app_log WHERE action='login' AND user_id=1"_s), 1);

        // A second press of log-out has nobody to log out and records nothing.
        auth.logout();
        auth.logout();
        QVERIFY(!auth.isLoggedIn());
        QCOMPARE(auth.currentRole(), QString());
        QCOMPARE(m_db->count(u"SELECT id FROM app_log WHERE action='logout'"_s), 1);
    }

    void refusedLogins_data()
    {
        // clang-format off
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("reason");
        const QString wrong = u"اسم المستخدم أو كلمة المرور غير صحيحة"_s;
        QTest::newRow("wrong password") << "sami" << "secret-2" << 1 << wrong;
        QTest::newRow("password in other case") << "sami" << "SECRET-1" << 1 << wrong;
        QTest::newRow("name in other case") << "Sami" << "secret-1" << 1 << wrong;
        QTest::newRow("unknown name") << "nobody" << "secret-1" << 1 << wrong;
        QTest::newRow("blank password") << "sami" << "   " << 1 << wrong;
        QTest::newRow("empty name") << "" << "secret-1" << 1 << wrong;
        // Disabled is said only to whoever knows the password.
        QTest::newRow("disabled, wrong password") << "sami" << "wrong" << 0 << wrong;
        QTest::newRow("disabled") << "sami" << "secret-1" << 0 << u"الحساب معطل"_s;
        QTest::newRow("any value but 1 is disabled") << "sami" << "secret-1" << 2 << u"الحساب معطل"_s;
        // clang-format on
    }

    void refusedLogins()
    {
        QFETCH(QString, username);
        QFETCH(QString, password);
        QFETCH(int, active);
        addUser(u"sami"_s, userPasswordHash(), u"user"_s, active);
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QSignalSpy changed(&auth, &AuthController::authChanged);
        QSignalSpy failed(&auth, &AuthController::loginFailed);
        QVERIFY(!auth.login(username, password));
        QCOMPARE(failed.count(), 1);
        QTEST(failed.first().first().toString(), "reason");
        // The session that was open stays as it was.
        QCOMPARE(changed.count(), 0);
        QCOMPARE(auth.currentRole(), u"admin"_s);
        QCOMPARE(m_db->count(u"app_log"_s), 1);
    }

    void usersListTheirOwnLastLogIn()
    {
        const int ali = addUser(u"ali"_s, userPasswordHash());
        const int alia = addUser(u"alia"_s, userPasswordHash());
        const QString insertLog = u"INSERT INTO app_log (action, user_id, created_at) VALUES (?, ?, ?)"_s;
        QVERIFY(db()->execInsert(insertLog, { u"login"_s, alia, u"2024-05-01 08:00:00"_s }) > 0);
        QVERIFY(db()->execInsert(insertLog, { u"login"_s, alia, u"2024-05-03 09:30:00"_s }) > 0);
        QVERIFY(db()->execInsert(insertLog, { u"logout"_s, ali, u"2024-05-04 10:00:00"_s }) > 0);
        const QVariantList users = AuthController(db()).getUsers();
        QCOMPARE(users.size(), 3);
        QVERIFY(users.at(1).toMap().value("last_login").isNull()); // ali: a log-out is no log-in
        QCOMPARE(users.at(2).toMap().value("last_login").toString(), u"2024-05-03 09:30:00"_s);
        for (const QVariant& user : users)
            QVERIFY(!user.toMap().contains("password_hash"));
    }

    void onlyALoggedInAdministratorManagesAccounts()
    {
        addUser(u"clerk"_s, userPasswordHash());
        addUser(u"ali"_s, userPasswordHash());
        addUser(u"boss"_s, userPasswordHash(), u"admin"_s);
        AuthController auth(db());
        QVERIFY(!auth.registerUser(u"new1"_s, u"pw-1"_s, u"user"_s)); // nobody logged in
        QVERIFY(!auth.removeUser(u"ali"_s));
        QVERIFY(auth.login(u"clerk"_s, kUserPassword));
        QVERIFY(!auth.registerUser(u"new1"_s, u"pw-1"_s, u"user"_s));
        QVERIFY(!auth.removeUser(u"ali"_s));
        QCOMPARE(m_db->count(u"users"_s), 4);

        QVERIFY(auth.login(u"boss"_s, kUserPassword));
        QVERIFY(!auth.removeUser(u"boss"_s)); // the account in use
        for (const QString& builtIn : { kAdmin, u"Admin"_s, u" ADMIN "_s })
            QVERIFY(!auth.removeUser(builtIn));
        QCOMPARE(m_db->count(u"users"_s), 4);
        QVERIFY(auth.removeUser(u"ali"_s));
        QVERIFY(auth.removeUser(u"nobody"_s)); // nothing to delete is no failure
        QCOMPARE(m_db->count(u"users"_s), 3);
    }

    void registeredUserIsHashedTrimmedAndCanLogIn()
    {
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.registerUser(u" sami "_s, u" Tamarind-42 "_s, u"user"_s));
        const QString stored
            = m_db->value(u"SELECT password_hash FROM users WHERE username='sami'"_s).toString();
        QVERIFY(stored.startsWith(u"$argon2id$"_s));
        QVERIFY(!stored.contains(u"Tamarind"_s));
        QVERIFY(auth.login(u"sami"_s, u"Tamarind-42"_s));
        QCOMPARE(auth.currentRole(), u"user"_s);
    }

    void badRegistrationsAreRefused_data()
    {
        // clang-format off
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("role");
        QTest::newRow("taken name") << "ali" << "pw" << "user";
        QTest::newRow("taken after trimming") << " ali" << "pw" << "user";
        QTest::newRow("blank name") << "  " << "pw" << "user";
        QTest::newRow("blank password") << "new" << " \t " << "user";
        QTest::newRow("unknown role") << "new" << "pw" << "manager";
        QTest::newRow("role in capitals") << "new" << "pw" << "Admin";
        QTest::newRow("look-alike of admin") << "ADMIN" << "pw" << "user";
        // clang-format on
    }

    void badRegistrationsAreRefused()
    {
        QFETCH(QString, username);
        QFETCH(QString, password);
        QFETCH(QString, role);
        addUser(u"ali"_s, userPasswordHash());
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(!auth.registerUser(username, password, role));
        QCOMPARE(m_db->count(u"users"_s), 2);
    }

    void changingThePassword()
    {
        AuthController auth(db());
        QVERIFY(!auth.changePassword(kDefault, u"new-pass"_s)); // nobody logged in
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.usingDefaultPassword());
        const QString before = storedPassword(kAdmin);
        QVERIFY(!auth.changePassword(u"wrong"_s, u"new-pass"_s));
        QVERIFY(!auth.changePassword(kDefault, u"   "_s));
        QCOMPARE(storedPassword(kAdmin), before);

        QSignalSpy changed(&auth, &AuthController::authChanged);
        QVERIFY(auth.changePassword(kDefault, u"new-pass "_s));
        QCOMPARE(changed.count(), 1); // the default-password notice goes away
        QVERIFY(!auth.usingDefaultPassword());
        QVERIFY(PasswordHasher::isHash(storedPassword(kAdmin)));
        auth.logout();
        QVERIFY(!auth.login(kAdmin, kDefault));
        QVERIFY(auth.login(kAdmin, u"new-pass"_s));
    }

    void startKeepsTheAdministratorsOwnPasswordButItsRights()
    {
        const QString chosen = userPasswordHash(); // stands for a password the administrator chose
        QVERIFY(db()->execNonQuery(
            u"UPDATE users SET password_hash=?, active=0, role='user' WHERE username='admin'"_s, { chosen }));
        addUser(u"clerk"_s, chosen, u"user"_s, 0);
        AuthController auth(db());
        QCOMPARE(
            m_db->count(u"SELECT id FROM users WHERE active=1 OR role='admin'"_s), 1); // the clerk stays out
        QCOMPARE(storedPassword(kAdmin), chosen);
        QVERIFY(!auth.usingDefaultPassword());
        QVERIFY(!auth.login(kAdmin, kDefault));
        QVERIFY(auth.login(kAdmin, kUserPassword));
        QCOMPARE(auth.currentRole(), u"admin"_s);
    }

    void startGivesAMissingOrPasswordlessAdminTheDefault_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("missing") << u"DELETE FROM users WHERE username='admin'"_s;
        QTest::newRow("without password") << u"UPDATE users SET password_hash='' WHERE username='admin'"_s;
    }

    void startGivesAMissingOrPasswordlessAdminTheDefault()
    {
        QFETCH(QString, damage);
        QVERIFY(db()->execNonQuery(damage));
        AuthController auth(db());
        QVERIFY(PasswordHasher::isHash(storedPassword(kAdmin)));
        QVERIFY(auth.usingDefaultPassword());
        QVERIFY(auth.login(kAdmin, kDefault));
        QCOMPARE(auth.currentRole(), u"admin"_s);
    }

    void defaultPasswordNoticeFollowsTheStoredPassword()
    {
        // A plain default left by an older file counts as the default too.
        QVERIFY(db()->execNonQuery(u"UPDATE users SET password_hash='qorvu' WHERE username='admin'"_s));
        QVERIFY(AuthController(db()).usingDefaultPassword());
        // A hash of the default with a salt of its own costs a full check, which must not hold up
        // the first window: the answer arrives a moment later.
        const QString foreignDefault = PasswordHasher::hash(kDefault);
        QVERIFY(db()->execNonQuery(
            u"UPDATE users SET password_hash=? WHERE username='admin'"_s, { foreignDefault }));
        {
            AuthController auth(db());
            QTRY_VERIFY_WITH_TIMEOUT(auth.usingDefaultPassword(), 10000);
        }
        // A log-in and a new password overtake a start-up check still on its way.
        QVERIFY(db()->execNonQuery(u"UPDATE users SET password_hash=? WHERE username='admin'"_s,
            { PasswordHasher::hash(kDefault) }));
        AuthController auth(db());
        QVERIFY(auth.login(kAdmin, kDefault));
        QVERIFY(auth.changePassword(kDefault, u"chosen-1"_s));
        QTest::qWait(1000); // let the start-up answer arrive: it must not bring the notice back
        QVERIFY(!auth.usingDefaultPassword());
    }

    void plainPasswordOfAnOlderFileIsRehashedOnLogIn()
    {
        addUser(u"old"_s, u"Plain-Old-7"_s);
        addUser(u"blank"_s, u"pw "_s); // ends in a blank: a trimmed entry can never match it
        AuthController auth(db());
        QVERIFY(!auth.login(u"blank"_s, u"pw "_s));
        QVERIFY(!auth.login(u"old"_s, u"plain-old-7"_s));
        QVERIFY(auth.login(u"old"_s, u" Plain-Old-7 "_s));
        const QString stored = storedPassword(u"old"_s);
        QVERIFY(PasswordHasher::verify(u"Plain-Old-7"_s, stored));
        QVERIFY(!databaseBytes(m_db->filePath()).contains("Plain-Old-7"));
        QVERIFY(auth.login(u"old"_s, u"Plain-Old-7"_s));
        QCOMPARE(storedPassword(u"old"_s), stored); // hashed once, not on every log-in
    }

    void noPasswordTextInTheFilesOrTheDiagnostics()
    {
        g_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
        const QString secret = u"كلمة-سر-42"_s;
        {
            AuthController auth(db());
            QVERIFY(auth.login(kAdmin, kDefault));
            QVERIFY(!auth.login(kAdmin, u"guess-77"_s));
            QVERIFY(auth.registerUser(u"sami"_s, secret, u"user"_s));
            QVERIFY(!auth.registerUser(u"sami"_s, u"again-88"_s, u"user"_s));
            QCOMPARE(auth.lastError(), u"اسم المستخدم sami مستخدم من قبل"_s);
            QVERIFY(auth.login(u"sami"_s, secret));
            QVERIFY(auth.changePassword(secret, u"next-99"_s));
        }
        qInstallMessageHandler(previous);
        QVERIFY(!g_messages.isEmpty());
        for (const QString& text : { kDefault, u"guess-77"_s, secret, u"again-88"_s, u"next-99"_s }) {
            QVERIFY2(!g_messages.join('\n').contains(text), qPrintable(text));
            // A server's files are the server's: only a file on this desk is read here.
            QVERIFY2(m_db->onServer() || !databaseBytes(m_db->filePath()).contains(text.toUtf8()),
                qPrintable(text));
        }
        if (!m_db->onServer())
            QVERIFY(databaseBytes(m_db->filePath()).contains("$argon2id$")); // the check reads the real file
    }

    void olderFileWithAPasswordColumn()
    {
        // Passwords in a plain `password` column, NOT NULL, and no password_hash.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"darvelinto.db"_s);
        {
            QSqlDatabase legacy = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"legacy"_s);
            legacy.setDatabaseName(path);
            QVERIFY(legacy.open());
            QSqlQuery query(legacy);
            QVERIFY(query.exec(
                u"CREATE TABLE users (id INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT UNIQUE "
                "NOT NULL, password TEXT NOT NULL, full_name TEXT, role TEXT DEFAULT 'user', active "
                "INTEGER DEFAULT 1, created_at TEXT DEFAULT (datetime('now')))"_s));
            QVERIFY(
                query.exec(u"INSERT INTO users (username, password, full_name, role) VALUES "
                           "('admin', 'Chosen-Admin-9', 'مدير عام', 'admin'), ('ali', 'Ali-Legacy-3', 'علي', "
                           "'user')"_s));
        }
        QSqlDatabase::removeDatabase(u"legacy"_s);

        m_db.reset(); // one connection at a time
        Database database;
        QVERIFY(database.initialize(path));
        AuthController auth(&database);
        QVERIFY(!auth.usingDefaultPassword()); // the administrator's own password survives the start
        QVERIFY(auth.login(u"ali"_s, u"Ali-Legacy-3"_s));
        QVERIFY(auth.login(kAdmin, u"Chosen-Admin-9"_s));
        QVERIFY(auth.registerUser(u"new"_s, u"New-Pass-5"_s, u"user"_s));
        QVERIFY(auth.login(u"new"_s, u"New-Pass-5"_s));
        for (const char* text : { "Ali-Legacy-3", "Chosen-Admin-9", "New-Pass-5" })
            QVERIFY2(!databaseBytes(path).contains(text), text);
    }

    void auditRowWithoutActionIsRefused()
    {
        AuditManager audit(db());
        for (const QString& action : { QString(), u"  "_s }) {
            QTest::ignoreMessage(QtWarningMsg, "Refusing an audit row without an action");
            QVERIFY(!audit.log(1, action, u"units"_s, 1, u"x"_s));
        }
        QCOMPARE(m_db->count(u"audit_logs"_s), 0);
    }

    void auditRowsNameTheirUserOnlyWhenThereIsOne()
    {
        AuditManager audit(db());
        // The interface calls log(userId, action) with the trailing arguments left out.
        bool written = false;
        QVERIFY(QMetaObject::invokeMethod(
            &audit, "log", Q_RETURN_ARG(bool, written), Q_ARG(int, 1), Q_ARG(QString, u"عرض"_s)));
        QVERIFY(written);
        QVERIFY(audit.log(-1, u"بلا مستخدم"_s));
        QVERIFY(audit.log(999, u"حساب محذوف"_s));
        const QVariantList logs = audit.getLogs();
        QCOMPARE(logs.first().toMap().value("username").toString(), QString());
        QCOMPARE(logs.last().toMap().value("username").toString(), u"admin"_s);
        QCOMPARE(m_db->count(u"SELECT id FROM audit_logs WHERE user_id IS NULL"_s), 1);
    }

    void auditRowsNewestFirst_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        QTest::newRow("five, as the dashboard asks") << 5 << 5;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("more than there are") << 500 << 105;
        QTest::newRow("negative means all") << -1 << 105;
    }

    void auditRowsNewestFirst()
    {
        AuditManager audit(db());
        {
            TransactionGuard transaction(db());
            for (int i = 0; i < 105; ++i) // all within the same second
                QVERIFY(audit.log(1, u"row %1"_s.arg(i)));
            QVERIFY(transaction.commit());
        }
        QCOMPARE(audit.getLogs().size(), 100);
        QFETCH(int, limit);
        const QVariantList rows = audit.getLogs(limit);
        QTEST(int(rows.size()), "expected");
        if (!rows.isEmpty())
            QCOMPARE(rows.first().toMap().value("action").toString(), u"row 104"_s);
    }

private:
    Database* db() const { return m_db->db(); }

    int addUser(const QString& name, const QString& stored, const QString& role = u"user"_s, int active = 1)
    {
        return db()->execInsert(
            u"INSERT INTO users (username, password_hash, full_name, role, active) VALUES (?,?,?,?,?)"_s,
            { name, stored, name, role, active });
    }

    QString storedPassword(const QString& name) const
    {
        return m_db->value(u"SELECT password_hash FROM users WHERE username=?"_s, { name }).toString();
    }

    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TestAuthController)
#include "tst_authcontroller.moc"
