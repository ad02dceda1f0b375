#pragma once

#include "refusable.h"

#include <QVariantList>
#include <future>

class Database;

/**
 * User accounts and the log-in state of the running program. Passwords are kept only as salted
 * Argon2id hashes; a plain password left by an older file is accepted once and re-hashed on that
 * log-in. The state lives in memory: every start begins logged out.
 */
class AuthController : public Refusable
{
    Q_OBJECT
    Q_PROPERTY(bool isLoggedIn READ isLoggedIn NOTIFY authChanged)
    Q_PROPERTY(QString currentUser READ currentUser NOTIFY authChanged)
    Q_PROPERTY(QString currentRole READ currentRole NOTIFY authChanged)
    Q_PROPERTY(QString currentUsername READ currentUsername NOTIFY authChanged)
    Q_PROPERTY(bool usingDefaultPassword READ usingDefaultPassword NOTIFY authChanged)

public:
    explicit AuthController(Database* db, QObject* parent = nullptr);
    ~AuthController() override;

    bool isLoggedIn() const { return m_loggedIn; }
    /** The full name of the logged-in account, not its user name. */
    QString currentUser() const { return m_fullName; }
    QString currentRole() const { return m_role; }
    /** The user name of the logged-in account; empty when nobody is. */
    QString currentUsername() const { return m_username; }
    /** The id of the logged-in account; -1 when nobody is logged in. */
    int currentUserId() const { return m_loggedIn ? m_userId : -1; }
    /** True while the built-in "admin" account still opens with the public default password. */
    bool usingDefaultPassword() const { return m_usingDefaultPassword; }

    /**
     * Checks the account, user name and password both trimmed. Emits loginFailed with the reason
     * shown to the user; the password is checked before the account's active flag, so a wrong
     * password on a disabled account reads as wrong credentials.
     */
    Q_INVOKABLE bool login(const QString& username, const QString& password);
    Q_INVOKABLE void logout();
    /** Changes the logged-in account's password; the old one must match. */
    Q_INVOKABLE bool changePassword(const QString& oldPass, const QString& newPass);
    /** Every account (never its password) with the time of its latest log-in, or null. */
    Q_INVOKABLE QVariantList getUsers() const;
    /** Adds an account; only a logged-in administrator may, and the role is "admin" or "user". */
    Q_INVOKABLE bool registerUser(const QString& username, const QString& password, const QString& role);
    /**
     * Removes an account; only a logged-in administrator may, never the built-in "admin" and never
     * the account that is logged in.
     */
    Q_INVOKABLE bool removeUser(const QString& username);

signals:
    void authChanged();
    void loginFailed(const QString& reason);

private:
    struct Account
    {
        int id = -1;
        QString username;
        QString storedPassword;
        QString fullName;
        QString role;
        int active = 0;
    };

    void ensureAdminExists();
    [[nodiscard]] bool findAccount(const QString& username, Account* account) const;
    [[nodiscard]] bool passwordMatches(const QString& password, const QString& stored) const;
    [[nodiscard]] bool storePassword(int userId, const QString& password);
    void writeLogRecord(const QString& action, const QString& details, int userId);
    void refreshDefaultPasswordState();
    void setUsingDefaultPassword(bool usingDefault);
    bool isAdministrator() const;
    bool detectLegacyPasswordColumn() const;

    Database* m_db;
    bool m_loggedIn = false;
    int m_userId = -1;
    QString m_username;
    QString m_fullName;
    QString m_role;
    bool m_usingDefaultPassword = false;
    // The start-up check of the administrator's password runs beside the event loop; a later
    // log-in or password change makes its answer stale, which the generation tells.
    quint64 m_defaultCheckGeneration = 0;
    std::future<void> m_defaultCheck;
    // Files from older versions still carry a plain `password` column beside `password_hash`.
    bool m_legacyPasswordColumn = false;
};
