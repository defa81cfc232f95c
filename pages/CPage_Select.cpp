#include "CPage_Select.h"

#include "CDataExchange.h"
#include "ResourceIds.h"
#include "Settings.h"

namespace vellmark {
CPage_Select::CPage_Select()
    : CPropertyPage(res::IDD_PAGE_SELECT, {1012, 1015, 1043, 1044, 1045, 1046, 1047, 1057}) {}

void CPage_Select::DoDataExchange(CDataExchange& dx) {
    dx.DDX_CBString(1046, m_strPrintPressure);
    dx.DDV_MaxChars(m_strPrintPressure, 20);
    dx.DDX_CBString(1047, m_strPrintPosition);
    dx.DDV_MaxChars(m_strPrintPosition, 10);
    dx.DDX_CBString(1045, m_strPaperThickness);
    dx.DDV_MaxChars(m_strPaperThickness, 10);
    dx.DDX_CBString(1057, m_strReduction);
    dx.DDV_MaxChars(m_strReduction, 20);
    dx.DDX_Radio(1043, m_nQuietPrint);
    dx.DDX_Radio(1044, m_nTypeface);
}

void CPage_Select::ParseBlock(const SettingsBlock& block) {
    DecodeMember(block, Setting::PaperThickness, m_strPaperThickness);
    DecodeMember(block, Setting::PrintPressure, m_strPrintPressure);
    DecodeMember(block, Setting::PrintPositionAdjust, m_strPrintPosition);
    DecodeMember(block, Setting::Reduction, m_strReduction);
    DecodeMember(block, Setting::QuietPrint, m_nQuietPrint);
    DecodeMember(block, Setting::Typeface, m_nTypeface);
    UpdateData(false);
}

void CPage_Select::BuildBlock(SettingsBlock& block) {
    UpdateData(true);
    EncodeMember(block, Setting::PaperThickness, m_strPaperThickness);
    EncodeMember(block, Setting::PrintPressure, m_strPrintPressure);
    EncodeMember(block, Setting::PrintPositionAdjust, m_strPrintPosition);
    EncodeMember(block, Setting::Reduction, m_strReduction);
    EncodeInt(block, Setting::QuietPrint, m_nQuietPrint);
    EncodeInt(block, Setting::Typeface, m_nTypeface);
}

} // namespace vellmark
