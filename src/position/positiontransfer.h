#pragma once

#include "app/devsetting.h"
#include "position/positionroutines.h"

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
// (cmdGetfromCt, mnuFileGetfromCt, toolbar "Read"): the grid's part of the
// commands around the exchanges of PositionRoutines.
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

    // The exchanges of PositionRoutines, for the window's callers: the
    // current-down choice and digit, the record of a position, the stroke
    // check, the write and the read (each 0 done, 1 failed and told).
    void setCurrentDown(bool changeBkCd, int currentDownNo);
    int CurrentDownDigit() const;
    static std::optional<QString> PositionRecord(int number, int vel, int acc, int out, int currentDown,
                                                 int64_t pulses);
    int PosiKakikomimaeParaCheck();
    int WritePosidataToCt();
    int ReadPosiFromCt();

    // The controller's stroke limit in pulses, as last read.
    int32_t controllerStroke() const { return m_routines.controllerStroke(); }
    const CtActuatorSetting &ctSetting() const { return m_routines.ctSetting(); }
    // The exchanges themselves, without the grid.
    PositionRoutines &routines() { return m_routines; }

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
    PositionRoutines m_routines;
};
