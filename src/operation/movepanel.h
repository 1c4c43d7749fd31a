#pragma once

#include <QString>

// What a move needs of the window around it: the four position buttons,
// the lamps and the completed-position box it shows results in, the groups
// of controls it locks, and the run settings it reads. The main window
// provides one; a test may provide its own.
class MovePanel
{
public:
    // The pictures of a position button, numbered as in the window's image
    // list: greyed while locked, the current (or blinking target) position,
    // the normal picture.
    enum class Picture { Greyed = 1, Current = 2, Normal = 3 };

    // The continual run's settings as the user left them.
    struct RunSettings
    {
        bool continual = true;   // "Continual" (else "Step")
        bool repeat = false;     // "Repeat"
        bool timerUse = false;   // "Timer"
        QString timerText;       // the wait in units of 100 ms
    };

    virtual ~MovePanel() = default;

    virtual void setButtonPicture(int position, Picture picture) = 0;
    virtual void setHomeLamp(bool lit) = 0;
    virtual void setOutputLamps(bool out1, bool out2) = 0;
    virtual void setCompletedPosition(const QString &text) = 0;

    // The selective panel while one of its moves runs: the Move button, the
    // alarm reset, the panel choice, the position labels and buttons, and the
    // mode selector. Enabling also brings back the continual controls.
    virtual void setSelectiveControlsEnabled(bool enabled) = 0;
    // `MoveHomeMuko` / `MoveHomeYuko`: every control of the continual run but
    // Pause and Stop, the alarm reset and the mode selector.
    virtual void setMoveControlsEnabled(bool enabled) = 0;
    // The File, View and Help menus; locking also locks the controller-mode
    // menu, which stays locked afterwards.
    virtual void setMenusLocked(bool locked) = 0;
    // `gBusy`: the window refuses to be closed by the user while it is set.
    virtual void setBusy(bool busy) = 0;
    // The focus goes to the window's focus holder.
    virtual void focusHolder() = 0;

    virtual RunSettings runSettings() const = 0;
    // The position number of a program step (rows 1 to 9) as its cell holds it.
    virtual QString programStep(int row) const = 0;
};
