// kted-cli as a script runs it: the built program as a process, talking to
// the simulated controller through a pseudo-terminal. Each case checks the
// exit code, the lines the controller received and what the tool printed;
// the files it reads back are compared byte for byte with what the windows
// save for the same controller.

#include "link/linkmessages.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "parameters/parameterwindow.h"
#include "transferrig.h"

#include <QApplication>
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
};

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

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The texts as the tool prints them in a language.
QString text(int id, int language)
{
    SetLangOffset(language == 1 ? 0 : 10000);
    return LoadText(id);
}

const QByteArray kParaHeader = "\"KT-E1\",\"Parameter\"\r\n";
// A KT new-generation 28L-100 with sensor homing, lead 2 and 400 pulses: the
// model the PC and the controller both hold.
const QByteArray kParaRecord = "3000,0,0,10,10,60,40,60,60,60,60,60,60,60,10,20,30,1,2,400,0,\" 28L-100\",1,1\r\n";

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> m_rig;

    // Runs kted-cli on the simulated controller and lets the controller
    // answer while it runs.
    CliResult cli(QStringList arguments, bool withDevice = true)
    {
        if (withDevice)
            arguments << QStringLiteral("--device") << m_rig->sim.devicePath();
        m_rig->sim.clearReceived();
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
        return r;
    }

    static QJsonObject json(const CliResult &r) { return QJsonDocument::fromJson(r.out).object(); }

private slots:
    void init()
    {
        m_rig = std::make_unique<LinkRig>(QString::fromLatin1(QTest::currentTestFunction()));
        QVERIFY2(m_rig->started, qPrintable(m_rig->error));
    }

    void cleanup() { m_rig.reset(); }

    // Each parameter command's outcome: exit code, the lines sent, the
    // message printed in the chosen language.
    void parameterCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("controller");  // what is done to the controller first
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("firstLines");  // the first lines it received
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("messageId");  // a text of the output

        const QByteArray good = kParaHeader + kParaRecord;
        const QStringList en{QStringLiteral("--lang"), QStringLiteral("en")};
        const QStringList ja{QStringLiteral("--lang"), QStringLiteral("ja")};
        const QStringList yesEn = en + QStringList{QStringLiteral("--yes")};
        const QStringList readLines{"0CM1", "0RD00", "0RD10", "0RD11", "0RD12", "0RD13", "0RD14"};

        QTest::newRow("write, answered yes") << "write-params" << good << yesEn << "" << 0
                                             << QStringList{"0CM1", "0RP1", "0RP2", "0RP3", "0WD00FF02000000FFFFFF"}
                                             << 2 << 435;
        QTest::newRow("write, question unanswered: nothing sent")
            << "write-params" << good << ja << "" << 2 << QStringList{} << 1 << 1068;
        QTest::newRow("verify, controller differs") << "verify-params" << good << en << "stroke" << 1
                                                    << readLines << 2 << 407;
        QTest::newRow("verify, no controller") << "verify-params" << good << ja << "silent" << 3
                                               << QStringList{"0CM1"} << 1 << 0;
        QTest::newRow("verify, not a parameter file: nothing sent")
            << "verify-params" << QByteArray("\"KT-E1\",\"Position\"\r\n") << en << "" << 4 << QStringList{}
            << 2 << 424;
        QTest::newRow("read") << "read-params" << QByteArray() << ja << "" << 0 << readLines << 1 << 0;
    }

    void parameterCommands()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, options);
        QFETCH(QString, controller);
        QFETCH(int, exitCode);
        QFETCH(QStringList, firstLines);
        QFETCH(int, language);
        QFETCH(int, messageId);

        if (controller == QLatin1String("stroke")) {
            // The file's parameters, then a stroke of 1000 changed at the controller.
            const QString written = writeFile("written.pmt", kParaHeader + kParaRecord);
            QCOMPARE(cli({QStringLiteral("write-params"), written, QStringLiteral("--yes")}).exitCode, 0);
            m_rig->sim.model().setBlock(QStringLiteral("10"), QStringLiteral("0003E802020202FF"));
        }
        if (controller == QLatin1String("silent")) {
            for (int i = 0; i < 8; ++i)
                m_rig->sim.queueNoReply();
        }
        const QString path = file.isEmpty() ? scratch(QStringLiteral("read.pmt")) : writeFile("in.pmt", file);
        const CliResult r = cli(QStringList{command, path, QStringLiteral("--json")} + options);

        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.received.mid(0, firstLines.size()), firstLines);
        if (firstLines.isEmpty())
            QCOMPARE(r.received, QStringList());
        const QJsonObject report = json(r);
        QCOMPARE(report.value("exitCode").toInt(-1), exitCode);
        QCOMPARE(report.value("command").toString(), command);
        if (messageId != 0)
            QVERIFY2(r.err.contains(text(messageId, language)), qPrintable(r.err));
        SetLangOffset(language == 1 ? 0 : 10000);
        if (controller == QLatin1String("silent"))
            QVERIFY2(r.err.contains(LinkText::TimeoutMessage()), qPrintable(r.err));
        if (exitCode == 0 && command == QLatin1String("write-params")) {
            // The six blocks as the window sends them, then the reset.
            QVERIFY(r.received.contains(QStringLiteral("0WD10000BB802020202FF")));
            QVERIFY(r.received.contains(QStringLiteral("0CM3")));
        }
        if (exitCode == 1) {
            const QJsonArray differences = report.value("differences").toArray();
            QCOMPARE(differences.size(), 1);
            const QJsonObject d = differences.at(0).toObject();
            QCOMPARE(d.value("name").toString(), QStringLiteral("1. Stroke length"));
            QCOMPARE(d.value("file").toString(), QStringLiteral("3000"));
            QCOMPARE(d.value("controller").toString(), QStringLiteral("1000"));
        }
    }

    // What read-params saves is what the parameter window saves after
    // "Read from C/T" on the same controller.
    void readParamsEqualsWindowSave()
    {
        m_rig->sim.model().setBlock(QStringLiteral("13"), QStringLiteral("0A141E0101020190"));
        const QString fromCli = scratch(QStringLiteral("cli.pmt"));
        QCOMPARE(cli({QStringLiteral("read-params"), fromCli}).exitCode, 0);

        ParameterSet set;
        ParameterTransfer transfer(m_rig->app, set, *m_rig->link, m_rig->prompter, m_rig->progress);
        ParameterWindow window(m_rig->app, set, *m_rig->catalogue, m_rig->prompter, m_rig->dialogs, &transfer);
        window.findChild<QPushButton *>(QStringLiteral("cmdParaRead"))->click();
        const QString fromWindow = scratch(QStringLiteral("window.pmt"));
        m_rig->dialogs.choose(fromWindow);
        window.findChild<QPushButton *>(QStringLiteral("cmdSaveParaFile"))->click();

        QVERIFY(!readFile(fromCli).isEmpty());
        QCOMPARE(readFile(fromCli), readFile(fromWindow));
    }

    // A write followed by a verification of the same file finds no
    // difference.
    void writeThenVerify()
    {
        const QString path = writeFile("set.pmt", kParaHeader + kParaRecord);
        QCOMPARE(cli({QStringLiteral("write-params"), path, QStringLiteral("--yes")}).exitCode, 0);
        const CliResult verified = cli({QStringLiteral("verify-params"), path, QStringLiteral("--lang=en")});
        QCOMPARE(verified.exitCode, 0);
        QVERIFY(verified.err.contains(QStringLiteral("Result of Verification : OK")));
    }

    // Usage errors are told apart from every outcome of a command.
    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no command") << QStringList{} << 64;
        QTest::newRow("unknown command") << QStringList{"flash"} << 64;
        QTest::newRow("file missing") << QStringList{"write-params"} << 64;
        QTest::newRow("port out of range") << QStringList{"version", "--port", "17"} << 64;
        QTest::newRow("language unknown") << QStringList{"version", "--lang", "de"} << 64;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("program version") << QStringList{"version"} << 0;
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const CliResult r = cli(arguments, false);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.received, QStringList());
        QVERIFY(!(r.out + r.err.toUtf8()).isEmpty());
    }
};

KTED_TEST_MAIN(TestCli)
#include "tst_cli.moc"
