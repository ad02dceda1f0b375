#pragma once

#include "refusable.h"
#include "serveraddress.h"

#include <QVariantMap>

class Database;

/**
 * Where this desk keeps the office's books: its own file (the default) or a database on the
 * office's PostgreSQL server. The choice is this desk's, kept beside its data in "server.conf"
 * (host, port, database and user; never a password), and takes effect at the next start. The
 * password comes from the user's ~/.pgpass or is typed when the program starts.
 */
class ServerChoiceController : public Refusable
{
    Q_OBJECT
public:
    ServerChoiceController(Database* database, const QString& dataDir, QObject* parent = nullptr);

    /**
     * What the settings page shows: `onServer` and `place` (where the books are now), and the
     * address chosen for the next start (`host`, `port`, `database`, `user`; empty on a file).
     */
    Q_INVOKABLE QVariantMap current() const;
    /** Opens a connection to the address and closes it again: empty when it opened, else why not. */
    Q_INVOKABLE QString tryAddress(const QString& host, int port, const QString& database,
        const QString& user, const QString& password) const;
    /** Keeps the address for the next start; refused when a word is missing. */
    Q_INVOKABLE bool choose(const QString& host, int port, const QString& database, const QString& user);
    /** The next start opens this desk's own file again. */
    Q_INVOKABLE bool forget();

    /** The address kept in `dataDir`, or an empty one. */
    static ServerAddress chosen(const QString& dataDir);

private:
    static QString configPath(const QString& dataDir);

    Database* m_database;
    QString m_dataDir;
};
