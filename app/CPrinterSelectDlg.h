// SPDX-License-Identifier: Apache-2.0
// The printer selection dialog (template 152): lists the usable printers of the model with
// their destinations, pre-selects the current one, and hands the chosen printer's name and
// destination to the main window. What it decides comes from PrinterSelectModel; this class
// shows the rows, reads the user's selection and carries out each step (message, close, end of
// the program).
//
// How the main window uses it (one object for the window's whole life):
//   CPrinterSelectDlg m_printerDlg{service};
//   m_printerDlg.m_bStartupDone = 0;                  // 1 once the window has started up
//   m_printerDlg.m_strPrinterName = currentPrinter;   // pre-selection; empty at start-up
//   m_printerDlg.m_strPort = currentPort;
//   if (m_printerDlg.DoModal(this) == res::IDOK) { ... m_strPrinterName, m_strPort ... }
//   m_printerDlg.m_nPrinterCount                      // rows of the last run: switch enabled at 2+
//
// DoModal returns IDOK (1) when a usable printer was chosen and IDCANCEL (2) when the user
// cancelled or closed the dialog (the outputs then stay as they are, a rejected "FILE:" row
// included). With one usable printer while m_bStartupDone is 0 it chooses that printer without
// ever being shown or built. When no usable printer exists, or every one prints to a file, or the
// only one prints to a file at start-up, it shows its message and ends the process with status 1
// through the process exit service; it returns (IDCANCEL) only when a test overrode that exit.
#pragma once

#include "CDialogBase.h"
#include "PrintService.h"
#include "PrinterSelectModel.h"

#include <string>

class QTreeWidget;

namespace vellmark {

class CPrinterSelectDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CPrinterSelectDlg(PrintService& service);

    // The service whose queues the next run lists.
    void SetPrintService(PrintService& service) { m_pService = &service; }

    // Asks the spooler for its queues, then runs the dialog as CDialogBase::DoModal does. A run
    // that chooses without ever showing the dialog (one printer at start-up) builds no window.
    int DoModal(QWidget* parent);

private:
    PrinterSelectModel m_select; // holds the four values below

public:
    // Input: 0 while the main window starts up, 1 afterwards. Only read here.
    int& m_bStartupDone;
    // Output: the number of rows of the last run.
    int& m_nPrinterCount;
    // Input (the row to pre-select) and output (the chosen row's name).
    std::string& m_strPrinterName;
    // Input (not used) and output (the chosen row's destination).
    std::string& m_strPort;
    // Output beside m_strPort: the chosen row's full device URI (the status line's tooltip).
    std::string& m_strDeviceUri;

    // The list control 1069, once the dialog has run.
    QTreeWidget* PrinterList() const;

protected:
    bool OnInitDialog() override;
    bool OnCommandNotify(int id, int code) override;
    void OnOK() override;

private:
    void FillList();
    // Mirrors the list's selected row into the selection.
    void ReadSelection();
    // Shows the step's message, then closes, stays open or ends the program.
    void Carry(const SelectStep& step);

    PrintService* m_pService;
    SelectStep m_firstStep; // what the spooler's list decided, for OnInitDialog
};

} // namespace vellmark
