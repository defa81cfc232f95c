#include "CPage_MSW3.h"

#include "ResourceIds.h"

namespace vellmark {

CPage_MSW3::CPage_MSW3()
    : CSwitchPage(res::IDD_PAGE_MSW3, 3, {1009, 1012, 1015, 1018, 1026, 1027, 1028, 1029, 1030},
                  {{1028, 3, false},
                   {1029, 4, false},
                   {1026, 7, true},
                   {1030, 8, false},
                   {1027, 2, false}}) {}

} // namespace vellmark
