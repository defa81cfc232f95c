// SPDX-License-Identifier: Apache-2.0
// Form page (tab 書式設定): the block's own loading positions (each with a slider of ten fixed
// stops that follows its edit), page length and cut-sheet position correction, the choice of
// stored form, and the button that opens the form setup dialog on the chosen stored form.
#pragma once

#include "CFormSetupDlg.h"
#include "CLoadingPositions.h"
#include "CPropertyPage.h"
#include "ResourceIds.h"

#include <QString>

namespace vellmark {

class CPage_Form : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int IDC_FORM_BUTTON = res::IDC_FORM_BUTTON;
    static constexpr int IDC_FORM_SELECT = res::IDC_FORM_SELECT;

    CPage_Form();

    void ParseBlock(const SettingsBlock& block) override;
    void BuildBlock(SettingsBlock& block) override;

    // Label and enabled state of the form button from the selected form name; every parse
    // runs it.
    void RefreshFormButton();
    CFormSetupDlg& FormSetupDialog() { return m_dlgFormSetup; }

    int m_nContinuousStop = -1;
    int m_nContinuousPosition = -1;
    int m_nCutSheetStop = -1;
    int m_nCutSheetPosition = -1;
    int m_nPostcardStop = -1;
    int m_nPostcardPosition = -1;
    QString m_strFormName;
    int m_nPageLength = -1;
    int m_nCorrection = -1;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    bool OnCommandNotify(int id, int code) override;
    void OnHScroll(QSlider* slider) override;

private:
    void OnChangeClamped(int id, const EditRange& range);
    void OnFormButton();

    CFormSetupDlg m_dlgFormSetup;
    CLoadingPositions m_positions;
};

} // namespace vellmark
