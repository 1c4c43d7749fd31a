#pragma once

#include "parameters/parameterset.h"

#include <QString>

#include <array>

// The controller keeps the parameters in six blocks of 8 bytes, addressed
// "00", "10", "11", "12", "13", "14" and carried as 16 upper-case hex digits.
// Bytes B1..B8 go in transmission order; a two-byte value is sent high byte
// first, "FF" marks a byte the program does not use.
//
//   "00"  FF 02 P3 P2hi P2lo FF FF FF
//   "10"  P1hi P1mid P1lo 02 02 02 02 FF
//   "11"  P6*4 P7*4 P8*4 P4 P5 homing FF FF      (homing code for TYPE 0 only)
//   "12"  P9*4 .. P14*4 FF FF
//   "13"  P15 P16 P17 P23 P24 P19 P20hi P20lo
//   "14"  size speed strokeHi strokeLo P21 FF FF FF
constexpr int ParaBlockCount = 6;
extern const std::array<QString, ParaBlockCount> kParaBlockAddress;

// The six write payloads (block address + 16 hex digits each), in block
// order. defaultBox: the parameter window's "apply default" box is checked,
// which sends both emergency-stop bytes as 01.
struct ParaPayloads
{
    std::array<QString, ParaBlockCount> gParaBlock;
};

// Builds the six write payloads from the variables. 1 when a value does not
// fit its field (nothing may then be sent), else 0.
int SetParaData2LngData(const ParameterSet &set, bool defaultBox, ParaPayloads &out);

// Decodes the reply to "0RD" + the block of index (0..5) into values
// (parameter numbers as in ParaDA). Data byte Bk is reply characters
// 4 + 2k and 5 + 2k (1-based). False when the data digits are not hex.
bool DecodeParaBlock(int index, const QString &reply, ParaArray &values);
