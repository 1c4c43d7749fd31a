// kted-sim: the simulated controller as a program. It creates a
// pseudo-terminal, prints its device path on the first line of standard
// output and answers the controller's command set until it is killed.
// Moves take their real time (distance over speed, homing first when the
// actuator is not homed), so a user sees the target blink and the lamps
// change; --move-scale shortens or lengthens them.
// Point the program at the printed path with the environment variable
// KTED_COM1 (or the settings key Ports/COM1).
//
// While it runs, lines typed on standard input inject faults into the next
// answer or change the controller:
//   alarm XX        answer every command with the alarm report XX until "0%C"
//   estop           a sticky emergency stop (0E) that only a reset ends
//   clear           clear the alarm
//   report XX       send the report "0%%XX" of the controller's own accord
//   noreply | wrongecho | short | long | garbage | split N | pull
//                   a fault for the next command (pull closes the device)
//   homefault on|off  a faulty home sensor: homing fails with alarm 0B
//   input NAME on|off|auto
//                   make or open an input as wired (NAME: home, estop,
//                   pos1, pos2, pos4); auto gives it back to the controller
//   iobyte N HH|off fix I/O byte N (105, 106, 107) to hex HH, or release it
//   pace on|off     9600-baud pacing
//   delay MS        the controller's own reply delay
//   quit
//
// With --verbose every line received ("<-") and sent ("->") is printed on
// standard error with its time, control characters shown as the program's
// communication log shows them.

#include "simulatedcontroller.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTime>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// The symbolic link to remove when the program is ended by a signal (the
// usual way it ends); unlink() may be called from a signal handler.
char gLinkPath[4096] = {};

extern "C" void EndOnSignal(int)
{
    if (gLinkPath[0] != '\0')
        ::unlink(gLinkPath);
    ::_exit(0);
}

// The time of a verbose line, to set beside the program's communication log.
QString Stamp()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
}

// A line with its control characters made visible as the program's log
// shows them: <CR>, <LF>, and two hex digits in angle brackets for the rest.
QString Visible(const QByteArray &bytes)
{
    QString out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\r')
            out += QLatin1String("<CR>");
        else if (b == '\n')
            out += QLatin1String("<LF>");
        else if (b < 0x20 || b >= 0x7F || b == '<')
            out += QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QLatin1Char(c);
    }
    return out;
}

// "input NAME on|off|auto"; false when the words are not one.
bool SetInput(SimController &model, const QString &name, const QString &state)
{
    static const QMap<QString, SimController::Input> kNames{
        {QStringLiteral("home"), SimController::Input::HomeLs},
        {QStringLiteral("estop"), SimController::Input::EmgStop},
        {QStringLiteral("pos1"), SimController::Input::Posi1},
        {QStringLiteral("pos2"), SimController::Input::Posi2},
        {QStringLiteral("pos4"), SimController::Input::Posi4},
    };
    const auto it = kNames.constFind(name.toLower());
    if (it == kNames.constEnd())
        return false;
    const QString s = state.toLower();
    if (s == QLatin1String("on"))
        model.setInput(*it, true);
    else if (s == QLatin1String("off"))
        model.setInput(*it, false);
    else if (s == QLatin1String("auto"))
        model.setInput(*it, std::nullopt);
    else
        return false;
    return true;
}

// "iobyte N HH|off"; false when the words are not one.
bool SetIoByte(SimController &model, const QString &address, const QString &value)
{
    const int n = address.toInt();
    if (n < 105 || n > 107)
        return false;
    if (value.toLower() == QLatin1String("off")) {
        model.setIoByteOverride(n, -1);
        return true;
    }
    bool ok = false;
    const int v = value.toInt(&ok, 16);
    if (!ok || v < 0 || v > 0xFF)
        return false;
    model.setIoByteOverride(n, v);
    return true;
}

void HandleCommand(SimulatedController &sim, const QString &input, QTextStream &err)
{
    const QStringList words = input.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    const QString cmd = words.at(0).toLower();
    const QString arg = words.value(1);
    if (cmd == QLatin1String("alarm") && !arg.isEmpty())
        sim.model().setAlarm(arg.toUpper());
    else if (cmd == QLatin1String("estop"))
        sim.model().setAlarm(QStringLiteral("0E"), true);
    else if (cmd == QLatin1String("clear"))
        sim.model().clearAlarm();
    else if (cmd == QLatin1String("report") && !arg.isEmpty())
        sim.sendUnsolicited("0%%" + arg.toUpper().toLatin1());
    else if (cmd == QLatin1String("noreply"))
        sim.queueNoReply();
    else if (cmd == QLatin1String("wrongecho"))
        sim.queueWrongEcho();
    else if (cmd == QLatin1String("short"))
        sim.queueWrongLength(-1);
    else if (cmd == QLatin1String("long"))
        sim.queueWrongLength(1);
    else if (cmd == QLatin1String("garbage"))
        sim.queueGarbage("\x15#?");
    else if (cmd == QLatin1String("split"))
        sim.queueSplit(qMax(2, arg.toInt()), 30);
    else if (cmd == QLatin1String("pull"))
        sim.queuePull();
    else if (cmd == QLatin1String("homefault"))
        sim.model().setHomeSensorFault(arg != QLatin1String("off"));
    else if (cmd == QLatin1String("input") && SetInput(sim.model(), arg, words.value(2)))
        return;
    else if (cmd == QLatin1String("iobyte") && SetIoByte(sim.model(), arg, words.value(2)))
        return;
    else if (cmd == QLatin1String("pace"))
        sim.setPacing(arg != QLatin1String("off"));
    else if (cmd == QLatin1String("delay"))
        sim.setReplyDelayMs(qMax(0, arg.toInt()));
    else if (cmd == QLatin1String("quit"))
        QCoreApplication::quit();
    else
        err << "kted-sim: unknown command: " << input << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kted-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated KT/RW controller on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption paceOption(QStringLiteral("pace"),
                                        QStringLiteral("Pace the line at 9600 baud."));
    const QCommandLineOption delayOption(QStringLiteral("delay"),
                                         QStringLiteral("Reply delay of the controller in ms."),
                                         QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption alarmOption(QStringLiteral("alarm"),
                                         QStringLiteral("Start with this alarm (hex)."),
                                         QStringLiteral("code"));
    const QCommandLineOption moveScaleOption(
        QStringLiteral("move-scale"), QStringLiteral("Multiply the time moves take."),
        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption linkOption(
        QStringLiteral("link"), QStringLiteral("Also make a symbolic link to the device here."),
        QStringLiteral("path"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Print every line received and sent on standard error."));
    parser.addOptions({paceOption, delayOption, alarmOption, moveScaleOption, linkOption,
                       verboseOption});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);

    SimulatedController sim;
    QString error;
    if (!sim.start(&error)) {
        err << "kted-sim: cannot create a pseudo-terminal: " << error << Qt::endl;
        return 1;
    }
    sim.setPacing(parser.isSet(paceOption));
    sim.setReplyDelayMs(qMax(0, parser.value(delayOption).toInt()));
    sim.model().setMoveTimeScale(qMax(0.0, parser.value(moveScaleOption).toDouble()));
    if (parser.isSet(alarmOption))
        sim.model().setAlarm(parser.value(alarmOption).toUpper());

    const QString linkPath = parser.value(linkOption);
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (QFile::link(sim.devicePath(), linkPath)) {
            const QByteArray path = QFile::encodeName(linkPath);
            std::strncpy(gLinkPath, path.constData(), sizeof gLinkPath - 1);
        } else {
            err << "kted-sim: cannot create the link " << linkPath << Qt::endl;
        }
    }
    std::signal(SIGTERM, EndOnSignal);
    std::signal(SIGINT, EndOnSignal);
    std::signal(SIGHUP, EndOnSignal);

    if (parser.isSet(verboseOption)) {
        QObject::connect(&sim, &SimulatedController::lineReceived, &app,
                         [&err](const QString &line) {
                             err << Stamp() << " <- " << Visible(line.toLatin1() + "\r\n")
                                 << Qt::endl;
                         });
        QObject::connect(&sim, &SimulatedController::lineSent, &app,
                         [&err](const QByteArray &bytes) {
                             err << Stamp() << " -> " << Visible(bytes) << Qt::endl;
                         });
    }
    QObject::connect(&sim, &SimulatedController::devicePulled, &app, [&err] {
        err << "kted-sim: device pulled; ending" << Qt::endl;
        QCoreApplication::quit();
    });

    out << sim.devicePath() << Qt::endl;

    // Commands on standard input, when it is a terminal or a pipe.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false); // end of input: keep serving
            return;
        }
        pending.append(buffer, static_cast<qsizetype>(n));
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            HandleCommand(sim, QString::fromLocal8Bit(pending.left(end)), err);
            pending.remove(0, end + 1);
        }
    });

    const int rc = app.exec();
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
    return rc;
}
