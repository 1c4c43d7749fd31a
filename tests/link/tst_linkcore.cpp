// The parts of the link that need no port: command lines and reply fields,
// the bounded receive buffer, the error list and the alarm display, and the
// order of serial devices.

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "common/datafile.h"
#include "link/alarmdisplay.h"
#include "link/commandset.h"
#include "link/errorlist.h"
#include "link/portnames.h"
#include "link/receivebuffer.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QDir>
#include <QtTest>

Q_DECLARE_METATYPE(Ctl::CommandLine)

class TestLinkCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    // The commands whose line is composed from an argument, and the move's wait.
    // Those the tests through the simulated controller send are checked there.
    void commandLines_data()
    {
        QTest::addColumn<Ctl::CommandLine>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("timeoutMs"); // 0: the move watch bounds the wait

        QTest::newRow("communication mode") << Ctl::CommMode(Ctl::CtMode::Communication) << "0CM1" << 1000;
        QTest::newRow("position numbers are hex") << Ctl::ReadPosition(10) << "0RPA" << 5000;
        QTest::newRow("move home") << Ctl::MoveTo(0) << "0MP0" << 0;
    }

    void commandLines()
    {
        QFETCH(Ctl::CommandLine, line);
        QFETCH(QString, text);
        QFETCH(int, timeoutMs);

        QCOMPARE(Ctl::Frame(line.text()), text.toLatin1() + "\r\n");
        QCOMPARE(line.head, text.left(3));
        QCOMPARE(line.timeoutMs, timeoutMs);
        QCOMPARE(line.wait == Ctl::WaitKind::MoveWatch, timeoutMs == 0);
    }

    // The fields no other test reads back, and replies that must read as nothing.
    void replyFields()
    {
        QVERIFY(!Ctl::DecodePositionRow("0RP25302001G2B\r\n"));
        QVERIFY(!Ctl::BlockBytes("0RD10004E20\r\n"));

        // An I/O reply of the right length for another byte is not read.
        QCOMPARE(Ctl::DecodeIoByte("0RB106A5\r\n", 106), std::optional<int>(0xA5));
        QCOMPARE(Ctl::DecodeIoByte("0RB106A5\r\n", 107), std::optional<int>());
        QCOMPARE(Ctl::DecodeIoByte("0RB106A\r\n", 106), std::optional<int>());

        QCOMPARE(Ctl::DecodeOutputState("0RS30\r\n"), std::optional<int>(3));
        QCOMPARE(Ctl::DecodeOutputState("0RS40\r\n"), std::optional<int>());
        QCOMPARE(Ctl::DecodeHomeState("0RH1\r\n"), std::optional<int>(1));
        QCOMPARE(Ctl::DecodePresentPos("0RC000000009C4\r\n"), std::optional<int32_t>(2500));
        QCOMPARE(Ctl::AlarmCode("0%%\r\n"), QString());
    }

    void receiveBuffer_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<int>("leftOver");
        QTest::addColumn<int>("discards");

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
        QTest::newRow("noise without line end is thrown away")
            << QList<QByteArray>{QByteArray(200, '\x55'), QByteArray(200, '\x55'), "0CM1\r\n"}
            << QList<QByteArray>{"0CM1\r\n"} << 0 << 1;
        QTest::newRow("noise stays bounded")
            // Every third read of 100 characters passes the limit and goes.
            << QList<QByteArray>(40, QByteArray(100, '#')) << QList<QByteArray>{} << 100 << 13;
    }

    void receiveBuffer()
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

    void errorList_data()
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
        QTest::newRow("codes compare as numbers")
            << QStringLiteral("1\r\nb,\"Home\"\r\n") << true << 1 << 11u << QStringLiteral("Home");
        QTest::newRow("the first of two entries wins")
            << QStringLiteral("2\r\n\"0E\",\"First\"\r\n\"E\",\"Second\"\r\n") << true << 2 << 14u
            << QStringLiteral("First");
        QTest::newRow("not listed") << three << true << 3 << 0x5Au << QString();

        QString forty = QStringLiteral("40\r\n");
        for (int i = 1; i <= 40; ++i)
            forty += QStringLiteral("\"%1\",\"Alarm %2\"\r\n").arg(i, 2, 16, QLatin1Char('0')).arg(i);
        QTest::newRow("forty entries") << forty << true << 40 << 0x28u << QStringLiteral("Alarm 40");
        QString fortyOne = forty;
        fortyOne.replace(0, 2, QStringLiteral("41"));
        fortyOne += QStringLiteral("\"29\",\"Alarm 41\"\r\n");
        QTest::newRow("a count of 41 is unreadable") << fortyOne << false << 0 << 0x28u << QString();
        QTest::newRow("negative count") << QStringLiteral("-1\r\n") << false << 0 << 0u << QString();
        QTest::newRow("count not a number")
            << QStringLiteral("three\r\n\"0E\",\"Stop\"\r\n") << false << 0 << 14u << QString();
        QTest::newRow("too few fields")
            << QStringLiteral("3\r\n\"0E\",\"Stop\"\r\n\"0B\"\r\n") << false << 0 << 14u << QString();
    }

    void errorList()
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

    void shippedErrorList()
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

    void alarmDisplay_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("alarmNo");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("homeLampOff");

        QTest::newRow("Japanese looks up the number itself")
            << 1 << QStringLiteral("0%%0E\r\n") << QStringLiteral("0E") << QStringLiteral("非常停止")
            << true << true;
        QTest::newRow("any language but 1 is English")
            << 0 << QStringLiteral("0%%0B\r\n") << QStringLiteral("0B") << QStringLiteral("EN home")
            << true << false;
        QTest::newRow("an unlisted alarm shows 576")
            << 2 << QStringLiteral("0%%5A\r\n") << QStringLiteral("5A")
            << QStringLiteral("No contents for this Error No.") << false << false;
    }

    void alarmDisplay()
    {
        QFETCH(int, language);
        QFETCH(QString, report);
        QFETCH(QString, alarmNo);
        QFETCH(QString, comment);
        QFETCH(bool, listed);
        QFETCH(bool, homeLampOff);

        // Written in Shift_JIS, as the list beside the program is.
        const QString path = QDir(TestScratchDir()).filePath(QStringLiteral("error-display.lst"));
        QVERIFY(WriteDataFile(path, QStringLiteral("4\r\n\"0E\",\"非常停止\"\r\n\"72\",\"EN stop\"\r\n"
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
        QCOMPARE(display.frame(), (AlarmFrame{true, alarmNo, comment}));
        QCOMPARE(display.gAlarmNo, alarmNo);
        QCOMPARE(display.gAlarmListed, listed);
        QCOMPARE(display.gAlarmComment, listed ? comment : before);
        QVERIFY(prompter.shown().isEmpty());

        display.ShowNoError();
        QCOMPARE(display.frame(), (AlarmFrame{false, QString(), QStringLiteral("No Error")}));
        QCOMPARE(display.gAlarmComment, listed ? comment : before);
    }

    void missingErrorListRepeatsItsMessage()
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

    void deviceOrder_data()
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
    }

    void deviceOrder()
    {
        QFETCH(QStringList, devices);
        QFETCH(QStringList, ordered);
        QCOMPARE(OrderSerialDevices(devices), ordered);
    }

    void configuredDevices()
    {
    #ifdef Q_OS_WIN
        QSKIP("port n is COMn on Windows");
    #else
        SettingsStore store(QDir(TestScratchDir()).filePath(QStringLiteral("ports.ini")));
        const QStringList system{"/dev/ttyUSB0", "/dev/ttyS0"};
        store.writeText(PortSettingsKey(2), QStringLiteral("/dev/pts/7"));
        store.writeText(PortSettingsKey(3), QStringLiteral("/dev/pts/8"));
        // The environment wins over the settings.
        qputenv("KTED_COM3", "/tmp/sim-tty");

        QCOMPARE(PortDevice(1, store, system), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(PortDevice(2, store, system), QStringLiteral("/dev/pts/7"));
        QCOMPARE(PortDevice(3, store, system), QStringLiteral("/tmp/sim-tty"));
        QCOMPARE(PortDevice(4, store, system), QString());
        QCOMPARE(PortDevice(0, store, system), QString());
        QCOMPARE(PortDevice(17, store, system), QString());
        qunsetenv("KTED_COM3");
    #endif
    }
};

KTED_TEST_MAIN(TestLinkCore)
#include "tst_linkcore.moc"
