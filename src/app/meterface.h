#pragma once

class QPainter;
class QRectF;
class QString;

// Draws the front of a Korvane panel meter into `bezel`: the frame, the
// reading in red digits in its window, and a row of keys along its foot,
// every part in proportion to the frame. The splash and the About box show
// the same meter this way, each at its own size.
void paintMeterFace(QPainter &painter, const QRectF &bezel, const QString &reading);
