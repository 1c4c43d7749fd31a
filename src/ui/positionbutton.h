#pragma once

#include <QAbstractButton>

// One of the four selected-move buttons (`imgButton` 0 to 3): home and the
// positions 1 to 3. It shows one of three pictures: greyed while commands
// are locked, the normal picture, and the marked picture for the current or
// target position (the one that blinks while a move runs).
class PositionButton : public QAbstractButton
{
    Q_OBJECT
public:
    // The numbers are those of the window's image list.
    enum class Picture { Greyed = 1, Current = 2, Normal = 3 };

    PositionButton(int position, QWidget *parent = nullptr);

    int position() const { return m_position; }
    Picture picture() const { return m_picture; }
    void setPicture(Picture picture);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_position;
    Picture m_picture = Picture::Greyed;
    bool m_hover = false;
};
