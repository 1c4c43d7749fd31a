#include "ui/compactbutton.h"

#include <QStyle>
#include <QStyleOptionButton>

CompactButton::CompactButton(QWidget *parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
}

QSize CompactButton::sizeHint() const
{
    const QSize styled = QPushButton::sizeHint();
    int w = fontMetrics().size(Qt::TextShowMnemonic, text()).width();
    if (!icon().isNull())
        w += iconSize().width() + 4;
    const int padding = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) + 4);
    return {qMin(styled.width(), w + padding), styled.height()};
}

QSize CompactButton::minimumSizeHint() const
{
    return sizeHint();
}
