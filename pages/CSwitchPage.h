// SPDX-License-Identifier: Apache-2.0
// A memory-switch page: the eight bits of one switch, each shown as a radio pair or a check
// box; bits without a control are carried from one ParseBlock to the next unchanged. The
// switch number picks the page's template and controls from one table; switches 2 to 4 show
// nothing else, switch 1 adds its country combo (CPage_MSW1).
#pragma once

#include "CPropertyPage.h"

#include <initializer_list>
#include <vector>

namespace vellmark {

class CSwitchPage : public CPropertyPage {
    Q_OBJECT
public:
    // A control of one switch bit, in the page's order of data exchange.
    struct SwitchControl {
        int id;     // check box, or the first button of the radio pair
        int second; // the pair's second button; 0 for a check box
        int bit;    // 1..8
    };

    // The page of switch 1 to 4; extraForwarded are the page's own further controls.
    explicit CSwitchPage(int switchNumber, std::initializer_list<int> extraForwarded = {});

    void ParseBlock(const SettingsBlock& block) override;
    void BuildBlock(SettingsBlock& block) override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Hooks for the bits a page shows in a control of its own (the country combo).
    virtual void DecodeExtra() {}
    virtual void EncodeExtra() {}

    SwitchBits m_SwitchBits{};

private:
    struct Binding {
        SwitchControl control;
        int value;
    };
    const int m_nSwitch;
    std::vector<Binding> m_bindings;
};

// The pages of switches 2 to 4: MSW2 slashed zero (1-byte digits), sheet-guide paper-out
// detection, graphic dot mode, pica mode, data bits, print columns and print direction (MSW2-4
// carried); MSW3 PC mode, load position memory, sheet-feeder load codes, slashed zero (2-byte
// digits) and perforation skip (MSW3-1, -5 and -6 carried); MSW4 head idle-strike guard,
// automatic cut-position feed, cut feed amount, dot-line direction, high-speed printing, eject
// directions and sheet-guide loading.
template <int Switch> class CSwitchPageOf final : public CSwitchPage {
public:
    CSwitchPageOf() : CSwitchPage(Switch) {}
};
using CPage_MSW2 = CSwitchPageOf<2>;
using CPage_MSW3 = CSwitchPageOf<3>;
using CPage_MSW4 = CSwitchPageOf<4>;

} // namespace vellmark
