#pragma once

#include <QString>

#include <cstdint>

// The state of the link shared with the operations that use it. Callers set
// gTimeoutMs (or gMoveWatchLimit for a move) before each transaction and
// decode gReply after a good one; the rest is written by the link itself.
struct LinkState
{
    // Reply time-out of the next SendCommand in ms; 0 means none. 5000 for
    // ordinary commands, 1000 for the communication-mode switch, 0 for moves.
    int16_t gTimeoutMs = 5000;

    QString gReply;            // the last complete reply, CR LF included
    bool gReplyDone = false;   // a complete reply came since the last send
    bool gTimedOut = false;    // the reply time-out has elapsed
    QString gStatusReply;      // the last reply that began "0%%"

    // The move watch of SendMoveCommand.
    float gMoveWatchStart = 0;     // seconds since midnight at its start
    float gMoveWatchLimit = 0;     // seconds the move reply may take (set by the move)
    bool gMoveWatchElapsed = false;
    bool gMoveWatchStop = false;

    // A move started from the move buttons is running (set by the move
    // code); every failed transaction clears it.
    bool gMoving = false;
};

// Seconds in a day as the move watch counts them: the clock wraps from
// 86399 to 0, and a watch that spans midnight counts up to 86399.
inline constexpr double kMoveWatchDayEnd = 86399.0;

// Seconds elapsed between start and now, both in seconds since midnight.
inline double MoveWatchElapsedSeconds(double start, double now)
{
    return now >= start ? now - start : kMoveWatchDayEnd - start + now;
}
