#include "catalogue/devicedialog.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "catalogue/deviceadopt.h"
#include "catalogue/modelcombos.h"
#include "catalogue/dialogsupport.h"
#include "text/stringtable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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
    WindowTitle = 131,
    Explanation = 132,
    FamilyKt = 133,
    FamilyRw = 134,
    SizeLabel = 135,
    SpeedLabel = 136,
    StrokeLabel = 137,
    Ok = 119,
    Cancel = 120,
    Pushing = 199,
    Sensor = 200,
    OldGeneration = 221,
    Generation = 222,
    HomingMethod = 223,
};

} // namespace

DeviceDialog::DeviceDialog(const AppState &model, Prompter &prompter, const QString &listDir,
                           QWidget *parent)
    : QDialog(parent)
    , m_model(model)
    , m_prompter(prompter)
    , m_browser(m_model, prompter, listDir)
{
    setObjectName(QStringLiteral("frmDevice2"));
    buildControls();
    PlaceBesideOwner(this, parent);
    loadModel();
}

std::optional<DeviceChoice> DeviceDialog::choose(const AppState &model, Prompter &prompter,
                                                 const QString &listDir, QWidget *parent)
{
    DeviceDialog dialog(model, prompter, listDir, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.currentChoice();
}

void DeviceDialog::buildControls()
{
    setWindowTitle(LoadText(WindowTitle));
    auto *explanation = Named(new QLabel(LoadText(Explanation), this), "lblDeviceSetumei");
    explanation->setWordWrap(true);

    auto *family = new QButtonGroup(this);
    optKtSelect[0] = Named(new QRadioButton(LoadText(FamilyKt), this), "optKtSelect_0");
    optKtSelect[1] = Named(new QRadioButton(LoadText(FamilyRw), this), "optKtSelect_1");
    family->addButton(optKtSelect[0], 0);
    family->addButton(optKtSelect[1], 1);

    framNewOrOld = Named(new QGroupBox(LoadText(Generation), this), "framNewOrOld");
    chkNewOrOld = Named(new QCheckBox(LoadText(OldGeneration), framNewOrOld), "chkNewOrOld");
    (new QHBoxLayout(framNewOrOld))->addWidget(chkNewOrOld);

    comboDeviceSize = Named(new QComboBox(this), "comboDeviceSize");
    comboDeviceSpeed = Named(new QComboBox(this), "comboDeviceSpeed");
    comboDeviceStroke = Named(new QComboBox(this), "comboDeviceStroke");
    for (QComboBox *c : {comboDeviceSize, comboDeviceSpeed, comboDeviceStroke}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setMinimumContentsLength(4);
    }

    lblHomeMethod = Named(new QLabel(LoadText(HomingMethod), this), "lblHomeMethod");
    auto *homing = new QButtonGroup(this);
    optHomeMethod[0] = Named(new QRadioButton(LoadText(Pushing), this), "optHomeMethod_0");
    optHomeMethod[1] = Named(new QRadioButton(LoadText(Sensor), this), "optHomeMethod_1");
    homing->addButton(optHomeMethod[0], 0);
    homing->addButton(optHomeMethod[1], 1);

    cmdDeviceSet = Named(new QPushButton(LoadText(Ok), this), "cmdDeviceSet");
    cmdDeviceCancel = Named(new QPushButton(LoadText(Cancel), this), "cmdDeviceCancel");
    cmdDeviceSet->setDefault(true);

    auto *familyRow = new QHBoxLayout;
    familyRow->addWidget(optKtSelect[0]);
    familyRow->addWidget(optKtSelect[1]);
    familyRow->addWidget(framNewOrOld);
    familyRow->addStretch();

    auto *model = new QGridLayout;
    const std::array<int, 3> labels = {SizeLabel, SpeedLabel, StrokeLabel};
    const std::array<const char *, 3> labelNames = {"lblDeviceSize", "lblDeviceSpeed", "lblDeviceStroke"};
    const std::array<QComboBox *, 3> combos = {comboDeviceSize, comboDeviceSpeed, comboDeviceStroke};
    for (int i = 0; i < 3; ++i) {
        auto *label = Named(new QLabel(LoadText(labels[i]), this), labelNames[i]);
        label->setBuddy(combos[i]);
        model->addWidget(label, 0, i);
        model->addWidget(combos[i], 1, i);
    }

    auto *homingRow = new QHBoxLayout;
    homingRow->addWidget(lblHomeMethod);
    homingRow->addWidget(optHomeMethod[0]);
    homingRow->addWidget(optHomeMethod[1]);
    homingRow->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDeviceSet);
    buttons->addWidget(cmdDeviceCancel);

    auto *main = new QVBoxLayout(this);
    main->addWidget(explanation);
    main->addLayout(familyRow);
    main->addLayout(model);
    main->addLayout(homingRow);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(optKtSelect[0], &QRadioButton::clicked, this, &DeviceDialog::familyChanged);
    connect(optKtSelect[1], &QRadioButton::clicked, this, &DeviceDialog::familyChanged);
    connect(chkNewOrOld, &QCheckBox::clicked, this, &DeviceDialog::familyChanged);
    // Choosing from a list, or leaving it after typing, refreshes the lists
    // that depend on it.
    const auto sizeChosen = [this] {
        if (!m_filling)
            showLists(m_browser.refreshFromSize(shown(), comboDeviceSize->currentText()));
    };
    const auto speedChosen = [this] {
        if (!m_filling)
            showLists(m_browser.refreshFromSpeed(shown(), comboDeviceSpeed->currentText()));
    };
    connect(comboDeviceSize, &QComboBox::activated, this, sizeChosen);
    connect(comboDeviceSize->lineEdit(), &QLineEdit::editingFinished, this, sizeChosen);
    connect(comboDeviceSpeed, &QComboBox::activated, this, speedChosen);
    connect(comboDeviceSpeed->lineEdit(), &QLineEdit::editingFinished, this, speedChosen);
    connect(comboDeviceStroke, &QComboBox::activated, this, [this] { refreshHoming(); });
    connect(cmdDeviceSet, &QPushButton::clicked, this, &DeviceDialog::onOk);
    connect(cmdDeviceCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DeviceDialog::loadModel()
{
    const bool kt = m_model.gIsKT;
    const bool newType = kt && m_model.gIsNewType;
    optKtSelect[kt ? 0 : 1]->setChecked(true);
    chkNewOrOld->setChecked(kt && !newType);
    framNewOrOld->setEnabled(kt);
    // The homing method of the model in use: only KT old lets the user
    // choose; KT new homes by the sensor, RW by pushing.
    const bool sensor = kt && (newType || m_model.gVertical);
    optHomeMethod[sensor ? 1 : 0]->setChecked(true);
    setHomingLocked(!kt || newType);

    m_filling = true;
    comboDeviceSize->setCurrentText(m_model.gDevSize);
    comboDeviceSpeed->setCurrentText(m_model.gDevSpeed);
    comboDeviceStroke->setCurrentText(QString::number(m_model.gDevStroke));
    m_filling = false;
    if (m_browser.browse(m_model.familyCode(), newType))
        showLists(m_browser.refreshAll(comboDeviceSize->currentText()));
}

void DeviceDialog::familyChanged()
{
    const bool kt = optKtSelect[0]->isChecked();
    framNewOrOld->setEnabled(kt);
    if (!kt) {
        optHomeMethod[0]->setChecked(true);
        setHomingLocked(true);
    } else if (chkNewOrOld->isChecked()) {
        setHomingLocked(false);
    } else {
        optHomeMethod[1]->setChecked(true);
        setHomingLocked(true);
    }
    if (m_browser.browse(kt ? QStringLiteral("KT") : QStringLiteral("RW"), kt && !chkNewOrOld->isChecked()))
        showLists(m_browser.refreshAll(comboDeviceSize->currentText()));
}

ModelLists DeviceDialog::shown() const
{
    return ShownModelLists({comboDeviceSize, comboDeviceSpeed, comboDeviceStroke});
}

void DeviceDialog::showLists(const ModelLists &lists)
{
    m_filling = true;
    ShowModelLists({comboDeviceSize, comboDeviceSpeed, comboDeviceStroke}, lists);
    m_filling = false;
    refreshHoming();
}

void DeviceDialog::setHomingLocked(bool locked)
{
    for (QWidget *w : {static_cast<QWidget *>(lblHomeMethod), static_cast<QWidget *>(optHomeMethod[0]),
                       static_cast<QWidget *>(optHomeMethod[1])})
        w->setEnabled(!locked);
}

void DeviceDialog::refreshHoming()
{
    switch (m_browser.homeCode(comboDeviceSize->currentText(), comboDeviceSpeed->currentText(),
                               comboDeviceStroke->currentText())) {
    case HomeUserChoice:
        setHomingLocked(false);
        break;
    case HomeFixedPushing:
        optHomeMethod[0]->setChecked(true);
        setHomingLocked(true);
        break;
    case HomeFixedSensor:
        optHomeMethod[1]->setChecked(true);
        setHomingLocked(true);
        break;
    default: // not listed: the choice stays as it is
        break;
    }
}

DeviceChoice DeviceDialog::currentChoice() const
{
    DeviceChoice choice;
    const bool kt = optKtSelect[0]->isChecked();
    choice.family = kt ? QStringLiteral("KT") : QStringLiteral("RW");
    choice.isNewType = kt && !chkNewOrOld->isChecked();
    choice.size = ModelBrowser::normalizedSize(comboDeviceSize->currentText());
    choice.speed = comboDeviceSpeed->currentText().trimmed();
    choice.stroke = ModelBrowser::strokeValue(comboDeviceStroke->currentText());
    choice.vType = kt && (choice.isNewType || optHomeMethod[1]->isChecked());
    return choice;
}

void DeviceDialog::onOk()
{
    // Every OK either returns a model the catalogue lists or says why not;
    // the user then corrects the choice or cancels.
    const DeviceChoice choice = currentChoice();
    if (!m_browser.lookup(choice.size, choice.speed, choice.stroke)) {
        TellTypeNotSelected(m_prompter);
        return;
    }
    accept();
}
