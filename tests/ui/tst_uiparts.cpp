// The pieces of the user interface below the main window: the caption
// loader, the message and file-dialog services, the two-choice dialog, the
// splash window and the lamps.

#include "app/appstate.h"
#include "app/selectiondialog.h"
#include "app/splashwindow.h"
#include "app/version.h"
#include "common/timescale.h"
#include "modaldriver.h"
#include "tabletext.h"
#include "testenv.h"
#include "text/stringtable.h"
#include "ui/captionloader.h"
#include "ui/desktopfiledialogs.h"
#include "ui/desktopprompter.h"
#include "ui/lamp.h"
#include "ui/qttranslation.h"
#include "ui/startup.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

QString japanese(int id)
{
    return TableText(id);
}

void setLanguage(bool english)
{
    SetLangOffset(english ? 10000 : 0);
}

QLineEdit *fileNameEdit(QWidget *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

} // namespace

class TestUiParts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setLanguage(false);
        UseQtTranslation(false);
    }

    // ---- Caption loader ----------------------------------------------------

    void captionLoader_data()
    {
        QTest::addColumn<bool>("english");
        QTest::newRow("Japanese") << false;
        QTest::newRow("English") << true;
    }

    void captionLoader()
    {
        QFETCH(bool, english);
        setLanguage(english);
        auto pick = [&](int id, const char *en) { return english ? QString::fromUtf8(en) : japanese(id); };

        QMainWindow window;
        SetCaptionId(&window, 1);
        window.setWindowTitle(QStringLiteral("design"));
        auto *central = new QWidget(&window);
        window.setCentralWidget(central);

        auto *label = new QLabel(QStringLiteral("design label"), central);
        SetCaptionId(label, 23);
        SetTipId(label, 289);
        auto *japaneseOnly = new QLabel(QStringLiteral("design 4"), central);
        SetCaptionId(japaneseOnly, 4);
        SetTipId(japaneseOnly, 301);
        japaneseOnly->setToolTip(QStringLiteral("design tip"));
        auto *zeroTag = new QLabel(QStringLiteral("design zero"), central);
        SetCaptionId(zeroTag, 0);
        auto *noTag = new QLabel(QStringLiteral("design none"), central);
        auto *textTag = new QPushButton(QStringLiteral("design text tag"), central);
        textTag->setProperty(CaptionProperty::CaptionId, QStringLiteral("abc"));
        auto *unknownId = new QPushButton(QStringLiteral("design unknown"), central);
        SetCaptionId(unknownId, 599);
        auto *button = new QPushButton(central);
        SetCaptionId(button, 7);
        SetTipId(button, 295);
        auto *option = new QRadioButton(central);
        SetCaptionId(option, 10);
        auto *check = new QCheckBox(central);
        SetCaptionId(check, 42);
        auto *frame = new QGroupBox(central);
        SetCaptionId(frame, 26);
        auto *plainFrame = new QFrame(central);
        SetCaptionId(plainFrame, 34);
        auto *lamp = new Lamp(Lamp::Colour::Green, central);
        SetNameId(lamp, 25);

        QMenu *menu = window.menuBar()->addMenu(QStringLiteral("design menu"));
        SetCaptionId(menu, 251);
        QAction *entry = menu->addAction(QStringLiteral("design entry"));
        SetCaptionId(entry, 263);
        QAction *separator = menu->addSeparator();
        QToolBar *toolbar = window.addToolBar(QStringLiteral("tools"));
        QAction *tool = toolbar->addAction(QStringLiteral("t"));
        SetTipId(tool, 281);
        QAction *toolSeparator = toolbar->addSeparator();

        SetFormCaption(&window);

        QCOMPARE(window.windowTitle(), pick(1, "KT-ED"));
        QCOMPARE(label->text(), pick(23, "File Name"));
        QCOMPARE(label->toolTip(), pick(289, "Unit for setting is 100msec. (e.g. 10 = 1 second)"));
        // IDs that exist only in Japanese leave the design texts in English.
        QCOMPARE(japaneseOnly->text(), english ? QStringLiteral("design 4") : japanese(4));
        QCOMPARE(japaneseOnly->toolTip(), english ? QStringLiteral("design tip") : japanese(301));
        QCOMPARE(zeroTag->text(), QStringLiteral("design zero"));
        QCOMPARE(noTag->text(), QStringLiteral("design none"));
        QCOMPARE(textTag->text(), QStringLiteral("design text tag"));
        QCOMPARE(unknownId->text(), QStringLiteral("design unknown"));
        QCOMPARE(button->text(), pick(7, "Read from C/T"));
        QCOMPARE(button->toolTip(), pick(295, "Read Data from Controller"));
        QCOMPARE(option->text(), pick(10, "Round up"));
        QCOMPARE(check->text(), pick(42, "Repeat"));
        QCOMPARE(frame->title(), pick(26, "ALARM"));
        QCOMPARE(plainFrame->accessibleName(), pick(34, "OUT"));
        QCOMPARE(lamp->accessibleName(), pick(25, "RS-232C"));
        QCOMPARE(menu->title(), pick(251, "File(&F)"));
        QCOMPARE(entry->text(), pick(263, "Exit(&X)"));
        QVERIFY(separator->isSeparator());
        QVERIFY(toolSeparator->isSeparator());
        QCOMPARE(tool->toolTip(), pick(281, "All clear & New Data"));
    }

    // ---- Message boxes -----------------------------------------------------

    void prompterButtons_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("expectedButtons");
        QTest::addColumn<int>("press");   // a standard button, or 0 for Escape
        QTest::addColumn<int>("answer");

        using B = Prompter::Buttons;
        using A = Prompter::Answer;
        const int ok = QMessageBox::Ok, cancel = QMessageBox::Cancel, yes = QMessageBox::Yes,
                  no = QMessageBox::No;
        QTest::newRow("OK") << int(B::Ok) << ok << ok << int(A::Ok);
        QTest::newRow("OK, Escape") << int(B::Ok) << ok << 0 << int(A::Ok);
        QTest::newRow("OK/Cancel: OK") << int(B::OkCancel) << (ok | cancel) << ok << int(A::Ok);
        QTest::newRow("OK/Cancel: Cancel") << int(B::OkCancel) << (ok | cancel) << cancel << int(A::Cancel);
        QTest::newRow("OK/Cancel: Escape") << int(B::OkCancel) << (ok | cancel) << 0 << int(A::Cancel);
        QTest::newRow("Yes/No: Yes") << int(B::YesNo) << (yes | no) << yes << int(A::Yes);
        QTest::newRow("Yes/No: Escape") << int(B::YesNo) << (yes | no) << 0 << int(A::No);
        QTest::newRow("Yes/No/Cancel: No") << int(B::YesNoCancel) << (yes | no | cancel) << no << int(A::No);
        QTest::newRow("Yes/No/Cancel: Escape") << int(B::YesNoCancel) << (yes | no | cancel) << 0
                                               << int(A::Cancel);
    }

    void prompterButtons()
    {
        QFETCH(int, buttons);
        QFETCH(int, expectedButtons);
        QFETCH(int, press);
        QFETCH(int, answer);

        DesktopPrompter prompter;
        ModalDriver driver;
        int shownButtons = 0;
        driver.then("QMessageBox", [&](QWidget *w) {
            auto *box = static_cast<QMessageBox *>(w);
            shownButtons = int(box->standardButtons());
            if (press == 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::StandardButton(press))->click();
        });
        const Prompter::Answer got =
            prompter.ask(QStringLiteral("text"), Prompter::Buttons(buttons), Prompter::Icon::None);
        QVERIFY(driver.done());
        QCOMPARE(shownButtons, expectedButtons);
        QCOMPARE(int(got), answer);
    }

    void prompterLooks_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("boxIcon");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("exclamation, application title")
            << int(Prompter::Icon::Exclamation) << int(QMessageBox::Warning) << QString()
            << QStringLiteral("KT-ED");
        QTest::newRow("question, own caption") << int(Prompter::Icon::Question)
                                               << int(QMessageBox::Question)
                                               << QStringLiteral("Print Setting")
                                               << QStringLiteral("Print Setting");
        QTest::newRow("information") << int(Prompter::Icon::Information) << int(QMessageBox::Information)
                                     << QString() << QStringLiteral("KT-ED");
        QTest::newRow("critical") << int(Prompter::Icon::Critical) << int(QMessageBox::Critical)
                                  << QString() << QStringLiteral("KT-ED");
        QTest::newRow("no icon") << int(Prompter::Icon::None) << int(QMessageBox::NoIcon) << QString()
                                 << QStringLiteral("KT-ED");
    }

    void prompterLooks()
    {
        QFETCH(int, icon);
        QFETCH(int, boxIcon);
        QFETCH(QString, caption);
        QFETCH(QString, expectedTitle);
        setLanguage(true);

        DesktopPrompter prompter;
        ModalDriver driver;
        QString title, text;
        int shownIcon = -1;
        driver.then("QMessageBox", [&](QWidget *w) {
            auto *box = static_cast<QMessageBox *>(w);
            title = box->windowTitle();
            text = box->text();
            shownIcon = int(box->icon());
            box->button(QMessageBox::Ok)->click();
        });
        prompter.ask(QStringLiteral("Type not selected.\n\nPlease select tyep again."),
                     Prompter::Buttons::Ok, Prompter::Icon(icon), caption);
        QVERIFY(driver.done());
        QCOMPARE(title, expectedTitle);
        QCOMPARE(text, QStringLiteral("Type not selected.\n\nPlease select tyep again."));
        QCOMPARE(shownIcon, boxIcon);
    }

    void prompterSpeaksJapanese()
    {
        // The captions of a Yes/No/Cancel box, joined.
        auto buttonCaptions = [] {
            DesktopPrompter prompter;
            ModalDriver driver;
            QStringList captions;
            driver.then("QMessageBox", [&](QWidget *w) {
                auto *box = static_cast<QMessageBox *>(w);
                for (QAbstractButton *b : box->buttons())
                    captions.append(b->text());
                box->button(QMessageBox::Cancel)->click();
            });
            prompter.ask(QStringLiteral("?"), Prompter::Buttons::YesNoCancel, Prompter::Icon::Question);
            return captions.join(u'|');
        };
        QVERIFY(UseQtTranslation(true));
        const QString japaneseCaptions = buttonCaptions();
        QVERIFY2(japaneseCaptions.contains(QStringLiteral("キャンセル")), qPrintable(japaneseCaptions));
        QVERIFY2(japaneseCaptions.contains(QStringLiteral("はい")), qPrintable(japaneseCaptions));
        // Back in English the same box reads in English again.
        UseQtTranslation(false);
        const QString englishCaptions = buttonCaptions();
        QVERIFY2(englishCaptions.contains(QStringLiteral("Cancel")), qPrintable(englishCaptions));
    }

    // ---- File dialogs ------------------------------------------------------

    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("position files")
            << QStringLiteral("KT Data file(*.ktd)|*.ktd|All Files(*.*)|*.*")
            << QStringList{QStringLiteral("KT Data file(*.ktd) (*.ktd)"), QStringLiteral("All Files(*.*) (*)")};
        QTest::newRow("Japanese descriptions")
            << QStringLiteral("KTパラメータファイル(*.pmt)|*.pmt|すべてのファイル(*.*)|*.*")
            << QStringList{QStringLiteral("KTパラメータファイル(*.pmt) (*.pmt)"),
                           QStringLiteral("すべてのファイル(*.*) (*)")};
        QTest::newRow("several patterns") << QStringLiteral("Data(*.ktd;*.pmt)|*.ktd;*.pmt")
                                          << QStringList{QStringLiteral("Data(*.ktd;*.pmt) (*.ktd *.pmt)")};
        QTest::newRow("description without pattern")
            << QStringLiteral("Text(*.txt)|*.txt|Other")
            << QStringList{QStringLiteral("Text(*.txt) (*.txt)"), QStringLiteral("Other (*)")};
        QTest::newRow("empty") << QString() << QStringList{};
    }

    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(DesktopFileDialogs::QtNameFilters(filter), expected);
    }

    void saveDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("confirmOverwrite");
        QTest::addColumn<int>("overwriteAnswer");  // 0: no question expected
        QTest::addColumn<QString>("expectedName"); // empty: cancelled
        QTest::newRow("default extension added") << "table" << false << true << 0 << "table.ktd";
        QTest::newRow("own extension kept") << "table.txt" << false << true << 0 << "table.txt";
        QTest::newRow("existing file, replace") << "old" << true << true << int(QMessageBox::Yes)
                                                << "old.ktd";
        QTest::newRow("existing file, keep") << "old" << true << true << int(QMessageBox::No) << "";
        QTest::newRow("existing file, no question") << "old" << true << false << 0 << "old.ktd";
    }

    void saveDialog()
    {
        QFETCH(QString, typed);
        QFETCH(bool, fileExists);
        QFETCH(bool, confirmOverwrite);
        QFETCH(int, overwriteAnswer);
        QFETCH(QString, expectedName);

        QTemporaryDir dir;
        if (fileExists) {
            QFile f(dir.filePath(QStringLiteral("old.ktd")));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        DesktopFileDialogs dialogs;
        FileDialogs::Request request;
        request.title = QStringLiteral("Save KT data as ...");
        request.filter = QStringLiteral("KT Data file(*.ktd)|*.ktd|All Files(*.*)|*.*");
        request.defaultExtension = QStringLiteral("ktd");
        request.initialName = QStringLiteral("ktdata.ktd");
        request.initialFolder = dir.path();
        request.confirmOverwrite = confirmOverwrite;

        ModalDriver driver;
        QString shownTitle, initialText;
        bool asked = false;
        driver.then("QFileDialog", [&](QWidget *w) {
            auto *dialog = static_cast<QFileDialog *>(w);
            shownTitle = dialog->windowTitle();
            initialText = fileNameEdit(dialog)->text();
            fileNameEdit(dialog)->setText(typed);
            static_cast<QDialog *>(dialog)->accept();
        });
        if (overwriteAnswer != 0) {
            driver.then("QMessageBox", [&](QWidget *w) {
                asked = true;
                static_cast<QMessageBox *>(w)->button(QMessageBox::StandardButton(overwriteAnswer))->click();
            });
        }
        if (overwriteAnswer == QMessageBox::No) {
            // Kept: the dialog is still open; the user gives up.
            driver.then("QFileDialog", [](QWidget *w) { static_cast<QFileDialog *>(w)->reject(); }, true);
        }
        const auto choice = dialogs.save(request);
        QVERIFY(driver.done());
        QCOMPARE(shownTitle, request.title);
        QCOMPARE(initialText, QStringLiteral("ktdata.ktd"));
        QCOMPARE(asked, overwriteAnswer != 0);
        if (expectedName.isEmpty()) {
            QVERIFY(!choice);
        } else {
            QVERIFY(choice);
            QCOMPARE(choice->title, expectedName);
            QCOMPARE(choice->path, QDir(dir.path()).filePath(expectedName));
        }
    }

    void openDialogNeedsExistingFile()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("there.ktd")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        DesktopFileDialogs dialogs;
        FileDialogs::Request request;
        request.title = QStringLiteral("Open KT data file");
        request.filter = QStringLiteral("KT Data file(*.ktd)|*.ktd|All Files(*.*)|*.*");
        request.defaultExtension = QStringLiteral("ktd");
        request.initialFolder = dir.path();
        request.mustExist = true;

        ModalDriver driver;
        bool stillOpen = false;
        driver.then("QFileDialog", [&](QWidget *w) {
            auto *dialog = static_cast<QFileDialog *>(w);
            fileNameEdit(dialog)->setText(QStringLiteral("missing.ktd"));
            static_cast<QDialog *>(dialog)->accept();
            stillOpen = dialog->isVisible();
        });
        // Qt tells the user that the file is not there; the dialog stays open.
        driver.then("QMessageBox", [](QWidget *w) { static_cast<QMessageBox *>(w)->accept(); });
        driver.then("QFileDialog", [&](QWidget *w) {
            auto *dialog = static_cast<QFileDialog *>(w);
            fileNameEdit(dialog)->setText(QStringLiteral("there"));
            static_cast<QDialog *>(dialog)->accept();
        }, true);
        const auto choice = dialogs.open(request);
        QVERIFY(driver.done());
        QVERIFY(stillOpen);
        QVERIFY(choice);
        QCOMPARE(choice->title, QStringLiteral("there.ktd"));
    }

    // ---- Two-choice dialog -------------------------------------------------

    void selectionNoCancel()
    {
        AppState state;
        state.gMainLeft = 1500;  // 100 px
        state.gMainTop = 3000;   // 200 px
        ModalDriver driver;
        bool cancelShown = true, cancelEnabled = true, survivedClose = false, survivedEscape = false;
        QPoint placed;
        QString title, prompt, first, second;
        driver.then("SelectionDialog", [&](QWidget *w) {
            auto *dialog = static_cast<SelectionDialog *>(w);
            placed = dialog->pos();
            title = dialog->windowTitle();
            prompt = dialog->lblSelectSetumei->text();
            first = dialog->optSelectKomoku[0]->text();
            second = dialog->optSelectKomoku[1]->text();
            cancelShown = dialog->cmdSelectCancel->isVisible();
            cancelEnabled = dialog->cmdSelectCancel->isEnabled();
            dialog->close();
            survivedClose = dialog->isVisible();
            QTest::keyClick(dialog, Qt::Key_Escape);
            survivedEscape = dialog->isVisible();
            dialog->optSelectKomoku[1]->click();
            dialog->cmdSelectOK->click();
        });
        const int result = ShowSelection(state, QStringLiteral("Device setting"),
                                         QStringLiteral("Which methods by the following do you select?"),
                                         QStringLiteral("Reading from C/T"), QStringLiteral("Offline setting"), 1);
        QVERIFY(driver.done());
        QCOMPARE(title, QStringLiteral("Device setting"));
        QCOMPARE(prompt, QStringLiteral("Which methods by the following do you select?"));
        QCOMPARE(first, QStringLiteral("Reading from C/T"));
        QCOMPARE(second, QStringLiteral("Offline setting"));
        QVERIFY(!cancelShown);
        QVERIFY(!cancelEnabled);
        QVERIFY(survivedClose);
        QVERIFY(survivedEscape);
        QCOMPARE(result, 1);
        QCOMPARE(placed, QPoint(100 + 33, 200 + 33));
    }

    void selectionWithCancel_data()
    {
        QTest::addColumn<int>("how");  // 0 OK on the first choice, 1 Cancel, 2 close box
        QTest::addColumn<int>("expected");
        QTest::newRow("first choice") << 0 << 0;
        QTest::newRow("Cancel") << 1 << -1;
        // Closing the window is no choice of either option.
        QTest::newRow("close box") << 2 << -1;
    }

    void selectionWithCancel()
    {
        QFETCH(int, how);
        QFETCH(int, expected);
        AppState state;
        ModalDriver driver;
        bool cancelShown = false;
        driver.then("SelectionDialog", [&](QWidget *w) {
            auto *dialog = static_cast<SelectionDialog *>(w);
            cancelShown = dialog->cmdSelectCancel->isVisible() && dialog->cmdSelectCancel->isEnabled();
            dialog->optSelectKomoku[1]->click();
            if (how == 0) {
                dialog->optSelectKomoku[0]->click();
                dialog->cmdSelectOK->click();
            } else if (how == 1) {
                dialog->cmdSelectCancel->click();
            } else {
                dialog->close();
            }
        });
        const int result = ShowSelection(state, QStringLiteral("t"), QStringLiteral("p"), QStringLiteral("a"),
                                         QStringLiteral("b"), 0);
        QVERIFY(driver.done());
        QVERIFY(cancelShown);
        QCOMPARE(result, expected);
    }

    // ---- Splash window and version ----------------------------------------

    void versionText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.3.0") << 1 << 3 << 0 << "1.30";
        QTest::newRow("2.10.5") << 2 << 10 << 5 << "2.105";
        QTest::newRow("0.0.12") << 0 << 0 << 12 << "0.012";
    }

    void versionText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, expected);
        QCOMPARE(VersionNumberText(major, minor, revision), expected);
    }

    void splashShowsVersionForTwoSeconds()
    {
        SplashWindow splash;
        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version ") + VersionNumberText());
        QVERIFY(!splash.timerSplash->isActive());
        bool visibleMeanwhile = false;
        QTimer::singleShot(ScaledMs(2000) / 2, &splash, [&] { visibleMeanwhile = splash.isVisible(); });
        QElapsedTimer clock;
        clock.start();
        splash.showForTwoSeconds();
        QVERIFY(clock.elapsed() >= ScaledMs(2000) - 5);
        QVERIFY(visibleMeanwhile);
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.timerSplash->isActive());
    }

    // ---- Lamps and the help path ------------------------------------------

    void lampStates()
    {
        setLanguage(true);
        Lamp lamp(Lamp::Colour::Green);
        lamp.resize(lamp.sizeHint());
        const QColor dark = lamp.grab().toImage().pixelColor(lamp.width() / 2, lamp.height() * 2 / 3);
        const QString darkText = lamp.accessibleDescription();
        lamp.setLit(true);
        const QColor lit = lamp.grab().toImage().pixelColor(lamp.width() / 2, lamp.height() * 2 / 3);
        QCOMPARE(darkText, QStringLiteral("Off"));
        QCOMPARE(lamp.accessibleDescription(), QStringLiteral("Lit"));
        // Dark is a white lens, lit a green one.
        QVERIFY2(dark.red() > 200 && dark.green() > 200 && dark.blue() > 200, qPrintable(dark.name()));
        QVERIFY2(lit.green() > lit.red() + 60 && lit.green() > lit.blue() + 60, qPrintable(lit.name()));
    }

    void helpFilePath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("folder") << "/opt/kted/bin" << "/opt/kted/bin/ktedhlp.chm";
        QTest::newRow("root") << "/" << "/ktedhlp.chm";
        QTest::newRow("drive root") << "C:\\" << "C:\\ktedhlp.chm";
    }

    void helpFilePath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(HelpFilePath(folder, QStringLiteral("ktedhlp.chm")), expected);
    }
};

KTED_TEST_MAIN(TestUiParts)
#include "tst_uiparts.moc"
