#pragma once

#include "operation/movepanel.h"

#include <QObject>
#include <QTimer>

#include <functional>

class ControllerLink;
class Prompter;
class QEventLoop;
struct MoveState;

// Test moves of the actuator: a selective move to one position (or home),
// and the continual or step run of the move program, with Pause, Stop,
// Repeat and the wait between moves. Each move is one "0MP" exchange whose
// reply comes when the actuator has arrived; its wait is bounded by the
// estimated move time plus five seconds. While a move runs the target's
// button blinks; afterwards the completed position, the home lamp and the
// output lamps reported by the controller are shown.
//
// Everything that could start another controller command is locked for the
// whole move: the menus, the mode selector and the move controls (only Pause
// and Stop stay usable), so no second exchange can begin inside the wait.
class MoveExecution : public QObject
{
    Q_OBJECT
public:
    static constexpr int kBlinkMs = 200;
    // Seconds added to the estimate for the move's watch.
    static constexpr double kWatchMarginSeconds = 5.0;

    MoveExecution(MoveState &state, ControllerLink &link, Prompter &prompter, MovePanel &panel,
                  QObject *parent = nullptr);
    ~MoveExecution() override;

    // `imgButton` n: a selective move to position n (0 = home).
    void SelectiveMove(int n);
    // `cmdMove`: the continual or step run of the move program.
    void ContinualMove();
    // `cmdStop`, `cmdTmpStop`: requests that the run acts on between moves.
    void RequestStop();
    void RequestPause();

    // A move or a run is in progress.
    bool isRunning() const { return m_running; }

    QTimer &timerMoving() { return m_timerMoving; }
    QTimer &timer2() { return m_timer2; }

signals:
    void runningChanged(bool running);

private:
    // The move-data refresh: home state, then the speed table and the
    // position rows when they are not known. 0 good, 1 failed (reported).
    int refreshMoveData();
    int ReadHomeState();
    int ReadSpeedTable();
    int ReadPositionRows();
    // gPresentPos before a move from a homed actuator.
    int establishPresentPos();
    // "0RS" after a move: the home lamp, the output lamps and the completed
    // position. 0 good, 1 failed (reported; the port released).
    int showArrival(int n);
    // A move that failed: the port released, the homing failure told.
    void failedMove();
    // The watch limit for a move to n, then the move itself.
    int sendMove(int n);

    void begin();
    void finish();
    void startMovingTimer();
    void timerMoving_Timer();
    void waitBetweenMoves(const MovePanel::RunSettings &settings);
    void runEventsUntil(const std::function<bool()> &done);
    void wake();

    MoveState &m_state;
    ControllerLink &m_link;
    Prompter &m_prompter;
    MovePanel &m_panel;
    QTimer m_timerMoving;   // `timerMoving`: the blinking, 200 ms
    QTimer m_timer2;        // `Timer2`: the wait between continual moves
    QEventLoop *m_loop = nullptr;
    bool m_running = false;
};
