// SPDX-License-Identifier: Apache-2.0
// The drop-down lists of the templates and the lists the conversions decode to must be the
// same texts in the same order: a combo can only show what a decoded value names, and the
// encoder only recognises the texts it lists.
#include "DialogTemplate.h"
#include "ResourceIds.h"
#include "Settings.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vellmark;

namespace {

std::vector<std::string_view> Listed(std::span<const std::string_view> entries) {
    return {entries.begin(), entries.end()};
}

} // namespace

TEST(ComboEntries, TemplatesListWhatTheConversionsKnow) {
    struct Combo {
        int dialog;
        int control;
        std::span<const std::string_view> entries;
    };
    const auto E = [](Setting id) { return Describe(id).entries; };
    const Combo combos[] = {
        {res::IDD_PAGE_SELECT, res::IDC_SELECT_PAPER_THICKNESS, E(Setting::PaperThickness)},
        {res::IDD_PAGE_SELECT, res::IDC_SELECT_PRINT_PRESSURE, E(Setting::PrintPressure)},
        {res::IDD_PAGE_SELECT, res::IDC_SELECT_PRINT_POSITION, E(Setting::PrintPositionAdjust)},
        {res::IDD_PAGE_SELECT, res::IDC_SELECT_REDUCTION, E(Setting::Reduction)},
        {res::IDD_PAGE_FORM, res::IDC_FORM_SELECT, E(Setting::FormSelect)},
        {res::IDD_PAGE_PARAM, res::IDC_PARAM_FONT1, E(Setting::Font1)},
        {res::IDD_PAGE_PARAM, res::IDC_PARAM_FONT2, E(Setting::Font2)},
        {res::IDD_PAGE_PARAM, res::IDC_PARAM_KANJI_TABLE, E(Setting::KanjiCodeTable)},
        {res::IDD_PAGE_PARAM, res::IDC_PARAM_AUTO_RETURN, E(Setting::AutoReturnTime)},
        {res::IDD_PAGE_MSW1, res::IDC_MSW1_COUNTRY, CountryEntries()},
    };
    int seen = 0;
    for (const Combo& c : combos) {
        const res::DialogTemplate* dialog = res::FindDialogTemplate(c.dialog);
        ASSERT_NE(dialog, nullptr) << c.dialog;
        const res::ControlTemplate* control = res::FindControl(*dialog, c.control);
        ASSERT_NE(control, nullptr) << c.dialog << "/" << c.control;
        ASSERT_EQ(control->kind, res::ControlKind::ComboBox);
        EXPECT_EQ(Listed(control->entries), Listed(c.entries)) << c.dialog << "/" << c.control;
        ++seen;
    }
    // Every combo box of every template is one of the above.
    int combosInTemplates = 0;
    for (const res::DialogTemplate* d : res::AllDialogTemplates())
        for (const res::ControlTemplate& control : d->controls)
            combosInTemplates += control.kind == res::ControlKind::ComboBox;
    EXPECT_EQ(combosInTemplates, seen);
}
