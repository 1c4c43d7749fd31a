// The program's wiring of the shell commands: Options.

#include "ui/program.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "app/settingsstore.h"
#include "link/controllerlink.h"
#include "link/portprobe.h"
#include "parameters/parameterwindow.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "text/stringtable.h"
#include "ui/frmoptions2.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>

void Program::wireShell(MainWindow &w)
{
    connect(w.mnuViewOption, &QAction::triggered, this, &Program::ShowOptions);
    applyOptions();
}

void Program::applyOptions()
{
    if (m_transfer)
        m_transfer->setCurrentDown(m_options.mChangeBkCd, m_options.mCurrentDownNo);
    if (m_parameterWindow)
        m_parameterWindow->setDetailShow(m_options.mParaDetailShow);
}

void Program::ShowOptions()
{
    MainWindow *w = m_window.get();
    if (!w)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<SerialPortEntry> ports = ProbePorts(*m_link, m_store);
    QApplication::restoreOverrideCursor();

    frmOptions2 dialog(m_state, m_store, m_options, ports, w);
    dialog.exec();
    applyOptions();
    // Only a change made in this opening redraws the pulse column; the grid
    // keeps its edits and its changed state.
    if (dialog.pulseDisplayChanged())
        w->flgdData->ApplyPulseDisplay();
    if (m_state.gLanguageChanged)
        m_prompter.tell(JoinTexts({521, 522}), Prompter::Icon::Information);
}
