#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"

#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kNo16 = -99999;               // no 16-bit value
constexpr qint64 kNo32 = -9999999999LL;     // no 32-bit value

// Every field of text up to the reader's end, as the file readers loop;
// quoting gets "Q" or "U" per field (quoted or not).
QStringList ReadAll(const QString &text, QString &quoting)
{
    SequentialReader reader(text);
    QStringList fields;
    while (!reader.atEnd()) {
        const std::optional<QString> f = reader.next();
        fields << f.value_or(QStringLiteral("<no field before the end>"));
        quoting += reader.lastWasQuoted() ? u'Q' : u'U';
    }
    if (reader.next())
        fields << QStringLiteral("<field after the end>");
    return fields;
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    // Text to number as the files and fields are read: the leading number
    // (empty text reads 0), whether the whole text is a number, then
    // half-to-even rounding to 16 and 32 bits, overflow failing.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("halfEven");
        QTest::addColumn<int>("int16");
        QTest::addColumn<qint64>("int32");
        QTest::newRow("empty") << "" << 0.0 << false << 0.0 << 0 << qint64(0);
        QTest::newRow("blanks around") << " \t12 " << 12.0 << true << 12.0 << 12 << qint64(12);
        QTest::newRow("trailing text") << "12.5mm" << 12.5 << false << 12.0 << 12 << qint64(12);
        QTest::newRow("plus sign") << "+4" << 4.0 << true << 4.0 << 4 << qint64(4);
        QTest::newRow("point only") << "." << 0.0 << false << 0.0 << 0 << qint64(0);
        QTest::newRow("blank after sign") << "- 5" << 0.0 << false << 0.0 << 0 << qint64(0);
        QTest::newRow("second point") << "1.2.3" << 1.2 << false << 1.0 << 1 << qint64(1);
        QTest::newRow("exponent") << "25E-2" << 0.25 << true << 0.0 << 0 << qint64(0);
        QTest::newRow("incomplete exponent") << "7e+" << 7.0 << false << 7.0 << 7 << qint64(7);
        QTest::newRow("3.5 up to even") << "3.5" << 3.5 << true << 4.0 << 4 << qint64(4);
        QTest::newRow("just below a half") << "2.4999999999999996" << 2.4999999999999996 << true << 2.0 << 2
                                           << qint64(2);
        QTest::newRow("32766.5 stays") << "32766.5" << 32766.5 << true << 32766.0 << 32766 << qint64(32766);
        QTest::newRow("32767.5 overflows") << "32767.5" << 32767.5 << true << 32768.0 << kNo16 << qint64(32768);
        QTest::newRow("-32768.5 stays") << "-32768.5" << -32768.5 << true << -32768.0 << -32768 << qint64(-32768);
        QTest::newRow("-32769.5 overflows") << "-32769.5" << -32769.5 << true << -32770.0 << kNo16
                                            << qint64(-32770);
        QTest::newRow("32-bit overflow") << "2147483647.5" << 2147483647.5 << true << 2147483648.0 << kNo16
                                         << kNo32;
        QTest::newRow("32-bit bottom") << "-2147483648.5" << -2147483648.5 << true << -2147483648.0 << kNo16
                                       << qint64(-2147483648LL);
        QTest::newRow("huge") << "1e400" << kInf << true << kInf << kNo16 << kNo32;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
        QTEST(IsNumericText(text), "numeric");
        QTEST(RoundHalfEven(value), "halfEven");
        const std::optional<int16_t> r16 = RoundToInt16(value);
        QTEST(r16 ? int(*r16) : kNo16, "int16");
        const std::optional<int32_t> r32 = RoundToInt32(value);
        QTEST(r32 ? qint64(*r32) : kNo32, "int32");
    }

    // "#0.000", "#.#", and "#.#" read back and raised to the next whole
    // number, as the pulse limits are worked out.
    void fixedFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("fixed3");
        QTest::addColumn<QString>("oneDecimal");
        QTest::addColumn<double>("ceilAfterOneDecimal");
        QTest::newRow("zero") << 0.0 << "0.000" << "." << 0.0;
        QTest::newRow("rounds back to whole") << 4000.04 << "4000.040" << "4000." << 4000.0;
        QTest::newRow("rounds up to a tenth") << 4000.05 << "4000.050" << "4000.1" << 4001.0;
        // Values whose binary form lies a hair below the half still round
        // as the decimal value they stand for.
        QTest::newRow("1.0005") << 1.0005 << "1.001" << "1." << 1.0;
        QTest::newRow("7 pulses at lead 5") << 7 * (5.0 / 400) << "0.088" << ".1" << 1.0;
        QTest::newRow("carry through nines") << 999.9995 << "1000.000" << "1000." << 1000.0;
        QTest::newRow("carry one decimal") << 9.96 << "9.960" << "10." << 10.0;
        QTest::newRow("negative half away") << -0.0625 << "-0.063" << "-.1" << 0.0;
        QTest::newRow("negative rounding to zero") << -0.0004 << "0.000" << "." << 0.0;
    }
    void fixedFormats()
    {
        QFETCH(double, value);
        QTEST(FormatFixed3(value), "fixed3");
        QTEST(FormatOneDecimal(value), "oneDecimal");
        QTEST(CeilAfterOneDecimal(value), "ceilAfterOneDecimal");
    }

    void fields_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("hex full width") << "hex" << "16777215" << 6 << "FFFFFF";
        QTest::newRow("hex one too many") << "hex" << "16777216" << 6 << "X";
        QTest::newRow("hex zero") << "hex" << "0" << 1 << "0";
        QTest::newRow("hex negative") << "hex" << "-1" << 8 << "X";
        QTest::newRow("dec padded") << "dec" << "50" << 3 << "050";
        QTest::newRow("dec too long") << "dec" << "1000" << 3 << "X";
        QTest::newRow("dec negative") << "dec" << "-5" << 3 << "-05";
        QTest::newRow("align too long") << "align" << "12345678" << 7 << "-1";
        QTest::newRow("align Japanese") << "align" << QString::fromUtf8("位置Ａ") << 4
                                        << QString::fromUtf8(" 位置Ａ");
    }
    void fields()
    {
        QFETCH(QString, kind);
        QFETCH(QString, input);
        QFETCH(int, width);
        if (kind == u"hex")
            QTEST(HexField(input.toLongLong(), width), "text");
        else if (kind == u"dec")
            QTEST(DecField(input.toLongLong(), width), "text");
        else
            QTEST(RightAlign(input, width), "text");
    }

    void reader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("quoting");
        QTest::newRow("quoted blanks kept")
            << "\" 28L-100\",\"E35L-050 \"" << QStringList{" 28L-100", "E35L-050 "} << "QQ";
        QTest::newRow("unquoted blanks lost") << " 28L-100 ,  x" << QStringList{"28L-100", "x"} << "UU";
        QTest::newRow("comma and line ends close fields")
            << "1,2\r\n3\n4\r5\r\n" << QStringList{"1", "2", "3", "4", "5"} << "UUUUU";
        QTest::newRow("empty field between commas") << "1,,3" << QStringList{"1", "", "3"} << "UUU";
        QTest::newRow("empty lines yield nothing") << "\r\n1\r\n\r\n  \r\n2\r\n\r\n"
                                                   << QStringList{"1", "2"} << "UU";
        QTest::newRow("comma before line end") << "1,\r\n2" << QStringList{"1", "", "2"} << "UUU";
        QTest::newRow("comma at end of data") << "1," << QStringList{"1", ""} << "UU";
        QTest::newRow("text after closing quote ignored")
            << "\"ab\" cd,e" << QStringList{"ab", "e"} << "QU";
        QTest::newRow("separators inside quotes") << "\"a, b\",c" << QStringList{"a, b", "c"} << "QU";
        QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",x" << QStringList{"say \"hi\"", "x"}
                                       << "QU";
        QTest::newRow("open quote closed by line end")
            << "\"abc\r\n\"d\"" << QStringList{"abc", "d"} << "QQ";
    }
    void reader()
    {
        QFETCH(QString, text);
        QString seen;
        QTEST(ReadAll(text, seen), "fields");
        QTEST(seen, "quoting");
    }

    // Data files are code page 932 both ways. A file is replaced only by a
    // whole, encoded text: a text with characters code page 932 cannot hold
    // is refused (each such character named once, in order) and leaves the
    // old file whole, with no partial copy beside it.
    void dataFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // the file afterwards; "old": not replaced
        QTest::addColumn<QString>("bad");
        const QByteArray old("old");
        QTest::newRow("ASCII") << "\"KT-E1\",C:\\x~\r\n" << QByteArray("\"KT-E1\",C:\\x~\r\n") << "";
        QTest::newRow("kanji and katakana") << "位置ア" << QByteArray::fromHex("88ca92758341") << "";
        QTest::newRow("half-width katakana") << "ｱｲｶﾞｰ" << QByteArray::fromHex("b1b2b6deb0") << "";
        QTest::newRow("code page 932 additions") << "①髙～" << QByteArray::fromHex("8740fbfc8160") << "";
        QTest::newRow("refused, each once") << "a😀bé😀c" << old << "😀é";
        // These would be stored as another character and read back changed.
        QTest::newRow("yen sign") << "¥100" << old << "¥";
        QTest::newRow("wave dash") << "1〜3" << old << "〜";
        QTest::newRow("lone surrogate") << (QStringLiteral("a") + QChar(0xD800)) << old << QString(QChar(0xD800));
    }
    void dataFiles()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, bad);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.pmt"));
        QVERIFY(WriteDataFile(path, QStringLiteral("old")).ok);
        const DataFileResult w = WriteDataFile(path, text);

        QCOMPARE(w.ok, bytes != QByteArray("old"));
        QCOMPARE(w.badCharacters, bad);
        QVERIFY2(w.ok == w.error.isEmpty() && w.error.contains(bad.left(2)), qPrintable(w.error));
        QCOMPARE(ReadBytes(path), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.pmt"});
        QString back;
        QVERIFY(ReadDataFile(path, back).ok);
        QCOMPARE(back, w.ok ? text : QStringLiteral("old"));
    }
};

KTED_TEST_MAIN(TestCommon)
#include "tst_common.moc"
