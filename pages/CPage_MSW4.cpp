#include "CPage_MSW4.h"

#include "ResourceIds.h"

namespace vellmark {

using namespace res;

CPage_MSW4::CPage_MSW4()
    : CSwitchPage(IDD_PAGE_MSW4, 4,
                  {IDC_MSW4_1_FIRST, IDC_MSW4_1_SECOND, IDC_MSW4_2_FIRST, IDC_MSW4_2_SECOND,
                   IDC_MSW4_3_FIRST, IDC_MSW4_3_SECOND, IDC_MSW4_4_FIRST, IDC_MSW4_4_SECOND,
                   IDC_MSW4_5_FIRST, IDC_MSW4_5_SECOND, IDC_MSW4_6_FIRST, IDC_MSW4_6_SECOND,
                   IDC_MSW4_7_FIRST, IDC_MSW4_7_SECOND, IDC_MSW4_8_FIRST, IDC_MSW4_8_SECOND},
                  {{IDC_MSW4_2_FIRST, 2, false},
                   {IDC_MSW4_3_FIRST, 3, false},
                   {IDC_MSW4_8_FIRST, 8, false},
                   {IDC_MSW4_4_FIRST, 4, false},
                   {IDC_MSW4_5_FIRST, 5, false},
                   {IDC_MSW4_7_FIRST, 7, false},
                   {IDC_MSW4_6_FIRST, 6, false},
                   {IDC_MSW4_1_FIRST, 1, false}}) {}

} // namespace vellmark
