#include "link/receivebuffer.h"

std::optional<QByteArray> ReceiveBuffer::append(const QByteArray &bytes)
{
    m_text += bytes;
    if (m_text.size() > kLimit) {
        // No reply is this long: whatever the buffer holds cannot become a
        // good reply any more, so it goes, and the next line starts clean.
        m_text.clear();
        ++m_discards;
        return std::nullopt;
    }
    if (!m_text.endsWith("\r\n"))
        return std::nullopt;
    QByteArray reply;
    reply.swap(m_text);
    return reply;
}
