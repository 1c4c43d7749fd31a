#pragma once

#include <QString>

#include <optional>

// The stroke in motor pulses of a stroke length in millimetres for a
// ball-screw lead: length / lead x pulses per revolution, rounded to one
// decimal and then up to a whole pulse. Nothing when the length is empty or
// outside 0 to 600 mm, or the lead is empty or not one of the leads the
// actuators have.
std::optional<int> StrokePulse(const QString &lengthText, const QString &leadText,
                               int pulsesPerRevolution);

// The leads of the actuators: 2, 4, 6, 8 and 12 mm.
bool IsActuatorLead(int lead);

// Stroke lengths the calculator accepts, mm.
inline constexpr int kCalcStrokeMax = 600;

// Pulses per revolution of the KT-42D and of every other actuator.
inline constexpr int kPprKt42d = 192;
inline constexpr int kPprStandard = 400;
