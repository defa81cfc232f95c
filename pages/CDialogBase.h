// SPDX-License-Identifier: Apache-2.0
// A dialog built from a resource template (CDialogLayout makes the controls), with the dialog
// functions the pages use and their data exchange: members move to and from the controls
// through DoDataExchange, and while they do, no control notification reaches the dialog's
// handlers (the lockout); nor while the dialog is shown or hidden. Control notifications
// arrive at WindowProc with the control id and the notification code; commands without a
// control go up the parent chain to the first ICommandTarget.
//
// A template marked as a child is created with Create() inside a parent window; the others run
// modally with DoModal().
#pragma once

#include "DialogTemplate.h"

#include <QDialog>
#include <QHash>
#include <QList>

#include <span>
#include <string_view>

class QSlider;

namespace vellmark {

class CDataExchange;
class CRadioButton;

// The bounds of a number edit and its width limit.
struct EditRange {
    int lower;
    int upper;
    int widthLimit;
};
// A field of the core's settings table: its range, and one character more than its digits, so
// that a typed digit too many is seen and clamped rather than refused.
template <class Field> constexpr EditRange RangeOf(const Field& field) {
    return {field.min, field.max, static_cast<int>(field.width) + 1};
}

class CDialogBase : public QDialog {
    Q_OBJECT
public:
    explicit CDialogBase(int templateId);
    ~CDialogBase() override;

    int TemplateId() const { return m_nTemplateId; }
    const res::DialogTemplate& Template() const { return *m_pTemplate; }
    bool IsCreated() const { return m_bCreated; }

    // Creates the controls inside parent and initialises the dialog (a child template).
    bool Create(QWidget* parent);
    // Creates the window over parent (a modal template), initialises it and runs it through
    // the prompt; returns the code the dialog ended with (IDOK, IDCANCEL). A dialog that ends
    // itself in OnInitDialog returns that code without ever being shown.
    int DoModal(QWidget* parent);

    QWidget* GetDlgItem(int id) const { return m_items.value(id, nullptr); }
    template <class T> T* DlgItem(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    std::span<const std::string_view> ComboEntries(int id) const;
    const QList<CRadioButton*>* RadioGroup(int firstId) const;

    // Moves the members into the controls (false) or the controls into the members with the
    // checks (true); returns false when a check failed.
    bool UpdateData(bool bSaveAndValidate = true);
    bool IsExchanging() const { return m_nExchanging > 0; }
    // True while any dialog of the program exchanges data with its controls.
    static bool AnyExchanging() { return s_nExchanging > 0; }
    // True while control notifications reach no handler: data is being exchanged, or a
    // dialog is being shown or hidden.
    static bool NotificationsHeld() { return s_nExchanging > 0 || s_nShowing > 0; }

    // The number in an edit as Windows reads it: 0 and *translated false when there is none.
    int GetDlgItemInt(int id, bool* translated = nullptr, bool bSigned = false) const;
    void SetDlgItemInt(int id, int value);
    QString GetDlgItemText(int id) const;
    // Writing an edit always reports a change of its text, even when the text stays the same.
    void SetDlgItemText(int id, const QString& text);

    // The first control that Tab reaches: enabled, not hidden and a tab stop; in a radio group,
    // its checked button. Null when there is none.
    QWidget* FirstTabStop() const;
    // Moves the keyboard focus to a control; an edit gets its whole text selected.
    void GotoDlgCtrl(QWidget* control);
    bool HasFocus(int id) const;
    void SetUpDownRange(int id, int lower, int upper);
    void SetUpDownRange(int id, const EditRange& range) {
        SetUpDownRange(id, range.lower, range.upper);
    }
    void SetSliderRange(int id, int lower, int upper);

    // The change steps of a number edit, run by its change handler. Steps 1 and 2: the value
    // as GetDlgItemInt reads it; a text longer than widthLimit is rewritten as that value's
    // decimal form when that makes it shorter (leading zeros dropped).
    int EditChangeRead(int id, int widthLimit);
    // Steps 1 to 3: as above, then, only while the user types in the edit, a value below lower
    // or above upper is replaced by that bound. Returns the value read.
    int EditChangeClamp(int id, int widthLimit, int lower, int upper);
    int EditChangeClamp(int id, const EditRange& range) {
        return EditChangeClamp(id, range.widthLimit, range.lower, range.upper);
    }

    // A command with no control: passed to the first command target up the parent chain.
    void SendCommand(int id);

    // A notification of control id (WM_COMMAND). The base hands it to the dialog's handlers
    // unless the dialog exchanges data or is being shown or hidden.
    virtual void WindowProc(int id, int code);

    // Shows or hides the dialog; the focus moves this makes notify no handler.
    void setVisible(bool visible) override;

protected:
    // Builds the controls of the template (once), with CDialogLayout.
    void BuildControls(QWidget* parent, bool child);
    // Runs after the controls exist; the base shows the members.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    // The message map: true when a handler took the notification.
    virtual bool OnCommandNotify(int id, int code);
    // A slider moved by the user (drag, keys, clicks on its track).
    virtual void OnHScroll(QSlider* slider);
    virtual void OnOK();
    void OnCancel();
    void EndDialog(int result);

    // Centred on the owner window when it is shown (Qt places it so); otherwise, as the start-up
    // printer choice before the window, centred on the screen.
    void Place();

    void reject() override;
    void accept() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const int m_nTemplateId;
    const res::DialogTemplate* m_pTemplate;
    bool m_bCreated = false;
    bool m_bChild = true;
    bool m_bEnded = false; // EndDialog ran during the current modal run
    int m_nExchanging = 0;
    static int s_nExchanging;
    static int s_nShowing;
    QHash<int, QWidget*> m_items;
    QHash<int, QList<CRadioButton*>> m_radioGroups;
};

} // namespace vellmark
