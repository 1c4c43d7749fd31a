#include "parameters/parametertransfer.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "link/commandset.h"
#include "link/controllerlink.h"
#include "link/progresssink.h"
#include "link/linkmessages.h"
#include "parameters/parameterset.h"
#include "position/conversions.h"
#include "position/ctactuator.h"
#include "position/waitmsec.h"
#include "text/stringtable.h"

namespace {

enum TextId : int {
    StatusReset = 361,
    ReadingParameters = 434,
    CheckingData = 440,
    SendingData = 471,
    ResetQuestion = 581,
    IsItOk = 493,
    DeviceInfoMissing = 575,
    ConversionError = 417,
    CtReadError = 418,
    ResultCt = 419,
    UnmatchedList = 420,
    SendQuestion = 435,
    WriteError = 436,
    OverStroke = 437,
    OverStrokeCorrect = 438,
    OverStrokeContinue = 439,
    VerifyNg = 407,
    PositionNo = 409,
    VerifyOk = 410,
    ActuatorUnmatched = 592,
    ReadCtActuator = 593,
    PartlyWritten = 800,
};

QString emptyLine() { return QStringLiteral("\n\n"); }

template<typename... Args, typename F>
void call(const F &hook, Args &&...args)
{
    if (hook)
        hook(std::forward<Args>(args)...);
}

constexpr int kPositionCount = 3;

} // namespace

ParameterTransfer::ParameterTransfer(AppState &state, ParameterSet &parameters, ControllerLink &link,
                                     Prompter &prompter, ProgressSink &progress)
    : m_state(state)
    , m_para(parameters)
    , m_link(link)
    , m_prompter(prompter)
    , m_progress(progress)
{
}

int ParameterTransfer::GetParametaValueProc()
{
    if (m_link.OpenCommPort() != 0)
        return 1;
    if (m_link.SetCommMode() != 0) {
        m_link.ReleaseCommPort();
        return 1;
    }

    m_progress.start(LoadText(ReadingParameters), ParaBlockCount);
    // Filled completely before it replaces ParaDA: a read that stops part
    // way leaves the values of the last complete read.
    ParaArray values;
    ParaPayloads replies;
    for (int i = 0; i < ParaBlockCount; ++i) {
        const size_t slot = static_cast<size_t>(i);
        bool ok = m_link.Send(Ctl::ReadBlock(kParaBlockAddress[slot])) == 0;
        if (ok) {
            ok = DecodeParaBlock(i, m_link.state().gReply, values);
            if (!ok)
                m_prompter.tell(LinkText::CommErrorMessage(), Prompter::Icon::None);
        }
        if (!ok) {
            m_progress.finish();
            m_link.ReleaseCommPort();
            return 1;
        }
        replies.gParaBlock[slot] = m_link.state().gReply;
        m_progress.setProgress(i + 1);
    }
    values[0] = ParaValue::text(QString());
    m_para.ParaDA = values;
    gParaBlock = replies;
    m_progress.finish();
    m_link.ReleaseCommPort();
    return 0;
}

int ParameterTransfer::SetParaData2LngData(bool defaultBox)
{
    return ::SetParaData2LngData(m_para, defaultBox, gParaBlock);
}

int ParameterTransfer::ParaKakikomimaeCheck()
{
    gOverStrokeNo.clear();
    m_progress.start(LoadText(CheckingData), kPositionCount);

    const auto failed = [this] {
        m_link.ReleaseCommPort();
        m_progress.finish();
        return -1;
    };
    if (m_link.OpenCommPort() != 0 || m_link.SetCommMode() != 0)
        return failed();

    for (int no = 1; no <= kPositionCount; ++no) {
        if (m_link.Send(Ctl::ReadPosition(no)) != 0)
            return failed();
        const std::optional<Ctl::PositionRow> row = Ctl::DecodePositionRow(m_link.state().gReply);
        if (!row) {
            m_prompter.tell(LinkText::CommErrorMessage(), Prompter::Icon::None);
            return failed();
        }
        if (row->pulses > m_para.gParaStroke)
            gOverStrokeNo += QString::number(no) + u',';
        m_progress.setProgress(no);
    }

    int result = 1;
    if (gOverStrokeNo.isEmpty()) {
        m_progress.setProgress(kPositionCount);
        wait(500);
        result = 0;
    }
    m_link.ReleaseCommPort();
    return result;
}

int ParameterTransfer::WriteParadataToCt()
{
    m_progress.start(LoadText(SendingData), ParaBlockCount);
    for (int i = 0; i < ParaBlockCount; ++i) {
        const QString &payload = gParaBlock.gParaBlock[static_cast<size_t>(i)];
        const Ctl::CommandLine line = Ctl::WriteBlock(payload.left(2), payload.mid(2));
        if (m_link.Send(line) != 0) {
            m_progress.finish();
            m_link.ReleaseCommPort();
            // The blocks before this one have been taken, and a block that
            // went unanswered may have been too: the controller now mixes
            // new and old values until the write is repeated.
            m_prompter.tell(LoadText(PartlyWritten), Prompter::Icon::Exclamation);
            return 1;
        }
        m_progress.setProgress(i + 1);
    }
    wait(500);
    m_progress.finish();
    return 0;
}

bool ParameterTransfer::ResetController(const std::function<void(const QString &)> &status)
{
    bool sent = false;
    if (m_prompter.ask(LoadText(ResetQuestion) + u' ' + LoadText(IsItOk), Prompter::Buttons::OkCancel,
                       Prompter::Icon::Question)
            == Prompter::Answer::Ok
        && m_link.OpenCommPort() == 0 && m_link.SetCommMode() == 0) {
        if (status)
            status(LoadText(StatusReset));
        sent = m_link.WriteDirect(Ctl::ResetControllerText());
        wait(300);
    }
    m_link.ReleaseCommPort();
    return sent;
}

int ParameterTransfer::ReadCtActuatorSetting()
{
    return ::ReadCtActuatorSetting(m_link, m_prompter, ct);
}

int ParameterTransfer::CompareActuatorSetting() const
{
    return ::CompareActuatorSetting(m_state, ct);
}

bool ParameterTransfer::adoptCtSetting()
{
    if (!CtSettingUsable(ct)) {
        m_prompter.tell(LoadText(DeviceInfoMissing), Prompter::Icon::None);
        return false;
    }
    SetDevFromCt(m_state, ct);
    Culc_MaxPulse(m_state);
    Culc_MaxMm(m_state);
    return true;
}

void ParameterTransfer::releasePort()
{
    m_link.ReleaseCommPort();
}

void ParameterTransfer::closeProgress()
{
    m_progress.finish();
}

void ParameterTransfer::wait(int milliseconds)
{
    WaitMsec(milliseconds);
}

// --- The window's commands ---------------------------------------------------

CommandOutcome ParameterTransfer::ReadCommand(const Hooks &hooks)
{
    const auto end = [this](CommandOutcome outcome) {
        releasePort();
        return outcome;
    };
    if (GetParametaValueProc() != 0)
        return end(CommandOutcome::LinkFailed);
    // A value the controller holds may not fit the program's variable (a
    // pulse count above 32767): the window then keeps what it shows.
    if (ParaDA2Hensu(m_para) != 0) {
        m_prompter.tell(LoadText(ConversionError), Prompter::Icon::None);
        return end(CommandOutcome::Refused);
    }
    call(hooks.shown);
    m_para.gParaChanged = false;
    if (ReadCtActuatorSetting() == 0 && CompareActuatorSetting() == 1) {
        if (m_prompter.ask(JoinTexts({ActuatorUnmatched, ReadCtActuator}), Prompter::Buttons::OkCancel,
                           Prompter::Icon::Question)
            == Prompter::Answer::Ok) {
            if (adoptCtSetting())
                call(hooks.deviceAdopted, false);
        }
    }
    return end(CommandOutcome::Done);
}

CommandOutcome ParameterTransfer::WriteCommand(bool defaultBox, const Hooks &hooks)
{
    if (m_prompter.ask(LoadText(SendQuestion), Prompter::Buttons::YesNo, Prompter::Icon::Question)
        != Prompter::Answer::Yes)
        return CommandOutcome::Refused;
    if (hooks.preChecks && hooks.preChecks() != 0)
        return CommandOutcome::Refused;
    if (SetParaData2LngData(defaultBox) != 0) {
        m_prompter.tell(LoadText(WriteError), Prompter::Icon::None);
        return CommandOutcome::Refused;
    }

    const int check = ParaKakikomimaeCheck();
    if (check == -1)
        return CommandOutcome::LinkFailed;
    if (check == 1) {
        const QString text = LoadText(OverStroke) + emptyLine() + u'<' + LoadText(PositionNo) + gOverStrokeNo
                             + u'>' + emptyLine() + LoadText(OverStrokeCorrect) + emptyLine()
                             + LoadText(OverStrokeContinue);
        if (m_prompter.ask(text, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes) {
            closeProgress();
            releasePort();
            return CommandOutcome::Refused;
        }
    }

    if (WriteParadataToCt() != 0)
        return CommandOutcome::LinkFailed;

    call(hooks.moveDataStale);
    if (ResetController(hooks.status ? hooks.status : [](const QString &) {}))
        call(hooks.controllerReset);
    wait(3000);

    const int read = ReadCtActuatorSetting();
    call(hooks.status, QString());
    if (read != 0 || CompareActuatorSetting() == 0) {
        releasePort();
        // The blocks were taken; only the check afterwards failed.
        return CommandOutcome::Done;
    }
    if (m_prompter.ask(JoinTexts({ActuatorUnmatched, ReadCtActuator}), Prompter::Buttons::OkCancel,
                       Prompter::Icon::Question)
        == Prompter::Answer::Ok) {
        if (adoptCtSetting())
            call(hooks.deviceAdopted, true);
    }
    releasePort();
    return CommandOutcome::Done;
}

CommandOutcome ParameterTransfer::VerifyCtCommand(bool compareDetails, const Hooks &hooks)
{
    if (hooks.preChecks && hooks.preChecks() != 0)
        return CommandOutcome::Refused;
    if (GetParametaValueProc() != 0) {
        m_prompter.tell(LoadText(CtReadError), Prompter::Icon::None);
        return CommandOutcome::LinkFailed;
    }
    const int differs = ParametaShogoProc(m_para, compareDetails);
    TellParameterVerification(m_prompter, m_para, LoadText(ResultCt), differs);
    return differs == 0 ? CommandOutcome::Done : CommandOutcome::Differs;
}

void TellParameterVerification(Prompter &prompter, const ParameterSet &set, const QString &head, int differs)
{
    QString text = head + emptyLine();
    if (differs == 0)
        text += LoadText(VerifyOk);
    else
        text += LoadText(VerifyNg) + emptyLine() + LoadText(UnmatchedList) + u'\n' + set.gParaUnmatchNo;
    prompter.tell(text, Prompter::Icon::None);
}
