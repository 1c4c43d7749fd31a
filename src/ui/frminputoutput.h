#pragma once

#include "operation/iomonitor.h"

#include <QDialog>

#include <array>

class ControllerLink;
class Lamp;
class PictureBox;
class QLabel;
class QPushButton;

// The I/O monitor window (`frmInputOutput`): eight lamps for the
// controller's inputs and outputs, a switch picture beside each of the three
// outputs, and the buttons "Start Monitor"/"Stop Monitor" and "Close". The
// behaviour is the IoMonitor's; the window shows its view and forwards the
// clicks. A double-click on an output's lamp or picture, or Space on the
// focused picture, switches that output while monitoring runs.
//
// The main window opens it modally and keeps gBusy set until it is closed.
// It refuses to close while a cycle waits for the controller; closing it at
// any other moment ends monitoring and releases the port.
class frmInputOutput : public QDialog
{
    Q_OBJECT

public:
    explicit frmInputOutput(ControllerLink &link, QWidget *parent = nullptr);
    ~frmInputOutput() override;

    IoMonitor &monitor() { return m_monitor; }

    QLabel *lblInput = nullptr;
    QLabel *lblOutput = nullptr;
    Lamp *imgHomeLsLed = nullptr;
    Lamp *imgEmgStopLed = nullptr;
    Lamp *imgPosi1Led = nullptr;
    Lamp *imgPosi2Led = nullptr;
    Lamp *imgPosi4Led = nullptr;
    Lamp *imgPendLed = nullptr;
    Lamp *imgOut1Led = nullptr;
    Lamp *imgOut2Led = nullptr;
    QLabel *lblHomeLs = nullptr;
    QLabel *lblEmgStop = nullptr;
    QLabel *lblPosi1 = nullptr;
    QLabel *lblPosi2 = nullptr;
    QLabel *lblPosi4 = nullptr;
    QLabel *lblPend = nullptr;
    QLabel *lblOut1 = nullptr;
    QLabel *lblOut2 = nullptr;
    PictureBox *imgPend = nullptr;
    PictureBox *imgOut1 = nullptr;
    PictureBox *imgOut2 = nullptr;
    QPushButton *cmdIoCheck = nullptr;
    QPushButton *cmdIoWinClose = nullptr;

    // The lamp of each Io::Lamp, in that order.
    Lamp *lamp(Io::Lamp which) const { return m_lamps[static_cast<size_t>(which)]; }

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void showView();
    bool toggleTarget(QObject *watched, Io::Output *output) const;

    IoMonitor m_monitor;
    std::array<Lamp *, Io::kLampCount> m_lamps{};
};
