// Memory of the communication log on a monitor left running: the I/O
// monitor's reads ("0RB" 105, 106, 107 in turn) run against the simulated
// controller through the real link, every line recorded by the log and held
// by the window's model (and shown in the window with --window). The
// resident memory of the process is printed before the run and at points
// along it; once the log is full it must stay flat.
//
//   kted-bench-log [--transactions N] [--window]
//
// Build it without sanitizers (a Release build): their bookkeeping keeps
// freed memory on purpose and would hide what the log does.

#include "benchlink.h"
#include "app/filedialogs.h"
#include "app/prompter.h"
#include "link/commandset.h"
#include "link/commlog.h"
#include "link/commlogmodel.h"
#include "link/commlogwindow.h"
#include "link/controllerlink.h"
#include "simulatedcontroller.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>

namespace {

// Resident memory of this process in KiB (VmRSS), 0 where unknown.
long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Communication log memory on a long monitor run."));
    parser.addHelpOption();
    const QCommandLineOption countOption(QStringLiteral("transactions"),
                                         QStringLiteral("Transactions to run."), QStringLiteral("n"),
                                         QStringLiteral("100000"));
    const QCommandLineOption windowOption(QStringLiteral("window"),
                                          QStringLiteral("Show the log window during the run."));
    parser.addOptions({countOption, windowOption});
    parser.process(app);
    const int count = std::max(1, parser.value(countOption).toInt());

    QTextStream out(stdout);
    SetLangOffset(10000);

    SimulatedController sim;
    QString error;
    if (!sim.start(&error)) {
        out << "cannot create a pseudo-terminal: " << error << Qt::endl;
        return 1;
    }
    BenchLink bench(sim.devicePath(), true);
    ControllerLink &link = bench.link;
    CountingPrompter &prompter = bench.prompter;
    CommLog log;
    CommLogModel model;
    QObject::connect(&log, &CommLog::entryRecorded, &model, &CommLogModel::append);
    link.attachLog(log);
    NoDialogs dialogs;
    std::unique_ptr<CommLogWindow> window;
    if (parser.isSet(windowOption)) {
        window = std::make_unique<CommLogWindow>(model, prompter, dialogs);
        window->show();
    }
    if (link.OpenCommPort() != 0 || link.SetCommMode() != 0) {
        out << "cannot talk to " << sim.devicePath() << Qt::endl;
        return 1;
    }
    // The simulator keeps its own record of every line; a day-long run is
    // not what it is for.
    sim.clearReceived();
    sim.clearSent();

    out << "Communication log, " << count << " monitor transactions (0RB 105/106/107), log window "
        << (window ? "open" : "closed") << ", model capacity " << model.capacity() << " lines\n\n";
    out << qSetFieldWidth(14) << Qt::right << "transactions" << qSetFieldWidth(12) << "log lines"
        << qSetFieldWidth(14) << "resident KiB" << qSetFieldWidth(12) << "seconds"
        << qSetFieldWidth(0) << "\n";
    const long before = ResidentKiB();
    out << qSetFieldWidth(14) << 0 << qSetFieldWidth(12) << model.rowCount() << qSetFieldWidth(14)
        << before << qSetFieldWidth(12) << "0.0" << qSetFieldWidth(0) << Qt::endl;

    QElapsedTimer clock;
    clock.start();
    const int addresses[3] = {Ctl::kIoByteHomeLimit, Ctl::kIoByteSelect, Ctl::kIoByteOutputs};
    long atFull = 0;
    int nextReport = 1000;
    for (int i = 1; i <= count; ++i) {
        if (link.Send(Ctl::ReadIoByte(addresses[i % 3])) != 0) {
            out << "transaction " << i << " failed: " << prompter.messages.join(QStringLiteral(" / "))
                << Qt::endl;
            return 1;
        }
        if (i % 1000 == 0) {
            sim.clearReceived();
            sim.clearSent();
        }
        if (i == nextReport || i == count) {
            const long rss = ResidentKiB();
            if (atFull == 0 && model.rowCount() >= model.capacity() * 9 / 10 && i >= 10000)
                atFull = rss;
            out << qSetFieldWidth(14) << i << qSetFieldWidth(12) << model.rowCount()
                << qSetFieldWidth(14) << rss << qSetFieldWidth(12)
                << QString::number(clock.elapsed() / 1000.0, 'f', 1) << qSetFieldWidth(0) << Qt::endl;
            nextReport = nextReport < 10000 ? nextReport * 10 : nextReport + 10000;
        }
    }
    const long after = ResidentKiB();
    out << "\nresident memory: " << before << " KiB before, " << after << " KiB after " << count
        << " transactions (" << (after - before) << " KiB more)";
    if (atFull > 0)
        out << "; from 10 000 transactions on, with the log full: " << (after - atFull) << " KiB more";
    else
        out << "; the run was too short to fill the log";
    out << "\n";
    link.CloseCommPort();
    return 0;
}
