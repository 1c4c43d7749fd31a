#include "ui/frminputoutput.h"

#include "text/stringtable.h"
#include "ui/captionloader.h"
#include "ui/lamp.h"
#include "ui/picturebox.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWindowTitleId = 161;
constexpr int kInputId = 162;
constexpr int kOutputId = 171;
constexpr int kStartMonitorId = 176;
constexpr int kCloseId = 177;
constexpr int kStopMonitorId = 556;
// "Double-click to switch this output." on the output pictures.
constexpr int kSwitchTipId = 980;

// An output's switch: a slide switch, to the right and green while the
// output is on.
void PaintOutputSwitch(QPainter &p, const QRectF &area, bool on, bool focused)
{
    const QRectF track = area.adjusted(3, area.height() * 0.22, -3, -area.height() * 0.22);
    const qreal r = track.height() / 2;
    p.setPen(QPen(QColor(0x4b, 0x52, 0x5c), 1));
    p.setBrush(on ? QColor(0x2f, 0xb3, 0x4a) : QColor(0xd5, 0xd8, 0xdc));
    p.drawRoundedRect(track, r, r);
    const qreal d = track.height() - 4;
    const qreal x = on ? track.right() - 2 - d : track.left() + 2;
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2, d, d));
    if (focused) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x1e, 0x5a, 0xc8), 1, Qt::DotLine));
        p.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

QLabel *Heading(const char *name, int captionId, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    SetCaptionId(label, captionId);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

} // namespace

frmInputOutput::frmInputOutput(ControllerLink &link, QWidget *parent)
    : QDialog(parent), m_monitor(link, this)
{
    setObjectName(QStringLiteral("frmInputOutput"));
    SetCaptionId(this, kWindowTitleId);
    build();
    SetFormCaption(this);
    connect(&m_monitor, &IoMonitor::viewChanged, this, &frmInputOutput::showView);
    showView();
}

frmInputOutput::~frmInputOutput() = default;

void frmInputOutput::build()
{
    struct LampRow
    {
        Io::Lamp lamp;
        const char *lampName;
        const char *labelName;
        int captionId;
        Lamp::Colour colour;
        Lamp **lampMember;
        QLabel **labelMember;
    };
    const LampRow inputs[] = {
        {Io::Lamp::HomeLs, "imgHomeLsLed", "lblHomeLs", 163, Lamp::Colour::Green, &imgHomeLsLed, &lblHomeLs},
        {Io::Lamp::EmgStop, "imgEmgStopLed", "lblEmgStop", 164, Lamp::Colour::Red, &imgEmgStopLed, &lblEmgStop},
        {Io::Lamp::Posi1, "imgPosi1Led", "lblPosi1", 165, Lamp::Colour::Green, &imgPosi1Led, &lblPosi1},
        {Io::Lamp::Posi2, "imgPosi2Led", "lblPosi2", 166, Lamp::Colour::Green, &imgPosi2Led, &lblPosi2},
        {Io::Lamp::Posi4, "imgPosi4Led", "lblPosi4", 167, Lamp::Colour::Green, &imgPosi4Led, &lblPosi4},
    };
    const LampRow outputs[] = {
        {Io::Lamp::Pend, "imgPendLed", "lblPend", 173, Lamp::Colour::Green, &imgPendLed, &lblPend},
        {Io::Lamp::Out1, "imgOut1Led", "lblOut1", 174, Lamp::Colour::Green, &imgOut1Led, &lblOut1},
        {Io::Lamp::Out2, "imgOut2Led", "lblOut2", 175, Lamp::Colour::Green, &imgOut2Led, &lblOut2},
    };
    const std::array<std::pair<const char *, PictureBox **>, 3> pictures{{
        {"imgPend", &imgPend}, {"imgOut1", &imgOut1}, {"imgOut2", &imgOut2}}};

    auto addLamp = [this](QGridLayout *grid, int row, int column, const LampRow &r) {
        auto *lamp = new Lamp(r.colour, this);
        lamp->setObjectName(QLatin1String(r.lampName));
        SetNameId(lamp, r.captionId);
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(r.labelName));
        SetCaptionId(label, r.captionId);
        label->setBuddy(lamp);
        grid->addWidget(lamp, row, column);
        grid->addWidget(label, row, column + 1);
        *r.lampMember = lamp;
        *r.labelMember = label;
        m_lamps[static_cast<size_t>(r.lamp)] = lamp;
    };

    auto *inputFrame = new QFrame(this);
    inputFrame->setFrameShape(QFrame::StyledPanel);
    auto *inputGrid = new QGridLayout(inputFrame);
    lblInput = Heading("lblInput", kInputId, this);
    inputGrid->addWidget(lblInput, 0, 0, 1, 2);
    for (int i = 0; i < 5; ++i)
        addLamp(inputGrid, i + 1, 0, inputs[i]);
    inputGrid->setRowStretch(6, 1);
    inputGrid->setColumnStretch(1, 1);

    auto *outputFrame = new QFrame(this);
    outputFrame->setFrameShape(QFrame::StyledPanel);
    auto *outputGrid = new QGridLayout(outputFrame);
    lblOutput = Heading("lblOutput", kOutputId, this);
    outputGrid->addWidget(lblOutput, 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i) {
        const Io::Lamp lampOfRow = outputs[i].lamp;
        auto *picture = new PictureBox(
            QSize(40, 22),
            [this, lampOfRow](QPainter &p, const QRectF &area) {
                const auto *self = dynamic_cast<const QWidget *>(p.device());
                PaintOutputSwitch(p, area, lamp(lampOfRow)->isLit(), self && self->hasFocus());
            },
            this);
        picture->setObjectName(QLatin1String(pictures[static_cast<size_t>(i)].first));
        picture->setFocusPolicy(Qt::StrongFocus);
        SetNameId(picture, outputs[i].captionId);
        SetTipId(picture, kSwitchTipId);
        picture->installEventFilter(this);
        *pictures[static_cast<size_t>(i)].second = picture;
        outputGrid->addWidget(picture, i + 1, 0);
        addLamp(outputGrid, i + 1, 1, outputs[i]);
        m_lamps[static_cast<size_t>(lampOfRow)]->installEventFilter(this);
        connect(m_lamps[static_cast<size_t>(lampOfRow)], &Lamp::litChanged, picture,
                qOverload<>(&QWidget::update));
    }
    outputGrid->setRowStretch(4, 1);
    outputGrid->setColumnStretch(2, 1);

    auto *panels = new QHBoxLayout;
    panels->addWidget(inputFrame, 1);
    panels->addWidget(outputFrame, 1);

    cmdIoCheck = new QPushButton(this);
    cmdIoCheck->setObjectName(QStringLiteral("cmdIoCheck"));
    cmdIoCheck->setAutoDefault(false);
    cmdIoWinClose = new QPushButton(this);
    cmdIoWinClose->setObjectName(QStringLiteral("cmdIoWinClose"));
    cmdIoWinClose->setAutoDefault(false);
    SetCaptionId(cmdIoWinClose, kCloseId);
    connect(cmdIoCheck, &QPushButton::clicked, &m_monitor, &IoMonitor::IoCheckClick);
    connect(cmdIoWinClose, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdIoCheck);
    buttons->addWidget(cmdIoWinClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panels);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmInputOutput::showView()
{
    const IoMonitor::View &v = m_monitor.view();
    for (int i = 0; i < Io::kLampCount; ++i)
        m_lamps[static_cast<size_t>(i)]->setLit(v.lamps.lit(static_cast<Io::Lamp>(i)));
    cmdIoCheck->setText(LoadText(v.stopCaption ? kStopMonitorId : kStartMonitorId));
    cmdIoCheck->setEnabled(v.checkEnabled);
    cmdIoWinClose->setEnabled(v.closeEnabled);
    for (PictureBox *picture : {imgPend, imgOut1, imgOut2})
        picture->setEnabled(v.switchable);
}

bool frmInputOutput::toggleTarget(QObject *watched, Io::Output *output) const
{
    const std::array<std::tuple<const QObject *, const QObject *, Io::Output>, 3> targets{{
        {imgPend, imgPendLed, Io::Output::Pend},
        {imgOut1, imgOut1Led, Io::Output::Out1},
        {imgOut2, imgOut2Led, Io::Output::Out2},
    }};
    for (const auto &[picture, lamp, out] : targets) {
        if (watched == picture || watched == lamp) {
            *output = out;
            return true;
        }
    }
    return false;
}

bool frmInputOutput::eventFilter(QObject *watched, QEvent *event)
{
    Io::Output output{};
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    bool key = false;
    if (event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(event)->key();
        key = k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter;
    }
    if ((doubleClick || key) && toggleTarget(watched, &output)) {
        m_monitor.RequestToggle(output);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmInputOutput::reject()
{
    // The close box, Escape and "Close" all come here. While a cycle waits
    // for the controller the window stays; the user closes it afterwards.
    if (!m_monitor.canClose())
        return;
    m_monitor.Shutdown();
    QDialog::reject();
}
