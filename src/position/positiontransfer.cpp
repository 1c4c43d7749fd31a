#include "position/positiontransfer.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "app/settingsstore.h"
#include "common/numbers.h"
#include "link/commandset.h"
#include "link/commandsurface.h"
#include "link/controllerlink.h"
#include "link/controllermodes.h"
#include "link/progresssink.h"
#include "link/linkmessages.h"
#include "position/conversions.h"
#include "position/ctactuator.h"
#include "position/positionchecks.h"
#include "position/positiondata.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "text/stringtable.h"

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
    SaveBeforeRead = 446,
    ReadQuestion = 447,
    Reading = 448,
    InsideCt = 433,
    EmptySome = 587,
    ConfirmPositions = 588,
    WrongSome = 590,
    ActuatorUnmatched = 592,
    ReadCtActuator = 593,
    MayNotBeWritten = 594,
    ContinueWriting = 595,
    DeviceInfoMissing = 575,
};

constexpr int kFirst = 1;
constexpr int kLast = 3;

QString emptyLine() { return QStringLiteral("\n\n"); }

} // namespace

PositionTransfer::PositionTransfer(AppState &state, PositionData &data, PositionGrid &grid,
                                   ControllerLink &link, ControllerModes &modes, Prompter &prompter,
                                   ProgressSink &progress, PositionFileCommands &fileCommands,
                                   SettingsStore &settings, CommandSurface &surface, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_data(data)
    , m_grid(grid)
    , m_link(link)
    , m_modes(modes)
    , m_prompter(prompter)
    , m_progress(progress)
    , m_fileCommands(fileCommands)
    , m_settings(settings)
    , m_surface(surface)
{
}

void PositionTransfer::setCurrentDown(bool changeBkCd, int currentDownNo)
{
    m_changeBkCd = changeBkCd;
    m_currentDownNo = currentDownNo;
}

int PositionTransfer::CurrentDownDigit() const
{
    return m_changeBkCd ? m_currentDownNo : 2;
}

std::optional<QString> PositionTransfer::PositionRecord(int number, int vel, int acc, int out,
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

void PositionTransfer::tell(const QString &text)
{
    m_prompter.tell(text, Prompter::Icon::None);
}

void PositionTransfer::lock()
{
    m_surface.setCommandButtonsEnabled(false);
    m_surface.setToolbarEnabled(false);
    m_surface.setMenusEnabled(false);
    m_surface.setBusy(true);
}

void PositionTransfer::unlock()
{
    m_surface.setBusy(false);
    m_surface.setCommandButtonsEnabled(true);
    m_surface.setToolbarEnabled(true);
    m_surface.setMenusEnabled(true);
    refreshGrids();
}

void PositionTransfer::refreshGrids()
{
    m_grid.viewport()->update();
    emit programGridRefreshRequested();
}

// --- Routines -------------------------------------------------------------------

int PositionTransfer::PosiKakikomimaeParaCheck()
{
    m_progress.start(LoadText(CommChecking), kLast);
    const auto failed = [this] {
        m_progress.finish();
        m_link.ReleaseCommPort();
        m_grid.viewport()->update();
        return 1;
    };

    if (m_link.OpenCommPort() != 0 || m_link.SetCommMode() != 0)
        return failed();
    if (m_link.Send(Ctl::ReadBlock(QStringLiteral("10"))) != 0)
        return failed();
    const std::optional<uint32_t> stroke = Ctl::ReadHex(m_link.state().gReply, 6, 6);
    if (!stroke) {
        tell(LinkText::CommErrorMessage());
        return failed();
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
    return failed();
}

int PositionTransfer::WritePosidataToCt()
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
            return 1;
        }
        if (m_link.state().gReply.left(4) != QStringLiteral("0WP") + record.at(0)) {
            tell(JoinTexts({EchoError, EchoLength}));
            m_progress.finish();
            return 1;
        }
        m_progress.setProgress(i);
    }
    m_progress.finish();
    return 0;
}

int PositionTransfer::ReadPosiFromCt()
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

// --- Commands -------------------------------------------------------------------

void PositionTransfer::LoadToCt()
{
    lock();
    const auto run = [this] {
        if (CheckEmptyPositions(m_grid, m_data) == 1) {
            TellEmptyPositions(m_data, m_prompter, EmptySome, ConfirmPositions);
            return;
        }
        if (CheckWrongData(m_grid, m_data, m_state, nullptr) == 1) {
            tell(JoinTexts({WrongSome, ConfirmPositions}) + emptyLine() + m_data.gWrongList);
            return;
        }
        if (m_grid.PosiDataTorikomi() == 1) {
            tell(JoinTexts({TakeOverFailed, WritingCancelled}));
            return;
        }
        if (m_prompter.ask(LoadText(TransmitQuestion), Prompter::Buttons::OkCancel, Prompter::Icon::Question)
            != Prompter::Answer::Ok)
            return;
        if (PosiKakikomimaeParaCheck() == 1) {
            m_link.ReleaseCommPort();
            return;
        }
        if (ReadCtActuatorSetting(m_link, m_prompter, m_ct) == 0 && CompareActuatorSetting(m_state, m_ct) == 1) {
            if (m_prompter.ask(JoinTexts({ActuatorUnmatched, MayNotBeWritten, ContinueWriting}),
                               Prompter::Buttons::OkCancel, Prompter::Icon::Question)
                != Prompter::Answer::Ok) {
                m_progress.finish();
                m_link.ReleaseCommPort();
                return;
            }
        }
        if (WritePosidataToCt() == 0) {
            tell(LoadText(Completed));
            emit moveDataStale();
        }
        m_link.ReleaseCommPort();
    };
    run();
    // The progress window never outlives the command.
    m_progress.finish();
    unlock();
}

void PositionTransfer::GetFromCt()
{
    lock();
    const auto run = [this] {
        if (IsTableNotEmpty(m_grid) == 1) {
            const Prompter::Answer a = m_prompter.ask(LoadText(SaveBeforeRead), Prompter::Buttons::YesNoCancel,
                                                      Prompter::Icon::Question);
            if (a == Prompter::Answer::Cancel)
                return;
            // The user wants the table kept: reading over it when it was not
            // saved would lose it.
            if (a == Prompter::Answer::Yes
                && m_fileCommands.saveAs() != PositionFileCommands::SaveResult::Saved)
                return;
        } else if (m_prompter.ask(LoadText(ReadQuestion), Prompter::Buttons::YesNo, Prompter::Icon::Question)
                   != Prompter::Answer::Yes) {
            return;
        }

        if (ReadCtActuatorSetting(m_link, m_prompter, m_ct) != 0)
            return;
        if (CompareActuatorSetting(m_state, m_ct) == 1) {
            if (m_prompter.ask(JoinTexts({ActuatorUnmatched, ReadCtActuator}), Prompter::Buttons::OkCancel,
                               Prompter::Icon::Question)
                != Prompter::Answer::Ok) {
                m_link.ReleaseCommPort();
                return;
            }
            if (!CtSettingUsable(m_ct)) {
                // A lead or pulse count of 0 would break every conversion.
                tell(LoadText(DeviceInfoMissing));
                m_link.ReleaseCommPort();
                return;
            }
            SetDevFromCt(m_state, m_ct);
            SaveDevSetting(m_state, m_settings);
            Culc_MaxPulse(m_state);
            Culc_MaxMm(m_state);
            m_fileCommands.Disp_DevType2();
            const PulseScaleTexts scale = ShowPulseScale(m_state);
            emit pulseScaleChanged(scale.perMm, scale.perPulse);
        }

        if (ReadPosiFromCt() == 1)
            return;
        CopyWorkPosDA2PosiDataArray(m_data);
        RecalcMmFromPulse(m_data, m_state);
        m_grid.Disp_PosiData3();
        m_fileCommands.setDocName(LoadText(InsideCt));
        m_link.ReleaseCommPort();
    };
    run();
    unlock();
}
