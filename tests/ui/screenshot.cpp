// Takes pictures of the main window for the documentation: the window as
// the start-up leaves it (offline path, the stored or the default model),
// saved as PNG. Not a test; run it under a display (e.g. xvfb-run).
//
//   kted_screenshot <out.png> <language: 1 = Japanese, 2 = English>
//                   [move]      (the window in Move mode, selective panel)

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "catalogue/catalogue.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "ui/mainwindow.h"
#include "ui/startup.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    InitTestEnvironment();
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: kted_screenshot <out.png> <1|2> [move]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int language = QString::fromLocal8Bit(argv[2]).toInt();
    const bool moveMode = argc > 3 && QByteArray(argv[3]) == "move";

    SettingsStore store(TestScratchDir() + QStringLiteral("/shot.ini"));
    store.writeInt(SettingsKey::Language, language);
    store.sync();
    AppState state;
    ScriptedPrompter prompter;
    Catalogue catalogue(state, prompter, SourceDataDir());
    StartUp startUp(state, store, prompter, catalogue);
    startUp.setShowSplash(false);
    startUp.hooks().choose = [](const QString &, const QString &, const QString &, const QString &) {
        return 1;
    };
    auto window = startUp.run();
    if (moveMode) {
        window->gLastPos = 2;
        window->optModeSelect[0]->click();
        window->optSelectMove[1]->click();
    }
    QTest::qWait(300);
    if (!window->grab().save(out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    for (const QString &t : prompter.texts())
        std::fprintf(stderr, "message shown: %s\n", qPrintable(t));
    return 0;
}
