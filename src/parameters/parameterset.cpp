#include "parameters/parameterset.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Label IDs, widths, ranges and digit limits of parameters 1..24.
constexpr std::array<ParameterInfo, ParameterCount + 1> kInfo{{
    {0, 0, false, 0, 0, 0},
    {1, 55, true, 0, 16777215, 8},
    {2, 56, true, 0, 700, 5},
    {3, 57, false, 0, 255, 3},
    {4, 59, false, 0, 255, 3},
    {5, 60, false, 0, 255, 3},
    {6, 61, false, 1, 60, 3},
    {7, 62, false, 1, 60, 3},
    {8, 63, false, 1, 60, 3},
    {9, 181, false, 1, 60, 3},
    {10, 182, false, 1, 60, 3},
    {11, 183, false, 1, 60, 3},
    {12, 184, false, 1, 60, 3},
    {13, 185, false, 1, 60, 3},
    {14, 186, false, 1, 60, 3},
    {15, 187, false, 1, 30, 2},
    {16, 188, false, 1, 30, 2},
    {17, 189, false, 1, 30, 2},
    {18, 64, false, 0, 1, 1},
    {19, 196, false, 1, 255, 3},
    {20, 197, false, 1, 9999, 4},
    {21, 84, true, 0, 2, 1},
    {22, 198, false, 0, 0, 0},
    {23, 193, false, 0, 1, 1},
    {24, 190, false, 0, 1, 1},
}};

bool fitsVariable(double rounded, bool wide)
{
    if (std::isnan(rounded))
        return false;
    if (wide)
        return rounded >= std::numeric_limits<int32_t>::min()
               && rounded <= std::numeric_limits<int32_t>::max();
    return rounded >= std::numeric_limits<int16_t>::min()
           && rounded <= std::numeric_limits<int16_t>::max();
}

} // namespace

const ParameterInfo &ParameterInfoOf(int number)
{
    Q_ASSERT(number >= 1 && number <= ParameterCount);
    return kInfo[static_cast<size_t>(number)];
}

int64_t ParameterSet::numericValue(int number) const
{
    switch (number) {
    case 1: return gParaStroke;
    case 2: return gParaHomeOffset;
    case 3: return gParaHomeOsikomi;
    case 4: return gParaGentenModori;
    case 5: return gParaGentenHanten;
    case 19: return gParaLead;
    case 20: return gParaPulse;
    case 21: return gParaType;
    case 23: return gParaEmgWay;
    case 24: return gParaEmgLogic;
    default:
        break;
    }
    if (number >= 6 && number <= 14)
        return gParaKasokuSet[static_cast<size_t>(number - 6)];
    if (number >= 15 && number <= 17)
        return gParaJog[static_cast<size_t>(number - 15)];
    Q_ASSERT_X(false, "numericValue", "parameter 18 and 22 are not plain numbers");
    return 0;
}

void ParameterSet::setNumericValue(int number, int64_t value)
{
    const auto v16 = static_cast<int16_t>(value);
    const auto v32 = static_cast<int32_t>(value);
    switch (number) {
    case 1: gParaStroke = v32; return;
    case 2: gParaHomeOffset = v32; return;
    case 3: gParaHomeOsikomi = v16; return;
    case 4: gParaGentenModori = v16; return;
    case 5: gParaGentenHanten = v16; return;
    case 19: gParaLead = v16; return;
    case 20: gParaPulse = v16; return;
    case 21: gParaType = v32; return;
    case 23: gParaEmgWay = v16; return;
    case 24: gParaEmgLogic = v16; return;
    default:
        break;
    }
    if (number >= 6 && number <= 14)
        gParaKasokuSet[static_cast<size_t>(number - 6)] = v16;
    else if (number >= 15 && number <= 17)
        gParaJog[static_cast<size_t>(number - 15)] = v16;
    else
        Q_ASSERT_X(false, "setNumericValue", "parameter 18 and 22 are not plain numbers");
}

QString ComposeActuator(const QString &size, const QString &speed, int64_t stroke)
{
    QString s = size;
    if (s.size() == 2)
        s.prepend(u' ');
    return s + speed + u'-' + DecField(stroke, 3);
}

ActuatorPieces SplitActuator(const QString &actuator)
{
    ActuatorPieces p;
    p.size = actuator.left(3);
    p.speed = actuator.mid(3, 1);
    const double stroke = LeadingNumber(actuator.mid(5, 3));
    p.stroke = static_cast<int32_t>(stroke);
    return p;
}

bool ParaDAConvertible(const ParaArray &values, int *failedNumber)
{
    for (int n = 1; n <= ParameterCount; ++n) {
        const ParaValue &v = values[static_cast<size_t>(n)];
        bool ok = true;
        if (n == 22) {
            ok = true; // any text, or nothing
        } else if (n == 18) {
            double d = 0.0;
            ok = v.isEmpty() || v.toNumber(d);
        } else {
            double d = 0.0;
            ok = v.toNumber(d) && fitsVariable(RoundHalfEven(d), ParameterInfoOf(n).wide);
        }
        if (!ok) {
            if (failedNumber)
                *failedNumber = n;
            return false;
        }
    }
    return true;
}

int ParaDA2Hensu(ParameterSet &set)
{
    if (!ParaDAConvertible(set.ParaDA))
        return 1;
    for (int n = 1; n <= ParameterCount; ++n) {
        if (n == 18 || n == 22)
            continue;
        double d = 0.0;
        set.ParaDA[static_cast<size_t>(n)].toNumber(d);
        set.setNumericValue(n, static_cast<int64_t>(RoundHalfEven(d)));
    }
    set.gParaVertical = set.ParaDA[18];
    set.gParaActuator = set.ParaDA[22].toText();

    const ActuatorPieces pieces = SplitActuator(set.gParaActuator);
    set.gParaActSize = pieces.size;
    set.gParaActSpeed = pieces.speed;
    set.gParaActStroke = pieces.stroke;
    set.ParaDA[25] = ParaValue::text(pieces.size);
    set.ParaDA[26] = ParaValue::text(pieces.speed);
    set.ParaDA[27] = ParaValue::number(pieces.stroke);
    return 0;
}

int ParametaShogoProc(ParameterSet &set, bool compareDetails, bool skipHoming, int heldValues)
{
    set.gParaUnmatchNo.clear();
    // A short file (an RW controller's 15 values) holds nothing to compare
    // beyond its last value.
    const int last = std::min(compareDetails ? 24 : 22, heldValues);
    for (int n = 1; n <= last; ++n) {
        const ParaValue &stored = set.ParaDA[static_cast<size_t>(n)];
        bool same = true;
        if (n == 18) {
            if (skipHoming)
                continue;
            same = stored.sameAs(set.gParaVertical);
        } else if (n == 22) {
            same = stored.sameAs(ParaValue::text(set.gParaActuator));
        } else {
            same = stored.sameAs(ParaValue::number(static_cast<double>(set.numericValue(n))));
        }
        if (!same)
            set.gParaUnmatchNo += QString::number(n) + u',';
    }
    return set.gParaUnmatchNo.isEmpty() ? 0 : 1;
}

QString ParameterRangeFailures(const std::array<double, ParameterCount + 1> &values)
{
    QString failures;
    for (int n = 1; n <= ParameterCount; ++n) {
        if (n == 22)
            continue;
        const ParameterInfo &info = ParameterInfoOf(n);
        const double v = values[static_cast<size_t>(n)];
        bool fails = std::isnan(v) || v < static_cast<double>(info.minimum)
                     || v > static_cast<double>(info.maximum);
        if (!fails) {
            // Within range the value is small; its decimal text decides the digits.
            const QString text = QString::number(static_cast<int64_t>(v));
            fails = text.size() > info.digitLimit;
        }
        if (fails)
            failures += QString::number(n) + u',';
    }
    return failures;
}
