#include "CDialogBase.h"

#include "CComboBox.h"
#include "CDataExchange.h"
#include "CDialogLayout.h"
#include "CNumberEdit.h"
#include "CRadioButton.h"
#include "CUpDown.h"
#include "ControlNotify.h"
#include "ICommandTarget.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "TextConvert.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <algorithm>

namespace vellmark {
namespace {

// Gives a list the clicks of a report list: a press on its empty part clears the selection,
// and every double-click, on a row or not, is the list's double-click notification (the dialog
// then looks at the selection).
class ListClickFilter : public QObject {
public:
    ListClickFilter(QTreeWidget* list, CDialogBase& dialog, int id)
        : QObject(list), m_list(list), m_dialog(dialog), m_id(id) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!m_list->indexAt(mouse->position().toPoint()).isValid())
                m_list->clearSelection();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            m_dialog.WindowProc(m_id, NM_DBLCLK);
        }
        return false;
    }

private:
    QTreeWidget* m_list;
    CDialogBase& m_dialog;
    int m_id;
};

} // namespace

int CDialogBase::s_nExchanging = 0;

CDialogBase::CDialogBase(int templateId)
    : m_nTemplateId(templateId), m_pTemplate(res::FindDialogTemplate(templateId)) {
    Q_ASSERT(m_pTemplate);
    setFont(CDialogLayout::DialogFont());
}

CDialogBase::~CDialogBase() {
    // Hiding the window on destruction takes the focus from its controls; the parts of the
    // dialog that would handle those notifications are gone by then.
    for (QObject* child : children())
        QObject::disconnect(child, nullptr, this, nullptr);
}

bool CDialogBase::Create(QWidget* parent) {
    if (m_bCreated)
        return true;
    BuildControls(parent, true);
    OnInitDialog();
    return true;
}

int CDialogBase::DoModal(QWidget* parent) {
    if (!m_bCreated)
        BuildControls(parent, false);
    setWindowTitle(ToQString(m_pTemplate->caption));
    m_bEnded = false;
    OnInitDialog();
    // A dialog that ended while it initialised is never shown.
    if (m_bEnded)
        return result();
    // Each run starts with the focus on the first control that Tab reaches.
    for (const res::ControlTemplate& c : m_pTemplate->controls) {
        QWidget* w = GetDlgItem(c.id);
        if (w && (c.style & res::kTabStop) && !(c.style & res::kHidden) && w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    return Prompt().RunModal(*this);
}

void CDialogBase::BuildControls(QWidget* parent, bool child) {
    m_bChild = child;
    if (child) {
        setParent(parent, Qt::Widget);
    } else {
        setParent(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint);
        setModal(true);
    }
    const CDialogLayout layout(font());
    setFixedSize(layout.Size(m_pTemplate->width, m_pTemplate->height));

    const auto controls = m_pTemplate->controls;
    QList<CRadioButton*>* group = nullptr;
    QWidget* previous = nullptr;
    QList<QLabel*> pendingBuddies;
    for (const res::ControlTemplate& c : controls) {
        const QString text = ToQString(c.text);
        const QRect rect = layout.Rect(c.x, c.y, c.width, c.height);
        QWidget* w = nullptr;
        const int id = c.id;
        if (c.kind != res::ControlKind::RadioButton)
            group = nullptr;
        switch (c.kind) {
        case res::ControlKind::Label: {
            auto* label = new QLabel(text, this);
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
            auto* box = new QGroupBox(text, this);
            box->setGeometry(rect);
            w = box;
            break;
        }
        case res::ControlKind::ComboBox: {
            auto* combo = new CComboBox(this);
            for (std::string_view e : c.entries)
                combo->addItem(ToQString(e));
            combo->setCurrentIndex(-1);
            // The template's height includes the dropped list; the closed box is as high as
            // the font needs.
            combo->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
            connect(combo, &CComboBox::notified, this,
                    [this, id](int code) { WindowProc(id, code); });
            w = combo;
            break;
        }
        case res::ControlKind::RadioButton: {
            auto* radio = new CRadioButton(this);
            radio->setText(text);
            radio->setGeometry(rect);
            if ((c.style & res::kGroup) || !group) {
                group = &m_radioGroups[id];
            }
            group->append(radio);
            connect(radio, &QAbstractButton::clicked, this,
                    [this, id] { WindowProc(id, BN_CLICKED); });
            w = radio;
            break;
        }
        case res::ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, this);
            box->setGeometry(rect);
            connect(box, &QAbstractButton::clicked, this,
                    [this, id] { WindowProc(id, BN_CLICKED); });
            w = box;
            break;
        }
        case res::ControlKind::NumberEdit: {
            auto* edit = new CNumberEdit(this);
            edit->setGeometry(rect);
            connect(edit, &QLineEdit::textChanged, this, [this, id] { WindowProc(id, EN_CHANGE); });
            w = edit;
            break;
        }
        case res::ControlKind::UpDown: {
            auto* upDown = new CUpDown(this);
            upDown->setGeometry(rect);
            // The up-down control takes the control before it as its buddy.
            upDown->SetBuddy(qobject_cast<CNumberEdit*>(previous));
            w = upDown;
            break;
        }
        case res::ControlKind::Slider: {
            auto* slider = new QSlider(Qt::Horizontal, this);
            slider->setRange(0, 100);
            slider->setSingleStep(1);
            slider->setPageStep(2);
            slider->setTickPosition(QSlider::TicksBelow);
            slider->setTickInterval(1);
            slider->setGeometry(rect);
            connect(slider, &QAbstractSlider::actionTriggered, this,
                    [this, slider](int) { OnHScroll(slider); });
            w = slider;
            break;
        }
        case res::ControlKind::ListView: {
            // A report-style list: rows in the order they are inserted (the heading does not
            // re-sort them), whole rows selected, one at a time.
            auto* list = new QTreeWidget(this);
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
            list->viewport()->installEventFilter(new ListClickFilter(list, *this, id));
            w = list;
            break;
        }
        case res::ControlKind::PushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            if (c.style & res::kDefault)
                button->setDefault(true);
            button->setGeometry(rect);
            connect(button, &QAbstractButton::clicked, this,
                    [this, id] { WindowProc(id, BN_CLICKED); });
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
            m_items.insert(id, w);
        // A label's mnemonic moves the focus to the next control that can take it.
        if (c.kind != res::ControlKind::Label && c.kind != res::ControlKind::GroupBox &&
            c.kind != res::ControlKind::UpDown) {
            for (QLabel* label : pendingBuddies)
                label->setBuddy(w);
            pendingBuddies.clear();
        }
        previous = w;
    }
    for (auto it = m_radioGroups.begin(); it != m_radioGroups.end(); ++it)
        for (CRadioButton* radio : *it)
            radio->SetGroup(*it);
    m_bCreated = true;
}

std::span<const std::string_view> CDialogBase::ComboEntries(int id) const {
    const res::ControlTemplate* c = res::FindControl(*m_pTemplate, id);
    return c ? c->entries : std::span<const std::string_view>();
}

const QList<CRadioButton*>* CDialogBase::RadioGroup(int firstId) const {
    auto it = m_radioGroups.constFind(firstId);
    return it == m_radioGroups.cend() ? nullptr : &*it;
}

bool CDialogBase::UpdateData(bool bSaveAndValidate) {
    if (!m_bCreated)
        return false;
    ++m_nExchanging;
    ++s_nExchanging;
    CDataExchange dx(*this, bSaveAndValidate);
    DoDataExchange(dx);
    --s_nExchanging;
    --m_nExchanging;
    return !dx.Failed();
}

int CDialogBase::GetDlgItemInt(int id, bool* translated, bool bSigned) const {
    if (translated)
        *translated = false;
    const QString text = GetDlgItemText(id);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (bSigned && i < n && text[i] == u'-') {
        negative = true;
        ++i;
    }
    const qsizetype start = i;
    long long v = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        // Saturate at the largest int: a pasted run of digits counts as a very large value.
        v = std::min<long long>(v * 10 + (text[i].unicode() - u'0'), 0x7FFFFFFF);
        ++i;
    }
    if (i == start)
        return 0;
    if (translated)
        *translated = true;
    return static_cast<int>(negative ? -v : v);
}

void CDialogBase::SetDlgItemInt(int id, int value) {
    SetDlgItemText(id, QString::number(value));
}

QString CDialogBase::GetDlgItemText(int id) const {
    QWidget* w = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    return {};
}

void CDialogBase::SetDlgItemText(int id, const QString& text) {
    QWidget* w = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->text() == text)
            WindowProc(id, EN_CHANGE);
        else
            edit->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    }
}

void CDialogBase::GotoDlgCtrl(QWidget* control) {
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

void CDialogBase::SendCommand(int id) {
    if (OnCommandId(id))
        return;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* target = dynamic_cast<ICommandTarget*>(w)) {
            target->OnCommand(id);
            return;
        }
    }
}

void CDialogBase::WindowProc(int id, int code) {
    if (m_nExchanging > 0)
        return;
    if (OnCommandNotify(id, code))
        return;
    if (code == BN_CLICKED && id == res::IDOK)
        OnOK();
    else if (code == BN_CLICKED && id == res::IDCANCEL)
        OnCancel();
}

bool CDialogBase::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialogBase::DoDataExchange(CDataExchange&) {}
bool CDialogBase::OnCommandNotify(int, int) {
    return false;
}
bool CDialogBase::OnCommandId(int) {
    return false;
}
void CDialogBase::OnHScroll(QSlider*) {}

void CDialogBase::OnOK() {
    if (UpdateData(true))
        EndDialog(res::IDOK);
}

void CDialogBase::OnCancel() {
    EndDialog(res::IDCANCEL);
}

void CDialogBase::EndDialog(int result) {
    m_bEnded = true;
    QDialog::done(result);
}

int CDialogBase::EditChangeRead(int id, int widthLimit) {
    const int value = GetDlgItemInt(id);
    const QString text = GetDlgItemText(id).left(9);
    if (text.size() > widthLimit && text != QString::number(value))
        SetDlgItemInt(id, value);
    return value;
}

int CDialogBase::EditChangeClamp(int id, int widthLimit, int lower, int upper) {
    const int value = EditChangeRead(id, widthLimit);
    if (HasFocus(id)) {
        if (value < lower)
            SetDlgItemInt(id, lower);
        else if (value > upper)
            SetDlgItemInt(id, upper);
    }
    return value;
}

void CDialogBase::EditChangeFollowSlider(const SliderEdit& pair) {
    const int value = EditChangeClamp(pair.edit, 4, 0, 130);
    if (auto* slider = DlgItem<QSlider>(pair.slider)) {
        slider->setValue(NearestStop(value, *pair.stops));
        slider->update();
    }
}

void CDialogBase::SliderToEdit(QSlider* slider, std::span<const SliderEdit> pairs) {
    if (!slider->hasFocus())
        return;
    for (const SliderEdit& s : pairs) {
        if (GetDlgItem(s.slider) == slider) {
            const int stop = std::clamp(slider->sliderPosition(), 0, 9);
            SetDlgItemInt(s.edit, (*s.stops)[static_cast<std::size_t>(stop)]);
            return;
        }
    }
}

bool CDialogBase::HasFocus(int id) const {
    QWidget* w = GetDlgItem(id);
    return w && w->hasFocus();
}

void CDialogBase::SetUpDownRange(int id, int lower, int upper) {
    if (auto* upDown = DlgItem<CUpDown>(id))
        upDown->SetRange(lower, upper);
}

void CDialogBase::SetSliderRange(int id, int lower, int upper) {
    if (auto* slider = DlgItem<QSlider>(id)) {
        slider->setRange(lower, upper);
        slider->update();
    }
}

void CDialogBase::reject() {
    OnCancel();
}
void CDialogBase::accept() {
    OnOK();
}

void CDialogBase::keyPressEvent(QKeyEvent* event) {
    if (m_bChild) {
        // A page never closes on Enter or Esc; the keys go on to the window around it.
        QWidget::keyPressEvent(event);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vellmark
