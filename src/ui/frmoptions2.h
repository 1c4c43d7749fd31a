#pragma once

#include "link/portprobe.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class SettingsStore;
struct AppOptions;
struct AppState;

// The Options dialog (`frmOptions2`): the serial port and whether it is held
// open, the pulse column of the position table, the parameter details, the
// current-down digit sent with the positions and the language, on five tabs.
// It is created for one opening with the ports already probed; OK applies
// the choice (ApplyOptions), Cancel and Close leave everything as it was.
class frmOptions2 : public QDialog
{
    Q_OBJECT
public:
    frmOptions2(AppState &state, SettingsStore &store, AppOptions &options,
                const QList<SerialPortEntry> &ports, QWidget *parent = nullptr);

    // The port numbers found available, in list order.
    const QList<int> &availablePorts() const { return m_available; }
    // The pulse column's option changed at OK in this opening.
    bool pulseDisplayChanged() const { return m_pulseChanged; }

    QTabWidget *SSTabOption = nullptr;
    // RS-232C
    QLabel *lblPortNo = nullptr;
    QComboBox *comboPortNo = nullptr;
    QCheckBox *chkPortOccupy = nullptr;
    QCheckBox *chkCommLogFile = nullptr;
    // Parameter
    QCheckBox *chkParametaShow = nullptr;
    QLabel *lblParaTyuijikou = nullptr;
    // etc: the current-down digit
    QCheckBox *chkChangeBk = nullptr;
    QRadioButton *optCurrentDown[2] = {};
    QLabel *lblBreakSet = nullptr;
    QLineEdit *txtBreakNo = nullptr;
    QToolButton *UpDown1[2] = {}; // up, down
    QLabel *lblTyuijikou = nullptr;
    // Language
    QGroupBox *framLanguege = nullptr;
    QRadioButton *optLanguege[2] = {};
    // Position display
    QCheckBox *chkDispPulsPosi = nullptr;

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdApply = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    QWidget *buildPortTab();
    QWidget *buildParameterTab();
    QWidget *buildCurrentDownTab();
    QWidget *buildLanguageTab();
    QWidget *buildPositionTab();
    void Form_Load(const QList<SerialPortEntry> &ports);
    void chkChangeBk_Click();
    void stepBreakNo(int delta);
    bool txtBreakNo_KeyPress(int key, const QString &text);
    void cmdOK_Click();

    AppState &m_state;
    SettingsStore &m_store;
    AppOptions &m_options;
    QList<int> m_available;
    bool m_pulseChanged = false;
};
