// The Help menu: the manual in its window (contents, links, search), the
// message when it cannot be shown, and the About window with the system
// information.

#include "../ui/modaldriver.h"
#include "app/appstate.h"
#include "app/settingsstore.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"
#include "ui/frmabout.h"
#include "ui/helpwindow.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

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

// The program offline in the given language, the manual's entry as given.
struct Run
{
    Run(int language, const QString &helpFile)
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear();
        store = std::make_unique<SettingsStore>();
        store->writeInt(SettingsKey::Language, language);
        qputenv("KTED_COM1", QDir(TestScratchDir()).filePath("no-such-device").toLocal8Bit());
        program = std::make_unique<Program>(state, *store, prompter, dialogs, SourceDataDir());
        program->startUp().setShowSplash(false);
        program->startUp().hooks().choose = [](const QString &, const QString &, const QString &,
                                               const QString &) { return 1; };
        // Offline, the start-up would wait in the device selection dialog.
        program->startUp().hooks().selectDevice = [](MainWindow &) {};
        window = &program->run();
        window->helpFile = helpFile;
    }
    ~Run() { SetLangOffset(0); }

    AppState state;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
};

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

class TestAboutHelp : public QObject
{
    Q_OBJECT

private slots:
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
        Run run(language, manualEntry());
        run.window->mnuHelpContents->trigger();
        QCOMPARE(run.prompter.texts(), QStringList());
        HelpWindow *help = run.program->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), LoadText(881));
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
        QTest::newRow("pages of the language missing") << "pages";
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
        else if (breakage == QLatin1String("pages"))
            QDir(en).removeRecursively();
        else
            QFile::remove(en + QStringLiteral("/contents.html"));
        Run run(2, entry);
        run.window->mnuHelpContents->trigger();
        run.window->mnuHelpSearch->trigger();
        QCOMPARE(run.prompter.texts(), (QStringList{LoadText(491), LoadText(491)}));
        QCOMPARE(run.prompter.shown().last().caption, run.window->windowTitle());
        QVERIFY(!run.program->helpWindow());
    }

    // About shows the version and the program's texts; its system
    // information lists the serial ports with their devices and can be
    // copied; with nothing to show, message 536.
    void aboutAndSystemInformation()
    {
        Run run(2, manualEntry());
        qputenv("KTED_COM2", QByteArrayLiteral("/dev/ttyKTED-test2"));
        bool checked = false;
        ModalDriver driver;
        driver.then("frmAbout", [&](QWidget *modal) {
            auto *about = static_cast<frmAbout *>(modal);
            QCOMPARE(about->windowTitle(), LoadText(141));
            QCOMPARE(about->lblTitle->text(), LoadText(479));
            QCOMPARE(about->lblVersion->text(), QStringLiteral("Version 1.30"));
            QCOMPARE(about->lblDescription->text(), LoadText(143));
            QCOMPARE(about->lblHpAddress->text(), LoadText(145));
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

KTED_TEST_MAIN(TestAboutHelp)
#include "tst_abouthelp.moc"
