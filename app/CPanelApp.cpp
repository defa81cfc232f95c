#include "CPanelApp.h"

#include "CPanelDlg.h"
#include "CSingleInstance.h"
#include "CupsPrintService.h"
#include "IPrompt.h"
#include "ProgramLook.h"

#include <QLibraryInfo>

namespace vellmark {

CPanelApp::CPanelApp(int& argc, char** argv) : m_app(argc, argv) {
    // The application carries the program's name, the caption of its message boxes; the
    // single-instance key is the executable's own name.
    QCoreApplication::setApplicationName(ApplicationName());
    LoadQtTranslation(m_app, m_qtTranslator);
    // Installed last, so asked first: the few texts Qt's translation lacks.
    m_app.installTranslator(&m_qtSupplement);
    ApplyProgramLook();
    WarnWithoutJapaneseFace(stderr);
}

bool CPanelApp::LoadQtTranslation(QCoreApplication& app, QTranslator& translator) {
    if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return app.installTranslator(&translator);
}

int CPanelApp::InitInstance() {
    CupsPrintService cups;
    return InitInstance(cups);
}

int CPanelApp::InitInstance(PrintService& service) {
    // One copy per user, desktop and executable name: a later start brings the running copy's
    // window, or the dialog it waits on, to the front and ends without a window of its own.
    CSingleInstance single;
    if (!single.TryBecomePrimary())
        return 0;

    CPanelDlg dlg(service);
    QObject::connect(&single, &CSingleInstance::activationRequested, &dlg,
                     [&dlg] { CSingleInstance::BringProgramToFront(&dlg); });
    dlg.DoModal();
    return 0;
}

} // namespace vellmark
