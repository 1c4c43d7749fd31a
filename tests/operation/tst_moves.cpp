// Test moves through the real main window against the simulated controller
// on a pseudo-terminal: what the controller receives, what the window shows,
// the move program and its grid, and the estimate behind every move's watch.

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "common/timescale.h"
#include "link/controllerlink.h"
#include "link/linkmessages.h"
#include "operation/moveexecution.h"
#include "operation/movestate.h"
#include "operation/programgrid.h"
#include "parameters/parameterwindow.h"
#include "scriptedprompter.h"
#include "simscript.h"
#include "simulatedcontroller.h"
#include "testenv.h"
#include "text/stringtable.h"
#include "ui/lamp.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {

using Answer = Prompter::Answer;
using Picture = PositionButton::Picture;

// One run of the program in Move mode against the simulated controller,
// whose moves take a small part of their real time.
struct Run
{
    explicit Run(double moveScale = 0.005)
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear();
        store = std::make_unique<SettingsStore>();
        store->writeInt(SettingsKey::Language, 2);
        started = sim.start();
        sim.model().setMoveTimeScale(moveScale);
        qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());
        program = std::make_unique<Program>(state, *store, prompter, dialogs, SourceDataDir());
        program->startUp().setShowSplash(false);
        program->startUp().hooks().choose = [](const QString &, const QString &, const QString &,
                                               const QString &) { return 1; };
        // A start-up that fails to reach the controller ends the test at its
        // checks, not in the device selection dialog.
        program->startUp().hooks().selectDevice = [](MainWindow &) {};
        w = &program->run();
        QApplication::setActiveWindow(w);
        w->optModeSelect[0]->click();
        sim.clearReceived();
        prompter.clear();
        // Every line the controller receives, with the time it came.
        clock.start();
        QObject::connect(&sim, &SimulatedController::lineReceived, &sim, [this](const QString &line) {
            stamps << clock.elapsed();
            if (onLine)
                onLine(line);
        });
    }

    QStringList lines() const { return sim.receivedLines(); }
    // The position digits of the moves the controller was sent, in order.
    QString moves() const
    {
        QString digits;
        for (const QString &line : lines())
            if (line.startsWith(QLatin1String("0MP")))
                digits += line.mid(3);
        return digits;
    }
    int count(const QString &head) const
    {
        int n = 0;
        for (const QString &line : lines())
            n += line.startsWith(head);
        return n;
    }
    MoveState &move() { return program->moveState(); }

    // The controls a move locks, as the user could reach them.
    bool everyMoveControlEnabled() const
    {
        for (QWidget *c : std::initializer_list<QWidget *>{
                 w->cmdMove, w->cmdReset, w->cmdDataClear, w->cmdInp1toF, w->flgdProgram, w->chkRepeat,
                 w->optSelectMode[0], w->optSelectMove[1], w->optModeSelect[1], w->pictureSelectMove})
            if (!c->isEnabled())
                return false;
        return w->mnuFile->menuAction()->isEnabled() && w->mnuView->menuAction()->isEnabled()
               && w->mnuHelp->menuAction()->isEnabled() && !w->gBusy;
    }

    AppState state;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    SimulatedController sim;
    bool started = false;
    std::unique_ptr<Program> program;
    MainWindow *w = nullptr;
    QElapsedTimer clock;
    QList<qint64> stamps;
    std::function<void(const QString &)> onLine;
};

QStringList split(const char *text)
{
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

// The moves' reads of a first move: home state, speed table, position rows.
const char *const kFirstReads = "0CM1 0RH 0RD10 0RD11 0RD12 0RP1 0RP2 0RP3";

} // namespace

class TestMoves : public QObject
{
    Q_OBJECT

private slots:
    // The estimate behind every move's watch, where the speeds are not
    // ones the controller can mean (the ordinary estimates are the watch
    // limits of the selective moves): the slowest estimate, never a division
    // by zero or a negative time.
    void estimate_data()
    {
        QTest::addColumn<int>("homing");
        QTest::addColumn<int>("vel1");      // gSpeed(1)
        QTest::addColumn<int>("selection"); // gPosVel(2)
        QTest::addColumn<int>("target");
        QTest::addColumn<double>("seconds");
        // stroke 20000, homed, position 2 at 10000, present position 4000
        QTest::newRow("homing value 17: the slowest") << 17 << 10 << 1 << 0 << 200.0;
        QTest::newRow("selection 0: slowest of the table") << 1 << 10 << 0 << 2 << 6000.0 / 1660;
        QTest::newRow("speed 0: slowest of the table") << 1 << 0 << 1 << 2 << 6000.0 / (20 * 166);
    }
    void estimate()
    {
        QFETCH(int, homing);
        QFETCH(int, vel1);
        QFETCH(int, selection);
        QFETCH(int, target);
        QFETCH(double, seconds);
        MoveState s;
        s.gStroke = 20000;
        s.gSpeed = {int16_t(homing), int16_t(vel1), 20, 30, 35, 40, 45, 50, 55, 60};
        s.gPosVel[2] = int16_t(selection);
        s.gPosPulse[2] = 10000;
        s.gPresentPos = 4000;
        s.gHomeDone = true;
        QVERIFY(qAbs(CalcMovingTime(s, target) - seconds) < 1e-6);

        // A table without a usable speed still gives a finite estimate.
        s.gSpeed = {};
        QVERIFY(std::isfinite(CalcMovingTime(s, 2)) && CalcMovingTime(s, 2) > 0);
    }

    // A selective move: the reads the estimate needs, "0MP" with the watch
    // limit from the estimate, the target blinking while the actuator runs,
    // then the completed position, the home lamp and the outputs the
    // controller reports ("0RS"), with every control back. While it runs
    // nothing else can reach the controller: the window's controls, the
    // menus, the toolbar and the parameter window are locked, so clicking
    // them sends nothing; a command slipped past the locks is refused with a
    // message, never silently. A move that fails ends with the message the
    // user needs, nothing marked as reached and every control back: the
    // homing failure (the alarm frame updated once) and the device pulled
    // out during the move. (A reply that never comes fails the same way once
    // the link's move watch ends it.)
    void selectiveMove_data()
    {
        QTest::addColumn<int>("homeState");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("fault"); // "", "homing" or "pull"
        QTest::addColumn<QString>("expected");
        QTest::addColumn<double>("watch");
        QTest::addColumn<int>("outputs");
        const double toPosition2 = 12.5 + 10000.0 / 3320 + 5;
        QTest::newRow("home") << 0 << 0 << "" << "0MP0 0RS" << 12.5 + 5 << 0;
        QTest::newRow("position 2, not homed") << 0 << 2 << "" << "0MP2 0RS" << toPosition2 << 2;
        QTest::newRow("position 3, homed: present position read") << 1 << 3 << "" << "0RC 0MP3 0RS"
                                                                  << 15000.0 / 4980 + 5 << 3;
        QTest::newRow("home sensor fault") << 0 << 0 << "homing" << "0MP0" << 12.5 + 5 << 0;
        QTest::newRow("device pulled") << 0 << 2 << "pull" << "0MP2" << toPosition2 << 0;
    }
    void selectiveMove()
    {
        QFETCH(int, homeState);
        QFETCH(int, target);
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        QFETCH(double, watch);
        QFETCH(int, outputs);
        Run run;
        QVERIFY(run.started);
        run.program->ShowParameterWindow();
        run.sim.model().setHomeState(homeState);
        run.sim.model().setFixedMoveMs(450);
        run.sim.model().setHomeSensorFault(fault == QLatin1String("homing"));
        if (fault == QLatin1String("pull"))
            Script(run.sim, QStringList(8, QStringLiteral("*")) << QStringLiteral("!pull"));
        if (!fault.isEmpty())
            run.move().gLastPos = 1; // as after an earlier move
        QSignalSpy frames(&run.program->link(), &ControllerLink::alarmFrameChanged);
        MainWindow &w = *run.w;
        w.optSelectMove[1]->click();

        QSet<int> blink;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (!run.program->link().state().gMoving)
                return;
            blink << int(w.imgButton[target]->picture());
            QCOMPARE(w.imgButton[(target + 1) % 4]->picture(), Picture::Greyed);
        });
        bool tried = false;
        run.onLine = [&](const QString &line) {
            if (!line.startsWith(QLatin1String("0MP")))
                return;
            sampler.start(50);
            tried = true;
            QVERIFY(w.gBusy);
            for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{
                     w.optModeSelect[1], w.cmdReset, w.cmdMove, w.imgButton[(target + 1) % 4], w.optSelectMove[0]}) {
                QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
                QTest::mouseClick(b, Qt::LeftButton);
            }
            for (QMenu *m : {w.mnuFile, w.mnuView, w.mnuHelp})
                QVERIFY(!m->menuAction()->isEnabled());
            for (QAction *a : w.tbToolBar->actions()) {
                if (!a->isSeparator()) {
                    QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
                    if (QWidget *button = w.tbToolBar->widgetForAction(a))
                        QTest::mouseClick(button, Qt::LeftButton);
                }
            }
            QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
            QVERIFY(!run.program->parameterWindow()->isEnabled());
            QVERIFY(!w.isWindowModified() && !w.close());
            QCOMPARE(run.prompter.texts(), QStringList());
            // Past every lock: the link refuses and says so.
            QCOMPARE(run.program->link().Send(Ctl::ReadHomeState()), 1);
        };
        QTest::mouseClick(w.imgButton[target], Qt::LeftButton);
        sampler.stop();

        QVERIFY(tried);
        QCOMPARE(run.lines(), split(kFirstReads) + expected.split(u' '));
        QCOMPARE(run.program->link().state().gMoveWatchLimit, float(watch));
        QCOMPARE(run.prompter.texts().value(0), LoadText(950));
        const QStringList told = run.prompter.texts().mid(1);
        QVERIFY(w.optModeSelect[0]->isChecked());
        QVERIFY(run.everyMoveControlEnabled());
        QVERIFY(run.program->parameterWindow()->isEnabled());
        QVERIFY(!run.program->link().isPortOpen());
        QVERIFY(!run.program->moves()->timerMoving().isActive());
        QCOMPARE(w.imgOut1Green->isLit(), bool(outputs & 1));
        QCOMPARE(w.imgOut2Green->isLit(), bool(outputs & 2));
        if (fault.isEmpty()) {
            // Greyed at first, then blinking between the two pictures.
            QVERIFY(blink.contains(int(Picture::Current)) && blink.contains(int(Picture::Normal)));
            QCOMPARE(told, QStringList());
            for (int i = 0; i < 4; ++i)
                QCOMPARE(w.imgButton[i]->picture(), i == target ? Picture::Current : Picture::Normal);
            QCOMPARE(w.lblkanryoNo->text(), QString::number(target));
            QVERIFY(w.imgHomeGreen->isLit());
            return;
        }
        if (fault == QLatin1String("homing")) {
            // The alarm told once, then what to check.
            QCOMPARE(told, (QStringList{run.program->link().alarm().AlarmMessage(QStringLiteral("0B")),
                                        LinkText::HomingFailureMessage()}));
            QCOMPARE(frames.count(), 1);
            QCOMPARE(w.lblAlarmNo->text(), QStringLiteral("0B"));
        } else {
            QCOMPARE(told.size(), 1);
            QVERIFY(told.first().startsWith(LoadText(620)));
        }
        QCOMPARE(run.move().gLastPos, -1);
        QVERIFY(!run.move().gMoveDataKnown);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w.imgButton[i]->picture(), i == target ? Picture::Normal : Picture::Greyed);
    }

    // The continual and step runs of the move program.
    void programRun_data()
    {
        QTest::addColumn<QString>("program"); // the nine steps, "." empty
        // "step", "repeat", "wait=" the wait box's text, "clicks=" on Move,
        // "stop=n" Stop during the nth move, "pause=n" Pause in the wait
        // after the nth move
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("message"); // string ID; 0: none
        QTest::newRow("1 to 3, continual") << "123123123" << "" << "123123123" << 1 << 0;
        QTest::newRow("repeat until Stop") << "123123123" << "repeat stop=11" << "12312312312" << 3 << 0;
        QTest::newRow("an empty row ends the run") << "12.3....." << "" << "12" << 1 << 0;
        QTest::newRow("an empty row, repeat: back to row 1") << "12.3....." << "repeat stop=5" << "12121" << 2 << 0;
        QTest::newRow("step: one move a click") << "312......" << "step clicks=3" << "312" << 4 << 0;
        QTest::newRow("Pause in the wait, Move resumes") << "123......" << "wait=15 clicks=2 pause=1" << "123" << 1
                                                         << 0;
        QTest::newRow("wait 0 is no wait") << "123......" << "wait=0" << "123" << 1 << 0;
        // The run stops at the step and says which positions it takes.
        QTest::newRow("an invalid step is told") << "17......." << "" << "1" << 2 << 474;
    }
    void programRun()
    {
        QFETCH(QString, program);
        QFETCH(QString, how);
        QFETCH(QString, moves);
        QFETCH(int, message);
        QMap<QString, QString> option;
        for (const QString &o : how.split(u' ', Qt::SkipEmptyParts))
            option.insert(o.section(u'=', 0, 0), o.section(u'=', 1));
        const QString timer = option.value(QStringLiteral("wait"));
        const int stopAt = option.value(QStringLiteral("stop")).toInt();
        const int pauseAt = option.value(QStringLiteral("pause")).toInt();
        Run run;
        MainWindow &w = *run.w;
        for (int r = 1; r <= 9; ++r)
            w.flgdProgram->setStep(r, program.at(r - 1) == u'.' ? QString() : QString(program.at(r - 1)));
        w.optSelectMode[option.contains(QStringLiteral("step")) ? 1 : 0]->click();
        if (option.contains(QStringLiteral("repeat")))
            w.chkRepeat->click();
        if (option.contains(QStringLiteral("wait"))) {
            w.chkTimerUse->click();
            QTest::keyClicks(w.txtTimer, timer);
        }
        qint64 pausedAt = -1;
        run.onLine = [&](const QString &line) {
            if (stopAt && line.startsWith(QLatin1String("0MP")) && run.count("0MP") == stopAt)
                QTest::mouseClick(w.cmdStop, Qt::LeftButton);
            if (pauseAt && line == QLatin1String("0RS") && run.count("0RS") == pauseAt)
                QTimer::singleShot(100, &w, [&] {
                    pausedAt = run.clock.elapsed();
                    QTest::mouseClick(w.cmdTmpStop, Qt::LeftButton);
                });
        };
        qint64 ended = 0;
        for (int i = 0; i < option.value(QStringLiteral("clicks"), QStringLiteral("1")).toInt(); ++i) {
            QTest::mouseClick(w.cmdMove, Qt::LeftButton);
            if (i == 0)
                ended = run.clock.elapsed();
        }
        QVERIFY2(run.moves() == moves, qPrintable(run.moves() + u' ' + run.prompter.texts().join(u'|')));
        QTEST(run.move().mProgramRow, "row");
        QCOMPARE(run.prompter.texts(), message ? QStringList{LoadText(message)} : QStringList());
        QCOMPARE(w.lblkanryoNo->text(), QString(moves.back()));
        QVERIFY(run.everyMoveControlEnabled());
        if (pauseAt) {
            // The wait of 1.5 s ended at the click, long before its time.
            QVERIFY(pausedAt > 0);
            QVERIFY2(ended - pausedAt < 1500 * TimeScale() - 150, qPrintable(QString::number(ended - pausedAt)));
            // Between the moves of the resumed run the wait is kept.
            const QStringList lines = run.lines();
            for (int i = 1; i < lines.size(); ++i) {
                if (lines[i].startsWith(QLatin1String("0MP")) && lines[i - 1] == QLatin1String("0RS")
                    && run.stamps[i - 1] > ended)
                    QVERIFY2(run.stamps[i] - run.stamps[i - 1] >= 1500 * TimeScale() - 20,
                             qPrintable(QString::number(run.stamps[i] - run.stamps[i - 1])));
            }
        }
    }

    // Editing a step: only 1, 2 and 3 are taken; Enter keeps the box's
    // text, Escape the cell's; a click on another step with an empty box
    // empties the step and beeps.
    void programEditing_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("keys"); // "<" Backspace, "\n" Enter, "\x1b" Escape, "@" a click on step 7
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("beeps");
        QTest::newRow("2, Enter") << false << "2\n" << "2" << 0;
        QTest::newRow("4 is ignored") << false << "4" << "1" << 0;
        QTest::newRow("3 then 1: one character") << false << "31\n" << "3" << 0;
        QTest::newRow("Escape keeps the cell") << false << "3\x1b" << "1" << 0;
        QTest::newRow("double click, Backspace, Enter") << true << "<\n" << "" << 0;
        QTest::newRow("double click, letters ignored") << true << "<x2\n" << "2" << 0;
        QTest::newRow("empty box, another cell clicked") << true << "<@" << "" << 1;
        QTest::newRow("2, another cell clicked") << false << "2@" << "2" << 0;
    }
    void programEditing()
    {
        QFETCH(bool, doubleClick);
        QFETCH(QString, keys);
        QFETCH(QString, cell);
        QFETCH(int, beeps);
        ProgramGrid grid;
        grid.resize(200, 300);
        grid.show();
        QApplication::setActiveWindow(&grid);
        grid.cmdInp1toF_Click();
        QSignalSpy beeped(&grid, &ProgramGrid::beeped);
        const QPoint at = grid.visualRect(grid.model()->index(4, 1)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
        if (doubleClick)
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
        // The keys go to the edit box while it is open, else to the grid.
        const auto target = [&grid]() -> QWidget * {
            return grid.isEditing() ? static_cast<QWidget *>(grid.txtEdit2()) : &grid;
        };
        const QHash<QChar, Qt::Key> named{
            {u'<', Qt::Key_Backspace}, {u'\n', Qt::Key_Return}, {u'\x1b', Qt::Key_Escape}};
        for (QChar k : keys) {
            if (k == u'@')
                QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                                  grid.visualRect(grid.model()->index(7, 1)).center());
            else if (named.contains(k))
                QTest::keyClick(target(), named[k]);
            else
                QTest::keyClicks(target(), QString(k));
        }
        QCOMPARE(grid.step(4), cell);
        QCOMPARE(beeped.count(), beeps);
        QVERIFY(!grid.isEditing() && !grid.txtEdit2()->isVisible());
        QCOMPARE(grid.step(5), QStringLiteral("2"));
    }

    // The program belongs to the user: reading and writing the positions
    // and opening a file leave it as it is; Clear empties it. The wait box
    // takes up to three digits.
    void programSurvivesTransfersAndFiles()
    {
        Run run;
        MainWindow &w = *run.w;
        QTest::mouseClick(w.cmdInp1toF, Qt::LeftButton);
        w.flgdProgram->setStep(9, QString());
        w.optModeSelect[1]->click();
        run.prompter.answers({Answer::Yes, Answer::Ok});
        QTest::mouseClick(w.cmdGetfromCt, Qt::LeftButton);
        const QString file = QDir(TestScratchDir()).filePath(QStringLiteral("program.ktd"));
        run.dialogs.choose(file);
        w.mnuFileSaveAs->trigger();
        run.dialogs.choose(file);
        w.mnuFileOpen->trigger();
        QTest::mouseClick(w.cmdLoadtoCt, Qt::LeftButton);
        QVERIFY2(run.count("0WP") == 3, qPrintable(run.lines().join(u' ') + run.prompter.texts().join(u'|')));
        QStringList steps;
        for (int r = 1; r <= 9; ++r)
            steps << w.flgdProgram->step(r);
        QCOMPARE(steps, split("1 2 3 1 2 3 1 2") << QString());

        w.optModeSelect[0]->click();
        QTest::mouseClick(w.cmdDataClear, Qt::LeftButton);
        for (int r = 1; r <= 9; ++r)
            QCOMPARE(w.flgdProgram->step(r), QString());

        w.chkTimerUse->click();
        QTest::keyClicks(w.txtTimer, QStringLiteral("a1-2 3x4"));
        QCOMPARE(w.txtTimer->text(), QStringLiteral("123"));
    }
};

KTED_TEST_MAIN(TestMoves)
#include "tst_moves.moc"
