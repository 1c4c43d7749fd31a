#include "ui/positionbutton.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>

PositionButton::PositionButton(int position, QWidget *parent)
    : QAbstractButton(parent)
    , m_position(position)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PositionButton::setPicture(Picture picture)
{
    if (m_picture == picture)
        return;
    m_picture = picture;
    update();
}

QSize PositionButton::sizeHint() const
{
    const int h = fontMetrics().height();
    return {h * 4, qRound(h * 2.6)};
}

QSize PositionButton::minimumSizeHint() const
{
    return sizeHint();
}

void PositionButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PositionButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

namespace {

void drawHouse(QPainter &p, const QRectF &box, const QColor &colour)
{
    const qreal s = qMin(box.width(), box.height());
    const QRectF r(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
    QPainterPath roof;
    roof.moveTo(r.left() + s * 0.08, r.top() + s * 0.50);
    roof.lineTo(r.center().x(), r.top() + s * 0.10);
    roof.lineTo(r.right() - s * 0.08, r.top() + s * 0.50);
    QPen pen(colour, qMax(1.5, s * 0.10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(roof);
    QPainterPath body;
    body.moveTo(r.left() + s * 0.22, r.top() + s * 0.42);
    body.lineTo(r.left() + s * 0.22, r.bottom() - s * 0.08);
    body.lineTo(r.right() - s * 0.22, r.bottom() - s * 0.08);
    body.lineTo(r.right() - s * 0.22, r.top() + s * 0.42);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(r.center().x() - s * 0.08, r.bottom() - s * 0.36, s * 0.16, s * 0.28));
}

} // namespace

void PositionButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal radius = r.height() * 0.22;

    QColor top, bottom, border, glyph;
    switch (m_picture) {
    case Picture::Current:
        top = QColor(0xff, 0xd2, 0x5c);
        bottom = QColor(0xf2, 0x9b, 0x12);
        border = QColor(0xb8, 0x6e, 0x00);
        glyph = QColor(0x3a, 0x22, 0x00);
        break;
    case Picture::Normal:
        top = QColor(0x6d, 0xa8, 0xe8);
        bottom = QColor(0x2f, 0x6f, 0xbd);
        border = QColor(0x1f, 0x4f, 0x8c);
        glyph = Qt::white;
        break;
    case Picture::Greyed:
        top = QColor(0xe8, 0xe9, 0xeb);
        bottom = QColor(0xcf, 0xd1, 0xd4);
        border = QColor(0xa9, 0xac, 0xb0);
        glyph = QColor(0x93, 0x96, 0x9a);
        break;
    }
    if (m_picture != Picture::Greyed && isEnabled()) {
        if (isDown()) {
            top = top.darker(112);
            bottom = bottom.darker(112);
        } else if (m_hover) {
            top = top.lighter(108);
            bottom = bottom.lighter(108);
        }
    }

    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.setPen(QPen(border, 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);

    const QRectF glyphBox = r.adjusted(r.width() * 0.25, r.height() * 0.16,
                                       -r.width() * 0.25, -r.height() * 0.16);
    if (m_position == 0) {
        drawHouse(p, glyphBox, glyph);
    } else {
        QFont f = font();
        f.setBold(true);
        f.setPixelSize(qMax(8, qRound(r.height() * 0.52)));
        p.setFont(f);
        p.setPen(glyph);
        p.drawText(r, Qt::AlignCenter, QString::number(m_position));
    }

    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.5, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), radius * 0.7, radius * 0.7);
    }
}
