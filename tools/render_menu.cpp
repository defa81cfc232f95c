// SPDX-License-Identifier: Apache-2.0
// Renders the main window's menu as the icon menu draws it: the menu bar and each popup opened,
// one item selected, the Send item grayed, into PNG files of the folder given.
//
//   vellmark-render-menu FOLDER [POSITION]           each popup by itself (offscreen is enough)
//   vellmark-render-menu FOLDER [POSITION] --screen  on a display (an X server such as Xvfb): a
//                                                    window with the menu bar, each popup opened
//                                                    under its title, the screen grabbed
#include "CIconMenu.h"
#include "MenuTemplate.h"
#include "ProgramLook.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMenuBar>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

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

    // The program's own look: its style and its one typeface, as users see the menus.
    ApplyProgramLook();

    ui::CIconMenu menu;
    if (!menu.LoadOwnerDrawMenu(res::IDR_PANEL_MENU)) {
        std::fprintf(stderr, "menu %d is missing\n", res::IDR_PANEL_MENU);
        return 1;
    }
    for (const res::MenuImage& image : res::PanelMenuImages())
        menu.SetItemImage(image.commandId, image.bitmapId);
    menu.FindCommandAction(res::ID_SEND_SETTINGS)->setEnabled(false);

    // The item selected in each popup: the first item, or the one given as the second argument
    // (a position), so that grayed and image items can be looked at selected too.
    const QStringList args = QApplication::arguments();
    const bool screen = args.contains(QStringLiteral("--screen"));
    const int selected = args.size() > 2 && !args.at(2).startsWith(u'-') ? args.at(2).toInt() : 0;

    // A window that owns the menu bar, as the main window does.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setMenuBar(menu.DetachMenuBar().release());
    layout->addSpacing(120);
    window.resize(640, 160);
    window.move(0, 0);
    window.show();
    auto* bar = qobject_cast<QMenuBar*>(layout->menuBar());

    auto settle = [] {
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    settle();
    bool ok = bar->grab().save(folder + "/menu-bar.png");
    for (int i = 0; i < menu.SubmenuCount(); ++i) {
        QMenu* popup = menu.Submenu(i)->Popup();
        const QRect title = bar->actionGeometry(bar->actions().at(i));
        popup->popup(bar->mapToGlobal(title.bottomLeft()));
        const QList<QAction*> items = popup->actions();
        if (selected < items.size())
            popup->setActiveAction(items.at(selected));
        settle();
        const QString file = QStringLiteral("%1/menu-%2-popup-%3-item%4.png")
                                 .arg(folder, screen ? "screen" : "alone")
                                 .arg(i)
                                 .arg(selected);
        const QPixmap shot = screen
                                 ? QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 640, 300)
                                 : popup->grab();
        ok = shot.save(file) && ok;
        QTextStream(stdout) << file << " " << popup->width() << "x" << popup->height() << "\n";
        popup->hide();
    }
    return ok ? 0 : 1;
}
