// SPDX-License-Identifier: Apache-2.0
// Started by the locale and face test under each locale and font set: starts the program's
// application object and its main window over two in-memory printers, opens every dialog the
// test looks at, and prints what it measured as KEY=VALUE lines.
#include "../CutTexts.h"
#include "AppHarness.h"
#include "CDialogLayout.h"
#include "CFormSetupDlg.h"
#include "CIconMenu.h"
#include "CPanelApp.h"
#include "CPropertyPage.h"
#include "CStatusLine.h"
#include "CTabControl.h"
#include "DialogFace.h"

#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTextStream>
#include <QToolTip>

#include <fontconfig/fontconfig.h>

#include <memory>

using namespace vellmark;
using namespace vellmark::test;

namespace {

QTextStream out(stdout);

// Every family name, in every language, of the font fontconfig matches for `family`.
QStringList FamilyNames(const QString& family) {
    const QByteArray utf8 = family.toUtf8();
    using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
    const Pattern wanted(FcPatternCreate(), &FcPatternDestroy);
    FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.data()));
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    const Pattern matched(FcFontMatch(nullptr, wanted.get(), &result), &FcPatternDestroy);
    QStringList names;
    FcChar8* name = nullptr;
    for (int i = 0;
         matched && FcPatternGetString(matched.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i)
        names << QString::fromUtf8(reinterpret_cast<const char*>(name));
    return names;
}

QString FontOf(const QFont& font) {
    const QFontInfo info(font);
    return QStringLiteral("%1/%2pt").arg(info.family()).arg(info.pointSize());
}

} // namespace

int main(int argc, char** argv) {
    // The program's own start-up: the application object with its look and translations.
    CPanelApp app(argc, argv);

    MemoryPrintService service;
    service.AddQueue(ModelQueue("Dotrix-A", "socket://10.0.0.5:9100"));
    service.AddQueue(ModelQueue("Dotrix-B", "socket://10.0.0.6:9100"));
    Window win(service);
    QStringList cut;
    win.prompt.scripts.append([&cut](QDialog& dialog) {
        cut += Cut(dialog, QStringLiteral("printer-select"));
        ChoosePrinter(QStringLiteral("Dotrix-A"))(dialog);
    });
    if (!win.Start()) {
        out << "error=the main window did not start\n";
        return 1;
    }
    CPanelDlg& dlg = *win.dlg;
    // Image plugins the start-up loaded: the pictures are compiled in, and the style draws what
    // Qt would read from image files.
    QStringList plugins;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (maps.open(QIODevice::ReadOnly))
        for (const QByteArray& line : maps.readAll().split('\n'))
            if (line.contains("/imageformats/"))
                plugins << QString::fromUtf8(line.mid(line.lastIndexOf('/') + 1));
    plugins.removeDuplicates();
    out << "imagePlugins=" << plugins.join(u',') << "\n";
    const DialogFace& face = FindDialogFace();
    out << "locale=" << QLocale::system().name() << "\n";
    out << "face=" << QFontInfo(dlg.font()).family() << "\n";
    out << "faceIndex=" << face.listIndex << "\n";
    out << "storedNames=" << FamilyNames(QFontInfo(dlg.font()).family()).join(u',') << "\n";
    out << "window=" << dlg.width() << "x" << dlg.height() << "\n";

    // Every tab above the page.
    const CTabControl* tabs = Tabs(dlg);
    const std::array<CPropertyPage*, kPageCount> pages = AllPages(dlg);
    auto& form = PageOf<CPage_Form>(dlg, res::IDD_PAGE_FORM);
    QStringList under;
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect r = tabs->tabRect(i).translated(tabs->pos());
        for (CPropertyPage* page : pages)
            if (r.bottom() >= page->y())
                under << tabs->tabText(i);
    }
    under.removeDuplicates();
    out << "page=" << pages[0]->x() << "," << pages[0]->y() << "\n";
    out << "tabRows=" << tabs->RowCount() << "\n";
    out << "tabsUnderPage=" << under.join(u',') << "\n";

    // Every control's text whole: the pages, the form setup dialog, the version dialog.
    const char* const names[] = {"select", "form", "param", "msw1", "msw2", "msw3", "msw4"};
    for (std::size_t i = 0; i < pages.size(); ++i)
        cut += Cut(*pages[i], QString::fromLatin1(names[i]));
    win.prompt.scripts.append(
        [&cut](QDialog& dialog) { cut += Cut(dialog, QStringLiteral("form-setup")); });
    form.FormSetupDialog().DoModal(&form);
    win.prompt.scripts.append(
        [&cut](QDialog& dialog) { cut += Cut(dialog, QStringLiteral("version")); });
    dlg.OnCommand(res::ID_ABOUT);
    out << "cut=" << cut.join(u';') << "\n";

    // The face of the pages everywhere else.
    out << "font.page=" << FontOf(pages[0]->font()) << "\n";
    out << "font.menuBar=" << FontOf(MenuBar(dlg)->font()) << "\n";
    for (QAction* title : MenuBar(dlg)->actions())
        if (QMenu* popup = title->menu())
            out << "font.popup." << title->text().remove(u'&') << "=" << FontOf(popup->font())
                << "\n";
    out << "font.menuItems=" << FontOf(ui::CIconMenu::MenuFont()) << "\n";
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vellmark"), QStringLiteral("確認"),
                    QMessageBox::Ok | QMessageBox::Cancel, &dlg);
    if (auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        out << "font.messageBox=" << FontOf(text->font()) << "\n";
    for (QAbstractButton* button : box.buttons())
        out << "font.messageBoxButton=" << FontOf(button->font()) << "\n";
    out << "font.tooltip=" << FontOf(QToolTip::font()) << "\n";
    out << "font.statusLine=" << FontOf(StatusLine(dlg)->font()) << "\n";
    QFileDialog files(&dlg);
    files.setOption(QFileDialog::DontUseNativeDialog);
    out << "font.fileDialog=" << FontOf(files.font()) << "\n";
    out.flush();
    return 0;
}
