#pragma once

#include <QImage>
#include <QPoint>

// The cursor shown over links: a white pointing hand with a black outline, its index finger up.
class LinkCursor {
public:
    // scale 2 draws the same picture on a grid of twice the pixels.
    static QImage paint(int scale = 1);
    // The pixel at the tip of the index finger, where the click lands.
    static QPoint hotspot() { return {11, 1}; }
};
