#include "link/portprobe.h"

#include "link/commport.h"
#include "link/controllerlink.h"
#include "link/portnames.h"

#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

namespace {

// The system's knowledge of a device, found by its path or by the path a
// link (such as /dev/serial/by-id/...) points to.
struct Known
{
    QString description;
    QString manufacturer;
};

QString CanonicalDevice(const QString &device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

} // namespace

QList<SerialPortEntry> ListPorts(const SettingsStore &store)
{
    QHash<QString, Known> known;
    QStringList devices;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        devices.append(info.systemLocation());
        const Known k{info.description().trimmed(), info.manufacturer().trimmed()};
        known.insert(info.systemLocation(), k);
        known.insert(CanonicalDevice(info.systemLocation()), k);
        known.insert(info.portName(), k);
    }
    const QStringList ordered = OrderSerialDevices(devices);

    QList<SerialPortEntry> entries;
    for (int n = kFirstPortNo; n <= kLastPortNo; ++n) {
        SerialPortEntry e;
        e.number = n;
        e.device = PortDevice(n, store, ordered);
        if (!e.device.isEmpty()) {
            auto it = known.constFind(e.device);
            if (it == known.constEnd())
                it = known.constFind(CanonicalDevice(e.device));
            if (it != known.constEnd()) {
                e.description = it->description;
                e.manufacturer = it->manufacturer;
            }
        }
        entries.append(e);
    }
    return entries;
}

QList<SerialPortEntry> ProbePorts(const ControllerLink &link, const SettingsStore &store)
{
    QList<SerialPortEntry> entries = ListPorts(store);
    for (SerialPortEntry &e : entries) {
        if (link.isPortOpen() && link.openPortNo() == e.number)
            e.available = true; // held by the program: not touched
        else if (!e.device.isEmpty())
            e.available = CommPort::probe(e.device) == CommPort::OpenResult::Opened;
    }
    return entries;
}

QString PortListText(const SerialPortEntry &entry)
{
    QString text = QStringLiteral("COM") + QString::number(entry.number);
    if (entry.device.isEmpty())
        return text;
    if (entry.device != text) // on Windows the device is the name itself
        text += QStringLiteral("  ") + entry.device;
    QStringList about;
    if (!entry.description.isEmpty())
        about.append(entry.description);
    if (!entry.manufacturer.isEmpty() && entry.manufacturer != entry.description)
        about.append(entry.manufacturer);
    if (!about.isEmpty())
        text += QStringLiteral("  (") + about.join(QStringLiteral(", ")) + u')';
    return text;
}
