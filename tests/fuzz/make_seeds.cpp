// Writes the decoder's starting corpus into the folder named on the command line: short tones
// from the tests' song generator in each MPEG version, both channel layouts, constant and
// variable bit rate, with and without the encoder's tag, one behind an ID3v2 tag, one cut off
// mid-frame, and pairs of them joined into one file. libFuzzer mutates these, which reaches far
// more of the decoder than bytes made from nothing.
#include "support/SongFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

struct Seed {
    const char* name;
    SongFactory::Song song;
};

bool save(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A minimal ID3v2.3 tag holding one title frame; its size is stored in 7-bit bytes.
QByteArray id3Tag()
{
    const QByteArray title = QByteArray("\0seed", 5);
    QByteArray frame = QByteArrayLiteral("TIT2");
    frame += QByteArray::fromHex("00000005") + QByteArray(2, '\0') + title;
    QByteArray tag("ID3\x03\x00\x00", 6);
    const auto size = static_cast<int>(frame.size());
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>((size >> shift) & 0x7f);
    return tag + frame;
}

QByteArray encoded(SongFactory& factory, const SongFactory::Song& song)
{
    QFile file(factory.song(song));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    const Seed seeds[] = {
        {"mpeg1-stereo-cbr", {44100, 2, 0.1, false, true, 440.0, 128}},
        {"mpeg1-mono-vbr", {48000, 1, 0.1, true, true, 1000.0, 128}},
        {"mpeg1-32k-notag", {32000, 2, 0.1, false, false, 440.0, 64}},
        {"mpeg2-22k-vbr", {22050, 2, 0.1, true, true, 660.0, 64}},
        {"mpeg2-16k-notag", {16000, 1, 0.1, false, false, 300.0, 32}},
        {"mpeg25-8k-mono", {8000, 1, 0.2, false, true, 200.0, 16}},
    };
    SongFactory factory;
    QByteArray previous;
    for (const Seed& seed : seeds) {
        const QByteArray bytes = encoded(factory, seed.song);
        if (bytes.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(factory.error()));
            return 1;
        }
        const QString name = folder.filePath(QString::fromLatin1(seed.name));
        bool saved = save(name + QStringLiteral(".mp3"), bytes);
        if (seed.song.sampleRate == 44100)
            saved = saved && save(name + QStringLiteral("-id3.mp3"), id3Tag() + bytes) &&
                    save(name + QStringLiteral("-cut.mp3"), bytes.left(bytes.size() * 2 / 3));
        // Two songs joined into one file: the rate or the channel count changes part-way.
        if (!previous.isEmpty())
            saved = saved && save(name + QStringLiteral("-after-previous.mp3"), previous + bytes);
        if (!saved)
            return 1;
        previous = bytes;
    }
    return 0;
}
