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
    SaveBeforeRead = 446,
    ReadQuestion = 447,
    InsideCt = 433,
};

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
    , m_routines(state, data, link, modes, prompter, progress)
{
}

void PositionTransfer::setCurrentDown(bool changeBkCd, int currentDownNo)
{
    m_routines.setCurrentDown(changeBkCd, currentDownNo);
}

int PositionTransfer::CurrentDownDigit() const
{
    return m_routines.CurrentDownDigit();
}

std::optional<QString> PositionTransfer::PositionRecord(int number, int vel, int acc, int out,
                                                        int currentDown, int64_t pulses)
{
    return PositionRoutines::PositionRecord(number, vel, acc, out, currentDown, pulses);
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
    if (m_routines.PosiKakikomimaeParaCheck() == 0)
        return 0;
    m_grid.viewport()->update();
    return 1;
}

int PositionTransfer::WritePosidataToCt()
{
    return m_routines.WritePosidataToCt() == 0 ? 0 : 1;
}

int PositionTransfer::ReadPosiFromCt()
{
    return m_routines.ReadPosiFromCt();
}

// --- Commands -------------------------------------------------------------------

void PositionTransfer::LoadToCt()
{
    lock();
    const auto run = [this] {
        const PositionCells cells = [this](int row, int column) { return m_grid.cellText(row, column); };
        if (CheckAndTakeOver(cells, m_data, m_state, m_prompter, CheckPurpose::Write) != 0)
            return;
        if (m_routines.LoadCommand() == CommandOutcome::Done)
            emit moveDataStale();
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

        const auto adopted = [this] {
            SaveDevSetting(m_state, m_settings);
            m_fileCommands.Disp_DevType2();
            const PulseScaleTexts scale = ShowPulseScale(m_state);
            emit pulseScaleChanged(scale.perMm, scale.perPulse);
        };
        if (m_routines.GetCommand(adopted) != CommandOutcome::Done)
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
