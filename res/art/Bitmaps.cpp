#include "Bitmaps.h"

#include "ResourceIds.h"

#include <QString>

// The compiled-in pictures live in a static library: make sure its resources are registered
// before the first lookup, whoever links it.
static void InitArtResources() {
    Q_INIT_RESOURCE(menu_images);
    Q_INIT_RESOURCE(program_art);
}

namespace vellmark::res {
namespace {

struct BitmapEntry {
    int id;
    const char* path;
};

// One row per bitmap: its id and the picture in the resource system.
constexpr BitmapEntry kBitmaps[] = {
    {IDB_MENU_LOAD, ":/vellmark/art/menu/menu_load.xpm"},
    {IDB_MENU_SAVE, ":/vellmark/art/menu/menu_save.xpm"},
    {IDB_MENU_SEND, ":/vellmark/art/menu/menu_send.xpm"},
    {IDB_MENU_FACTORY, ":/vellmark/art/menu/menu_factory.xpm"},
    {IDB_MENU_PRINTER, ":/vellmark/art/menu/menu_printer.xpm"},
    {IDB_MENU_PARAM, ":/vellmark/art/menu/menu_param.xpm"},
    {IDB_MENU_MSW, ":/vellmark/art/menu/menu_msw.xpm"},
    {IDB_MENU_SELECT, ":/vellmark/art/menu/menu_select.xpm"},
    {IDB_MENU_FORM, ":/vellmark/art/menu/menu_form.xpm"},
    {IDB_TOOLBAR, ":/vellmark/art/toolbar-150.xpm"},
    {IDB_TAB_IMAGES, ":/vellmark/art/tabs-168.xpm"},
    {IDI_PROGRAM, ":/vellmark/art/vellmark-48.xpm"},
};

// The sizes of the program icon, smallest first.
constexpr const char* kProgramIconSizes[] = {
    ":/vellmark/art/vellmark-16.xpm",
    ":/vellmark/art/vellmark-32.xpm",
    ":/vellmark/art/vellmark-48.xpm",
};

} // namespace

QImage LoadBitmap(int id) {
    static const bool registered = (InitArtResources(), true);
    (void)registered;
    for (const BitmapEntry& e : kBitmaps)
        if (e.id == id)
            return QImage(QString::fromLatin1(e.path));
    return {};
}

QList<QImage> LoadIconImages(int id) {
    static const bool registered = (InitArtResources(), true);
    (void)registered;
    QList<QImage> images;
    if (id == IDI_PROGRAM)
        for (const char* path : kProgramIconSizes)
            images.append(QImage(QString::fromLatin1(path)));
    return images;
}

} // namespace vellmark::res
