#include "link/commlog.h"

#include "link/commlogtext.h"
#include "text/stringtable.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

namespace {

qint64 RealNow()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

CommLog::CommLog(QObject *parent) : QObject(parent), m_now(RealNow)
{
    qRegisterMetaType<CommLogEntry>();
}

void CommLog::setClock(qint64 (*now)())
{
    m_now = now ? now : RealNow;
}

void CommLog::recordSent(const QByteArray &bytes)
{
    if (!m_receivedPending.isEmpty())
        emitLine(std::exchange(m_receivedPending, {}), CommLogEntry::Direction::Received);
    take(m_sentPending, bytes, CommLogEntry::Direction::Sent);
}

void CommLog::recordReceived(const QByteArray &bytes)
{
    if (!m_sentPending.isEmpty())
        emitLine(std::exchange(m_sentPending, {}), CommLogEntry::Direction::Sent);
    take(m_receivedPending, bytes, CommLogEntry::Direction::Received);
}

void CommLog::recordEvent(CommEvent event, const QStringList &details)
{
    flush();
    emit entryRecorded({m_now(), CommLogEntry::Direction::Event, EventText(event, details)});
}

void CommLog::flush()
{
    if (!m_sentPending.isEmpty())
        emitLine(std::exchange(m_sentPending, {}), CommLogEntry::Direction::Sent);
    if (!m_receivedPending.isEmpty())
        emitLine(std::exchange(m_receivedPending, {}), CommLogEntry::Direction::Received);
}

void CommLog::take(QByteArray &pending, const QByteArray &bytes, CommLogEntry::Direction direction)
{
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', from);
        const qsizetype end = lf < 0 ? bytes.size() : lf + 1;
        const qsizetype n = std::min<qsizetype>(end - from, kLineLimit - pending.size());
        pending.append(bytes.constData() + from, n);
        from += n;
        if (pending.endsWith('\n') || pending.size() >= kLineLimit)
            emitLine(std::exchange(pending, {}), direction);
    }
}

void CommLog::emitLine(const QByteArray &bytes, CommLogEntry::Direction direction)
{
    emit entryRecorded({m_now(), direction, VisibleText(bytes)});
}

QString CommLog::VisibleText(const QByteArray &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\r') {
            out += QLatin1String("<CR>");
        } else if (b == '\n') {
            out += QLatin1String("<LF>");
        } else if (b < 0x20 || b >= 0x7F || b == '<') {
            out += QLatin1Char('<');
            out += QLatin1Char(hex[b >> 4]);
            out += QLatin1Char(hex[b & 0x0F]);
            out += QLatin1Char('>');
        } else {
            out += QLatin1Char(c);
        }
    }
    return out;
}

QString CommLog::EventText(CommEvent event, const QStringList &d)
{
    using namespace CommLogText;
    switch (event) {
    case CommEvent::PortOpened:
        return LoadText(PortOpened).arg(d.value(0));
    case CommEvent::PortClosed:
        return LoadText(PortClosed);
    case CommEvent::PortLost:
        return LoadText(PortLost).arg(d.value(0));
    case CommEvent::Timeout:
        return LoadText(Timeout).arg(d.value(0));
    case CommEvent::MoveWatchElapsed:
        return LoadText(MoveWatchElapsed).arg(d.value(0));
    case CommEvent::WrongEcho:
        return LoadText(WrongEcho).arg(d.value(0), d.value(1));
    case CommEvent::WrongLength:
        return LoadText(WrongLength).arg(d.value(0), d.value(1));
    case CommEvent::AlarmReport:
        return LoadText(AlarmReport).arg(d.value(0));
    case CommEvent::LogFileFailed:
        return LoadText(LogFileFailed).arg(d.value(0));
    }
    return QString();
}

QString CommLog::DirectionText(CommLogEntry::Direction direction)
{
    switch (direction) {
    case CommLogEntry::Direction::Sent:
        return LoadText(CommLogText::Sent);
    case CommLogEntry::Direction::Received:
        return LoadText(CommLogText::Received);
    case CommLogEntry::Direction::Event:
        break;
    }
    return LoadText(CommLogText::Event);
}

QString CommLog::TimeText(qint64 msecsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString CommLog::FormatLine(const CommLogEntry &entry)
{
    const QString when = QDateTime::fromMSecsSinceEpoch(entry.msecsSinceEpoch)
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    return when + QLatin1Char('\t') + DirectionText(entry.direction) + QLatin1Char('\t') + entry.text;
}
