#include "applog.h"

#include <QDateTime>
#include <QQmlError>

bool AppLog::open(const QString& path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    m_stream.setDevice(&m_file);
    m_stream.setEncoding(QStringConverter::Utf8);
    return true;
}

void AppLog::writeLine(const QString& line)
{
    if (!isOpen())
        return;
    m_stream << line << Qt::endl;
}

void AppLog::writeStartBanner()
{
    writeLine(QString(43, QLatin1Char('-')));
    writeLine(QStringLiteral("App started at ") + QDateTime::currentDateTime().toString(Qt::TextDate));
}

void AppLog::writeQmlWarnings(const QList<QQmlError>& warnings)
{
    for (const QQmlError& warning : warnings)
        writeLine(QStringLiteral("QML Error: ") + warning.toString());
    m_stream.flush();
}

void AppLog::close()
{
    if (!isOpen())
        return;
    m_stream.flush();
    m_stream.setDevice(nullptr);
    m_file.close();
}
