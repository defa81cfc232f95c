// SPDX-License-Identifier: Apache-2.0
#include "CDataExchange.h"

#include "CDialogBase.h"
#include "CNumberEdit.h"
#include "CRadioButton.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "Settings.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSlider>

#include <algorithm>
#include <climits>
#include <string>

namespace vellmark {

CDataExchange::CDataExchange(CDialogBase& dialog, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_dialog(dialog) {}

QWidget* CDataExchange::Prepare(int id, bool isEdit) {
    m_pLastControl = m_dialog.GetDlgItem(id);
    m_bEditLastControl = isEdit;
    return m_pLastControl;
}

template <class T> T* CDataExchange::Control(int id, bool isEdit) {
    return m_bFailed ? nullptr : qobject_cast<T*>(Prepare(id, isEdit));
}

void CDataExchange::Fail(const QString& message) {
    Prompt().MessageBox(&m_dialog, message, ApplicationName(), PromptIcon::Warning,
                        PromptButtons::Ok);
    if (m_pLastControl)
        m_dialog.GotoDlgCtrl(m_pLastControl);
    m_bFailed = true;
}

void CDataExchange::DDX_CBString(int id, QString& value) {
    auto* combo = Control<QComboBox>(id);
    if (!combo)
        return;
    if (m_bSaveAndValidate) {
        value = combo->currentIndex() >= 0 ? combo->currentText() : QString();
        return;
    }
    if (value.isEmpty())
        return;
    const std::span<const std::string_view> entries = m_dialog.ComboEntries(id);
    const int index = SelectEntry(entries, ToStdString(value));
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void CDataExchange::DDX_Radio(int firstId, int& value) {
    if (m_bFailed)
        return;
    Prepare(firstId, false);
    const QList<CRadioButton*>* group = m_dialog.RadioGroup(firstId);
    if (!group)
        return;
    if (m_bSaveAndValidate) {
        value = -1;
        for (qsizetype i = 0; i < group->size(); ++i)
            if (group->at(i)->isChecked())
                value = static_cast<int>(i);
        return;
    }
    for (qsizetype i = 0; i < group->size(); ++i)
        group->at(i)->setChecked(i == value);
}

void CDataExchange::DDX_Check(int id, int& value) {
    auto* box = Control<QCheckBox>(id);
    if (!box)
        return;
    if (m_bSaveAndValidate) {
        value = box->checkState() == Qt::Checked            ? 1
                : box->checkState() == Qt::PartiallyChecked ? 2
                                                            : 0;
        return;
    }
    const int state = (value < 0 || value > 2) ? 0 : value;
    if (state == 2)
        box->setTristate(true);
    box->setCheckState(state == 1   ? Qt::Checked
                       : state == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

void CDataExchange::DDX_Text(int id, int& value) {
    auto* edit = Control<QLineEdit>(id, true);
    if (!edit)
        return;
    if (m_bSaveAndValidate) {
        int parsed = 0;
        if (!ParseInt(edit->text(), parsed)) {
            Fail(ResourceText(res::IDP_PARSE_INT));
            return;
        }
        value = parsed;
        return;
    }
    const QString text = QString::number(value);
    if (edit->text() != text)
        edit->setText(text);
}

void CDataExchange::DDX_Slider(int id, int& value) {
    auto* slider = Control<QSlider>(id);
    if (!slider)
        return;
    if (m_bSaveAndValidate)
        value = slider->value();
    else
        slider->setValue(value);
}

void CDataExchange::DDV_MaxChars(const QString& value, int maxChars) {
    if (m_bFailed || !m_bSaveAndValidate)
        return;
    if (MultiByteLength(value) > maxChars)
        Fail(ResourceText(res::IDP_PARSE_STRING_SIZE).arg(maxChars));
}

void CDataExchange::DDV_MinMaxInt(int value, const EditRange& range) {
    DDV_MinMaxInt(value, range.lower, range.upper);
}

void CDataExchange::DDV_MinMaxInt(int value, int minVal, int maxVal) {
    if (m_bFailed || !m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal)
        Fail(ResourceText(res::IDP_PARSE_INT_RANGE).arg(minVal).arg(maxVal));
}

int CDataExchange::MultiByteLength(const QString& text) {
    int length = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        length += (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) ? 1 : 2;
    }
    return length;
}

bool CDataExchange::ParseInt(const QString& text, int& value) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype digitsStart = i;
    long long magnitude = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        // Saturate rather than overflow: the ranges of the pages are small.
        magnitude = std::min<long long>(magnitude * 10 + (text[i].unicode() - u'0'),
                                        static_cast<long long>(INT_MAX) + 1);
        ++i;
    }
    if (i == digitsStart)
        return false;
    while (i < n && text[i].isSpace())
        ++i;
    if (i != n)
        return false;
    const long long v = negative ? -magnitude : magnitude;
    value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return true;
}

} // namespace vellmark
