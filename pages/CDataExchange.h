// SPDX-License-Identifier: Apache-2.0
// One exchange of values between a dialog's members and its controls, in one direction. While
// reading (m_bSaveAndValidate) the checks run as the dialog lists them; the first failure shows
// its message, moves the focus to the failing control (an edit gets its text selected) and stops
// the reading there: every later call of this exchange does nothing.
#pragma once

#include <QString>

class QWidget;

namespace vellmark {

class CDialogBase;
struct EditRange;

class CDataExchange {
public:
    CDataExchange(CDialogBase& dialog, bool bSaveAndValidate);

    const bool m_bSaveAndValidate;
    bool Failed() const { return m_bFailed; }

    // Drop-down list: showing selects the first entry that begins with the text (an empty
    // text, or one no entry begins with, leaves the selection); reading gives the selected
    // entry's text, empty when nothing is selected.
    void DDX_CBString(int id, QString& value);
    // Radio group starting at firstId: the index of the checked button in tab order, -1 none.
    void DDX_Radio(int firstId, int& value);
    // Check box state 0 or 1 (2 for the third state); other values show as 0.
    void DDX_Check(int id, int& value);
    // Number edit: showing writes the decimal text when it differs; reading needs an integer.
    void DDX_Text(int id, int& value);
    // Slider position.
    void DDX_Slider(int id, int& value);

    // Checks of the value just read (nothing happens while showing).
    void DDV_MaxChars(const QString& value, int maxChars);
    void DDV_MinMaxInt(int value, int minVal, int maxVal);
    void DDV_MinMaxInt(int value, const EditRange& range);

    // The length of a text as the Japanese code page stores it (double-byte characters 2).
    static int MultiByteLength(const QString& text);
    // Parses a signed decimal integer, blanks allowed around it; false when the text is none.
    static bool ParseInt(const QString& text, int& value);

private:
    QWidget* Prepare(int id, bool isEdit);
    // The control id as a T for the next step; null, so the step does nothing, after a failure
    // or when id is no such control.
    template <class T> T* Control(int id, bool isEdit = false);
    void Fail(const QString& message);

    CDialogBase& m_dialog;
    QWidget* m_pLastControl = nullptr;
    bool m_bEditLastControl = false;
    bool m_bFailed = false;
};

} // namespace vellmark
