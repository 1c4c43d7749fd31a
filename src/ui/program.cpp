#include "ui/program.h"

#include "app/appstate.h"
#include "app/devsetting.h"
#include "app/prompter.h"
#include "app/settingsstore.h"
#include "catalogue/catalogue.h"
#include "catalogue/deviceadopt.h"
#include "catalogue/devicedialog.h"
#include "link/commlog.h"
#include "link/commlogfile.h"
#include "link/commlogmodel.h"
#include "link/commlogwindow.h"
#include "link/controllerlink.h"
#include "link/controllermodes.h"
#include "link/frmtrance.h"
#include "operation/moveexecution.h"
#include "operation/movestate.h"
#include "operation/programgrid.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "parameters/parameterwindow.h"
#include "parameters/startupctread.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "position/positionverify.h"
#include "printing/desktopprintoutput.h"
#include "printing/printcommand.h"
#include "ui/frminputoutput.h"
#include "ui/lamp.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

Program::Program(AppState &state, SettingsStore &store, Prompter &prompter, FileDialogs &dialogs,
                 const QString &listFileDir, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_store(store)
    , m_prompter(prompter)
    , m_dialogs(dialogs)
    , m_catalogue(std::make_unique<Catalogue>(state, prompter, listFileDir))
    , m_link(std::make_unique<ControllerLink>(state, store, prompter))
    , m_modes(std::make_unique<ControllerModes>(*m_link, prompter, *this))
    , m_positionData(std::make_unique<PositionData>())
    , m_parameters(std::make_unique<ParameterSet>())
    , m_startUp(state, store, prompter, *m_catalogue)
    , m_moveState(std::make_unique<MoveState>())
    , m_commLog(std::make_unique<CommLog>())
    , m_commLogModel(std::make_unique<CommLogModel>())
    , m_commLogFile(std::make_unique<CommLogFile>())
{
    connect(m_commLog.get(), &CommLog::entryRecorded, m_commLogModel.get(), &CommLogModel::append);
    m_commLogFile->attach(*m_commLog);
    m_link->attachLog(*m_commLog);
    if (commLogToFile())
        m_commLogFile->setPath(CommLogFile::DefaultPath());
    m_startUp.hooks().windowCreated = [this](MainWindow &window) { wire(window); };
    m_startUp.hooks().readFromController = [this](MainWindow &window) {
        return readModelFromController(window);
    };
    m_startUp.hooks().selectDevice = [this](MainWindow &window) { ChangeDevice(window); };
}

Program::~Program()
{
    // The windows go before the objects they talk to.
    delete m_commLogWindow.data();
    delete m_ioWindow.data();
    delete m_parameterWindow.data();
    m_moves.reset();
    m_movePanel.reset();
    m_print.reset();
    m_printOutput.reset();
    m_verify.reset();
    m_transfer.reset();
    m_files.reset();
    m_progress.reset();
    m_window.reset();
}

MainWindow &Program::run()
{
    m_window = m_startUp.run();
    return *m_window;
}

bool Program::readModelFromController(MainWindow &window)
{
    return StartupReadFromCt(m_state, m_store, *m_catalogue, *m_link, m_prompter, *m_progress,
                             [this, &window] {
                                 window.ShowCtModelType(m_state.gDevTypeNo);
                                 window.Disp_DevType();
                                 window.ShowPulseScale();
                             })
           == 0;
}

void Program::wire(MainWindow &window)
{
    m_progress = std::make_unique<frmTrance>(&window);
    m_progress->setWindowFlag(Qt::Window);
    wireLink(window);
    wirePositions(window);
    wireMoves(window);
    wireShell(window);

    m_parameterTransfer
        = std::make_unique<ParameterTransfer>(m_state, *m_parameters, *m_link, m_prompter, *m_progress);
    QObject::connect(window.mnuShowParameta, &QAction::triggered, this, &Program::ShowParameterWindow);
    QObject::connect(window.mnuShowCommLog, &QAction::triggered, this, &Program::ShowCommLogWindow);
    wirePrinting(window);
    QObject::connect(window.mnuShowState, &QAction::triggered, this, &Program::ShowIoMonitor);

    MainWindow::Hooks &hooks = window.hooks();
    hooks.readErrorList = [this] { m_link->Get_ErrorList(); };
    hooks.closeRequest = [this](bool fromCloseBox, bool busy) {
        if (m_parameterWindow && m_parameterWindow->isBusy())
            busy = true;
        if (!(busy && fromCloseBox) && !parametersSettled())
            return false;
        return m_files->closeRequest(fromCloseBox, busy) == PositionFileCommands::CloseAnswer::Close;
    };
    QObject::connect(window.cmdChangeDev, &QPushButton::clicked, this, [this, &window] { ChangeDevice(window); });
    hooks.isPortOpen = [this] { return m_link->isPortOpen(); };
    hooks.closePort = [this] { m_link->CloseCommPort(); };
}

void Program::wireLink(MainWindow &w)
{
    ControllerLink &link = *m_link;
    connect(&link, &ControllerLink::portLampChanged, w.imgPortGreen, &Lamp::setLit);
    connect(&link, &ControllerLink::alarmFrameChanged, &w,
            [&w](bool lampOn, const QString &alarmNo, const QString &comment) {
                w.imgAlarmLed->setLit(lampOn);
                w.lblAlarmNo->setText(alarmNo);
                w.lblErrorComment->setText(comment);
            });
    connect(&link, &ControllerLink::homeLampOff, &w, [&w] { w.imgHomeGreen->setLit(false); });
    connect(&link, &ControllerLink::alarmLampsOff, &w, [this, &w] {
        m_moveState->lastOutputs = -1;
        w.imgHomeGreen->setLit(false);
        w.imgOut1Green->setLit(false);
        w.imgOut2Green->setLit(false);
        w.ShowAllPositionButtons(PositionButton::Picture::Greyed);
    });

    ControllerModes &modes = *m_modes;
    connect(w.mnuModeGaibu, &QAction::triggered, &modes, &ControllerModes::ModeGaibu);
    connect(w.mnuModeTrancefer, &QAction::triggered, &modes, &ControllerModes::ModeTrancefer);
    connect(w.mnuShowCtversion, &QAction::triggered, &modes, &ControllerModes::ShowCtVersion);
    connect(w.cmdReset, &QPushButton::clicked, &modes, &ControllerModes::AlarmReset);
    connect(&modes, &ControllerModes::versionTextChanged, &w,
            [&w](const QString &text) { w.sbPanel[1]->setText(text); });
}

void Program::wirePositions(MainWindow &w)
{
    PositionGrid &grid = *w.flgdData;
    grid.attach(m_state, *m_positionData);
    connect(w.optSutiSyori[0], &QRadioButton::toggled, &grid, [&grid](bool on) {
        if (on)
            grid.setRoundUp(true);
    });
    connect(w.optSutiSyori[1], &QRadioButton::toggled, &grid, [&grid](bool on) {
        if (on)
            grid.setRoundUp(false);
    });

    m_files = std::make_unique<PositionFileCommands>(m_state, m_prompter, m_dialogs, grid, *m_catalogue);
    PositionFileCommands &files = *m_files;
    files.setDeviceTypeLabel(w.lblDeviceType);
    files.setFileNameLabel(w.lblFileName);
    connect(w.mnuFileNew, &QAction::triggered, &files, &PositionFileCommands::fileNew);
    connect(w.mnuFileOpen, &QAction::triggered, &files, &PositionFileCommands::fileOpen);
    connect(w.cmdFileOpen, &QPushButton::clicked, &files, &PositionFileCommands::fileOpen);
    connect(w.mnuFileSave, &QAction::triggered, &files, &PositionFileCommands::fileSave);
    connect(w.mnuFileSaveAs, &QAction::triggered, &files, &PositionFileCommands::fileSaveAs);
    connect(w.cmdSaveFile, &QPushButton::clicked, &files, &PositionFileCommands::fileSaveAs);
    connect(&files, &PositionFileCommands::commandsLocked, this, [this](bool locked) {
        setCommandButtonsEnabled(!locked);
        setToolbarEnabled(!locked);
        setMenusEnabled(!locked);
    });
    connect(&files, &PositionFileCommands::deviceTypeShown, &w,
            [&w](const QString &caption, bool picture, bool oldLabel) {
                w.lblDeviceType->setText(caption);
                w.ShowFamilyPicture(picture);
                w.ShowOldTypeLabel(oldLabel);
            });
    const auto showScale = [&w](const QString &perMm, const QString &perPulse) {
        w.sbPanel[2]->setText(perMm);
        w.sbPanel[3]->setText(perPulse);
    };
    connect(&files, &PositionFileCommands::pulseScaleChanged, &w, showScale);
    // The move program is the user's: file commands and transfers only have
    // it drawn again.
    const auto repaintProgram = [&w] { w.flgdProgram->viewport()->update(); };
    connect(&files, &PositionFileCommands::programGridRefreshRequested, &w, repaintProgram);

    m_transfer = std::make_unique<PositionTransfer>(m_state, *m_positionData, grid, *m_link, *m_modes,
                                                    m_prompter, *m_progress, files, m_store, *this);
    PositionTransfer &transfer = *m_transfer;
    connect(w.cmdLoadtoCt, &QPushButton::clicked, &transfer, &PositionTransfer::LoadToCt);
    connect(w.mnuFileLoadtoCt, &QAction::triggered, &transfer, &PositionTransfer::LoadToCt);
    connect(w.cmdGetfromCt, &QPushButton::clicked, &transfer, &PositionTransfer::GetFromCt);
    connect(w.mnuFileGetfromCt, &QAction::triggered, &transfer, &PositionTransfer::GetFromCt);
    connect(&transfer, &PositionTransfer::moveDataStale, &w, [this] { m_moveState->markStale(); });
    connect(&transfer, &PositionTransfer::pulseScaleChanged, &w, showScale);
    connect(&transfer, &PositionTransfer::programGridRefreshRequested, &w, repaintProgram);

    m_verify = std::make_unique<PositionVerify>(*m_positionData, grid, transfer, files, *m_link, m_prompter,
                                                m_dialogs, *this, &w);
    PositionVerify &verify = *m_verify;
    connect(w.cmdPosiDataShogo, &QPushButton::clicked, &verify, &PositionVerify::PosiDataShogo);
    connect(w.mnuFileShogoFile, &QAction::triggered, &verify, &PositionVerify::ShogoFileMenu);
    connect(w.mnuFileShogoCt, &QAction::triggered, &verify, &PositionVerify::ShogoCtMenu);
    connect(&verify, &PositionVerify::programGridRefreshRequested, &w, repaintProgram);
}

void Program::wirePrinting(MainWindow &w)
{
    m_printOutput = std::make_unique<DesktopPrintOutput>(m_prompter, &w);
    m_print = std::make_unique<PrintCommand>(PrintCommand::Context{m_state, m_options, *m_positionData, *w.flgdData,
                                                                   *m_catalogue, *m_link, *m_progress,
                                                                   m_prompter, m_dialogs, *this, *m_printOutput});
    PrintCommand &print = *m_print;
    print.setDeviceTypeText([&w] { return w.lblDeviceType->text(); });
    connect(w.mnuFilePageSetup, &QAction::triggered, &print, &PrintCommand::PageSetup);
    connect(w.mnuFilePrint, &QAction::triggered, &print, &PrintCommand::Print);
    // Nothing in the parameter window may talk to the controller while the
    // print reads from it.
    connect(&print, &PrintCommand::running, this, [this](bool on) {
        if (m_parameterWindow)
            m_parameterWindow->setEnabled(!on);
    });
    connect(&print, &PrintCommand::repaintRequested, &w, [&w] {
        w.flgdData->viewport()->update();
        w.flgdProgram->viewport()->update();
    });
}

void Program::ShowParameterWindow()
{
    MainWindow *w = m_window.get();
    if (!m_parameterWindow) {
        m_parameterWindow = new ParameterWindow(m_state, *m_parameters, *m_catalogue, m_prompter, m_dialogs,
                                                m_parameterTransfer.get(), w);
        // Closed, the window keeps its values for the next opening.
        m_parameterWindow->setWindowFlag(Qt::Window);
        m_parameterWindow->setCommandSurface(this);
        m_parameterWindow->setDetailShow(m_options.mParaDetailShow);
        connect(m_parameterWindow, &ParameterWindow::moveDataStale, w, [this] { m_moveState->markStale(); });
        connect(m_parameterWindow, &ParameterWindow::controllerReset, w, [this, w] {
            m_moveState->lastOutputs = -1;
            w->ShowAllPositionButtons(PositionButton::Picture::Greyed);
            w->imgOut1Green->setLit(false);
            w->imgOut2Green->setLit(false);
        });
        connect(m_parameterWindow, &ParameterWindow::deviceAdopted, w, [this, w](bool longForm) {
            // A model taken from the controller is the model of the next start too.
            SaveDevSetting(m_state, m_store);
            if (longForm)
                m_files->Disp_DevType2();
            else
                w->Disp_DevType();
            w->ShowPulseScale();
            w->flgdData->RefreshMmColumn();
            w->flgdProgram->refreshHeader();
        });
    }
    m_parameterWindow->show();
    m_parameterWindow->raise();
    m_parameterWindow->activateWindow();
}

void Program::ShowCommLogWindow()
{
    if (!m_commLogWindow) {
        m_commLogWindow = new CommLogWindow(*m_commLogModel, m_prompter, m_dialogs, m_window.get());
        m_commLogWindow->setWindowFlag(Qt::Window);
        m_commLogWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_commLogWindow->show();
    m_commLogWindow->raise();
    m_commLogWindow->activateWindow();
}

CommLogWindow *Program::commLogWindow() const
{
    return m_commLogWindow.data();
}

bool Program::commLogToFile() const
{
    return m_store.readInt(SettingsKey::CommLogToFile, 0) != 0;
}

void Program::setCommLogToFile(bool on)
{
    m_store.writeInt(SettingsKey::CommLogToFile, on ? 1 : 0);
    m_commLogFile->setPath(on ? CommLogFile::DefaultPath() : QString());
}

void Program::ChangeDevice(MainWindow &w)
{
    w.cmdChangeDev->setEnabled(false);
    const std::optional<DeviceChoice> choice =
        DeviceDialog::choose(m_state, m_prompter, m_catalogue->listDir(), &w);
    if (choice && AdoptDeviceChoice(m_state, *m_catalogue, m_prompter, *choice) == 0) {
        SaveDevSetting(m_state, m_store);
        Culc_MaxPulse(m_state);
        Culc_MaxMm(m_state);
        m_files->Disp_DevType2();
        w.ShowPulseScale();
        w.flgdData->RefreshMmColumn();
        w.flgdProgram->viewport()->update();
    }
    w.cmdChangeDev->setEnabled(true);
}

bool Program::parametersSettled()
{
    if (!m_parameters->gParaChanged || !m_parameterWindow)
        return true;
    return m_parameterWindow->SaveChangesBeforeClose();
}

void Program::setCommandButtonsEnabled(bool enabled)
{
    if (!m_window)
        return;
    enabled ? m_window->CMDBTN_Yuko() : m_window->CMDBTN_Muko();
}

void Program::setToolbarEnabled(bool enabled)
{
    if (!m_window)
        return;
    enabled ? m_window->ToolBar_Yuko() : m_window->ToolBar_Muko();
}

void Program::setMenusEnabled(bool enabled)
{
    if (!m_window)
        return;
    enabled ? m_window->Menyu_Yuko() : m_window->Menyu_Muko();
}

void Program::setResetButtonEnabled(bool enabled)
{
    if (m_window)
        m_window->cmdReset->setEnabled(enabled);
}

void Program::setModeMenuEnabled(bool enabled)
{
    if (!m_window)
        return;
    enabled ? m_window->CTModeChange_Yuko() : m_window->CTModeChange_Muko();
}

void Program::setBusy(bool busy)
{
    if (m_window)
        m_window->gBusy = busy;
}

ParameterWindow *Program::parameterWindow() const
{
    return m_parameterWindow.data();
}

void Program::ShowIoMonitor()
{
    if (m_ioWindow || !m_window)
        return;
    m_ioWindow = new frmInputOutput(*m_link, m_window.get());
    m_ioWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_ioWindow->setWindowModality(Qt::ApplicationModal);
    // 500 twips right of and below the main window's corner.
    m_ioWindow->move(m_window->frameGeometry().topLeft() + QPoint(500 / 15, 500 / 15));
    setBusy(true);
    connect(m_ioWindow, &QDialog::finished, this, [this] { setBusy(false); });
    m_ioWindow->show();
}

frmInputOutput *Program::ioMonitorWindow() const
{
    return m_ioWindow.data();
}
