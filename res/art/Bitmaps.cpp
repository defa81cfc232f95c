// SPDX-License-Identifier: Apache-2.0
#include "Bitmaps.h"

#include "ResourceIds.h"

#include <QPainter>

#include <array>
#include <mutex>

// The pictures are XPM text, which is C source: they are compiled in as arrays and decoded
// straight from memory, without the image reader, so that no image format plugin is loaded at
// start-up.
#include "commands/factory-16.xpm"
#include "commands/factory-32.xpm"
#include "commands/form-16.xpm"
#include "commands/form-32.xpm"
#include "commands/load-16.xpm"
#include "commands/load-32.xpm"
#include "commands/msw-16.xpm"
#include "commands/msw-32.xpm"
#include "commands/param-16.xpm"
#include "commands/param-32.xpm"
#include "commands/printer-16.xpm"
#include "commands/printer-32.xpm"
#include "commands/save-16.xpm"
#include "commands/save-32.xpm"
#include "commands/select-16.xpm"
#include "commands/select-32.xpm"
#include "commands/send-16.xpm"
#include "commands/send-32.xpm"
#include "vellmark-16.xpm"
#include "vellmark-32.xpm"
#include "vellmark-48.xpm"

namespace vellmark::res {
namespace {

using Xpm = const char* const*;

// One command's picture in its two sizes.
struct Picture {
    Xpm small; // 16 x 16
    Xpm large; // 32 x 32
};

constexpr Picture kLoad{load_16, load_32};
constexpr Picture kSave{save_16, save_32};
constexpr Picture kSend{send_16, send_32};
constexpr Picture kFactory{factory_16, factory_32};
constexpr Picture kPrinter{printer_16, printer_32};
constexpr Picture kSelect{select_16, select_32};
constexpr Picture kForm{form_16, form_32};
constexpr Picture kParam{param_16, param_32};
constexpr Picture kMsw{msw_16, msw_32};

constexpr std::size_t kMaxCells = 5;

// One row per bitmap: its id and its pictures from left to right (one for a menu image, one
// per image for a strip).
struct BitmapEntry {
    int id;
    std::size_t count;
    std::array<const Picture*, kMaxCells> cells;
};

constexpr BitmapEntry kBitmaps[] = {
    {IDB_MENU_LOAD, 1, {&kLoad}},
    {IDB_MENU_SAVE, 1, {&kSave}},
    {IDB_MENU_SEND, 1, {&kSend}},
    {IDB_MENU_FACTORY, 1, {&kFactory}},
    {IDB_MENU_PRINTER, 1, {&kPrinter}},
    {IDB_MENU_PARAM, 1, {&kParam}},
    {IDB_MENU_MSW, 1, {&kMsw}},
    {IDB_MENU_SELECT, 1, {&kSelect}},
    {IDB_MENU_FORM, 1, {&kForm}},
    // The toolbar: load, save, send, factory settings, printer choice.
    {IDB_TOOLBAR, 5, {&kLoad, &kSave, &kSend, &kFactory, &kPrinter}},
    // The tabs' images: function select, memory switch, parameters, forms.
    {IDB_TAB_IMAGES, 4, {&kSelect, &kMsw, &kParam, &kForm}},
};

// The sizes of the program icon, smallest first.
constexpr Xpm kProgramIconSizes[] = {vellmark_16, vellmark_32, vellmark_48};

// Each bitmap is made once per scale: the menu asks for the same picture for several items,
// and the window, its dialogs and the tests ask again. QImage is shared on copy, so every
// caller gets the picture without a copy of its pixels (a caller that paints into its copy
// detaches).
class BitmapCache {
public:
    template <typename Make> QImage Get(const void* key, int scale, Make make) {
        const std::lock_guard lock(m_mutex);
        for (std::size_t i = 0; i < m_used; ++i)
            if (m_slots[i].key == key && m_slots[i].scale == scale)
                return m_slots[i].image;
        QImage image = make();
        if (m_used < m_slots.size())
            m_slots[m_used++] = Slot{key, scale, image};
        return image;
    }

private:
    struct Slot {
        const void* key = nullptr;
        int scale = 0;
        QImage image;
    };
    std::mutex m_mutex;
    std::array<Slot, 2 * std::size(kBitmaps) + std::size(kProgramIconSizes)> m_slots;
    std::size_t m_used = 0;
};

BitmapCache& Cache() {
    static BitmapCache cache;
    return cache;
}

// A bitmap of one picture is that picture; a strip has its pictures side by side.
QImage Make(const BitmapEntry& e, int scale) {
    auto picture = [scale](const Picture* p) { return QImage(scale == 2 ? p->large : p->small); };
    if (e.count == 1)
        return picture(e.cells[0]);
    const int side = scale == 2 ? 32 : 16;
    QImage strip(side * static_cast<int>(e.count), side, QImage::Format_RGB32);
    strip.fill(qRgb(192, 192, 192));
    QPainter p(&strip);
    for (std::size_t i = 0; i < e.count; ++i)
        p.drawImage(side * static_cast<int>(i), 0, picture(e.cells[i]));
    return strip;
}

} // namespace

QImage LoadBitmap(int id, int scale) {
    if (id == IDI_PROGRAM)
        return LoadIconImages(id).back();
    const int s = scale == 2 ? 2 : 1;
    for (const BitmapEntry& e : kBitmaps)
        if (e.id == id)
            return Cache().Get(&e, s, [&] { return Make(e, s); });
    return {};
}

QList<QImage> LoadIconImages(int id) {
    QList<QImage> images;
    if (id == IDI_PROGRAM)
        for (Xpm xpm : kProgramIconSizes)
            images.append(Cache().Get(xpm, 1, [xpm] { return QImage(xpm); }));
    return images;
}

} // namespace vellmark::res
