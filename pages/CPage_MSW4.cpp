#include "CPage_MSW4.h"

#include "ResourceIds.h"

namespace vellmark {

CPage_MSW4::CPage_MSW4()
    : CSwitchPage(res::IDD_PAGE_MSW4, 4,
                  {1009, 1012, 1015, 1018, 1023, 1025, 1031, 1032, 1033, 1034, 1035, 1036, 1037,
                   1038, 1039, 1040},
                  {{1032, 2, false},
                   {1033, 3, false},
                   {1039, 8, false},
                   {1034, 4, false},
                   {1035, 5, false},
                   {1037, 7, false},
                   {1036, 6, false},
                   {1031, 1, false}}) {}

} // namespace vellmark
