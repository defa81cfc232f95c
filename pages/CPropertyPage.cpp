// SPDX-License-Identifier: Apache-2.0
#include "CPropertyPage.h"

#include "ResourceIds.h"
#include "TextConvert.h"

#include <algorithm>
#include <utility>

namespace vellmark {

CPropertyPage::CPropertyPage(int templateId, std::vector<int> forwardedIds)
    : CDialogBase(templateId), m_forwarded(std::move(forwardedIds)) {}

bool CPropertyPage::IsForwarded(int id) const {
    return std::find(m_forwarded.begin(), m_forwarded.end(), id) != m_forwarded.end();
}

void CPropertyPage::WindowProc(int id, int code) {
    // A failed check moves the focus while the controls are being read, and a combo box that
    // loses it reports that; it is no change of the user's, and the rebuild in progress
    // already covers it. Raising another data check would read the failing page again and
    // show its message twice. Nor is a focus move that showing or hiding a page makes.
    if (IsForwarded(id) && !NotificationsHeld())
        SendDataCheck();
    CDialogBase::WindowProc(id, code);
}

void CPropertyPage::SendDataCheck() {
    SendCommand(res::ID_DATA_CHECK);
}

void CPropertyPage::BindFields(Page page, std::initializer_list<Member> members) {
    const Member* next = members.begin();
    for (const SettingDesc& d : AllSettings()) {
        if (d.owner != page)
            continue;
        if (next == members.end() ||
            std::holds_alternative<QString*>(*next) != (d.kind == ValueKind::Text))
            qFatal("the members of page %d do not match its settings", static_cast<int>(page));
        m_fields.push_back({d.id, *next++});
    }
    if (next != members.end())
        qFatal("page %d has more members than settings", static_cast<int>(page));
}

void CPropertyPage::ParseBlock(const SettingsBlock& block) {
    DecodeFields(block);
    UpdateData(false);
}

void CPropertyPage::BuildBlock(SettingsBlock& block) {
    UpdateData(true);
    EncodeFields(block);
}

void CPropertyPage::DecodeFields(const SettingsBlock& block) {
    for (const Field& f : m_fields) {
        if (auto* const* text = std::get_if<QString*>(&f.member)) {
            if (const auto decoded = DecodeText(block, f.id))
                **text = ToQString(*decoded);
        } else if (const auto value = DecodeInt(block, f.id)) {
            *std::get<int*>(f.member) = *value;
        }
    }
}

void CPropertyPage::EncodeFields(SettingsBlock& block) const {
    for (const Field& f : m_fields) {
        if (auto* const* text = std::get_if<QString*>(&f.member))
            EncodeText(block, f.id, ToStdString(**text));
        else
            EncodeInt(block, f.id, *std::get<int*>(f.member));
    }
}

} // namespace vellmark
