// SPDX-License-Identifier: Apache-2.0
#include "CPage_Param.h"

#include "CDataExchange.h"
#include "ControlNotify.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "TextConvert.h"

namespace vellmark {

using namespace res;

namespace {

const EditRange kLoadTime = RangeOf(Describe(Setting::SheetGuideLoadTime));

EditRange CenteringRange(int id) {
    return RangeOf(Describe(id == CPage_Param::IDC_CUT_CENTERING ? Setting::CutSheetCentering
                                                                 : Setting::ContinuousCentering));
}

} // namespace

CPage_Param::CPage_Param()
    : CPropertyPage(IDD_PAGE_PARAM,
                    {IDC_PARAM_POSTCARD_SECOND, IDC_PARAM_FONT1, IDC_PARAM_FONT2,
                     IDC_PARAM_POSTCARD_FIRST, IDC_PARAM_KANJI_TABLE, IDC_PARAM_AUTO_RETURN}) {
    BindFields(Page::Param,
               {&m_strFont1, &m_strFont2, &m_strKanjiTable, &m_nContinuousCentering,
                &m_nCutSheetCentering, &m_nLoadTime, &m_strAutoReturn, &m_nPostcardMode});
}

bool CPage_Param::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetUpDownRange(IDC_PARAM_CUT_CENTERING_SPIN, CenteringRange(IDC_CUT_CENTERING));
    SetUpDownRange(IDC_PARAM_CONT_CENTERING_SPIN, CenteringRange(IDC_CONT_CENTERING));
    SetUpDownRange(IDC_PARAM_LOAD_TIME_SPIN, kLoadTime);
    return true;
}

void CPage_Param::DoDataExchange(CDataExchange& dx) {
    dx.DDX_CBString(IDC_PARAM_FONT1, m_strFont1);
    dx.DDV_MaxChars(m_strFont1, 20);
    dx.DDX_CBString(IDC_PARAM_FONT2, m_strFont2);
    dx.DDV_MaxChars(m_strFont2, 20);
    dx.DDX_CBString(IDC_PARAM_KANJI_TABLE, m_strKanjiTable);
    dx.DDV_MaxChars(m_strKanjiTable, 20);
    dx.DDX_Text(IDC_CONT_CENTERING, m_nContinuousCentering);
    dx.DDX_Text(IDC_CUT_CENTERING, m_nCutSheetCentering);
    dx.DDX_Text(IDC_LOAD_TIME, m_nLoadTime);
    dx.DDV_MinMaxInt(m_nLoadTime, kLoadTime);
    dx.DDX_CBString(IDC_PARAM_AUTO_RETURN, m_strAutoReturn);
    dx.DDV_MaxChars(m_strAutoReturn, 20);
    dx.DDX_Radio(IDC_PARAM_POSTCARD_FIRST, m_nPostcardMode);
}

void CPage_Param::ParseBlock(const SettingsBlock& block) {
    // The edits get the block's values without running their handlers; a mark left from
    // typing would otherwise put 10 over a loaded value at the next save or send.
    m_bCutSheetPending = 0;
    m_bContinuousPending = 0;
    CPropertyPage::ParseBlock(block);
}

bool CPage_Param::OnCommandNotify(int id, int code) {
    if (code != EN_CHANGE)
        return false;
    switch (id) {
    case IDC_CUT_CENTERING:
        OnChangeCentering(id, m_bCutSheetPending);
        return true;
    case IDC_CONT_CENTERING:
        OnChangeCentering(id, m_bContinuousPending);
        return true;
    case IDC_LOAD_TIME:
        OnChangeLoadTime();
        return true;
    default:
        return false;
    }
}

void CPage_Param::OnChangeCentering(int id, int& pending) {
    const EditRange range = CenteringRange(id);
    pending = 0;
    const int value = EditChangeRead(id, range.widthLimit);
    if (HasFocus(id)) {
        if (value > 0 && value < range.lower && 10 * value <= range.upper)
            pending = 1; // the first digit of a value in range: wait for the next one
        else if (value < range.lower)
            SetDlgItemInt(id, range.lower);
        else if (value > range.upper)
            SetDlgItemInt(id, range.upper);
    }
    SendDataCheck();
}

void CPage_Param::OnChangeLoadTime() {
    EditChangeClamp(IDC_LOAD_TIME, kLoadTime);
    SendDataCheck();
}

void CPage_Param::CenteringCheck(int id, int textId, int captionId) {
    Prompt().MessageBox(this, ResourceText(textId), ResourceText(captionId), PromptIcon::Warning,
                        PromptButtons::Ok);
    SetDlgItemInt(id, CenteringRange(id).lower);
    if (QWidget* edit = GetDlgItem(id))
        edit->setFocus(Qt::OtherFocusReason);
}

void CPage_Param::CheckCutSheetCentering() {
    CenteringCheck(IDC_CUT_CENTERING, IDS_CUT_CENTERING_RANGE, IDS_CUT_CENTERING_CAPTION);
}

void CPage_Param::CheckContinuousCentering() {
    CenteringCheck(IDC_CONT_CENTERING, IDS_CONT_CENTERING_RANGE, IDS_CONT_CENTERING_CAPTION);
}

} // namespace vellmark
