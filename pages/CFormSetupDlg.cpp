// SPDX-License-Identifier: Apache-2.0
#include "CFormSetupDlg.h"

#include "CDataExchange.h"
#include "ControlNotify.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "TextConvert.h"

#include <QSlider>

namespace vellmark {
using namespace res;

namespace {

EditRange RangeOf(FormField id) {
    return vellmark::RangeOf(Describe(id));
}

// The number edits besides the loading positions, with their up-down controls and the stored
// form's field that gives their range.
struct ClampedEdit {
    int id;
    int upDown;
    FormField field;
};
constexpr ClampedEdit kClamped[] = {
    {IDC_SETUP_PAGE_LENGTH, IDC_SETUP_PAGE_LENGTH_SPIN, FormField::PageLength},
    {IDC_SETUP_LEFT_MARGIN, IDC_SETUP_LEFT_MARGIN_SPIN, FormField::LeftMargin},
    {IDC_SETUP_RIGHT_MARGIN, IDC_SETUP_RIGHT_MARGIN_SPIN, FormField::RightMargin},
    {IDC_SETUP_CORRECTION, IDC_SETUP_CORRECTION_SPIN, FormField::CutSheetPositionCorrection},
};

} // namespace

CFormSetupDlg::CFormSetupDlg()
    : CDialogBase(IDD_FORM_SETUP),
      m_positions(
          *this,
          {{{IDC_SETUP_CONT_SLIDER, IDC_SETUP_CONT_POSITION, IDC_SETUP_CONT_SPIN, &kStandardStops,
             RangeOf(FormField::ContinuousLoadPosition), &m_nContinuousStop,
             &m_nContinuousPosition},
            {IDC_SETUP_CUT_SLIDER, IDC_SETUP_CUT_POSITION, IDC_SETUP_CUT_SPIN, &kStandardStops,
             RangeOf(FormField::CutSheetLoadPosition), &m_nCutSheetStop, &m_nCutSheetPosition},
            {IDC_SETUP_POSTCARD_SLIDER, IDC_SETUP_POSTCARD_POSITION, IDC_SETUP_POSTCARD_SPIN,
             &kPostcardStops, RangeOf(FormField::PostcardLoadPosition), &m_nPostcardStop,
             &m_nPostcardPosition}}}) {
    for (FormRecord& r : m_forms)
        r.fill('\0');
}

int CFormSetupDlg::FormIndex(const QString& name) {
    const auto entries = Describe(Setting::FormSelect).entries;
    const std::string text = ToStdString(name);
    for (std::size_t i = 1; i < entries.size() && i <= 3; ++i)
        if (entries[i] == text)
            return static_cast<int>(i);
    return 0;
}

void CFormSetupDlg::LoadForm(int form) {
    if (form < 1 || form > 3)
        return;
    const FormRecord& r = m_forms[static_cast<std::size_t>(form - 1)];
    m_nPageLength = DecodeFormField(r, FormField::PageLength);
    m_nLeftMargin = DecodeFormField(r, FormField::LeftMargin);
    m_nRightMargin = DecodeFormField(r, FormField::RightMargin);
    m_nContinuousPosition = DecodeFormField(r, FormField::ContinuousLoadPosition);
    m_nCutSheetPosition = DecodeFormField(r, FormField::CutSheetLoadPosition);
    m_nPostcardPosition = DecodeFormField(r, FormField::PostcardLoadPosition);
    m_nCorrection = DecodeFormField(r, FormField::CutSheetPositionCorrection);
    m_positions.StopsFromPositions();
}

void CFormSetupDlg::StoreForm(int form) {
    if (form < 1 || form > 3)
        return;
    FormRecord& r = m_forms[static_cast<std::size_t>(form - 1)];
    EncodeFormField(r, FormField::PageLength, m_nPageLength);
    EncodeFormField(r, FormField::LeftMargin, m_nLeftMargin);
    EncodeFormField(r, FormField::RightMargin, m_nRightMargin);
    EncodeFormField(r, FormField::ContinuousLoadPosition, m_nContinuousPosition);
    EncodeFormField(r, FormField::CutSheetLoadPosition, m_nCutSheetPosition);
    EncodeFormField(r, FormField::PostcardLoadPosition, m_nPostcardPosition);
    EncodeFormField(r, FormField::CutSheetPositionCorrection, m_nCorrection);
}

void CFormSetupDlg::CopyFormsFromBlock(const SettingsBlock& block) {
    for (int form = 1; form <= 3; ++form)
        m_forms[static_cast<std::size_t>(form - 1)] = GetFormRecord(block, form);
}

void CFormSetupDlg::CopyFormsToBlock(SettingsBlock& block) const {
    for (int form = 1; form <= 3; ++form)
        PutFormRecord(block, form, m_forms[static_cast<std::size_t>(form - 1)]);
}

const FormRecord& CFormSetupDlg::StoredForm(int form) const {
    return m_forms[static_cast<std::size_t>(std::clamp(form, 1, 3) - 1)];
}

bool CFormSetupDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    setWindowTitle(ResourceText(IDS_FORM_SETUP_TITLE).arg(m_strFormName));
    m_positions.InitControls();
    for (const ClampedEdit& e : kClamped)
        SetUpDownRange(e.upDown, RangeOf(e.field));
    return true;
}

void CFormSetupDlg::DoDataExchange(CDataExchange& dx) {
    m_positions.Exchange(dx);
    dx.DDX_Text(IDC_SETUP_PAGE_LENGTH, m_nPageLength);
    dx.DDV_MinMaxInt(m_nPageLength, RangeOf(FormField::PageLength));
    dx.DDX_Text(IDC_SETUP_LEFT_MARGIN, m_nLeftMargin);
    dx.DDX_Text(IDC_SETUP_RIGHT_MARGIN, m_nRightMargin);
    dx.DDX_Text(IDC_SETUP_CORRECTION, m_nCorrection);
    dx.DDV_MinMaxInt(m_nCorrection, RangeOf(FormField::CutSheetPositionCorrection));
}

bool CFormSetupDlg::OnCommandNotify(int id, int code) {
    if (code != EN_CHANGE)
        return false;
    if (m_positions.OnEditChange(id))
        return true;
    for (const ClampedEdit& e : kClamped) {
        if (e.id == id) {
            EditChangeClamp(id, RangeOf(e.field));
            return true;
        }
    }
    return false;
}

void CFormSetupDlg::OnHScroll(QSlider* slider) {
    m_positions.OnSliderMoved(slider);
}

void CFormSetupDlg::OnOK() {
    const int left = GetDlgItemInt(IDC_SETUP_LEFT_MARGIN, nullptr, true);
    const int right = GetDlgItemInt(IDC_SETUP_RIGHT_MARGIN, nullptr, true);
    if (left >= right) {
        Prompt().MessageBox(this, ResourceText(IDS_MARGIN_ORDER),
                            ResourceText(IDS_MARGIN_ORDER_CAPTION).arg(m_strFormName),
                            PromptIcon::Warning, PromptButtons::Ok);
        SetDlgItemInt(IDC_SETUP_RIGHT_MARGIN, left + 1);
        if (QWidget* edit = GetDlgItem(IDC_SETUP_RIGHT_MARGIN))
            edit->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!UpdateData(true))
        return;
    StoreForm(FormIndex(m_strFormName));
    EndDialog(IDOK);
}

} // namespace vellmark
