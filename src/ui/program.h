#pragma once

#include "app/appoptions.h"
#include "link/commandsurface.h"
#include "ui/startup.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Catalogue;
class CommLog;
class CommLogFile;
class CommLogModel;
class CommLogWindow;
class ControllerLink;
class ControllerModes;
class FileDialogs;
class MainWindow;
class MoveExecution;
class MovePanel;
class ParameterSet;
class ParameterTransfer;
class ParameterWindow;
class PositionFileCommands;
class PositionTransfer;
class PositionVerify;
class PrintCommand;
class PrintOutput;
class Prompter;
class SettingsStore;
class frmInputOutput;
class frmTrance;
class HelpWindow;
struct AppState;
struct MoveState;
struct PositionData;

// The whole program put together: the catalogue, the link to the
// controller, the position and parameter commands, and the main window
// wired to all of them. main() builds one with the desktop message and
// file-dialog services; the end-to-end tests build one with scripted ones.
class Program : public QObject, public CommandSurface
{
    Q_OBJECT
public:
    Program(AppState &state, SettingsStore &store, Prompter &prompter, FileDialogs &dialogs,
            const QString &listFileDir, QObject *parent = nullptr);
    ~Program() override;

    // The start-up, whose hooks a caller may still change before run().
    StartUp &startUp() { return m_startUp; }

    // Runs the start-up; the main window is shown and waits for the user.
    MainWindow &run();

    MainWindow *window() const { return m_window.get(); }
    Catalogue &catalogue() { return *m_catalogue; }
    ControllerLink &link() { return *m_link; }
    ControllerModes &modes() { return *m_modes; }
    PositionData &positionData() { return *m_positionData; }
    PositionFileCommands *fileCommands() const { return m_files.get(); }
    PositionTransfer *positionTransfer() const { return m_transfer.get(); }
    PositionVerify *positionVerify() const { return m_verify.get(); }
    ParameterSet &parameters() { return *m_parameters; }
    ParameterWindow *parameterWindow() const;
    frmTrance *progressWindow() const { return m_progress.get(); }
    MoveState &moveState() { return *m_moveState; }
    MoveExecution *moves() const { return m_moves.get(); }
    PrintCommand *printCommand() const { return m_print.get(); }

    // Opens the parameter window (View menu), or raises it when open.
    void ShowParameterWindow();
    // Opens the I/O monitor (View menu) modally; gBusy stays set until it
    // has closed.
    void ShowIoMonitor();
    frmInputOutput *ioMonitorWindow() const;

    // The main window's "Change" button: the device selection dialog, then
    // the chosen model applied, stored and shown.
    void ChangeDevice(MainWindow &window);

    // The options of this run that the Options dialog sets.
    AppOptions &options() { return m_options; }
    // The View menu's Options command: the dialog, then what its choice
    // changes in the windows (the pulse column, the parameter details, the
    // current-down digit) and the note that a new language needs a restart.
    void ShowOptions();
    // The Help menu: the manual on its contents or its search (message 491
    // when it cannot be shown), and the About window.
    void ShowHelpContents();
    void ShowHelpSearch();
    void ShowAbout();
    HelpWindow *helpWindow() const;

    // The communication log: recorded from the start, shown by its window
    // (View menu), written to a file when the setting asks for it.
    CommLog &commLog() { return *m_commLog; }
    CommLogModel &commLogModel() { return *m_commLogModel; }
    CommLogWindow *commLogWindow() const;
    void ShowCommLogWindow();
    // Stores the log-file setting and starts or stops the file at once.
    void setCommLogToFile(bool on);
    bool commLogToFile() const;

    // CommandSurface: the main window's command groups and busy flag.
    void setCommandButtonsEnabled(bool enabled) override;
    void setToolbarEnabled(bool enabled) override;
    void setMenusEnabled(bool enabled) override;
    void setResetButtonEnabled(bool enabled) override;
    void setModeMenuEnabled(bool enabled) override;
    void setBusy(bool busy) override;

private:
    void wire(MainWindow &window);
    void wireLink(MainWindow &window);
    void wirePositions(MainWindow &window);
    void wireMoves(MainWindow &window);   // movewiring.cpp
    void wirePrinting(MainWindow &window);
    void wireShell(MainWindow &window);
    // Hands the options to the parts that read them.
    void applyOptions();
    // The help window on the contents (or the search); false when the
    // manual cannot be shown.
    bool openHelp(bool search);
    bool readModelFromController(MainWindow &window);
    // Closing with changed parameters: save them first? False to stay.
    bool parametersSettled();

    AppState &m_state;
    SettingsStore &m_store;
    Prompter &m_prompter;
    FileDialogs &m_dialogs;
    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<ControllerLink> m_link;
    std::unique_ptr<ControllerModes> m_modes;
    std::unique_ptr<PositionData> m_positionData;
    std::unique_ptr<ParameterSet> m_parameters;
    AppOptions m_options;
    StartUp m_startUp;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<frmTrance> m_progress;
    std::unique_ptr<PositionFileCommands> m_files;
    std::unique_ptr<PositionTransfer> m_transfer;
    std::unique_ptr<PositionVerify> m_verify;
    std::unique_ptr<ParameterTransfer> m_parameterTransfer;
    QPointer<ParameterWindow> m_parameterWindow;
    QPointer<HelpWindow> m_helpWindow;
    std::unique_ptr<MoveState> m_moveState;
    std::unique_ptr<MovePanel> m_movePanel;
    std::unique_ptr<MoveExecution> m_moves;
    std::unique_ptr<PrintOutput> m_printOutput;
    std::unique_ptr<PrintCommand> m_print;
    QPointer<frmInputOutput> m_ioWindow;
    std::unique_ptr<CommLog> m_commLog;
    std::unique_ptr<CommLogModel> m_commLogModel;
    std::unique_ptr<CommLogFile> m_commLogFile;
    QPointer<CommLogWindow> m_commLogWindow;
};
