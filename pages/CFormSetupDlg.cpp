#include "CFormSetupDlg.h"

#include "CDataExchange.h"
#include "ControlNotify.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "TextConvert.h"

#include <QSlider>

namespace vellmark {
namespace {

constexpr SliderEdit kSliders[] = {
    {1100, 1070, &kStandardStops},
    {1101, 1071, &kStandardStops},
    {1102, 1072, &kPostcardStops},
};

constexpr int IDC_PAGE_LENGTH = 1073;
constexpr int IDC_LEFT_MARGIN = 1076;
constexpr int IDC_RIGHT_MARGIN = 1077;
constexpr int IDC_CORRECTION = 1061;

} // namespace

CFormSetupDlg::CFormSetupDlg() : CDialogBase(res::IDD_FORM_SETUP) {
    for (FormRecord& r : m_forms)
        r.fill('\0');
}

int CFormSetupDlg::FormIndex(const QString& name) {
    const auto entries = Describe(Setting::FormSelect).entries;
    const QByteArray text = name.toUtf8();
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    for (std::size_t i = 1; i < entries.size() && i <= 3; ++i)
        if (entries[i] == view)
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
    m_nContinuousStop = NearestStop(m_nContinuousPosition, kStandardStops);
    m_nCutSheetStop = NearestStop(m_nCutSheetPosition, kStandardStops);
    m_nPostcardStop = NearestStop(m_nPostcardPosition, kPostcardStops);
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
    setWindowTitle(QStringLiteral("書式の設定：") + m_strFormName);
    for (const auto& s : kSliders)
        SetSliderRange(s.slider, 0, 9);
    SetUpDownRange(1104, 0, 130);
    SetUpDownRange(1105, 0, 130);
    SetUpDownRange(1075, 0, 130);
    SetUpDownRange(1087, 1, 99);
    SetUpDownRange(1088, 0, 135);
    SetUpDownRange(1078, 1, 136);
    SetUpDownRange(1067, 0, 68);
    return true;
}

void CFormSetupDlg::DoDataExchange(CDataExchange& dx) {
    dx.DDX_Slider(1100, m_nContinuousStop);
    dx.DDX_Text(1070, m_nContinuousPosition);
    dx.DDV_MinMaxInt(m_nContinuousPosition, 0, 130);
    dx.DDX_Slider(1101, m_nCutSheetStop);
    dx.DDX_Text(1071, m_nCutSheetPosition);
    dx.DDV_MinMaxInt(m_nCutSheetPosition, 0, 130);
    dx.DDX_Slider(1102, m_nPostcardStop);
    dx.DDX_Text(1072, m_nPostcardPosition);
    dx.DDV_MinMaxInt(m_nPostcardPosition, 0, 130);
    dx.DDX_Text(IDC_PAGE_LENGTH, m_nPageLength);
    dx.DDV_MinMaxInt(m_nPageLength, 1, 99);
    dx.DDX_Text(IDC_LEFT_MARGIN, m_nLeftMargin);
    dx.DDX_Text(IDC_RIGHT_MARGIN, m_nRightMargin);
    dx.DDX_Text(IDC_CORRECTION, m_nCorrection);
    dx.DDV_MinMaxInt(m_nCorrection, 0, 68);
}

bool CFormSetupDlg::OnCommandNotify(int id, int code) {
    if (code != EN_CHANGE)
        return false;
    for (const auto& s : kSliders) {
        if (s.edit == id) {
            OnChangePosition(s);
            return true;
        }
    }
    switch (id) {
    case IDC_PAGE_LENGTH:
        OnChangeClamped(id, 3, 1, 99);
        return true;
    case IDC_LEFT_MARGIN:
        OnChangeClamped(id, 4, 0, 135);
        return true;
    case IDC_RIGHT_MARGIN:
        OnChangeClamped(id, 4, 1, 136);
        return true;
    case IDC_CORRECTION:
        OnChangeClamped(id, 3, 0, 68);
        return true;
    default:
        return false;
    }
}

void CFormSetupDlg::OnChangePosition(const SliderEdit& pair) {
    EditChangeFollowSlider(pair);
}

void CFormSetupDlg::OnChangeClamped(int id, int widthLimit, int lower, int upper) {
    EditChangeClamp(id, widthLimit, lower, upper);
}

void CFormSetupDlg::OnHScroll(QSlider* slider) {
    SliderToEdit(slider, kSliders);
}

void CFormSetupDlg::OnOK() {
    const int left = GetDlgItemInt(IDC_LEFT_MARGIN, nullptr, true);
    const int right = GetDlgItemInt(IDC_RIGHT_MARGIN, nullptr, true);
    if (left >= right) {
        Prompt().MessageBox(this,
                            QStringLiteral("ライトマージン幅はレフトマージン幅より大きくしてくださ"
                                           "い。適正値に変更します。"),
                            m_strFormName + QStringLiteral("－レフトマージン幅／ライトマージン幅"),
                            PromptIcon::Warning, PromptButtons::Ok);
        SetDlgItemInt(IDC_RIGHT_MARGIN, left + 1);
        if (QWidget* edit = GetDlgItem(IDC_RIGHT_MARGIN))
            edit->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!UpdateData(true))
        return;
    StoreForm(FormIndex(m_strFormName));
    EndDialog(res::IDOK);
}

} // namespace vellmark
