#pragma once

#include <QImage>

// The program's own picture: a blue tile with a white loudspeaker sending teal sound waves.
// The 16 px version is placed pixel by pixel in eleven colours so it also serves where only
// sixteen colours are allowed; larger sizes are drawn from shapes.
class ProgramIcon {
public:
    // With opaque set the corners are filled, for places that show no transparency.
    static QImage paint(int size, bool opaque);

private:
    static QImage small(bool opaque);
    static QImage large(int size, bool opaque);
};
