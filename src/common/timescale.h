#pragma once

#include <QtGlobal>

// Waits that the program bounds by seconds (reply time-outs, the splash
// window, fixed pauses) are multiplied by this factor. It is 1 in normal use;
// the test suite sets KTED_TIME_SCALE (e.g. 0.05) so that its runs stay short.
double TimeScale();

// A duration in milliseconds scaled by TimeScale(), at least 1 ms.
int ScaledMs(int milliseconds);
