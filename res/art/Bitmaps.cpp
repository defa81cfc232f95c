#include "Bitmaps.h"

#include "ResourceIds.h"

#include <array>
#include <mutex>

// The pictures are XPM text, which is C source: they are compiled in as arrays and decoded
// straight from memory, without the image reader, so that no image format plugin is loaded at
// start-up.
#include "menu/menu_factory.xpm"
#include "menu/menu_form.xpm"
#include "menu/menu_load.xpm"
#include "menu/menu_msw.xpm"
#include "menu/menu_param.xpm"
#include "menu/menu_printer.xpm"
#include "menu/menu_save.xpm"
#include "menu/menu_select.xpm"
#include "menu/menu_send.xpm"
#include "tabs-168.xpm"
#include "toolbar-150.xpm"
#include "vellmark-16.xpm"
#include "vellmark-32.xpm"
#include "vellmark-48.xpm"

namespace vellmark::res {
namespace {

using Xpm = const char* const*;

struct BitmapEntry {
    int id;
    Xpm xpm;
};

// One row per bitmap: its id and its picture.
constexpr BitmapEntry kBitmaps[] = {
    {IDB_MENU_LOAD, menu_load},       {IDB_MENU_SAVE, menu_save},
    {IDB_MENU_SEND, menu_send},       {IDB_MENU_FACTORY, menu_factory},
    {IDB_MENU_PRINTER, menu_printer}, {IDB_MENU_PARAM, menu_param},
    {IDB_MENU_MSW, menu_msw},         {IDB_MENU_SELECT, menu_select},
    {IDB_MENU_FORM, menu_form},       {IDB_TOOLBAR, toolbar_150},
    {IDB_TAB_IMAGES, tabs_168},       {IDI_PROGRAM, vellmark_48},
};

// The sizes of the program icon, smallest first.
constexpr Xpm kProgramIconSizes[] = {vellmark_16, vellmark_32, vellmark_48};

// Each picture is decoded once: the menu asks for the same picture for several items, and the
// window, its dialogs and the tests ask again. QImage is shared on copy, so every caller gets
// the decoded picture without a copy of its pixels (a caller that paints into its copy detaches).
class DecodedCache {
public:
    QImage Get(Xpm xpm) {
        const std::lock_guard lock(m_mutex);
        for (const Slot& slot : m_slots)
            if (slot.xpm == xpm)
                return slot.image;
        const QImage image(xpm);
        m_slots[m_used++] = Slot{xpm, image};
        return image;
    }

private:
    struct Slot {
        Xpm xpm = nullptr;
        QImage image;
    };
    std::mutex m_mutex;
    std::array<Slot, std::size(kBitmaps) + std::size(kProgramIconSizes)> m_slots;
    std::size_t m_used = 0;
};

DecodedCache& Cache() {
    static DecodedCache cache;
    return cache;
}

} // namespace

QImage LoadBitmap(int id) {
    for (const BitmapEntry& e : kBitmaps)
        if (e.id == id)
            return Cache().Get(e.xpm);
    return {};
}

QList<QImage> LoadIconImages(int id) {
    QList<QImage> images;
    if (id == IDI_PROGRAM)
        for (Xpm xpm : kProgramIconSizes)
            images.append(Cache().Get(xpm));
    return images;
}

} // namespace vellmark::res
