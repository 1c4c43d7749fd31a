#include "text/stringtable.h"

#include <QFile>
#include <QLoggingCategory>

// Registers the compiled-in table; the library is static, so its resource
// initialiser must be called explicitly.
static void initStringResource()
{
    Q_INIT_RESOURCE(text);
}

namespace {

int gLangOffset = 0;

QString unescape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar n = raw.at(++i);
            if (n == u'n')
                out += u'\n';
            else if (n == u't')
                out += u'\t';
            else
                out += n;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

bool StringTable::parse(const QString &source, StringTable &table, int *errorLine)
{
    const QStringList lines = source.split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        QStringView line(lines.at(n));
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok || id <= 0 || table.m_texts.contains(id)) {
            if (errorLine)
                *errorLine = n + 1;
            return false;
        }
        table.m_texts.insert(id, unescape(line.mid(tab + 1)));
    }
    return true;
}

const StringTable &StringTable::builtIn()
{
    static const StringTable table = [] {
        StringTable t;
        initStringResource();
        QFile f(QStringLiteral(":/kted/strings.tsv"));
        if (!f.open(QIODevice::ReadOnly)) {
            qCritical("The string table is missing from the program.");
            return t;
        }
        int line = 0;
        if (!parse(QString::fromUtf8(f.readAll()), t, &line))
            qCritical("The string table is malformed at line %d.", line);
        return t;
    }();
    return table;
}

std::optional<QString> StringTable::find(int id) const
{
    const auto it = m_texts.constFind(id);
    if (it == m_texts.constEnd())
        return std::nullopt;
    return *it;
}

void SetLangOffset(int offset)
{
    gLangOffset = offset;
}

int LangOffset()
{
    return gLangOffset;
}

bool TryLoadText(int id, QString &text)
{
    const auto found = StringTable::builtIn().find(id + gLangOffset);
    if (!found)
        return false;
    text = *found;
    return true;
}

QString LoadText(int id)
{
    QString text;
    if (!TryLoadText(id, text))
        qWarning("String %d is not in the string table.", id + gLangOffset);
    return text;
}

QString JoinTexts(std::initializer_list<int> ids)
{
    QString out;
    for (int id : ids) {
        if (!out.isEmpty())
            out += QStringLiteral("\n\n");
        out += LoadText(id);
    }
    return out;
}
