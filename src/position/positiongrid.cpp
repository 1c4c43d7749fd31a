#include "position/positiongrid.h"

#include "app/appstate.h"
#include "common/numbers.h"
#include "position/positionchecks.h"
#include "position/positiondata.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr int kFirstRow = 1;
constexpr int kLastRow = 3;
constexpr int kLastColumn = PositionGrid::ColComment;

constexpr int kNarrowTwips = 700;   // No., VEL, ACC
constexpr int kWideTwips = 1100;    // Posi(mm), Posi(Pulse)

// Header text IDs of columns 0 to 5.
constexpr std::array<int, PositionGrid::kColumnCount> kHeaderIds = {12, 13, 14, 17, 16, 18};

const QColor kPulseBackground(224, 224, 224);

// The edit box per column: whether the input method (Japanese input) is on,
// and how many characters may be typed.
struct EditBoxMode
{
    bool inputMethod;
    int maxLength;
};
constexpr std::array<EditBoxMode, PositionGrid::kColumnCount> kEditModes = {{
    {false, 2},   // No. (not edited)
    {false, 2},   // VEL
    {false, 2},   // ACC
    {false, 8},   // Posi(mm)
    {false, 7},   // Posi(Pulse)
    {true, 20},   // Comment
}};

// Keeps out of a comment what its file could not hold: a double quote would
// end the quoted field early, a control character the record.
class CommentValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        for (qsizetype i = input.size(); i-- > 0;) {
            if (input.at(i) == u'"' || input.at(i).category() == QChar::Other_Control) {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }
        return Acceptable;
    }
};

int nextRowWrapped(int row)
{
    return row >= kLastRow ? kFirstRow : row + 1;
}

int previousRowWrapped(int row)
{
    return row <= kFirstRow ? kLastRow : row - 1;
}

// A typed millimetre value cut, not rounded, to three decimals: the number's
// text is kept up to the decimal point and three digits, or to seven
// characters when it has no decimal point.
double cutToThreeDecimals(const QString &typed)
{
    QString digits = QString::number(LeadingNumber(typed), 'g', 15);
    const qsizetype dot = digits.indexOf(u'.');
    digits = dot >= 0 ? digits.left(dot + 4) : digits.left(7);
    return LeadingNumber(digits);
}

std::optional<int16_t> wholeNumberIn(const QString &text, int low, int high)
{
    const std::optional<int16_t> v = RoundToInt16(LeadingNumber(text));
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return v;
}

} // namespace

PositionGrid::PositionGrid(QWidget *parent)
    : QTableWidget(kRowCount, kColumnCount, parent)
    , m_ownState(std::make_unique<AppState>())
    , m_ownData(std::make_unique<PositionData>())
    , m_state(m_ownState.get())
    , m_data(m_ownData.get())
{
    setObjectName(QStringLiteral("flgdData"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setMinimumSectionSize(1);

    for (int r = 0; r < kRowCount; ++r) {
        for (int c = 0; c < kColumnCount; ++c) {
            auto *item = new QTableWidgetItem;
            if (r == 0) {
                // The header row can never become the current cell.
                item->setFlags(Qt::NoItemFlags);
                item->setForeground(palette().buttonText());
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            if (r == 0 || c == ColNo)
                item->setBackground(palette().button());
            setItem(r, c, item);
        }
    }

    m_txtEdit = new QLineEdit(viewport());
    m_txtEdit->setObjectName(QStringLiteral("txtEdit"));
    m_txtEdit->setFrame(false);
    m_txtEdit->hide();
    m_txtEdit->installEventFilter(this);
    m_commentValidator = new CommentValidator(m_txtEdit);

    m_roundUp = m_state->gMmRoundUp;
    SizeInit_flgdData();
    Init_flgdData(true);
}

PositionGrid::~PositionGrid()
{
    // The box outlives this part of the grid while the base class tears
    // down its children: it must not report its last focus change here.
    m_txtEdit->removeEventFilter(this);
}

void PositionGrid::attach(AppState &state, PositionData &data)
{
    cancelEdit();
    m_state = &state;
    m_data = &data;
    m_roundUp = state.gMmRoundUp;
    m_ownState.reset();
    m_ownData.reset();
    SizeInit_flgdData();
    Init_flgdData(true);
}

void PositionGrid::setRoundUp(bool up)
{
    m_roundUp = up;
}

QString PositionGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void PositionGrid::setCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *it = item(row, column))
        it->setText(text);
}

bool PositionGrid::pulseColumnShown() const
{
    return m_state->gPulsePosDisp;
}

int PositionGrid::twipsToPixels(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

void PositionGrid::SizeInit_flgdData()
{
    setColumnWidth(ColNo, twipsToPixels(kNarrowTwips));
    setColumnWidth(ColVel, twipsToPixels(kNarrowTwips));
    setColumnWidth(ColAcc, twipsToPixels(kNarrowTwips));
    setColumnWidth(ColMm, twipsToPixels(kWideTwips));
    setColumnWidth(ColPulse, twipsToPixels(kWideTwips));
    setColumnHidden(ColPulse, !pulseColumnShown());
    // The comment takes whatever width the other columns leave.
    horizontalHeader()->setStretchLastSection(true);
    applyColumnAlignment();
    // The window may not shrink the grid below its columns: every column
    // shown whole, the comment at least as wide as the millimetres.
    int width = 2 * frameWidth() + twipsToPixels(kWideTwips);
    if (!verticalHeader()->isHidden())
        width += verticalHeader()->width();
    for (int c = 0; c < ColComment; ++c) {
        if (!isColumnHidden(c))
            width += columnWidth(c);
    }
    setMinimumWidth(width);
}

void PositionGrid::applyColumnAlignment()
{
    // Millimetres are right-aligned on their own, centred beside the pulses.
    const Qt::Alignment mmAlign = pulseColumnShown() ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter;
    const std::array<Qt::Alignment, kColumnCount> aligns = {
        Qt::AlignCenter, Qt::AlignCenter, Qt::AlignCenter, mmAlign, Qt::AlignCenter,
        Qt::AlignLeft | Qt::AlignVCenter};
    for (int c = 0; c < kColumnCount; ++c) {
        item(0, c)->setTextAlignment(Qt::AlignCenter);
        for (int r = kFirstRow; r <= kLastRow; ++r)
            item(r, c)->setTextAlignment(aligns.at(c));
    }
}

void PositionGrid::ApplyPulseDisplay()
{
    commitEdit();
    setUpdatesEnabled(false);
    SizeInit_flgdData();
    const bool shown = pulseColumnShown();
    setCellText(0, ColPulse, shown ? LoadText(kHeaderIds.at(ColPulse)) : QString());
    for (int r = kFirstRow; r <= kLastRow; ++r) {
        // The working table holds the pulses of every committed millimetre
        // or pulse value, shown or not.
        const bool hasValue = !cellText(r, ColMm).trimmed().isEmpty();
        setCellText(r, ColPulse, shown && hasValue
                                     ? PulseCellText(m_data->PosiDataArray.number(r, PosPulse))
                                     : QString());
    }
    setUpdatesEnabled(true);
}

void PositionGrid::Init_flgdData(bool clearComment)
{
    cancelEdit();
    setUpdatesEnabled(false);
    for (int c = 0; c < kColumnCount; ++c) {
        const bool hiddenPulse = c == ColPulse && !pulseColumnShown();
        setCellText(0, c, hiddenPulse ? QString() : LoadText(kHeaderIds.at(c)));
    }
    for (int r = kFirstRow; r < rowCount(); ++r) {
        setCellText(r, ColNo, QString::number(r, 16).toUpper());
        for (int c = ColVel; c <= ColPulse; ++c)
            setCellText(r, c, QString());
        item(r, ColPulse)->setBackground(kPulseBackground);
        if (clearComment)
            setCellText(r, ColComment, QString());
    }
    setUpdatesEnabled(true);
}

void PositionGrid::Disp_PosiData3()
{
    cancelEdit();
    setUpdatesEnabled(false);
    const PositionTable &t = m_data->PosiDataArray;
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        for (int column : {ColVel, ColAcc, ColMm, ColComment})
            setCellText(i, column, ShownCellText(t, i, column));
        if (pulseColumnShown())
            setCellText(i, ColPulse, RightAlign(ShownCellText(t, i, ColPulse), 7));
    }
    parkCurrentCell();
    setUpdatesEnabled(true);
    m_data->gDataChanged = false;
}

void PositionGrid::Disp_PosiDataVelAcc()
{
    cancelEdit();
    setUpdatesEnabled(false);
    const PositionTable &t = m_data->PosiDataArray;
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        setCellText(i, ColVel, t.text(i, PosVel));
        setCellText(i, ColAcc, t.text(i, PosAcc));
        if (pulseColumnShown())
            setCellText(i, ColPulse, RightAlign(t.text(i, PosPulse), 7));
    }
    setUpdatesEnabled(true);
}

int PositionGrid::PosiDataTorikomi()
{
    return TakeOverPositions([this](int row, int column) { return cellText(row, column); }, *m_data, *m_state);
}

void PositionGrid::RefreshMmColumn()
{
    cancelEdit();
    setUpdatesEnabled(false);
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        const QString pulse = m_data->PosiDataArray.text(i, PosPulse).trimmed();
        const double mm = PulseToMm(*m_state, LeadingNumber(pulse));
        // An empty position stays empty; beyond 999 mm the text would not
        // fit the seven-character cell.
        const QString text = pulse.isEmpty() || mm > 999 ? QString() : MmCellText(mm);
        m_data->PosiDataArray.at(i, PosMm) = text;
        setCellText(i, ColMm, text);
    }
    setUpdatesEnabled(true);
}

// ---------------------------------------------------------------- editing

bool PositionGrid::isEditing() const
{
    return m_editRow >= 0;
}

void PositionGrid::setupEditBox(int column, int textLength)
{
    const EditBoxMode &mode = kEditModes.at(std::clamp(column, 0, kLastColumn));
    m_txtEdit->setAttribute(Qt::WA_InputMethodEnabled, mode.inputMethod);
    m_txtEdit->setInputMethodHints(mode.inputMethod ? Qt::ImhNone : Qt::ImhPreferNumbers | Qt::ImhLatinOnly);
    m_txtEdit->setValidator(column == ColComment ? m_commentValidator : nullptr);
    // A longer text already in the cell (a comment from a file) is kept whole.
    m_txtEdit->setMaxLength(std::max(mode.maxLength, textLength));
}

void PositionGrid::flgdDataEdit(QChar key)
{
    const int row = currentRow();
    if (row < kFirstRow || row > kLastRow || currentColumn() < 0)
        return;
    if (key.unicode() > 32)
        openEditor(QString(key));
    else
        openEditor(cellText(row, currentColumn()));
}

void PositionGrid::openEditor(const QString &initialText)
{
    const int row = currentRow();
    const int column = currentColumn();
    if (row < kFirstRow || row > kLastRow || column < 0 || isColumnHidden(column))
        return;
    m_editRow = row;
    m_editColumn = column;
    m_editSpan = currentSpan();
    setupEditBox(column, static_cast<int>(initialText.size()));
    m_txtEdit->setText(initialText);
    m_txtEdit->setCursorPosition(static_cast<int>(initialText.size()));
    placeEditor();
    m_txtEdit->show();
    m_txtEdit->raise();
    m_txtEdit->setFocus(Qt::OtherFocusReason);
}

void PositionGrid::placeEditor()
{
    if (m_editRow < 0)
        return;
    m_txtEdit->setGeometry(visualRect(model()->index(m_editRow, m_editColumn)));
}

PositionGrid::Span PositionGrid::currentSpan() const
{
    const int row = currentRow();
    const int column = currentColumn();
    Span span{row, row, column, column};
    for (const QTableWidgetSelectionRange &range : selectedRanges()) {
        if (row >= range.topRow() && row <= range.bottomRow() && column >= range.leftColumn()
            && column <= range.rightColumn()) {
            span = {std::max(range.topRow(), kFirstRow), std::min(range.bottomRow(), kLastRow),
                    range.leftColumn(), range.rightColumn()};
            break;
        }
    }
    return span;
}

void PositionGrid::cancelEdit()
{
    m_editRow = -1;
    m_editColumn = -1;
    if (m_txtEdit && m_txtEdit->isVisible()) {
        if (m_txtEdit->hasFocus())
            setFocus(Qt::OtherFocusReason);
        m_txtEdit->hide();
    }
}

void PositionGrid::beep()
{
    QApplication::beep();
    emit beeped();
}

void PositionGrid::commitEdit()
{
    if (m_committing || m_editRow < 0)
        return;
    m_committing = true;
    const int row = m_editRow;
    const int column = m_editColumn;
    const Span span = m_editSpan;
    const QString text = m_txtEdit->text();

    switch (column) {
    case ColVel:
        commitVelAcc(span, column, 1, 9, text);
        break;
    case ColAcc:
        commitVelAcc(span, column, 1, 3, text);
        break;
    case ColMm:
        commitMm(span, text);
        break;
    case ColPulse:
        commitPulse(span, text);
        break;
    case ColComment:
        setCellText(row, ColComment, text.trimmed());
        break;
    default:
        break; // the position number is not edited
    }

    m_data->gDataChanged = true;
    m_editRow = -1;
    m_editColumn = -1;
    if (m_txtEdit->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_txtEdit->hide();
    m_committing = false;
}

void PositionGrid::commitVelAcc(const Span &span, int column, int low, int high, const QString &text)
{
    const bool severalColumns = span.left != span.right;
    const std::optional<int16_t> v = wholeNumberIn(text, low, high);
    if (!v) {
        // Only the cell being edited is emptied, whatever was selected.
        setCellText(m_editRow, column, QString());
        beep();
        return;
    }
    // The value goes into the selected cells of its own column.
    for (int r = span.top; r <= span.bottom; ++r)
        setCellText(r, column, QString::number(*v));
    if (severalColumns)
        beep();
}

void PositionGrid::commitMm(const Span &span, const QString &text)
{
    const double mm = cutToThreeDecimals(text);
    if (!(mm >= 0 && mm <= m_state->gMaxMm)) {
        for (int r = span.top; r <= span.bottom; ++r) {
            setCellText(r, ColMm, QString());
            setCellText(r, ColPulse, QString());
        }
        beep();
        return;
    }
    const double snapped = SnapMmToPulse(*m_state, mm, m_roundUp ? MmRounding::Up : MmRounding::Down);
    const double pulses = MmToPulse(*m_state, snapped);
    for (int r = span.top; r <= span.bottom; ++r) {
        setCellText(r, ColMm, MmCellText(snapped));
        if (pulseColumnShown())
            setCellText(r, ColPulse, PulseCellText(pulses));
    }
    SetPulsePosRange(*m_data, span.top, span.bottom, pulses);
}

void PositionGrid::commitPulse(const Span &span, const QString &text)
{
    const double p = LeadingNumber(text);
    const bool valid = p == std::trunc(p) && p >= 0 && p <= m_state->gMaxPulse
                       && PulseToMm(*m_state, p) <= m_state->gMaxMm;
    if (!valid) {
        for (int r = span.top; r <= span.bottom; ++r) {
            setCellText(r, ColPulse, QString());
            setCellText(r, ColMm, QString());
        }
        // Over several rows the cells are emptied silently.
        if (span.top == span.bottom)
            beep();
        return;
    }
    for (int r = span.top; r <= span.bottom; ++r) {
        setCellText(r, ColPulse, PulseCellText(p));
        setCellText(r, ColMm, MmCellText(PulseToMm(*m_state, p)));
    }
    // The pulses are kept with the rows as well, so that working the mm
    // column out again (after a change of model) shows what was typed.
    SetPulsePosRange(*m_data, span.top, span.bottom, p);
}

// ---------------------------------------------------------------- moving

void PositionGrid::setCurrentDataCell(int row, int column)
{
    setCurrentCell(row, column, QItemSelectionModel::ClearAndSelect);
}

void PositionGrid::parkCurrentCell()
{
    // After a full rebuild no data cell is current (the header corner is).
    clearSelection();
    selectionModel()->setCurrentIndex(model()->index(0, 0), QItemSelectionModel::NoUpdate);
}

void PositionGrid::moveAfterEnter(int row, int column, bool mmToPulses)
{
    if (row < kFirstRow || row > kLastRow)
        return;
    switch (column) {
    case ColVel:
    case ColAcc:
        setCurrentDataCell(row, column + 1);
        break;
    case ColMm:
        setCurrentDataCell(row, mmToPulses ? ColPulse : ColComment);
        break;
    case ColPulse:
        setCurrentDataCell(row, ColComment);
        break;
    case ColComment:
        setCurrentDataCell(nextRowWrapped(row), ColVel);
        break;
    default:
        break; // the position number column keeps the cell
    }
}

void PositionGrid::keyPressEvent(QKeyEvent *event)
{
    const int row = currentRow();
    const bool onData = row >= kFirstRow && row <= kLastRow && currentColumn() >= 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // On the grid Enter visits the pulse column when it is shown.
        moveAfterEnter(currentRow(), currentColumn(), pulseColumnShown());
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (onData && !shortcut && text.size() == 1 && event->key() != Qt::Key_Tab
        && event->key() != Qt::Key_Backtab && event->key() != Qt::Key_Delete) {
        flgdDataEdit(text.at(0));
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void PositionGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || index.row() < kFirstRow) {
        event->ignore();
        return;
    }
    setCurrentDataCell(index.row(), index.column());
    flgdDataEdit(QChar(u' '));
    event->accept();
}

void PositionGrid::inputMethodEvent(QInputMethodEvent *event)
{
    // A character composed with the input method (Japanese for a comment)
    // starts the edit box as a typed key does.
    const int row = currentRow();
    if (!event->commitString().isEmpty() && row >= kFirstRow && row <= kLastRow && !isEditing()) {
        openEditor(event->commitString());
        event->accept();
        return;
    }
    QTableWidget::inputMethodEvent(event);
}

void PositionGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    placeEditor();
}

bool PositionGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_txtEdit)
        return QTableWidget::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int row = m_editRow;
        const int column = m_editColumn;
        if (row < 0)
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            commitEdit();
            // From an edit, the pulses follow from the millimetres: Enter
            // goes on to the comment.
            moveAfterEnter(row, column, false);
            return true;
        case Qt::Key_Escape:
            cancelEdit();
            return true;
        case Qt::Key_Up:
            commitEdit();
            setCurrentDataCell(previousRowWrapped(row), column);
            return true;
        case Qt::Key_Down:
            commitEdit();
            setCurrentDataCell(nextRowWrapped(row), column);
            return true;
        case Qt::Key_Right:
            commitEdit();
            if (column == ColComment)
                setCurrentDataCell(row, ColVel);
            else if (column == ColMm && !pulseColumnShown())
                setCurrentDataCell(row, ColComment); // the hidden pulse column is skipped
            else if (column >= ColVel)
                setCurrentDataCell(row, column + 1);
            return true;
        default:
            return false;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // Leaving the box for another cell or control ends the edit; a menu
        // or another window taking the focus for a while does not.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            commitEdit();
    }
    return false;
}
