#include "parameters/paravalue.h"

#include "common/numbers.h"

ParaValue ParaValue::number(double value)
{
    ParaValue v;
    v.m_kind = Kind::Number;
    v.m_number = value;
    return v;
}

ParaValue ParaValue::text(const QString &value)
{
    ParaValue v;
    v.m_kind = Kind::Text;
    v.m_text = value;
    return v;
}

bool ParaValue::toNumber(double &out) const
{
    switch (m_kind) {
    case Kind::Empty:
        out = 0.0;
        return true;
    case Kind::Number:
        out = m_number;
        return true;
    case Kind::Text:
        if (!IsNumericText(m_text))
            return false;
        out = LeadingNumber(m_text);
        return true;
    }
    return false;
}

QString ParaValue::toText() const
{
    switch (m_kind) {
    case Kind::Empty:
        return QString();
    case Kind::Number:
        return QString::number(m_number, 'g', 15);
    case Kind::Text:
        return m_text;
    }
    return QString();
}

bool ParaValue::sameAs(const ParaValue &other) const
{
    // Two texts, or a text and nothing: compare the texts themselves.
    if ((isText() || isEmpty()) && (other.isText() || other.isEmpty()) && (isText() || other.isText()))
        return toText() == other.toText();
    double a = 0.0;
    double b = 0.0;
    if (!toNumber(a) || !other.toNumber(b))
        return false;
    return a == b;
}

bool ParaValue::operator==(const ParaValue &other) const
{
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case Kind::Empty:
        return true;
    case Kind::Number:
        return m_number == other.m_number;
    case Kind::Text:
        return m_text == other.m_text;
    }
    return false;
}
