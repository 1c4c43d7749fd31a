// The parameter window as an editor: the keys and pastes its fields take,
// the Enter chain, the checks when a field is left, the homing method and
// model text the lists give, the Default and Calculate buttons. Driven
// through the window's own controls, with the real device selection dialog
// and calculator.

#include "../ui/modaldriver.h"
#include "app/appstate.h"
#include "catalogue/catalogue.h"
#include "catalogue/devicedialog.h"
#include "catalogue/digitfields.h"
#include "catalogue/strokecalculator.h"
#include "common/datafile.h"
#include "parameters/fieldrules.h"
#include "parameters/parameterset.h"
#include "parameters/parameterwindow.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The parameter window on the first-run model (KT new, 28L-100), shown and
// active so that the focus moves as on a desktop.
struct Editor
{
    explicit Editor(const QString &listDir = SourceDataDir())
        : catalogue(state, prompter, listDir)
        , window(state, set, catalogue, prompter, dialogs, nullptr)
    {
        window.show();
        QApplication::setActiveWindow(&window);
    }

    QLineEdit *field(const QString &name) const { return window.findChild<QLineEdit *>(name); }

    // Every text field, by object name.
    QMap<QString, QString> texts() const
    {
        QMap<QString, QString> all;
        for (const QLineEdit *e : window.findChildren<QLineEdit *>())
            if (e->objectName().startsWith(u"txt"))
                all.insert(e->objectName(), e->text());
        return all;
    }

    AppState state;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    ParameterSet set;
    Catalogue catalogue;
    ParameterWindow window;
};

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
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys[i];
        if (c == u'^') {
            const QChar how = keys[++i];
            if (how == u'A')
                QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
            else if (how == u'V')
                QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
            else if (how == u'I')
                QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
            else
                pasteFromContextMenu(e);
        } else if (c == u'\b') {
            QTest::keyClick(e, Qt::Key_Backspace);
        } else if (c == u'\t') {
            QTest::keyClick(e, Qt::Key_Tab);
        } else if (c == u'\n') {
            QTest::keyClick(e, Qt::Key_Return);
        } else {
            QTest::keyClicks(e, QString(c));
        }
    }
}

void choose(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    emit combo->activated(combo->currentIndex());
}

} // namespace

class TestParaEditor : public QObject
{
    Q_OBJECT

private slots:
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
        QTest::newRow("pulses: four digits") << "txtPulse" << "" << "" << "40012" << "4001" << "" << 0;
        QTest::newRow("lead: no key rules") << "txtLead" << "" << "" << "x5" << "x5" << "" << 0;
        QTest::newRow("Ctrl+V, digits that fit") << "txtHomeOffset" << "7" << "12" << "^V" << "712" << "" << 0;
        QTest::newRow("Ctrl+V, one digit too many") << "txtHomeOffset" << "7" << "123" << "^V" << "7" << "" << 0;
        QTest::newRow("Shift+Insert, a letter") << "txtPulse" << "" << "4a" << "^I" << "" << "" << 0;
        QTest::newRow("context menu, digits that fit") << "txtStroke" << "" << "3000" << "^M" << "3000" << "" << 0;
        QTest::newRow("context menu, a letter") << "txtJog1" << "2" << "x" << "^M" << "2" << "" << 0;
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
        QTest::newRow("left: homing speed 17") << "txtGentenModori" << "" << "" << "17\t" << "" << "" << 1;
        QTest::newRow("left: homing speed 16") << "txtGentenModori" << "" << "" << "16\t" << "16" << "" << 0;
        QTest::newRow("left: JOG 31") << "txtJog1" << "" << "" << "31\t" << "" << "" << 1;
        QTest::newRow("left: homing text 2") << "txtVsiyou" << "1" << "" << "\b2\t" << "" << "" << 1;
        // Values a file may hold beyond the ranges of the fields (checked
        // again when saved or written) are not destroyed by passing through.
        QTest::newRow("left untyped: stroke 200000") << "txtStroke" << "200000" << "" << "\t" << "200000" << "" << 0;
        QTest::newRow("left untyped: homing speed 20") << "txtGentenModori" << "20" << "" << "\t" << "20" << "" << 0;
    }

    void keys()
    {
        QFETCH(QString, field);
        QFETCH(QString, start);
        QFETCH(QString, clipboard);
        QFETCH(QString, focus);
        Editor ed;
        QLineEdit *e = ed.field(field);
        e->setText(start);
        const QMap<QString, QString> before = ed.texts();
        QSignalSpy refused(&ed.window.fieldRules(), &DigitFields::refused);
        e->setFocus();
        e->end(false);
        QApplication::clipboard()->setText(clipboard);
        QFETCH(QString, keys);
        type(e, keys);
        QTEST(e->text(), "expected");
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QTEST(int(refused.count()), "refused");
        QMap<QString, QString> after = ed.texts();
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
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("stroke");
        QTest::addColumn<bool>("lastSensor");
        QTest::addColumn<bool>("sensor");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("model");
        QTest::newRow("KT new") << 0 << " 28" << "L" << "100" << false << true << true << " 28L-100";
        QTest::newRow("KT old, code 1, last pushing")
            << 1 << " 28" << "H" << "200" << false << false << false << " 28H-200";
        QTest::newRow("KT old, code 1, last sensor")
            << 1 << " 35" << "L" << "300" << true << true << false << " 35L-300";
        QTest::newRow("KT old, code 2") << 1 << " 42" << "D" << "300" << false << true << true << " 42D-300";
        QTest::newRow("RW, code 0") << 2 << " 35" << "H" << "150" << true << false << true << " 35H-150";
    }

    void homing()
    {
        QFETCH(int, type);
        QFETCH(bool, lastSensor);
        Editor ed;
        ParameterWindow &w = ed.window;
        w.optType[1]->click();
        w.optVertical[lastSensor ? 1 : 0]->click();
        w.optVertical[lastSensor ? 0 : 1]->setChecked(true); // shown otherwise, not chosen
        w.optType[static_cast<size_t>(type)]->click();
        QFETCH(QString, size);
        QFETCH(QString, speed);
        QFETCH(QString, stroke);
        choose(w.comboActSize, size);
        choose(w.comboActSpeed, speed);
        choose(w.comboActStroke, stroke);
        QCOMPARE(w.comboActStroke->currentText(), stroke);
        QTEST(w.optVertical[1]->isChecked(), "sensor");
        QTEST(!w.optVertical[0]->isEnabled(), "locked");
        QTEST(w.txtActuator->text(), "model");
        // Browsing the lists never changes the model in use.
        QCOMPARE(ed.state.gDevFamily, QStringLiteral("KT"));
        QCOMPARE(ed.state.gDevStroke, int16_t(100));
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

        Editor ed(dir.path());
        ParameterWindow &w = ed.window;
        w.chkUseDefoult->setChecked(false);
        const QMap<QString, QString> before = ed.texts();
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
        QTEST(ed.prompter.texts(), "messages");
        QVERIFY(w.cmdLoadDefoultPara->isEnabled());
        QCOMPARE(ed.state.gIsNewType, true);   // the model in use stays
        if (!list.isEmpty()) {
            QCOMPARE(ed.texts(), before);
            return;
        }

        // The record of " 35H-300" in the list.
        const QStringList values = QStringLiteral("20000,100,50,8,8,2,4,6,8,10,12,15,18,20,2,5,10,,6,400").split(u',');
        for (int n = 1; n <= 20; ++n) {
            if (n != 18) // the homing method: the options below
                QCOMPARE(ed.field(ParamFieldRuleOf(n)->name)->text(), values[n - 1]);
        }
        QCOMPARE(w.txtVsiyou->text(), QStringLiteral("1"));
        QVERIFY(w.optVertical[1]->isChecked());
        QVERIFY(w.optType[1]->isChecked());
        QCOMPARE(w.txtActuator->text(), QStringLiteral(" 35H-300"));
        QCOMPARE(w.comboActSize->currentText() + w.comboActSpeed->currentText() + w.comboActStroke->currentText(),
                 QStringLiteral(" 35H300"));
        QVERIFY(w.chkUseDefoult->isChecked());
        QVERIFY(w.optEmgWay[1]->isChecked() && w.optEmgLogic[1]->isChecked());
        QVERIFY(ed.set.gParaChanged);
    }

    // The unit beside the home pushing amount, in both languages.
    void pushingAmountUnit()
    {
        for (const int offset : {10000, 0}) {
            SetLangOffset(offset);
            Editor ed;
            QCOMPARE(ed.window.lblX5msec->text(), QStringLiteral(" X 5(msec)"));
            QVERIFY(ed.window.lblX5msec->isVisible());
            const QRect field = ed.window.txtHomeOsikomi->geometry();
            const QRect unit = ed.window.lblX5msec->geometry();
            QVERIFY(unit.left() > field.right() && qAbs(unit.center().y() - field.center().y()) <= 2);
        }
    }

    // "Calculate": the calculator's result goes into the stroke and the
    // focus on to the home offset.
    void calculate()
    {
        Editor ed;
        ModalDriver driver;
        driver.then("StrokeCalculator", [](QWidget *modal) {
            auto *c = static_cast<StrokeCalculator *>(modal);
            c->txtStrokeTyo->setText(QStringLiteral("100"));
            c->txtRido->setText(QStringLiteral("6"));
            c->cmdCulStrokePulse->click();
            c->cmdInputStroke->click();
        });
        ed.window.cmdSelectDevice->click();
        QVERIFY(driver.done());
        QCOMPARE(ed.window.txtStroke->text(), QStringLiteral("6667"));
        QCOMPARE(ed.window.focusWidget(), ed.window.txtHomeOffset);
        QVERIFY(ed.set.gParaChanged);
    }
};

KTED_TEST_MAIN(TestParaEditor)
#include "tst_paraeditor.moc"
