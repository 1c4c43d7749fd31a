#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// What the link itself reports besides the bytes on the line.
enum class CommEvent {
    PortOpened,   // detail: the device
    PortClosed,
    PortLost,     // detail: the system's reason
    Timeout,      // detail: the bound in ms
    MoveWatchElapsed, // detail: the limit in seconds
    WrongEcho,    // detail: the expected echo, the echo received
    WrongLength,  // detail: the expected length, the length received
    AlarmReport,  // detail: the alarm code
    LogFileFailed, // detail: the file that could not be written
};

// One line of the communication log. Sent and received lines keep their
// bytes in visible form: CR and LF as <CR> and <LF>, every other control or
// non-ASCII byte (and "<" itself, so that the form stays unambiguous) as two
// hex digits in angle brackets.
struct CommLogEntry
{
    enum class Direction { Sent, Received, Event };

    qint64 msecsSinceEpoch = 0;
    Direction direction = Direction::Event;
    QString text;

    bool operator==(const CommLogEntry &) const = default;
};

// The recorder of the communication log: it takes the bytes the port sends
// and receives and the link's own events, and turns them into lines in the
// order they happened. Received bytes are gathered up to their LF, so a
// reply that arrives in pieces is one line; whatever is pending is cut into
// a line of its own before anything else is recorded, and when it grows past
// kLineLimit bytes without an LF (line noise), so nothing waits forever and
// nothing grows without bound.
//
// It holds no lines itself: listeners (the log window's model, the log file,
// a command-line trace) take entryRecorded. No widgets here.
class CommLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLineLimit = 256;

    explicit CommLog(QObject *parent = nullptr);

    void recordSent(const QByteArray &bytes);
    void recordReceived(const QByteArray &bytes);
    void recordEvent(CommEvent event, const QStringList &details = {});

    // Cuts whatever is pending into lines now.
    void flush();

    // Tests and tools fix the clock (ms since the epoch); null: the real one.
    void setClock(qint64 (*now)());

    // The bytes in visible form (see CommLogEntry).
    static QString VisibleText(const QByteArray &bytes);
    // The text of an event in the language of this run.
    static QString EventText(CommEvent event, const QStringList &details);
    // "Sent", "Received", "Event" in the language of this run.
    static QString DirectionText(CommLogEntry::Direction direction);
    // The time as the log shows it: "HH:mm:ss.zzz" local time.
    static QString TimeText(qint64 msecsSinceEpoch);
    // One line of a saved or written log: date, time, direction and text,
    // separated by tabs, without a line end.
    static QString FormatLine(const CommLogEntry &entry);

signals:
    void entryRecorded(const CommLogEntry &entry);

private:
    void take(QByteArray &pending, const QByteArray &bytes, CommLogEntry::Direction direction);
    void emitLine(const QByteArray &bytes, CommLogEntry::Direction direction);

    QByteArray m_sentPending;
    QByteArray m_receivedPending;
    qint64 (*m_now)() = nullptr;
};

Q_DECLARE_METATYPE(CommLogEntry)
