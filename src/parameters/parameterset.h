#pragma once

#include "parameters/paravalue.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The controller's 24 parameters as the program holds them, the value array
// that file and controller reads fill before the values reach the
// variables, and the lists of the last range check and verification.
//
// Parameter numbers (1..24):
//  1 stroke (pulses)          2 home offset          3 home pushing amount
//  4 homing velocity          5 offset moving speed  6..14 VEL 1..9
//  15..17 JOG VEL 1..3        18 homing method (0 pushing, 1 sensor, or empty)
//  19 lead                    20 pulses per revolution
//  21 type (0 KT new, 1 KT old, 2 RW)                22 actuator model text
//  23 emergency stop input    24 emergency stop logic
constexpr int ParameterCount = 24;
constexpr int ParaDASize = 36;          // ParaDA(0..35)
constexpr int ParaDAMaxValues = 35;     // values a parameter file may hold

using ParaArray = std::array<ParaValue, ParaDASize>;

// What the program knows of each numeric parameter: its label, the width of
// its variable and the range the check before a save, write or verification
// enforces.
struct ParameterInfo
{
    int number;
    int labelId;     // string-table ID of " 1. Stroke length" and so on
    bool wide;       // held in a 32-bit variable (else 16-bit)
    int64_t minimum;
    int64_t maximum;
    int digitLimit;  // longest accepted decimal text; 0 for the model
};

const ParameterInfo &ParameterInfoOf(int number);

struct ParameterSet
{
    // The 24 variables.
    int32_t gParaStroke = 0;                 // 1
    int32_t gParaHomeOffset = 0;             // 2
    int16_t gParaHomeOsikomi = 0;            // 3
    int16_t gParaGentenModori = 0;           // 4
    int16_t gParaGentenHanten = 0;           // 5
    std::array<int16_t, 9> gParaKasokuSet{}; // 6..14: gParaKasokuSet1..9
    std::array<int16_t, 3> gParaJog{};       // 15..17: gParaJog1..3
    ParaValue gParaVertical;                 // 18: 0, 1 or empty
    int16_t gParaLead = 0;                   // 19
    int16_t gParaPulse = 0;                  // 20
    int32_t gParaType = 0;                   // 21
    QString gParaActuator;                   // 22: "SSSV-LLL", e.g. " 28L-100"
    int16_t gParaEmgWay = 0;                 // 23
    int16_t gParaEmgLogic = 0;               // 24

    // The pieces of the model text.
    QString gParaActSize;                    // three characters
    QString gParaActSpeed;                   // one character
    int32_t gParaActStroke = 0;              // mm

    // Values of the last file or controller read; index n holds parameter n,
    // index 0 the file title of the file read last.
    ParaArray ParaDA;
    int16_t gParaDACount = 0;                // values in the last file + 1

    bool gParaChanged = false;
    QString gParaNgNo;                       // "2,19," after a failed range check
    QString gParaUnmatchNo;                  // the same for the last verification

    // The numeric value of parameter n (1..24, not 18 or 22).
    int64_t numericValue(int number) const;
    // Stores a value that fits the parameter's variable (not 18 or 22).
    void setNumericValue(int number, int64_t value);
};

// The model text from its pieces: size, speed, "-", stroke as three digits
// ("X" for a stroke of more than three digits). A two-character size gains
// its leading blank.
QString ComposeActuator(const QString &size, const QString &speed, int64_t stroke);

// The pieces of a model text: size = characters 1..3, speed = character 4,
// stroke = the number in characters 6..8.
struct ActuatorPieces
{
    QString size;
    QString speed;
    int32_t stroke = 0;
};
ActuatorPieces SplitActuator(const QString &actuator);

// Whether every value the array holds for parameters 1..24 can be taken into
// its variable: numbers (or numeric texts, or nothing) within the range of a
// 16- or 32-bit variable after rounding, parameter 18 empty or a number,
// parameter 22 anything. On false, failedNumber names the first parameter
// that cannot.
bool ParaDAConvertible(const ParaArray &values, int *failedNumber = nullptr);

// Copies ParaDA(1..24) into the variables (numbers rounded half to even,
// nothing read as 0) and splits the model into its pieces, which are also
// kept in ParaDA(25..27). Returns 1 and changes nothing when a value cannot
// be taken (see ParaDAConvertible), else 0.
int ParaDA2Hensu(ParameterSet &set);

// Compares ParaDA(1..22) with the variables (and 23, 24 when the details
// are shown), numbers by value. Fills gParaUnmatchNo with "n," for every
// difference; 1 when anything differed. skipHoming leaves parameter 18 out
// (a file of the other family, which has no homing method). heldValues:
// how many values ParaDA holds (a file's count); later ones are not compared.
int ParametaShogoProc(ParameterSet &set, bool compareDetails, bool skipHoming = false,
                      int heldValues = ParameterCount);

// The numbers of the parameters whose values fail their range or digit
// limit, each followed by ",", in ascending order. values[n] is the value of
// parameter n as taken from the window (index 0, 18's neighbours 22 unused).
QString ParameterRangeFailures(const std::array<double, ParameterCount + 1> &values);
