#include "link/controllerlink.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "app/settingsstore.h"
#include "catalogue/listfiles.h"
#include "common/timescale.h"
#include "link/linkmessages.h"
#include "link/portnames.h"
#include "text/stringtable.h"

#include <QDir>
#include <QEventLoop>
#include <QTime>
#include <QtDebug>

#include <cmath>

namespace {

// "Another command to the controller is still running ..."
constexpr int kNestedCommandMessage = 950;

double SecondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

} // namespace

ControllerLink::ControllerLink(AppState &app, SettingsStore &settings, Prompter &prompter,
                               QObject *parent)
    : QObject(parent),
      m_app(app),
      m_settings(settings),
      m_prompter(prompter),
      m_alarm(app, prompter),
      m_clock(SecondsSinceMidnight)
{
    Timer1.setObjectName(QStringLiteral("Timer1"));
    timerTimeout.setObjectName(QStringLiteral("timerTimeout"));
    TimerMyTimer.setObjectName(QStringLiteral("TimerMyTimer"));

    connect(&m_port, &CommPort::bytesReceived, this, &ControllerLink::onBytesReceived);
    connect(&m_port, &CommPort::deviceLost, this, &ControllerLink::onDeviceLost);
    connect(&m_port, &CommPort::openChanged, this, &ControllerLink::updateLamp);
    connect(&m_port, &CommPort::openChanged, this, [this](bool open) {
        if (open)
            emit linkEvent(CommEvent::PortOpened, {m_port.device()});
        else
            emit linkEvent(CommEvent::PortClosed, {});
    });
    connect(&m_port, &CommPort::deviceLost, this, [this](const QString &, const QString &reason) {
        emit linkEvent(CommEvent::PortLost, {reason});
    });

    Timer1.setInterval(kPollMs);
    connect(&Timer1, &QTimer::timeout, this, &ControllerLink::onPoll);
    Timer1.start();

    timerTimeout.setSingleShot(true);
    connect(&timerTimeout, &QTimer::timeout, this, &ControllerLink::onTimeoutTick);

    TimerMyTimer.setInterval(kMoveWatchTickMs);
    connect(&TimerMyTimer, &QTimer::timeout, this, &ControllerLink::onMoveWatchTick);
}

ControllerLink::~ControllerLink()
{
    // A wait still running (the window closed under it) must not come back
    // to a destroyed link.
    for (QEventLoop *loop : m_loops)
        loop->quit();
    disconnect(&m_port, nullptr, this, nullptr);
}

// The port ------------------------------------------------------------------

int ControllerLink::OpenCommPort()
{
    if (!IsValidPortNo(m_app.gPortNo))
        m_app.gPortNo = static_cast<int16_t>(m_settings.readInt(SettingsKey::PortNo, 1));

    if (m_port.isOpen()) {
        if (m_openPortNo == m_app.gPortNo)
            return 0;
        // The user chose another port while this one was held open.
        CloseCommPort();
    }

    const int portNo = m_app.gPortNo;
    const QString device = PortDevice(portNo, m_settings);
    const CommPort::OpenResult result =
        device.isEmpty() ? CommPort::OpenResult::NotFound : m_port.open(device);
    if (result == CommPort::OpenResult::Opened) {
        m_openPortNo = portNo;
        m_portLost = false;
        // A new stream starts: a line cut off before the last close must
        // not prefix the first reply.
        m_buffer.clear();
        return 0;
    }

    if (result == CommPort::OpenResult::AccessDenied)
        m_prompter.tell(LinkText::PortAccessDeniedMessage(portNo, device),
                        Prompter::Icon::Exclamation);
    else
        m_prompter.tell(LinkText::PortOpenFailedMessage(), Prompter::Icon::None);
    return 1;
}

int ControllerLink::ProbeCommPort(int n)
{
    if (!IsValidPortNo(n))
        n = m_settings.readInt(SettingsKey::PortNo, 1);
    if (m_port.isOpen() && m_openPortNo == n)
        return 0;
    const QString device = PortDevice(n, m_settings);
    if (device.isEmpty())
        return 1;
    return CommPort::probe(device) == CommPort::OpenResult::Opened ? 0 : 1;
}

void ControllerLink::CloseCommPort()
{
    m_port.close();
}

void ControllerLink::ReleaseCommPort()
{
    if (!m_app.gPortOccupy)
        CloseCommPort();
}

bool ControllerLink::isPortOpen() const
{
    return m_port.isOpen();
}

// Transactions ----------------------------------------------------------------

int ControllerLink::SetCommMode()
{
    return Send(Ctl::CommMode(Ctl::CtMode::Communication));
}

int ControllerLink::SendCommand(const QString &command, int replyLength, const QString &payload)
{
    return transact(command, replyLength, payload, Bound::Timeout, 0);
}

int ControllerLink::SendMoveCommand(const QString &command, int replyLength,
                                    const QString &payload)
{
    return transact(command, replyLength, payload, Bound::MoveWatch, 0);
}

int ControllerLink::Send(const Ctl::CommandLine &line)
{
    m_state.gTimeoutMs = static_cast<int16_t>(line.timeoutMs);
    return transact(line.head, line.replyLength, line.payload,
                    line.wait == Ctl::WaitKind::MoveWatch ? Bound::MoveWatch : Bound::Timeout,
                    line.echoedPayload);
}

bool ControllerLink::WriteDirect(const QString &text)
{
    return m_port.write(Ctl::Frame(text));
}

int ControllerLink::transact(const QString &command, int replyLength, const QString &payload,
                             Bound bound, int echoedPayload)
{
    if (m_waitDepth > 0) {
        // The operations lock their commands while one runs, so only a way
        // round those locks gets here. Refusing keeps the first wait intact;
        // the user is told, and the caller stops as on any failure.
        qWarning("ControllerLink: %s refused, a transaction is already waiting",
                 qPrintable(command));
        m_prompter.tell(LoadText(kNestedCommandMessage), Prompter::Icon::Exclamation);
        return 1;
    }

    if (OpenCommPort() != 0)
        return 1;

    m_state.gTimedOut = false;
    m_portLost = false;
    startBound(bound);

    const QString line = command + payload;
    const QString echoKey = line.left(3 + echoedPayload);

    m_state.gReplyDone = false;
    if (!m_port.write(Ctl::Frame(line)))
        m_portLost = true;
    else
        waitForReply(bound);
    stopBound(bound);

    if (!m_state.gReplyDone) {
        if (m_portLost)
            return portLostFailure();
        return timeoutFailure(bound);
    }

    if (Ctl::IsAlarmReport(m_state.gReply))
        return alarmReply(false);

    // A reply too short to hold the echoed argument is a length error, as
    // any short reply with the right head.
    const QString &reply = m_state.gReply;
    const bool echoWrong = reply.left(3) != echoKey.left(3)
                           || (reply.size() >= echoKey.size() + 2 && !reply.startsWith(echoKey));
    if (echoWrong || m_state.gReply.size() != replyLength) {
        if (echoWrong)
            emit linkEvent(CommEvent::WrongEcho,
                           {echoKey, CommLog::VisibleText(m_state.gReply.left(3).toLatin1())});
        else
            emit linkEvent(CommEvent::WrongLength, {QString::number(replyLength),
                                                    QString::number(m_state.gReply.size())});
        recover(bound);
        if (m_portLost && !m_state.gReplyDone)
            return portLostFailure();
        if (Ctl::IsAlarmReport(m_state.gReply))
            return alarmReply(true);
        m_state.gMoving = false;
        ReleaseCommPort();
        m_prompter.tell(echoWrong ? LinkText::CommErrorMessage() : LinkText::LengthErrorMessage(),
                        Prompter::Icon::None);
        return 1;
    }

    ShowNoError();
    return 0;
}

void ControllerLink::startBound(Bound bound)
{
    if (bound == Bound::MoveWatch) {
        m_state.gMoveWatchElapsed = false;
        m_state.gMoveWatchStop = false;
        m_state.gMoveWatchStart = static_cast<float>(m_clock());
        TimerMyTimer.start();
        return;
    }
    // With gTimeoutMs 0 the caller asked for no time-out; the wait is still
    // bounded, by the longest wait the link allows.
    const int ms = m_state.gTimeoutMs > 0 ? m_state.gTimeoutMs : kLongestReplyWaitMs;
    timerTimeout.start(ScaledMs(ms));
}

void ControllerLink::stopBound(Bound bound)
{
    if (bound == Bound::MoveWatch) {
        m_state.gMoveWatchStop = true;
        TimerMyTimer.stop();
    } else {
        timerTimeout.stop();
    }
}

bool ControllerLink::boundReached(Bound bound) const
{
    return bound == Bound::MoveWatch ? m_state.gMoveWatchElapsed : m_state.gTimedOut;
}

void ControllerLink::waitForReply(Bound bound)
{
    ++m_waitDepth;
    while (!m_state.gReplyDone && !m_portLost && !boundReached(bound)) {
        QEventLoop loop;
        m_loops.push_back(&loop);
        loop.exec();
        m_loops.pop_back();
    }
    --m_waitDepth;
}

void ControllerLink::wake()
{
    for (QEventLoop *loop : m_loops)
        loop->quit();
}

void ControllerLink::recover(Bound bound)
{
    // "0CM0" puts the controller back into its external start mode. Its
    // answer is not checked; only an alarm report in it is acted on. A move
    // restarts its watch, so this wait is bounded after a wrong length too.
    m_state.gTimedOut = false;
    startBound(bound);
    m_state.gReplyDone = false;
    if (m_port.write(Ctl::Frame(Ctl::RecoveryText())))
        waitForReply(bound);
    else
        m_portLost = true;
    stopBound(bound);
    if (!m_state.gReplyDone && !m_portLost)
        emitBoundEvent(bound);
}

void ControllerLink::emitBoundEvent(Bound bound)
{
    if (bound == Bound::MoveWatch)
        emit linkEvent(CommEvent::MoveWatchElapsed, {QString::number(m_state.gMoveWatchLimit)});
    else
        emit linkEvent(CommEvent::Timeout, {QString::number(m_state.gTimeoutMs > 0
                                                                ? m_state.gTimeoutMs
                                                                : kLongestReplyWaitMs)});
}

int ControllerLink::alarmReply(bool afterRecovery)
{
    m_state.gMoving = false;
    const QString code = Ctl::AlarmCode(m_state.gReply);
    AlarmLampsOff();
    m_state.gStatusReply = m_state.gReply;
    Disp_AlarmState();
    m_prompter.tell(m_alarm.AlarmMessage(code),
                    afterRecovery ? Prompter::Icon::None : Prompter::Icon::Exclamation);
    return 1;
}

int ControllerLink::timeoutFailure(Bound bound)
{
    emitBoundEvent(bound);
    m_state.gMoving = false;
    // A controller that does not answer may have been switched off or
    // unplugged: the port is closed even when the user holds it.
    CloseCommPort();
    m_prompter.tell(LinkText::TimeoutMessage(), Prompter::Icon::None);
    return 1;
}

int ControllerLink::portLostFailure()
{
    m_state.gMoving = false;
    CloseCommPort();
    m_prompter.tell(LinkText::PortLostMessage(m_openPortNo, m_port.device()),
                    Prompter::Icon::Exclamation);
    return 1;
}

// The alarm display -------------------------------------------------------------

bool ControllerLink::Get_ErrorList(const QString &path)
{
    const QString file = path.isEmpty()
                             ? QDir(ListFileDir()).filePath(QString::fromLatin1(kErrorListFileName))
                             : path;
    return m_alarm.Get_ErrorList(file);
}

void ControllerLink::Disp_AlarmState()
{
    const AlarmDisplay::Update update = m_alarm.Disp_AlarmState(m_state.gStatusReply);
    if (update.frameChanged)
        emitFrame();
    if (update.homeLampOff)
        emit homeLampOff();
}

void ControllerLink::AlarmLampsOff()
{
    emit alarmLampsOff();
}

void ControllerLink::Disp_ZeroB_Error()
{
    m_prompter.tell(LinkText::HomingFailureMessage(), Prompter::Icon::None);
}

void ControllerLink::ShowNoError()
{
    const AlarmFrame before = m_alarm.frame();
    m_alarm.ShowNoError();
    if (!(before == m_alarm.frame()))
        emitFrame();
}

void ControllerLink::emitFrame()
{
    const AlarmFrame &f = m_alarm.frame();
    emit alarmFrameChanged(f.lampOn, f.alarmNo, f.comment);
}

// Receive path and timers ---------------------------------------------------------

void ControllerLink::onBytesReceived(const QByteArray &bytes)
{
    const std::optional<QByteArray> reply = m_buffer.append(bytes);
    if (!reply)
        return;
    m_state.gReplyDone = true;
    m_state.gReply = QString::fromLatin1(*reply);
    if (Ctl::IsAlarmReport(m_state.gReply)) {
        emit linkEvent(CommEvent::AlarmReport, {Ctl::AlarmCode(m_state.gReply)});
        m_state.gStatusReply = m_state.gReply;
        // A report that answers a waiting command is shown by the
        // transaction itself; updating here too would repeat the messages
        // of a missing error list for one report.
        if (m_waitDepth == 0)
            Disp_AlarmState();
    }
    wake();
}

void ControllerLink::onPoll()
{
    // Bytes are normally taken as they arrive; the poll picks up anything
    // left behind (and is the only reader in the polling comparison).
    m_port.readBuffered();
    updateLamp();
    emit pollTick();
}

void ControllerLink::onTimeoutTick()
{
    m_state.gTimedOut = true;
    timerTimeout.stop();
    wake();
}

void ControllerLink::onMoveWatchTick()
{
    double limit = m_state.gMoveWatchLimit;
    if (!std::isfinite(limit) || limit < 0 || limit > kLongestMoveSeconds)
        limit = kLongestMoveSeconds;
    const double elapsed = MoveWatchElapsedSeconds(m_state.gMoveWatchStart, m_clock());
    if (elapsed >= limit * TimeScale())
        m_state.gMoveWatchElapsed = true;
    if (m_state.gMoveWatchElapsed || m_state.gMoveWatchStop) {
        TimerMyTimer.stop();
        wake();
    }
}

void ControllerLink::onDeviceLost()
{
    m_portLost = true;
    updateLamp();
    wake();
}

void ControllerLink::updateLamp()
{
    const bool lit = m_port.isOpen();
    if (lit == m_lampLit)
        return;
    m_lampLit = lit;
    emit portLampChanged(lit);
}

void ControllerLink::setClock(std::function<double()> secondsSinceMidnight)
{
    m_clock = secondsSinceMidnight ? std::move(secondsSinceMidnight) : SecondsSinceMidnight;
}

void ControllerLink::setReadOnPollOnly(bool on)
{
    m_port.setReadOnArrival(!on);
}

void ControllerLink::attachLog(CommLog &log)
{
    connect(&m_port, &CommPort::bytesSent, &log, &CommLog::recordSent);
    // Before the link's own handler, so that a reply's line comes before
    // the events it causes.
    disconnect(&m_port, &CommPort::bytesReceived, this, &ControllerLink::onBytesReceived);
    connect(&m_port, &CommPort::bytesReceived, &log, &CommLog::recordReceived);
    connect(&m_port, &CommPort::bytesReceived, this, &ControllerLink::onBytesReceived);
    connect(this, &ControllerLink::linkEvent, &log, &CommLog::recordEvent);
}
