#pragma once

#include "app/devsetting.h"

#include <QString>

class ControllerLink;
class Prompter;
struct AppState;

// The controller's own copy of the actuator setting: the model, the type,
// the lead, the pulses per revolution and the homing method, kept in its
// parameter blocks "14", "13" and "11". Reading it lets the program compare
// the controller's actuator with the one selected on the PC before data
// go to or come from the controller.

// The model text of the setting: size + speed + "-" + stroke as three
// digits, e.g. "E35L-050" or " 28L-100" (gCtActuator).
QString CtActuatorText(const CtActuatorSetting &ct);

// Decodes the model and type from the reply to "0RD14": size = B1 in
// decimal, speed = the character B2, stroke = B3B4, type = B5. An "E" speed
// marks the E size ("E" + size, speed "L"); a two-character size gains its
// leading blank. False when the bytes are not hex or do not fit.
bool DecodeCtModel(const QString &reply, CtActuatorSetting &ct);

// Opens the port, puts the controller into communication mode, reads blocks
// "14", "13" and "11" (5000 ms each) into ct and releases the port in every
// case. 0 on success; 1 when a transaction failed (reported by
// the link) or a reply held no usable data (reported here as a
// communication error).
int ReadCtActuatorSetting(ControllerLink &link, Prompter &prompter, CtActuatorSetting &ct);

// 1 when the controller's setting differs from the PC's model in size,
// speed, stroke, type, pulses, lead or mounting; else 0.
int CompareActuatorSetting(const AppState &state, const CtActuatorSetting &ct);

// Whether the setting can become the PC's model: a lead or pulse count of 0
// would make every conversion between pulses and millimetres divide by 0.
bool CtSettingUsable(const CtActuatorSetting &ct);
