#pragma once

#include <QString>
#include <QVariantList>
#include <vector>

struct pg_conn;

/**
 * The floor of a measurement on a server: the statements the program sent (Database's statement
 * trace), sent again straight through libpq on a connection of its own, each prepared once and
 * every row and value of its answer read, with no Qt in the way.
 */
class PgFloor
{
public:
    struct Statement
    {
        QString sql;
        QVariantList params;
    };

    /** Connects with the server's connection words ("host=... port=... dbname=... user=..."). */
    explicit PgFloor(const QString& conninfo);
    ~PgFloor();
    PgFloor(const PgFloor&) = delete;
    PgFloor& operator=(const PgFloor&) = delete;

    bool isOpen() const { return m_conn != nullptr; }
    /** Prepares the statements; returns how many the server refused (error() tells the last). */
    int prepare(const std::vector<Statement>& statements);
    /** Sends the prepared statements once, reading every value; milliseconds. */
    double run();
    QString error() const { return m_error; }

private:
    struct Prepared
    {
        QByteArray name; // empty: sent as it is (BEGIN, COMMIT...)
        QByteArray text;
        std::vector<QByteArray> values;
        std::vector<bool> nulls;
    };
    pg_conn* m_conn = nullptr;
    std::vector<Prepared> m_statements;
    int m_prepared = 0;
    QString m_error;
};
