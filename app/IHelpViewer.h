// The one way the help command hands the help file to a viewer. The program asks the desktop
// to open it; tests install a viewer of their own that records the request and answers.
#pragma once

#include <QString>

namespace vellmark {

class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    // Opens the file at its contents; false when no viewer took it.
    virtual bool Open(const QString& path) = 0;
};

// The viewer in use; the desktop's unless another one is installed.
IHelpViewer& HelpViewer();
// Installs a viewer (not owned); null restores the desktop's.
void SetHelpViewer(IHelpViewer* viewer);

} // namespace vellmark
