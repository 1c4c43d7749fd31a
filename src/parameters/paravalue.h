#pragma once

#include <QString>

// One element of the parameter value array: what a parameter file field or a
// decoded controller block gave for a parameter. A field can be a number, a
// text (quoted in the file, or the model designation from the controller) or
// nothing at all (an empty field, or a parameter the source did not hold).
class ParaValue
{
public:
    enum class Kind { Empty, Number, Text };

    ParaValue() = default;
    static ParaValue number(double value);
    static ParaValue text(const QString &value);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isNumber() const { return m_kind == Kind::Number; }
    bool isText() const { return m_kind == Kind::Text; }

    // The value as a number: empty reads 0, a text that is one number reads
    // as that number. False when the value is a text that is not a number.
    bool toNumber(double &out) const;

    // The value as text: empty gives "", a number its shortest decimal form.
    QString toText() const;

    // Comparison as the verification needs it: an empty value equals 0 and
    // "", a number equals a text holding the same number, texts compare
    // exactly.
    bool sameAs(const ParaValue &other) const;

    bool operator==(const ParaValue &other) const;

private:
    Kind m_kind = Kind::Empty;
    double m_number = 0.0;
    QString m_text;
};
