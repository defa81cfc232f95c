// The one way the program ends its own process from inside a dialog (no usable printer at
// start-up). The program ends through the runtime's normal exit; tests install an exit of their
// own that records the status and returns, so the caller then leaves its dialog as cancelled.
#pragma once

namespace vellmark {

class IProcessExit {
public:
    virtual ~IProcessExit() = default;
    // Ends the process with the given status; returns only when a test replaced the exit.
    virtual void Exit(int status) = 0;
};

// The exit in use; std::exit unless another one is installed.
IProcessExit& ProcessExit();
// Installs an exit (not owned); null restores std::exit.
void SetProcessExit(IProcessExit* exit);

} // namespace vellmark
