#include "parameters/parameterwindow.h"

#include "app/appstate.h"
#include "app/filedialogs.h"
#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "catalogue/devicedialog.h"
#include "catalogue/digitfields.h"
#include "catalogue/modelbrowser.h"
#include "catalogue/modelcombos.h"
#include "catalogue/strokecalculator.h"
#include "link/commandsurface.h"
#include "common/numbers.h"
#include "parameters/paradefaults.h"
#include "parameters/parameterfields.h"
#include "parameters/fieldrules.h"
#include "parameters/parameterfile.h"
#include "parameters/parameterset.h"
#include "parameters/parametertransfer.h"
#include "text/stringtable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The same property names every window of the program carries its
// string-table IDs under.
constexpr char kCaptionId[] = "captionId";
constexpr char kTipId[] = "tipId";

enum TextId : int {
    WindowTitle = 51,
    FrameTitle = 52,
    DefaultLabel = 53,
    DefaultButton = 54,
    UseDefault = 68,
    Calculate = 69,
    TabFile = 75,
    TabController = 76,
    ReadFromCt = 77,
    WriteToCt = 78,
    VerifyCt = 79,
    OpenFile = 80,
    SaveFile = 81,
    VerifyFile = 82,
    TypeRw = 134,
    TypeKtNew = 146,
    TypeKtOld = 147,
    LogicA = 191,
    LogicB = 192,
    Hold = 194,
    Reset = 195,
    Pushing = 199,
    Sensor = 200,
    TipStroke = 321,
    TipHomeOffset = 322,
    TipPushing = 323,
    TipHomingSpeed = 326,
    TipOffsetSpeed = 327,
    TipVel = 328,
    TipJog = 330,
    TipVertical = 331,
    OpenReferenceTitle = 421,
    FileExtension = 422,
    FileFilter = 423,
    OpenError = 424,
    RwData = 425,
    RwNoVertical = 426,
    RwContinue = 427,
    ResultFile = 428,
    SaveQuestion = 429,
    OpenTitle = 430,
    SaveTitle = 431,
    DefaultFileName = 432,
    InsideCt = 433,
    WriteError = 436,
    FileWriteFailed = 721,
    UnitX5msec = 1090,
};

void setCaptionId(QObject *o, int id) { o->setProperty(kCaptionId, id); }
void setTipId(QObject *o, int id) { o->setProperty(kTipId, id); }

QLineEdit *makeField(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

} // namespace

ParameterWindow::ParameterWindow(AppState &state, ParameterSet &parameters, Catalogue &catalogue,
                                 Prompter &prompter, FileDialogs &dialogs,
                                 ParameterTransfer *transfer, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_state(state)
    , m_para(parameters)
    , m_catalogue(catalogue)
    , m_prompter(prompter)
    , m_dialogs(dialogs)
    , m_transfer(transfer)
    , m_browser(std::make_unique<ModelBrowser>(state, prompter, catalogue.listDir()))
{
    setObjectName(QStringLiteral("frmParameta"));
    buildControls();
    buildFieldRules();
    buildLayout();
    Form_Load();
}

ParameterWindow::~ParameterWindow() = default;

void ParameterWindow::buildControls()
{
    framParameta = new QGroupBox(this);
    framParameta->setObjectName(QStringLiteral("framParameta"));
    setCaptionId(framParameta, FrameTitle);

    txtStroke = makeField(framParameta, "txtStroke");
    txtHomeOffset = makeField(framParameta, "txtHomeOffset");
    txtHomeOsikomi = makeField(framParameta, "txtHomeOsikomi");
    txtGentenModori = makeField(framParameta, "txtGentenModori");
    txtGentenHanten = makeField(framParameta, "txtGentenHanten");
    txtKasokuSet1 = makeField(framParameta, "txtKasokuSet1");
    txtKasokuSet2 = makeField(framParameta, "txtKasokuSet2");
    txtKasokuSet3 = makeField(framParameta, "txtKasokuSet3");
    txtKasokuSet4 = makeField(framParameta, "txtKasokuSet4");
    txtKasokuSet5 = makeField(framParameta, "txtKasokuSet5");
    txtKasokuSet6 = makeField(framParameta, "txtKasokuSet6");
    txtKasokuSet7 = makeField(framParameta, "txtKasokuSet7");
    txtKasokuSet8 = makeField(framParameta, "txtKasokuSet8");
    txtKasokuSet9 = makeField(framParameta, "txtKasokuSet9");
    txtJog1 = makeField(framParameta, "txtJog1");
    txtJog2 = makeField(framParameta, "txtJog2");
    txtJog3 = makeField(framParameta, "txtJog3");
    txtVsiyou = makeField(framParameta, "txtVsiyou");
    txtLead = makeField(framParameta, "txtLead");
    txtPulse = makeField(framParameta, "txtPulse");
    txtActuator = makeField(framParameta, "txtActuator");
    txtActuator->setReadOnly(true);

    setTipId(txtStroke, TipStroke);
    setTipId(txtHomeOffset, TipHomeOffset);
    setTipId(txtHomeOsikomi, TipPushing);
    setTipId(txtGentenModori, TipHomingSpeed);
    setTipId(txtGentenHanten, TipOffsetSpeed);
    for (int n = 6; n <= 14; ++n)
        setTipId(textFieldOf(n), TipVel);
    for (int n = 15; n <= 17; ++n)
        setTipId(textFieldOf(n), TipJog);
    setTipId(txtVsiyou, TipVertical);
    lblX5msec = new QLabel(framParameta);
    lblX5msec->setObjectName(QStringLiteral("lblX5msec"));
    setCaptionId(lblX5msec, UnitX5msec);

    // The labels keep the names they have always had.
    static const std::array<const char *, 23> kLabelNames = {
        "", "lblStroke", "lblHomeOffset", "lblHomeOsikomi", "lblGentenModori", "lblGentenHanten",
        "lblKasokuSet1", "lblKasokuSet2", "lblKasokuSet3", "lblKasokuSet4", "lblKasokuSet5",
        "lblKasokuSet6", "lblKasokuSet7", "lblKasokuSet8", "lblKasokuSet9", "Label1", "Label2", "Label3",
        "lblVsiyou", "lblLead", "lblPulse", "lblType", "lblActuator"};
    // Parameters 23 and 24 are labelled inside the details area (lblEmgWay,
    // lblEmgLogic).
    for (int n = 1; n <= 22; ++n) {
        auto *label = new QLabel(framParameta);
        label->setObjectName(QLatin1String(kLabelNames[static_cast<size_t>(n)]));
        setCaptionId(label, ParameterInfoOf(n).labelId);
        lblParaName[static_cast<size_t>(n)] = label;
    }

    const auto makeOptions = [this](auto &array, const char *name, std::initializer_list<int> ids,
                                    QWidget *parent) {
        auto *group = new QButtonGroup(this);
        int i = 0;
        for (int id : ids) {
            auto *b = new QRadioButton(parent);
            b->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
            setCaptionId(b, id);
            group->addButton(b, i);
            array[static_cast<size_t>(i)] = b;
            ++i;
        }
        return group;
    };

    auto *homing = new QWidget(framParameta);
    homing->setObjectName(QStringLiteral("framVertical"));
    makeOptions(optVertical, "optVertical", {Pushing, Sensor}, homing);

    auto *types = new QWidget(framParameta);
    types->setObjectName(QStringLiteral("framType"));
    makeOptions(optType, "optType", {TypeKtNew, TypeKtOld, TypeRw}, types);

    PictureExpPara = new QFrame(framParameta);
    PictureExpPara->setObjectName(QStringLiteral("PictureExpPara"));
    lblEmgWay = new QLabel(PictureExpPara);
    lblEmgWay->setObjectName(QStringLiteral("lblEmgWay"));
    setCaptionId(lblEmgWay, ParameterInfoOf(23).labelId);
    lblEmgLogic = new QLabel(PictureExpPara);
    lblEmgLogic->setObjectName(QStringLiteral("lblEmgLogic"));
    setCaptionId(lblEmgLogic, ParameterInfoOf(24).labelId);
    makeOptions(optEmgWay, "optEmgWay", {Reset, Hold}, PictureExpPara);
    makeOptions(optEmgLogic, "optEmgLogic", {LogicB, LogicA}, PictureExpPara);

    comboActSize = new QComboBox(framParameta);
    comboActSize->setObjectName(QStringLiteral("comboActSize"));
    comboActSpeed = new QComboBox(framParameta);
    comboActSpeed->setObjectName(QStringLiteral("comboActSpeed"));
    comboActStroke = new QComboBox(framParameta);
    comboActStroke->setObjectName(QStringLiteral("comboActStroke"));
    // Editable, so that a model read from a file or the controller shows as
    // it is even when this catalogue does not list it.
    for (QComboBox *c : {comboActSize, comboActSpeed, comboActStroke}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
    }

    chkUseDefoult = new QCheckBox(this);
    chkUseDefoult->setObjectName(QStringLiteral("chkUseDefoult"));
    setCaptionId(chkUseDefoult, UseDefault);
    lblDefoultPara = new QLabel(this);
    lblDefoultPara->setObjectName(QStringLiteral("lblDefoultPara"));
    setCaptionId(lblDefoultPara, DefaultLabel);
    cmdLoadDefoultPara = new QPushButton(this);
    cmdLoadDefoultPara->setObjectName(QStringLiteral("cmdLoadDefoultPara"));
    setCaptionId(cmdLoadDefoultPara, DefaultButton);
    cmdSelectDevice = new QPushButton(framParameta);
    cmdSelectDevice->setObjectName(QStringLiteral("cmdSelectDevice"));
    setCaptionId(cmdSelectDevice, Calculate);
    lblParaWinStatus = new QLabel(this);
    lblParaWinStatus->setObjectName(QStringLiteral("lblParaWinStatus"));

    ssTab2 = new QTabWidget(this);
    ssTab2->setObjectName(QStringLiteral("ssTab2"));
    const auto makeButton = [](QWidget *parent, const char *name, int id) {
        auto *b = new QPushButton(parent);
        b->setObjectName(QLatin1String(name));
        setCaptionId(b, id);
        return b;
    };
    auto *fileTab = new QWidget(ssTab2);
    fileTab->setObjectName(QStringLiteral("ssTab2_0"));
    cmdReadParaFile = makeButton(fileTab, "cmdReadParaFile", OpenFile);
    cmdSaveParaFile = makeButton(fileTab, "cmdSaveParaFile", SaveFile);
    cmdConpareFile = makeButton(fileTab, "cmdConpareFile", VerifyFile);
    auto *ctTab = new QWidget(ssTab2);
    ctTab->setObjectName(QStringLiteral("ssTab2_1"));
    cmdParaRead = makeButton(ctTab, "cmdParaRead", ReadFromCt);
    cmdParaWrite = makeButton(ctTab, "cmdParaWrite", WriteToCt);
    cmdConpareCT = makeButton(ctTab, "cmdConpareCT", VerifyCt);
    ssTab2->addTab(fileTab, QString());
    ssTab2->addTab(ctTab, QString());
    for (QWidget *tab : {fileTab, ctTab}) {
        auto *row = new QHBoxLayout(tab);
        for (QObject *child : tab->children()) {
            if (auto *b = qobject_cast<QPushButton *>(child))
                row->addWidget(b);
        }
    }

    // Any change of a parameter text field marks the parameters changed.
    for (int n = 1; n <= 20; ++n) {
        if (QLineEdit *e = textFieldOf(n))
            connect(e, &QLineEdit::textChanged, this, &ParameterWindow::markChanged);
    }
    for (int i = 0; i < 3; ++i) {
        connect(optType[static_cast<size_t>(i)], &QRadioButton::toggled, this,
                [this, i](bool on) {
                    if (on)
                        onTypeSelected(i);
                });
    }
    connect(optVertical[0], &QRadioButton::clicked, this, [this] { m_lastHomingSensor = false; });
    connect(optVertical[1], &QRadioButton::clicked, this, [this] { m_lastHomingSensor = true; });
    // The number beside the options is what the range check reads: it
    // follows the option however it was chosen (a type, a question, a click).
    connect(optVertical[1], &QRadioButton::toggled, this,
            [this](bool sensor) { txtVsiyou->setText(sensor ? QStringLiteral("1") : QStringLiteral("0")); });
    // The model text beside the lists is the model a write would send: it
    // follows every choice in them.
    const auto showChosenModel = [this] {
        const auto stroke = RoundToInt32(LeadingNumber(comboActStroke->currentText()));
        txtActuator->setText(ComposeActuator(modelSize(), comboActSpeed->currentText().trimmed(),
                                             stroke.value_or(0)));
    };
    connect(comboActSize, &QComboBox::activated, this, [this, showChosenModel] {
        showLists(m_browser->refreshFromSize(shownLists(), comboActSize->currentText()));
        applyHomingRule();
        showChosenModel();
    });
    connect(comboActSpeed, &QComboBox::activated, this, [this, showChosenModel] {
        showLists(m_browser->refreshFromSpeed(shownLists(), comboActSpeed->currentText()));
        applyHomingRule();
        showChosenModel();
    });
    connect(comboActStroke, &QComboBox::activated, this, [this, showChosenModel] {
        applyHomingRule();
        showChosenModel();
    });
    connect(cmdLoadDefoultPara, &QPushButton::clicked, this, &ParameterWindow::LoadDefoultPara);
    connect(cmdSelectDevice, &QPushButton::clicked, this, &ParameterWindow::SelectDevice);
    connect(chkUseDefoult, &QCheckBox::stateChanged, this, &ParameterWindow::onDefaultBoxChanged);

    connect(cmdReadParaFile, &QPushButton::clicked, this, [this] { runCommand([this] { ReadParaFileProc(); }); });
    connect(cmdSaveParaFile, &QPushButton::clicked, this, [this] { runCommand([this] { SaveParaFileProc(); }); });
    connect(cmdConpareFile, &QPushButton::clicked, this, [this] { runCommand([this] { ParaFileShogoProc(); }); });
    connect(cmdParaRead, &QPushButton::clicked, this, [this] { runCommand([this] { GetParametaValue(); }); });
    connect(cmdParaWrite, &QPushButton::clicked, this, [this] { runCommand([this] { ParametaWriteProc(); }); });
    connect(cmdConpareCT, &QPushButton::clicked, this, [this] { runCommand([this] { ParaCtShogoProc(); }); });
}

void ParameterWindow::buildLayout()
{
    auto *grid = new QGridLayout(framParameta);
    const auto row = [&](int r, int col, int number, QWidget *field, QWidget *extra = nullptr) {
        grid->addWidget(lblParaName[static_cast<size_t>(number)], r, col);
        grid->addWidget(field, r, col + 1);
        if (extra)
            grid->addWidget(extra, r, col + 2);
    };

    // Fields as wide as their longest value, not as the column.
    const int digit = fontMetrics().horizontalAdvance(u'0');
    for (int n = 1; n <= 20; ++n) {
        if (QLineEdit *e = textFieldOf(n))
            e->setFixedWidth(digit * 9 + 12);
    }
    txtVsiyou->setFixedWidth(digit * 3 + 12);
    txtActuator->setFixedWidth(digit * 10 + 12);
    for (QComboBox *c : {comboActSize, comboActSpeed, comboActStroke})
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    // Left column: stroke, homing values and the nine speed steps.
    row(0, 0, 1, txtStroke, cmdSelectDevice);
    for (int n = 2; n <= 14; ++n)
        row(n - 1, 0, n, textFieldOf(n), n == 3 ? lblX5msec : nullptr);

    // Right column: jog speeds, homing method, lead, pulses, type, model.
    int r = 0;
    for (int n = 15; n <= 17; ++n)
        row(r++, 3, n, textFieldOf(n));

    QWidget *homing = optVertical[0]->parentWidget();
    auto *homingRow = new QHBoxLayout(homing);
    homingRow->setContentsMargins(0, 0, 0, 0);
    homingRow->addWidget(optVertical[0]);
    homingRow->addWidget(optVertical[1]);
    homingRow->addWidget(txtVsiyou);
    homingRow->addStretch();
    row(r++, 3, 18, homing);
    row(r++, 3, 19, txtLead);
    row(r++, 3, 20, txtPulse);

    QWidget *types = optType[0]->parentWidget();
    auto *typeRow = new QHBoxLayout(types);
    typeRow->setContentsMargins(0, 0, 0, 0);
    for (QRadioButton *b : optType)
        typeRow->addWidget(b);
    typeRow->addStretch();
    row(r++, 3, 21, types);

    auto *model = new QWidget(framParameta);
    auto *modelRow = new QHBoxLayout(model);
    modelRow->setContentsMargins(0, 0, 0, 0);
    modelRow->addWidget(comboActSize);
    modelRow->addWidget(comboActSpeed);
    modelRow->addWidget(comboActStroke);
    modelRow->addWidget(txtActuator);
    modelRow->addStretch();
    row(r++, 3, 22, model);

    auto *details = new QGridLayout(PictureExpPara);
    details->setContentsMargins(0, 0, 0, 0);
    details->addWidget(lblEmgWay, 0, 0);
    details->addWidget(optEmgWay[0], 0, 1);
    details->addWidget(optEmgWay[1], 0, 2);
    details->addWidget(lblEmgLogic, 1, 0);
    details->addWidget(optEmgLogic[0], 1, 1);
    details->addWidget(optEmgLogic[1], 1, 2);
    grid->addWidget(PictureExpPara, r, 3, 2, 3);
    grid->setColumnMinimumWidth(2, 12);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(14, 1);

    auto *defaults = new QHBoxLayout;
    defaults->addWidget(chkUseDefoult);
    defaults->addStretch();
    defaults->addWidget(lblDefoultPara);
    defaults->addWidget(cmdLoadDefoultPara);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblParaWinStatus, 1);
    bottom->addWidget(ssTab2);

    auto *main = new QVBoxLayout(this);
    main->addWidget(framParameta);
    main->addLayout(defaults);
    main->addLayout(bottom);
}

void ParameterWindow::loadCaptions()
{
    setWindowTitle(LoadText(WindowTitle));
    const auto fill = [](QWidget *w) {
        const QVariant caption = w->property(kCaptionId);
        if (caption.isValid()) {
            const QString text = LoadText(caption.toInt());
            if (auto *label = qobject_cast<QLabel *>(w))
                label->setText(text);
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                button->setText(text);
            else if (auto *box = qobject_cast<QGroupBox *>(w))
                box->setTitle(text);
        }
        const QVariant tip = w->property(kTipId);
        if (tip.isValid())
            w->setToolTip(LoadText(tip.toInt()));
    };
    fill(framParameta);
    for (QWidget *w : findChildren<QWidget *>())
        fill(w);
    ssTab2->setTabText(0, LoadText(TabFile));
    ssTab2->setTabText(1, LoadText(TabController));
}

void ParameterWindow::Form_Load()
{
    m_loading = true;
    loadCaptions();
    lblParaWinStatus->clear();
    chkUseDefoult->setChecked(true);
    onDefaultBoxChanged();

    // The PC-side model decides the type and the model shown in the lists.
    m_state.gDevFamily = m_state.familyCode();
    int type = 0;
    if (!m_state.gIsKT)
        type = 2;
    else if (!m_state.gIsNewType)
        type = 1;
    m_lastHomingSensor = m_state.gIsKT && m_state.gVertical;
    m_busy = false;
    selectType(type);   // reads the catalogue and fills the model lists
    applyDetailShow();
    m_loading = false;
    m_para.gParaChanged = false;
}

// --- Model lists -------------------------------------------------------------

void ParameterWindow::buildFieldRules()
{
    m_fields = new DigitFields(this);
    for (const ParamFieldRule &rule : ParamFieldRules()) {
        DigitFields::Field field;
        field.edit = findChild<QLineEdit *>(QLatin1String(rule.name));
        field.fullLength = rule.fullLength;
        if (rule.next)
            field.next = findChild<QWidget *>(QLatin1String(rule.next));
        if (rule.leaveChecked)
            field.accepts = [&rule](const QString &text) { return rule.acceptsOnLeave(text); };
        // A value read from a file or the controller may lie outside these
        // ranges (the checks before a save or write name it); passing
        // through its field must not empty it.
        field.onlyWhenEdited = true;
        m_fields->add(field);
        // Every insert, typed or pasted (the paste keys, the context menu, a
        // middle click, a drop), leaves only digits within the full length.
        if (rule.fullLength > 0) {
            const QRegularExpression digits(QStringLiteral("[0-9]{0,%1}").arg(rule.fullLength));
            field.edit->setValidator(new QRegularExpressionValidator(digits, field.edit));
            field.edit->installEventFilter(this);
        }
    }
}

void ParameterWindow::fillAllModelLists()
{
    showLists(m_browser->refreshAll(m_state.gDevSize));
    applyHomingRule();
}

ModelLists ParameterWindow::shownLists() const
{
    return ShownModelLists({comboActSize, comboActSpeed, comboActStroke});
}

void ParameterWindow::showLists(const ModelLists &lists)
{
    ShowModelLists({comboActSize, comboActSpeed, comboActStroke}, lists);
}

void ParameterWindow::showModel(const QString &size, const QString &speed, const QString &stroke)
{
    ModelLists lists = m_browser->refreshFromSize(shownLists(), size);
    lists.size = size;
    lists = m_browser->refreshFromSpeed(lists, speed);
    lists.speed = speed;
    lists.stroke = stroke;
    showLists(lists);
}

void ParameterWindow::lockHoming(bool locked)
{
    optVertical[0]->setEnabled(!locked);
    optVertical[1]->setEnabled(!locked);
}

void ParameterWindow::applyHomingRule()
{
    switch (m_browser->homeCode(comboActSize->currentText(), comboActSpeed->currentText(),
                                comboActStroke->currentText())) {
    case HomeFixedPushing:
        optVertical[0]->setChecked(true);
        lockHoming(true);
        break;
    case HomeFixedSensor:
        optVertical[1]->setChecked(true);
        lockHoming(true);
        break;
    case HomeUserChoice:
        lockHoming(false);
        optVertical[m_lastHomingSensor ? 1 : 0]->setChecked(true);
        break;
    default: // a model the catalogue does not list: the choice stays
        break;
    }
}

QString ParameterWindow::modelSize() const
{
    QString size = comboActSize->currentText();
    if (size.size() == 2)
        size.prepend(u' ');
    return size;
}

int ParameterWindow::selectedType() const
{
    for (int i = 0; i < 3; ++i) {
        if (optType[static_cast<size_t>(i)]->isChecked())
            return i;
    }
    return -1;
}

void ParameterWindow::selectType(int index)
{
    if (index < 0 || index > 2)
        return;
    if (optType[static_cast<size_t>(index)]->isChecked())
        return;
    optType[static_cast<size_t>(index)]->setChecked(true); // runs onTypeSelected
}

// A type choice fixes the homing method where the controller type has no
// choice, and switches the model lists to that family's catalogue.
void ParameterWindow::onTypeSelected(int index)
{
    switch (index) {
    case 0:
        optVertical[1]->setChecked(true);
        lockHoming(true);
        break;
    case 1:
        lockHoming(false);
        break;
    default:
        optVertical[0]->setChecked(true);
        lockHoming(true);
        break;
    }
    // The lists browse that family's catalogue; the model in use stays.
    if (m_browser->browse(index == 2 ? QStringLiteral("RW") : QStringLiteral("KT"), index == 0))
        fillAllModelLists();
}

// --- Window state -----------------------------------------------------------

void ParameterWindow::onDefaultBoxChanged()
{
    const bool checked = chkUseDefoult->checkState() == Qt::Checked;
    if (checked) {
        optEmgWay[1]->setChecked(true);
        optEmgLogic[1]->setChecked(true);
    }
    for (QWidget *w : {static_cast<QWidget *>(optEmgWay[0]), static_cast<QWidget *>(optEmgWay[1]),
                       static_cast<QWidget *>(optEmgLogic[0]), static_cast<QWidget *>(optEmgLogic[1]),
                       static_cast<QWidget *>(lblEmgWay), static_cast<QWidget *>(lblEmgLogic)})
        w->setEnabled(!checked);
}

void ParameterWindow::setDetailShow(bool show)
{
    m_detailShow = show;
    applyDetailShow();
}

void ParameterWindow::applyDetailShow()
{
    PictureExpPara->setVisible(m_detailShow);
    PictureExpPara->setEnabled(m_detailShow);
    chkUseDefoult->setEnabled(m_detailShow);
}

// --- Defaults, the calculator and closing ------------------------------------

void ParameterWindow::LoadDefoultPara()
{
    cmdLoadDefoultPara->setEnabled(false);
    const std::optional<DeviceChoice> choice =
        DeviceDialog::choose(m_state, m_prompter, m_catalogue.listDir(), this);
    if (choice) {
        m_lastHomingSensor = choice->vType;
        if (const std::optional<DefaultFields> fields =
                LoadDefaultFields(*choice, m_prompter, m_catalogue.listDir()))
            showDefaults(*fields);
    }
    cmdLoadDefoultPara->setEnabled(true);
}

void ParameterWindow::showDefaults(const DefaultFields &f)
{
    selectType(f.type);
    for (int n = 1; n <= 20; ++n) {
        if (QLineEdit *e = textFieldOf(n))
            e->setText(f.text[static_cast<size_t>(n)]);
    }
    txtVsiyou->setText(f.vsiyou);
    optVertical[f.sensor ? 1 : 0]->setChecked(true);
    txtActuator->setText(f.actuator);
    showModel(f.size, f.speed, f.stroke);
    optEmgWay[f.emgHold ? 1 : 0]->setChecked(true);
    optEmgLogic[f.emgLogicA ? 1 : 0]->setChecked(true);
    chkUseDefoult->setChecked(true);
    m_fields->forgetEdits();
}

void ParameterWindow::SelectDevice()
{
    const ParamFieldRule &stroke = *ParamFieldRuleOf(1);
    if (const std::optional<int> pulses = StrokeCalculator::calculate(stroke.leaveMin, stroke.leaveMax, this)) {
        txtStroke->setText(QString::number(*pulses));
        txtHomeOffset->setFocus(Qt::OtherFocusReason);
    }
}

bool ParameterWindow::SaveChangesBeforeClose()
{
    switch (m_prompter.ask(LoadText(SaveQuestion), Prompter::Buttons::YesNoCancel, Prompter::Icon::Question)) {
    case Prompter::Answer::Yes: {
        int saved = 1;
        runCommand([this, &saved] { saved = SaveParaFileProc(); });
        return saved == 0;
    }
    case Prompter::Answer::No:
        return true;
    default:
        return false;
    }
}

void ParameterWindow::markChanged()
{
    m_para.gParaChanged = true;
}

void ParameterWindow::setStatusText(const QString &text)
{
    lblParaWinStatus->setText(text);
}

void ParameterWindow::setCaptionFromFileTitle(const QString &fileTitle)
{
    setWindowTitle(fileTitle.left(std::max<qsizetype>(0, fileTitle.size() - 4)));
}

void ParameterWindow::closeEvent(QCloseEvent *event)
{
    // A command waits inside this window's handlers: closing now would pull
    // the window away from under it.
    if (m_busy) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool ParameterWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The paste keys paste, through the field's validator like any other
    // paste, rather than being refused as characters by the key rules.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
            edit->paste();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ParameterWindow::ParametaCMDBTN_Muko()
{
    for (QPushButton *b : {cmdReadParaFile, cmdSaveParaFile, cmdConpareFile, cmdParaRead,
                           cmdParaWrite, cmdConpareCT})
        b->setEnabled(false);
}

void ParameterWindow::ParametaCMDBTN_Yuko()
{
    for (QPushButton *b : {cmdReadParaFile, cmdSaveParaFile, cmdConpareFile, cmdParaRead,
                           cmdParaWrite, cmdConpareCT})
        b->setEnabled(true);
}

void ParameterWindow::runCommand(const std::function<void()> &body)
{
    if (m_busy)
        return;
    // The main window's commands are locked too: a second transaction must
    // not start inside the wait of this one.
    ParametaCMDBTN_Muko();
    m_busy = true;
    if (m_surface) {
        m_surface->setBusy(true);
        m_surface->setCommandButtonsEnabled(false);
        m_surface->setToolbarEnabled(false);
        m_surface->setMenusEnabled(false);
    }
    emit busyChanged(true);
    body();
    m_busy = false;
    if (m_surface) {
        m_surface->setCommandButtonsEnabled(true);
        m_surface->setToolbarEnabled(true);
        m_surface->setMenusEnabled(true);
        m_surface->setBusy(false);
    }
    emit busyChanged(false);
    ParametaCMDBTN_Yuko();
}

QLineEdit *ParameterWindow::textFieldOf(int number) const
{
    switch (number) {
    case 1: return txtStroke;
    case 2: return txtHomeOffset;
    case 3: return txtHomeOsikomi;
    case 4: return txtGentenModori;
    case 5: return txtGentenHanten;
    case 6: return txtKasokuSet1;
    case 7: return txtKasokuSet2;
    case 8: return txtKasokuSet3;
    case 9: return txtKasokuSet4;
    case 10: return txtKasokuSet5;
    case 11: return txtKasokuSet6;
    case 12: return txtKasokuSet7;
    case 13: return txtKasokuSet8;
    case 14: return txtKasokuSet9;
    case 15: return txtJog1;
    case 16: return txtJog2;
    case 17: return txtJog3;
    case 19: return txtLead;
    case 20: return txtPulse;
    default: return nullptr;
    }
}

// --- The parameter set and the window ---------------------------------------

ParameterFields ParameterWindow::fields() const
{
    ParameterFields f;
    for (int n = 1; n <= 20; ++n) {
        if (const QLineEdit *e = textFieldOf(n))
            f.text.at(static_cast<size_t>(n)) = e->text();
    }
    f.text[18] = txtVsiyou->text();
    f.type = selectedType();
    f.sensor = optVertical[1]->isChecked();
    f.size = comboActSize->currentText();
    f.speed = comboActSpeed->currentText();
    f.stroke = comboActStroke->currentText();
    switch (chkUseDefoult->checkState()) {
    case Qt::Unchecked:
        f.defaultBox = ParameterFields::DefaultBox::Unchecked;
        break;
    case Qt::PartiallyChecked:
        f.defaultBox = ParameterFields::DefaultBox::Grey;
        break;
    case Qt::Checked:
        f.defaultBox = ParameterFields::DefaultBox::Checked;
        break;
    }
    f.emgWayReset = optEmgWay[0]->isChecked();
    f.emgLogicB = optEmgLogic[0]->isChecked();
    return f;
}

int ParameterWindow::TorikomiParaData()
{
    return ::TorikomiParaData(fields(), m_para);
}

void ParameterWindow::Disp_ParaData()
{
    ParameterFields f = fields();
    ShowParameters(m_para, m_detailShow, f);
    for (int n = 1; n <= 20; ++n) {
        if (QLineEdit *e = textFieldOf(n))
            e->setText(f.text.at(static_cast<size_t>(n)));
    }
    txtVsiyou->setText(f.text[18]);

    // The type first: its choice refills the model lists, which then show
    // the model of the parameters.
    selectType(f.type);
    optVertical[f.sensor ? 1 : 0]->setChecked(true);

    txtActuator->setText(m_para.gParaActuator);
    showModel(f.size, f.speed, f.stroke);

    if (m_detailShow && chkUseDefoult->checkState() == Qt::Unchecked) {
        optEmgWay[f.emgWayReset ? 0 : 1]->setChecked(true);
        optEmgLogic[f.emgLogicB ? 0 : 1]->setChecked(true);
    }
    m_fields->forgetEdits();
}

int ParameterWindow::Check_ParaDataUmu() const
{
    return ::Check_ParaDataUmu(fields());
}

int ParameterWindow::CheckParaDataValue()
{
    m_para.gParaNgNo = ParameterValueFailures(fields(), m_para.gParaType, m_catalogue);
    return m_para.gParaNgNo.isEmpty() ? 0 : 1;
}

int ParameterWindow::Check_VType() const
{
    return ::Check_VType(fields());
}

int ParameterWindow::RunPreChecks()
{
    ParameterFields f = fields();
    const int result = RunParameterPreChecks(f, m_para, m_catalogue, m_prompter);
    // The homing question's Yes selects homing by sensor.
    if (f.sensor && !optVertical[1]->isChecked())
        optVertical[1]->setChecked(true);
    return result;
}

// --- File commands ----------------------------------------------------------

std::optional<FileDialogs::Choice> ParameterWindow::openParaFile(int titleId)
{
    FileDialogs::Request request;
    request.title = LoadText(titleId);
    request.filter = LoadText(FileFilter);
    request.defaultExtension = LoadText(FileExtension);
    request.mustExist = true;
    const std::optional<FileDialogs::Choice> choice = m_dialogs.open(request);
    if (!choice || choice->path.isEmpty())
        return std::nullopt;
    DataFileFault fault;
    if (OpenParaFile(choice->path, choice->title, m_para, m_prompter, &fault) != 0) {
        QString text = LoadText(OpenError);
        if (fault.isSet())
            text += QStringLiteral("\n\n") + DataFileFaultText(fault);
        m_prompter.tell(text, Prompter::Icon::None);
        return std::nullopt;
    }
    return choice;
}

void ParameterWindow::ReadParaFileProc()
{
    if (m_para.gParaChanged) {
        const Prompter::Answer a = m_prompter.ask(LoadText(SaveQuestion), Prompter::Buttons::YesNoCancel,
                                                  Prompter::Icon::Question);
        if (a == Prompter::Answer::Cancel)
            return;
        // Reading over changes the user wanted kept, when they could not be
        // saved, would lose them: stop instead.
        if (a == Prompter::Answer::Yes && SaveParaFileProc() != 0)
            return;
    }

    const std::optional<FileDialogs::Choice> choice = openParaFile(OpenTitle);
    if (!choice)
        return;
    ParaDA2Hensu(m_para);
    setCaptionFromFileTitle(choice->title);
    Disp_ParaData();
    m_para.gParaChanged = false;
}

int ParameterWindow::SaveParaFileProc()
{
    if (RunPreChecks() != 0)
        return 1;

    FileDialogs::Request request;
    request.title = LoadText(SaveTitle);
    request.initialName = LoadText(DefaultFileName);
    request.filter = LoadText(FileFilter);
    request.defaultExtension = LoadText(FileExtension);
    request.confirmOverwrite = true;
    const std::optional<FileDialogs::Choice> choice = m_dialogs.save(request);
    if (!choice || choice->path.isEmpty())
        return 1;

    QString reason;
    if (SaveParaFileAs(choice->path, m_para, &reason) != 0) {
        // The old file, if any, is left as it was: say so, which file and why.
        m_prompter.tell(LoadText(FileWriteFailed) + QStringLiteral("\n\n") + QDir::toNativeSeparators(choice->path)
                            + u'\n' + reason,
                        Prompter::Icon::None);
        return 1;
    }
    setCaptionFromFileTitle(choice->title);
    m_para.gParaChanged = false;
    return 0;
}

void ParameterWindow::ParaFileShogoProc()
{
    if (RunPreChecks() != 0)
        return;

    const std::optional<FileDialogs::Choice> choice = openParaFile(OpenReferenceTitle);
    if (!choice)
        return;

    // A file of exactly 15 values comes from an RW controller, which has no
    // homing method to compare.
    bool skipHoming = false;
    if (m_state.gIsKT && m_para.gParaDACount == 16) {
        if (m_prompter.ask(JoinTexts({RwData, RwNoVertical, RwContinue}), Prompter::Buttons::OkCancel,
                           Prompter::Icon::Question)
            == Prompter::Answer::Cancel)
            return;
        skipHoming = true;
    }

    TellParameterVerification(m_prompter, m_para, LoadText(ResultFile) + u'(' + choice->title + u')',
                     ParametaShogoProc(m_para, m_detailShow, skipHoming, m_para.gParaDACount - 1));
}

// --- Controller commands ------------------------------------------------------

ParameterTransfer::Hooks ParameterWindow::transferHooks()
{
    ParameterTransfer::Hooks hooks;
    hooks.preChecks = [this] { return RunPreChecks(); };
    hooks.status = [this](const QString &s) { setStatusText(s); };
    hooks.shown = [this] {
        setWindowTitle(LoadText(InsideCt));
        Disp_ParaData();
    };
    hooks.moveDataStale = [this] { emit moveDataStale(); };
    hooks.controllerReset = [this] { emit controllerReset(); };
    hooks.deviceAdopted = [this](bool longForm) { emit deviceAdopted(longForm); };
    return hooks;
}

void ParameterWindow::GetParametaValue()
{
    if (m_transfer)
        m_transfer->ReadCommand(transferHooks());
}

void ParameterWindow::ParametaWriteProc()
{
    if (m_transfer)
        m_transfer->WriteCommand(chkUseDefoult->checkState() == Qt::Checked, transferHooks());
}

void ParameterWindow::ParaCtShogoProc()
{
    if (m_transfer)
        m_transfer->VerifyCtCommand(m_detailShow, transferHooks());
}
