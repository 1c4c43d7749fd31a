#include "link/controllermodes.h"

#include "app/prompter.h"
#include "link/commandset.h"
#include "link/commandsurface.h"
#include "link/controllerlink.h"
#include "text/stringtable.h"

namespace {

enum TextId : int {
    AskExternalMode = 492,
    AskIsItOk = 493,
    ExternalModeFailedAdvice = 494,
    ExternalModeDone = 495,
    AskCommunicationMode = 496,
    CommunicationModeDone = 497,
    NoVersionInfo = 498,
    VersionOfCt = 499,
    ExternalModeFailed = 508,
    VersionReadFailed = 600,
    VersionIs = 601,
    VersionEnd = 602,
};

} // namespace

ControllerModes::ControllerModes(ControllerLink &link, Prompter &prompter,
                                 CommandSurface &surface, QObject *parent)
    : QObject(parent), m_link(link), m_prompter(prompter), m_surface(surface)
{
}

int ControllerModes::GetVersionNo()
{
    if (m_link.Send(Ctl::ReadVersion()) == 0) {
        gCtVersion = Ctl::DecodeVersion(m_link.state().gReply);
        emit versionTextChanged(LoadText(VersionOfCt) + gCtVersion);
        m_link.ReleaseCommPort();
        return 0;
    }
    emit versionTextChanged(LoadText(NoVersionInfo));
    if (Ctl::IsAlarmReport(m_link.state().gReply)) {
        // The controller answered with its alarm report: clear the alarm so
        // the next operation is not refused the same way. The result does
        // not matter here.
        m_link.Send(Ctl::ClearAlarm());
    }
    m_link.ReleaseCommPort();
    return 1;
}

void ControllerModes::ShowCtVersion()
{
    m_surface.setBusy(true);
    m_surface.setCommandButtonsEnabled(false);
    m_surface.setToolbarEnabled(false);
    m_surface.setMenusEnabled(false);

    int result = m_link.OpenCommPort();
    if (result == 0)
        result = m_link.SetCommMode();
    if (result == 0)
        result = GetVersionNo();

    if (result == 0) {
        m_prompter.tell(LoadText(VersionIs) + gCtVersion + LoadText(VersionEnd),
                        Prompter::Icon::None);
        m_link.ReleaseCommPort();
    } else {
        m_prompter.tell(LoadText(VersionReadFailed), Prompter::Icon::None);
    }

    m_surface.setCommandButtonsEnabled(true);
    m_surface.setToolbarEnabled(true);
    m_surface.setMenusEnabled(true);
    m_surface.setBusy(false);
}

void ControllerModes::ModeGaibu()
{
    askAndChangeMode(AskExternalMode, [this] {
        int result = m_link.OpenCommPort();
        if (result == 0)
            result = m_link.SetCommMode();
        if (result == 0)
            result = m_link.Send(Ctl::CommMode(Ctl::CtMode::External));
        if (result == 0)
            m_prompter.tell(LoadText(ExternalModeDone), Prompter::Icon::None);
        else
            m_prompter.tell(JoinTexts({ExternalModeFailed, ExternalModeFailedAdvice}),
                            Prompter::Icon::None);
    });
}

void ControllerModes::ModeTrancefer()
{
    askAndChangeMode(AskCommunicationMode, [this] {
        int result = m_link.OpenCommPort();
        if (result == 0)
            result = m_link.SetCommMode();
        if (result == 0) {
            m_link.ReleaseCommPort();
            m_prompter.tell(LoadText(CommunicationModeDone), Prompter::Icon::None);
        }
    });
}

void ControllerModes::askAndChangeMode(int question, const std::function<void()> &change)
{
    m_surface.setCommandButtonsEnabled(false);
    m_surface.setToolbarEnabled(false);

    const Prompter::Answer answer = m_prompter.ask(JoinTexts({question, AskIsItOk}),
                                                   Prompter::Buttons::YesNo,
                                                   Prompter::Icon::Question);
    if (answer == Prompter::Answer::Yes) {
        // Busy while the controller is talked to, as every operation that
        // waits for it is, so the window cannot be closed under the wait.
        m_surface.setBusy(true);
        change();
        m_surface.setBusy(false);
    }

    m_link.ReleaseCommPort();
    m_surface.setCommandButtonsEnabled(true);
    m_surface.setToolbarEnabled(true);
}

void ControllerModes::AlarmReset()
{
    m_surface.setResetButtonEnabled(false);
    m_surface.setBusy(true);

    // The transaction opens the port itself.
    if (m_link.Send(Ctl::ClearAlarm()) == 0)
        m_link.ShowNoError();

    m_link.ReleaseCommPort();
    m_surface.setResetButtonEnabled(true);
    m_surface.setBusy(false);
}

void ControllerModes::CTModeChange_Muko()
{
    m_surface.setModeMenuEnabled(false);
}

void ControllerModes::CTModeChange_Yuko()
{
    m_surface.setModeMenuEnabled(true);
}
