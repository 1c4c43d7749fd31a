#pragma once

#include "simcontroller.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>

class QSocketNotifier;

// The simulated controller on a pseudo-terminal: the program opens the
// device path with the same serial-port code it uses for real hardware.
// It runs on the thread that creates it, driven by the event loop (a
// notifier on the pty's master side and timers), so a test that waits in
// the link's event loop is answered deterministically.
//
// Faults are queued per command line: each received line takes the next
// queued action (or the controller's own answer when the queue is empty).
class SimulatedController : public QObject
{
    Q_OBJECT

public:
    // What happens to the answer of one received line.
    struct Action
    {
        enum class Kind {
            Answer,     // the controller's own answer
            NoReply,    // nothing comes back
            Split,      // the answer in `pieces` pieces, `gapMs` apart
            WrongEcho,  // the third character of the echo changed
            WrongLength, // the answer `lengthDelta` characters shorter or longer
            Garbage,    // `bytes` sent before the answer
            Alarm,      // the alarm report "0%%" + code instead
            Raw,        // exactly `bytes` instead (CR LF included when wanted)
            Pull,       // the pseudo-terminal is closed instead (a pulled adapter)
        };
        Kind kind = Kind::Answer;
        int pieces = 1;
        int gapMs = 0;
        int lengthDelta = 0;
        QByteArray bytes;
        QString code;
    };

    explicit SimulatedController(QObject *parent = nullptr);
    ~SimulatedController() override;

    // Creates the pseudo-terminal. False (and error filled) when it cannot.
    bool start(QString *error = nullptr);
    bool isRunning() const { return m_master >= 0; }
    // The device path the program opens, e.g. /dev/pts/3.
    QString devicePath() const { return m_devicePath; }

    SimController &model() { return m_model; }

    // Queues an action for the next received line that has none yet.
    void queue(const Action &action);
    void queueAnswer() { queue(Action{}); }
    void queueNoReply();
    void queueSplit(int pieces, int gapMs);
    void queueWrongEcho();
    void queueWrongLength(int delta);
    void queueGarbage(const QByteArray &bytes);
    void queueAlarm(const QString &code);
    void queueRaw(const QByteArray &bytes, int pieces = 1, int gapMs = 0);
    void queuePull();
    int queuedActions() const { return static_cast<int>(m_actions.size()); }
    void clearQueue() { m_actions.clear(); }

    // Sends a line that answers nothing (a status report "0%%0E" of the
    // controller's own accord).
    void sendUnsolicited(const QByteArray &lineWithoutCrLf);
    // Sends raw bytes at once (line noise).
    void sendNoise(const QByteArray &bytes);

    // 9600-baud pacing: each character takes 10 bit times (1.0417 ms) on
    // the simulated wire, in both directions.
    void setPacing(bool on) { m_pacing = on; }
    bool pacing() const { return m_pacing; }
    static constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;
    // The controller's own delay between a command and its answer.
    void setReplyDelayMs(int ms) { m_replyDelayMs = ms; }
    int replyDelayMs() const { return m_replyDelayMs; }

    // Closes the pseudo-terminal now, as if the adapter were pulled out.
    void pullDevice();

    // Every line received, without CR LF, in order.
    const QStringList &receivedLines() const { return m_received; }
    void clearReceived() { m_received.clear(); }
    // Every line sent, without CR LF (garbage and pieces joined).
    const QStringList &sentLines() const { return m_sent; }

signals:
    void lineReceived(const QString &line);
    // A line as it goes out, CR LF included, with any fault applied (the
    // garbage before it, the changed echo), however it is cut into pieces.
    void lineSent(const QByteArray &bytes);
    void devicePulled();

private:
    struct Chunk
    {
        qint64 dueNs;
        QByteArray bytes;
    };

    void onReadable();
    void process(const QByteArray &line);
    void schedule(const QByteArray &bytes, qint64 startNs, int pieces, int gapMs);
    void pump();
    void closePty();

    SimController m_model;
    int m_master = -1;
    int m_slaveHold = -1; // keeps the line up while the program has it closed
    QString m_devicePath;
    QSocketNotifier *m_notifier = nullptr;

    QByteArray m_rx;
    qint64 m_lineStartNs = -1;
    std::deque<Action> m_actions;
    std::deque<Chunk> m_out;
    qint64 m_lastDueNs = 0;
    QTimer m_outTimer;
    QElapsedTimer m_clock;

    bool m_pacing = false;
    int m_replyDelayMs = 0;
    QStringList m_received;
    QStringList m_sent;
};
