// Developer tool, not installed: renders every settings page and the form setup dialog, showing
// the factory settings, to PNG files for reviewing the layouts.
//
//   vellmark-render-pages [OUTDIR]     (default: the current directory)
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "CDialogLayout.h"
#include "CPage_Form.h"
#include "CPage_MSW1.h"
#include "CPage_MSW2.h"
#include "CPage_MSW3.h"
#include "CPage_MSW4.h"
#include "CPage_Param.h"
#include "CPage_Select.h"
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
    CPage_Select select;
    CPage_Form form;
    CPage_Param param;
    CPage_MSW1 msw1;
    CPage_MSW2 msw2;
    CPage_MSW3 msw3;
    CPage_MSW4 msw4;
    struct Entry {
        CPropertyPage* page;
        const char* name;
    };
    const Entry pages[] = {{&select, "page_134_select.png"}, {&form, "page_171_form.png"},
                           {&param, "page_133_param.png"},   {&msw1, "page_129_msw1.png"},
                           {&msw2, "page_130_msw2.png"},     {&msw3, "page_131_msw3.png"},
                           {&msw4, "page_132_msw4.png"}};
    for (const Entry& e : pages) {
        e.page->Create(&host);
        e.page->ParseBlock(FactoryDefaults);
    }
    form.RefreshFormButton();
    host.resize(select.size());
    host.show();
    bool ok = true;
    for (const Entry& e : pages) {
        for (const Entry& other : pages)
            other.page->setVisible(other.page == e.page);
        QApplication::processEvents();
        ok = Save(*e.page, dir, QString::fromLatin1(e.name)) && ok;
    }

    RenderPrompt prompt(dir);
    SetPrompt(&prompt);
    CFormSetupDlg& dlg = form.FormSetupDialog();
    dlg.LoadForm(1);
    dlg.SetFormName(QStringLiteral("書式１"));
    dlg.DoModal(&form);
    SetPrompt(nullptr);
    return ok && prompt.m_ok ? 0 : 1;
}
