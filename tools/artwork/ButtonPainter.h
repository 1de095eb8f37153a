#pragma once

#include "GlyphShape.h"

#include <QImage>
#include <QString>

// Draws one button of the main bar: a small rounded blue body with a bevel and a light symbol.
// The bar behind is teal water, so the body is a deeper blue with a dark rim to stand apart,
// and the symbol is near white. A pressed button is sunken: the bevel flips, the body darkens
// and the symbol moves one pixel right and down.
class ButtonPainter {
public:
    static QImage paint(const QString& base, int size, bool pressed);

private:
    static QImage body(int size, bool pressed);
    static QRgb bodyPixel(int x, int y, int size, bool pressed);
    static QRgb innerColour(int x, int y, int size, bool pressed);
    static QRgb fillColour(int y, int size, bool pressed);
    static void drawGlyph(QImage& image, const GlyphShape& glyph, int size, bool pressed);
};
