#pragma once

class Prompter;
class PositionGrid;
struct AppState;
struct PositionData;

// The checks run on the grid before the table is saved, written to the
// controller or verified. Each resets and fills the flags and lists of
// PositionData; a flagged position is skipped by the take-over.

// A position is empty when its number, speed, acceleration or mm cell is
// empty. 0 when none is, 1 when some are (gErrPos, gEmptyList, gEmptyCount).
int CheckEmptyPositions(const PositionGrid &grid, PositionData &data);

// A position is wrong when its speed is outside 1 to 9, its acceleration
// outside 1 to 3, or its position outside 0 to gMaxMm / gMaxPulse. 0 when
// all are valid, 1 when some are not (gErrPos, gWrongFlag, gWrongList); with
// a prompter the list is shown (message 467).
int CheckWrongData(const PositionGrid &grid, PositionData &data, const AppState &state,
                   Prompter *showMessage);

// 1 when some speed, acceleration or mm cell holds text, 0 when all are empty.
int IsTableNotEmpty(const PositionGrid &grid);

// The message for empty positions found by CheckEmptyPositions: "no data"
// when all three are empty, else the two texts given (a save or
// verification uses 475 and 476, the write to the controller 587 and 588)
// and the list of empty positions.
void TellEmptyPositions(const PositionData &data, Prompter &prompter, int firstId = 475,
                        int secondId = 476);
