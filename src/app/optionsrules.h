#pragma once

#include <QList>
#include <QString>

#include <cstdint>

class SettingsStore;
struct AppOptions;
struct AppState;

// The rules of the Options dialog, apart from its window, so that the OK
// button's steps can be run and checked without one.

// What the dialog's controls hold when OK is pressed.
struct OptionsChoice
{
    QString portText;               // the port list's text, "COM3 ..." or empty
    bool portOccupy = false;        // hold the port open for the whole run
    bool pulsePosDisp = false;      // show the pulse column
    bool paraDetailShow = false;    // show and print parameter details
    bool changeBkCd = false;        // override the current-down digit
    bool currentDownCarried = true; // "Current down is carried out" selected
    int16_t language = 1;           // 1 Japanese, 2 English
    bool commLogToFile = false;     // write the communication log to a file
};

// The language the program runs in, as the dialog offers it: 1 (Japanese)
// for a stored 1, 2 (English) for any other stored value, which is how the
// start-up chose the texts.
int16_t RunningLanguage(int16_t storedLanguage);

// The port number of a list text: the characters after "COM" read as a
// number; 0 when there is none or it is not a port (1 to 16).
int PortNoFromListText(const QString &text);

// Takes the port from the list text. 1 when the text names no port (nothing
// changes); otherwise gPortNo becomes the number, "PortNo" is stored when
// it changed and the port was found available, and the result is 0.
int ApplyPortNo(const QString &text, const QList<int> &availablePorts, AppState &state,
                SettingsStore &store);

// The OK button's steps: the port, the current-down choice, the parameter
// details, the language (remembered as gLanguageChanged, applied at the
// next start), the held port ("PortOccupy") and the pulse column ("PLSPos").
// Returns true when the pulse column's option changed in this opening.
bool ApplyOptions(const OptionsChoice &choice, const QList<int> &availablePorts, AppState &state,
                  SettingsStore &store, AppOptions &options);
