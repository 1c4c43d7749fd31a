#include "ui/picturebox.h"

#include <QPainter>

PictureBox::PictureBox(QSize size, Painter painter, QWidget *parent)
    : QWidget(parent)
    , m_size(size)
    , m_painter(std::move(painter))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.5);
    if (m_painter)
        m_painter(p, QRectF(rect()));
}
