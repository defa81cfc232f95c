// The one way the help command hands the help file to a viewer. The program asks the desktop
// to open it; tests install a viewer of their own that records the request and answers.
#pragma once

#include <QString>

#include <chrono>

namespace vellmark {

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

// The viewer in use; the desktop's unless another one is installed.
IHelpViewer& HelpViewer();
// Installs a viewer (not owned); null restores the desktop's.
void SetHelpViewer(IHelpViewer* viewer);

} // namespace vellmark
