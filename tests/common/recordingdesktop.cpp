#include "recordingdesktop.h"

#include <QDir>
#include <QFile>

bool RecordingDesktop::openLocalPath(const QString& path)
{
    opened.append(path);
    return true;
}

QString RecordingDesktop::chooseFolder(const QString& title, const QString& startFolder)
{
    questions.append({ title, startFolder, QString() });
    return nextChoice;
}

QString RecordingDesktop::chooseFileToOpen(
    const QString& title, const QString& startFolder, const QString& filter)
{
    questions.append({ title, startFolder, filter });
    return nextChoice;
}

void pinHomeFolder(const QString& path)
{
    qputenv("HOME", QFile::encodeName(path));
    // Desktop and Documents follow the user-dirs file under the configuration folder; keep the
    // machine's own out of the picture.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path + QStringLiteral("/.config")));
    QDir().mkpath(path);
}
