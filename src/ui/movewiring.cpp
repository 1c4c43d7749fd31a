// The program's wiring of the test moves: the move panel of the main window,
// the move commands, the move program grid and the wait-time box.

#include "ui/program.h"

#include "link/controllerlink.h"
#include "operation/moveexecution.h"
#include "operation/movestate.h"
#include "operation/programgrid.h"
#include "parameters/parameterwindow.h"
#include "ui/lamp.h"
#include "ui/mainwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {

// The main window's controls as a move sees them.
class WindowMovePanel : public MovePanel
{
public:
    WindowMovePanel(MainWindow &window, CommandSurface &surface) : w(window), m_surface(surface) {}

    void setButtonPicture(int position, Picture picture) override
    {
        if (position >= 0 && position < 4)
            w.imgButton[position]->setPicture(static_cast<PositionButton::Picture>(picture));
    }
    void setHomeLamp(bool lit) override { w.imgHomeGreen->setLit(lit); }
    void setOutputLamps(bool out1, bool out2) override
    {
        w.imgOut1Green->setLit(out1);
        w.imgOut2Green->setLit(out2);
    }
    void setCompletedPosition(const QString &text) override { w.lblkanryoNo->setText(text); }

    void setSelectiveControlsEnabled(bool enabled) override
    {
        if (enabled) {
            setMoveControlsEnabled(true);
        } else {
            // The mode selector too: Edit mode would offer the transfers
            // inside the move's wait.
            for (QWidget *c : std::initializer_list<QWidget *>{w.cmdMove, w.cmdReset, w.optSelectMove[0],
                                                               w.optSelectMove[1], w.optModeSelect[0],
                                                               w.optModeSelect[1]})
                c->setEnabled(false);
        }
        for (QLabel *l : w.lblSelectPosNo)
            l->setEnabled(enabled);
        w.pictureSelectMove->setEnabled(enabled);
    }

    void setMoveControlsEnabled(bool enabled) override
    {
        for (QWidget *c : std::initializer_list<QWidget *>{w.cmdMove, w.cmdDataClear, w.cmdInp1toF, w.chkTimerUse})
            c->setEnabled(enabled);
        w.txtTimer->setEnabled(enabled && w.chkTimerUse->isChecked());
        for (QWidget *c : std::initializer_list<QWidget *>{
                 w.cmdReset, w.optSelectMove[0], w.optSelectMove[1], w.pictureSelectMode, w.optSelectMode[0],
                 w.optSelectMode[1], w.chkRepeat, w.flgdProgram, w.optModeSelect[0], w.optModeSelect[1]})
            c->setEnabled(enabled);
        if (enabled)
            focusHolder();
    }

    void setMenusLocked(bool locked) override
    {
        if (locked) {
            w.CTModeChange_Muko();
            w.AllMenu_Muko();
        } else {
            w.AllMenu_Yuko();
        }
    }
    void setBusy(bool busy) override { m_surface.setBusy(busy); }
    void focusHolder() override { w.txtDummy->setFocus(Qt::OtherFocusReason); }

    RunSettings runSettings() const override
    {
        RunSettings s;
        s.continual = w.optSelectMode[0]->isChecked();
        s.repeat = w.chkRepeat->isChecked();
        s.timerUse = w.chkTimerUse->isChecked();
        s.timerText = w.txtTimer->text();
        return s;
    }
    QString programStep(int row) const override { return w.flgdProgram->step(row); }

private:
    MainWindow &w;
    CommandSurface &m_surface;
};

} // namespace

void Program::wireMoves(MainWindow &w)
{
    w.attachMoveState(m_moveState.get());
    m_movePanel = std::make_unique<WindowMovePanel>(w, *this);
    m_moves = std::make_unique<MoveExecution>(*m_moveState, *m_link, m_prompter, *m_movePanel);
    MoveExecution &moves = *m_moves;

    for (int i = 0; i < 4; ++i)
        connect(w.imgButton[i], &QAbstractButton::clicked, &moves, [&moves, i] { moves.SelectiveMove(i); });
    connect(w.cmdMove, &QPushButton::clicked, &moves, &MoveExecution::ContinualMove);
    connect(w.cmdStop, &QPushButton::clicked, &moves, &MoveExecution::RequestStop);
    connect(w.cmdTmpStop, &QPushButton::clicked, &moves, &MoveExecution::RequestPause);
    connect(&moves, &MoveExecution::runningChanged, this, [this](bool running) {
        // The parameter window's commands talk to the controller too.
        if (m_parameterWindow)
            m_parameterWindow->setEnabled(!running);
    });

    ProgramGrid &grid = *w.flgdProgram;
    connect(w.cmdDataClear, &QPushButton::clicked, &grid, &ProgramGrid::cmdDataClear_Click);
    connect(w.cmdInp1toF, &QPushButton::clicked, &grid, &ProgramGrid::cmdInp1toF_Click);

    // The wait between moves: up to three digits, in units of 100 ms.
    w.txtTimer->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")),
                                                             w.txtTimer));
}
