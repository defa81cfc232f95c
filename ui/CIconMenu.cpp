#include "CIconMenu.h"

#include "Bitmaps.h"
#include "CIconPopup.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace vellmark::ui {
namespace {

using namespace vellmark::res;

// The handles of every popup made through AppendItem and not yet destroyed.
std::vector<const QWidget*>& PopupRegistry() {
    static std::vector<const QWidget*> registry;
    return registry;
}

void Unregister(const QWidget* menu) {
    auto& registry = PopupRegistry();
    registry.erase(std::remove(registry.begin(), registry.end(), menu), registry.end());
}

QString LabelOf(const QString& text) {
    const qsizetype tab = text.indexOf(u'\t');
    return tab < 0 ? text : text.left(tab);
}

unsigned CommandIdOf(const QAction* action) {
    return action->data().toUInt();
}

// The flags that describe a live item as it is now.
unsigned FlagsOf(const QAction* action) {
    unsigned flags = kMfOwnerDraw;
    if (action->isSeparator())
        flags |= kMfSeparator;
    if (action->menu())
        flags |= kMfPopup;
    if (!action->isEnabled())
        flags |= kMfGrayed;
    if (action->isChecked())
        flags |= kMfChecked;
    return flags;
}

bool IsSeparator(const IconMenuItem& item) {
    return (item.flags & kMfSeparator) != 0;
}

// Rectangles as the item geometry gives them: left, top, right and bottom edges, the right and
// bottom ones exclusive.
struct Edges {
    int l, t, r, b;
    QRect Rect() const { return QRect(l, t, r - l, b - t); }
};

// Device pixels per point of what the painter draws on.
qreal PixelRatio(const QPainter& p) {
    return p.device() ? p.device()->devicePixelRatio() : 1.0;
}

void Fill(QPainter& p, const Edges& e, const QColor& c) {
    p.fillRect(e.Rect(), c);
}

// A one-pixel border just inside the rectangle.
void Outline(QPainter& p, const Edges& e, const QColor& c) {
    const int w = e.r - e.l, h = e.b - e.t;
    p.fillRect(e.l, e.t, w, 1, c);
    p.fillRect(e.l, e.b - 1, w, 1, c);
    p.fillRect(e.l, e.t, 1, h, c);
    p.fillRect(e.r - 1, e.t, 1, h, c);
}

// A one-pixel 3D border: top and left in one colour, right and bottom in the other.
void Frame3D(QPainter& p, const Edges& e, const QColor& topLeft, const QColor& bottomRight) {
    const int w = e.r - e.l, h = e.b - e.t;
    p.fillRect(e.l, e.t, w - 1, 1, topLeft);
    p.fillRect(e.l, e.t, 1, h - 1, topLeft);
    p.fillRect(e.r - 1, e.t, 1, h, bottomRight);
    p.fillRect(e.l, e.b - 1, w, 1, bottomRight);
}

// The lowest pixel of each column of the check mark, counted from its origin.
constexpr int kCheckColumnBottom[] = {4, 5, 6, 5, 4, 3, 2};

} // namespace

CIconMenu::CIconMenu() = default;

CIconMenu::~CIconMenu() {
    CIconMenu::DestroyOwnerDrawMenu();
}

std::unique_ptr<CIconMenu> CIconMenu::CreatePopupMenu() {
    auto menu = std::make_unique<CIconMenu>();
    menu->m_menu = std::make_unique<CIconPopup>(menu.get());
    connect(menu->Popup(), &QMenu::aboutToShow, menu.get(), &CIconMenu::AlignPending);
    return menu;
}

QFont CIconMenu::MenuFont() {
    return QApplication::font("QMenu");
}

int CIconMenu::MenuLineHeight() {
    return QFontMetrics(MenuFont()).height() + 6;
}

QPalette CIconMenu::Palette() const {
    return m_menu ? m_menu->palette() : QApplication::palette("QMenu");
}

QMenuBar* CIconMenu::MenuBar() const {
    return qobject_cast<QMenuBar*>(m_menu.get());
}

QMenu* CIconMenu::Popup() const {
    return qobject_cast<QMenu*>(m_menu.get());
}

std::unique_ptr<QMenuBar> CIconMenu::DetachMenuBar() {
    if (!MenuBar())
        return nullptr;
    return std::unique_ptr<QMenuBar>(static_cast<QMenuBar*>(m_menu.release()));
}

const IconMenuItem* CIconMenu::Record(int position) const {
    AlignPending();
    if (position < 0 || position >= RecordCount())
        return nullptr;
    return m_items[static_cast<std::size_t>(position)].get();
}

const IconMenuItem* CIconMenu::RecordOf(const QAction* action) const {
    AlignPending();
    return FindRecord(action);
}

IconMenuItem* CIconMenu::FindRecord(const QAction* action) const {
    if (!action)
        return nullptr;
    for (const auto& item : m_items)
        if (item->action == action)
            return item.get();
    return nullptr;
}

CIconMenu* CIconMenu::Submenu(int index) const {
    if (index < 0 || index >= SubmenuCount())
        return nullptr;
    return m_submenus[static_cast<std::size_t>(index)].get();
}

// ---- Loading ----------------------------------------------------------------------------------

bool CIconMenu::LoadOwnerDrawMenu(int templateId) {
    const MenuTemplate* tmpl = FindMenuTemplate(templateId);
    if (!tmpl)
        return false;
    DestroyOwnerDrawMenu();
    m_menu = std::make_unique<QMenuBar>();

    struct Level {
        CIconMenu* menu;
        bool end;
    };
    std::vector<Level> stack{{this, false}};
    for (const MenuTemplateItem& t : tmpl->items) {
        if (stack.empty())
            break; // items after the last level closed belong to no menu
        const unsigned flags = t.flags & ~unsigned{kMfEnd};
        const bool last = (t.flags & kMfEnd) != 0;
        const QString text = QString::fromUtf8(t.text);
        if (flags & kMfPopup) {
            if (last)
                stack.back().end = true;
            auto popup = CreatePopupMenu();
            CIconMenu* raw = popup.get();
            stack.back().menu->AppendItem(text, flags, std::move(popup));
            stack.push_back({raw, false});
        } else {
            stack.back().menu->AppendItem(text, flags, t.id, -1);
            if (last)
                stack.back().end = true;
            // A popup's accelerators are lined up when it is first shown or its items are
            // first asked for: measuring its labels loads every glyph they use.
            while (!stack.empty() && stack.back().end) {
                stack.back().menu->m_alignPending = true;
                stack.pop_back();
            }
        }
    }

    // The menu bar keeps plain titles: only the popups' items are ours to measure and draw.
    for (auto& item : m_items) {
        item->flags = kMfByPosition | (item->popup ? kMfPopup : kMfString);
        if (item->action)
            item->action->setText(item->text);
    }
    return true;
}

void CIconMenu::DestroyOwnerDrawMenu() {
    Unregister(m_menu.get());
    for (const auto& sub : m_submenus)
        Unregister(sub->m_menu.get());
    m_submenus.clear(); // each popup object destroys its own popups
    m_items.clear();
    m_alignPending = false;
    m_menu.reset();
}

// ---- Items ------------------------------------------------------------------------------------

void CIconMenu::BindAction(IconMenuItem& item, QAction* action) {
    item.action = action;
    action->setText(LabelOf(item.text));
    if (!item.popup)
        action->setData(item.commandId);
}

void CIconMenu::AppendItem(const QString& text, unsigned flags, unsigned id, int bitmapId) {
    if (!m_menu)
        return;
    AlignPending();
    auto item = std::make_unique<IconMenuItem>();
    item->flags =
        id == 0 ? (kMfSeparator | kMfOwnerDraw | (flags & kMfByPosition)) : (flags | kMfOwnerDraw);
    item->commandId = id;
    item->text = text;
    item->bitmapId = bitmapId;
    if (bitmapId >= 0)
        MakeImage(*item, bitmapId);

    auto* action = new QAction(m_menu.get()); // owned by the menu widget
    if (id == 0) {
        action->setSeparator(true);
    } else {
        action->setEnabled(!(flags & (kMfGrayed | kMfDisabled)));
        action->setCheckable((flags & kMfChecked) != 0);
        action->setChecked((flags & kMfChecked) != 0);
        connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    }
    BindAction(*item, action);
    m_menu->addAction(action);
    m_items.push_back(std::move(item));
}

void CIconMenu::AppendItem(const QString& text, unsigned flags, std::unique_ptr<CIconMenu> popup) {
    if (!m_menu || !popup || !popup->Popup())
        return;
    AlignPending();
    QMenu* menu = popup->Popup();
    PopupRegistry().push_back(menu);
    connect(popup.get(), &CIconMenu::commandTriggered, this, &CIconMenu::commandTriggered);

    auto item = std::make_unique<IconMenuItem>();
    item->flags = flags | kMfPopup | kMfOwnerDraw;
    item->text = text;
    item->popup = menu;
    BindAction(*item, menu->menuAction());
    menu->menuAction()->setEnabled(!(flags & (kMfGrayed | kMfDisabled)));
    m_menu->addAction(menu->menuAction());
    m_items.push_back(std::move(item));
    m_submenus.push_back(std::move(popup));
}

void CIconMenu::MakeImage(IconMenuItem& item, int bitmapId) const {
    const QImage bitmap = LoadBitmap(bitmapId);
    item.imageList2x = QImage(); // made when first drawn where a point is two pixels
    if (bitmap.isNull()) {
        item.imageList = QImage();
        item.bitmapId = -1;
        item.imageIndex = -1;
        return;
    }
    item.bitmapId = bitmapId;
    item.imageIndex = 0;
    item.imageList = Cells(bitmap, 1);
}

QImage CIconMenu::Cells(const QImage& picture, int scale) const {
    // The four standard colours of the picture take the menu's own colours; whatever then has
    // the face colour is transparent.
    const QPalette pal = Palette();
    const QRgb face = pal.color(QPalette::Active, QPalette::Button).rgb();
    const struct {
        QRgb from;
        QRgb to;
    } map[] = {
        {qRgb(0, 0, 0), pal.color(QPalette::Active, QPalette::ButtonText).rgb()},
        {qRgb(128, 128, 128), pal.color(QPalette::Active, QPalette::Dark).rgb()},
        {qRgb(192, 192, 192), face},
        {qRgb(255, 255, 255), pal.color(QPalette::Active, QPalette::Light).rgb()},
    };
    // A picture taller than the cell is cut.
    QImage image = picture.convertToFormat(QImage::Format_ARGB32)
                       .copy(0, 0, m_nImageWidth * scale, m_nImageHeight * scale);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb px = line[x] | 0xFF000000u;
            for (const auto& m : map)
                if (px == (m.from | 0xFF000000u)) {
                    px = m.to | 0xFF000000u;
                    break;
                }
            line[x] = (px == (face | 0xFF000000u)) ? 0u : px;
        }
    }
    image.setDevicePixelRatio(scale);
    return image;
}

const QImage& CIconMenu::CellsFor(const IconMenuItem& item, const QPainter& p, int& scale) const {
    scale = 1;
    if (PixelRatio(p) < 2 || item.bitmapId < 0)
        return item.imageList;
    if (item.imageList2x.isNull()) {
        const QImage large = LoadBitmap(item.bitmapId, 2);
        if (large.isNull())
            return item.imageList;
        item.imageList2x = Cells(large, 2);
    }
    scale = 2;
    return item.imageList2x;
}

CIconMenu::CommandOwner CIconMenu::FindCommandOwner(unsigned commandId) {
    if (!m_menu)
        return {};
    const QList<QAction*> actions = m_menu->actions();
    for (int pos = 0; pos < actions.size(); ++pos) {
        const QAction* action = actions.at(pos);
        if (QMenu* sub = action->menu()) {
            if (auto* popup = qobject_cast<CIconPopup*>(sub); popup && popup->Owner()) {
                const CommandOwner found = popup->Owner()->FindCommandOwner(commandId);
                if (found.menu)
                    return found;
            }
        } else if (!action->isSeparator() && CommandIdOf(action) == commandId) {
            return {this, pos};
        }
    }
    return {};
}

QAction* CIconMenu::FindCommandAction(unsigned commandId) const {
    const CommandOwner owner = const_cast<CIconMenu*>(this)->FindCommandOwner(commandId);
    if (!owner.menu)
        return nullptr;
    return owner.menu->m_menu->actions().at(owner.position);
}

bool CIconMenu::SetItemImage(unsigned commandId, int bitmapId, const char* text) {
    const CommandOwner owner = FindCommandOwner(commandId);
    if (!owner.menu)
        return false; // no item carries the command: nothing changes
    QAction* action = owner.menu->m_menu->actions().at(owner.position);
    if (text)
        owner.menu->AlignPending(); // the new text replaces the lined-up one
    if (!owner.menu->FindRecord(action))
        owner.menu->SyncItems();
    IconMenuItem* item = owner.menu->FindRecord(action);
    if (!item)
        return false;
    if (text)
        item->text = QString::fromUtf8(text);
    owner.menu->MakeImage(*item, bitmapId);
    item->flags = kMfOwnerDraw;
    item->commandId = commandId;
    owner.menu->BindAction(*item, action);
    owner.menu->m_menu->update();
    return true;
}

bool CIconMenu::GetItemText(unsigned idOrPosition, std::string& text, unsigned flags) const {
    const IconMenuItem* item = nullptr;
    if (flags & kMfByPosition) {
        item = Record(static_cast<int>(idOrPosition));
    } else {
        const CommandOwner owner = const_cast<CIconMenu*>(this)->FindCommandOwner(idOrPosition);
        if (owner.menu)
            item = owner.menu->RecordOf(owner.menu->m_menu->actions().at(owner.position));
    }
    if (!item)
        return false;
    text = item->text.toStdString();
    return true;
}

int CIconMenu::PaddingSpaces(const QFontMetrics& fm, const QString& label, int widest) {
    // The fewest spaces after which the label is at least `widest` wide; bounded at widest + 1,
    // since a font whose space has no width cannot pad. The width grows with every space, so
    // the count is searched for rather than found one space at a time: each measurement shapes
    // the whole label again.
    const auto reaches = [&](int spaces) {
        return spaces > widest || fm.horizontalAdvance(label + QString(spaces, u' ')) >= widest;
    };
    int low = 0;           // the count is at least this
    int high = widest + 1; // and at most this
    if (reaches(low))
        return low;
    // The space's own width gives a first guess, almost always the answer.
    const int space = fm.horizontalAdvance(u' ');
    if (space > 0) {
        const int guess =
            std::clamp((widest - fm.horizontalAdvance(label) + space - 1) / space, low + 1, high);
        if (reaches(guess)) {
            high = guess;
            if (!reaches(guess - 1))
                return guess;
            high = guess - 1;
        } else {
            low = guess;
        }
    }
    // reaches(low) is false and reaches(high) is true.
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (reaches(middle) ? high : low) = middle;
    }
    return high;
}

void CIconMenu::AlignPending() const {
    if (!m_alignPending)
        return;
    m_alignPending = false;
    // Only the presentation of the texts changes: the records stay the same records.
    const_cast<CIconMenu*>(this)->PadAccelerators();
}

void CIconMenu::AlignAccelerators() {
    AlignPending();
    PadAccelerators();
}

void CIconMenu::PadAccelerators() {
    const QFontMetrics fm(MenuFont());
    int widest = 0;
    for (const auto& item : m_items)
        widest = std::max(widest, fm.horizontalAdvance(LabelOf(item->text) + u' '));
    for (auto& item : m_items) {
        const qsizetype tab = item->text.indexOf(u'\t');
        if (tab < 0)
            continue;
        const QString label = item->text.left(tab);
        item->text = label + QString(PaddingSpaces(fm, label, widest), u' ') + item->text.mid(tab);
        if (item->action)
            item->action->setText(LabelOf(item->text));
    }
}

void CIconMenu::SyncItems() {
    if (!m_menu)
        return;
    AlignPending();
    for (auto& item : m_items)
        item->syncMark = 0;

    std::vector<std::unique_ptr<IconMenuItem>> synced;
    const QList<QAction*> actions = m_menu->actions();
    for (QAction* action : actions) {
        const QMenu* sub = action->menu();
        auto matches = [&](const IconMenuItem& item) {
            if (sub)
                return item.popup == sub;
            if (action->isSeparator())
                return !item.popup && item.commandId == 0;
            return !item.popup && item.commandId == CommandIdOf(action);
        };
        auto found = std::find_if(m_items.begin(), m_items.end(), [&](const auto& item) {
            return item && item->syncMark == 0 && matches(*item);
        });
        std::unique_ptr<IconMenuItem> item;
        if (found != m_items.end()) {
            item = std::move(*found);
            // The live item's text replaces ours only when someone changed it.
            if (action->text() != LabelOf(item->text))
                item->text = action->text();
            if (!sub && !action->isSeparator())
                item->flags = FlagsOf(action);
        } else {
            item = std::make_unique<IconMenuItem>();
            item->text = action->text();
            item->flags = FlagsOf(action);
            item->commandId = sub || action->isSeparator() ? 0 : CommandIdOf(action);
            item->popup = sub;
        }
        item->syncMark = 1;
        BindAction(*item, action);
        synced.push_back(std::move(item));
    }
    m_items = std::move(synced); // records no item matched are deleted here
}

// ---- Measuring and drawing --------------------------------------------------------------------

void CIconMenu::MeasureItem(MeasureItemStruct& mis) const {
    const IconMenuItem* item = mis.itemData;
    if (!item || IsSeparator(*item)) {
        mis.itemWidth = 0;
        mis.itemHeight = MenuLineHeight() / 2;
        return;
    }
    // The whole text is measured, padding and accelerator included; the tab counts as the one
    // character it is.
    QString text = item->text;
    text.replace(u'\t', u' ');
    const int textWidth = QFontMetrics(MenuFont()).horizontalAdvance(text);
    mis.itemWidth = textWidth + 2 * m_nImageWidth + 1;
    mis.itemHeight = std::max(MenuLineHeight(), m_nImageHeight + 4);
}

void CIconMenu::DrawEmbossed(QPainter& p, const IconMenuItem& item, int x, int y) const {
    const QPalette pal = Palette();
    const QRgb face = pal.color(QPalette::Active, QPalette::Button).rgb();
    const QRgb light = pal.color(QPalette::Active, QPalette::Light).rgb();
    const QRgb shadow = pal.color(QPalette::Active, QPalette::Dark).rgb();
    // On a screen with two pixels per point the 32-pixel drawing is embossed, its highlight
    // moved by one point as well.
    int s = 1;
    const QImage& cells = CellsFor(item, p, s);
    const int iw = m_nImageWidth * s, ih = m_nImageHeight * s;

    // The picture over the menu colour; its face and highlight colours are background, and so
    // is every pixel the picture leaves transparent (whatever the menu colour is).
    QImage picture(iw, ih, QImage::Format_ARGB32);
    picture.fill(pal.color(QPalette::Active, QPalette::Window));
    {
        QPainter ip(&picture);
        QImage cell = cells.copy(item.imageIndex * iw, 0, iw, ih);
        cell.setDevicePixelRatio(1);
        ip.drawImage(QPoint(0, 0), cell);
    }
    auto ink = [&](int px, int py) {
        if (item.imageIndex * iw + px >= cells.width() || py >= cells.height() ||
            qAlpha(cells.pixel(item.imageIndex * iw + px, py)) == 0)
            return false;
        const QRgb c = picture.pixel(px, py) | 0xFF000000u;
        return c != (face | 0xFF000000u) && c != (light | 0xFF000000u);
    };

    // The face, the ink in the highlight colour one point right and down, then the ink in the
    // shadow colour in place.
    QImage embossed(iw + s, ih + s, QImage::Format_ARGB32);
    embossed.fill(Qt::transparent);
    for (int py = 0; py < ih; ++py)
        for (int px = 0; px < iw; ++px)
            embossed.setPixel(px, py, face | 0xFF000000u);
    for (int py = 0; py < ih; ++py)
        for (int px = 0; px < iw; ++px)
            if (ink(px, py))
                embossed.setPixel(px + s, py + s, light | 0xFF000000u);
    for (int py = 0; py < ih; ++py)
        for (int px = 0; px < iw; ++px)
            if (ink(px, py))
                embossed.setPixel(px, py, shadow | 0xFF000000u);
    embossed.setDevicePixelRatio(s);
    p.drawImage(QPoint(x, y), embossed);
}

void CIconMenu::DrawItem(const DrawItemStruct& dis) const {
    if (!dis.painter || !dis.itemData)
        return;
    QPainter& p = *dis.painter;
    const IconMenuItem& item = *dis.itemData;
    const QPalette pal = Palette();
    auto color = [&](QPalette::ColorRole role) { return pal.color(QPalette::Active, role); };
    const QColor menu = color(QPalette::Window);

    const int L = dis.rcItem.left(), T = dis.rcItem.top();
    const int R = L + dis.rcItem.width(), B = T + dis.rcItem.height();
    const int iw = m_nImageWidth, ih = m_nImageHeight;

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);

    if (IsSeparator(item)) {
        const int y = T + (B - T) / 2;
        p.fillRect(L, y, R - L, 1, color(QPalette::Dark));
        p.fillRect(L, y + 1, R - L, 1, color(QPalette::Light));
        p.restore();
        return;
    }

    const bool selected = dis.itemState & kOdsSelected;
    const bool grayed = dis.itemState & kOdsGrayed;
    const bool checked = dis.itemState & kOdsChecked;
    const bool hasImage = item.bitmapId != -1;
    const int dy = std::max(0, (B - T - ih - 4) / 2);

    const Edges whole{L, T, R, B};
    const Edges inner{L + 1, T + dy + 1, L + iw + 3, T + dy + ih + 3};
    const Edges outer{L, T + dy, L + iw + 4, T + dy + ih + 4};
    const int imageX = L + 2, imageY = T + dy + 2;

    // 1. Background.
    if (!selected) {
        Fill(p, whole, menu);
        Outline(p, whole, menu);
    } else {
        const Edges highlight = (hasImage || checked) ? Edges{L + iw + 5, T, R, B} : whole;
        Fill(p, highlight, color(QPalette::Highlight));
    }

    // 2. The image in its frames.
    if (hasImage) {
        Outline(p, inner, menu);
        // The 32-pixel drawing where a point is two pixels.
        auto drawImage = [&] {
            int s = 1;
            const QImage& cells = CellsFor(item, p, s);
            if (!cells.isNull())
                p.drawImage(QRectF(imageX, imageY, iw, ih), cells,
                            QRectF(item.imageIndex * iw * s, 0, iw * s, ih * s));
        };
        if (grayed) {
            if (!item.imageList.isNull())
                DrawEmbossed(p, item, imageX, imageY);
            Outline(p, outer, menu);
        } else if (selected) {
            Fill(p, inner, menu);
            if (checked)
                Frame3D(p, outer, color(QPalette::Dark), color(QPalette::Light));
            else
                Frame3D(p, outer, color(QPalette::Light), color(QPalette::Dark));
            drawImage();
        } else if (checked) {
            Fill(p, inner, color(QPalette::Midlight));
            Frame3D(p, outer, color(QPalette::Dark), color(QPalette::Light));
            drawImage();
        } else {
            Fill(p, inner, menu);
            Outline(p, outer, menu);
            drawImage();
        }
    }

    // 3. Check mark or bullet for a checked item without an image.
    if (checked && !hasImage) {
        const Edges box{L + 1, T + dy + 2, L + iw + 1, T + dy + ih + 2};
        Fill(p, box, selected ? menu : color(QPalette::Midlight));
        Frame3D(p, box, color(QPalette::Dark), color(QPalette::Light));
        const QColor ink = color(QPalette::WindowText);
        if (dis.radioCheck) {
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawEllipse(QRect(box.l + 5, box.t + 4, 6, 6));
        } else {
            const int ox = box.l + 4, oy = box.t + 4;
            for (int c = 0; c < 7; ++c)
                p.fillRect(ox + c, oy + kCheckColumnBottom[c] - 2, 1, 3, ink);
        }
    }

    // 4. Label left-aligned, accelerator right-aligned.
    if (!item.text.isEmpty()) {
        const qsizetype tab = item.text.indexOf(u'\t');
        const QString left = tab < 0 ? item.text : item.text.left(tab);
        const QString right = tab < 0 ? QString() : item.text.mid(item.text.lastIndexOf(u'\t') + 1);
        const int textRight = tab < 0 ? R : R - iw;
        const QRect text(L + iw + 9, T - 1, textRight - (L + iw + 9), B - T);
        const int flags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic;
        p.setFont(MenuFont());
        p.setBackgroundMode(Qt::TransparentMode);
        auto draw = [&](const QRect& r, const QColor& c) {
            p.setPen(c);
            p.drawText(r, flags | Qt::AlignLeft, left);
            if (tab >= 0)
                p.drawText(r, flags | Qt::AlignRight, right);
        };
        if (!grayed) {
            draw(text, color(selected ? QPalette::HighlightedText : QPalette::WindowText));
        } else if (selected) {
            draw(text, menu);
        } else {
            draw(text.translated(1, 1), color(QPalette::Light));
            draw(text, pal.color(QPalette::Disabled, QPalette::Text));
        }
    }
    p.restore(); // pens, brushes and the font made for this item go with it
}

// ---- Registry and keys ------------------------------------------------------------------------

bool CIconMenu::IsOwnerDrawPopup(const QWidget* menu) {
    const auto& registry = PopupRegistry();
    return menu && std::find(registry.begin(), registry.end(), menu) != registry.end();
}

unsigned CIconMenu::FindMnemonic(QChar typed, unsigned flags, QWidget* menu) {
    if (!menu || !(flags & kMfPopup))
        return kMncIgnore;
    auto* popup = qobject_cast<CIconPopup*>(menu);
    if (!popup || !popup->Owner())
        return kMncIgnore;
    CIconMenu* owner = popup->Owner();
    if (menu->actions().size() != owner->RecordCount())
        owner->SyncItems();

    const QString key = QStringLiteral("&") + QString(typed).toLower();
    for (int pos = 0; pos < owner->RecordCount(); ++pos) {
        std::string text;
        if (owner->GetItemText(static_cast<unsigned>(pos), text, kMfByPosition) &&
            QString::fromStdString(text).toLower().contains(key))
            return (kMncExecute << 16) | static_cast<unsigned>(pos);
    }
    return kMncIgnore;
}

} // namespace vellmark::ui
