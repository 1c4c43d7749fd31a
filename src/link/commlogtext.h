#pragma once

// String-table IDs of the communication log.
namespace CommLogText {

enum Id : int {
    MenuEntry = 1030,
    WindowTitle = 1031,
    ColumnTime = 1032,
    ColumnDirection = 1033,
    ColumnData = 1034,
    Sent = 1035,
    Received = 1036,
    Event = 1037,
    Pause = 1038,
    Resume = 1039,
    Clear = 1040,
    Copy = 1041,
    Save = 1042,
    SaveTitle = 1043,
    SaveFilter = 1044,
    PortOpened = 1045,
    PortClosed = 1046,
    PortLost = 1047,
    Timeout = 1048,
    MoveWatchElapsed = 1049,
    WrongEcho = 1050,
    WrongLength = 1051,
    AlarmReport = 1052,
    LogFileFailed = 1053,
    Paused = 1054,
};

} // namespace CommLogText
