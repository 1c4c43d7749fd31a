// How close the link comes to the wire. Complete operations run against the
// simulated controller paced at 9600 baud; for each, the measured time is
// divided by what the bytes need on the wire (10 bit times a character, both
// directions) plus the controller's own reply delay. The same operations
// then run with received bytes taken only on the 100 ms poll, as the
// original polling design did, for comparison.
//
// The simulated controller runs on a thread of its own, as a real one runs
// beside the program: whatever the program's window does on its thread
// (painting the communication log, say) then delays only the program's
// noticing of a reply, never the wire itself.
//
// --same-thread puts the simulated controller on the program's thread
// instead, the stricter case: there every delay of the window's thread
// delays the wire as well.
//
// With --log-window every operation runs again with the communication log
// recording every line into its window, and both figures are printed.
//
//   kted-bench-link [--runs N] [--delay MS] [--log-window] [--same-thread]

#include "app/filedialogs.h"
#include "app/prompter.h"
#include "benchlink.h"
#include "link/commandset.h"
#include "link/commlog.h"
#include "link/commlogmodel.h"
#include "link/commlogwindow.h"
#include "link/controllerlink.h"
#include "simulatedcontroller.h"
#include "text/stringtable.h"

#include <QCommandLineParser>
#include <QApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

struct Operation
{
    QString name;
    std::vector<Ctl::CommandLine> commands;
};

// Characters on the wire for one transaction: the command line and its
// reply, CR LF included in both.
int WireCharacters(const Ctl::CommandLine &c)
{
    return static_cast<int>(c.text().size()) + 2 + c.replyLength;
}

struct Figures
{
    double meanMs = 0;
    double minMs = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Link throughput against the simulated controller."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs of each operation."),
                                        QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption delayOption(QStringLiteral("delay"),
                                         QStringLiteral("The controller's reply delay in ms."),
                                         QStringLiteral("ms"), QStringLiteral("2"));
    const QCommandLineOption logOption(QStringLiteral("log-window"),
                                       QStringLiteral("Run again with the communication log window open."));
    const QCommandLineOption sameThreadOption(
        QStringLiteral("same-thread"), QStringLiteral("Run the simulated controller on the program's thread."));
    parser.addOptions({runsOption, delayOption, logOption, sameThreadOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const int delayMs = std::max(0, parser.value(delayOption).toInt());

    QTextStream out(stdout);
    SetLangOffset(10000);

    // The controller, its pseudo-terminal and its timers are made on the
    // wire's thread and live there.
    const bool sameThread = parser.isSet(sameThreadOption);
    const Qt::ConnectionType onWireCall = sameThread ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
    QThread wire;
    QObject onWire;
    if (!sameThread) {
        wire.start();
        onWire.moveToThread(&wire);
    }
    std::unique_ptr<SimulatedController> simulated;
    QString error;
    QMetaObject::invokeMethod(
        &onWire,
        [&] {
            simulated = std::make_unique<SimulatedController>();
            if (simulated->start(&error)) {
                simulated->setPacing(true);
                simulated->setReplyDelayMs(delayMs);
            } else {
                simulated.reset();
            }
        },
        onWireCall);
    const auto stopWire = qScopeGuard([&] {
        QMetaObject::invokeMethod(&onWire, [&] { simulated.reset(); }, onWireCall);
        wire.quit();
        wire.wait();
    });
    if (!simulated) {
        out << "cannot create a pseudo-terminal: " << error << Qt::endl;
        return 1;
    }
    SimulatedController &sim = *simulated;

    BenchLink bench(sim.devicePath(), true); // the port stays open between runs
    ControllerLink &link = bench.link;
    CountingPrompter &prompter = bench.prompter;
    if (link.OpenCommPort() != 0) {
        out << "cannot open " << sim.devicePath() << Qt::endl;
        return 1;
    }

    std::vector<Operation> operations;
    {
        Operation blocks{QStringLiteral("read six parameter blocks"), {}};
        blocks.commands.push_back(Ctl::CommMode(Ctl::CtMode::Communication));
        for (const char *b : {"00", "10", "11", "12", "13", "14"})
            blocks.commands.push_back(Ctl::ReadBlock(QString::fromLatin1(b)));
        operations.push_back(blocks);

        Operation positions{QStringLiteral("thirty 0RP reads"), {}};
        for (int i = 0; i < 30; ++i)
            positions.commands.push_back(Ctl::ReadPosition(1 + i % 3));
        operations.push_back(positions);
    }

    auto measure = [&](const Operation &op) -> Figures {
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer clock;
            clock.start();
            for (const Ctl::CommandLine &c : op.commands) {
                if (link.Send(c) != 0)
                    return Figures{-1, -1};
            }
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        Figures f;
        f.minMs = *std::min_element(times.begin(), times.end());
        for (double t : times)
            f.meanMs += t;
        f.meanMs /= static_cast<double>(times.size());
        return f;
    };

    CommLog log;
    CommLogModel model;
    NoDialogs dialogs;
    std::unique_ptr<CommLogWindow> window;
    const int passes = parser.isSet(logOption) ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        if (pass == 1) {
            QObject::connect(&log, &CommLog::entryRecorded, &model, &CommLogModel::append);
            link.attachLog(log);
            window = std::make_unique<CommLogWindow>(model, prompter, dialogs);
            window->show();
            out << "\nThe same with the communication log window open:\n";
        }
        out << "Link against the simulated controller (on "
            << (sameThread ? "the program's thread" : "a thread of its own") << "), 9600 baud, reply delay " << delayMs
            << " ms, " << runs << " runs each (mean; best in brackets)\n\n";
        out << qSetFieldWidth(28) << Qt::left << "operation" << qSetFieldWidth(6) << Qt::right
            << "lines" << qSetFieldWidth(10) << "wire ms" << qSetFieldWidth(12) << "on arrival"
            << qSetFieldWidth(16) << "ratio" << qSetFieldWidth(12) << "100 ms poll"
            << qSetFieldWidth(16) << "ratio" << qSetFieldWidth(0) << "\n";

        for (const Operation &op : operations) {
            double wireMs = 0;
            for (const Ctl::CommandLine &c : op.commands)
                wireMs += WireCharacters(c) * SimulatedController::kByteMs + delayMs;

            link.setReadOnPollOnly(false);
            const Figures arrival = measure(op);
            link.setReadOnPollOnly(true);
            const Figures polled = measure(op);
            link.setReadOnPollOnly(false);
            if (arrival.meanMs < 0 || polled.meanMs < 0) {
                out << op.name << ": a transaction failed: " << prompter.messages.join(QStringLiteral(" / "))
                    << Qt::endl;
                return 1;
            }
            auto ratio = [&](const Figures &f) {
                return QStringLiteral("%1 (%2)").arg(f.meanMs / wireMs, 0, 'f', 3).arg(f.minMs / wireMs, 0, 'f', 3);
            };
            out << qSetFieldWidth(28) << Qt::left << op.name << qSetFieldWidth(6) << Qt::right
                << op.commands.size() << qSetFieldWidth(10) << QString::number(wireMs, 'f', 1)
                << qSetFieldWidth(12) << QString::number(arrival.meanMs, 'f', 1) << qSetFieldWidth(16)
                << ratio(arrival) << qSetFieldWidth(12) << QString::number(polled.meanMs, 'f', 1)
                << qSetFieldWidth(16) << ratio(polled) << qSetFieldWidth(0) << "\n";
        }
    }
    out << "\nwire ms: characters of every command and reply x 10 bits / 9600 baud, plus the "
           "reply delay per line.\n";
    out.flush();
    link.CloseCommPort();
    return prompter.messages.isEmpty() ? 0 : 1;
}
