#include "splashwindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(325, 179);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    // A panel meter front: dark bezel, red seven-segment style reading.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(40, 44, 52));
    const QRectF display(24, 30, 277, 80);
    p.setBrush(QColor(20, 0, 0));
    p.setPen(QPen(QColor(120, 120, 120), 3));
    p.drawRoundedRect(display, 6, 6);
    QFont digits(QStringLiteral("Monospace"));
    digits.setPixelSize(58);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor(255, 40, 30));
    p.drawText(display, Qt::AlignCenter, QStringLiteral("8888.8"));
    QFont caption = font();
    caption.setPixelSize(15);
    caption.setBold(true);
    p.setFont(caption);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 122, width(), 24), Qt::AlignCenter, QStringLiteral("Korvane Meter Setup Utility"));
    caption.setBold(false);
    caption.setPixelSize(12);
    p.setFont(caption);
    p.drawText(QRectF(0, 148, width(), 20), Qt::AlignCenter, QStringLiteral("Starting..."));
}
