#include "serverchoicecontroller.h"

#include "database.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>

using namespace Qt::StringLiterals;

ServerChoiceController::ServerChoiceController(Database* database, const QString& dataDir, QObject* parent)
    : Refusable(parent)
    , m_database(database)
    , m_dataDir(dataDir)
{ }

QString ServerChoiceController::configPath(const QString& dataDir)
{
    return dataDir + u"/server.conf"_s;
}

ServerAddress ServerChoiceController::chosen(const QString& dataDir)
{
    if (!QFile::exists(configPath(dataDir)))
        return {};
    const QSettings config(configPath(dataDir), QSettings::IniFormat);
    ServerAddress address;
    address.host = config.value(u"server/host"_s).toString();
    address.port = config.value(u"server/port"_s, 5432).toInt();
    address.database = config.value(u"server/database"_s).toString();
    address.user = config.value(u"server/user"_s).toString();
    return address.isComplete() ? address : ServerAddress();
}

QVariantMap ServerChoiceController::current() const
{
    const ServerAddress next = chosen(m_dataDir);
    const bool onServer = m_database && m_database->isServer();
    return { { u"onServer"_s, onServer }, { u"place"_s, onServer ? m_database->path() : u"ملف هذا الجهاز"_s },
        { u"host"_s, next.host }, { u"port"_s, next.isComplete() ? next.port : 5432 },
        { u"database"_s, next.database }, { u"user"_s, next.user } };
}

QString ServerChoiceController::tryAddress(const QString& host, int port, const QString& database,
    const QString& user, const QString& password) const
{
    const ServerAddress address { host.trimmed(), port, database.trimmed(), user.trimmed(), password };
    if (!address.isComplete())
        return u"أدخل الخادم والمنفذ وقاعدة البيانات والمستخدم"_s;
    const QString name = u"darvelinto_server_trial"_s;
    QString why;
    {
        QSqlDatabase trial = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        if (!trial.isValid()) {
            why = u"برنامج الاتصال بخادم PostgreSQL غير مثبت"_s;
        } else {
            address.applyTo(trial);
            if (!trial.open())
                why = u"تعذر الاتصال بالخادم: "_s + trial.lastError().text().simplified();
            trial.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return why;
}

bool ServerChoiceController::choose(
    const QString& host, int port, const QString& database, const QString& user)
{
    const ServerAddress address { host.trimmed(), port, database.trimmed(), user.trimmed(), {} };
    if (!address.isComplete())
        return refuse(u"أدخل الخادم والمنفذ وقاعدة البيانات والمستخدم"_s);
    // The address is read back word by word: a blank or "=" inside a word would change its meaning.
    for (const QString& word : { address.host, address.database, address.user }) {
        if (word.contains(u'=') || word.split(QRegularExpression(u"\\s"_s)).size() > 1)
            return refuse(u"لا يحتوي اسم الخادم أو قاعدة البيانات أو المستخدم على مسافة أو علامة ="_s);
    }
    QSettings config(configPath(m_dataDir), QSettings::IniFormat);
    config.setValue(u"server/host"_s, address.host);
    config.setValue(u"server/port"_s, address.port);
    config.setValue(u"server/database"_s, address.database);
    config.setValue(u"server/user"_s, address.user);
    config.sync();
    if (config.status() != QSettings::NoError)
        return refuse(u"تعذر حفظ الاختيار في مجلد البيانات"_s);
    clearRefusal();
    return true;
}

bool ServerChoiceController::forget()
{
    if (QFile::exists(configPath(m_dataDir)) && !QFile::remove(configPath(m_dataDir)))
        return refuse(u"تعذر حذف اختيار الخادم من مجلد البيانات"_s);
    clearRefusal();
    return true;
}
