#pragma once

#include "app/datafilefault.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class Prompter;
struct AppState;
struct PositionData;

// The position data file (*.ktd): five records of quoted texts, CR LF at
// the end of each, in Shift_JIS:
//   "KT-E1","Position"
//   model text, "NEW" or "OLD"
//   VEL, ACC, pulse position, comment     (positions 1 to 3)
// Files of earlier versions have only the model text in record 2; they are
// read as "OLD". The mm position is not stored: it follows from the pulses.

struct PositionFileRow
{
    QString vel;
    QString acc;
    QString pulses;
    QString comment;
};

struct PositionFileContent
{
    QString model;   // the model label's caption when the file was written
    QString newOld;  // "NEW" or "OLD"
    std::array<PositionFileRow, 3> rows;
};

enum class PositionFileProblem {
    None,
    NotPositionFile,  // wrong identification record, or records missing
    NotNumeric,       // a speed, acceleration or pulse field is not a number
};

// Takes a position file's text apart. The speed, acceleration and pulse
// fields must be numbers; they are returned as they stand in the file.
// Control characters in a comment are dropped. where, when given, is told
// the record and field of the first fault.
PositionFileContent ParsePositionFile(const QString &text, PositionFileProblem &problem,
                                      DataFileFault *where = nullptr);

// The file's text for the content, every field quoted as it stands.
QString ComposePositionFile(const PositionFileContent &content);

// The characters of a comment that the file cannot hold: those Shift_JIS
// has no code for, the double quote (it would end the field early) and
// control characters (a line break would end the record). Empty when the
// comment can be stored.
QString UnstorableCharacters(const QString &comment);

// Reads a position file into workPosDA (speed, acceleration, pulses and
// comment of positions 1 to 3, the model text in (0, 1)) and notes the
// file's model in gFileModel, gFileNewOld and gNewOldType. 0 when read; 1
// when it is not a position file, a record is not numeric or the file
// cannot be read, after telling the user (nothing is changed then).
int ReadPosiFile(const QString &path, PositionData &data, Prompter &prompter);

// The actuator model as named in a file's model text.
struct DecodedFileModel
{
    bool isKT = true;
    bool selIsNewType = false;  // KT new generation
    QString devTypeNoText;      // "0" KT new, "1" KT old, "2" RW
    bool vType = false;         // V-type model
    QString size;               // three characters (" 42", "E42")
    QString speed;              // one letter
    int16_t stroke = 0;         // mm
};

// Decodes a model text in the short form of earlier versions (KT-42L-100,
// two-character size; speed "E" stands for size E.. with speed L) or the
// long form (KT- 28L-100, KT-E35L-050), with at most three suffix
// characters after it, a "V" among them marking a V-type model.
// Nothing when the text does not name a model in either form (the
// catalogue is not consulted here).
std::optional<DecodedFileModel> DecodeModelText(const QString &model, const QString &newOld);

// The short form of the model label, as the main window shows it after
// start-up: family, "-", size, speed, "-", the stroke as a plain number.
QString DevTypeText(const AppState &state);

// The long form of the model label: family, "-", size, speed, "-", the
// stroke in three digits ("X" when longer), then a mark from the model's
// homing code: a blank for a fixed homing method; for a model with a choice
// "_" when it homes by pushing, nothing (new generation) or "V" (old
// generation) for a V-type model; nothing for a model the
// catalogue does not list.
QString DevTypeText2(const QString &family, const QString &size, const QString &speed, int stroke,
                     bool isNewType, bool vType, int homeCode);
