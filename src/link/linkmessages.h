#pragma once

#include <QString>

// The texts with which the link reports to the user, assembled from the
// string table. Pieces of a message are separated by an empty line, the
// same separator JoinTexts uses.
namespace LinkText {

// String-table IDs used by the link.
enum Id : int {
    NoError = 29,
    HomingFailureFirst = 449,   // 449 .. 455
    HomingFailureLast = 455,
    ResetAdvice = 360,
    EmergencyStopAdvice = 366,
    PortOpenFailed = 374,
    ErrorListMissing = 477,
    ErrorListInstall = 478,
    TimeoutTitle = 500,         // 500 .. 503
    TimeoutCheck = 501,
    TimeoutPower = 502,
    TimeoutCable = 503,
    CommError = 504,
    LengthError = 505,
    LengthWrong = 506,
    AlarmUnlisted = 576,
    // Reports of the serial device itself.
    PortLost = 620,
    PortLostAdvice = 621,
    PortAccessDenied = 622,
    PortAccessLinux = 623,
};

// The alarm number "0E": emergency stop.
inline constexpr char kEmergencyStopCode[] = "0E";
// The alarm number "0B": the home sensor was not found while homing.
inline constexpr char kHomingFailureCode[] = "0B";

QString EmptyLine();

// 500, 501, 502, 503.
QString TimeoutMessage();
// 504.
QString CommErrorMessage();
// 505, 506.
QString LengthErrorMessage();

// The message for a command answered by an alarm report. For a listed
// alarm: 504, "Error No." + number, "[" + comment + "]" and the advice (366
// for an emergency stop, else 360); for an unlisted one: 504 and "[" +
// comment + "]", the comment being whatever was last found.
QString AlarmMessage(bool listed, const QString &alarmNo, const QString &comment,
                     const QString &alarmCode);

// 374.
QString PortOpenFailedMessage();
// 374, then that access to the port was refused, with the port and its
// device, and on Linux how to get access (the dialout group).
QString PortAccessDeniedMessage(int portNo, const QString &device);
// The port vanished while the program was talking to the controller.
QString PortLostMessage(int portNo, const QString &device);

// 477, 478.
QString ErrorListMissingMessage();
// 449 to 455: the home sensor was not found while homing.
QString HomingFailureMessage();

// "COM1 (/dev/ttyUSB0)": how a port and its device are named in messages.
QString PortLabel(int portNo, const QString &device);

} // namespace LinkText
