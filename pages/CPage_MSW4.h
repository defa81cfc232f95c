// Memory switch page MSW4: head idle-strike guard, automatic cut-position feed, cut feed amount,
// dot-line direction, high-speed printing, eject directions and sheet-guide loading.
#pragma once

#include "CSwitchPage.h"

namespace vellmark {

class CPage_MSW4 : public CSwitchPage {
    Q_OBJECT
public:
    CPage_MSW4();
};

} // namespace vellmark
