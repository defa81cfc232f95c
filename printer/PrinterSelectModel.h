// SPDX-License-Identifier: Apache-2.0
// Everything the printer selection dialog decides, without the window: discovery into rows,
// pre-selection, the automatic choice at start-up, the file-destination scan, and what OK,
// double-click and Cancel do. The dialog shows the rows, mirrors the user's selection into
// SelectRow, shows the step's message and carries out its action.
#pragma once

#include "PrintService.h"
#include "PrinterMessages.h"
#include "SelectionRules.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellmark {

inline constexpr int kPrinterSelectTemplateId = 152;
inline constexpr int kPrinterListControlId = 1069;
inline constexpr std::string_view kPrinterSelectTitle = "プリンタの選択";
inline constexpr std::string_view kColumnNameHeading = "プリンタ名";
inline constexpr std::string_view kColumnDestinationHeading = "接続先";
inline constexpr int kColumnNameWidth = 200;
inline constexpr int kColumnDestinationWidth = 90;

enum class SelectAction {
    StayOpen,    // the dialog stays (or becomes) visible
    CloseOk,     // the dialog closes with IDOK (1)
    CloseCancel, // the dialog closes with IDCANCEL (2)
    EndProgram,  // the program ends with exit status 1 once the message was shown
    ListFailed,  // after start-up the spooler's list could not be read (ListFailure says why):
                 // the dialog closes as cancelled, the current printer and settings stay
};

struct SelectStep {
    SelectAction action = SelectAction::StayOpen;
    const PrinterMessage* message = nullptr; // shown first, when set
};

class PrinterSelectModel {
public:
    static constexpr int kNoRow = -1;

    // Written by the main window; read here.
    int m_bStartupDone = 0;
    // Number of rows after the last discovery.
    int m_nPrinterCount = 0;
    // Inputs for pre-selection, outputs of OK.
    std::string m_strPrinterName;
    std::string m_strPort;
    // Output of OK beside m_strPort: the chosen row's full device URI, for showing.
    std::string m_strDeviceUri;

    // Discovery through the service, then the steps of InitWithRows. A list that could not be
    // read is no list of printers: after start-up it gives ListFailed; at start-up it ends the
    // program as an empty one does (M1), with ListFailure telling why.
    SelectStep InitDialog(PrintService& service);
    // Pre-selection, the automatic choice at start-up and the file-destination scan over the
    // given rows (already filtered and ordered). StayOpen means: show the dialog.
    SelectStep InitWithRows(std::vector<PrinterRow> rows);

    const std::vector<PrinterRow>& Rows() const { return m_rows; }
    // Why the last discovery could not read the spooler's list; empty when it was read.
    const std::string& ListFailure() const { return m_listFailure; }
    int SelectedRow() const { return m_selected; }
    // The user's selection in the list; kNoRow (or any index out of range) clears it.
    void SelectRow(int row);

    SelectStep OnOK();
    // Runs the OK procedure only when a row is selected; otherwise nothing happens.
    SelectStep OnDoubleClick();
    // Closes without any check and leaves the outputs as they are.
    SelectStep OnCancel() const { return {SelectAction::CloseCancel, nullptr}; }

private:
    std::vector<PrinterRow> m_rows;
    int m_selected = kNoRow;
    std::string m_listFailure;
};

} // namespace vellmark
