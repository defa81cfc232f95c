// SPDX-License-Identifier: Apache-2.0
#include "CPage_Select.h"

#include "CDataExchange.h"
#include "ResourceIds.h"
#include "Settings.h"

namespace vellmark {

using namespace res;

CPage_Select::CPage_Select()
    : CPropertyPage(IDD_PAGE_SELECT,
                    {IDC_SELECT_QUIET_SECOND, IDC_SELECT_TYPEFACE_SECOND, IDC_SELECT_QUIET_FIRST,
                     IDC_SELECT_TYPEFACE_FIRST, IDC_SELECT_PAPER_THICKNESS,
                     IDC_SELECT_PRINT_PRESSURE, IDC_SELECT_PRINT_POSITION, IDC_SELECT_REDUCTION}) {
    BindFields(Page::Select, {&m_strPaperThickness, &m_strPrintPressure, &m_strPrintPosition,
                              &m_strReduction, &m_nQuietPrint, &m_nTypeface});
}

void CPage_Select::DoDataExchange(CDataExchange& dx) {
    dx.DDX_CBString(IDC_SELECT_PRINT_PRESSURE, m_strPrintPressure);
    dx.DDV_MaxChars(m_strPrintPressure, 20);
    dx.DDX_CBString(IDC_SELECT_PRINT_POSITION, m_strPrintPosition);
    dx.DDV_MaxChars(m_strPrintPosition, 10);
    dx.DDX_CBString(IDC_SELECT_PAPER_THICKNESS, m_strPaperThickness);
    dx.DDV_MaxChars(m_strPaperThickness, 10);
    dx.DDX_CBString(IDC_SELECT_REDUCTION, m_strReduction);
    dx.DDV_MaxChars(m_strReduction, 20);
    dx.DDX_Radio(IDC_SELECT_QUIET_FIRST, m_nQuietPrint);
    dx.DDX_Radio(IDC_SELECT_TYPEFACE_FIRST, m_nTypeface);
}

} // namespace vellmark
