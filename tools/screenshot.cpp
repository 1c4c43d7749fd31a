// Takes pictures of the program's windows for the documentation: the main
// window as the start-up leaves it (offline path, the stored or the default
// model), the parameter window, the device selection dialog or the stroke
// calculator, saved as PNG. Not a test; run it under a display (e.g.
// xvfb-run).
//
//   kted_screenshot <out.png> <language: 1 = Japanese, 2 = English>
//                   [move]      (the main window in Move mode, selective panel)
//                   [param]     (the parameter window)
//                   [device]    (the device selection dialog)
//                   [calc]      (the stroke calculator with a result)
//                   [io]        (the I/O monitor, monitoring the simulated
//                                controller with some lamps lit)
//                   [options|about|sysinfo|help]  (the Options dialog, with
//                               a simulated controller as COM1; the About
//                               window; its system information; the manual)

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "link/commandset.h"
#include "link/commlogwindow.h"
#include "link/controllerlink.h"
#include "link/portprobe.h"
#include "operation/movestate.h"
#include "catalogue/devicedialog.h"
#include "catalogue/strokecalculator.h"
#include "parameters/parameterwindow.h"
#include "scriptedprompter.h"
#include "simulatedcontroller.h"
#include "testenv.h"
#include "ui/frmabout.h"
#include "ui/frmoptions2.h"
#include "ui/helpwindow.h"
#include "ui/frminputoutput.h"
#include "ui/lamp.h"
#include "ui/picturebox.h"
#include "link/controllerlink.h"
#include "operation/programgrid.h"
#include "ui/positionbutton.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    InitTestEnvironment();
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: kted_screenshot <out.png> <1|2> [move|param|io|device|calc|moving|run|options|log]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int language = QString::fromLocal8Bit(argv[2]).toInt();
    const bool moveMode = argc > 3 && QByteArray(argv[3]) == "move";
    const bool parameters = argc > 3 && QByteArray(argv[3]) == "param";
    const bool device = argc > 3 && QByteArray(argv[3]) == "device";
    const bool calculator = argc > 3 && QByteArray(argv[3]) == "calc";
    const bool ioMonitor = argc > 3 && QByteArray(argv[3]) == "io";
    const bool moving = argc > 3 && QByteArray(argv[3]) == "moving";
    const bool programRun = argc > 3 && QByteArray(argv[3]) == "run";
    SimulatedController sim;
    if ((moving || programRun) && sim.start())
        qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());
    if (ioMonitor && sim.start()) {
        qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());
        // Home switch made, position select 1 made, ready and output 1 on.
        sim.model().setIoByteOverride(105, 0xEF);
        sim.model().setIoByteOverride(106, 0xFE);
        sim.model().setIoByteOverride(107, 0x23);
    }
    const QByteArray shell = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    if ((shell == "options" || shell == "log") && sim.start())
        qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());

    SettingsStore store(TestScratchDir() + QStringLiteral("/shot.ini"));
    store.writeInt(SettingsKey::Language, language);
    store.sync();
    AppState state;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    Program program(state, store, prompter, dialogs, SourceDataDir());
    program.startUp().setShowSplash(false);
    program.startUp().hooks().choose = [](const QString &, const QString &, const QString &,
                                          const QString &) { return 1; };
    // The main window as the start-up leaves it, without waiting in the
    // device selection dialog.
    program.startUp().hooks().selectDevice = [](MainWindow &) {};
    MainWindow *window = &program.run();
    if (moveMode) {
        program.moveState().gLastPos = 2;
        program.moveState().lastOutputs = 2;
        window->optModeSelect[0]->click();
        window->optSelectMove[1]->click();
    }
    if (moving) {
        // A move to position 2 caught while its button is lit.
        sim.model().setFixedMoveMs(3000);
        window->optModeSelect[0]->click();
        window->optSelectMove[1]->click();
        bool saved = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!saved && program.link().state().gMoving
                && window->imgButton[2]->picture() == PositionButton::Picture::Current
                && sim.receivedLines().contains(QStringLiteral("0MP2"))) {
                QTest::qWait(50);
                saved = window->grab().save(out);
            }
        });
        watch.start(20);
        window->imgButton[2]->click();
        return saved ? 0 : 1;
    }
    if (programRun) {
        // After a continual run of "1 to 3" with a wait of 0.2 s.
        sim.model().setMoveTimeScale(0.02);
        window->optModeSelect[0]->click();
        window->cmdInp1toF->click();
        window->chkTimerUse->click();
        QTest::keyClicks(window->txtTimer, QStringLiteral("2"));
        window->cmdMove->click();
    }
    QWidget *shown = window;
    if (parameters) {
        program.ShowParameterWindow();
        shown = program.parameterWindow();
    }
    std::unique_ptr<QWidget> dialog;
    if (device) {
        dialog = std::make_unique<DeviceDialog>(state, prompter, SourceDataDir(), window);
    } else if (calculator) {
        auto *calc = new StrokeCalculator(1, 100000, window);
        dialog.reset(calc);
        calc->txtStrokeTyo->setText(QStringLiteral("100"));
        calc->txtRido->setText(QStringLiteral("6"));
        calc->cmdCulStrokePulse->click();
    }
    if (ioMonitor) {
        window->mnuShowState->trigger();
        frmInputOutput *io = program.ioMonitorWindow();
        io->cmdIoCheck->click();
        if (!QTest::qWaitFor([io] { return io->imgHomeLsLed->isLit(); }, 3000))
            std::fputs("the lamps did not light\n", stderr);
        io->imgOut1->setFocus();
        shown = io;
    }
    if (shell == "log") {
        // A parameter read (the mode switch and six blocks), then a read
        // that the controller does not answer.
        ControllerLink &link = program.link();
        link.OpenCommPort();
        link.SetCommMode();
        for (const char *block : {"00", "10", "11", "12", "13", "14"})
            link.Send(Ctl::ReadBlock(QString::fromLatin1(block)));
        sim.queueNoReply();
        link.Send(Ctl::ReadBlock(QStringLiteral("10")));
        window->mnuShowCommLog->trigger();
        shown = program.commLogWindow();
        shown->resize(720, 420);
    }
    if (shell == "options") {
        dialog = std::make_unique<frmOptions2>(state, store, program.options(),
                                               ProbePorts(program.link(), store), window);
    } else if (shell == "about") {
        dialog = std::make_unique<frmAbout>(state, store, prompter, window);
    } else if (shell == "sysinfo") {
        dialog = std::make_unique<frmSysInfo>(SystemInformationText(store), window);
    } else if (shell == "help") {
        window->helpFile = SourceDataDir() + QStringLiteral("/ktedhlp.html");
        program.ShowHelpContents();
        shown = program.helpWindow();
    }
    if (dialog) {
        dialog->show();
        shown = dialog.get();
    }
    QTest::qWait(300);
    if (!shown->grab().save(out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    for (const QString &t : prompter.texts())
        std::fprintf(stderr, "message shown: %s\n", qPrintable(t));
    return 0;
}
