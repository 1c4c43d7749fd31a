#pragma once

#include "catalogue/devicechoice.h"

#include <QString>

#include <array>
#include <optional>

class Prompter;
struct StdPrmRecord;

// The factory parameters of one model, as the parameter window shows them:
// the texts of the numeric fields, the homing method, the type, the model
// and the emergency-stop settings.
struct DefaultFields
{
    std::array<QString, 21> text;   // parameters 1..17, 19 and 20 by number
    QString vsiyou;                 // "1" vertical (sensor), "0" standard
    bool sensor = false;
    int type = 0;                   // 0 KT new, 1 KT old, 2 RW
    QString actuator;               // the model code
    QString size;
    QString speed;
    QString stroke;
    bool emgHold = true;            // parameter 23: "Hold" (else "Reset")
    bool emgLogicA = true;          // parameter 24: "Logic A" (else "Logic B")
};

// The fields of a default-parameter record for the chosen model.
DefaultFields DefaultFieldsOf(const StdPrmRecord &record, const DeviceChoice &choice);

// Reads the default-parameter list of the chosen family and generation and
// finds the model's record. Nothing when the list cannot be read (message
// 532) or lacks the model (533); the model in use is not touched.
std::optional<DefaultFields> LoadDefaultFields(const DeviceChoice &choice, Prompter &prompter,
                                               const QString &listDir);
