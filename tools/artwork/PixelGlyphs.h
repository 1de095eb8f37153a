#pragma once

#include "GlyphShape.h"

#include <QString>

// The button symbols for 16 px icons, placed pixel by pixel so that every edge is crisp:
// '#' is solid glyph colour, '+' the soft tone.
class PixelGlyphs {
public:
    // The symbol centred in a 16 px square; empty for an unknown name.
    static GlyphShape shape(const QString& base);
};
