#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// Number helpers shared by every part of the program. They reproduce the
// controller tools' long-standing number rules, on which stored files and
// the controller's payloads depend.

// The leading numeric part of a text: optional blanks, an optional sign,
// digits with at most one decimal point, an optional exponent. Whatever
// follows is ignored; text without a leading number (empty text included)
// reads as 0.
double LeadingNumber(QStringView text);

// True when the whole text (blanks around it aside) is one number.
bool IsNumericText(QStringView text);

// Round half to even: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double RoundHalfEven(double value);

// Half-to-even rounding to a 16- or 32-bit integer; a value outside the
// type's range (or not a number) is a conversion failure.
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);

// Fixed format "#0.000": at least one integer digit, exactly three decimals
// (0.000, 12.350, -1.500). Halves are rounded away from zero on the decimal
// text, as the format always did.
QString FormatFixed3(double value);

// Format "#.#": no forced integer digit, at most one decimal, a trailing
// point kept when the decimal is 0 ("5." for 5, "." for 0.04, "6666.7").
QString FormatOneDecimal(double value);

// trunc(value formatted with "#.#" and read back + 0.9): the value rounded to
// one decimal, then raised to the next whole number unless already whole.
// Used for the largest pulse position of a model and the stroke calculator.
double CeilAfterOneDecimal(double value);

// Upper-case hex of the value, left-padded with "0" to width; "X" when the
// value needs more digits than width (or is negative).
QString HexField(int64_t value, int width);

// Decimal text of the value, left-padded with "0" to width; "X" when longer.
QString DecField(int64_t value, int width);

// Prepends blanks until the text is width characters long. A text longer
// than width is not cut: the result is the text "-1".
QString RightAlign(const QString &text, int width);
