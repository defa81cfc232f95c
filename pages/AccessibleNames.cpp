// SPDX-License-Identifier: Apache-2.0
#include "AccessibleNames.h"

#include "CComboBox.h"
#include "CPropertyPage.h"
#include "CRadioButton.h"
#include "MnemonicText.h"
#include "TextConvert.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QRegularExpression>
#include <QWidget>

namespace vellmark {
namespace {

// An action of the control's own (one of `names`), which runs `act` while the control is
// enabled; false for any other action, which the caller leaves to the widget's default.
template <class Act>
bool DoOwnAction(QWidget* control, const QString& name, const QStringList& names, Act act) {
    if (!names.contains(name))
        return false;
    if (control->isEnabled())
        act();
    return true;
}

// A radio button of ours: the radio-button role, checkable, and clicked by its action.
class RadioButtonAccessible : public QAccessibleWidget {
public:
    explicit RadioButtonAccessible(CRadioButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return AccessibleText(Button()->text());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (!DoOwnAction(Button(), name, {pressAction(), toggleAction()},
                         [this] { Button()->click(); }))
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction()) {
            const QKeySequence key = QKeySequence::mnemonic(Button()->text());
            if (!key.isEmpty())
                return {key.toString(QKeySequence::NativeText)};
        }
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    CRadioButton* Button() const { return static_cast<CRadioButton*>(widget()); }
};

// A drop-down list: named by its label, its selection as its value, its list as its child.
class ComboBoxAccessible : public QAccessibleWidget {
public:
    explicit ComboBoxAccessible(CComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == Combo()->view() ? 0 : -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.hasPopup = true;
        s.expanded = Combo()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (!DoOwnAction(Combo(), name, {showMenuAction(), pressAction()},
                         [this] { Combo()->showPopup(); }))
            QAccessibleWidget::doAction(name);
    }

private:
    CComboBox* Combo() const { return static_cast<CComboBox*>(widget()); }
};

QAccessibleInterface* ControlFactory(const QString& key, QObject* object) {
    if (key == QLatin1StringView(CRadioButton::staticMetaObject.className()))
        if (auto* button = qobject_cast<CRadioButton*>(object))
            return new RadioButtonAccessible(button);
    if (key == QLatin1StringView(CComboBox::staticMetaObject.className()))
        if (auto* combo = qobject_cast<CComboBox*>(object))
            return new ComboBoxAccessible(combo);
    if (key == QLatin1StringView(CPropertyPage::staticMetaObject.className()))
        if (auto* page = qobject_cast<CPropertyPage*>(object))
            return new QAccessibleWidget(page, QAccessible::Pane);
    return nullptr;
}

} // namespace

QString AccessibleText(const QString& templateText) {
    static const QRegularExpression mnemonicInParentheses(QStringLiteral("\\s*[(（]&[^&][)）]"));
    QString text = templateText;
    text.remove(u'\n');
    text.remove(mnemonicInParentheses);
    return WithoutMnemonic(text).trimmed();
}

void InstallAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(&ControlFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

void NameControls(const res::DialogTemplate& dialogTemplate, const QList<QWidget*>& controls) {
    QString label;
    qsizetype index = 0;
    for (const res::ControlTemplate& c : dialogTemplate.controls) {
        QWidget* w = controls.value(index++);
        if (!w)
            break;
        const QString text = AccessibleText(ToQString(c.text));
        switch (c.kind) {
        case res::ControlKind::Label:
        case res::ControlKind::GroupBox:
            if (!(c.style & res::kHidden) && !text.isEmpty())
                label = text;
            w->setAccessibleName(text);
            break;
        case res::ControlKind::RadioButton:
        case res::ControlKind::CheckBox:
        case res::ControlKind::PushButton:
            w->setAccessibleName(text);
            break;
        case res::ControlKind::ComboBox:
        case res::ControlKind::NumberEdit:
        case res::ControlKind::UpDown:
        case res::ControlKind::Slider:
        case res::ControlKind::ListView:
            w->setAccessibleName(label);
            break;
        }
    }
}

} // namespace vellmark
