#pragma once

#include <QString>

#include <functional>

class Prompter;
class PositionGrid;
struct AppState;
struct PositionData;
class PositionTable;

// The text of a cell of the position table as the grid shows it: row =
// position 1..3, column as the grid numbers them (0 No., 1 VEL, 2 ACC, 3 mm,
// 4 pulses, 5 comment). The checks read the table through it, so that they
// run on the grid or, in kted-cli, on a table that was never shown.
using PositionCells = std::function<QString(int row, int column)>;

// What the grid shows of the working table in a cell: VEL and ACC as whole
// numbers, mm with three decimals, the comment; the number in column 0.
QString ShownCellText(const PositionTable &table, int position, int column);
// The cells of the working table as the grid would show them.
PositionCells ShownCells(const PositionData &data);

// The cells into PosiDataArray (speed, acceleration, mm and the pulses
// worked out from the mm, Out 0, comment), skipping positions flagged by
// the last check. 0 when done; 1 when a speed, acceleration or mm text is
// not a number (PosiDataArray is then left as it was).
int TakeOverPositions(const PositionCells &cells, PositionData &data, const AppState &state);
int CheckEmptyPositions(const PositionCells &cells, PositionData &data);
int CheckWrongData(const PositionCells &cells, PositionData &data, const AppState &state, Prompter *showMessage);

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

// The checks that open a save and "Load to controller": empty positions
// (475/476 for a save, 587/588 for a write), wrong values (467 with the list;
// 590/588 with it for a write) and the take-over (401/461). 0 when the table
// was taken over into PosiDataArray; 1 after the message.
enum class CheckPurpose { Save, Write };
int CheckAndTakeOver(const PositionCells &cells, PositionData &data, const AppState &state, Prompter &prompter,
                     CheckPurpose purpose);
