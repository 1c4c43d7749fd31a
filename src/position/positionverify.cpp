#include "position/positionverify.h"

#include "app/filedialogs.h"
#include "app/prompter.h"
#include "link/commandsurface.h"
#include "link/controllerlink.h"
#include "position/frmdatashogo.h"
#include "position/positionchecks.h"
#include "position/positiondata.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "text/stringtable.h"

#include <QFileInfo>

namespace {

enum TextId : int {
    TakeOverFailed = 401,
    VerifyCancelled = 402,
    OpenTitle = 403,
    Extension = 404,
    Filter = 405,
    ResultFile = 406,
    ResultNg = 407,
    Unmatched = 408,
    PositionNo = 409,
    ResultOk = 410,
    EmptySome = 475,
    ConfirmPositions = 476,
};

QString emptyLine() { return QStringLiteral("\n\n"); }

} // namespace

QString PositionVerdict(int differs, const QString &list)
{
    if (differs == 0)
        return LoadText(ResultOk);
    return LoadText(ResultNg) + emptyLine() + LoadText(Unmatched) + emptyLine() + list;
}

QList<PositionDifference> PositionDifferences(const PositionData &data, VerifySource source)
{
    QList<PositionDifference> found;
    for (int i = PositionTable::kFirstPosition; i <= PositionTable::kLastPosition; ++i) {
        for (int field : {PosVel, PosAcc, PosOut, PosPulse}) {
            if (field == PosOut && source == VerifySource::File)
                continue;
            const double loaded = data.workPosDA.number(i, field);
            const double shown = data.PosiDataArray.number(i, field);
            if (loaded != shown)
                found.append(PositionDifference{i, field, loaded, shown});
        }
    }
    return found;
}

int PosiDataSyogoProc(const PositionData &data, QString &list, VerifySource source)
{
    list.clear();
    int last = 0;
    for (const PositionDifference &d : PositionDifferences(data, source)) {
        if (d.position == last)
            continue;
        last = d.position;
        list += u'<' + LoadText(PositionNo) + QString::number(d.position, 16).toUpper() + QStringLiteral(">\n\n");
    }
    return list.isEmpty() ? 0 : 1;
}

PositionVerify::PositionVerify(PositionData &data, PositionGrid &grid, PositionTransfer &transfer,
                               PositionFileCommands &fileCommands, ControllerLink &link,
                               Prompter &prompter, FileDialogs &dialogs, CommandSurface &surface,
                               QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_data(data)
    , m_grid(grid)
    , m_transfer(transfer)
    , m_fileCommands(fileCommands)
    , m_link(link)
    , m_prompter(prompter)
    , m_dialogs(dialogs)
    , m_surface(surface)
    , m_dialogParent(dialogParent)
    , m_choose([this] { return frmDataShogo::Ask(m_dialogParent); })
{
}

void PositionVerify::tell(const QString &text)
{
    m_prompter.tell(text, Prompter::Icon::None);
}

void PositionVerify::lock()
{
    m_surface.setCommandButtonsEnabled(false);
    m_surface.setToolbarEnabled(false);
    m_surface.setMenusEnabled(false);
}

void PositionVerify::unlock()
{
    m_surface.setCommandButtonsEnabled(true);
    m_surface.setToolbarEnabled(true);
    m_surface.setMenusEnabled(true);
}

int PositionVerify::takeOver()
{
    // Flags of an earlier check (a write that found empty positions, say)
    // would make the take-over skip positions and compare stale values; the
    // whole table shown is what is verified.
    m_data.gErrPos.fill(false);
    if (m_grid.PosiDataTorikomi() != 0) {
        tell(JoinTexts({TakeOverFailed, VerifyCancelled}));
        return 1;
    }
    return 0;
}

void PositionVerify::PosiDataFileShogo()
{
    if (takeOver() != 0)
        return;

    FileDialogs::Request request;
    request.title = LoadText(OpenTitle);
    request.defaultExtension = LoadText(Extension);
    request.filter = LoadText(Filter);
    request.mustExist = true;
    const std::optional<FileDialogs::Choice> choice = m_dialogs.open(request);
    if (!choice || choice->path.isEmpty())
        return;
    if (m_fileCommands.ReadPosiFile(choice->path) != 0)
        return;

    const int differs = PosiDataSyogoProc(m_data, gShogoList, VerifySource::File);
    tell(LoadText(ResultFile) + u'(' + QFileInfo(choice->path).fileName() + u')' + emptyLine()
         + PositionVerdict(differs, gShogoList));
    m_grid.viewport()->update();
}

void PositionVerify::PosiDataCtShogo()
{
    if (takeOver() != 0)
        return;
    if (m_transfer.routines().VerifyCtCommand(gShogoList) == CommandOutcome::LinkFailed)
        return;
    m_grid.viewport()->update();
}

void PositionVerify::PosiDataShogo()
{
    lock();
    if (CheckEmptyPositions(m_grid, m_data) == 1) {
        TellEmptyPositions(m_data, m_prompter, EmptySome, ConfirmPositions);
    } else if (CheckWrongData(m_grid, m_data, m_grid.appState(), &m_prompter) == 0) {
        switch (m_choose ? m_choose() : frmDataShogo::None) {
        case frmDataShogo::File:
            PosiDataFileShogo();
            break;
        case frmDataShogo::Controller:
            m_surface.setBusy(true);
            PosiDataCtShogo();
            m_surface.setBusy(false);
            break;
        default:
            break;
        }
    }
    m_link.ReleaseCommPort();
    unlock();
    emit programGridRefreshRequested();
}

void PositionVerify::ShogoFileMenu()
{
    lock();
    PosiDataFileShogo();
    unlock();
    emit programGridRefreshRequested();
}

void PositionVerify::ShogoCtMenu()
{
    lock();
    m_surface.setBusy(true);
    PosiDataCtShogo();
    m_surface.setBusy(false);
    m_link.ReleaseCommPort();
    unlock();
    emit programGridRefreshRequested();
}
