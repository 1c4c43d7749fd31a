#include "link/linkmessages.h"

#include "text/stringtable.h"

namespace LinkText {

namespace {

// The piece that introduces the alarm number; it reads the same in both
// languages.
const QString kErrorNoLabel = QStringLiteral("Error No.");

} // namespace

QString EmptyLine()
{
    return QStringLiteral("\n\n");
}

QString TimeoutMessage()
{
    return JoinTexts({TimeoutTitle, TimeoutCheck, TimeoutPower, TimeoutCable});
}

QString CommErrorMessage()
{
    return LoadText(CommError);
}

QString LengthErrorMessage()
{
    return JoinTexts({LengthError, LengthWrong});
}

QString AlarmMessage(bool listed, const QString &alarmNo, const QString &comment,
                     const QString &alarmCode)
{
    QString text = LoadText(CommError) + EmptyLine();
    if (!listed)
        return text + QLatin1Char('[') + comment + QLatin1Char(']');
    text += kErrorNoLabel + alarmNo + EmptyLine();
    text += QLatin1Char('[') + comment + QLatin1Char(']') + EmptyLine();
    const bool emergencyStop = alarmCode == QLatin1String(kEmergencyStopCode);
    return text + LoadText(emergencyStop ? EmergencyStopAdvice : ResetAdvice);
}

QString PortLabel(int portNo, const QString &device)
{
    QString label = QStringLiteral("COM") + QString::number(portNo);
    if (!device.isEmpty() && device != label)
        label += QStringLiteral(" (") + device + QLatin1Char(')');
    return label;
}

QString PortOpenFailedMessage()
{
    return LoadText(PortOpenFailed);
}

QString PortAccessDeniedMessage(int portNo, const QString &device)
{
    QString text = LoadText(PortOpenFailed) + EmptyLine() + LoadText(PortAccessDenied)
                   + EmptyLine() + PortLabel(portNo, device);
#ifdef Q_OS_LINUX
    text += EmptyLine() + LoadText(PortAccessLinux);
#endif
    return text;
}

QString PortLostMessage(int portNo, const QString &device)
{
    return LoadText(PortLost) + EmptyLine() + PortLabel(portNo, device) + EmptyLine()
           + LoadText(PortLostAdvice);
}

QString ErrorListMissingMessage()
{
    return JoinTexts({ErrorListMissing, ErrorListInstall});
}

QString HomingFailureMessage()
{
    QString text;
    for (int id = HomingFailureFirst; id <= HomingFailureLast; ++id) {
        if (!text.isEmpty())
            text += EmptyLine();
        text += LoadText(id);
    }
    return text;
}

} // namespace LinkText
