#include "parameters/paradefaults.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "text/stringtable.h"

namespace {

enum MessageId : int {
    MsgNoStdPrmFile = 532,   // "Can not find the file of default parameter list."
    MsgNoDeviceInfo = 533,   // "Can not find the device information."
};

} // namespace

DefaultFields DefaultFieldsOf(const StdPrmRecord &record, const DeviceChoice &choice)
{
    DefaultFields f;
    for (int n = 1; n <= 20; ++n) {
        if (n != 18)
            f.text[static_cast<size_t>(n)] = QString::number(record.value[static_cast<size_t>(n)]);
    }
    if (choice.isKt()) {
        f.sensor = choice.vType;
        f.type = choice.vType && choice.isNewType ? 0 : 1;
    } else {
        f.sensor = false;
        f.type = 2;
    }
    f.vsiyou = f.sensor ? QStringLiteral("1") : QStringLiteral("0");
    f.actuator = record.actuator;
    f.size = record.size;
    f.speed = record.speed;
    f.stroke = QString::number(record.stroke);
    f.emgHold = record.value[23] != 0;
    f.emgLogicA = record.value[24] != 0;
    return f;
}

std::optional<DefaultFields> LoadDefaultFields(const DeviceChoice &choice, Prompter &prompter,
                                               const QString &listDir)
{
    // A catalogue of its own: reading the list changes nothing of the
    // model in use.
    AppState scratch;
    Catalogue catalogue(scratch, prompter, listDir);
    catalogue.selection().gSelFamily = choice.family;
    catalogue.selection().gSelIsNewType = choice.isKt() && choice.isNewType;
    if (catalogue.ReadStdPrmList(choice.vType) != 0) {
        prompter.tell(LoadText(MsgNoStdPrmFile));
        return std::nullopt;
    }
    const int index = catalogue.FindStdPrm(choice.size, choice.speed, choice.stroke);
    if (index == 0) {
        prompter.tell(LoadText(MsgNoDeviceInfo));
        return std::nullopt;
    }
    return DefaultFieldsOf(catalogue.tables().gStdPrmList[static_cast<size_t>(index)], choice);
}
