#include "bargraph.h"

#include "link/errors.h"

#include <QtGlobal>

namespace bargraph {

int segments(const QString &modelCode)
{
    return modelCode.contains(QLatin1String("51")) ? 50 : 100;
}

Scale scaleFor(int low, int high, int zeroSegment, int segments)
{
    Scale scale;
    scale.ascending = low < high;
    // Replies beyond the slider's range are taken at its ends, and a zero
    // beyond the bar at the bar's end.
    low = qBound(MinValue, low, MaxValue);
    high = qBound(MinValue, high, MaxValue);
    zeroSegment = qBound(0, zeroSegment, segments);
    scale.minimum = qMin(low, high);
    scale.maximum = qMax(low, high);
    const qint64 range = qint64(scale.maximum) - scale.minimum;
    scale.tickSpacing = int(qMax(qint64(1), range / segments));
    scale.position = int(scale.minimum + range * zeroSegment / segments);
    return scale;
}

int segmentAt(int position, int minimum, int maximum, int segments)
{
    if (maximum <= minimum)
        return 0;
    const qint64 s = (qint64(position) - minimum) * segments / (qint64(maximum) - minimum);
    return int(qBound(qint64(0), s, qint64(segments)));
}

int segmentValue(int segment, int minimum, int maximum, bool ascending, int segments)
{
    const qint64 range = qint64(maximum) - minimum;
    if (ascending)
        return int(minimum + range * segment / segments);
    return int(maximum - range * (segments - segment) / segments);
}

int zeroSegment(int low, int high, int zero, int segments)
{
    const int smaller = qMin(low, high);
    const int larger = qMax(low, high);
    if (zero < smaller)
        return 0;
    if (zero > larger)
        return segments;
    return int((qint64(zero) - smaller) * segments / (qint64(larger) - smaller));
}

int fieldValue(const QString &text)
{
    QString digits = text;
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    if (point >= 0)
        digits.remove(point, 1);
    return convert::toInt(digits);
}

int zoneCount(const QList<int> &setpoints, int minimum, int maximum)
{
    int count = 1;
    for (int v : setpoints) {
        if (v > minimum && v < maximum)
            ++count;
    }
    return count;
}

ZoneSpan zoneSpan(int zone, int count, bool ascending)
{
    const int width = (ZoneRight - ZoneLeft) / count;
    return {ascending ? ZoneLeft + zone * width : ZoneRight - (zone + 1) * width, width};
}

int colourPattern(int reply)
{
    return int(((qint64(reply) % 65536) + 65536) % 65536);
}

int colourCode(int pattern, int zone)
{
    return (pattern >> (2 * zone)) & 3;
}

int nextColourCode(int code)
{
    switch (code) {
    case Green:
        return Amber;
    case Red:
        return Green;
    default:
        return Red;
    }
}

int withColourCode(int pattern, int zone, int code)
{
    const int mask = 65535 - (3 << (2 * zone));
    return (pattern & mask) | (code << (2 * zone));
}

int clampSourceRegister(int value)
{
    return qBound(MinSourceRegister, value, MaxSourceRegister);
}

} // namespace bargraph
