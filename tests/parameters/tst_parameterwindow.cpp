// The parameter window. As an editor: the keys and pastes its fields take,
// the Enter chain, the checks when a field is left, the homing method and
// model text the lists give, the Default and Calculate buttons, driven
// through the window's own controls with the real device selection dialog
// and calculator. Its commands against the simulated controller: the exact
// lines the controller received, the messages the user read, and what the
// window shows afterwards.

#include "../ui/modaldriver.h"
#include "simscript.h"
#include "transferrig.h"

#include "catalogue/devicedialog.h"
#include "catalogue/digitfields.h"
#include "catalogue/strokecalculator.h"
#include "common/datafile.h"
#include "parameters/fieldrules.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "parameters/parameterwindow.h"
#include "parameters/startupctread.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Answer = Prompter::Answer;

namespace {

const QString kHeader = QStringLiteral("\"KT-E1\",\"Parameter\"\r\n");
// KT new generation, E35L-050, sensor homing, lead 2, 400 pulses: a model
// the catalogue lists, written by the controller as the catalogue has it.
const QString kE35 = QStringLiteral(
    "3000,700,0,10,10,60,40,60,60,60,60,60,60,60,10,20,30,1,2,400,0,\"E35L-050\",1,1\r\n");
const QString kWrite = QStringLiteral("Send parameters to controller?");
const QString kReset = QStringLiteral("Reset controller. Is it OK?");
const QString kUnmatchedRead = QStringLiteral(
    "Actuator setting by the side of PC and in side of controller unmatched.\n\n"
    "Read Actuator setting inside of controller?");
const QString kCtOk =
    QStringLiteral("Parameters : indicated and inside of controller\n\nResult of Verification : OK");
const QString kCtNg = QStringLiteral("Parameters : indicated and inside of controller\n\n"
                                     "Result of Verification : NG.\n\n<Unmatched Parameter No.>\n");

const QStringList kReadLines{"0CM1", "0RD00", "0RD10", "0RD11", "0RD12", "0RD13", "0RD14"};
// The actuator read puts the controller into communication mode first, as
// every exchange does (after a reset the controller is out of it).
const QStringList kActuatorLines{"0CM1", "0RD14", "0RD13", "0RD11"};
const QString kCommError = QStringLiteral("Communication error occurs!");

QString writeParaFile(const QString &name, const QString &record)
{
    const QString path = QDir(TestScratchDir()).filePath(name);
    return WriteDataFile(path, kHeader + record).ok ? path : QString();
}

// A parameter window with a parameter set and a transfer of its own.
struct Window
{
    explicit Window(LinkRig &r)
        : transfer(r.app, set, *r.link, r.prompter, r.progress)
        , window(r.app, set, *r.catalogue, r.prompter, r.dialogs, &transfer)
    {
        window.setCommandSurface(&r.surface);
    }
    ParameterSet set;
    ParameterTransfer transfer;
    ParameterWindow window;
};

// Every text field of a window, by object name.
QMap<QString, QString> texts(const ParameterWindow &w)
{
    QMap<QString, QString> all;
    for (const QLineEdit *e : w.findChildren<QLineEdit *>())
        if (e->objectName().startsWith(u"txt"))
            all.insert(e->objectName(), e->text());
    return all;
}

// Right-click on the field and choose Paste in the menu that opens.
void pasteFromContextMenu(QLineEdit *e)
{
    const QPoint at = e->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, e->mapToGlobal(at));
    QApplication::sendEvent(e, &click);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    const QList<QAction *> entries = menu->actions();
    const auto paste = std::find_if(entries.begin(), entries.end(),
                                    [](QAction *a) { return a->text().startsWith(QLatin1String("&Paste")); });
    QVERIFY(paste != entries.end() && (*paste)->isEnabled());
    (*paste)->trigger();
    menu->close();
}

// Keys as typed: "\b" is Backspace, "\t" Tab, "\n" Enter; "^A" is Ctrl+A
// (select all), "^V" Ctrl+V, "^I" Shift+Insert, "^M" Paste in the field's
// context menu.
void type(QLineEdit *e, const QString &keys)
{
    static const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifier>> named{
        {"^A", {Qt::Key_A, Qt::ControlModifier}},   {"^V", {Qt::Key_V, Qt::ControlModifier}},
        {"^I", {Qt::Key_Insert, Qt::ShiftModifier}}, {"\b", {Qt::Key_Backspace, Qt::NoModifier}},
        {"\t", {Qt::Key_Tab, Qt::NoModifier}},        {"\n", {Qt::Key_Return, Qt::NoModifier}}};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString key = keys.mid(i, keys[i] == u'^' ? 2 : 1);
        i += key.size() - 1;
        if (key == QLatin1String("^M"))
            pasteFromContextMenu(e);
        else if (named.contains(key))
            QTest::keyClick(e, named[key].first, named[key].second);
        else
            QTest::keyClicks(e, key);
    }
}

void choose(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    emit combo->activated(combo->currentIndex());
}

} // namespace

class TestParameterWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> m_rig;
    std::vector<std::unique_ptr<Window>> m_windows;

    ParameterWindow &openWindow()
    {
        m_windows.push_back(std::make_unique<Window>(*m_rig));
        return m_windows.back()->window;
    }

    // The newest window, shown and active so that the focus moves as on a
    // desktop.
    ParameterWindow &showWindow()
    {
        ParameterWindow &w = openWindow();
        w.show();
        QApplication::setActiveWindow(&w);
        return w;
    }

    const ParameterSet &set() const { return m_windows.back()->set; }

    void click(const char *button)
    {
        auto *b = m_windows.back()->window.findChild<QPushButton *>(QLatin1String(button));
        QVERIFY(b);
        QVERIFY(b->isEnabled());
        b->click();
    }

    // Fills the newest window from a parameter file through its Open command.
    void loadFile(const QString &record)
    {
        m_rig->dialogs.choose(writeParaFile(QStringLiteral("load.pmt"), record));
        click("cmdReadParaFile");
        QCOMPARE(m_rig->prompter.texts(), QStringList());
    }

    // A new window filled from a parameter file, whose model and type are
    // the PC's model, as if selected before.
    ParameterWindow &openFile(const QString &record)
    {
        const QStringList fields = record.split(u',');
        const QString model = QString(fields.value(21)).remove(u'"');
        const int type = fields.value(20).toInt();
        m_rig->app.gDevSize = model.left(3);
        m_rig->app.gDevSpeed = model.mid(3, 1);
        m_rig->app.gDevStroke = static_cast<int16_t>(model.right(3).toInt());
        m_rig->app.gDevTypeNo = type;
        m_rig->app.gIsKT = type != 2;
        m_rig->app.gIsNewType = type == 0;
        m_rig->app.gVertical = type == 0;
        ParameterWindow &w = openWindow();
        loadFile(record);
        return w;
    }

private slots:
    void init()
    {
        m_rig = std::make_unique<LinkRig>(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                                          + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY2(m_rig->started, qPrintable(m_rig->error));
    }

    void cleanup()
    {
        m_windows.clear();
        m_rig.reset();
    }

    // Keys and pastes as the fields take them, and where Enter moves the
    // focus. Every paste, by key or by the context menu, is held to the key
    // rules: only digits, within the field's full length. A typed value
    // outside the field's range is removed with a beep when the field is
    // left; the other fields are untouched.
    void keys_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("focus"); // afterwards; empty: not checked
        QTest::addColumn<int>("refused");
        QTest::newRow("fourth digit refused") << "txtHomeOffset" << "123" << "" << "4" << "123" << "" << 0;
        QTest::newRow("also over a selection") << "txtHomeOffset" << "123" << "" << "^A4" << "123" << "" << 0;
        QTest::newRow("Backspace when full") << "txtHomeOffset" << "123" << "" << "\b" << "12" << "" << 0;
        QTest::newRow("letters and the ninth digit") << "txtStroke" << "" << "" << "abc123456789" << "12345678" << ""
                                                     << 0;
        QTest::newRow("lead: no key rules") << "txtLead" << "" << "" << "x5" << "x5" << "" << 0;
        QTest::newRow("Ctrl+V, digits that fit") << "txtHomeOffset" << "7" << "12" << "^V" << "712" << "" << 0;
        QTest::newRow("Ctrl+V, one digit too many") << "txtHomeOffset" << "7" << "123" << "^V" << "7" << "" << 0;
        QTest::newRow("Shift+Insert, a letter") << "txtPulse" << "" << "4a" << "^I" << "" << "" << 0;
        QTest::newRow("context menu, digits over a selection") << "txtJog1" << "20" << "5" << "^A^M" << "5" << "" << 0;
        QTest::newRow("context menu, too long over a selection") << "txtJog1" << "20" << "1234" << "^A^M" << "20"
                                                                 << "" << 0;
        QTest::newRow("Enter: stroke to home offset") << "txtStroke" << "" << "" << "12\n" << "12" << "txtHomeOffset"
                                                      << 0;
        QTest::newRow("Enter: VEL 9 to JOG 1") << "txtKasokuSet9" << "" << "" << "\n" << "" << "txtJog1" << 0;
        QTest::newRow("Enter: JOG 3 to the homing text") << "txtJog3" << "" << "" << "\n" << "" << "txtVsiyou" << 0;
        QTest::newRow("Enter: pulses to the model size") << "txtPulse" << "" << "" << "\n" << "" << "comboActSize"
                                                         << 0;
        QTest::newRow("left: VEL 5 at 61") << "txtKasokuSet5" << "30" << "" << "\b\b61\t" << "" << "" << 1;
        QTest::newRow("left: VEL 5 at 60") << "txtKasokuSet5" << "30" << "" << "\b\b60\t" << "60" << "" << 0;
        QTest::newRow("left: stroke emptied, 0 is below 1") << "txtStroke" << "30" << "" << "\b\b\t" << "" << "" << 1;
        QTest::newRow("left: stroke above 100000") << "txtStroke" << "" << "" << "100001\t" << "" << "" << 1;
        // An empty home offset is 0 and stands.
        QTest::newRow("left: home offset emptied") << "txtHomeOffset" << "7" << "" << "\b\t" << "" << "" << 0;
        QTest::newRow("left: homing text 2") << "txtVsiyou" << "1" << "" << "\b2\t" << "" << "" << 1;
        // Values a file may hold beyond the ranges of the fields (checked
        // again when saved or written) are not destroyed by passing through.
        QTest::newRow("left untyped: stroke 200000") << "txtStroke" << "200000" << "" << "\t" << "200000" << "" << 0;
    }

    void keys()
    {
        QFETCH(QString, field);
        QFETCH(QString, start);
        QFETCH(QString, clipboard);
        QFETCH(QString, focus);
        ParameterWindow &w = showWindow();
        QLineEdit *e = w.findChild<QLineEdit *>(field);
        e->setText(start);
        const QMap<QString, QString> before = texts(w);
        QSignalSpy refused(&w.fieldRules(), &DigitFields::refused);
        e->setFocus();
        e->end(false);
        QApplication::clipboard()->setText(clipboard);
        QFETCH(QString, keys);
        type(e, keys);
        QTEST(e->text(), "expected");
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QTEST(int(refused.count()), "refused");
        QMap<QString, QString> after = texts(w);
        after.insert(field, start);
        QCOMPARE(after, before);
    }

    // The homing method follows the type and the model's catalogue code:
    // KT new always by sensor, code 0 pushing, code 2 sensor, code 1 the
    // user's last choice. The model text beside the lists follows every
    // choice in them.
    void homing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("model"); // chosen in the lists, size, speed and stroke
        QTest::addColumn<bool>("lastSensor");
        QTest::addColumn<bool>("sensor");
        QTest::addColumn<bool>("locked");
        QTest::newRow("KT new") << 0 << " 28L-100" << false << true << true;
        QTest::newRow("KT old, code 1, last pushing") << 1 << " 28H-200" << false << false << false;
        QTest::newRow("KT old, code 1, last sensor") << 1 << " 35L-300" << true << true << false;
        QTest::newRow("KT old, code 2") << 1 << " 42D-300" << false << true << true;
        QTest::newRow("RW, code 0") << 2 << " 35H-150" << true << false << true;
    }

    void homing()
    {
        QFETCH(int, type);
        QFETCH(bool, lastSensor);
        ParameterWindow &w = showWindow();
        w.optType[1]->click();
        w.optVertical[lastSensor ? 1 : 0]->click();
        w.optVertical[lastSensor ? 0 : 1]->setChecked(true); // shown otherwise, not chosen
        w.optType[static_cast<size_t>(type)]->click();
        QFETCH(QString, model);
        choose(w.comboActSize, model.left(3));
        choose(w.comboActSpeed, model.mid(3, 1));
        choose(w.comboActStroke, model.mid(5));
        QCOMPARE(w.comboActSize->currentText() + w.comboActSpeed->currentText() + u'-'
                     + w.comboActStroke->currentText(),
                 model);
        QTEST(w.optVertical[1]->isChecked(), "sensor");
        QTEST(!w.optVertical[0]->isEnabled(), "locked");
        // The model text beside the lists, built by the window.
        QCOMPARE(w.txtActuator->text(), model);
        // Browsing the lists never changes the model in use.
        QCOMPARE(m_rig->app.gDevFamily, QStringLiteral("KT"));
        QCOMPARE(m_rig->app.gDevStroke, int16_t(100));
    }

    // "Default": the model chosen in the device selection dialog fills every
    // field from its record of the default-parameter list; a missing list
    // or model is told and nothing changes.
    void defaults_data()
    {
        QTest::addColumn<QString>("list");   // "", "none" or "other"
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("KT old 35H-300, V-type") << "" << QStringList();
        QTest::newRow("no default list") << "none" << QStringList{LoadText(532)};
        QTest::newRow("model not in the list") << "other" << QStringList{LoadText(533)};
    }

    void defaults()
    {
        QFETCH(QString, list);
        QTemporaryDir dir;
        for (const char *name : {"nktdevice.lst", "ktdevice.lst", "rwdevice.lst"})
            QVERIFY(QFile::copy(QDir(SourceDataDir()).filePath(name), dir.filePath(name)));
        if (list == QLatin1String("other"))
            QVERIFY(WriteDataFile(dir.filePath("ktstdprm.lst"),
                                  "1,\"2005/04/01\"\r\n\" 28L-100\",20000,100,50,4,4,5,10,15,20,25,30,40,50,60,"
                                  "5,10,20,2,400,1,1\r\n")
                        .ok);
        else if (list.isEmpty())
            QVERIFY(QFile::copy(QDir(SourceDataDir()).filePath("ktstdprm.lst"), dir.filePath("ktstdprm.lst")));

        m_rig->catalogue = std::make_unique<Catalogue>(m_rig->app, m_rig->prompter, dir.path());
        ParameterWindow &w = showWindow();
        w.chkUseDefoult->setChecked(false);
        const QMap<QString, QString> before = texts(w);
        ModalDriver driver;
        driver.then("DeviceDialog", [](QWidget *modal) {
            auto *d = static_cast<DeviceDialog *>(modal);
            d->chkNewOrOld->click();
            choose(d->comboDeviceSize, QStringLiteral(" 35"));
            choose(d->comboDeviceSpeed, QStringLiteral("H"));
            choose(d->comboDeviceStroke, QStringLiteral("300"));
            d->optHomeMethod[1]->click();
            d->cmdDeviceSet->click();
        });
        w.cmdLoadDefoultPara->click();
        QVERIFY(driver.done());
        QTEST(m_rig->prompter.texts(), "messages");
        QVERIFY(w.cmdLoadDefoultPara->isEnabled());
        QCOMPARE(m_rig->app.gIsNewType, true); // the model in use stays
        if (!list.isEmpty()) {
            QCOMPARE(texts(w), before);
            return;
        }

        // The record of " 35H-300" in the list.
        const QStringList values = QStringLiteral("20000,100,50,8,8,2,4,6,8,10,12,15,18,20,2,5,10,,6,400").split(u',');
        for (int n = 1; n <= 20; ++n) {
            if (n != 18) // the homing method: the options below
                QCOMPARE(texts(w).value(QLatin1String(ParamFieldRuleOf(n)->name)), values[n - 1]);
        }
        QCOMPARE(w.txtVsiyou->text(), QStringLiteral("1"));
        QVERIFY(w.optVertical[1]->isChecked());
        QVERIFY(w.optType[1]->isChecked());
        QCOMPARE(w.txtActuator->text(), QStringLiteral(" 35H-300"));
        QCOMPARE(w.comboActSize->currentText() + w.comboActSpeed->currentText() + w.comboActStroke->currentText(),
                 QStringLiteral(" 35H300"));
        QVERIFY(w.chkUseDefoult->isChecked());
        QVERIFY(w.optEmgWay[1]->isChecked() && w.optEmgLogic[1]->isChecked());
        QVERIFY(set().gParaChanged);
    }

    // The unit beside the home pushing amount, in both languages.
    void pushingAmountUnit()
    {
        for (const int offset : {10000, 0}) {
            SetLangOffset(offset);
            ParameterWindow &w = showWindow();
            QCOMPARE(w.lblX5msec->text(), QStringLiteral(" X 5(msec)"));
            QVERIFY(w.lblX5msec->isVisible());
            const QRect field = w.txtHomeOsikomi->geometry();
            const QRect unit = w.lblX5msec->geometry();
            QVERIFY(unit.left() > field.right() && qAbs(unit.center().y() - field.center().y()) <= 2);
        }
    }

    // "Calculate": the calculator's result goes into the stroke and the
    // focus on to the home offset.
    void calculate()
    {
        ParameterWindow &w = showWindow();
        ModalDriver driver;
        driver.then("StrokeCalculator", [](QWidget *modal) {
            auto *c = static_cast<StrokeCalculator *>(modal);
            c->txtStrokeTyo->setText(QStringLiteral("100"));
            c->txtRido->setText(QStringLiteral("6"));
            c->cmdCulStrokePulse->click();
            c->cmdInputStroke->click();
        });
        w.cmdSelectDevice->click();
        QVERIFY(driver.done());
        QCOMPARE(w.txtStroke->text(), QStringLiteral("6667"));
        QCOMPARE(w.focusWidget(), w.txtHomeOffset);
        QVERIFY(set().gParaChanged);
    }

    void writeParameters_data()
    {
        QTest::addColumn<QString>("record"); // its model is the PC's
        QTest::addColumn<QList<uint32_t>>("positions");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("lines"); // after the positions' reads
        QTest::addColumn<QStringList>("messages");

        const QStringList e35{"0WD00FF020002BCFFFFFF", "0WD10000BB802020202FF", "0WD11F0A0F00A0A00FFFF",
                              "0WD12F0F0F0F0F0F0FFFF", "0WD130A141E0101020190", "0WD142345003200FFFFFF"};
        const QStringList reset{"0CM1", "0CM3"};
        const QList<uint32_t> inside{100, 200, 300};
        // The new stroke is 3000 pulses: position 1 exactly at it passes.
        const QList<uint32_t> beyond{3000, 3001, 9000};
        const QString strokeQuestion = QStringLiteral(
            "Value of the position data exceeds the stroke.\n\n< Position No.2,3,>\n\n"
            "It becomes an error unless the data is changed. Correct data.\n\nContinue writing parameters?");

        QTest::newRow("E35, stroke 3000, offset 700, VEL 60")
            << kE35 << inside << QStringList() << QList<Answer>{Answer::Yes, Answer::Ok}
            << e35 + reset + kActuatorLines << QStringList{kWrite, kReset};
        QTest::newRow("28L-100 on KT old, no homing byte")
            << "20000,0,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,1,2,400,1,\" 28L-100\",1,1\r\n" << inside
            << QStringList() << QList<Answer>{Answer::Yes, Answer::Ok}
            << QStringList{"0WD00FF02320000FFFFFF", "0WD10004E2002020202FF", "0WD1150A0F00A0AFFFFFF",
                           "0WD12F0F0F0F0F0F0FFFF", "0WD130A141E0101020190", "0WD141C4C006401FFFFFF"}
                   + reset + kActuatorLines
            << QStringList{kWrite, kReset};
        QTest::newRow("beyond the stroke, No sends nothing")
            << kE35 << beyond << QStringList() << QList<Answer>{Answer::Yes, Answer::No}
            << QStringList{} << QStringList{kWrite, strokeQuestion};
        QTest::newRow("beyond the stroke, Yes writes, reset declined")
            << kE35 << beyond << QStringList()
            << QList<Answer>{Answer::Yes, Answer::Yes, Answer::Cancel}
            << e35 + kActuatorLines << QStringList{kWrite, strokeQuestion, kReset};
        // Stopped at the fourth block, the controller holds new and old
        // blocks: after the link's own message the user is told so.
        QTest::newRow("wrong echo to the fourth block")
            << kE35 << inside << (QStringList(7, "*") << "!echo") << QList<Answer>{Answer::Yes}
            << e35.mid(0, 4) + QStringList{"0CM0"}
            << QStringList{kWrite, kCommError,
                           "The controller may now hold only part of the new parameters. Write the parameters again."};
    }

    // Write to C/T: the positions are checked against the new stroke, the six
    // blocks go out, the controller is reset and its actuator read back.
    void writeParameters()
    {
        QFETCH(QString, record);
        QFETCH(QList<uint32_t>, positions);
        QFETCH(QStringList, script);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, lines);

        for (int n = 1; n <= 3; ++n)
            m_rig->sim.model().setPosition(n, {1, 1, 0, 2, positions.value(n - 1)});
        ParameterWindow &w = openFile(record);
        QSignalSpy stale(&w, &ParameterWindow::moveDataStale);
        QSignalSpy reset(&w, &ParameterWindow::controllerReset);
        Script(m_rig->sim, script);
        for (Answer a : answers)
            m_rig->prompter.answer(a);
        click("cmdParaWrite");

        QCOMPARE(m_rig->lines(), QStringList({"0CM1", "0RP1", "0RP2", "0RP3"}) + lines);
        QTEST(m_rig->prompter.texts(), "messages");
        QCOMPARE(m_rig->prompter.pendingAnswers(), 0);
        const int resets = lines.contains(QStringLiteral("0CM3")) ? 1 : 0;
        QCOMPARE(m_rig->sim.model().resetCount(), resets);
        QCOMPARE(reset.count(), resets);
        // The controller's move data are stale once all six blocks went out.
        QCOMPARE(stale.count(), lines.join(u' ').contains(QStringLiteral("0WD14")) ? 1 : 0);
        QCOMPARE(w.lblParaWinStatus->text(), QString());
        QVERIFY(!m_rig->progress.isVisible());
        QVERIFY(!m_rig->link->isPortOpen());
        // The main window was locked and set busy for the command, and freed.
        QCOMPARE(m_rig->surface.log.first(), QStringLiteral("busy 1"));
        QVERIFY(!m_rig->surface.busy);
    }

    void preChecksSendNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");

        const QString invalid = QStringLiteral("Invalid volue for parameter No.%1.\n\nComfirm data value and try it again.");
        QTest::newRow("empty field") << "txtJog2" << ""
                                     << "No data in some of parameters.\n\nFill the data in and try it again.";
        QTest::newRow("home offset 701, VEL 61 and pulse 10000, listed in order")
            << "txtKasokuSet5|txtPulse|txtHomeOffset" << "61|10000|701" << invalid.arg("2,10,20,");
        QTest::newRow("model not in the catalogue") << "comboActStroke" << "55" << invalid.arg("22,");
        QTest::newRow("number too large for its variable") << "txtHomeOsikomi" << "40000" << invalid.arg("3,");
    }

    // Every command that sends or compares the window's values checks them
    // first; a failed check is told and nothing reaches the controller.
    void preChecksSendNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);

        ParameterWindow &w = openFile(kE35);
        const QStringList fields = field.split(u'|');
        const QStringList texts = text.split(u'|');
        for (int i = 0; i < fields.size(); ++i) {
            if (auto *e = w.findChild<QLineEdit *>(fields[i]))
                e->setText(texts[i]);
            else if (auto *c = w.findChild<QComboBox *>(fields[i]))
                c->setCurrentText(texts[i]);
            else
                QFAIL("no such field");
        }
        const int32_t strokeBefore = set().gParaStroke;

        m_rig->prompter.answer(Answer::Yes);
        click("cmdParaWrite");
        click("cmdConpareCT");
        QCOMPARE(m_rig->prompter.texts(), (QStringList{kWrite, message, message}));
        QCOMPARE(m_rig->lines(), QStringList());
        QCOMPARE(set().gParaStroke, strokeBefore);
    }

    // Read from C/T shows the controller's values; a VEL the controller holds
    // as 43 quarters reads as 10.75, is shown rounded and fails the
    // verification. A KT new controller homes on its sensor whatever its
    // homing byte says, also after the window showed another type; the
    // number beside the options follows the option however it was chosen.
    // The controller's other model is not taken here (taking it is in the
    // whole program's test, where it reaches the settings).
    void readFromController()
    {
        SimController &ct = m_rig->sim.model();
        ct.setBlock(QStringLiteral("11"), QStringLiteral("2B28F00A0A00FFFF"));
        ct.setBlock(QStringLiteral("14"), QStringLiteral("2345003200FFFFFF"));
        ParameterWindow &w = openWindow();
        w.optType[2]->click();
        QVERIFY(w.optVertical[0]->isChecked());
        QSignalSpy adopted(&w, &ParameterWindow::deviceAdopted);
        m_rig->prompter.answer(Answer::Cancel);
        click("cmdParaRead");

        QCOMPARE(m_rig->lines(), kReadLines + kActuatorLines);
        QCOMPARE(m_rig->prompter.texts(), QStringList{kUnmatchedRead});
        QCOMPARE(w.windowTitle(), QStringLiteral("Inside of C/T"));
        double vel1 = 0;
        QVERIFY(set().ParaDA[6].toNumber(vel1));
        QCOMPARE(vel1, 10.75);
        QCOMPARE(w.txtKasokuSet1->text(), QStringLiteral("11"));
        QCOMPARE(w.txtActuator->text(), QStringLiteral("E35L-050"));
        QCOMPARE(w.comboActSize->currentText(), QStringLiteral("E35"));
        QCOMPARE(w.comboActStroke->currentText(), QStringLiteral("50"));
        QVERIFY(w.optType[0]->isChecked());
        QVERIFY(w.optVertical[1]->isChecked() && !w.optVertical[1]->isEnabled());
        QCOMPARE(w.txtVsiyou->text(), QStringLiteral("1"));
        QVERIFY(!set().gParaChanged);
        QCOMPARE(adopted.count(), 0);
        QCOMPARE(m_rig->app.gDevSize, QStringLiteral(" 28"));
        QCOMPARE(m_rig->app.gDevStroke, 100);

        m_rig->sim.clearReceived();
        m_rig->prompter.clear();
        click("cmdConpareCT");
        QCOMPARE(m_rig->lines(), kReadLines);
        QCOMPARE(m_rig->prompter.texts(), QStringList{kCtNg + "6,"});
        // KT old with the PC's model shown: homing is the user's choice.
        w.optType[1]->click();
        w.optVertical[0]->click();
        QCOMPARE(w.txtVsiyou->text(), QStringLiteral("0"));
        w.optType[0]->click();
        QCOMPARE(w.txtVsiyou->text(), QStringLiteral("1"));
    }

    // A file's values go to the controller, come back into a fresh window and
    // verify against the controller and the file. A file of the other family
    // (15 values) is asked about first and then compared without what it
    // does not hold. One changed field fails every verification.
    void roundTrip()
    {
        for (int n = 1; n <= 3; ++n)
            m_rig->sim.model().setPosition(n, {1, 1, 0, 2, 3000});
        openFile(kE35);
        m_rig->prompter.answers({Answer::Yes, Answer::Ok});
        click("cmdParaWrite");
        QCOMPARE(m_rig->prompter.texts(), (QStringList{kWrite, kReset}));

        m_rig->prompter.clear();
        ParameterWindow &fresh = openWindow();
        click("cmdParaRead");
        QCOMPARE(fresh.txtStroke->text(), QStringLiteral("3000"));
        QCOMPARE(fresh.txtHomeOffset->text(), QStringLiteral("700"));
        QCOMPARE(fresh.txtActuator->text(), QStringLiteral("E35L-050"));
        const QString file = writeParaFile(QStringLiteral("trip.pmt"), kE35);
        const QString rw =
            writeParaFile(QStringLiteral("rw.pmt"), QStringLiteral("3000,700,0,10,10,60,40,60,60,60,60,60,60,60,10\r\n"));
        const auto verifyAll = [&](Answer toRwQuestion) {
            m_rig->prompter.clear();
            click("cmdConpareCT");
            m_rig->dialogs.choose(file);
            click("cmdConpareFile");
            m_rig->dialogs.choose(rw);
            m_rig->prompter.answer(toRwQuestion);
            click("cmdConpareFile");
            return m_rig->prompter.texts();
        };
        const QString rwQuestion = QStringLiteral(
            "The data is RW parameter.\n\nThere is not value in setting of <10.Vertical>.Verify of Vertical "
            "setting will skip.\n\nAre you continue? ");
        const QString result =
            QStringLiteral("Parameters : indicated and saved into the file(%1)\n\nResult of Verification : ");
        QCOMPARE(verifyAll(Answer::Cancel), (QStringList{kCtOk, result.arg("trip.pmt") + "OK", rwQuestion}));
        fresh.txtKasokuSet5->setText(QStringLiteral("50"));
        const QString ng = QStringLiteral("NG.\n\n<Unmatched Parameter No.>\n10,");
        QCOMPARE(verifyAll(Answer::Ok), (QStringList{kCtNg + "10,", result.arg("trip.pmt") + ng, rwQuestion,
                                                     result.arg("rw.pmt") + ng}));
    }

    // Closing the window while its command waits for the controller is
    // refused; the command ends normally and the window can close afterwards.
    void windowCannotBeClosedWhileACommandWaits()
    {
        ParameterWindow &w = openWindow();
        w.show();
        bool closedDuringCommand = true;
        bool busyDuringCommand = false;
        // Tried when the controller has a request of the read and not yet
        // answered it: the command surely waits then, however slow the
        // machine.
        connect(&m_rig->sim, &SimulatedController::lineReceived, &w, [&](const QString &line) {
            if (line != QLatin1String("0RD10"))
                return;
            busyDuringCommand = w.isBusy() && m_rig->surface.busy;
            closedDuringCommand = w.close();
        });
        click("cmdParaRead");
        QVERIFY(busyDuringCommand);
        QVERIFY(!closedDuringCommand);
        QCOMPARE(m_rig->lines(), kReadLines + kActuatorLines);
        QVERIFY(w.close());
    }

    // Two answers that would lose what the user asked to keep: reading a file
    // over unsaved changes whose save was cancelled, and a save that could not
    // be written.
    void fileCommandsKeepUnsavedValues()
    {
        ParameterWindow &w = openFile(kE35);
        w.txtJog1->setText(QStringLiteral("25"));
        QVERIFY(set().gParaChanged);

        // Yes to saving, then the save dialog cancelled: no file is even asked
        // for, and the window keeps its values.
        const auto dialogsBefore = m_rig->dialogs.requests().size();
        m_rig->prompter.answer(Answer::Yes);
        m_rig->dialogs.cancel();
        click("cmdReadParaFile");
        QCOMPARE(m_rig->dialogs.requests().size(), dialogsBefore + 1);
        QCOMPARE(m_rig->dialogs.requests().last().title, QStringLiteral("Save KT parameters to the file"));
        QCOMPARE(w.txtJog1->text(), QStringLiteral("25"));

        // A save into a folder that does not exist names the file and the
        // reason; the window still counts as changed.
        m_rig->prompter.clear();
        const QString missing = QDir(TestScratchDir()).filePath(QStringLiteral("missing/p.pmt"));
        m_rig->dialogs.choose(missing);
        click("cmdSaveParaFile");
        QCOMPARE(m_rig->prompter.texts().size(), 1);
        const QString told = m_rig->prompter.lastText();
        QVERIFY2(told.startsWith("The file could not be written. The file already there is unchanged.\n\n"
                                 + QDir::toNativeSeparators(missing) + "\n"),
                 qPrintable(told));
        QVERIFY(told.size() > told.indexOf(u'\n', told.indexOf(QStringLiteral("p.pmt"))) + 1); // a reason follows
        QVERIFY(set().gParaChanged);
    }

    void failedReadKeepsWhatWasThere_data()
    {
        QTest::addColumn<bool>("startUp"); // the start-up's read; else the window's
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");

        const QStringList replyOf12{"*", "*", "*", "=0RD12FFFFFFFFFFFFFFFF"};
        QTest::newRow("block 12's reply to 0RD11") << false << "14" << "1C4C006400FFFFFF" << replyOf12
                                                   << kReadLines.mid(0, 4) + QStringList{"0CM0"} << kCommError;
        QTest::newRow("speed byte 0A") << false << "14" << "1C0A006400FFFFFF" << QStringList() << kReadLines
                                       << kCommError;
        QTest::newRow("stroke 0") << false << "14" << "1C4C000000FFFFFF" << QStringList() << kReadLines
                                  << kCommError;
        // 65535 pulses do not fit the window's variable.
        QTest::newRow("pulse count too large") << false << "13" << "0A0A0A010102FFFF" << QStringList() << kReadLines
                                               << "An error occured while getting Value of Parameter Data.";
        QTest::newRow("start-up, no controller")
            << true << "14" << "2345003200FFFFFF" << QStringList{"-"} << QStringList{"0CM1"}
            << "Communication timeout error!\n\nCheck the followings;\n\n 1.Power ON for controller?\n\n"
               " 2.Communication cables are connected?";
        QTest::newRow("start-up, controller without lead") << true << "13" << "0A0A0A0101000190" << QStringList()
                                                           << kActuatorLines << "Fail to find device information...";
        // A model byte out of form would put a line break into the model.
        QTest::newRow("start-up, speed byte is a line break") << true << "14" << "230A003200FFFFFF" << QStringList()
                                                              << kActuatorLines.mid(0, 2) << kCommError;
    }

    // A reply for another block, or a model or value the program could
    // neither show nor store, is a failed read: the window keeps what it
    // showed; the start-up tells it and keeps the PC's model, storing
    // nothing. (The start-up read that takes the controller's model is in
    // the whole program's start-up test.)
    void failedReadKeepsWhatWasThere()
    {
        QFETCH(bool, startUp);
        QFETCH(QString, block);
        QFETCH(QString, payload);
        QFETCH(QStringList, script);
        QFETCH(QString, message);

        if (startUp) // a model other than the PC's
            m_rig->sim.model().setBlock(QStringLiteral("14"), QStringLiteral("2345003200FFFFFF"));
        m_rig->sim.model().setBlock(block, payload);
        Script(m_rig->sim, script);
        ParameterWindow &w = openWindow();
        loadFile(kE35);
        int shown = 0;
        if (startUp)
            QCOMPARE(StartupReadFromCt(m_rig->app, *m_rig->settings, *m_rig->catalogue, *m_rig->link,
                                       m_rig->prompter, m_rig->progress, [&shown] { ++shown; }),
                     1);
        else
            click("cmdParaRead");
        QTEST(m_rig->lines(), "lines");
        QCOMPARE(m_rig->prompter.texts(), QStringList{message});
        QCOMPARE(w.txtKasokuSet1->text(), QStringLiteral("60"));
        QCOMPARE(w.txtPulse->text(), QStringLiteral("400"));
        QCOMPARE(w.txtActuator->text(), QStringLiteral("E35L-050"));
        QVERIFY(w.windowTitle() != QStringLiteral("Inside of C/T"));
        QVERIFY(!m_rig->link->isPortOpen());
        QVERIFY(!m_rig->progress.isVisible());
        QCOMPARE(shown, 0);
        QCOMPARE(m_rig->app.gDevSize, QStringLiteral(" 28"));
        QVERIFY(!m_rig->settings->contains(SettingsKey::DevSize));
    }
};

KTED_TEST_MAIN(TestParameterWindow)
#include "tst_parameterwindow.moc"
