// SPDX-License-Identifier: Apache-2.0
#include "PrinterSelectModel.h"

#include <utility>

namespace vellmark {

SelectStep PrinterSelectModel::InitDialog(PrintService& service) {
    DiscoveredRows found = DiscoverRows(service);
    m_listFailure = std::move(found.failure);
    if (!m_listFailure.empty() && m_bStartupDone != 0) {
        // The rows and the printer count of the last list stay: nothing was learnt.
        m_selected = kNoRow;
        return {SelectAction::ListFailed, nullptr};
    }
    return InitWithRows(std::move(found.rows));
}

SelectStep PrinterSelectModel::InitWithRows(std::vector<PrinterRow> rows) {
    m_rows = std::move(rows);
    m_selected = kNoRow;
    m_nPrinterCount = static_cast<int>(m_rows.size());
    if (m_rows.empty())
        return {SelectAction::EndProgram, &kMessageM1};

    m_selected = static_cast<int>(PreselectRow(m_rows, m_strPrinterName));

    // With one printer at start-up the choice is made without showing the dialog.
    if (m_nPrinterCount == 1 && m_bStartupDone == 0)
        return OnOK();

    if (FirstNonFileRow(m_rows) == m_rows.size())
        return {SelectAction::EndProgram, &kMessageM2};
    return {SelectAction::StayOpen, nullptr};
}

void PrinterSelectModel::SelectRow(int row) {
    m_selected = (row >= 0 && row < static_cast<int>(m_rows.size())) ? row : kNoRow;
}

SelectStep PrinterSelectModel::OnOK() {
    if (m_selected == kNoRow)
        return {SelectAction::StayOpen, &kMessageM3};

    // The outputs take the selected row before it is checked: a rejected row stays in them.
    const PrinterRow& row = m_rows[static_cast<std::size_t>(m_selected)];
    m_strPrinterName = row.name;
    m_strPort = row.destination;
    m_strDeviceUri = row.deviceUri;

    if (IsFileDestination(row.destination)) {
        if (m_rows.size() == 1)
            return {SelectAction::EndProgram, &kMessageM4};
        return {SelectAction::StayOpen, &kMessageM5};
    }
    return {SelectAction::CloseOk, nullptr};
}

SelectStep PrinterSelectModel::OnDoubleClick() {
    if (m_selected == kNoRow)
        return {SelectAction::StayOpen, nullptr};
    return OnOK();
}

} // namespace vellmark
