#pragma once

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"
#include "ui/mainwindow.h"
#include "ui/program.h"

#include <QSettings>

#include <memory>

// The whole program started in Edit mode in the given language, with a
// fresh settings store. The start-up ends without the device selection
// dialog, on the model the store gives (the first-run model).
struct ProgramRun
{
    explicit ProgramRun(int language)
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear();
        store = std::make_unique<SettingsStore>();
        store->writeInt(SettingsKey::Language, language);
        program = std::make_unique<Program>(state, *store, prompter, dialogs, SourceDataDir());
        program->startUp().setShowSplash(false);
        program->startUp().hooks().choose = [](const QString &, const QString &, const QString &,
                                               const QString &) { return 1; };
        program->startUp().hooks().selectDevice = [](MainWindow &) {};
        window = &program->run();
    }
    ~ProgramRun() { SetLangOffset(0); }

    AppState state;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
};
