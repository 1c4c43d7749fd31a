#pragma once

// What the transfer tests share: the simulated controller on a
// pseudo-terminal, the link that opens it with the program's own serial
// code, the user's scripted answers and a main window that records what the
// commands did to its command groups.

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "catalogue/catalogue.h"
#include "link/controllerlink.h"
#include "link/frmtrance.h"
#include "link/portnames.h"
#include "recordingsurface.h"
#include "scriptedprompter.h"
#include "simulatedcontroller.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QDir>
#include <QStringList>

#include <memory>

struct LinkRig
{
    // The controller on COM1; the model of the PC is the first-run model,
    // KT new " 28" "L" 100, lead 2, 400 pulses, vertical.
    explicit LinkRig(const QString &name)
    {
        SetLangOffset(10000);
        started = sim.start(&error);
        settings = std::make_unique<SettingsStore>(QDir(TestScratchDir()).filePath(name + QStringLiteral(".ini")));
        settings->writeText(PortSettingsKey(1), sim.devicePath());
        app.gLanguage = 2;
        app.gLangOffset = 10000;
        app.gPortNo = 1;
        app.gChkSize = app.gDevSize;
        app.gChkSpeed = app.gDevSpeed;
        app.gChkStroke = app.gDevStroke;
        link = std::make_unique<ControllerLink>(app, *settings, prompter);
        catalogue = std::make_unique<Catalogue>(app, prompter, SourceDataDir());
        // The controller's homing byte to "sensor", as a KT new-generation
        // actuator keeps it: the PC's model and the controller's agree.
        sim.model().setBlock(QStringLiteral("11"), QStringLiteral("285078010100FFFF"));
    }

    QStringList lines() const { return sim.receivedLines(); }

    SimulatedController sim;
    bool started = false;
    QString error;
    std::unique_ptr<SettingsStore> settings;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    AppState app;
    std::unique_ptr<ControllerLink> link;
    std::unique_ptr<Catalogue> catalogue;
    frmTrance progress;
    RecordingSurface surface;
};
