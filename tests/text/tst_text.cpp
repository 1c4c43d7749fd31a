#include "text/stringtable.h"
#include "testenv.h"

#include <QApplication>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <initializer_list>
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
    // Faults found in use: a part-way write, where a file is unreadable, the fallback model.
    {800, 803},
    // The I/O monitor's hint on switching an output.
    {980, 980},
    // Printing: a value the source did not hold, a cancelled or failed print, no printer.
    {1000, 1004},
    // Options, About (its version line and system information) and Help.
    {870, 885}, {887, 887},
    // Test moves: a second controller command refused.
    {950, 950},
    // The communication log: menu entry, window, directions, events.
    {1030, 1055},
    // The command-line tool: usage, its own errors, answers and versions.
    {1060, 1064}, {1066, 1071},
    // The parameter window's unit beside the home pushing amount.
    {1090, 1090},
};
// The data-edit-mode caption and the tool-tip texts kept only in Japanese.
constexpr std::pair<int, int> kJapaneseOnly[] = {{4, 4}, {301, 307}, {311, 319}};
// The separator line kept only in English.
constexpr std::pair<int, int> kEnglishOnly[] = {{700, 700}};

template<std::size_t N>
void addIds(QSet<int> &ids, const std::pair<int, int> (&ranges)[N], std::initializer_list<int> offsets)
{
    for (const auto &[from, to] : ranges)
        for (int id = from; id <= to; ++id)
            for (int offset : offsets)
                ids << id + offset;
}

// Japanese texts that are rightly written in Latin letters: the product
// name, signal and column names printed on the controller and in its manual
// (No., VEL, ACC, OUT, BK), the interface name, the OK button, the family
// and model codes, the maker's address, file extensions and default file
// names, which must not depend on the language, and the parameter window's
// unit " X 5(msec)".
const QSet<int> kLatinInJapanese = {1,   12,  13,  14,  15,  25,  27,  34,  70,  71,  92,  119, 133,
                                    134, 142, 145, 174, 175, 201, 373, 404, 422, 432, 479, 490,
                                    870, 1090};
// File extensions, default file names and that unit: the same in both
// languages.
const QSet<int> kSameInBothLanguages = {404, 422, 432, 490, 1090};

// Punctuation, hiragana, katakana, kanji (with extension A), full-width
// forms and half-width katakana.
const QRegularExpression kJapaneseChar(
    QStringLiteral("[\\x{3000}-\\x{30FF}\\x{3400}-\\x{4DBF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

QString textIn(int id, int offset)
{
    SetLangOffset(offset);
    QString text = QStringLiteral("<missing %1>").arg(id + offset);
    TryLoadText(id, text);
    SetLangOffset(0);
    return text;
}

// Every match of a pattern in a text, in order.
QStringList matches(const QRegularExpression &pattern, const QString &text)
{
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    return found;
}

} // namespace

using TextMap = QMap<int, QString>;

class TestText : public QObject
{
    Q_OBJECT

private slots:
    // Every ID the program uses is there in its languages, the IDs kept in
    // one language are missing from the other, and nothing else is present.
    void idsPresentInTheirLanguagesOnly()
    {
        QSet<int> expected;
        addIds(expected, kBothLanguages, {0, kEnglish});
        addIds(expected, kJapaneseOnly, {0});
        addIds(expected, kEnglishOnly, {kEnglish});
        const QList<int> ids = StringTable::builtIn().ids();
        const QSet<int> present(ids.cbegin(), ids.cend());
        QStringList wrong;
        for (int id : expected - present)
            wrong << QStringLiteral("missing %1").arg(id);
        for (int id : present - expected)
            wrong << QStringLiteral("stray %1").arg(id);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u' ')));
    }

    // Every Japanese text is a finished translation: not empty, not left in
    // English (but for the texts rightly in Latin letters), and keeping a
    // menu entry's access key (written the Japanese way after the text), the
    // number in front of a parameter name or checklist line (padded to two
    // places so that the names line up) and a file filter's patterns, each
    // after its "|".
    void japaneseTextsAreTranslations()
    {
        const QRegularExpression kept[] = {QRegularExpression(QStringLiteral("\\(&[A-Z]\\)")),
                                           QRegularExpression(QStringLiteral("^ ?\\d+\\. ?")),
                                           QRegularExpression(QStringLiteral("\\|\\*\\.[^|]+"))};
        int keptParts = 0;
        QStringList wrong;
        for (int id : StringTable::builtIn().ids()) {
            if (id >= kEnglish)
                continue;
            const QString text = textIn(id, 0);
            bool ok = !text.trimmed().isEmpty() && !text.contains(QLatin1String("TODO"))
                      && (kLatinInJapanese.contains(id) || text.contains(kJapaneseChar))
                      && (!kSameInBothLanguages.contains(id) || text == textIn(id, kEnglish));
            for (const QRegularExpression &re : kept) {
                const QStringList english = matches(re, textIn(id, kEnglish));
                keptParts += int(english.size());
                ok = ok && matches(re, text) == english;
            }
            if (!ok)
                wrong << QStringLiteral("%1 \"%2\"").arg(id).arg(text);
        }
        QVERIFY(keptParts > 20);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u' ')));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("errorLine"); // 0: the source parses
        QTest::addColumn<TextMap>("texts");
        QTest::newRow("comments, blank lines, CR LF")
            << "# head\r\n\r\n1\tone\r\n2\ttwo\r\n" << 0 << TextMap{{1, "one"}, {2, "two"}};
        QTest::newRow("escapes") << "5\ta\\nb\\tc\\\\d" << 0 << TextMap{{5, "a\nb\tc\\d"}};
        QTest::newRow("escaped backslash before n") << "6\tC:\\\\new" << 0 << TextMap{{6, "C:\\new"}};
        QTest::newRow("later tabs belong to the text") << "7\ta\tb" << 0 << TextMap{{7, "a\tb"}};
        QTest::newRow("blanks at both ends kept") << "8\t Finish " << 0 << TextMap{{8, " Finish "}};
        QTest::newRow("duplicate ID") << "1\ta\n2\tb\n1\tc" << 3 << TextMap{};
        QTest::newRow("missing tab, lines counted with comments") << "# c\n\n1\ta\nb" << 4 << TextMap{};
        QTest::newRow("ID not a number") << "x1\ta" << 1 << TextMap{};
        QTest::newRow("zero ID") << "0\ta" << 1 << TextMap{};
    }

    void parse()
    {
        QFETCH(QString, source);
        QFETCH(int, errorLine);
        StringTable table;
        int line = 0;
        QCOMPARE(StringTable::parse(source, table, &line), errorLine == 0);
        QCOMPARE(line, errorLine);
        if (errorLine != 0)
            return;
        TextMap held;
        for (int id : table.ids())
            held.insert(id, table.find(id).value_or(QString()));
        QTEST(held, "texts");
    }
};

KTED_TEST_MAIN(TestText)
#include "tst_text.moc"
