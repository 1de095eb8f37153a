#pragma once

#include <QString>
#include <QTemporaryDir>

// Makes the songs the tests play: a sine tone of known frequency and length, written as WAV and
// encoded with the lame command. Songs are kept in a cache folder under the system's temporary
// folder, so only the first run pays for encoding; damaged files are made fresh in a folder
// that lives as long as the factory.
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
    };
    enum class Damage {
        Missing,
        ZeroBytes,
        RandomBytes,
        TextFile,
        Folder,
        Unreadable,
        Fifo,
        Truncated,
        JunkInMiddle,
        JunkAtEnd,
    };

    static constexpr double Amplitude = 0.5;

    SongFactory();

    // Path of the encoded song; empty (with the reason in error()) if it could not be made.
    QString song(const Song& song);
    // A file (or not a file) derived from a one-second stereo song.
    QString damaged(Damage damage);
    [[nodiscard]] const QString& error() const { return m_error; }

    [[nodiscard]] static qint64 frames(const Song& song);
    [[nodiscard]] static double seconds(const Song& song);

private:
    static QString nameOf(const Song& song);
    bool writeWav(const Song& song, const QString& path);
    bool encode(const Song& song, const QString& wav, const QString& mp3);
    bool writeDamaged(Damage damage, const QString& path);

    QString m_cache;
    QTemporaryDir m_scratch;
    QString m_error;
};
