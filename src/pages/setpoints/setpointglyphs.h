#pragma once

#include <QIcon>
#include <QPixmap>

// The glyphs of the setpoint rows' toggles, drawn at 16 x 16. Each icon
// holds the released image (Off) and the pressed image (On).
namespace setpointglyphs {

constexpr int Size = 16;

// Mode toggle: released a ramp crossing a shaded band (band mode), pressed
// a hysteresis loop.
QPixmap rampAcrossBand();
QPixmap hysteresisLoop();
// Hysteresis energise glyph: a red arrow pointing down (released: energised
// below the setpoint) or up (pressed: energised above it).
QPixmap redArrow(bool up);
// Band energise glyph: three horizontal stripes, red in the middle when
// released (energised inside the band), green in the middle when pressed.
QPixmap stripes(bool redMiddle);

QIcon modeGlyph();
QIcon hysteresisEnergiseGlyph();
QIcon bandEnergiseGlyph();

} // namespace setpointglyphs
