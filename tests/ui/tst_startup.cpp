// The program from its start to its end, with the real main window under the
// offscreen platform, a settings store of its own and the shipped list files:
// what the user sees after the start-up in either language, the messages
// about the stored model and the catalogue, the start-up choice, the
// controller path, the layout, and what closing the window stores.

#include "app/appstate.h"
#include "app/selectiondialog.h"
#include "app/settingsstore.h"
#include "app/version.h"
#include "catalogue/catalogue.h"
#include "common/timescale.h"
#include "modaldriver.h"
#include "position/positiongrid.h"
#include "scriptedprompter.h"
#include "tabletext.h"
#include "testenv.h"
#include "ui/lamp.h"
#include "ui/mainwindow.h"
#include "ui/picturebox.h"
#include "ui/positionbutton.h"
#include "ui/startup.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <map>
#include <memory>

namespace {

using Settings = std::map<QString, QString>;

// One run of the program: its own settings file and list folder.
struct Session
{
    explicit Session(const Settings &settings = {}, const QString &listDir = SourceDataDir())
    {
        iniPath = dir.filePath(QStringLiteral("settings.ini"));
        {
            SettingsStore seed(iniPath);
            for (const auto &[key, value] : settings)
                seed.writeText(key, value);
            seed.sync();
        }
        store = std::make_unique<SettingsStore>(iniPath);
        catalogue = std::make_unique<Catalogue>(state, prompter, listDir);
        startUp = std::make_unique<StartUp>(state, *store, prompter, *catalogue);
        startUp->setShowSplash(false);
    }

    // Starts with the given answer to the start-up question (0: read from
    // the controller, 1: offline), recording the question's texts.
    void start(int choice = 1)
    {
        startUp->hooks().choose = [this, choice](const QString &title, const QString &prompt,
                                                 const QString &c0, const QString &c1) {
            question = {title, prompt, c0, c1};
            return choice;
        };
        window = startUp->run();
    }

    // The settings as a later run would read them.
    QString stored(const QString &key) const
    {
        SettingsStore fresh(iniPath);
        return fresh.contains(key) ? fresh.readText(key, QString()) : QStringLiteral("<none>");
    }

    template <typename T>
    T *find(const char *name) const
    {
        T *w = window->findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning("no %s in the main window", name);
        return w;
    }

    QAction *action(const char *name) const { return find<QAction>(name); }

    QTemporaryDir dir;
    QString iniPath;
    AppState state;
    ScriptedPrompter prompter;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<Catalogue> catalogue;
    std::unique_ptr<StartUp> startUp;
    std::unique_ptr<MainWindow> window;
    QStringList question;
};

// English texts are compared with the literal texts; Japanese ones with the
// table's own entries.
QString expected(bool english, int id, const char *englishText)
{
    return english ? QString::fromUtf8(englishText) : TableText(id);
}

QString joined(const QString &a, const QString &b)
{
    return a + QStringLiteral("\n\n") + b;
}

QString title() { return QStringLiteral(" Ver") + VersionNumberText(); }

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void captionsInBothLanguages_data()
    {
        QTest::addColumn<QString>("language");  // "" = not stored
        QTest::addColumn<bool>("english");
        QTest::newRow("first run: Japanese") << QString() << false;
        QTest::newRow("Languege=1: Japanese") << "1" << false;
        QTest::newRow("Languege=2: English") << "2" << true;
        QTest::newRow("Languege=0: English") << "0" << true;
    }

    void captionsInBothLanguages()
    {
        QFETCH(QString, language);
        QFETCH(bool, english);
        Settings settings;
        if (!language.isEmpty())
            settings[SettingsKey::Language] = language;
        Session s(settings);
        s.start();

        QCOMPARE(s.state.gLangOffset, english ? 10000 : 0);
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.question, (QStringList{expected(english, 210, "Device setting"),
                                          expected(english, 211, "Which methods by the following do you select?"),
                                          expected(english, 212, "Reading from C/T"),
                                          expected(english, 213, "Offline setting")}));
        // Window title, label, button, option buttons, frame.
        QCOMPARE(s.window->windowTitle(), expected(english, 479, "KT-ED") + title());
        QCOMPARE(s.find<QLabel>("lblFilelabel")->text(), expected(english, 23, "File Name"));
        QCOMPARE(s.find<QLabel>("lblSelectPosNo_2")->text(), expected(english, 47, "Position No.2"));
        QCOMPARE(s.find<QPushButton>("cmdGetfromCt")->text(), expected(english, 7, "Read from C/T"));
        QCOMPARE(s.find<QPushButton>("cmdGetfromCt")->toolTip(), expected(english, 295, "Read Data from Controller"));
        QCOMPARE(s.find<QPushButton>("cmdInp1toF")->text(), expected(english, 43, "1 to 3"));
        QCOMPARE(s.find<QRadioButton>("optSutiSyori_0")->text(), expected(english, 10, "Round up"));
        QCOMPARE(s.find<QRadioButton>("optModeSelect_0")->text(), expected(english, 2, "Move Mode"));
        QCOMPARE(s.find<QRadioButton>("optSelectMode_1")->text(), expected(english, 37, "Step"));
        QCOMPARE(s.find<QGroupBox>("framAlarm")->title(), expected(english, 26, "ALARM"));
        QCOMPARE(s.find<QLabel>("lblErrorComment")->text(), expected(english, 29, "No Error"));
        // Menu entries, with the fixed Edit menu in both languages.
        QCOMPARE(s.find<QMenu>("mnuFile")->title(), expected(english, 251, "File(&F)"));
        QCOMPARE(s.action("mnuFileExit")->text(), expected(english, 263, "Exit(&X)"));
        QCOMPARE(s.action("mnuModeGaibu")->text(), expected(english, 275, "External start mode(&G)"));
        QCOMPARE(s.find<QMenu>("mnuEdit")->title(), QStringLiteral("編集(&E)"));
        QCOMPARE(s.action("mnuEditCopy")->text(), QStringLiteral("コピー(&C)"));
        // Toolbar tool tips.
        QCOMPARE(s.action("tbToolBar_1")->toolTip(), expected(english, 281, "All clear & New Data"));
        QCOMPARE(s.action("tbToolBar_9")->toolTip(), expected(english, 287, "Verify Data"));
        // The move program grid's header and the new data set's name.
        QCOMPARE(s.find<QTableWidget>("flgdProgram")->item(0, 1)->text(), expected(english, 45, "Moving Position"));
        QCOMPARE(s.find<QTableWidget>("flgdProgram")->item(9, 0)->text(), QStringLiteral("9"));
        QCOMPARE(s.find<QLabel>("lblFileName")->text(),
                 english ? QStringLiteral("New Data") : QStringLiteral("新規作成"));

        // The first-run model, checked against the catalogue without a word.
        QCOMPARE(s.prompter.texts(), QStringList{});
        QCOMPARE(s.find<QLabel>("lblDeviceType")->text(), QStringLiteral("KT- 28L-100"));
        QVERIFY(s.state.gIsKT && s.state.gIsNewType && s.state.gVertical);
        QCOMPARE(s.state.gDevLead, int16_t(2));
        QCOMPARE(s.state.gDevPPR, int16_t(400));
        QCOMPARE(s.state.gMaxPulse, 20000);
        QVERIFY(!s.find<QLabel>("lblOldType")->isVisible());
        QVERIFY(s.find<QRadioButton>("optSutiSyori_0")->isChecked());
        if (english) {
            QCOMPARE(s.window->sbPanel[2]->text(), QStringLiteral("1mm = 200Pulse"));
            QCOMPARE(s.window->sbPanel[3]->text(), QStringLiteral("1Pulse= 0.005mm"));
        }
        QCOMPARE(s.startUp->modelSource(), StartUp::ModelSource::Offline);
    }

    // The three switches count as on for any non-zero value, read as an
    // unsigned 16-bit number.
    void optionSwitches_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("PortOccupy=5") << SettingsKey::PortOccupy << "5" << true;
        QTest::newRow("PortOccupy=-1") << SettingsKey::PortOccupy << "-1" << true;
        QTest::newRow("PortOccupy=0") << SettingsKey::PortOccupy << "0" << false;
        QTest::newRow("PLSPos=1") << SettingsKey::PulsePos << "1" << true;
        QTest::newRow("MmRoundUp=0") << SettingsKey::MmRoundUp << "0" << false;
        QTest::newRow("MmRoundUp=-2") << SettingsKey::MmRoundUp << "-2" << true;
    }

    void optionSwitches()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, on);
        Session s(Settings{{key, value}});
        s.start();
        const bool read = key == SettingsKey::PortOccupy ? s.state.gPortOccupy
                          : key == SettingsKey::PulsePos ? s.state.gPulsePosDisp
                                                         : s.state.gMmRoundUp;
        QCOMPARE(read, on);
        if (key == SettingsKey::MmRoundUp) {
            // The rounding choice starts from it; the setting is never written.
            QCOMPARE(s.find<QRadioButton>("optSutiSyori_0")->isChecked(), on);
            QCOMPARE(s.find<QRadioButton>("optSutiSyori_1")->isChecked(), !on);
        }
    }

    void storedModelRejected_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("stroke not in the catalogue") << SettingsKey::DevStroke << "123";
        QTest::newRow("size of two characters") << SettingsKey::DevSize << "28";
        QTest::newRow("speed in lower case") << SettingsKey::DevSpeed << "l";
        QTest::newRow("stroke below 10") << SettingsKey::DevStroke << "5";
    }

    void storedModelRejected()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        Session s(Settings{{SettingsKey::Language, QStringLiteral("2")}, {key, value}});
        s.start();
        QCOMPARE(s.prompter.texts(),
                 QStringList{joined(QStringLiteral("Type not selected."), QStringLiteral("Please select tyep again."))});
        QCOMPARE(s.prompter.shown().first().buttons, Prompter::Buttons::Ok);
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.window->windowTitle(), QStringLiteral("KT-ED") + title());
    }

    void missingCatalogue_data()
    {
        QTest::addColumn<QString>("devLead");
        QTest::addColumn<bool>("modelRejected");
        QTest::newRow("stored lead 2") << "" << false;
        QTest::newRow("stored lead 10") << "10" << false;
        QTest::newRow("stored lead 11") << "11" << true;
    }

    void missingCatalogue()
    {
        QFETCH(QString, devLead);
        QFETCH(bool, modelRejected);
        QTemporaryDir emptyFolder;
        Settings settings{{SettingsKey::Language, QStringLiteral("2")}};
        if (!devLead.isEmpty())
            settings[SettingsKey::DevLead] = devLead;
        Session s(settings, emptyFolder.path());
        s.start();

        const QString noList = QStringLiteral("No device list file.");
        const QString advice = QStringLiteral("Put device list file in the folder in which the program is "
                                              "saved in order to indicate device information correctly.");
        const QString rejected = joined(QStringLiteral("Type not selected."), QStringLiteral("Please select tyep again."));
        QVERIFY2(s.prompter.texts().contains(noList), qPrintable(s.prompter.texts().join(u'|')));
        QCOMPARE(s.prompter.texts().contains(joined(noList, advice)), !modelRejected);
        QCOMPARE(s.prompter.texts().contains(rejected), modelRejected);
        // The start-up goes on to the ready window.
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.window->windowTitle(), QStringLiteral("KT-ED") + title());
        if (!modelRejected) {
            QCOMPARE(s.state.gDevLead, int16_t(devLead.isEmpty() ? 2 : devLead.toInt()));
            QCOMPARE(s.find<QLabel>("lblDeviceType")->text(), QStringLiteral("KT- 28L-100"));
        }
    }

    // The real two-choice dialog: no Cancel, the close box and Escape
    // refused. Without a controller link the first choice goes offline.
    void startupChoiceCannotBeCancelled()
    {
        Session s(Settings{{SettingsKey::Language, QStringLiteral("2")}});
        ModalDriver driver;
        bool cancelVisible = true, cancelEnabled = true, closed = true, escaped = true;
        QString dialogTitle;
        driver.then("SelectionDialog", [&](QWidget *w) {
            auto *dialog = static_cast<SelectionDialog *>(w);
            dialogTitle = dialog->windowTitle();
            cancelVisible = dialog->cmdSelectCancel->isVisible();
            cancelEnabled = dialog->cmdSelectCancel->isEnabled();
            dialog->close();
            closed = !dialog->isVisible();
            QTest::keyClick(dialog, Qt::Key_Escape);
            escaped = !dialog->isVisible();
            QCOMPARE(dialog->optSelectKomoku[0]->text(), QStringLiteral("Reading from C/T"));
            dialog->optSelectKomoku[0]->click();
            dialog->cmdSelectOK->click();
        });
        s.window = s.startUp->run();
        QVERIFY(driver.done());
        QCOMPARE(dialogTitle, QStringLiteral("Device setting"));
        QVERIFY(!cancelVisible);
        QVERIFY(!cancelEnabled);
        QVERIFY(!closed);
        QVERIFY(!escaped);
        QCOMPARE(s.startUp->modelSource(), StartUp::ModelSource::Offline);
        QCOMPARE(s.find<QLabel>("lblDeviceType")->text(), QStringLiteral("KT- 28L-100"));
    }

    void controllerPath_data()
    {
        QTest::addColumn<bool>("replies");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("newType");
        QTest::addColumn<QString>("vertical");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("oldLabel");
        QTest::newRow("KT new") << true << 0 << "KT- 35H-150" << "KT" << "1" << "1" << true << false;
        QTest::newRow("KT old") << true << 1 << "KT- 35H-150" << "KT" << "0" << "0" << true << true;
        QTest::newRow("RW") << true << 2 << "RW- 35H-150" << "RW" << "0" << "0" << false << false;
        QTest::newRow("no controller") << false << 0 << "KT- 28L-100" << "<none>" << "<none>" << "<none>" << true
                                       << false;
    }

    void controllerPath()
    {
        QFETCH(bool, replies);
        QFETCH(int, type);
        QFETCH(QString, model);
        QFETCH(QString, device);
        QFETCH(QString, newType);
        QFETCH(QString, vertical);
        QFETCH(bool, picture);
        QFETCH(bool, oldLabel);

        Session s(Settings{{SettingsKey::Language, QStringLiteral("2")}});
        QStringList progress;
        auto &hooks = s.startUp->hooks();
        hooks.showProgress = [&](const QString &text, int maximum) {
            progress << QStringLiteral("show %1 %2").arg(text).arg(maximum);
        };
        hooks.setProgress = [&](int value) { progress << QString::number(value); };
        hooks.closeProgress = [&] { progress << QStringLiteral("close"); };
        hooks.readActuator = [&]() -> std::optional<CtActuatorSetting> {
            if (!replies)
                return std::nullopt;
            CtActuatorSetting ct;
            ct.type = type;
            ct.size = QStringLiteral(" 35");
            ct.speed = QStringLiteral("H");
            ct.stroke = 150;
            ct.lead = 6;
            ct.pulse = 400;
            ct.vertical = false;
            return ct;
        };
        s.start(0);

        QCOMPARE(s.startUp->modelSource(),
                 replies ? StartUp::ModelSource::Controller : StartUp::ModelSource::Offline);
        QCOMPARE(s.find<QLabel>("lblDeviceType")->text(), model);
        QCOMPARE(s.stored(SettingsKey::Device), device);
        QCOMPARE(s.stored(SettingsKey::NewType), newType);
        QCOMPARE(s.stored(SettingsKey::Vertical), vertical);
        QCOMPARE(s.find<QWidget>("pictureSelectType")->isVisible(), picture);
        QCOMPARE(s.find<QLabel>("lblOldType")->isVisible(), oldLabel);
        const QString shown = QStringLiteral("show Reading data from controller... 4");
        QCOMPARE(progress, replies ? (QStringList{shown, "1", "2", "3", "4", "close"})
                                   : (QStringList{shown, "close"}));
        if (replies) {
            QCOMPARE(s.stored(SettingsKey::DevSize), QStringLiteral(" 35"));
            QCOMPARE(s.stored(SettingsKey::DevStroke), QStringLiteral("150"));
            QCOMPARE(s.stored(SettingsKey::DevLead), QStringLiteral("6"));
            QCOMPARE(s.state.gMaxPulse, 10000);
            QCOMPARE(s.window->sbPanel[2]->text(), QStringLiteral("1mm = 66.667Pulse"));
        }
    }

    // Closing stores the port and the language; a language changed in the
    // Options dialog is stored flipped, one changed back stores nothing new.
    void closeStoresSettings_data()
    {
        QTest::addColumn<QString>("language");  // "" = not stored
        QTest::addColumn<QList<bool>>("optionsChanges");
        QTest::addColumn<QString>("stored");
        QTest::newRow("first run, unchanged") << "" << QList<bool>{} << "1";
        QTest::newRow("Japanese, changed") << "1" << QList<bool>{true} << "2";
        QTest::newRow("English 2, changed") << "2" << QList<bool>{true} << "1";
        QTest::newRow("English 0, changed") << "0" << QList<bool>{true} << "1";
        QTest::newRow("English 0, unchanged") << "0" << QList<bool>{} << "0";
        QTest::newRow("Japanese, changed and back") << "1" << QList<bool>{true, false} << "1";
        QTest::newRow("English 2, changed and back") << "2" << QList<bool>{true, false} << "2";
    }

    void closeStoresSettings()
    {
        QFETCH(QString, language);
        QFETCH(QList<bool>, optionsChanges);
        QFETCH(QString, stored);
        Settings settings{{SettingsKey::PortNo, QStringLiteral("4")}};
        if (!language.isEmpty())
            settings[SettingsKey::Language] = language;
        Session s(settings);
        s.start();
        QCOMPARE(s.state.gPortNo, int16_t(4));
        // What the Options dialog leaves behind each time it closes.
        for (bool changed : optionsChanges)
            s.state.gLanguageChanged = changed;

        s.prompter.clear();
        s.prompter.answer(Prompter::Answer::Ok);
        QVERIFY(s.window->close());
        const bool english = s.state.gLangOffset == 10000;
        QCOMPARE(s.prompter.texts(), QStringList{english ? QStringLiteral("Finish KT-ED.")
                                                         : TableText(479) + TableText(480)});
        QCOMPARE(s.prompter.shown().first().buttons, Prompter::Buttons::OkCancel);
        QCOMPARE(s.prompter.shown().first().icon, Prompter::Icon::Question);
        QVERIFY(!s.window->isVisible());
        QCOMPARE(s.stored(SettingsKey::Language), stored);
        QCOMPARE(s.stored(SettingsKey::PortNo), QStringLiteral("4"));
    }

    void closeCancelledKeepsWindow()
    {
        Session s;
        s.start();
        s.state.gLanguageChanged = true;
        s.prompter.answer(Prompter::Answer::Cancel);
        QVERIFY(!s.window->close());
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.stored(SettingsKey::Language), QStringLiteral("<none>"));
        QCOMPARE(s.stored(SettingsKey::PortNo), QStringLiteral("<none>"));
    }

    // While an operation with the controller runs, the close box is refused
    // without a question; the File menu's exit still asks.
    void busyRefusesCloseBox()
    {
        Session s;
        s.start();
        s.window->gBusy = true;
        QVERIFY(!s.window->close());
        QCOMPARE(s.prompter.texts(), QStringList{});
        s.prompter.answer(Prompter::Answer::Cancel);
        s.action("mnuFileExit")->trigger();
        QCOMPARE(s.prompter.texts().size(), 1);
        QVERIFY(s.window->isVisible());
        s.prompter.answer(Prompter::Answer::Ok);
        s.action("mnuFileExit")->trigger();
        QVERIFY(!s.window->isVisible());
    }

    void accessibleNames_data()
    {
        QTest::addColumn<bool>("english");
        QTest::newRow("Japanese") << false;
        QTest::newRow("English") << true;
    }

    void accessibleNames()
    {
        QFETCH(bool, english);
        Session s(Settings{{SettingsKey::Language, english ? QStringLiteral("2") : QStringLiteral("1")}});
        s.start();
        const std::pair<const char *, std::pair<int, const char *>> names[] = {
            {"imgPortGreen", {25, "RS-232C"}}, {"imgHomeGreen", {24, "Home"}},
            {"imgAlarmLed", {26, "ALARM"}},    {"imgOut1Green", {174, "OUT1"}},
            {"imgOut2Green", {175, "OUT2"}},   {"imgButton_0", {50, "Home"}},
            {"imgButton_3", {48, "Position No.3"}}, {"flgdData", {486, "Position Data"}},
            {"flgdProgram", {31, "Continual Motion"}}, {"pictureSelectType", {133, "KT"}},
        };
        for (const auto &[name, text] : names)
            QCOMPARE(s.find<QWidget>(name)->accessibleName(), expected(english, text.first, text.second));
        // Every control without a text of its own has a name.
        for (QWidget *w : s.window->findChildren<QWidget *>()) {
            if (qobject_cast<Lamp *>(w) || qobject_cast<PositionButton *>(w) || qobject_cast<PictureBox *>(w)
                || qobject_cast<QTableWidget *>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        // A lit lamp says so.
        auto *lamp = s.find<Lamp>("imgHomeGreen");
        const QString dark = lamp->accessibleDescription();
        lamp->setLit(true);
        QCOMPARE(dark, expected(english, 711, "Off"));
        QCOMPARE(lamp->accessibleDescription(), expected(english, 710, "Lit"));
    }

    // The window keeps its designed size, and every caption fits whole, in
    // both languages (run again at 150 % scaling by the test list).
    void layoutFits_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("Japanese") << "1";
        QTest::newRow("English") << "2";
    }

    void layoutFits()
    {
        QFETCH(QString, language);
        Session s(Settings{{SettingsKey::Language, language}});
        s.start();
        QCOMPARE(s.window->size(), QSize(11625 / 15, 7575 / 15));
        auto *tabs = s.find<QTabWidget>("SSTab1");
        for (int page = 0; page < 2; ++page) {
            tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            const QRect inside = s.window->rect();
            for (QWidget *w : s.window->findChildren<QWidget *>()) {
                if (!w->isVisible() || w->objectName().isEmpty() || w->objectName() == QLatin1String("txtDummy"))
                    continue;
                const QRect r(w->mapTo(s.window.get(), QPoint(0, 0)), w->size());
                QVERIFY2(inside.contains(r), qPrintable(w->objectName()));
                if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)) {
                    const QSize need = w->minimumSizeHint();
                    QVERIFY2(w->width() >= need.width() && w->height() >= need.height(),
                             qPrintable(QStringLiteral("%1 %2x%3 < %4x%5")
                                            .arg(w->objectName())
                                            .arg(w->width())
                                            .arg(w->height())
                                            .arg(need.width())
                                            .arg(need.height())));
                }
                if (auto *box = qobject_cast<QGroupBox *>(w)) {
                    QVERIFY2(box->fontMetrics().horizontalAdvance(box->title()) < box->width(),
                             qPrintable(box->objectName()));
                }
            }
        }
    }

    // Each toolbar button runs the command it stands for.
    void toolbarDispatch_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::newRow("New") << "tbToolBar_1" << "mnuFileNew";
        QTest::newRow("Open") << "tbToolBar_2" << "cmdFileOpen";
        QTest::newRow("Save") << "tbToolBar_3" << "mnuFileSave";
        QTest::newRow("Print") << "tbToolBar_5" << "mnuFilePrint";
        QTest::newRow("Read") << "tbToolBar_7" << "cmdGetfromCt";
        QTest::newRow("Load") << "tbToolBar_8" << "cmdLoadtoCt";
        QTest::newRow("Shogo") << "tbToolBar_9" << "cmdPosiDataShogo";
    }

    void toolbarDispatch()
    {
        QFETCH(QString, button);
        QFETCH(QString, target);
        Session s;
        s.start();
        QObject *goal = s.window->findChild<QObject *>(target);
        QVERIFY(goal);
        QSignalSpy spy(goal, qobject_cast<QAction *>(goal) ? SIGNAL(triggered(bool)) : SIGNAL(clicked(bool)));
        QList<QSignalSpy *> others;
        for (QObject *o : s.window->findChildren<QPushButton *>())
            if (o != goal)
                others << new QSignalSpy(o, SIGNAL(clicked(bool)));
        QWidget *tool = s.window->tbToolBar->widgetForAction(s.action(qPrintable(button)));
        QVERIFY(tool);
        QTest::mouseClick(tool, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        for (QSignalSpy *o : others) {
            QCOMPARE(o->count(), 0);
            delete o;
        }
    }

    // Move mode shows the last position reached; Edit mode greys the move
    // area again.
    void modeSwitch_data()
    {
        QTest::addColumn<int>("lastPos");
        QTest::addColumn<bool>("out1");
        QTest::addColumn<bool>("out2");
        QTest::newRow("no move yet") << -1 << false << false;
        QTest::newRow("home") << 0 << false << false;
        QTest::newRow("position 1") << 1 << true << false;
        QTest::newRow("position 2") << 2 << false << true;
        QTest::newRow("position 3") << 3 << true << true;
    }

    void modeSwitch()
    {
        QFETCH(int, lastPos);
        QFETCH(bool, out1);
        QFETCH(bool, out2);
        Session s;
        s.start();
        MainWindow &w = *s.window;
        w.gLastPos = int16_t(lastPos);
        QVERIFY(!w.cmdMove->isEnabled());
        w.optModeSelect[0]->click();

        QVERIFY(w.cmdMove->isEnabled());
        QVERIFY(w.flgdProgram->isEnabled());
        QVERIFY(!w.cmdFileOpen->isEnabled());
        QVERIFY(!w.cmdChangeDev->isEnabled());
        QVERIFY(!w.tbButton[2]->isEnabled());
        QVERIFY(!w.mnuFileSave->isEnabled());
        QVERIFY(w.cmdReset->isEnabled());
        // The timer box stays off while the timer is not switched on.
        QVERIFY(!w.txtTimer->isEnabled());
        for (int i = 0; i < 4; ++i) {
            const auto picture = lastPos < 0 ? PositionButton::Picture::Greyed
                                 : i == lastPos ? PositionButton::Picture::Current
                                                : PositionButton::Picture::Normal;
            QCOMPARE(w.imgButton[i]->picture(), picture);
        }
        QCOMPARE(w.imgOut1Green->isLit(), out1);
        QCOMPARE(w.imgOut2Green->isLit(), out2);

        w.optModeSelect[1]->click();
        QVERIFY(!w.cmdMove->isEnabled());
        QVERIFY(w.cmdFileOpen->isEnabled());
        QVERIFY(w.tbButton[2]->isEnabled());
        QVERIFY(!w.imgOut1Green->isLit() && !w.imgOut2Green->isLit());
        for (PositionButton *b : w.imgButton)
            QCOMPARE(b->picture(), PositionButton::Picture::Greyed);
    }

    // Hiding the toolbar and the status bar, then showing both, brings the
    // window back to its height.
    void toolbarAndStatusBar()
    {
        Session s;
        s.start();
        MainWindow &w = *s.window;
        const int height = w.height();
        const int frameTop = w.findChild<QGroupBox *>(QStringLiteral("frmTrancefer"))->mapTo(&w, QPoint()).y();
        w.mnuViewToolBar->trigger();
        QVERIFY(!w.tbToolBar->isVisible());
        QVERIFY(!w.mnuViewToolBar->isChecked());
        QCOMPARE(w.height(), height - w.tbToolBar->height());
        w.mnuViewStatusBar->trigger();
        QVERIFY(!w.statusBar()->isVisible());
        w.mnuViewToolBar->trigger();
        w.mnuViewStatusBar->trigger();
        QVERIFY(w.tbToolBar->isVisible() && w.statusBar()->isVisible());
        QCOMPARE(w.height(), height);
        QCoreApplication::processEvents();
        QCOMPARE(w.findChild<QGroupBox *>(QStringLiteral("frmTrancefer"))->mapTo(&w, QPoint()).y(), frameTop);
    }

    void waitMsec()
    {
        Session s;
        s.start();
        QElapsedTimer clock;
        clock.start();
        s.window->WaitMsec(1000);
        QVERIFY(clock.elapsed() >= ScaledMs(1000) - 5);
        QVERIFY(!s.window->mmsecTimer->isActive());
    }
};

KTED_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
