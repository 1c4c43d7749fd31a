#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"

#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kNo16 = -99999;               // no 16-bit value
constexpr qint64 kNo32 = -9999999999LL;     // no 32-bit value

// Every field of text; quoting gets "Q" or "U" per field (quoted or not).
QStringList ReadAll(const QString &text, QString *quoting = nullptr)
{
    SequentialReader reader(text);
    QStringList fields;
    while (const std::optional<QString> f = reader.next()) {
        fields << *f;
        if (quoting)
            *quoting += reader.lastWasQuoted() ? u'Q' : u'U';
    }
    return fields;
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("blanks around") << " \t12 " << 12.0 << true;
        QTest::newRow("trailing text") << "12.5mm" << 12.5 << false;
        QTest::newRow("plus sign") << "+4" << 4.0 << true;
        QTest::newRow("point only") << "." << 0.0 << false;
        QTest::newRow("blank after sign") << "- 5" << 0.0 << false;
        QTest::newRow("second point") << "1.2.3" << 1.2 << false;
        QTest::newRow("exponent") << "25E-2" << 0.25 << true;
        QTest::newRow("incomplete exponent") << "7e+" << 7.0 << false;
        QTest::newRow("huge") << "1e400" << kInf << true;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, numeric);
        QCOMPARE(LeadingNumber(text), value);
        QCOMPARE(IsNumericText(text), numeric);
    }

    void roundToInt_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("halfEven");
        QTest::addColumn<int>("int16");
        QTest::addColumn<qint64>("int32");
        QTest::newRow("2.5 down to even") << 2.5 << 2.0 << 2 << qint64(2);
        QTest::newRow("3.5 up to even") << 3.5 << 4.0 << 4 << qint64(4);
        QTest::newRow("just below a half") << 2.4999999999999996 << 2.0 << 2 << qint64(2);
        QTest::newRow("32766.5 stays") << 32766.5 << 32766.0 << 32766 << qint64(32766);
        QTest::newRow("32767.5 overflows") << 32767.5 << 32768.0 << kNo16 << qint64(32768);
        QTest::newRow("-32768.5 stays") << -32768.5 << -32768.0 << -32768 << qint64(-32768);
        QTest::newRow("-32769.5 overflows") << -32769.5 << -32770.0 << kNo16 << qint64(-32770);
        QTest::newRow("32-bit overflow") << 2147483647.5 << 2147483648.0 << kNo16 << kNo32;
        QTest::newRow("32-bit bottom") << -2147483648.5 << -2147483648.0 << kNo16
                                       << qint64(-2147483648LL);
        QTest::newRow("infinity") << kInf << kInf << kNo16 << kNo32;
    }
    void roundToInt()
    {
        QFETCH(double, value);
        QFETCH(double, halfEven);
        QFETCH(int, int16);
        QFETCH(qint64, int32);
        QCOMPARE(RoundHalfEven(value), halfEven);
        const std::optional<int16_t> r16 = RoundToInt16(value);
        QCOMPARE(r16 ? int(*r16) : kNo16, int16);
        const std::optional<int32_t> r32 = RoundToInt32(value);
        QCOMPARE(r32 ? qint64(*r32) : kNo32, int32);
    }

    void fixedFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("fixed3");
        QTest::addColumn<QString>("oneDecimal");
        QTest::newRow("zero") << 0.0 << "0.000" << ".";
        QTest::newRow("whole") << 5.0 << "5.000" << "5.";
        QTest::newRow("below a tenth") << 0.04 << "0.040" << ".";
        QTest::newRow("stroke 100 lead 6 ppr 400") << 100.0 / 6 * 400 << "6666.667" << "6666.7";
        QTest::newRow("pulses per mm at lead 6") << 400.0 / 6 << "66.667" << "66.7";
        QTest::newRow("6667 pulses at lead 6") << 6667 * (6.0 / 400) << "100.005" << "100.";
        // Values whose binary form lies a hair below the half still round
        // as the decimal value they stand for.
        QTest::newRow("1.0005") << 1.0005 << "1.001" << "1.";
        QTest::newRow("7 pulses at lead 5") << 7 * (5.0 / 400) << "0.088" << ".1";
        QTest::newRow("carry through nines") << 999.9995 << "1000.000" << "1000.";
        QTest::newRow("carry one decimal") << 9.96 << "9.960" << "10.";
        QTest::newRow("negative half away") << -0.0625 << "-0.063" << "-.1";
        QTest::newRow("negative rounding to zero") << -0.0004 << "0.000" << ".";
        QTest::newRow("large") << 123456789012345678.0 << "123456789012345680.000"
                               << "123456789012345680.";
    }
    void fixedFormats()
    {
        QFETCH(double, value);
        QFETCH(QString, fixed3);
        QFETCH(QString, oneDecimal);
        QCOMPARE(FormatFixed3(value), fixed3);
        QCOMPARE(FormatOneDecimal(value), oneDecimal);
    }

    void ceilAfterOneDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("result");
        QTest::newRow("stroke 100 lead 6 ppr 400") << 100.0 / 6 * 400 << 6667.0;
        QTest::newRow("stroke 100 lead 10 ppr 400") << 100.0 / 10 * 400 << 4000.0;
        QTest::newRow("rounds back to whole") << 4000.04 << 4000.0;
        QTest::newRow("rounds up to a tenth") << 4000.05 << 4001.0;
        QTest::newRow("rounds to next whole") << 4000.96 << 4001.0;
    }
    void ceilAfterOneDecimal()
    {
        QFETCH(double, value);
        QFETCH(double, result);
        QCOMPARE(CeilAfterOneDecimal(value), result);
    }

    void fields_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("hex padded") << "hex" << qint64(2500) << 6 << "0009C4";
        QTest::newRow("hex full width") << "hex" << qint64(16777215) << 6 << "FFFFFF";
        QTest::newRow("hex one too many") << "hex" << qint64(16777216) << 6 << "X";
        QTest::newRow("hex zero") << "hex" << qint64(0) << 1 << "0";
        QTest::newRow("hex negative") << "hex" << qint64(-1) << 8 << "X";
        QTest::newRow("dec padded") << "dec" << qint64(50) << 3 << "050";
        QTest::newRow("dec too long") << "dec" << qint64(1000) << 3 << "X";
        QTest::newRow("dec negative") << "dec" << qint64(-5) << 3 << "-05";
        QTest::newRow("align mm") << "align" << qint64(0) << 7 << " 12.350";
        QTest::newRow("align exact") << "align" << qint64(1) << 7 << "1234567";
        QTest::newRow("align too long") << "align" << qint64(2) << 7 << "-1";
        QTest::newRow("align Japanese") << "align" << qint64(3) << 4 << QString::fromUtf8(" 位置Ａ");
    }
    void fields()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, value);
        QFETCH(int, width);
        QFETCH(QString, text);
        const QStringList toAlign = {QStringLiteral("12.350"), QStringLiteral("1234567"),
                                     QStringLiteral("12345678"), QString::fromUtf8("位置Ａ")};
        if (kind == u"hex")
            QCOMPARE(HexField(value, width), text);
        else if (kind == u"dec")
            QCOMPARE(DecField(value, width), text);
        else
            QCOMPARE(RightAlign(toAlign.at(value), width), text);
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
        QTest::newRow("parameter record") << "3000,,\"E35L-050\",1\r\n"
                                          << QStringList{"3000", "", "E35L-050", "1"} << "UUQU";
        QTest::newRow("position file")
            << QString::fromUtf8("\"KT-E1\",\"Position\"\r\n\"KT- 28L-100 \",\"NEW\"\r\n"
                                 "\"5\",\"3\",\"6667\",\"原点 ｶﾞ\"\r\n")
            << QStringList{"KT-E1", "Position", "KT- 28L-100 ", "NEW", "5", "3", "6667",
                           QString::fromUtf8("原点 ｶﾞ")}
            << "QQQQQQQQ";
    }
    void reader()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QFETCH(QString, quoting);
        QString seen;
        QCOMPARE(ReadAll(text, &seen), fields);
        QCOMPARE(seen, quoting);
    }

    void readerNumbersAndEnd()
    {
        SequentialReader reader(QStringLiteral("12, abc ,\"7\",\r\n-0.5,"));
        QCOMPARE(reader.nextNumber(), std::optional<double>(12.0));
        QCOMPARE(reader.nextNumber(), std::nullopt);        // "abc"
        QCOMPARE(reader.nextNumber(), std::optional<double>(7.0));
        QCOMPARE(reader.nextNumber(), std::nullopt);        // the empty field
        QCOMPARE(reader.nextNumber(), std::optional<double>(-0.5));
        QVERIFY(!reader.atEnd());                           // the last comma's field
        QCOMPARE(reader.next(), std::optional<QString>(QString()));
        QVERIFY(reader.atEnd());
        QCOMPARE(reader.next(), std::nullopt);
    }

    void writerRoundTrip()
    {
        SequentialWriter writer;
        writer.addText(QStringLiteral("KT-E1"));
        writer.addText(QStringLiteral("Parameter"));
        writer.endRecord();
        writer.addNumber(3000);
        writer.addRaw(QString());
        writer.addNumber(-7);
        writer.addText(QStringLiteral("E35L-050"));
        writer.endRecord();
        QCOMPARE(writer.text(), QStringLiteral("\"KT-E1\",\"Parameter\"\r\n3000,,-7,\"E35L-050\"\r\n"));

        const QStringList texts = {QStringLiteral(" 28L-100"), QString(), QStringLiteral("a,b"),
                                   QStringLiteral("\""), QStringLiteral("x\"\"y\""),
                                   QString::fromUtf8("原点 ｶﾞ ")};
        for (const QString &t : texts)
            writer.addText(t);
        writer.endRecord();
        QCOMPARE(ReadAll(writer.text()).mid(6), texts);
    }

    void shiftJisRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII") << "\"KT-E1\",C:\\x~\r\n" << QByteArray("\"KT-E1\",C:\\x~\r\n");
        QTest::newRow("kanji and katakana") << QString::fromUtf8("位置ア") << QByteArray::fromHex("88ca92758341");
        QTest::newRow("half-width katakana") << QString::fromUtf8("ｱｲｶﾞｰ") << QByteArray::fromHex("b1b2b6deb0");
        QTest::newRow("code page 932 additions") << QString::fromUtf8("①髙～") << QByteArray::fromHex("8740fbfc8160");
    }
    void shiftJisRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QString bad = QStringLiteral("stale");
        QCOMPARE(EncodeShiftJis(text, &bad), std::optional<QByteArray>(bytes));
        QVERIFY(bad.isEmpty());
        QCOMPARE(DecodeShiftJis(bytes), std::optional<QString>(text));
    }

    void shiftJisRefusal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("bad");
        QTest::newRow("each once, in order") << QString::fromUtf8("a😀bé😀c") << QString::fromUtf8("😀é");
        // These would be stored as another character and read back changed.
        QTest::newRow("yen sign") << QString::fromUtf8("¥100") << QString::fromUtf8("¥");
        QTest::newRow("wave dash") << QString::fromUtf8("1〜3") << QString::fromUtf8("〜");
        QTest::newRow("lone surrogate") << (QStringLiteral("a") + QChar(0xD800)) << QString(QChar(0xD800));
    }
    void shiftJisRefusal()
    {
        QFETCH(QString, text);
        QFETCH(QString, bad);
        QString found;
        QCOMPARE(EncodeShiftJis(text, &found), std::nullopt);
        QCOMPARE(found, bad);
    }

    void dataFileRoundTrip()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("a.ktd"));
        QVERIFY(WriteBytes(path, "old"));
        const QString text = QString::fromUtf8("\"位置ｶﾞ\"\r\n");
        const DataFileResult w = WriteDataFile(path, text);
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(ReadBytes(path), QByteArray::fromHex("2288ca9275b6de220d0a"));
        QString back;
        const DataFileResult r = ReadDataFile(path, back);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(back, text);

        // Bytes that are not Shift_JIS, and a missing file, leave the text alone.
        QVERIFY(WriteBytes(path, QByteArray("ok\x82", 3)));
        back = QStringLiteral("kept");
        QVERIFY(!ReadDataFile(path, back).ok);
        QVERIFY(!ReadDataFile(dir.filePath(QStringLiteral("none")), back).ok);
        QCOMPARE(back, QStringLiteral("kept"));
    }

    void refusedTextLeavesFileAlone()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("a.ktd"));
        QVERIFY(WriteBytes(path, "old"));
        const DataFileResult w = WriteDataFile(path, QString::fromUtf8("位置 😀 ¥"));
        QVERIFY(!w.ok);
        QCOMPARE(w.badCharacters, QString::fromUtf8("😀¥"));
        QVERIFY2(w.error.contains(QString::fromUtf8("😀")), qPrintable(w.error));
        QCOMPARE(ReadBytes(path), QByteArray("old"));
        const QString fresh = dir.filePath(QStringLiteral("b.ktd"));
        QVERIFY(!WriteDataFile(fresh, QString::fromUtf8("😀")).ok);
        QVERIFY(!QFile::exists(fresh));
    }

    // The write fails half-way (the file-size limit stops it, for root too):
    // the old file must stay whole and no partial copy may remain.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("a.pmt"));
        QVERIFY(WriteBytes(path, "old"));
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const DataFileResult w = WriteDataFile(path, QString(4096, u'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!w.ok);
        QCOMPARE(ReadBytes(path), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.pmt"});
        // A folder that is a file: nothing to write into.
        QVERIFY(!WriteDataFile(path + QStringLiteral("/b.pmt"), QStringLiteral("x")).ok);
    }
};

KTED_TEST_MAIN(TestCommon)
#include "tst_common.moc"
