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

#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
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

class TestUiParts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetLangOffset(0);
        UseQtTranslation(false);
    }

    // The loader's skip rules and the controls the main window's captions
    // (tested end to end) do not reach.
    void captionLoader_data()
    {
        QTest::addColumn<bool>("english");
        QTest::newRow("Japanese") << false;
        QTest::newRow("English") << true;
    }

    void captionLoader()
    {
        QFETCH(bool, english);
        const int off = english ? 10000 : 0;
        SetLangOffset(off);

        QMainWindow window;
        SetCaptionId(&window, 1);
        auto *central = new QWidget(&window);
        window.setCentralWidget(central);
        // No tag, a zero, a text and an ID the table lacks: the design text stays.
        QList<QPushButton *> kept;
        for (const QVariant &tag : {QVariant(), QVariant(0), QVariant(QStringLiteral("abc")), QVariant(599)}) {
            kept << new QPushButton(QStringLiteral("design"), central);
            if (tag.isValid())
                kept.last()->setProperty(CaptionProperty::CaptionId, tag);
        }
        auto *japaneseOnly = new QLabel(QStringLiteral("design 4"), central);
        SetCaptionId(japaneseOnly, 4);
        SetTipId(japaneseOnly, 301);
        japaneseOnly->setToolTip(QStringLiteral("design tip"));
        auto *plainFrame = new QFrame(central);
        SetCaptionId(plainFrame, 34);
        // "&" before a blank is the word "and", "(&N)" the mnemonic.
        auto *menu = window.menuBar()->addMenu(QStringLiteral("design"));
        QAction *clearAll = menu->addAction(QStringLiteral("design"));
        SetCaptionId(clearAll, 252);

        SetFormCaption(&window);

        QCOMPARE(window.windowTitle(), TableText(1 + off));
        for (QPushButton *b : kept)
            QCOMPARE(b->text(), QStringLiteral("design"));
        // IDs that exist only in Japanese leave the design texts in English.
        QCOMPARE(japaneseOnly->text(), english ? QStringLiteral("design 4") : TableText(4));
        QCOMPARE(japaneseOnly->toolTip(), english ? QStringLiteral("design tip") : TableText(301));
        QCOMPARE(plainFrame->accessibleName(), TableText(34 + off));
        QCOMPARE(clearAll->text(), english ? QStringLiteral("Clear All && New Data(&N)") : TableText(252));
    }

    // ---- Message boxes -----------------------------------------------------

    // Qt's own button texts, in Japanese in Japanese mode.
    void prompter_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("labels"); // sorted
        QTest::addColumn<int>("press"); // a standard button, or 0 for Escape
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("boxIcon");
        QTest::addColumn<QString>("caption"); // empty: the application title
        QTest::addColumn<bool>("japanese");

        using B = Prompter::Buttons;
        using A = Prompter::Answer;
        using I = Prompter::Icon;
        const int ok = QMessageBox::Ok, cancel = QMessageBox::Cancel, yes = QMessageBox::Yes,
                  no = QMessageBox::No;
        auto row = [](const char *name, B buttons, const char *labels, int press, A answer, I icon, int boxIcon,
                      const QString &caption = QString(), bool japanese = false) {
            QTest::newRow(name) << int(buttons) << QString::fromUtf8(labels) << press << int(answer) << int(icon)
                                << boxIcon << caption << japanese;
        };
        row("OK, Escape", B::Ok, "OK", 0, A::Ok, I::Exclamation, QMessageBox::Warning);
        row("OK/Cancel: OK", B::OkCancel, "Cancel|OK", ok, A::Ok, I::Question, QMessageBox::Question,
            QStringLiteral("Print Setting"));
        row("OK/Cancel: Cancel", B::OkCancel, "Cancel|OK", cancel, A::Cancel, I::Information,
            QMessageBox::Information);
        row("OK/Cancel: Escape", B::OkCancel, "Cancel|OK", 0, A::Cancel, I::Critical, QMessageBox::Critical);
        row("Yes/No: Yes", B::YesNo, "No|Yes", yes, A::Yes, I::Question, QMessageBox::Question);
        row("Yes/No: Escape", B::YesNo, "No|Yes", 0, A::No, I::Question, QMessageBox::Question);
        row("Yes/No/Cancel: No, Japanese", B::YesNoCancel, "いいえ(N)|はい(Y)|キャンセル", no, A::No, I::None,
            QMessageBox::NoIcon, QString(), true);
        // Back in English after the Japanese box.
        row("Yes/No/Cancel: Escape", B::YesNoCancel, "Cancel|No|Yes", 0, A::Cancel, I::None, QMessageBox::NoIcon);
    }

    void prompter()
    {
        QFETCH(int, buttons);
        QFETCH(QString, labels);
        QFETCH(int, press);
        QFETCH(int, icon);
        QFETCH(int, boxIcon);
        QFETCH(QString, caption);
        QFETCH(bool, japanese);
        SetLangOffset(10000);
        if (japanese)
            QVERIFY(UseQtTranslation(true));

        const QString text = QStringLiteral("Type not selected.\n\nPlease select tyep again.");
        DesktopPrompter prompter;
        ModalDriver driver;
        QStringList shown;
        driver.then("QMessageBox", [&](QWidget *w) {
            auto *box = static_cast<QMessageBox *>(w);
            QStringList texts;
            for (QAbstractButton *b : box->buttons())
                texts << b->text().remove(u'&');
            texts.sort();
            shown = {box->windowTitle(), box->text(), texts.join(u'|'), QString::number(int(box->icon()))};
            if (press == 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::StandardButton(press))->click();
        });
        const Prompter::Answer got = prompter.ask(text, Prompter::Buttons(buttons), Prompter::Icon(icon), caption);
        QVERIFY(driver.done());
        QCOMPARE(shown, (QStringList{caption.isEmpty() ? QStringLiteral("KT-ED") : caption, text, labels,
                                     QString::number(boxIcon)}));
        QTEST(int(got), "answer");
    }

    // ---- File dialogs ------------------------------------------------------

    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("position files")
            << QStringLiteral("KT Data file(*.ktd)|*.ktd|All Files(*.*)|*.*")
            << QStringList{QStringLiteral("KT Data file(*.ktd) (*.ktd)"), QStringLiteral("All Files(*.*) (*)")};
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
        QTEST(DesktopFileDialogs::QtNameFilters(filter), "expected");
    }

    // The user types a name into the real dialog, in a folder that holds
    // old.ktd; Qt's own question (overwrite, or file not found) is answered.
    void fileDialog_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("confirmOverwrite");
        QTest::addColumn<int>("press");     // the button pressed in Qt's question; 0: no question
        QTest::addColumn<QString>("chosen"); // empty: the user gives up
        const int yes = QMessageBox::Yes, no = QMessageBox::No, ok = QMessageBox::Ok;
        QTest::newRow("save: default extension added") << true << "table" << true << 0 << "table.ktd";
        QTest::newRow("save: own extension kept") << true << "table.txt" << true << 0 << "table.txt";
        QTest::newRow("save: existing file, replace") << true << "old" << true << yes << "old.ktd";
        QTest::newRow("save: existing file, keep") << true << "old" << true << no << "";
        QTest::newRow("save: existing file, no question") << true << "old" << false << 0 << "old.ktd";
        QTest::newRow("open: default extension added") << false << "old" << false << 0 << "old.ktd";
        QTest::newRow("open: missing file refused") << false << "missing.ktd" << false << ok << "";
    }

    void fileDialog()
    {
        QFETCH(bool, save);
        QFETCH(QString, typed);
        QFETCH(bool, confirmOverwrite);
        QFETCH(int, press);
        QFETCH(QString, chosen);

        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath(QStringLiteral("old.ktd"))).open(QIODevice::WriteOnly));
        DesktopFileDialogs dialogs;
        FileDialogs::Request request;
        request.title = QStringLiteral("KT data file");
        request.filter = QStringLiteral("KT Data file(*.ktd)|*.ktd|All Files(*.*)|*.*");
        request.defaultExtension = QStringLiteral("ktd");
        request.initialName = QStringLiteral("ktdata.ktd");
        request.initialFolder = dir.path();
        request.confirmOverwrite = confirmOverwrite;
        request.mustExist = true;

        ModalDriver driver;
        QString shownTitle, initialText;
        driver.then("QFileDialog", [&](QWidget *w) {
            auto *name = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            shownTitle = w->windowTitle();
            initialText = name->text();
            name->setText(typed);
            static_cast<QDialog *>(w)->accept();
        });
        if (press != 0) {
            driver.then("QMessageBox", [&](QWidget *w) {
                static_cast<QMessageBox *>(w)->button(QMessageBox::StandardButton(press))->click();
            });
        }
        if (press != 0 && chosen.isEmpty()) // the dialog is still open
            driver.then("QFileDialog", [](QWidget *w) { static_cast<QFileDialog *>(w)->reject(); });
        const auto choice = save ? dialogs.save(request) : dialogs.open(request);
        QVERIFY(driver.done());
        QCOMPARE(shownTitle, request.title);
        QCOMPARE(initialText, QStringLiteral("ktdata.ktd"));
        QCOMPARE(choice.has_value(), !chosen.isEmpty());
        if (choice) {
            QCOMPARE(choice->title, chosen);
            QCOMPARE(choice->path, QDir(dir.path()).filePath(chosen));
        }
    }

    // ---- Two-choice dialog -------------------------------------------------

    // With Cancel, and in the start-up's form without it, where neither the
    // close box nor Escape leaves the dialog.
    void selection_data()
    {
        QTest::addColumn<int>("noCancel");
        QTest::addColumn<int>("how"); // 0, 1: OK on that choice; 2: Cancel; 3: close box and Escape, then OK on 1
        QTest::addColumn<int>("result");
        QTest::newRow("first choice") << 0 << 0 << 0;
        QTest::newRow("second choice") << 0 << 1 << 1;
        QTest::newRow("Cancel") << 0 << 2 << -1;
        // Closing the window is no choice of either option.
        QTest::newRow("close box") << 0 << 3 << -1;
        QTest::newRow("no Cancel: close box and Escape refused") << 1 << 3 << 1;
    }

    void selection()
    {
        QFETCH(int, noCancel);
        QFETCH(int, how);
        AppState state;
        state.gMainLeft = 1500; // 100 px
        state.gMainTop = 3000;  // 200 px
        ModalDriver driver;
        QStringList shown;
        QPoint placed;
        QList<bool> cancelButton;
        driver.then("SelectionDialog", [&](QWidget *w) {
            auto *dialog = static_cast<SelectionDialog *>(w);
            placed = dialog->pos();
            shown = {dialog->windowTitle(), dialog->lblSelectSetumei->text(), dialog->optSelectKomoku[0]->text(),
                     dialog->optSelectKomoku[1]->text()};
            cancelButton = {dialog->cmdSelectCancel->isVisible(), dialog->cmdSelectCancel->isEnabled()};
            if (how == 2)
                dialog->cmdSelectCancel->click();
            if (how == 3) {
                dialog->close();
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
            if (!dialog->isVisible())
                return;
            const int choice = how == 3 ? 1 : how;
            dialog->optSelectKomoku[1 - choice]->click();
            dialog->optSelectKomoku[choice]->click();
            dialog->cmdSelectOK->click();
        });
        const int got = ShowSelection(state, QStringLiteral("Device setting"), QStringLiteral("Which?"),
                                      QStringLiteral("Reading from C/T"), QStringLiteral("Offline setting"), noCancel);
        QVERIFY(driver.done());
        QTEST(got, "result");
        QCOMPARE(shown, (QStringList{"Device setting", "Which?", "Reading from C/T", "Offline setting"}));
        QCOMPARE(cancelButton, (QList<bool>{!noCancel, !noCancel}));
        QCOMPARE(placed, QPoint(100 + 33, 200 + 33));
    }

    // ---- Splash window and version ----------------------------------------

    // The version (the major number, a point, then the minor number and the
    // revision run together), which the splash window shows for two seconds.
    void splashShowsVersionForTwoSeconds()
    {
        QCOMPARE(VersionNumberText(1, 3, 0), QStringLiteral("1.30"));
        QCOMPARE(VersionNumberText(2, 10, 5), QStringLiteral("2.105"));
        QCOMPARE(VersionNumberText(0, 0, 12), QStringLiteral("0.012"));
        SplashWindow splash;
        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version ") + VersionNumberText());
        bool visibleMeanwhile = false;
        QTimer::singleShot(ScaledMs(2000) / 2, &splash, [&] { visibleMeanwhile = splash.isVisible(); });
        QElapsedTimer clock;
        clock.start();
        splash.showForTwoSeconds();
        // A coarse timer may fire up to 5 % early.
        QVERIFY(clock.elapsed() >= ScaledMs(2000) * 95 / 100);
        QVERIFY(visibleMeanwhile);
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.timerSplash->isActive());
    }

    // ---- Lamps and the help path ------------------------------------------

    // The accessible descriptions are checked on the main window's lamps.
    void lampColours()
    {
        Lamp lamp(Lamp::Colour::Green);
        lamp.resize(lamp.sizeHint());
        const QColor dark = lamp.grab().toImage().pixelColor(lamp.width() / 2, lamp.height() * 2 / 3);
        lamp.setLit(true);
        const QColor lit = lamp.grab().toImage().pixelColor(lamp.width() / 2, lamp.height() * 2 / 3);
        // Dark is a white lens, lit a green one.
        QVERIFY2(dark.red() > 200 && dark.green() > 200 && dark.blue() > 200, qPrintable(dark.name()));
        QVERIFY2(lit.green() > lit.red() + 60 && lit.green() > lit.blue() + 60, qPrintable(lit.name()));
    }

    // The help file beside the program, with one separator.
    void helpFilePath()
    {
        QCOMPARE(HelpFilePath("/opt/kted/bin", "ktedhlp.chm"), QStringLiteral("/opt/kted/bin/ktedhlp.chm"));
        QCOMPARE(HelpFilePath("/", "ktedhlp.chm"), QStringLiteral("/ktedhlp.chm"));
        QCOMPARE(HelpFilePath("C:\\", "ktedhlp.chm"), QStringLiteral("C:\\ktedhlp.chm"));
    }
};

KTED_TEST_MAIN(TestUiParts)
#include "tst_uiparts.moc"
