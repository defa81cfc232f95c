// SPDX-License-Identifier: Apache-2.0
#include "CDialogBase.h"

#include "CDataExchange.h"
#include "CDialogLayout.h"
#include "CRadioButton.h"
#include "CUpDown.h"
#include "ControlNotify.h"
#include "DialogObjectName.h"
#include "ICommandTarget.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "TextConvert.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSlider>

#include <algorithm>

namespace vellmark {
int CDialogBase::s_nExchanging = 0;
int CDialogBase::s_nShowing = 0;

CDialogBase::CDialogBase(int templateId)
    : m_nTemplateId(templateId), m_pTemplate(res::FindDialogTemplate(templateId)) {
    Q_ASSERT(m_pTemplate);
    setObjectName(DialogObjectName(templateId));
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
    if (QWidget* first = FirstTabStop())
        first->setFocus(Qt::OtherFocusReason);
    Place();
    return Prompt().RunModal(*this);
}

void CDialogBase::Place() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible()) {
        // Qt centres a dialog that was not moved on its owner as it is shown.
        setAttribute(Qt::WA_Moved, false);
        return;
    }
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    move(screen->availableGeometry().center() - rect().center());
}

QWidget* CDialogBase::FirstTabStop() const {
    for (const res::ControlTemplate& c : m_pTemplate->controls) {
        QWidget* w = GetDlgItem(c.id);
        if (!w || !(c.style & res::kTabStop) || !w->isEnabled() || !w->isVisibleTo(this))
            continue;
        if (const QList<CRadioButton*>* group = RadioGroup(c.id)) {
            for (CRadioButton* radio : *group)
                if (radio->isChecked())
                    return radio;
        }
        return w;
    }
    return nullptr;
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
    const CDialogLayout layout(font(), *style());
    setFixedSize(layout.Size(m_pTemplate->width, m_pTemplate->height));

    DialogControls built = layout.Build(
        *this, *m_pTemplate, [this](int id, int code) { WindowProc(id, code); },
        [this](QSlider* slider) { OnHScroll(slider); });
    m_items = std::move(built.items);
    m_radioGroups = std::move(built.radioGroups);
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
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* target = dynamic_cast<ICommandTarget*>(w)) {
            target->OnCommand(id);
            return;
        }
    }
}

void CDialogBase::WindowProc(int id, int code) {
    if (m_nExchanging > 0 || s_nShowing > 0)
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
    const QString text = GetDlgItemText(id);
    const QString number = QString::number(value);
    // Only a rewrite that shortens the text: the nested change it raises then ends. A run of ten
    // or more digits reads as a number of the same length or as the largest int, so writing it
    // back would raise the same change again without end.
    if (text.size() > widthLimit && number.size() < text.size())
        SetDlgItemText(id, number);
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

void CDialogBase::setVisible(bool visible) {
    // Showing or hiding a dialog moves the keyboard focus on Qt's initiative (away from a
    // hidden control, back to the window's focus widget); that is no action of the user's.
    ++s_nShowing;
    QDialog::setVisible(visible);
    --s_nShowing;
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
