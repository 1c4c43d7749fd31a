#pragma once

#include "app/filedialogs.h"
#include "parameters/parametertransfer.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class Catalogue;
class DigitFields;
class ModelBrowser;
struct DefaultFields;
struct ModelLists;
class CommandSurface;
class ParameterTransfer;
class Prompter;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
struct AppState;
struct ParameterFields;
struct ParameterSet;

// The parameter window (`frmParameta`): the 24 parameters of the controller
// with their fields, option groups and model lists, and six commands: open
// and save a parameter file, read from and write to the controller, verify
// against a file or the controller. It is opened without blocking the main
// window and stays loaded once created; its fields keep their values.
//
// Every text comes from the string table: the controls carry their IDs as
// the dynamic properties "captionId" and "tipId" (the same as every other
// window of the program), and the window fills them itself when it loads.
//
// Main window wiring:
//   setDetailShow(mParaDetailShow)     at creation and after Options closes
//   setCommandSurface(surface)         the main window's command groups and
//                                         gBusy, locked while a command of this
//                                         window runs (so a user's close is
//                                         refused meanwhile)
//   busyChanged(bool)                  the same moment, for anything else
//   moveDataStale()                    -> gMoveDataKnown = false
//   controllerReset()                  -> grey the move buttons, output lamps dark
//   deviceAdopted(bool longForm)       -> the controller's model was taken
//                                         over: Disp_DevType (or Disp_DevType2
//                                         when longForm), ShowPulseScale,
//                                         refresh the position grid and its mm
//                                         column
class ParameterWindow : public QWidget
{
    Q_OBJECT

public:
    // transfer may be null until the controller link exists; the controller
    // commands then do nothing.
    ParameterWindow(AppState &state, ParameterSet &parameters, Catalogue &catalogue,
                    Prompter &prompter, FileDialogs &dialogs, ParameterTransfer *transfer,
                    QWidget *parent = nullptr);
    ~ParameterWindow() override;

    // The main window's option "Display or print the details for
    // parameters" (mParaDetailShow): shows or hides parameters 23 and 24.
    void setDetailShow(bool show);
    bool detailShow() const { return m_detailShow; }

    bool isBusy() const { return m_busy; }

    // The main window's command groups and gBusy, locked while a command of
    // this window runs.
    void setCommandSurface(CommandSurface *surface) { m_surface = surface; }

    // The routines of the window on the parameter set -----------------------

    // The fields into the 24 variables; 1 when a number does not fit its
    // variable (the variables are then unchanged).
    int TorikomiParaData();
    // The 24 variables into the fields.
    void Disp_ParaData();
    // 1 when a required field is empty.
    int Check_ParaDataUmu() const;
    // 1 when a value is out of range or the model is not in the catalogue;
    // fills gParaNgNo.
    int CheckParaDataValue();
    // 1 when KT new generation, size " 42" or " 20" and not "Sensor".
    int Check_VType() const;

    // The four checks that open every command that saves, sends or compares
    // the window's values, each with its message; 0 when all passed.
    int RunPreChecks();

    // The commands ----------------------------------------------------------
    void ReadParaFileProc();
    // 0 when the file was written, 1 otherwise.
    int SaveParaFileProc();
    void ParaFileShogoProc();
    void GetParametaValue();
    void ParametaWriteProc();
    void ParaCtShogoProc();

    // "Default": the device selection dialog, then every field from the
    // default-parameter list of the chosen model.
    void LoadDefoultPara();
    // "Calculate": the stroke calculator, whose result goes into txtStroke.
    void SelectDevice();

    // The main window closes while the parameters hold changes: save them
    // first? True when the close may go on (saved, or not wanted).
    bool SaveChangesBeforeClose();

    // The status label's text (lblParaWinStatus).
    void setStatusText(const QString &text);

    // The key and leave rules of the text fields.
    DigitFields &fieldRules() const { return *m_fields; }

signals:
    void busyChanged(bool busy);
    void moveDataStale();
    void controllerReset();
    void deviceAdopted(bool longForm);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLayout();
    void loadCaptions();
    void Form_Load();

    // Runs one command between ParametaCMDBTN_Muko and ParametaCMDBTN_Yuko.
    void runCommand(const std::function<void()> &body);
    void ParametaCMDBTN_Muko();
    void ParametaCMDBTN_Yuko();

    // Model lists.
    void buildFieldRules();
    void fillAllModelLists();
    ModelLists shownLists() const;
    void showLists(const ModelLists &lists);
    void showModel(const QString &size, const QString &speed, const QString &stroke);
    // The homing method as the model in the lists allows it.
    void applyHomingRule();
    void lockHoming(bool locked);
    void showDefaults(const DefaultFields &fields);
    QString modelSize() const;   // comboActSize with a two-character size's blank
    // What the fields hold, for the checks and the take-over.
    ParameterFields fields() const;
    // What the shared command sequences need of this window.
    ParameterTransfer::Hooks transferHooks();
    void onTypeSelected(int index);
    void selectType(int index);
    int selectedType() const;

    void onDefaultBoxChanged();
    void applyDetailShow();
    void markChanged();
    void setCaptionFromFileTitle(const QString &fileTitle);
    // The open dialog with the given title, then OpenParaFile (message 424
    // when it fails); nothing when cancelled or not read.
    std::optional<FileDialogs::Choice> openParaFile(int titleId);
    // The result of a verification: head, then OK or NG with the list.

public:
    // Controls (member name = object name).
    QGroupBox *framParameta = nullptr;
    QLineEdit *txtStroke = nullptr;
    QLineEdit *txtHomeOffset = nullptr;
    QLineEdit *txtHomeOsikomi = nullptr;
    QLabel *lblX5msec = nullptr;          // the unit beside txtHomeOsikomi
    QLineEdit *txtGentenModori = nullptr;
    QLineEdit *txtGentenHanten = nullptr;
    QLineEdit *txtKasokuSet1 = nullptr;
    QLineEdit *txtKasokuSet2 = nullptr;
    QLineEdit *txtKasokuSet3 = nullptr;
    QLineEdit *txtKasokuSet4 = nullptr;
    QLineEdit *txtKasokuSet5 = nullptr;
    QLineEdit *txtKasokuSet6 = nullptr;
    QLineEdit *txtKasokuSet7 = nullptr;
    QLineEdit *txtKasokuSet8 = nullptr;
    QLineEdit *txtKasokuSet9 = nullptr;
    QLineEdit *txtJog1 = nullptr;
    QLineEdit *txtJog2 = nullptr;
    QLineEdit *txtJog3 = nullptr;
    QLineEdit *txtVsiyou = nullptr;
    QLineEdit *txtLead = nullptr;
    QLineEdit *txtPulse = nullptr;
    QLineEdit *txtActuator = nullptr;
    std::array<QRadioButton *, 2> optVertical{};
    std::array<QRadioButton *, 3> optType{};
    std::array<QRadioButton *, 2> optEmgWay{};
    std::array<QRadioButton *, 2> optEmgLogic{};
    QComboBox *comboActSize = nullptr;
    QComboBox *comboActSpeed = nullptr;
    QComboBox *comboActStroke = nullptr;
    QLabel *lblEmgWay = nullptr;
    QLabel *lblEmgLogic = nullptr;
    QFrame *PictureExpPara = nullptr;
    QCheckBox *chkUseDefoult = nullptr;
    QLabel *lblDefoultPara = nullptr;
    QPushButton *cmdLoadDefoultPara = nullptr;
    QPushButton *cmdSelectDevice = nullptr;
    QLabel *lblParaWinStatus = nullptr;
    QTabWidget *ssTab2 = nullptr;
    QPushButton *cmdReadParaFile = nullptr;
    QPushButton *cmdSaveParaFile = nullptr;
    QPushButton *cmdConpareFile = nullptr;
    QPushButton *cmdParaRead = nullptr;
    QPushButton *cmdParaWrite = nullptr;
    QPushButton *cmdConpareCT = nullptr;
    // The labels of parameters 1..24 by number (index 0 unused); their object
    // names are those of the window's design: lblStroke, lblHomeOffset, ...,
    // Label1..Label3 for the jog speeds, lblVsiyou, lblLead, lblPulse,
    // lblType, lblActuator. Parameters 23 and 24 have lblEmgWay and
    // lblEmgLogic instead (their entries stay null).
    std::array<QLabel *, 25> lblParaName{};

private:
    // The text field of parameter n (1..17, 19, 20); null for the others.
    QLineEdit *textFieldOf(int number) const;

    AppState &m_state;
    ParameterSet &m_para;
    Catalogue &m_catalogue;
    Prompter &m_prompter;
    FileDialogs &m_dialogs;
    ParameterTransfer *m_transfer;
    CommandSurface *m_surface = nullptr;
    std::unique_ptr<ModelBrowser> m_browser;
    DigitFields *m_fields = nullptr;

    bool m_busy = false;
    bool m_detailShow = false;
    bool m_lastHomingSensor = false;   // the last homing-method choice
    bool m_loading = false;
};
