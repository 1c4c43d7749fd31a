#include "ui/frmoptions2.h"

#include "app/appoptions.h"
#include "app/appstate.h"
#include "app/optionsrules.h"
#include "app/settingsstore.h"
#include "text/stringtable.h"
#include "ui/captionloader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <typename T>
T *named(T *control, const QString &name, int captionId = 0)
{
    control->setObjectName(name);
    if (captionId > 0)
        SetCaptionId(control, captionId);
    return control;
}

QString indexedName(const char *name, int index)
{
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

QLabel *cautionLabel(const QString &name, int captionId, QWidget *parent)
{
    auto *label = named(new QLabel(parent), name, captionId);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The tab captions, in tab order.
constexpr int kTabCaptions[5] = {92, 93, 94, 95, 150};

} // namespace

frmOptions2::frmOptions2(AppState &state, SettingsStore &store, AppOptions &options,
                         const QList<SerialPortEntry> &ports, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_store(store)
    , m_options(options)
{
    setObjectName(QStringLiteral("frmOptions2"));
    SetCaptionId(this, 880);
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    build();
    Form_Load(ports);
}

void frmOptions2::build()
{
    SSTabOption = named(new QTabWidget(this), QStringLiteral("SSTabOption"));
    SSTabOption->addTab(buildPortTab(), QString());
    SSTabOption->addTab(buildParameterTab(), QString());
    SSTabOption->addTab(buildCurrentDownTab(), QString());
    SSTabOption->addTab(buildLanguageTab(), QString());
    SSTabOption->addTab(buildPositionTab(), QString());

    cmdOK = named(new QPushButton(this), QStringLiteral("cmdOK"), 119);
    cmdCancel = named(new QPushButton(this), QStringLiteral("cmdCancel"), 120);
    cmdApply = named(new QPushButton(this), QStringLiteral("cmdApply"), 98);
    cmdOK->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel, QDialogButtonBox::RejectRole);
    buttons->addButton(cmdApply, QDialogButtonBox::RejectRole);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions2::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdApply, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTabOption);
    layout->addWidget(buttons);
    // Wide enough for the five tab captions and a port with its adapter.
    setMinimumWidth(520);
}

QWidget *frmOptions2::buildPortTab()
{
    auto *page = new QWidget(this);
    lblPortNo = named(new QLabel(page), QStringLiteral("lblPortNo"), 96);
    comboPortNo = named(new QComboBox(page), QStringLiteral("comboPortNo"));
    comboPortNo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    comboPortNo->setMinimumContentsLength(30);
    lblPortNo->setBuddy(comboPortNo);
    chkPortOccupy = named(new QCheckBox(page), QStringLiteral("chkPortOccupy"), 97);

    auto *row = new QHBoxLayout;
    row->addWidget(lblPortNo);
    row->addWidget(comboPortNo, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addWidget(chkPortOccupy);
    layout->addStretch(1);
    return page;
}

QWidget *frmOptions2::buildParameterTab()
{
    auto *page = new QWidget(this);
    chkParametaShow = named(new QCheckBox(page), QStringLiteral("chkParametaShow"), 101);
    lblParaTyuijikou = cautionLabel(QStringLiteral("lblParaTyuijikou"), 100, page);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chkParametaShow);
    layout->addWidget(lblParaTyuijikou);
    layout->addStretch(1);
    return page;
}

QWidget *frmOptions2::buildCurrentDownTab()
{
    auto *page = new QWidget(this);
    chkChangeBk = named(new QCheckBox(page), QStringLiteral("chkChangeBk"), 596);
    connect(chkChangeBk, &QCheckBox::clicked, this, &frmOptions2::chkChangeBk_Click);
    const int captions[2] = {597, 598};
    for (int i = 0; i < 2; ++i)
        optCurrentDown[i] = named(new QRadioButton(page), indexedName("optCurrentDown", i), captions[i]);

    lblBreakSet = named(new QLabel(page), QStringLiteral("lblBreakSet"), 104);
    lblBreakSet->setEnabled(false);
    txtBreakNo = named(new QLineEdit(page), QStringLiteral("txtBreakNo"));
    txtBreakNo->setMaxLength(1);
    txtBreakNo->setFixedWidth(txtBreakNo->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 12);
    txtBreakNo->setAlignment(Qt::AlignCenter);
    txtBreakNo->installEventFilter(this);
    lblBreakSet->setBuddy(txtBreakNo);
    const Qt::ArrowType arrows[2] = {Qt::UpArrow, Qt::DownArrow};
    auto *spin = new QVBoxLayout;
    spin->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        UpDown1[i] = named(new QToolButton(page), indexedName("UpDown1", i));
        UpDown1[i]->setArrowType(arrows[i]);
        UpDown1[i]->setAutoRepeat(true);
        UpDown1[i]->setFocusPolicy(Qt::NoFocus);
        UpDown1[i]->setFixedSize(18, 12);
        connect(UpDown1[i], &QToolButton::clicked, this, [this, i] { stepBreakNo(i == 0 ? 1 : -1); });
        spin->addWidget(UpDown1[i]);
    }
    lblTyuijikou = cautionLabel(QStringLiteral("lblTyuijikou"), 102, page);

    auto *choices = new QVBoxLayout;
    choices->setContentsMargins(20, 0, 0, 0);
    choices->addWidget(optCurrentDown[0]);
    choices->addWidget(optCurrentDown[1]);
    auto *box = new QHBoxLayout;
    box->addWidget(lblBreakSet);
    box->addWidget(txtBreakNo);
    box->addLayout(spin);
    box->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chkChangeBk);
    layout->addLayout(choices);
    layout->addLayout(box);
    layout->addWidget(lblTyuijikou);
    layout->addStretch(1);
    return page;
}

QWidget *frmOptions2::buildLanguageTab()
{
    auto *page = new QWidget(this);
    framLanguege = named(new QGroupBox(page), QStringLiteral("framLanguege"), 105);
    auto *inner = new QVBoxLayout(framLanguege);
    const int captions[2] = {106, 107};
    for (int i = 0; i < 2; ++i) {
        optLanguege[i] = named(new QRadioButton(framLanguege), indexedName("optLanguege", i), captions[i]);
        inner->addWidget(optLanguege[i]);
    }
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(framLanguege);
    layout->addStretch(1);
    return page;
}

QWidget *frmOptions2::buildPositionTab()
{
    auto *page = new QWidget(this);
    chkDispPulsPosi = named(new QCheckBox(page), QStringLiteral("chkDispPulsPosi"), 99);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chkDispPulsPosi);
    layout->addStretch(1);
    return page;
}

void frmOptions2::Form_Load(const QList<SerialPortEntry> &ports)
{
    // 1. Texts and the tab captions.
    SetFormCaption(this);
    for (int i = 0; i < 5; ++i)
        SSTabOption->setTabText(i, LoadText(kTabCaptions[i]));

    // 2, 3. The ports found available, the port in use selected when it is
    // one of them; otherwise the list shows no port.
    comboPortNo->clear();
    for (const SerialPortEntry &port : ports) {
        if (!port.available)
            continue;
        comboPortNo->addItem(PortListText(port), comboPortNo->count());
        comboPortNo->setItemData(comboPortNo->count() - 1, PortListText(port), Qt::ToolTipRole);
        m_available.append(port.number);
    }
    comboPortNo->setCurrentIndex(static_cast<int>(m_available.indexOf(m_state.gPortNo)));

    // 4.
    chkParametaShow->setChecked(m_options.mParaDetailShow);
    // 5.
    if (m_options.mChangeBkCd) {
        chkChangeBk->setChecked(true);
        lblBreakSet->setEnabled(true);
        txtBreakNo->setText(QString::number(m_options.mCurrentDownNo));
    }
    txtBreakNo->setEnabled(m_options.mChangeBkCd);
    for (QToolButton *b : UpDown1)
        b->setEnabled(m_options.mChangeBkCd);
    // 6. The language the program runs in.
    const bool japanese = RunningLanguage(m_state.gLanguage) == 1;
    optLanguege[japanese ? 0 : 1]->setChecked(true);
    // 7.
    chkPortOccupy->setChecked(m_state.gPortOccupy);
    chkDispPulsPosi->setChecked(m_state.gPulsePosDisp);
    // 8.
    if (chkChangeBk->isChecked()) {
        if (m_options.mCurrentDownNo == 2)
            optCurrentDown[0]->setChecked(true);
        else if (m_options.mCurrentDownNo == 0)
            optCurrentDown[1]->setChecked(true);
    } else {
        optCurrentDown[0]->setChecked(true);
    }
    chkChangeBk_Click();

    move((m_state.gMainLeft + 500) / 15, (m_state.gMainTop + 500) / 15);
}

void frmOptions2::chkChangeBk_Click()
{
    const bool on = chkChangeBk->isChecked();
    for (QRadioButton *option : optCurrentDown) {
        option->setEnabled(on);
        option->setVisible(on);
    }
    if (!on)
        optCurrentDown[0]->setChecked(true);
}

void frmOptions2::stepBreakNo(int delta)
{
    const int value = std::clamp(txtBreakNo->text().toInt() + delta, 0, 3);
    txtBreakNo->setText(QString::number(value));
}

bool frmOptions2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtBreakNo && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        return !txtBreakNo_KeyPress(key->key(), key->text());
    }
    return QDialog::eventFilter(watched, event);
}

// One digit 0 to 3. Enter is never taken; with the digit in place it moves
// on to OK. Tab keeps moving the focus, so the box never traps the keyboard.
bool frmOptions2::txtBreakNo_KeyPress(int key, const QString &text)
{
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return true;
    const bool full = txtBreakNo->text().size() >= 1;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (full)
            cmdOK->setFocus();
        return false;
    }
    if (key == Qt::Key_Backspace)
        return true;
    if (full)
        return false;
    return text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'3';
}

void frmOptions2::cmdOK_Click()
{
    OptionsChoice choice;
    choice.portText = comboPortNo->currentText();
    choice.portOccupy = chkPortOccupy->isChecked();
    choice.pulsePosDisp = chkDispPulsPosi->isChecked();
    choice.paraDetailShow = chkParametaShow->isChecked();
    choice.changeBkCd = chkChangeBk->isChecked();
    choice.currentDownCarried = optCurrentDown[0]->isChecked();
    choice.language = optLanguege[0]->isChecked() ? 1 : 2;
    m_pulseChanged = ApplyOptions(choice, m_available, m_state, m_store, m_options);
    accept();
}
