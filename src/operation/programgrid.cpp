#include "operation/programgrid.h"

#include "text/stringtable.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>

namespace {

constexpr int kDataColumn = 1;
constexpr int kHeaderId = 45;   // "Moving Position"

bool IsStepKey(const QString &text)
{
    return text == QLatin1String("1") || text == QLatin1String("2") || text == QLatin1String("3");
}

} // namespace

ProgramGrid::ProgramGrid(QWidget *parent) : QTableWidget(ProgramGrid::kSteps + 1, 2, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = fontMetrics().height() + 2;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    // The ten rows share the grid's height: no empty band, no scroll bar.
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setStretchLastSection(true);
    setMinimumHeight(10 * rowHeight + 2 * frameWidth());

    m_edit = new QLineEdit(viewport());
    m_edit->setObjectName(QStringLiteral("txtEdit2"));
    m_edit->setFrame(false);
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->setMaxLength(1);
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-3]?")), m_edit));
    m_edit->hide();
    m_edit->installEventFilter(this);
    Init_flgdProgram();
}

ProgramGrid::~ProgramGrid()
{
    m_edit->removeEventFilter(this);
}

QTableWidgetItem *ProgramGrid::cell(int row, int column)
{
    QTableWidgetItem *item = this->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        setItem(row, column, item);
    }
    return item;
}

void ProgramGrid::Init_flgdProgram()
{
    closeEditor();
    m_edit->clear();
    // Row 0 and column 0 are fixed cells, drawn like headers.
    const QBrush fixed = palette().brush(QPalette::Button);
    for (int row = 0; row < rowCount(); ++row) {
        for (int col = 0; col < columnCount(); ++col) {
            QTableWidgetItem *item = cell(row, col);
            const bool isFixed = row == 0 || col == 0;
            item->setFlags(isFixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(Qt::AlignCenter);
            if (isFixed)
                item->setBackground(fixed);
        }
    }
    refreshHeader();
    for (int row = 1; row <= kSteps; ++row) {
        cell(row, 0)->setText(QString::number(row));
        cell(row, kDataColumn)->setText(QString());
    }
}

void ProgramGrid::refreshHeader()
{
    cell(0, 0)->setText(QString());
    cell(0, kDataColumn)->setText(LoadText(kHeaderId));
}

QString ProgramGrid::step(int row) const
{
    const QTableWidgetItem *item = this->item(row, kDataColumn);
    return row >= 1 && row <= kSteps && item ? item->text() : QString();
}

void ProgramGrid::setStep(int row, const QString &text)
{
    if (row >= 1 && row <= kSteps)
        cell(row, kDataColumn)->setText(text);
}

void ProgramGrid::cmdDataClear_Click()
{
    closeEditor();
    for (int row = 1; row <= kSteps; ++row)
        setStep(row, QString());
}

void ProgramGrid::cmdInp1toF_Click()
{
    closeEditor();
    for (int row = 1; row <= kSteps; ++row)
        setStep(row, QString::number((row - 1) % 3 + 1));
}

bool ProgramGrid::isEditing() const
{
    return m_editRow >= 0;
}

void ProgramGrid::flgdProgramEdit2(const QString &initialText)
{
    const int row = currentRow();
    if (row < 1 || row > kSteps)
        return;
    if (currentColumn() != kDataColumn)
        setCurrentCell(row, kDataColumn);
    m_editRow = row;
    m_edit->setGeometry(visualRect(model()->index(row, kDataColumn)));
    m_edit->setText(initialText);
    m_edit->setCursorPosition(static_cast<int>(initialText.size()));
    m_edit->show();
    m_edit->raise();
    m_edit->setFocus(Qt::OtherFocusReason);
}

void ProgramGrid::closeEditor()
{
    m_editRow = -1;
    if (!m_edit->isVisible())
        return;
    const bool hadFocus = m_edit->hasFocus();
    m_edit->hide();
    m_edit->clear();
    if (hadFocus && isEnabled())
        setFocus(Qt::OtherFocusReason);
}

void ProgramGrid::commitAsTyped()
{
    if (m_editRow < 0)
        return;
    setStep(m_editRow, m_edit->text());
    closeEditor();
}

void ProgramGrid::commitOnLeave()
{
    if (m_editRow < 0)
        return;
    const QString text = m_edit->text().trimmed();
    const int row = m_editRow;
    closeEditor();
    if (text.size() == 1) {
        setStep(row, text);
    } else {
        setStep(row, QString());
        QApplication::beep();
        emit beeped();
    }
}

void ProgramGrid::keyPressEvent(QKeyEvent *event)
{
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!shortcut && IsStepKey(event->text()) && currentRow() >= 1) {
        flgdProgramEdit2(event->text());
        event->accept();
        return;
    }
    // Any other printable key is discarded; navigation keys move as usual.
    if (!shortcut && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void ProgramGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || index.row() < 1) {
        event->ignore();
        return;
    }
    setCurrentCell(index.row(), kDataColumn);
    flgdProgramEdit2(step(index.row()));
    event->accept();
}

void ProgramGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (isEditing()) {
        if (index.isValid() && index.row() != m_editRow)
            commitOnLeave();
        else
            commitAsTyped();
    }
    QTableWidget::mousePressEvent(event);
}

void ProgramGrid::focusInEvent(QFocusEvent *event)
{
    // A click decides in mousePressEvent, by the cell it lands on.
    if (event->reason() != Qt::MouseFocusReason)
        commitAsTyped();
    QTableWidget::focusInEvent(event);
}

void ProgramGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    if (isEditing())
        m_edit->setGeometry(visualRect(model()->index(m_editRow, kDataColumn)));
}

bool ProgramGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return QTableWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && isEditing()) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Right:
        case Qt::Key_Left:
            // The single data column: the current step stays where it is.
            commitAsTyped();
            return true;
        case Qt::Key_Escape:
            closeEditor();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            return true;
        default:
            return false;
        }
    }
    if (event->type() == QEvent::FocusOut && isEditing()) {
        // Another control taking the focus ends the edit as the grid's own
        // focus does; a menu or another window for a while does not.
        // A click into the grid itself is decided by the cell it lands on.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        const bool clickIntoGrid = reason == Qt::MouseFocusReason && QApplication::focusWidget() == this;
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !clickIntoGrid)
            commitAsTyped();
    }
    return false;
}
