#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// What the program knows of the actuator for its test moves: the position
// reached last, the controller's home state, and the stroke, speeds and
// position rows read from the controller for the move-time estimate. One
// instance lives for the whole run; the move commands write it, a write of
// positions or parameters to the controller marks it stale, and the main
// window reads it when it switches to Move mode.
struct MoveState
{
    // The position reached by the last successful move, -1 for none (also
    // after a failed move or a position write).
    int16_t gLastPos = -1;
    // The output state ("0RS") reported after the last move, bit 0 = OUT1,
    // bit 1 = OUT2; -1 while none has been reported since the lamps went out.
    int lastOutputs = -1;

    // The running selective move and its blink phase.
    int16_t gMoveTarget = 0;
    int16_t gBlinkCount = 0;

    // The controller reported home state 1 at the last home-state read.
    bool gHomeDone = false;
    // gStroke, gSpeed and the position rows have been read since this flag
    // was last cleared.
    bool gMoveDataKnown = false;
    int32_t gStroke = 0;                 // stroke in pulses (block "10")
    std::array<int16_t, 10> gSpeed{};    // 0: homing value; 1..9: VEL1..VEL9 / 4
    std::array<int16_t, 4> gPosVel{};    // speed selection of positions 1..3 (0 unused)
    std::array<int32_t, 4> gPosPulse{};  // target pulses of positions 1..3 (0 unused)
    int32_t gPresentPos = 0;             // present position before the next move

    // The continual run.
    bool mWaitDone = true;
    bool mPauseRequest = false;
    bool mStopRequest = false;
    bool mFreshStart = true;
    int mProgramRow = 1;                 // 1 to 9

    // A position or parameter write changed what the estimate is made of.
    void markStale()
    {
        gMoveDataKnown = false;
        gLastPos = -1;
    }
};

// The homing rate in pulses per second for a homing speed value; the values
// 1 to 16 give 1600 down to 100. A value the controller cannot mean (17 or
// more would be no speed at all) counts as the slowest, 16.
double HomingRate(int homingValue);

// Pulses per second of a speed selection (1 to 9) in the speed table. A
// selection outside 1 to 9, or one whose speed is 0, moves at the slowest
// speed of the table (1 when the table holds none).
double SelectionRate(const MoveState &state, int selection);

// `calc_MovingTime`: the estimated time of a move to position n (0 = home)
// in seconds. Home: the stroke at the homing rate. Not homed: a full homing
// run, then from 0 to the target. Homed: from the present position to the
// target. The result is always finite and not negative.
double CalcMovingTime(const MoveState &state, int n);

// The speed table from the three "0RD" replies of blocks "10", "11" and
// "12" into gStroke and gSpeed; false (state unchanged) when one does not
// hold its hex fields.
bool DecodeSpeedTable(MoveState &state, const QString &block10, const QString &block11,
                      const QString &block12);
