// SPDX-License-Identifier: Apache-2.0
#include "CDialogLayout.h"

#include "AccessibleNames.h"
#include "CComboBox.h"
#include "CGroupBox.h"
#include "CNumberEdit.h"
#include "CRadioButton.h"
#include "CSlider.h"
#include "CUpDown.h"
#include "ControlNotify.h"
#include "DialogFace.h"
#include "DialogTemplate.h"
#include "KnownDialogUnits.h"
#include "MnemonicText.h"
#include "TextConvert.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTreeWidget>
#include <QtMath>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace vellmark {
namespace {

// Gives a list the clicks of a report list: a press on its empty part clears the selection,
// and every double-click, on a row or not, is the list's double-click notification (the dialog
// then looks at the selection).
class ListClickFilter : public QObject {
public:
    ListClickFilter(QTreeWidget* list, const std::function<void(int, int)>& notify, int id)
        : QObject(list), m_list(list), m_notify(notify), m_id(id) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!m_list->indexAt(mouse->position().toPoint()).isValid())
                m_list->clearSelection();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            m_notify(m_id, NM_DBLCLK);
        }
        return false;
    }

private:
    QTreeWidget* m_list;
    std::function<void(int, int)> m_notify;
    int m_id;
};

// MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

// A push button of a page: Enter presses it while it has the focus (Space does anyway).
class PageButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// What the builders of one template share while they make its controls in template order.
struct Builder {
    QWidget& dialog;
    const res::DialogTemplate& dialogTemplate;
    const std::function<void(int, int)>& notify;
    const std::function<void(QSlider*)>& scrolled;
    DialogControls built;
    QList<CRadioButton*>* group = nullptr; // the radio group being filled
    QWidget* previous = nullptr;           // the control made last
    QList<QLabel*> pendingBuddies;         // labels with a mnemonic, waiting for their control

    // A new control W(args..., dialog) at rect.
    template <class W, class... Args> W* Place(const QRect& rect, Args&&... args) const {
        auto* w = new W(std::forward<Args>(args)..., &dialog);
        w->setGeometry(rect);
        return w;
    }
    // Passes w's signal on as notification code of control id.
    template <class W, class Signal> void Forward(W* w, Signal signal, int id, int code) const {
        QObject::connect(w, signal, &dialog, [notify = notify, id, code] { notify(id, code); });
    }
};

// One builder per kind of control: makes the control of c at rect, wired to its notifications.
using ControlBuilder = QWidget* (*)(Builder& b, const res::ControlTemplate& c, const QRect& rect);

QWidget* MakeLabel(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    auto* label = b.Place<QLabel>(rect, ToQString(c.text));
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    if (c.style & res::kAlignCenter)
        align = Qt::AlignHCenter | Qt::AlignTop;
    if (c.style & res::kCenterVertical)
        align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    label->setAlignment(align);
    if (label->text().contains(u'&'))
        b.pendingBuddies.append(label);
    return label;
}

QWidget* MakeGroupBox(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    return b.Place<CGroupBox>(rect, ToQString(c.text));
}

QWidget* MakeComboBox(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    auto* combo = b.Place<CComboBox>(rect);
    for (std::string_view e : c.entries)
        combo->addItem(ToQString(e));
    combo->setCurrentIndex(-1);
    // The template's height includes the dropped list; the closed box is as high as the font
    // needs.
    combo->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
    QObject::connect(combo, &CComboBox::notified, &b.dialog,
                     [notify = b.notify, id = c.id](int code) { notify(id, code); });
    return combo;
}

QWidget* MakeRadioButton(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    auto* radio = b.Place<CRadioButton>(rect);
    radio->setText(ToQString(c.text));
    if ((c.style & res::kGroup) || !b.group)
        b.group = &b.built.radioGroups[c.id];
    b.group->append(radio);
    b.Forward(radio, &QAbstractButton::clicked, c.id, BN_CLICKED);
    return radio;
}

QWidget* MakeCheckBox(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    auto* box = b.Place<QCheckBox>(rect, ToQString(c.text));
    b.Forward(box, &QAbstractButton::clicked, c.id, BN_CLICKED);
    return box;
}

QWidget* MakeNumberEdit(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    auto* edit = b.Place<CNumberEdit>(rect);
    b.Forward(edit, &QLineEdit::textChanged, c.id, EN_CHANGE);
    return edit;
}

QWidget* MakeUpDown(Builder& b, const res::ControlTemplate&, const QRect& rect) {
    auto* upDown = b.Place<CUpDown>(rect);
    // The up-down control takes the control before it as its buddy.
    upDown->SetBuddy(qobject_cast<CNumberEdit*>(b.previous));
    return upDown;
}

QWidget* MakeSlider(Builder& b, const res::ControlTemplate&, const QRect& rect) {
    auto* slider = b.Place<CSlider>(rect);
    slider->setRange(0, 100);
    QObject::connect(slider, &QAbstractSlider::actionTriggered, &b.dialog,
                     [scrolled = b.scrolled, slider](int) { scrolled(slider); });
    return slider;
}

QWidget* MakePushButton(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    // Enter presses the button that has the focus; elsewhere it presses the dialog's default
    // button. A page has none: its buttons take no part in the default-button handling of the
    // window around it, which would keep the last one focused (or the first one when it is
    // shown) as the default for every edit of the window.
    const QString text = ToQString(c.text);
    QPushButton* button =
        b.dialogTemplate.child ? b.Place<PageButton>(rect, text) : b.Place<QPushButton>(rect, text);
    button->setAutoDefault(!b.dialogTemplate.child);
    if (c.style & res::kDefault)
        button->setDefault(true);
    b.Forward(button, &QAbstractButton::clicked, c.id, BN_CLICKED);
    return button;
}

QWidget* MakeListView(Builder& b, const res::ControlTemplate& c, const QRect& rect) {
    // A report-style list: rows in the order they are inserted (the heading does not re-sort
    // them), whole rows selected, one at a time.
    auto* list = b.Place<QTreeWidget>(rect);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    list->viewport()->installEventFilter(new ListClickFilter(list, b.notify, c.id));
    return list;
}

// The builders in the order of res::ControlKind.
constexpr ControlBuilder kBuilders[] = {
    MakeLabel,      MakeGroupBox, MakeComboBox, MakeRadioButton, MakeCheckBox,
    MakeNumberEdit, MakeUpDown,   MakeSlider,   MakePushButton,  MakeListView,
};
static_assert(std::size(kBuilders) == static_cast<std::size_t>(res::ControlKind::ListView) + 1);

// Labels, group boxes and up-down controls take no focus of their own: the focus (and a
// label's mnemonic) passes over them.
bool TakesFocus(res::ControlKind kind) {
    return kind != res::ControlKind::Label && kind != res::ControlKind::GroupBox &&
           kind != res::ControlKind::UpDown;
}

} // namespace

QFont CDialogLayout::DialogFont() {
    return FindDialogFace().font;
}

QSize CDialogLayout::BaseUnits(const QFont& font) {
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((width / 26 + 1) / 2, fm.height());
}

QSize CDialogLayout::FittedBaseUnits(const QFont& font, const QStyle& style) {
    static QHash<QString, QSize> fitted;
    const QString key = font.toString() + u'|' + QLatin1String(style.metaObject()->className()) +
                        u'|' + style.name();
    if (const auto it = fitted.constFind(key); it != fitted.constEnd())
        return *it;
    const std::optional<QSize> known = KnownDialogUnits(font, style);
    const QSize base = known ? *known : MeasuredBaseUnits(font, style);
    fitted.insert(key, base);
    return base;
}

QSize CDialogLayout::MeasuredBaseUnits(const QFont& font, const QStyle& style) {
    // Each control with a text: where it lies across (left and width in dialog units) and the
    // pixels its text needs at this font and style.
    struct Need {
        int x, width, pixels;
    };
    const QFontMetrics fm(font);
    // Where the ink of the widest line ends: a text whose last letter leaves some of its advance
    // free is not cut when only that free part falls outside.
    const QFontMetricsF fmf(font);
    auto textWidth = [&fmf](std::string_view text) {
        int widest = 0;
        for (const QString& marked : ToQString(text).split(u'\n')) {
            const QString line = WithoutMnemonic(marked);
            if (line.isEmpty())
                continue;
            const qreal bearing = std::max(qreal(0), fmf.rightBearing(line.back()));
            widest = std::max(widest, qCeil(fmf.horizontalAdvance(line) - bearing));
        }
        return widest;
    };
    // What the style draws beside the text of a radio button, check box or drop-down list.
    const QRect probe(0, 0, 200, fm.height() + 8);
    QStyleOptionButton button;
    button.rect = probe;
    button.fontMetrics = fm;
    const int radioChrome =
        probe.width() - style.subElementRect(QStyle::SE_RadioButtonContents, &button).width();
    const int checkChrome =
        probe.width() - style.subElementRect(QStyle::SE_CheckBoxContents, &button).width();
    QStyleOptionComboBox combo;
    combo.rect = probe;
    combo.fontMetrics = fm;
    combo.frame = true;
    const int comboChrome =
        probe.width() -
        style.subControlRect(QStyle::CC_ComboBox, &combo, QStyle::SC_ComboBoxEditField).width() + 2;
    const QSize natural = BaseUnits(font);

    QList<Need> needs;
    for (const res::DialogTemplate* dialog : res::AllDialogTemplates()) {
        for (const res::ControlTemplate& c : dialog->controls) {
            if (c.style & res::kHidden)
                continue;
            int pixels = 0;
            switch (c.kind) {
            case res::ControlKind::Label:
                pixels = textWidth(c.text);
                break;
            case res::ControlKind::GroupBox:
                // The title starts an average character and two pixels in from the frame.
                pixels = c.text.empty() ? 0 : fm.averageCharWidth() + textWidth(c.text) + 5;
                break;
            case res::ControlKind::RadioButton:
                pixels = radioChrome + textWidth(c.text);
                break;
            case res::ControlKind::CheckBox:
                pixels = checkChrome + textWidth(c.text);
                break;
            case res::ControlKind::PushButton:
                pixels = textWidth(c.text) + 8;
                break;
            case res::ControlKind::ComboBox:
                for (std::string_view entry : c.entries)
                    pixels = std::max(pixels, comboChrome + textWidth(entry));
                break;
            default:
                break;
            }
            if (pixels > 0)
                needs.append({c.x, c.width, pixels});
        }
    }

    // The font's own base units unless some text would be cut at them: then the narrowest
    // wider horizontal unit at which every text fits, so the whole layout widens evenly.
    QSize base = natural;
    for (int width = natural.width(); width <= 3 * natural.width(); ++width) {
        base.setWidth(width);
        const bool fits = std::all_of(needs.begin(), needs.end(), [width](const Need& n) {
            return MulDiv(n.x + n.width, width, 4) - MulDiv(n.x, width, 4) >= n.pixels;
        });
        if (fits)
            break;
    }
    return base;
}

CDialogLayout::CDialogLayout(const QFont& font, const QStyle& style)
    : m_base(FittedBaseUnits(font, style)) {}

int CDialogLayout::X(int dlu) const {
    return MulDiv(dlu, m_base.width(), 4);
}
int CDialogLayout::Y(int dlu) const {
    return MulDiv(dlu, m_base.height(), 8);
}

QRect CDialogLayout::Rect(int x, int y, int w, int h) const {
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + w) - left, Y(y + h) - top);
}

QSize CDialogLayout::Size(int w, int h) const {
    return QSize(X(w), Y(h));
}

DialogControls CDialogLayout::Build(QWidget& dialog, const res::DialogTemplate& dialogTemplate,
                                    const std::function<void(int, int)>& notify,
                                    const std::function<void(QSlider*)>& scrolled) const {
    InstallAccessibleControls();
    Builder b{dialog, dialogTemplate, notify, scrolled, {}, nullptr, nullptr, {}};
    QList<QWidget*> made; // every control, in template order
    for (const res::ControlTemplate& c : dialogTemplate.controls) {
        if (c.kind != res::ControlKind::RadioButton)
            b.group = nullptr;
        QWidget* w =
            kBuilders[static_cast<std::size_t>(c.kind)](b, c, Rect(c.x, c.y, c.width, c.height));
        if (c.style & res::kHidden)
            w->setHidden(true);
        if (!(c.style & res::kTabStop) && TakesFocus(c.kind))
            w->setFocusPolicy(Qt::ClickFocus);
        if (c.id != res::kStaticId)
            b.built.items.insert(c.id, w);
        // A label's mnemonic moves the focus to the next control that can take it.
        if (TakesFocus(c.kind)) {
            for (QLabel* label : b.pendingBuddies)
                label->setBuddy(w);
            b.pendingBuddies.clear();
        }
        b.previous = w;
        made.append(w);
    }
    NameControls(dialogTemplate, made);
    for (auto it = b.built.radioGroups.begin(); it != b.built.radioGroups.end(); ++it)
        for (CRadioButton* radio : *it)
            radio->SetGroup(*it);
    return std::move(b.built);
}

} // namespace vellmark
