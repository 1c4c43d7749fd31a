#include "link/commlogwindow.h"

#include "app/filedialogs.h"
#include "app/prompter.h"
#include "link/commlogmodel.h"
#include "link/commlogtext.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// "The file could not be written. The file already there is unchanged."
constexpr int kSaveFailedText = 721;
// How long the view gathers new lines before it draws them.
constexpr int kShowLinesMs = 100;

QPushButton *Button(QWidget *parent, const char *name, int textId)
{
    auto *b = new QPushButton(LoadText(textId), parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

CommLogWindow::CommLogWindow(CommLogModel &model, Prompter &prompter, FileDialogs &dialogs,
                             QWidget *parent)
    : QWidget(parent), m_model(model), m_prompter(prompter), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmCommLog"));
    setWindowTitle(LoadText(CommLogText::WindowTitle));

    lstLog = new QTreeView(this);
    lstLog->setObjectName(QStringLiteral("lstLog"));
    lstLog->setModel(&m_model);
    lstLog->setRootIsDecorated(false);
    lstLog->setUniformRowHeights(true);
    lstLog->setItemsExpandable(false);
    lstLog->setAllColumnsShowFocus(true);
    lstLog->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lstLog->setAccessibleName(windowTitle());
    QHeaderView *header = lstLog->header();
    header->setStretchLastSection(true);
    const QFontMetrics metrics(lstLog->font());
    header->resizeSection(CommLogModel::TimeColumn,
                          metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + 16);
    int directionWidth = metrics.horizontalAdvance(LoadText(CommLogText::ColumnDirection));
    for (int id : {CommLogText::Sent, CommLogText::Received, CommLogText::Event})
        directionWidth = std::max(directionWidth, metrics.horizontalAdvance(LoadText(id)));
    header->resizeSection(CommLogModel::DirectionColumn, directionWidth + 24);

    cmdPause = Button(this, "cmdPause", CommLogText::Pause);
    cmdPause->setCheckable(true);
    cmdClear = Button(this, "cmdClear", CommLogText::Clear);
    cmdCopy = Button(this, "cmdCopy", CommLogText::Copy);
    cmdSave = Button(this, "cmdSave", CommLogText::Save);
    lblPaused = new QLabel(LoadText(CommLogText::Paused), this);
    lblPaused->setObjectName(QStringLiteral("lblPaused"));
    lblPaused->setVisible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPause);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdSave);
    buttons->addSpacing(12);
    buttons->addWidget(lblPaused);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(lstLog, 1);

    connect(cmdPause, &QPushButton::toggled, this, &CommLogWindow::setPaused);
    connect(cmdClear, &QPushButton::clicked, &m_model, &CommLogModel::clear);
    connect(cmdCopy, &QPushButton::clicked, this, &CommLogWindow::copySelection);
    connect(cmdSave, &QPushButton::clicked, this, &CommLogWindow::save);
    auto *copyKey = new QShortcut(QKeySequence::Copy, lstLog);
    copyKey->setContext(Qt::WidgetShortcut);
    connect(copyKey, &QShortcut::activated, this, &CommLogWindow::copySelection);

    // New lines are shown in bursts: the first line of a burst freezes the
    // view, and a tenth of a second later it is drawn once with every line
    // that came meanwhile. Drawing each line as it came would cost the
    // window's thread more than a line takes on the wire. New lines are
    // followed while the view showed the end when the burst began; a user
    // who scrolled back to read keeps his place.
    m_showLines.setSingleShot(true);
    m_showLines.setInterval(kShowLinesMs);
    connect(&m_showLines, &QTimer::timeout, this, &CommLogWindow::showNewLines);
    connect(&m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, &CommLogWindow::beforeInsert);

    setPaused(m_model.isPaused());
    cmdPause->setChecked(m_model.isPaused());
    resize(640, 360);
}

void CommLogWindow::setPaused(bool paused)
{
    m_model.setPaused(paused);
    cmdPause->setText(LoadText(paused ? CommLogText::Resume : CommLogText::Pause));
    lblPaused->setVisible(paused);
}

void CommLogWindow::beforeInsert()
{
    if (m_showLines.isActive())
        return;
    const QScrollBar *bar = lstLog->verticalScrollBar();
    m_atEnd = bar->value() >= bar->maximum();
    lstLog->setUpdatesEnabled(false);
    m_showLines.start();
}

void CommLogWindow::showNewLines()
{
    // Scrolled while frozen, so that the view is drawn once, at its new
    // place; drawn at once, since the next line may freeze it again before
    // a deferred update would come round.
    if (m_atEnd)
        lstLog->scrollToBottom();
    lstLog->setUpdatesEnabled(true);
    lstLog->repaint();
}

void CommLogWindow::copySelection()
{
    QList<int> rows;
    for (const QModelIndex &index : lstLog->selectionModel()->selectedRows())
        rows << index.row();
    QApplication::clipboard()->setText(m_model.text(rows));
}

void CommLogWindow::save()
{
    FileDialogs::Request request;
    request.title = LoadText(CommLogText::SaveTitle);
    request.filter = LoadText(CommLogText::SaveFilter);
    request.defaultExtension = QStringLiteral("txt");
    request.initialName = QStringLiteral("comm-log.txt");
    request.confirmOverwrite = true;
    const std::optional<FileDialogs::Choice> choice = m_dialogs.save(request);
    if (!choice)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = m_model.save(choice->path);
    QApplication::restoreOverrideCursor();
    if (!saved)
        m_prompter.tell(LoadText(kSaveFailedText), Prompter::Icon::Exclamation);
}
