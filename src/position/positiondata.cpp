#include "position/positiondata.h"

#include "app/appstate.h"
#include "position/conversions.h"

#include <algorithm>

namespace {
constexpr int kFirst = PositionTable::kFirstPosition;
constexpr int kLast = PositionTable::kLastPosition;
} // namespace

void InitPosiData(PositionData &data, const AppState &state)
{
    // The KT-42D starts from acceleration 2, every other model from 3. The
    // size is compared without its blank, as it is kept three characters wide.
    const int16_t acc = state.gDevSize.trimmed() == QLatin1String("42") && state.gDevSpeed == QLatin1String("D")
                            ? int16_t(2)
                            : int16_t(3);
    for (PositionTable *table : {&data.PosiDataArray, &data.workPosDA}) {
        for (int i = kFirst; i <= kLast; ++i) {
            table->at(i, PosVel) = QVariant::fromValue<int16_t>(50);
            table->at(i, PosAcc) = QVariant::fromValue<int16_t>(acc);
            table->at(i, PosOut) = QVariant::fromValue<int16_t>(0);
            table->at(i, PosMm) = 0.0;
            table->at(i, PosPulse) = QVariant::fromValue<int32_t>(0);
            table->at(i, PosComment) = QString();
        }
    }
    for (int i = kFirst; i <= kLast; ++i)
        data.gParaBlock.at(i) = QStringLiteral("50");
}

void CopyPosiDataArray2workPosDA(PositionData &data)
{
    data.workPosDA = data.PosiDataArray;
}

void CopyWorkPosDA2PosiDataArray(PositionData &data)
{
    for (int i = kFirst; i <= kLast; ++i)
        for (int f : {PosVel, PosAcc, PosOut, PosPulse, PosComment})
            data.PosiDataArray.at(i, f) = data.workPosDA.at(i, f);
}

void RecalcMmFromPulse(PositionData &data, const AppState &state)
{
    for (int i = kFirst; i <= kLast; ++i)
        data.PosiDataArray.at(i, PosMm) = PulseToMm(state, data.PosiDataArray.number(i, PosPulse));
}

void SetPulsePosRange(PositionData &data, int a, int b, double value)
{
    for (int i = std::min(a, b); i <= std::max(a, b); ++i)
        data.PosiDataArray.at(i, PosPulse) = value;
}
