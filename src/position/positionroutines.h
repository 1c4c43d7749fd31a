#pragma once

#include "app/commandoutcome.h"
#include "app/devsetting.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class ControllerLink;
class ControllerModes;
class Prompter;
class ProgressSink;
struct AppState;
struct PositionData;

// The position table's exchanges with the controller, apart from the grid:
// the stroke check before a write, the write of the three records, their
// read, and the sequences of "Load to controller", "Get from controller" and
// the verification against the controller that follow the window's own
// part. PositionTransfer and PositionVerify run them for the main window,
// kted-cli for a script.
//
// Each position travels as one 11-character record:
//   number, VEL, ACC, Out (one hex digit each), current-down digit 0..3,
//   pulses (6 hex digits)       e.g. "253020009C4"
// sent as "0WP" + record and read back with "0RP" + number.
class PositionRoutines
{
public:
    PositionRoutines(AppState &state, PositionData &data, ControllerLink &link, ControllerModes &modes,
                     Prompter &prompter, ProgressSink &progress);

    // The Options dialog's current-down choice (mChangeBkCd, mCurrentDownNo).
    void setCurrentDown(bool changeBkCd, int currentDownNo);
    // The digit sent with every position: mCurrentDownNo when the choice is
    // on, otherwise 2.
    int CurrentDownDigit() const;

    // The 11-character record of a position; nothing when a value does not
    // fit its field.
    static std::optional<QString> PositionRecord(int number, int vel, int acc, int out, int currentDown,
                                                 int64_t pulses);

    // Reads the controller's stroke (block "10") and checks every position
    // not flagged by the last check against it. 0 within stroke (the link
    // and the progress stay open for the write), 1 some position beyond it
    // (told), -1 the link failed.
    int PosiKakikomimaeParaCheck();
    // Sends the positions not flagged by the last check. 0 written, 1 a
    // record could not be built (told; nothing sent), -1 the link failed or
    // the echo was wrong.
    int WritePosidataToCt();
    // Reads the three positions into workPosDA (comments kept). 0 read, 1
    // failed (workPosDA then unchanged).
    int ReadPosiFromCt();

    // "Load to controller" once the table has been checked and taken over:
    // the question, the stroke check, the actuator comparison and its
    // question, the write and its completion message.
    CommandOutcome LoadCommand();
    // "Get from controller" once the user agreed: the controller's actuator
    // setting and, when it differs from the PC's model, the question whether
    // to take it over (adopted runs after it was taken over); then the
    // three positions into workPosDA. The port stays open on Done.
    CommandOutcome GetCommand(const std::function<void()> &adopted);
    // The verification against the controller once the table has been
    // taken over: the read, the comparison and its result message; list
    // gets the differing positions.
    CommandOutcome VerifyCtCommand(QString &list);

    // The controller's stroke limit in pulses, as last read.
    int32_t controllerStroke() const { return m_ctStroke; }
    const CtActuatorSetting &ctSetting() const { return m_ct; }

private:
    void tell(const QString &text);

    AppState &m_state;
    PositionData &m_data;
    ControllerLink &m_link;
    ControllerModes &m_modes;
    Prompter &m_prompter;
    ProgressSink &m_progress;

    bool m_changeBkCd = false;
    int m_currentDownNo = 2;
    int32_t m_ctStroke = 0;
    CtActuatorSetting m_ct;
};
