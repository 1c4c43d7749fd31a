#pragma once

#include "position/positiontable.h"

#include <QString>

#include <array>
#include <cstdint>

struct AppState;

// The position tables and the per-position state of the position data:
// the working table behind the grid, the table as last loaded, the flags of
// the last check run and what the last opened file said about its model.
struct PositionData
{
    // The working table behind the grid: filled from the grid before
    // anything is written or saved, and from workPosDA after a file was
    // opened or the table was read from the controller.
    PositionTable PosiDataArray;
    // The table as last loaded from a file or read from the controller.
    PositionTable workPosDA;

    // Positions that failed the last empty or value check (1..3); the
    // take-over from the grid and the write to the controller skip them.
    std::array<bool, 4> gErrPos{};

    // Payloads exchanged with the controller: positions use 1..3, the
    // parameter blocks 1..6.
    std::array<QString, 7> gParaBlock;

    // The table was edited since it was last loaded, shown afresh or saved.
    bool gDataChanged = false;

    // Results of the empty check and the value check.
    QString gEmptyList;
    int16_t gEmptyCount = 0;
    bool gWrongFlag = false;
    QString gWrongList;

    // The model text and generation flag of the last file read, and the
    // label printed beside the model ("(New)" / "(Old)").
    QString gFileModel;
    QString gFileNewOld;
    QString gNewOldType;
};

// File New: both tables get the defaults of an empty position (the grid is
// cleared separately, so the defaults are not shown).
void InitPosiData(PositionData &data, const AppState &state);

// Every cell of the working table into the loaded table (for printing).
void CopyPosiDataArray2workPosDA(PositionData &data);

// The loaded table into the working table, all but the millimetres, which
// RecalcMmFromPulse works out afresh for the current model.
void CopyWorkPosDA2PosiDataArray(PositionData &data);
void RecalcMmFromPulse(PositionData &data, const AppState &state);

// The pulse position of positions a..b (either order) set to value.
void SetPulsePosRange(PositionData &data, int a, int b, double value);
