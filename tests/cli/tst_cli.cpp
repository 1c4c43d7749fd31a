// kted-cli as a script runs it: the built program as a process, talking to
// the simulated controller through a pseudo-terminal. Each case checks the
// exit code, the lines the controller received and what the tool printed;
// the files it reads back are compared byte for byte with what the windows
// save for the same controller.

#include "link/commlog.h"
#include "link/linkmessages.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "parameters/parameterwindow.h"
#include "positionrig.h"

#include <QApplication>

#include <algorithm>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

struct CliResult
{
    int exitCode = -1;
    QByteArray out;
    QString err;
    QStringList received;  // the lines the controller received
    QStringList answered;  // and those it sent
};

using Answer = Prompter::Answer;

QString scratch(const QString &name)
{
    return QDir(TestScratchDir()).filePath(name);
}

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratch(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

const QByteArray kParaHeader = "\"KT-E1\",\"Parameter\"\r\n";
// A KT new-generation 28L-100 with sensor homing, lead 2 and 400 pulses: the
// model the PC and the controller both hold.
const QByteArray kParaRecord = "3000,0,0,10,10,60,40,60,60,60,60,60,60,60,10,20,30,1,2,400,0,\" 28L-100\",1,1\r\n";

// The model the PC and the controller both hold, at 200 pulses a millimetre.
const QByteArray kPositions = "\"KT-E1\",\"Position\"\r\n\"KT- 28L-100\",\"NEW\"\r\n"
                              "\"5\",\"3\",\"2500\",\"first\"\r\n\"9\",\"1\",\"6699\",\"\"\r\n"
                              "\"1\",\"2\",\"0\",\"\"\r\n";

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<PositionRig> m_rig;

    // Runs kted-cli on the simulated controller and lets the controller
    // answer while it runs.
    CliResult cli(QStringList arguments, bool withDevice = true)
    {
        if (withDevice)
            arguments << QStringLiteral("--device") << m_rig->sim.devicePath();
        m_rig->sim.clearReceived();
        m_rig->sim.clearSent();
        QProcess p;
        p.start(QStringLiteral(KTED_CLI_PATH), arguments);
        QElapsedTimer clock;
        clock.start();
        while (p.state() != QProcess::NotRunning && clock.elapsed() < 60000)
            QTest::qWait(10);
        CliResult r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = QString::fromUtf8(p.readAllStandardError());
        r.received = m_rig->sim.receivedLines();
        r.answered = m_rig->sim.sentLines();
        return r;
    }

    static QJsonObject json(const CliResult &r) { return QJsonDocument::fromJson(r.out).object(); }

private slots:
    void init()
    {
        m_rig = std::make_unique<PositionRig>(QString::fromLatin1(QTest::currentTestFunction()));
        QVERIFY2(m_rig->started, qPrintable(m_rig->error));
    }

    void cleanup() { m_rig.reset(); }

    // Each command's outcome: the exit code, the lines the controller
    // received, a message printed in the chosen language and, for a
    // verification that differs, the difference in the JSON report.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("controller");  // what is done to the controller first
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lines");  // the first lines it received; none at all when empty
        QTest::addColumn<int>("messageId");  // a text of the output, 0 for none
        QTest::addColumn<QString>("difference");  // name|file value|controller value

        const QByteArray params = kParaHeader + kParaRecord;
        const QString paraRead = QStringLiteral("0CM1 0RD00 0RD10 0RD11 0RD12 0RD13 0RD14");
        const QString posRead = QStringLiteral("0CM1 0RP1 0RP2 0RP3 0RV");
        const QString actuator = QStringLiteral("0CM1 0RD14 0RD13 0RD11");

        QTest::newRow("write-params") << "write-params" << params << "--yes --lang en" << "" << 0
                                      << "0CM1 0RP1 0RP2 0RP3 0WD00FF02000000FFFFFF" << 435 << "";
        QTest::newRow("write-params unanswered: nothing sent")
            << "write-params" << params << "--lang ja" << "" << 2 << "" << 1068 << "";
        QTest::newRow("verify-params after its write") << "verify-params" << params << "--lang en" << "written" << 0
                                                       << paraRead << 410 << "";
        QTest::newRow("verify-params differs") << "verify-params" << params << "--lang en" << "written, then changed"
                                               << 1 << paraRead << 407 << "1. Stroke length|3000|1000";
        QTest::newRow("verify-params without controller")
            << "verify-params" << params << "--lang ja" << "silent" << 3 << "0CM1" << 418 << "";
        QTest::newRow("verify-params on a position file: nothing sent")
            << "verify-params" << kPositions << "--lang en" << "" << 4 << "" << 424 << "";
        QTest::newRow("read-params") << "read-params" << QByteArray() << "--lang ja" << "" << 0 << paraRead << 0 << "";

        QTest::newRow("write-positions")
            << "write-positions" << kPositions << "--yes --lang ja" << "" << 0
            << "0CM1 0RD10 " + actuator + " 0WP153020009C4 0WP29102001A2B 0WP31202000000" << 466 << "";
        QTest::newRow("write-positions unanswered: nothing sent")
            << "write-positions" << kPositions << "--lang en" << "" << 2 << "" << 462 << "";
        QTest::newRow("write-positions beyond the controller's stroke: none written")
            << "write-positions" << kPositions << "--yes --lang en" << "short stroke" << 2 << "0CM1 0RD10" << 469
            << "";
        QTest::newRow("verify-positions differs") << "verify-positions" << kPositions << "--lang en"
                                                  << "written, then changed" << 1 << posRead << 407
                                                  << "Position No.2 Posi(Pulse)|6699|7000";
        QTest::newRow("verify-positions without controller")
            << "verify-positions" << kPositions << "--lang en" << "silent" << 3 << "0CM1" << 0 << "";
        QTest::newRow("write-positions on a parameter file: nothing sent")
            << "write-positions" << params << "--lang ja" << "" << 4 << "" << 362 << "";
        QTest::newRow("read-positions, the controller's other model not taken over: no file")
            << "read-positions" << QByteArray() << "--lang en" << "E35 model" << 2 << actuator << 593 << "";
        QTest::newRow("read-positions")
            << "read-positions" << QByteArray() << "--lang en" << "" << 0 << actuator + " " + posRead << 0 << "";
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, file);
        QFETCH(QString, options);
        QFETCH(QString, controller);
        QFETCH(int, exitCode);
        QFETCH(QString, lines);
        QFETCH(int, messageId);
        QFETCH(QString, difference);

        const bool positions = command.endsWith(QLatin1String("positions"));
        const QString extension = positions ? QStringLiteral(".ktd") : QStringLiteral(".pmt");
        // "written": the file written to the controller first, by the tool
        // itself; "then changed": one value changed at the controller after.
        if (controller.startsWith(QLatin1String("written"))) {
            const QString written = writeFile("written" + extension, positions ? kPositions : kParaHeader + kParaRecord);
            const QString write = positions ? QStringLiteral("write-positions") : QStringLiteral("write-params");
            QCOMPARE(cli({write, written, QStringLiteral("--yes")}).exitCode, 0);
        }
        if (controller.endsWith(QLatin1String("changed"))) {
            if (positions)
                m_rig->sim.model().setPosition(2, SimController::Position{9, 1, 0, 2, 7000});
            else
                m_rig->sim.model().setBlock(QStringLiteral("10"), QStringLiteral("0003E802020202FF"));
        }
        if (controller == QLatin1String("E35 model"))
            m_rig->sim.model().setBlock(QStringLiteral("14"), QStringLiteral("2345003200FFFFFF"));
        if (controller == QLatin1String("short stroke"))  // 6000 pulses
            m_rig->sim.model().setBlock(QStringLiteral("10"), QStringLiteral("00177002020202FF"));
        if (controller == QLatin1String("silent")) {
            for (int i = 0; i < 8; ++i)
                m_rig->sim.queueNoReply();
        }
        const QString path = file.isEmpty() ? scratch("read" + extension) : writeFile("in" + extension, file);
        const QString trace = scratch(QStringLiteral("trace.txt"));
        const CliResult r = cli(QStringList{command, path, QStringLiteral("--json"), QStringLiteral("--trace"), trace}
                                + options.split(u' '));

        QCOMPARE(r.exitCode, exitCode);
        const QStringList expected = lines.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(r.received.mid(0, expected.size()), expected);
        if (expected.isEmpty())
            QCOMPARE(r.received, QStringList());
        if (exitCode != 0)
            QVERIFY(std::none_of(r.received.cbegin(), r.received.cend(), [](const QString &line) {
                return line.startsWith(QLatin1String("0WP")) || line.startsWith(QLatin1String("0WD"));
            }));
        const QJsonObject report = json(r);
        QCOMPARE(report.value("exitCode").toInt(-1), exitCode);
        QCOMPARE(report.value("command").toString(), command);
        // The messages in the language asked for.
        SetLangOffset(options.contains(QLatin1String("ja")) ? 0 : 10000);
        if (messageId != 0)
            QVERIFY2(r.err.contains(LoadText(messageId)), qPrintable(r.err));
        if (controller == QLatin1String("silent"))
            QVERIFY2(r.err.contains(LinkText::TimeoutMessage()), qPrintable(r.err));
        // The trace is the communication log: every line sent and received,
        // in order.
        QStringList traced[2];
        for (const QByteArray &line : FileBytes(trace).split('\n')) {
            const QStringList fields = QString::fromUtf8(line).split(u'\t');
            for (auto d : {CommLogEntry::Direction::Sent, CommLogEntry::Direction::Received})
                if (fields.size() == 3 && fields.at(1) == CommLog::DirectionText(d))
                    traced[d == CommLogEntry::Direction::Received] << fields.at(2).chopped(8);
        }
        QCOMPARE(traced[0], r.received);
        QCOMPARE(traced[1], r.answered);

        if (!difference.isEmpty()) {
            const QJsonArray differences = report.value("differences").toArray();
            QCOMPARE(differences.size(), 1);
            const QJsonObject d = differences.at(0).toObject();
            QCOMPARE((QStringList{d.value("name").toString(), d.value("file").toVariant().toString(),
                                  d.value("controller").toVariant().toString()})
                         .join(u'|'),
                     difference);
        }
        if (command.startsWith(QLatin1String("read")))
            QCOMPARE(QFile::exists(path), exitCode == 0);
    }

    // What read-params and read-positions save is, byte for byte, what the
    // windows save after reading the same controller: with the PC's model,
    // and with the controller's other model taken over.
    void readBackEqualsWindowSave_data()
    {
        QTest::addColumn<bool>("positions");
        QTest::addColumn<QString>("model");  // block "14" of the controller; empty: the PC's model
        QTest::newRow("parameters") << false << "";
        QTest::newRow("parameters, controller's model taken over") << false << "2345003200FFFFFF";
        QTest::newRow("positions") << true << "";
        QTest::newRow("positions, controller's model taken over") << true << "2345003200FFFFFF";
    }

    void readBackEqualsWindowSave()
    {
        QFETCH(bool, positions);
        QFETCH(QString, model);
        SimController &ct = m_rig->sim.model();
        if (!model.isEmpty())
            ct.setBlock(QStringLiteral("14"), model);
        ct.setPosition(1, SimController::Position{1, 2, 0, 2, 0});
        ct.setPosition(2, SimController::Position{9, 3, 1, 2, 1234});
        ct.setPosition(3, SimController::Position{4, 1, 0, 2, 2001});
        const QString extension = positions ? QStringLiteral(".ktd") : QStringLiteral(".pmt");
        const QString fromCli = scratch("cli" + extension);
        const QString fromWindow = scratch("window" + extension);
        const QString command = positions ? QStringLiteral("read-positions") : QStringLiteral("read-params");
        QCOMPARE(cli({command, fromCli, QStringLiteral("--yes")}).exitCode, 0);

        m_rig->dialogs.choose(fromWindow);
        if (positions) {
            m_rig->prompter.answers({Answer::Yes, Answer::Ok});  // read?  take the controller's model over?
            m_rig->transfer.GetFromCt();
            QCOMPARE(m_rig->files.saveAs(), PositionFileCommands::SaveResult::Saved);
        } else {
            ParameterSet set;
            ParameterTransfer transfer(m_rig->app, set, *m_rig->link, m_rig->prompter, m_rig->progress);
            ParameterWindow window(m_rig->app, set, *m_rig->catalogue, m_rig->prompter, m_rig->dialogs,
                                   &transfer);
            m_rig->prompter.answers({Answer::Ok});  // take the controller's model over?
            window.findChild<QPushButton *>(QStringLiteral("cmdParaRead"))->click();
            window.findChild<QPushButton *>(QStringLiteral("cmdSaveParaFile"))->click();
        }
        QVERIFY(!FileBytes(fromCli).isEmpty());
        QCOMPARE(FileBytes(fromCli), FileBytes(fromWindow));
        if (positions)
            QCOMPARE(FileBytes(fromCli).contains("E35L-050"), !model.isEmpty());
    }

    // The commands without a file, and usage errors told apart from every
    // outcome of a command.
    void otherCommands_data()
    {
        QTest::addColumn<QString>("arguments"); // "@": the simulated controller's device
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("output"); // a text on standard output
        QTest::newRow("ports") << "ports" << 0 << "" << "3\t@\t";
        QTest::newRow("version") << "version --lang en" << 0 << "" << "KT-ED kted-cli version 1.";
        QTest::newRow("version with the controller's")
            << "version --json --port 3" << 0 << "0CM1 0RV" << "\"controllerVersion\":\"1.3\"";
        QTest::newRow("no command") << "" << 64 << "" << "";
        QTest::newRow("unknown command") << "flash" << 64 << "" << "";
        QTest::newRow("file missing") << "write-params --device @" << 64 << "" << "";
        QTest::newRow("port out of range") << "version --port 17" << 64 << "" << "";
        QTest::newRow("language unknown") << "version --lang de" << 64 << "" << "";
        QTest::newRow("help") << "--help" << 0 << "" << "";
        QTest::newRow("model not in the list")
            << "read-params x.pmt --model KT-99Z-100 --device @" << 64 << "" << "";
    }

    void otherCommands()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, lines);
        QFETCH(QString, output);
        const QString device = m_rig->sim.devicePath();
        // Port 3 names the simulated controller's device.
        qputenv("KTED_COM3", device.toLocal8Bit());
        const CliResult r = cli(arguments.replace(u'@', device).split(u' ', Qt::SkipEmptyParts), false);
        qunsetenv("KTED_COM3");
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.received, lines.split(u' ', Qt::SkipEmptyParts));
        QVERIFY(!(r.out + r.err.toUtf8()).isEmpty());
        QVERIFY2(QString::fromUtf8(r.out).contains(output.replace(u'@', device)), r.out.constData());
    }
};

KTED_TEST_MAIN(TestCli)
#include "tst_cli.moc"
