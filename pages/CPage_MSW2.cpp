#include "CPage_MSW2.h"

#include "ResourceIds.h"

namespace vellmark {

using namespace res;

CPage_MSW2::CPage_MSW2()
    : CSwitchPage(IDD_PAGE_MSW2, 2,
                  {IDC_MSW2_1_CHECK, IDC_MSW2_2_FIRST, IDC_MSW2_2_SECOND, IDC_MSW2_3_FIRST,
                   IDC_MSW2_3_SECOND, IDC_MSW2_5_FIRST, IDC_MSW2_5_SECOND, IDC_MSW2_6_FIRST,
                   IDC_MSW2_6_SECOND, IDC_MSW2_7_FIRST, IDC_MSW2_7_SECOND, IDC_MSW2_8_FIRST,
                   IDC_MSW2_8_SECOND},
                  {{IDC_MSW2_1_CHECK, 1, true},
                   {IDC_MSW2_6_FIRST, 6, false},
                   {IDC_MSW2_2_FIRST, 2, false},
                   {IDC_MSW2_3_FIRST, 3, false},
                   {IDC_MSW2_5_FIRST, 5, false},
                   {IDC_MSW2_7_FIRST, 7, false},
                   {IDC_MSW2_8_FIRST, 8, false}}) {}

} // namespace vellmark
