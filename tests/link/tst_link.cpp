// The link end to end: the real serial-port code talks through a
// pseudo-terminal to the simulated controller. Each test asserts the exact
// lines the controller received and the exact messages the user was shown.

#include "common/datafile.h"
#include "common/timescale.h"
#include "link/commandset.h"
#include "link/controllermodes.h"
#include "simscript.h"
#include "transferrig.h"

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

    std::unique_ptr<LinkRig> m_rig;
    QString m_errorList;

    // One operation in the calling order every operation follows: open, the
    // communication mode, the command (unless it is the mode switch itself),
    // and the release at the end of a good one. The command goes through the
    // command set, as the program sends it: "0RD10", "0RP1", "0RV" or "0RH".
    int runOperation(const QString &command)
    {
        if (link().OpenCommPort() != 0 || link().SetCommMode() != 0)
            return 1;
        const QString arg = command.mid(3);
        const Ctl::CommandLine line = command.startsWith(QLatin1String("0RD"))   ? Ctl::ReadBlock(arg)
                                      : command.startsWith(QLatin1String("0RP")) ? Ctl::ReadPosition(arg.toInt())
                                      : command == QLatin1String("0RV")          ? Ctl::ReadVersion()
                                                                                 : Ctl::ReadHomeState();
        if (command != QLatin1String("0CM1") && link().Send(line) != 0)
            return 1;
        link().ReleaseCommPort();
        return 0;
    }

    QList<Icon> icons() const
    {
        QList<Icon> out;
        for (const ScriptedPrompter::Shown &s : m_rig->prompter.shown())
            out << s.icon;
        return out;
    }

    QStringList lines() const { return m_rig->lines(); }
    SimulatedController &sim() { return m_rig->sim; }
    ControllerLink &link() { return *m_rig->link; }
    ScriptedPrompter &prompter() { return m_rig->prompter; }

private slots:
    void initTestCase()
    {
        m_errorList = QDir(TestScratchDir()).filePath(QStringLiteral("error.lst"));
        QVERIFY(WriteDataFile(m_errorList,
                              QStringLiteral("4\r\n\"0E\",\"非常停止\"\r\n\"72\",\"Emergency stop\"\r\n"
                                             "\"0B\",\"原点センサ検出不可\"\r\n"
                                             "\"6F\",\"Home sensor not found\"\r\n"))
                    .ok);
    }

    void init()
    {
        m_rig = std::make_unique<LinkRig>(QStringLiteral("link-%1").arg(QTest::currentTestFunction()));
        QVERIFY2(m_rig->started, qPrintable(m_rig->error));
        QVERIFY(link().Get_ErrorList(m_errorList));
    }

    void cleanup() { m_rig.reset(); }

    void transactions_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("occupy");
        QTest::addColumn<QString>("script"); // the controller's answers, one word a line
        QTest::addColumn<QString>("lines");  // the lines it received
        QTest::addColumn<QString>("message"); // empty: the operation succeeded
        QTest::addColumn<Icon>("icon");
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<QString>("frame"); // lamp|number|comment after the operation

        const QString quiet = QStringLiteral("0||No Error");
        const QString none;

        QTest::newRow("reply in pieces is assembled") << "0RD10" << false << "* =0RD10|004E2002|020202FF"
                                                      << "0CM1 0RD10" << none << Icon::None << false << quiet;
        QTest::newRow("0CM1 one short: recovery, then 505 + 506")
            << "0CM1" << false << "=0CM" << "0CM1 0CM0" << kLengthError << Icon::None << false << quiet;
        QTest::newRow("0CM1 one long: recovery, then 505 + 506")
            << "0CM1" << false << "=0CM1X" << "0CM1 0CM0" << kLengthError << Icon::None << false << quiet;
        QTest::newRow("wrong echo: recovery, then 504")
            << "0RD10" << false << "* !echo" << "0CM1 0RD10 0CM0" << kCommError << Icon::None << false << quiet;
        // A reply that echoes another argument is not the one asked for.
        QTest::newRow("0RD11 answered with block 12's reply") << "0RD11" << false << "* =0RD12FFFFFFFFFFFFFFFF"
                                                              << "0CM1 0RD11 0CM0" << kCommError << Icon::None
                                                              << false << quiet;
        QTest::newRow("0RP1 answered for position 2") << "0RP1" << false << "* =0RP291120007D0" << "0CM1 0RP1 0CM0"
                                                      << kCommError << Icon::None << false << quiet;
        QTest::newRow("garbage before the echo is a wrong echo")
            << "0RD10" << true << "* !garbage" << "0CM1 0RD10 0CM0" << kCommError << Icon::None << true << quiet;
        QTest::newRow("wrong echo, alarm answers the recovery")
            << "0RD10" << false << "* !echo =0%%0B" << "0CM1 0RD10 0CM0" << kHomeSensor << Icon::None << true
            << QStringLiteral("1|0B|Home sensor not found");
        QTest::newRow("wrong echo, no answer to the recovery")
            << "0RD10" << false << "* !echo -" << "0CM1 0RD10 0CM0" << kCommError << Icon::None << false << quiet;
        QTest::newRow("emergency stop answers a read")
            << "0RD10" << false << "* =0%%0E" << "0CM1 0RD10" << kEmergencyStop << Icon::Exclamation << true
            << QStringLiteral("1|0E|Emergency stop");
        QTest::newRow("unlisted alarm shows 576 in the frame")
            << "0RP1" << false << "* =0%%5A" << "0CM1 0RP1" << kCommError + QStringLiteral("\n\n[]")
            << Icon::Exclamation << true << QStringLiteral("1|5A|") + kUnlisted;
        QTest::newRow("no reply: time-out closes the held port")
            << "0RD10" << true << "* -" << "0CM1 0RD10" << kTimeout << Icon::None << false << quiet;
        QTest::newRow("held port stays open after a good operation")
            << "0RV" << true << "* *" << "0CM1 0RV" << none << Icon::None << true << quiet;
    }

    void transactions()
    {
        QFETCH(QString, command);
        QFETCH(bool, occupy);
        QFETCH(QString, script);
        QFETCH(QString, lines);
        QFETCH(QString, message);
        QFETCH(Icon, icon);
        QFETCH(bool, portOpen);
        QFETCH(QString, frame);

        m_rig->app.gPortOccupy = occupy;
        Script(sim(), script.split(u' '));
        QSignalSpy frames(&link(), &ControllerLink::alarmFrameChanged);
        QSignalSpy lamp(&link(), &ControllerLink::portLampChanged);

        QCOMPARE(runOperation(command), message.isEmpty() ? 0 : 1);

        QCOMPARE(prompter().texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(this->lines(), lines.split(u' '));
        QCOMPARE(icons(), message.isEmpty() ? QList<Icon>() : QList<Icon>{icon});
        QCOMPARE(link().isPortOpen(), portOpen);
        // The lamp was lit once, never put out while the port stayed open, and
        // the poll keeps it as the port is.
        QCOMPARE(lamp.size(), portOpen ? 1 : 2);
        QTest::qWait(ControllerLink::kPollMs * 2);
        QCOMPARE(link().portLampLit(), portOpen);

        const QStringList f = frame.split(QLatin1Char('|'));
        const AlarmFrame expected{f.at(0) == QLatin1String("1"), f.at(1), f.at(2)};
        QCOMPARE(link().alarm().frame(), expected);
        if (expected.lampOn) // the window heard of it, with the same texts
            QCOMPARE(frames.value(frames.size() - 1), (QVariantList{true, f.at(1), f.at(2)}));
        QCOMPARE(sim().queuedActions(), 0);
    }

    void leftoverReplies_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<QByteArray>("cut");
        // Ten times the time-out late: the reply comes after all, while the
        // port is closed.
        QTest::newRow("late reply") << ScaledMs(5000) * 2 << QByteArray();
        // Cut off by the time-out: no CR LF came.
        QTest::newRow("cut reply") << 0 << QByteArray("0RD10004E20");
    }

    // A reply the time-out gave up on does not answer the next operation.
    void leftoverReplies()
    {
        QFETCH(int, delayMs);
        QFETCH(QByteArray, cut);
        QCOMPARE(link().OpenCommPort(), 0);
        QCOMPARE(link().SetCommMode(), 0);
        sim().setReplyDelayMs(delayMs);
        if (!cut.isEmpty())
            sim().queueRaw(cut);
        QCOMPARE(link().Send(Ctl::ReadBlock(QStringLiteral("10"))), 1);
        QCOMPARE(prompter().texts(), QStringList{kTimeout});
        QVERIFY(!link().isPortOpen());
        sim().setReplyDelayMs(0);
        QTest::qWait(delayMs);

        prompter().clear();
        QCOMPARE(runOperation(QStringLiteral("0RD11")), 0);
        QCOMPARE(link().state().gReply, QStringLiteral("0RD11285078010100FFFF\r\n"));
        QVERIFY(prompter().shown().isEmpty());
        QCOMPARE(lines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD11"}));
        if (delayMs == 0)
            return;

        // With gTimeoutMs 0 no time-out runs: the late reply is taken.
        sim().setReplyDelayMs(delayMs);
        link().state().gTimeoutMs = 0;
        QCOMPARE(link().SendCommand(QStringLiteral("0RD"), 23, QStringLiteral("10")), 0);
        QCOMPARE(link().state().gReply, QStringLiteral("0RD10004E2002020202FF\r\n"));
        QVERIFY(prompter().shown().isEmpty());
        QCOMPARE(lines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD11", "0RD10"}));
    }

    void moveWatch_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("moveMs");      // how long the simulated move takes
        QTest::addColumn<double>("midnight"); // the clock starts at this second; < 0: the real clock
        QTest::addColumn<float>("limit");     // gMoveWatchLimit in seconds
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("message"); // empty: the move completed
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<double>("minMs");
        QTest::addColumn<double>("maxMs");

        const double scale = TimeScale();
        const double ticks = 2 * ControllerLink::kMoveWatchTickMs;
        // One wait runs out its limit (on the watch's ticks); a reply that did
        // come ended the other at once.
        const double low = 4000 * scale * 0.9, high = 4000 * scale + ticks + 1000;
        const QString moved = QStringLiteral("0CM1 0MP1");

        // The held port is closed by the time-out all the same.
        QTest::newRow("no reply to the move")
            << "* -" << 0 << -1.0 << 4.0f << moved << kTimeout << false << low << high;
        // After a wrong length the recovery wait is bounded by a fresh move
        // watch too, even when "0CM0" is never answered.
        QTest::newRow("short reply, no answer to the recovery")
            << "* !short -" << 0 << -1.0 << 4.0f << "0CM1 0MP1 0CM0" << kLengthError << true << low << high;
        // A tenth of a second before midnight: across the wrap the watch counts
        // up to 86399, not 86400, so it runs one second longer than its limit.
        QTest::newRow("across midnight") << "* -" << 0 << 86399.9 << 2.0f << moved << kTimeout << false
                                         << 2000 * scale + 900 << 2000 * scale + 1000 + ticks + 500;
        QTest::newRow("the move ends within its watch") << "* *" << ScaledMs(3000) << -1.0 << 8.0f << moved << QString()
                                                        << true << double(ScaledMs(3000)) << 8000 * scale;
    }

    // A move is sent with gTimeoutMs 0: its wait, and that of its recovery, is
    // bounded by the move watch alone.
    void moveWatch()
    {
        QFETCH(QString, script);
        QFETCH(int, moveMs);
        QFETCH(double, midnight);
        QFETCH(float, limit);
        QFETCH(QString, lines);
        QFETCH(QString, message);
        QFETCH(bool, portOpen);
        QFETCH(double, minMs);
        QFETCH(double, maxMs);

        m_rig->app.gPortOccupy = true;
        sim().model().setFixedMoveMs(moveMs);
        Script(sim(), script.split(u' '));
        QCOMPARE(link().OpenCommPort(), 0);
        QCOMPARE(link().SetCommMode(), 0);
        link().state().gMoving = true;
        link().state().gMoveWatchLimit = limit;
        QElapsedTimer clock;
        clock.start();
        if (midnight >= 0)
            link().setClock([&clock, midnight] { return std::fmod(midnight + clock.elapsed() / 1000.0, 86400.0); });
        QCOMPARE(link().Send(Ctl::MoveTo(1)), message.isEmpty() ? 0 : 1);
        const qint64 took = clock.elapsed();

        QCOMPARE(this->lines(), lines.split(u' '));
        QCOMPARE(prompter().texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(link().state().gMoving, message.isEmpty());
        QCOMPARE(link().state().gMoveWatchElapsed, !message.isEmpty());
        QCOMPARE(link().isPortOpen(), portOpen);
        QVERIFY2(took >= minMs && took <= maxMs, qPrintable(QString::number(took)));
    }

    void reportWithoutTransactionUpdatesTheFrame()
    {
        m_rig->app.gPortOccupy = true;
        QCOMPARE(runOperation(QStringLiteral("0CM1")), 0);
        QSignalSpy frames(&link(), &ControllerLink::alarmFrameChanged);
        QSignalSpy home(&link(), &ControllerLink::homeLampOff);

        sim().sendUnsolicited("0%%0E");
        QVERIFY(frames.wait(2000));
        QCOMPARE(frames.last(), (QVariantList{true, QStringLiteral("0E"), QStringLiteral("Emergency stop")}));
        QCOMPARE(home.size(), 1);
        QVERIFY(prompter().shown().isEmpty());

        // The next good exchange puts the frame back to its quiet state.
        QCOMPARE(runOperation(QStringLiteral("0RH")), 0);
        QCOMPARE(frames.last(), (QVariantList{false, QString(), QStringLiteral("No Error")}));
    }

    void pulledDeviceEndsTheTransaction()
    {
        m_rig->app.gPortOccupy = true;
        Script(sim(), {"*", "!pull"});
        const QString device = sim().devicePath();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runOperation(QStringLiteral("0RD10")), 1);
        // Ended by the device's failure, not by the 5 s time-out.
        QVERIFY2(clock.elapsed() < ScaledMs(5000), qPrintable(QString::number(clock.elapsed())));

        QCOMPARE(lines(), (QStringList{"0CM1", "0RD10"}));
        QCOMPARE(prompter().texts(),
                 QStringList{QStringLiteral("The serial port was lost during communication (the "
                                            "device was removed or stopped working).\n\nCOM1 (")
                             + device
                             + QStringLiteral(")\n\nConnect the cable and the USB adapter again, "
                                              "then repeat the operation.")});
        QCOMPARE(icons(), QList<Icon>{Icon::Exclamation});
        QVERIFY(!link().isPortOpen());
        QVERIFY(!link().portLampLit());

        // The program goes on: with the adapter plugged in again, under whatever
        // device name the system gives it now, the next operation opens it
        // afresh and goes through.
        prompter().clear();
        QVERIFY(sim().start());
        m_rig->settings->writeText(PortSettingsKey(1), sim().devicePath());
        QCOMPARE(runOperation(QStringLiteral("0RD10")), 0);
        QVERIFY(prompter().shown().isEmpty());
        QVERIFY(link().isPortOpen());
        QCOMPARE(lines(), (QStringList{"0CM1", "0RD10", "0CM1", "0RD10"}));
    }

    void refusedAccessSaysHowToGetIt()
    {
        // Another program holds the device.
        QSerialPort other;
        other.setPortName(sim().devicePath());
        QVERIFY(other.open(QIODevice::ReadWrite));

        QCOMPARE(link().OpenCommPort(), 1);
        QString expected = kOpenFailed
                           + QStringLiteral("\n\nAccess to the communication port was refused. The "
                                            "port is in use by another program, or you have no "
                                            "permission to use it.\n\nCOM1 (")
                           + sim().devicePath() + QLatin1Char(')');
    #ifdef Q_OS_LINUX
        expected += QStringLiteral("\n\nOn Linux, add your user to the \"dialout\" group (sudo "
                                   "usermod -aG dialout $USER), then log out and in again.");
    #endif
        QCOMPARE(prompter().texts(), QStringList{expected});
        QVERIFY(!link().isPortOpen());
        QVERIFY(lines().isEmpty());
    }

    void portNumbers()
    {
        // An invalid port number is replaced by the stored one before opening.
        m_rig->settings->writeInt(QStringLiteral("PortNo"), 1);
        m_rig->app.gPortNo = 0;
        QCOMPARE(link().OpenCommPort(), 0);
        QCOMPARE(m_rig->app.gPortNo, int16_t(1));

        // Probing leaves the held port alone: its own number reads as there,
        // another number is tried on a handle of its own.
        m_rig->app.gPortOccupy = true;
        m_rig->settings->writeText(PortSettingsKey(2), QStringLiteral("/nonexistent/kted-tty"));
        QCOMPARE(link().ProbeCommPort(1), 0);
        QCOMPARE(link().ProbeCommPort(2), 1);
        QVERIFY(link().isPortOpen());
        QCOMPARE(link().SetCommMode(), 0);

        // Choosing another port while one is held takes effect at the next open.
        m_rig->app.gPortNo = 2;
        QCOMPARE(link().OpenCommPort(), 1);
        QCOMPARE(prompter().texts(), QStringList{kOpenFailed});
        QVERIFY(!link().isPortOpen());
        QCOMPARE(lines(), QStringList{"0CM1"});
    }

    void menuCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Answer>("answer"); // to the mode question
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("lines");
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

        QTest::newRow("version") << "version" << Answer::Yes << "* =0RV2.1X99" << "0CM1 0RV"
                                 << QStringList{"Version of the controller is 2.1."}
                                 << "The version of this C/T is 2.1" << versionRead;
        QTest::newRow("version answered by an alarm: the alarm is cleared")
            << "version" << Answer::Yes << "* =0%%0E *" << "0CM1 0RV 0%C" << QStringList{kEmergencyStop, noVersion}
            << "No version information" << versionRead;
        QTest::newRow("version, no controller") << "version" << Answer::Yes << "-" << "0CM1"
                                                << QStringList{kTimeout, noVersion} << QString() << versionRead;
        QTest::newRow("external: No sends nothing")
            << "external" << Answer::No << "" << "" << QStringList{askExternal} << QString() << askedNo;
        QTest::newRow("external: Yes") << "external" << Answer::Yes << "* *" << "0CM1 0CM0"
                                       << QStringList{askExternal, "Chaged to [External start mode]."} << QString()
                                       << askedYes;
        QTest::newRow("external: Yes, no answer") << "external" << Answer::Yes << "* -" << "0CM1 0CM0"
                                                  << QStringList{askExternal, kTimeout, failed} << QString()
                                                  << askedYes;
        QTest::newRow("communication: Yes") << "communication" << Answer::Yes << "*" << "0CM1"
                                            << QStringList{askComm, "Changed [Communication mode]."} << QString()
                                            << askedYes;
    }

    void menuCommands()
    {
        QFETCH(QString, command);
        QFETCH(Answer, answer);
        QFETCH(QString, script);
        QFETCH(QString, lines);
        QFETCH(QStringList, messages);
        QFETCH(QString, status);
        QFETCH(QStringList, surface);

        Script(sim(), script.split(u' ', Qt::SkipEmptyParts));
        prompter().answer(answer);
        RecordingSurface shown;
        ControllerModes modes(link(), prompter(), shown);
        QSignalSpy statusText(&modes, &ControllerModes::versionTextChanged);
        if (command == QLatin1String("version"))
            modes.ShowCtVersion();
        else if (command == QLatin1String("external"))
            modes.ModeGaibu();
        else
            modes.ModeTrancefer();

        // Give a stray line the chance to arrive before looking.
        QTest::qWait(50);
        QCOMPARE(this->lines(), lines.split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(prompter().texts(), messages);
        QCOMPARE(statusText.isEmpty() ? QString() : statusText.last().at(0).toString(), status);
        QCOMPARE(shown.log, surface);
        if (command != QLatin1String("version")) {
            QCOMPARE(prompter().shown().first().icon, Icon::Question);
            QCOMPARE(prompter().shown().first().buttons, Prompter::Buttons::YesNo);
        }
        QVERIFY(!link().isPortOpen());
    }

    void alarmReset()
    {
        m_rig->app.gPortOccupy = true;
        sim().model().setAlarm(QStringLiteral("0E"));
        QCOMPARE(runOperation(QStringLiteral("0RD10")), 1);
        QVERIFY(link().alarm().frame().lampOn);
        prompter().clear();
        sim().clearReceived();

        RecordingSurface surface;
        ControllerModes modes(link(), prompter(), surface);
        modes.AlarmReset();

        // The reset sends the clear alone.
        QCOMPARE(lines(), QStringList{"0%C"});
        QVERIFY(prompter().shown().isEmpty());
        QCOMPARE(link().alarm().frame(), (AlarmFrame{false, QString(), QStringLiteral("No Error")}));
        QCOMPARE(surface.log, (QStringList{"reset 0", "busy 1", "reset 1", "busy 0"}));

        // A sticky emergency stop answers the clear with its report again: the
        // frame keeps the alarm.
        sim().model().setAlarm(QStringLiteral("0E"), true);
        modes.AlarmReset();
        QCOMPARE(prompter().texts(), QStringList{kEmergencyStop});
        QVERIFY(link().alarm().frame().lampOn);
    }

    void progressWindow()
    {
        QWidget main;
        main.resize(775, 505);
        main.show();
        frmTrance progress(&main);
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
};

KTED_TEST_MAIN(TestLink)
#include "tst_link.moc"
