#include "parameters/startupctread.h"

#include "app/appstate.h"
#include "app/devsetting.h"
#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "link/controllerlink.h"
#include "link/progresssink.h"
#include "position/conversions.h"
#include "position/ctactuator.h"
#include "position/waitmsec.h"
#include "text/stringtable.h"

namespace {

enum TextId : int { Reading = 448, DeviceInfoMissing = 575 };
constexpr int kSteps = 4;

} // namespace

int StartupReadFromCt(AppState &state, SettingsStore &settings, Catalogue &catalogue,
                      ControllerLink &link, Prompter &prompter, ProgressSink &progress,
                      const std::function<void()> &showModel)
{
    // The port is opened before the progress window shows, so that a port
    // that cannot be opened is told without an empty progress window
    // behind the message.
    if (link.OpenCommPort() != 0)
        return 1;
    progress.start(LoadText(Reading), kSteps);
    const auto fallBack = [&progress] {
        progress.finish();
        return 1;
    };

    CtActuatorSetting ct;
    if (ReadCtActuatorSetting(link, prompter, ct) != 0)
        return fallBack();
    if (!CtSettingUsable(ct)) {
        // A lead or pulse count of 0 cannot convert anything: choose offline.
        prompter.tell(LoadText(DeviceInfoMissing), Prompter::Icon::None);
        return fallBack();
    }

    SetDevFromCt(state, ct);
    SaveDevSetting(state, settings);
    progress.setProgress(1);
    catalogue.ReadDeviceList(Catalogue::Generation::Current);
    state.gDevFamily = state.familyCode();
    Culc_MaxPulse(state);
    progress.setProgress(2);
    Culc_MaxMm(state);
    progress.setProgress(3);
    if (showModel)
        showModel();
    progress.setProgress(kSteps);
    WaitMsec(1000);
    progress.finish();
    return 0;
}
