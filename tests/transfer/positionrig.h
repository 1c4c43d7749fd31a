#pragma once

// The transfer rig with the position table, its grid and the commands on
// it, as the main window holds them.

#include "transferrig.h"

#include "link/controllermodes.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "position/positionverify.h"

// The PC's model gives 200 pulses a millimetre and a largest position of
// 20000.
struct PositionRig : LinkRig
{
    explicit PositionRig(const QString &name)
        : LinkRig(name)
    {
        Culc_MaxPulse(app);
        Culc_MaxMm(app);
        grid.attach(app, data);
        grid.Init_flgdData(true);
    }

    // Rows "vel,acc,mm" (or "" for an empty position) into the grid.
    void fill(const QStringList &rows)
    {
        for (int i = 1; i <= 3; ++i) {
            const QStringList cells = rows.value(i - 1).split(u',');
            grid.setCellText(i, PositionGrid::ColVel, cells.value(0));
            grid.setCellText(i, PositionGrid::ColAcc, cells.value(1));
            grid.setCellText(i, PositionGrid::ColMm, cells.value(2));
        }
    }

    PositionData data;
    PositionGrid grid;
    PositionFileCommands files{app, prompter, dialogs, grid, *catalogue};
    ControllerModes modes{*link, prompter, surface};
    PositionTransfer transfer{app, data, grid, *link, modes, prompter, progress, files, *settings, surface};
    PositionVerify verify{data, grid, transfer, files, *link, prompter, dialogs, surface, nullptr};
};
