#pragma once

#include "GlyphShape.h"

#include <QString>

// The button symbols for icons of 32 px and up, laid out on a 32 unit grid whose whole numbers
// fall on pixel edges at 32 px, then scaled to the requested size.
class VectorGlyphs {
public:
    // The symbol for a square icon of the given size; empty for an unknown name.
    static GlyphShape shape(const QString& base, int size);
};
