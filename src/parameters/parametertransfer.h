#pragma once

#include "app/commandoutcome.h"
#include "app/devsetting.h"
#include "parameters/parameterblocks.h"

#include <QString>

#include <functional>

class ControllerLink;
class Prompter;
class ProgressSink;
struct AppState;
struct ParameterSet;

// The parameter set's exchanges with the controller: reading the six
// blocks, the check of the controller's positions against a new stroke,
// sending the six blocks, the controller reset, and the controller's
// actuator setting. The parameter window runs them inside its commands and
// shows the messages that belong to the commands; failed transactions have
// been reported by the link.
class ParameterTransfer
{
public:
    ParameterTransfer(AppState &state, ParameterSet &parameters, ControllerLink &link,
                      Prompter &prompter, ProgressSink &progress);

    // Reads blocks "00".."14" into ParaDA (5000 ms each) with the progress
    // window. 0 on success; 1 after a failure, with ParaDA as it was.
    int GetParametaValueProc();

    // Builds the six write payloads into gParaBlock; 1 when a value does
    // not fit its field.
    int SetParaData2LngData(bool defaultBox);

    // Reads the controller's three positions and lists those beyond the
    // new stroke (gParaStroke) in gOverStrokeNo. 0 none beyond, 1 some
    // (the progress window stays open), -1 the link failed.
    int ParaKakikomimaeCheck();

    // Sends the six payloads of gParaBlock; 0 when all were taken. The port
    // stays open for what follows. After a failed block (reported by the
    // link) the user is told that the controller may hold part of the new
    // parameters and that the write should be repeated.
    int WriteParadataToCt();

    // Asks whether to reset the controller; on OK writes "0CM3" without
    // waiting for a reply, showing message 361 through status. Returns true
    // when the reset was sent.
    bool ResetController(const std::function<void(const QString &)> &status);

    // The controller's actuator setting (into ct).
    int ReadCtActuatorSetting();
    int CompareActuatorSetting() const;
    // Takes the controller's setting over as the PC's model and recomputes
    // the model's limits. A setting with a lead or pulse count of 0, which
    // would break every conversion, is refused with message 575 (false).
    bool adoptCtSetting();

    // The commands of the parameter window after their own part, shared
    // with the command-line tool. A hook left empty is skipped.
    struct Hooks
    {
        std::function<int()> preChecks;                    // the four checks; 0 passed
        std::function<void(const QString &)> status;      // the window's status label
        std::function<void()> shown;                       // a read set is to be shown
        std::function<void()> moveDataStale;
        std::function<void()> controllerReset;
        std::function<void(bool longForm)> deviceAdopted;  // the controller's model was taken over
    };
    // "Read from C/T": the six blocks into the variables, then the question
    // whether to take over the controller's different actuator setting.
    CommandOutcome ReadCommand(const Hooks &hooks);
    // "Write to C/T": the question, the checks, the payloads, the stroke
    // check of the controller's positions, the six blocks, the reset and
    // the actuator setting read afresh.
    CommandOutcome WriteCommand(bool defaultBox, const Hooks &hooks);
    // "Verify" against the controller: the checks, the six blocks and the
    // result message (Done when equal, Differs when not).
    CommandOutcome VerifyCtCommand(bool compareDetails, const Hooks &hooks);

    void releasePort();
    void closeProgress();
    // A pause that keeps the user interface alive.
    void wait(int milliseconds);

    ParaPayloads gParaBlock;
    QString gOverStrokeNo;
    CtActuatorSetting ct;   // gCtType, gCtActSize, ... of the last read

private:
    AppState &m_state;
    ParameterSet &m_para;
    ControllerLink &m_link;
    Prompter &m_prompter;
    ProgressSink &m_progress;
};

// The result message of a parameter verification: head, then OK, or NG with
// the list of differing parameters (gParaUnmatchNo).
void TellParameterVerification(Prompter &prompter, const ParameterSet &set, const QString &head, int differs);
