#include "splashwindow.h"

#include "meterface.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
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

    paintMeterFace(p, QRectF(30, 18, 340, 140), QStringLiteral("1234.5"));

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
