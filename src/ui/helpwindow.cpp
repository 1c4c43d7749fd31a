#include "ui/helpwindow.h"

#include "text/stringtable.h"
#include "ui/captionloader.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString readPage(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QString pageTitle(const QString &html)
{
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::DotMatchesEverythingOption);
    return title.match(html).captured(1).trimmed();
}

bool isReadable(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

} // namespace

// ------------------------------------------------------------------ manual

HelpManual::HelpManual(const QString &file, int language)
    : helpFile(file)
{
    if (!file.isEmpty())
        folder = QFileInfo(file).absolutePath() + QStringLiteral("/help/")
                 + (language == 1 ? QStringLiteral("ja") : QStringLiteral("en"));
}

QString HelpManual::contentsPage() const
{
    return folder + QStringLiteral("/contents.html");
}

QString HelpManual::firstPage() const
{
    return folder + QStringLiteral("/index.html");
}

bool HelpManual::usable() const
{
    return !helpFile.isEmpty() && isReadable(helpFile) && isReadable(contentsPage())
           && isReadable(firstPage());
}

QStringList HelpManual::pages() const
{
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+\\.html)"));
    QStringList found;
    const QString contents = readPage(contentsPage());
    for (auto it = link.globalMatch(contents); it.hasNext();) {
        const QString path = QDir(folder).filePath(it.next().captured(1));
        if (!found.contains(path))
            found.append(path);
    }
    return found;
}

QList<HelpManual::Page> HelpManual::search(const QString &words) const
{
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
    const QStringList wanted = words.split(blanks, Qt::SkipEmptyParts);
    QList<Page> found;
    if (wanted.isEmpty())
        return found;
    for (const QString &path : pages()) {
        const QString html = readPage(path);
        const QString text = QTextDocumentFragment::fromHtml(html).toPlainText();
        const bool all = std::all_of(wanted.cbegin(), wanted.cend(), [&text](const QString &w) {
            return text.contains(w, Qt::CaseInsensitive);
        });
        if (all)
            found.append({path, pageTitle(html)});
    }
    return found;
}

// ------------------------------------------------------------------ window

HelpWindow::HelpWindow(const HelpManual &manual, QWidget *parent)
    : QWidget(parent)
    , m_manual(manual)
{
    setObjectName(QStringLiteral("frmHelp"));
    SetCaptionId(this, 881);
    setWindowFlag(Qt::Window);

    tabHelp = new QTabWidget(this);
    tabHelp->setObjectName(QStringLiteral("tabHelp"));
    txtContents = new QTextBrowser(this);
    txtContents->setObjectName(QStringLiteral("txtContents"));
    txtContents->setOpenLinks(false);
    connect(txtContents, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        openPage(txtContents->source().resolved(url).toLocalFile());
    });
    tabHelp->addTab(txtContents, QString());

    auto *searchPage = new QWidget(this);
    lblSearch = new QLabel(searchPage);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    SetCaptionId(lblSearch, 887);
    txtSearch = new QLineEdit(searchPage);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    lblSearch->setBuddy(txtSearch);
    cmdSearch = new QPushButton(searchPage);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    SetCaptionId(cmdSearch, 884);
    lstFound = new QListWidget(searchPage);
    lstFound->setObjectName(QStringLiteral("lstFound"));
    lblNotFound = new QLabel(searchPage);
    lblNotFound->setObjectName(QStringLiteral("lblNotFound"));
    lblNotFound->setWordWrap(true);
    SetCaptionId(lblNotFound, 885);
    lblNotFound->hide();
    connect(cmdSearch, &QPushButton::clicked, this, &HelpWindow::search);
    connect(txtSearch, &QLineEdit::returnPressed, this, &HelpWindow::search);
    connect(lstFound, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { openPage(item->data(Qt::UserRole).toString()); });
    connect(lstFound, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { openPage(item->data(Qt::UserRole).toString()); });
    auto *row = new QHBoxLayout;
    row->addWidget(txtSearch, 1);
    row->addWidget(cmdSearch);
    auto *searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(lblSearch);
    searchLayout->addLayout(row);
    searchLayout->addWidget(lstFound, 1);
    searchLayout->addWidget(lblNotFound);
    tabHelp->addTab(searchPage, QString());

    txtPage = new QTextBrowser(this);
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setOpenExternalLinks(true);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(tabHelp);
    splitter->addWidget(txtPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 560});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(860, 600);

    SetFormCaption(this);
    tabHelp->setTabText(0, LoadText(882));
    tabHelp->setTabText(1, LoadText(883));
}

bool HelpWindow::load()
{
    if (!m_manual.usable())
        return false;
    if (txtContents->source().isEmpty())
        txtContents->setSource(QUrl::fromLocalFile(m_manual.contentsPage()));
    if (txtPage->source().isEmpty())
        openPage(m_manual.firstPage());
    return !txtContents->toPlainText().isEmpty() && !txtPage->toPlainText().isEmpty();
}

bool HelpWindow::showContents()
{
    if (!load())
        return false;
    tabHelp->setCurrentIndex(0);
    return true;
}

bool HelpWindow::showSearch()
{
    if (!load())
        return false;
    tabHelp->setCurrentIndex(1);
    txtSearch->setFocus();
    return true;
}

QString HelpWindow::currentPage() const
{
    return txtPage->source().toLocalFile();
}

void HelpWindow::openPage(const QString &path)
{
    if (!path.isEmpty())
        txtPage->setSource(QUrl::fromLocalFile(path));
}

void HelpWindow::search()
{
    lstFound->clear();
    const QList<HelpManual::Page> found = m_manual.search(txtSearch->text());
    for (const HelpManual::Page &page : found) {
        auto *item = new QListWidgetItem(page.title.isEmpty() ? QFileInfo(page.path).baseName() : page.title,
                                         lstFound);
        item->setData(Qt::UserRole, page.path);
    }
    lblNotFound->setVisible(found.isEmpty() && !txtSearch->text().trimmed().isEmpty());
    if (!found.isEmpty())
        lstFound->setCurrentRow(0);
}
