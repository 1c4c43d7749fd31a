#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// Serial port numbers 1 to 16 are what the settings store; this maps them to
// the devices of the machine. On Windows port n is COMn. Elsewhere port n is
//   1. the device named by the environment variable KTED_COMn, when set
//      (start scripts wire the program to the simulated controller so);
//   2. else the device named by the settings key "Ports/COMn";
//   3. else the n-th serial device the system reports, USB and ACM adapters
//      first, each group sorted by name.

inline constexpr int kFirstPortNo = 1;
inline constexpr int kLastPortNo = 16;

// True for 1 to 16.
bool IsValidPortNo(int n);

// The settings key and the environment variable that name port n's device.
QString PortSettingsKey(int n);        // "Ports/COM3"
QString PortEnvironmentVariable(int n); // "KTED_COM3"

// Puts device paths in port order: USB and ACM adapters first, then the
// rest, each group by name with embedded numbers compared as numbers
// (ttyUSB2 before ttyUSB10).
QStringList OrderSerialDevices(const QStringList &devices);

// The serial devices the system reports, in port order.
QStringList SystemSerialDevices();

// The device of port n; empty when there is none.
QString PortDevice(int n, const SettingsStore &store);
// The same with the system's devices given (in port order).
QString PortDevice(int n, const SettingsStore &store, const QStringList &systemDevices);
