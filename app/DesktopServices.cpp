#include "DesktopServices.h"

#include "CWaitCursorService.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

namespace vellmark {
namespace {

// Settings files only, "dat" added to a name typed without it, the read-only box hidden
// (Qt's dialogs have none), overwrite confirmation on.
class DialogChooser : public IFileChooser {
public:
    QString OpenFileName(QWidget* owner, const QString& directory) override {
        return Run(owner, directory, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
    }

    QString SaveFileName(QWidget* owner, const QString& directory) override {
        return Run(owner, directory, QFileDialog::AcceptSave, QFileDialog::AnyFile);
    }

private:
    static QString Run(QWidget* owner, const QString& directory, QFileDialog::AcceptMode accept,
                       QFileDialog::FileMode files) {
        QFileDialog dialog(owner, QString(), directory, ResourceText(res::IDS_FILE_FILTER));
        dialog.setAcceptMode(accept);
        dialog.setFileMode(files);
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QStringList chosen = dialog.selectedFiles();
        return chosen.isEmpty() ? QString() : chosen.first();
    }
};

class RuntimeExit : public IProcessExit {
public:
    void Exit(int status) override {
        std::fflush(nullptr);
        std::exit(status);
    }
};

} // namespace

template <> IFileChooser& PlatformService<IFileChooser>::Standard() {
    static DialogChooser dialogs;
    return dialogs;
}

template <> IProcessExit& PlatformService<IProcessExit>::Standard() {
    static RuntimeExit runtime;
    return runtime;
}

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

template <> IHelpViewer& PlatformService<IHelpViewer>::Standard() {
    static CDesktopHelpViewer desktop;
    return desktop;
}

} // namespace vellmark
