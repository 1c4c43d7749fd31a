#include "position/positionchecks.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "common/numbers.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "text/stringtable.h"

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

int CheckEmptyPositions(const PositionGrid &grid, PositionData &data)
{
    data.gErrPos.fill(false);
    data.gEmptyList.clear();
    data.gEmptyCount = 0;
    for (int i = kFirst; i <= kLast; ++i) {
        bool empty = false;
        for (int c = PositionGrid::ColNo; c <= PositionGrid::ColMm; ++c)
            empty = empty || grid.cellText(i, c).isEmpty();
        if (empty) {
            data.gErrPos.at(i) = true;
            ++data.gEmptyCount;
            data.gEmptyList += positionLine(i);
        }
    }
    return data.gEmptyCount > 0 ? 1 : 0;
}

int CheckWrongData(const PositionGrid &grid, PositionData &data, const AppState &state,
                   Prompter *showMessage)
{
    data.gWrongFlag = false;
    data.gWrongList.clear();
    for (int i = kFirst; i <= kLast; ++i) {
        const auto vel = RoundToInt16(LeadingNumber(grid.cellText(i, PositionGrid::ColVel)));
        const auto acc = RoundToInt16(LeadingNumber(grid.cellText(i, PositionGrid::ColAcc)));
        const double mm = LeadingNumber(grid.cellText(i, PositionGrid::ColMm));
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
