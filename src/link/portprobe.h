#pragma once

#include <QList>
#include <QString>

class ControllerLink;
class SettingsStore;

// One port number of the machine as the Options dialog and the system
// information list it: the device behind it and what the system says of
// the adapter.
struct SerialPortEntry
{
    int number = 0;          // 1 to 16
    QString device;          // /dev/ttyUSB0, COM3; empty when there is none
    QString description;     // the adapter's description, where reported
    QString manufacturer;    // its maker, where reported
    bool available = false;  // it opened (or is the port the program holds)
};

// The ports 1 to 16 and their devices, without opening any of them. The
// system's ports are enumerated once.
QList<SerialPortEntry> ListPorts(const SettingsStore &store);

// The same, each port tried by opening and closing it at once: nothing is
// sent and nothing waits on the line. The port the link holds open counts
// as available and is left open; no other port is reported available
// unless it opened.
QList<SerialPortEntry> ProbePorts(const ControllerLink &link, const SettingsStore &store);

// "COM3" and, when known, the device with the adapter's description and
// maker: "COM3  /dev/ttyUSB0  (FT232R USB UART, FTDI)".
QString PortListText(const SerialPortEntry &entry);
