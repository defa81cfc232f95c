// SPDX-License-Identifier: Apache-2.0
#include "CVersionDlg.h"

#include "ProgramArt.h"
#include "ResourceIds.h"

#include <QLabel>

namespace vellmark {

CVersionDlg::CVersionDlg() : CDialogBase(res::IDD_ABOUTBOX) {}

bool CVersionDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    // The program icon at the standard icon size, in the place the template keeps for it.
    if (auto* icon = DlgItem<QLabel>(res::IDC_ABOUT_ICON))
        icon->setPixmap(ProgramIcon().pixmap(32, 32));
    return true;
}

} // namespace vellmark
