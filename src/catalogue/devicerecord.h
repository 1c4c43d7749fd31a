#pragma once

#include <QString>

#include <cstdint>

// One model of a device catalogue file, as read. The size, speed and stroke
// are always taken out of the eight-character model code by position:
// characters 1 to 3 the size (" 28", "E35"), 4 the speed letter, 6 to 8 the
// stroke in mm ("050" is 50).
struct DeviceRecord
{
    QString code;          // model code, e.g. " 28L-100" (slot 0: the count item)
    QString size;          // code characters 1 to 3
    QString speed;         // code character 4
    double stroke = 0.0;   // numeric value of code characters 6 to 8
    int16_t lead = 0;      // ball-screw lead, mm
    QString reserved;      // the fourth item of a record, read past
    int16_t homeCode = 0;  // see HomeCode
    int16_t ppr = 0;       // motor pulses per revolution
};

// The homing code of a catalogue model. Code 1 also marks models that
// exist as V-type variants.
enum HomeCode : int {
    HomeFixedPushing = 0,   // homing method fixed to "Pushing"
    HomeUserChoice = 1,     // the user chooses the homing method
    HomeFixedSensor = 2,    // homing method fixed to "Sensor"
    HomeCodeNotFound = 99,  // the model is not listed, or no catalogue
};
