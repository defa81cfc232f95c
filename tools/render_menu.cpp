// Renders the main window's menu as the icon menu draws it: the menu bar and each popup opened,
// one item selected, the Send item grayed, into PNG files of the folder given (offscreen is
// enough: QT_QPA_PLATFORM=offscreen).
#include "CIconMenu.h"
#include "DialogTemplate.h"
#include "MenuTemplate.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMenuBar>
#include <QTextStream>

#include <cstdio>

using namespace vellmark;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    // The menu font: the dialog font's Japanese sans-serif at 9 points.
    const QStringList families = QFontDatabase::families();
    for (std::string_view face : res::kDialogFontFaces) {
        const QString name = QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
        if (families.contains(name)) {
            QApplication::setFont(QFont(name, res::kDialogFontPoints), "QMenu");
            break;
        }
    }

    ui::CIconMenu menu;
    if (!menu.LoadOwnerDrawMenu(res::IDR_PANEL_MENU)) {
        std::fprintf(stderr, "menu %d is missing\n", res::IDR_PANEL_MENU);
        return 1;
    }
    for (const res::MenuImage& image : res::PanelMenuImages())
        menu.SetItemImage(image.commandId, image.bitmapId);
    menu.FindCommandAction(res::ID_SEND_SETTINGS)->setEnabled(false);

    QMenuBar* bar = menu.MenuBar();
    bar->adjustSize();
    bar->show();
    bool ok = bar->grab().save(folder + "/menu-bar.png");

    // The item selected in each popup: the first item, or the one given as the second argument
    // (a position), so that grayed and image items can be looked at selected too.
    const int selected = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    for (int i = 0; i < menu.SubmenuCount(); ++i) {
        QMenu* popup = menu.Submenu(i)->Popup();
        popup->popup(QPoint(10 + 200 * i, 30));
        const QList<QAction*> items = popup->actions();
        if (selected < items.size())
            popup->setActiveAction(items.at(selected));
        const QString file =
            QStringLiteral("%1/menu-popup-%2-item%3.png").arg(folder).arg(i).arg(selected);
        ok = popup->grab().save(file) && ok;
        QTextStream(stdout) << file << " " << popup->width() << "x" << popup->height() << "\n";
        popup->hide();
    }
    return ok ? 0 : 1;
}
