#include "position/conversions.h"

#include "app/appstate.h"
#include "common/numbers.h"
#include "text/stringtable.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int kCellWidth = 7;

double mmPerPulse(const AppState &state)
{
    return static_cast<double>(state.gDevLead) / static_cast<double>(state.gDevPPR);
}

// A ratio shown in the status bar: three decimals, then held as a
// single-precision value and written back in its shortest form, so that
// 66.667 stays 66.667 and 200.000 becomes 200.
QString scaleText(double ratio)
{
    const float value = static_cast<float>(LeadingNumber(FormatFixed3(ratio)));
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

} // namespace

double PulseToMm(const AppState &state, double pulses)
{
    return pulses * mmPerPulse(state);
}

double MmToPulse(const AppState &state, double mm)
{
    return RoundHalfEven(mm / state.gDevLead * state.gDevPPR);
}

double SnapMmToPulse(const AppState &state, double mm, MmRounding rounding)
{
    const double r = mmPerPulse(state);
    const double q = mm / r;
    const double t = std::trunc(q);
    // The fraction in ten-thousandths of a pulse.
    const double f = RoundHalfEven((q - t) * 10000.0);

    double n = 0;
    if (f == 0) {
        n = std::round(q);
    } else {
        const bool upper = rounding == MmRounding::Up ? f >= 5000 : f > 5000;
        n = upper ? std::trunc(q + 0.5) : t;
    }
    return n * r;
}

void Culc_MaxPulse(AppState &state)
{
    const double pulses = Culc_DevMaxPulse(state.gDevStroke, state.gDevLead, state.gDevPPR);
    state.gMaxPulse = static_cast<int32_t>(pulses);
}

void Culc_MaxMm(AppState &state)
{
    const double mm = std::trunc(PulseToMm(state, state.gMaxPulse) * 1000.0) / 1000.0;
    // Held with four decimals.
    state.gMaxMm = RoundHalfEven(mm * 10000.0) / 10000.0;
}

double Culc_DevMaxPulse(double stroke, double lead, double ppr)
{
    return CeilAfterOneDecimal(stroke / lead * ppr);
}

PulseScaleTexts ShowPulseScale(const AppState &state)
{
    const QString unit = LoadText(572);
    PulseScaleTexts texts;
    texts.perMm = QStringLiteral("1mm = ") + scaleText(static_cast<double>(state.gDevPPR) / state.gDevLead)
                  + unit;
    texts.perPulse = QStringLiteral("1") + unit + QStringLiteral("= ")
                     + scaleText(static_cast<double>(state.gDevLead) / state.gDevPPR)
                     + QStringLiteral("mm");
    return texts;
}

QString MmCellText(double mm)
{
    return RightAlign(FormatFixed3(mm), kCellWidth);
}

QString PulseCellText(double pulses)
{
    return RightAlign(QString::number(static_cast<qint64>(pulses)), kCellWidth);
}
