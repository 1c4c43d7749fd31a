// The device selection dialog and the stroke calculator, driven through
// their own controls as the user would.

#include "app/appstate.h"
#include "catalogue/devicedialog.h"
#include "catalogue/digitfields.h"
#include "catalogue/strokecalculator.h"
#include "common/datafile.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Shown and active, so that the focus moves as it does on a desktop.
void showActive(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

void choose(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    emit combo->activated(combo->currentIndex());
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    // Typed in as a user does: Enter moves from the length to the lead and
    // on to "Calculate"; a lead the actuators do not have is removed when
    // the box is left.
    void calculate_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("lead");
        QTest::addColumn<bool>("kt42d");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("leadLeft");
        QTest::newRow("100 mm, lead 2") << "100" << "2" << false << "20000" << "2";
        QTest::newRow("50 mm, lead 6, KT-42D") << "50" << "6" << true << "1600" << "6";
        QTest::newRow("100 mm, lead 6, rounded up") << "100" << "6" << false << "6667" << "6";
        QTest::newRow("no length") << "" << "2" << false << LoadText(547) << "2";
        QTest::newRow("lead 5 removed") << "100" << "5" << false << LoadText(547) << "";
        QTest::newRow("fourth digit refused") << "1000" << "2" << false << "20000" << "2";
        QTest::newRow("letters refused") << "1a0x0" << "1b2" << false << "3334" << "12";
    }

    void calculate()
    {
        QFETCH(QString, length);
        QFETCH(QString, lead);
        QFETCH(bool, kt42d);
        StrokeCalculator c(1, 100000);
        showActive(c);
        if (kt42d)
            c.optActType[1]->click();
        c.txtStrokeTyo->setFocus();
        QTest::keyClicks(c.txtStrokeTyo, length);
        QTest::keyClick(c.txtStrokeTyo, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.txtRido);
        QTest::keyClicks(c.txtRido, lead);
        QTest::keyClick(c.txtRido, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.cmdCulStrokePulse);
        QTEST(c.txtRido->text(), "leadLeft");
        QTest::mouseClick(c.cmdCulStrokePulse, Qt::LeftButton);
        QTEST(c.lblStrokePulse->text(), "shown");

        // "Input" hands over a valid result and closes; "Invalidity" stays.
        QTest::mouseClick(c.cmdInputStroke, Qt::LeftButton);
        QFETCH(QString, shown);
        const bool valid = shown != LoadText(547);
        QCOMPARE(c.result().has_value(), valid);
        QCOMPARE(c.isVisible(), !valid);
        if (valid)
            QCOMPARE(QString::number(*c.result()), shown);
    }

    // "Input" never hands over a result of other inputs than those shown,
    // nor one the stroke field would refuse.
    void inputTakesOnlyAFreshAcceptableResult_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("edit");   // typed after "Calculate"
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("fresh") << "300" << "" << true;
        QTest::newRow("length changed after") << "300" << "\b" << false;
        QTest::newRow("above the stroke field") << "600" << "" << false;
    }

    void inputTakesOnlyAFreshAcceptableResult()
    {
        QFETCH(QString, length);
        QFETCH(QString, edit);
        StrokeCalculator c(1, 100000);
        showActive(c);
        c.txtStrokeTyo->setText(length);
        c.txtRido->setText(QStringLiteral("2"));
        c.cmdCulStrokePulse->click();
        QVERIFY(!c.lblStrokePulse->text().isEmpty());
        if (edit == QLatin1String("\b"))
            QTest::keyClick(c.txtStrokeTyo, Qt::Key_Backspace);
        c.cmdInputStroke->click();
        QTEST(c.result().has_value(), "handedOver");
    }

    // A full box refuses a further digit even over a selection; Backspace
    // and Tab still work.
    void fullBoxKeys()
    {
        StrokeCalculator c(1, 100000);
        showActive(c);
        c.txtStrokeTyo->setFocus();
        QTest::keyClicks(c.txtStrokeTyo, QStringLiteral("123"));
        c.txtStrokeTyo->selectAll();
        QTest::keyClick(c.txtStrokeTyo, Qt::Key_9);
        QCOMPARE(c.txtStrokeTyo->text(), QStringLiteral("123"));
        QTest::keyClick(c.txtStrokeTyo, Qt::Key_Backspace);
        QCOMPARE(c.txtStrokeTyo->text(), QString());
        QTest::keyClicks(c.txtStrokeTyo, QStringLiteral("12"));
        QTest::keyClick(c.txtStrokeTyo, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), c.txtRido);
    }

    // The lists of a catalogue in which size " 20" has a fast speed listed
    // first, and the homing method each model allows.
    void deviceDialogLists_data()
    {
        QTest::addColumn<int>("family");      // 0 KT, 1 RW
        QTest::addColumn<bool>("oldType");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QStringList>("strokes");
        QTest::addColumn<bool>("homingFree");
        QTest::addColumn<bool>("sensor");
        QTest::newRow("KT new 20: L forced") << 0 << false << " 20" << "L" << QStringList{"50"} << false << true;
        QTest::newRow("KT old 28: free") << 0 << true << " 28" << "H" << QStringList{"100", "200"} << true << true;
        QTest::newRow("KT old 42: sensor") << 0 << true << " 42" << "L" << QStringList{"100"} << false << true;
        QTest::newRow("RW 28: pushing") << 1 << false << " 28" << "H" << QStringList{"100"} << false << false;
    }

    void deviceDialogLists()
    {
        QTemporaryDir dir;
        const auto write = [&dir](const char *name, const QString &text) {
            QVERIFY(WriteDataFile(dir.filePath(QLatin1String(name)), text).ok);
        };
        write("nktdevice.lst", "4\r\n\" 28H-100\",6,400,0,1\r\n\" 20H-025\",2,400,0,2\r\n"
                               "\" 20L-050\",2,400,0,2\r\n\" 42L-100\",2,400,0,2\r\n");
        write("ktdevice.lst", "3\r\n\" 28H-100\",6,400,0,1\r\n\" 28H-200\",6,400,0,1\r\n"
                              "\" 42L-100\",2,400,0,2\r\n");
        write("rwdevice.lst", "1\r\n\" 28H-100\",6,400,0,0\r\n");
        QFETCH(int, family);
        QFETCH(bool, oldType);
        QFETCH(QString, size);

        AppState model;   // KT new " 28H-100", vertical
        model.gDevSpeed = QStringLiteral("H");
        const AppState before = model;
        ScriptedPrompter prompter;
        DeviceDialog d(model, prompter, dir.path());
        d.optHomeMethod[1]->setChecked(true);
        d.optKtSelect[family]->click();
        if (oldType)
            d.chkNewOrOld->click();
        choose(d.comboDeviceSize, size);
        QTEST(d.comboDeviceSpeed->currentText(), "speed");
        QStringList strokes;
        for (int i = 0; i < d.comboDeviceStroke->count(); ++i)
            strokes << d.comboDeviceStroke->itemText(i);
        QTEST(strokes, "strokes");
        QTEST(d.optHomeMethod[0]->isEnabled(), "homingFree");
        QTEST(d.optHomeMethod[1]->isChecked(), "sensor");

        // OK gives the choice as a value; the model it started from is the
        // caller's and stays as it was.
        d.cmdDeviceSet->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const DeviceChoice choice = d.currentChoice();
        QCOMPARE(choice.family, QLatin1String(family == 0 ? "KT" : "RW"));
        QCOMPARE(choice.isNewType, family == 0 && !oldType);
        QCOMPARE(choice.size, size);
        QCOMPARE(prompter.texts(), QStringList());
        QCOMPARE(model.gDevSize, before.gDevSize);
        QCOMPARE(model.gDevFamily, before.gDevFamily);
    }
};

KTED_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
