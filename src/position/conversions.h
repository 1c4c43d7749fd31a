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
