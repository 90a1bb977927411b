#include "setpointglyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace setpointglyphs {

namespace {

const QColor Red(220, 0, 0);
const QColor Green(0, 160, 0);
const QColor Ink(0, 0, 0);

QPixmap blank()
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon twoState(const QPixmap &released, const QPixmap &pressed)
{
    QIcon icon;
    icon.addPixmap(released, QIcon::Normal, QIcon::Off);
    icon.addPixmap(pressed, QIcon::Normal, QIcon::On);
    return icon;
}

} // namespace

QPixmap rampAcrossBand()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.fillRect(QRect(0, 5, Size, 6), QColor(192, 192, 192));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1.5));
    p.drawLine(QPointF(1, 15), QPointF(15, 1));
    return pixmap;
}

QPixmap hysteresisLoop()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1.5));
    // A slanted parallelogram: rise on the right, fall on the left.
    const QPolygonF loop{QPointF(2, 13), QPointF(10, 13), QPointF(14, 3), QPointF(6, 3)};
    p.drawPolygon(loop);
    return pixmap;
}

QPixmap redArrow(bool up)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRect(QRectF(6, 6, 4, 9));
    p.drawPolygon(QPolygonF{QPointF(2, 7), QPointF(8, 1), QPointF(14, 7)});
    p.end();
    return up ? pixmap : pixmap.transformed(QTransform().scale(1, -1));
}

QPixmap stripes(bool redMiddle)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    const QColor outer = redMiddle ? Green : Red;
    const QColor middle = redMiddle ? Red : Green;
    p.fillRect(QRect(1, 1, 14, 4), outer);
    p.fillRect(QRect(1, 6, 14, 4), middle);
    p.fillRect(QRect(1, 11, 14, 4), outer);
    return pixmap;
}

QIcon modeGlyph()
{
    return twoState(rampAcrossBand(), hysteresisLoop());
}

QIcon hysteresisEnergiseGlyph()
{
    return twoState(redArrow(false), redArrow(true));
}

QIcon bandEnergiseGlyph()
{
    return twoState(stripes(true), stripes(false));
}

} // namespace setpointglyphs
