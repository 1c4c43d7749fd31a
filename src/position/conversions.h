#pragma once

#include <QString>

struct AppState;

// Conversions between motor pulses and millimetres for the selected model,
// and the model's limits. They assume gDevLead and gDevPPR are non-zero.

// gMaxPulse from gDevStroke, gDevLead and gDevPPR.
void Culc_MaxPulse(AppState &state);
// gMaxMm from gMaxPulse, truncated to 0.001 mm.
void Culc_MaxMm(AppState &state);
// The largest pulse position of any stroke, lead and pulses per revolution.
double Culc_DevMaxPulse(double stroke, double lead, double ppr);

// The two status-bar texts of the pulse scale ("1mm = 66.667Pulse" and
// "1Pulse= 0.015mm" and their Japanese forms).
struct PulseScaleTexts
{
    QString perMm;     // status-bar panel 2
    QString perPulse;  // status-bar panel 3
};
PulseScaleTexts ShowPulseScale(const AppState &state);

// Millimetres of a pulse count: the millimetres per pulse are worked out
// first and then multiplied, without rounding.
double PulseToMm(const AppState &state, double pulses);

// The whole number of pulses nearest to a millimetre value; a value exactly
// half-way between two pulses goes to the even one.
double MmToPulse(const AppState &state, double mm);

// How a typed millimetre value that falls exactly half-way between two
// pulses is moved onto the pulse grid. Every other fraction goes to the
// nearer pulse either way.
enum class MmRounding { Down = 0, Up = 1 };

// The millimetre value of the pulse a typed millimetre value is moved to.
// The fraction of a pulse is judged at four decimals, so a value that is
// half a pulse only by floating-point error still counts as a half.
double SnapMmToPulse(const AppState &state, double mm, MmRounding rounding);

// The ways positions are shown in the table: "#0.000" millimetres and plain
// pulse digits, each right-aligned to seven characters ("-1" when wider).
QString MmCellText(double mm);
QString PulseCellText(double pulses);
