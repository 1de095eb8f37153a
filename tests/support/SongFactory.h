#pragma once

#include <QString>
#include <QVector>
#include <cmath>

// Makes the songs the tests play: a sine tone encoded with the lame command, cached under the
// system's temporary folder so only the first run pays for encoding.
class SongFactory {
public:
    struct Song {
        int sampleRate = 44100;
        int channels = 2;
        double seconds = 1.0;
        bool vbr = false;
        // Without the LAME/Xing tag the decoder must scan the file to learn its length.
        bool infoTag = true;
        double frequency = 440.0;
        int kbps = 128; // for constant bit rate
        // Free-format bit rate: every frame says "free", so the decoder must find the frame
        // length from the distance between headers.
        bool freeFormat = false;
    };

    static constexpr double Amplitude = 0.5;

    // Path of the encoded song; a song that cannot be made ends the test program, saying why.
    static QString song(const Song& song);
    // What SDL's disk driver wrote: interleaved stereo floats in the machine's byte order.
    static QVector<float> readHeard(const QString& path);
    // The song's exact length, in whole frames.
    [[nodiscard]] static double seconds(const Song& song)
    {
        return static_cast<double>(std::llround(song.seconds * song.sampleRate)) / song.sampleRate;
    }
};
