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
                     &kStandardStops, RangeOf(Describe(Setting::ContinuousLoadPosition))},
                    {IDC_FORM_CUT_SLIDER, IDC_FORM_CUT_POSITION, IDC_FORM_CUT_SPIN, &kStandardStops,
                     RangeOf(Describe(Setting::CutSheetLoadPosition))},
                    {IDC_FORM_POSTCARD_SLIDER, IDC_FORM_POSTCARD_POSITION, IDC_FORM_POSTCARD_SPIN,
                     &kPostcardStops, RangeOf(Describe(Setting::PostcardLoadPosition))}}}) {}

bool CPage_Form::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_positions.InitControls();
    SetUpDownRange(IDC_FORM_PAGE_LENGTH_SPIN, kPageLength);
    SetUpDownRange(IDC_FORM_CORRECTION_SPIN, kCorrection);
    return true;
}

void CPage_Form::DoDataExchange(CDataExchange& dx) {
    const auto range = [](Setting id) { return RangeOf(Describe(id)); };
    dx.DDX_Slider(IDC_FORM_CONT_SLIDER, m_nContinuousStop);
    dx.DDX_Text(IDC_FORM_CONT_POSITION, m_nContinuousPosition);
    dx.DDV_MinMaxInt(m_nContinuousPosition, range(Setting::ContinuousLoadPosition));
    dx.DDX_Slider(IDC_FORM_CUT_SLIDER, m_nCutSheetStop);
    dx.DDX_Text(IDC_FORM_CUT_POSITION, m_nCutSheetPosition);
    dx.DDV_MinMaxInt(m_nCutSheetPosition, range(Setting::CutSheetLoadPosition));
    dx.DDX_Slider(IDC_FORM_POSTCARD_SLIDER, m_nPostcardStop);
    dx.DDX_Text(IDC_FORM_POSTCARD_POSITION, m_nPostcardPosition);
    dx.DDV_MinMaxInt(m_nPostcardPosition, range(Setting::PostcardLoadPosition));
    dx.DDX_CBString(IDC_FORM_SELECT, m_strFormName);
    dx.DDV_MaxChars(m_strFormName, 10);
    dx.DDX_Text(IDC_FORM_PAGE_LENGTH, m_nPageLength);
    dx.DDV_MinMaxInt(m_nPageLength, kPageLength);
    dx.DDX_Text(IDC_FORM_CORRECTION, m_nCorrection);
    dx.DDV_MinMaxInt(m_nCorrection, kCorrection);
}

void CPage_Form::ParseBlock(const SettingsBlock& block) {
    DecodeMember(block, Setting::ContinuousLoadPosition, m_nContinuousPosition);
    DecodeMember(block, Setting::CutSheetLoadPosition, m_nCutSheetPosition);
    DecodeMember(block, Setting::PostcardLoadPosition, m_nPostcardPosition);
    DecodeMember(block, Setting::PageLength, m_nPageLength);
    DecodeMember(block, Setting::CutSheetPositionCorrection, m_nCorrection);
    DecodeMember(block, Setting::FormSelect, m_strFormName);
    m_nContinuousStop = NearestStop(m_nContinuousPosition, kStandardStops);
    m_nCutSheetStop = NearestStop(m_nCutSheetPosition, kStandardStops);
    m_nPostcardStop = NearestStop(m_nPostcardPosition, kPostcardStops);
    m_dlgFormSetup.CopyFormsFromBlock(block);
    UpdateData(false);
}

void CPage_Form::BuildBlock(SettingsBlock& block) {
    UpdateData(true);
    EncodeInt(block, Setting::ContinuousLoadPosition, m_nContinuousPosition);
    EncodeInt(block, Setting::CutSheetLoadPosition, m_nCutSheetPosition);
    EncodeInt(block, Setting::PostcardLoadPosition, m_nPostcardPosition);
    EncodeMember(block, Setting::FormSelect, m_strFormName);
    EncodeInt(block, Setting::PageLength, m_nPageLength);
    EncodeInt(block, Setting::CutSheetPositionCorrection, m_nCorrection);
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
        button->setText(QStringLiteral("%1の設定(&D)").arg(m_strFormName));
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
