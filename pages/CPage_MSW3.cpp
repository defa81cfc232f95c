#include "CPage_MSW3.h"

#include "ResourceIds.h"

namespace vellmark {

using namespace res;

CPage_MSW3::CPage_MSW3()
    : CSwitchPage(IDD_PAGE_MSW3, 3,
                  {IDC_MSW3_2_FIRST, IDC_MSW3_2_SECOND, IDC_MSW3_3_FIRST, IDC_MSW3_3_SECOND,
                   IDC_MSW3_4_FIRST, IDC_MSW3_4_SECOND, IDC_MSW3_7_CHECK, IDC_MSW3_8_FIRST,
                   IDC_MSW3_8_SECOND},
                  {{IDC_MSW3_3_FIRST, 3, false},
                   {IDC_MSW3_4_FIRST, 4, false},
                   {IDC_MSW3_7_CHECK, 7, true},
                   {IDC_MSW3_8_FIRST, 8, false},
                   {IDC_MSW3_2_FIRST, 2, false}}) {}

} // namespace vellmark
