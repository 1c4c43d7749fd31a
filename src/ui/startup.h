#pragma once

#include "app/devsetting.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Catalogue;
class MainWindow;
class Prompter;
class SettingsStore;
struct AppState;

// The start-up of the program, from the splash window until the main window
// waits for the user: settings, language, the main window and its load step,
// and the choice how the actuator model is established (read from the
// controller, or taken from the settings offline).
//
// The parts that later work supplies are hooks; each is optional:
// - readActuator: opens the port, puts the controller into communication
//   mode and reads its actuator setting; nothing on any failure (which the
//   link has reported). Unset, "Reading from C/T" goes the offline way.
// - progress hooks: the communication progress window shown meanwhile.
// - readFromController: the whole controller path in one routine instead
//   (true when the model was taken from the controller); it replaces
//   readActuator and the progress hooks.
// - selectDevice: the device selection dialog as the main window's change
//   button opens it. Unset, the offline path ends without it.
class StartUp
{
public:
    struct Hooks
    {
        // Called right after the main window is built, before its load step:
        // the place to connect the window to the rest of the program.
        std::function<void(MainWindow &)> windowCreated;
        // The start-up question; the default shows the two-choice dialog in
        // no-cancel mode. Returns 0 for the first choice, 1 for the second.
        std::function<int(const QString &title, const QString &prompt, const QString &choice0,
                          const QString &choice1)>
            choose;
        std::function<std::optional<CtActuatorSetting>()> readActuator;
        std::function<void(const QString &text, int maximum)> showProgress;
        std::function<void(int value)> setProgress;
        std::function<void()> closeProgress;
        std::function<bool(MainWindow &)> readFromController;
        std::function<void(MainWindow &)> selectDevice;
    };

    enum class ModelSource { Controller, Offline };

    StartUp(AppState &state, SettingsStore &store, Prompter &prompter, Catalogue &catalogue);
    ~StartUp();

    Hooks &hooks() { return m_hooks; }
    void setShowSplash(bool show) { m_showSplash = show; }
    void setProgramDir(const QString &dir) { m_programDir = dir; }

    // Runs the whole start-up and hands over the main window, shown and
    // ready for the user.
    std::unique_ptr<MainWindow> run();

    // How the model was established by the last run.
    ModelSource modelSource() const { return m_source; }

private:
    void readSettings();
    bool controllerPath(MainWindow &window);
    void offlinePath(MainWindow &window);
    void establishedModel(MainWindow &window);

    AppState &m_state;
    SettingsStore &m_store;
    Prompter &m_prompter;
    Catalogue &m_catalogue;
    Hooks m_hooks;
    bool m_showSplash = true;
    QString m_programDir;
    ModelSource m_source = ModelSource::Offline;
};

// The help file's full name: the program folder, "/" unless the folder
// already ends with one, and the file name.
QString HelpFilePath(const QString &programDir, const QString &fileName);
