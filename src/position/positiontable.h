#pragma once

#include <QString>
#include <QVariant>

#include <array>

// The fields of a position record, addressed by number everywhere.
enum PosField : int {
    PosVel = 1,      // speed selection 1..9
    PosAcc = 2,      // acceleration selection 1..3
    PosOut = 3,      // output value, one hex digit
    PosMm = 4,       // position in mm: its display text or a number
    PosPulse = 5,    // position in pulses
    PosComment = 6,  // free comment, never sent to the controller
};

// A table of the three positions. Cells are variants, as the table mixes
// numbers and texts and a cell can be empty; row 0 and field 0 are unused so
// that positions and fields keep their own numbers as indices.
class PositionTable
{
public:
    static constexpr int kFirstPosition = 1;
    static constexpr int kLastPosition = 3;
    static constexpr int kFieldCount = 7;

    QVariant &at(int position, int field) { return m_cells.at(position).at(field); }
    const QVariant &at(int position, int field) const { return m_cells.at(position).at(field); }

    // The cell's number: a number as held, a text by its leading number;
    // an empty cell reads as 0.
    double number(int position, int field) const;
    // The cell's text: a text as held, a number in its plain decimal form.
    QString text(int position, int field) const;

    void clear();
    bool operator==(const PositionTable &other) const { return m_cells == other.m_cells; }

private:
    std::array<std::array<QVariant, kFieldCount>, kLastPosition + 1> m_cells;
};
