#include "CDialogLayout.h"

#include "AccessibleNames.h"
#include "CComboBox.h"
#include "CDialogStyle.h"
#include "CGroupBox.h"
#include "CNumberEdit.h"
#include "CRadioButton.h"
#include "CSlider.h"
#include "CUpDown.h"
#include "ControlNotify.h"
#include "DialogFace.h"
#include "DialogTemplate.h"
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

QSize CDialogLayout::FittedBaseUnits(const QFont& font) {
    static QHash<QString, QSize> fitted;
    CDialogStyle::Install();
    QStyle* style = QApplication::style();
    const QString key = font.toString() + u'|' + style->name();
    if (const auto it = fitted.constFind(key); it != fitted.constEnd())
        return *it;

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
        for (QString line : ToQString(text).split(u'\n')) {
            line.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&');
            line.replace(u'\x01', u'&');
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
        probe.width() - style->subElementRect(QStyle::SE_RadioButtonContents, &button).width();
    const int checkChrome =
        probe.width() - style->subElementRect(QStyle::SE_CheckBoxContents, &button).width();
    QStyleOptionComboBox combo;
    combo.rect = probe;
    combo.fontMetrics = fm;
    combo.frame = true;
    const int comboChrome =
        probe.width() -
        style->subControlRect(QStyle::CC_ComboBox, &combo, QStyle::SC_ComboBoxEditField).width() +
        2;
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
    const QSize natural = BaseUnits(font);
    QSize base = natural;
    for (int width = natural.width(); width <= 3 * natural.width(); ++width) {
        base.setWidth(width);
        const bool fits = std::all_of(needs.begin(), needs.end(), [width](const Need& n) {
            return MulDiv(n.x + n.width, width, 4) - MulDiv(n.x, width, 4) >= n.pixels;
        });
        if (fits)
            break;
    }
    fitted.insert(key, base);
    return base;
}

CDialogLayout::CDialogLayout(const QFont& font) : m_base(FittedBaseUnits(font)) {}

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
    DialogControls built;
    QList<CRadioButton*>* group = nullptr;
    QWidget* previous = nullptr;
    QList<QLabel*> pendingBuddies;
    QList<QWidget*> made; // every control, in template order
    for (const res::ControlTemplate& c : dialogTemplate.controls) {
        const QString text = ToQString(c.text);
        const QRect rect = Rect(c.x, c.y, c.width, c.height);
        QWidget* w = nullptr;
        const int id = c.id;
        if (c.kind != res::ControlKind::RadioButton)
            group = nullptr;
        switch (c.kind) {
        case res::ControlKind::Label: {
            auto* label = new QLabel(text, &dialog);
            Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
            if (c.style & res::kAlignCenter)
                align = Qt::AlignHCenter | Qt::AlignTop;
            if (c.style & res::kCenterVertical)
                align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
            label->setAlignment(align);
            label->setGeometry(rect);
            if (text.contains(u'&'))
                pendingBuddies.append(label);
            w = label;
            break;
        }
        case res::ControlKind::GroupBox: {
            auto* box = new CGroupBox(text, &dialog);
            box->setGeometry(rect);
            w = box;
            break;
        }
        case res::ControlKind::ComboBox: {
            auto* combo = new CComboBox(&dialog);
            for (std::string_view e : c.entries)
                combo->addItem(ToQString(e));
            combo->setCurrentIndex(-1);
            // The template's height includes the dropped list; the closed box is as high as
            // the font needs.
            combo->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
            QObject::connect(combo, &CComboBox::notified, &dialog,
                             [notify, id](int code) { notify(id, code); });
            w = combo;
            break;
        }
        case res::ControlKind::RadioButton: {
            auto* radio = new CRadioButton(&dialog);
            radio->setText(text);
            radio->setGeometry(rect);
            if ((c.style & res::kGroup) || !group) {
                group = &built.radioGroups[id];
            }
            group->append(radio);
            QObject::connect(radio, &QAbstractButton::clicked, &dialog,
                             [notify, id] { notify(id, BN_CLICKED); });
            w = radio;
            break;
        }
        case res::ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, &dialog);
            box->setGeometry(rect);
            QObject::connect(box, &QAbstractButton::clicked, &dialog,
                             [notify, id] { notify(id, BN_CLICKED); });
            w = box;
            break;
        }
        case res::ControlKind::NumberEdit: {
            auto* edit = new CNumberEdit(&dialog);
            edit->setGeometry(rect);
            QObject::connect(edit, &QLineEdit::textChanged, &dialog,
                             [notify, id] { notify(id, EN_CHANGE); });
            w = edit;
            break;
        }
        case res::ControlKind::UpDown: {
            auto* upDown = new CUpDown(&dialog);
            upDown->setGeometry(rect);
            // The up-down control takes the control before it as its buddy.
            upDown->SetBuddy(qobject_cast<CNumberEdit*>(previous));
            w = upDown;
            break;
        }
        case res::ControlKind::Slider: {
            auto* slider = new CSlider(&dialog);
            slider->setRange(0, 100);
            slider->setGeometry(rect);
            QObject::connect(slider, &QAbstractSlider::actionTriggered, &dialog,
                             [scrolled, slider](int) { scrolled(slider); });
            w = slider;
            break;
        }
        case res::ControlKind::ListView: {
            // A report-style list: rows in the order they are inserted (the heading does not
            // re-sort them), whole rows selected, one at a time.
            auto* list = new QTreeWidget(&dialog);
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
            list->setGeometry(rect);
            list->viewport()->installEventFilter(new ListClickFilter(list, notify, id));
            w = list;
            break;
        }
        case res::ControlKind::PushButton: {
            // Enter presses the button that has the focus; elsewhere it presses the dialog's
            // default button. A page has none: its buttons take no part in the default-button
            // handling of the window around it, which would keep the last one focused (or the
            // first one when it is shown) as the default for every edit of the window.
            QPushButton* button = nullptr;
            if (dialogTemplate.child) {
                button = new PageButton(text, &dialog);
                button->setAutoDefault(false);
            } else {
                button = new QPushButton(text, &dialog);
                button->setAutoDefault(true);
            }
            if (c.style & res::kDefault)
                button->setDefault(true);
            button->setGeometry(rect);
            QObject::connect(button, &QAbstractButton::clicked, &dialog,
                             [notify, id] { notify(id, BN_CLICKED); });
            w = button;
            break;
        }
        }
        if (c.style & res::kHidden)
            w->setHidden(true);
        if (!(c.style & res::kTabStop) && c.kind != res::ControlKind::Label &&
            c.kind != res::ControlKind::GroupBox && c.kind != res::ControlKind::UpDown) {
            w->setFocusPolicy(Qt::ClickFocus);
        }
        if (id != res::kStaticId)
            built.items.insert(id, w);
        // A label's mnemonic moves the focus to the next control that can take it.
        if (c.kind != res::ControlKind::Label && c.kind != res::ControlKind::GroupBox &&
            c.kind != res::ControlKind::UpDown) {
            for (QLabel* label : pendingBuddies)
                label->setBuddy(w);
            pendingBuddies.clear();
        }
        previous = w;
        made.append(w);
    }
    NameControls(dialogTemplate, made);
    for (auto it = built.radioGroups.begin(); it != built.radioGroups.end(); ++it)
        for (CRadioButton* radio : *it)
            radio->SetGroup(*it);
    return built;
}

} // namespace vellmark
