#pragma once

#include <functional>

class Catalogue;
class ControllerLink;
class Prompter;
class SettingsStore;
class ProgressSink;
struct AppState;

// The start-up's "Reading from C/T" path: the controller's actuator setting
// becomes the model of this run and is stored. The progress window (text
// 448, four steps) shows while it runs and is closed in every outcome.
//
// Returns 0 when the model was taken from the controller. Returns 1 when
// the port could not be opened, the controller did not switch to
// communication mode, its setting could not be read, or the setting has no
// usable lead or pulse count: the failure has been reported and the caller
// goes on with the offline path (ReadDevSetting and the device selection).
//
// showModel runs after the model's limits are known, where the main window
// shows it (Disp_DevType, ShowPulseScale); afterwards the caller clears
// txtDummy and starts its focus timer.
int StartupReadFromCt(AppState &state, SettingsStore &settings, Catalogue &catalogue,
                      ControllerLink &link, Prompter &prompter, ProgressSink &progress,
                      const std::function<void()> &showModel);
