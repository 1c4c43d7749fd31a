#include "clitool.h"

#include "cliprogress.h"
#include "cliprompter.h"

#include "app/devsetting.h"
#include "app/settingsstore.h"
#include "app/version.h"
#include "catalogue/catalogue.h"
#include "catalogue/listfiles.h"
#include "link/commandsurface.h"
#include "link/commlog.h"
#include "link/controllerlink.h"
#include "link/controllermodes.h"
#include "link/portnames.h"
#include "parameters/parameterfields.h"
#include "parameters/parameterfile.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "common/datafile.h"
#include "position/conversions.h"
#include "position/positionchecks.h"
#include "position/positiondata.h"
#include "position/positionfile.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "position/positionroutines.h"
#include "position/positionverify.h"
#include "text/stringtable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSerialPortInfo>

#include <cstdio>
#include <utility>

namespace {

enum TextId : int {
    VersionLine = 1069,
    ControllerVersionLine = 1070,
    Usage = 1060,
    UnknownCommand = 1061,
    FileNeeded = 1062,
    BadOption = 1063,
    NoPorts = 1064,
    BadModel = 1066,
    TraceUnwritable = 1071,
    OpenError = 424,
    ConversionError = 417,
    WriteError = 436,
    VersionFailed = 600,
    PositionNo = 409,
    NotSelected = 444,
    SelectType = 445,
    TakeOverFailed = 401,
    VerifyCancelled = 402,
    EmptySome = 475,
    ConfirmPositions = 476,
    WriteFailed = 721,
    HeaderVel = 13,
    HeaderAcc = 14,
    HeaderOut = 15,
    HeaderPulses = 16,
};

// The controller commands and whether each needs a file.
bool needsFile(const QString &command)
{
    static const QStringList withFile{
        QStringLiteral("read-positions"), QStringLiteral("write-positions"), QStringLiteral("verify-positions"),
        QStringLiteral("read-params"),    QStringLiteral("write-params"),    QStringLiteral("verify-params"),
    };
    return withFile.contains(command);
}

bool knownCommand(const QString &command)
{
    return needsFile(command) || command == QLatin1String("ports") || command == QLatin1String("version");
}

// Nothing of the window's command groups exists here.
class NoSurface : public CommandSurface
{
public:
    void setCommandButtonsEnabled(bool) override {}
    void setToolbarEnabled(bool) override {}
    void setMenusEnabled(bool) override {}
    void setResetButtonEnabled(bool) override {}
    void setModeMenuEnabled(bool) override {}
    void setBusy(bool) override {}
};

QString outcomeName(CommandOutcome outcome)
{
    switch (outcome) {
    case CommandOutcome::Done: return QStringLiteral("done");
    case CommandOutcome::Differs: return QStringLiteral("different");
    case CommandOutcome::Refused: return QStringLiteral("refused");
    case CommandOutcome::LinkFailed: return QStringLiteral("communication-failure");
    case CommandOutcome::FileError: return QStringLiteral("file-error");
    }
    return QString();
}

int exitCodeOf(CommandOutcome outcome)
{
    switch (outcome) {
    case CommandOutcome::Done: return CliTool::ExitDone;
    case CommandOutcome::Differs: return CliTool::ExitDiffers;
    case CommandOutcome::Refused: return CliTool::ExitRefused;
    case CommandOutcome::LinkFailed: return CliTool::ExitLinkFailed;
    case CommandOutcome::FileError: return CliTool::ExitFileError;
    }
    return CliTool::ExitUsage;
}

// A parameter's name as the parameter window labels it, without the
// blank that aligns the numbers.
QString parameterName(int number)
{
    return LoadText(ParameterInfoOf(number).labelId).trimmed();
}

// The value of parameter n held in the variables, as the file writes it.
QString variableText(const ParameterSet &set, int number)
{
    if (number == 18)
        return set.gParaVertical.toText();
    if (number == 22)
        return set.gParaActuator;
    return QString::number(set.numericValue(number));
}

} // namespace

CliTool::CliTool() = default;
CliTool::~CliTool() = default;

std::optional<QString> CliTool::parse(const QStringList &arguments, Options &options)
{
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString arg = arguments.at(i);
        QString value;
        bool hasValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(u'=')) {
            value = arg.mid(arg.indexOf(u'=') + 1);
            arg = arg.left(arg.indexOf(u'='));
            hasValue = true;
        }
        const auto takeValue = [&]() -> std::optional<QString> {
            if (hasValue)
                return value;
            if (i + 1 < arguments.size())
                return arguments.at(++i);
            return std::nullopt;
        };
        if (arg == QLatin1String("--yes") && !hasValue) {
            options.yes = true;
        } else if (arg == QLatin1String("--json") && !hasValue) {
            options.json = true;
        } else if (arg == QLatin1String("--port")) {
            const std::optional<QString> v = takeValue();
            bool ok = false;
            const int n = v ? v->toInt(&ok) : 0;
            if (!ok || !IsValidPortNo(n))
                return LoadText(BadOption) + arg + (v ? u' ' + *v : QString());
            options.port = n;
        } else if (arg == QLatin1String("--lang")) {
            const std::optional<QString> v = takeValue();
            if (!v || (*v != QLatin1String("ja") && *v != QLatin1String("en")))
                return LoadText(BadOption) + arg + (v ? u' ' + *v : QString());
            options.lang = *v;
        } else if (arg == QLatin1String("--timeout-scale")) {
            const std::optional<QString> v = takeValue();
            bool ok = false;
            const double f = v ? v->toDouble(&ok) : 0.0;
            if (!ok || f <= 0.0 || f > 1.0)
                return LoadText(BadOption) + arg + (v ? u' ' + *v : QString());
            options.timeoutScale = *v;
        } else if (arg == QLatin1String("--device") || arg == QLatin1String("--model")
                   || arg == QLatin1String("--trace")) {
            const std::optional<QString> v = takeValue();
            if (!v || v->isEmpty())
                return LoadText(BadOption) + arg;
            (arg == QLatin1String("--device") ? options.device
                                              : arg == QLatin1String("--model") ? options.model : options.trace)
                = *v;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return LoadText(BadOption) + arguments.at(i);
        } else {
            positional.append(arg);
        }
    }
    if (positional.isEmpty())
        return LoadText(Usage);
    options.command = positional.takeFirst();
    if (!knownCommand(options.command))
        return LoadText(UnknownCommand) + options.command;
    if (needsFile(options.command)) {
        if (positional.isEmpty())
            return LoadText(FileNeeded);
        options.file = positional.takeFirst();
    }
    if (!positional.isEmpty())
        return LoadText(BadOption) + positional.first();
    return std::nullopt;
}

int CliTool::run(const QStringList &arguments)
{
    m_store = std::make_unique<SettingsStore>();
    // The language first, so that even a usage error reads in it.
    m_state.gLanguage = static_cast<int16_t>(m_store->readInt(SettingsKey::Language, 1));
    const qsizetype lang = arguments.indexOf(QStringLiteral("--lang"));
    if (lang >= 0 && lang + 1 < arguments.size())
        m_state.gLanguage = arguments.at(lang + 1) == QLatin1String("en") ? 2 : 1;
    for (const QString &a : arguments) {
        if (a.startsWith(QLatin1String("--lang=")))
            m_state.gLanguage = a.mid(7) == QLatin1String("en") ? 2 : 1;
    }
    m_state.gLangOffset = LangOffsetFor(m_state.gLanguage);
    SetLangOffset(m_state.gLangOffset);

    m_prompter = std::make_unique<CliPrompter>(false, stderr);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        m_prompter->print(LoadText(Usage));
        return ExitDone;
    }
    if (const std::optional<QString> error = parse(arguments, m_options))
        return usageError(*error);

    m_prompter = std::make_unique<CliPrompter>(m_options.yes, stderr);
    m_report.insert(QStringLiteral("command"), m_options.command);
    if (!m_options.trace.isEmpty()) {
        m_trace = std::make_unique<QFile>(m_options.trace);
        if (!m_trace->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            m_prompter->print(LoadText(TraceUnwritable) + QDir::toNativeSeparators(m_options.trace));
            m_trace.reset();
            return finish(CommandOutcome::FileError);
        }
    }
    if (!m_options.file.isEmpty())
        m_report.insert(QStringLiteral("file"), m_options.file);
    setUp();

    if (m_options.command == QLatin1String("ports"))
        return ports();
    if (m_options.command == QLatin1String("version"))
        return version();
    if (!setPcModel())
        return usageError(LoadText(BadModel) + m_options.model);
    const std::pair<const char *, int (CliTool::*)()> commands[] = {
        {"read-params", &CliTool::readParams},         {"write-params", &CliTool::writeParams},
        {"verify-params", &CliTool::verifyParams},     {"read-positions", &CliTool::readPositions},
        {"write-positions", &CliTool::writePositions}, {"verify-positions", &CliTool::verifyPositions},
    };
    for (const auto &[name, command] : commands) {
        if (m_options.command == QLatin1String(name))
            return (this->*command)();
    }
    return usageError(LoadText(UnknownCommand) + m_options.command);
}

int CliTool::usageError(const QString &text)
{
    m_prompter->print(text);
    if (m_options.json) {
        QJsonObject report = m_report;
        report.insert(QStringLiteral("outcome"), QStringLiteral("usage-error"));
        report.insert(QStringLiteral("exitCode"), ExitUsage);
        report.insert(QStringLiteral("messages"), QJsonArray{text});
        std::fputs(QJsonDocument(report).toJson(QJsonDocument::Compact).append('\n').constData(), stdout);
    }
    return ExitUsage;
}

void CliTool::setUp()
{
    if (!m_options.timeoutScale.isEmpty())
        qputenv("KTED_TIME_SCALE", m_options.timeoutScale.toLatin1());

    // The port is released after every command: a script may run the next
    // command, or another program, on it at once.
    m_state.gPortOccupy = false;
    m_state.gPortNo = static_cast<int16_t>(m_options.port.value_or(m_store->readInt(SettingsKey::PortNo, 1)));
    if (!IsValidPortNo(m_state.gPortNo))
        m_state.gPortNo = 1;
    if (!m_options.device.isEmpty()) {
        // The device named on the command line stands for the port number.
        qputenv(PortEnvironmentVariable(m_state.gPortNo).toLatin1().constData(),
                QFile::encodeName(m_options.device));
    }

    m_progress = std::make_unique<CliProgress>(stderr);
    m_surface = std::make_unique<NoSurface>();
    m_catalogue = std::make_unique<Catalogue>(m_state, *m_prompter, ListFileDir());
    m_link = std::make_unique<ControllerLink>(m_state, *m_store, *m_prompter);
    m_link->Get_ErrorList();
    if (m_trace) {
        // The communication log of the program, line by line into the file.
        m_log = std::make_unique<CommLog>();
        m_link->attachLog(*m_log);
        QObject::connect(m_log.get(), &CommLog::entryRecorded, [this](const CommLogEntry &entry) {
            m_trace->write((CommLog::FormatLine(entry) + u'\n').toUtf8());
            m_trace->flush();
        });
    }
    m_modes = std::make_unique<ControllerModes>(*m_link, *m_prompter, *m_surface);
    m_parameters = std::make_unique<ParameterSet>();
    m_positions = std::make_unique<PositionData>();
}

bool CliTool::isListed(const DecodedFileModel &model) const
{
    const QString family = model.isKT ? QStringLiteral("KT") : QStringLiteral("RW");
    return m_catalogue->CheckDevice(model.selIsNewType, family, model.size, model.speed, model.stroke) == 0;
}

bool CliTool::adoptModel(const DecodedFileModel &model)
{
    ReflectModel(m_state, m_catalogue->selection(), model);
    if (m_catalogue->ReadDeviceList(Catalogue::Generation::Current) != 0)
        return false;
    m_catalogue->SeekRidoAndPPR();
    return !m_catalogue->devInfoNotFound();
}

bool CliTool::setPcModel()
{
    ReadDevSetting(m_state, *m_store, *m_catalogue);
    if (!m_options.model.isEmpty()) {
        // "KT-28L-100" names the new generation of a KT model, "KT-28L-100
        // OLD" the old one, as a position file's model line does.
        QStringList words = m_options.model.split(u' ', Qt::SkipEmptyParts);
        QString newOld = QStringLiteral("NEW");
        if (words.size() > 1 && (words.last() == QLatin1String("OLD") || words.last() == QLatin1String("NEW")))
            newOld = words.takeLast();
        const std::optional<DecodedFileModel> decoded = DecodeModelText(words.join(u' '), newOld);
        if (!decoded || !isListed(*decoded) || !adoptModel(*decoded))
            return false;
    }
    m_catalogue->ReadDeviceList(Catalogue::Generation::Current);
    Culc_MaxPulse(m_state);
    Culc_MaxMm(m_state);
    return true;
}

int CliTool::finish(CommandOutcome outcome)
{
    if (m_log)
        m_log->flush();
    const int code = exitCodeOf(outcome);
    if (m_options.json) {
        QJsonObject report = m_report;
        report.insert(QStringLiteral("outcome"), outcomeName(outcome));
        report.insert(QStringLiteral("exitCode"), code);
        report.insert(QStringLiteral("messages"), QJsonArray::fromStringList(m_prompter->messages()));
        if (!m_differences.isEmpty() || outcome == CommandOutcome::Differs)
            report.insert(QStringLiteral("differences"), m_differences);
        std::fputs(QJsonDocument(report).toJson(QJsonDocument::Compact).append('\n').constData(), stdout);
        std::fflush(stdout);
    }
    return code;
}

// --- ports and version ----------------------------------------------------------

int CliTool::ports()
{
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    QJsonArray list;
    for (int n = kFirstPortNo; n <= kLastPortNo; ++n) {
        const QString device = PortDevice(n, *m_store);
        if (device.isEmpty())
            continue;
        QString description;
        for (const QSerialPortInfo &info : infos) {
            if (info.systemLocation() == device)
                description = info.description();
        }
        list.append(QJsonObject{{QStringLiteral("port"), n},
                                {QStringLiteral("device"), device},
                                {QStringLiteral("description"), description}});
        if (!m_options.json)
            std::fputs(QStringLiteral("%1\t%2\t%3\n").arg(n).arg(device, description).toUtf8().constData(), stdout);
    }
    if (list.isEmpty())
        m_prompter->print(LoadText(NoPorts));
    m_report.insert(QStringLiteral("ports"), list);
    return finish(CommandOutcome::Done);
}

int CliTool::version()
{
    const QString program = VersionNumberText();
    m_report.insert(QStringLiteral("version"), program);
    if (!m_options.json)
        std::fputs((LoadText(VersionLine) + program + u'\n').toUtf8().constData(), stdout);
    if (!m_options.port && m_options.device.isEmpty())
        return finish(CommandOutcome::Done);

    // The controller's version as well, when a port was named.
    if (m_link->OpenCommPort() != 0 || m_link->SetCommMode() != 0) {
        m_link->ReleaseCommPort();
        return finish(CommandOutcome::LinkFailed);
    }
    if (m_modes->GetVersionNo() != 0) {
        m_prompter->tell(LoadText(VersionFailed));
        return finish(CommandOutcome::LinkFailed);
    }
    m_report.insert(QStringLiteral("controllerVersion"), m_modes->gCtVersion);
    if (!m_options.json)
        std::fputs((LoadText(ControllerVersionLine) + m_modes->gCtVersion + u'\n').toUtf8().constData(), stdout);
    return finish(CommandOutcome::Done);
}

// --- parameters -----------------------------------------------------------------

QJsonArray CliTool::parameterValues(bool fromController) const
{
    QJsonArray values;
    for (int n = 1; n <= ParameterCount; ++n) {
        const QString text = fromController ? m_parameters->ParaDA.at(static_cast<size_t>(n)).toText()
                                            : variableText(*m_parameters, n);
        values.append(QJsonObject{{QStringLiteral("number"), n},
                                  {QStringLiteral("name"), parameterName(n)},
                                  {QStringLiteral("value"), text}});
    }
    return values;
}

int CliTool::readParams()
{
    ParameterTransfer transfer(m_state, *m_parameters, *m_link, *m_prompter, *m_progress);
    const CommandOutcome read = transfer.ReadCommand({});
    if (read != CommandOutcome::Done)
        return finish(read);
    m_report.insert(QStringLiteral("values"), parameterValues(true));

    // Saved as the parameter window saves what it shows.
    ParameterFields fields;
    ShowParameters(*m_parameters, false, fields);
    if (RunParameterPreChecks(fields, *m_parameters, *m_catalogue, *m_prompter) != 0)
        return finish(CommandOutcome::Refused);
    if (SaveParaFileAs(m_options.file, *m_parameters) != 0) {
        m_prompter->tell(LoadText(WriteError), Prompter::Icon::None);
        return finish(CommandOutcome::FileError);
    }
    return finish(CommandOutcome::Done);
}

int CliTool::withParameterFile(
    const std::function<CommandOutcome(ParameterTransfer &, ParameterTransfer::Hooks &, ParameterFields &)> &command)
{
    if (OpenParaFile(m_options.file, QFileInfo(m_options.file).fileName(), *m_parameters, *m_prompter) != 0) {
        m_prompter->tell(LoadText(OpenError), Prompter::Icon::None);
        return finish(CommandOutcome::FileError);
    }
    if (ParaDA2Hensu(*m_parameters) != 0) {
        m_prompter->tell(LoadText(ConversionError), Prompter::Icon::None);
        return finish(CommandOutcome::FileError);
    }
    // The file's values stand in the parameter window's fields, as after
    // opening the file there.
    ParameterFields fields;
    ShowParameters(*m_parameters, false, fields);
    ParameterTransfer transfer(m_state, *m_parameters, *m_link, *m_prompter, *m_progress);
    ParameterTransfer::Hooks hooks;
    hooks.preChecks = [&] { return RunParameterPreChecks(fields, *m_parameters, *m_catalogue, *m_prompter); };
    return finish(command(transfer, hooks, fields));
}

int CliTool::writeParams()
{
    return withParameterFile([this](ParameterTransfer &transfer, ParameterTransfer::Hooks &hooks,
                                    ParameterFields &fields) {
        const CommandOutcome outcome
            = transfer.WriteCommand(fields.defaultBox == ParameterFields::DefaultBox::Checked, hooks);
        if (outcome == CommandOutcome::Done)
            m_report.insert(QStringLiteral("values"), parameterValues(false));
        return outcome;
    });
}

int CliTool::verifyParams()
{
    return withParameterFile([this](ParameterTransfer &transfer, ParameterTransfer::Hooks &hooks,
                                    ParameterFields &) {
        const CommandOutcome outcome = transfer.VerifyCtCommand(false, hooks);
        if (outcome == CommandOutcome::Done || outcome == CommandOutcome::Differs) {
            for (const QString &n : m_parameters->gParaUnmatchNo.split(u',', Qt::SkipEmptyParts)) {
                const int number = n.toInt();
                m_differences.append(QJsonObject{
                    {QStringLiteral("name"), parameterName(number)},
                    {QStringLiteral("file"), variableText(*m_parameters, number)},
                    {QStringLiteral("controller"), m_parameters->ParaDA.at(static_cast<size_t>(number)).toText()}});
            }
        }
        return outcome;
    });
}

// --- positions ------------------------------------------------------------------

QJsonArray CliTool::positionValues() const
{
    QJsonArray rows;
    const PositionTable &t = m_positions->PosiDataArray;
    for (int i = PositionTable::kFirstPosition; i <= PositionTable::kLastPosition; ++i) {
        rows.append(QJsonObject{{QStringLiteral("position"), i},
                                {QStringLiteral("vel"), t.number(i, PosVel)},
                                {QStringLiteral("acc"), t.number(i, PosAcc)},
                                {QStringLiteral("out"), t.number(i, PosOut)},
                                {QStringLiteral("pulses"), t.number(i, PosPulse)},
                                {QStringLiteral("mm"), ShownCellText(t, i, PositionGrid::ColMm).trimmed()},
                                {QStringLiteral("comment"), t.text(i, PosComment)}});
    }
    return rows;
}

bool CliTool::loadPositionFile()
{
    PositionData &data = *m_positions;
    if (ReadPosiFile(m_options.file, data, *m_prompter) != 0)
        return false;
    // The file's model becomes the PC's model, as opening it in the window
    // does; a model text that names no listed model leaves the model as it was.
    std::optional<DecodedFileModel> decoded = DecodeModelText(data.gFileModel, data.gFileNewOld);
    if (decoded && !isListed(*decoded))
        decoded.reset();
    if (!decoded)
        m_prompter->tell(JoinTexts({NotSelected, SelectType}), Prompter::Icon::Exclamation);
    else if (!adoptModel(*decoded))
        return false;
    CopyWorkPosDA2PosiDataArray(data);
    RecalcMmFromPulse(data, m_state);
    Culc_MaxPulse(m_state);
    Culc_MaxMm(m_state);
    return true;
}

int CliTool::readPositions()
{
    PositionRoutines routines(m_state, *m_positions, *m_link, *m_modes, *m_prompter, *m_progress);
    bool adopted = false;
    const CommandOutcome read = routines.GetCommand([&adopted] { adopted = true; });
    if (read != CommandOutcome::Done)
        return finish(read);
    m_link->ReleaseCommPort();
    CopyWorkPosDA2PosiDataArray(*m_positions);
    RecalcMmFromPulse(*m_positions, m_state);
    m_report.insert(QStringLiteral("values"), positionValues());
    if (CheckAndTakeOver(ShownCells(*m_positions), *m_positions, m_state, *m_prompter, CheckPurpose::Save) != 0)
        return finish(CommandOutcome::Refused);

    // Saved as the main window saves the table it shows: the model label is
    // the short form of the start-up, or the long form once the
    // controller's model was taken over.
    const QString model = adopted ? DevTypeText2(m_state.familyCode(), m_state.gDevSize, m_state.gDevSpeed,
                                                 m_state.gDevStroke, m_state.gIsNewType, m_state.gVType,
                                                 m_catalogue->GetHomeCode(m_state.gIsNewType, m_state.gDevFamily,
                                                                          m_state.gDevSize, m_state.gDevSpeed,
                                                                          m_state.gDevStroke))
                                  : DevTypeText(m_state);
    const PositionFileContent content
        = TableFileContent(ShownCells(*m_positions), *m_positions, model, m_state.gIsNewType);
    const DataFileResult written = WriteDataFile(m_options.file, ComposePositionFile(content));
    if (!written.ok) {
        m_prompter->tell(LoadText(WriteFailed) + QStringLiteral("\n\n") + QDir::toNativeSeparators(m_options.file)
                         + u'\n' + written.error);
        return finish(CommandOutcome::FileError);
    }
    return finish(CommandOutcome::Done);
}

int CliTool::writePositions()
{
    if (!loadPositionFile())
        return finish(CommandOutcome::FileError);
    if (CheckAndTakeOver(ShownCells(*m_positions), *m_positions, m_state, *m_prompter, CheckPurpose::Write) != 0)
        return finish(CommandOutcome::Refused);
    PositionRoutines routines(m_state, *m_positions, *m_link, *m_modes, *m_prompter, *m_progress);
    const CommandOutcome outcome = routines.LoadCommand();
    if (outcome == CommandOutcome::Done)
        m_report.insert(QStringLiteral("values"), positionValues());
    return finish(outcome);
}

int CliTool::verifyPositions()
{
    if (!loadPositionFile())
        return finish(CommandOutcome::FileError);
    // The checks of the window's verify button, then its take-over.
    PositionData &data = *m_positions;
    const PositionCells cells = ShownCells(data);
    if (CheckEmptyPositions(cells, data) == 1) {
        TellEmptyPositions(data, *m_prompter, EmptySome, ConfirmPositions);
        return finish(CommandOutcome::Refused);
    }
    if (CheckWrongData(cells, data, m_state, m_prompter.get()) == 1)
        return finish(CommandOutcome::Refused);
    data.gErrPos.fill(false);
    if (TakeOverPositions(cells, data, m_state) != 0) {
        m_prompter->tell(JoinTexts({TakeOverFailed, VerifyCancelled}), Prompter::Icon::None);
        return finish(CommandOutcome::Refused);
    }

    PositionRoutines routines(m_state, data, *m_link, *m_modes, *m_prompter, *m_progress);
    QString list;
    const CommandOutcome outcome = routines.VerifyCtCommand(list);
    if (outcome == CommandOutcome::Done || outcome == CommandOutcome::Differs) {
        const auto fieldName = [](int field) {
            switch (field) {
            case PosVel: return LoadText(HeaderVel);
            case PosAcc: return LoadText(HeaderAcc);
            case PosOut: return LoadText(HeaderOut);
            default: return LoadText(HeaderPulses);
            }
        };
        for (const PositionDifference &d : PositionDifferences(data)) {
            m_differences.append(QJsonObject{
                {QStringLiteral("name"),
                 LoadText(PositionNo).trimmed() + QString::number(d.position) + u' ' + fieldName(d.field)},
                {QStringLiteral("file"), d.shown},
                {QStringLiteral("controller"), d.loaded}});
        }
    }
    return finish(outcome);
}
