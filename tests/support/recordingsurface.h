#pragma once

#include "link/commandsurface.h"

#include <QStringList>

// A main window that records, in order, what a command did to its command
// groups and its busy flag.
class RecordingSurface : public CommandSurface
{
public:
    void setCommandButtonsEnabled(bool e) override { log << QStringLiteral("buttons %1").arg(e); }
    void setToolbarEnabled(bool e) override { log << QStringLiteral("toolbar %1").arg(e); }
    void setMenusEnabled(bool e) override { log << QStringLiteral("menus %1").arg(e); }
    void setResetButtonEnabled(bool e) override { log << QStringLiteral("reset %1").arg(e); }
    void setModeMenuEnabled(bool e) override { log << QStringLiteral("modemenu %1").arg(e); }
    void setBusy(bool b) override
    {
        busy = b;
        log << QStringLiteral("busy %1").arg(b);
    }
    QStringList log;
    bool busy = false;
};
