// How long the Options dialog takes to open: the ports 1 to 16 are probed
// (each opened and closed at once) and the dialog is built and shown. Every
// port is a pseudo-terminal with a simulated controller behind it, so all
// sixteen open; port 1 is held open by the link in the second series, as
// with "Occupy the communication port" checked.
//
//   kted-bench-options [--runs N]

#include "app/appoptions.h"
#include "app/appstate.h"
#include "app/settingsstore.h"
#include "countingprompter.h"
#include "link/controllerlink.h"
#include "link/portprobe.h"
#include "simulatedcontroller.h"
#include "ui/frmoptions2.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Series
{
    std::vector<double> ms;
    int listed = 0;
};

Series measure(ControllerLink &link, AppState &state, SettingsStore &store, int runs)
{
    Series s;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        AppOptions options;
        frmOptions2 dialog(state, store, options, ProbePorts(link, store));
        dialog.show();
        QApplication::processEvents();
        s.ms.push_back(double(t.nsecsElapsed()) / 1e6);
        s.listed = dialog.comboPortNo->count();
    }
    std::sort(s.ms.begin(), s.ms.end());
    return s;
}

void report(QTextStream &out, const char *name, const Series &s)
{
    out << name << ": " << s.listed << " ports listed; open time min "
        << QString::number(s.ms.front(), 'f', 1) << " ms, median "
        << QString::number(s.ms[s.ms.size() / 2], 'f', 1) << " ms, max "
        << QString::number(s.ms.back(), 'f', 1) << " ms (" << s.ms.size() << " runs)\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("runs"), QStringLiteral("openings per series"), QStringLiteral("N"),
                      QStringLiteral("20")});
    parser.addHelpOption();
    parser.process(app);
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    std::vector<std::unique_ptr<SimulatedController>> sims;
    for (int n = 1; n <= 16; ++n) {
        auto sim = std::make_unique<SimulatedController>();
        if (!sim->start())
            return 1;
        qputenv(qPrintable(QStringLiteral("KTED_COM%1").arg(n)), sim->devicePath().toLocal8Bit());
        sims.push_back(std::move(sim));
    }
    AppState state;
    SettingsStore store;
    CountingPrompter prompter;
    ControllerLink link(state, store, prompter);

    QTextStream out(stdout);
    report(out, "16 ports, none held", measure(link, state, store, runs));
    state.gPortNo = 1;
    state.gPortOccupy = true;
    if (link.OpenCommPort() != 0)
        return 1;
    report(out, "16 ports, COM1 held open", measure(link, state, store, runs));
    out << "COM1 still open afterwards: " << (link.isPortOpen() ? "yes" : "no") << '\n';
    return 0;
}
