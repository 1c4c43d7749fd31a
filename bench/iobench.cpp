// How the I/O monitor keeps pace with the controller. The monitor window
// runs against the simulated controller (kted-sim, a process of its own
// beside this one, so that the two do not share an event loop) paced at
// 9600 baud:
//  - each cycle's time (from "0CM1" leaving the program to the last byte of
//    the "0RB107" reply) against what its four exchanges need on the wire
//    (10 bit times a character, both directions) plus the controller's
//    reply delays, and the time between the starts of two cycles;
//  - the program's own share of a cycle: from each reply's last byte to the
//    next command leaving the program;
//  - the time from a change of the home switch on the controller (typed
//    on kted-sim's standard input) to the lamp on the window, over changes
//    made at random moments.
//
//   QT_QPA_PLATFORM=offscreen kted-bench-io [--seconds S] [--changes N] [--delay MS]

#include "app/prompter.h"
#include "benchlink.h"
#include "link/controllerlink.h"
#include "simulatedcontroller.h"
#include <QProcess>
#include "text/stringtable.h"
#include "ui/frminputoutput.h"
#include "ui/lamp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

struct Summary
{
    double mean = 0;
    double min = 0;
    double max = 0;
};

Summary Summarise(const std::vector<double> &v)
{
    Summary s;
    if (v.empty())
        return s;
    s.min = *std::min_element(v.begin(), v.end());
    s.max = *std::max_element(v.begin(), v.end());
    for (double x : v)
        s.mean += x;
    s.mean /= static_cast<double>(v.size());
    return s;
}

QString Line(const QString &what, const Summary &s, int decimals = 1)
{
    return QStringLiteral("%1 mean %2, min %3, max %4")
        .arg(what)
        .arg(s.mean, 0, 'f', decimals)
        .arg(s.min, 0, 'f', decimals)
        .arg(s.max, 0, 'f', decimals);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("I/O monitor against the simulated controller."));
    parser.addHelpOption();
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Monitoring time for the cycle figures."),
                                           QStringLiteral("s"), QStringLiteral("10"));
    const QCommandLineOption changesOption(QStringLiteral("changes"), QStringLiteral("Input changes for the lamp figures."),
                                           QStringLiteral("n"), QStringLiteral("40"));
    const QCommandLineOption delayOption(QStringLiteral("delay"), QStringLiteral("The controller's reply delay in ms."),
                                         QStringLiteral("ms"), QStringLiteral("2"));
    parser.addOptions({secondsOption, changesOption, delayOption});
    parser.process(app);
    const int seconds = std::max(1, parser.value(secondsOption).toInt());
    const int changes = std::max(1, parser.value(changesOption).toInt());
    const int delayMs = std::max(0, parser.value(delayOption).toInt());

    QTextStream out(stdout);
    SetLangOffset(10000);

    QProcess sim;
    sim.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kted-sim")));
    sim.setArguments({QStringLiteral("--pace"), QStringLiteral("--delay"), QString::number(delayMs)});
    sim.start();
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        out << "cannot start " << sim.program() << Qt::endl;
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    auto tellSim = [&sim](const char *line) {
        sim.write(line);
        sim.write("\n");
    };

    BenchLink bench(device, false);
    ControllerLink &link = bench.link;
    CountingPrompter &prompter = bench.prompter;
    frmInputOutput window(link);
    window.show();

    // The cycle as the program sees it on its port.
    QElapsedTimer clock;
    clock.start();
    std::vector<double> cycleStarts;
    std::vector<double> cycleTimes;
    std::vector<double> ownTimes;
    double own = 0;
    double replyDoneAt = -1;
    QByteArray lastSent;
    QByteArray received;
    QObject::connect(&link.port(), &CommPort::bytesSent, &app, [&](const QByteArray &bytes) {
        const double now = clock.nsecsElapsed() / 1e6;
        lastSent = bytes;
        if (bytes.startsWith("0CM1")) {
            cycleStarts.push_back(now);
            own = 0;
        } else if (replyDoneAt >= 0) {
            own += now - replyDoneAt;
        }
        replyDoneAt = -1;
    });
    QObject::connect(&link.port(), &CommPort::bytesReceived, &app, [&](const QByteArray &bytes) {
        received += bytes;
        if (!received.contains('\n'))
            return;
        const double now = clock.nsecsElapsed() / 1e6;
        replyDoneAt = now;
        if (received.startsWith("0RB107") && lastSent.startsWith("0RB107") && !cycleStarts.empty()) {
            cycleTimes.push_back(now - cycleStarts.back());
            ownTimes.push_back(own);
        }
        received.clear();
    });

    window.cmdIoCheck->click();
    QTest::qWait(seconds * 1000);
    const double monitoredMs = clock.nsecsElapsed() / 1e6 - cycleStarts.front();
    const int monitoredCycles = static_cast<int>(cycleTimes.size());

    // Four exchanges: "0CM1" and its echo, three "0RB10n" and their
    // ten-character replies, CR LF everywhere.
    const int wireChars = (6 + 6) + 3 * (8 + 10);
    const double wireMs = wireChars * SimulatedController::kByteMs + 4 * delayMs;
    // Input changes at random moments, each waited for on the lamp.
    std::vector<double> latencies;
    int missed = 0;
    bool made = false;
    for (int i = 0; i < changes && prompter.messages.isEmpty(); ++i) {
        QTest::qWait(static_cast<int>(QRandomGenerator::global()->bounded(100, 400)));
        made = !made;
        const double changedAt = clock.nsecsElapsed() / 1e6;
        tellSim(made ? "input home on" : "input home off");
        if (QTest::qWaitFor([&] { return window.imgHomeLsLed->isLit() == made; }, 2000))
            latencies.push_back(clock.nsecsElapsed() / 1e6 - changedAt);
        else
            ++missed;
    }
    window.cmdIoCheck->click();
    QTest::qWait(700);
    tellSim("quit");
    sim.waitForFinished(3000);

    std::vector<double> ratios;
    for (double t : cycleTimes)
        ratios.push_back(t / wireMs);
    std::vector<double> periods;
    for (size_t i = 1; i < cycleStarts.size(); ++i)
        periods.push_back(cycleStarts[i] - cycleStarts[i - 1]);

    // The cycle figures cover the input changes too.
    const int cycles = static_cast<int>(cycleTimes.size());
    const Summary cycle = Summarise(cycleTimes);
    const Summary ratio = Summarise(ratios);
    const Summary period = Summarise(periods);
    const Summary ownTime = Summarise(ownTimes);
    const Summary lamp = Summarise(latencies);
    out << "I/O monitor against the simulated controller, 9600 baud, reply delay " << delayMs << " ms\n\n";
    out << "cycles: " << monitoredCycles << " in " << QString::number(monitoredMs / 1000.0, 'f', 2)
        << " s of monitoring = " << QString::number(monitoredCycles / (monitoredMs / 1000.0), 'f', 2)
        << " cycles/s; " << cycles << " cycles in all\n";
    out << "wire time of one cycle (" << wireChars << " characters + 4 reply delays): "
        << QString::number(wireMs, 'f', 1) << " ms\n";
    out << Line(QStringLiteral("cycle time, ms:          "), cycle) << "\n";
    out << Line(QStringLiteral("cycle time / wire time:  "), ratio, 3) << "\n";
    out << Line(QStringLiteral("program's share, ms:     "), ownTime, 2) << "\n";
    out << Line(QStringLiteral("start to start, ms:      "), period) << "\n";
    out << Line(QStringLiteral("home switch to lamp, ms: "), lamp) << " over " << latencies.size()
        << " changes, " << missed << " not shown within 2 s\n";
    for (const QString &m : prompter.messages)
        out << "message: " << m << "\n";
    out << "goal: cycle time <= 1.05 x wire time + reply delays = "
        << QString::number(1.05 * (wireMs - 4 * delayMs) + 4 * delayMs, 'f', 1) << " ms; "
        << std::count_if(cycleTimes.begin(), cycleTimes.end(),
                         [&](double t) { return t > 1.05 * (wireMs - 4 * delayMs) + 4 * delayMs; })
        << " of " << cycles << " cycles over it\n";
    out.flush();
    return prompter.messages.isEmpty() && missed == 0 ? 0 : 1;
}
