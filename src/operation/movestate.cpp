#include "operation/movestate.h"

#include "common/numbers.h"
#include "link/commandset.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A speed value is the controller's unit of 166 pulses per second.
constexpr double kPulsesPerSpeedUnit = 166.0;
constexpr int kSlowestHomingValue = 16;

} // namespace

double HomingRate(int homingValue)
{
    if (homingValue > kSlowestHomingValue)
        homingValue = kSlowestHomingValue;
    return 1600.0 - (homingValue - 1) * 100.0;
}

double SelectionRate(const MoveState &state, int selection)
{
    if (selection >= 1 && selection <= 9 && state.gSpeed[static_cast<size_t>(selection)] > 0)
        return state.gSpeed[static_cast<size_t>(selection)] * kPulsesPerSpeedUnit;
    int slowest = 0;
    for (int k = 1; k <= 9; ++k) {
        const int v = state.gSpeed[static_cast<size_t>(k)];
        if (v > 0 && (slowest == 0 || v < slowest))
            slowest = v;
    }
    return std::max(slowest, 1) * kPulsesPerSpeedUnit;
}

double CalcMovingTime(const MoveState &state, int n)
{
    const double homing = std::abs(static_cast<double>(state.gStroke)) / HomingRate(state.gSpeed[0]);
    if (n == 0)
        return homing;
    if (n < 1 || n > 3)
        return homing;
    const auto k = static_cast<size_t>(n);
    const double rate = SelectionRate(state, state.gPosVel[k]);
    if (!state.gHomeDone)
        return homing + std::abs(static_cast<double>(state.gPosPulse[k])) / rate;
    return std::abs(static_cast<double>(state.gPresentPos) - state.gPosPulse[k]) / rate;
}

bool DecodeSpeedTable(MoveState &state, const QString &block10, const QString &block11,
                      const QString &block12)
{
    const auto stroke = Ctl::ReadHex(block10, 6, 6);
    const auto homing = Ctl::ReadHex(block11, 12, 2);
    if (!stroke || !homing)
        return false;
    std::array<int16_t, 10> speed{};
    speed[0] = static_cast<int16_t>(*homing);
    for (int k = 1; k <= 9; ++k) {
        const QString &reply = k <= 3 ? block11 : block12;
        const int from = 6 + 2 * (k <= 3 ? k - 1 : k - 4);
        const auto raw = Ctl::ReadHex(reply, from, 2);
        if (!raw)
            return false;
        speed[static_cast<size_t>(k)] = static_cast<int16_t>(RoundHalfEven(*raw / 4.0));
    }
    state.gStroke = static_cast<int32_t>(*stroke);
    state.gSpeed = speed;
    return true;
}
