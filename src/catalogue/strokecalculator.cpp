#include "catalogue/strokecalculator.h"

#include "catalogue/digitfields.h"
#include "catalogue/strokecalc.h"
#include "common/numbers.h"
#include "catalogue/dialogsupport.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

enum TextId : int {
    WindowTitle = 121,
    StrokeLength = 122,
    Lead = 123,
    AboutLead = 124,
    LeadNote1 = 125,
    LeadNote2 = 126,
    LeadNote3 = 127,
    StrokePulses = 128,
    Calculate = 129,
    Input = 130,
    TipStroke = 341,
    TipLead = 342,
    Actuator = 371,
    ExceptKt42d = 372,
    Kt42d = 373,
    Invalidity = 547,
};

} // namespace

StrokeCalculator::StrokeCalculator(int acceptMin, int acceptMax, QWidget *parent)
    : QDialog(parent)
    , m_acceptMin(acceptMin)
    , m_acceptMax(acceptMax)
{
    setObjectName(QStringLiteral("frmDevice"));
    buildControls();
    PlaceBesideOwner(this, parent);
}

std::optional<int> StrokeCalculator::calculate(int acceptMin, int acceptMax, QWidget *parent)
{
    StrokeCalculator dialog(acceptMin, acceptMax, parent);
    dialog.exec();
    return dialog.result();
}

void StrokeCalculator::buildControls()
{
    setWindowTitle(LoadText(WindowTitle));
    txtStrokeTyo = Named(new QLineEdit(this), "txtStrokeTyo");
    txtStrokeTyo->setToolTip(LoadText(TipStroke));
    txtRido = Named(new QLineEdit(this), "txtRido");
    txtRido->setToolTip(LoadText(TipLead));
    const int digit = fontMetrics().horizontalAdvance(u'0');
    txtStrokeTyo->setFixedWidth(digit * 5 + 12);
    txtRido->setFixedWidth(digit * 5 + 12);

    auto *framActType = Named(new QGroupBox(LoadText(Actuator), this), "framActType");
    auto *types = new QButtonGroup(this);
    optActType[0] = Named(new QRadioButton(LoadText(ExceptKt42d), framActType), "optActType_0");
    optActType[1] = Named(new QRadioButton(LoadText(Kt42d), framActType), "optActType_1");
    types->addButton(optActType[0], 0);
    types->addButton(optActType[1], 1);
    optActType[0]->setChecked(true);
    auto *typeColumn = new QVBoxLayout(framActType);
    typeColumn->addWidget(optActType[0]);
    typeColumn->addWidget(optActType[1]);

    lblStrokePulse = Named(new QLabel(this), "lblStrokePulse");
    lblStrokePulse->setFrameShape(QFrame::Panel);
    lblStrokePulse->setFrameShadow(QFrame::Sunken);
    lblStrokePulse->setMinimumWidth(digit * 8);
    cmdCulStrokePulse = Named(new QPushButton(LoadText(Calculate), this), "cmdCulStrokePulse");
    cmdInputStroke = Named(new QPushButton(LoadText(Input), this), "cmdInputStroke");
    for (QPushButton *b : {cmdCulStrokePulse, cmdInputStroke})
        b->setAutoDefault(false);

    auto *inputs = new QGridLayout;
    auto *lblStroke = Named(new QLabel(LoadText(StrokeLength), this), "lblStroke");
    auto *lblRido = Named(new QLabel(LoadText(Lead), this), "lblRido");
    auto *lblKtStroke = Named(new QLabel(LoadText(StrokePulses), this), "lblKtStroke");
    lblStroke->setBuddy(txtStrokeTyo);
    lblRido->setBuddy(txtRido);
    inputs->addWidget(lblStroke, 0, 0);
    inputs->addWidget(txtStrokeTyo, 0, 1);
    inputs->addWidget(lblRido, 1, 0);
    inputs->addWidget(txtRido, 1, 1);
    inputs->addWidget(framActType, 0, 2, 2, 1);
    inputs->addWidget(lblKtStroke, 2, 0);
    inputs->addWidget(lblStrokePulse, 2, 1);
    inputs->setColumnStretch(3, 1);

    auto *about = new QVBoxLayout;
    about->setSpacing(2);
    about->addWidget(Named(new QLabel(LoadText(AboutLead), this), "LabelAboutRido"));
    about->addWidget(Named(new QLabel(LoadText(LeadNote1), this), "Label1"));
    about->addWidget(Named(new QLabel(LoadText(LeadNote2), this), "Label2"));
    about->addWidget(Named(new QLabel(LoadText(LeadNote3), this), "Label3"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCulStrokePulse);
    buttons->addWidget(cmdInputStroke);

    auto *main = new QVBoxLayout(this);
    main->addLayout(inputs);
    main->addLayout(about);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    fields = new DigitFields(this);
    DigitFields::Field stroke;
    stroke.edit = txtStrokeTyo;
    stroke.fullLength = 3;
    stroke.next = txtRido;
    stroke.accepts = [](const QString &text) {
        const double v = RoundHalfEven(LeadingNumber(text));
        return v >= 0 && v <= kCalcStrokeMax;
    };
    stroke.refocus = true;
    fields->add(stroke);
    DigitFields::Field lead;
    lead.edit = txtRido;
    lead.fullLength = 2;
    lead.next = cmdCulStrokePulse;
    // An empty box has nothing to remove: the user can leave it to cancel.
    lead.accepts = [](const QString &text) {
        return text.isEmpty() || IsActuatorLead(static_cast<int>(RoundHalfEven(LeadingNumber(text))));
    };
    lead.refocus = true;
    lead.beep = false;
    fields->add(lead);

    connect(txtStrokeTyo, &QLineEdit::textChanged, this, &StrokeCalculator::inputsChanged);
    connect(txtRido, &QLineEdit::textChanged, this, &StrokeCalculator::inputsChanged);
    connect(optActType[0], &QRadioButton::toggled, this, &StrokeCalculator::inputsChanged);
    connect(cmdCulStrokePulse, &QPushButton::clicked, this, &StrokeCalculator::culStrokePulse);
    connect(cmdInputStroke, &QPushButton::clicked, this, &StrokeCalculator::inputStroke);
}

void StrokeCalculator::inputsChanged()
{
    // A result belongs to the inputs it was calculated from.
    m_fresh.reset();
    lblStrokePulse->clear();
}

void StrokeCalculator::culStrokePulse()
{
    m_fresh = StrokePulse(txtStrokeTyo->text(), txtRido->text(),
                          optActType[0]->isChecked() ? kPprStandard : kPprKt42d);
    lblStrokePulse->setText(m_fresh ? QString::number(*m_fresh) : LoadText(Invalidity));
}

void StrokeCalculator::inputStroke()
{
    if (!m_fresh || *m_fresh < m_acceptMin || *m_fresh > m_acceptMax) {
        QApplication::beep();
        return;
    }
    m_handedOver = m_fresh;
    accept();
}
