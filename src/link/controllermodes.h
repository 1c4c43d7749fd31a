#pragma once

#include <QObject>
#include <QString>

#include <functional>

class ControllerLink;
class CommandSurface;
class Prompter;

// The controller's modes and version, and the alarm reset: the menu
// commands of the mode menu, the version read and the Reset button of the
// alarm frame. Each runs one whole operation through the link and reports
// through the Prompter.
//
// Wiring in the main window (frmMain):
//   mnuModeGaibu       triggered -> ModeGaibu()
//   mnuModeTrancefer   triggered -> ModeTrancefer()
//   mnuShowCtversion   triggered -> ShowCtVersion()
//   cmdReset           clicked   -> AlarmReset()
//   versionTextChanged(QString)  -> panel 1 of sbStatusBar
//   CTModeChange_Muko / _Yuko are called by the move and parameter code.
class ControllerModes : public QObject
{
    Q_OBJECT

public:
    ControllerModes(ControllerLink &link, Prompter &prompter, CommandSurface &surface,
                    QObject *parent = nullptr);

    // Reads the version ("0RV") on a port the caller has opened and put into
    // communication mode. 0 = read (gCtVersion set), 1 = failed; after an
    // alarm report it clears the alarm ("0%C"). Releases the port.
    int GetVersionNo();

    // mnuShowCtversion: reads the version and shows it (601 + version +
    // 602) or that it failed (600).
    void ShowCtVersion();

    // mnuModeGaibu: asks 492 + 493, then switches the controller to its
    // external start mode ("0CM0"): 495, or 508 + 494 on failure.
    void ModeGaibu();

    // mnuModeTrancefer: asks 496 + 493, then switches to communication mode
    // ("0CM1"): 497.
    void ModeTrancefer();

    // cmdReset: clears the controller's alarm ("0%C"); on success the alarm
    // frame returns to "No Error".
    void AlarmReset();

    void CTModeChange_Muko();
    void CTModeChange_Yuko();

    // The three version characters of the last good "0RV" reply.
    QString gCtVersion;

signals:
    // The text of panel 1 of the status bar: 499 + version, or 498.
    void versionTextChanged(const QString &text);

private:
    // Locks the command buttons and toolbar, asks question + 493, runs
    // change on Yes with gBusy set, releases the port and unlocks.
    void askAndChangeMode(int question, const std::function<void()> &change);

    ControllerLink &m_link;
    Prompter &m_prompter;
    CommandSurface &m_surface;
};
