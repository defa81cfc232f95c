// The desktop's services to the window's commands, each an interface reached through
// PlatformService: the file dialogs for a settings file's path, the viewer of the help file and
// the end of the process. The program uses the desktop's own; tests override them with ones
// that answer from a script and record what was asked.
#pragma once

#include "PlatformService.h"

#include <QString>

#include <chrono>

class QWidget;

namespace vellmark {

// Asks the user for a settings file's path.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // The open dialog over owner, starting in directory; an empty string when cancelled.
    virtual QString OpenFileName(QWidget* owner, const QString& directory) = 0;
    // The save dialog (asks before overwriting); an empty string when cancelled.
    virtual QString SaveFileName(QWidget* owner, const QString& directory) = 0;
};

// Hands the help file to a viewer.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    // Opens the file at its contents; false when no viewer took it.
    virtual bool Open(const QString& path) = 0;
};

// The desktop's viewer: the file goes to `xdg-open`, which hands it to the user's browser. Its
// exit status tells whether a viewer took the file: 0 is success, anything else (no browser, no
// way to open the file) or a missing `xdg-open` is failure. Some browsers keep `xdg-open` waiting
// for as long as they run; still running after `wait`, it counts as a viewer that shows the file.
class CDesktopHelpViewer : public IHelpViewer {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    explicit CDesktopHelpViewer(std::chrono::milliseconds wait = kDefaultWait) : m_wait(wait) {}
    bool Open(const QString& path) override;

private:
    std::chrono::milliseconds m_wait;
};

// Ends the program's own process from inside a dialog (no usable printer at start-up).
class IProcessExit {
public:
    virtual ~IProcessExit() = default;
    // Ends the process with the given status; returns only when a test overrode the exit, so
    // that the caller then leaves its dialog as cancelled.
    virtual void Exit(int status) = 0;
};

// The program's own: the standard file dialogs, CDesktopHelpViewer, and the runtime's normal
// exit (std::exit after flushing the standard streams).
template <> IFileChooser& PlatformService<IFileChooser>::Standard();
template <> IHelpViewer& PlatformService<IHelpViewer>::Standard();
template <> IProcessExit& PlatformService<IProcessExit>::Standard();

} // namespace vellmark
