// The link end to end: the real serial-port code talks through a
// pseudo-terminal to the simulated controller. Each test asserts the exact
// lines the controller received and the exact messages the user was shown.

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "common/datafile.h"
#include "common/timescale.h"
#include "link/commandsurface.h"
#include "link/controllerlink.h"
#include "link/controllermodes.h"
#include "link/frmtrance.h"
#include "link/portnames.h"
#include "scriptedprompter.h"
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

// A good reply to "0RD10" from the simulated controller.
const QString kBlock10 = QStringLiteral("0RD10004E2002020202FF");

// Records what the link's menu commands did to the main window.
class RecordingSurface : public CommandSurface
{
public:
    void setCommandButtonsEnabled(bool e) override { log << QStringLiteral("buttons %1").arg(e); }
    void setToolbarEnabled(bool e) override { log << QStringLiteral("toolbar %1").arg(e); }
    void setMenusEnabled(bool e) override { log << QStringLiteral("menus %1").arg(e); }
    void setResetButtonEnabled(bool e) override { log << QStringLiteral("reset %1").arg(e); }
    void setModeMenuEnabled(bool e) override { log << QStringLiteral("modemenu %1").arg(e); }
    void setBusy(bool b) override { log << QStringLiteral("busy %1").arg(b); }
    QStringList log;
};

// Script of the controller's answers, one entry per received line:
//   "*"        the controller's own answer
//   "-"        no answer
//   "=text"    exactly text + CR LF; "|" marks where the answer is cut into
//              pieces that arrive apart
//   "!echo", "!short", "!long", "!garbage", "!pull"   the named fault
void Script(SimulatedController &sim, const QStringList &script)
{
    for (const QString &entry : script) {
        if (entry == QLatin1String("*")) {
            sim.queueAnswer();
        } else if (entry == QLatin1String("-")) {
            sim.queueNoReply();
        } else if (entry.startsWith(QLatin1Char('='))) {
            const QStringList pieces = entry.mid(1).split(QLatin1Char('|'));
            QByteArray bytes = pieces.join(QString()).toLatin1() + "\r\n";
            sim.queueRaw(bytes, static_cast<int>(pieces.size()), 40);
        } else if (entry == QLatin1String("!echo")) {
            sim.queueWrongEcho();
        } else if (entry == QLatin1String("!short")) {
            sim.queueWrongLength(-1);
        } else if (entry == QLatin1String("!long")) {
            sim.queueWrongLength(1);
        } else if (entry == QLatin1String("!garbage")) {
            sim.queueGarbage("\x15\x7f#");
        } else if (entry == QLatin1String("!pull")) {
            sim.queuePull();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown script entry ") + entry));
        }
    }
}

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
    void unlistedAlarmKeepsTheLastComment();
    void noTimeoutWaitsForALateReply();
    void lateReplyDoesNotAnswerTheNextOperation();
    void moveWatchBoundsTheWait_data();
    void moveWatchBoundsTheWait();
    void moveWatchAcrossMidnight();
    void moveCompletes();
    void reportWithoutTransactionUpdatesTheFrame();
    void heldPortStaysOpenAndLit();
    void pulledDeviceEndsTheTransaction();
    void refusedAccessSaysHowToGetIt();
    void portNumbers();
    void versionRead_data();
    void versionRead();
    void modeQuestions_data();
    void modeQuestions();
    void alarmReset();
    void progressWindow();

private:
    int runOperation(const QString &command, const QString &payload, int replyLength);
    void waitForLines(int count);
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
    m_app.reset();
    m_prompter.reset();
    m_settings.reset();
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
    if (!(command == QLatin1String("0CM") && payload == QLatin1String("1"))) {
        m_link->state().gTimeoutMs = 5000;
        if (m_link->SendCommand(command, replyLength, payload) != 0)
            return 1;
    }
    m_link->ReleaseCommPort();
    return 0;
}

void TestLink::waitForLines(int count)
{
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->receivedLines().size() >= count, 5000);
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
    QTest::newRow("0RD one short is a length error")
        << "0RD" << "10" << 23 << false << QStringList{"*", "!short"} << 1
        << QStringList{"0CM1", "0RD10", "0CM0"} << QStringList{kLengthError}
        << QList<Icon>{Icon::None} << false << quiet;
    QTest::newRow("wrong echo: recovery, then 504")
        << "0RD" << "10" << 23 << false << QStringList{"*", "!echo"} << 1
        << QStringList{"0CM1", "0RD10", "0CM0"} << QStringList{kCommError}
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
    QTest::newRow("emergency stop answers the mode switch")
        << "0CM" << "1" << 6 << false << QStringList{"=0%%0E"} << 1 << QStringList{"0CM1"}
        << QStringList{kEmergencyStop} << QList<Icon>{Icon::Exclamation} << true
        << QStringLiteral("1|0E|Emergency stop");
    QTest::newRow("unlisted alarm shows 576 in the frame")
        << "0RP" << "1" << 16 << false << QStringList{"*", "=0%%5A"} << 1
        << QStringList{"0CM1", "0RP1"} << QStringList{kCommError + QStringLiteral("\n\n[]")}
        << QList<Icon>{Icon::Exclamation} << true << QStringLiteral("1|5A|") + kUnlisted;
    QTest::newRow("no reply: time-out closes the held port")
        << "0RD" << "10" << 23 << true << QStringList{"*", "-"} << 1 << blockRead
        << QStringList{kTimeout} << QList<Icon>{Icon::None} << false << quiet;
    QTest::newRow("no reply to the mode switch")
        << "0CM" << "1" << 6 << false << QStringList{"-"} << 1 << QStringList{"0CM1"}
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

    QCOMPARE(runOperation(command, payload, replyLength), result);

    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), messages);
    QCOMPARE(this->icons(), icons);
    QCOMPARE(m_link->isPortOpen(), portOpen);
    QCOMPARE(m_link->portLampLit(), portOpen);

    const QStringList f = frame.split(QLatin1Char('|'));
    const AlarmFrame &shown = m_link->alarm().frame();
    QCOMPARE(shown.lampOn, f.at(0) == QLatin1String("1"));
    QCOMPARE(shown.alarmNo, f.at(1));
    QCOMPARE(shown.comment, f.at(2));
    if (shown.lampOn) {
        // The window heard of it, with the same texts.
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames.last().at(2).toString(), f.at(2));
    }
    if (result == 0)
        QVERIFY(m_link->state().gReply.startsWith(command));
    QCOMPARE(m_sim->queuedActions(), 0);
}

void TestLink::unlistedAlarmKeepsTheLastComment()
{
    m_app->gPortOccupy = true;
    Script(*m_sim, {"*", "=0%%0E", "*", "=0%%5A"});
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 1);
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("11"), 23), 1);
    QCOMPARE(m_prompter->texts(),
             (QStringList{kEmergencyStop, kCommError + QStringLiteral("\n\n[Emergency stop]")}));
    QCOMPARE(m_link->alarm().frame().comment, kUnlisted);
}

void TestLink::noTimeoutWaitsForALateReply()
{
    // With gTimeoutMs 0 no time-out runs: a reply that comes later than the
    // ordinary 5 s would is still taken.
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);
    m_sim->setReplyDelayMs(ScaledMs(5000) * 2);
    m_link->state().gTimeoutMs = 0;
    QCOMPARE(m_link->SendCommand(QStringLiteral("0RD"), 23, QStringLiteral("10")), 0);
    QCOMPARE(m_link->state().gReply, kBlock10 + QStringLiteral("\r\n"));
    QVERIFY(m_prompter->shown().isEmpty());
}

void TestLink::lateReplyDoesNotAnswerTheNextOperation()
{
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);
    m_sim->setReplyDelayMs(ScaledMs(5000) * 2);
    m_link->state().gTimeoutMs = 5000;
    QCOMPARE(m_link->SendCommand(QStringLiteral("0RD"), 23, QStringLiteral("10")), 1);
    QVERIFY(!m_link->isPortOpen());

    // The reply comes after all, while the port is closed.
    m_sim->setReplyDelayMs(0);
    QTest::qWait(ScaledMs(5000) * 2);

    m_prompter->clear();
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("11"), 23), 0);
    QCOMPARE(m_link->state().gReply, QStringLiteral("0RD11285078010100FFFF\r\n"));
    QVERIFY(m_prompter->shown().isEmpty());
    QCOMPARE(m_sim->receivedLines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD11"}));
}

void TestLink::moveWatchBoundsTheWait_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("portOpen");

    // The held port is closed by the time-out all the same.
    QTest::newRow("no reply to the move")
        << QStringList{"*", "-"} << QStringList{"0CM1", "0MP2"} << kTimeout << false;
    // After a wrong length the recovery wait is bounded by a fresh move
    // watch too, even when "0CM0" is never answered.
    QTest::newRow("short reply, no answer to the recovery")
        << QStringList{"*", "!short", "-"} << QStringList{"0CM1", "0MP2", "0CM0"}
        << kLengthError << true;
    QTest::newRow("wrong echo, no answer to the recovery")
        << QStringList{"*", "!echo", "-"} << QStringList{"0CM1", "0MP2", "0CM0"} << kCommError
        << true;
}

void TestLink::moveWatchBoundsTheWait()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    QFETCH(bool, portOpen);

    m_app->gPortOccupy = true;
    m_sim->model().setFixedMoveMs(0);
    Script(*m_sim, script);
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);

    m_link->state().gMoving = true;
    m_link->state().gTimeoutMs = 0;
    m_link->state().gMoveWatchLimit = 4.0f;
    const double limitMs = 4000.0 * TimeScale();
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_link->SendMoveCommand(QStringLiteral("0MP"), 16, QStringLiteral("2")), 1);
    const qint64 took = clock.elapsed();

    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QVERIFY(!m_link->state().gMoving);
    QVERIFY(m_link->state().gMoveWatchElapsed);
    QCOMPARE(m_link->isPortOpen(), portOpen);
    // One wait runs out its limit (on the watch's 100 ms ticks); the reply
    // that did come ended the other at once.
    QVERIFY2(took >= limitMs * 0.9, qPrintable(QString::number(took)));
    QVERIFY2(took <= limitMs + 2 * ControllerLink::kMoveWatchTickMs + 1000,
             qPrintable(QString::number(took)));
}

void TestLink::moveWatchAcrossMidnight()
{
    // The watch starts a tenth of a second before midnight. Across the wrap
    // it counts up to 86399, not 86400, so it runs one second longer than
    // its limit.
    QElapsedTimer real;
    real.start();
    m_link->setClock([&real] { return std::fmod(86399.9 + real.elapsed() / 1000.0, 86400.0); });
    Script(*m_sim, {"*", "-"});
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);
    m_link->state().gMoveWatchLimit = 2.0f;
    const double limitMs = 2000.0 * TimeScale();

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_link->SendMoveCommand(QStringLiteral("0MP"), 16, QStringLiteral("1")), 1);
    const qint64 took = clock.elapsed();
    QCOMPARE(m_prompter->texts(), QStringList{kTimeout});
    QVERIFY2(took >= limitMs + 900, qPrintable(QString::number(took)));
    QVERIFY2(took <= limitMs + 1000 + 2 * ControllerLink::kMoveWatchTickMs + 500,
             qPrintable(QString::number(took)));
}

void TestLink::moveCompletes()
{
    m_sim->model().setFixedMoveMs(ScaledMs(3000));
    QCOMPARE(m_link->OpenCommPort(), 0);
    QCOMPARE(m_link->SetCommMode(), 0);
    m_link->state().gMoveWatchLimit = 8.0f;
    QCOMPARE(m_link->Send(Ctl::MoveTo(1)), 0);
    QCOMPARE(m_link->state().gReply, QStringLiteral("0MP11112001388\r\n"));
    QVERIFY(!m_link->state().gMoveWatchElapsed);
    QCOMPARE(m_sim->receivedLines(), (QStringList{"0CM1", "0MP1"}));
    QVERIFY(m_prompter->shown().isEmpty());
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
    QCOMPARE(m_link->state().gStatusReply, QStringLiteral("0%%0E\r\n"));
    QVERIFY(m_prompter->shown().isEmpty());

    // The next good exchange puts the frame back to its quiet state.
    QCOMPARE(runOperation(QStringLiteral("0RH"), QString(), 6), 0);
    QCOMPARE(frames.last(), (QVariantList{false, QString(), QStringLiteral("No Error")}));
}

void TestLink::heldPortStaysOpenAndLit()
{
    m_app->gPortOccupy = true;
    QSignalSpy lamp(m_link.get(), &ControllerLink::portLampChanged);
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 0);
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("11"), 23), 0);
    QVERIFY(m_link->isPortOpen());
    QCOMPARE(lamp.size(), 1); // lit once, never put out between the two
    QCOMPARE(lamp.at(0).at(0).toBool(), true);
    QCOMPARE(m_sim->receivedLines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD11"}));

    // The poll keeps the lamp as the port is.
    QTest::qWait(ControllerLink::kPollMs * 2);
    QVERIFY(m_link->portLampLit());

    // Without holding, the operation's end closes the port and the lamp.
    m_app->gPortOccupy = false;
    QCOMPARE(runOperation(QStringLiteral("0RH"), QString(), 6), 0);
    QVERIFY(!m_link->isPortOpen());
    QCOMPARE(lamp.last().at(0).toBool(), false);
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
    m_prompter->clear();
    QCOMPARE(runOperation(QStringLiteral("0RD"), QStringLiteral("10"), 23), 1);
    QCOMPARE(m_prompter->texts(), QStringList{kOpenFailed});
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

void TestLink::versionRead_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("status");

    QTest::newRow("good") << QStringList{"*", "=0RV2.1X99"} << QStringList{"0CM1", "0RV"}
                          << QStringList{"Version of the controller is 2.1."}
                          << QStringLiteral("The version of this C/T is 2.1");
    QTest::newRow("answered by an alarm: the alarm is cleared")
        << QStringList{"*", "=0%%0E", "*"} << QStringList{"0CM1", "0RV", "0%C"}
        << QStringList{kEmergencyStop, "Failed to get version information of controller."}
        << QStringLiteral("No version information");
    QTest::newRow("no controller")
        << QStringList{"-"} << QStringList{"0CM1"}
        << QStringList{kTimeout, "Failed to get version information of controller."}
        << QString();
}

void TestLink::versionRead()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    QFETCH(QString, status);

    Script(*m_sim, script);
    RecordingSurface surface;
    ControllerModes modes(*m_link, *m_prompter, surface);
    QSignalSpy statusText(&modes, &ControllerModes::versionTextChanged);

    modes.ShowCtVersion();

    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), messages);
    QCOMPARE(statusText.isEmpty() ? QString() : statusText.last().at(0).toString(), status);
    QCOMPARE(surface.log.first(), QStringLiteral("busy 1"));
    QCOMPARE(surface.log.last(), QStringLiteral("busy 0"));
    QVERIFY(surface.log.contains(QStringLiteral("menus 0")));
    QVERIFY(surface.log.contains(QStringLiteral("menus 1")));
    QVERIFY(!m_link->isPortOpen());
}

void TestLink::modeQuestions_data()
{
    QTest::addColumn<bool>("external");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");

    const QString askExternal = QStringLiteral("Change to [External start mode].\n\nIs it OK?");
    const QString askComm = QStringLiteral("Change to [Communication mode].\n\nIs it OK?");
    const QString failed = QStringLiteral(
        "Communication error occurs!\n\nIf not activated when reset switch on,Turn off the power "
        "once and turn on again.");

    QTest::newRow("external: No sends nothing")
        << true << Answer::No << QStringList{} << QStringList{} << QStringList{askExternal};
    QTest::newRow("communication: No sends nothing")
        << false << Answer::No << QStringList{} << QStringList{} << QStringList{askComm};
    QTest::newRow("external: Yes")
        << true << Answer::Yes << QStringList{"*", "*"} << QStringList{"0CM1", "0CM0"}
        << QStringList{askExternal, "Chaged to [External start mode]."};
    QTest::newRow("external: Yes, no answer")
        << true << Answer::Yes << QStringList{"*", "-"} << QStringList{"0CM1", "0CM0"}
        << QStringList{askExternal, kTimeout, failed};
    QTest::newRow("communication: Yes")
        << false << Answer::Yes << QStringList{"*"} << QStringList{"0CM1"}
        << QStringList{askComm, "Changed [Communication mode]."};
}

void TestLink::modeQuestions()
{
    QFETCH(bool, external);
    QFETCH(Answer, answer);
    QFETCH(QStringList, script);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);

    Script(*m_sim, script);
    m_prompter->answer(answer);
    RecordingSurface surface;
    ControllerModes modes(*m_link, *m_prompter, surface);
    if (external)
        modes.ModeGaibu();
    else
        modes.ModeTrancefer();

    // Give a stray line the chance to arrive before looking.
    QTest::qWait(50);
    QCOMPARE(m_sim->receivedLines(), lines);
    QCOMPARE(m_prompter->texts(), messages);
    QCOMPARE(m_prompter->shown().first().icon, Icon::Question);
    QCOMPARE(m_prompter->shown().first().buttons, Prompter::Buttons::YesNo);
    QCOMPARE(surface.log.mid(0, 2), (QStringList{"buttons 0", "toolbar 0"}));
    QCOMPARE(surface.log.mid(surface.log.size() - 2), (QStringList{"buttons 1", "toolbar 1"}));
    QCOMPARE(surface.log.contains(QStringLiteral("busy 1")), answer == Answer::Yes);
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

    // The reset opens the port itself and sends the clear alone.
    QCOMPARE(m_sim->receivedLines(), QStringList{"0%C"});
    QVERIFY(m_prompter->shown().isEmpty());
    QCOMPARE(m_link->alarm().frame(), (AlarmFrame{false, QString(), QStringLiteral("No Error")}));
    QCOMPARE(m_link->alarm().gAlarmComment, QStringLiteral("Emergency stop"));
    QCOMPARE(surface.log,
             (QStringList{"reset 0", "busy 1", "reset 1", "busy 0"}));

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
    QCOMPARE(progress.lblSetumei->text(), QStringLiteral("Sending data to the controller..."));

    progress.start(QStringLiteral("Reading data from controller..."), 4);
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.prgBar1->maximum(), 4);
    QCOMPARE(progress.prgBar1->value(), 0);
    progress.setProgress(3);
    QCOMPARE(progress.prgBar1->value(), 3);
    const QPoint offset = progress.frameGeometry().center() - main.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    progress.close();
    QVERIFY(!progress.isVisible());
}

KTED_TEST_MAIN(TestLink)
#include "tst_link.moc"
