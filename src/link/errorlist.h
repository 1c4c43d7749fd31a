#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The controller's error list, error.lst beside the program: a count N (0
// to 40), then N pairs of fields, alarm code (hex) and comment, in the
// sequential record format, Shift_JIS. Japanese comments stand under the
// alarm number itself, English ones under the number + 100 (decimal),
// written in hex: the English comment of alarm 0E (14) is under 72 (114).
class ErrorList
{
public:
    static constexpr int kMaxEntries = 40;

    struct Entry
    {
        QString code;
        QString comment;
    };

    // Reads the file. False when it is missing or unreadable, when the count
    // is not a number from 0 to 40, or when the fields run out before the
    // count is reached; the list is then empty and why says what was wrong.
    bool read(const QString &path, QString *why = nullptr);

    // Reads the list from text already decoded (the same rules as read()).
    bool parse(const QString &text, QString *why = nullptr);

    int count() const { return static_cast<int>(m_entries.size()); }
    const QList<Entry> &entries() const { return m_entries; }

    // The comment of the first entry whose code, read as a hex number,
    // equals value.
    std::optional<QString> find(uint32_t value) const;

private:
    QList<Entry> m_entries;
};
