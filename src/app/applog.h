#pragma once

#include <QFile>
#include <QList>
#include <QTextStream>

class QQmlError;

/** The plain-text application log `app.log`: appended across runs, one run after another. */
class AppLog
{
public:
    /** Opens the log for appending; false when it cannot be written (the program runs on without it). */
    bool open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }
    void writeLine(const QString& line);
    void writeStartBanner();
    void writeQmlWarnings(const QList<QQmlError>& warnings);
    void close();

private:
    QFile m_file;
    QTextStream m_stream;
};
