#pragma once

#include "app/devicelookup.h"
#include "catalogue/devicerecord.h"
#include "catalogue/stdprmrecord.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

struct AppState;
class Prompter;

// The catalogue tables held in memory: the models of the catalogue file
// last read by ReadDeviceList, its sizes, the speeds of one size, and the
// default-parameter list last read. The device selection dialog and the
// parameter window fill their lists from them.
struct CatalogueTables
{
    static constexpr int kMaxModels = 99;
    static constexpr int kMaxSizes = 6;
    static constexpr int kMaxSpeeds = 6;

    // Slots 1 to gDevListCount hold the models in file order; slot 0 holds
    // the count item as read.
    std::array<DeviceRecord, kMaxModels + 1> gDevList{};
    int16_t gDevListCount = 0;

    // Distinct sizes in order of first appearance, slots 0 to gDevSizeLast
    // (-1 when the catalogue holds no model).
    std::array<QString, kMaxSizes> gDevSizeList{};
    int gDevSizeLast = -1;

    // Distinct speeds of one size (MakeSpeedList), slots 0 to
    // gDevSpeedLast (-1 when none).
    std::array<QString, kMaxSpeeds> gDevSpeedList{};
    int gDevSpeedLast = -1;

    // ReadDeviceList could not read its file.
    bool gNoDevListFile = false;

    // Slots 1 to gStdPrmCount hold the default-parameter records.
    std::array<StdPrmRecord, kMaxModels + 1> gStdPrmList{};
    int16_t gStdPrmCount = 0;

    // ReadStdPrmList could not read its file.
    bool gNoStdPrmFile = false;
};

// The family and generation of a selection in progress: what the device
// selection dialog leaves behind at OK, and what the parameter window and
// the position file set while they choose a model. The current model
// (gIsKT, gIsNewType, gDevFamily) stays in AppState; the catalogue file that
// ReadDeviceList reads is chosen by AppState's gDevFamily.
struct DeviceSelection
{
    QString gSelFamily = QStringLiteral("KT");  // "KT" or "RW"
    bool gSelIsNewType = true;                  // KT new generation
};

// The actuator catalogue: the device catalogue and default-parameter list
// files of the three families and generations, and every look-up on them.
//
// The look-ups read their file afresh every time, so a catalogue replaced
// while the program runs is used at the next look-up. A file that cannot be
// read is reported by the catalogue itself; a model that is not listed is
// not an error here: the look-ups answer 0, 1 or 99 and the caller decides.
class Catalogue : public DeviceLookup
{
public:
    // Which generation flag ReadDeviceList uses.
    enum class Generation {
        Current = 0,    // gIsNewType of the current model
        Selection = 1,  // gSelIsNewType of the selection in progress
    };

    // listDir is the folder of the list files (normally ListFileDir()).
    Catalogue(AppState &state, Prompter &prompter, const QString &listDir);

    const QString &listDir() const { return m_listDir; }
    const CatalogueTables &tables() const { return m_tables; }
    DeviceSelection &selection() { return m_selection; }
    const DeviceSelection &selection() const { return m_selection; }

    // Set by SeekRidoAndPPR when the current model has no usable catalogue
    // entry; the main window tests it after a selection and clears it.
    bool devInfoNotFound() const { return m_devInfoNotFound; }
    void clearDevInfoNotFound() { m_devInfoNotFound = false; }

    // The selection dialog clears the flag before it reads another family.
    void clearNoDevListFile() { m_tables.gNoDevListFile = false; }

    // Reads the catalogue file of gDevFamily and the chosen generation into
    // gDevList, gDevListCount and the size list. When the file cannot be
    // read (missing, more than 99 models, more than 6 sizes, a malformed
    // item) it reports so, sets gNoDevListFile and returns 1; the tables then
    // hold what was read so far.
    int ReadDeviceList(Generation which);
    int ReadDeviceList() { return ReadDeviceList(Generation::Current); }

    // 0 when the catalogue file of the family and generation can be read, 1
    // when not.
    int CheckDeviceList(const QString &family, bool isNewType) override;

    // Lead of the first listed model with that size, speed and stroke; 0
    // when none matches (or its lead or pulses are not usable).
    int SeekRido(const QString &family, bool isNewType, const QString &size,
                 const QString &speed, int stroke) override;

    // 0 when the model is listed, 1 when not or when the file cannot be read.
    int CheckDevice(bool isNewType, const QString &family, const QString &size,
                    const QString &speed, int stroke);

    // The first listed model with that size, speed and stroke whose lead
    // and pulses can convert; nothing when none (or when the file cannot be
    // read, which is reported as CheckDevice does).
    std::optional<DeviceRecord> LookupModel(const QString &family, bool isNewType,
                                            const QString &size, const QString &speed, int stroke);

    // 0 when some model has that size, 1 when not or when the file cannot
    // be read.
    int CheckDeviceSize(bool isNewType, const QString &family, const QString &size);

    // The homing code of the model (HomeCode); HomeCodeNotFound when it is
    // not listed or the file cannot be read. The second form takes the
    // family from gDevFamily.
    int GetHomeCode(bool isNewType, const QString &family, const QString &size,
                    const QString &speed, int stroke);
    int GetHomeCode(bool isNewType, const QString &size, const QString &speed, int stroke);

    // Looks gChkSize, gChkSpeed and gChkStroke up in gDevList and sets
    // gDevLead and gDevPPR. Without a usable entry it sets the
    // device-information-not-found flag and tells the user.
    void SeekRidoAndPPR();

    // Lead and pulses per revolution of the model in the catalogue of the
    // given family and generation (a printed file's own model, whatever
    // model is in use); 0 when found, 1 when not.
    int SeekEachRidoAndPPR(const QString &family, bool isNewType, const QString &size,
                           const QString &speed, int stroke, int16_t &lead, int16_t &ppr);

    // Fills gDevSpeedList with the distinct speeds of the size in gDevList.
    void MakeSpeedList(const QString &size);

    // Reads the default-parameter list of gSelFamily and gSelIsNewType into
    // gStdPrmList. Parameter 21 (type) and 18 (homing: 1 = "Sensor") come
    // from the selection: KT new 0, KT old 1, RW 2; parameter 18 follows
    // `vertical` for KT and is 0 for RW. 0 on success; 1 (and gNoStdPrmFile
    // set, no message: the parameter window reports it) when the file cannot
    // be read.
    int ReadStdPrmList(bool vertical);

    // The first default-parameter record with that size, speed and stroke;
    // 0 when none.
    int FindStdPrm(const QString &size, const QString &speed, int stroke) const;

private:
    QString filePath(const QString &fileName) const;
    // The models of a catalogue file for a look-up; nothing when the file
    // cannot be read.
    std::optional<QList<DeviceRecord>> readLookupTable(const QString &family, bool isNewType);
    bool rebuildSizeList();
    void tellNoDevListFile();        // the message with its advice
    void tellNoDevListFileShort();   // the first line only

    AppState &m_state;
    Prompter &m_prompter;
    QString m_listDir;
    CatalogueTables m_tables;
    DeviceSelection m_selection;
    bool m_devInfoNotFound = false;
};
