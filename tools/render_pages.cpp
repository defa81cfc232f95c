// SPDX-License-Identifier: Apache-2.0
// Developer tool, not installed: renders every settings page and the form setup dialog, showing
// the factory settings, to PNG files for reviewing the layouts.
//
//   vellmark-render-pages [OUTDIR]     (default: the current directory)
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "CDialogLayout.h"
#include "CDialogStyle.h"
#include "CPageSet.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "SettingsBlock.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFontInfo>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

using namespace vellmark;

namespace {

bool Save(QWidget& w, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    const bool ok = w.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// Shows the dialog instead of running it, saves its picture and cancels it.
class RenderPrompt : public IPrompt {
public:
    RenderPrompt(const QDir& dir) : m_dir(dir) {}
    int MessageBox(QWidget*, const QString&, const QString&, PromptIcon, PromptButtons) override {
        return kPromptOk;
    }
    int RunModal(QDialog& dialog) override {
        dialog.show();
        QApplication::processEvents();
        m_ok = Save(dialog, m_dir, QStringLiteral("dialog_175_form_setup.png"));
        dialog.done(res::IDCANCEL);
        return res::IDCANCEL;
    }
    bool m_ok = false;

private:
    QDir m_dir;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CDialogStyle::Install(); // the style the program draws and measures its pages with
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dir.path()));
        return 2;
    }
    const QFont font = CDialogLayout::DialogFont();
    const QSize base = CDialogLayout::BaseUnits(font);
    std::printf("dialog font: %s %dpt, base units %d x %d\n", qPrintable(QFontInfo(font).family()),
                font.pointSize(), base.width(), base.height());

    QWidget host;
    host.setAutoFillBackground(true);
    CPageSet set;
    SettingsDocument doc;
    set.Create(&host, doc);
    doc.ShowInPages(); // the factory settings
    const char* const names[] = {"page_134_select.png", "page_171_form.png", "page_133_param.png",
                                 "page_129_msw1.png",   "page_130_msw2.png", "page_131_msw3.png",
                                 "page_132_msw4.png"};
    host.resize(set.select.size());
    host.show();
    bool ok = true;
    const auto pages = set.All();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        set.ShowOnly(i);
        QApplication::processEvents();
        ok = Save(*pages[i], dir, QString::fromLatin1(names[i])) && ok;
    }

    RenderPrompt prompt(dir);
    const PlatformService<IPrompt>::Override rendering(prompt);
    CFormSetupDlg& dlg = set.form.FormSetupDialog();
    dlg.LoadForm(1);
    dlg.SetFormName(QStringLiteral("書式１"));
    dlg.DoModal(&set.form);
    return ok && prompt.m_ok ? 0 : 1;
}
