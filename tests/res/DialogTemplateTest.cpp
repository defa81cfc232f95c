// SPDX-License-Identifier: Apache-2.0
// The dialog templates as data: ids, sizes, buddies and entries, and that the layouts made for
// this program keep every control inside the dialog and apart from the others.
#include "DialogTemplate.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <set>

using namespace vellmark::res;

namespace {

struct Box {
    int l, t, r, b;
};

Box BoxOf(const ControlTemplate& c) {
    const int h = c.kind == ControlKind::ComboBox ? kClosedComboHeight : c.height;
    return {c.x, c.y, c.x + c.width, c.y + h};
}

bool Overlap(const Box& a, const Box& b) {
    return a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b;
}

} // namespace

// Every dialog is found by its id and listed; the pages are children of the window, the three
// dialogs windows of their own. (Sizes and captions are data: the layout tests check what they
// give.)
TEST(DialogTemplates, AllPresentAndListed) {
    for (int id :
         {IDD_PAGE_MSW1, IDD_PAGE_MSW2, IDD_PAGE_MSW3, IDD_PAGE_MSW4, IDD_PAGE_PARAM,
          IDD_PAGE_SELECT, IDD_PAGE_FORM, IDD_FORM_SETUP, IDD_PRINTER_SELECT, IDD_ABOUTBOX}) {
        const DialogTemplate* d = FindDialogTemplate(id);
        ASSERT_NE(d, nullptr) << id;
        EXPECT_EQ(d->child, id != IDD_FORM_SETUP && id != IDD_PRINTER_SELECT && id != IDD_ABOUTBOX)
            << id;
    }
    const DialogTemplate* select = FindDialogTemplate(IDD_PRINTER_SELECT);
    const ControlTemplate* list = FindControl(*select, IDC_PRINTER_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->kind, ControlKind::ListView);
    EXPECT_TRUE(FindControl(*select, IDOK)->style & kDefault);
    EXPECT_EQ(FindDialogTemplate(102), nullptr);
    EXPECT_EQ(AllDialogTemplates().size(), 10u);
}

TEST(DialogTemplates, ControlsAreWellFormed) {
    for (const DialogTemplate* d : AllDialogTemplates()) {
        std::set<int> ids;
        const ControlTemplate* previous = nullptr;
        for (const ControlTemplate& c : d->controls) {
            SCOPED_TRACE(testing::Message() << "dialog " << d->id << " control " << c.id);
            if (c.id != kStaticId) {
                EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id";
                EXPECT_EQ(FindControl(*d, c.id), &c);
            }
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            // A dropped list may reach beyond the dialog; the closed box may not.
            EXPECT_LE(BoxOf(c).r, d->width);
            EXPECT_LE(BoxOf(c).b, d->height);
            EXPECT_EQ(c.entries.empty(), c.kind != ControlKind::ComboBox);
            // An up-down control takes the number edit before it as its buddy.
            if (c.kind == ControlKind::UpDown) {
                ASSERT_NE(previous, nullptr);
                EXPECT_EQ(previous->kind, ControlKind::NumberEdit);
            }
            EXPECT_TRUE(c.kind != ControlKind::NumberEdit || (c.style & kTabStop));
            // Radio buttons come in pairs: a first button that starts the group, then its
            // partner, and no third button after it.
            const std::size_t i = static_cast<std::size_t>(&c - d->controls.data());
            if (c.kind == ControlKind::RadioButton && (c.style & kGroup)) {
                ASSERT_LT(i + 1, d->controls.size());
                EXPECT_EQ(d->controls[i + 1].kind, ControlKind::RadioButton);
                EXPECT_FALSE(d->controls[i + 1].style & kGroup);
                EXPECT_FALSE(i + 2 < d->controls.size() &&
                             d->controls[i + 2].kind == ControlKind::RadioButton &&
                             !(d->controls[i + 2].style & kGroup));
            }
            previous = &c;
        }
    }
}

// The layouts designed here: nothing overlaps but a frame and what it encloses, and every
// control inside a frame lies wholly inside it.
TEST(DialogTemplates, DesignedLayoutsDoNotOverlap) {
    for (int id : {IDD_PAGE_PARAM, IDD_PAGE_SELECT, IDD_PAGE_FORM, IDD_FORM_SETUP}) {
        const DialogTemplate& d = *FindDialogTemplate(id);
        const auto controls = d.controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                const ControlTemplate& a = controls[i];
                const ControlTemplate& b = controls[j];
                const Box ba = BoxOf(a), bb = BoxOf(b);
                if (!Overlap(ba, bb))
                    continue;
                if (a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox) {
                    const Box& frame = a.kind == ControlKind::GroupBox ? ba : bb;
                    const Box& inner = a.kind == ControlKind::GroupBox ? bb : ba;
                    EXPECT_TRUE(inner.l >= frame.l && inner.r <= frame.r && inner.t >= frame.t &&
                                inner.b <= frame.b)
                        << "dialog " << id << ": " << a.text << " / " << b.text;
                } else {
                    ADD_FAILURE() << "dialog " << id << ": controls " << a.id << " '" << a.text
                                  << "' and " << b.id << " '" << b.text << "' overlap";
                }
            }
        }
    }
}

// The texts themselves are checked where the pages show them; an id without a text gives none.
TEST(StringTable, UnknownIdGivesNoText) {
    EXPECT_TRUE(LoadString(1).empty());
}
