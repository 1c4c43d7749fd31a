#include "parameters/fieldrules.h"

#include "common/numbers.h"

#include <array>

namespace {

constexpr std::array<ParamFieldRule, 20> kRules{{
    {1, "txtStroke", 8, "txtHomeOffset", true, 1, 100000},
    {2, "txtHomeOffset", 3, "txtHomeOsikomi", true, 0, 700},
    {3, "txtHomeOsikomi", 3, "txtGentenModori", true, 0, 255},
    {4, "txtGentenModori", 3, "txtGentenHanten", true, 1, 16},
    {5, "txtGentenHanten", 3, "txtKasokuSet1", true, 1, 16},
    {6, "txtKasokuSet1", 3, "txtKasokuSet2", true, 1, 60},
    {7, "txtKasokuSet2", 3, "txtKasokuSet3", true, 1, 60},
    {8, "txtKasokuSet3", 3, "txtKasokuSet4", true, 1, 60},
    {9, "txtKasokuSet4", 3, "txtKasokuSet5", true, 1, 60},
    {10, "txtKasokuSet5", 3, "txtKasokuSet6", true, 1, 60},
    {11, "txtKasokuSet6", 3, "txtKasokuSet7", true, 1, 60},
    {12, "txtKasokuSet7", 3, "txtKasokuSet8", true, 1, 60},
    {13, "txtKasokuSet8", 3, "txtKasokuSet9", true, 1, 60},
    {14, "txtKasokuSet9", 3, "txtJog1", true, 1, 60},
    {15, "txtJog1", 3, "txtJog2", true, 1, 30},
    {16, "txtJog2", 3, "txtJog3", true, 1, 30},
    {17, "txtJog3", 3, "txtVsiyou", true, 1, 30},
    {18, "txtVsiyou", 0, nullptr, true, 0, 1},
    {19, "txtLead", 0, nullptr, false, 0, 0},
    {20, "txtPulse", 4, "comboActSize", false, 0, 0},
}};

} // namespace

bool ParamFieldRule::acceptsOnLeave(const QString &text) const
{
    const double v = RoundHalfEven(LeadingNumber(text));
    return v >= leaveMin && v <= leaveMax;
}

std::span<const ParamFieldRule> ParamFieldRules()
{
    return kRules;
}

const ParamFieldRule *ParamFieldRuleOf(int number)
{
    for (const ParamFieldRule &rule : kRules) {
        if (rule.number == number)
            return &rule;
    }
    return nullptr;
}
