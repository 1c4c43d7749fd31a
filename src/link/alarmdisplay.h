#pragma once

#include "link/errorlist.h"

#include <QString>

struct AppState;
class Prompter;

// What the alarm frame of the main window shows: the alarm lamp, the alarm
// number and the comment ("No Error" when quiet).
struct AlarmFrame
{
    bool lampOn = false;
    QString alarmNo;
    QString comment;

    bool operator==(const AlarmFrame &) const = default;
};

// The alarm state of the link and the logic behind the alarm frame: the
// error list, the update run for every alarm report (Disp_AlarmState), the
// quiet state after a good exchange, and the message for a command that was
// answered by an alarm report. It computes what the frame shows; the
// ControllerLink passes that on to the window.
class AlarmDisplay
{
public:
    AlarmDisplay(const AppState &state, Prompter &prompter);

    // Reads the error list once, when the main window loads. On failure it
    // shows 477 + 478 and remembers that there is no list (gNoErrorList).
    bool Get_ErrorList(const QString &path);

    // What one run of the display update changed besides the frame.
    struct Update
    {
        bool frameChanged = false;  // false only when there is no error list
        bool homeLampOff = false;   // an emergency stop puts the home lamp out
    };

    // The display update for an alarm report (the last reply that began
    // "0%%"). Without an error list it only repeats 477 + 478.
    Update Disp_AlarmState(const QString &statusReply);

    // The quiet frame after a good exchange or a successful reset: lamp off,
    // "No Error", no number. gAlarmComment keeps the last comment.
    void ShowNoError();

    // The message for a command answered by the alarm report alarmCode.
    QString AlarmMessage(const QString &alarmCode) const;

    const AlarmFrame &frame() const { return m_frame; }
    const ErrorList &errorList() const { return m_list; }

    QString gAlarmNo;          // the number of the current alarm
    QString gAlarmComment;     // comment of the last alarm found in the list
    bool gAlarmListed = false; // the current alarm was found in the list
    bool gNoErrorList = false; // reading the list failed at start-up

private:
    const AppState &m_state;
    Prompter &m_prompter;
    ErrorList m_list;
    AlarmFrame m_frame;
};
