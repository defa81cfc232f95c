// SPDX-License-Identifier: Apache-2.0
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

// One run of a file dialog as the desktop shows it (Qt's own, GTK's through the platform theme,
// or the portal), and the question Qt's own dialog asks before a file is replaced. The standard
// IFileChooser builds on it; tests answer it with the names a desktop's dialog returns.
class IFileDialog {
public:
    enum class Mode { Open, Save };
    virtual ~IFileDialog() = default;
    // The name chosen, as the dialog returns it (a desktop's dialog may leave the suffix off);
    // empty when cancelled. `selected`, when not empty, is offered as the chosen name.
    virtual QString Run(QWidget* owner, Mode mode, const QString& title, const QString& directory,
                        const QString& selected) = 0;
    // Asks whether the existing file at `path` is to be replaced; true to replace it.
    virtual bool ConfirmReplace(QWidget* owner, const QString& title, const QString& path) = 0;
};

// The name a save goes to: ".dat" added to a name whose last part has no suffix, as Qt's own
// dialog adds it.
QString WithSettingsSuffix(const QString& name);

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
// While it waits the window keeps painting (the user's input waits).
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

// The program's own: the file dialogs over QFileDialog, CDesktopHelpViewer, and the runtime's
// normal exit (std::exit after flushing the standard streams).
template <> IFileDialog& PlatformService<IFileDialog>::Standard();
template <> IFileChooser& PlatformService<IFileChooser>::Standard();
template <> IHelpViewer& PlatformService<IHelpViewer>::Standard();
template <> IProcessExit& PlatformService<IProcessExit>::Standard();

} // namespace vellmark
