#pragma once

#include "operation/iosignals.h"

#include <QObject>
#include <QTimer>

#include <cstdint>

class ControllerLink;

// The I/O monitor's behaviour, without its window: the 300 ms monitor cycle
// that reads the controller's three I/O bytes ("0RB" 105, 106, 107) and
// writes the output byte ("0WB107"), the start/stop requests of the
// window's button and the output toggles of its double-clicks. The window
// shows `view()` whenever `viewChanged()` fires and forwards its clicks.
//
// Three rules keep the monitor safe:
// - One cycle at a time: a tick that comes while a cycle still waits for
//   the controller is skipped, so a slow controller never gets a second
//   cycle (which the link would refuse) and monitoring goes on.
// - No blind writes: outputs are switched only while monitoring runs and
//   once byte 107 has been read in this run of monitoring; the written byte
//   is that byte with only the toggled outputs changed. Toggles pending
//   when monitoring stops are dropped.
// - An enabled start/stop button acts: after a failed read the monitor stays
//   stopped and the button stays disabled, so only "Close" remains.
class IoMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCycleMs = 300;      // timerInputOutput
    static constexpr int kButtonOffMs = 500;  // TimerBtnOff

    // What the window shows.
    struct View
    {
        Io::Lamps lamps;            // lamps lit (all dark while not monitoring)
        bool stopCaption = false;   // cmdIoCheck reads "Stop Monitor"
        bool checkEnabled = true;   // cmdIoCheck
        bool closeEnabled = true;   // cmdIoWinClose
        bool switchable = false;    // the outputs take a toggle now
        bool operator==(const View &) const = default;
    };

    explicit IoMonitor(ControllerLink &link, QObject *parent = nullptr);
    ~IoMonitor() override;

    const View &view() const { return m_view; }
    bool isMonitoring() const { return mMonitoring; }
    // A cycle is talking to the controller now.
    bool isCycleRunning() const { return m_inCycle; }

    // The start/stop button (cmdIoCheck) was clicked.
    void IoCheckClick();
    // An output's lamp or picture was double-clicked: switch that output
    // with the next cycle. Ignored unless `view().switchable`.
    void RequestToggle(Io::Output output);
    // The window may close now (no cycle waits for the controller).
    bool canClose() const { return !m_inCycle; }
    // The window closes: monitoring ends, the timers stop and the port is
    // released (kept open when the user holds it).
    void Shutdown();

    // The routines of the cycle ------------------------------------------

    // Opens the port, switches to communication mode and reads the three
    // bytes; 0 good, 1 failed (reported by the link; the monitor is then
    // stopped for good, see the class comment).
    int ReadIoStateFromCt();
    // Writes byte 107 with the requested outputs switched; 0 or 1.
    int WriteOutputs();
    // The lamps from the last read signals.
    void IoStateHyoji();
    // Every lamp dark.
    void AllLED_Off();

signals:
    void viewChanged();

private:
    void onCycleTick();
    void onButtonOffTick();
    void cycle();
    void endMonitoring();
    void clearToggles();
    void updateView();

    ControllerLink &m_link;
    QTimer timerInputOutput;
    QTimer TimerBtnOff;

    Io::Lamps m_signals;       // the signal flags from the last reads
    bool m_showLamps = false;  // IoStateHyoji (true) or AllLED_Off (false)
    uint8_t m_byte107 = 0;     // byte 107 as last read
    bool m_byte107Read = false; // ... in this run of monitoring
    uint8_t m_toggles = 0;     // outputs to switch (Io::Output bits)

    bool mMonitoring = false;
    bool mStartRequest = false;
    bool mStopRequest = false;
    bool mWriteRequest = false;
    bool m_inCycle = false;
    bool m_readFailed = false;

    bool m_stopCaption = false;
    bool m_checkEnabled = true;
    bool m_closeEnabled = true;
    View m_view;
};
