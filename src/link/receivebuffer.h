#pragma once

#include <QByteArray>

#include <optional>

// The characters received from the controller and not yet part of a
// complete reply (gRecvBuffer). A reply is complete when a read leaves the
// buffer ending in CR LF: everything received up to then, however many reads
// it took, is the reply. The buffer is bounded: text that grows past any
// reply length without a line end (line noise, a wrong baud rate) is thrown
// away with the buffer instead of growing it further.
class ReceiveBuffer
{
public:
    // Longer than every reply of the command set (the longest is 23) with
    // room for a stray prefix, which then shows as a wrong echo.
    static constexpr int kLimit = 256;

    // Appends one read. Returns the complete reply, CR LF included, when
    // the buffer now ends in CR LF; the buffer is then empty again.
    std::optional<QByteArray> append(const QByteArray &bytes);

    void clear() { m_text.clear(); }
    int size() const { return static_cast<int>(m_text.size()); }
    const QByteArray &text() const { return m_text; }

    // How often text was thrown away for being too long.
    int discardCount() const { return m_discards; }

private:
    QByteArray m_text;
    int m_discards = 0;
};
