#pragma once

#include "printing/printoutput.h"

#include <QPageLayout>
#include <QPointer>

#include <optional>

class Prompter;

// The print preview first, from which the print dialog offers the printers
// of the system and a PDF file. The page set-up chosen is kept for the run.
class DesktopPrintOutput : public PrintOutput
{
public:
    DesktopPrintOutput(Prompter &prompter, QWidget *parent);

    Result print(const PrintDocument &doc) override;
    void pageSetup() override;

private:
    Prompter &m_prompter;
    QPointer<QWidget> m_parent;
    std::optional<QPageLayout> m_layout;
    QString m_printerName;
};
