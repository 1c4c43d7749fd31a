#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The factory values of one model's controller parameters, from a
// default-parameter list. Parameters 18 and 21 are not in the file: the
// reader fills them from the family, generation and mounting of the
// selection.
struct StdPrmRecord
{
    static constexpr int kParamCount = 24;

    // Parameter values by their number 1 to 24 (index 0 and 22 unused: the
    // model, parameter 22, is text and lives in `actuator`).
    std::array<int32_t, kParamCount + 1> value{};
    QString actuator;      // parameter 22, the model code
    QString size;          // the code's first three characters
    QString speed;         // its fourth character
    int32_t stroke = 0;    // its last three characters as a number, mm
};
