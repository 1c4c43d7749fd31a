// How close a continual run comes to the actuator and the wire. The move
// program 1, 2, 3, 1, 2, 3, 1, 2, 3 runs against the simulated controller
// paced at 9600 baud; the run's time is divided by what it cannot avoid: the
// simulated controller's own time for every move plus the wire time of every
// line of the run (10 bit times a character, commands and replies, CR LF
// included).
//
//   kted-bench-move [--runs N] [--move-scale F]

#include "benchlink.h"
#include "app/prompter.h"
#include "link/controllerlink.h"
#include "operation/moveexecution.h"
#include "operation/movestate.h"
#include "simulatedcontroller.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

// The run's settings and program, nothing shown.
class BenchPanel : public MovePanel
{
public:
    void setButtonPicture(int, Picture) override {}
    void setHomeLamp(bool) override {}
    void setOutputLamps(bool, bool) override {}
    void setCompletedPosition(const QString &) override {}
    void setSelectiveControlsEnabled(bool) override {}
    void setMoveControlsEnabled(bool) override {}
    void setMenusLocked(bool) override {}
    void setBusy(bool) override {}
    void focusHolder() override {}
    RunSettings runSettings() const override { return RunSettings{}; }
    QString programStep(int row) const override { return QString::number((row - 1) % 3 + 1); }
};

int WireCharacters(const QStringList &lines)
{
    int n = 0;
    for (const QString &line : lines)
        n += static_cast<int>(line.size()) + 2;
    return n;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Continual run against the paced simulated controller."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs of the program."),
                                        QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption scaleOption(QStringLiteral("move-scale"),
                                         QStringLiteral("Multiply the simulated move times."),
                                         QStringLiteral("f"), QStringLiteral("0.25"));
    parser.addOptions({runsOption, scaleOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const double moveScale = std::max(0.0, parser.value(scaleOption).toDouble());

    QTextStream out(stdout);
    SetLangOffset(10000);

    SimulatedController sim;
    QString error;
    if (!sim.start(&error)) {
        out << "cannot create a pseudo-terminal: " << error << Qt::endl;
        return 1;
    }
    sim.setPacing(true);
    sim.model().setMoveTimeScale(moveScale);

    BenchLink bench(sim.devicePath(), false);
    ControllerLink &link = bench.link;
    CountingPrompter &prompter = bench.prompter;
    MoveState moveState;
    BenchPanel panel;
    MoveExecution moves(moveState, link, prompter, panel);

    double moveMs = 0;
    QObject::connect(&sim, &SimulatedController::lineReceived, &app, [&](const QString &line) {
        // Seen before the controller acts on it: the time from where it is.
        if (line.startsWith(QLatin1String("0MP")))
            moveMs += sim.model().moveDurationMs(line.mid(3).toInt());
    });

    out << "Continual run of nine moves (1, 2, 3 three times), 9600 baud, simulated moves x"
        << moveScale << "\n\n";
    out << qSetFieldWidth(5) << "run" << qSetFieldWidth(8) << "lines" << qSetFieldWidth(12) << "moves ms"
        << qSetFieldWidth(10) << "wire ms" << qSetFieldWidth(10) << "run ms" << qSetFieldWidth(8) << "ratio"
        << qSetFieldWidth(0) << "\n";
    std::vector<double> ratios;
    for (int r = 1; r <= runs; ++r) {
        sim.clearReceived();
        const qsizetype sentBefore = sim.sentLines().size();
        moveMs = 0;
        QElapsedTimer clock;
        clock.start();
        moves.ContinualMove();
        const double runMs = clock.nsecsElapsed() / 1e6;
        const QStringList sent = sim.sentLines().mid(sentBefore);
        const double wireMs = (WireCharacters(sim.receivedLines()) + WireCharacters(sent)) * SimulatedController::kByteMs;
        if (!prompter.messages.isEmpty()) {
            out << "the run failed: " << prompter.messages.join(QStringLiteral(" / ")) << Qt::endl;
            return 1;
        }
        const double ratio = runMs / (moveMs + wireMs);
        ratios.push_back(ratio);
        out << qSetFieldWidth(5) << r << qSetFieldWidth(8) << sim.receivedLines().size() << qSetFieldWidth(12)
            << QString::number(moveMs, 'f', 0) << qSetFieldWidth(10) << QString::number(wireMs, 'f', 1)
            << qSetFieldWidth(10) << QString::number(runMs, 'f', 1) << qSetFieldWidth(8)
            << QString::number(ratio, 'f', 4) << qSetFieldWidth(0) << "\n";
    }
    double mean = 0;
    for (double v : ratios)
        mean += v;
    mean /= static_cast<double>(ratios.size());
    out << "\nmean ratio " << QString::number(mean, 'f', 4) << ", worst "
        << QString::number(*std::max_element(ratios.begin(), ratios.end()), 'f', 4)
        << " (run time / (simulated move times + wire time of every line))\n";
    return 0;
}
