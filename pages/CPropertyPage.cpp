#include "CPropertyPage.h"

#include "ResourceIds.h"

#include <algorithm>

namespace vellmark {

CPropertyPage::CPropertyPage(int templateId, std::initializer_list<int> forwardedIds)
    : CDialogBase(templateId), m_forwarded(forwardedIds) {}

bool CPropertyPage::IsForwarded(int id) const {
    return std::find(m_forwarded.begin(), m_forwarded.end(), id) != m_forwarded.end();
}

void CPropertyPage::WindowProc(int id, int code) {
    if (IsForwarded(id))
        SendDataCheck();
    CDialogBase::WindowProc(id, code);
}

void CPropertyPage::SendDataCheck() { SendCommand(res::ID_DATA_CHECK); }

} // namespace vellmark
