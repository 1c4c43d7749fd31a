#pragma once

#include <QString>

// An actuator model as the user chose it in the device selection dialog:
// family, generation, size, speed, stroke and whether it is a V-type model.
// It is only a choice: nothing of the model in use changes until the choice
// is applied (AdoptDeviceChoice).
struct DeviceChoice
{
    QString family = QStringLiteral("KT");  // "KT" or "RW"
    bool isNewType = true;                  // KT new generation (false for RW)
    QString size;                           // three characters, e.g. " 28"
    QString speed;                          // one letter
    int stroke = 0;                         // mm
    bool vType = false;                     // V-type model (homing by sensor)

    bool isKt() const { return family == QLatin1String("KT"); }
    bool operator==(const DeviceChoice &) const = default;
};
