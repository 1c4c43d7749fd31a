#include "catalogue/strokecalc.h"

#include "common/numbers.h"

#include <cmath>

bool IsActuatorLead(int lead)
{
    return lead == 2 || lead == 4 || lead == 6 || lead == 8 || lead == 12;
}

std::optional<int> StrokePulse(const QString &lengthText, const QString &leadText,
                               int pulsesPerRevolution)
{
    if (lengthText.isEmpty() || leadText.isEmpty())
        return std::nullopt;
    const double length = RoundHalfEven(LeadingNumber(lengthText));
    const double lead = RoundHalfEven(LeadingNumber(leadText));
    if (length < 0 || length > kCalcStrokeMax || !IsActuatorLead(static_cast<int>(lead)))
        return std::nullopt;
    const double x = length / lead * pulsesPerRevolution;
    // One decimal (halves away from zero, as the value is shown), then up to
    // the next whole pulse unless it is one already; counted in whole tenths
    // so that 6666.1 + 0.9 cannot come out a hair below 6667.
    const long long tenths = std::llround(x * 10.0);
    return static_cast<int>((tenths + 9) / 10);
}
