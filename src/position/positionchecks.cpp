#include "position/positionchecks.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "common/numbers.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "text/stringtable.h"

#include <cmath>
#include <optional>

namespace {

constexpr int kFirst = PositionTable::kFirstPosition;
constexpr int kLast = PositionTable::kLastPosition;

// One line of a list of positions in a message, followed by an empty line.
QString positionLine(int position)
{
    return QStringLiteral("<") + LoadText(409) + QString::number(position) + QStringLiteral(">\n\n");
}

bool inRange(std::optional<int16_t> v, int low, int high)
{
    return v && *v >= low && *v <= high;
}

} // namespace

QString ShownCellText(const PositionTable &t, int position, int column)
{
    const auto whole = [&t, position](int field) {
        if (!t.at(position, field).isValid())
            return QString();
        return QString::number(static_cast<qint64>(std::llround(t.number(position, field))));
    };
    switch (column) {
    case PositionGrid::ColNo:
        return QString::number(position);
    case PositionGrid::ColVel:
        return whole(PosVel);
    case PositionGrid::ColAcc:
        return whole(PosAcc);
    case PositionGrid::ColMm:
        return t.at(position, PosMm).isValid() ? MmCellText(t.number(position, PosMm)) : QString();
    case PositionGrid::ColPulse:
        return t.text(position, PosPulse).trimmed();
    case PositionGrid::ColComment:
        return t.text(position, PosComment);
    default:
        return QString();
    }
}

PositionCells ShownCells(const PositionData &data)
{
    return [&data](int row, int column) { return ShownCellText(data.PosiDataArray, row, column); };
}

int TakeOverPositions(const PositionCells &cells, PositionData &data, const AppState &state)
{
    // Everything is converted first, so that a failure leaves the table as
    // it was rather than half taken over.
    PositionTable taken = data.PosiDataArray;
    for (int i = kFirst; i <= kLast; ++i) {
        if (data.gErrPos.at(i))
            continue;
        const QString vel = cells(i, PositionGrid::ColVel);
        const QString acc = cells(i, PositionGrid::ColAcc);
        const QString mm = cells(i, PositionGrid::ColMm);
        if (!IsNumericText(vel) || !IsNumericText(acc) || !IsNumericText(mm))
            return 1;
        const std::optional<int16_t> v = RoundToInt16(LeadingNumber(vel));
        const std::optional<int16_t> a = RoundToInt16(LeadingNumber(acc));
        if (!v || !a)
            return 1;
        taken.at(i, PosVel) = QVariant::fromValue(*v);
        taken.at(i, PosAcc) = QVariant::fromValue(*a);
        // The output value has no column: it keeps what the controller or
        // the new table gave it, so a read table goes back unchanged.
        taken.at(i, PosMm) = mm;
        taken.at(i, PosPulse) = MmToPulse(state, LeadingNumber(mm));
        taken.at(i, PosComment) = cells(i, PositionGrid::ColComment);
    }
    data.PosiDataArray = taken;
    return 0;
}

namespace {

PositionCells gridCells(const PositionGrid &grid)
{
    return [&grid](int row, int column) { return grid.cellText(row, column); };
}

} // namespace

int CheckEmptyPositions(const PositionGrid &grid, PositionData &data)
{
    return CheckEmptyPositions(gridCells(grid), data);
}

int CheckWrongData(const PositionGrid &grid, PositionData &data, const AppState &state, Prompter *showMessage)
{
    return CheckWrongData(gridCells(grid), data, state, showMessage);
}

int CheckEmptyPositions(const PositionCells &cells, PositionData &data)
{
    data.gErrPos.fill(false);
    data.gEmptyList.clear();
    data.gEmptyCount = 0;
    for (int i = kFirst; i <= kLast; ++i) {
        bool empty = false;
        for (int c = PositionGrid::ColNo; c <= PositionGrid::ColMm; ++c)
            empty = empty || cells(i, c).isEmpty();
        if (empty) {
            data.gErrPos.at(i) = true;
            ++data.gEmptyCount;
            data.gEmptyList += positionLine(i);
        }
    }
    return data.gEmptyCount > 0 ? 1 : 0;
}

int CheckWrongData(const PositionCells &cells, PositionData &data, const AppState &state, Prompter *showMessage)
{
    data.gWrongFlag = false;
    data.gWrongList.clear();
    for (int i = kFirst; i <= kLast; ++i) {
        const auto vel = RoundToInt16(LeadingNumber(cells(i, PositionGrid::ColVel)));
        const auto acc = RoundToInt16(LeadingNumber(cells(i, PositionGrid::ColAcc)));
        const double mm = LeadingNumber(cells(i, PositionGrid::ColMm));
        const double pulses = MmToPulse(state, mm);
        const bool wrong = !inRange(vel, 1, 9) || !inRange(acc, 1, 3) || mm < 0 || mm > state.gMaxMm
                           || pulses < 0 || pulses > state.gMaxPulse;
        if (wrong) {
            data.gErrPos.at(i) = true;
            data.gWrongFlag = true;
            data.gWrongList += positionLine(i);
        }
    }
    if (!data.gWrongFlag)
        return 0;
    if (showMessage)
        showMessage->tell(LoadText(467) + QStringLiteral("\n\n") + data.gWrongList);
    return 1;
}

int IsTableNotEmpty(const PositionGrid &grid)
{
    for (int i = kFirst; i <= kLast; ++i)
        for (int c = PositionGrid::ColVel; c <= PositionGrid::ColMm; ++c)
            if (!grid.cellText(i, c).isEmpty())
                return 1;
    return 0;
}

void TellEmptyPositions(const PositionData &data, Prompter &prompter, int firstId, int secondId)
{
    if (data.gEmptyCount >= kLast)
        prompter.tell(JoinTexts({459, 460}));
    else
        prompter.tell(JoinTexts({firstId, secondId}) + QStringLiteral("\n\n") + data.gEmptyList);
}

int CheckAndTakeOver(const PositionCells &cells, PositionData &data, const AppState &state, Prompter &prompter,
                     CheckPurpose purpose)
{
    const bool write = purpose == CheckPurpose::Write;
    if (CheckEmptyPositions(cells, data) == 1) {
        if (write)
            TellEmptyPositions(data, prompter, 587, 588);
        else
            TellEmptyPositions(data, prompter);
        return 1;
    }
    if (CheckWrongData(cells, data, state, write ? nullptr : &prompter) == 1) {
        if (write)
            prompter.tell(JoinTexts({590, 588}) + QStringLiteral("\n\n") + data.gWrongList, Prompter::Icon::None);
        return 1;
    }
    if (TakeOverPositions(cells, data, state) == 1) {
        prompter.tell(JoinTexts({401, 461}), write ? Prompter::Icon::None : Prompter::Icon::Exclamation);
        return 1;
    }
    return 0;
}
