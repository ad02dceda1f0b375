#include "desktopservices.h"

#include <QDesktopServices>
#include <QFileDialog>

DesktopServices::~DesktopServices() = default;

bool DesktopServices::openLocalPath(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString DesktopServices::chooseFolder(const QString& title, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(nullptr, title, startFolder, QFileDialog::ShowDirsOnly);
}

QString DesktopServices::chooseFileToOpen(
    const QString& title, const QString& startFolder, const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, title, startFolder, filter);
}

DesktopServices* DesktopServices::system()
{
    static DesktopServices instance;
    return &instance;
}
