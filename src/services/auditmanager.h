#pragma once

#include <QObject>
#include <QVariantList>

class Database;

/**
 * The audit log: one row per noteworthy business action in `audit_logs`, which only ever grows.
 * Log-ins and log-outs are kept apart, in `app_log`, by the authentication controller.
 */
class AuditManager : public QObject
{
    Q_OBJECT
public:
    explicit AuditManager(Database* db, QObject* parent = nullptr);

    /**
     * Records an action. A user id below 1 means the writer does not know the user and is stored
     * as NULL; omitted texts are stored as empty text and an omitted record id as 0. A blank
     * action is refused (false, nothing written).
     */
    Q_INVOKABLE bool log(int userId, const QString& action, const QString& table = QString(),
        int recordId = 0, const QString& details = QString());
    /** The most recent rows, newest first, with the acting user's name (null when unknown). */
    Q_INVOKABLE QVariantList getLogs(int limit = 100) const;

private:
    Database* m_db;
};
