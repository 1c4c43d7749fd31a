#pragma once

// What the link's menu commands need of the main window: switching its
// command groups off and on while they talk to the controller, and the busy
// flag that keeps the window from being closed meanwhile. The main window
// implements it with its CMDBTN_Muko / CMDBTN_Yuko, toolbar and menu
// routines and its gBusy.
class CommandSurface
{
public:
    virtual ~CommandSurface() = default;

    virtual void setCommandButtonsEnabled(bool enabled) = 0;  // CMDBTN_Muko / _Yuko
    virtual void setToolbarEnabled(bool enabled) = 0;
    virtual void setMenusEnabled(bool enabled) = 0;
    virtual void setResetButtonEnabled(bool enabled) = 0;     // cmdReset
    virtual void setModeMenuEnabled(bool enabled) = 0;        // mnuModeChange
    virtual void setBusy(bool busy) = 0;                      // gBusy
};
