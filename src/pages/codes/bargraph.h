#pragma once

#include <QList>
#include <QString>

// The arithmetic of the bargraph editor: the slider's range and position
// from the bar registers, the zero's segment index, the zone strip and the
// zone colour codes. Whole numbers throughout; divisions truncate.
namespace bargraph {

constexpr int MinValue = -19999;
constexpr int MaxValue = 32767;
// The zone strip spans this band of the page.
constexpr int ZoneLeft = 80;
constexpr int ZoneRight = 705;

enum ColourCode { Off = 0, Green = 1, Red = 2, Amber = 3 };

// 50 segments on models whose code contains "51", else 100.
int segments(const QString &modelCode);

// The slider as drawn from register 99 (low), 100 (high) and 220 (zero),
// each taken within its range.
struct Scale
{
    int minimum = 0;
    int maximum = 0;
    int position = 0;
    int tickSpacing = 1;
    // Register 99 holds the smaller value.
    bool ascending = true;
};
Scale scaleFor(int low, int high, int zeroSegment, int segments);

// The segment a slider position stands for, in proportion to the range and
// kept within 0 .. segments.
int segmentAt(int position, int minimum, int maximum, int segments);
// The value shown for a segment: counted from the minimum on an ascending
// bar, from the maximum on a descending one.
int segmentValue(int segment, int minimum, int maximum, bool ascending, int segments);
// The zero's segment index from the bar's two ends (in either order) and the
// zero value; the ends must differ.
int zeroSegment(int low, int high, int zero, int segments);

// A bar field's text read as a whole number with its first "." removed.
// Throws UserError when it is none.
int fieldValue(const QString &text);

// One zone more than the setpoints that lie strictly inside the bar.
int zoneCount(const QList<int> &setpoints, int minimum, int maximum);
struct ZoneSpan
{
    int left;
    int width;
};
// Equal cells from the smaller end: from the left when ascending, else from the right.
ZoneSpan zoneSpan(int zone, int count, bool ascending);

// Register 101 as its 16-bit pattern: a negative reply is taken modulo 65536.
int colourPattern(int reply);
int colourCode(int pattern, int zone);
// The colour a click gives: red to green, green to amber, anything else to red.
int nextColourCode(int code);
int withColourCode(int pattern, int zone, int code);

// A user-defined source register, clamped to 1 .. 255.
constexpr int MinSourceRegister = 1;
constexpr int MaxSourceRegister = 255;
int clampSourceRegister(int value);

} // namespace bargraph
