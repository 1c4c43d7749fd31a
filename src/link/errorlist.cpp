#include "link/errorlist.h"

#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"
#include "link/commandset.h"

#include <cmath>

bool ErrorList::read(const QString &path, QString *why)
{
    m_entries.clear();
    QString text;
    const DataFileResult r = ReadDataFile(path, text);
    if (!r.ok) {
        if (why)
            *why = r.error;
        return false;
    }
    return parse(text, why);
}

bool ErrorList::parse(const QString &text, QString *why)
{
    m_entries.clear();
    auto fail = [&](const QString &reason) {
        m_entries.clear();
        if (why)
            *why = reason;
        return false;
    };

    SequentialReader reader(text);
    const std::optional<QString> countField = reader.next();
    if (!countField)
        return fail(QStringLiteral("the file is empty"));
    // A count that is not a number is a damaged list, not an empty one.
    if (!IsNumericText(*countField))
        return fail(QStringLiteral("the entry count %1 is not a number").arg(*countField));
    const double countValue = LeadingNumber(*countField);
    if (countValue < 0 || countValue > kMaxEntries || countValue != std::floor(countValue))
        return fail(QStringLiteral("the entry count %1 is not 0 to %2")
                        .arg(*countField)
                        .arg(kMaxEntries));
    const int count = static_cast<int>(countValue);

    for (int i = 1; i <= count; ++i) {
        const std::optional<QString> code = reader.next();
        const std::optional<QString> comment = reader.next();
        if (!code || !comment)
            return fail(QStringLiteral("entry %1 of %2 is missing").arg(i).arg(count));
        m_entries.append({*code, *comment});
    }
    return true;
}

std::optional<QString> ErrorList::find(uint32_t value) const
{
    for (const Entry &e : m_entries) {
        if (Ctl::LeadingHexValue(e.code) == value)
            return e.comment;
    }
    return std::nullopt;
}
