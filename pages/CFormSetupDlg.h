// SPDX-License-Identifier: Apache-2.0
// Form setup dialog: edits one of the three stored forms (書式１ to 書式３). The object lives as
// long as the form page and keeps the store of the three records between the page's
// ParseBlock and BuildBlock; its window exists while it runs.
#pragma once

#include "CDialogBase.h"
#include "CLoadingPositions.h"
#include "Settings.h"

#include <QString>

#include <array>

namespace vellmark {

class CFormSetupDlg : public CDialogBase {
    Q_OBJECT
public:
    CFormSetupDlg();

    // 1 to 3 for "書式１" to "書式３", 0 for any other name.
    static int FormIndex(const QString& name);

    void SetFormName(const QString& name) { m_strFormName = name; }
    const QString& FormName() const { return m_strFormName; }

    // The fields from stored form 1 to 3, each slider at the nearest stop of its position.
    void LoadForm(int form);
    // The fields into stored form 1 to 3; separators and unassigned characters stay.
    void StoreForm(int form);
    void CopyFormsFromBlock(const SettingsBlock& block);
    void CopyFormsToBlock(SettingsBlock& block) const;
    const FormRecord& StoredForm(int form) const;

    int m_nContinuousStop = 0;
    int m_nContinuousPosition = 0;
    int m_nCutSheetStop = 0;
    int m_nCutSheetPosition = 0;
    int m_nPostcardStop = 0;
    int m_nPostcardPosition = 0;
    int m_nPageLength = 0;
    int m_nLeftMargin = 0;
    int m_nRightMargin = 0;
    int m_nCorrection = 0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    bool OnCommandNotify(int id, int code) override;
    void OnHScroll(QSlider* slider) override;
    void OnOK() override;

private:
    QString m_strFormName;
    std::array<FormRecord, 3> m_forms{};
    CLoadingPositions m_positions;
};

} // namespace vellmark
