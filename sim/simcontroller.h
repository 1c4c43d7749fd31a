#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The simulated controller's behaviour: it takes one command line (without
// CR LF) and answers as the controller does, keeping the state that the
// commands read and write: the parameter blocks, the three positions, the
// home state and present position, the outputs and I/O bytes, the version
// and an alarm. It knows nothing of ports or time; SimulatedController
// carries its answers over a pseudo-terminal.
class SimController
{
public:
    struct Position
    {
        int vel = 1;
        int acc = 1;
        int out = 0;
        int currentDown = 2;
        uint32_t pulses = 0;
    };

    // The answer to one line: the reply text without CR LF (none for a line
    // the controller does not answer), and how long a move takes before the
    // reply comes.
    struct Answer
    {
        std::optional<QByteArray> reply;
        int delayMs = 0;
    };

    SimController();

    Answer handle(const QByteArray &line);

    // Parameter blocks: two-character address, 16 hex digits. Blocks never
    // written read as FFFFFFFFFFFFFFFF.
    QString block(const QString &address) const;
    void setBlock(const QString &address, const QString &data16);

    // Positions 1 to 3 (0 is the home position at 0 pulses).
    Position position(int n) const;
    void setPosition(int n, const Position &p);

    // An alarm makes the controller answer every command with its report
    // "0%%" + code. The alarm clear "0%C" ends it, unless it is sticky (an
    // emergency stop still pressed), which only a reset ("0CM3") ends.
    void setAlarm(const QString &code, bool sticky = false);
    void clearAlarm();
    std::optional<QString> alarm() const { return m_alarm; }

    int mode() const { return m_mode; }                // last "0CM" digit, 0 or 1
    int homeState() const { return m_homeState; }      // 1 after homing
    void setHomeState(int h) { m_homeState = h; }
    uint32_t presentPosition() const { return m_present; }
    int outputs() const { return m_outputs; }          // bit 0 = OUT1, bit 1 = OUT2
    int resetCount() const { return m_resets; }

    // The six characters after "0RV"; the first three are the version.
    void setVersion(const QString &six) { m_version = six; }

    // I/O bytes 105, 106, 107 as "0RB" reports them.
    uint8_t ioByte(int address) const;
    // Fixes an I/O byte to a value until cleared with -1.
    void setIoByteOverride(int address, int value);

    // The inputs as wired to the controller. An input set here is made
    // (true) or open (false) whatever the controller's own state says, until
    // it is released with std::nullopt; the home switch otherwise follows
    // the home state. "0RB" reports them in bytes 105 to 107, active low.
    enum class Input { HomeLs, EmgStop, Posi1, Posi2, Posi4 };
    void setInput(Input input, std::optional<bool> made);
    // An I/O byte as "0RB" reports it: ioByte() with the inputs set above.
    uint8_t ioByteWithInputs(int address) const;

    // Simulated moves take their computed time multiplied by this.
    void setMoveTimeScale(double scale) { m_moveTimeScale = scale; }
    // When 0 or more, every move takes this many ms instead.
    void setFixedMoveMs(int ms) { m_fixedMoveMs = ms; }

    // How long a move to position n takes from the present state, in ms.
    int moveDurationMs(int n) const;

    // A faulty home sensor: every move that has to home (home itself, or any
    // move before the actuator is homed) runs for the homing time and then
    // fails with the alarm "0B", which stays until cleared.
    void setHomeSensorFault(bool on) { m_homeFault = on; }
    bool homeSensorFault() const { return m_homeFault; }

private:
    std::optional<QByteArray> moveTo(int n, int *delayMs);
    uint32_t targetPulses(int n) const;
    double speedPulsesPerSecond(int velSelection) const;
    double homingPulsesPerSecond() const;
    uint8_t blockByte(const QString &address, int k) const;
    QByteArray positionFields(int n) const;

    QMap<QString, QString> m_blocks;
    std::array<Position, 4> m_positions{};
    std::optional<QString> m_alarm;
    bool m_alarmSticky = false;
    int m_mode = 0;
    int m_homeState = 0;
    uint32_t m_present = 0;
    int m_outputs = 0;
    int m_resets = 0;
    uint8_t m_byte107Spare = 0;
    QString m_version = QStringLiteral("1.3K01");
    std::array<int, 3> m_ioOverride{-1, -1, -1};
    std::array<std::optional<bool>, 5> m_inputs{};
    double m_moveTimeScale = 1.0;
    int m_fixedMoveMs = -1;
    bool m_homeFault = false;
};
