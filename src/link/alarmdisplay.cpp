#include "link/alarmdisplay.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "link/commandset.h"
#include "link/linkmessages.h"
#include "text/stringtable.h"

namespace {

// English comments stand under the alarm number plus this.
constexpr uint32_t kEnglishCodeOffset = 100;

} // namespace

AlarmDisplay::AlarmDisplay(const AppState &state, Prompter &prompter)
    : m_state(state), m_prompter(prompter)
{
    m_frame.comment = LoadText(LinkText::NoError);
}

bool AlarmDisplay::Get_ErrorList(const QString &path)
{
    if (m_list.read(path)) {
        gNoErrorList = false;
        return true;
    }
    gNoErrorList = true;
    m_prompter.tell(LinkText::ErrorListMissingMessage(), Prompter::Icon::None);
    return false;
}

AlarmDisplay::Update AlarmDisplay::Disp_AlarmState(const QString &statusReply)
{
    Update update;
    gAlarmListed = false;
    if (gNoErrorList) {
        m_prompter.tell(LinkText::ErrorListMissingMessage(), Prompter::Icon::None);
        return update;
    }

    const QString code = Ctl::AlarmCode(statusReply);
    gAlarmNo = code;
    m_frame.alarmNo = code;
    m_frame.lampOn = true;
    update.frameChanged = true;
    update.homeLampOff = code == QLatin1String(LinkText::kEmergencyStopCode);

    uint32_t value = Ctl::LeadingHexValue(code);
    if (m_state.gLanguage != 1)
        value += kEnglishCodeOffset;

    if (const std::optional<QString> comment = m_list.find(value)) {
        m_frame.comment = *comment;
        gAlarmComment = *comment;
        gAlarmListed = true;
    } else {
        m_frame.comment = LoadText(LinkText::AlarmUnlisted);
    }
    return update;
}

void AlarmDisplay::ShowNoError()
{
    m_frame.lampOn = false;
    m_frame.alarmNo.clear();
    m_frame.comment = LoadText(LinkText::NoError);
}

QString AlarmDisplay::AlarmMessage(const QString &alarmCode) const
{
    return LinkText::AlarmMessage(gAlarmListed, gAlarmNo, gAlarmComment, alarmCode);
}
