#include "cliprogress.h"

#include <unistd.h>

CliProgress::CliProgress(std::FILE *out)
    : m_out(out)
    , m_terminal(isatty(fileno(out)) != 0)
{
}

void CliProgress::start(const QString &text, int maximum)
{
    m_text = text;
    m_maximum = maximum;
    m_value = 0;
    draw();
}

void CliProgress::setProgress(int value)
{
    m_value = value;
    draw();
}

void CliProgress::finish()
{
    if (m_terminal && m_shown) {
        // Clear the line for the next message.
        std::fputs("\r\033[K", m_out);
        std::fflush(m_out);
    }
    m_shown = false;
}

void CliProgress::draw()
{
    if (!m_terminal)
        return;
    const QByteArray line = (m_text + QStringLiteral("  %1/%2").arg(m_value).arg(m_maximum)).toUtf8();
    std::fputs("\r\033[K", m_out);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_out);
    std::fflush(m_out);
    m_shown = true;
}
