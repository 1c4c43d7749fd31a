#include "ui/elidinglabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

ElidingLabel::ElidingLabel(QWidget *parent)
    : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidingLabel::minimumSizeHint() const
{
    const QSize s = QLabel::minimumSizeHint();
    return {fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM")), s.height()};
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    drawFrame(&p);
    const QRect r = contentsRect().adjusted(margin() + indent(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width());
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawItemText(&p, r, alignment() & ~Qt::AlignJustify, opt.palette, isEnabled(), shown,
                          foregroundRole());
}
