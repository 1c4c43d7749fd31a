#include "printing/printcommand.h"

#include "app/appoptions.h"
#include "app/appstate.h"
#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "link/commandsurface.h"
#include "link/progresssink.h"
#include "parameters/parameterfile.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "position/positionchecks.h"
#include "position/positiondata.h"
#include "position/positionfile.h"
#include "position/positiongrid.h"
#include "printing/printoutput.h"
#include "text/stringtable.h"

#include <QFileInfo>

namespace {
constexpr int kNewLabel = 148;
constexpr int kOldLabel = 149;
constexpr int kTakeOverFailed = 401;
constexpr int kPrintCancelled = 484;
constexpr int kMmFailed = 364;
constexpr int kMmNotPrinted = 365;
constexpr int kParaFileFailed = 485;
constexpr int kFileNameLabel = 488;
constexpr int kNothingPrinted = 1001;
constexpr int kPrintFailed = 1002;
constexpr int kPrintFailedHint = 1003;
} // namespace

PrintCommand::PrintCommand(const Context &context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
    , m_output(&context.output)
{
    m_selection = [this] { return ShowPrintSelect(m_ctx.prompter, m_ctx.dialogs, m_ctx.grid.window()); };
}

void PrintCommand::lock(bool on)
{
    // The menus too: a controller read inside the print must not let a
    // second controller command start from the menu.
    m_ctx.surface.setCommandButtonsEnabled(!on);
    m_ctx.surface.setToolbarEnabled(!on);
    m_ctx.surface.setMenusEnabled(!on);
    m_ctx.surface.setBusy(on);
    emit running(on);
}

void PrintCommand::PageSetup()
{
    lock(true);
    m_output->pageSetup();
    lock(false);
}

void PrintCommand::Print()
{
    lock(true);
    const PrintChoice choice = m_selection();
    if (!choice.cancelled)
        PrintProc(choice);
    lock(false);
    emit repaintRequested();
}

int PrintCommand::PrintProc(const PrintChoice &choice)
{
    m_doc = PrintDocument();
    SetDocumentHeadings(m_doc);
    if (choice.positionsFromGrid && !gatherGridPositions())
        return 1;
    if (choice.positionsFromFile && !gatherFilePositions(choice.positionFile))
        return 1;
    if ((choice.parametersFromCt || choice.parametersFromFile) && !gatherParameters(choice))
        return 1;
    m_doc.printedAt = QDateTime::currentDateTime();

    switch (m_output->print(m_doc)) {
    case PrintOutput::Result::Printed:
        return 0;
    case PrintOutput::Result::Cancelled:
        m_ctx.prompter.tell(LoadText(kNothingPrinted), Prompter::Icon::Information);
        return 1;
    case PrintOutput::Result::Failed:
        break;
    }
    m_ctx.prompter.tell(JoinTexts({kPrintFailed, kPrintFailedHint}), Prompter::Icon::Exclamation);
    return 1;
}

bool PrintCommand::gatherGridPositions()
{
    PositionData &data = m_ctx.positions;
    if (CheckEmptyPositions(m_ctx.grid, data) != 0) {
        TellEmptyPositions(data, m_ctx.prompter);
        return false;
    }
    if (CheckWrongData(m_ctx.grid, data, m_ctx.state, &m_ctx.prompter) != 0)
        return false;
    if (m_ctx.grid.PosiDataTorikomi() != 0) {
        m_ctx.prompter.tell(JoinTexts({kTakeOverFailed, kPrintCancelled}));
        return false;
    }
    const QString caption = m_deviceTypeText ? m_deviceTypeText() : QString();
    m_doc.hasPositions = true;
    m_doc.modelLine = ModelLine(caption + LoadText(m_ctx.state.gIsNewType ? kNewLabel : kOldLabel));
    CopyPosiDataArray2workPosDA(data);
    m_doc.rows = PositionRows(data.workPosDA, LeadAndPulses{m_ctx.state.gDevLead, m_ctx.state.gDevPPR});
    return true;
}

bool PrintCommand::gatherFilePositions(const QString &path)
{
    // Read on the side: printing a file neither changes the loaded table
    // nor the model in use.
    PositionData file;
    if (ReadPosiFile(path, file, m_ctx.prompter) != 0)
        return false;

    // The millimetres follow the file's own model and generation.
    std::optional<LeadAndPulses> scale;
    if (const std::optional<DecodedFileModel> model = DecodeModelText(file.gFileModel, file.gFileNewOld)) {
        int16_t lead = 0;
        int16_t ppr = 0;
        const QString family = model->isKT ? QStringLiteral("KT") : QStringLiteral("RW");
        if (m_ctx.catalogue.SeekEachRidoAndPPR(family, model->selIsNewType, model->size, model->speed,
                                               model->stroke, lead, ppr)
            == 0)
            scale = LeadAndPulses{lead, ppr};
    }
    if (!scale)
        m_ctx.prompter.tell(JoinTexts({kMmFailed, kMmNotPrinted}), Prompter::Icon::Exclamation);

    m_doc.hasPositions = true;
    m_doc.fileCaption = FileCaption(QFileInfo(path).fileName());
    m_doc.modelLine = ModelLine(file.gFileModel + file.gNewOldType);
    m_doc.rows = PositionRows(file.workPosDA, scale);
    return true;
}

bool PrintCommand::gatherParameters(const PrintChoice &choice)
{
    // A set of its own: what the parameter window holds stays as it is.
    ParameterSet read;
    if (choice.parametersFromCt) {
        ParameterTransfer transfer(m_ctx.state, read, m_ctx.link, m_ctx.prompter, m_ctx.progress);
        if (transfer.GetParametaValueProc() != 0)
            return false;
    } else {
        const QString title = QFileInfo(choice.parameterFile).fileName();
        if (OpenParaFile(choice.parameterFile, title, read, m_ctx.prompter) != 0) {
            m_ctx.prompter.tell(LoadText(kParaFileFailed));
            return false;
        }
        m_doc.parameterFileLine = LoadText(kFileNameLabel) + QStringLiteral(":") + title;
    }
    m_doc.hasParameters = true;
    m_doc.parameterLines = ParameterLines(read.ParaDA, m_ctx.options.mParaDetailShow);
    return true;
}
