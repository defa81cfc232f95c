#include "CSwitchPage.h"

#include "CDataExchange.h"

namespace vellmark {

CSwitchPage::CSwitchPage(int templateId, int switchNumber, std::initializer_list<int> forwardedIds,
                         std::initializer_list<SwitchControl> controls)
    : CPropertyPage(templateId, forwardedIds), m_nSwitch(switchNumber) {
    for (const SwitchControl& control : controls)
        m_bindings.push_back({control, control.check ? 0 : -1});
}

int CSwitchPage::ControlValue(int bit) const {
    for (const Binding& b : m_bindings)
        if (b.control.bit == bit)
            return b.value;
    return -1;
}

void CSwitchPage::DoDataExchange(CDataExchange& dx) {
    for (Binding& b : m_bindings) {
        if (b.control.check)
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
