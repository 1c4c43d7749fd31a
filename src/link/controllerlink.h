#pragma once

#include "link/alarmdisplay.h"
#include "link/commandset.h"
#include "link/commlog.h"
#include "link/commport.h"
#include "link/linkstate.h"
#include "link/receivebuffer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

struct AppState;
class SettingsStore;
class Prompter;
class QEventLoop;

// The link to the controller: the port, the transaction with its checks,
// time-outs, recovery and messages, the receive path and the alarm state.
// One instance lives in the main window for the whole run; everything runs
// on the user-interface thread. A transaction waits in a local event loop,
// so the window stays responsive; the callers disable their commands while
// an operation runs, so that no second transaction starts inside the wait.
//
// Calling order of every operation that talks to the controller:
//   OpenCommPort(); on 1 stop.   SetCommMode(); on 1 stop.
//   state().gTimeoutMs = ...; SendCommand(...) (or Send(Ctl::...)), and
//   decode state().gReply after 0; stop at the first 1.
//   ReleaseCommPort().
// A result of 1 has been reported to the user already.
//
// Wiring in the main window (frmMain):
//   portLampChanged(bool)          -> imgPortGreen->setVisible
//   alarmFrameChanged(bool, QString, QString)
//                                  -> imgAlarmLed->setVisible, lblAlarmNo and
//                                     lblErrorComment->setText
//   homeLampOff()                  -> imgHomeGreen->hide()
//   alarmLampsOff()                -> AlarmLampsOff: hide imgHomeGreen,
//                                     imgOut1Green, imgOut2Green, grey the
//                                     four position buttons
//   pollTick()                     -> refresh sbStatusBar (optional)
//   Get_ErrorList() in the window's load step.
class ControllerLink : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPollMs = 100;
    static constexpr int kMoveWatchTickMs = 100;
    // A wait that the caller left without a time-out (gTimeoutMs 0) still
    // ends after this long; nothing the program does waits forever.
    static constexpr int kLongestReplyWaitMs = 60000;
    // A move-watch limit that is not a usable number of seconds (an
    // estimate that divided by zero) is replaced by this many seconds.
    static constexpr double kLongestMoveSeconds = 3600.0;

    ControllerLink(AppState &app, SettingsStore &settings, Prompter &prompter,
                   QObject *parent = nullptr);
    ~ControllerLink() override;

    // The port ---------------------------------------------------------------

    // 0 when the port is open afterwards, 1 when opening failed (reported:
    // 374, or that access was refused and how to get it). An invalid
    // gPortNo is first re-read from "PortNo". An open port stays as it is,
    // unless gPortNo names another port since it was opened.
    int OpenCommPort();
    // 0 when port n can be opened (or is the port held open now), 1 when
    // not; no message. It opens a separate handle and closes it again, so
    // a held port is not disturbed and needs no CloseCommPort afterwards.
    int ProbeCommPort(int n);
    void CloseCommPort();
    // Closes the port unless the user holds it open (gPortOccupy).
    void ReleaseCommPort();
    bool isPortOpen() const;
    // What the port lamp shows (updated at once and on every poll).
    bool portLampLit() const { return m_lampLit; }
    // The port number and device of the open port.
    int openPortNo() const { return m_openPortNo; }
    QString portDevice() const { return m_port.device(); }

    // Transactions -----------------------------------------------------------

    // "0CM1" with a 1000 ms time-out; 0 good, 1 failed (reported).
    int SetCommMode();
    // One transaction with the gTimeoutMs time-out: sends command + payload
    // + CR LF, waits for one reply line and checks its echo (the first three
    // characters) and its length (CR LF included). 0 = good, gReply holds
    // the reply; 1 = failed and reported.
    int SendCommand(const QString &command, int replyLength, const QString &payload = QString());
    // The same for a move: the wait is bounded by the move watch
    // (gMoveWatchLimit seconds, set by the caller) instead of gTimeoutMs.
    int SendMoveCommand(const QString &command, int replyLength,
                        const QString &payload = QString());
    // Sends a command of the command set: sets gTimeoutMs from the table
    // and calls SendCommand, or SendMoveCommand for a move.
    int Send(const Ctl::CommandLine &line);
    // Writes text + CR LF to the open port without waiting for a reply (the
    // controller reset "0CM3"). False when the port is not open.
    bool WriteDirect(const QString &text);

    // A transaction is waiting for its reply.
    bool isWaiting() const { return m_waitDepth > 0; }

    // The alarm display ------------------------------------------------------

    // Reads error.lst (by default from the list-file folder) once, at load.
    bool Get_ErrorList(const QString &path = QString());
    // Runs the display update for gStatusReply and tells the window.
    void Disp_AlarmState();
    // Asks the window to put the alarm-dependent lamps out.
    void AlarmLampsOff();
    // The homing-failure message (alarm 0B at the end of a move).
    void Disp_ZeroB_Error();
    // The quiet frame: lamp off, "No Error", no number.
    void ShowNoError();

    AlarmDisplay &alarm() { return m_alarm; }
    const AlarmDisplay &alarm() const { return m_alarm; }

    // State -----------------------------------------------------------------

    LinkState &state() { return m_state; }
    const LinkState &state() const { return m_state; }
    const ReceiveBuffer &receiveBuffer() const { return m_buffer; }
    // The port object: listen to bytesSent / bytesReceived for a trace.
    CommPort &port() { return m_port; }

    // Seconds since midnight for the move watch (tests replace the clock).
    void setClock(std::function<double()> secondsSinceMidnight);
    // Takes received bytes only on the 100 ms poll, as a polling design
    // would; the benchmark compares both ways.
    void setReadOnPollOnly(bool on);

    // Feeds the communication log: the bytes sent and received and the
    // link's events, in the order they happen.
    void attachLog(CommLog &log);

signals:
    void portLampChanged(bool lit);
    void alarmFrameChanged(bool lampOn, const QString &alarmNo, const QString &comment);
    void homeLampOff();
    void alarmLampsOff();
    void pollTick();
    // Something the communication log shows besides the bytes: the port
    // opened, closed or lost, a time-out, a wrong echo or length, an alarm
    // report.
    void linkEvent(CommEvent event, const QStringList &details);

private:
    enum class Bound { Timeout, MoveWatch };

    // echoedPayload: payload characters the reply must repeat after the head.
    int transact(const QString &command, int replyLength, const QString &payload, Bound bound,
                 int echoedPayload);
    void startBound(Bound bound);
    void stopBound(Bound bound);
    bool boundReached(Bound bound) const;
    void waitForReply(Bound bound);
    void recover(Bound bound);
    void emitBoundEvent(Bound bound);
    int alarmReply(bool afterRecovery);
    int timeoutFailure(Bound bound);
    int portLostFailure();
    void wake();

    void onBytesReceived(const QByteArray &bytes);
    void onPoll();
    void onTimeoutTick();
    void onMoveWatchTick();
    void onDeviceLost();
    void updateLamp();
    void emitFrame();

    AppState &m_app;
    SettingsStore &m_settings;
    Prompter &m_prompter;

    CommPort m_port;
    LinkState m_state;
    ReceiveBuffer m_buffer;
    AlarmDisplay m_alarm;

    QTimer Timer1;         // receive poll, port lamp, status bar
    QTimer timerTimeout;   // reply time-out
    QTimer TimerMyTimer;   // move watch

    std::function<double()> m_clock;
    std::vector<QEventLoop *> m_loops;
    int m_waitDepth = 0;
    int m_openPortNo = 0;
    bool m_portLost = false;
    bool m_lampLit = false;
};
