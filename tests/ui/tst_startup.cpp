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
#include "operation/movestate.h"
#include "operation/programgrid.h"
#include "parameters/parameterset.h"
#include "parameters/parameterwindow.h"
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
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
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

// The named controls of a shown window that do not fit: outside the window,
// a caption or button smaller than its text, a frame title cut, a grid whose
// columns or rows do not all show.
QStringList clippedControls(QWidget *window)
{
    QStringList clipped;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->objectName().isEmpty() || w->objectName() == QLatin1String("txtDummy"))
            continue;
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        const QSize need = w->minimumSizeHint();
        bool fits = window->rect().contains(r);
        if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w))
            fits = fits && w->width() >= need.width() && w->height() >= need.height();
        if (auto *box = qobject_cast<QGroupBox *>(w))
            fits = fits && box->fontMetrics().horizontalAdvance(box->title()) < box->width();
        if (auto *grid = qobject_cast<QTableWidget *>(w)) {
            const int lastRow = grid->rowCount() - 1;
            fits = fits && grid->horizontalHeader()->length() <= grid->viewport()->width() + 1
                   && grid->rowViewportPosition(lastRow) + grid->rowHeight(lastRow) <= grid->viewport()->height() + 1;
        }
        if (!fits)
            clipped << w->objectName();
    }
    return clipped;
}

QString joined(const QString &a, const QString &b)
{
    return a + QStringLiteral("\n\n") + b;
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void windowInBothLanguages_data()
    {
        QTest::addColumn<QString>("language"); // "" = not stored
        QTest::addColumn<bool>("english");
        // The three option switches, stored with one value ("" = not
        // stored): any non-zero value, read as an unsigned 16-bit number,
        // is on.
        QTest::addColumn<QString>("switches");
        QTest::addColumn<QList<bool>>("on"); // port held, pulse column, round up
        QTest::newRow("first run: Japanese") << QString() << false << QString() << QList<bool>{false, false, true};
        QTest::newRow("Languege=1: Japanese") << "1" << false << "-1" << QList<bool>{true, true, true};
        QTest::newRow("Languege=2: English") << "2" << true << "0" << QList<bool>{false, false, false};
        QTest::newRow("Languege=0: English") << "0" << true << "5" << QList<bool>{true, true, true};
    }

    // What the user and a screen reader find after the start-up, laid out.
    void windowInBothLanguages()
    {
        QFETCH(QString, language);
        QFETCH(bool, english);
        QFETCH(QString, switches);
        QFETCH(QList<bool>, on);
        Settings settings;
        if (!language.isEmpty())
            settings[SettingsKey::Language] = language;
        if (!switches.isEmpty()) {
            for (const QString &key : {SettingsKey::PortOccupy, SettingsKey::PulsePos, SettingsKey::MmRoundUp})
                settings[key] = switches;
        }
        Session s(settings);
        s.start();

        QCOMPARE(s.state.gLangOffset, english ? 10000 : 0);
        QCOMPARE((QList<bool>{s.state.gPortOccupy, s.state.gPulsePosDisp, s.state.gMmRoundUp}), on);
        // The rounding choice starts from its switch.
        QCOMPARE(s.find<QRadioButton>("optSutiSyori_0")->isChecked(), on.last());
        QCOMPARE(s.find<QRadioButton>("optSutiSyori_1")->isChecked(), !on.last());
        QVERIFY(s.window->isVisible());
        // The texts the user and a screen reader find, each the entry of the
        // table in the language of the run.
        const int off = english ? 10000 : 0;
        QCOMPARE(s.question, (QStringList{TableText(210 + off), TableText(211 + off), TableText(212 + off),
                                          TableText(213 + off)}));
        QCOMPARE(s.window->windowTitle(), TableText(479 + off) + QStringLiteral(" Ver") + VersionNumberText());
        const std::tuple<const char *, const char *, int> texts[] = {
            {"lblFilelabel", "text", 23},           {"cmdGetfromCt", "text", 7},
            {"cmdGetfromCt", "toolTip", 295},       {"optSutiSyori_0", "text", 10},
            {"optModeSelect_0", "text", 2},         {"framAlarm", "title", 26},
            {"mnuFile", "title", 251},              {"mnuFileExit", "text", 263},
            {"tbToolBar_1", "toolTip", 281},        {"lblFileName", "text", 483},
            {"imgPortGreen", "accessibleName", 25}, {"imgOut2Green", "accessibleName", 175},
            {"imgButton_0", "accessibleName", 50},  {"imgButton_3", "accessibleName", 48},
            {"flgdData", "accessibleName", 486},    {"flgdProgram", "accessibleName", 31},
            {"pictureSelectType", "accessibleName", 133},
        };
        for (const auto &[name, property, id] : texts)
            QCOMPARE(s.find<QObject>(name)->property(property).toString(), TableText(id + off));
        QCOMPARE(s.find<QTableWidget>("flgdProgram")->item(0, 1)->text(), TableText(45 + off));
        // The Edit menu is the same in both languages.
        QCOMPARE(s.find<QMenu>("mnuEdit")->title(), QStringLiteral("編集(&E)"));
        // The first-run model, checked against the catalogue without a word.
        QCOMPARE(s.prompter.texts(), QStringList{});
        QCOMPARE(s.find<QLabel>("lblDeviceType")->text(), QStringLiteral("KT- 28L-100"));
        QVERIFY(!s.find<QLabel>("lblOldType")->isVisible());
        QCOMPARE(s.startUp->modelSource(), StartUp::ModelSource::Offline);

        // Every control without a text of its own has a name.
        for (QWidget *w : s.window->findChildren<QWidget *>()) {
            if (qobject_cast<Lamp *>(w) || qobject_cast<PositionButton *>(w) || qobject_cast<PictureBox *>(w)
                || qobject_cast<QTableWidget *>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        // A lit lamp says so.
        auto *lamp = s.find<Lamp>("imgHomeGreen");
        QCOMPARE(lamp->accessibleDescription(), TableText(711 + off));
        lamp->setLit(true);
        QCOMPARE(lamp->accessibleDescription(), TableText(710 + off));

        // The window keeps its designed size, and every caption fits whole,
        // also when the window is shrunk as far as it goes (run again at
        // 150 % scaling by the test list).
        QCOMPARE(s.window->size(), QSize(11625 / 15, 7575 / 15));
        auto *tabs = s.find<QTabWidget>("SSTab1");
        for (const bool smallest : {false, true}) {
            if (smallest)
                s.window->resize(1, 1);
            for (int page = 0; page < 2; ++page) {
                tabs->setCurrentIndex(page);
                QCoreApplication::processEvents();
                QCOMPARE(clippedControls(s.window.get()), QStringList());
            }
        }

        // The parameter window, shrunk as far as it goes.
        ParameterSet parameters;
        ScriptedFileDialogs dialogs;
        ParameterWindow p(s.state, parameters, *s.catalogue, s.prompter, dialogs, nullptr);
        p.show();
        p.resize(1, 1);
        QCoreApplication::processEvents();
        QCOMPARE(clippedControls(&p), QStringList());
    }

    // A stored model the catalogue does not list, or no catalogue: the
    // messages, and the start-up goes on to the ready window.
    void modelMessages_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("catalogue");
        QTest::addColumn<QStringList>("messages");
        // A stored model that cannot be used gives way to the first-run model.
        const QString rejected = joined(joined(QStringLiteral("Type not selected."),
                                               QStringLiteral("Please select tyep again.")),
                                        QStringLiteral("The stored model cannot be used. The first-run model is "
                                                       "used instead."));
        const QString none = QStringLiteral("No device list file.");
        const QStringList noList{none, joined(none, QStringLiteral("Put device list file in the folder in which the "
                                                                   "program is saved in order to indicate device "
                                                                   "information correctly."))};
        const QString notFound = QStringLiteral("Fail to find device information...");
        namespace K = SettingsKey;
        QTest::newRow("size of two characters") << K::DevSize << "28" << true << QStringList{rejected};
        QTest::newRow("speed in lower case") << K::DevSpeed << "l" << true << QStringList{rejected};
        QTest::newRow("stroke below 10") << K::DevStroke << "5" << true << QStringList{rejected};
        QTest::newRow("no catalogue, lead 2") << K::DevLead << "2" << false << noList + QStringList{notFound};
        QTest::newRow("no catalogue, lead 10") << K::DevLead << "10" << false << noList + QStringList{notFound};
        QTest::newRow("no catalogue, lead 11")
            << K::DevLead << "11" << false << QStringList{none, rejected, noList.last(), notFound};
    }

    void modelMessages()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, catalogue);
        QTemporaryDir emptyFolder;
        Session s(Settings{{SettingsKey::Language, QStringLiteral("2")}, {key, value}},
                  catalogue ? SourceDataDir() : emptyFolder.path());
        s.start();
        QTEST(s.prompter.texts(), "messages");
        for (const auto &shown : s.prompter.shown())
            QCOMPARE(shown.buttons, Prompter::Buttons::Ok);
        QVERIFY(s.window->isVisible());
        if (!catalogue && value != QLatin1String("11")) // the stored model kept
            QCOMPARE(s.state.gDevLead, int16_t(value.toInt()));
        // A model in use either way: its label, its limits, its scale.
        QCOMPARE(s.find<QLabel>("lblDeviceType")->text(), QStringLiteral("KT- 28L-100"));
        QVERIFY(s.state.gMaxPulse > 0);
        QVERIFY(s.state.gDevPPR > 0);
    }

    // The controller's model on the main window: the family picture and the
    // old-type label follow its type. Without a controller the first choice
    // goes offline; that row answers the start-up's real two-choice dialog,
    // which has no Cancel.
    void controllerPath_data()
    {
        QTest::addColumn<int>("type"); // -1: no controller
        QTest::addColumn<bool>("ctVertical");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("oldLabel");
        // Device, size, speed, stroke, lead, pulses, new type and vertical
        // as a later run reads them: a new KT is always vertical, an old one
        // takes the controller's mounting, an RW never is.
        QTest::addColumn<QString>("stored");
        QTest::newRow("KT new") << 0 << false << "KT- 35H-150" << true << false << "KT| 35|H|150|6|400|1|1";
        QTest::newRow("KT old, vertical") << 1 << true << "KT- 35H-150" << true << true << "KT| 35|H|150|6|400|0|1";
        QTest::newRow("KT old, standard") << 1 << false << "KT- 35H-150" << true << true << "KT| 35|H|150|6|400|0|0";
        QTest::newRow("RW") << 2 << true << "RW- 35H-150" << false << false << "RW| 35|H|150|6|400|0|0";
        QTest::newRow("no controller") << -1 << false << "KT- 28L-100" << true << false << "";
    }

    void controllerPath()
    {
        QFETCH(int, type);
        QFETCH(bool, ctVertical);
        Session s(Settings{{SettingsKey::Language, QStringLiteral("2")}});
        s.startUp->hooks().readActuator = [=]() -> std::optional<CtActuatorSetting> {
            if (type < 0)
                return std::nullopt;
            return CtActuatorSetting{type, " 35", "H", 150, 6, 400, ctVertical};
        };
        QElapsedTimer clock;
        clock.start();
        if (type < 0) {
            ModalDriver driver;
            bool cancelShown = true;
            driver.then("SelectionDialog", [&](QWidget *w) {
                auto *dialog = static_cast<SelectionDialog *>(w);
                cancelShown = dialog->cmdSelectCancel->isVisible() || dialog->cmdSelectCancel->isEnabled();
                dialog->optSelectKomoku[0]->click();
                dialog->cmdSelectOK->click();
            });
            s.window = s.startUp->run();
            QVERIFY(driver.done());
            QVERIFY(!cancelShown);
        } else {
            s.start(0);
        }
        // The model read, the start-up pauses for a second (a coarse timer
        // may end it up to 5 % early).
        QVERIFY(type < 0 || clock.elapsed() >= ScaledMs(1000) * 95 / 100);
        QCOMPARE(s.startUp->modelSource(),
                 type < 0 ? StartUp::ModelSource::Offline : StartUp::ModelSource::Controller);
        QTEST(s.find<QLabel>("lblDeviceType")->text(), "model");
        QTEST(s.find<QWidget>("pictureSelectType")->isVisible(), "picture");
        QTEST(s.find<QLabel>("lblOldType")->isVisible(), "oldLabel");
        if (type < 0)
            return;
        namespace K = SettingsKey;
        QStringList stored;
        for (const QString &key : {K::Device, K::DevSize, K::DevSpeed, K::DevStroke, K::DevLead, K::DevPPR,
                                   K::NewType, K::Vertical})
            stored << s.stored(key);
        QTEST(stored.join(u'|'), "stored");
        QCOMPARE(s.state.gNewOldType, QLatin1String(type == 0 ? "NEW" : "OLD"));
        QCOMPARE(s.state.gVType, stored.last() == QLatin1String("1"));
    }

    // Closing asks first; going ahead stores the port and the language: a
    // language changed in the Options dialog is stored flipped. While an
    // operation with the controller runs, the close box is refused without
    // a question; the File menu's exit still asks.
    void closeStoresSettings_data()
    {
        QTest::addColumn<QString>("language"); // "" = not stored
        QTest::addColumn<bool>("changed"); // the language, in the Options dialog
        QTest::addColumn<int>("how"); // 0: close box, 1: close box while busy, 2: File exit while busy
        QTest::addColumn<bool>("finish"); // the answer to the finish question
        QTest::addColumn<QString>("stored");
        QTest::newRow("first run, unchanged") << "" << false << 0 << true << "1";
        QTest::newRow("English 2, changed") << "2" << true << 0 << true << "1";
        QTest::newRow("first run, changed, cancelled") << "" << true << 0 << false << "<none>";
        QTest::newRow("busy, close box") << "1" << true << 1 << true << "1";
        QTest::newRow("busy, File exit") << "1" << true << 2 << true << "2";
        QTest::newRow("busy, File exit cancelled") << "1" << true << 2 << false << "1";
    }

    void closeStoresSettings()
    {
        QFETCH(QString, language);
        QFETCH(bool, changed);
        QFETCH(int, how);
        QFETCH(bool, finish);
        Settings settings{{SettingsKey::PortNo, QStringLiteral("4")}};
        if (!language.isEmpty())
            settings[SettingsKey::Language] = language;
        Session s(settings);
        s.start();
        QCOMPARE(s.state.gPortNo, int16_t(4));
        // What the Options dialog leaves behind each time it closes.
        s.state.gPortNo = 7;
        s.state.gLanguageChanged = changed;

        s.window->gBusy = how > 0;
        const bool asked = how != 1, closes = asked && finish;
        s.prompter.clear();
        if (asked)
            s.prompter.answer(finish ? Prompter::Answer::Ok : Prompter::Answer::Cancel);
        if (how == 2)
            s.find<QAction>("mnuFileExit")->trigger();
        else
            QCOMPARE(s.window->close(), closes);
        const QString question = s.state.gLangOffset == 10000 ? QStringLiteral("Finish KT-ED.")
                                                              : TableText(479) + TableText(480);
        QCOMPARE(s.prompter.texts(), asked ? QStringList{question} : QStringList{});
        for (const auto &shown : s.prompter.shown())
            QVERIFY(shown.buttons == Prompter::Buttons::OkCancel && shown.icon == Prompter::Icon::Question);
        QCOMPARE(s.window->isVisible(), !closes);
        QTEST(s.stored(SettingsKey::Language), "stored");
        QCOMPARE(s.stored(SettingsKey::PortNo), closes ? QStringLiteral("7") : QStringLiteral("4"));
    }

    // The focus holder is out of the Tab chain: a full round of Tab never
    // loses the focus into it, and the program still parks the focus there.
    // Move mode shows the last position reached and the outputs the
    // controller reported there (not the position's number): nothing before
    // the first move, no lamp when nothing was reported. Edit mode greys the
    // move area again. Each toolbar button runs the command it stands for.
    // Hiding the toolbar and the status bar, then showing both, brings the
    // window back to its height.
    void focusModesToolbarAndBars()
    {
        Session s;
        s.start();
        MainWindow &w = *s.window;
        QApplication::setActiveWindow(&w);
        s.find<QPushButton>("cmdGetfromCt")->setFocus();
        auto *holder = s.find<QLineEdit>("txtDummy");
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget());
            QVERIFY2(QApplication::focusWidget() != holder, qPrintable(QString::number(i)));
        }
        w.CMDBTN_Yuko();
        QCOMPARE(QApplication::focusWidget(), holder);

        MoveState move;
        w.attachMoveState(&move);
        QVERIFY(!w.cmdMove->isEnabled());
        // The last position, the outputs reported there, the lamps OUT1 and OUT2.
        const std::tuple<int, int, bool, bool> states[] = {
            {-1, 3, false, false}, {2, 3, true, true}, {3, -1, false, false}};
        for (const auto &[lastPos, reported, out1, out2] : states) {
            move.gLastPos = int16_t(lastPos);
            move.lastOutputs = reported;
            w.optModeSelect[0]->click();
            QVERIFY(w.cmdMove->isEnabled() && w.flgdProgram->isEnabled() && w.cmdReset->isEnabled());
            QVERIFY(!w.cmdFileOpen->isEnabled() && !w.cmdChangeDev->isEnabled());
            QVERIFY(!w.tbButton[2]->isEnabled() && !w.mnuFileSave->isEnabled());
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
            QVERIFY(!w.cmdMove->isEnabled() && w.cmdFileOpen->isEnabled() && w.tbButton[2]->isEnabled());
            QVERIFY(!w.imgOut1Green->isLit() && !w.imgOut2Green->isLit());
            for (PositionButton *b : w.imgButton)
                QCOMPARE(b->picture(), PositionButton::Picture::Greyed);
        }

        const std::pair<const char *, const char *> commands[] = {
            {"tbToolBar_1", "mnuFileNew"},      {"tbToolBar_2", "cmdFileOpen"},  {"tbToolBar_3", "mnuFileSave"},
            {"tbToolBar_5", "mnuFilePrint"},    {"tbToolBar_7", "cmdGetfromCt"}, {"tbToolBar_8", "cmdLoadtoCt"},
            {"tbToolBar_9", "cmdPosiDataShogo"},
        };
        for (const auto &[button, target] : commands) {
            QObject *goal = w.findChild<QObject *>(QLatin1String(target));
            QVERIFY2(goal, target);
            QSignalSpy spy(goal, qobject_cast<QAction *>(goal) ? SIGNAL(triggered(bool)) : SIGNAL(clicked(bool)));
            QTest::mouseClick(w.tbToolBar->widgetForAction(s.find<QAction>(button)), Qt::LeftButton);
            QVERIFY2(spy.count() == 1, button);
        }

        const int height = w.height();
        auto frameTop = [&] { return s.find<QGroupBox>("frmTrancefer")->mapTo(&w, QPoint()).y(); };
        const int top = frameTop();
        w.mnuViewToolBar->trigger();
        QVERIFY(!w.tbToolBar->isVisible() && !w.mnuViewToolBar->isChecked());
        QCOMPARE(w.height(), height - w.tbToolBar->height());
        w.mnuViewStatusBar->trigger();
        QVERIFY(!w.statusBar()->isVisible());
        w.mnuViewToolBar->trigger();
        w.mnuViewStatusBar->trigger();
        QVERIFY(w.tbToolBar->isVisible() && w.statusBar()->isVisible());
        QCOMPARE(w.height(), height);
        QCoreApplication::processEvents();
        QCOMPARE(frameTop(), top);
    }
};

KTED_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
