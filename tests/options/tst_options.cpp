// The Options dialog: the ports it lists, what OK, Cancel and Close store,
// and how its choices reach the position table, the position transfer and
// the parameter window of the running program. The Help menu: the manual in
// its window (contents, links, search), the message when it cannot be shown,
// and the About window with the system information.

#include "../ui/modaldriver.h"
#include "app/appoptions.h"
#include "app/optionsrules.h"
#include "link/controllerlink.h"
#include "link/portprobe.h"
#include "parameters/parameterwindow.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "programrun.h"
#include "simulatedcontroller.h"
#include "ui/frmabout.h"
#include "ui/frmoptions2.h"
#include "ui/helpwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

namespace {

using Answer = Prompter::Answer;
using Col = PositionGrid::Column;

// Ports 1 to 16 wired by the environment: the given ones to simulated
// controllers, every other to a device that does not exist, so that the
// machine's own serial ports play no part.
struct Ports
{
    explicit Ports(const QList<int> &numbers)
    {
        for (int n = 1; n <= 16; ++n) {
            QString device = QDir(TestScratchDir()).filePath(QStringLiteral("no-port-%1").arg(n));
            if (numbers.contains(n)) {
                auto sim = std::make_unique<SimulatedController>();
                started = sim->start() && started;
                device = sim->devicePath();
                sims[n] = std::move(sim);
            }
            qputenv(qPrintable(QStringLiteral("KTED_COM%1").arg(n)), device.toLocal8Bit());
        }
    }
    std::map<int, std::unique_ptr<SimulatedController>> sims;
    bool started = true;
};

// One run of the program in Edit mode with the simulated controller as COM1.
struct Run : Ports, ProgramRun
{
    explicit Run(int language)
        : Ports({1})
        , ProgramRun(language)
    {
        QApplication::setActiveWindow(window);
    }

    SimulatedController &sim() { return *sims.at(1); }

    // Opens the Options dialog from the View menu; edit sets its controls,
    // then the button is clicked.
    void options(const std::function<void(frmOptions2 &)> &edit, const char *button = "cmdOK")
    {
        ModalDriver driver;
        driver.then("frmOptions2", [&](QWidget *modal) {
            auto &dialog = static_cast<frmOptions2 &>(*modal);
            edit(dialog);
            dialog.findChild<QPushButton *>(button)->click();
        });
        window->mnuViewOption->trigger();
        QVERIFY(driver.done());
    }

    void type(int row, int column, const QString &text)
    {
        PositionGrid &grid = *window->flgdData;
        grid.setCurrentCell(row, column);
        QTest::keyClicks(&grid, text.left(1));
        QTest::keyClicks(grid.txtEdit(), text.mid(1));
        QTest::keyClick(grid.txtEdit(), Qt::Key_Return);
    }

    QString cell(int row, int column) const { return window->flgdData->cellText(row, column).trimmed(); }
};

QString manualEntry()
{
    return QDir(SourceDataDir()).filePath(QStringLiteral("ktedhlp.html"));
}

// A copy of the manual in the scratch folder, to break.
QString copyManual(const QString &name)
{
    const QString root = QDir(TestScratchDir()).filePath(name);
    for (const QString &lang : {QStringLiteral("ja"), QStringLiteral("en")}) {
        const QDir from(QDir(SourceDataDir()).filePath(QStringLiteral("help/") + lang));
        QDir().mkpath(root + QStringLiteral("/help/") + lang);
        for (const QString &f : from.entryList({QStringLiteral("*.html")}))
            QFile::copy(from.filePath(f), root + QStringLiteral("/help/") + lang + u'/' + f);
    }
    QFile::copy(manualEntry(), root + QStringLiteral("/ktedhlp.html"));
    return root + QStringLiteral("/ktedhlp.html");
}

// Clicks the first link to href in the browser, as the user does.
bool clickLink(QTextBrowser *browser, const QString &href)
{
    for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.charFormat().anchorHref() != href)
                continue;
            QTextCursor c(browser->document());
            c.setPosition(f.position() + 1);
            browser->ensureCursorVisible();
            browser->setTextCursor(c);
            browser->ensureCursorVisible();
            const QPoint at = browser->cursorRect(c).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
    }
    return false;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear(); }

    // The dialog over the probed ports lists exactly the ports that open,
    // each with its device, and shows the port in use (3); a port the program
    // holds open is listed and stays open and usable. OK stores the last
    // port listed, the held-port option and the pulse column; Cancel and
    // Close store and change nothing; with no port that opens the port stays.
    void dialogOverTheProbedPorts_data()
    {
        QTest::addColumn<QList<int>>("open");
        QTest::addColumn<bool>("holdPort3");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("portAfter");
        QTest::newRow("OK") << QList<int>{2, 3, 5} << false << "cmdOK" << 5;
        QTest::newRow("Cancel, port 3 held open") << QList<int>{2, 3, 5} << true << "cmdCancel" << 3;
        QTest::newRow("Close") << QList<int>{2, 3, 5} << false << "cmdApply" << 3;
        QTest::newRow("OK, no port opens") << QList<int>{} << false << "cmdOK" << 3;
    }

    void dialogOverTheProbedPorts()
    {
        QFETCH(QList<int>, open);
        QFETCH(bool, holdPort3);
        QFETCH(QString, button);
        QFETCH(int, portAfter);
        const bool ok = button == QLatin1String("cmdOK");
        Ports ports(open);
        QVERIFY(ports.started);
        AppState state;
        state.gPortNo = 3;
        state.gPortOccupy = holdPort3;
        SettingsStore store;
        ScriptedPrompter prompter;
        ControllerLink link(state, store, prompter);
        if (holdPort3)
            QCOMPARE(link.OpenCommPort(), 0);

        AppOptions options;
        frmOptions2 dialog(state, store, options, ProbePorts(link, store));
        QStringList expected, listed;
        for (int n : open)
            expected << QStringLiteral("COM%1  ").arg(n) + ports.sims[n]->devicePath();
        for (int i = 0; i < dialog.comboPortNo->count(); ++i)
            listed << dialog.comboPortNo->itemText(i);
        QCOMPARE(listed, expected);
        QCOMPARE(dialog.availablePorts(), open);
        QCOMPARE(dialog.comboPortNo->currentText(), expected.value(1));
        dialog.comboPortNo->setCurrentIndex(int(open.size()) - 1);
        dialog.chkPortOccupy->setChecked(true);
        dialog.chkDispPulsPosi->setChecked(true);
        dialog.chkParametaShow->setChecked(true);
        dialog.chkCommLogFile->setChecked(true);
        dialog.findChild<QPushButton *>(button)->click();

        QCOMPARE(dialog.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(store.readText(SettingsKey::PortNo, QString()),
                 ok && !open.isEmpty() ? QString::number(portAfter) : QString());
        for (const QString &key : {SettingsKey::PortOccupy, SettingsKey::PulsePos, SettingsKey::CommLogToFile})
            QCOMPARE(store.readText(key, QString()), ok ? QStringLiteral("1") : QString());
        QCOMPARE(state.gPortNo, int16_t(portAfter));
        QCOMPARE(state.gPortOccupy, ok || holdPort3);
        QCOMPARE(state.gPulsePosDisp, ok);
        QCOMPARE(state.gPulsePosDispChanged, ok);
        QCOMPARE(dialog.pulseDisplayChanged(), ok);
        QCOMPARE(options.mParaDetailShow, ok);

        QCOMPARE(link.isPortOpen(), holdPort3);
        if (holdPort3) {
            // The held port still answers without being opened again.
            ports.sims[3]->clearReceived();
            QCOMPARE(link.SetCommMode(), 0);
            QCOMPARE(ports.sims[3]->receivedLines(), QStringList{QStringLiteral("0CM1")});
        }
    }

    // The port text: "COM" and a port 1 to 16; anything else changes
    // nothing. A port not found available is used but not stored. (A listed
    // port and an empty list are the dialog test's.)
    void portFromTheListText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("portNo");
        QTest::addColumn<QString>("stored");
        QTest::newRow("with its device") << "  COM12  /dev/ttyUSB0  (FT232R, FTDI) " << 0 << 12 << "12";
        QTest::newRow("the port in use") << "COM5" << 0 << 5 << "";
        QTest::newRow("not available") << "COM3" << 0 << 3 << "";
        QTest::newRow("16") << "COM16" << 0 << 16 << "16";
        QTest::newRow("17 is no port") << "COM17" << 1 << 5 << "";
        QTest::newRow("32 is no port") << "COM32" << 1 << 5 << "";
        QTest::newRow("0") << "COM0" << 1 << 5 << "";
        QTest::newRow("no number") << "COM" << 1 << 5 << "";
        QTest::newRow("fraction") << "COM2.5" << 1 << 5 << "";
    }

    void portFromTheListText()
    {
        QFETCH(QString, text);
        AppState state;
        state.gPortNo = 5;
        SettingsStore store;
        QTEST(ApplyPortNo(text, {2, 5, 12, 16}, state, store), "result");
        QTEST(int(state.gPortNo), "portNo");
        QTEST(store.readText(SettingsKey::PortNo, QString()), "stored");
    }

    // The language is only changed by the user's choice: choosing the other
    // language and back again changes nothing, and with a stored value other
    // than 1 or 2 only Japanese is a change. (What a change stores at the
    // close is the start-up test's.)
    void languageChangesOnlyByTheUsersChoice_data()
    {
        QTest::addColumn<int>("storedLanguage");
        QTest::addColumn<QList<int>>("clicks"); // optLanguege indexes, in order
        QTest::addColumn<bool>("toldToRestart");
        QTest::newRow("Japanese, English and back") << 1 << QList<int>{1, 0} << false;
        QTest::newRow("Japanese to English") << 1 << QList<int>{1} << true;
        QTest::newRow("stored 0, English clicked") << 0 << QList<int>{1} << false;
        QTest::newRow("stored 0 to Japanese") << 0 << QList<int>{0} << true;
    }

    void languageChangesOnlyByTheUsersChoice()
    {
        QFETCH(int, storedLanguage);
        QFETCH(QList<int>, clicks);
        QFETCH(bool, toldToRestart);
        Run run(storedLanguage);
        run.options([&](frmOptions2 &d) {
            d.SSTabOption->setCurrentIndex(3);
            for (int i : clicks)
                QTest::mouseClick(d.optLanguege[i], Qt::LeftButton, {}, QPoint(4, 4));
        });
        QCOMPARE(run.state.gLanguageChanged, toldToRestart);
        QCOMPARE(run.prompter.texts(),
                 toldToRestart ? QStringList{JoinTexts({521, 522})} : QStringList{});
    }

    // The current-down choice reaches the next position write: the digit
    // after Out in every "0WP" record. Clearing the override box sends 2
    // again but leaves the box checked at the next opening.
    void currentDownReachesThePositionWrite()
    {
        Run run(2);
        QCOMPARE(run.program->options().CurrentDownDigit(), 2);
        run.options([&](frmOptions2 &d) {
            d.SSTabOption->setCurrentIndex(2);
            QVERIFY(!d.optCurrentDown[0]->isVisible());
            QTest::mouseClick(d.chkChangeBk, Qt::LeftButton, {}, QPoint(4, 4));
            QVERIFY(d.optCurrentDown[1]->isVisible());
            QTest::mouseClick(d.optCurrentDown[1], Qt::LeftButton, {}, QPoint(4, 4));
        });
        for (int p = 1; p <= 3; ++p) {
            run.type(p, Col::ColVel, "5");
            run.type(p, Col::ColAcc, "3");
            run.type(p, Col::ColMm, "12.5");
        }
        run.prompter.answers({Answer::Ok, Answer::Ok});
        run.sim().clearReceived();
        QTest::mouseClick(run.window->cmdLoadtoCt, Qt::LeftButton);
        const QStringList lines = run.sim().receivedLines();
        for (const char *record : {"0WP153000009C4", "0WP253000009C4", "0WP353000009C4"})
            QVERIFY2(lines.contains(QLatin1String(record)), qPrintable(lines.join(' ')));

        // The next opening shows the choice as it was left; clearing the box
        // sends 2 again, yet the box is checked at the opening after. The
        // one-digit box takes 0 to 3 and Backspace; with its digit in place
        // Enter moves on to OK.
        run.options([&](frmOptions2 &d) {
            d.SSTabOption->setCurrentIndex(2);
            QVERIFY(d.chkChangeBk->isChecked());
            QVERIFY(d.optCurrentDown[1]->isChecked());
            QLineEdit *box = d.txtBreakNo;
            QCOMPARE(box->text(), QStringLiteral("0"));
            QApplication::setActiveWindow(&d);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_2);
            QCOMPARE(box->text(), QStringLiteral("0"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, QStringLiteral("a7- "));
            QCOMPARE(box->text(), QString());
            QTest::keyClick(box, Qt::Key_Return);
            QVERIFY(box->hasFocus());
            QTest::keyClicks(box, QStringLiteral("3"));
            QTest::mouseClick(d.UpDown1[0], Qt::LeftButton);
            QCOMPARE(box->text(), QStringLiteral("3"));
            QTest::mouseClick(d.UpDown1[1], Qt::LeftButton);
            QCOMPARE(box->text(), QStringLiteral("2"));
            QTest::keyClick(box, Qt::Key_Return);
            QVERIFY(d.cmdOK->hasFocus());
            QTest::mouseClick(d.chkChangeBk, Qt::LeftButton, {}, QPoint(4, 4));
            QVERIFY(!d.optCurrentDown[1]->isVisible());
        });
        QCOMPARE(run.program->options().CurrentDownDigit(), 2);
        QVERIFY(run.program->positionTransfer()->CurrentDownDigit() == 2);
        run.options([&](frmOptions2 &d) {
            QVERIFY(d.chkChangeBk->isChecked());
            QVERIFY(d.optCurrentDown[0]->isChecked());
        }, "cmdCancel");
    }

    // The pulse column follows the option; an edit not yet taken over and
    // the table's changed state survive every close of the dialog. The
    // details option shows the parameter window's details area and its
    // default box, for a window already open and for one opened later.
    void optionsReachTheOpenWindows()
    {
        Run run(2);
        run.window->mnuShowParameta->trigger();
        ParameterWindow *parameters = run.program->parameterWindow();
        QVERIFY(parameters && !parameters->PictureExpPara->isVisible());
        PositionGrid &grid = *run.window->flgdData;
        QVERIFY(grid.isColumnHidden(Col::ColPulse));
        run.type(1, Col::ColVel, "4");
        run.type(1, Col::ColMm, "12.5");
        run.type(2, Col::ColMm, "0.01");
        run.type(1, Col::ColComment, "A");
        QVERIFY(run.program->positionData().gDataChanged);

        run.options([](frmOptions2 &d) {
            QVERIFY(!d.chkParametaShow->isChecked());
            d.chkParametaShow->setChecked(true);
            d.chkDispPulsPosi->setChecked(true);
        });
        QVERIFY(parameters->PictureExpPara->isVisible());
        QVERIFY(parameters->chkUseDefoult->isEnabled());
        parameters->close();
        QTest::qWait(1);
        run.window->mnuShowParameta->trigger();
        QVERIFY(run.program->parameterWindow()->detailShow());
        QVERIFY(!grid.isColumnHidden(Col::ColPulse));
        QCOMPARE(run.cell(0, Col::ColPulse), LoadText(16));
        QCOMPARE(run.cell(1, Col::ColPulse), QStringLiteral("2500"));
        QCOMPARE(run.cell(2, Col::ColPulse), QStringLiteral("2"));
        QCOMPARE(run.cell(3, Col::ColPulse), QString());

        // A pulse typed now is kept through a Cancel and a hiding.
        run.type(3, Col::ColPulse, "400");
        run.options([](frmOptions2 &d) { QVERIFY(d.chkParametaShow->isChecked()); }, "cmdCancel");
        run.options([](frmOptions2 &d) { d.chkDispPulsPosi->setChecked(false); });
        QVERIFY(grid.isColumnHidden(Col::ColPulse));
        QCOMPARE(run.cell(0, Col::ColPulse), QString());
        const QStringList kept = {run.cell(1, Col::ColVel), run.cell(1, Col::ColMm), run.cell(2, Col::ColMm),
                                  run.cell(3, Col::ColMm), run.cell(1, Col::ColComment)};
        QCOMPARE(kept, (QStringList{"4", "12.500", "0.010", "2.000", "A"}));
        QVERIFY(run.program->positionData().gDataChanged);
        run.options([](frmOptions2 &d) { d.chkDispPulsPosi->setChecked(true); });
        QCOMPARE(run.cell(3, Col::ColPulse), QStringLiteral("400"));
    }

    // Contents opens the manual in the program's language on its first
    // page; a link of the contents and a link inside a page open their
    // pages; Search finds a page by a word on it.
    void manualOpensFollowsLinksAndSearches_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("firstTitle");
        QTest::addColumn<QString>("word");
        QTest::newRow("Japanese") << 1 << "help/ja" << "はじめに" << "dialout モデムマネージャ";
        QTest::newRow("English") << 2 << "help/en" << "Getting started" << "dialout MODEM manager";
    }

    void manualOpensFollowsLinksAndSearches()
    {
        QFETCH(int, language);
        QFETCH(QString, folder);
        QFETCH(QString, firstTitle);
        QFETCH(QString, word);
        Run run(language);
        run.window->helpFile = manualEntry();
        run.window->mnuHelpContents->trigger();
        QCOMPARE(run.prompter.texts(), QStringList());
        HelpWindow *help = run.program->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->tabHelp->currentIndex(), 0);
        const QString dir = QDir(SourceDataDir()).filePath(folder);
        QCOMPARE(help->currentPage(), dir + QStringLiteral("/index.html"));
        QCOMPARE(help->txtPage->documentTitle(), firstTitle);

        // The contents' link to the options page, then that page's link to
        // the serial port page.
        QVERIFY(clickLink(help->txtContents, QStringLiteral("options.html")));
        QCOMPARE(help->currentPage(), dir + QStringLiteral("/options.html"));
        QVERIFY(clickLink(help->txtPage, QStringLiteral("serialport.html")));
        QCOMPARE(help->currentPage(), dir + QStringLiteral("/serialport.html"));

        run.window->mnuHelpSearch->trigger();
        QCOMPARE(run.program->helpWindow(), help);
        QCOMPARE(help->tabHelp->currentIndex(), 1);
        help->txtSearch->setText(word);
        QTest::mouseClick(help->cmdSearch, Qt::LeftButton);
        QCOMPARE(help->lstFound->count(), 1);
        QVERIFY(help->lblNotFound->isHidden());
        emit help->lstFound->itemActivated(help->lstFound->item(0));
        QCOMPARE(help->currentPage(), dir + QStringLiteral("/serialport.html"));

        help->txtSearch->setText(QStringLiteral("zzqx"));
        QTest::keyClick(help->txtSearch, Qt::Key_Return);
        QCOMPARE(help->lstFound->count(), 0);
        QVERIFY(!help->lblNotFound->isHidden());
        QCOMPARE(run.prompter.texts(), QStringList());
    }

    // A manual that cannot be shown, for any reason, gives message 491
    // from Contents and from Search; no help window stays behind.
    void manualThatCannotBeShownGives491_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::newRow("no help file name") << "empty";
        QTest::newRow("entry missing") << "entry";
        QTest::newRow("first page missing") << "first page";
        QTest::newRow("contents missing") << "contents";
    }

    void manualThatCannotBeShownGives491()
    {
        QFETCH(QString, breakage);
        QString entry = copyManual(QStringLiteral("broken-") + breakage);
        const QString en = QFileInfo(entry).absolutePath() + QStringLiteral("/help/en");
        if (breakage == QLatin1String("empty"))
            entry.clear();
        else if (breakage == QLatin1String("entry"))
            QFile::remove(entry);
        else if (breakage == QLatin1String("first page"))
            QFile::remove(en + QStringLiteral("/index.html"));
        else
            QFile::remove(en + QStringLiteral("/contents.html"));
        Run run(2);
        run.window->helpFile = entry;
        run.window->mnuHelpContents->trigger();
        run.window->mnuHelpSearch->trigger();
        QCOMPARE(run.prompter.texts(), (QStringList{LoadText(491), LoadText(491)}));
        QCOMPARE(run.prompter.shown().last().caption, run.window->windowTitle());
        QVERIFY(!run.program->helpWindow());
    }

    // About shows the version; its system
    // information lists the serial ports with their devices and can be
    // copied; with nothing to show, message 536.
    void aboutAndSystemInformation()
    {
        Run run(2);
        qputenv("KTED_COM2", QByteArrayLiteral("/dev/ttyKTED-test2"));
        bool checked = false;
        ModalDriver driver;
        driver.then("frmAbout", [&](QWidget *modal) {
            auto *about = static_cast<frmAbout *>(modal);
            QCOMPARE(about->lblVersion->text(), QStringLiteral("Version 1.30"));
            about->cmdSysInfo->click();
            about->setSystemInfoSource([] { return QString(); });
            about->cmdSysInfo->click();
            about->cmdOK->click();
            checked = true;
        });
        driver.then("frmSysInfo", [&](QWidget *modal) {
            auto *info = static_cast<frmSysInfo *>(modal);
            const QString text = info->txtSysInfo->toPlainText();
            QVERIFY2(text.contains(QStringLiteral("KT-ED 1.30 (1.3.0)")), qPrintable(text));
            QVERIFY(text.contains(LoadText(877) + QStringLiteral(":\n")));
            QVERIFY(text.contains(QStringLiteral("    COM2  /dev/ttyKTED-test2\n")));
            QVERIFY(text.contains(LoadText(878) + QStringLiteral(": ") + run.store->location()));
            QVERIFY(text.contains(QString::fromLatin1(qVersion())));
            info->cmdCopy->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), text);
            info->cmdClose->click();
        });
        run.window->mnuHelpAbout->trigger();
        qunsetenv("KTED_COM2");
        QVERIFY(checked && driver.done());
        QCOMPARE(run.prompter.texts(), QStringList{LoadText(536)});
    }
};

KTED_TEST_MAIN(TestOptions)
#include "tst_options.moc"
