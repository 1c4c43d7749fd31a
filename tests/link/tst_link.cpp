// The link end to end: the real serial-port code talks through a
// pseudo-terminal to the simulated controller. Each test asserts the exact
// lines the controller received and the exact messages the user was shown.

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "common/datafile.h"
#include "common/timescale.h"
#include "link/commandset.h"
#include "link/commandsurface.h"
#include "link/controllerlink.h"
#include "link/controllermodes.h"
#include "link/frmtrance.h"
#include "link/portnames.h"
#include "recordingsurface.h"
#include "scriptedprompter.h"
#include "simscript.h"
#include "simulatedcontroller.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <memory>

using Icon = Prompter::Icon;
using Answer = Prompter::Answer;

Q_DECLARE_METATYPE(Prompter::Icon)
Q_DECLARE_METATYPE(Prompter::Answer)

namespace {

const QString kTimeout = QStringLiteral(
    "Communication timeout error!\n\nCheck the followings;\n\n 1.Power ON for controller?\n\n"
    " 2.Communication cables are connected?");
const QString kCommError = QStringLiteral("Communication error occurs!");
const QString kLengthError =
    QStringLiteral("Communication data length error occurs!\n\nLength of data is wrong.");
const QString kOpenFailed = QStringLiteral("Failed in opening of a communication port.");
const QString kEmergencyStop = QStringLiteral(
    "Communication error occurs!\n\nError No.0E\n\n[Emergency stop]\n\nPlease push [reset] "
    "button or turn OFF a power supply at once, after canceling an emergency stop.");
const QString kHomeSensor = QStringLiteral(
    "Communication error occurs!\n\nError No.0B\n\n[Home sensor not found]\n\nIn order to reset "
    "an error, please turn OFF a power supply at once.");
const QString kUnlisted = QStringLiteral("No contents for this Error No.");

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void transactions_data();
    void transactions();
    void lateReplies();
    void cutReplyIsNotCarriedOver();
    void moveWatch_data();
    void moveWatch();
    void reportWithoutTransactionUpdatesTheFrame();
    void pulledDeviceEndsTheTransaction();
    void refusedAccessSaysHowToGetIt();
    void portNumbers();
    void menuCommands_data();
    void menuCommands();
    void alarmReset();
    void progressWindow();

private:
    int runOperation(const QString &command, const QString &payload, int replyLength);
    QList<Icon> icons() const;

    std::unique_ptr<SimulatedController> m_sim;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<AppState> m_app;
    std::unique_ptr<ControllerLink> m_link;
    QString m_errorList;
};

void TestLink::initTestCase()
{
    SetLangOffset(10000);
    m_errorList = QDir(TestScratchDir()).filePath(QStringLiteral("error.lst"));
    QVERIFY(WriteDataFile(m_errorList,
                          QStringLiteral("4\r\n\"0E\",\"非常停止\"\r\n\"72\",\"Emergency stop\"\r\n"
                                         "\"0B\",\"原点センサ検出不可\"\r\n"
                                         "\"6F\",\"Home sensor not found\"\r\n"))
                .ok);
}

void TestLink::init()
{
    m_sim = std::make_unique<SimulatedController>();
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    m_settings = std::make_unique<SettingsStore>(
        QDir(TestScratchDir()).filePath(QStringLiteral("link-%1.ini").arg(QTest::currentTestFunction())));
    m_settings->writeText(PortSettingsKey(1), m_sim->devicePath());
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_app = std::make_unique<AppState>();
    m_app->gLanguage = 2;
    m_app->gLangOffset = 10000;
    m_app->gPortNo = 1;
    m_link = std::make_unique<ControllerLink>(*m_app, *m_settings, *m_prompter);
    QVERIFY(m_link->Get_ErrorList(m_errorList));
}

void TestLink::cleanup()
{
    m_link.reset();
    m_sim.reset();
}

QList<Icon> TestLink::icons() const
{
    QList<Icon> out;
    for (const ScriptedPrompter::Shown &s : m_prompter->shown())
        out << s.icon;
    return out;
}

// One operation in the calling order every operation follows: open, the
// communication mode, the command (unless it is the mode switch itself),
// and the release at the end of a good one.
int TestLink::runOperation(const QString &command, const QString &payload, int replyLength)
{
    if (m_link->OpenCommPort() != 0)
        return 1;
    if (m_link->SetCommMode() != 0)
        return 1;
    // The reads go through the command set, as the program sends them.
    int sent = 0;
    if (command == QLatin1String("0RD"))
        sent = m_link->Send(Ctl::ReadBlock(payload));
    else if (command == QLatin1String("0RP"))
        sent = m_link->Send(Ctl::ReadPosition(payload.toInt()));
    else if (!(command == QLatin1String("0CM") && payload == QLatin1String("1"))) {
        m_link->state().gTimeoutMs = 5000;
        sent = m_link->SendCommand(command, replyLength, payload);
    }
    if (sent != 0)
        return 1;
    m_link->ReleaseCommPort();
    return 0;
}

void TestLink::transactions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<bool>("occupy");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<Icon>>("icons");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("frame"); // lamp|number|comment after the operation

    const QString quiet = QStringLiteral("0||No Error");
    const QStringList blockRead{"0CM1", "0RD10"};

    QTest::newRow("reply in pieces is assembled")
        << "0RD" << "10" << 23 << false << QStringList{"*", "=0RD10|004E2002|020202FF"} << 0
        << blockRead << QStringList{} << QList<Icon>{} << false << quiet;
    QTest::newRow("0CM1 good at exactly 6")
        << "0CM" << "1" << 6 << false << QStringList{"=0CM1"} << 0 << QStringList{"0CM1"}
        << QStringList{} << QList<Icon>{} << false << quiet;
    QTest::newRow("0CM1 one short: recovery, then 505 + 506")
        << "0CM" << "1" << 6 << false << QStringList{"=0CM"} << 1
        << QStringList{"0CM1", "0CM0"} << QStringList{kLengthError} << QList<Icon>{Icon::None}
        << false << quiet;
    QTest::newRow("0CM1 one long: recovery, then 505 + 506")
        << "0CM" << "1" << 6 << false << QStringList{"=0CM1X"} << 1
        << QStringList{"0CM1", "0CM0"} << QStringList{kLengthError} << QList<Icon>{Icon::None}
        << false << quiet;
    QTest::newRow("wrong echo: recovery, then 504")
        << "0RD" << "10" << 23 << false << QStringList{"*", "!echo"} << 1
        << QStringList{"0CM1", "0RD10", "0CM0"} << QStringList{kCommError}
        << QList<Icon>{Icon::None} << false << quiet;
    // A reply that echoes another argument is not the one asked for.
    QTest::newRow("0RD11 answered with block 12's reply")
        << "0RD" << "11" << 23 << false << QStringList{"*", "=0RD12FFFFFFFFFFFFFFFF"} << 1
        << QStringList{"0CM1", "0RD11", "0CM0"} << QStringList{kCommError}
        << QList<Icon>{Icon::None} << false << quiet;
    QTest::newRow("0RP1 answered for position 2")
        << "0RP" << "1" << 16 << false << QStringList{"*", "=0RP291120007D0"} << 1
        << QStringList{"0CM1", "0RP1", "0CM0"} << QStringList{kCommError}
        << QList<Icon>{Icon::None} << false << quiet;
    QTest::newRow("garbage before the echo is a wrong echo")
        << "0RD" << "10" << 23 << true << QStringList{"*", "!garbage"} << 1
        << QStringList{"0CM1", "0RD10", "0CM0"} << QStringList{kCommError}
        << QList<Icon>{Icon::None} << true << quiet;
    QTest::newRow("wrong echo, alarm answers the recovery")
        << "0RD" << "10" << 23 << false << QStringList{"*", "!echo", "=0%%0B"} << 1
        << QStringList{"0CM1", "0RD10", "0CM0"} << QStringList{kHomeSensor}
        << QList<Icon>{Icon::None} << true << QStringLiteral("1|0B|Home sensor not found");
    QTest::newRow("wrong echo, no answer to the recovery")
        << "0RD" << "10" << 23 << false << QStringList{"*", "!echo", "-"} << 1
        << QStringList{"0CM1", "0RD10", "0CM0"} << QStringList{kCommError}
        << QList<Icon>{Icon::None} << false << quiet;
    QTest::newRow("emergency stop answers a read")
        << "0RD" << "10" << 23 << false << QStringList{"*", "=0%%0E"} << 1 << blockRead
        << QStringList{kEmergencyStop} << QList<Icon>{Icon::Exclamation} << true
        << QStringLiteral("1|0E|Emergency stop");
    QTest::newRow("unlisted alarm shows 576 in the frame")
        << "0RP" << "1" << 16 << false << QStringList{"*", "=0%%5A"} << 1
        << QStringList{"0CM1", "0RP1"} << QStringList{kCommError + QStringLiteral("\n\n[]")}
        << QList<Icon>{Icon::Exclamation} << true << QStringLiteral("1|5A|") + kUnlisted;
    QTest::newRow("no reply: time-out closes the held port")
        << "0RD" << "10" << 23 << true << QStringList{"*", "-"} << 1 << blockRead
        << QStringList{kTimeout} << QList<Icon>{Icon::None} << false << quiet;
    QTest::newRow("held port stays open after a good operation")
        << "0RV" << "" << 11 << true << QStringList{"*", "*"} << 0 << QStringList{"0CM1", "0RV"}
        << QStringList{} << QList<Icon>{} << true << quiet;
}

void TestLink::transactions()
{
    QFETCH(QString, command);
    QFETCH(QString, payload);
    QFETCH(int, replyLength);
    QFETCH(bool, occupy);
    QFETCH(QStringList, script);
    QFETCH(int, result);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    QFETCH(QList<Icon>, icons);
    QFETCH(bool, portOpen);
    QFETCH(QString, frame);

    m_app->gPortOccupy = occupy;
    Script(*m_sim, script);
    QSignalSpy frames(m_link.get(), &ControllerLink::alarmFrameChanged);
    QSignalSpy lamp(m_link.get(), &ControllerLink::portLampChanged);

    QCOMPARE(runOperation(command, payload, replyLength), result);

    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), messages);
    QCOMPARE(this->icons(), icons);
    QCOMPARE(m_link->isPortOpen(), portOpen);
    // The lamp was lit once, never put out while the port stayed open, and
    // the poll keeps it as the port is.
    QCOMPARE(lamp.size(), portOpen ? 1 : 2);
    QTest::qWait(ControllerLink::kPollMs * 2);
    QCOMPARE(m_link->portLampLit(), portOpen);

    const QStringList f = frame.split(QLatin1Char('|'));
    const AlarmFrame expected{f.at(0) == QLatin1String("1"), f.at(1), f.at(2)};
    QCOMPARE(m_link->alarm().frame(), expected);
    if (expected.lampOn) // the window heard of it, with the same texts
        QCOMPARE(frames.value(frames.size() - 1), (QVariantList{true, f.at(1), f.at(2)}));
    QCOMPARE(m_sim->queuedActions(), 0);
}

void TestLink::lateReplies()
{
    // A reply ten times the time-out late: the transaction ends with the
    // time-out, and the reply that comes after all, while the port is closed,
    // does not answer the next operation.
    const int late = ScaledMs(5000) * 2;
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);
    m_sim->setReplyDelayMs(late);
    m_link->state().gTimeoutMs = 5000;
    QCOMPARE(m_link->SendCommand(QStringLiteral("0RD"), 23, QStringLiteral("10")), 1);
    QCOMPARE(m_prompter->texts(), QStringList{kTimeout});
    QVERIFY(!m_link->isPortOpen());
    m_sim->setReplyDelayMs(0);
    QTest::qWait(late);

    m_prompter->clear();
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("11"), 23), 0);
    QCOMPARE(m_link->state().gReply, QStringLiteral("0RD11285078010100FFFF\r\n"));

    // With gTimeoutMs 0 no time-out runs: the late reply is taken.
    m_sim->setReplyDelayMs(late);
    m_link->state().gTimeoutMs = 0;
    QCOMPARE(m_link->SendCommand(QStringLiteral("0RD"), 23, QStringLiteral("10")), 0);
    QCOMPARE(m_link->state().gReply, QStringLiteral("0RD10004E2002020202FF\r\n"));
    QVERIFY(m_prompter->shown().isEmpty());
    QCOMPARE(m_sim->receivedLines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD11", "0RD10"}));
}

void TestLink::cutReplyIsNotCarriedOver()
{
    // A reply cut off by the time-out (no CR LF came): the port is closed,
    // and its piece must not lead the reply of the next operation.
    m_sim->queueAnswer(); // 0CM1
    m_sim->queueRaw("0RD10004E20");
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 1);
    QCOMPARE(m_prompter->texts(), QStringList{kTimeout});
    QVERIFY(!m_link->isPortOpen());

    m_prompter->clear();
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("11"), 23), 0);
    QCOMPARE(m_link->state().gReply, QStringLiteral("0RD11285078010100FFFF\r\n"));
    QVERIFY(m_prompter->shown().isEmpty());
    QCOMPARE(m_sim->receivedLines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD11"}));
}

void TestLink::moveWatch_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("moveMs");      // how long the simulated move takes
    QTest::addColumn<double>("midnight"); // the clock starts at this second; < 0: the real clock
    QTest::addColumn<float>("limit");     // gMoveWatchLimit in seconds
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message"); // empty: the move completed
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<double>("minMs");
    QTest::addColumn<double>("maxMs");

    const double scale = TimeScale();
    const double ticks = 2 * ControllerLink::kMoveWatchTickMs;
    // One wait runs out its limit (on the watch's ticks); a reply that did
    // come ended the other at once.
    const double low = 4000 * scale * 0.9, high = 4000 * scale + ticks + 1000;
    const QStringList moved{"0CM1", "0MP1"};
    const QStringList recovered{"0CM1", "0MP1", "0CM0"};

    // The held port is closed by the time-out all the same.
    QTest::newRow("no reply to the move")
        << QStringList{"*", "-"} << 0 << -1.0 << 4.0f << moved << kTimeout << false << low << high;
    // After a wrong length the recovery wait is bounded by a fresh move
    // watch too, even when "0CM0" is never answered.
    QTest::newRow("short reply, no answer to the recovery")
        << QStringList{"*", "!short", "-"} << 0 << -1.0 << 4.0f << recovered << kLengthError << true
        << low << high;
    QTest::newRow("wrong echo, no answer to the recovery")
        << QStringList{"*", "!echo", "-"} << 0 << -1.0 << 4.0f << recovered << kCommError << true
        << low << high;
    // A tenth of a second before midnight: across the wrap the watch counts
    // up to 86399, not 86400, so it runs one second longer than its limit.
    QTest::newRow("across midnight")
        << QStringList{"*", "-"} << 0 << 86399.9 << 2.0f << moved << kTimeout << false
        << 2000 * scale + 900 << 2000 * scale + 1000 + ticks + 500;
    QTest::newRow("the move ends within its watch")
        << QStringList{"*", "*"} << ScaledMs(3000) << -1.0 << 8.0f << moved << QString() << true
        << double(ScaledMs(3000)) << 8000 * scale;
}

// A move is sent with gTimeoutMs 0: its wait, and that of its recovery, is
// bounded by the move watch alone.
void TestLink::moveWatch()
{
    QFETCH(QStringList, script);
    QFETCH(int, moveMs);
    QFETCH(double, midnight);
    QFETCH(float, limit);
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    QFETCH(bool, portOpen);
    QFETCH(double, minMs);
    QFETCH(double, maxMs);

    m_app->gPortOccupy = true;
    m_sim->model().setFixedMoveMs(moveMs);
    Script(*m_sim, script);
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);
    m_link->state().gMoving = true;
    m_link->state().gMoveWatchLimit = limit;
    QElapsedTimer clock;
    clock.start();
    if (midnight >= 0)
        m_link->setClock([&clock, midnight] {
            return std::fmod(midnight + clock.elapsed() / 1000.0, 86400.0);
        });
    QCOMPARE(m_link->Send(Ctl::MoveTo(1)), message.isEmpty() ? 0 : 1);
    const qint64 took = clock.elapsed();

    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(m_link->state().gMoving, message.isEmpty());
    QCOMPARE(m_link->state().gMoveWatchElapsed, !message.isEmpty());
    QCOMPARE(m_link->isPortOpen(), portOpen);
    QVERIFY2(took >= minMs && took <= maxMs, qPrintable(QString::number(took)));
}

void TestLink::reportWithoutTransactionUpdatesTheFrame()
{
    m_app->gPortOccupy = true;
    QCOMPARE(runOperation(QStringLiteral("0CM"), QStringLiteral("1"), 6), 0);
    QSignalSpy frames(m_link.get(), &ControllerLink::alarmFrameChanged);
    QSignalSpy home(m_link.get(), &ControllerLink::homeLampOff);

    m_sim->sendUnsolicited("0%%0E");
    QVERIFY(frames.wait(2000));
    QCOMPARE(frames.last(), (QVariantList{true, QStringLiteral("0E"), QStringLiteral("Emergency stop")}));
    QCOMPARE(home.size(), 1);
    QVERIFY(m_prompter->shown().isEmpty());

    // The next good exchange puts the frame back to its quiet state.
    QCOMPARE(runOperation(QStringLiteral("0RH"), QString(), 6), 0);
    QCOMPARE(frames.last(), (QVariantList{false, QString(), QStringLiteral("No Error")}));
}

void TestLink::pulledDeviceEndsTheTransaction()
{
    m_app->gPortOccupy = true;
    Script(*m_sim, {"*", "!pull"});
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 1);
    // Ended by the device's failure, not by the 5 s time-out.
    QVERIFY2(clock.elapsed() < ScaledMs(5000), qPrintable(QString::number(clock.elapsed())));

    const QString device = m_sim->devicePath();
    QCOMPARE(m_sim->receivedLines(), (QStringList{"0CM1", "0RD10"}));
    QCOMPARE(m_prompter->texts(),
             QStringList{QStringLiteral("The serial port was lost during communication (the "
                                        "device was removed or stopped working).\n\nCOM1 (")
                         + device
                         + QStringLiteral(")\n\nConnect the cable and the USB adapter again, "
                                          "then repeat the operation.")});
    QCOMPARE(this->icons(), QList<Icon>{Icon::Exclamation});
    QVERIFY(!m_link->isPortOpen());
    QVERIFY(!m_link->portLampLit());

    // The program goes on: the next operation finds no device and says so.
    // (Another test program running beside this one may have been given the
    // freed terminal number meanwhile; then the open is refused instead.)
    m_prompter->clear();
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 1);
    QCOMPARE(m_prompter->texts().size(), 1);
    QVERIFY(m_prompter->texts().first().startsWith(kOpenFailed));
}

void TestLink::refusedAccessSaysHowToGetIt()
{
    // Another program holds the device.
    QSerialPort other;
    other.setPortName(m_sim->devicePath());
    QVERIFY(other.open(QIODevice::ReadWrite));

    QCOMPARE(m_link->OpenCommPort(), 1);
    QString expected = kOpenFailed
                       + QStringLiteral("\n\nAccess to the communication port was refused. The "
                                        "port is in use by another program, or you have no "
                                        "permission to use it.\n\nCOM1 (")
                       + m_sim->devicePath() + QLatin1Char(')');
#ifdef Q_OS_LINUX
    expected += QStringLiteral("\n\nOn Linux, add your user to the \"dialout\" group (sudo "
                               "usermod -aG dialout $USER), then log out and in again.");
#endif
    QCOMPARE(m_prompter->texts(), QStringList{expected});
    QVERIFY(!m_link->isPortOpen());
    QVERIFY(m_sim->receivedLines().isEmpty());
}

void TestLink::portNumbers()
{
    // An invalid port number is replaced by the stored one before opening.
    m_settings->writeInt(QStringLiteral("PortNo"), 1);
    m_app->gPortNo = 0;
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_app->gPortNo, int16_t(1));

    // Probing leaves the held port alone: its own number reads as there,
    // another number is tried on a handle of its own.
    m_app->gPortOccupy = true;
    m_settings->writeText(PortSettingsKey(2), QStringLiteral("/nonexistent/kted-tty"));
    QCOMPARE(m_link->ProbeCommPort(1), 0);
    QCOMPARE(m_link->ProbeCommPort(2), 1);
    QVERIFY(m_link->isPortOpen());
    QCOMPARE(m_link->SetCommMode(), 0);

    // Choosing another port while one is held takes effect at the next open.
    m_app->gPortNo = 2;
    QCOMPARE(m_link->OpenCommPort(), 1);
    QCOMPARE(m_prompter->texts(), QStringList{kOpenFailed});
    QVERIFY(!m_link->isPortOpen());
    QCOMPARE(m_sim->receivedLines(), QStringList{"0CM1"});
}

void TestLink::menuCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<Answer>("answer"); // to the mode question
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("status"); // the version text last shown
    QTest::addColumn<QStringList>("surface");

    const QString noVersion = QStringLiteral("Failed to get version information of controller.");
    const QString askExternal = QStringLiteral("Change to [External start mode].\n\nIs it OK?");
    const QString askComm = QStringLiteral("Change to [Communication mode].\n\nIs it OK?");
    const QString failed = QStringLiteral(
        "Communication error occurs!\n\nIf not activated when reset switch on,Turn off the power "
        "once and turn on again.");
    const QStringList versionRead{"busy 1",    "buttons 0", "toolbar 0", "menus 0",
                                  "buttons 1", "toolbar 1", "menus 1",   "busy 0"};
    const QStringList askedNo{"buttons 0", "toolbar 0", "buttons 1", "toolbar 1"};
    const QStringList askedYes{"buttons 0", "toolbar 0", "busy 1", "busy 0", "buttons 1", "toolbar 1"};

    QTest::newRow("version")
        << "version" << Answer::Yes << QStringList{"*", "=0RV2.1X99"} << QStringList{"0CM1", "0RV"}
        << QStringList{"Version of the controller is 2.1."} << "The version of this C/T is 2.1"
        << versionRead;
    QTest::newRow("version answered by an alarm: the alarm is cleared")
        << "version" << Answer::Yes << QStringList{"*", "=0%%0E", "*"}
        << QStringList{"0CM1", "0RV", "0%C"} << QStringList{kEmergencyStop, noVersion}
        << "No version information" << versionRead;
    QTest::newRow("version, no controller")
        << "version" << Answer::Yes << QStringList{"-"} << QStringList{"0CM1"}
        << QStringList{kTimeout, noVersion} << QString() << versionRead;
    QTest::newRow("external: No sends nothing")
        << "external" << Answer::No << QStringList{} << QStringList{} << QStringList{askExternal}
        << QString() << askedNo;
    QTest::newRow("communication: No sends nothing")
        << "communication" << Answer::No << QStringList{} << QStringList{} << QStringList{askComm}
        << QString() << askedNo;
    QTest::newRow("external: Yes")
        << "external" << Answer::Yes << QStringList{"*", "*"} << QStringList{"0CM1", "0CM0"}
        << QStringList{askExternal, "Chaged to [External start mode]."} << QString() << askedYes;
    QTest::newRow("external: Yes, no answer")
        << "external" << Answer::Yes << QStringList{"*", "-"} << QStringList{"0CM1", "0CM0"}
        << QStringList{askExternal, kTimeout, failed} << QString() << askedYes;
    QTest::newRow("communication: Yes")
        << "communication" << Answer::Yes << QStringList{"*"} << QStringList{"0CM1"}
        << QStringList{askComm, "Changed [Communication mode]."} << QString() << askedYes;
}

void TestLink::menuCommands()
{
    QFETCH(QString, command);
    QFETCH(Answer, answer);
    QFETCH(QStringList, script);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    QFETCH(QString, status);
    QFETCH(QStringList, surface);

    Script(*m_sim, script);
    m_prompter->answer(answer);
    RecordingSurface shown;
    ControllerModes modes(*m_link, *m_prompter, shown);
    QSignalSpy statusText(&modes, &ControllerModes::versionTextChanged);
    if (command == QLatin1String("version"))
        modes.ShowCtVersion();
    else if (command == QLatin1String("external"))
        modes.ModeGaibu();
    else
        modes.ModeTrancefer();

    // Give a stray line the chance to arrive before looking.
    QTest::qWait(50);
    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), messages);
    QCOMPARE(statusText.isEmpty() ? QString() : statusText.last().at(0).toString(), status);
    QCOMPARE(shown.log, surface);
    if (command != QLatin1String("version")) {
        QCOMPARE(m_prompter->shown().first().icon, Icon::Question);
        QCOMPARE(m_prompter->shown().first().buttons, Prompter::Buttons::YesNo);
    }
    QVERIFY(!m_link->isPortOpen());
}

void TestLink::alarmReset()
{
    m_app->gPortOccupy = true;
    m_sim->model().setAlarm(QStringLiteral("0E"));
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 1);
    QVERIFY(m_link->alarm().frame().lampOn);
    m_prompter->clear();
    m_sim->clearReceived();

    RecordingSurface surface;
    ControllerModes modes(*m_link, *m_prompter, surface);
    modes.AlarmReset();

    // The reset sends the clear alone.
    QCOMPARE(m_sim->receivedLines(), QStringList{"0%C"});
    QVERIFY(m_prompter->shown().isEmpty());
    QCOMPARE(m_link->alarm().frame(), (AlarmFrame{false, QString(), QStringLiteral("No Error")}));
    QCOMPARE(surface.log, (QStringList{"reset 0", "busy 1", "reset 1", "busy 0"}));

    // A sticky emergency stop answers the clear with its report again: the
    // frame keeps the alarm.
    m_sim->model().setAlarm(QStringLiteral("0E"), true);
    modes.AlarmReset();
    QCOMPARE(m_prompter->texts(), QStringList{kEmergencyStop});
    QVERIFY(m_link->alarm().frame().lampOn);
}

void TestLink::progressWindow()
{
    QWidget main;
    main.resize(775, 505);
    main.show();
    frmTrance progress(&main);
    QCOMPARE(progress.windowTitle(), QStringLiteral("KT-ED Communicating,now..."));
    progress.setProgress(1);
    progress.start(QStringLiteral("Reading data from controller..."), 4);
    QCOMPARE(progress.lblSetumei->text(), QStringLiteral("Reading data from controller..."));
    QCOMPARE(progress.prgBar1->value(), 0);
    progress.setProgress(3);
    QCOMPARE(progress.prgBar1->maximum(), 4);
    QCOMPARE(progress.prgBar1->value(), 3);
    // Centred on the main window.
    const QPoint offset = progress.frameGeometry().center() - main.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

KTED_TEST_MAIN(TestLink)
#include "tst_link.moc"
