#include "meterface.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

void paintMeterFace(QPainter &painter, const QRectF &bezel, const QString &reading)
{
    const qreal w = bezel.width();
    const qreal h = bezel.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(QColor(170, 175, 180), std::max(2.0, h / 45)));
    painter.setBrush(QColor(14, 14, 16));
    painter.drawRoundedRect(bezel, h * 0.08, h * 0.08);

    const QRectF window = bezel.adjusted(w * 0.06, h * 0.12, -w * 0.06, -h * 0.36);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(42, 0, 0));
    painter.drawRoundedRect(window, h * 0.03, h * 0.03);
    QFont digits(QStringLiteral("Monospace"));
    digits.setStyleHint(QFont::TypeWriter);
    digits.setPixelSize(std::max(1, int(window.height() * 0.78)));
    digits.setBold(true);
    painter.setFont(digits);
    painter.setPen(QColor(255, 48, 32));
    painter.drawText(window, Qt::AlignCenter, reading);

    // Four keys, evenly spaced under the window.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 125, 130));
    for (int i = 0; i < 4; ++i) {
        const QRectF key(bezel.left() + w * (0.12 + i * 0.21), window.bottom() + h * 0.08, w * 0.13, h * 0.14);
        painter.drawRoundedRect(key, h * 0.03, h * 0.03);
    }
    painter.restore();
}
