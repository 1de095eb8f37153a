#include "WaterTexture.h"

#include <algorithm>
#include <cmath>

namespace {

int channel(double value)
{
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

} // namespace

QImage WaterTexture::render(QSize size, double phase, int scale)
{
    QImage image(size * scale, QImage::Format_RGB32);
    // Where a device pixel's centre lies in 1x pixel coordinates; at scale 1 that is the pixel.
    const auto at = [scale](int device) { return (device + 0.5) / scale - 0.5; };
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double depth =
            size.height() > 1 ? std::clamp(at(y) / (size.height() - 1), 0.0, 1.0) : 0;
        for (int x = 0; x < image.width(); ++x)
            row[x] = colour(at(x), at(y), phase, depth);
    }
    return image;
}

double WaterTexture::swell(double x, double y, double phase)
{
    return 0.9 * std::sin(0.21 * x + 0.35 * y + phase) +
           0.6 * std::sin(0.13 * x - 0.27 * y + 1.7 + phase) +
           0.4 * std::sin(0.37 * x + 0.06 * y + 2.9) + 0.3 * std::sin(-0.09 * x + 0.44 * y + 0.4);
}

// Two crossing waves leave thin bright seams where they cancel; bending their coordinates with
// slower sines turns the regular lattice into the irregular net light makes on a pool floor.
double WaterTexture::caustic(double x, double y, double phase)
{
    const double u = x + 4.0 * std::sin(0.17 * y + 1.3 + phase) + 3.0 * std::sin(0.11 * x);
    const double v = y + 4.0 * std::sin(0.19 * x + 0.7) + 2.0 * std::sin(0.13 * y + phase);
    const double seam = 1.0 - std::abs(std::sin(0.26 * u) + std::sin(0.23 * v)) / 2.0;
    return std::pow(seam, 10.0);
}

QRgb WaterTexture::colour(double x, double y, double phase, double depth)
{
    const double slope = (swell(x + 1, y + 1, phase) - swell(x - 1, y - 1, phase)) / 2.0;
    const double light = std::clamp(-slope, -1.0, 1.0);
    const double glint = caustic(x, y, phase);
    const double r = 10 + 6 * depth + 8 * light + 34 * glint;
    const double g = 42 + 14 * depth + 16 * light + 70 * glint;
    const double b = 92 + 24 * depth + 22 * light + 84 * glint;
    return qRgb(channel(r), channel(g), channel(b));
}
