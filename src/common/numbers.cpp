#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the number at the start of text (after any blanks, which the
// caller has skipped): sign, digits with at most one point, and an exponent
// only when it is complete ("1e" reads as 1). 0 when there is no digit.
qsizetype NumberLength(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    while (i < n && IsDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

double ParseNumber(QStringView number)
{
    // from_chars takes neither sign, so the sign is handled here.
    std::string ascii = number.toString().toStdString();
    bool negative = false;
    if (!ascii.empty() && (ascii.front() == '+' || ascii.front() == '-')) {
        negative = ascii.front() == '-';
        ascii.erase(0, 1);
    }
    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large reads as infinity, so that every integer conversion
        // refuses it; too small (a negative exponent) as zero.
        const std::size_t e = ascii.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < ascii.size() && ascii[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

// A finite double as decimal digits: value = 0.d1d2d3... x 10^exponent.
struct DecimalDigits
{
    bool negative = false;
    std::string digits;     // no leading zero unless the value is zero
    int exponent = 0;
};

// The decimal digits that the fixed formats round. A double carries about
// 15 reliable significant digits; the bits beyond are the noise of the
// computation that produced it (pulses x lead / pulses per revolution, and
// the like). The fixed formats therefore round the value's 15-significant-
// digit decimal text, not its exact binary value: 0.0875 computed as
// 0.08749999999999999 still shows as 0.088, as it always has. Values of
// 10^15 and above use the shortest text that reads back as the same double,
// so their whole part is never cut short.
DecimalDigits ToDecimalDigits(double value)
{
    DecimalDigits d;
    d.negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0) {
        d.digits = "0";
        d.exponent = 1;
        return d;
    }
    char buffer[64];
    int length = 0;
    if (magnitude < 1e15) {
        length = std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    } else {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                          std::chars_format::scientific);
        length = int(result.ptr - buffer);
    }
    const std::string text(buffer, std::size_t(std::max(length, 0)));
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.exponent = std::stoi(text.substr(e + 1)) + 1;
    return d;
}

// Rounds half away from zero at the given number of decimals and returns
// the whole part (empty when zero) and exactly `decimals` fraction digits.
void RoundDecimal(double value, int decimals, bool *negative, std::string *whole,
                  std::string *fraction)
{
    const DecimalDigits d = ToDecimalDigits(value);
    // keep = number of digits left of the rounding position.
    const int keep = d.exponent + decimals;
    std::string kept;
    if (keep > 0) {
        kept = d.digits.substr(0, std::min<std::size_t>(std::size_t(keep), d.digits.size()));
        kept.resize(std::size_t(keep), '0');
        const char next = std::size_t(keep) < d.digits.size() ? d.digits[std::size_t(keep)] : '0';
        if (next >= '5') {
            int i = int(kept.size()) - 1;
            while (i >= 0 && kept[std::size_t(i)] == '9') {
                kept[std::size_t(i)] = '0';
                --i;
            }
            if (i >= 0)
                ++kept[std::size_t(i)];
            else
                kept.insert(kept.begin(), '1');
        }
    } else if (keep == 0 && d.digits[0] >= '5') {
        kept = "1";
    }
    if (kept.size() < std::size_t(decimals) + 1)
        kept.insert(0, std::size_t(decimals) + 1 - kept.size(), '0');
    const std::size_t split = kept.size() - std::size_t(decimals);
    *whole = kept.substr(0, split);
    *fraction = kept.substr(split);
    const std::size_t firstNonZero = whole->find_first_not_of('0');
    whole->erase(0, firstNonZero == std::string::npos ? whole->size() : firstNonZero);
    // A value that rounds to zero has no sign: -0.0001 shows as 0.000.
    const bool zero = whole->empty() && fraction->find_first_not_of('0') == std::string::npos;
    *negative = d.negative && !zero;
}

} // namespace

double LeadingNumber(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    const QStringView rest = text.mid(start);
    const qsizetype length = NumberLength(rest);
    return length == 0 ? 0.0 : ParseNumber(rest.left(length));
}

bool IsNumericText(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype length = NumberLength(trimmed);
    return length > 0 && length == trimmed.size();
}

double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double down = std::floor(value);
    const double diff = value - down;    // exact for every double
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

std::optional<int16_t> RoundToInt16(double value)
{
    const double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0))   // also refuses NaN
        return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> RoundToInt32(double value)
{
    const double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return std::nullopt;
    return static_cast<int32_t>(r);
}

QString FormatFixed3(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    bool negative = false;
    std::string whole, fraction;
    RoundDecimal(value, 3, &negative, &whole, &fraction);
    if (whole.empty())
        whole = "0";
    return QString::fromLatin1((negative ? "-" : "") + whole + "." + fraction);
}

QString FormatOneDecimal(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    bool negative = false;
    std::string whole, fraction;
    RoundDecimal(value, 1, &negative, &whole, &fraction);
    if (fraction == "0")
        fraction.clear();
    return QString::fromLatin1((negative ? "-" : "") + whole + "." + fraction);
}

double CeilAfterOneDecimal(double value)
{
    return std::trunc(LeadingNumber(FormatOneDecimal(value)) + 0.9);
}

QString HexField(int64_t value, int width)
{
    if (value < 0)
        return QStringLiteral("X");
    const QString digits = QString::number(value, 16).toUpper();
    if (digits.size() > width)
        return QStringLiteral("X");
    return digits.rightJustified(width, u'0');
}

QString DecField(int64_t value, int width)
{
    const QString digits = QString::number(value);
    if (digits.size() > width)
        return QStringLiteral("X");
    // The zeros go after a minus sign ("-05", not "0-5").
    if (value < 0)
        return u'-' + digits.mid(1).rightJustified(width - 1, u'0');
    return digits.rightJustified(width, u'0');
}

QString RightAlign(const QString &text, int width)
{
    if (text.size() > width)
        return QStringLiteral("-1");
    return text.rightJustified(width, u' ');
}
