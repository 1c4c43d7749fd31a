#include "app/appstate.h"
#include "app/settingsstore.h"
#include "catalogue/listfiles.h"
#include "ui/desktopfiledialogs.h"
#include "ui/desktopprompter.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QApplication>

#include <cstdio>

namespace {

// Without a display Qt would abort while it loads its platform plugin. On a
// Unix desktop the display is named by DISPLAY (X11) or WAYLAND_DISPLAY; a
// platform chosen explicitly (QT_QPA_PLATFORM) is left to Qt.
bool displayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
           || !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fputs("KT-ED needs a graphical desktop, and no display was found\n"
                   "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Start it from a desktop session, or under a virtual display:\n"
                   "    xvfb-run -a bash scripts/run.sh\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KT-ED"));
    QApplication::setOrganizationName(QStringLiteral("KT-ED"));

    AppState state;
    SettingsStore store;
    DesktopPrompter prompter;
    DesktopFileDialogs dialogs;
    Program program(state, store, prompter, dialogs, ListFileDir());
    const auto wire = program.startUp().hooks().windowCreated;
    program.startUp().hooks().windowCreated = [&](MainWindow &window) {
        prompter.setWindow(&window);
        dialogs.setWindow(&window);
        wire(window);
    };
    program.run();
    return app.exec();
}
