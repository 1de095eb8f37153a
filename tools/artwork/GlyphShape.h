#pragma once

#include <QPainterPath>

// The light symbol on a button, in the pixel coordinates of the finished icon: the solid part
// in full glyph colour and an optional soft part in a dimmer tone (a page's paper, a label).
struct GlyphShape {
    QPainterPath solid;
    QPainterPath soft;
};
