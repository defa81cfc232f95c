// SPDX-License-Identifier: Apache-2.0
#include "CPrinterSelectDlg.h"

#include "CWaitCursorService.h"
#include "ControlNotify.h"
#include "DesktopServices.h"
#include "IPrompt.h"
#include "ResourceIds.h"
#include "ShortDestination.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <cstdio>

namespace vellmark {

static_assert(res::IDD_PRINTER_SELECT == kPrinterSelectTemplateId);
static_assert(res::IDC_PRINTER_LIST == kPrinterListControlId);

namespace {

// The destination column cuts a text that does not fit in its middle, so that both the start
// and the end (the port, the queue) stay readable.
class MiddleElideDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

PromptIcon IconOf(const PrinterMessage& message) {
    return message.icon == MessageIcon::Information ? PromptIcon::Information : PromptIcon::Warning;
}

} // namespace

CPrinterSelectDlg::CPrinterSelectDlg(PrintService& service)
    : CDialogBase(res::IDD_PRINTER_SELECT), m_bStartupDone(m_select.m_bStartupDone),
      m_nPrinterCount(m_select.m_nPrinterCount), m_strPrinterName(m_select.m_strPrinterName),
      m_strPort(m_select.m_strPort), m_strDeviceUri(m_select.m_strDeviceUri), m_pService(&service) {
}

QTreeWidget* CPrinterSelectDlg::PrinterList() const {
    return DlgItem<QTreeWidget>(res::IDC_PRINTER_LIST);
}

int CPrinterSelectDlg::DoModal(QWidget* parent) {
    {
        // The wait cursor while the spooler is asked for its queues.
        const WaitCursor wait;
        m_firstStep = m_select.InitDialog(*m_pService);
    }
    // A choice made without a word needs no window: it is built only when it is to be shown,
    // or was built by an earlier run.
    if (!IsCreated() && m_firstStep.action == SelectAction::CloseOk && !m_firstStep.message) {
        setResult(res::IDOK);
        return res::IDOK;
    }
    return CDialogBase::DoModal(parent);
}

bool CPrinterSelectDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    FillList();
    Carry(m_firstStep);
    return true;
}

void CPrinterSelectDlg::FillList() {
    QTreeWidget* list = PrinterList();
    list->clear();
    list->setColumnCount(2);
    list->setHeaderLabels({ToQString(kColumnNameHeading), ToQString(kColumnDestinationHeading)});
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->header()->resizeSection(0, kColumnNameWidth);
    list->header()->resizeSection(1, kColumnDestinationWidth);
    if (!dynamic_cast<MiddleElideDelegate*>(list->itemDelegateForColumn(1)))
        list->setItemDelegateForColumn(1, new MiddleElideDelegate(list));
    // The rows come in list order (ascending by name) from the selection; the destination in
    // its short form, the full device URI as its tooltip.
    for (const PrinterRow& row : m_select.Rows()) {
        auto* item = new QTreeWidgetItem(
            list,
            {ToQString(row.name), ToQString(ShortDestination(row.destination, row.deviceUri))});
        item->setToolTip(1, ToQString(row.deviceUri.empty() ? row.destination : row.deviceUri));
    }
    // The pre-selected row is selected and focused; the list is not scrolled to it.
    const int row = m_select.SelectedRow();
    if (row != PrinterSelectModel::kNoRow) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        list->setCurrentItem(item);
        item->setSelected(true);
    }
}

void CPrinterSelectDlg::ReadSelection() {
    QTreeWidget* list = PrinterList();
    int selected = PrinterSelectModel::kNoRow;
    // With single selection at most one row is selected; the last one wins as a scan from the
    // bottom would find it first.
    for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
        if (list->topLevelItem(i)->isSelected()) {
            selected = i;
            break;
        }
    }
    m_select.SelectRow(selected);
}

bool CPrinterSelectDlg::OnCommandNotify(int id, int code) {
    if (id == res::IDC_PRINTER_LIST && code == NM_DBLCLK) {
        ReadSelection();
        Carry(m_select.OnDoubleClick());
        return true;
    }
    return false;
}

void CPrinterSelectDlg::OnOK() {
    ReadSelection();
    Carry(m_select.OnOK());
}

void CPrinterSelectDlg::Carry(const SelectStep& step) {
    // Why the spooler's list could not be read goes to the error output before the program
    // ends over it: M1 itself cannot tell a silent scheduler from a machine without printers.
    if (step.action == SelectAction::EndProgram && !m_select.ListFailure().empty())
        std::fprintf(stderr, "vellmark: %s\n", m_select.ListFailure().c_str());
    if (step.message) {
        Prompt().MessageBox(this, ToQString(step.message->text), ApplicationName(),
                            IconOf(*step.message), PromptButtons::Ok);
    }
    switch (step.action) {
    case SelectAction::StayOpen:
        return;
    case SelectAction::CloseOk:
        CDialogBase::OnOK();
        return;
    case SelectAction::CloseCancel:
        EndDialog(res::IDCANCEL);
        return;
    case SelectAction::ListFailed:
        // The dialog was never shown: the message belongs to the window that asked for it.
        Prompt().MessageBox(parentWidget() ? parentWidget() : this,
                            ToQString(res::LoadString(res::IDS_SERVER_SILENT))
                                .replace(QLatin1String("%s"), ToQString(m_pService->ServerName())),
                            ApplicationName(), PromptIcon::Warning, PromptButtons::Ok);
        EndDialog(res::IDCANCEL);
        return;
    case SelectAction::EndProgram:
        PlatformService<IProcessExit>::Get().Exit(1);
        // Reached only when the exit was replaced: leave as a cancelled choice.
        EndDialog(res::IDCANCEL);
        return;
    }
}

} // namespace vellmark
