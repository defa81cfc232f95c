// SPDX-License-Identifier: Apache-2.0
// How the program reaches what the desktop provides (message boxes, file dialogs, the help
// viewer, the process exit): each through one small interface, reached here. The program's own
// implementation answers unless a scoped override is alive, so that a test drives a whole
// command headlessly and the code never asks whether it runs under a test.
//
//   IPrompt& prompt = PlatformService<IPrompt>::Get();
//   PlatformService<IPrompt>::Override scripted(myPrompt); // until the end of the scope
#pragma once

#include <utility>

namespace vellmark {

template <class Interface> class PlatformService {
public:
    // The service in use: the one installed by the newest live Override, else the program's.
    static Interface& Get() { return s_override ? *s_override : Standard(); }

    // Installs a service (not owned) for its own lifetime and then puts back the one before.
    class Override {
    public:
        explicit Override(Interface& service) : m_previous(std::exchange(s_override, &service)) {}
        ~Override() { s_override = m_previous; }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        Interface* m_previous;
    };

    // The program's own service, a function-local static made on first use; defined beside that
    // service and declared, specialised, in the interface's header.
    static Interface& Standard();

private:
    static inline Interface* s_override = nullptr;
};

} // namespace vellmark
