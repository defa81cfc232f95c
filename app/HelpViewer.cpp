#include "CWaitCursorService.h"
#include "IHelpViewer.h"

#include <QCoreApplication>
#include <QProcess>

namespace vellmark {
namespace {

IHelpViewer* g_viewer = nullptr;

} // namespace

bool CDesktopHelpViewer::Open(const QString& path) {
    // Owned by the application, so that a viewer still running when this returns is not
    // waited for here; it goes once it ends.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const WaitCursor wait;
    process->start();
    if (!process->waitForStarted(static_cast<int>(m_wait.count()))) {
        delete process;
        return false;
    }
    if (!process->waitForFinished(static_cast<int>(m_wait.count()))) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool shown = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return shown;
}

IHelpViewer& HelpViewer() {
    static CDesktopHelpViewer desktop;
    return g_viewer ? *g_viewer : desktop;
}

void SetHelpViewer(IHelpViewer* viewer) {
    g_viewer = viewer;
}

} // namespace vellmark
