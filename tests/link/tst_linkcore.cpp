// The parts of the link that need no port: command lines and reply fields,
// the bounded receive buffer, the move watch across midnight, the error
// list and the alarm display, and the order of serial devices.

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "common/datafile.h"
#include "link/alarmdisplay.h"
#include "link/commandset.h"
#include "link/errorlist.h"
#include "link/linkstate.h"
#include "link/portnames.h"
#include "link/receivebuffer.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(Ctl::CommandLine)

class TestLinkCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    void commandLines_data();
    void commandLines();
    void replyFields();
    void receiveBuffer_data();
    void receiveBuffer();
    void moveWatchAcrossMidnight_data();
    void moveWatchAcrossMidnight();
    void errorList_data();
    void errorList();
    void errorListFileIsShiftJis();
    void shippedErrorList();
    void alarmDisplay_data();
    void alarmDisplay();
    void missingErrorListRepeatsItsMessage();
    void deviceOrder_data();
    void deviceOrder();
    void configuredDevices();
};

void TestLinkCore::commandLines_data()
{
    QTest::addColumn<Ctl::CommandLine>("line");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("moveWatch");

    QTest::newRow("communication mode") << Ctl::CommMode(Ctl::CtMode::Communication)
                                        << QByteArray("0CM1\r\n") << 6 << 1000 << false;
    QTest::newRow("external start mode") << Ctl::CommMode(Ctl::CtMode::External)
                                         << QByteArray("0CM0\r\n") << 6 << 5000 << false;
    QTest::newRow("read block 10") << Ctl::ReadBlock(QStringLiteral("10"))
                                   << QByteArray("0RD10\r\n") << 23 << 5000 << false;
    QTest::newRow("write block 10")
        << Ctl::WriteBlock(QStringLiteral("10"), QStringLiteral("000BB802020202FF"))
        << QByteArray("0WD10000BB802020202FF\r\n") << 23 << 5000 << false;
    QTest::newRow("read position 3") << Ctl::ReadPosition(3) << QByteArray("0RP3\r\n") << 16
                                     << 5000 << false;
    QTest::newRow("position numbers are hex") << Ctl::ReadPosition(10)
                                              << QByteArray("0RPA\r\n") << 16 << 5000 << false;
    QTest::newRow("write position 2")
        << Ctl::WritePosition(QStringLiteral("253020009C4"))
        << QByteArray("0WP253020009C4\r\n") << 16 << 5000 << false;
    QTest::newRow("move home") << Ctl::MoveTo(0) << QByteArray("0MP0\r\n") << 16 << 0 << true;
    QTest::newRow("output state") << Ctl::ReadOutputState() << QByteArray("0RS\r\n") << 7
                                  << 5000 << false;
    QTest::newRow("home state") << Ctl::ReadHomeState() << QByteArray("0RH\r\n") << 6 << 5000
                                << false;
    QTest::newRow("present position") << Ctl::ReadPresentPos() << QByteArray("0RC\r\n") << 16
                                      << 5000 << false;
    QTest::newRow("version") << Ctl::ReadVersion() << QByteArray("0RV\r\n") << 11 << 5000
                             << false;
    QTest::newRow("alarm clear") << Ctl::ClearAlarm() << QByteArray("0%C\r\n") << 7 << 5000
                                 << false;
    QTest::newRow("read I/O byte") << Ctl::ReadIoByte(105) << QByteArray("0RB105\r\n") << 10
                                   << 5000 << false;
    QTest::newRow("write outputs") << Ctl::WriteOutputByte(QStringLiteral("2B"))
                                   << QByteArray("0WB1072B\r\n") << 10 << 5000 << false;
}

void TestLinkCore::commandLines()
{
    QFETCH(Ctl::CommandLine, line);
    QFETCH(QByteArray, wire);
    QFETCH(int, replyLength);
    QFETCH(int, timeoutMs);
    QFETCH(bool, moveWatch);

    QCOMPARE(Ctl::Frame(line.text()), wire);
    QCOMPARE(line.head, QString::fromLatin1(wire.left(3)));
    QCOMPARE(line.replyLength, replyLength);
    QCOMPARE(line.timeoutMs, timeoutMs);
    QCOMPARE(line.wait == Ctl::WaitKind::MoveWatch, moveWatch);
}

void TestLinkCore::replyFields()
{
    // A read of position 2 whose characters 9 to 14 are 001A2B.
    const auto row = Ctl::DecodePositionRow(QStringLiteral("0RP25302001A2B\r\n"));
    QVERIFY(row);
    QCOMPARE(row->vel, 5);
    QCOMPARE(row->acc, 3);
    QCOMPARE(row->out, 0);
    QCOMPARE(row->currentDown, 2);
    QCOMPARE(row->pulses, 6699);
    QVERIFY(!Ctl::DecodePositionRow(QStringLiteral("0RP25302001G2B\r\n")));

    // Only the first three of the six characters after "0RV" are the version.
    QCOMPARE(Ctl::DecodeVersion(QStringLiteral("0RV1.3K01\r\n")), QStringLiteral("1.3"));

    const auto bytes = Ctl::BlockBytes(QStringLiteral("0RD10004E2002020202FF\r\n"));
    QVERIFY(bytes);
    QCOMPARE((*bytes)[0], uint8_t(0x00));
    QCOMPARE((*bytes)[2], uint8_t(0x20));
    QCOMPARE((*bytes)[7], uint8_t(0xFF));
    QVERIFY(!Ctl::BlockBytes(QStringLiteral("0RD10004E20\r\n")));

    // An I/O reply of the right length for another byte is not read.
    QCOMPARE(Ctl::DecodeIoByte(QStringLiteral("0RB106A5\r\n"), 106), std::optional<int>(0xA5));
    QCOMPARE(Ctl::DecodeIoByte(QStringLiteral("0RB106A5\r\n"), 107), std::optional<int>());
    QCOMPARE(Ctl::DecodeIoByte(QStringLiteral("0RB106A\r\n"), 106), std::optional<int>());

    QCOMPARE(Ctl::DecodeOutputState(QStringLiteral("0RS30\r\n")), std::optional<int>(3));
    QCOMPARE(Ctl::DecodeOutputState(QStringLiteral("0RS40\r\n")), std::optional<int>());
    QCOMPARE(Ctl::DecodeHomeState(QStringLiteral("0RH1\r\n")), std::optional<int>(1));
    QCOMPARE(Ctl::DecodePresentPos(QStringLiteral("0RC000000009C4\r\n")),
             std::optional<int32_t>(2500));

    QCOMPARE(Ctl::AlarmCode(QStringLiteral("0%%0E\r\n")), QStringLiteral("0E"));
    QCOMPARE(Ctl::AlarmCode(QStringLiteral("0%%\r\n")), QString());
    QVERIFY(Ctl::IsAlarmReport(QStringLiteral("0%%0B\r\n")));
    QVERIFY(!Ctl::IsAlarmReport(QStringLiteral("0%C00\r\n")));
}

void TestLinkCore::receiveBuffer_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<int>("leftOver");
    QTest::addColumn<int>("discards");

    QTest::newRow("one read") << QList<QByteArray>{"0CM1\r\n"} << QList<QByteArray>{"0CM1\r\n"}
                              << 0 << 0;
    QTest::newRow("three pieces")
        << QList<QByteArray>{"0RD10", "004E2002", "020202FF\r\n"}
        << QList<QByteArray>{"0RD10004E2002020202FF\r\n"} << 0 << 0;
    QTest::newRow("CR and LF apart") << QList<QByteArray>{"0CM1\r", "\n"}
                                     << QList<QByteArray>{"0CM1\r\n"} << 0 << 0;
    QTest::newRow("a lone LF does not end a reply")
        << QList<QByteArray>{"0CM1\n"} << QList<QByteArray>{} << 5 << 0;
    // Complete only when a read leaves CR LF at the end: a second line that
    // has begun in the same read becomes part of the reply.
    QTest::newRow("next line begun in the same read")
        << QList<QByteArray>{"0CM1\r\n0%%", "0E\r\n"}
        << QList<QByteArray>{"0CM1\r\n0%%0E\r\n"} << 0 << 0;
    QTest::newRow("two replies in turn")
        << QList<QByteArray>{"0CM1\r\n", "0RH1\r\n"}
        << QList<QByteArray>{"0CM1\r\n", "0RH1\r\n"} << 0 << 0;
    QTest::newRow("noise without line end is thrown away")
        << QList<QByteArray>{QByteArray(200, '\x55'), QByteArray(200, '\x55'), "0CM1\r\n"}
        << QList<QByteArray>{"0CM1\r\n"} << 0 << 1;
    QTest::newRow("noise stays bounded")
        // Every third read of 100 characters passes the limit and goes.
        << QList<QByteArray>(40, QByteArray(100, '#')) << QList<QByteArray>{} << 100 << 13;
}

void TestLinkCore::receiveBuffer()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(int, leftOver);
    QFETCH(int, discards);

    ReceiveBuffer buffer;
    QList<QByteArray> got;
    int largest = 0;
    for (const QByteArray &r : reads) {
        if (const auto reply = buffer.append(r))
            got.append(*reply);
        largest = std::max(largest, buffer.size());
    }
    QCOMPARE(got, replies);
    QVERIFY(largest <= ReceiveBuffer::kLimit);
    QCOMPARE(buffer.size(), leftOver);
    QCOMPARE(buffer.discardCount(), discards);
}

void TestLinkCore::moveWatchAcrossMidnight_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("now");
    QTest::addColumn<double>("elapsed");

    QTest::newRow("same day") << 36000.0 << 36012.5 << 12.5;
    QTest::newRow("just started") << 500.0 << 500.0 << 0.0;
    QTest::newRow("across midnight") << 86390.0 << 5.0 << 14.0;
    QTest::newRow("started at the last second") << 86399.0 << 0.5 << 0.5;
}

void TestLinkCore::moveWatchAcrossMidnight()
{
    QFETCH(double, start);
    QFETCH(double, now);
    QFETCH(double, elapsed);
    QCOMPARE(MoveWatchElapsedSeconds(start, now), elapsed);
}

void TestLinkCore::errorList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("count");
    QTest::addColumn<uint>("lookUp");
    QTest::addColumn<QString>("comment");

    const QString three = QStringLiteral(
        "3\r\n\"0E\",\"Emergency stop\"\r\n\"72\",\"Emergency stop (en)\"\r\n"
        "\"0B\",\"Home sensor\"\r\n");
    QTest::newRow("plain list") << three << true << 3 << 0x72u
                                << QStringLiteral("Emergency stop (en)");
    QTest::newRow("codes compare as numbers: lower case")
        << QStringLiteral("1\r\n\"0e\",\"Stop\"\r\n") << true << 1 << 14u
        << QStringLiteral("Stop");
    QTest::newRow("codes compare as numbers: no leading zero")
        << QStringLiteral("1\r\nB,\"Home\"\r\n") << true << 1 << 11u << QStringLiteral("Home");
    QTest::newRow("the first of two entries wins")
        << QStringLiteral("2\r\n\"0E\",\"First\"\r\n\"E\",\"Second\"\r\n") << true << 2 << 14u
        << QStringLiteral("First");
    QTest::newRow("not listed") << three << true << 3 << 0x5Au << QString();
    QTest::newRow("empty list") << QStringLiteral("0\r\n") << true << 0 << 14u << QString();

    QString forty = QStringLiteral("40\r\n");
    for (int i = 1; i <= 40; ++i)
        forty += QStringLiteral("\"%1\",\"Alarm %2\"\r\n").arg(i, 2, 16, QLatin1Char('0')).arg(i);
    QTest::newRow("forty entries") << forty << true << 40 << 0x28u << QStringLiteral("Alarm 40");
    QString fortyOne = forty;
    fortyOne.replace(0, 2, QStringLiteral("41"));
    fortyOne += QStringLiteral("\"29\",\"Alarm 41\"\r\n");
    QTest::newRow("a count of 41 is unreadable") << fortyOne << false << 0 << 0x28u << QString();
    QTest::newRow("negative count") << QStringLiteral("-1\r\n") << false << 0 << 0u << QString();
    QTest::newRow("too few fields")
        << QStringLiteral("3\r\n\"0E\",\"Stop\"\r\n\"0B\"\r\n") << false << 0 << 14u << QString();
    QTest::newRow("empty file") << QString() << false << 0 << 14u << QString();
}

void TestLinkCore::errorList()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, count);
    QFETCH(uint, lookUp);
    QFETCH(QString, comment);

    ErrorList list;
    QString why;
    QCOMPARE(list.parse(text, &why), ok);
    QCOMPARE(why.isEmpty(), ok);
    QCOMPARE(list.count(), count);
    QCOMPARE(list.find(lookUp).value_or(QString()), comment);
}

void TestLinkCore::errorListFileIsShiftJis()
{
    const QString path = QDir(TestScratchDir()).filePath(QStringLiteral("error-sjis.lst"));
    const QString jp = QStringLiteral("非常停止");
    const auto bytes = EncodeShiftJis(QStringLiteral("1\r\n\"0E\",\"") + jp + QStringLiteral("\"\r\n"));
    QVERIFY(bytes);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(*bytes);
    f.close();

    ErrorList list;
    QVERIFY(list.read(path));
    QCOMPARE(list.find(14).value_or(QString()), jp);
    QVERIFY(!list.read(path + QStringLiteral(".missing")));
    QCOMPARE(list.count(), 0);
}

void TestLinkCore::shippedErrorList()
{
    // The list beside the program holds both languages of the alarms the
    // program itself names: the homing failure and the emergency stop.
    ErrorList list;
    QString why;
    QVERIFY2(list.read(QDir(SourceDataDir()).filePath(QStringLiteral("error.lst")), &why),
             qPrintable(why));
    for (uint code : {0x0Bu, 0x0Eu}) {
        QVERIFY2(list.find(code).has_value(), qPrintable(QString::number(code, 16)));
        QVERIFY2(list.find(code + 100).has_value(), qPrintable(QString::number(code + 100, 16)));
    }
}

void TestLinkCore::alarmDisplay_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("alarmNo");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("homeLampOff");

    QTest::newRow("Japanese looks up the number itself")
        << 1 << QStringLiteral("0%%0E\r\n") << QStringLiteral("0E") << QStringLiteral("JP stop")
        << true << true;
    QTest::newRow("English looks up the number + 100")
        << 2 << QStringLiteral("0%%0E\r\n") << QStringLiteral("0E") << QStringLiteral("EN stop")
        << true << true;
    QTest::newRow("any language but 1 is English")
        << 0 << QStringLiteral("0%%0B\r\n") << QStringLiteral("0B") << QStringLiteral("EN home")
        << true << false;
    QTest::newRow("an unlisted alarm shows 576")
        << 2 << QStringLiteral("0%%5A\r\n") << QStringLiteral("5A")
        << QStringLiteral("No contents for this Error No.") << false << false;
}

void TestLinkCore::alarmDisplay()
{
    QFETCH(int, language);
    QFETCH(QString, report);
    QFETCH(QString, alarmNo);
    QFETCH(QString, comment);
    QFETCH(bool, listed);
    QFETCH(bool, homeLampOff);

    const QString path = QDir(TestScratchDir()).filePath(QStringLiteral("error-display.lst"));
    QVERIFY(WriteDataFile(path, QStringLiteral("4\r\n\"0E\",\"JP stop\"\r\n\"72\",\"EN stop\"\r\n"
                                               "\"0B\",\"JP home\"\r\n\"6F\",\"EN home\"\r\n"))
                .ok);
    AppState app;
    app.gLanguage = static_cast<int16_t>(language);
    ScriptedPrompter prompter;
    AlarmDisplay display(app, prompter);
    QVERIFY(display.Get_ErrorList(path));

    // A comment found before stays the last comment when the next alarm is
    // not in the list.
    display.Disp_AlarmState(QStringLiteral("0%%0B\r\n"));
    const QString before = display.gAlarmComment;

    const AlarmDisplay::Update update = display.Disp_AlarmState(report);
    QVERIFY(update.frameChanged);
    QCOMPARE(update.homeLampOff, homeLampOff);
    QCOMPARE(display.frame().lampOn, true);
    QCOMPARE(display.frame().alarmNo, alarmNo);
    QCOMPARE(display.frame().comment, comment);
    QCOMPARE(display.gAlarmNo, alarmNo);
    QCOMPARE(display.gAlarmListed, listed);
    QCOMPARE(display.gAlarmComment, listed ? comment : before);
    QVERIFY(prompter.shown().isEmpty());

    display.ShowNoError();
    QCOMPARE(display.frame(), (AlarmFrame{false, QString(), QStringLiteral("No Error")}));
    QCOMPARE(display.gAlarmComment, listed ? comment : before);
}

void TestLinkCore::missingErrorListRepeatsItsMessage()
{
    AppState app;
    ScriptedPrompter prompter;
    AlarmDisplay display(app, prompter);
    QVERIFY(!display.Get_ErrorList(QDir(TestScratchDir()).filePath(QStringLiteral("none.lst"))));
    QVERIFY(display.gNoErrorList);

    const AlarmDisplay::Update update = display.Disp_AlarmState(QStringLiteral("0%%0E\r\n"));
    QVERIFY(!update.frameChanged);
    QVERIFY(!display.frame().lampOn);

    const QString message = QStringLiteral(
        "No file of Error list!\n\nTo display error contents,install Error list in same folder "
        "as program file.");
    QCOMPARE(prompter.texts(), (QStringList{message, message}));
    QCOMPARE(prompter.shown().at(1).icon, Prompter::Icon::None);
}

void TestLinkCore::deviceOrder_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QStringList>("ordered");

    QTest::newRow("adapters first, numbers as numbers")
        << QStringList{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0",
                       "/dev/ttyUSB2"}
        << QStringList{"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS0",
                       "/dev/ttyS1"};
    QTest::newRow("mac adapters")
        << QStringList{"/dev/cu.Bluetooth", "/dev/cu.usbserial-2", "/dev/cu.usbserial-1"}
        << QStringList{"/dev/cu.usbserial-1", "/dev/cu.usbserial-2", "/dev/cu.Bluetooth"};
    QTest::newRow("none") << QStringList{} << QStringList{};
}

void TestLinkCore::deviceOrder()
{
    QFETCH(QStringList, devices);
    QFETCH(QStringList, ordered);
    QCOMPARE(OrderSerialDevices(devices), ordered);
}

void TestLinkCore::configuredDevices()
{
#ifdef Q_OS_WIN
    QSKIP("port n is COMn on Windows");
#else
    SettingsStore store(QDir(TestScratchDir()).filePath(QStringLiteral("ports.ini")));
    const QStringList system{"/dev/ttyUSB0", "/dev/ttyS0"};
    store.writeText(PortSettingsKey(2), QStringLiteral("/dev/pts/7"));
    qputenv("KTED_COM3", "/tmp/sim-tty");

    QCOMPARE(PortDevice(1, store, system), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(PortDevice(2, store, system), QStringLiteral("/dev/pts/7"));
    QCOMPARE(PortDevice(3, store, system), QStringLiteral("/tmp/sim-tty"));
    QCOMPARE(PortDevice(4, store, system), QString());
    QCOMPARE(PortDevice(0, store, system), QString());
    QCOMPARE(PortDevice(17, store, system), QString());

    // The environment wins over the settings.
    qputenv("KTED_COM2", "/tmp/other");
    QCOMPARE(PortDevice(2, store, system), QStringLiteral("/tmp/other"));
    qunsetenv("KTED_COM2");
    qunsetenv("KTED_COM3");
#endif
}

KTED_TEST_MAIN(TestLinkCore)
#include "tst_linkcore.moc"
