// SPDX-License-Identifier: Apache-2.0
// Parameter page (tab パラメータ設定): centering positions, kanji code table, sheet-guide load
// time, automatic return time, fonts and postcard mode.
//
// A centering value of 1 to 6 typed by the user is let stand, since it may be the first digit
// of 10 to 68, and marked pending; the main window refuses to save or send while a mark is
// pending and runs the centering check of that edit instead.
#pragma once

#include "CPropertyPage.h"
#include "ResourceIds.h"

#include <QString>

namespace vellmark {

class CPage_Param : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int IDC_CUT_CENTERING = res::IDC_PARAM_CUT_CENTERING;
    static constexpr int IDC_CONT_CENTERING = res::IDC_PARAM_CONT_CENTERING;
    static constexpr int IDC_LOAD_TIME = res::IDC_PARAM_LOAD_TIME;

    CPage_Param();

    void ParseBlock(const SettingsBlock& block) override;

    int CutSheetPending() const { return m_bCutSheetPending; }
    int ContinuousPending() const { return m_bContinuousPending; }
    // Tell the user the centering value is out of range, put 10 into the edit and move the
    // focus there.
    void CheckCutSheetCentering();
    void CheckContinuousCentering();

    QString m_strFont1;
    QString m_strFont2;
    QString m_strKanjiTable;
    int m_nContinuousCentering = -1;
    int m_nCutSheetCentering = -1;
    int m_nLoadTime = -1;
    QString m_strAutoReturn;
    int m_nPostcardMode = -1;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    bool OnCommandNotify(int id, int code) override;

private:
    void OnChangeCentering(int id, int& pending);
    void OnChangeLoadTime();
    void CenteringCheck(int id, int textId, int captionId);

    int m_bCutSheetPending = 0;
    int m_bContinuousPending = 0;
};

} // namespace vellmark
