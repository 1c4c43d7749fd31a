#pragma once

#include <QString>

#include <cstdint>

struct AppState;
class SettingsStore;
class DeviceLookup;

// The actuator setting as read from the controller (left behind by the
// actuator-setting read of the parameter transfer).
struct CtActuatorSetting
{
    int32_t type = 0;       // 0 = KT new, 1 = KT old, 2 = RW
    QString size;           // three characters
    QString speed;          // one character
    int16_t stroke = 0;
    int16_t lead = 0;
    int16_t pulse = 0;
    bool vertical = false;
};

// The form every model must have before the program takes it, whether from
// the settings or from the controller: a three-character size, a speed
// letter A to Z and a stroke of 10 to 700 mm.
bool ModelFormOk(const QString &size, const QString &speed, int stroke);

// Reads the stored model into the state. 0 when a usable model was read,
// 1 when not (wrong form, not in the catalogue, or no catalogue and a
// stored lead outside 2 to 10).
int ReadDevSetting(AppState &state, const SettingsStore &store, DeviceLookup &catalogue);

// Puts the model the program starts with on its first run into the state
// (KT new generation " 28" "L" 100 mm, lead 2, 400 pulses, vertical).
void UseFirstRunModel(AppState &state);

// Writes the current model to the store.
void SaveDevSetting(AppState &state, SettingsStore &store);

// Takes the controller's actuator setting as the current model; returns its
// type number.
int32_t SetDevFromCt(AppState &state, const CtActuatorSetting &ct);
