// SPDX-License-Identifier: Apache-2.0
#include "DesktopServices.h"

#include "CWaitCursorService.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace vellmark {
namespace {

// Settings files only, "dat" added to a name typed without it, overwrite confirmation on, and
// the dialog's title: a desktop's dialog shows none of its own.
class DesktopFileDialog : public IFileDialog {
public:
    QString Run(QWidget* owner, Mode mode, const QString& title, const QString& directory,
                const QString& selected) override {
        QFileDialog dialog(owner, title, directory, ResourceText(res::IDS_FILE_FILTER));
        const bool save = mode == Mode::Save;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        if (!selected.isEmpty())
            dialog.selectFile(selected);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QStringList chosen = dialog.selectedFiles();
        return chosen.isEmpty() ? QString() : chosen.first();
    }

    // Qt's own dialog's question, in its words and with its default answer.
    bool ConfirmReplace(QWidget* owner, const QString& title, const QString& path) override {
        const QString text = QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                 .arg(QFileInfo(path).fileName());
        return QMessageBox::warning(owner, title, text, QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No) == QMessageBox::Yes;
    }
};

// The dialogs with their titles; a save name that the dialog returned without the suffix, and
// that names an existing file once completed, is asked about before anything is written (the
// desktop's dialog checked the name without the suffix only). Declined, the dialog opens again
// with that name.
class DialogChooser : public IFileChooser {
public:
    QString OpenFileName(QWidget* owner, const QString& directory) override {
        return Dialog().Run(owner, IFileDialog::Mode::Open, QFileDialog::tr("Open"), directory, {});
    }

    QString SaveFileName(QWidget* owner, const QString& directory) override {
        const QString title = QFileDialog::tr("Save As");
        QString selected;
        for (;;) {
            const QString name =
                Dialog().Run(owner, IFileDialog::Mode::Save, title, directory, selected);
            if (name.isEmpty())
                return {};
            const QString completed = WithSettingsSuffix(name);
            if (completed == name || !QFileInfo::exists(completed) ||
                Dialog().ConfirmReplace(owner, title, completed))
                return completed;
            selected = completed;
        }
    }

private:
    static IFileDialog& Dialog() { return PlatformService<IFileDialog>::Get(); }
};

class RuntimeExit : public IProcessExit {
public:
    void Exit(int status) override {
        std::fflush(nullptr);
        std::exit(status);
    }
};

} // namespace

QString WithSettingsSuffix(const QString& name) {
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash == name.size() - 1 || name.indexOf(QLatin1Char('.'), slash + 1) >= 0)
        return name;
    return name + QStringLiteral(".dat");
}

template <> IFileDialog& PlatformService<IFileDialog>::Standard() {
    static DesktopFileDialog desktop;
    return desktop;
}

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
    // The window keeps painting while xdg-open runs; the user's input waits until the answer
    // is known, so that nothing else starts meanwhile.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process->start();
    if (process->state() != QProcess::NotRunning) {
        timer.start(m_wait);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (process->state() != QProcess::NotRunning) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool shown = process->error() != QProcess::FailedToStart &&
                       process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return shown;
}

template <> IHelpViewer& PlatformService<IHelpViewer>::Standard() {
    static CDesktopHelpViewer desktop;
    return desktop;
}

} // namespace vellmark
