#include "link/portnames.h"

#include "app/settingsstore.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

bool IsAdapter(const QString &device)
{
    const QString name = QFileInfo(device).fileName();
    static const char *const kAdapterPrefixes[] = {"ttyUSB", "ttyACM", "cu.usb", "tty.usb"};
    for (const char *prefix : kAdapterPrefixes) {
        if (name.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

// Compares names so that runs of digits count as numbers.
bool NaturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype ie = i;
            qsizetype je = j;
            while (ie < a.size() && a.at(ie).isDigit())
                ++ie;
            while (je < b.size() && b.at(je).isDigit())
                ++je;
            // Strip leading zeros, then the longer run is the larger number.
            QStringView da = QStringView(a).mid(i, ie - i);
            QStringView db = QStringView(b).mid(j, je - j);
            while (da.size() > 1 && da.front() == QLatin1Char('0'))
                da = da.mid(1);
            while (db.size() > 1 && db.front() == QLatin1Char('0'))
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            const int c = da.compare(db);
            if (c != 0)
                return c < 0;
            i = ie;
            j = je;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace

bool IsValidPortNo(int n)
{
    return n >= kFirstPortNo && n <= kLastPortNo;
}

QString PortSettingsKey(int n)
{
    return QStringLiteral("Ports/COM") + QString::number(n);
}

QString PortEnvironmentVariable(int n)
{
    return QStringLiteral("KTED_COM") + QString::number(n);
}

QStringList OrderSerialDevices(const QStringList &devices)
{
    QStringList adapters;
    QStringList others;
    for (const QString &d : devices)
        (IsAdapter(d) ? adapters : others).append(d);
    std::sort(adapters.begin(), adapters.end(), NaturalLess);
    std::sort(others.begin(), others.end(), NaturalLess);
    return adapters + others;
}

QStringList SystemSerialDevices()
{
    QStringList devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        devices.append(info.systemLocation());
    return OrderSerialDevices(devices);
}

namespace {

// The device that the environment or the settings name for port n.
QString ConfiguredDevice(int n, const SettingsStore &store)
{
    const QString fromEnv = qEnvironmentVariable(PortEnvironmentVariable(n).toLatin1().constData());
    if (!fromEnv.isEmpty())
        return fromEnv;
    return store.readText(PortSettingsKey(n), QString());
}

} // namespace

QString PortDevice(int n, const SettingsStore &store)
{
#ifdef Q_OS_WIN
    return PortDevice(n, store, QStringList());
#else
    // A configured device costs no enumeration of the system's ports.
    if (IsValidPortNo(n)) {
        const QString configured = ConfiguredDevice(n, store);
        if (!configured.isEmpty())
            return configured;
    }
    return PortDevice(n, store, SystemSerialDevices());
#endif
}

QString PortDevice(int n, const SettingsStore &store, const QStringList &systemDevices)
{
    if (!IsValidPortNo(n))
        return QString();
#ifdef Q_OS_WIN
    Q_UNUSED(store);
    Q_UNUSED(systemDevices);
    return QStringLiteral("COM") + QString::number(n);
#else
    const QString configured = ConfiguredDevice(n, store);
    if (!configured.isEmpty())
        return configured;
    return n <= systemDevices.size() ? systemDevices.at(n - 1) : QString();
#endif
}
