// SPDX-License-Identifier: Apache-2.0
// Version information: template 100 with the program icon, run modally; only OK.
#pragma once

#include "CDialogBase.h"

namespace vellmark {

class CVersionDlg : public CDialogBase {
    Q_OBJECT
public:
    CVersionDlg();

protected:
    bool OnInitDialog() override;
};

} // namespace vellmark
