// SPDX-License-Identifier: Apache-2.0
#include "CSwitchPage.h"

#include "CDataExchange.h"
#include "ResourceIds.h"

#include <span>

namespace vellmark {
namespace {

using namespace res;
using Control = CSwitchPage::SwitchControl;

constexpr Control kMsw1[] = {{IDC_MSW1_8_FIRST, IDC_MSW1_8_SECOND, 8},
                             {IDC_MSW1_6_FIRST, IDC_MSW1_6_SECOND, 6},
                             {IDC_MSW1_5_FIRST, IDC_MSW1_5_SECOND, 5},
                             {IDC_MSW1_7_FIRST, IDC_MSW1_7_SECOND, 7},
                             {IDC_MSW1_4_FIRST, IDC_MSW1_4_SECOND, 4}};
constexpr Control kMsw2[] = {{IDC_MSW2_1_CHECK, 0, 1},
                             {IDC_MSW2_6_FIRST, IDC_MSW2_6_SECOND, 6},
                             {IDC_MSW2_2_FIRST, IDC_MSW2_2_SECOND, 2},
                             {IDC_MSW2_3_FIRST, IDC_MSW2_3_SECOND, 3},
                             {IDC_MSW2_5_FIRST, IDC_MSW2_5_SECOND, 5},
                             {IDC_MSW2_7_FIRST, IDC_MSW2_7_SECOND, 7},
                             {IDC_MSW2_8_FIRST, IDC_MSW2_8_SECOND, 8}};
constexpr Control kMsw3[] = {{IDC_MSW3_3_FIRST, IDC_MSW3_3_SECOND, 3},
                             {IDC_MSW3_4_FIRST, IDC_MSW3_4_SECOND, 4},
                             {IDC_MSW3_7_CHECK, 0, 7},
                             {IDC_MSW3_8_FIRST, IDC_MSW3_8_SECOND, 8},
                             {IDC_MSW3_2_FIRST, IDC_MSW3_2_SECOND, 2}};
constexpr Control kMsw4[] = {
    {IDC_MSW4_2_FIRST, IDC_MSW4_2_SECOND, 2}, {IDC_MSW4_3_FIRST, IDC_MSW4_3_SECOND, 3},
    {IDC_MSW4_8_FIRST, IDC_MSW4_8_SECOND, 8}, {IDC_MSW4_4_FIRST, IDC_MSW4_4_SECOND, 4},
    {IDC_MSW4_5_FIRST, IDC_MSW4_5_SECOND, 5}, {IDC_MSW4_7_FIRST, IDC_MSW4_7_SECOND, 7},
    {IDC_MSW4_6_FIRST, IDC_MSW4_6_SECOND, 6}, {IDC_MSW4_1_FIRST, IDC_MSW4_1_SECOND, 1}};

struct SwitchPageLayout {
    int templateId;
    std::span<const Control> controls;
};
constexpr SwitchPageLayout kLayouts[] = {
    {IDD_PAGE_MSW1, kMsw1}, {IDD_PAGE_MSW2, kMsw2}, {IDD_PAGE_MSW3, kMsw3}, {IDD_PAGE_MSW4, kMsw4}};

const SwitchPageLayout& LayoutOf(int switchNumber) {
    return kLayouts[static_cast<std::size_t>(switchNumber - 1)];
}

// Every button and check box of the page forwards its notifications, and so do the extras.
std::vector<int> ForwardedIds(int switchNumber, std::initializer_list<int> extra) {
    std::vector<int> ids(extra);
    for (const Control& c : LayoutOf(switchNumber).controls) {
        ids.push_back(c.id);
        if (c.second != 0)
            ids.push_back(c.second);
    }
    return ids;
}

} // namespace

CSwitchPage::CSwitchPage(int switchNumber, std::initializer_list<int> extraForwarded)
    : CPropertyPage(LayoutOf(switchNumber).templateId, ForwardedIds(switchNumber, extraForwarded)),
      m_nSwitch(switchNumber) {
    for (const SwitchControl& control : LayoutOf(switchNumber).controls)
        m_bindings.push_back({control, control.second == 0 ? 0 : -1});
}

void CSwitchPage::DoDataExchange(CDataExchange& dx) {
    for (Binding& b : m_bindings) {
        if (b.control.second == 0)
            dx.DDX_Check(b.control.id, b.value);
        else
            dx.DDX_Radio(b.control.id, b.value);
    }
}

void CSwitchPage::ParseBlock(const SettingsBlock& block) {
    m_SwitchBits = DecodeSwitch(block, m_nSwitch);
    for (Binding& b : m_bindings)
        b.value = m_SwitchBits[static_cast<std::size_t>(b.control.bit - 1)];
    DecodeExtra();
    UpdateData(false);
}

void CSwitchPage::BuildBlock(SettingsBlock& block) {
    UpdateData(true);
    // A pair with no button checked (only before the first ParseBlock) keeps its bit.
    for (const Binding& b : m_bindings)
        if (b.value == 0 || b.value == 1)
            m_SwitchBits[static_cast<std::size_t>(b.control.bit - 1)] = b.value;
    EncodeExtra();
    EncodeSwitch(block, m_nSwitch, m_SwitchBits);
}

} // namespace vellmark
