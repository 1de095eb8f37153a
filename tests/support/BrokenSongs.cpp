#include "BrokenSongs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <cmath>
#include <numbers>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;

namespace {

constexpr double WholeSeconds = 4.0;
// A run of damage far longer than the kilobyte libmpg123 looks through by default: 1.5 s.
constexpr qsizetype Damage = 24 * 1024;
// What decoding may add to a song's length: a frame of 1152 samples at the lowest rate.
constexpr double FrameSlack = 1152.0 / 8000.0;

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// An ID3v2.3 tag holding one private frame of the given size: a decoder must skip it whole,
// not hunt through it for audio.
QByteArray id3Tag(qsizetype payload)
{
    QByteArray frame = "PRIV" + bigEndian32(quint32(payload)) + QByteArray(2, '\0');
    frame += randomBytes(payload, 10);
    QByteArray size(4, '\0');
    for (int at = 0; at < 4; ++at)
        size[3 - at] = static_cast<char>((frame.size() >> (7 * at)) & 0x7F);
    return "ID3" + QByteArray("\x03\x00\x00", 3) + size + frame;
}

// A second of a 16-bit stereo tone in a RIFF WAVE file: sound, but not MPEG audio.
QByteArray waveFile()
{
    constexpr quint32 Rate = 44100;
    QByteArray pcm;
    for (quint32 frame = 0; frame < Rate; ++frame) {
        const auto sample = static_cast<qint16>(
            std::lround(16000 * std::sin(2 * std::numbers::pi * 440.0 * frame / Rate)));
        char bytes[2];
        qToLittleEndian(sample, bytes);
        pcm.append(bytes, 2).append(bytes, 2);
    }
    QByteArray header = "RIFF";
    const auto le32 = [&header](quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        header.append(bytes, 4);
    };
    const auto le16 = [&header](quint16 value) {
        char bytes[2];
        qToLittleEndian(value, bytes);
        header.append(bytes, 2);
    };
    le32(quint32(36 + pcm.size()));
    header += "WAVEfmt ";
    le32(16);
    le16(1);
    le16(2);
    le32(Rate);
    le32(Rate * 4);
    le16(4);
    le16(16);
    header += "data";
    le32(quint32(pcm.size()));
    return header + pcm;
}

// The MPEG version bits (0 = 2.5, 2 = 2, 3 = 1) and bit rate index of the first frame after
// any ID3v2 tag, or -1 when there is no frame header there.
QPair<int, int> firstFrame(const QByteArray& bytes)
{
    qsizetype at = 0;
    if (bytes.startsWith("ID3") && bytes.size() >= 10) {
        for (int i = 6; i < 10; ++i)
            at = (at << 7) | (bytes.at(i) & 0x7F);
        at += 10;
    }
    if (at + 3 > bytes.size() || quint8(bytes.at(at)) != 0xFF ||
        (quint8(bytes.at(at + 1)) & 0xE0) != 0xE0)
        return {-1, -1};
    return {(quint8(bytes.at(at + 1)) >> 3) & 3, quint8(bytes.at(at + 2)) >> 4};
}

} // namespace

QList<BrokenSongs::Entry> BrokenSongs::make(const QString& folder)
{
    m_folder = folder;
    m_error.clear();
    QList<Entry> entries;
    addUnplayable(entries);
    addCut(entries);
    addUnusual(entries);
    addNotFiles(entries);
    return m_error.isEmpty() ? entries : QList<Entry>{};
}

QString BrokenSongs::write(const QString& name, const QByteArray& bytes)
{
    QFile file(QDir(m_folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        m_error = u"cannot write %1: %2"_s.arg(file.fileName(), file.errorString());
    return file.fileName();
}

QByteArray BrokenSongs::songBytes(const Song& song)
{
    QFile file(m_songs.song(song));
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = m_songs.error();
        return {};
    }
    return file.readAll();
}

void BrokenSongs::addUnplayable(QList<Entry>& entries)
{
    const QByteArray whole = songBytes(Song{44100, 2, WholeSeconds, false});
    // The LAME tag fills the first frame (417 bytes at 128 kbit/s) and holds no sound; a cut a
    // hundred bytes into the next frame leaves no frame of sound whole.
    const qsizetype tagFrame = 417;
    entries << Entry{u"zero bytes"_s, write(u"empty.mp3"_s, {})}
            << Entry{u"random bytes"_s, write(u"random.mp3"_s, randomBytes(256 * 1024, 7))}
            << Entry{u"text named .mp3"_s,
                     write(u"notes.mp3"_s, "Bread\nMilk\nFF FB 90 64\r\nID3 tag\n")}
            << Entry{u"WAV named .mp3"_s, write(u"wave.mp3"_s, waveFile())}
            << Entry{u"cut inside the first frame"_s,
                     write(u"first-frame.mp3"_s, whole.left(tagFrame + 100))};
}

void BrokenSongs::addCut(QList<Entry>& entries)
{
    const QByteArray whole = songBytes(Song{44100, 2, WholeSeconds, false});
    for (int percent : {10, 50, 90}) {
        const double seconds = WholeSeconds * percent / 100.0;
        entries << Entry{
            u"cut at %1 %"_s.arg(percent),
            write(u"cut-%1.mp3"_s.arg(percent), whole.left(whole.size() * percent / 100)),
            Outcome::Ends, seconds - 0.1, seconds + FrameSlack};
    }
    const qsizetype middle = whole.size() / 2;
    QByteArray noise = whole;
    noise.replace(middle, Damage, randomBytes(Damage, 3));
    QByteArray zeros = whole;
    zeros.replace(middle, Damage, QByteArray(Damage, '\0'));
    const double lost = Damage * 8.0 / 128000.0;
    entries << Entry{u"random bytes over the middle"_s, write(u"noise.mp3"_s, noise), Outcome::Ends,
                     WholeSeconds - lost - 0.1, WholeSeconds + FrameSlack}
            << Entry{u"zeros over the middle"_s, write(u"zeros.mp3"_s, zeros), Outcome::Ends,
                     WholeSeconds - lost - 0.1, WholeSeconds + FrameSlack};
}

// Valid streams that are rare in the wild; each is checked to be what its name says, so a
// change in the encoder cannot quietly turn them into ordinary ones.
void BrokenSongs::addUnusual(QList<Entry>& entries)
{
    struct Kind {
        QString name;
        Song song;
        int version;
    };
    const QList<Kind> kinds{
        {u"mono 44.1 kHz"_s, Song{44100, 1, 1.0, false}, 3},
        {u"free format 200 kbit/s"_s, Song{44100, 2, 1.0, false, true, 440, 200, true}, 3},
        {u"MPEG-2 16 kHz mono"_s, Song{16000, 1, 1.0, false, true, 440, 64}, 2},
        {u"MPEG-2 22.05 kHz"_s, Song{22050, 2, 1.0, false, true, 440, 64}, 2},
        {u"MPEG-2 24 kHz VBR"_s, Song{24000, 2, 1.0, true}, 2},
        {u"MPEG-2.5 8 kHz mono"_s, Song{8000, 1, 1.0, false, true, 440, 32}, 0},
        {u"MPEG-2.5 11.025 kHz"_s, Song{11025, 2, 1.0, false, true, 440, 32}, 0},
        {u"MPEG-2.5 12 kHz"_s, Song{12000, 2, 1.0, false, true, 440, 32}, 0},
    };
    for (const Kind& kind : kinds) {
        const QByteArray bytes = songBytes(kind.song);
        const QPair<int, int> header = firstFrame(bytes);
        if (header.first != kind.version || (header.second == 0) != kind.song.freeFormat)
            m_error = u"lame did not make %1 (version %2, bit rate index %3)"_s.arg(
                kind.name, QString::number(header.first), QString::number(header.second));
        const double seconds = SongFactory::seconds(kind.song);
        entries << Entry{kind.name, m_songs.song(kind.song), Outcome::Ends, seconds - 0.01,
                         seconds + 0.01};
    }
    const QByteArray tagged = id3Tag(10 * 1024 * 1024) + songBytes(Song{44100, 2, 1.0, false});
    entries << Entry{u"10 MB ID3v2 tag in front"_s, write(u"big-tag.mp3"_s, tagged), Outcome::Ends,
                     0.99, 1.01};
}

void BrokenSongs::addNotFiles(QList<Entry>& entries)
{
    const QDir folder(m_folder);
    const QString directory = folder.filePath(u"folder.mp3"_s);
    const QString fifo = folder.filePath(u"pipe.mp3"_s);
    if (!folder.mkpath(u"folder.mp3"_s) || ::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        m_error = u"cannot make a folder and a pipe in %1"_s.arg(m_folder);
    const QString locked = write(u"locked.mp3"_s, songBytes(Song{44100, 2, 1.0, false}));
    QFile::setPermissions(locked, QFileDevice::Permissions{});
    // As a garbage playlist line gives it: the bytes before the NUL name a song that plays.
    const QString real = write(u"real.mp3"_s, songBytes(Song{44100, 2, 1.0, false}));
    entries << Entry{u"NUL inside the name"_s, real + QChar(u'\0') + u".mp3"_s};
    entries << Entry{u"folder named .mp3"_s, directory} << Entry{u"FIFO named .mp3"_s, fifo}
            << Entry{u"missing"_s, folder.filePath(u"missing.mp3"_s)}
            << Entry{u"unreadable"_s,
                     locked,
                     Outcome::Unplayable,
                     0.0,
                     0.0,
                     ::geteuid() == 0 ? u"root reads a file whatever its permission bits"_s
                                      : QString()};
}
