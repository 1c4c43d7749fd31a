// The program's wiring of the shell commands: Options, Help and About.

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
#include "ui/frmabout.h"
#include "ui/frmoptions2.h"
#include "ui/helpwindow.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>

void Program::wireShell(MainWindow &w)
{
    connect(w.mnuViewOption, &QAction::triggered, this, &Program::ShowOptions);
    connect(w.mnuHelpContents, &QAction::triggered, this, &Program::ShowHelpContents);
    connect(w.mnuHelpSearch, &QAction::triggered, this, &Program::ShowHelpSearch);
    connect(w.mnuHelpAbout, &QAction::triggered, this, &Program::ShowAbout);
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

bool Program::openHelp(bool search)
{
    MainWindow *w = m_window.get();
    if (!m_helpWindow) {
        m_helpWindow = new HelpWindow(HelpManual(w->helpFile, m_state.gLanguage), w);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!(search ? m_helpWindow->showSearch() : m_helpWindow->showContents())) {
        delete m_helpWindow.data();
        return false;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
    return true;
}

void Program::ShowHelpContents()
{
    MainWindow *w = m_window.get();
    if (!w)
        return;
    // Any failure to show the manual is told, not only a missing file.
    if (w->helpFile.isEmpty() || !openHelp(false))
        m_prompter.tell(LoadText(491), Prompter::Icon::Information);
}

void Program::ShowHelpSearch()
{
    MainWindow *w = m_window.get();
    if (!w)
        return;
    if (w->helpFile.isEmpty() || !openHelp(true))
        m_prompter.tell(LoadText(491), Prompter::Icon::Information, w->windowTitle());
}

void Program::ShowAbout()
{
    MainWindow *w = m_window.get();
    if (!w)
        return;
    frmAbout about(m_state, m_store, m_prompter, w);
    about.exec();
}

HelpWindow *Program::helpWindow() const
{
    return m_helpWindow.data();
}
