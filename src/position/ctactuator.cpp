#include "position/ctactuator.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "common/numbers.h"
#include "link/commandset.h"
#include "link/controllerlink.h"
#include "link/linkmessages.h"

#include <limits>

namespace {

bool fits16(int value)
{
    return value >= 0 && value <= std::numeric_limits<int16_t>::max();
}

// One block read; the bytes of its reply, or nothing after a failure.
std::optional<std::array<uint8_t, 8>> readBlock(ControllerLink &link, Prompter &prompter,
                                                const QString &block)
{
    if (link.Send(Ctl::ReadBlock(block)) != 0)
        return std::nullopt;
    const auto bytes = Ctl::BlockBytes(link.state().gReply);
    if (!bytes)
        prompter.tell(LinkText::CommErrorMessage(), Prompter::Icon::None);
    return bytes;
}

} // namespace

QString CtActuatorText(const CtActuatorSetting &ct)
{
    return ct.size + ct.speed + u'-' + DecField(ct.stroke, 3);
}

bool DecodeCtModel(const QString &reply, CtActuatorSetting &ct)
{
    const auto b = Ctl::BlockBytes(reply);
    if (!b)
        return false;
    const int stroke = (*b)[2] * 256 + (*b)[3];
    if (!fits16(stroke))
        return false;
    QString size = QString::number((*b)[0]);
    QString speed = QString(QChar(static_cast<char16_t>((*b)[1])));
    if (speed == u"E") {
        size = u'E' + size.remove(u' ');
        speed = QStringLiteral("L");
    } else if (size.size() == 2) {
        size.prepend(u' ');
    }
    // A byte out of form (a line break for the speed, say) would become a
    // model the program cannot show, store or read back from a file.
    if (!ModelFormOk(size, speed, stroke))
        return false;
    ct.size = size;
    ct.speed = speed;
    ct.stroke = static_cast<int16_t>(stroke);
    ct.type = (*b)[4];
    return true;
}

int ReadCtActuatorSetting(ControllerLink &link, Prompter &prompter, CtActuatorSetting &ct)
{
    const auto fail = [&link] {
        link.ReleaseCommPort();
        return 1;
    };

    // Every exchange begins by putting the controller into communication
    // mode: one left in external start mode may not answer the reads.
    if (link.OpenCommPort() != 0)
        return 1;
    if (link.SetCommMode() != 0)
        return fail();

    CtActuatorSetting next = ct;
    if (link.Send(Ctl::ReadBlock(QStringLiteral("14"))) != 0 || link.state().gReply.isEmpty())
        return fail();
    if (!DecodeCtModel(link.state().gReply, next)) {
        prompter.tell(LinkText::CommErrorMessage(), Prompter::Icon::None);
        return fail();
    }

    const auto drive = readBlock(link, prompter, QStringLiteral("13"));
    if (!drive)
        return fail();
    const int pulse = (*drive)[6] * 256 + (*drive)[7];
    if (!fits16(pulse)) {
        prompter.tell(LinkText::CommErrorMessage(), Prompter::Icon::None);
        return fail();
    }
    next.lead = (*drive)[5];
    next.pulse = static_cast<int16_t>(pulse);

    const auto speeds = readBlock(link, prompter, QStringLiteral("11"));
    if (!speeds)
        return fail();
    next.vertical = (*speeds)[5] == 0;

    ct = next;
    link.ReleaseCommPort();
    return 0;
}

int CompareActuatorSetting(const AppState &state, const CtActuatorSetting &ct)
{
    const bool same = ct.size == state.gDevSize && ct.speed == state.gDevSpeed
                      && ct.stroke == state.gDevStroke && ct.type == state.gDevTypeNo
                      && ct.pulse == state.gDevPPR && ct.lead == state.gDevLead
                      && ct.vertical == state.gVertical;
    return same ? 0 : 1;
}

bool CtSettingUsable(const CtActuatorSetting &ct)
{
    return ct.lead > 0 && ct.pulse > 0;
}
