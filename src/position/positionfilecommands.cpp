#include "position/positionfilecommands.h"

#include "app/appstate.h"
#include "app/filedialogs.h"
#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "common/datafile.h"
#include "position/positionchecks.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "text/stringtable.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>

namespace {

// Messages and captions of the file commands.
enum TextId : int {
    MsgNotSelected = 444,
    MsgSelectType = 445,
    TitleOpen = 443,
    DefaultExtension = 404,
    FileFilter = 405,
    TitleSave = 523,
    TitleSaveAs = 489,
    InitialFileName = 490,
    MsgDataChanged = 481,
    MsgSaveInFile = 482,
    AppName = 479,
    MsgFinish = 480,
    NameNewData = 483,
    NameInsideCt = 433,
    MsgCommentUnstorable = 720,
    MsgWriteFailed = 721,
};

const QString kNew = QStringLiteral("NEW");
const QString kOld = QStringLiteral("OLD");

// The name a table takes from its file: the file name without extension.
QString docNameFromFile(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

// Shows the busy pointer while a file is written.
class BusyPointer
{
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

} // namespace

// Disables the command surface for the length of a command and enables it
// again however the command ends.
class PositionFileCommands::CommandLock
{
public:
    explicit CommandLock(PositionFileCommands &owner)
        : m_owner(owner)
    {
        emit m_owner.commandsLocked(true);
    }
    ~CommandLock() { emit m_owner.commandsLocked(false); }
    CommandLock(const CommandLock &) = delete;
    CommandLock &operator=(const CommandLock &) = delete;

private:
    PositionFileCommands &m_owner;
};

PositionFileCommands::PositionFileCommands(AppState &state, Prompter &prompter, FileDialogs &dialogs,
                                           PositionGrid &grid, Catalogue &catalogue, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_prompter(prompter)
    , m_dialogs(dialogs)
    , m_grid(grid)
    , m_catalogue(catalogue)
    , m_docName(LoadText(NameNewData))
    , m_lastDialogFolder(QDir::currentPath())
{
}

void PositionFileCommands::setDeviceTypeLabel(QLabel *lblDeviceType)
{
    m_lblDeviceType = lblDeviceType;
}

void PositionFileCommands::setFileNameLabel(QLabel *lblFileName)
{
    m_lblFileName = lblFileName;
}

void PositionFileCommands::setDocName(const QString &name)
{
    m_docName = name;
    if (m_lblFileName)
        m_lblFileName->setText(name);
    emit docNameChanged(name);
}

bool PositionFileCommands::hasPlaceholderName() const
{
    return m_docName == LoadText(NameNewData) || m_docName == LoadText(NameInsideCt);
}

QString PositionFileCommands::modelCaption() const
{
    if (m_lblDeviceType)
        return m_lblDeviceType->text();
    if (!m_lastCaption.isEmpty())
        return m_lastCaption;
    // The short label form shown at start-up.
    return m_state.familyCode() + QStringLiteral("-") + m_state.gDevSize + m_state.gDevSpeed
           + QStringLiteral("-") + QString::number(m_state.gDevStroke);
}

// ---------------------------------------------------------------- reading

int PositionFileCommands::ReadPosiFile(const QString &path)
{
    return ::ReadPosiFile(path, m_grid.positionData(), m_prompter);
}

bool PositionFileCommands::DecodeFileModel()
{
    const PositionData &data = m_grid.positionData();
    m_decoded.reset();
    std::optional<DecodedFileModel> decoded = DecodeModelText(data.gFileModel, data.gFileNewOld);
    if (decoded) {
        const QString family = decoded->isKT ? QStringLiteral("KT") : QStringLiteral("RW");
        if (m_catalogue.CheckDevice(decoded->selIsNewType, family, decoded->size, decoded->speed,
                                    decoded->stroke) != 0)
            decoded.reset();
    }
    if (!decoded) {
        // The model stays as it is: a text that names no listed model must
        // not leave the model half switched.
        m_prompter.tell(JoinTexts({MsgNotSelected, MsgSelectType}), Prompter::Icon::Exclamation);
        return false;
    }
    m_decoded = decoded;
    return true;
}

PositionFileContent TableFileContent(const PositionCells &cells, const PositionData &data, const QString &model,
                                     bool isNewType)
{
    PositionFileContent content;
    content.model = model;
    content.newOld = isNewType ? kNew : kOld;
    for (int i = 1; i <= 3; ++i) {
        PositionFileRow &row = content.rows.at(i - 1);
        row.vel = cells(i, PositionGrid::ColVel).trimmed();
        row.acc = cells(i, PositionGrid::ColAcc).trimmed();
        row.pulses = data.PosiDataArray.text(i, PosPulse).trimmed();
        row.comment = cells(i, PositionGrid::ColComment).trimmed();
    }
    return content;
}

void ReflectModel(AppState &state, DeviceSelection &selection, const DecodedFileModel &d)
{
    selection.gSelIsNewType = d.selIsNewType;
    state.gChkSize = d.size;
    state.gChkSpeed = d.speed;
    state.gChkStroke = d.stroke;
    state.gVType = d.vType;

    state.gIsNewType = d.selIsNewType;
    state.gDevSize = d.size;
    state.gDevSpeed = d.speed;
    state.gDevStroke = d.stroke;
    state.gVertical = d.vType;
    state.gDevTypeNo = d.devTypeNoText.toInt();
    if (d.devTypeNoText == QLatin1String("2")) {
        state.gIsKT = false;
        state.gIsNewType = false;
    } else {
        state.gIsKT = true;
    }
    state.gNewOldType = state.gIsNewType ? kNew : kOld;
    state.gDevFamily = state.familyCode();
    Culc_MaxMm(state);
}

void PositionFileCommands::ReflectFileInfo2PcSettings()
{
    if (m_grid.positionData().gFileModel.isEmpty() || !m_decoded)
        return;
    ReflectModel(m_state, m_catalogue.selection(), *m_decoded);
}

void PositionFileCommands::Disp_DevType2()
{
    const int homeCode = m_catalogue.GetHomeCode(m_state.gIsNewType, m_state.gDevFamily, m_state.gDevSize,
                                                 m_state.gDevSpeed, m_state.gDevStroke);
    m_lastCaption = DevTypeText2(m_state.familyCode(), m_state.gDevSize, m_state.gDevSpeed,
                                 m_state.gDevStroke, m_state.gIsNewType, m_state.gVType, homeCode);
    if (m_lblDeviceType)
        m_lblDeviceType->setText(m_lastCaption);
    const bool oldTypeShown = !m_state.gIsKT || !m_state.gIsNewType;
    emit deviceTypeShown(m_lastCaption, m_state.gIsKT, oldTypeShown);
}

void PositionFileCommands::fileOpen()
{
    CommandLock lock(*this);
    FileDialogs::Request request;
    request.title = LoadText(TitleOpen);
    request.defaultExtension = LoadText(DefaultExtension);
    request.filter = LoadText(FileFilter);
    request.initialFolder = m_lastDialogFolder;
    request.mustExist = true;
    const std::optional<FileDialogs::Choice> choice = m_dialogs.open(request);
    if (!choice || choice->path.isEmpty())
        return;
    m_lastDialogFolder = QFileInfo(choice->path).absolutePath();

    if (ReadPosiFile(choice->path) != 0)
        return;

    // The file's model replaces the current one only once the catalogue has
    // its lead and pulses; until then the model as it was is kept aside.
    const AppState before = m_state;
    const DeviceSelection selectionBefore = m_catalogue.selection();
    if (DecodeFileModel())
        ReflectFileInfo2PcSettings();

    const bool listRead = m_catalogue.ReadDeviceList(Catalogue::Generation::Current) == 0;
    if (listRead)
        m_catalogue.SeekRidoAndPPR();
    if (!listRead || m_catalogue.devInfoNotFound()) {
        m_catalogue.clearDevInfoNotFound();
        const bool listChanged = m_state.gDevFamily != before.gDevFamily || m_state.gIsNewType != before.gIsNewType;
        m_state = before;
        m_catalogue.selection() = selectionBefore;
        if (listChanged)
            m_catalogue.ReadDeviceList(Catalogue::Generation::Current);
        m_grid.viewport()->update();
        emit programGridRefreshRequested();
        return;
    }

    Disp_DevType2();
    PositionData &data = m_grid.positionData();
    CopyWorkPosDA2PosiDataArray(data);
    RecalcMmFromPulse(data, m_state);
    m_grid.Disp_PosiData3();

    setDocName(docNameFromFile(choice->title.isEmpty() ? choice->path : choice->title));
    data.gDataChanged = false;

    Culc_MaxPulse(m_state);
    Culc_MaxMm(m_state);
    const PulseScaleTexts scale = ShowPulseScale(m_state);
    emit pulseScaleChanged(scale.perMm, scale.perPulse);
    emit programGridRefreshRequested();
}

// ---------------------------------------------------------------- writing

bool PositionFileCommands::SaveFileAs(const QString &path)
{
    const BusyPointer busy;
    PositionData &data = m_grid.positionData();

    const PositionFileContent content = TableFileContent(
        [this](int row, int column) { return m_grid.cellText(row, column); }, data, modelCaption(),
        m_state.gIsNewType);
    QString unstorable;
    for (int i = 1; i <= 3; ++i) {
        const QString bad = UnstorableCharacters(content.rows.at(i - 1).comment);
        if (!bad.isEmpty())
            unstorable += QStringLiteral("<") + LoadText(409) + QString::number(i) + QStringLiteral(">  ") + bad
                          + QStringLiteral("\n");
    }
    if (!unstorable.isEmpty()) {
        // Refused before anything is written: the file is never saved with
        // a comment changed behind the user's back.
        m_prompter.tell(LoadText(MsgCommentUnstorable) + QStringLiteral("\n\n") + unstorable);
        return false;
    }

    const DataFileResult written = WriteDataFile(path, ComposePositionFile(content));
    if (!written.ok) {
        m_prompter.tell(LoadText(MsgWriteFailed) + QStringLiteral("\n\n") + QDir::toNativeSeparators(path)
                        + QStringLiteral("\n") + written.error);
        return false;
    }

    setDocName(docNameFromFile(path));
    data.gDataChanged = false;
    return true;
}

bool PositionFileCommands::runSaveChecks()
{
    return CheckAndTakeOver([this](int row, int column) { return m_grid.cellText(row, column); },
                            m_grid.positionData(), m_state, m_prompter, CheckPurpose::Save)
           == 0;
}

FileDialogs::Request PositionFileCommands::saveRequest(int titleId) const
{
    FileDialogs::Request request;
    request.title = LoadText(titleId);
    request.initialName = LoadText(InitialFileName);
    request.initialFolder = m_lastDialogFolder;
    request.defaultExtension = LoadText(DefaultExtension);
    request.filter = LoadText(FileFilter);
    request.confirmOverwrite = true;
    return request;
}

PositionFileCommands::SaveResult PositionFileCommands::save()
{
    CommandLock lock(*this);
    m_grid.commitEdit();
    if (!runSaveChecks())
        return SaveResult::NotSaved;

    QString path;
    if (hasPlaceholderName()) {
        const std::optional<FileDialogs::Choice> choice = m_dialogs.save(saveRequest(TitleSave));
        if (!choice || choice->path.isEmpty())
            return SaveResult::Cancelled;
        path = choice->path;
        m_lastDialogFolder = QFileInfo(path).absolutePath();
    } else {
        // Without a dialog: next to the file last chosen in one.
        path = QDir(m_lastDialogFolder).filePath(m_docName + QStringLiteral(".ktd"));
    }
    return SaveFileAs(path) ? SaveResult::Saved : SaveResult::NotSaved;
}

PositionFileCommands::SaveResult PositionFileCommands::saveAs()
{
    CommandLock lock(*this);
    m_saveAsCancelled = false;
    m_grid.commitEdit();
    if (!runSaveChecks())
        return SaveResult::NotSaved;

    const std::optional<FileDialogs::Choice> choice = m_dialogs.save(saveRequest(TitleSaveAs));
    if (!choice || choice->path.isEmpty()) {
        m_saveAsCancelled = true;
        return SaveResult::Cancelled;
    }
    m_lastDialogFolder = QFileInfo(choice->path).absolutePath();
    return SaveFileAs(choice->path) ? SaveResult::Saved : SaveResult::NotSaved;
}

void PositionFileCommands::fileSave()
{
    save();
}

void PositionFileCommands::fileSaveAs()
{
    saveAs();
}

// ---------------------------------------------------------------- new, close

bool PositionFileCommands::changesSettled()
{
    const QString question = LoadText(MsgDataChanged) + QStringLiteral(" ") + LoadText(MsgSaveInFile);
    switch (m_prompter.ask(question, Prompter::Buttons::YesNoCancel, Prompter::Icon::Question)) {
    case Prompter::Answer::Yes:
        // Only a written file settles the changes: a cancelled dialog or a
        // failed check or write keeps them on screen.
        return saveAs() == SaveResult::Saved;
    case Prompter::Answer::No:
        return true;
    default:
        return false;
    }
}

void PositionFileCommands::fileNew()
{
    m_grid.commitEdit();
    PositionData &data = m_grid.positionData();
    // The table is cleared only once its changes are saved or given up.
    if (data.gDataChanged && !changesSettled())
        return;
    InitPosiData(data, m_state);
    m_grid.Init_flgdData(true);
    data.gDataChanged = false;
    setDocName(LoadText(NameNewData));
}

QString PositionFileCommands::finishQuestion() const
{
    // Japanese puts the product name first ("KT-ED を終了します。").
    if (m_state.gLanguage == 1)
        return LoadText(AppName) + LoadText(MsgFinish);
    return LoadText(MsgFinish) + LoadText(AppName) + QStringLiteral(".");
}

PositionFileCommands::CloseAnswer PositionFileCommands::closeRequest(bool fromCloseBox, bool busy)
{
    if (busy && fromCloseBox)
        return CloseAnswer::Stay;
    m_grid.commitEdit();
    if (!m_grid.positionData().gDataChanged) {
        const Prompter::Answer a = m_prompter.ask(finishQuestion(), Prompter::Buttons::OkCancel,
                                                  Prompter::Icon::Question);
        return a == Prompter::Answer::Ok ? CloseAnswer::Close : CloseAnswer::Stay;
    }
    const bool settled = changesSettled();
    m_saveAsCancelled = false;
    return settled ? CloseAnswer::Close : CloseAnswer::Stay;
}
