#pragma once

#include <QString>
#include <QTemporaryDir>

// SDL's disk driver as the sound device, set up before the first player is made: it writes what
// a listener would hear, interleaved stereo floats at the device's rate, into a file of this
// object's own that starts anew each time the device opens.
class DiskAudio {
public:
    struct Heard {
        double left = 0.0; // energy: the sum of the squared samples
        double right = 0.0;
        qint64 frames = 0; // frames with any sound
        qint64 longestInnerSilence = 0;
    };

    // Milliseconds the driver waits per buffer; 0 writes as fast as the disk takes it.
    explicit DiskAudio(int delayMs = 0);
    static void setDelay(int delayMs);
    [[nodiscard]] QString path() const;
    [[nodiscard]] Heard heard() const;
    // The same of any recording in that layout.
    static Heard heardIn(const QString& path);

private:
    QTemporaryDir m_dir;
};
