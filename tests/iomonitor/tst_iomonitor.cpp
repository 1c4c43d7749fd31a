// The I/O monitor: which lamp each bit of the three I/O bytes lights, the
// byte written back when an output is switched, and the window, opened from
// the running program, driven by its own controls against the simulated
// controller on a pseudo-terminal.

#include "../options/programrun.h"
#include "link/controllerlink.h"
#include "link/linkmessages.h"
#include "operation/iosignals.h"
#include "simulatedcontroller.h"
#include "ui/frminputoutput.h"
#include "ui/lamp.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

using IoLamp = Io::Lamp;

constexpr int kLampsShownMs = 3000;

// The lamps as a text in Io::Lamp order (home, emergency stop, select 1,
// 2, 4, ready, output 1, output 2), "1" lit.
QString LampText(const std::function<bool(IoLamp)> &lit)
{
    QString text;
    for (int i = 0; i < Io::kLampCount; ++i)
        text += lit(static_cast<IoLamp>(i)) ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

// The program with the controller on COM1, its I/O monitor opened from the
// View menu.
struct Rig
{
    Rig()
    {
        run.window->mnuShowState->trigger();
        window = run.program->ioMonitorWindow();
    }

    void setBytes(int b105, int b106, int b107)
    {
        sim.model().setIoByteOverride(105, b105);
        sim.model().setIoByteOverride(106, b106);
        sim.model().setIoByteOverride(107, b107);
    }

    // Clicks "Start Monitor" and waits for the first complete cycle.
    bool startMonitoring()
    {
        window->cmdIoCheck->click();
        return waitCycles(1);
    }

    // Waits until n more cycles have completed.
    bool waitCycles(int n)
    {
        const qsizetype target = lines().count(QStringLiteral("0RB107")) + n;
        return QTest::qWaitFor([&] { return lines().count(QStringLiteral("0RB107")) >= target; },
                               kLampsShownMs);
    }

    // After the next "0RB107", the controller acts on the lines that follow
    // as queued by `then`.
    void afterCycle(std::function<void()> then)
    {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = QObject::connect(&sim, &SimulatedController::lineReceived, window.data(),
                                 [this, once, then](const QString &line) {
                                     if (line != QLatin1String("0RB107"))
                                         return;
                                     QObject::disconnect(*once);
                                     sim.queueAnswer(); // the "0RB107" itself
                                     then();
                                 });
    }

    QStringList lines() const { return sim.receivedLines(); }
    QStringList writes() const { return lines().filter(QStringLiteral("0WB")); }
    QString lamps() const { return LampText([this](IoLamp l) { return window->lamp(l)->isLit(); }); }

    ControllerLink &link() { return run.program->link(); }

    SimulatedController sim;
    // Started and wired as COM1 before the program starts.
    bool started = sim.start() && qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());
    ProgramRun run{2};
    QPointer<frmInputOutput> window;
};

} // namespace

class TestIoMonitor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    // Every signal of the byte table: the byte with the signal's bit clear
    // and all others set, and the inverse. Lamps of other bytes keep what
    // they showed.
    void signalBits_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("lamps"); // after starting from all lit
        // lamps:                              H E 1 2 4 R O O
        QTest::newRow("home switch made") << 105 << 0xEF << "11111111";
        QTest::newRow("home switch open") << 105 << 0x10 << "01111111";
        QTest::newRow("select 1 made") << 106 << 0xFE << "11100111";
        QTest::newRow("select 1 open") << 106 << 0x01 << "11011111";
        QTest::newRow("select 2 made") << 106 << 0xFD << "11010111";
        QTest::newRow("select 2 open") << 106 << 0x02 << "11101111";
        QTest::newRow("select 4 made") << 106 << 0xFB << "11001111";
        QTest::newRow("select 4 open") << 106 << 0x04 << "11110111";
        QTest::newRow("emergency stop pressed") << 107 << 0xDF << "11111111";
        QTest::newRow("emergency stop released") << 107 << 0x20 << "10111000";
        QTest::newRow("ready on") << 107 << 0x01 << "11111100";
        QTest::newRow("ready off") << 107 << 0xFE << "10111011";
        QTest::newRow("output 1 on") << 107 << 0x02 << "11111010";
        QTest::newRow("output 1 off") << 107 << 0xFD << "10111101";
        QTest::newRow("output 2 on") << 107 << 0x04 << "11111001";
        QTest::newRow("output 2 off") << 107 << 0xFB << "10111110";
        QTest::newRow("bit 3 has no lamp") << 107 << 0x08 << "11111000";
        QTest::newRow("no such byte") << 108 << 0x00 << "11111111";
    }
    void signalBits()
    {
        QFETCH(int, address);
        QFETCH(int, value);
        Io::Lamps l;
        for (int i = 0; i < Io::kLampCount; ++i)
            l.set(static_cast<IoLamp>(i), true);
        Io::ApplyIoByte(l, address, static_cast<uint8_t>(value));
        QTEST(LampText([&l](IoLamp lamp) { return l.lit(lamp); }), "lamps");
    }

    // Opened from the View menu: modal, gBusy set until the window has
    // closed (by its Close button or by Escape). A byte pattern and its
    // inverse, the second changed on the controller while monitoring runs.
    // Monitoring ends by Stop Monitor or by a failed read, also one before
    // the start/stop button would have been enabled again: every lamp dark,
    // the port released unless the user holds it, only "Close" left after a
    // failure (with its message), and nothing more sent.
    void monitoringAndItsEnd_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("message");
        QTest::newRow("Stop Monitor") << "stop" << false << QString();
        QTest::newRow("Stop Monitor, port held") << "stop" << true << QString();
        QTest::newRow("controller stops answering") << "no reply" << false << LinkText::TimeoutMessage();
        QTest::newRow("wrong length at the first line") << "at once" << false << LinkText::LengthErrorMessage();
    }
    void monitoringAndItsEnd()
    {
        QFETCH(QString, end);
        QFETCH(bool, held);
        QFETCH(QString, message);
        Rig rig;
        QVERIFY(rig.started);
        QVERIFY(rig.window && rig.window->isModal());
        QVERIFY(rig.run.window->gBusy);
        // Lamps and pictures are named for a screen reader.
        QCOMPARE(rig.window->imgPosi4Led->accessibleName(), LoadText(167));
        QCOMPARE(rig.window->imgOut1->accessibleName(), LoadText(174));
        QCOMPARE(rig.window->imgOut1->toolTip(), LoadText(980));
        rig.run.state.gPortOccupy = held;
        rig.setBytes(0xEF, 0xFA, 0x1B);
        if (end == QLatin1String("at once")) {
            rig.sim.queueWrongLength(-1);
            rig.window->cmdIoCheck->click();
        } else {
            QVERIFY(rig.startMonitoring());
            QCOMPARE(rig.lines().mid(0, 4), QStringList({"0CM1", "0RB105", "0RB106", "0RB107"}));
            QTRY_COMPARE_WITH_TIMEOUT(rig.lamps(), QStringLiteral("11101110"), kLampsShownMs);
            QCOMPARE(rig.window->cmdIoCheck->text(), LoadText(556));
            QVERIFY(!rig.window->cmdIoWinClose->isEnabled());
        }
        if (end == QLatin1String("no reply")) {
            rig.afterCycle([&rig] {
                for (int i = 0; i < 4; ++i)
                    rig.sim.queueNoReply();
            });
        } else if (end == QLatin1String("stop")) {
            // A reply of the right length for another byte is passed over:
            // the home lamp keeps its state and monitoring goes on.
            rig.afterCycle([&rig] {
                rig.sim.queueAnswer(); // "0CM1"
                rig.sim.queueRaw("0RB10610\r\n"); // answers "0RB105"
            });
            QVERIFY(rig.waitCycles(2));
            QVERIFY(rig.lines().join(' ').contains(QStringLiteral("0RB107 0CM1 0RB105 0RB106 0RB107")));
            QCOMPARE(rig.lamps(), QStringLiteral("11101110"));
            rig.setBytes(0x10, 0x05, 0xE4);
            QTRY_COMPARE_WITH_TIMEOUT(rig.lamps(), QStringLiteral("00010001"), kLampsShownMs);
            QTRY_VERIFY(rig.window->cmdIoCheck->isEnabled());
            rig.window->cmdIoCheck->click();
        }
        const QStringList told = message.isEmpty() ? QStringList() : QStringList{message};
        QTRY_COMPARE_WITH_TIMEOUT(rig.run.prompter.texts(), told, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.window->cmdIoCheck->text(), LoadText(176), kLampsShownMs);
        QCOMPARE(rig.lamps(), QStringLiteral("00000000"));
        QVERIFY(rig.window->cmdIoWinClose->isEnabled());
        QCOMPARE(rig.link().isPortOpen(), held);
        // Also once the button's re-enable time after the click has passed.
        const qsizetype sent = rig.lines().size();
        QTest::qWait(IoMonitor::kButtonOffMs + 100);
        QCOMPARE(rig.window->cmdIoCheck->isEnabled(), message.isEmpty());
        QCOMPARE(rig.lines().size(), sent);
        QCOMPARE(rig.run.prompter.texts(), told);
        if (held)
            QTest::keyClick(rig.window, Qt::Key_Escape);
        else
            rig.window->cmdIoWinClose->click();
        QTRY_VERIFY(!rig.window);
        QVERIFY(!rig.run.window->gBusy);
        QCOMPARE(rig.link().isPortOpen(), held);
    }

    // Switching an output: nothing is written before a byte has been read in
    // this run of monitoring; a double-click on an output's lamp or picture
    // (or Space on the picture) then writes byte 107 as read with that one
    // output switched. Stop Monitor drops a pending toggle.
    void switchingOutputs()
    {
        Rig rig;
        QVERIFY(rig.started);
        // Ready and output 1 on, bit 3 set, emergency stop released; the
        // controller keeps reporting this byte.
        rig.setBytes(0xFF, 0xFF, 0x2B);
        QTest::mouseDClick(rig.window->imgOut1Led, Qt::LeftButton); // monitoring is off: ignored
        QVERIFY(rig.startMonitoring());
        QVERIFY(rig.waitCycles(1));
        QVERIFY(rig.writes().isEmpty());

        // Each switch is written with the next cycle, one write a cycle.
        QStringList written;
        const auto writtenNext = [&](const char *line) {
            written << QString::fromLatin1(line);
            return rig.waitCycles(1) && rig.writes() == written;
        };
        QTest::mouseDClick(rig.window->imgOut1Led, Qt::LeftButton);
        QVERIFY(writtenNext("0WB10729")); // output 1 lit: bit 1 cleared
        QTest::mouseDClick(rig.window->imgOut2, Qt::LeftButton);
        QVERIFY(writtenNext("0WB1072F"));
        QTest::keyClick(rig.window->imgPend, Qt::Key_Space); // Space on the focused picture
        QVERIFY(writtenNext("0WB1072A"));
        // Two outputs switched before the next cycle go in one write.
        QTest::mouseDClick(rig.window->imgOut1Led, Qt::LeftButton);
        QTest::mouseDClick(rig.window->imgOut2Led, Qt::LeftButton);
        QVERIFY(writtenNext("0WB1072D"));
        QCOMPARE(rig.sim.sentLines().filter(QStringLiteral("0WB")), written);

        // A double-click while a write waits for its reply is written with
        // the next cycle.
        bool clickedDuringWrite = false;
        QObject::connect(&rig.sim, &SimulatedController::lineReceived, rig.window.data(),
                         [&](const QString &line) {
                             if (line == QLatin1String("0WB10729") && !clickedDuringWrite) {
                                 clickedDuringWrite = true;
                                 QTest::mouseDClick(rig.window->imgOut2Led, Qt::LeftButton);
                             }
                         });
        QTest::mouseDClick(rig.window->imgOut1, Qt::LeftButton);
        written << QStringLiteral("0WB10729") << QStringLiteral("0WB1072F");
        QVERIFY(rig.waitCycles(2));
        QVERIFY(clickedDuringWrite);
        QCOMPARE(rig.writes(), written);

        // A toggle followed by Stop Monitor before the next tick is dropped.
        QTRY_VERIFY(rig.window->cmdIoCheck->isEnabled());
        QTest::mouseDClick(rig.window->imgOut1, Qt::LeftButton);
        rig.window->cmdIoCheck->click();
        QTRY_COMPARE_WITH_TIMEOUT(rig.window->cmdIoCheck->text(), LoadText(176), kLampsShownMs);
        QTest::qWait(IoMonitor::kCycleMs);
        QCOMPARE(rig.writes(), written);
        QVERIFY(rig.run.prompter.texts().isEmpty());
    }

    // A controller that answers each line after 400 ms gets one cycle at a
    // time, and monitoring goes on.
    void slowControllerOneCycleAtATime()
    {
        Rig rig;
        QVERIFY(rig.started);
        rig.sim.setReplyDelayMs(400);
        // A close while the controller is being asked is refused.
        bool stayed = false;
        QObject::connect(&rig.sim, &SimulatedController::lineReceived, rig.window.data(),
                         [&](const QString &line) {
                             if (line == QLatin1String("0RB106") && rig.lines().size() < 4) {
                                 rig.window->close();
                                 stayed = rig.window->isVisible();
                             }
                         });
        rig.window->cmdIoCheck->click();
        // The first line of the second cycle comes after the last reply of
        // the first.
        QVERIFY(QTest::qWaitFor([&] { return rig.lines().size() >= 5; }, 6000));
        QVERIFY(stayed);
        const QStringList cycle{"0CM1", "0RB105", "0RB106", "0RB107"};
        const QStringList lines = rig.lines();
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(lines.at(i), cycle.at(i % cycle.size()));
        QVERIFY(rig.window->monitor().isMonitoring());
        QVERIFY(rig.run.prompter.texts().isEmpty());
    }
};

KTED_TEST_MAIN(TestIoMonitor)
#include "tst_iomonitor.moc"
