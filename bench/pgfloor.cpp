#include "pgfloor.h"

#include "sqlfloor.h"

#include <QHash>
#include <libpq-fe.h>

namespace {

/** "?" placeholders as the server numbers them ($1, $2...), quoted text left alone. */
QString numbered(const QString& sql)
{
    QString text;
    int next = 0;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            text += u'$' + QString::number(++next);
            continue;
        }
        text += c;
    }
    return text;
}

QByteArray valueText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double)
        return QByteArray::number(value.toDouble(), 'g', 17);
    if (value.typeId() == QMetaType::Bool)
        return QByteArray::number(value.toInt());
    return value.toString().toUtf8();
}

} // namespace

PgFloor::PgFloor(const QString& conninfo)
{
    m_conn = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(m_conn) != CONNECTION_OK) {
        m_error = QString::fromUtf8(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
    }
}

PgFloor::~PgFloor()
{
    if (m_conn)
        PQfinish(m_conn);
}

int PgFloor::prepare(const std::vector<Statement>& statements)
{
    m_statements.clear();
    int refused = 0;
    QHash<QString, QByteArray> names;
    for (const Statement& statement : statements) {
        Prepared prepared;
        if (statement.params.isEmpty()) {
            prepared.text = statement.sql.toUtf8();
        } else {
            QByteArray& name = names[statement.sql];
            if (name.isEmpty()) {
                name = "floor_" + QByteArray::number(++m_prepared);
                const QByteArray text = numbered(statement.sql).toUtf8();
                PGresult* result = PQprepare(m_conn, name.constData(), text.constData(), 0, nullptr);
                if (PQresultStatus(result) != PGRES_COMMAND_OK) {
                    m_error = QString::fromUtf8(PQresultErrorMessage(result));
                    ++refused;
                }
                PQclear(result);
            }
            prepared.name = name;
            for (const QVariant& value : statement.params) {
                prepared.nulls.push_back(value.isNull());
                prepared.values.push_back(value.isNull() ? QByteArray() : valueText(value));
            }
        }
        m_statements.push_back(std::move(prepared));
    }
    return refused;
}

double PgFloor::run()
{
    const double started = monotonicMs();
    std::vector<const char*> values;
    for (const Prepared& statement : m_statements) {
        PGresult* result = nullptr;
        if (statement.name.isEmpty()) {
            result = PQexec(m_conn, statement.text.constData());
        } else {
            values.clear();
            for (size_t i = 0; i < statement.values.size(); ++i)
                values.push_back(statement.nulls[i] ? nullptr : statement.values[i].constData());
            result = PQexecPrepared(m_conn, statement.name.constData(), int(values.size()), values.data(),
                nullptr, nullptr, 0);
        }
        const int rows = PQntuples(result), columns = PQnfields(result);
        volatile size_t read = 0;
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column)
                read = read + PQgetlength(result, row, column) + (PQgetvalue(result, row, column)[0] != 0);
        }
        PQclear(result);
    }
    return monotonicMs() - started;
}
