// The communication log: what the link sends and receives and what it
// reports, recorded through a pseudo-terminal to the simulated controller,
// the lines' visible form and bounds, the log file and its rotation.

#include "link/commandset.h"
#include "link/commlog.h"
#include "link/commlogfile.h"
#include "link/commlogmodel.h"
#include "link/commlogwindow.h"
#include "simscript.h"
#include "transferrig.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

qint64 FixedNow()
{
    return 1'800'000'000'123; // a fixed instant; only the text is compared
}

// The model's rows as "S:text", "R:text" and "E:text".
QStringList Rows(const CommLogModel &model)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r) {
        const CommLogEntry &e = model.entry(r);
        const char *tag = e.direction == CommLogEntry::Direction::Sent       ? "S:"
                          : e.direction == CommLogEntry::Direction::Received ? "R:"
                                                                             : "E:";
        out << QLatin1String(tag) + e.text;
    }
    return out;
}

} // namespace

class TestCommLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> m_rig;
    std::unique_ptr<CommLog> m_log;
    std::unique_ptr<CommLogModel> m_model;

private slots:
    void init()
    {
        m_rig = std::make_unique<LinkRig>(QStringLiteral("log-%1").arg(QTest::currentTestFunction()));
        QVERIFY2(m_rig->started, qPrintable(m_rig->error));
        m_log = std::make_unique<CommLog>();
        m_log->setClock(FixedNow);
        m_model = std::make_unique<CommLogModel>();
        connect(m_log.get(), &CommLog::entryRecorded, m_model.get(), &CommLogModel::append);
        m_rig->link->attachLog(*m_log);
    }

    void cleanup()
    {
        m_rig.reset();
        m_model.reset();
        m_log.reset();
    }

    // Bytes cut into reads as the port delivers them, and the lines the
    // recorder makes of them.
    void lines_data()
    {
        QTest::addColumn<QList<QByteArray>>("received");
        QTest::addColumn<QStringList>("lines");

        const QString noise(CommLog::kLineLimit, QLatin1Char('?'));
        QTest::newRow("a reply in pieces is one line")
            << QList<QByteArray>{"0RD1", "0004E200", "2020202FF\r", "\n"}
            << QStringList{"R:0RD10004E2002020202FF<CR><LF>"};
        QTest::newRow("two replies in one read, the second cut")
            << QList<QByteArray>{"0CM1\r\n0R", "H1\r\n"}
            << QStringList{"R:0CM1<CR><LF>", "R:0RH1<CR><LF>"};
        QTest::newRow("controls, non-ASCII and the bracket itself in hex")
            << QList<QByteArray>{QByteArray("\x00\x15<\x7f\xff\xa0", 6) + "A\r\n"}
            << QStringList{"R:<00><15><3C><7F><FF><A0>A<CR><LF>"};
        QTest::newRow("a lone CR does not end a line")
            << QList<QByteArray>{"0RH\r", "1\r\n"} << QStringList{"R:0RH<CR>1<CR><LF>"};
        QTest::newRow("noise without a line end is cut at the limit")
            << QList<QByteArray>{QByteArray(CommLog::kLineLimit + 10, '?')}
            << QStringList{"R:" + noise, "R:" + QString(10, QLatin1Char('?'))};
    }

    void lines()
    {
        QFETCH(QList<QByteArray>, received);
        QFETCH(QStringList, lines);
        for (const QByteArray &bytes : received)
            m_log->recordReceived(bytes);
        // What is left without a line end is cut off by the next sent line.
        m_log->recordSent("0CM0\r\n");
        lines << QStringLiteral("S:0CM0<CR><LF>");
        QCOMPARE(Rows(*m_model), lines);
    }

    // Whole operations through the pseudo-terminal: every line in order, and
    // the link's events where they happened.
    void transcripts_data()
    {
        QTest::addColumn<QStringList>("commands"); // after "0CM1"; block reads "0RDxx"
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("log");      // "R:*": the controller's own answer

        const QString open = QStringLiteral("E:Port opened: @");
        const QString closed = QStringLiteral("E:Port closed");
        const QStringList mode{open, "S:0CM1<CR><LF>", "R:*"};
        const QString read10 = QStringLiteral("S:0RD10<CR><LF>");

        QStringList parameterRead = mode;
        for (const char *b : {"00", "10", "11", "12", "13", "14"})
            parameterRead << QStringLiteral("S:0RD%1<CR><LF>").arg(QLatin1String(b)) << "R:*";
        QTest::newRow("parameter read: seven lines and seven replies")
            << QStringList{"00", "10", "11", "12", "13", "14"} << QStringList(7, QStringLiteral("*"))
            << parameterRead + QStringList{closed};
        QTest::newRow("time-out")
            << QStringList{"10"} << QStringList{"*", "-"}
            << mode + QStringList{read10, "E:Reply time-out (5000 ms)", closed};
        QTest::newRow("wrong echo, then the recovery")
            << QStringList{"10"} << QStringList{"*", "!echo"}
            << mode + QStringList{read10, "R:0RX10004E2002020202FF<CR><LF>",
                                  "E:Wrong echo (expected 0RD10, received 0RX)", "S:0CM0<CR><LF>",
                                  "R:*", closed};
        QTest::newRow("wrong length")
            << QStringList{"10"} << QStringList{"*", "!short"}
            << mode + QStringList{read10, "R:0RD10004E2002020202F<CR><LF>",
                                  "E:Wrong length (expected 23 characters, received 22)",
                                  "S:0CM0<CR><LF>", "R:*", closed};
        QTest::newRow("garbage before the echo, in hex")
            << QStringList{"10"} << QStringList{"*", "!garbage"}
            << mode + QStringList{read10, "R:<15><7F>#0RD10004E2002020202FF<CR><LF>",
                                  "E:Wrong echo (expected 0RD10, received <15><7F>#)",
                                  "S:0CM0<CR><LF>", "R:*", closed};
        QTest::newRow("a reply in pieces, one line")
            << QStringList{"10"} << QStringList{"*", "=0RD1|0004E2002|020202FF"}
            << mode + QStringList{read10, "R:0RD10004E2002020202FF<CR><LF>", closed};
        QTest::newRow("alarm report")
            << QStringList{"10"} << QStringList{"*", "=0%%0E"}
            << mode + QStringList{read10, "R:0%%0E<CR><LF>", "E:Alarm report: 0E", closed};
        QTest::newRow("pulled device")
            << QStringList{"10"} << QStringList{"*", "!pull"}
            << mode + QStringList{read10, closed, "E:Port lost: ~"};
    }

    void transcripts()
    {
        QFETCH(QStringList, commands);
        QFETCH(QStringList, script);
        QFETCH(QStringList, log);

        Script(m_rig->sim, script);
        QCOMPARE(m_rig->link->OpenCommPort(), 0);
        if (m_rig->link->SetCommMode() == 0) {
            for (const QString &block : commands) {
                if (m_rig->link->Send(Ctl::ReadBlock(block)) != 0)
                    break;
            }
        }
        m_rig->link->ReleaseCommPort();
        m_log->flush();

        // The controller's own answers, from its own record of what it sent.
        QStringList answers = m_rig->sim.sentLines();
        for (QString &line : log) {
            line.replace(QLatin1Char('@'), m_rig->sim.devicePath());
            if (line == QLatin1String("R:*") && !answers.isEmpty())
                line = QStringLiteral("R:") + answers.takeFirst() + QStringLiteral("<CR><LF>");
            else if (line.startsWith(QLatin1String("R:")) && !answers.isEmpty())
                answers.removeFirst();
        }
        QStringList rows = Rows(*m_model);
        // The system's reason for a lost device is its own text.
        if (log.constLast().endsWith(QLatin1Char('~')) && !rows.isEmpty()
            && rows.constLast().startsWith(log.constLast().chopped(1)))
            rows.last() = log.constLast();
        QCOMPARE(rows, log);
    }

    // The log window beside the main window: it follows the new lines
    // without taking the focus and keeps the place while scrolled back; its
    // commands on the lines of real block reads: clear, pause (the file goes
    // on writing), copy, save.
    void logWindow()
    {
        // The main window's field has the focus; the log stays open beside it.
        QWidget main;
        auto *field = new QLineEdit(&main);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        field->setFocus();
        ScriptedPrompter prompter;
        ScriptedFileDialogs dialogs;
        CommLogWindow window(*m_model, prompter, dialogs, &main);
        window.setWindowFlag(Qt::Window);
        window.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        field->setFocus();

        const auto feed = [this](int n) {
            for (int i = 0; i < n; ++i)
                m_log->recordSent(QByteArray("0RB105\r\n"));
        };
        QScrollBar *bar = window.lstLog->verticalScrollBar();
        feed(200);
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
        QCOMPARE(QApplication::focusWidget(), field);
        QVERIFY(!window.isActiveWindow());

        // Scrolled back to read: the place is kept while lines come in.
        bar->setValue(10);
        // The view is frozen while a burst gathers, and must be drawn again
        // after it.
        feed(50);
        QVERIFY(!window.lstLog->updatesEnabled());
        QTRY_VERIFY(window.lstLog->updatesEnabled());
        QCOMPARE(bar->value(), 10);
        // Back at the end, it follows again.
        bar->setValue(bar->maximum());
        feed(50);
        QTRY_COMPARE(bar->value(), bar->maximum());
        QCOMPARE(m_model->rowCount(), 300);

        // Cleared, the window shows only the lines that come after.
        window.cmdClear->click();
        QCOMPARE(m_model->rowCount(), 0);
        const QString logPath = QDir(TestScratchDir()).filePath(QStringLiteral("pause/comm.log"));
        CommLogFile file;
        file.attach(*m_log);
        QVERIFY(file.setPath(logPath));
        m_rig->app.gPortOccupy = true;
        const auto read = [this](const char *block) {
            QCOMPARE(m_rig->link->Send(Ctl::ReadBlock(QString::fromLatin1(block))), 0);
        };

        QCOMPARE(m_rig->link->OpenCommPort(), 0);
        read("10");
        window.cmdPause->click();
        QVERIFY(m_model->isPaused());
        QVERIFY(window.lblPaused->isVisibleTo(&window));
        read("11");
        window.cmdPause->click();
        QVERIFY(!window.lblPaused->isVisibleTo(&window));
        read("12");
        const QStringList answers = m_rig->sim.sentLines();
        QCOMPARE(answers.size(), 3);
        QCOMPARE(Rows(*m_model), (QStringList{"E:Port opened: " + m_rig->sim.devicePath(), "S:0RD10<CR><LF>",
                                              "R:" + answers.at(0) + "<CR><LF>", "S:0RD12<CR><LF>",
                                              "R:" + answers.at(2) + "<CR><LF>"}));
        // The file kept writing while the window paused: all seven lines.
        const QList<QByteArray> written = FileBytes(logPath).split('\n');
        QCOMPARE(written.size(), 8);
        QVERIFY(written.at(3).endsWith("\t0RD11<CR><LF>\r"));

        // Copy: the selected rows, chosen last first, in the log's order.
        for (int row : {3, 1})
            window.lstLog->selectionModel()->select(m_model->index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.cmdCopy->click();
        QCOMPARE(QApplication::clipboard()->text(),
                 CommLog::FormatLine(m_model->entry(1)) + "\r\n" + CommLog::FormatLine(m_model->entry(3))
                     + "\r\n");

        // Save: cancelled (nothing written), refused (the user is told), done.
        const QString path = QDir(TestScratchDir()).filePath(QStringLiteral("window-save.txt"));
        dialogs.cancel();
        dialogs.choose(path + QStringLiteral("/x.txt"));
        dialogs.choose(path);
        for (int i = 0; i < 3; ++i)
            window.cmdSave->click();
        QCOMPARE(prompter.texts(),
                 QStringList{"The file could not be written. The file already there is unchanged."});
        QVERIFY(dialogs.requests().constFirst().confirmOverwrite);
        // Saved text reads back the same, line for line, in UTF-8 and CR LF.
        const QString back = QString::fromUtf8(FileBytes(path));
        QCOMPARE(back, m_model->text());
        QCOMPARE(back.split(QStringLiteral("\r\n")).size(), m_model->rowCount() + 1);
        QVERIFY(back.contains(QStringLiteral("\t0RD12<CR><LF>\r\n")));
    }

    void boundedLines()
    {
        // A long monitor run: the model never holds more than its capacity and
        // keeps the newest lines in order.
        CommLogModel model(nullptr, 100);
        for (int i = 0; i < 2000; ++i) {
            model.append({i, CommLogEntry::Direction::Sent, QString::number(i)});
            QVERIFY(model.rowCount() <= 100);
        }
        QVERIFY(model.rowCount() >= 90);
        QCOMPARE(model.entry(model.rowCount() - 1).text, QStringLiteral("1999"));
        for (int r = 1; r < model.rowCount(); ++r)
            QCOMPARE(model.entry(r).msecsSinceEpoch, model.entry(r - 1).msecsSinceEpoch + 1);
    }

    void fileRotation()
    {
        const QString dir = QDir(TestScratchDir()).filePath(QStringLiteral("rotation"));
        const QString base = QDir(dir).filePath(QStringLiteral("comm.log"));
        CommLogFile file;
        file.setLimits(400, 2);
        QVERIFY(file.setPath(base));
        for (int i = 0; i < 100; ++i)
            file.write({FixedNow(), CommLogEntry::Direction::Received, QStringLiteral("line %1").arg(i)});

        QVERIFY(QFile::exists(base + ".1"));
        QVERIFY(QFile::exists(base + ".2"));
        QVERIFY(!QFile::exists(base + ".3"));
        // The files, oldest first, hold the newest lines without a gap, and
        // none is over the limit.
        QByteArray all;
        for (const QString &path : {base + ".2", base + ".1", base}) {
            const QByteArray bytes = FileBytes(path);
            QVERIFY(bytes.size() <= 400);
            all += bytes;
        }
        const QList<QByteArray> lines = all.trimmed().split('\n');
        QVERIFY(lines.size() > 10);
        QVERIFY(lines.constLast().endsWith("\tline 99"));
        for (qsizetype k = 1; k < lines.size(); ++k) {
            const int prev = lines.at(k - 1).trimmed().split(' ').constLast().toInt();
            QCOMPARE(lines.at(k).trimmed().split(' ').constLast().toInt(), prev + 1);
        }
    }

    void fileFailureIsRecordedOnce()
    {
        // A folder that is a file: the log cannot be opened; the log says so
        // once, and recording goes on without it.
        const QString blocker = QDir(TestScratchDir()).filePath(QStringLiteral("blocker"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        CommLogFile file;
        file.attach(*m_log);
        QVERIFY(!file.setPath(blocker + QStringLiteral("/comm.log")));
        QVERIFY(!file.isWriting());
        m_log->recordSent("0CM1\r\n");
        QCOMPARE(Rows(*m_model),
                 (QStringList{"E:The log file cannot be written; writing to the file has stopped: "
                                  + blocker + "/comm.log",
                              "S:0CM1<CR><LF>"}));
    }
};

KTED_TEST_MAIN(TestCommLog)
#include "tst_commlog.moc"
