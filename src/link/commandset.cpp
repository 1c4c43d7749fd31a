#include "link/commandset.h"

namespace Ctl {

namespace {

CommandLine Make(const CommandInfo &info, const QString &payload)
{
    CommandLine line;
    line.head = QString::fromLatin1(info.head);
    line.payload = payload;
    line.replyLength = info.replyLength;
    line.timeoutMs = info.timeoutMs;
    line.wait = info.wait;
    return line;
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QString HexDigits(uint32_t value)
{
    return QString::number(value, 16).toUpper();
}

CommandLine CommMode(CtMode mode)
{
    CommandLine line = Make(kCommMode, QString::number(static_cast<int>(mode)));
    // Switching to communication mode opens every operation; it is given a
    // short time-out so that a missing controller is noticed quickly.
    if (mode == CtMode::Communication)
        line.timeoutMs = kCommModeTimeoutMs;
    return line;
}

CommandLine ReadBlock(const QString &block)
{
    CommandLine line = Make(kReadBlock, block);
    line.echoedPayload = static_cast<int>(block.size());
    return line;
}

CommandLine WriteBlock(const QString &block, const QString &data16)
{
    return Make(kWriteBlock, block + data16);
}

CommandLine ReadPosition(int positionNo)
{
    CommandLine line = Make(kReadPosition, HexDigits(static_cast<uint32_t>(positionNo)));
    line.echoedPayload = static_cast<int>(line.payload.size());
    return line;
}

CommandLine WritePosition(const QString &record11)
{
    return Make(kWritePosition, record11);
}

CommandLine MoveTo(int positionNo)
{
    return Make(kMove, HexDigits(static_cast<uint32_t>(positionNo)));
}

CommandLine ReadOutputState()
{
    return Make(kReadOutputState, QString());
}

CommandLine ReadHomeState()
{
    return Make(kReadHomeState, QString());
}

CommandLine ReadPresentPos()
{
    return Make(kReadPresentPos, QString());
}

CommandLine ReadVersion()
{
    return Make(kReadVersion, QString());
}

CommandLine ClearAlarm()
{
    return Make(kClearAlarm, QString());
}

// The I/O reads keep the plain head check: the I/O monitor passes over a
// reply for another byte and goes on monitoring (DecodeIoByte).
CommandLine ReadIoByte(int address)
{
    return Make(kReadIoByte, QString::number(address));
}

CommandLine WriteOutputByte(const QString &hex2)
{
    return Make(kWriteOutputByte, QString::number(kIoByteOutputs) + hex2);
}

QString ResetControllerText()
{
    return QString::fromLatin1(kCommMode.head) + QString::number(static_cast<int>(CtMode::Reset));
}

QString RecoveryText()
{
    return QString::fromLatin1(kCommMode.head) + QString::number(static_cast<int>(CtMode::External));
}

QByteArray Frame(const QString &text)
{
    return text.toLatin1() + "\r\n";
}

QString Field(const QString &reply, int from, int count)
{
    if (from < 1 || count <= 0)
        return QString();
    return reply.mid(from - 1, count);
}

std::optional<uint32_t> ReadHex(const QString &reply, int from, int count)
{
    const QString field = Field(reply, from, count);
    if (field.size() != count || count > 8)
        return std::nullopt;
    uint32_t value = 0;
    for (QChar c : field) {
        const int d = HexDigitValue(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<uint32_t>(d);
    }
    return value;
}

uint32_t LeadingHexValue(const QString &text)
{
    uint32_t value = 0;
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    for (; i < text.size(); ++i) {
        const int d = HexDigitValue(text.at(i));
        if (d < 0)
            break;
        // Codes are short; a run of digits too long for 32 bits keeps its
        // low part rather than overflowing into undefined behaviour.
        value = value * 16 + static_cast<uint32_t>(d);
    }
    return value;
}

bool IsAlarmReport(const QString &reply)
{
    return reply.startsWith(QLatin1String(kAlarmReportHead));
}

QString AlarmCode(const QString &reply)
{
    // A report cut short leaves its line end inside the field.
    QString code = Field(reply, 4, 2);
    code.remove(QLatin1Char('\r'));
    code.remove(QLatin1Char('\n'));
    return code;
}

std::optional<std::array<uint8_t, 8>> BlockBytes(const QString &reply)
{
    std::array<uint8_t, 8> bytes{};
    for (int k = 1; k <= 8; ++k) {
        const auto b = ReadHex(reply, 4 + 2 * k, 2);
        if (!b)
            return std::nullopt;
        bytes[static_cast<size_t>(k - 1)] = static_cast<uint8_t>(*b);
    }
    return bytes;
}

std::optional<PositionRow> DecodePositionRow(const QString &reply)
{
    const auto vel = ReadHex(reply, 5, 1);
    const auto acc = ReadHex(reply, 6, 1);
    const auto out = ReadHex(reply, 7, 1);
    const auto cd = ReadHex(reply, 8, 1);
    const auto pulses = ReadHex(reply, 9, 6);
    if (!vel || !acc || !out || !cd || !pulses)
        return std::nullopt;
    PositionRow row;
    row.vel = static_cast<int>(*vel);
    row.acc = static_cast<int>(*acc);
    row.out = static_cast<int>(*out);
    row.currentDown = static_cast<int>(*cd);
    row.pulses = static_cast<int32_t>(*pulses);
    return row;
}

std::optional<int> DecodeOutputState(const QString &reply)
{
    const QString c = Field(reply, 4, 1);
    if (c.size() != 1 || c.at(0) < QLatin1Char('0') || c.at(0) > QLatin1Char('3'))
        return std::nullopt;
    return c.at(0).unicode() - '0';
}

std::optional<int> DecodeHomeState(const QString &reply)
{
    const auto h = ReadHex(reply, 4, 1);
    if (!h)
        return std::nullopt;
    return static_cast<int>(*h);
}

std::optional<int32_t> DecodePresentPos(const QString &reply)
{
    const auto p = ReadHex(reply, 9, 6);
    if (!p)
        return std::nullopt;
    return static_cast<int32_t>(*p);
}

QString DecodeVersion(const QString &reply)
{
    return Field(reply, 4, 3);
}

std::optional<int> DecodeIoByte(const QString &reply, int address)
{
    const QString head = QString::fromLatin1(kReadIoByte.head) + QString::number(address);
    if (reply.size() != kReadIoByte.replyLength || !reply.startsWith(head))
        return std::nullopt;
    const auto value = ReadHex(reply, 7, 2);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace Ctl
