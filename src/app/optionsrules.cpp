#include "app/optionsrules.h"

#include "app/appoptions.h"
#include "app/appstate.h"
#include "app/settingsstore.h"
#include "common/numbers.h"

#include <cmath>

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;

} // namespace

int16_t RunningLanguage(int16_t storedLanguage)
{
    return storedLanguage == 1 ? 1 : 2;
}

int PortNoFromListText(const QString &text)
{
    const double n = LeadingNumber(QStringView(text.trimmed()).mid(3));
    if (n != std::trunc(n) || n < kFirstPort || n > kLastPort)
        return 0;
    return static_cast<int>(n);
}

int ApplyPortNo(const QString &text, const QList<int> &availablePorts, AppState &state,
                SettingsStore &store)
{
    const int n = PortNoFromListText(text);
    if (n == 0)
        return 1;
    if (n != state.gPortNo && availablePorts.contains(n))
        store.writeInt(SettingsKey::PortNo, n);
    state.gPortNo = static_cast<int16_t>(n);
    return 0;
}

bool ApplyOptions(const OptionsChoice &choice, const QList<int> &availablePorts, AppState &state,
                  SettingsStore &store, AppOptions &options)
{
    ApplyPortNo(choice.portText, availablePorts, state, store);

    if (choice.changeBkCd) {
        options.mChangeBkCd = true;
        options.mCurrentDownNo = choice.currentDownCarried ? 2 : 0;
    } else {
        // The override flag stays as it was; the digit is the usual one.
        options.mCurrentDownNo = 2;
    }

    options.mParaDetailShow = choice.paraDetailShow;

    // Compared with the language the program runs in, so that a stored
    // value other than 1 or 2 does not count as a change by itself.
    state.gLanguageChanged = choice.language != RunningLanguage(state.gLanguage);

    state.gPortOccupy = choice.portOccupy;
    store.writeInt(SettingsKey::PortOccupy, choice.portOccupy ? 1 : 0);
    store.writeInt(SettingsKey::CommLogToFile, choice.commLogToFile ? 1 : 0);

    const bool pulseChanged = choice.pulsePosDisp != state.gPulsePosDisp;
    if (pulseChanged)
        state.gPulsePosDispChanged = true;
    state.gPulsePosDisp = choice.pulsePosDisp;
    store.writeInt(SettingsKey::PulsePos, choice.pulsePosDisp ? 1 : 0);
    store.sync();
    return pulseChanged;
}
