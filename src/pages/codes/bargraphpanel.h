#pragma once

#include "pages/page.h"

#include <QFrame>
#include <QList>

class QLineEdit;
class QPushButton;
class QSlider;

// The bar editor of the Code 10 page on bargraph meters: the bar's low,
// high and zero values, the zero's position on the bar, and the preview of
// the colour zones between the setpoints. Each change is written at once.
class BargraphPanel : public QFrame
{
    Q_OBJECT
public:
    BargraphPanel(const PageContext &context, QWidget *parent);

    int segments() const { return m_segments; }
    void setSegments(int segments) { m_segments = segments; }
    bool ascending() const { return m_ascending; }

    // Reads the bar registers and draws the editor and the zone preview.
    void drawBar();
    // The slider moved: writes the zero's segment index.
    void moveZero();
    // One of the three fields was left: writes the bar's ends and its zero.
    void scaleBar(QLineEdit *left);
    // A click on a zone cell cycles its colour red, green, amber.
    void cycleColour(int zone);
    // The Code 10 third digit: a linear bar (0, 1) has two ends, a
    // logarithmic one a reference value only.
    void setScaleType(int digit);

    QLineEdit *lowField() const { return m_low; }
    QLineEdit *highField() const { return m_high; }
    QLineEdit *zeroField() const { return m_zero; }
    QSlider *zeroPosition() const { return m_zeroPosition; }
    const QList<QPushButton *> &zoneCells() const { return m_zones; }
    // The colour code a zone cell shows (0 off, 1 green, 2 red, 3 amber).
    static int colourCodeOf(const QPushButton *cell);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int readWhole(int reg);
    void attachZeroHandler();
    void detachZeroHandler();
    void placeZeroField();
    void buildZones(int count, int colours);
    void paintZone(QPushButton *cell, int code);

    PageContext m_context;
    int m_segments = 100;
    bool m_ascending = true;
    QLineEdit *m_low = nullptr;
    QLineEdit *m_high = nullptr;
    QLineEdit *m_zero = nullptr;
    QSlider *m_zeroPosition = nullptr;
    QMetaObject::Connection m_zeroHandler;
    QList<QPushButton *> m_zones;
};
