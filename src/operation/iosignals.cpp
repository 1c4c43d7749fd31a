#include "operation/iosignals.h"

#include "link/commandset.h"

namespace Io {

namespace {

// Where each lamp's signal sits: the byte, the bit within it (the high hex
// digit's bits are 4 to 7) and whether a set bit lights the lamp.
struct SignalBit
{
    int address;
    int bit;
    Lamp lamp;
    bool litWhenSet;
};

constexpr std::array<SignalBit, kLampCount> kSignalBits{{
    {Ctl::kIoByteHomeLimit, 4, Lamp::HomeLs, false},
    {Ctl::kIoByteSelect, 0, Lamp::Posi1, false},
    {Ctl::kIoByteSelect, 1, Lamp::Posi2, false},
    {Ctl::kIoByteSelect, 2, Lamp::Posi4, false},
    {Ctl::kIoByteOutputs, 5, Lamp::EmgStop, false},
    {Ctl::kIoByteOutputs, 0, Lamp::Pend, true},
    {Ctl::kIoByteOutputs, 1, Lamp::Out1, true},
    {Ctl::kIoByteOutputs, 2, Lamp::Out2, true},
}};

} // namespace

void ApplyIoByte(Lamps &lamps, int address, uint8_t value)
{
    for (const SignalBit &s : kSignalBits) {
        if (s.address != address)
            continue;
        const bool set = (value >> s.bit) & 1;
        lamps.set(s.lamp, set == s.litWhenSet);
    }
}

QString OutputBytePayload(uint8_t readByte107, uint8_t toggleMask)
{
    constexpr uint8_t kSwitchable = static_cast<uint8_t>(Output::Pend) | static_cast<uint8_t>(Output::Out1)
                                    | static_cast<uint8_t>(Output::Out2);
    const uint8_t value = readByte107 ^ (toggleMask & kSwitchable);
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

Lamp LampOf(Output output)
{
    switch (output) {
    case Output::Pend:
        return Lamp::Pend;
    case Output::Out1:
        return Lamp::Out1;
    case Output::Out2:
        break;
    }
    return Lamp::Out2;
}

} // namespace Io
