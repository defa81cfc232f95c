// SPDX-License-Identifier: Apache-2.0
#include "CPanelApp.h"

#include "CPanelDlg.h"
#include "CSingleInstance.h"
#include "IPrompt.h"
#include "ProgramLook.h"

#include <QLibraryInfo>

#include <fontconfig/fontconfig.h>

namespace vellmark {

CPanelApp::CPanelApp(int& argc, char** argv)
    // fontconfig reads its configuration and every font cache once per process, which the first
    // font needs; the application object's start (the window system, its plugins) does not, so
    // the two run side by side.
    : m_fontconfig([] { FcInit(); }), m_app(argc, argv) {
    // The application carries the program's name, the caption of its message boxes; the
    // single-instance key is the executable's own name.
    QCoreApplication::setApplicationName(ApplicationName());
    LoadQtTranslation(m_app, m_qtTranslator);
    // Installed last, so asked first: the few texts Qt's translation lacks.
    m_app.installTranslator(&m_qtSupplement);
    m_fontconfig.join();
    ApplyProgramLook();
    WarnWithoutJapaneseFace(stderr);
}

bool CPanelApp::LoadQtTranslation(QCoreApplication& app, QTranslator& translator) {
    if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return app.installTranslator(&translator);
}

int CPanelApp::InitInstance(PrintService& service) {
    // One copy per user, desktop and executable name: a later start brings the running copy's
    // window, or the dialog it waits on, to the front and ends without a window of its own.
    CSingleInstance single;
    if (!single.TryBecomePrimary())
        return 0;

    CPanelDlg dlg(service);
    QObject::connect(
        &single, &CSingleInstance::activationRequested, &dlg,
        [&dlg](const QByteArray& token) { CSingleInstance::BringProgramToFront(&dlg, token); });
    dlg.DoModal();
    return 0;
}

} // namespace vellmark
