#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class CommandSurface;
class ControllerLink;
class FileDialogs;
class PositionFileCommands;
class PositionGrid;
class PositionTransfer;
class Prompter;
class QWidget;
struct PositionData;

// What a verification compares with the table shown.
enum class VerifySource {
    File,       // a position file holds no output value: it is not compared
    Controller, // the controller's output values are compared too
};

// Compares the speed, acceleration, pulses and, against the controller, the
// output value of the three positions of workPosDA with PosiDataArray
// (comments and mm are not compared). Fills list with "< Position No.n>"
// and an empty line for every position that differs; 1 when any differs,
// else 0.
int PosiDataSyogoProc(const PositionData &data, QString &list, VerifySource source);

// A compared field (VEL, ACC, Out or pulses) of a position that differs:
// loaded is workPosDA's value, shown PosiDataArray's.
struct PositionDifference
{
    int position;
    int field;
    double loaded;
    double shown;
};
QList<PositionDifference> PositionDifferences(const PositionData &data,
                                             VerifySource source = VerifySource::Controller);

// The verdict that follows the head of a result message: OK, or NG with the
// list of differing positions.
QString PositionVerdict(int differs, const QString &list);

// Verification of the position table shown in the grid against a position
// file or the controller's table.
//
// Main window wiring:
//   cmdPosiDataShogo, toolbar "Shogo" -> PosiDataShogo()
//   mnuFileShogoFile                  -> ShogoFileMenu()
//   mnuFileShogoCt                    -> ShogoCtMenu()
//   programGridRefreshRequested()     -> redraw flgdProgram
class PositionVerify : public QObject
{
    Q_OBJECT

public:
    PositionVerify(PositionData &data, PositionGrid &grid, PositionTransfer &transfer,
                   PositionFileCommands &fileCommands, ControllerLink &link, Prompter &prompter,
                   FileDialogs &dialogs, CommandSurface &surface, QWidget *dialogParent,
                   QObject *parent = nullptr);

    // How the verify button asks which copy to compare with; by default the
    // frmDataShogo dialog. Returns 1 (file), 2 (controller) or anything else
    // (cancelled).
    void setChoiceSource(std::function<int()> source) { m_choose = std::move(source); }

    // The routines.
    void PosiDataFileShogo();
    void PosiDataCtShogo();

    // The differing positions of the last comparison.
    QString gShogoList;

public slots:
    void PosiDataShogo();
    void ShogoFileMenu();
    void ShogoCtMenu();

signals:
    void programGridRefreshRequested();

private:
    // Takes the grid over for the comparison; 1 (told) when it failed.
    int takeOver();
    void lock();
    void unlock();
    void tell(const QString &text);

    PositionData &m_data;
    PositionGrid &m_grid;
    PositionTransfer &m_transfer;
    PositionFileCommands &m_fileCommands;
    ControllerLink &m_link;
    Prompter &m_prompter;
    FileDialogs &m_dialogs;
    CommandSurface &m_surface;
    QWidget *m_dialogParent;
    std::function<int()> m_choose;
};
