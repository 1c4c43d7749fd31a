#pragma once

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "countingprompter.h"
#include "link/controllerlink.h"
#include "link/portnames.h"

#include <QDir>
#include <QTemporaryDir>

// The link a benchmark drives: port 1 is the given device, stored in a
// settings file of the run's own, and every message is counted, since
// nobody is there to answer it.
struct BenchLink
{
    BenchLink(const QString &device, bool holdPort)
        : settings(QDir(dir.path()).filePath(QStringLiteral("bench.ini")))
    {
        settings.writeText(PortSettingsKey(1), device);
        state.gPortNo = 1;
        state.gPortOccupy = holdPort;
    }

    QTemporaryDir dir;
    SettingsStore settings;
    AppState state;
    CountingPrompter prompter;
    ControllerLink link{state, settings, prompter};
};
