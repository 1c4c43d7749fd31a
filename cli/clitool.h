#pragma once

#include "app/appstate.h"
#include "app/commandoutcome.h"
#include "parameters/parametertransfer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

class Catalogue;
struct DecodedFileModel;
class CommLog;
class QFile;
class CliProgress;
class CliPrompter;
class CommandSurface;
class ControllerLink;
class ControllerModes;
class SettingsStore;
struct ParameterFields;
struct ParameterSet;
struct PositionData;

// kted-cli: the position and parameter transfers and verifications of the
// program, run from a script. The commands are the program's own routines;
// the questions they ask are answered from the options and their messages
// go to standard error.
class CliTool
{
public:
    // Exit codes a script can rely on.
    enum ExitCode : int {
        ExitDone = 0,        // done, or verified equal
        ExitDiffers = 1,     // verified, and different
        ExitRefused = 2,     // refused by a check or an unanswered question
        ExitLinkFailed = 3,  // the controller did not answer as it must
        ExitFileError = 4,   // a file could not be read or written
        ExitUsage = 64,      // the command line is wrong
    };

    struct Options
    {
        QString command;
        QString file;
        std::optional<int> port;
        QString device;
        QString lang;
        bool yes = false;
        QString model;
        bool json = false;
        QString trace;
        QString timeoutScale;
    };

    CliTool();
    ~CliTool();

    // Runs the command line (without the program name); the exit code.
    int run(const QStringList &arguments);

    // Parses the command line; a usage error text when it is wrong.
    static std::optional<QString> parse(const QStringList &arguments, Options &options);

private:
    int usageError(const QString &text);
    void setUp();
    bool setPcModel();
    // Whether the catalogue lists a decoded model.
    bool isListed(const DecodedFileModel &model) const;
    // Takes a listed model over as the PC's model and looks up its lead and
    // pulses; false when the catalogue has none for it.
    bool adoptModel(const DecodedFileModel &model);
    int finish(CommandOutcome outcome);

    int ports();
    int version();
    int readParams();
    int writeParams();
    int verifyParams();
    // Opens the parameter file and runs the command on its values.
    int withParameterFile(
        const std::function<CommandOutcome(ParameterTransfer &, ParameterTransfer::Hooks &, ParameterFields &)>
            &command);

    QJsonArray parameterValues(bool fromController) const;

    int readPositions();
    int writePositions();
    int verifyPositions();
    // Reads the position file and takes its model over as the window's Open
    // does; false (told) when the file or its model cannot be used.
    bool loadPositionFile();
    QJsonArray positionValues() const;

    Options m_options;
    AppState m_state;
    std::unique_ptr<SettingsStore> m_store;
    // Declared before the link, so that it outlives the link's last signal.
    std::unique_ptr<QFile> m_trace;
    std::unique_ptr<CommLog> m_log;
    std::unique_ptr<CliPrompter> m_prompter;
    std::unique_ptr<CliProgress> m_progress;
    std::unique_ptr<CommandSurface> m_surface;
    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<ControllerLink> m_link;
    std::unique_ptr<ControllerModes> m_modes;
    std::unique_ptr<ParameterSet> m_parameters;
    std::unique_ptr<PositionData> m_positions;
    QJsonObject m_report;
    QJsonArray m_differences;
};
