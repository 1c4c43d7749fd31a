// The parameter window as an editor: the keys its fields take, the Enter
// chain, the checks when a field is left, the homing method the model
// allows, the Default and Calculate buttons. Driven through the window's
// own controls, with the real device selection dialog and calculator.

#include "../ui/modaldriver.h"
#include "app/appstate.h"
#include "catalogue/catalogue.h"
#include "catalogue/devicedialog.h"
#include "catalogue/digitfields.h"
#include "catalogue/strokecalculator.h"
#include "common/datafile.h"
#include "parameters/parameterset.h"
#include "parameters/parameterwindow.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
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

// Keys as typed: "\b" is Backspace, "\t" Tab.
void type(QWidget *w, const QString &keys)
{
    for (QChar c : keys) {
        if (c == u'\b')
            QTest::keyClick(w, Qt::Key_Backspace);
        else if (c == u'\t')
            QTest::keyClick(w, Qt::Key_Tab);
        else
            QTest::keyClicks(w, QString(c));
    }
}

void choose(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    emit combo->activated(combo->currentIndex());
}

const QByteArray kHeader = "\"KT-E1\",\"Parameter\"\r\n";

} // namespace

class TestParaEditor : public QObject
{
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fourth digit refused") << "txtHomeOffset" << "123" << false << "4" << "123";
        QTest::newRow("also over a selection") << "txtHomeOffset" << "123" << true << "4" << "123";
        QTest::newRow("Backspace when full") << "txtHomeOffset" << "123" << false << "\b" << "12";
        QTest::newRow("letters and the ninth digit") << "txtStroke" << "" << false << "abc123456789" << "12345678";
        QTest::newRow("pulses: four digits") << "txtPulse" << "" << false << "40012" << "4001";
        QTest::newRow("lead: no key rules") << "txtLead" << "" << false << "x5" << "x5";
    }

    void keys()
    {
        QFETCH(QString, field);
        QFETCH(QString, start);
        Editor ed;
        QLineEdit *e = ed.field(field);
        e->setText(start);
        e->setFocus();
        e->end(false);
        if (QTest::currentDataTag() == QByteArray("also over a selection"))
            e->selectAll();
        QFETCH(QString, keys);
        type(e, keys);
        QTEST(e->text(), "expected");
    }

    // Enter moves along the fields in the window's order.
    void enterChain()
    {
        Editor ed;
        const QStringList chain{"txtStroke", "txtHomeOffset", "txtHomeOsikomi", "txtGentenModori",
                                "txtGentenHanten", "txtKasokuSet1", "txtKasokuSet2", "txtKasokuSet3",
                                "txtKasokuSet4", "txtKasokuSet5", "txtKasokuSet6", "txtKasokuSet7",
                                "txtKasokuSet8", "txtKasokuSet9", "txtJog1", "txtJog2", "txtJog3", "txtVsiyou"};
        ed.field(chain.first())->setFocus();
        for (qsizetype i = 0; i + 1 < chain.size(); ++i) {
            QCOMPARE(QApplication::focusWidget()->objectName(), chain[i]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), chain.last());
        ed.field("txtPulse")->setFocus();
        QTest::keyClick(ed.field("txtPulse"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), ed.window.comboActSize);
    }

    // Typed values outside the field's range are removed with a beep when
    // the field is left; the other fields are untouched.
    void leaving_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("left");
        QTest::newRow("VEL 5 at 61") << "txtKasokuSet5" << "\b\b61" << "";
        QTest::newRow("VEL 5 at 60") << "txtKasokuSet5" << "\b\b60" << "60";
        QTest::newRow("stroke emptied: 0 is below 1") << "txtStroke" << "\b\b\b\b" << "";
        QTest::newRow("stroke above 100000") << "txtStroke" << "\b\b\b\b100001" << "";
        QTest::newRow("home offset emptied: 0 allowed") << "txtHomeOffset" << "\b\b\b" << "";
        QTest::newRow("homing speed 17") << "txtGentenModori" << "\b\b17" << "";
        QTest::newRow("homing speed 16") << "txtGentenModori" << "\b\b16" << "16";
        QTest::newRow("JOG 31") << "txtJog1" << "\b\b31" << "";
        QTest::newRow("homing text 2") << "txtVsiyou" << "\b2" << "";
    }

    void leaving()
    {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, left);
        Editor ed;
        // As a file read leaves them: every field within its range.
        ed.set.gParaStroke = 3000;
        ed.set.gParaHomeOffset = 700;
        ed.set.gParaGentenModori = 10;
        ed.set.gParaKasokuSet.fill(30);
        ed.set.gParaJog.fill(20);
        ed.set.gParaVertical = ParaValue::number(1);
        ed.window.Disp_ParaData();
        const QMap<QString, QString> before = ed.texts();
        QSignalSpy refused(&ed.window.fieldRules(), &DigitFields::refused);

        QLineEdit *e = ed.field(field);
        e->setFocus();
        e->end(false);
        type(e, keys);
        QTest::keyClick(e, Qt::Key_Tab);
        QCOMPARE(e->text(), left);
        // Emptied for its range, not because it was empty: an empty home
        // offset is 0 and stands.
        const bool emptiedForRange = left.isEmpty() && QTest::currentDataTag() != QByteArray("home offset emptied: 0 allowed");
        QCOMPARE(refused.count(), emptiedForRange ? 1 : 0);
        QMap<QString, QString> after = ed.texts();
        after.insert(field, before.value(field));
        QCOMPARE(after, before);
    }

    // Values a file may hold beyond the ranges of the fields (checked again
    // when saved or written) are not destroyed by tabbing through every field.
    void fileValuesSurviveTabbingThrough()
    {
        Editor ed;
        const QString path = QDir(TestScratchDir()).filePath("wide.pmt");
        QVERIFY(WriteDataFile(path, QString::fromLatin1(kHeader)
                                        + "200000,700,0,20,20,60,40,60,60,60,60,60,60,60,10,20,30,1,2,400,0,"
                                          "\"E35L-050\",1,1\r\n")
                    .ok);
        ed.dialogs.choose(path);
        ed.window.cmdReadParaFile->click();
        QCOMPARE(ed.prompter.texts(), QStringList());
        QCOMPARE(ed.window.txtStroke->text(), QStringLiteral("200000"));
        const QMap<QString, QString> before = ed.texts();
        QSignalSpy refused(&ed.window.fieldRules(), &DigitFields::refused);
        ed.window.txtStroke->setFocus();
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(ed.texts(), before);
        QCOMPARE(refused.count(), 0);
        QCOMPARE(ed.window.txtGentenModori->text(), QStringLiteral("20"));
    }

    // The homing method follows the type and the model's catalogue code:
    // KT new always by sensor, code 0 pushing, code 2 sensor, code 1 the
    // user's last choice.
    void homing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("stroke");
        QTest::addColumn<bool>("lastSensor");
        QTest::addColumn<bool>("sensor");
        QTest::addColumn<bool>("locked");
        QTest::newRow("KT new") << 0 << " 28" << "L" << "100" << false << true << true;
        QTest::newRow("KT old, code 1, last pushing") << 1 << " 28" << "H" << "200" << false << false << false;
        QTest::newRow("KT old, code 1, last sensor") << 1 << " 35" << "L" << "300" << true << true << false;
        QTest::newRow("KT old, code 2") << 1 << " 42" << "D" << "300" << false << true << true;
        QTest::newRow("RW, code 0") << 2 << " 35" << "H" << "150" << true << false << true;
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

        // The record as the list holds it.
        AppState scratch;
        Catalogue reference(scratch, ed.prompter, dir.path());
        reference.selection() = {QStringLiteral("KT"), false};
        QCOMPARE(reference.ReadStdPrmList(true), 0);
        const int index = reference.FindStdPrm(" 35", "H", 300);
        QVERIFY(index > 0);
        const StdPrmRecord &r = reference.tables().gStdPrmList[static_cast<size_t>(index)];
        const QStringList names{"",           "txtStroke",     "txtHomeOffset", "txtHomeOsikomi", "txtGentenModori",
                                "txtGentenHanten", "txtKasokuSet1", "txtKasokuSet2", "txtKasokuSet3", "txtKasokuSet4",
                                "txtKasokuSet5", "txtKasokuSet6", "txtKasokuSet7", "txtKasokuSet8", "txtKasokuSet9",
                                "txtJog1",    "txtJog2",       "txtJog3",       "",               "txtLead",
                                "txtPulse"};
        for (int n = 1; n <= 20; ++n) {
            if (!names[n].isEmpty())
                QCOMPARE(ed.field(names[n])->text(), QString::number(r.value[static_cast<size_t>(n)]));
        }
        QCOMPARE(w.txtVsiyou->text(), QStringLiteral("1"));
        QVERIFY(w.optVertical[1]->isChecked());
        QVERIFY(w.optType[1]->isChecked());
        QCOMPARE(w.txtActuator->text(), r.actuator);
        QCOMPARE(w.comboActSize->currentText(), r.size);
        QCOMPARE(w.comboActSpeed->currentText(), r.speed);
        QCOMPARE(w.comboActStroke->currentText(), QString::number(r.stroke));
        QVERIFY(w.chkUseDefoult->isChecked());
        QVERIFY(w.optEmgWay[1]->isChecked() && w.optEmgLogic[1]->isChecked());
        QVERIFY(ed.set.gParaChanged);
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
