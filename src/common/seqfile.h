#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The sequential text format of the program's data files: fields separated
// by commas or line ends, records ended by CR LF, text fields in double
// quotes, numbers in decimal. A reader takes the whole file as one stream of
// fields; a comma or a line end closes each field.
class SequentialReader
{
public:
    explicit SequentialReader(const QString &text);

    // The next field's text, or nothing at the end of the data. A quoted
    // field is its content between the quotes (blanks inside kept, a doubled
    // quote read as one quote, text after the closing quote up to the next
    // separator ignored; a line end closes a quote left open, so one damaged
    // record cannot swallow the rest of the file); an unquoted field loses its leading and trailing
    // blanks. An empty line yields no field; a comma always announces one
    // more field, so "a,," and "a," at a line end hold empty fields.
    std::optional<QString> next();

    // The next field as a number; nothing at the end of the data or when the
    // field is not numeric.
    std::optional<double> nextNumber();

    bool atEnd() const;

    // Whether the field last returned by next() stood in quotes.
    bool lastWasQuoted() const { return m_lastQuoted; }

private:
    void skipBlanks();
    void skipLineEnd();
    void skipToSeparator();
    QString m_text;
    qsizetype m_pos = 0;
    bool m_lastQuoted = false;
    bool m_afterComma = false;      // the last separator read was a comma
};

// Writes records of the sequential text format: fields joined by commas,
// text fields quoted, every record ended by CR LF. A double quote inside a
// text field is doubled, so that the reader gives the text back whole. Text
// fields are single-line: a line break inside one reads back as a separator.
class SequentialWriter
{
public:
    void addText(const QString &text);       // "text"
    void addNumber(qint64 value);            // 123
    void addRaw(const QString &field);       // as given, e.g. an empty field
    void endRecord();                        // CR LF

    const QString &text() const { return m_out; }

private:
    void separate();
    QString m_out;
    bool m_recordOpen = false;
};
