#include "simcontroller.h"

#include <cmath>
#include <cstdlib>

namespace {

bool IsHexText(const QByteArray &text)
{
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex)
            return false;
    }
    return true;
}

int HexValue(const QByteArray &text)
{
    return static_cast<int>(std::strtol(text.constData(), nullptr, 16));
}

QByteArray Hex(uint32_t value, int width)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(width, '0', true);
}

const QString kUnusedBlock = QStringLiteral("FFFFFFFFFFFFFFFF");

} // namespace

SimController::SimController()
{
    // A KT new-generation actuator, size 28, speed L, stroke 100 mm, lead
    // 2 mm, 400 pulses per revolution: the model a first run starts with.
    m_blocks[QStringLiteral("00")] = QStringLiteral("FF02000000FFFFFF");
    m_blocks[QStringLiteral("10")] = QStringLiteral("004E2002020202FF"); // 20000 pulses
    // VEL1-3 10,20,30; homing byte 0 = home sensor, which reads back as a
    // vertical mounting, as a KT new-generation actuator always is.
    m_blocks[QStringLiteral("11")] = QStringLiteral("285078010100FFFF");
    m_blocks[QStringLiteral("12")] = QStringLiteral("8CA0B4C8DCF0FFFF"); // VEL4-9 35..60
    m_blocks[QStringLiteral("13")] = QStringLiteral("0A0A0A0101020190"); // lead 2, 400 p/rev
    m_blocks[QStringLiteral("14")] = QStringLiteral("1C4C006400FFFFFF"); // " 28" "L" 100, type 0
    m_positions[1] = {1, 1, 1, 2, 5000};
    m_positions[2] = {2, 2, 2, 2, 10000};
    m_positions[3] = {3, 3, 3, 2, 15000};
}

QString SimController::block(const QString &address) const
{
    return m_blocks.value(address.toUpper(), kUnusedBlock);
}

void SimController::setBlock(const QString &address, const QString &data16)
{
    m_blocks[address.toUpper()] = data16.toUpper();
}

SimController::Position SimController::position(int n) const
{
    if (n < 1 || n > 3)
        return Position{1, 1, 0, 2, 0};
    return m_positions[static_cast<size_t>(n)];
}

void SimController::setPosition(int n, const Position &p)
{
    if (n >= 1 && n <= 3)
        m_positions[static_cast<size_t>(n)] = p;
}

void SimController::setAlarm(const QString &code, bool sticky)
{
    m_alarm = code;
    m_alarmSticky = sticky;
}

void SimController::clearAlarm()
{
    m_alarm.reset();
    m_alarmSticky = false;
}

uint8_t SimController::ioByte(int address) const
{
    const int index = address - 105;
    if (index >= 0 && index < 3 && m_ioOverride[static_cast<size_t>(index)] >= 0)
        return static_cast<uint8_t>(m_ioOverride[static_cast<size_t>(index)]);
    switch (address) {
    case 105: {
        // High digit bit 0 is the home limit switch, 0 while it is made.
        const bool atHome = m_homeState == 1 && m_present == 0;
        return atHome ? 0xEF : 0xFF;
    }
    case 106:
        return 0xFF; // no position-select input active (they are active low)
    case 107: {
        // High digit bit 1: emergency stop, 0 while pressed. Low digit:
        // bit 0 ready, bit 1 OUT1, bit 2 OUT2, bit 3 kept as written.
        const bool emergency = m_alarm && *m_alarm == QLatin1String("0E");
        const int high = emergency ? 0x0 : 0x2;
        const int ready = m_alarm ? 0 : 1;
        const int low = ready | ((m_outputs & 1) << 1) | ((m_outputs & 2) << 1) | m_byte107Spare;
        return static_cast<uint8_t>((high << 4) | low);
    }
    default:
        return 0xFF;
    }
}

void SimController::setIoByteOverride(int address, int value)
{
    const int index = address - 105;
    if (index >= 0 && index < 3)
        m_ioOverride[static_cast<size_t>(index)] = value;
}

void SimController::setInput(Input input, std::optional<bool> made)
{
    m_inputs[static_cast<size_t>(input)] = made;
}

uint8_t SimController::ioByteWithInputs(int address) const
{
    struct Wiring
    {
        Input input;
        int address;
        int bit;
    };
    static constexpr Wiring kWiring[] = {
        {Input::HomeLs, 105, 4}, {Input::Posi1, 106, 0}, {Input::Posi2, 106, 1},
        {Input::Posi4, 106, 2},  {Input::EmgStop, 107, 5},
    };
    uint8_t value = ioByte(address);
    for (const Wiring &w : kWiring) {
        const std::optional<bool> made = m_inputs[static_cast<size_t>(w.input)];
        if (w.address != address || !made)
            continue;
        // Active low: a made input reads 0.
        if (*made)
            value = static_cast<uint8_t>(value & ~(1u << w.bit));
        else
            value = static_cast<uint8_t>(value | (1u << w.bit));
    }
    return value;
}

uint8_t SimController::blockByte(const QString &address, int k) const
{
    const QString data = block(address);
    return static_cast<uint8_t>(data.mid((k - 1) * 2, 2).toUInt(nullptr, 16));
}

double SimController::speedPulsesPerSecond(int velSelection) const
{
    // VEL 1-3 are bytes 1-3 of block 11, VEL 4-9 bytes 1-6 of block 12,
    // each sent as four times the speed value; a value is 166 pulses/s.
    int raw = 0;
    if (velSelection >= 1 && velSelection <= 3)
        raw = blockByte(QStringLiteral("11"), velSelection);
    else if (velSelection >= 4 && velSelection <= 9)
        raw = blockByte(QStringLiteral("12"), velSelection - 3);
    const double value = raw / 4.0;
    return value > 0 ? value * 166.0 : 166.0;
}

double SimController::homingPulsesPerSecond() const
{
    const int homingValue = blockByte(QStringLiteral("11"), 4);
    const double rate = 1600.0 - (homingValue - 1) * 100.0;
    return rate > 0 ? rate : 100.0;
}

uint32_t SimController::targetPulses(int n) const
{
    return n == 0 ? 0 : position(n).pulses;
}

int SimController::moveDurationMs(int n) const
{
    if (m_fixedMoveMs >= 0)
        return m_fixedMoveMs;
    const uint32_t stroke = (static_cast<uint32_t>(blockByte(QStringLiteral("10"), 1)) << 16)
                            | (static_cast<uint32_t>(blockByte(QStringLiteral("10"), 2)) << 8)
                            | blockByte(QStringLiteral("10"), 3);
    double seconds = 0;
    if (n == 0) {
        seconds = stroke / homingPulsesPerSecond();
    } else {
        uint32_t from = m_present;
        if (m_homeState != 1) {
            // An actuator that has not been homed homes first.
            seconds += stroke / homingPulsesPerSecond();
            from = 0;
        }
        const double distance = std::fabs(static_cast<double>(targetPulses(n)) - from);
        seconds += distance / speedPulsesPerSecond(position(n).vel);
    }
    return static_cast<int>(std::lround(seconds * 1000.0 * m_moveTimeScale));
}

QByteArray SimController::positionFields(int n) const
{
    const Position p = position(n);
    QByteArray fields = Hex(static_cast<uint32_t>(n), 1);
    fields += Hex(static_cast<uint32_t>(p.vel), 1);
    fields += Hex(static_cast<uint32_t>(p.acc), 1);
    fields += Hex(static_cast<uint32_t>(p.out), 1);
    fields += QByteArray::number(p.currentDown);
    fields += Hex(n == 0 ? 0 : p.pulses, 6);
    return fields;
}

std::optional<QByteArray> SimController::moveTo(int n, int *delayMs)
{
    if (m_homeFault && (n == 0 || m_homeState != 1)) {
        // The homing run goes the whole stroke without finding the sensor.
        *delayMs = moveDurationMs(0);
        m_homeState = 0;
        m_outputs = 0;
        m_alarm = QStringLiteral("0B");
        m_alarmSticky = false;
        return QByteArray("0%%0B");
    }
    *delayMs = moveDurationMs(n);
    m_homeState = 1;
    m_present = targetPulses(n);
    m_outputs = n == 0 ? 0 : (position(n).out & 3);
    return QByteArray("0MP") + positionFields(n);
}

SimController::Answer SimController::handle(const QByteArray &line)
{
    Answer answer;
    if (line.size() < 3 || line.at(0) != '0')
        return answer;
    const QByteArray head = line.left(3);
    const QByteArray payload = line.mid(3);

    // The reset is obeyed whatever state the controller is in.
    if (head == "0CM" && payload == "3") {
        ++m_resets;
        m_alarm.reset();
        m_alarmSticky = false;
        m_homeState = 0;
        m_mode = 0;
        return answer; // no reply
    }

    if (head == "0%C") {
        if (m_alarm && m_alarmSticky) {
            answer.reply = QByteArray("0%%") + m_alarm->toLatin1();
            return answer;
        }
        m_alarm.reset();
        answer.reply = QByteArray("0%C00");
        return answer;
    }

    if (m_alarm) {
        answer.reply = QByteArray("0%%") + m_alarm->toLatin1();
        return answer;
    }

    if (head == "0CM") {
        if (payload == "0" || payload == "1") {
            m_mode = payload.toInt();
            answer.reply = line;
        }
        return answer;
    }
    if (head == "0RD") {
        if (payload.size() == 2 && IsHexText(payload))
            answer.reply = line + block(QString::fromLatin1(payload)).toLatin1();
        return answer;
    }
    if (head == "0WD") {
        if (payload.size() == 18 && IsHexText(payload)) {
            setBlock(QString::fromLatin1(payload.left(2)), QString::fromLatin1(payload.mid(2)));
            answer.reply = QByteArray("0WD") + payload.toUpper();
        }
        return answer;
    }
    if (head == "0RP") {
        if (payload.size() == 1 && IsHexText(payload) && HexValue(payload) <= 3)
            answer.reply = QByteArray("0RP") + positionFields(HexValue(payload));
        return answer;
    }
    if (head == "0WP") {
        if (payload.size() == 11 && IsHexText(payload)) {
            const int n = HexValue(payload.left(1));
            if (n >= 1 && n <= 3) {
                Position p;
                p.vel = HexValue(payload.mid(1, 1));
                p.acc = HexValue(payload.mid(2, 1));
                p.out = HexValue(payload.mid(3, 1));
                p.currentDown = HexValue(payload.mid(4, 1));
                p.pulses = static_cast<uint32_t>(HexValue(payload.mid(5, 6)));
                setPosition(n, p);
                answer.reply = QByteArray("0WP") + payload.toUpper();
            }
        }
        return answer;
    }
    if (head == "0MP") {
        if (payload.size() == 1 && IsHexText(payload) && HexValue(payload) <= 3)
            answer.reply = moveTo(HexValue(payload), &answer.delayMs);
        return answer;
    }
    if (line == "0RS") {
        answer.reply = QByteArray("0RS") + QByteArray::number(m_outputs) + "0";
        return answer;
    }
    if (line == "0RH") {
        answer.reply = QByteArray("0RH") + Hex(static_cast<uint32_t>(m_homeState), 1);
        return answer;
    }
    if (line == "0RC") {
        answer.reply = QByteArray("0RC00000") + Hex(m_present, 6);
        return answer;
    }
    if (line == "0RV") {
        answer.reply = QByteArray("0RV") + m_version.toLatin1().left(6).leftJustified(6, '0');
        return answer;
    }
    if (head == "0RB") {
        const int address = payload.toInt();
        if (payload.size() == 3 && address >= 105 && address <= 107)
            answer.reply = line + Hex(ioByteWithInputs(address), 2);
        return answer;
    }
    if (head == "0WB") {
        if (payload.size() == 5 && payload.startsWith("107") && IsHexText(payload.mid(3))) {
            const int value = HexValue(payload.mid(3));
            m_outputs = ((value >> 1) & 1) | (((value >> 2) & 1) << 1);
            m_byte107Spare = static_cast<uint8_t>(value & 0x8);
            answer.reply = line.toUpper();
        }
        return answer;
    }
    return answer; // a line the controller does not know goes unanswered
}
