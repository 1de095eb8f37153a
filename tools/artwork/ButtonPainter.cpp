#include "ButtonPainter.h"

#include "PixelGlyphs.h"
#include "VectorGlyphs.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Signed distance from a pixel centre to the edge of the rounded square; negative inside.
double edgeDistance(int x, int y, int size)
{
    const double radius = size / 8.0;
    const double half = size / 2.0;
    const double qx = std::abs(x + 0.5 - half) - (half - radius);
    const double qy = std::abs(y + 0.5 - half) - (half - radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

int mix(int from, int to, double t)
{
    return static_cast<int>(std::lround(from + (to - from) * t));
}

} // namespace

QImage ButtonPainter::paint(const QString& base, int size, bool pressed)
{
    QImage image = body(size, pressed);
    const GlyphShape glyph =
        size <= 16 ? PixelGlyphs::shape(base) : VectorGlyphs::shape(base, size);
    drawGlyph(image, glyph, size, pressed);
    return image;
}

QImage ButtonPainter::body(int size, bool pressed)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, bodyPixel(x, y, size, pressed));
    }
    return image;
}

// At 16 px the corners are cut hard so that no half-transparent pixel blurs them; larger icons
// get a smooth edge.
QRgb ButtonPainter::bodyPixel(int x, int y, int size, bool pressed)
{
    const double distance = edgeDistance(x, y, size);
    const double coverage =
        size <= 16 ? (distance < 0 ? 1.0 : 0.0) : std::clamp(0.5 - distance, 0.0, 1.0);
    if (coverage <= 0)
        return qRgba(0, 0, 0, 0);
    const QRgb colour = distance > -1 ? qRgb(8, 24, 56) : innerColour(x, y, size, pressed);
    return qRgba(qRed(colour), qGreen(colour), qBlue(colour),
                 static_cast<int>(std::lround(coverage * 255)));
}

// Everything inside the rim is the body fill except the bevel ring just inside it, which is
// light on the top and left edges and dark on the bottom and right for a raised button, and
// the other way round for a pressed one.
QRgb ButtonPainter::innerColour(int x, int y, int size, bool pressed)
{
    const int unit = size / 16;
    if (edgeDistance(x, y, size) <= -1 - unit)
        return fillColour(y, size, pressed);
    const bool topLeft = x + y < size - 1;
    if (pressed)
        return topLeft ? qRgb(6, 20, 54) : qRgb(52, 96, 160);
    return topLeft ? qRgb(128, 188, 244) : qRgb(14, 40, 96);
}

QRgb ButtonPainter::fillColour(int y, int size, bool pressed)
{
    const double t = static_cast<double>(y) / (size - 1);
    if (pressed)
        return qRgb(mix(16, 30, t), mix(40, 64, t), mix(92, 126, t));
    return qRgb(mix(58, 28, t), mix(112, 66, t), mix(196, 142, t));
}

// A dark copy one pixel down and right lifts the symbol off the body. Both stay inside the
// bevel so that the rim reads cleanly even when the pressed symbol moves.
void ButtonPainter::drawGlyph(QImage& image, const GlyphShape& glyph, int size, bool pressed)
{
    const int inset = 1 + size / 16;
    const qreal shift = pressed ? 1 : 0;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, size > 16);
    painter.setPen(Qt::NoPen);
    painter.setClipRect(QRect(inset, inset, size - 2 * inset, size - 2 * inset));
    painter.translate(shift, shift);
    const QPainterPath whole = glyph.solid.united(glyph.soft);
    painter.fillPath(whole.translated(1, 1), QColor(4, 14, 40, 190));
    painter.fillPath(glyph.soft, pressed ? QColor(112, 160, 214) : QColor(150, 198, 242));
    painter.fillPath(glyph.solid, pressed ? QColor(206, 230, 252) : QColor(246, 251, 255));
}
