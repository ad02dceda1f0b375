#pragma once

#include <QString>

class QSqlDatabase;

/**
 * Where an office's shared database lives on a PostgreSQL server: host (a name, an address or the
 * folder of a Unix socket), port, database and user. The password is never kept here on disk:
 * it is typed at log-in or found by the server's client library in the user's ~/.pgpass.
 */
struct ServerAddress
{
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password;

    /** Host, database and user given, and the port one a server can listen on. */
    bool isComplete() const;

    /**
     * Reads "host=... port=... dbname=... user=..." (the server's own connection words; any order,
     * blanks between). Unknown words and a password in the text are refused: an empty address.
     */
    static ServerAddress parse(const QString& text);

    /** The address as parse() reads it, without the password. */
    QString toString() const;

    /**
     * Points a QPSQL connection at this address, with a time limit on connecting. Without a typed
     * password the server's client library looks in ~/.pgpass.
     */
    void applyTo(QSqlDatabase& db) const;
};
