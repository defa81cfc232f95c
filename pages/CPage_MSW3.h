// Memory switch page MSW3: PC mode, remembering the load position, sheet-feeder load codes,
// slashed zero (2-byte digits) and perforation skip. MSW3-1, MSW3-5 and MSW3-6 are carried.
#pragma once

#include "CSwitchPage.h"

namespace vellmark {

class CPage_MSW3 : public CSwitchPage {
    Q_OBJECT
public:
    CPage_MSW3();
};

} // namespace vellmark
