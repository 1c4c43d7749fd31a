#pragma once

#include "catalogue/devicechoice.h"
#include "catalogue/modelbrowser.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct AppState;

// The device selection dialog (`frmDevice2`): family, generation, size,
// speed, stroke and, where the model lets the user choose, the homing
// method. It starts from the model in use and browses the catalogue on its
// own copy, so neither browsing nor Cancel changes anything; OK returns the
// choice as a value once the catalogue lists it, and otherwise says why and
// stays open.
class DeviceDialog : public QDialog
{
    Q_OBJECT
public:
    DeviceDialog(const AppState &model, Prompter &prompter, const QString &listDir,
                 QWidget *parent = nullptr);

    // Shows the dialog modally: the chosen model, or nothing after Cancel.
    static std::optional<DeviceChoice> choose(const AppState &model, Prompter &prompter,
                                              const QString &listDir, QWidget *parent);

    // The choice as the controls show it.
    DeviceChoice currentChoice() const;

    std::array<QRadioButton *, 2> optKtSelect{};
    QGroupBox *framNewOrOld = nullptr;
    QCheckBox *chkNewOrOld = nullptr;
    QComboBox *comboDeviceSize = nullptr;
    QComboBox *comboDeviceSpeed = nullptr;
    QComboBox *comboDeviceStroke = nullptr;
    QLabel *lblHomeMethod = nullptr;
    std::array<QRadioButton *, 2> optHomeMethod{};
    QPushButton *cmdDeviceSet = nullptr;
    QPushButton *cmdDeviceCancel = nullptr;

private:
    void buildControls();
    void loadModel();
    void familyChanged();
    void showLists(const ModelLists &lists);
    ModelLists shown() const;
    void refreshHoming();
    void setHomingLocked(bool locked);
    void onOk();

    const AppState m_model;
    Prompter &m_prompter;
    ModelBrowser m_browser;
    bool m_filling = false;
};
