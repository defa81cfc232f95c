// SPDX-License-Identifier: Apache-2.0
// The program: the application object runs the main window; its end ends the process.
#include "CPanelApp.h"
#include "CupsPrintService.h"
#include "PrefetchedPrintService.h"

#include <clocale>

int main(int argc, char** argv) {
    // The locale of the environment, as the application object sets it, before any thread
    // starts: the spooler's requests carry its language.
    std::setlocale(LC_ALL, "");
    // The spooler's queue list decides the printer the window opens with. It is read on a
    // worker while the window system and the window start, since nobody can act before the
    // window exists; later lists are read when they are asked for.
    vellmark::PrefetchedPrintService service(
        [] { return std::make_unique<vellmark::CupsPrintService>(); });
    vellmark::CPanelApp app(argc, argv);
    return app.InitInstance(service);
}
