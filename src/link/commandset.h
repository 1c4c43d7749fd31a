#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The controller's command set in one place: every command line the program
// sends is composed here, and every reply field it reads is decoded here.
// A command is a three-character head beginning "0", an optional payload
// and CR LF; a good reply repeats the head and has a fixed length, CR LF
// included. Nothing here talks to the port; ControllerLink sends what these
// functions compose.
namespace Ctl {

// How the wait for a command's reply is bounded.
enum class WaitKind {
    Timeout,    // the reply time-out (gTimeoutMs)
    MoveWatch,  // the move watch: the reply comes when the move has ended
    NoReply,    // written directly, no reply awaited
};

// One command as the link sends it.
struct CommandLine
{
    QString head;          // "0RD", "0MP", ...
    QString payload;       // appended to the head, may be empty
    int replyLength = 0;   // expected reply length, CR LF included
    int timeoutMs = 0;     // the gTimeoutMs the command is sent with
    WaitKind wait = WaitKind::Timeout;
    // How many payload characters a good reply repeats after the head (the
    // block of "0RD", the position of "0RP"): a reply for another block or
    // position is a wrong echo, not data.
    int echoedPayload = 0;

    QString text() const { return head + payload; }
};

// The fixed properties of each command head.
struct CommandInfo
{
    const char *head;
    int replyLength;
    int timeoutMs;
    WaitKind wait;
};

inline constexpr int kOrdinaryTimeoutMs = 5000;
inline constexpr int kCommModeTimeoutMs = 1000;

inline constexpr CommandInfo kCommMode{"0CM", 6, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kReadBlock{"0RD", 23, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kWriteBlock{"0WD", 23, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kReadPosition{"0RP", 16, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kWritePosition{"0WP", 16, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kMove{"0MP", 16, 0, WaitKind::MoveWatch};
inline constexpr CommandInfo kReadOutputState{"0RS", 7, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kReadHomeState{"0RH", 6, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kReadPresentPos{"0RC", 16, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kReadVersion{"0RV", 11, kOrdinaryTimeoutMs, WaitKind::Timeout};
// The alarm clear is answered with one reply length whoever sends it (the
// Reset button and the clean-up after a failed version read alike).
inline constexpr CommandInfo kClearAlarm{"0%C", 7, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kReadIoByte{"0RB", 10, kOrdinaryTimeoutMs, WaitKind::Timeout};
inline constexpr CommandInfo kWriteOutputByte{"0WB", 10, kOrdinaryTimeoutMs, WaitKind::Timeout};

// The controller's alarm report: a line beginning "0%%" whose characters 4
// and 5 are the alarm number in hex.
inline constexpr char kAlarmReportHead[] = "0%%";

// Mode digits of "0CM".
enum class CtMode { External = 0, Communication = 1, Reset = 3 };

// The I/O bytes that "0RB" can address.
inline constexpr int kIoByteHomeLimit = 105;
inline constexpr int kIoByteSelect = 106;
inline constexpr int kIoByteOutputs = 107;

// Composition --------------------------------------------------------------

CommandLine CommMode(CtMode mode);                       // "0CM" + digit
CommandLine ReadBlock(const QString &block);             // "0RD" + "10"
CommandLine WriteBlock(const QString &block, const QString &data16); // "0WD" + block + data
CommandLine ReadPosition(int positionNo);                // "0RP" + hex digit
CommandLine WritePosition(const QString &record11);      // "0WP" + record
CommandLine MoveTo(int positionNo);                      // "0MP" + hex digit, 0 = home
CommandLine ReadOutputState();                           // "0RS"
CommandLine ReadHomeState();                             // "0RH"
CommandLine ReadPresentPos();                            // "0RC"
CommandLine ReadVersion();                               // "0RV"
CommandLine ClearAlarm();                                // "0%C"
CommandLine ReadIoByte(int address);                     // "0RB" + "105"
CommandLine WriteOutputByte(const QString &hex2);        // "0WB107" + two hex digits

// "0CM3": resets the controller; written to the port directly, no reply.
QString ResetControllerText();
// "0CM0": the recovery exchange after a wrong echo or length.
QString RecoveryText();

// A position or block number as the payload writes it: upper-case hex
// without leading zeros.
QString HexDigits(uint32_t value);

// The bytes on the wire: the text, CR, LF.
QByteArray Frame(const QString &text);

// Decoding -----------------------------------------------------------------
// Replies are read by character position, 1 at the first character of the
// echo. Hex fields are unsigned; a field that is cut off or holds anything
// but hex digits reads as nothing.

// count characters from position from (1-based); shorter when the reply is.
QString Field(const QString &reply, int from, int count);
std::optional<uint32_t> ReadHex(const QString &reply, int from, int count);

// The value of the leading hex digits of a text (blanks skipped first); 0
// when there are none. Codes in the error list and alarm numbers are
// compared this way, so "e", "0E" and "00e" are the same number.
uint32_t LeadingHexValue(const QString &text);

bool IsAlarmReport(const QString &reply);
// Characters 4 and 5 of an alarm report (without any CR or LF).
QString AlarmCode(const QString &reply);

// The 8 bytes B1..B8 of a "0RD" reply (characters 6 to 21).
std::optional<std::array<uint8_t, 8>> BlockBytes(const QString &reply);

// A "0RP" reply: speed selection (5), acceleration (6), output (7),
// current-down digit (8) and target position in pulses (9 to 14).
struct PositionRow
{
    int vel = 0;
    int acc = 0;
    int out = 0;
    int currentDown = 0;
    int32_t pulses = 0;
};
std::optional<PositionRow> DecodePositionRow(const QString &reply);

// "0RS": the output state digit "0" to "3" (character 4).
std::optional<int> DecodeOutputState(const QString &reply);
// "0RH": the home state hex digit (character 4).
std::optional<int> DecodeHomeState(const QString &reply);
// "0RC": the present position in pulses (characters 9 to 14).
std::optional<int32_t> DecodePresentPos(const QString &reply);
// "0RV": the three version characters (4 to 6).
QString DecodeVersion(const QString &reply);
// "0RB": the addressed byte (characters 7 and 8), only when the reply is 10
// characters long and is for the given address.
std::optional<int> DecodeIoByte(const QString &reply, int address);

} // namespace Ctl
