#include "simulatedcontroller.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qint64 kNsPerMs = 1000000;
// Timers tick in whole milliseconds: an event is let out when it is due
// within half of one, so that the simulated wire is early as often as late
// instead of always late.
constexpr qint64 kHalfMsNs = kNsPerMs / 2;

int RoundedMs(qint64 ns)
{
    return static_cast<int>(std::max<qint64>(0, (ns + kHalfMsNs) / kNsPerMs));
}

qint64 ByteNs()
{
    return static_cast<qint64>(std::llround(SimulatedController::kByteMs * kNsPerMs));
}

} // namespace

SimulatedController::SimulatedController(QObject *parent) : QObject(parent)
{
    m_outTimer.setSingleShot(true);
    m_outTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_outTimer, &QTimer::timeout, this, &SimulatedController::pump);
    m_clock.start();
}

SimulatedController::~SimulatedController()
{
    closePty();
}

bool SimulatedController::start(QString *error)
{
    auto fail = [&](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                  QString::fromLocal8Bit(std::strerror(errno)));
        closePty();
        return false;
    };

    closePty();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    const char *name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_devicePath = QString::fromLocal8Bit(name);

    // Holding the slave side open ourselves keeps the master readable while
    // the program has the port closed (else the master reports a hang-up),
    // and lets us put the line into raw mode once, so that CR LF pass as
    // they are.
    m_slaveHold = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveHold < 0)
        return fail("open slave");
    termios tio{};
    if (::tcgetattr(m_slaveHold, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(m_slaveHold, TCSANOW, &tio) != 0)
        return fail("tcsetattr");

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimulatedController::onReadable);
    return true;
}

void SimulatedController::closePty()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveHold >= 0)
        ::close(m_slaveHold);
    m_master = -1;
    m_slaveHold = -1;
    m_out.clear();
    m_outTimer.stop();
    m_rx.clear();
}

void SimulatedController::pullDevice()
{
    if (m_master < 0)
        return;
    closePty();
    emit devicePulled();
}

void SimulatedController::queue(const Action &action)
{
    m_actions.push_back(action);
}

namespace {

SimulatedController::Action MakeAction(SimulatedController::Action::Kind kind)
{
    SimulatedController::Action a;
    a.kind = kind;
    return a;
}

} // namespace

void SimulatedController::queueNoReply()
{
    queue(MakeAction(Action::Kind::NoReply));
}

void SimulatedController::queueSplit(int pieces, int gapMs)
{
    Action a = MakeAction(Action::Kind::Split);
    a.pieces = pieces;
    a.gapMs = gapMs;
    queue(a);
}

void SimulatedController::queueWrongEcho()
{
    queue(MakeAction(Action::Kind::WrongEcho));
}

void SimulatedController::queueWrongLength(int delta)
{
    Action a = MakeAction(Action::Kind::WrongLength);
    a.lengthDelta = delta;
    queue(a);
}

void SimulatedController::queueGarbage(const QByteArray &bytes)
{
    Action a = MakeAction(Action::Kind::Garbage);
    a.bytes = bytes;
    queue(a);
}

void SimulatedController::queueAlarm(const QString &code)
{
    Action a = MakeAction(Action::Kind::Alarm);
    a.code = code;
    queue(a);
}

void SimulatedController::queueRaw(const QByteArray &bytes, int pieces, int gapMs)
{
    Action a = MakeAction(Action::Kind::Raw);
    a.bytes = bytes;
    a.pieces = pieces;
    a.gapMs = gapMs;
    queue(a);
}

void SimulatedController::queuePull()
{
    queue(MakeAction(Action::Kind::Pull));
}

void SimulatedController::sendUnsolicited(const QByteArray &lineWithoutCrLf)
{
    m_sent.append(QString::fromLatin1(lineWithoutCrLf));
    emit lineSent(lineWithoutCrLf + "\r\n");
    schedule(lineWithoutCrLf + "\r\n", m_clock.nsecsElapsed(), 1, 0);
}

void SimulatedController::sendNoise(const QByteArray &bytes)
{
    schedule(bytes, m_clock.nsecsElapsed(), 1, 0);
}

void SimulatedController::onReadable()
{
    if (m_master < 0)
        return;
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0) {
        // EAGAIN: nothing after all. Anything else cannot happen while we
        // hold the slave open; stop listening rather than spin on it.
        if (n < 0 && errno != EAGAIN && errno != EINTR && m_notifier)
            m_notifier->setEnabled(false);
        return;
    }
    const qint64 now = m_clock.nsecsElapsed();
    if (m_rx.isEmpty())
        m_lineStartNs = now;
    m_rx.append(buffer, static_cast<qsizetype>(n));

    qsizetype end;
    while ((end = m_rx.indexOf('\n')) >= 0) {
        QByteArray line = m_rx.left(end);
        const qsizetype wireLength = end + 1;
        m_rx.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const qint64 start = m_lineStartNs;
        m_lineStartNs = now;
        if (!m_pacing) {
            process(line);
            continue;
        }
        // On a 9600-baud wire the controller has the whole line only when
        // its last character has arrived.
        const qint64 due = start + wireLength * ByteNs();
        QTimer::singleShot(RoundedMs(due - now), Qt::PreciseTimer, this,
                           [this, line] { process(line); });
    }
}

void SimulatedController::process(const QByteArray &line)
{
    const QString text = QString::fromLatin1(line);
    m_received.append(text);
    emit lineReceived(text);

    Action action;
    if (!m_actions.empty()) {
        action = m_actions.front();
        m_actions.pop_front();
    }
    if (action.kind == Action::Kind::Pull) {
        pullDevice();
        return;
    }

    QByteArray reply;
    int pieces = 1;
    int gapMs = 0;
    int delayMs = m_replyDelayMs;
    switch (action.kind) {
    case Action::Kind::NoReply:
        return;
    case Action::Kind::Alarm:
        reply = QByteArray("0%%") + action.code.toLatin1() + "\r\n";
        break;
    case Action::Kind::Raw:
        reply = action.bytes;
        pieces = action.pieces;
        gapMs = action.gapMs;
        break;
    default: {
        const SimController::Answer answer = m_model.handle(line);
        if (!answer.reply)
            return;
        QByteArray body = *answer.reply;
        delayMs += answer.delayMs;
        if (action.kind == Action::Kind::WrongEcho && body.size() >= 3)
            body[2] = body.at(2) == 'X' ? 'Y' : 'X';
        if (action.kind == Action::Kind::WrongLength) {
            if (action.lengthDelta < 0)
                body.chop(std::min<qsizetype>(body.size(), -action.lengthDelta));
            else
                body.append(QByteArray(action.lengthDelta, '0'));
        }
        reply = body + "\r\n";
        if (action.kind == Action::Kind::Garbage)
            reply.prepend(action.bytes);
        if (action.kind == Action::Kind::Split) {
            pieces = action.pieces;
            gapMs = action.gapMs;
        }
        break;
    }
    }
    if (reply.isEmpty())
        return;
    m_sent.append(QString::fromLatin1(reply).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
    emit lineSent(reply);
    schedule(reply, m_clock.nsecsElapsed() + delayMs * kNsPerMs, pieces, gapMs);
}

void SimulatedController::schedule(const QByteArray &bytes, qint64 startNs, int pieces, int gapMs)
{
    if (m_master < 0 || bytes.isEmpty())
        return;
    qint64 t = std::max(startNs, m_lastDueNs);
    pieces = std::clamp(pieces, 1, static_cast<int>(bytes.size()));
    const qsizetype pieceSize = (bytes.size() + pieces - 1) / pieces;
    for (qsizetype offset = 0; offset < bytes.size(); offset += pieceSize) {
        if (offset > 0)
            t += gapMs * kNsPerMs;
        const QByteArray piece = bytes.mid(offset, pieceSize);
        if (m_pacing) {
            for (char c : piece) {
                t += ByteNs();
                m_out.push_back({t, QByteArray(1, c)});
            }
        } else {
            m_out.push_back({t, piece});
        }
    }
    m_lastDueNs = t;
    pump();
}

void SimulatedController::pump()
{
    const qint64 now = m_clock.nsecsElapsed();
    while (!m_out.empty() && m_out.front().dueNs <= now + kHalfMsNs && m_master >= 0) {
        Chunk &chunk = m_out.front();
        const ssize_t written = ::write(m_master, chunk.bytes.constData(),
                                        static_cast<size_t>(chunk.bytes.size()));
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR)
                break; // the line is full; try again shortly
            m_out.clear();
            return;
        }
        if (written < chunk.bytes.size()) {
            chunk.bytes.remove(0, written);
            break;
        }
        m_out.pop_front();
    }
    if (m_out.empty())
        return;
    m_outTimer.start(std::max(1, RoundedMs(m_out.front().dueNs - now)));
}
