#pragma once

#include "desktopservices.h"

#include <QStringList>

/** Stands in for the desktop in tests: records what would have been opened or asked, opens nothing. */
class RecordingDesktop : public DesktopServices
{
public:
    bool openLocalPath(const QString& path) override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    QString chooseFileToOpen(
        const QString& title, const QString& startFolder, const QString& filter) override;

    /** What the next chooser returns; empty means the user cancelled. */
    QString nextChoice;

    QStringList opened;
    struct Question
    {
        QString title;
        QString startFolder;
        QString filter;
    };
    QList<Question> questions;
};

/** Points HOME (and so Documents and Desktop) at a folder of the test's own for the process. */
void pinHomeFolder(const QString& path);
