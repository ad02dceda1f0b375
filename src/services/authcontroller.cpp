#include "authcontroller.h"

#include "database.h"
#include "passwordhasher.h"
#include "transactionguard.h"

#include <QHash>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAuth, "darvelinto.auth")

namespace {

const QString kAdminName = QStringLiteral("admin");
const QString kAdminRole = QStringLiteral("admin");
const QString kUserRole = QStringLiteral("user");
const QString kWrongCredentials = QStringLiteral("اسم المستخدم أو كلمة المرور غير صحيحة");
const QString kAccountDisabled = QStringLiteral("الحساب معطل");

QString defaultPassword()
{
    return QString::fromLatin1(PasswordHasher::kDefaultAdminPassword);
}

/*
 * Whether a stored hash is a hash of the public default password, remembered per hash string for
 * the life of the process. One Argon2 check costs about 0.3 s; with this the start-up check, the
 * log-in with the default password and the property read after it share a single check. Only
 * the answer about the public default is kept, never anything about a user's own password.
 */
QHash<QString, bool>& defaultHashVerdicts()
{
    static QHash<QString, bool> verdicts;
    return verdicts;
}

bool isHashOfDefaultPassword(const QString& storedHash)
{
    auto& verdicts = defaultHashVerdicts();
    if (PasswordHasher::isThisProcessDefaultHash(storedHash))
        return true;
    const auto known = verdicts.constFind(storedHash);
    if (known != verdicts.constEnd())
        return known.value();
    const bool isDefault = PasswordHasher::verify(defaultPassword(), storedHash);
    verdicts.insert(storedHash, isDefault);
    return isDefault;
}

bool isDefaultPassword(const QString& stored)
{
    if (PasswordHasher::isHash(stored))
        return isHashOfDefaultPassword(stored);
    return stored == defaultPassword();
}

} // namespace

AuthController::AuthController(Database* db, QObject* parent)
    : Refusable(parent)
    , m_db(db)
{
    m_legacyPasswordColumn = detectLegacyPasswordColumn();
    ensureAdminExists();
    refreshDefaultPasswordState();
}

bool AuthController::detectLegacyPasswordColumn() const
{
    // A server's database was made by a version that no longer kept passwords in plain text.
    if (m_db->isServer())
        return false;
    const QVariantList columns = m_db->execQuery(R"(PRAGMA table_info(users))");
    for (const QVariant& column : columns) {
        if (column.toMap().value(QStringLiteral("name")).toString() == QLatin1String("password"))
            return true;
    }
    return false;
}

void AuthController::ensureAdminExists()
{
    const QVariantList rows = m_db->execQuery(
        R"(SELECT id, password_hash, active, role FROM users WHERE username=?)", { kAdminName });
    if (rows.isEmpty()) {
        qCInfo(lcAuth) << "No admin user found, creating default admin...";
        const QString sql = m_legacyPasswordColumn
            ? QStringLiteral("INSERT INTO users (username, password_hash, full_name, role, active, password) "
                             "VALUES (?, ?, ?, ?, 1, '')")
            : QStringLiteral("INSERT INTO users (username, password_hash, full_name, role, active) VALUES "
                             "(?, ?, ?, ?, 1)");
        const QString hash = PasswordHasher::defaultAdminHash();
        defaultHashVerdicts().insert(hash, true);
        if (m_db->execInsert(sql, { kAdminName, hash, QStringLiteral("مدير عام"), kAdminRole }) < 1)
            qCCritical(lcAuth) << "Could not create the administrator account";
        return;
    }

    const QVariantMap admin = rows.first().toMap();
    const int id = admin.value(QStringLiteral("id")).toInt();
    qCInfo(lcAuth) << "Admin user found, id:" << id;
    // A password the administrator chose is never reset. Only an account left without any
    // password (nobody could ever open it) receives the default again.
    if (admin.value(QStringLiteral("password_hash")).toString().isEmpty()) {
        qCWarning(lcAuth) << "The administrator has no password; resetting it to the default";
        const QString hash = PasswordHasher::defaultAdminHash();
        defaultHashVerdicts().insert(hash, true);
        if (!m_db->execNonQuery(R"(UPDATE users SET password_hash=? WHERE id=?)", { hash, id }))
            qCCritical(lcAuth) << "Could not give the administrator a password";
    }
    // User management needs an active administrator: the built-in account is always one.
    if (admin.value(QStringLiteral("active")).toInt() != 1
        || admin.value(QStringLiteral("role")).toString() != kAdminRole) {
        if (!m_db->execNonQuery(R"(UPDATE users SET active=1, role=? WHERE id=?)", { kAdminRole, id }))
            qCCritical(lcAuth) << "Could not reactivate the administrator account";
    }
}

AuthController::~AuthController()
{
    if (m_defaultCheck.valid())
        m_defaultCheck.wait();
}

void AuthController::refreshDefaultPasswordState()
{
    const QVariant stored
        = m_db->scalar(R"(SELECT password_hash FROM users WHERE username=?)", { kAdminName });
    const QString value = stored.toString();
    const auto& verdicts = defaultHashVerdicts();
    if (!stored.isValid() || !PasswordHasher::isHash(value) || PasswordHasher::isThisProcessDefaultHash(value)
        || verdicts.contains(value)) {
        m_usingDefaultPassword = stored.isValid() && isDefaultPassword(value);
        return;
    }
    // An unknown hash needs one Argon2 check (about 0.3 s). Run it beside the event loop so the
    // log-in window appears at once; the answer arrives as a property change a moment later.
    const quint64 generation = ++m_defaultCheckGeneration;
    m_defaultCheck = std::async(std::launch::async, [this, value, generation] {
        const bool isDefault = PasswordHasher::verify(defaultPassword(), value);
        QMetaObject::invokeMethod(
            this,
            [this, value, generation, isDefault] {
                defaultHashVerdicts().insert(value, isDefault);
                if (generation == m_defaultCheckGeneration)
                    setUsingDefaultPassword(isDefault);
            },
            Qt::QueuedConnection);
    });
}

void AuthController::setUsingDefaultPassword(bool usingDefault)
{
    ++m_defaultCheckGeneration; // any answer still on its way is older than this one
    if (usingDefault == m_usingDefaultPassword)
        return;
    m_usingDefaultPassword = usingDefault;
    emit authChanged();
}

bool AuthController::findAccount(const QString& username, Account* account) const
{
    const QVariantList rows = m_db->execQuery(
        R"(SELECT id, username, password_hash, active, role, full_name FROM users WHERE username=?)",
        { username });
    if (rows.isEmpty())
        return false;
    const QVariantMap row = rows.first().toMap();
    account->id = row.value(QStringLiteral("id")).toInt();
    account->username = row.value(QStringLiteral("username")).toString();
    account->storedPassword = row.value(QStringLiteral("password_hash")).toString();
    account->fullName = row.value(QStringLiteral("full_name")).toString();
    account->role = row.value(QStringLiteral("role")).toString();
    account->active = row.value(QStringLiteral("active")).toInt();
    return true;
}

bool AuthController::passwordMatches(const QString& password, const QString& stored) const
{
    if (password.isEmpty() || stored.isEmpty())
        return false;
    if (!PasswordHasher::isHash(stored))
        return stored == password; // a plain password left by an older file
    const auto& verdicts = defaultHashVerdicts();
    const auto known = verdicts.constFind(stored);
    if (known != verdicts.constEnd()) {
        // The hash is already known to be (or not to be) the default password's.
        if (password == defaultPassword())
            return known.value();
        if (known.value())
            return false;
    }
    const bool matches = PasswordHasher::verify(password, stored);
    if (matches && password == defaultPassword())
        defaultHashVerdicts().insert(stored, true);
    return matches;
}

bool AuthController::storePassword(int userId, const QString& password)
{
    const QString hash = PasswordHasher::hash(password);
    if (hash.isEmpty()) {
        qCCritical(lcAuth) << "Could not hash a password";
        return false;
    }
    // The replaced value may be a plain password from an older file: zero the freed bytes and move
    // the change out of the write-ahead log, so the old text is gone from the files on disk.
    // A server keeps no old text of this desk's making; only a file does.
    const bool onFile = !m_db->isServer();
    const bool secureDelete = !onFile || m_db->scalar(R"(PRAGMA secure_delete)").toInt() != 0;
    if (!secureDelete)
        m_db->execNonQuery(R"(PRAGMA secure_delete=ON)");
    bool stored = false;
    {
        TransactionGuard transaction(m_db);
        stored = transaction.isActive()
            && m_db->execNonQuery(R"(UPDATE users SET password_hash=? WHERE id=?)", { hash, userId })
            && (!m_legacyPasswordColumn
                || m_db->execNonQuery(R"(UPDATE users SET password='' WHERE id=?)", { userId }))
            && transaction.commit();
    }
    if (!secureDelete)
        m_db->execNonQuery(R"(PRAGMA secure_delete=OFF)");
    if (stored && onFile)
        m_db->execQuery(R"(PRAGMA wal_checkpoint(TRUNCATE))");
    else
        qCWarning(lcAuth) << "Could not store the new password of user" << userId;
    return stored;
}

void AuthController::writeLogRecord(const QString& action, const QString& details, int userId)
{
    if (m_db->execInsert(
            R"(INSERT INTO app_log (action,details,user_id) VALUES (?,?,?))", { action, details, userId })
        < 1)
        qCWarning(lcAuth) << "Could not record" << action << "of user" << userId;
}

bool AuthController::login(const QString& username, const QString& password)
{
    const QString name = username.trimmed();
    const QString pass = password.trimmed();
    qCInfo(lcAuth) << "Login attempt - username:" << name;

    Account account;
    if (!findAccount(name, &account)) {
        qCInfo(lcAuth) << "Login failed: user not found:" << name;
        emit loginFailed(kWrongCredentials);
        return false;
    }
    if (!passwordMatches(pass, account.storedPassword)) {
        qCInfo(lcAuth) << "Login failed: password mismatch.";
        emit loginFailed(kWrongCredentials);
        return false;
    }
    // The password is known to be right here, so a plain one from an older file is replaced by
    // its hash now, also when the account turns out to be disabled.
    if (!PasswordHasher::isHash(account.storedPassword) && !storePassword(account.id, pass))
        qCWarning(lcAuth) << "A plain password stays stored for user" << account.id;
    if (account.active != 1) {
        qCInfo(lcAuth) << "Login failed: user is not active";
        emit loginFailed(kAccountDisabled);
        return false;
    }

    m_loggedIn = true;
    m_userId = account.id;
    m_username = account.username;
    m_fullName = account.fullName;
    m_role = account.role;
    // The name documents issued from now on carry as the clerk's (receipts); the user name when
    // the account has no full name.
    m_db->setActingUser(m_fullName.trimmed().isEmpty() ? m_username : m_fullName);
    if (account.username == kAdminName) {
        ++m_defaultCheckGeneration;
        m_usingDefaultPassword = pass == defaultPassword();
    }
    writeLogRecord(QStringLiteral("login"), QStringLiteral("تسجيل دخول: ") + m_username, m_userId);
    emit authChanged();
    return true;
}

void AuthController::logout()
{
    // Only a real log-out is recorded: a second press has nobody to log out.
    if (m_loggedIn)
        writeLogRecord(QStringLiteral("logout"), QStringLiteral("تسجيل خروج: ") + m_username, m_userId);
    m_loggedIn = false;
    m_userId = -1;
    m_username.clear();
    m_fullName.clear();
    m_role.clear();
    m_db->setActingUser(QString());
    emit authChanged();
}

bool AuthController::changePassword(const QString& oldPass, const QString& newPass)
{
    clearRefusal();
    if (!m_loggedIn)
        return refuse(QStringLiteral("سجّل الدخول أولاً"));
    // Log-in trims what is typed, so a password kept with its blanks could never be used again.
    const QString newPassword = newPass.trimmed();
    if (newPassword.isEmpty())
        return refuse(QStringLiteral("أدخل كلمة المرور الجديدة"));
    const QVariant stored = m_db->scalar(R"(SELECT password_hash FROM users WHERE id=?)", { m_userId });
    if (!stored.isValid() || !passwordMatches(oldPass.trimmed(), stored.toString()))
        return refuse(QStringLiteral("كلمة المرور الحالية غير صحيحة"));
    if (!storePassword(m_userId, newPassword))
        return refuseUnsaved();
    if (m_username == kAdminName)
        setUsingDefaultPassword(newPassword == defaultPassword());
    return true;
}

QVariantList AuthController::getUsers() const
{
    // The latest log-in is matched on the account's own id: a text match on the details would
    // credit "ali" with the log-ins of "alia".
    return m_db->execQuery(R"(
        SELECT u.id, u.username, u.full_name, u.role, u.active, l.last_login
        FROM users u
        LEFT JOIN (SELECT user_id, MAX(created_at) AS last_login FROM app_log
                   WHERE action='login' GROUP BY user_id) l ON l.user_id = u.id
        ORDER BY u.id)");
}

bool AuthController::isAdministrator() const
{
    return m_loggedIn && m_role == kAdminRole;
}

bool AuthController::registerUser(const QString& username, const QString& password, const QString& role)
{
    clearRefusal();
    if (!isAdministrator()) {
        qCWarning(lcAuth) << "Refusing to add a user: the logged-in account is not an administrator";
        return refuse(QStringLiteral("إضافة المستخدمين للمدير فقط"));
    }
    // Names and passwords are trimmed as log-in trims them, or the account could never log in.
    const QString name = username.trimmed();
    const QString pass = password.trimmed();
    if (name.isEmpty() || pass.isEmpty() || (role != kAdminRole && role != kUserRole)) {
        qCWarning(lcAuth) << "Refusing to add a user with an empty name or password, or role" << role;
        return refuse(name.isEmpty() ? QStringLiteral("أدخل اسم المستخدم")
                : pass.isEmpty()     ? QStringLiteral("أدخل كلمة المرور")
                                     : QStringLiteral("الصلاحية غير معروفة"));
    }
    // A look-alike of the built-in administrator could never be removed.
    if (name.compare(kAdminName, Qt::CaseInsensitive) == 0)
        return refuse(QStringLiteral("الاسم %1 محجوز للمدير المدمج").arg(kAdminName));
    // Checked before hashing, which is the slow part.
    if (m_db->scalar(R"(SELECT id FROM users WHERE username=?)", { name }).isValid())
        return refuse(QStringLiteral("اسم المستخدم %1 مستخدم من قبل").arg(name));
    const QString hash = PasswordHasher::hash(pass);
    if (hash.isEmpty())
        return refuseUnsaved();
    const QString sql = m_legacyPasswordColumn
        ? QStringLiteral(
            "INSERT INTO users (username, password_hash, role, full_name, password) VALUES (?,?,?,?,'')")
        : QStringLiteral("INSERT INTO users (username, password_hash, role, full_name) VALUES (?,?,?,?)");
    return m_db->execInsert(sql, { name, hash, role, name }) >= 1 || refuseUnsaved();
}

bool AuthController::removeUser(const QString& username)
{
    clearRefusal();
    if (!isAdministrator()) {
        qCWarning(lcAuth) << "Refusing to remove a user: the logged-in account is not an administrator";
        return refuse(QStringLiteral("حذف المستخدمين للمدير فقط"));
    }
    if (username.trimmed().compare(kAdminName, Qt::CaseInsensitive) == 0)
        return refuse(QStringLiteral("لا يُحذف المدير المدمج"));
    // The account in use stays: removing it would leave the program run by a user who no longer
    // exists, and could leave the office without any administrator it can log in as.
    const QVariant id = m_db->scalar(R"(SELECT id FROM users WHERE username=?)", { username });
    if (id.isValid() && id.toInt() == m_userId) {
        qCWarning(lcAuth) << "Refusing to remove the account that is logged in";
        return refuse(QStringLiteral("لا تحذف الحساب الذي سجلت الدخول به"));
    }
    return m_db->execNonQuery(R"(DELETE FROM users WHERE username=? AND id!=?)", { username, m_userId })
        || refuseUnsaved();
}
