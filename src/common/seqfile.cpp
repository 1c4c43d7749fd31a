#include "common/seqfile.h"

#include "common/numbers.h"

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

SequentialReader::SequentialReader(const QString &text)
    : m_text(text)
{
}

void SequentialReader::skipBlanks()
{
    while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
        ++m_pos;
}

// CR LF, a lone LF or a lone CR.
void SequentialReader::skipLineEnd()
{
    if (m_pos < m_text.size() && m_text[m_pos] == u'\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
        ++m_pos;
}

// Passes over whatever stands between the end of a field and its separator,
// then over the separator, and remembers which separator it was.
void SequentialReader::skipToSeparator()
{
    while (m_pos < m_text.size() && m_text[m_pos] != u',' && !IsLineEnd(m_text[m_pos]))
        ++m_pos;
    if (m_pos >= m_text.size()) {
        m_afterComma = false;
    } else if (m_text[m_pos] == u',') {
        ++m_pos;
        m_afterComma = true;
    } else {
        skipLineEnd();
        m_afterComma = false;
    }
}

std::optional<QString> SequentialReader::next()
{
    m_lastQuoted = false;
    for (;;) {
        skipBlanks();
        if (m_pos >= m_text.size()) {
            // "a," at the very end still holds an empty last field.
            if (!m_afterComma)
                return std::nullopt;
            m_afterComma = false;
            return QString();
        }
        if (!IsLineEnd(m_text[m_pos]))
            break;
        skipLineEnd();
        if (m_afterComma) {
            m_afterComma = false;
            return QString();
        }
        // An empty line: no field, go on with the next line.
    }

    if (m_text[m_pos] == u'"') {
        m_lastQuoted = true;
        ++m_pos;
        QString field;
        while (m_pos < m_text.size() && !IsLineEnd(m_text[m_pos])) {
            const QChar c = m_text[m_pos];
            if (c == u'"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'"') {
                    field += u'"';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                break;
            }
            field += c;
            ++m_pos;
        }
        skipToSeparator();
        return field;
    }

    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != u',' && !IsLineEnd(m_text[m_pos]))
        ++m_pos;
    QString field = m_text.mid(start, m_pos - start);
    while (!field.isEmpty() && IsBlank(field.back()))
        field.chop(1);
    skipToSeparator();
    return field;
}

std::optional<double> SequentialReader::nextNumber()
{
    const std::optional<QString> field = next();
    if (!field || !IsNumericText(*field))
        return std::nullopt;
    return LeadingNumber(*field);
}

bool SequentialReader::atEnd() const
{
    if (m_afterComma)
        return false;
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        if (!IsBlank(m_text[i]) && !IsLineEnd(m_text[i]))
            return false;
    }
    return true;
}

void SequentialWriter::separate()
{
    if (m_recordOpen)
        m_out += u',';
    m_recordOpen = true;
}

void SequentialWriter::addText(const QString &text)
{
    separate();
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    m_out += u'"' + doubled + u'"';
}

void SequentialWriter::addNumber(qint64 value)
{
    separate();
    m_out += QString::number(value);
}

void SequentialWriter::addRaw(const QString &field)
{
    separate();
    m_out += field;
}

void SequentialWriter::endRecord()
{
    m_out += QStringLiteral("\r\n");
    m_recordOpen = false;
}
