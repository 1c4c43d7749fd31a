#pragma once

#include <QHash>
#include <QString>

#include <initializer_list>
#include <optional>

// The program's string table: every text the user sees, Japanese under its
// ID N and English under N + 10000. The table ships compiled into the
// program (data/strings.tsv as a resource).
class StringTable
{
public:
    // The table compiled into the program, loaded on first use.
    static const StringTable &builtIn();

    // Parses the tab-separated table form: "ID<TAB>text" a line, "#" starts a
    // comment line, and "\n", "\t" and "\\" are escapes inside the text.
    // Returns false and fills errorLine when a line is malformed.
    static bool parse(const QString &source, StringTable &table, int *errorLine = nullptr);

    std::optional<QString> find(int id) const;
    bool contains(int id) const { return m_texts.contains(id); }
    QList<int> ids() const { return m_texts.keys(); }

private:
    QHash<int, QString> m_texts;
};

// The language offset of this run: 0 for Japanese, 10000 for English. Fixed
// once at start-up; every look-up adds it.
void SetLangOffset(int offset);
int LangOffset();

// The text of ID + the language offset, or an empty text (and a warning in
// the log) when the table lacks it.
QString LoadText(int id);

// The same look-up for callers that must know whether the ID exists (the
// caption loader keeps a control's design text when it does not).
bool TryLoadText(int id, QString &text);

// A message of several texts with an empty line between each two of them.
QString JoinTexts(std::initializer_list<int> ids);
