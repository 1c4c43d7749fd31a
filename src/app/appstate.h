#pragma once

#include <QString>

#include <cstdint>

// The application-wide values: the settings read at start and the selected
// actuator model with its limits. One instance lives for the whole run and
// is handed by reference to the objects that need it.
struct AppState
{
    // Language
    int16_t gLanguage = 1;        // "Languege" as read at start (1 = Japanese)
    int16_t gLangOffset = 0;      // 0 for Japanese, 10000 for English
    bool gLanguageChanged = false; // the Options dialog chose the other language

    // Options
    bool gPortOccupy = false;     // keep the serial port open for the whole run
    bool gPulsePosDisp = false;   // show the pulse column of the position table
    bool gPulsePosDispChanged = false;
    bool gMmRoundUp = true;       // initial state of the rounding choice only
    int16_t gPortNo = 1;

    // The selected actuator model
    bool gIsKT = true;
    bool gIsNewType = true;
    int32_t gDevTypeNo = 0;       // 0 = KT new, 1 = KT old, 2 = RW
    QString gNewOldType = QStringLiteral("NEW");
    QString gDevFamily = QStringLiteral("KT");
    QString gDevSize = QStringLiteral(" 28");
    QString gDevSpeed = QStringLiteral("L");
    int16_t gDevStroke = 100;
    int16_t gDevLead = 2;
    int16_t gDevPPR = 400;
    double gMmPerPulse = 2.0 / 400.0;
    bool gVertical = true;
    bool gVType = false;

    // The size, speed and stroke with which lead and pulses are looked up
    QString gChkSize;
    QString gChkSpeed;
    int16_t gChkStroke = 0;

    // Limits of the model
    int32_t gMaxPulse = 0;
    double gMaxMm = 0.0;          // truncated to 0.001 mm

    // Main window position right after it was first shown (twips)
    int32_t gMainTop = 0;
    int32_t gMainLeft = 0;

    // The family code text of the current model: "KT" or "RW".
    QString familyCode() const { return gIsKT ? QStringLiteral("KT") : QStringLiteral("RW"); }
};

// The language offset that belongs to a stored "Languege" value.
inline int16_t LangOffsetFor(int16_t language)
{
    return language == 1 ? 0 : 10000;
}
