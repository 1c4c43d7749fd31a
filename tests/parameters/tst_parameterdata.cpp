#include "paramfixtures.h"
#include "scriptedprompter.h"
#include "testenv.h"

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

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(TestScratchDir()).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write(bytes);
    return path;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

const QByteArray kHeader = "\"KT-E1\",\"Parameter\"\r\n";
const QByteArray kExampleRecord =
    "3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,0,2,800,0,\"E35L-050\",1,1\r\n";

} // namespace

// The parameter set, its file and the controller's parameter blocks.
class TestParameterData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    void writePayloads_data()
    {
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<bool>("defaultBox");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("payload");

        const Tweak none = [](ParameterSet &) {};
        QTest::newRow("stroke 3000") << none << false << 1 << "10000BB802020202FF";
        QTest::newRow("home offset 700, pushing 0")
            << Tweak([](ParameterSet &s) { s.gParaHomeOffset = 700; s.gParaHomeOsikomi = 0; })
            << false << 0 << "00FF020002BCFFFFFF";
        QTest::newRow("VEL times 4, pushing on TYPE 0") << none << false << 2 << "1150A0F00A0A01FFFF";
        QTest::newRow("sensor on TYPE 0")
            << Tweak([](ParameterSet &s) { s.gParaVertical = ParaValue::number(1); })
            << false << 2 << "1150A0F00A0A00FFFF";
        QTest::newRow("empty homing method is pushing")
            << Tweak([](ParameterSet &s) { s.gParaVertical = ParaValue(); })
            << false << 2 << "1150A0F00A0A01FFFF";
        QTest::newRow("no homing byte for TYPE 1")
            << Tweak([](ParameterSet &s) { s.gParaType = 1; s.gParaVertical = ParaValue::number(1); })
            << false << 2 << "1150A0F00A0AFFFFFF";
        QTest::newRow("no homing byte for TYPE 2")
            << Tweak([](ParameterSet &s) { s.gParaType = 2; })
            << false << 2 << "1150A0F00A0AFFFFFF";
        QTest::newRow("VEL 4..9")
            << Tweak([](ParameterSet &s) { s.gParaKasokuSet = {1, 1, 1, 1, 2, 3, 4, 5, 6}; })
            << false << 3 << "1204080C101418FFFF";
        QTest::newRow("jog, hold, logic A, lead, pulse") << none << false << 4 << "130A141E0101020320";
        QTest::newRow("reset and logic B")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; })
            << false << 4 << "130A141E0000020320";
        QTest::newRow("input non-zero is hold, logic only 1 is A")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 5; s.gParaEmgLogic = 2; })
            << false << 4 << "130A141E0100020320";
        QTest::newRow("default box sends 01 01")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; })
            << true << 4 << "130A141E0101020320";
        QTest::newRow("model E35L-050") << none << false << 5 << "142345003200FFFFFF";
        QTest::newRow("model 28L-100 on KT old")
            << Tweak([](ParameterSet &s) {
                   s.gParaType = 1;
                   s.gParaActSize = QStringLiteral(" 28");
                   s.gParaActSpeed = QStringLiteral("L");
                   s.gParaActStroke = 100;
               })
            << false << 5 << "141C4C006401FFFFFF";
        QTest::newRow("RW type")
            << Tweak([](ParameterSet &s) { s.gParaType = 2; }) << false << 5 << "142345003202FFFFFF";
        QTest::newRow("unknown type sent as 00")
            << Tweak([](ParameterSet &s) { s.gParaType = 7; }) << false << 5 << "142345003200FFFFFF";
    }

    void writePayloads()
    {
        QFETCH(Tweak, tweak);
        QFETCH(bool, defaultBox);
        QFETCH(int, block);
        QFETCH(QString, payload);

        ParameterSet set = ExampleParameterSet();
        tweak(set);
        ParaPayloads out;
        QCOMPARE(SetParaData2LngData(set, defaultBox, out), 0);
        QCOMPARE(out.gParaBlock[static_cast<size_t>(block)], payload);
    }

    void valueTooWideForItsFieldIsRefused_data()
    {
        QTest::addColumn<Tweak>("tweak");
        QTest::newRow("stroke of 7 hex digits") << Tweak([](ParameterSet &s) { s.gParaStroke = 16777216; });
        QTest::newRow("VEL 64 gives 256") << Tweak([](ParameterSet &s) { s.gParaKasokuSet[8] = 64; });
        QTest::newRow("home offset of 5 hex digits") << Tweak([](ParameterSet &s) { s.gParaHomeOffset = 65536; });
        QTest::newRow("negative pushing amount") << Tweak([](ParameterSet &s) { s.gParaHomeOsikomi = -1; });
        QTest::newRow("negative pulse") << Tweak([](ParameterSet &s) { s.gParaPulse = -1; });
    }

    void valueTooWideForItsFieldIsRefused()
    {
        QFETCH(Tweak, tweak);
        ParameterSet set = ExampleParameterSet();
        tweak(set);
        ParaPayloads out;
        QCOMPARE(SetParaData2LngData(set, false, out), 1);
        for (const QString &p : out.gParaBlock)
            QVERIFY2(p.isEmpty(), qPrintable(p));
    }

    void decodeReplies_data()
    {
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<Expected>("numbers");
        QTest::addColumn<QString>("model");

        QTest::newRow("00") << 0 << "0RD00FF020002BCFFFFFF\r\n" << Expected{{3, 0}, {2, 700}} << "";
        QTest::newRow("10") << 1 << "0RD10000BB802020202FF\r\n" << Expected{{1, 3000}} << "";
        QTest::newRow("11 quarters and sensor")
            << 2 << "0RD112B28F00A0B00FFFF\r\n"
            << Expected{{6, 10.75}, {7, 10}, {8, 60}, {4, 10}, {5, 11}, {18, 1}} << "";
        QTest::newRow("11 pushing") << 2 << "0RD1104080C0A0A01FFFF\r\n" << Expected{{18, 0}} << "";
        QTest::newRow("11 unused homing byte reads pushing")
            << 2 << "0RD1104080C0A0AFFFFFF\r\n" << Expected{{18, 0}} << "";
        QTest::newRow("12") << 3 << "0RD1204050C101418FFFF\r\n"
                            << Expected{{9, 1}, {10, 1.25}, {11, 3}, {12, 4}, {13, 5}, {14, 6}} << "";
        QTest::newRow("13") << 4 << "0RD130A141E010002FFFF\r\n"
                            << Expected{{15, 10}, {16, 20}, {17, 30}, {23, 1}, {24, 0}, {19, 2}, {20, 65535}}
                            << "";
        QTest::newRow("14 E model") << 5 << "0RD142345003200FFFFFF\r\n" << Expected{{21, 0}} << "E35L-050";
        QTest::newRow("14 two-digit size") << 5 << "0RD141C4C006401FFFFFF\r\n" << Expected{{21, 1}}
                                           << " 28L-100";
        QTest::newRow("14 short stroke padded") << 5 << "0RD1414480019020000FF\r\n" << Expected{{21, 2}}
                                                << " 20H-025";
    }

    void decodeReplies()
    {
        QFETCH(int, block);
        QFETCH(QString, reply);
        QFETCH(Expected, numbers);
        QFETCH(QString, model);

        ParaArray values;
        QVERIFY(DecodeParaBlock(block, reply, values));
        for (const auto &[n, v] : numbers) {
            double got = -1;
            QVERIFY2(values[static_cast<size_t>(n)].isNumber(), qPrintable(QString::number(n)));
            values[static_cast<size_t>(n)].toNumber(got);
            QCOMPARE(got, v);
        }
        if (!model.isEmpty())
            QCOMPARE(values[22].toText(), model);
    }

    void decodeRefusesDamagedData_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::newRow("not hex") << "0RD10000BB8020202ZZFF\r\n";
        QTest::newRow("too short") << "0RD10000BB8\r\n";
    }

    void decodeRefusesDamagedData()
    {
        QFETCH(QString, reply);
        ParaArray values;
        QVERIFY(!DecodeParaBlock(1, reply, values));
    }

    void verificationComparesByValue_data()
    {
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<bool>("details");
        QTest::addColumn<bool>("skipHoming");
        QTest::addColumn<QString>("unmatched");

        QTest::newRow("same") << Tweak([](ParameterSet &) {}) << true << false << "";
        QTest::newRow("VEL 10.75 is neither 11 nor 10")
            << Tweak([](ParameterSet &s) {
                   s.ParaDA[6] = ParaValue::number(10.75);
                   s.ParaDA[7] = ParaValue::number(10.75);
                   s.gParaKasokuSet[0] = 11;
                   s.gParaKasokuSet[1] = 10;
               })
            << false << false << "6,7,";
        QTest::newRow("model differs")
            << Tweak([](ParameterSet &s) { s.gParaActuator = QStringLiteral(" 35L-050"); })
            << false << false << "22,";
        QTest::newRow("stop settings only with details")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; })
            << false << false << "";
        QTest::newRow("stop settings with details")
            << Tweak([](ParameterSet &s) { s.gParaEmgWay = 0; s.gParaEmgLogic = 0; })
            << true << false << "23,24,";
        QTest::newRow("empty homing method equals pushing")
            << Tweak([](ParameterSet &s) { s.ParaDA[18] = ParaValue(); }) << true << false << "";
        QTest::newRow("empty homing method differs from sensor")
            << Tweak([](ParameterSet &s) {
                   s.ParaDA[18] = ParaValue();
                   s.gParaVertical = ParaValue::number(1);
               })
            << true << false << "18,";
        QTest::newRow("homing left out")
            << Tweak([](ParameterSet &s) { s.gParaVertical = ParaValue::number(1); })
            << true << true << "";
        QTest::newRow("missing values of a short file differ")
            << Tweak([](ParameterSet &s) {
                   for (int n = 16; n <= 24; ++n)
                       s.ParaDA[static_cast<size_t>(n)] = ParaValue();
               })
            << false << true << "16,17,19,20,22,";
    }

    void verificationComparesByValue()
    {
        QFETCH(Tweak, tweak);
        QFETCH(bool, details);
        QFETCH(bool, skipHoming);
        QFETCH(QString, unmatched);

        ParameterSet set = ExampleParameterSet();
        set.ParaDA = {};
        for (int n = 1; n <= 24; ++n) {
            if (n == 18)
                set.ParaDA[18] = set.gParaVertical;
            else if (n == 22)
                set.ParaDA[22] = ParaValue::text(set.gParaActuator);
            else
                set.ParaDA[static_cast<size_t>(n)] = ParaValue::number(static_cast<double>(set.numericValue(n)));
        }
        tweak(set);
        QCOMPARE(ParametaShogoProc(set, details, skipHoming), unmatched.isEmpty() ? 0 : 1);
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
    }

    void fileIsWrittenByteForByte()
    {
        QFETCH(Tweak, tweak);
        QFETCH(QByteArray, record);

        ParameterSet set = ExampleParameterSet();
        tweak(set);
        const QString path = QDir(TestScratchDir()).filePath("written.pmt");
        QCOMPARE(SaveParaFileAs(path, set), 0);
        QCOMPARE(readBytes(path), kHeader + record);

        // Read back into a fresh set and written again: the same bytes.
        ScriptedPrompter prompter;
        ParameterSet back;
        QCOMPARE(OpenParaFile(path, QString(), back, prompter), 0);
        QCOMPARE(back.gParaDACount, 25);
        QCOMPARE(back.ParaDA[0].toText(), QString("written.pmt"));
        QCOMPARE(ParaDA2Hensu(back), 0);
        QCOMPARE(ParaFileText(back).toLatin1(), kHeader + record);
        QVERIFY(prompter.shown().isEmpty());
    }

    void fileReading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("messages");

        const QStringList none;
        const QByteArray head = "3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,0,2,800,0,";
        QTest::newRow("older model gains its blank") << kHeader + head + "\"35L-050\",1,1\r\n" << 0 << 25
                                                     << " 35L-050" << none;
        QTest::newRow("older E model") << kHeader + head + "\"35E-050\",1,1\r\n" << 0 << 25 << "E35L-050"
                                       << none;
        QTest::newRow("current model kept") << kHeader + head + "\" 28L-100\",1,1\r\n" << 0 << 25 << " 28L-100"
                                            << none;
        QTest::newRow("RW file of 15 values") << kHeader + "3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10\r\n"
                                              << 0 << 16 << "" << none;
        QByteArray v35 = kHeader;
        for (int i = 0; i < 35; ++i)
            v35 += i ? ",1" : "1";
        QTest::newRow("35 values") << v35 + "\r\n" << 0 << 36 << "1" << none;
        QTest::newRow("36 values") << v35 + ",1\r\n" << 1 << 0 << "" << none;
        QTest::newRow("position file")
            << QByteArray("\"KT-E1\",\"Position\"\r\n1,2,3\r\n") << 1 << 0 << ""
            << QStringList{"Not Data file for KT-ED.\n\nOpening file is canceled."};
        QTest::newRow("first record case matters")
            << QByteArray("\"kt-e1\",\"Parameter\"\r\n") + kExampleRecord << 1 << 0 << ""
            << QStringList{"Not Data file for KT-ED.\n\nOpening file is canceled."};
        QTest::newRow("empty file") << QByteArray() << 1 << 0 << "" << none;
        QTest::newRow("text where a number belongs")
            << kHeader + "3000,100,abc,10\r\n" << 1 << 0 << "" << none;
        QTest::newRow("too large for its variable") << kHeader + "3000,100,40000,10\r\n" << 1 << 0 << "" << none;
    }

    void fileReading()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QFETCH(int, count);
        QFETCH(QString, model);
        QFETCH(QStringList, messages);

        // A full earlier read: nothing of it may survive a successful read,
        // everything of it must survive a refused one.
        ParameterSet set = ExampleParameterSet();
        ScriptedPrompter prompter;
        const QString earlier = writeFile("earlier.pmt", kHeader + kExampleRecord);
        QCOMPARE(OpenParaFile(earlier, QString(), set, prompter), 0);
        const ParaArray before = set.ParaDA;

        const QString path = writeFile("case.pmt", content);
        QCOMPARE(OpenParaFile(path, "case.pmt", set, prompter), result);
        QCOMPARE(prompter.texts(), messages);
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
        QTest::newRow("all good, stroke at its maximum") << Expected{{1, 16777215}} << "";
        QTest::newRow("home offset and lead") << Expected{{2, 701}, {19, 0}} << "2,19,";
        QTest::newRow("VEL 0 and 61") << Expected{{6, 0}, {14, 61}} << "6,14,";
        QTest::newRow("JOG 31, pulse 10000") << Expected{{17, 31}, {20, 10000}} << "17,20,";
        QTest::newRow("negative stroke, homing 2, type 3") << Expected{{1, -1}, {18, 2}, {21, 3}} << "1,18,21,";
        QTest::newRow("stop settings") << Expected{{23, 2}, {24, -1}} << "23,24,";
        QTest::newRow("huge pushing amount") << Expected{{3, 1e12}} << "3,";
    }

    void rangeCheckListsEveryFailure()
    {
        QFETCH(Expected, changes);
        QFETCH(QString, failures);
        const ParameterSet s = ExampleParameterSet();
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
