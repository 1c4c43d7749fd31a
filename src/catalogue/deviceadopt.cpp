#include "catalogue/deviceadopt.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "text/stringtable.h"

namespace {

enum MessageId : int {
    MsgTypeNotSelected = 441,   // "Type not selected."
    MsgSelectType = 442,        // "Select type to indicate position with mm."
};

std::optional<DeviceRecord> lookUp(Catalogue &catalogue, Prompter &prompter, const DeviceChoice &choice)
{
    std::optional<DeviceRecord> model = catalogue.LookupModel(
        choice.isKt() ? QStringLiteral("KT") : QStringLiteral("RW"), choice.isKt() && choice.isNewType,
        choice.size, choice.speed, choice.stroke);
    if (!model)
        TellTypeNotSelected(prompter);
    return model;
}

} // namespace

void TellTypeNotSelected(Prompter &prompter)
{
    prompter.tell(JoinTexts({MsgTypeNotSelected, MsgSelectType}));
}

int AdoptDeviceChoice(AppState &state, Catalogue &catalogue, Prompter &prompter,
                      const DeviceChoice &choice)
{
    const std::optional<DeviceRecord> model = lookUp(catalogue, prompter, choice);
    if (!model)
        return 1;

    const bool kt = choice.isKt();
    const bool newType = kt && choice.isNewType;
    state.gIsKT = kt;
    state.gIsNewType = newType;
    state.gDevTypeNo = !kt ? 2 : (newType ? 0 : 1);
    state.gNewOldType = newType ? QStringLiteral("NEW") : QStringLiteral("OLD");
    state.gDevFamily = state.familyCode();
    // A new-generation KT always homes by its sensor; RW has no choice.
    state.gVType = kt && (newType || choice.vType);
    state.gVertical = state.gVType;
    state.gDevSize = state.gChkSize = choice.size;
    state.gDevSpeed = state.gChkSpeed = choice.speed;
    state.gDevStroke = state.gChkStroke = static_cast<int16_t>(choice.stroke);
    state.gDevLead = model->lead;
    state.gDevPPR = model->ppr;
    state.gMmPerPulse = static_cast<double>(state.gDevLead) / state.gDevPPR;

    catalogue.selection().gSelFamily = state.gDevFamily;
    catalogue.selection().gSelIsNewType = newType;
    catalogue.clearNoDevListFile();
    catalogue.ReadDeviceList(Catalogue::Generation::Current);
    return 0;
}
