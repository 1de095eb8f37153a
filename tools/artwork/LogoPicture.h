#pragma once

#include <QImage>

// The logo in the about window: the program's emblem beside the makers' name, on black.
class LogoPicture {
public:
    // scale 2 draws the same picture on a grid of twice the pixels.
    static QImage paint(int scale = 1);
};
