#include "ui/frmabout.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "app/settingsstore.h"
#include "app/version.h"
#include "link/portprobe.h"
#include "text/stringtable.h"
#include "ui/artwork.h"
#include "ui/captionloader.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSysInfo>
#include <QVBoxLayout>

namespace {

template <typename T>
T *named(T *control, const char *name, int captionId = 0)
{
    control->setObjectName(QString::fromLatin1(name));
    if (captionId > 0)
        SetCaptionId(control, captionId);
    return control;
}

#ifdef Q_OS_WIN
// The system's information program, as its installation registers it.
QString SystemInfoProgram()
{
    const QString root = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\");
    const QString path = QSettings(root + QStringLiteral("Shared Tools\\MSINFO"), QSettings::NativeFormat)
                             .value(QStringLiteral("PATH"))
                             .toString();
    if (!path.isEmpty())
        return path.section(QChar(0), 0, 0);
    QString folder = QSettings(root + QStringLiteral("Shared Tools Location"), QSettings::NativeFormat)
                         .value(QStringLiteral("MSINFO"))
                         .toString()
                         .section(QChar(0), 0, 0);
    if (folder.isEmpty())
        return QString();
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    const QString program = folder + QStringLiteral("MSINFO32.EXE");
    return QFileInfo::exists(program) ? program : QString();
}
#endif

} // namespace

frmAbout::frmAbout(const AppState &state, SettingsStore &store, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_prompter(prompter)
    , m_source([&store] { return SystemInformationText(store); })
{
    setObjectName(QStringLiteral("frmAbout"));
    SetCaptionId(this, 141);
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    picIcon = named(new QLabel(this), "picIcon");
    QPixmap logo(96, 48);
    logo.fill(Qt::transparent);
    {
        QPainter p(&logo);
        p.setRenderHint(QPainter::Antialiasing);
        Artwork::PaintLogo(p, QRectF(2, 2, 92, 44), LoadText(479));
    }
    picIcon->setPixmap(logo);
    picIcon->setAlignment(Qt::AlignTop);

    lblTitle = named(new QLabel(this), "lblTitle", 142);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = named(new QLabel(this), "lblVersion");
    lblDescription = named(new QLabel(this), "lblDescription", 143);
    lblDisclaimer = named(new QLabel(this), "lblDisclaimer", 144);
    lblHpAddress = named(new QLabel(this), "lblHpAddress", 145);
    for (QLabel *l : {lblDescription, lblDisclaimer})
        l->setWordWrap(true);
    lblDisclaimer->setFrameShape(QFrame::StyledPanel);
    lblDisclaimer->setMargin(6);
    lblHpAddress->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    cmdOK = named(new QPushButton(this), "cmdOK", 119);
    cmdOK->setDefault(true);
    cmdSysInfo = named(new QPushButton(this), "cmdSysInfo", 871);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto *grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 3, 1);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(lblDisclaimer, 3, 0, 1, 2);
    grid->addWidget(lblHpAddress, 4, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 5, 1);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(520);

    // 1. Texts; the version; the title is the program's name.
    SetFormCaption(this);
    lblVersion->setText(LoadText(870) + VersionNumberText());
    lblTitle->setText(LoadText(479));
    move((state.gMainLeft + 500) / 15, (state.gMainTop + 500) / 15);
}

void frmAbout::cmdSysInfo_Click()
{
#ifdef Q_OS_WIN
    const QString program = SystemInfoProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {})) {
        m_prompter.tell(LoadText(536), Prompter::Icon::Exclamation);
    }
#else
    const QString text = m_source ? m_source() : QString();
    if (text.isEmpty()) {
        m_prompter.tell(LoadText(536), Prompter::Icon::Exclamation);
        return;
    }
    frmSysInfo info(text, this);
    info.exec();
#endif
}

QString SystemInformationText(const SettingsStore &store)
{
    QStringList lines;
    const auto line = [&lines](int label, const QString &value) {
        lines << LoadText(label) + QStringLiteral(": ") + value;
    };
    line(874, LoadText(479) + QStringLiteral(" ") + VersionNumberText() + QStringLiteral(" (")
                  + QStringLiteral("%1.%2.%3)").arg(KTED_VERSION_MAJOR).arg(KTED_VERSION_MINOR).arg(
                      KTED_VERSION_PATCH));
    line(875, QString::fromLatin1(qVersion()) + QStringLiteral(" (") + QStringLiteral(QT_VERSION_STR)
                  + u')');
    line(876, QSysInfo::prettyProductName() + QStringLiteral(", ") + QSysInfo::kernelType() + u' '
                  + QSysInfo::kernelVersion() + u' ' + QSysInfo::currentCpuArchitecture());
    lines << LoadText(877) + u':';
    int found = 0;
    for (const SerialPortEntry &port : ListPorts(store)) {
        if (port.device.isEmpty())
            continue;
        lines << QStringLiteral("    ") + PortListText(port);
        ++found;
    }
    if (found == 0)
        lines << QStringLiteral("    ") + LoadText(879);
    line(878, store.location());
    return lines.join(u'\n') + u'\n';
}

frmSysInfo::frmSysInfo(const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSysInfo"));
    SetCaptionId(this, 872);
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    txtSysInfo = named(new QPlainTextEdit(text, this), "txtSysInfo");
    txtSysInfo->setReadOnly(true);
    txtSysInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdCopy = named(new QPushButton(this), "cmdCopy", 873);
    cmdClose = named(new QPushButton(this), "cmdClose", 98);
    cmdClose->setDefault(true);
    connect(cmdCopy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(txtSysInfo->toPlainText()); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdCopy, QDialogButtonBox::ActionRole);
    buttons->addButton(cmdClose, QDialogButtonBox::AcceptRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtSysInfo);
    layout->addWidget(buttons);
    resize(640, 360);
    SetFormCaption(this);
}
