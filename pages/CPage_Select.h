// SPDX-License-Identifier: Apache-2.0
// Function select page (tab 機能選択): paper thickness, print pressure, print position,
// reduction, quiet printing and typeface.
#pragma once

#include "CPropertyPage.h"

#include <QString>

namespace vellmark {

class CPage_Select : public CPropertyPage {
    Q_OBJECT
public:
    CPage_Select();

    QString m_strPrintPressure;
    QString m_strPrintPosition;
    QString m_strPaperThickness;
    QString m_strReduction;
    int m_nQuietPrint = -1;
    int m_nTypeface = -1;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};

} // namespace vellmark
