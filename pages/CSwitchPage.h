// A memory-switch page: the eight bits of one switch, each shown as a radio pair or a check
// box; bits without a control are carried from one ParseBlock to the next unchanged.
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
        int bit;    // 1..8
        bool check; // a check box rather than a radio pair
    };

    void ParseBlock(const SettingsBlock& block) override;
    void BuildBlock(SettingsBlock& block) override;

    const SwitchBits& Bits() const { return m_SwitchBits; }
    // The member of a bit's control: radio index (-1 none) or check state.
    int ControlValue(int bit) const;

protected:
    CSwitchPage(int templateId, int switchNumber, std::initializer_list<int> forwardedIds,
                std::initializer_list<SwitchControl> controls);

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

} // namespace vellmark
