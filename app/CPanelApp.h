// SPDX-License-Identifier: Apache-2.0
// The application object: starts the program, lets only one copy run per user, desktop and
// executable name, and runs the main window modally for the whole life of the process.
#pragma once

#include <QApplication>
#include <QTranslator>

#include <thread>

#include "CFixedSizeWindows.h"
#include "ProgramLook.h"

namespace vellmark {

class PrintService;

class CPanelApp {
public:
    CPanelApp(int& argc, char** argv);

    // The start-up: the single-instance test (a second copy raises the first copy's window, or
    // the dialog it shows, and ends), then the main window over `service` until it ends.
    // Returns the process's exit status.
    int InitInstance(PrintService& service);

    // Qt's own texts (standard buttons, file dialogs) in Japanese, as every text of the
    // program. False when the translation is not installed.
    static bool LoadQtTranslation(QCoreApplication& app, QTranslator& translator);

private:
    // Reads fontconfig's configuration and font caches while the window system starts; joined
    // before the first font is asked for. Started before the application object.
    std::thread m_fontconfig;
    QApplication m_app;
    QTranslator m_qtTranslator;
    QtTextSupplement m_qtSupplement;
    // No window of the program is maximised or made full screen.
    CFixedSizeWindows m_fixedWindows;
};

} // namespace vellmark
