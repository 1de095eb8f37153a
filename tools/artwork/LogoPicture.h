#pragma once

#include <QImage>

// The logo in the about window: the program's emblem beside the makers' name, on black.
class LogoPicture {
public:
    static QImage paint();
};
