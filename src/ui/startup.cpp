#include "ui/startup.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "app/selectiondialog.h"
#include "app/settingsstore.h"
#include "app/splashwindow.h"
#include "catalogue/catalogue.h"
#include "position/conversions.h"
#include "position/waitmsec.h"
#include "text/stringtable.h"
#include "ui/mainwindow.h"
#include "ui/qttranslation.h"

#include <QCoreApplication>

#include <cstdint>

namespace {

// A stored switch is on for any non-zero value taken as an unsigned 16-bit
// number, negative values included.
bool storedFlag(const SettingsStore &store, const QString &key, int defaultValue)
{
    return static_cast<uint16_t>(store.readInt(key, defaultValue)) != 0;
}

} // namespace

QString HelpFilePath(const QString &programDir, const QString &fileName)
{
    if (programDir.endsWith(u'/') || programDir.endsWith(u'\\'))
        return programDir + fileName;
    return programDir + u'/' + fileName;
}

StartUp::StartUp(AppState &state, SettingsStore &store, Prompter &prompter, Catalogue &catalogue)
    : m_state(state)
    , m_store(store)
    , m_prompter(prompter)
    , m_catalogue(catalogue)
{
}

StartUp::~StartUp() = default;

void StartUp::readSettings()
{
    m_state.gLanguageChanged = false;
    m_state.gLanguage = static_cast<int16_t>(m_store.readInt(SettingsKey::Language, 1));
    m_state.gLangOffset = LangOffsetFor(m_state.gLanguage);
    SetLangOffset(m_state.gLangOffset);
    UseQtTranslation(m_state.gLanguage == 1);

    m_state.gPortOccupy = storedFlag(m_store, SettingsKey::PortOccupy, 0);
    m_state.gPulsePosDisp = storedFlag(m_store, SettingsKey::PulsePos, 0);
    m_state.gMmRoundUp = storedFlag(m_store, SettingsKey::MmRoundUp, 1);
}

std::unique_ptr<MainWindow> StartUp::run()
{
    // 1. The splash window for two seconds.
    if (m_showSplash) {
        SplashWindow splash;
        splash.showForTwoSeconds();
    }
    // 2, 3. Language and options.
    readSettings();

    auto window = std::make_unique<MainWindow>(m_state, m_store, m_prompter);
    // 4. The help file beside the program.
    window->helpFile = HelpFilePath(
        m_programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_programDir,
        QStringLiteral("ktedhlp.html"));
    if (m_hooks.windowCreated)
        m_hooks.windowCreated(*window);

    // 5. The main window with its load step; its place is remembered in
    // twips for the dialogs that place themselves beside it.
    window->Form_Load();
    window->show();
    m_state.gMainTop = window->y() * 15;
    m_state.gMainLeft = window->x() * 15;

    // 6. Read the model from the controller, or set it offline?
    const QString title = LoadText(210);
    const QString prompt = LoadText(211);
    const QString fromController = LoadText(212);
    const QString offline = LoadText(213);
    const int choice = m_hooks.choose
                           ? m_hooks.choose(title, prompt, fromController, offline)
                           : ShowSelection(m_state, title, prompt, fromController, offline, 1,
                                           window.get());

    // 7, 8.
    if (choice == SelectionDialog::FirstChoice && controllerPath(*window))
        m_source = ModelSource::Controller;
    else {
        m_source = ModelSource::Offline;
        offlinePath(*window);
    }
    return window;
}

bool StartUp::controllerPath(MainWindow &window)
{
    if (m_hooks.readFromController) {
        if (!m_hooks.readFromController(window))
            return false;
        window.StartFocusDummy();
        return true;
    }
    if (!m_hooks.readActuator)
        return false;
    if (m_hooks.showProgress)
        m_hooks.showProgress(LoadText(448), 4);
    auto progress = [this](int value) {
        if (m_hooks.setProgress)
            m_hooks.setProgress(value);
    };

    const std::optional<CtActuatorSetting> ct = m_hooks.readActuator();
    if (ct) {
        SetDevFromCt(m_state, *ct);
        window.ShowCtModelType(ct->type);
        SaveDevSetting(m_state, m_store);
        progress(1);
        m_catalogue.ReadDeviceList(Catalogue::Generation::Current);
        m_state.gDevFamily = m_state.familyCode();
        Culc_MaxPulse(m_state);
        progress(2);
        Culc_MaxMm(m_state);
        progress(3);
        window.Disp_DevType();
        window.ShowPulseScale();
        progress(4);
        WaitMsec(1000);
        window.StartFocusDummy();
    }
    if (m_hooks.closeProgress)
        m_hooks.closeProgress();
    return ct.has_value();
}

void StartUp::establishedModel(MainWindow &window)
{
    m_state.gDevFamily = m_state.familyCode();
    m_catalogue.ReadDeviceList(Catalogue::Generation::Current);
    m_catalogue.SeekRidoAndPPR();
    Culc_MaxPulse(m_state);
    Culc_MaxMm(m_state);
    window.Disp_DevType();
    window.ShowPulseScale();
}

void StartUp::offlinePath(MainWindow &window)
{
    // The old-type label follows the stored generation.
    window.ShowOldTypeLabel(m_store.readInt(SettingsKey::NewType, 1) != 1);
    if (ReadDevSetting(m_state, m_store, m_catalogue) == 0) {
        establishedModel(window);
    } else {
        // A stored model that cannot be used would leave no model at all:
        // no label, no scale and a table that refuses every millimetre
        // value. The first-run model stands in, and the user is told.
        m_prompter.ask(JoinTexts({441, 571}) + QStringLiteral("\n\n") + LoadText(803), Prompter::Buttons::Ok,
                       Prompter::Icon::Exclamation);
        UseFirstRunModel(m_state);
        window.ShowOldTypeLabel(!m_state.gIsNewType);
        establishedModel(window);
    }

    // The user confirms or changes the model in the device selection
    // dialog, and the model is then taken as the dialog left it.
    if (m_hooks.selectDevice) {
        m_hooks.selectDevice(window);
        establishedModel(window);
    }
    window.StartFocusDummy();
}
