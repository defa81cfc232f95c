// Memory switch page MSW2: slashed zero (1-byte digits), sheet-guide paper-out detection, graphic
// dot mode, pica mode, data bits, print columns and print direction. MSW2-4 is carried.
#pragma once

#include "CSwitchPage.h"

namespace vellmark {

class CPage_MSW2 : public CSwitchPage {
    Q_OBJECT
public:
    CPage_MSW2();
};

} // namespace vellmark
