#pragma once

#include <QTableWidget>

class QLineEdit;

// The move program grid (`flgdProgram`): steps 1 to 9, each holding the
// position number ("1", "2", "3" or empty) that a continual run moves to.
// Row 0 is the header row and column 0 the step numbers. A step is edited
// in the box `txtEdit2` laid over its cell, which takes only "1", "2" and
// "3". The program lives only here; files and transfers do not touch it.
class ProgramGrid : public QTableWidget
{
    Q_OBJECT
public:
    static constexpr int kSteps = 9;

    explicit ProgramGrid(QWidget *parent = nullptr);
    ~ProgramGrid() override;

    QLineEdit *txtEdit2() const { return m_edit; }

    // Header, step numbers 1 to 9, every step empty.
    void Init_flgdProgram();
    // The header text again (after a change of language or model); the
    // steps keep their contents.
    void refreshHeader();

    // The position number of step `row` (1 to 9).
    QString step(int row) const;
    void setStep(int row, const QString &text);

    // "Clear": every step empty. "1 to 3": 1, 2, 3, 1, 2, 3, 1, 2, 3.
    void cmdDataClear_Click();
    void cmdInp1toF_Click();

    bool isEditing() const;
    // Opens the box over the current step: with the typed key, or with the
    // step's text for a double click.
    void flgdProgramEdit2(const QString &initialText);

signals:
    // An edit was refused (the step emptied); the grid has beeped.
    void beeped();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableWidgetItem *cell(int row, int column);
    // Enter, the arrows and the grid's focus: the box's text becomes the
    // step's text as it stands.
    void commitAsTyped();
    // Another step clicked: one character is kept, anything else empties
    // the step with a beep.
    void commitOnLeave();
    void closeEditor();

    QLineEdit *m_edit = nullptr;
    int m_editRow = -1;
};
