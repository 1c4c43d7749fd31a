#include "ui/artwork.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// All icons are drawn in a 24 x 24 design grid and scaled to the size asked.
void paintIcon(QPainter &p, const QString &key)
{
    const QPen outline(QColor(0x3c, 0x41, 0x48), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto page = [&](qreal x, qreal y, qreal w, qreal h, const QColor &fill) {
        QPainterPath path;
        const qreal fold = w * 0.32;
        path.moveTo(x, y);
        path.lineTo(x + w - fold, y);
        path.lineTo(x + w, y + fold);
        path.lineTo(x + w, y + h);
        path.lineTo(x, y + h);
        path.closeSubpath();
        p.setPen(outline);
        p.setBrush(fill);
        p.drawPath(path);
        QPainterPath corner;
        corner.moveTo(x + w - fold, y);
        corner.lineTo(x + w - fold, y + fold);
        corner.lineTo(x + w, y + fold);
        p.setBrush(Qt::NoBrush);
        p.drawPath(corner);
    };
    auto controller = [&](qreal x, qreal y) {
        p.setPen(outline);
        p.setBrush(QColor(0x4a, 0x55, 0x63));
        p.drawRoundedRect(QRectF(x, y, 8, 14), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x5f, 0xf0, 0x6a));
        p.drawEllipse(QRectF(x + 2.5, y + 2.5, 3, 3));
        p.setBrush(QColor(0xd6, 0xdb, 0xe1));
        p.drawRect(QRectF(x + 2, y + 8, 4, 1.2));
        p.drawRect(QRectF(x + 2, y + 10.5, 4, 1.2));
    };
    auto arrow = [&](qreal x1, qreal x2, qreal y, const QColor &colour) {
        QPen pen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(x1, y), QPointF(x2, y));
        const qreal dir = x2 > x1 ? -1.0 : 1.0;
        QPainterPath head;
        head.moveTo(x2 + dir * 3.6, y - 3.6);
        head.lineTo(x2, y);
        head.lineTo(x2 + dir * 3.6, y + 3.6);
        p.drawPath(head);
    };

    if (key == QLatin1String("New")) {
        page(5, 2.5, 13, 18, Qt::white);
        p.setPen(QPen(QColor(0x1e, 0x9e, 0x3a), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 14), QPointF(17, 21.5));
        p.drawLine(QPointF(13.25, 17.75), QPointF(20.75, 17.75));
    } else if (key == QLatin1String("Open")) {
        p.setPen(outline);
        p.setBrush(QColor(0xe8, 0xb3, 0x3c));
        QPainterPath back;
        back.moveTo(2.5, 5);
        back.lineTo(9, 5);
        back.lineTo(11, 7.5);
        back.lineTo(20, 7.5);
        back.lineTo(20, 19.5);
        back.lineTo(2.5, 19.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xf8, 0xd2, 0x6b));
        QPainterPath front;
        front.moveTo(2.5, 19.5);
        front.lineTo(6, 10.5);
        front.lineTo(22.5, 10.5);
        front.lineTo(20, 19.5);
        front.closeSubpath();
        p.drawPath(front);
    } else if (key == QLatin1String("Save")) {
        p.setPen(outline);
        p.setBrush(QColor(0x2f, 0x6f, 0xbd));
        QPainterPath body;
        body.moveTo(3, 3);
        body.lineTo(18, 3);
        body.lineTo(21, 6);
        body.lineTo(21, 21);
        body.lineTo(3, 21);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 12.5, 12, 8.5));
        p.setBrush(QColor(0xd6, 0xdb, 0xe1));
        p.drawRect(QRectF(7, 3, 9, 5.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3c, 0x41, 0x48));
        p.drawRect(QRectF(13, 4, 2, 3.5));
    } else if (key == QLatin1String("Print")) {
        p.setPen(outline);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2.5, 10, 7));
        p.setBrush(QColor(0x8a, 0x93, 0x9e));
        p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 14, 10, 7.5));
        p.setPen(QPen(QColor(0x8a, 0x93, 0x9e), 1));
        p.drawLine(QPointF(9, 17), QPointF(15, 17));
        p.drawLine(QPointF(9, 19), QPointF(14, 19));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x5f, 0xf0, 0x6a));
        p.drawEllipse(QRectF(17.5, 10.5, 2, 2));
    } else if (key == QLatin1String("Read")) {
        page(2.5, 4, 9, 13, Qt::white);
        controller(14.5, 5);
        arrow(14, 6.5, 19.5, QColor(0x2f, 0x6f, 0xbd));
    } else if (key == QLatin1String("Load")) {
        page(2.5, 4, 9, 13, Qt::white);
        controller(14.5, 5);
        arrow(6, 13.5, 19.5, QColor(0xe0, 0x7b, 0x00));
    } else if (key == QLatin1String("Shogo")) {
        page(3, 2.5, 10.5, 14, QColor(0xee, 0xf1, 0xf5));
        page(8, 6.5, 10.5, 14, Qt::white);
        p.setPen(QPen(QColor(0x1e, 0x9e, 0x3a), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(11.5, 16);
        tick.lineTo(15, 19.5);
        tick.lineTo(22, 11);
        p.drawPath(tick);
    }
}

class PaintedIconEngine : public QIconEngine
{
public:
    explicit PaintedIconEngine(QString key)
        : m_key(std::move(key))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QImage image = render(rect.size(), dpr, mode);
        painter->drawImage(rect, image);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        return QPixmap::fromImage(render(size, 1.0, mode));
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        QPixmap pm = QPixmap::fromImage(render(size * scale, 1.0, mode));
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_key); }
    QString key() const override { return QStringLiteral("kted-painted"); }

private:
    QImage render(const QSize &size, qreal dpr, QIcon::Mode mode) const
    {
        QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size.width() / 24.0, size.height() / 24.0);
            paintIcon(p, m_key);
        }
        if (mode == QIcon::Disabled) {
            // Grey and faint, as a disabled toolbar button should look.
            image = image.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c = line[x];
                    const int g = (qGray(c) + 0xa0) / 2;
                    line[x] = qRgba(g, g, g, qAlpha(c) * 45 / 100);
                }
            }
        }
        return image;
    }

    QString m_key;
};

} // namespace

namespace Artwork {

QIcon ToolbarIcon(const QString &key)
{
    static const QStringList keys = {QStringLiteral("New"), QStringLiteral("Open"),
                                     QStringLiteral("Save"), QStringLiteral("Print"),
                                     QStringLiteral("Read"), QStringLiteral("Load"),
                                     QStringLiteral("Shogo")};
    if (!keys.contains(key))
        return {};
    return QIcon(new PaintedIconEngine(key));
}

void PaintActuator(QPainter &p, const QRectF &area)
{
    p.save();
    const qreal s = qMin(area.width() / 48.0, area.height() / 24.0);
    p.translate(area.center().x() - 24 * s, area.center().y() - 12 * s);
    p.scale(s, s);
    const QPen outline(QColor(0x3c, 0x41, 0x48), 1.0);
    // Motor
    p.setPen(outline);
    QLinearGradient motor(0, 6, 0, 20);
    motor.setColorAt(0, QColor(0x6b, 0x76, 0x84));
    motor.setColorAt(1, QColor(0x3f, 0x48, 0x54));
    p.setBrush(motor);
    p.drawRoundedRect(QRectF(1, 7, 10, 12), 1.5, 1.5);
    // Body with its slot
    QLinearGradient body(0, 9, 0, 19);
    body.setColorAt(0, QColor(0xe4, 0xe8, 0xee));
    body.setColorAt(1, QColor(0xb3, 0xbb, 0xc6));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(11, 10, 36, 8), 1.5, 1.5);
    p.setPen(QPen(QColor(0x8a, 0x93, 0x9e), 0.8));
    p.drawLine(QPointF(13, 14), QPointF(45, 14));
    // Slider
    p.setPen(outline);
    QLinearGradient slider(0, 5, 0, 13);
    slider.setColorAt(0, QColor(0x6d, 0xa8, 0xe8));
    slider.setColorAt(1, QColor(0x2f, 0x6f, 0xbd));
    p.setBrush(slider);
    p.drawRoundedRect(QRectF(25, 5, 12, 8), 1.5, 1.5);
    p.restore();
}

void PaintLogo(QPainter &p, const QRectF &area, const QString &name)
{
    p.save();
    const QRectF r = area.adjusted(1, 1, -1, -1);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(0x2f, 0x6f, 0xbd));
    g.setColorAt(1, QColor(0x1c, 0x45, 0x7a));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, r.height() * 0.25, r.height() * 0.25);
    // A stylised axis: a line with a slider mark under the name
    p.setPen(QPen(QColor(255, 255, 255, 110), qMax(1.0, r.height() * 0.06), Qt::SolidLine, Qt::RoundCap));
    const qreal y = r.bottom() - r.height() * 0.2;
    p.drawLine(QPointF(r.left() + r.width() * 0.12, y), QPointF(r.right() - r.width() * 0.12, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd2, 0x5c));
    p.drawRoundedRect(QRectF(r.left() + r.width() * 0.58, y - r.height() * 0.08, r.width() * 0.14,
                             r.height() * 0.16),
                      2, 2);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(8, qRound(r.height() * 0.48)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(0, 0, 0, -r.height() * 0.22), Qt::AlignCenter, name);
    p.restore();
}

} // namespace Artwork
