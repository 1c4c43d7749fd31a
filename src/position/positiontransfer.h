#pragma once

#include "app/devsetting.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

class CommandSurface;
class ControllerLink;
class ControllerModes;
class PositionFileCommands;
class PositionGrid;
class Prompter;
class SettingsStore;
class ProgressSink;
struct AppState;
struct PositionData;

// The position table's transfer with the controller: "Load to controller"
// (cmdLoadtoCt, mnuFileLoadtoCt, toolbar "Load") and "Get from controller"
// (cmdGetfromCt, mnuFileGetfromCt, toolbar "Read"). Each position travels as
// one 11-character record:
//   number, VEL, ACC, Out (one hex digit each), current-down digit 0..3,
//   pulses (6 hex digits)       e.g. "253020009C4"
// sent as "0WP" + record and read back with "0RP" + number.
//
// Main window wiring:
//   cmdLoadtoCt, mnuFileLoadtoCt, toolbar "Load"  -> LoadToCt()
//   cmdGetfromCt, mnuFileGetfromCt, toolbar "Read" -> GetFromCt()
//   setCurrentDown(mChangeBkCd, mCurrentDownNo)    at start and after Options
//   moveDataStale()               -> gMoveDataKnown = false, gLastPos = -1
//   pulseScaleChanged(perMm, perPulse)   -> status-bar panels 2 and 3
//   programGridRefreshRequested() -> redraw flgdProgram
class PositionTransfer : public QObject
{
    Q_OBJECT

public:
    PositionTransfer(AppState &state, PositionData &data, PositionGrid &grid, ControllerLink &link,
                     ControllerModes &modes, Prompter &prompter, ProgressSink &progress,
                     PositionFileCommands &fileCommands, SettingsStore &settings,
                     CommandSurface &surface, QObject *parent = nullptr);

    // The Options dialog's current-down choice (mChangeBkCd, mCurrentDownNo).
    void setCurrentDown(bool changeBkCd, int currentDownNo);
    // The digit sent with every position: mCurrentDownNo when the choice is
    // on, otherwise 2.
    int CurrentDownDigit() const;

    // The 11-character record of a position; nothing when a value does not
    // fit its field.
    static std::optional<QString> PositionRecord(int number, int vel, int acc, int out, int currentDown,
                                                 int64_t pulses);

    // The routines ------------------------------------------------------------

    // Reads the controller's stroke (block "10") and checks every position
    // not flagged by the last check against it. 0 within stroke (the link
    // and the progress window stay open for the write), 1 not, or the link
    // failed.
    int PosiKakikomimaeParaCheck();
    // Sends the positions not flagged by the last check. 0 written, 1 failed.
    int WritePosidataToCt();
    // Reads the three positions into workPosDA (comments kept). 0 read, 1
    // failed (workPosDA then unchanged).
    int ReadPosiFromCt();

    // The controller's stroke limit in pulses, as last read.
    int32_t controllerStroke() const { return m_ctStroke; }
    const CtActuatorSetting &ctSetting() const { return m_ct; }

public slots:
    void LoadToCt();
    void GetFromCt();

signals:
    void moveDataStale();
    void pulseScaleChanged(const QString &perMm, const QString &perPulse);
    void programGridRefreshRequested();

private:
    void lock();
    void unlock();
    void refreshGrids();
    void tell(const QString &text);

    AppState &m_state;
    PositionData &m_data;
    PositionGrid &m_grid;
    ControllerLink &m_link;
    ControllerModes &m_modes;
    Prompter &m_prompter;
    ProgressSink &m_progress;
    PositionFileCommands &m_fileCommands;
    SettingsStore &m_settings;
    CommandSurface &m_surface;

    bool m_changeBkCd = false;
    int m_currentDownNo = 2;
    int32_t m_ctStroke = 0;
    CtActuatorSetting m_ct;
};
