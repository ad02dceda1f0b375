#pragma once

#include <QString>

/**
 * The few places where the back end reaches out to the desktop: opening a written file or folder
 * in its default application and asking the user for a folder or a file. Printing, export and
 * backup go through one of these so tests can substitute a recording fake and run headless.
 *
 * The base class is the real implementation; the shared instance serves the running program.
 */
class DesktopServices
{
public:
    DesktopServices() = default;
    virtual ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

    /** Opens a local file or folder with the desktop's default application. */
    virtual bool openLocalPath(const QString& path);
    /** A native folder chooser; empty when cancelled. */
    virtual QString chooseFolder(const QString& title, const QString& startFolder);
    /** A native file-open chooser; empty when cancelled. */
    virtual QString chooseFileToOpen(const QString& title, const QString& startFolder, const QString& filter);

    /** The real desktop, shared by every object that was not handed another. */
    static DesktopServices* system();
};
