// The whole program against the simulated controller: start-up, editing,
// transfers, files and closing, driven through the main window's own
// controls, with the user's answers in script.

#include "../ui/modaldriver.h"
#include "app/appstate.h"
#include "app/settingsstore.h"
#include "link/commlogfile.h"
#include "link/commlogmodel.h"
#include "link/commlogwindow.h"
#include "catalogue/devicedialog.h"
#include "link/controllerlink.h"
#include "parameters/parameterwindow.h"
#include "position/positiongrid.h"
#include "simcontroller.h"
#include "scriptedprompter.h"
#include "simulatedcontroller.h"
#include "testenv.h"
#include "text/stringtable.h"
#include "ui/lamp.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

#include <memory>

namespace {

using Answer = Prompter::Answer;
using Col = PositionGrid::Column;

// One run of the program: a fresh settings store, the simulated controller
// as COM1, and the main window after the start-up choice.
struct Run
{
    explicit Run(int language, int choice)
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear();
        store = std::make_unique<SettingsStore>();
        store->writeInt(SettingsKey::Language, language);
        started = sim.start();
        qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());
        program = std::make_unique<Program>(state, *store, prompter, dialogs, SourceDataDir());
        program->startUp().setShowSplash(false);
        program->startUp().hooks().choose = [choice](const QString &, const QString &, const QString &,
                                                     const QString &) { return choice; };
    }

    // The offline start-up (chosen, or after a failed controller read) ends
    // in the device selection dialog: the user confirms the model shown.
    MainWindow &start()
    {
        ModalDriver driver;
        driver.then("DeviceDialog", [this](QWidget *d) {
            deviceDialogShown = true;
            static_cast<DeviceDialog *>(d)->cmdDeviceSet->click();
        });
        MainWindow &w = program->run();
        QApplication::setActiveWindow(&w);
        return w;
    }

    QString file(const QString &name) const { return QDir(TestScratchDir()).filePath(name); }

    // As the user types into a cell of the position table.
    void type(int row, int column, const QString &text)
    {
        PositionGrid &grid = *program->window()->flgdData;
        grid.setCurrentCell(row, column);
        QTest::keyClicks(&grid, text.left(1));
        QTest::keyClicks(grid.txtEdit(), text.mid(1));
        QTest::keyClick(grid.txtEdit(), Qt::Key_Return);
    }

    // As the user types Japanese: the input method commits the text.
    void typeComposed(int row, int column, const QString &text)
    {
        PositionGrid &grid = *program->window()->flgdData;
        grid.setCurrentCell(row, column);
        QInputMethodEvent composed;
        composed.setCommitString(text);
        QApplication::sendEvent(&grid, &composed);
        QTest::keyClick(grid.txtEdit(), Qt::Key_Return);
    }

    QString cell(int row, int column) const
    {
        return program->window()->flgdData->cellText(row, column).trimmed();
    }

    AppState state;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    SimulatedController sim;
    bool started = false;
    bool deviceDialogShown = false;
    std::unique_ptr<Program> program;
};

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    // The start-up takes the model from the controller; after a failed read,
    // or with a stored model the catalogue does not list, it ends in the
    // device selection dialog, whose choice is stored. Only the read talks
    // to the controller, and the port is released afterwards. The
    // communication log holds the exchange from its first line, and writes
    // the same lines to its file when the setting asks for it.
    void startUp_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("controller");
        QTest::addColumn<QStringList>("before"); // key=value, stored by an earlier run
        QTest::addColumn<int>("told");           // 0: nothing, 1: the failed read, 2: the stored model refused
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("controller's model replaces a stored RW")
            << 0 << true << QStringList{"Device=RW", "DevSize= 35", "DevSpeed=H"} << 0 << false
            << QStringList{"Device=KT", "DevSize= 28", "NewType=1"} << QStringList{"0CM1", "0RD14"};
        QTest::newRow("no controller") << 0 << false << QStringList() << 1 << true << QStringList()
                                       << QStringList();
        QTest::newRow("offline, stroke not listed") << 1 << true << QStringList{"DevStroke=650"} << 2 << true
                                                    << QStringList{"DevStroke=100"} << QStringList();
    }

    void startUp()
    {
        QFETCH(int, choice);
        QFETCH(int, told);
        QFETCH(QStringList, after);
        Run run(2, choice);
        QVERIFY(run.started);
        QFETCH(bool, controller);
        // Else COM1 names a device that does not exist (a freed terminal
        // number could be handed to another test program running beside
        // this one).
        if (!controller)
            qputenv("KTED_COM1", run.file("no-such-device").toLocal8Bit());
        QFETCH(QStringList, before);
        for (const QString &entry : before)
            run.store->writeText(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        QFile::remove(CommLogFile::DefaultPath());
        run.program->setCommLogToFile(true);
        MainWindow &w = run.start();

        const QStringList messages[] = {{}, {LoadText(374)},
                                        {JoinTexts({441, 571}) + QStringLiteral("\n\n") + LoadText(803)}};
        QCOMPARE(run.prompter.texts(), messages[told]);
        QTEST(run.deviceDialogShown, "dialog");
        for (const QString &entry : after)
            QCOMPARE(run.store->readText(entry.section(u'=', 0, 0), QString()), entry.section(u'=', 1));
        QCOMPARE(w.lblDeviceType->text(), QStringLiteral("KT- 28L-100"));
        QCOMPARE(run.state.gMaxPulse, 20000);
        QCOMPARE(w.sbPanel[2]->text(), QStringLiteral("1mm = 200Pulse"));
        QTEST(run.sim.receivedLines().mid(0, 2), "sent");
        QVERIFY(!run.program->link().isPortOpen());
        QVERIFY(!w.imgPortGreen->isLit());

        const CommLogModel &log = run.program->commLogModel();
        QStringList sent, received;
        for (int r = 0; r < log.rowCount(); ++r) {
            const CommLogEntry &e = log.entry(r);
            if (e.direction == CommLogEntry::Direction::Sent)
                sent << e.text.chopped(8); // without <CR><LF>
            else if (e.direction == CommLogEntry::Direction::Received)
                received << e.text.chopped(8);
        }
        QCOMPARE(sent, run.sim.receivedLines());
        QCOMPARE(received, run.sim.sentLines());
        QCOMPARE(QString::fromUtf8(FileBytes(CommLogFile::DefaultPath())), log.text());
    }

    // "Change": a choice the catalogue does not list is refused at OK, and
    // Cancel after browsing RW keeps all; a valid choice changes the model,
    // its settings, the label, the pulse scale and the mm column. On the new
    // model 0.010 mm is half a pulse: the editor snaps it as the stored
    // rounding choice says, then as the rounding buttons say, and the stored
    // choice stays as it was.
    // A model that the parameter window takes from the controller is the
    // model of the next start: it is in the settings at once. Closed, the
    // parameter window keeps its values. Closing the main window asks about
    // changed parameters and then about an unsaved table; a Cancel, or a
    // save of a table not yet complete, keeps it open. The main window's
    // close takes the parameter and communication log windows along, and
    // the port and language are stored.
    void modelChangesAndClosing()
    {
        Run run(2, 1);
        run.store->writeInt(SettingsKey::MmRoundUp, 0);
        run.sim.model().setBlock(QStringLiteral("14"), QStringLiteral("2345003200FFFFFF"));
        MainWindow &w = run.start();
        run.type(1, Col::ColMm, "1");
        run.prompter.clear();
        const auto seen = [&] {
            return QStringList{w.lblDeviceType->text(), w.sbPanel[2]->text(), run.cell(1, Col::ColMm),
                               run.store->readText(SettingsKey::Device, ""), run.state.gDevFamily,
                               QString::number(run.state.gDevStroke), QString::number(run.state.gDevLead),
                               QString::number(run.state.gIsNewType)};
        };
        const QStringList before = seen();
        QCOMPARE(before.mid(0, 4), (QStringList{"KT- 28L-100", "1mm = 200Pulse", "1.000", "KT"}));

        bool stayedOpen = false;
        const auto change = [&](const QString &how) {
            ModalDriver driver;
            driver.then("DeviceDialog", [&](QWidget *modal) {
                auto *d = static_cast<DeviceDialog *>(modal);
                const auto choose = [](QComboBox *c, const QString &text) {
                    c->setCurrentIndex(c->findText(text));
                    emit c->activated(c->currentIndex());
                };
                if (how == QLatin1String("unlisted")) {
                    d->comboDeviceStroke->setEditText(QStringLiteral("999"));
                    d->cmdDeviceSet->click();
                    stayedOpen = d->isVisible();
                    d->cmdDeviceCancel->click();
                    return;
                }
                d->optKtSelect[1]->click();
                if (how == QLatin1String("cancel")) {
                    d->cmdDeviceCancel->click();
                    return;
                }
                choose(d->comboDeviceSize, QStringLiteral(" 35"));
                choose(d->comboDeviceSpeed, QStringLiteral("H"));
                choose(d->comboDeviceStroke, QStringLiteral("200"));
                d->cmdDeviceSet->click();
            });
            QTest::mouseClick(w.cmdChangeDev, Qt::LeftButton);
            return driver.done() && w.cmdChangeDev->isEnabled();
        };
        QVERIFY(change("unlisted"));
        QVERIFY(stayedOpen);
        QCOMPARE(run.prompter.texts(), QStringList{JoinTexts({441, 442})});
        QCOMPARE(seen(), before);
        QVERIFY(change("cancel"));
        QCOMPARE(seen(), before);
        QVERIFY(change("ok"));
        QCOMPARE(seen().mid(0, 5), (QStringList{"RW- 35H-200 ", "1mm = 50Pulse", "4.000", "RW", "RW"}));
        QCOMPARE(run.prompter.texts().size(), 1);

        for (const bool up : {false, true, false}) {
            if (up != w.optSutiSyori[0]->isChecked())
                QTest::mouseClick(w.optSutiSyori[up ? 0 : 1], Qt::LeftButton, {}, QPoint(5, 5));
            run.type(1, Col::ColMm, QStringLiteral("0.010"));
            QCOMPARE(run.cell(1, Col::ColMm), up ? QStringLiteral("0.020") : QStringLiteral("0.000"));
        }
        QCOMPARE(run.store->readInt(SettingsKey::MmRoundUp, -1), 0);

        w.mnuShowParameta->trigger();
        QPointer<ParameterWindow> p = run.program->parameterWindow();
        QCOMPARE(p->windowTitle(), LoadText(51));
        run.prompter.clear();
        run.prompter.answer(Answer::Ok); // take the controller's setting
        p->cmdParaRead->click();
        QCOMPARE(run.prompter.texts(), QStringList{JoinTexts({592, 593})});
        // Read back through a store of its own, as the next start reads it.
        const SettingsStore next;
        QCOMPARE(next.readText(SettingsKey::DevSize, QString()), QStringLiteral("E35"));
        QCOMPARE(next.readInt(SettingsKey::DevStroke, 0), 50);

        p->txtJog1->selectAll();
        QTest::keyClicks(p->txtJog1, QStringLiteral("12"));
        QVERIFY(p->close());
        QTest::qWait(10);
        w.mnuShowParameta->trigger();
        QCOMPARE(run.program->parameterWindow(), p.get());
        QCOMPARE(p->txtJog1->text(), QStringLiteral("12"));
        w.mnuShowCommLog->trigger();
        QPointer<CommLogWindow> log = run.program->commLogWindow();
        QVERIFY(log && log->isVisible());
        QCOMPARE(log->windowTitle(), QStringLiteral("Communication Log"));
        run.type(1, Col::ColVel, "4");

        run.prompter.clear();
        run.prompter.answers({Answer::Cancel});
        QVERIFY(!w.close());
        run.prompter.answers({Answer::No, Answer::Yes});
        QVERIFY(!w.close());
        QVERIFY(w.isVisible() && p->isVisible());
        run.prompter.answers({Answer::No, Answer::No});
        QVERIFY(w.close());
        const QString parameters = LoadText(429), table = LoadText(481) + QStringLiteral(" ") + LoadText(482);
        QCOMPARE(run.prompter.texts(),
                 (QStringList{parameters, parameters, table, JoinTexts({459, 460}), parameters, table}));
        QCOMPARE(run.prompter.unansweredCount(), 0);
        QTest::qWait(10);
        QVERIFY(!p || !p->isVisible());
        QVERIFY(!log || !log->isVisible());
        QCOMPARE(run.store->readInt(SettingsKey::PortNo, 0), 1);
        QCOMPARE(run.store->readInt(SettingsKey::Language, 0), 2);
    }


    // A position's output value has no column: a table read from the
    // controller keeps it, so it verifies and goes back unchanged; a file
    // holds none, so the file verification leaves it out and a table opened
    // from a file sends 0. The table the user types then goes to the
    // controller and verifies there; saved, opened into a new table and
    // saved again it gives the same file byte for byte.
    void tablesBetweenTheControllerTheUserAndFiles()
    {
        Run run(1, 1);
        MainWindow &w = run.start();
        SimController &ct = run.sim.model();
        ct.setPosition(1, {5, 2, 3, 2, 1000});
        ct.setPosition(2, {9, 1, 1, 2, 2000});
        ct.setPosition(3, {1, 3, 0, 2, 3000});
        const auto load = [&] {
            run.sim.clearReceived();
            run.prompter.answer(Answer::Ok);
            QTest::mouseClick(w.cmdLoadtoCt, Qt::LeftButton);
            if (run.prompter.pendingAnswers() != 0)
                return QStringList{QStringLiteral("answer left over")};
            return run.sim.receivedLines().filter(QStringLiteral("0WP"));
        };
        const auto verified = [&](QAction *entry) {
            run.prompter.clear();
            entry->trigger();
            return run.prompter.texts().size() == 1 && run.prompter.lastText().endsWith(LoadText(410));
        };

        run.sim.clearReceived();
        run.prompter.answer(Answer::Yes);
        QTest::mouseClick(w.cmdGetfromCt, Qt::LeftButton);
        // Communication mode before anything is read.
        QCOMPARE(run.sim.receivedLines().mid(0, 5), (QStringList{"0CM1", "0RD14", "0RD13", "0RD11", "0CM1"}));
        QCOMPARE(run.cell(1, Col::ColMm), QStringLiteral("5.000"));
        QVERIFY(verified(w.mnuFileShogoCt));
        const QString path = run.file("outputs.ktd");
        run.dialogs.choose(path);
        w.mnuFileSaveAs->trigger();
        run.dialogs.choose(path);
        QVERIFY(verified(w.mnuFileShogoFile));
        QCOMPARE(load(), (QStringList{"0WP152320003E8", "0WP291120007D0", "0WP31302000BB8"}));
        QCOMPARE(ct.position(1).out, 3);
        // Opened from the file: output 0 goes to the controller.
        run.dialogs.choose(path);
        w.mnuFileOpen->trigger();
        QCOMPARE(load().value(0), QStringLiteral("0WP152020003E8"));
        QCOMPARE(ct.position(1).out, 0);

        const QStringList vel{"5", "9", "1"};
        const QStringList acc{"3", "1", "2"};
        const QStringList mm{"12.5", "50", "100"};
        for (int p = 1; p <= 3; ++p) {
            run.type(p, Col::ColVel, vel[p - 1]);
            run.type(p, Col::ColAcc, acc[p - 1]);
            run.type(p, Col::ColMm, mm[p - 1]);
        }
        run.typeComposed(1, Col::ColComment, QStringLiteral("原点側ｽﾄｯﾊﾟ"));
        QCOMPARE(run.cell(1, Col::ColMm), QStringLiteral("12.500"));
        QCOMPARE(load(), (QStringList{"0WP153020009C4", "0WP29102002710", "0WP31202004E20"}));
        QCOMPARE(run.prompter.lastText(), LoadText(466));
        QVERIFY(w.cmdLoadtoCt->isEnabled());
        QVERIFY(!w.gBusy);
        QVERIFY(verified(w.mnuFileShogoCt));

        const QString first = run.file("table.ktd");
        run.dialogs.choose(first);
        w.mnuFileSaveAs->trigger();
        const QByteArray saved = FileBytes(first);
        QVERIFY2(!saved.isEmpty(), qPrintable(run.prompter.texts().join(" | ")));
        QVERIFY(saved.contains("\r\n"));
        QCOMPARE(w.lblFileName->text(), QStringLiteral("table"));
        w.mnuFileNew->trigger();
        QCOMPARE(run.cell(1, Col::ColVel), QString());
        run.dialogs.choose(first);
        w.mnuFileOpen->trigger();
        QCOMPARE(run.cell(1, Col::ColComment), QStringLiteral("原点側ｽﾄｯﾊﾟ"));
        const QString second = run.file("again.ktd");
        run.dialogs.choose(second);
        w.mnuFileSaveAs->trigger();
        QCOMPARE(FileBytes(second), saved);
        QCOMPARE(run.prompter.unansweredCount(), 0);

        // The adapter is pulled while the table is read: the user is told,
        // the port is closed and the window works on.
        run.sim.queueAnswer(); // 0CM1
        run.sim.queuePull();   // the first read of a position
        run.prompter.clear();
        run.prompter.answer(Answer::No); // read over the table
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(w.cmdGetfromCt, Qt::LeftButton);
        QVERIFY(t.elapsed() < 10000);
        QVERIFY(!run.program->link().isPortOpen());
        QVERIFY(!w.gBusy);
        QVERIFY(w.cmdGetfromCt->isEnabled());
        QCOMPARE(run.prompter.texts().mid(0, 1), QStringList{LoadText(446)});
        QCOMPARE(run.prompter.texts().size(), 2);
        QVERIFY(run.prompter.lastText().startsWith(LoadText(620)));
        QVERIFY(run.prompter.lastText().endsWith(LoadText(621)));
    }
};

KTED_TEST_MAIN(TestProgram)
#include "tst_program.moc"
