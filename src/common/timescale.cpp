#include "common/timescale.h"

#include <QByteArray>
#include <QString>

#include <cmath>

double TimeScale()
{
    static const double scale = [] {
        bool ok = false;
        const double v = qEnvironmentVariable("KTED_TIME_SCALE").toDouble(&ok);
        return (ok && v > 0.0 && v <= 1.0) ? v : 1.0;
    }();
    return scale;
}

int ScaledMs(int milliseconds)
{
    const double v = std::ceil(milliseconds * TimeScale());
    return v < 1.0 ? 1 : static_cast<int>(v);
}
