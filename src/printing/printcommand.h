#pragma once

#include "printing/frmprintselect.h"
#include "printing/printdocument.h"

#include <QObject>

#include <functional>

class Catalogue;
class CommandSurface;
class ControllerLink;
class FileDialogs;
class PositionGrid;
class PrintOutput;
class Prompter;
class ProgressSink;
struct AppOptions;
struct AppState;
struct PositionData;

// The page set-up and print commands of the main window: the selection
// dialog, the checks and reads that gather what is printed, and the sheet
// sent to the output.
class PrintCommand : public QObject
{
    Q_OBJECT
public:
    struct Context
    {
        AppState &state;
        // mParaDetailShow: whether parameters 23 and 24 are printed.
        const AppOptions &options;
        PositionData &positions;
        PositionGrid &grid;
        Catalogue &catalogue;
        ControllerLink &link;
        ProgressSink &progress;
        Prompter &prompter;
        FileDialogs &dialogs;
        CommandSurface &surface;
        PrintOutput &output;
    };

    explicit PrintCommand(const Context &context, QObject *parent = nullptr);

    // The model caption the main window shows, printed with the grid's
    // positions.
    void setDeviceTypeText(std::function<QString()> text) { m_deviceTypeText = std::move(text); }
    // The selection dialog; the desktop shows frmPrintSelect over the
    // dialog parent.
    void setSelection(std::function<PrintChoice()> selection) { m_selection = std::move(selection); }

    // Where the sheets go from now on (the desktop's preview, or a test's
    // PDF files).
    void setOutput(PrintOutput &output) { m_output = &output; }

    // The sheet of the last print that reached the output.
    const PrintDocument &lastDocument() const { return m_doc; }

public slots:
    void PageSetup();
    void Print();

    // The print sequence after the dialog: 0 when the sheet was printed, 1
    // when a check, a read or the output stopped it (the user has been
    // told).
    int PrintProc(const PrintChoice &choice);

signals:
    // The whole print is running (true) or has ended (false); the program
    // locks the windows whose commands would talk to the controller.
    void running(bool on);
    // The grids of the main window should be drawn afresh.
    void repaintRequested();

private:
    bool gatherGridPositions();
    bool gatherFilePositions(const QString &path);
    bool gatherParameters(const PrintChoice &choice);
    void lock(bool on);

    Context m_ctx;
    PrintOutput *m_output;
    std::function<QString()> m_deviceTypeText;
    std::function<PrintChoice()> m_selection;
    PrintDocument m_doc;
};
