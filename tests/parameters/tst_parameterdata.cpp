#include "scriptedprompter.h"
#include "testenv.h"

#include "common/datafile.h"
#include "parameters/parameterblocks.h"
#include "parameters/parameterfile.h"
#include "parameters/parameterset.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>

using Tweak = std::function<void(ParameterSet &)>;
Q_DECLARE_METATYPE(Tweak)

using Expected = QList<QPair<int, double>>;

namespace {

const QByteArray kHeader = "\"KT-E1\",\"Parameter\"\r\n";
const QByteArray kExampleRecord =
    "3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,0,2,800,0,\"E35L-050\",1,1\r\n";

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(TestScratchDir()).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

// The example record read as a parameter file: every value within its range,
// in ParaDA and in the variables alike.
ParameterSet example()
{
    ParameterSet s;
    ScriptedPrompter prompter;
    if (OpenParaFile(writeFile("example.pmt", kHeader + kExampleRecord), QString(), s, prompter) != 0
        || ParaDA2Hensu(s) != 0)
        qFatal("the example parameter file was not read");
    return s;
}

} // namespace

// The parameter set, its file and the controller's parameter blocks. The
// blocks of an ordinary set on the wire, and their reading back, are in the
// transfer tests against the simulated controller; these are the rules
// around them.
class TestParameterData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    // An empty payload: the set is refused and no block is built.
    void writePayloads_data()
    {
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<bool>("defaultBox");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("payload");

        const Tweak none = [](ParameterSet &) {};
        QTest::newRow("VEL times 4, pushing on TYPE 0") << none << false << 2 << "1150A0F00A0A01FFFF";
        QTest::newRow("empty homing method is pushing")
            << Tweak([](ParameterSet &s) { s.gParaVertical = ParaValue(); }) << false << 2 << "1150A0F00A0A01FFFF";
        QTest::newRow("no homing byte for TYPE 2")
            << Tweak([](ParameterSet &s) { s.gParaType = 2; }) << false << 2 << "1150A0F00A0AFFFFFF";
        QTest::newRow("VEL 4..9")
            << Tweak([](ParameterSet &s) { s.gParaKasokuSet = {1, 1, 1, 1, 2, 3, 4, 5, 6}; })
            << false << 3 << "1204080C101418FFFF";
        QTest::newRow("reset and logic B")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; })
            << false << 4 << "130A141E0000020320";
        QTest::newRow("input non-zero is hold, logic only 1 is A")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 5; s.gParaEmgLogic = 2; })
            << false << 4 << "130A141E0100020320";
        QTest::newRow("default box sends 01 01")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; })
            << true << 4 << "130A141E0101020320";
        QTest::newRow("stroke of 7 hex digits")
            << Tweak([](ParameterSet &s) { s.gParaStroke = 16777216; }) << false << 1 << "";
        QTest::newRow("VEL 64 gives 256")
            << Tweak([](ParameterSet &s) { s.gParaKasokuSet[8] = 64; }) << false << 3 << "";
        QTest::newRow("home offset of 5 hex digits")
            << Tweak([](ParameterSet &s) { s.gParaHomeOffset = 65536; }) << false << 0 << "";
        QTest::newRow("negative pushing amount")
            << Tweak([](ParameterSet &s) { s.gParaHomeOsikomi = -1; }) << false << 0 << "";
        QTest::newRow("negative pulse") << Tweak([](ParameterSet &s) { s.gParaPulse = -1; }) << false << 4 << "";
    }

    void writePayloads()
    {
        QFETCH(Tweak, tweak);
        QFETCH(bool, defaultBox);
        QFETCH(int, block);
        QFETCH(QString, payload);

        ParameterSet set = example();
        tweak(set);
        ParaPayloads out;
        QCOMPARE(SetParaData2LngData(set, defaultBox, out), payload.isEmpty() ? 1 : 0);
        QCOMPARE(out.gParaBlock[static_cast<size_t>(block)], payload);
        if (payload.isEmpty()) {
            for (const QString &p : out.gParaBlock)
                QVERIFY2(p.isEmpty(), qPrintable(p));
        }
    }

    // No numbers and no model: the reply is refused.
    void decodeReplies_data()
    {
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<Expected>("numbers");
        QTest::addColumn<QString>("model");

        QTest::newRow("11 pushing") << 2 << "0RD1104080C0A0A01FFFF\r\n" << Expected{{18, 0}} << "";
        QTest::newRow("11 unused homing byte reads pushing")
            << 2 << "0RD1104080C0A0AFFFFFF\r\n" << Expected{{18, 0}} << "";
        // The pulse count's two bytes differ, so their order shows (not 36865).
        QTest::newRow("13") << 4 << "0RD130A141E0100020190\r\n"
                            << Expected{{15, 10}, {16, 20}, {17, 30}, {23, 1}, {24, 0}, {19, 2}, {20, 400}} << "";
        QTest::newRow("14 two-digit size") << 5 << "0RD141C4C006401FFFFFF\r\n" << Expected{{21, 1}} << " 28L-100";
        QTest::newRow("14 short stroke padded")
            << 5 << "0RD1414480019020000FF\r\n" << Expected{{21, 2}} << " 20H-025";
        QTest::newRow("not hex") << 1 << "0RD10000BB8020202ZZFF\r\n" << Expected{} << "";
    }

    void decodeReplies()
    {
        QFETCH(int, block);
        QFETCH(QString, reply);
        QFETCH(Expected, numbers);
        QFETCH(QString, model);

        ParaArray values;
        QCOMPARE(DecodeParaBlock(block, reply, values), !numbers.isEmpty() || !model.isEmpty());
        for (const auto &[n, v] : numbers) {
            double got = -1;
            QVERIFY2(values[static_cast<size_t>(n)].isNumber(), qPrintable(QString::number(n)));
            values[static_cast<size_t>(n)].toNumber(got);
            QCOMPARE(got, v);
        }
        if (!model.isEmpty())
            QCOMPARE(values[22].toText(), model);
    }

    // ParaDA against the variables, both first holding the example.
    void verificationComparesByValue_data()
    {
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<bool>("details");
        QTest::addColumn<QString>("unmatched");

        QTest::newRow("VEL 10.75 is neither 11 nor 10") << Tweak([](ParameterSet &s) {
            s.ParaDA[6] = s.ParaDA[7] = ParaValue::number(10.75);
            s.gParaKasokuSet[0] = 11;
            s.gParaKasokuSet[1] = 10;
        }) << false << "6,7,";
        QTest::newRow("model differs")
            << Tweak([](ParameterSet &s) { s.gParaActuator = QStringLiteral(" 35L-050"); }) << false << "22,";
        const Tweak stop = [](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; };
        QTest::newRow("stop settings only with details") << stop << false << "";
        QTest::newRow("stop settings with details") << stop << true << "23,24,";
        QTest::newRow("empty homing method equals pushing")
            << Tweak([](ParameterSet &s) { s.ParaDA[18] = ParaValue(); }) << true << "";
        QTest::newRow("empty homing method differs from sensor") << Tweak([](ParameterSet &s) {
            s.ParaDA[18] = ParaValue();
            s.gParaVertical = ParaValue::number(1);
        }) << true << "18,";
    }

    void verificationComparesByValue()
    {
        QFETCH(Tweak, tweak);
        QFETCH(bool, details);
        QFETCH(QString, unmatched);

        ParameterSet set = example();
        tweak(set);
        QCOMPARE(ParametaShogoProc(set, details), unmatched.isEmpty() ? 0 : 1);
        QCOMPARE(set.gParaUnmatchNo, unmatched);
    }

    void fileIsWrittenByteForByte_data()
    {
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("example") << Tweak([](ParameterSet &) {}) << kExampleRecord;
        QTest::newRow("empty homing method")
            << Tweak([](ParameterSet &s) { s.gParaVertical = ParaValue(); })
            << QByteArray("3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,,2,800,0,\"E35L-050\",1,1\r\n");
        QTest::newRow("two-digit size keeps its blank")
            << Tweak([](ParameterSet &s) {
                   s.gParaActuator = QStringLiteral(" 28L-100");
                   s.gParaVertical = ParaValue::number(1);
                   s.gParaStroke = 16777215;
               })
            << QByteArray("16777215,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,1,2,800,0,\" 28L-100\",1,1\r\n");
        // Written in Shift_JIS, not UTF-8: half-width katakana one byte each.
        QTest::newRow("model text in katakana")
            << Tweak([](ParameterSet &s) { s.gParaActuator = QStringLiteral("ﾓﾃﾞﾙ-100"); })
            << QByteArray("3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,0,2,800,0,\"\xD3\xC3\xDE\xD9-100\",1,1\r\n");
    }

    void fileIsWrittenByteForByte()
    {
        QFETCH(Tweak, tweak);
        QFETCH(QByteArray, record);

        ParameterSet set = example();
        tweak(set);
        const QString path = QDir(TestScratchDir()).filePath("written.pmt");
        QCOMPARE(SaveParaFileAs(path, set), 0);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), kHeader + record);

        // Read back into a fresh set and written again: the same bytes.
        ScriptedPrompter prompter;
        ParameterSet back;
        QCOMPARE(OpenParaFile(path, QString(), back, prompter), 0);
        QCOMPARE(back.gParaDACount, 25);
        QCOMPARE(back.ParaDA[0].toText(), QString("written.pmt"));
        QCOMPARE(ParaDA2Hensu(back), 0);
        QCOMPARE(EncodeShiftJis(ParaFileText(back)).value_or(QByteArray()), kHeader + record);
        QVERIFY(prompter.shown().isEmpty());
    }

    void fileReading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("where"); // the line that names the record and field

        const QStringList none;
        const QString notOurs = QStringLiteral("Not Data file for KT-ED.\n\nOpening file is canceled.");
        const QByteArray head = "3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,0,2,800,0,";
        QTest::newRow("older model gains its blank") << kHeader + head + "\"35L-050\",1,1\r\n" << 0 << 25
                                                     << " 35L-050" << none << "";
        QTest::newRow("older E model") << kHeader + head + "\"35E-050\",1,1\r\n" << 0 << 25 << "E35L-050"
                                       << none << "";
        QTest::newRow("current model kept") << kHeader + head + "\" 28L-100\",1,1\r\n" << 0 << 25 << " 28L-100"
                                            << none << "";
        QTest::newRow("RW file of 15 values") << kHeader + "3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10\r\n"
                                              << 0 << 16 << "" << none << "";
        QByteArray v35 = kHeader;
        for (int i = 0; i < 35; ++i)
            v35 += i ? ",1" : "1";
        QTest::newRow("35 values") << v35 + "\r\n" << 0 << 36 << "1" << none << "";
        QTest::newRow("36 values") << v35 + ",1\r\n" << 1 << 0 << "" << none << "";
        // Fewer values than the shortest real file would blank the window.
        const QString missing = QStringLiteral("Record 2, field %1 is missing (the file ends early).");
        QTest::newRow("14 values") << kHeader + "3000,100,50,10,10,20,40,60,60,60,60,60,60,60\r\n" << 1 << 0
                                   << "" << none << missing.arg(15);
        QTest::newRow("position file")
            << QByteArray("\"KT-E1\",\"Position\"\r\n1,2,3\r\n") << 1 << 0 << ""
            << QStringList{notOurs + "\n\nRecord 1, field 2 could not be read (found: \"Position\")."} << "";
        QTest::newRow("first record case matters")
            << QByteArray("\"kt-e1\",\"Parameter\"\r\n") + kExampleRecord << 1 << 0 << ""
            << QStringList{notOurs + "\n\nRecord 1, field 1 could not be read (found: \"kt-e1\")."} << "";
        QTest::newRow("binary junk") << QByteArray("\x81\x00\xff\xfe\x80\x00\x01", 7) << 1 << 0 << ""
                                     << QStringList{notOurs} << "";
        QTest::newRow("empty file") << QByteArray() << 1 << 0 << ""
                                    << QStringList{notOurs + "\n\nRecord 1, field 1 is missing (the file ends early)."}
                                    << "";
        QByteArray text = kHeader + head + "\" 28L-100\",1,1\r\n";
        QTest::newRow("text where a number belongs")
            << QByteArray(text).replace(",50,", ",abc,") << 1 << 0 << "" << none
            << "Record 2, field 3 could not be read (found: \"abc\").";
        QTest::newRow("too large for its variable")
            << QByteArray(text).replace(",50,", ",40000,") << 1 << 0 << "" << none
            << "Record 2, field 3 could not be read (found: \"40000\").";
    }

    void fileReading()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QFETCH(int, count);
        QFETCH(QString, model);
        QFETCH(QStringList, messages);
        QFETCH(QString, where);

        // A full earlier read: nothing of it may survive a successful read,
        // everything of it must survive a refused one.
        ParameterSet set = example();
        const ParaArray before = set.ParaDA;
        ScriptedPrompter prompter;
        DataFileFault fault;
        QCOMPARE(OpenParaFile(writeFile("case.pmt", content), "case.pmt", set, prompter, &fault), result);
        QCOMPARE(prompter.texts(), messages);
        QCOMPARE(DataFileFaultText(fault), where);
        if (result == 1) {
            QVERIFY(set.ParaDA == before);
            return;
        }
        QCOMPARE(set.gParaDACount, count);
        QCOMPARE(set.ParaDA[22].toText(), model);
        for (int n = count; n < ParaDASize; ++n)
            QVERIFY2(set.ParaDA[static_cast<size_t>(n)].isEmpty(), qPrintable(QString::number(n)));
    }

    void rangeCheckListsEveryFailure_data()
    {
        QTest::addColumn<Expected>("changes");
        QTest::addColumn<QString>("failures");
        // Home offset 701, VEL 61 and pulse 10000 are in the window's checks.
        QTest::newRow("all good, stroke at its maximum") << Expected{{1, 16777215}} << "";
        QTest::newRow("the other fields out of range")
            << Expected{{1, -1}, {6, 0}, {17, 31}, {18, 2}, {19, 0}, {21, 3}, {23, 2}, {24, -1}}
            << "1,6,17,18,19,21,23,24,";
        QTest::newRow("huge pushing amount") << Expected{{3, 1e12}} << "3,";
    }

    void rangeCheckListsEveryFailure()
    {
        QFETCH(Expected, changes);
        QFETCH(QString, failures);
        const ParameterSet s = example();
        std::array<double, ParameterCount + 1> values{};
        for (int n = 1; n <= 24; ++n) {
            if (n != 18 && n != 22)
                values[static_cast<size_t>(n)] = static_cast<double>(s.numericValue(n));
        }
        for (const auto &[n, v] : changes)
            values[static_cast<size_t>(n)] = v;
        QCOMPARE(ParameterRangeFailures(values), failures);
    }
};

KTED_TEST_MAIN(TestParameterData)
#include "tst_parameterdata.moc"
