#pragma once

#include <QString>

// What reading the stored model needs of the actuator catalogue. The
// catalogue implements it; the settings code stays free of the list files.
class DeviceLookup
{
public:
    virtual ~DeviceLookup() = default;

    // 0 when the catalogue file of the family (exactly "KT" selects a KT
    // file) and generation can be read, 1 when not (the catalogue reports it).
    virtual int CheckDeviceList(const QString &family, bool isNewType) = 0;

    // Lead of the first catalogue model with that size, speed and stroke;
    // 0 when none matches.
    virtual int SeekRido(const QString &family, bool isNewType, const QString &size,
                         const QString &speed, int stroke) = 0;
};
