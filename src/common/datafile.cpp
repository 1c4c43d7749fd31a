#include "common/datafile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <iconv.h>

namespace {

constexpr const char *kCodePage = "CP932";

// One iconv conversion descriptor for the length of a call.
class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input. Stops at the first byte sequence that cannot be
    // converted and returns false with *failedAt set to its offset.
    bool convert(const QByteArray &input, QByteArray *output, qsizetype *failedAt)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray out(input.size() * 4 + 16, Qt::Uninitialized);
        char *in = const_cast<char *>(input.constData());
        size_t inLeft = size_t(input.size());
        char *dst = out.data();
        size_t outLeft = size_t(out.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
                continue;
            if (errno == E2BIG) {
                const qsizetype used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                outLeft = size_t(out.size() - used);
                continue;
            }
            *failedAt = in - input.constData();
            return false;
        }
        out.resize(dst - out.data());
        *output = out;
        return true;
    }

private:
    iconv_t m_cd;
};

std::optional<QByteArray> EncodeChar(Converter &toCp, const QString &ch)
{
    QByteArray bytes;
    qsizetype failedAt = 0;
    if (!toCp.convert(ch.toUtf8(), &bytes, &failedAt))
        return std::nullopt;
    return bytes;
}

// Whether one character (one code point, possibly a surrogate pair) is held
// by code page 932 as itself. glibc maps a few characters one way only
// (U+00A5 YEN SIGN to 0x5C, U+301C WAVE DASH to 0x8160, ...); they would read
// back as other characters, so they count as not held.
bool HoldsCharacter(Converter &toCp, Converter &fromCp, const QString &ch)
{
    if (ch.size() == 1 && ch[0].isSurrogate())
        return false;           // half of a pair: not a character at all
    const std::optional<QByteArray> bytes = EncodeChar(toCp, ch);
    if (!bytes)
        return false;
    QByteArray back;
    qsizetype failedAt = 0;
    return fromCp.convert(*bytes, &back, &failedAt) && QString::fromUtf8(back) == ch;
}

} // namespace

std::optional<QByteArray> EncodeShiftJis(const QString &text, QString *badCharacters)
{
    if (badCharacters)
        badCharacters->clear();
    Converter toCp(kCodePage, "UTF-8");
    Converter fromCp("UTF-8", kCodePage);
    if (!toCp.valid() || !fromCp.valid())
        return std::nullopt;

    // Character by character, so that every character that cannot be held
    // is found (and named), not only the first.
    QByteArray out;
    out.reserve(text.size() * 2);
    QString bad;
    bool failed = false;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            length = 2;
        const QString ch = text.mid(i, length);
        i += length;
        if (length == 1 && ch[0].unicode() < 0x80) {
            out += char(ch[0].unicode());   // ASCII is held as itself
            continue;
        }
        if (!HoldsCharacter(toCp, fromCp, ch)) {
            failed = true;
            if (!bad.contains(ch))
                bad += ch;
            continue;
        }
        out += *EncodeChar(toCp, ch);
    }
    if (failed) {
        if (badCharacters)
            *badCharacters = bad;
        return std::nullopt;
    }
    return out;
}

std::optional<QString> DecodeShiftJis(const QByteArray &bytes)
{
    Converter fromCp("UTF-8", kCodePage);
    if (!fromCp.valid())
        return std::nullopt;
    QByteArray utf8;
    qsizetype failedAt = 0;
    if (!fromCp.convert(bytes, &utf8, &failedAt))
        return std::nullopt;
    return QString::fromUtf8(utf8);
}

DataFileResult ReadDataFile(const QString &path, QString &text, qint64 maxBytes)
{
    DataFileResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return result;
    }
    // Checked on the open file, and the read itself bounded: a file that
    // grows in between cannot get past the bound either.
    if (file.size() > maxBytes) {
        result.tooLarge = true;
        result.error = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
        return result;
    }
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        result.tooLarge = true;
        result.error = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
        return result;
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    const std::optional<QString> decoded = DecodeShiftJis(bytes);
    if (!decoded) {
        result.error = QStringLiteral("%1 is not Shift_JIS text").arg(path);
        return result;
    }
    text = *decoded;
    result.ok = true;
    return result;
}

DataFileResult WriteDataFile(const QString &path, const QString &text)
{
    DataFileResult result;
    const std::optional<QByteArray> bytes = EncodeShiftJis(text, &result.badCharacters);
    if (!bytes) {
        result.error = QStringLiteral("Shift_JIS cannot hold these characters: %1")
                           .arg(result.badCharacters);
        return result;
    }
    // QSaveFile itself refuses to replace a write-protected file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return result;
    }
    // The explicit flush matters: QSaveFile::commit() does not notice a
    // buffered block that fails to reach the disk (a full disk, the file-size
    // limit) and would put the cut-short copy in place of the old file.
    errno = 0;
    if (file.write(*bytes) != bytes->size() || !file.flush()) {
        // A write cut short leaves Qt without an error of its own; the
        // system's reason is still in errno.
        const int reason = errno;
        const QString why = reason != 0 ? qt_error_string(reason) : file.errorString();
        result.error = QStringLiteral("Cannot write %1: %2").arg(path, why);
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return result;
    }
    result.ok = true;
    return result;
}
