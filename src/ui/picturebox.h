#pragma once

#include <QWidget>

#include <functional>

// A picture drawn by the program itself (the family picture, the logo): a
// fixed-size widget that calls its painter with the area to fill.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter &, const QRectF &)>;

    PictureBox(QSize size, Painter painter, QWidget *parent = nullptr);

    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_size;
    Painter m_painter;
};
