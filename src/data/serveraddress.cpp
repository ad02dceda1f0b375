#include "serveraddress.h"

#include <QSqlDatabase>

#include <QStringList>

bool ServerAddress::isComplete() const
{
    return !host.trimmed().isEmpty() && !database.trimmed().isEmpty() && !user.trimmed().isEmpty() && port > 0
        && port <= 65535;
}

ServerAddress ServerAddress::parse(const QString& text)
{
    ServerAddress address;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return {};
        const QString key = word.left(equals);
        const QString value = word.mid(equals + 1);
        if (key == QLatin1String("host")) {
            address.host = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            address.port = value.toInt(&ok);
            if (!ok)
                return {};
        } else if (key == QLatin1String("dbname")) {
            address.database = value;
        } else if (key == QLatin1String("user")) {
            address.user = value;
        } else {
            // A password on a command line is seen by every user of the machine.
            return {};
        }
    }
    return address.isComplete() ? address : ServerAddress();
}

QString ServerAddress::toString() const
{
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4").arg(host).arg(port).arg(database, user);
}

void ServerAddress::applyTo(QSqlDatabase& db) const
{
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    if (!password.isEmpty())
        db.setPassword(password);
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
}
