#include "splashwindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(ClientSize);
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setPixmap(QPixmap::fromImage(picture()));
    m_image->setScaledContents(true);
    m_image->setGeometry(rect());
    // It takes no input at all.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QImage SplashWindow::picture()
{
    QImage image(PictureSize, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient backdrop(0, 0, 0, image.height());
    backdrop.setColorAt(0, QColor(52, 58, 70));
    backdrop.setColorAt(1, QColor(22, 25, 31));
    p.fillRect(image.rect(), backdrop);

    // Bezel and window of a panel meter, with a red seven-segment reading.
    const QRectF bezel(30, 24, 340, 116);
    p.setPen(QPen(QColor(150, 154, 160), 3));
    p.setBrush(QColor(12, 12, 14));
    p.drawRoundedRect(bezel, 10, 10);
    const QRectF window = bezel.adjusted(16, 14, -16, -14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 0, 0));
    p.drawRoundedRect(window, 4, 4);
    QFont digits(QStringLiteral("Monospace"));
    digits.setStyleHint(QFont::TypeWriter);
    digits.setPixelSize(70);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor(255, 45, 30));
    p.drawText(window, Qt::AlignCenter, QStringLiteral("1234.5"));

    // Status lamps under the window.
    for (int i = 0; i < 6; ++i) {
        p.setBrush(i == 1 ? QColor(60, 220, 80) : QColor(70, 40, 40));
        p.drawEllipse(QPointF(bezel.left() + 40 + i * 52, bezel.bottom() + 18), 5, 5);
    }

    QFont caption(QStringLiteral("Sans Serif"));
    caption.setPixelSize(20);
    caption.setBold(true);
    p.setFont(caption);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 168, image.width(), 26), Qt::AlignCenter, QStringLiteral("Korvane Meter Setup Utility"));
    caption.setBold(false);
    caption.setPixelSize(13);
    p.setFont(caption);
    p.setPen(QColor(190, 195, 205));
    p.drawText(QRectF(0, 194, image.width(), 20), Qt::AlignCenter, QStringLiteral("Starting..."));
    return image;
}
