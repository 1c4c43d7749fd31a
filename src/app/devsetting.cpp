#include "app/devsetting.h"

#include "app/appstate.h"
#include "app/devicelookup.h"
#include "app/settingsstore.h"

#include <limits>

bool ModelFormOk(const QString &size, const QString &speed, int stroke)
{
    return size.size() == 3 && speed.size() == 1 && speed.at(0) >= u'A' && speed.at(0) <= u'Z'
           && stroke >= 10 && stroke <= 700;
}

int ReadDevSetting(AppState &state, const SettingsStore &store, DeviceLookup &catalogue)
{
    int result = 0;

    // 1. Generation
    if (store.readInt(SettingsKey::NewType, 1) == 1) {
        state.gIsNewType = true;
        state.gNewOldType = QStringLiteral("NEW");
        state.gVertical = true;
    } else {
        state.gIsNewType = false;
        state.gNewOldType = QStringLiteral("OLD");
    }

    // 2. Family
    const QString device = store.readText(SettingsKey::Device, QStringLiteral("KT"));
    if (device != QLatin1String("KT")) {
        state.gIsKT = false;
        state.gIsNewType = false;
        state.gNewOldType = QStringLiteral("OLD");
        state.gDevTypeNo = 2;
    } else {
        state.gIsKT = true;
        state.gDevTypeNo = state.gIsNewType ? 0 : 1;
    }

    // 3. Size, speed and stroke, checked for their form
    const QString size = store.readText(SettingsKey::DevSize, QStringLiteral(" 28"));
    const QString speed = store.readText(SettingsKey::DevSpeed, QStringLiteral("L"));
    const int stroke = store.readInt(SettingsKey::DevStroke, 100);
    if (ModelFormOk(size, speed, stroke)) {
        state.gDevSize = state.gChkSize = size;
        state.gDevSpeed = state.gChkSpeed = speed;
        state.gDevStroke = state.gChkStroke = static_cast<int16_t>(stroke);
    } else {
        result = 1;
    }

    // 4. Lead: from the catalogue when it can be read, else the stored one
    if (catalogue.CheckDeviceList(device, state.gIsNewType) == 0) {
        const int lead = catalogue.SeekRido(device, state.gIsNewType, state.gDevSize,
                                            state.gDevSpeed, state.gDevStroke);
        if (lead != 0 && lead <= std::numeric_limits<int16_t>::max())
            state.gDevLead = static_cast<int16_t>(lead);
        else
            result = 1;
    } else {
        const int lead = store.readInt(SettingsKey::DevLead, 2);
        if (lead >= 2 && lead <= 10)
            state.gDevLead = static_cast<int16_t>(lead);
        else
            result = 1;
    }

    // 5. Pulses per revolution and mounting
    const int ppr = store.readInt(SettingsKey::DevPPR, 400);
    if (ppr > 0 && ppr <= std::numeric_limits<int16_t>::max())
        state.gDevPPR = static_cast<int16_t>(ppr);
    else
        result = 1; // a zero or absurd pulse count would break every conversion
    state.gVertical = store.readInt(SettingsKey::Vertical, 1) == 1;

    // 6.
    state.gMmPerPulse = static_cast<double>(state.gDevLead) / state.gDevPPR;
    return result;
}

void UseFirstRunModel(AppState &state)
{
    const AppState first;
    state.gIsKT = first.gIsKT;
    state.gIsNewType = first.gIsNewType;
    state.gDevTypeNo = first.gDevTypeNo;
    state.gNewOldType = first.gNewOldType;
    state.gDevFamily = first.gDevFamily;
    state.gDevSize = state.gChkSize = first.gDevSize;
    state.gDevSpeed = state.gChkSpeed = first.gDevSpeed;
    state.gDevStroke = state.gChkStroke = first.gDevStroke;
    state.gDevLead = first.gDevLead;
    state.gDevPPR = first.gDevPPR;
    state.gMmPerPulse = first.gMmPerPulse;
    state.gVertical = first.gVertical;
    state.gVType = first.gVType;
}

void SaveDevSetting(AppState &state, SettingsStore &store)
{
    store.writeText(SettingsKey::Device, state.familyCode());
    store.writeText(SettingsKey::DevSize, state.gDevSize);
    store.writeText(SettingsKey::DevSpeed, state.gDevSpeed);
    store.writeInt(SettingsKey::DevStroke, state.gDevStroke);
    store.writeInt(SettingsKey::DevLead, state.gDevLead);
    store.writeInt(SettingsKey::DevPPR, state.gDevPPR);
    store.writeInt(SettingsKey::NewType, state.gIsNewType ? 1 : 0);
    if (state.gIsNewType)
        state.gVertical = true;
    store.writeInt(SettingsKey::Vertical, state.gVertical ? 1 : 0);
    store.sync();
}

int32_t SetDevFromCt(AppState &state, const CtActuatorSetting &ct)
{
    state.gDevSize = ct.size;
    state.gDevSpeed = ct.speed;
    state.gDevStroke = ct.stroke;
    state.gDevTypeNo = ct.type;
    switch (ct.type) {
    case 0:
        state.gIsKT = true;
        state.gIsNewType = true;
        state.gNewOldType = QStringLiteral("NEW");
        state.gDevFamily = QStringLiteral("KT");
        state.gVertical = state.gVType = true;
        break;
    case 1:
        state.gIsKT = true;
        state.gIsNewType = false;
        state.gNewOldType = QStringLiteral("OLD");
        state.gDevFamily = QStringLiteral("KT");
        state.gVertical = state.gVType = ct.vertical;
        break;
    default:
        state.gIsKT = false;
        state.gIsNewType = false;
        state.gNewOldType = QStringLiteral("OLD");
        state.gDevFamily = QStringLiteral("RW");
        state.gVertical = state.gVType = false;
        break;
    }
    state.gDevLead = ct.lead;
    state.gDevPPR = ct.pulse;
    return state.gDevTypeNo;
}
