#include "printing/desktopprintoutput.h"

#include "app/prompter.h"
#include "printing/printdocument.h"
#include "text/stringtable.h"

#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
constexpr int kNoPrinter = 1004;
} // namespace

DesktopPrintOutput::DesktopPrintOutput(Prompter &prompter, QWidget *parent)
    : m_prompter(prompter)
    , m_parent(parent)
{
}

PrintOutput::Result DesktopPrintOutput::print(const PrintDocument &doc)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_printerName.isEmpty())
        printer.setPrinterName(m_printerName);
    if (m_layout)
        printer.setPageLayout(*m_layout);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // The print dialog still offers a PDF file.
        m_prompter.tell(LoadText(kNoPrinter), Prompter::Icon::Information);
        printer.setOutputFormat(QPrinter::PdfFormat);
    }

    QPrintPreviewDialog preview(&printer, m_parent);
    preview.setWindowTitle(doc.title);
    // The preview draws the sheet as often as it needs; the drawing that
    // follows an accepted print dialog is the job itself.
    bool lastRendered = true;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter *target) { lastRendered = RenderPrintDocument(*target, doc); });
    if (preview.exec() != QDialog::Accepted)
        return Result::Cancelled;
    m_layout = printer.pageLayout();
    m_printerName = printer.printerName();
    if (!lastRendered || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        return Result::Failed;
    return Result::Printed;
}

void DesktopPrintOutput::pageSetup()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_printerName.isEmpty())
        printer.setPrinterName(m_printerName);
    if (m_layout)
        printer.setPageLayout(*m_layout);
    QPageSetupDialog dialog(&printer, m_parent);
    // Cancelling the page set-up is not an error: the earlier choice stays.
    if (dialog.exec() == QDialog::Accepted) {
        m_layout = printer.pageLayout();
        m_printerName = printer.printerName();
    }
}
