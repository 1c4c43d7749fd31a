// The Options dialog: the ports it lists, what OK, Cancel and Close store,
// and how its choices reach the position table, the position transfer and
// the parameter window of the running program.

#include "../ui/modaldriver.h"
#include "app/appoptions.h"
#include "app/appstate.h"
#include "app/optionsrules.h"
#include "app/settingsstore.h"
#include "catalogue/devicedialog.h"
#include "link/controllerlink.h"
#include "link/portprobe.h"
#include "parameters/parameterwindow.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "scriptedprompter.h"
#include "simulatedcontroller.h"
#include "testenv.h"
#include "text/stringtable.h"
#include "ui/frmoptions2.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

using Answer = Prompter::Answer;
using Col = PositionGrid::Column;

QString missingDevice(int n)
{
    return QDir(TestScratchDir()).filePath(QStringLiteral("no-port-%1").arg(n));
}

// Ports 1 to 16 wired by the environment: the given ones to simulated
// controllers, every other to a device that does not exist, so that the
// machine's own serial ports play no part.
struct Ports
{
    explicit Ports(const QList<int> &numbers)
    {
        for (int n = 1; n <= 16; ++n) {
            QString device = missingDevice(n);
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

void clearStore()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear();
}

// One run of the program in Edit mode with the simulated controller as COM1.
struct Run
{
    explicit Run(int language)
        : ports({1})
    {
        clearStore();
        store = std::make_unique<SettingsStore>();
        store->writeInt(SettingsKey::Language, language);
        program = std::make_unique<Program>(state, *store, prompter, dialogs, SourceDataDir());
        program->startUp().setShowSplash(false);
        program->startUp().hooks().choose = [](const QString &, const QString &, const QString &,
                                               const QString &) { return 1; };
        // The offline start-up ends in the device selection dialog: the
        // model shown is confirmed.
        ModalDriver driver;
        driver.then("DeviceDialog", [](QWidget *d) { static_cast<DeviceDialog *>(d)->cmdDeviceSet->click(); });
        window = &program->run();
        QApplication::setActiveWindow(window);
    }

    SimulatedController &sim() { return *ports.sims.at(1); }
    bool positionTransferDigitIs(int digit) const
    {
        return program->positionTransfer()->CurrentDownDigit() == digit;
    }

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

    Ports ports;
    AppState state;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
};

QStringList listed(const frmOptions2 &dialog)
{
    QStringList items;
    for (int i = 0; i < dialog.comboPortNo->count(); ++i)
        items.append(dialog.comboPortNo->itemText(i));
    return items;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    // The port list holds exactly the ports that open, each with its device;
    // a port the program holds open is listed and stays open and usable.
    void portListHoldsThePortsThatOpen_data()
    {
        QTest::addColumn<bool>("holdPort3");
        QTest::newRow("nothing held") << false;
        QTest::newRow("port 3 held open") << true;
    }

    void portListHoldsThePortsThatOpen()
    {
        QFETCH(bool, holdPort3);
        Ports ports({2, 3, 5});
        QVERIFY(ports.started);
        AppState state;
        state.gPortNo = 3;
        state.gPortOccupy = true;
        SettingsStore store;
        ScriptedPrompter prompter;
        ControllerLink link(state, store, prompter);
        if (holdPort3)
            QCOMPARE(link.OpenCommPort(), 0);

        const QList<SerialPortEntry> entries = ProbePorts(link, store);
        QCOMPARE(entries.size(), 16);
        AppOptions options;
        frmOptions2 dialog(state, store, options, entries);
        const QStringList expected = {
            QStringLiteral("COM2  ") + ports.sims[2]->devicePath(),
            QStringLiteral("COM3  ") + ports.sims[3]->devicePath(),
            QStringLiteral("COM5  ") + ports.sims[5]->devicePath(),
        };
        QCOMPARE(listed(dialog), expected);
        QCOMPARE(dialog.availablePorts(), (QList<int>{2, 3, 5}));
        QCOMPARE(dialog.comboPortNo->currentText(), expected.at(1));

        QCOMPARE(link.isPortOpen(), holdPort3);
        if (holdPort3) {
            // The held port still answers without being opened again.
            ports.sims[3]->clearReceived();
            QCOMPARE(link.SetCommMode(), 0);
            QCOMPARE(ports.sims[3]->receivedLines(), QStringList{QStringLiteral("0CM1")});
        }
    }

    // With no port that opens the list is empty and the port stays as it
    // was; a port in use that is not available leaves the list's text empty.
    void noUsablePortLeavesThePortAsItWas()
    {
        Ports ports({});
        AppState state;
        state.gPortNo = 4;
        SettingsStore store;
        ScriptedPrompter prompter;
        ControllerLink link(state, store, prompter);
        AppOptions options;
        frmOptions2 dialog(state, store, options, ProbePorts(link, store));
        QCOMPARE(dialog.comboPortNo->count(), 0);
        QCOMPARE(dialog.comboPortNo->currentText(), QString());
        dialog.cmdOK->click();
        QCOMPARE(state.gPortNo, int16_t(4));
        QVERIFY(!store.contains(SettingsKey::PortNo));
    }

    // OK stores the port, the held-port option and the pulse column; Cancel
    // and Close store and change nothing.
    void okStoresCancelAndCloseDoNot_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << "cmdOK";
        QTest::newRow("Cancel") << "cmdCancel";
        QTest::newRow("Close") << "cmdApply";
    }

    void okStoresCancelAndCloseDoNot()
    {
        QFETCH(QString, button);
        const bool ok = button == QLatin1String("cmdOK");
        Ports ports({1, 2});
        AppState state;
        SettingsStore store;
        ScriptedPrompter prompter;
        ControllerLink link(state, store, prompter);
        AppOptions options;
        frmOptions2 dialog(state, store, options, ProbePorts(link, store));
        dialog.comboPortNo->setCurrentIndex(1);
        dialog.chkPortOccupy->setChecked(true);
        dialog.chkDispPulsPosi->setChecked(true);
        dialog.chkParametaShow->setChecked(true);
        dialog.findChild<QPushButton *>(button)->click();

        QCOMPARE(dialog.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(store.readText(SettingsKey::PortNo, QString()), ok ? QStringLiteral("2") : QString());
        QCOMPARE(store.readText(SettingsKey::PortOccupy, QString()), ok ? QStringLiteral("1") : QString());
        QCOMPARE(store.readText(SettingsKey::PulsePos, QString()), ok ? QStringLiteral("1") : QString());
        QCOMPARE(state.gPortNo, int16_t(ok ? 2 : 1));
        QCOMPARE(state.gPortOccupy, ok);
        QCOMPARE(state.gPulsePosDisp, ok);
        QCOMPARE(state.gPulsePosDispChanged, ok);
        QCOMPARE(dialog.pulseDisplayChanged(), ok);
        QCOMPARE(options.mParaDetailShow, ok);
    }

    // The port text: "COM" and a port 1 to 16; anything else changes
    // nothing. A port not found available is used but not stored.
    void portFromTheListText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("portNo");
        QTest::addColumn<QString>("stored");
        QTest::newRow("available") << "COM2" << 0 << 2 << "2";
        QTest::newRow("with its device") << "  COM12  /dev/ttyUSB0  (FT232R, FTDI) " << 0 << 12 << "12";
        QTest::newRow("the port in use") << "COM5" << 0 << 5 << "";
        QTest::newRow("not available") << "COM3" << 0 << 3 << "";
        QTest::newRow("16") << "COM16" << 0 << 16 << "16";
        QTest::newRow("17 is no port") << "COM17" << 1 << 5 << "";
        QTest::newRow("32 is no port") << "COM32" << 1 << 5 << "";
        QTest::newRow("0") << "COM0" << 1 << 5 << "";
        QTest::newRow("no number") << "COM" << 1 << 5 << "";
        QTest::newRow("empty list") << "" << 1 << 5 << "";
        QTest::newRow("fraction") << "COM2.5" << 1 << 5 << "";
    }

    void portFromTheListText()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        QFETCH(int, portNo);
        QFETCH(QString, stored);
        AppState state;
        state.gPortNo = 5;
        SettingsStore store;
        QCOMPARE(ApplyPortNo(text, {2, 5, 12, 16}, state, store), result);
        QCOMPARE(int(state.gPortNo), portNo);
        QCOMPARE(store.readText(SettingsKey::PortNo, QString()), stored);
    }

    // The language is only changed by the user's choice: choosing the other
    // language and back again changes nothing, and a stored value other
    // than 1 or 2 stays as it is unless Japanese is chosen.
    void languageChangesOnlyByTheUsersChoice_data()
    {
        QTest::addColumn<int>("storedLanguage");
        QTest::addColumn<QList<int>>("clicks"); // optLanguege indexes, in order
        QTest::addColumn<int>("storedAfterClose");
        QTest::addColumn<bool>("toldToRestart");
        QTest::newRow("Japanese, English and back") << 1 << QList<int>{1, 0} << 1 << false;
        QTest::newRow("Japanese to English") << 1 << QList<int>{1} << 2 << true;
        QTest::newRow("stored 0, English clicked") << 0 << QList<int>{1} << 0 << false;
        QTest::newRow("stored 0 to Japanese") << 0 << QList<int>{0} << 1 << true;
    }

    void languageChangesOnlyByTheUsersChoice()
    {
        QFETCH(int, storedLanguage);
        QFETCH(QList<int>, clicks);
        QFETCH(int, storedAfterClose);
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
        run.prompter.answer(Answer::Ok); // finish KT-ED?
        QVERIFY(run.window->close());
        QCOMPARE(run.store->readInt(SettingsKey::Language, -1), storedAfterClose);
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
        // sends 2 again, yet the box is checked at the opening after.
        run.options([&](frmOptions2 &d) {
            d.SSTabOption->setCurrentIndex(2);
            QVERIFY(d.chkChangeBk->isChecked());
            QCOMPARE(d.txtBreakNo->text(), QStringLiteral("0"));
            QVERIFY(d.optCurrentDown[1]->isChecked());
            QTest::mouseClick(d.chkChangeBk, Qt::LeftButton, {}, QPoint(4, 4));
            QVERIFY(!d.optCurrentDown[1]->isVisible());
        });
        QCOMPARE(run.program->options().CurrentDownDigit(), 2);
        QVERIFY(run.positionTransferDigitIs(2));
        run.options([&](frmOptions2 &d) {
            QVERIFY(d.chkChangeBk->isChecked());
            QVERIFY(d.optCurrentDown[0]->isChecked());
        }, "cmdCancel");
    }

    // The one-digit box takes 0 to 3 and Backspace; with its digit in place
    // Enter moves on to OK.
    void currentDownBoxKeys()
    {
        AppState state;
        SettingsStore store;
        AppOptions options;
        options.mChangeBkCd = true;
        options.mCurrentDownNo = 0;
        frmOptions2 dialog(state, store, options, {});
        dialog.SSTabOption->setCurrentIndex(2);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QLineEdit *box = dialog.txtBreakNo;
        box->setFocus();
        QCOMPARE(box->text(), QStringLiteral("0"));
        QTest::keyClick(box, Qt::Key_2);
        QCOMPARE(box->text(), QStringLiteral("0"));
        QTest::keyClick(box, Qt::Key_Backspace);
        for (const char *key : {"a", "7", "-", " "})
            QTest::keyClicks(box, QString::fromLatin1(key));
        QCOMPARE(box->text(), QString());
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->hasFocus());
        QTest::keyClicks(box, QStringLiteral("3"));
        QCOMPARE(box->text(), QStringLiteral("3"));
        QTest::mouseClick(dialog.UpDown1[0], Qt::LeftButton);
        QCOMPARE(box->text(), QStringLiteral("3"));
        QTest::mouseClick(dialog.UpDown1[1], Qt::LeftButton);
        QCOMPARE(box->text(), QStringLiteral("2"));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(dialog.cmdOK->hasFocus());
        QVERIFY(dialog.isVisible());
    }

    // The pulse column follows the option; an edit not yet taken over and
    // the table's changed state survive every close of the dialog, and the
    // close of the main window still asks to save.
    void pulseColumnKeepsTheEdits()
    {
        Run run(2);
        PositionGrid &grid = *run.window->flgdData;
        QVERIFY(grid.isColumnHidden(Col::ColPulse));
        run.type(1, Col::ColVel, "4");
        run.type(1, Col::ColMm, "12.5");
        run.type(2, Col::ColMm, "0.01");
        run.type(1, Col::ColComment, "A");
        QVERIFY(run.program->positionData().gDataChanged);

        run.options([](frmOptions2 &d) { d.chkDispPulsPosi->setChecked(true); });
        QVERIFY(!grid.isColumnHidden(Col::ColPulse));
        QCOMPARE(run.cell(0, Col::ColPulse), LoadText(16));
        QCOMPARE(run.cell(1, Col::ColPulse), QStringLiteral("2500"));
        QCOMPARE(run.cell(2, Col::ColPulse), QStringLiteral("2"));
        QCOMPARE(run.cell(3, Col::ColPulse), QString());

        // A pulse typed now is kept through a Cancel and a hiding.
        run.type(3, Col::ColPulse, "400");
        run.options([](frmOptions2 &) {}, "cmdCancel");
        run.options([](frmOptions2 &d) { d.chkDispPulsPosi->setChecked(false); });
        QVERIFY(grid.isColumnHidden(Col::ColPulse));
        QCOMPARE(run.cell(0, Col::ColPulse), QString());
        const QStringList kept = {run.cell(1, Col::ColVel), run.cell(1, Col::ColMm), run.cell(2, Col::ColMm),
                                  run.cell(3, Col::ColMm), run.cell(1, Col::ColComment)};
        QCOMPARE(kept, (QStringList{"4", "12.500", "0.010", "2.000", "A"}));
        QVERIFY(run.program->positionData().gDataChanged);
        run.options([](frmOptions2 &d) { d.chkDispPulsPosi->setChecked(true); });
        QCOMPARE(run.cell(3, Col::ColPulse), QStringLiteral("400"));

        run.prompter.answer(Answer::Cancel);
        QVERIFY(!run.window->close());
        QCOMPARE(run.prompter.texts().value(0), LoadText(481) + QStringLiteral(" ") + LoadText(482));
    }

    // The details option shows the parameter window's details area and its
    // default box, for a window already open and for one opened later.
    void detailsOptionReachesTheParameterWindow()
    {
        Run run(1);
        run.window->mnuShowParameta->trigger();
        ParameterWindow *parameters = run.program->parameterWindow();
        QVERIFY(parameters);
        QVERIFY(!parameters->PictureExpPara->isVisible());
        run.options([](frmOptions2 &d) {
            QVERIFY(!d.chkParametaShow->isChecked());
            d.chkParametaShow->setChecked(true);
        });
        QVERIFY(parameters->PictureExpPara->isVisible());
        QVERIFY(parameters->chkUseDefoult->isEnabled());
        parameters->close();
        QTest::qWait(1);
        run.window->mnuShowParameta->trigger();
        QVERIFY(run.program->parameterWindow()->detailShow());
        run.options([](frmOptions2 &d) { QVERIFY(d.chkParametaShow->isChecked()); }, "cmdApply");
    }
};

KTED_TEST_MAIN(TestOptions)
#include "tst_options.moc"
