#include "ui/lamp.h"

#include "text/stringtable.h"

#include <QEvent>
#include <QPainter>
#include <QRadialGradient>

Lamp::Lamp(Colour colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(colour)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateDescription();
}

void Lamp::setLit(bool lit)
{
    if (m_lit == lit)
        return;
    m_lit = lit;
    updateDescription();
    update();
    emit litChanged(lit);
}

QSize Lamp::sizeHint() const
{
    const int d = qMax(18, fontMetrics().height() + 3);
    return {d, d};
}

QSize Lamp::minimumSizeHint() const
{
    return sizeHint();
}

void Lamp::updateDescription()
{
    setAccessibleDescription(LoadText(m_lit ? LitTextId : DarkTextId));
}

void Lamp::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = qMin(width(), height()) - 1.0;
    const QRectF outer((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    if (!isEnabled())
        p.setOpacity(0.55);

    // A dark metal bezel, so that the lamp reads as a light and not as an
    // option button; inside it the lens, lit in its colour or white.
    QLinearGradient bezel(outer.topLeft(), outer.bottomRight());
    bezel.setColorAt(0.0, QColor(0x9a, 0xa1, 0xab));
    bezel.setColorAt(1.0, QColor(0x4b, 0x52, 0x5c));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(outer);

    const qreal inset = qMax(1.5, d * 0.14);
    const QRectF lens = outer.adjusted(inset, inset, -inset, -inset);
    QColor core, rim;
    if (m_lit) {
        core = m_colour == Colour::Green ? QColor(0x6d, 0xf5, 0x78) : QColor(0xff, 0x6b, 0x5e);
        rim = m_colour == Colour::Green ? QColor(0x12, 0x9a, 0x2c) : QColor(0xc0, 0x1c, 0x12);
    } else {
        core = QColor(0xff, 0xff, 0xff);
        rim = QColor(0xc6, 0xca, 0xd0);
    }
    QRadialGradient g(lens.center() - QPointF(lens.width() * 0.15, lens.height() * 0.15),
                      lens.width() * 0.75);
    g.setColorAt(0.0, core.lighter(m_lit ? 130 : 100));
    g.setColorAt(0.6, core);
    g.setColorAt(1.0, rim);
    p.setBrush(g);
    p.drawEllipse(lens);

    if (m_lit) {
        // A soft glow around a lit lens.
        QRadialGradient glow(lens.center(), lens.width() * 0.5);
        glow.setColorAt(0.0, QColor(255, 255, 255, 90));
        glow.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(lens);
    }
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QRectF(lens.left() + lens.width() * 0.2, lens.top() + lens.height() * 0.14,
                         lens.width() * 0.32, lens.height() * 0.22));
}
