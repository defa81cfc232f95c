#include "CPage_MSW2.h"

#include "ResourceIds.h"

namespace vellmark {

CPage_MSW2::CPage_MSW2()
    : CSwitchPage(res::IDD_PAGE_MSW2, 2,
                  {1009, 1012, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025},
                  {{1016, 1, true},
                   {1021, 6, false},
                   {1017, 2, false},
                   {1019, 3, false},
                   {1020, 5, false},
                   {1022, 7, false},
                   {1024, 8, false}}) {}

} // namespace vellmark
