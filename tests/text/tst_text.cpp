#include "text/stringtable.h"
#include "testenv.h"

#include <QApplication>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <utility>

namespace {

constexpr int kEnglish = 10000;

// The IDs that the windows and messages of the program use, present in both
// languages.
constexpr std::pair<int, int> kBothLanguages[] = {
    {1, 3},     {5, 18},    {20, 29},   {31, 71},   {75, 82},   {84, 84},   {86, 107},
    {109, 138}, {141, 158}, {161, 178}, {181, 203}, {210, 213}, {220, 223}, {251, 278},
    {281, 287}, {289, 297}, {320, 334}, {340, 342}, {346, 350}, {360, 368}, {371, 374},
    {401, 509}, {521, 523}, {531, 533}, {536, 536}, {541, 544}, {546, 547}, {551, 552},
    {556, 556}, {561, 564}, {571, 576}, {581, 581}, {585, 598}, {600, 602},
    // The link's reports of the serial device itself: lost, access refused.
    {620, 623},
    // The lamps' lit and dark descriptions for screen readers.
    {710, 711},
    // Position data file messages: refused comment, failed write, unreadable file.
    {720, 722},
};
// The data-edit-mode caption and the tool-tip texts kept only in Japanese.
constexpr std::pair<int, int> kJapaneseOnly[] = {{4, 4}, {301, 307}, {311, 319}};
// The separator line kept only in English.
constexpr std::pair<int, int> kEnglishOnly[] = {{700, 700}};

template<std::size_t N>
QList<int> expand(const std::pair<int, int> (&ranges)[N])
{
    QList<int> ids;
    for (const auto &[from, to] : ranges)
        for (int id = from; id <= to; ++id)
            ids << id;
    return ids;
}

// Japanese texts that are rightly written in Latin letters: the product
// name, signal and column names printed on the controller and in its manual
// (No., VEL, ACC, OUT, BK), the interface name, the OK button, the family
// and model codes, the maker's address, and file extensions and default file
// names, which must not depend on the language.
const QSet<int> kLatinInJapanese = {1,   12,  13,  14,  15,  25,  27,  34,  70,  71,  92,  119, 133,
                                    134, 142, 145, 174, 175, 201, 373, 404, 422, 432, 479, 490};

bool isJapaneseChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x30FF)     // punctuation, hiragana, katakana
           || (u >= 0x3400 && u <= 0x4DBF)  // kanji, extension A
           || (u >= 0x4E00 && u <= 0x9FFF)  // kanji
           || (u >= 0xFF00 && u <= 0xFFEF); // full-width forms, half-width katakana
}

bool hasJapanese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), isJapaneseChar);
}

QString textIn(int id, int offset)
{
    SetLangOffset(offset);
    QString text;
    if (!TryLoadText(id, text))
        text = QStringLiteral("<missing %1>").arg(id + offset);
    SetLangOffset(0);
    return text;
}

QString listOf(const QStringList &items)
{
    return items.join(QStringLiteral("; "));
}

enum class Kept { AccessKey, Numbering, FilterPatterns };

// Whether the Japanese text keeps what the English text's match stands for.
bool keeps(Kept kept, const QString &match, const QString &english, const QString &japanese)
{
    switch (kept) {
    case Kept::AccessKey:
        return japanese.contains(match) && japanese.count(u'&') == 1;
    case Kept::Numbering:
        return japanese.startsWith(match) && japanese.size() > match.size();
    case Kept::FilterPatterns: {
        const QStringList en = english.split(u'|');
        const QStringList ja = japanese.split(u'|');
        if (en.size() % 2 != 0 || ja.size() != en.size())
            return false;
        for (qsizetype i = 0; i < en.size(); i += 2) {
            // Each description shows its pattern, which stays as it is.
            if (ja.at(i + 1) != en.at(i + 1) || !ja.at(i).contains(en.at(i + 1)))
                return false;
        }
        return true;
    }
    }
    return false;
}

} // namespace

using TextMap = QMap<int, QString>;

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SetLangOffset(0); }

    void tableFileParses()
    {
        QFile f(SourceDataDir() + QStringLiteral("/strings.tsv"));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        StringTable table;
        int line = 0;
        QVERIFY2(StringTable::parse(QString::fromUtf8(f.readAll()), table, &line),
                 qPrintable(QStringLiteral("malformed at line %1").arg(line)));
        // The compiled-in table is built from this file; a stale or half-read
        // copy would hold a different number of texts.
        QCOMPARE(table.ids().size(), StringTable::builtIn().ids().size());
    }

    void idsResolveInTheirLanguages_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<bool>("inJapanese");
        QTest::addColumn<bool>("inEnglish");
        QTest::newRow("both languages") << expand(kBothLanguages) << true << true;
        QTest::newRow("Japanese only") << expand(kJapaneseOnly) << true << false;
        QTest::newRow("English only") << expand(kEnglishOnly) << false << true;
    }

    void idsResolveInTheirLanguages()
    {
        QFETCH(QList<int>, ids);
        QFETCH(bool, inJapanese);
        QFETCH(bool, inEnglish);
        QStringList wrong;
        for (int id : ids) {
            QString text;
            SetLangOffset(0);
            if (TryLoadText(id, text) != inJapanese)
                wrong << QStringLiteral("%1 Japanese").arg(id);
            SetLangOffset(kEnglish);
            if (TryLoadText(id, text) != inEnglish)
                wrong << QStringLiteral("%1 English").arg(id);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(listOf(wrong)));
    }

    void tableHoldsNoOtherIds()
    {
        QSet<int> expected;
        for (int id : expand(kBothLanguages))
            expected << id << id + kEnglish;
        for (int id : expand(kJapaneseOnly))
            expected << id;
        for (int id : expand(kEnglishOnly))
            expected << id + kEnglish;
        const QList<int> present = StringTable::builtIn().ids();
        QStringList stray;
        for (int id : present)
            if (!expected.contains(id))
                stray << QString::number(id);
        QVERIFY2(stray.isEmpty(), qPrintable(listOf(stray)));
    }

    void japaneseTextsAreJapanese()
    {
        QStringList wrong;
        for (int id : StringTable::builtIn().ids()) {
            if (id >= kEnglish)
                continue;
            const QString text = *StringTable::builtIn().find(id);
            if (text.trimmed().isEmpty() || text.contains(QLatin1String("TODO")))
                wrong << QStringLiteral("%1 unfinished").arg(id);
            else if (!kLatinInJapanese.contains(id) && !hasJapanese(text))
                wrong << QStringLiteral("%1 \"%2\"").arg(id).arg(text);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(listOf(wrong)));
    }

    // File extensions, default file names and the maker's address are the
    // same whichever language the program runs in.
    void languageNeutralTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("position file extension") << 404;
        QTest::newRow("parameter file extension") << 422;
        QTest::newRow("default parameter file name") << 432;
        QTest::newRow("default position file name") << 490;
        QTest::newRow("maker's address") << 145;
    }

    void languageNeutralTexts()
    {
        QFETCH(int, id);
        QCOMPARE(textIn(id, 0), textIn(id, kEnglish));
    }

    // Parts of a text that the program or the user relies on survive the
    // translation: a menu entry's access key (written the Japanese way after
    // the text), the number in front of a parameter name or checklist line
    // (padded to two places so that the names line up), and the patterns of
    // a file dialog filter ("description|pattern|description|pattern").
    void translationKeeps_data()
    {
        QTest::addColumn<QString>("englishPattern");
        QTest::addColumn<int>("kept");
        QTest::newRow("menu access key") << QStringLiteral("\\(&([A-Z])\\)") << int(Kept::AccessKey);
        QTest::newRow("numbering") << QStringLiteral("^ ?\\d+\\. ?") << int(Kept::Numbering);
        QTest::newRow("file filter") << QStringLiteral("\\|") << int(Kept::FilterPatterns);
    }

    void translationKeeps()
    {
        QFETCH(QString, englishPattern);
        QFETCH(int, kept);
        const QRegularExpression pattern(englishPattern);
        int matched = 0;
        QStringList wrong;
        for (int id : expand(kBothLanguages)) {
            const QString english = textIn(id, kEnglish);
            const QRegularExpressionMatch m = pattern.match(english);
            if (!m.hasMatch())
                continue;
            ++matched;
            const QString japanese = textIn(id, 0);
            if (!keeps(Kept(kept), m.captured(0), english, japanese))
                wrong << QStringLiteral("%1 \"%2\"").arg(id).arg(japanese);
        }
        QVERIFY(matched > 0);
        QVERIFY2(wrong.isEmpty(), qPrintable(listOf(wrong)));
    }

    // The main window names a new data set with a fixed text, and Save
    // recognises an unsaved set by comparing the name with text 483; the two
    // must stay equal or Save would write without asking for a file name.
    void newDataNameMatchesTheMainWindow_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("name");
        QTest::newRow("Japanese") << 0 << QStringLiteral("新規作成");
        QTest::newRow("English") << kEnglish << QStringLiteral("New Data");
    }

    void newDataNameMatchesTheMainWindow()
    {
        QFETCH(int, offset);
        QFETCH(QString, name);
        QCOMPARE(textIn(483, offset), name);
    }

    void lookUpAddsTheLanguageOffset()
    {
        SetLangOffset(kEnglish);
        QCOMPARE(LoadText(3), QStringLiteral("Edit Mode"));
        QCOMPARE(JoinTexts({521, 522}),
                 QStringLiteral("Language Setting has been changed.\n\nFinish KT-ED and restart again."));
        SetLangOffset(0);
        QCOMPARE(LoadText(3), *StringTable::builtIn().find(3));
        QVERIFY(LoadText(3) != textIn(3, kEnglish));
        // An ID kept only in Japanese has no English text.
        QString text = QStringLiteral("design text");
        SetLangOffset(kEnglish);
        QVERIFY(!TryLoadText(4, text));
        QCOMPARE(text, QStringLiteral("design text"));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("errorLine");
        QTest::addColumn<TextMap>("texts");

        QTest::newRow("comments, blank lines, CR LF")
            << QStringLiteral("# head\r\n\r\n1\tone\r\n2\ttwo\r\n") << true << 0 << TextMap{{1, "one"}, {2, "two"}};
        QTest::newRow("escapes") << QStringLiteral("5\ta\\nb\\tc\\\\d") << true << 0
                                 << TextMap{{5, QStringLiteral("a\nb\tc\\d")}};
        QTest::newRow("escaped backslash before n") << QStringLiteral("6\tC:\\\\new") << true << 0
                                                    << TextMap{{6, QStringLiteral("C:\\new")}};
        QTest::newRow("later tabs belong to the text") << QStringLiteral("7\ta\tb") << true << 0
                                                       << TextMap{{7, QStringLiteral("a\tb")}};
        QTest::newRow("blanks at both ends kept") << QStringLiteral("8\t Finish ") << true << 0
                                                  << TextMap{{8, QStringLiteral(" Finish ")}};
        QTest::newRow("duplicate ID") << QStringLiteral("1\ta\n2\tb\n1\tc") << false << 3 << TextMap{};
        QTest::newRow("missing tab") << QStringLiteral("1\ta\n2 b") << false << 2 << TextMap{};
        QTest::newRow("line counts include comments") << QStringLiteral("# c\n\n1\ta\nb") << false << 4
                                                      << TextMap{};
        QTest::newRow("ID not a number") << QStringLiteral("x1\ta") << false << 1 << TextMap{};
        QTest::newRow("no ID before the tab") << QStringLiteral("\ta") << false << 1 << TextMap{};
        QTest::newRow("zero ID") << QStringLiteral("0\ta") << false << 1 << TextMap{};
        QTest::newRow("negative ID") << QStringLiteral("-3\ta") << false << 1 << TextMap{};
    }

    void parse()
    {
        QFETCH(QString, source);
        QFETCH(bool, ok);
        QFETCH(int, errorLine);
        QFETCH(TextMap, texts);
        StringTable table;
        int line = 0;
        QCOMPARE(StringTable::parse(source, table, &line), ok);
        if (!ok) {
            QCOMPARE(line, errorLine);
            return;
        }
        QCOMPARE(table.ids().size(), texts.size());
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            QCOMPARE(table.find(it.key()).value_or(QStringLiteral("<missing>")), it.value());
    }
};

KTED_TEST_MAIN(TestText)
#include "tst_text.moc"
