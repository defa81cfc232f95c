// SPDX-License-Identifier: Apache-2.0
#include "CIconMenu.h"

#include "Bitmaps.h"
#include "CIconPopup.h"

#include <QApplication>
#include <QFontMetrics>

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

CIconMenuPainter CIconMenu::Painter() const {
    return CIconMenuPainter(Palette(), QSize(m_nImageWidth, m_nImageHeight), MenuFont());
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
    item.imageList = Painter().Cells(bitmap, 1);
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

void CIconMenu::DrawItem(const DrawItemStruct& dis) const {
    Painter().DrawItem(dis);
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
