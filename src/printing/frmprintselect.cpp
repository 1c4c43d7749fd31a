#include "printing/frmprintselect.h"

#include "app/filedialogs.h"
#include "app/prompter.h"
#include "text/stringtable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QButtonGroup>
#include <QVBoxLayout>

namespace {
constexpr int kCaption = 111;
constexpr int kPrompt = 112;
constexpr int kPositions = 113;
constexpr int kFromGrid = 114;
constexpr int kFromFile = 115;
constexpr int kPositionPlaceholder = 116;
constexpr int kBrowse = 117;
constexpr int kParameters = 118;
constexpr int kFromCt = 109;
constexpr int kParameterPlaceholder = 110;
constexpr int kOk = 119;
constexpr int kCancel = 120;
constexpr int kBadPositionFile = 561;
constexpr int kBadParameterFile = 562;
constexpr int kPositionFileTitle = 564;
constexpr int kParameterFileTitle = 563;
constexpr int kPositionFilter = 405;
constexpr int kPositionExtension = 404;
constexpr int kParameterFilter = 423;
constexpr int kParameterExtension = 422;

// 500 twips at 15 twips a pixel.
constexpr int kOffsetPixels = 500 / 15;
} // namespace

frmPrintSelect::frmPrintSelect(Prompter &prompter, FileDialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmPrintSelect"));
    setWindowTitle(LoadText(kCaption));
    m_choice.cancelled = false;

    const auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    lblPrintSet = new QLabel(LoadText(kPrompt), this);
    named(lblPrintSet, "lblPrintSet");
    chkPrintPosi = new QCheckBox(LoadText(kPositions), this);
    named(chkPrintPosi, "chkPrintPosi");
    optPrintPosi[0] = new QRadioButton(LoadText(kFromGrid), this);
    named(optPrintPosi[0], "optPrintPosi_0");
    optPrintPosi[1] = new QRadioButton(LoadText(kFromFile), this);
    named(optPrintPosi[1], "optPrintPosi_1");
    lblPrintPosiName = new QLabel(LoadText(kPositionPlaceholder), this);
    named(lblPrintPosiName, "lblPrintPosiName");
    cmdSelectPosiFile = new QPushButton(LoadText(kBrowse), this);
    named(cmdSelectPosiFile, "cmdSelectPosiFile");
    chkPrintPara = new QCheckBox(LoadText(kParameters), this);
    named(chkPrintPara, "chkPrintPara");
    optPrintPara[0] = new QRadioButton(LoadText(kFromCt), this);
    named(optPrintPara[0], "optPrintPara_0");
    optPrintPara[1] = new QRadioButton(LoadText(kFromFile), this);
    named(optPrintPara[1], "optPrintPara_1");
    lblPrintParaName = new QLabel(LoadText(kParameterPlaceholder), this);
    named(lblPrintParaName, "lblPrintParaName");
    cmdSelectParaFile = new QPushButton(LoadText(kBrowse), this);
    named(cmdSelectParaFile, "cmdSelectParaFile");
    cmdPrintSet = new QPushButton(LoadText(kOk), this);
    named(cmdPrintSet, "cmdPrintSet");
    cmdPrintCancel = new QPushButton(LoadText(kCancel), this);
    named(cmdPrintCancel, "cmdPrintCancel");

    // Each pair of source options is a group of its own.
    for (QRadioButton **pair : {optPrintPosi, optPrintPara}) {
        auto *group = new QButtonGroup(this);
        group->addButton(pair[0], 0);
        group->addButton(pair[1], 1);
        pair[0]->setChecked(true);
    }
    for (QLabel *label : {lblPrintPosiName, lblPrintParaName}) {
        label->setFrameShape(QFrame::StyledPanel);
        label->setMinimumWidth(220);
    }

    auto *grid = new QGridLayout;
    int row = 0;
    for (auto [check, pair, label, button] :
         {std::tuple{chkPrintPosi, optPrintPosi, lblPrintPosiName, cmdSelectPosiFile},
          std::tuple{chkPrintPara, optPrintPara, lblPrintParaName, cmdSelectParaFile}}) {
        grid->addWidget(check, row, 0, 1, 3);
        grid->addWidget(pair[0], row + 1, 1, 1, 2);
        grid->addWidget(pair[1], row + 2, 1);
        grid->addWidget(label, row + 3, 2);
        grid->addWidget(button, row + 3, 3);
        row += 4;
    }
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPrintSet);
    buttons->addWidget(cmdPrintCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrintSet);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    cmdPrintSet->setDefault(true);

    m_positions = {chkPrintPosi, optPrintPosi, lblPrintPosiName, cmdSelectPosiFile, kPositionPlaceholder,
                   &m_choice.positionFile};
    m_parameters = {chkPrintPara, optPrintPara, lblPrintParaName, cmdSelectParaFile, kParameterPlaceholder,
                    &m_choice.parameterFile};
    for (const Group *g : {&m_positions, &m_parameters}) {
        g->source[0]->setEnabled(false);
        g->source[1]->setEnabled(false);
        g->fileLabel->setEnabled(false);
        g->browse->setEnabled(false);
    }
    cmdPrintSet->setEnabled(false);

    connect(chkPrintPosi, &QCheckBox::clicked, this, [this] { checkClicked(m_positions, m_parameters); });
    connect(chkPrintPara, &QCheckBox::clicked, this, [this] { checkClicked(m_parameters, m_positions); });
    for (const Group *g : {&m_positions, &m_parameters}) {
        for (QRadioButton *option : {g->source[0], g->source[1]})
            connect(option, &QRadioButton::clicked, this, [this, g] { sourceClicked(*g); });
    }
    connect(cmdSelectPosiFile, &QPushButton::clicked, this,
            [this] { browse(m_positions, kPositionFileTitle, kPositionFilter, kPositionExtension); });
    connect(cmdSelectParaFile, &QPushButton::clicked, this,
            [this] { browse(m_parameters, kParameterFileTitle, kParameterFilter, kParameterExtension); });
    connect(cmdPrintSet, &QPushButton::clicked, this, &frmPrintSelect::accept);
    connect(cmdPrintCancel, &QPushButton::clicked, this, &frmPrintSelect::reject);
}

void frmPrintSelect::checkClicked(const Group &group, const Group &other)
{
    const bool on = group.check->isChecked();
    group.source[0]->setEnabled(on);
    group.source[1]->setEnabled(on);
    const bool fromFile = group.source[1]->isChecked();
    group.fileLabel->setEnabled(on && fromFile);
    group.browse->setEnabled(on && fromFile);
    if (on) {
        if (!fromFile || !group.path->isEmpty())
            cmdPrintSet->setEnabled(true);
    } else if (!other.check->isChecked()) {
        cmdPrintSet->setEnabled(false);
    }
}

void frmPrintSelect::sourceClicked(const Group &group)
{
    const bool fromFile = group.source[1]->isChecked();
    group.fileLabel->setEnabled(fromFile);
    group.browse->setEnabled(fromFile);
}

void frmPrintSelect::browse(const Group &group, int titleId, int filterId, int extensionId)
{
    FileDialogs::Request request;
    request.title = LoadText(titleId);
    request.filter = LoadText(filterId);
    request.defaultExtension = LoadText(extensionId);
    request.mustExist = true;
    const std::optional<FileDialogs::Choice> chosen = m_dialogs.open(request);
    if (!chosen)
        return;
    group.fileLabel->setText(chosen->title);
    *group.path = chosen->path;
}

bool frmPrintSelect::fileMissing(const Group &group) const
{
    const QString shown = group.fileLabel->text();
    return shown.isEmpty() || shown == LoadText(group.placeholderId) || group.path->isEmpty();
}

void frmPrintSelect::accept()
{
    m_choice.positionsFromGrid = m_choice.positionsFromFile = false;
    m_choice.parametersFromCt = m_choice.parametersFromFile = false;
    if (chkPrintPosi->isChecked()) {
        if (optPrintPosi[1]->isChecked() && fileMissing(m_positions)) {
            m_prompter.tell(LoadText(kBadPositionFile), Prompter::Icon::Exclamation);
            return;
        }
        (optPrintPosi[1]->isChecked() ? m_choice.positionsFromFile : m_choice.positionsFromGrid) = true;
    }
    if (chkPrintPara->isChecked()) {
        if (optPrintPara[1]->isChecked() && fileMissing(m_parameters)) {
            m_prompter.tell(LoadText(kBadParameterFile), Prompter::Icon::Exclamation);
            return;
        }
        (optPrintPara[1]->isChecked() ? m_choice.parametersFromFile : m_choice.parametersFromCt) = true;
    }
    m_choice.cancelled = false;
    QDialog::accept();
}

void frmPrintSelect::reject()
{
    m_choice.cancelled = true;
    QDialog::reject();
}

PrintChoice ShowPrintSelect(Prompter &prompter, FileDialogs &dialogs, QWidget *parent)
{
    frmPrintSelect dialog(prompter, dialogs, parent);
    if (parent)
        dialog.move(parent->frameGeometry().topLeft() + QPoint(kOffsetPixels, kOffsetPixels));
    dialog.exec();
    return dialog.choice();
}
