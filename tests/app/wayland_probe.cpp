// SPDX-License-Identifier: Apache-2.0
// Started by the Wayland test: the program itself (application object, single-instance rule,
// printer choice and main window on the scheduler named by CUPS_SERVER), driven by lines on its
// standard input, each answered on standard output:
//   "edit"         one step down in the focused drop-down of the page shown; "edit=NAME:INDEX"
//   "maximise", "fullscreen"
//                  every window of the program shown asks its compositor for that state, as a
//                  title bar's button or a window manager's key would; "asked=N"
//   "dark"         a dark palette for the whole program (for looking at it); "dark"
//   "choose"       the printer choice taken with its first printer; "chosen"
//   "report"       "windows=TITLE:WxH:STATE;... edit=NAME:INDEX", the edit as the window shows it
// A start that finds the first copy running ends with status 0, as the program does.
#include "../WidgetHarness.h"
#include "CPanelApp.h"
#include "CPanelDlg.h"
#include "CupsPrintService.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QSocketNotifier>
#include <QTest>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

using namespace vellmark;

namespace {

QComboBox* g_edited = nullptr;

void Say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString EditLine() {
    return g_edited ? QStringLiteral("edit=%1:%2")
                          .arg(g_edited->accessibleName())
                          .arg(g_edited->currentIndex())
                    : QStringLiteral("edit=none");
}

QWidgetList Shown() {
    QWidgetList shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowHandle())
            shown << w;
    return shown;
}

void Run(const QByteArray& command) {
    if (command == "edit") {
        CPanelDlg* panel = nullptr;
        for (QWidget* w : Shown())
            if (auto* p = qobject_cast<CPanelDlg*>(w))
                panel = p;
        if (!panel)
            return Say(QStringLiteral("edit=no-window"));
        for (QComboBox* combo : panel->findChildren<QComboBox*>())
            if (combo->isVisible() && combo->isEnabled() && combo->count() > 1) {
                g_edited = combo;
                combo->setFocus();
                QTest::keyClick(combo, Qt::Key_Down);
                break;
            }
        return Say(EditLine());
    }
    if (command == "maximise" || command == "fullscreen") {
        const Qt::WindowState state =
            command == "maximise" ? Qt::WindowMaximized : Qt::WindowFullScreen;
        int asked = 0;
        for (QWidget* w : Shown()) {
            w->windowHandle()->setWindowStates(state);
            ++asked;
        }
        return Say(QStringLiteral("asked=%1").arg(asked));
    }
    if (command == "dark") {
        QApplication::setPalette(test::DarkPalette());
        return Say(QStringLiteral("dark"));
    }
    if (command == "choose") {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
        return Say(QStringLiteral("chosen"));
    }
    if (command == "report") {
        // Each window painted and the compositor's answers read: a refused size ends the
        // program here.
        for (QWidget* w : Shown())
            w->repaint();
        QGuiApplication::sync();
        QStringList windows;
        for (QWidget* w : Shown())
            windows << QStringLiteral("%1:%2x%3:%4")
                           .arg(w->windowTitle())
                           .arg(w->width())
                           .arg(w->height())
                           .arg(int(w->windowHandle()->windowStates()));
        return Say(QStringLiteral("windows=") + windows.join(u';') + u' ' + EditLine());
    }
}

} // namespace

int main(int argc, char** argv) {
    CupsPrintService service;
    CPanelApp app(argc, argv);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &input, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            Run(pending.left(end).trimmed());
    });
    return app.InitInstance(service);
}
