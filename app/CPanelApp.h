// The application object: starts the program, lets only one copy run per user, desktop and
// executable name, and runs the main window modally for the whole life of the process.
#pragma once

#include <QApplication>
#include <QTranslator>

#include "ProgramLook.h"

namespace vellmark {

class PrintService;

class CPanelApp {
public:
    CPanelApp(int& argc, char** argv);

    // The start-up: the single-instance test (a second copy raises the first copy's window, or
    // the dialog it shows, and ends), then the main window until it ends. Returns the process's
    // exit status.
    int InitInstance();
    // As above with the given print service for the main window.
    int InitInstance(PrintService& service);

    // Qt's own texts (standard buttons, file dialogs) in Japanese, as every text of the
    // program. False when the translation is not installed.
    static bool LoadQtTranslation(QCoreApplication& app, QTranslator& translator);

private:
    QApplication m_app;
    QTranslator m_qtTranslator;
    QtTextSupplement m_qtSupplement;
};

} // namespace vellmark
