#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Data files (position, parameter, list files) are Shift_JIS (Windows code
// page 932) on every platform, so that files move freely between this
// program and existing Japanese installations.

// Encodes to code page 932. On failure returns nothing and, when given,
// fills badCharacters with the characters that code page 932 cannot hold.
std::optional<QByteArray> EncodeShiftJis(const QString &text, QString *badCharacters = nullptr);

// Decodes code page 932; nothing when the bytes are not valid Shift_JIS.
std::optional<QString> DecodeShiftJis(const QByteArray &bytes);

// The largest file each kind of data file is read from. Position and
// parameter files are well under a kilobyte and the list files a few
// hundred kilobytes; a file far beyond that was picked by mistake and is
// refused before it is read, rather than loaded whole.
inline constexpr qint64 kTableFileMaxBytes = 64 * 1024;
inline constexpr qint64 kListFileMaxBytes = 8 * 1024 * 1024;

// Result of reading or writing a whole data file.
struct DataFileResult
{
    bool ok = false;
    QString error;          // plain description for the log or a message
    QString badCharacters;  // a refused write: the characters code page 932
                            // cannot hold, each once, in order of appearance
    bool tooLarge = false;  // a refused read: the file is beyond its bound
};

// Reads the whole file and decodes it; a file larger than maxBytes is
// refused unread.
DataFileResult ReadDataFile(const QString &path, QString &text, qint64 maxBytes = kListFileMaxBytes);

// Encodes text and replaces the file only once the new content is complete
// (QSaveFile): a failed write leaves the old file as it was. Refuses text
// that code page 932 cannot hold before anything is written, and refuses to
// replace an existing file that is write-protected.
DataFileResult WriteDataFile(const QString &path, const QString &text);
