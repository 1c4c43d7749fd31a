#pragma once

class QWidget;
struct PrintDocument;

// Where a composed sheet goes. The desktop build shows the print preview
// and the print dialog (the system's printers, or a PDF file); tests write
// PDF files and read their text back.
class PrintOutput
{
public:
    enum class Result {
        Printed,    // the sheet went to the printer or the file
        Cancelled,  // the user closed the preview or the print dialog
        Failed,     // the printer or the file refused the job
    };

    virtual ~PrintOutput() = default;

    virtual Result print(const PrintDocument &doc) = 0;

    // The page set-up; what is chosen applies to the prints of this run.
    virtual void pageSetup() = 0;
};
