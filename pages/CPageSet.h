// The seven settings pages in PageOrder, as the main window owns them: created once inside the
// window's tab area, one shown at a time, parsed and built by the settings document.
#pragma once

#include "CPage_Form.h"
#include "CPage_MSW1.h"
#include "CPage_Param.h"
#include "CPage_Select.h"
#include "SettingsDocument.h"

#include <array>

namespace vellmark {

class CPageSet {
public:
    CPage_Select select;
    CPage_Form form;
    CPage_Param param;
    CPage_MSW1 msw1;
    CPage_MSW2 msw2;
    CPage_MSW3 msw3;
    CPage_MSW4 msw4;

    // The pages in PageOrder (also their tab index).
    std::array<CPropertyPage*, kPageCount> All() {
        return {&select, &form, &param, &msw1, &msw2, &msw3, &msw4};
    }

    // Creates every page inside parent, in PageOrder, with only the first one visible, and
    // hands them to the document for its builds and parses.
    void Create(QWidget* parent, SettingsDocument& doc);

    // Shows page n and hides the others.
    void ShowOnly(std::size_t n);
};

} // namespace vellmark
