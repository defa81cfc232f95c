#include "CPropertyPage.h"

#include "ResourceIds.h"
#include "TextConvert.h"

#include <algorithm>

namespace vellmark {

CPropertyPage::CPropertyPage(int templateId, std::initializer_list<int> forwardedIds)
    : CDialogBase(templateId), m_forwarded(forwardedIds) {}

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

void CPropertyPage::DecodeMember(const SettingsBlock& block, Setting id, QString& member) {
    if (const auto text = DecodeText(block, id))
        member = ToQString(*text);
}

void CPropertyPage::DecodeMember(const SettingsBlock& block, Setting id, int& member) {
    if (const auto value = DecodeInt(block, id))
        member = *value;
}

void CPropertyPage::EncodeMember(SettingsBlock& block, Setting id, const QString& member) {
    const QByteArray text = member.toUtf8();
    EncodeText(block, id,
               std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

} // namespace vellmark
