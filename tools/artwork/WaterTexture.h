#pragma once

#include <QImage>
#include <QSize>

// Calm, darkish blue rippled water: a sum of sines gives the swell, lit from the top left, and
// a warped lattice of sines gives faint caustic highlights. Pure arithmetic, so every build
// writes the same bytes; the phase shifts the pattern between pictures of the same family.
// At a scale above 1 the same water is sampled at the centres of the smaller pixels, so the
// 2x picture is the 1x one drawn finer, not enlarged.
class WaterTexture {
public:
    static QImage render(QSize size, double phase, int scale = 1);

private:
    static double swell(double x, double y, double phase);
    static double caustic(double x, double y, double phase);
    static QRgb colour(double x, double y, double phase, double depth);
};
