#include "clitool.h"

#include <QCoreApplication>

// kted-cli: sets up a controller from a script, without a window or a
// display. See "kted-cli --help" and the README for the commands.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KT-ED"));
    QCoreApplication::setOrganizationName(QStringLiteral("KT-ED"));
    CliTool tool;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return tool.run(arguments);
}
