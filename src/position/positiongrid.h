#pragma once

#include "position/conversions.h"

#include <QTableWidget>

#include <memory>

class QLineEdit;
class QValidator;
struct AppState;
struct PositionData;

// The position table grid (`flgdData`): three positions with speed,
// acceleration, position in mm and pulses, and a comment. Row 0 holds the
// column headers and column 0 the position numbers, so that a cell's row is
// its position number and its column the numbers used below.
//
// A cell is edited in the floating text box `txtEdit` laid over it; the
// value is checked and converted when the edit ends. An invalid value never
// raises a message: the cell is emptied and a beep sounds, so that the checks
// before a save or a write find the position empty and name it.
class PositionGrid : public QTableWidget
{
    Q_OBJECT
public:
    enum Column { ColNo = 0, ColVel = 1, ColAcc = 2, ColMm = 3, ColPulse = 4, ColComment = 5 };
    static constexpr int kRowCount = 4;
    static constexpr int kColumnCount = 6;

    explicit PositionGrid(QWidget *parent = nullptr);
    ~PositionGrid() override;

    // The application state and the position tables the grid works with.
    // Until this is called the grid works on tables of its own.
    void attach(AppState &state, PositionData &data);
    AppState &appState() const { return *m_state; }
    PositionData &positionData() const { return *m_data; }

    QLineEdit *txtEdit() const { return m_txtEdit; }

    // How a typed millimetre value exactly half-way between two pulses is
    // rounded. Starts from gMmRoundUp when attached; the main window's two
    // rounding option buttons set it for the rest of the run.
    bool roundUp() const { return m_roundUp; }

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);

    // Column widths, row heights and alignments, for the pulse column shown
    // or hidden as gPulsePosDisp says.
    void SizeInit_flgdData();
    // The pulse column shown or hidden anew after gPulsePosDisp changed: the
    // sizes and the header follow the option, a shown column gets the
    // pulses of every position that has a millimetre value. Everything else
    // the grid shows stays, edits and the changed state included.
    void ApplyPulseDisplay();
    // Header texts and row numbers; empties columns 1 to 4, and the comments
    // too when clearComment is set.
    void Init_flgdData(bool clearComment);
    // Shows PosiDataArray; the table counts as unchanged afterwards.
    void Disp_PosiData3();
    // Shows speed, acceleration and pulses again after a parameter change.
    void Disp_PosiDataVelAcc();
    // Takes the grid over into PosiDataArray, skipping positions flagged by
    // the last check. 0 when done, 1 when a speed, acceleration or mm text is
    // not a number (PosiDataArray is then left as it was).
    int PosiDataTorikomi();
    // The mm column worked out again from the pulses after the lead or the
    // pulses per revolution changed.
    void RefreshMmColumn();

    bool isEditing() const;
    // Opens the edit box over the current cell as a typed key does: a
    // printable key starts the box with that character, a control key or
    // blank (code 0 to 32) with the cell's text.
    void flgdDataEdit(QChar key);
    // Ends a pending edit as leaving the cell does (checks and stores it).
    void commitEdit();
    // Drops a pending edit; the cell keeps its text.
    void cancelEdit();

public slots:
    void setRoundUp(bool up);

signals:
    // An invalid value was refused (or a selection narrowed); the grid has
    // sounded the beep.
    void beeped();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Span
    {
        int top = 0, bottom = 0, left = 0, right = 0;
    };

    bool pulseColumnShown() const;
    int twipsToPixels(int twips) const;
    void applyColumnAlignment();
    void setupEditBox(int column, int textLength);
    void openEditor(const QString &initialText);
    void placeEditor();
    Span currentSpan() const;
    void moveAfterEnter(int row, int column, bool mmToPulses);
    void setCurrentDataCell(int row, int column);
    void parkCurrentCell();
    void beep();

    void commitVelAcc(const Span &span, int column, int low, int high, const QString &text);
    void commitMm(const Span &span, const QString &text);
    void commitPulse(const Span &span, const QString &text);

    std::unique_ptr<AppState> m_ownState;
    std::unique_ptr<PositionData> m_ownData;
    AppState *m_state = nullptr;
    PositionData *m_data = nullptr;
    QLineEdit *m_txtEdit = nullptr;
    QValidator *m_commentValidator = nullptr;
    bool m_roundUp = true;
    bool m_committing = false;
    // The cell and selection the open edit box belongs to, as they were when
    // it opened: leaving the cell must store into the cell that was left.
    int m_editRow = -1;
    int m_editColumn = -1;
    Span m_editSpan;
};
