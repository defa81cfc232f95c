// SPDX-License-Identifier: Apache-2.0
#include "CPage_Form.h"

#include "CDataExchange.h"
#include "ControlNotify.h"
#include "ResourceIds.h"
#include "TextConvert.h"

#include <QPushButton>
#include <QSlider>

namespace vellmark {
using namespace res;

namespace {

const EditRange kPageLength = RangeOf(Describe(Setting::PageLength));
const EditRange kCorrection = RangeOf(Describe(Setting::CutSheetPositionCorrection));

} // namespace

CPage_Form::CPage_Form()
    : CPropertyPage(IDD_PAGE_FORM, {IDC_FORM_SELECT}),
      m_positions(*this,
                  {{{IDC_FORM_CONT_SLIDER, IDC_FORM_CONT_POSITION, IDC_FORM_CONT_SPIN,
                     &kStandardStops, RangeOf(Describe(Setting::ContinuousLoadPosition)),
                     &m_nContinuousStop, &m_nContinuousPosition},
                    {IDC_FORM_CUT_SLIDER, IDC_FORM_CUT_POSITION, IDC_FORM_CUT_SPIN, &kStandardStops,
                     RangeOf(Describe(Setting::CutSheetLoadPosition)), &m_nCutSheetStop,
                     &m_nCutSheetPosition},
                    {IDC_FORM_POSTCARD_SLIDER, IDC_FORM_POSTCARD_POSITION, IDC_FORM_POSTCARD_SPIN,
                     &kPostcardStops, RangeOf(Describe(Setting::PostcardLoadPosition)),
                     &m_nPostcardStop, &m_nPostcardPosition}}}) {
    BindFields(Page::Form, {&m_nContinuousPosition, &m_nCutSheetPosition, &m_nPostcardPosition,
                            &m_nPageLength, &m_nCorrection, &m_strFormName});
}

bool CPage_Form::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_positions.InitControls();
    SetUpDownRange(IDC_FORM_PAGE_LENGTH_SPIN, kPageLength);
    SetUpDownRange(IDC_FORM_CORRECTION_SPIN, kCorrection);
    return true;
}

void CPage_Form::DoDataExchange(CDataExchange& dx) {
    m_positions.Exchange(dx);
    dx.DDX_CBString(IDC_FORM_SELECT, m_strFormName);
    dx.DDV_MaxChars(m_strFormName, 10);
    dx.DDX_Text(IDC_FORM_PAGE_LENGTH, m_nPageLength);
    dx.DDV_MinMaxInt(m_nPageLength, kPageLength);
    dx.DDX_Text(IDC_FORM_CORRECTION, m_nCorrection);
    dx.DDV_MinMaxInt(m_nCorrection, kCorrection);
}

void CPage_Form::ParseBlock(const SettingsBlock& block) {
    DecodeFields(block);
    m_positions.StopsFromPositions();
    m_dlgFormSetup.CopyFormsFromBlock(block);
    UpdateData(false);
    // The form button names the form the block selects.
    RefreshFormButton();
}

void CPage_Form::BuildBlock(SettingsBlock& block) {
    CPropertyPage::BuildBlock(block);
    m_dlgFormSetup.CopyFormsToBlock(block);
}

void CPage_Form::RefreshFormButton() {
    auto* button = DlgItem<QPushButton>(IDC_FORM_BUTTON);
    if (!button)
        return;
    if (m_strFormName == ToQString(Describe(Setting::FormSelect).entries[0])) {
        button->setText(ToQString(FindControl(Template(), IDC_FORM_BUTTON)->text));
        button->setEnabled(false);
    } else {
        button->setText(ResourceText(IDS_FORM_BUTTON).arg(m_strFormName));
        button->setEnabled(true);
    }
}

bool CPage_Form::OnCommandNotify(int id, int code) {
    if (id == IDC_FORM_SELECT) {
        // The data check that went before has read the combo box into the member.
        RefreshFormButton();
        return true;
    }
    if (id == IDC_FORM_BUTTON && code == BN_CLICKED) {
        OnFormButton();
        return true;
    }
    if (code != EN_CHANGE)
        return false;
    if (m_positions.OnEditChange(id)) {
        SendDataCheck();
        return true;
    }
    if (id == IDC_FORM_PAGE_LENGTH) {
        OnChangeClamped(id, kPageLength);
        return true;
    }
    if (id == IDC_FORM_CORRECTION) {
        OnChangeClamped(id, kCorrection);
        return true;
    }
    return false;
}

void CPage_Form::OnChangeClamped(int id, const EditRange& range) {
    EditChangeClamp(id, range);
    SendDataCheck();
}

void CPage_Form::OnHScroll(QSlider* slider) {
    m_positions.OnSliderMoved(slider);
}

void CPage_Form::OnFormButton() {
    const int form = CFormSetupDlg::FormIndex(m_strFormName);
    if (form != 0)
        m_dlgFormSetup.LoadForm(form);
    m_dlgFormSetup.SetFormName(m_strFormName);
    if (m_dlgFormSetup.DoModal(this) == IDOK)
        SendDataCheck();
}

} // namespace vellmark
