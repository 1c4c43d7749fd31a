#include "../options/programrun.h"
#include "../parameters/transferrig.h"
#include "../ui/modaldriver.h"

#include "app/appoptions.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "printing/frmprintselect.h"
#include "printing/printcommand.h"
#include "printing/printoutput.h"
#include "parameters/parameterwindow.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QCheckBox>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

// The text of a PDF file as pdftotext lays it out; pages end with a form
// feed. The text layer names some kanji by their radical look-alikes (方 as
// the radical ⽅) and ligatures as one character: compatibility
// normalisation (also applied to what is looked for) takes them back.
QString PdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

QString Scratch(const QString &name)
{
    return QDir(TestScratchDir()).filePath(name);
}

// Sheets written as A4 PDF files into the scratch folder, or into target
// when set; cancelled when told to.
class PdfOutput : public PrintOutput
{
public:
    Result print(const PrintDocument &doc) override
    {
        ++count;
        if (cancel)
            return Result::Cancelled;
        const QString path = target.isEmpty() ? Scratch(QStringLiteral("sheet-%1.pdf").arg(count)) : target;
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        if (!RenderPrintDocument(writer, doc))
            return Result::Failed;
        text = PdfText(path);
        return Result::Printed;
    }
    void pageSetup() override
    {
        ++setups;
        if (onPageSetup)
            onPageSetup();
    }

    int count = 0;
    int setups = 0;
    std::function<void()> onPageSetup;
    bool cancel = false;
    QString target;
    QString text;
};

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A position file for the model text and generation given; the positions
// at 4000, 10000 and 20000 pulses, the second with a comment too long for
// its column.
QString PositionFile(const QString &name, const QByteArray &model, const QByteArray &newOld)
{
    const QString path = Scratch(name);
    WriteFile(path, "\"KT-E1\",\"Position\"\r\n\"" + model + "\",\"" + newOld
                        + "\"\r\n\"5\",\"2\",\"4000\",\"Start\"\r\n\"9\",\"3\",\"10000\",\"Long comment "
                        + QByteArray(22, 'x') + "TAIL\"\r\n"
                          "\"1\",\"1\",\"20000\",\"End\"\r\n");
    return path;
}

// A parameter file holding the first count values of a full set.
QString ParameterFile(const QString &name, int count)
{
    const QList<QByteArray> all{"16000", "100", "50", "20",  "30",  "10", "15", "20",
                                "25",    "30",  "35", "40",  "45",  "50", "5",  "10",
                                "15",    "1",   "2",  "400", "0",   "\" 28L-080\"", "1", "0"};
    const QString path = Scratch(name);
    WriteFile(path, "\"KT-E1\",\"Parameter\"\r\n" + all.mid(0, count).join(',') + "\r\n");
    return path;
}

// A line of the sheet that starts with these cells in order, blanks
// between them.
bool HasLine(const QString &text, const QStringList &cells)
{
    QStringList escaped;
    for (const QString &c : cells)
        escaped << QRegularExpression::escape(c.normalized(QString::NormalizationForm_KC));
    const QRegularExpression re(QStringLiteral("(^|\\n)\\s*") + escaped.join(QStringLiteral("\\s*")) + QStringLiteral("([ \\t][^\\n]*)?(\\n|$)"));
    return re.match(text).hasMatch();
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private:
    // Two catalogues of our own that disagree on the lead of the same
    // model: 2 mm for the new generation, 6 mm for the old.
    static QString TwoCatalogues()
    {
        const QString dir = Scratch(QStringLiteral("lists"));
        QDir().mkpath(dir);
        WriteFile(dir + "/nktdevice.lst", "1\r\n\" 28L-100\",2,400,0,1\r\n");
        WriteFile(dir + "/ktdevice.lst", "1\r\n\" 28L-100\",6,400,0,1\r\n");
        return dir;
    }

    struct Rig : LinkRig
    {
        Rig()
            : LinkRig(QStringLiteral("printing"))
            , lists(app, prompter, TwoCatalogues())
            , command(PrintCommand::Context{app, options, data, grid, lists, *link, progress, prompter, dialogs, surface,
                                            output})
        {
            Culc_MaxPulse(app);
            Culc_MaxMm(app);
            grid.attach(app, data);
            grid.Init_flgdData(true);
            command.setDeviceTypeText([] { return QStringLiteral("KT- 28L-100"); });
        }
        void fillGrid()
        {
            const QStringList cells{"5", "2", "12.500", "原点側", "9", "3", "50.000", "Work", "1", "1", "100.000", ""};
            for (int i = 0; i < cells.size(); ++i)
                grid.setCellText(i / 4 + 1, i % 4 == 3 ? PositionGrid::ColComment : i % 4 + 1, cells[i]);
        }

        PositionData data;
        PositionGrid grid;
        PdfOutput output;
        AppOptions options;
        Catalogue lists;
        PrintCommand command;
    };

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
                 "pdftotext (poppler-utils) is needed; scripts/setup-debian.sh installs it");
    }

    void selectionDialog_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("enabled");  // after the steps: options, file, Browse, OK
        QTest::addColumn<QString>("outcome");  // the choice, or "open" when the dialog stays

        // Steps click the controls named; "pick" and "skip" answer the next
        // Browse. Refusals show 561 (positions) or 562, the same text.
        const QString refused = QStringLiteral("open, Invalid file name.Comfirm file name and print it again.");
        QTest::newRow("file source, Browse cancelled")
            << QStringList{"chkPrintPosi", "optPrintPosi_1", "skip", "cmdSelectPosiFile", "cmdPrintSet"}
            << "posi 1 1 1 ok 1" << refused;
        QTest::newRow("parameter file not chosen, beside grid positions")
            << QStringList{"chkPrintPosi", "chkPrintPara", "optPrintPara_1", "cmdPrintSet"} << "para 1 1 1 ok 1"
            << refused;
        QTest::newRow("file source checked again without a file: OK stays off")
            << QStringList{"chkPrintPosi", "optPrintPosi_1", "chkPrintPosi", "chkPrintPosi"} << "posi 1 1 1 ok 0"
            << "open";
        QTest::newRow("a chosen file")
            << QStringList{"chkPrintPosi", "optPrintPosi_1", "pick", "cmdSelectPosiFile", "chkPrintPosi",
                           "chkPrintPosi", "cmdPrintSet"}
            << "posi 1 1 1 ok 1" << "file chosen.ktd";
        QTest::newRow("both unchecked: OK off")
            << QStringList{"chkPrintPosi", "chkPrintPara", "chkPrintPosi", "chkPrintPara"} << "para 0 0 0 ok 0"
            << "open";
        QTest::newRow("parameters from the controller after a look at File")
            << QStringList{"chkPrintPara", "optPrintPara_1", "optPrintPara_0", "cmdPrintSet"} << "para 1 0 0 ok 1"
            << "ct";
        QTest::newRow("cancel") << QStringList{"chkPrintPosi", "cmdPrintCancel"} << "posi 1 0 0 ok 1" << "cancelled";
    }

    void selectionDialog()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, enabled);
        QFETCH(QString, outcome);
        SetLangOffset(10000);
        ScriptedPrompter prompter;
        ScriptedFileDialogs dialogs;
        frmPrintSelect dialog(prompter, dialogs);
        dialog.show();
        const QString chosen = PositionFile(QStringLiteral("chosen.ktd"), "KT- 28L-100", "NEW");
        const bool para = enabled.startsWith(QLatin1String("para"));
        const auto stateNow = [&] {
            QRadioButton *const *options = para ? dialog.optPrintPara : dialog.optPrintPosi;
            return QStringLiteral("%1 %2 %3 %4 ok %5")
                .arg(para ? "para" : "posi")
                .arg(int(options[0]->isEnabled() && options[1]->isEnabled()))
                .arg(int((para ? dialog.lblPrintParaName : dialog.lblPrintPosiName)->isEnabled()))
                .arg(int((para ? dialog.cmdSelectParaFile : dialog.cmdSelectPosiFile)->isEnabled()))
                .arg(int(dialog.cmdPrintSet->isEnabled()));
        };
        QString state;
        for (const QString &step : steps) {
            if (step == QLatin1String("pick") || step == QLatin1String("skip")) {
                step == QLatin1String("pick") ? dialogs.choose(chosen) : dialogs.cancel();
                continue;
            }
            if (step == QLatin1String("cmdPrintSet") || step == QLatin1String("cmdPrintCancel"))
                state = stateNow();
            dialog.findChild<QAbstractButton *>(step)->click();
        }
        if (state.isEmpty())
            state = stateNow();
        QCOMPARE(state, enabled);

        const PrintChoice &c = dialog.choice();
        QStringList got;
        if (dialog.isVisible())
            got << QStringLiteral("open") << prompter.texts();
        else if (c.cancelled)
            got << QStringLiteral("cancelled");
        if (!dialog.isVisible() && !c.cancelled) {
            if (c.positionsFromGrid)
                got << QStringLiteral("grid");
            if (c.positionsFromFile && c.positionFile == chosen)
                got << QStringLiteral("file ") + dialog.lblPrintPosiName->text();
            if (c.parametersFromCt)
                got << QStringLiteral("ct");
        }
        QCOMPARE(got.join(QStringLiteral(", ")), outcome);
        for (const FileDialogs::Request &r : dialogs.requests())
            QVERIFY(r.title == QStringLiteral("Specify KT Data file to be printed.") && r.defaultExtension == "ktd"
                    && r.mustExist);
    }

    // What the sheet holds from each source, in both languages. Printing a
    // file takes the millimetres from the file's own model and generation
    // and changes neither the model in use nor the loaded table. Every
    // check, read or output that stops the print tells the user, and
    // nothing reaches the paper.
    void printedSheet_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("positions");  // "", "grid", "file" (of 28L-100, NEW), ...
        QTest::addColumn<QString>("parameters"); // "", "ct", "file", "short" or a fault
        QTest::addColumn<QString>("sheet");      // "details" (23 and 24), or the output's fault
        QTest::addColumn<QList<QStringList>>("lines"); // lines that must print, cells in order; none: refused
        QTest::addColumn<QStringList>("absent");       // texts that must not print
        QTest::addColumn<QStringList>("messages");     // the start of each message shown
        using Lines = QList<QStringList>;
        const QStringList none;

        const Lines gridEn{{"Type of KT : KT- 28L-100(New)"},
                           {"Position Data"},
                           {"No.", "VEL", "ACC", "Posi(mm)", "Posi(Pulse)", "Comment"},
                           {"1", "5", "2", "12.500", "2500", "原点側"},
                           {"2", "9", "3", "50.000", "10000", "Work"},
                           {"3", "1", "1", "100.000", "20000"}};
        const Lines ctEn{{"Parameters"},
                         {"1. Stroke length", ":20000"},
                         {"18. Homing method", ":Sensor"},
                         {"19. Lead", ":2"},
                         {"20. Pulse", ":400"},
                         {"21. TYPE", ":KT(New)"},
                         {"22. Actuator", ":28L-100"}};
        QTest::newRow("grid and controller with details, English")
            << 10000 << "grid" << "ct" << "details"
            << (gridEn + ctEn + Lines{{"23. Emergency stop Input", ":Hold"}, {"24. Emergency stop Logic", ":Logic A"}})
            << QStringList{"File Name"} << none;
        QTest::newRow("files, English")
            << 10000 << "file" << "file" << "details"
            << Lines{{"KT-ED", "File Name:posi.ktd"},
                     {"Type of KT : KT- 28L-100(New)"},
                     {"1", "5", "2", "20.000", "4000", "Start"},
                     {"2", "9", "3", "50.000", "10000", "Long comment"},
                     {"3", "1", "1", "100.000", "20000", "End"},
                     {"Parameters", "File Name:full.pmt"},
                     {"1. Stroke length", ":16000"},
                     {"18. Homing method", ":Sensor"},
                     {"22. Actuator", ":28L-080"},
                     {"23. Emergency stop Input", ":Hold"},
                     {"24. Emergency stop Logic", ":Logic B"}}
            << QStringList{"(no data)", "TAIL"} << none;
        // A file of fewer values (the RW family's) prints the rest as absent.
        QTest::newRow("short parameter file, English")
            << 10000 << "" << "short" << "details"
            << Lines{{"15. Setting JOG VEL 1", ":5"},     {"16. Setting JOG VEL 2", ":(no data)"},
                     {"18. Homing method", ":(no data)"}, {"21. TYPE", ":(no data)"},
                     {"22. Actuator", ":(no data)"},      {"24. Emergency stop Logic", ":(no data)"}}
            << QStringList{"Position Data", "Sensor", "KT(New)", "Logic B"} << none;
        QTest::newRow("grid and controller with details, Japanese")
            << 0 << "grid" << "ct" << "details"
            << Lines{{"機種 : KT- 28L-100(新型)"},
                     {"No.", "VEL", "ACC", "位置(mm)", "位置(パルス)", "コメント"},
                     {"1", "5", "2", "12.500", "2500", "原点側"},
                     {"2. 原点オフセット", ":0"},
                     {"17. JOG速度設定 3", ":10"},
                     {"18. 原点復帰方式", ":センサ"},
                     {"21. タイプ", ":KT(新型)"},
                     {"23. 非常停止入力", ":保持"},
                     {"24. 非常停止入力論理", ":A接点"}}
            << QStringList{"ファイル名"} << none;
        QTest::newRow("files, Japanese")
            << 0 << "file" << "file" << ""
            << Lines{{"KT-ED", "ファイル名：posi.ktd"},
                     {"1", "5", "2", "20.000", "4000", "Start"},
                     {"パラメータ", "ファイル名:full.pmt"},
                     {"18. 原点復帰方式", ":センサ"}}
            << QStringList{"23. 非常停止入力"} << none;
        QTest::newRow("old-generation file") << 10000 << "old file" << "" << ""
                                             << Lines{{"1", "5", "2", "60.000", "4000", "Start"}} << none << none;
        QTest::newRow("file of an unlisted model")
            << 10000 << "unlisted file" << "" << "" << Lines{{"1", "5", "2", "4000", "Start"}} << none
            << QStringList{"The error occurred in calculation of a position(mm).\n\nPosition (mm) is not printed."};

        QTest::newRow("grid empty") << 10000 << "empty grid" << "" << "" << Lines() << none
                                    << QStringList{"No data in the list.\n\nInput data and try it again."};
        QTest::newRow("grid position 2 empty")
            << 10000 << "grid with a hole" << "" << "" << Lines() << none
            << QStringList{"No data in some Positions!\n\nConfirm the position data indicated below once again.\n\n"};
        QTest::newRow("parameter file missing") << 10000 << "" << "missing file" << "" << Lines() << none
                                                << QStringList{"Failed to reading parameter file."};
        QTest::newRow("not a parameter file")
            << 10000 << "" << "positions file" << "" << Lines() << none
            << QStringList{"Not Data file for KT-ED.", "Failed to reading parameter file."};
        QTest::newRow("controller silent") << 10000 << "grid" << "silent ct" << "" << Lines() << none
                                           << QStringList{"Communication timeout error!"};
        QTest::newRow("preview closed") << 10000 << "grid" << "" << "cancelled" << Lines() << none
                                        << QStringList{"Printing was cancelled. Nothing has been printed."};
        QTest::newRow("PDF file cannot be written")
            << 10000 << "grid" << "" << "unwritable" << Lines() << none
            << QStringList{"The data could not be printed.\n\nCheck the printer, or the file to print to, and print again."};
    }

    void printedSheet()
    {
        QFETCH(int, offset);
        QFETCH(QString, positions);
        QFETCH(QString, parameters);
        QFETCH(QString, sheet);
        QFETCH(QList<QStringList>, lines);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, messages);
        Rig rig;
        QVERIFY2(rig.started, qPrintable(rig.error));
        SetLangOffset(offset);
        if (positions != QLatin1String("empty grid"))
            rig.fillGrid();
        if (positions == QLatin1String("grid with a hole"))
            rig.grid.setCellText(2, PositionGrid::ColVel, QString());
        rig.options.mParaDetailShow = sheet == QLatin1String("details");
        rig.output.cancel = sheet == QLatin1String("cancelled");
        if (sheet == QLatin1String("unwritable"))
            rig.output.target = Scratch(QStringLiteral("no-such-folder/sheet.pdf"));
        if (parameters == QLatin1String("silent ct"))
            rig.sim.queueNoReply();
        PrintChoice choice;
        choice.cancelled = false;
        choice.positionsFromGrid = positions.contains(QLatin1String("grid"));
        choice.positionsFromFile = positions.endsWith(QLatin1String("file"));
        choice.positionFile = PositionFile(QStringLiteral("posi.ktd"),
                                           positions.startsWith(QLatin1String("unlisted")) ? "KT- 99Q-100" : "KT- 28L-100",
                                           positions.startsWith(QLatin1String("old")) ? "OLD" : "NEW");
        choice.parametersFromCt = parameters.endsWith(QLatin1String("ct"));
        choice.parametersFromFile = !parameters.isEmpty() && !choice.parametersFromCt;
        choice.parameterFile = parameters == QLatin1String("short") ? ParameterFile(QStringLiteral("rw.pmt"), 15)
                               : parameters == QLatin1String("missing file") ? Scratch(QStringLiteral("none.pmt"))
                               : parameters == QLatin1String("positions file") ? choice.positionFile
                                                                               : ParameterFile(QStringLiteral("full.pmt"), 24);
        const AppState before = rig.app;

        QCOMPARE(rig.command.PrintProc(choice), lines.isEmpty() ? 1 : 0);
        const QStringList shown = rig.prompter.texts();
        QCOMPARE(shown.size(), messages.size());
        for (int i = 0; i < shown.size(); ++i)
            QVERIFY2(shown[i].startsWith(messages[i]), qPrintable(shown[i]));
        // Only the output's own faults come after the sheet was handed over.
        QCOMPARE(rig.output.count, lines.isEmpty() && (sheet.isEmpty() || sheet == QLatin1String("details")) ? 0 : 1);
        const QString text = rig.output.text;
        QCOMPARE(text.isEmpty(), lines.isEmpty());
        if (!lines.isEmpty()) {
            QCOMPARE(text.count(u'\f'), 1); // one page
            QVERIFY2(text.contains(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))), qPrintable(text));
        }
        for (const QStringList &line : lines)
            QVERIFY2(HasLine(text, line), qPrintable(line.join(u'|') + QStringLiteral("\n") + text));
        for (const QString &t : absent)
            QVERIFY2(!text.contains(t.normalized(QString::NormalizationForm_KC)), qPrintable(t + QStringLiteral("\n") + text));
        // The parameter window's values, the model in use and, for a file,
        // the loaded table are left alone.
        QCOMPARE(rig.sim.receivedLines().filter(QStringLiteral("0WR")).size(), 0);
        QCOMPARE(rig.app.gIsNewType, before.gIsNewType);
        QCOMPARE(rig.app.gDevLead, before.gDevLead);
        QCOMPARE(rig.app.gMaxPulse, before.gMaxPulse);
        if (!choice.positionsFromGrid) {
            QCOMPARE(rig.data.workPosDA, PositionData().workPosDA);
            QVERIFY(rig.data.gFileModel.isEmpty());
        }
    }

    // The whole program: File, Print opens the dialog with
    // every command of the main window and the parameter window locked,
    // and the sheet holds what the grid shows and what the controller
    // holds. A cancelled dialog prints nothing; page set-up locks as well.
    void fromTheMainWindow()
    {
        SimulatedController sim;
        QVERIFY(sim.start());
        qputenv("KTED_COM1", sim.devicePath().toLocal8Bit());
        ProgramRun run(2);
        MainWindow &w = *run.window;
        Program &program = *run.program;
        ScriptedPrompter &prompter = run.prompter;
        QCOMPARE(prompter.texts(), QStringList());
        const QStringList cells{"5", "2", "12.500", "9", "3", "50.000", "1", "1", "100.000"};
        for (int i = 0; i < cells.size(); ++i)
            w.flgdData->setCellText(i / 3 + 1, i % 3 + 1, cells[i]);
        program.ShowParameterWindow();
        // The desktop's own output: the preview, closed without printing.
        ModalDriver preview;
        preview.then("frmPrintSelect", [](QWidget *modal) {
            static_cast<frmPrintSelect *>(modal)->chkPrintPosi->click();
            static_cast<frmPrintSelect *>(modal)->cmdPrintSet->click();
        });
        preview.then("QPrintPreviewDialog", [](QWidget *modal) { modal->close(); });
        w.mnuFilePrint->trigger();
        QVERIFY(preview.done());
        QStringList told{"Printing was cancelled. Nothing has been printed."};
        if (QPrinterInfo::availablePrinters().isEmpty())
            told.prepend(QStringLiteral("No printer is set up. The data can only be saved as a PDF file."));
        QCOMPARE(prompter.texts(), told);
        prompter.clear();

        PdfOutput output;
        program.printCommand()->setOutput(output);

        const auto commands = [&w, &program] {
            return QList<bool>{w.mnuFilePrint->isEnabled(),      w.mnuFileOpen->isEnabled(),
                               w.mnuShowCtversion->isEnabled(),  w.tbButton[5]->isEnabled(),
                               w.cmdGetfromCt->isEnabled(),      !w.gBusy,
                               program.parameterWindow()->isEnabled()};
        };
        const QList<bool> on(7, true);
        const QList<bool> off(7, false);
        QCOMPARE(commands(), on);
        QList<bool> during;
        ModalDriver driver;
        driver.then("frmPrintSelect", [&](QWidget *modal) {
            auto *dialog = static_cast<frmPrintSelect *>(modal);
            during = commands();
            dialog->chkPrintPosi->click();
            dialog->chkPrintPara->click();
            dialog->cmdPrintSet->click();
        });
        w.mnuFilePrint->trigger();
        QVERIFY(driver.done());
        QCOMPARE(during, off);
        QCOMPARE(commands(), on);
        QCOMPARE(prompter.texts(), QStringList());
        QVERIFY2(HasLine(output.text, {"1", "5", "2", "12.500", "2500"}), qPrintable(output.text));
        QVERIFY2(HasLine(output.text, {"1. Stroke length", ":20000"}), qPrintable(output.text));
        QVERIFY(sim.receivedLines().contains(QStringLiteral("0RD14")));

        driver.then("frmPrintSelect", [](QWidget *modal) { static_cast<frmPrintSelect *>(modal)->cmdPrintCancel->click(); });
        w.mnuFilePrint->trigger();
        QVERIFY(driver.done());
        QCOMPARE(output.count, 1);
        QCOMPARE(prompter.texts(), QStringList());

        output.onPageSetup = [&] { during = commands(); };
        during.clear();
        w.mnuFilePageSetup->trigger();
        QCOMPARE(output.setups, 1);
        QCOMPARE(during, off);
        QCOMPARE(commands(), on);
        qunsetenv("KTED_COM1");
    }
};

KTED_TEST_MAIN(TestPrinting)
#include "tst_printing.moc"
