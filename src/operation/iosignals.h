#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The controller's I/O signals as the I/O monitor shows them, and the bits
// of the three I/O bytes that carry them. Byte 105 holds the home limit
// switch, byte 106 the three position-select inputs, byte 107 the emergency
// stop input and the outputs. Inputs are active low; outputs read 1 while
// they are on. Nothing here talks to the controller.
namespace Io {

// The eight lamps of the monitor.
enum class Lamp {
    HomeLs,   // home limit switch (byte 105)
    EmgStop,  // emergency stop (byte 107)
    Posi1,    // position select 1 (byte 106)
    Posi2,    // position select 2
    Posi4,    // position select 4
    Pend,     // ready output (byte 107)
    Out1,     // output 1
    Out2,     // output 2
};
inline constexpr int kLampCount = 8;

// The three outputs the user may switch; the value is the output's bit in
// byte 107.
enum class Output : uint8_t { Pend = 0x01, Out1 = 0x02, Out2 = 0x04 };

// One flag a lamp: lit or dark.
class Lamps
{
public:
    bool lit(Lamp lamp) const { return m_lit[static_cast<size_t>(lamp)]; }
    void set(Lamp lamp, bool on) { m_lit[static_cast<size_t>(lamp)] = on; }
    void allOff() { m_lit.fill(false); }
    bool operator==(const Lamps &) const = default;

private:
    std::array<bool, kLampCount> m_lit{};
};

// Sets the lamps that byte `address` (105, 106 or 107) carries from its
// value; the other lamps keep theirs. Other addresses change nothing.
void ApplyIoByte(Lamps &lamps, int address, uint8_t value);

// The two hex digits that write byte 107 back as it was read, with the
// outputs of `toggleMask` (a sum of Output values) switched over. Every
// other bit, the high digit and bit 3 included, is kept.
QString OutputBytePayload(uint8_t readByte107, uint8_t toggleMask);

// The lamp that shows an output.
Lamp LampOf(Output output);

} // namespace Io
