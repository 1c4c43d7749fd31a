#pragma once

#include "ui/positionbutton.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>

class Lamp;
class PictureBox;
class ProgramGrid;
struct MoveState;
class PositionGrid;
class Prompter;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTabWidget;
class QTimer;
class QToolBar;
class QWidget;
class SettingsStore;
struct AppState;

// The main window (`frmMain`): the data-editing area with the position
// table, the test-operation area with the move buttons and the move program,
// the status and alarm frames, the menus, the toolbar and the status bar.
//
// Like a form of the classic controller tools, the window exposes its
// controls by their names (object name = member name; control arrays are
// member arrays with the object names name_0, name_1, ...), so that the
// command code of the other folders can be wired to them directly.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // What the window needs from parts of the program that live in other
    // folders. Each hook is optional; an unset hook is skipped.
    struct Hooks
    {
        // Load step 3: read the controller's error list (`Get_ErrorList`).
        std::function<void()> readErrorList;
        // Load step 6: size and initialise the position table grid; when
        // unset the window does it with the grid's own routines.
        std::function<void()> initPositionGrid;
        // The question before the window closes (finish, or save a changed
        // table); true when the close may go ahead. fromCloseBox is false
        // for the File menu's exit. When unset the window asks whether to
        // finish and refuses the close box while gBusy is set.
        std::function<bool(bool fromCloseBox, bool busy)> closeRequest;
        // The serial port: whether it is open, and closing it.
        std::function<bool()> isPortOpen;
        std::function<void()> closePort;
    };

    MainWindow(AppState &state, SettingsStore &store, Prompter &prompter, QWidget *parent = nullptr);
    ~MainWindow() override;

    Hooks &hooks() { return m_hooks; }

    // The load step, run once when the window is first shown.
    void Form_Load();
    // Window caption: string 479 + " Ver" + version ("KT-ED Ver1.30").
    QString TitleText() const;

    // The model label: family code, "-", size, speed, "-", stroke.
    void Disp_DevType();
    // Status-bar panels 2 and 3: the pulse scale of the current model.
    void ShowPulseScale();
    // Old-generation label and family picture of the status frame.
    void ShowOldTypeLabel(bool visible);
    void ShowFamilyPicture(bool visible);
    // Both, as a model read from the controller sets them by its type
    // number (0 KT new, 1 KT old, 2 RW; RW leaves the label as it is).
    void ShowCtModelType(int typeNo);
    // The name of the current data set (`lblFileName`).
    void SetDocName(const QString &name);

    // Empties the focus holder and moves the focus to it once (10 ms later).
    void StartFocusDummy();

    // Enable/disable groups of the command surface.
    void CMDBTN_Muko();
    void CMDBTN_Yuko();
    void ToolBar_Muko();
    void ToolBar_Yuko();
    void Menyu_Muko();
    void Menyu_Yuko();
    void CTModeChange_Muko();
    void CTModeChange_Yuko();
    void AllMenu_Muko();
    void AllMenu_Yuko();

    // The two work modes, as the mode selector switches them.
    void SetEditMode();
    void SetMoveMode();
    // All four selected-move buttons with one picture.
    void ShowAllPositionButtons(PositionButton::Picture picture);

    // The move state that Move mode shows (the last position reached and
    // the outputs reported there); without one the mode switch leaves the
    // position buttons and output lamps as they are.
    void attachMoveState(const MoveState *state) { m_moveState = state; }

    // `gBusy`: an operation with the controller is running. While it is set
    // the user cannot close the window.
    bool gBusy = false;
    // The help file (the manual's entry page), made absolute at start.
    QString helpFile = QStringLiteral("ktedhlp.html");

    // ---- Menus -------------------------------------------------------
    QMenu *mnuFile = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuFileOpen = nullptr;
    QAction *mnuFileGetfromCt = nullptr;
    QAction *mnuFileSave = nullptr;
    QAction *mnuFileSaveAs = nullptr;
    QAction *mnuFileLoadtoCt = nullptr;
    QMenu *mnuFileShogo = nullptr;
    QAction *mnuFileShogoFile = nullptr;
    QAction *mnuFileShogoCt = nullptr;
    QAction *mnuFilePageSetup = nullptr;
    QAction *mnuFilePrint = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuEditUndo = nullptr;
    QAction *mnuEditCut = nullptr;
    QAction *mnuEditCopy = nullptr;
    QAction *mnuEditPaste = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuViewToolBar = nullptr;
    QAction *mnuViewStatusBar = nullptr;
    QAction *mnuShowState = nullptr;
    QAction *mnuShowParameta = nullptr;
    QAction *mnuShowCommLog = nullptr;
    QAction *mnuShowCtversion = nullptr;
    QMenu *mnuModeChange = nullptr;
    QAction *mnuModeTrancefer = nullptr;
    QAction *mnuModeGaibu = nullptr;
    QAction *mnuViewOption = nullptr;
    QMenu *mnuWindow = nullptr;
    QAction *mnuWindowCascade = nullptr;
    QAction *mnuWindowTitleHorizontal = nullptr;
    QAction *mnuWindowTitleVertical = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpContents = nullptr;
    QAction *mnuHelpSearch = nullptr;
    QAction *mnuHelpAbout = nullptr;

    // ---- Toolbar: buttons 1 to 9 (4 and 6 are separators) -------------
    QToolBar *tbToolBar = nullptr;
    QAction *tbButton[10] = {};

    // ---- Status bar: panels 1 to 3 -------------------------------------
    QLabel *sbPanel[4] = {};

    // ---- Mode selector and logo ----------------------------------------
    QRadioButton *optModeSelect[2] = {};
    PictureBox *pictureTavLogo = nullptr;

    // ---- Status and device frame ---------------------------------------
    QGroupBox *frmTrancefer = nullptr;
    QGroupBox *framPort = nullptr;
    Lamp *imgPortGreen = nullptr;
    QGroupBox *framHome = nullptr;
    Lamp *imgHomeGreen = nullptr;
    QLabel *lblShowDev = nullptr;
    PictureBox *pictureSelectType = nullptr;
    QLabel *lblDeviceType = nullptr;
    QLabel *lblNewType = nullptr;
    QLabel *lblOldType = nullptr;
    QPushButton *cmdChangeDev = nullptr;
    QLabel *lblFilelabel = nullptr;
    QLabel *lblFileName = nullptr;

    // ---- Data-editing area ---------------------------------------------
    QGroupBox *frmDataEdit = nullptr;
    PositionGrid *flgdData = nullptr;
    QPushButton *cmdFileOpen = nullptr;
    QPushButton *cmdSaveFile = nullptr;
    QPushButton *cmdGetfromCt = nullptr;
    QPushButton *cmdLoadtoCt = nullptr;
    QPushButton *cmdPosiDataShogo = nullptr;
    QRadioButton *optSutiSyori[2] = {};

    // ---- Alarm frame ----------------------------------------------------
    QGroupBox *framAlarm = nullptr;
    Lamp *imgAlarmLed = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblAlarmNo = nullptr;
    QLabel *lblErrorComment = nullptr;
    QPushButton *cmdReset = nullptr;

    // ---- Test-operation area -------------------------------------------
    QGroupBox *frmMoveRepeat = nullptr;
    QRadioButton *optSelectMove[2] = {};
    QTabWidget *SSTab1 = nullptr;
    QWidget *pictRenzoku = nullptr;
    QWidget *pictSentaku = nullptr;
    // Continual motion
    ProgramGrid *flgdProgram = nullptr;
    QLineEdit *txtEdit2 = nullptr;
    QPushButton *cmdMove = nullptr;
    QPushButton *cmdTmpStop = nullptr;
    QPushButton *cmdStop = nullptr;
    QWidget *pictureSelectMode = nullptr;
    QRadioButton *optSelectMode[2] = {};
    QFrame *frmTimer = nullptr;
    QCheckBox *chkTimerUse = nullptr;
    QLabel *lblTimer = nullptr;
    QLineEdit *txtTimer = nullptr;
    QCheckBox *chkRepeat = nullptr;
    QPushButton *cmdDataClear = nullptr;
    QPushButton *cmdInp1toF = nullptr;
    // Selective motion
    QLabel *lblSelectPos = nullptr;
    QWidget *pictureSelectMove = nullptr;
    PositionButton *imgButton[4] = {};
    QLabel *lblSelectPosNo[4] = {};
    // Result display and outputs
    QLabel *lblKanryoiti = nullptr;
    QLabel *lblkanryoNo = nullptr;
    QFrame *framOut = nullptr;
    QLabel *lblOutput12 = nullptr;
    QLabel *lblOutLamp1 = nullptr;
    QLabel *lblOutLamp2 = nullptr;
    Lamp *imgOut1Green = nullptr;
    Lamp *imgOut2Green = nullptr;

    // ---- Focus holder -----------------------------------------------------
    // (The link owns the receive poll and the reply and move watches; the
    // moves own the blinking and the wait between moves.)
    QLineEdit *txtDummy = nullptr;
    QTimer *timerSetFocusDummy = nullptr; // focus holder, 10 ms, once

signals:
    // The window has been closed for good (after the unload step).
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QWidget *buildTopRow();
    QWidget *buildStatusFrame();
    QWidget *buildDataFrame();
    QWidget *buildAlarmFrame();
    QWidget *buildMoveFrame();
    QWidget *buildContinualPanel();
    QWidget *buildSelectivePanel();
    void buildTimers();
    void applyDesignState();

    void optModeSelect_Click(int index);
    void paintModeSelector(int selected);
    void optSelectMove_Click(int index);
    void tbToolBar_ButtonClick(QAction *button);
    void mnuViewToolBar_Click();
    void mnuViewStatusBar_Click();
    void mnuFileExit_Click();

    // The close question; false keeps the window open.
    bool QueryClose(bool byUser);
    // Writes the port and language settings and closes the other windows.
    void Form_Unload();

    AppState &m_state;
    SettingsStore &m_store;
    Prompter &m_prompter;
    Hooks m_hooks;
    bool m_closingByProgram = false;
    bool m_unloaded = false;
    const MoveState *m_moveState = nullptr;
};
