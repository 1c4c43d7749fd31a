#include "operation/moveexecution.h"

#include "app/prompter.h"
#include "common/timescale.h"
#include "link/commandset.h"
#include "link/controllerlink.h"
#include "operation/movestate.h"
#include "text/stringtable.h"

#include <QEventLoop>

namespace {

constexpr int kPositionNoMessage = 474;  // "Input position No.(Using 1 to 3)"
constexpr int kLastStep = 9;

using Picture = MovePanel::Picture;

} // namespace

MoveExecution::MoveExecution(MoveState &state, ControllerLink &link, Prompter &prompter,
                             MovePanel &panel, QObject *parent)
    : QObject(parent), m_state(state), m_link(link), m_prompter(prompter), m_panel(panel)
{
    m_timerMoving.setObjectName(QStringLiteral("timerMoving"));
    m_timerMoving.setInterval(kBlinkMs);
    connect(&m_timerMoving, &QTimer::timeout, this, &MoveExecution::timerMoving_Timer);
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setSingleShot(true);
    // A coarse timer may end the wait up to 5 % early.
    m_timer2.setTimerType(Qt::PreciseTimer);
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        m_state.mWaitDone = true;
        m_timer2.stop();
        wake();
    });
}

MoveExecution::~MoveExecution()
{
    wake();
}

// ---------------------------------------------------------------------------
// Reads

int MoveExecution::ReadHomeState()
{
    if (m_link.Send(Ctl::ReadHomeState()) != 0) {
        m_link.ReleaseCommPort();
        m_state.gMoveDataKnown = false;
        return 1;
    }
    const int h = Ctl::DecodeHomeState(m_link.state().gReply).value_or(-1);
    m_state.gHomeDone = h == 1;
    if (h == 0)
        m_state.gMoveDataKnown = false;
    return 0;
}

int MoveExecution::ReadSpeedTable()
{
    QString replies[3];
    const char *blocks[3] = {"10", "11", "12"};
    for (int i = 0; i < 3; ++i) {
        if (m_link.Send(Ctl::ReadBlock(QLatin1String(blocks[i]))) != 0)
            return 1;
        replies[i] = m_link.state().gReply;
    }
    return DecodeSpeedTable(m_state, replies[0], replies[1], replies[2]) ? 0 : 1;
}

int MoveExecution::ReadPositionRows()
{
    for (int k = 1; k <= 3; ++k) {
        if (m_link.Send(Ctl::ReadPosition(k)) != 0)
            return 1;
        const auto row = Ctl::DecodePositionRow(m_link.state().gReply);
        if (!row)
            return 1;
        m_state.gPosVel[static_cast<size_t>(k)] = static_cast<int16_t>(row->vel);
        m_state.gPosPulse[static_cast<size_t>(k)] = row->pulses;
    }
    return 0;
}

int MoveExecution::refreshMoveData()
{
    if (ReadHomeState() != 0)
        return 1;
    if (!m_state.gMoveDataKnown) {
        if (ReadSpeedTable() != 0 || ReadPositionRows() != 0) {
            m_link.ReleaseCommPort();
            m_state.gMoveDataKnown = false;
            return 1;
        }
        m_state.gMoveDataKnown = true;
    }
    return 0;
}

int MoveExecution::establishPresentPos()
{
    if (m_state.gLastPos >= 1 && m_state.gLastPos <= 3) {
        m_state.gPresentPos = m_state.gPosPulse[static_cast<size_t>(m_state.gLastPos)];
        return 0;
    }
    if (m_link.Send(Ctl::ReadPresentPos()) == 0) {
        if (const auto pos = Ctl::DecodePresentPos(m_link.state().gReply)) {
            m_state.gPresentPos = *pos;
            return 0;
        }
    }
    m_link.ReleaseCommPort();
    m_state.gMoveDataKnown = false;
    return 1;
}

// ---------------------------------------------------------------------------
// One move

int MoveExecution::sendMove(int n)
{
    m_link.state().gMoveWatchLimit = static_cast<float>(CalcMovingTime(m_state, n) + kWatchMarginSeconds);
    return m_link.Send(Ctl::MoveTo(n));
}

void MoveExecution::failedMove()
{
    m_state.gLastPos = -1;
    m_state.gMoveDataKnown = false;
    m_link.ReleaseCommPort();
    // The link has shown the alarm report in the alarm frame and told it;
    // the homing failure gets its own explanation. Only a reply of this
    // move counts: after a time-out the last reply is an old one.
    const LinkState &link = m_link.state();
    if (link.gReplyDone && Ctl::IsAlarmReport(link.gReply)
        && Ctl::LeadingHexValue(Ctl::AlarmCode(link.gReply)) == 0x0B)
        m_link.Disp_ZeroB_Error();
}

int MoveExecution::showArrival(int n)
{
    m_state.lastOutputs = -1;
    if (m_link.Send(Ctl::ReadOutputState()) != 0) {
        m_state.gMoveDataKnown = false;
        m_link.ReleaseCommPort();
        return 1;
    }
    m_panel.setHomeLamp(true);
    if (const auto outputs = Ctl::DecodeOutputState(m_link.state().gReply)) {
        m_state.lastOutputs = *outputs;
        m_panel.setOutputLamps(*outputs & 1, *outputs & 2);
    }
    m_panel.setCompletedPosition(Ctl::HexDigits(static_cast<uint32_t>(n)));
    return 0;
}

// ---------------------------------------------------------------------------
// Selective move

void MoveExecution::SelectiveMove(int n)
{
    if (m_running)
        return;
    begin();
    m_panel.setSelectiveControlsEnabled(false);
    m_panel.setMenusLocked(true);

    m_panel.setOutputLamps(false, false);
    if (n == 0)
        m_panel.setHomeLamp(false);
    m_state.gMoveTarget = static_cast<int16_t>(n);
    startMovingTimer();
    m_link.state().gMoving = true;
    for (int i = 0; i < 4; ++i)
        m_panel.setButtonPicture(i, Picture::Greyed);

    bool ok = m_link.OpenCommPort() == 0 && m_link.SetCommMode() == 0 && refreshMoveData() == 0
              && (!m_state.gHomeDone || establishPresentPos() == 0);
    if (ok && (n < 0 || n > 3)) {
        m_link.ReleaseCommPort();
        m_prompter.tell(LoadText(kPositionNoMessage), Prompter::Icon::None);
        ok = false;
    }
    if (ok) {
        const int result = sendMove(n);
        m_link.state().gMoving = false;
        runEventsUntil([this] { return !m_timerMoving.isActive(); });
        if (result != 0) {
            failedMove();
        } else {
            m_state.gLastPos = static_cast<int16_t>(n);
            for (int i = 0; i < 4; ++i)
                m_panel.setButtonPicture(i, i == n ? Picture::Current : Picture::Normal);
            showArrival(n);
        }
    }

    m_link.ReleaseCommPort();
    m_panel.setMenusLocked(false);
    m_panel.setSelectiveControlsEnabled(true);
    m_link.state().gMoving = false;
    runEventsUntil([this] { return !m_timerMoving.isActive(); });
    finish();
}

void MoveExecution::startMovingTimer()
{
    m_state.gBlinkCount = 0;
    m_timerMoving.start();
}

void MoveExecution::timerMoving_Timer()
{
    const int target = m_state.gMoveTarget;
    if (m_link.state().gMoving) {
        if (m_state.gBlinkCount == 0) {
            m_panel.setButtonPicture(target, Picture::Current);
            ++m_state.gBlinkCount;
        } else {
            m_panel.setButtonPicture(target, Picture::Normal);
            m_state.gBlinkCount = 0;
        }
        return;
    }
    m_timerMoving.stop();
    m_panel.setButtonPicture(target, Picture::Normal);
    wake();
}

// ---------------------------------------------------------------------------
// Continual and step run

void MoveExecution::ContinualMove()
{
    if (m_running)
        return;
    begin();
    m_panel.setMoveControlsEnabled(false);
    m_panel.setMenusLocked(true);
    const MovePanel::RunSettings settings = m_panel.runSettings();
    MoveState &s = m_state;

    if (m_link.OpenCommPort() == 0 && m_link.SetCommMode() == 0 && refreshMoveData() == 0) {
        if (settings.continual && !s.mPauseRequest)
            s.mProgramRow = 1;
        else if (settings.continual)
            s.mPauseRequest = false;
        else if (s.mFreshStart) {
            s.mProgramRow = 1;
            s.mFreshStart = false;
        }
        if (s.mProgramRow < 1)
            s.mProgramRow = 1;

        while (s.mProgramRow <= kLastStep) {
            QString text = m_panel.programStep(s.mProgramRow);
            if (text.isEmpty()) {
                s.mProgramRow = 1;
                if (!settings.repeat)
                    break;
                text = m_panel.programStep(1);
            }
            if (text != QLatin1String("1") && text != QLatin1String("2") && text != QLatin1String("3")) {
                m_link.ReleaseCommPort();
                m_prompter.tell(LoadText(kPositionNoMessage), Prompter::Icon::None);
                break;
            }
            m_panel.setOutputLamps(false, false);
            if (s.gHomeDone && establishPresentPos() != 0)
                break;
            const int n = text.toInt();
            if (sendMove(n) != 0) {
                failedMove();
                break;
            }
            s.gLastPos = static_cast<int16_t>(n);
            if (showArrival(n) != 0)
                break;
            s.mFreshStart = false;

            ++s.mProgramRow;
            if (s.mStopRequest) {
                s.mStopRequest = false;
                break;
            }
            if (!settings.continual || s.mPauseRequest)
                break;
            waitBetweenMoves(settings);
            if (settings.repeat && s.mProgramRow > kLastStep)
                s.mProgramRow = 1;
            if (s.mProgramRow > kLastStep) {
                s.mProgramRow = 1;
                break;
            }
            if (s.mPauseRequest || s.mStopRequest)
                break;
        }
    }

    if (s.mProgramRow > kLastStep)
        s.mProgramRow = 1;
    s.mStopRequest = false;
    m_link.ReleaseCommPort();
    m_panel.setMenusLocked(false);
    m_panel.setMoveControlsEnabled(true);
    finish();
}

void MoveExecution::waitBetweenMoves(const MovePanel::RunSettings &settings)
{
    MoveState &s = m_state;
    s.mWaitDone = false;
    if (settings.timerUse && !s.mStopRequest && !s.mPauseRequest) {
        // A wait of 0 (or none entered) is no wait: a timer of no period
        // would never end it.
        const int tenths = settings.timerText.toInt();
        if (tenths <= 0)
            s.mWaitDone = true;
        else
            m_timer2.start(ScaledMs(tenths * 100));
    } else {
        s.mWaitDone = true;
    }
    runEventsUntil([&s] { return s.mWaitDone || s.mStopRequest || s.mPauseRequest; });
    s.mWaitDone = true;
    m_timer2.stop();
}

void MoveExecution::RequestStop()
{
    m_state.mStopRequest = true;
    wake();
}

void MoveExecution::RequestPause()
{
    m_state.mPauseRequest = true;
    wake();
}

// ---------------------------------------------------------------------------
// Brackets and waits

void MoveExecution::begin()
{
    m_running = true;
    m_panel.setBusy(true);
    emit runningChanged(true);
}

void MoveExecution::finish()
{
    m_panel.setBusy(false);
    m_running = false;
    emit runningChanged(false);
    m_panel.focusHolder();
}

void MoveExecution::runEventsUntil(const std::function<bool()> &done)
{
    while (!done()) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
}

void MoveExecution::wake()
{
    if (m_loop)
        m_loop->quit();
}
