#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

// The window shown while the program starts: a drawn panel meter front,
// stretched over the whole window. Detection closes it.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize PictureSize{400, 220};
    static constexpr QSize ClientSize{325, 179};

    explicit SplashWindow(QWidget *parent = nullptr);

    // The stored picture, at its own size.
    static QImage picture();

private:
    QLabel *m_image = nullptr;
};
