// The one way the commands ask the user for a settings file's path. The program uses the
// standard file dialogs; tests install a chooser of their own that answers from a script.
#pragma once

#include <QString>

class QWidget;

namespace vellmark {

class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // The open dialog over owner, starting in directory; an empty string when cancelled.
    virtual QString OpenFileName(QWidget* owner, const QString& directory) = 0;
    // The save dialog (asks before overwriting); an empty string when cancelled.
    virtual QString SaveFileName(QWidget* owner, const QString& directory) = 0;
};

// The chooser in use; the file dialogs unless another one is installed.
IFileChooser& FileChooser();
// Installs a chooser (not owned); null restores the file dialogs.
void SetFileChooser(IFileChooser* chooser);

} // namespace vellmark
