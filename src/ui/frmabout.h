#pragma once

#include <QDialog>

#include <functional>

class Prompter;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class SettingsStore;
struct AppState;

// The About window (`frmAbout`): the program's name, version, description,
// disclaimer and web address, and the system-information button. On
// Windows that button starts the system's own information program; where
// there is none it shows the system information window below.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(const AppState &state, SettingsStore &store, Prompter &prompter, QWidget *parent = nullptr);

    // The text of the system information window; tests replace it.
    void setSystemInfoSource(std::function<QString()> source) { m_source = std::move(source); }

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *lblHpAddress = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

private:
    void cmdSysInfo_Click();

    SettingsStore &m_store;
    Prompter &m_prompter;
    std::function<QString()> m_source;
};

// What a support engineer asks for first: the program's version, the
// toolkit's, the operating system, the serial ports with their devices and
// adapters, and where the settings are kept, in the language of the run.
QString SystemInformationText(const SettingsStore &store);

// The system information window: the text, and a button that copies it.
class frmSysInfo : public QDialog
{
    Q_OBJECT
public:
    explicit frmSysInfo(const QString &text, QWidget *parent = nullptr);

    QPlainTextEdit *txtSysInfo = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdClose = nullptr;
};
