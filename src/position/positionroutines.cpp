#include "position/positionroutines.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "common/numbers.h"
#include "link/commandset.h"
#include "link/controllerlink.h"
#include "link/controllermodes.h"
#include "link/linkmessages.h"
#include "link/progresssink.h"
#include "position/conversions.h"
#include "position/ctactuator.h"
#include "position/positiondata.h"
#include "position/positionverify.h"
#include "text/stringtable.h"

#include <array>

namespace {

enum TextId : int {
    PositionNo = 409,
    TakeOverFailed = 401,
    WritingCancelled = 461,
    TransmitQuestion = 462,
    Completed = 466,
    CommChecking = 468,
    OverSoftLimit = 469,
    ConfirmBelow = 470,
    Sending = 471,
    EchoError = 472,
    EchoLength = 473,
    Reading = 448,
    ActuatorUnmatched = 592,
    ReadCtActuator = 593,
    MayNotBeWritten = 594,
    ContinueWriting = 595,
    DeviceInfoMissing = 575,
    ResultCt = 411,
};

constexpr int kFirst = 1;
constexpr int kLast = 3;

QString emptyLine() { return QStringLiteral("\n\n"); }

} // namespace

PositionRoutines::PositionRoutines(AppState &state, PositionData &data, ControllerLink &link,
                                   ControllerModes &modes, Prompter &prompter, ProgressSink &progress)
    : m_state(state)
    , m_data(data)
    , m_link(link)
    , m_modes(modes)
    , m_prompter(prompter)
    , m_progress(progress)
{
}

void PositionRoutines::setCurrentDown(bool changeBkCd, int currentDownNo)
{
    m_changeBkCd = changeBkCd;
    m_currentDownNo = currentDownNo;
}

int PositionRoutines::CurrentDownDigit() const
{
    return m_changeBkCd ? m_currentDownNo : 2;
}

std::optional<QString> PositionRoutines::PositionRecord(int number, int vel, int acc, int out,
                                                        int currentDown, int64_t pulses)
{
    if (currentDown < 0 || currentDown > 3)
        return std::nullopt;
    const QString record = HexField(number, 1) + HexField(vel, 1) + HexField(acc, 1) + HexField(out, 1)
                           + DecField(currentDown, 1) + HexField(pulses, 6);
    // A value too wide for its field turns into "X" and shortens the record.
    if (record.size() != 11 || record.contains(u'X'))
        return std::nullopt;
    return record;
}

void PositionRoutines::tell(const QString &text)
{
    m_prompter.tell(text, Prompter::Icon::None);
}

// --- Routines -------------------------------------------------------------------

int PositionRoutines::PosiKakikomimaeParaCheck()
{
    m_progress.start(LoadText(CommChecking), kLast);
    const auto failed = [this](int result) {
        m_progress.finish();
        m_link.ReleaseCommPort();
        return result;
    };

    if (m_link.OpenCommPort() != 0 || m_link.SetCommMode() != 0)
        return failed(-1);
    if (m_link.Send(Ctl::ReadBlock(QStringLiteral("10"))) != 0)
        return failed(-1);
    const std::optional<uint32_t> stroke = Ctl::ReadHex(m_link.state().gReply, 6, 6);
    if (!stroke) {
        tell(LinkText::CommErrorMessage());
        return failed(-1);
    }
    m_ctStroke = static_cast<int32_t>(*stroke);

    QString list;
    for (int i = kFirst; i <= kLast; ++i) {
        if (m_data.gErrPos.at(static_cast<size_t>(i)))
            continue;
        if (static_cast<double>(m_ctStroke) < m_data.PosiDataArray.number(i, PosPulse))
            list += QString::number(i) + u',';
    }
    if (list.isEmpty())
        return 0;

    tell(JoinTexts({OverSoftLimit, ConfirmBelow}) + emptyLine() + u'<' + LoadText(PositionNo) + list + u'>');
    return failed(1);
}

int PositionRoutines::WritePosidataToCt()
{
    for (int i = kFirst; i <= kLast; ++i) {
        if (m_data.gErrPos.at(static_cast<size_t>(i)))
            continue;
        const PositionTable &t = m_data.PosiDataArray;
        const auto number = [&t, i](int field) { return static_cast<int64_t>(RoundHalfEven(t.number(i, field))); };
        const std::optional<QString> record =
            PositionRecord(i, static_cast<int>(number(PosVel)), static_cast<int>(number(PosAcc)),
                           static_cast<int>(number(PosOut)), CurrentDownDigit(), number(PosPulse));
        if (!record) {
            // Nothing has been sent; a malformed record must never reach
            // the controller, and the user is told that nothing was written.
            m_progress.finish();
            tell(JoinTexts({TakeOverFailed, WritingCancelled}));
            return 1;
        }
        m_data.gParaBlock.at(static_cast<size_t>(i)) = *record;
    }

    m_progress.start(LoadText(Sending), kLast);
    for (int i = kFirst; i <= kLast; ++i) {
        if (m_data.gErrPos.at(static_cast<size_t>(i)))
            continue;
        const QString &record = m_data.gParaBlock.at(static_cast<size_t>(i));
        if (m_link.Send(Ctl::WritePosition(record)) != 0) {
            m_progress.finish();
            m_link.ReleaseCommPort();
            return -1;
        }
        if (m_link.state().gReply.left(4) != QStringLiteral("0WP") + record.at(0)) {
            tell(JoinTexts({EchoError, EchoLength}));
            m_progress.finish();
            return -1;
        }
        m_progress.setProgress(i);
    }
    m_progress.finish();
    return 0;
}

int PositionRoutines::ReadPosiFromCt()
{
    if (m_link.OpenCommPort() != 0 || m_link.SetCommMode() != 0)
        return 1;

    m_progress.start(LoadText(Reading), kLast);
    std::array<QString, 4> replies;
    for (int i = kFirst; i <= kLast; ++i) {
        if (m_link.Send(Ctl::ReadPosition(i)) != 0) {
            m_progress.finish();
            m_link.ReleaseCommPort();
            return 1;
        }
        replies.at(static_cast<size_t>(i)) = m_link.state().gReply;
        m_progress.setProgress(i);
    }
    m_modes.GetVersionNo();
    m_progress.finish();

    // Decoded completely before workPosDA changes: a damaged reply leaves
    // the loaded table as it was.
    std::array<Ctl::PositionRow, 4> rows{};
    for (int i = kFirst; i <= kLast; ++i) {
        const std::optional<Ctl::PositionRow> row = Ctl::DecodePositionRow(replies.at(static_cast<size_t>(i)));
        if (!row) {
            tell(LinkText::CommErrorMessage());
            m_link.ReleaseCommPort();
            return 1;
        }
        rows.at(static_cast<size_t>(i)) = *row;
    }
    for (int i = kFirst; i <= kLast; ++i) {
        const Ctl::PositionRow &row = rows.at(static_cast<size_t>(i));
        m_data.gParaBlock.at(static_cast<size_t>(i)) = replies.at(static_cast<size_t>(i));
        m_data.workPosDA.at(i, PosVel) = row.vel;
        m_data.workPosDA.at(i, PosAcc) = row.acc;
        m_data.workPosDA.at(i, PosOut) = row.out;
        m_data.workPosDA.at(i, PosPulse) = row.pulses;
        // Comments are not kept by the controller: those of the file opened
        // last stay.
    }
    return 0;
}

// --- Command sequences ------------------------------------------------------------

CommandOutcome PositionRoutines::LoadCommand()
{
    if (m_prompter.ask(LoadText(TransmitQuestion), Prompter::Buttons::OkCancel, Prompter::Icon::Question)
        != Prompter::Answer::Ok)
        return CommandOutcome::Refused;
    if (const int check = PosiKakikomimaeParaCheck(); check != 0) {
        m_link.ReleaseCommPort();
        return check == 1 ? CommandOutcome::Refused : CommandOutcome::LinkFailed;
    }
    if (::ReadCtActuatorSetting(m_link, m_prompter, m_ct) == 0 && ::CompareActuatorSetting(m_state, m_ct) == 1) {
        if (m_prompter.ask(JoinTexts({ActuatorUnmatched, MayNotBeWritten, ContinueWriting}),
                           Prompter::Buttons::OkCancel, Prompter::Icon::Question)
            != Prompter::Answer::Ok) {
            m_progress.finish();
            m_link.ReleaseCommPort();
            return CommandOutcome::Refused;
        }
    }
    const int written = WritePosidataToCt();
    if (written == 0)
        tell(LoadText(Completed));
    m_link.ReleaseCommPort();
    return written == 0 ? CommandOutcome::Done : written == 1 ? CommandOutcome::Refused : CommandOutcome::LinkFailed;
}

CommandOutcome PositionRoutines::GetCommand(const std::function<void()> &adopted)
{
    if (::ReadCtActuatorSetting(m_link, m_prompter, m_ct) != 0)
        return CommandOutcome::LinkFailed;
    if (::CompareActuatorSetting(m_state, m_ct) == 1) {
        if (m_prompter.ask(JoinTexts({ActuatorUnmatched, ReadCtActuator}), Prompter::Buttons::OkCancel,
                           Prompter::Icon::Question)
            != Prompter::Answer::Ok) {
            m_link.ReleaseCommPort();
            return CommandOutcome::Refused;
        }
        if (!CtSettingUsable(m_ct)) {
            // A lead or pulse count of 0 would break every conversion.
            tell(LoadText(DeviceInfoMissing));
            m_link.ReleaseCommPort();
            return CommandOutcome::Refused;
        }
        SetDevFromCt(m_state, m_ct);
        Culc_MaxPulse(m_state);
        Culc_MaxMm(m_state);
        if (adopted)
            adopted();
    }
    return ReadPosiFromCt() == 0 ? CommandOutcome::Done : CommandOutcome::LinkFailed;
}

CommandOutcome PositionRoutines::VerifyCtCommand(QString &list)
{
    if (ReadPosiFromCt() != 0)
        return CommandOutcome::LinkFailed;
    const int differs = PosiDataSyogoProc(m_data, list, VerifySource::Controller);
    m_link.ReleaseCommPort();
    tell(LoadText(ResultCt) + emptyLine() + PositionVerdict(differs, list));
    return differs == 0 ? CommandOutcome::Done : CommandOutcome::Differs;
}
