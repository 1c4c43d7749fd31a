#include "operation/iomonitor.h"

#include "link/commandset.h"
#include "link/controllerlink.h"

namespace {

constexpr std::array<int, 3> kIoBytes{Ctl::kIoByteHomeLimit, Ctl::kIoByteSelect, Ctl::kIoByteOutputs};

} // namespace

IoMonitor::IoMonitor(ControllerLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    timerInputOutput.setObjectName(QStringLiteral("timerInputOutput"));
    TimerBtnOff.setObjectName(QStringLiteral("TimerBtnOff"));
    // A coarse timer may tick up to 5 % early or late; the cycle keeps its
    // 300 ms.
    timerInputOutput.setTimerType(Qt::PreciseTimer);
    timerInputOutput.setInterval(kCycleMs);
    connect(&timerInputOutput, &QTimer::timeout, this, &IoMonitor::onCycleTick);
    TimerBtnOff.setInterval(kButtonOffMs);
    connect(&TimerBtnOff, &QTimer::timeout, this, &IoMonitor::onButtonOffTick);
    timerInputOutput.start();
    updateView();
}

IoMonitor::~IoMonitor() = default;

void IoMonitor::IoCheckClick()
{
    if (!m_checkEnabled)
        return;
    m_checkEnabled = false;
    m_closeEnabled = false;
    TimerBtnOff.start();
    if (!mMonitoring) {
        mStartRequest = true;
    } else {
        mStopRequest = true;
        clearToggles();
    }
    updateView();
}

void IoMonitor::RequestToggle(Io::Output output)
{
    if (!m_view.switchable)
        return;
    m_toggles |= static_cast<uint8_t>(output);
    mWriteRequest = true;
}

void IoMonitor::Shutdown()
{
    timerInputOutput.stop();
    TimerBtnOff.stop();
    mStartRequest = false;
    mStopRequest = false;
    clearToggles();
    mMonitoring = false;
    m_link.ReleaseCommPort();
    AllLED_Off();
}

void IoMonitor::onButtonOffTick()
{
    TimerBtnOff.stop();
    // After a failed read nothing would act on a click any more.
    if (m_readFailed)
        return;
    m_checkEnabled = true;
    updateView();
}

void IoMonitor::onCycleTick()
{
    // A tick that comes while the last cycle still waits for a reply waits
    // for the next one; the link would refuse a second transaction anyway.
    if (m_inCycle)
        return;
    m_inCycle = true;
    cycle();
    m_inCycle = false;
    updateView();
}

void IoMonitor::cycle()
{
    if (!mMonitoring) {
        if (!mStartRequest)
            return;
        mStartRequest = false;
        mMonitoring = true;
        m_byte107Read = false;
        clearToggles();
        m_stopCaption = true;
        m_closeEnabled = false;
        updateView();
    }

    if (mWriteRequest && WriteOutputs() != 0) {
        endMonitoring();
        return;
    }
    if (ReadIoStateFromCt() != 0) {
        endMonitoring();
        return;
    }
    IoStateHyoji();

    if (mStopRequest) {
        mStopRequest = false;
        m_link.ReleaseCommPort();
        endMonitoring();
    }
}

void IoMonitor::endMonitoring()
{
    mMonitoring = false;
    clearToggles();
    AllLED_Off();
    m_stopCaption = false;
    m_closeEnabled = true;
}

void IoMonitor::clearToggles()
{
    m_toggles = 0;
    mWriteRequest = false;
}

int IoMonitor::ReadIoStateFromCt()
{
    int result = m_link.OpenCommPort();
    if (result == 0)
        result = m_link.SetCommMode();
    for (size_t i = 0; result == 0 && i < kIoBytes.size(); ++i) {
        const int address = kIoBytes[i];
        result = m_link.Send(Ctl::ReadIoByte(address));
        if (result != 0)
            break;
        // A reply for another byte is passed over: its signals keep their
        // last values.
        const std::optional<int> value = Ctl::DecodeIoByte(m_link.state().gReply, address);
        if (!value)
            continue;
        Io::ApplyIoByte(m_signals, address, static_cast<uint8_t>(*value));
        if (address == Ctl::kIoByteOutputs) {
            m_byte107 = static_cast<uint8_t>(*value);
            m_byte107Read = true;
        }
    }
    if (result == 0)
        return 0;

    timerInputOutput.stop();
    TimerBtnOff.stop();
    m_readFailed = true;
    mStartRequest = false;
    mStopRequest = false;
    m_stopCaption = false;
    m_closeEnabled = true;
    m_checkEnabled = false;
    m_link.ReleaseCommPort();
    return 1;
}

int IoMonitor::WriteOutputs()
{
    const QString payload = Io::OutputBytePayload(m_byte107, m_toggles);
    for (const Io::Output o : {Io::Output::Pend, Io::Output::Out1, Io::Output::Out2}) {
        if (m_toggles & static_cast<uint8_t>(o))
            m_signals.set(Io::LampOf(o), !m_signals.lit(Io::LampOf(o)));
    }
    m_toggles = 0;
    // "0WB107" with the 5000 ms time-out of an ordinary command.
    const int result = m_link.Send(Ctl::WriteOutputByte(payload));
    // A toggle asked for while the write waited for its reply is written
    // with the next cycle.
    if (result == 0)
        mWriteRequest = m_toggles != 0;
    m_link.ReleaseCommPort();
    return result;
}

void IoMonitor::IoStateHyoji()
{
    m_showLamps = true;
    updateView();
}

void IoMonitor::AllLED_Off()
{
    m_showLamps = false;
    updateView();
}

void IoMonitor::updateView()
{
    View v;
    if (m_showLamps)
        v.lamps = m_signals;
    v.stopCaption = m_stopCaption;
    v.checkEnabled = m_checkEnabled;
    v.closeEnabled = m_closeEnabled;
    v.switchable = mMonitoring && !mStopRequest && m_byte107Read;
    if (v == m_view)
        return;
    m_view = v;
    emit viewChanged();
}
