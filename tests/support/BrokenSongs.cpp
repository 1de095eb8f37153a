#include "BrokenSongs.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;

namespace {

constexpr double Whole = 4.0;
// A run of damage far longer than the kilobyte libmpg123 looks through by default: 1.5 s.
constexpr qsizetype Damage = qsizetype{24} * 1024;
// What decoding may add to a song's length: a frame of 1152 samples at the lowest rate.
constexpr double Slack = 1152.0 / 8000.0;

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// An ID3v2.3 tag holding one private frame of the given size, its size in 7-bit bytes: a
// decoder must skip it whole, not hunt through it for audio.
QByteArray id3Tag(quint32 payload)
{
    QByteArray tag("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>(((payload + 10) >> shift) & 0x7F);
    QDataStream(&tag, QIODevice::Append) << quint32(0x50524956) << payload << quint16(0);
    return tag + randomBytes(payload, 10);
}

} // namespace

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
    if (!file.open(QIODevice::ReadOnly))
        m_error = m_songs.error();
    return file.readAll();
}

QList<BrokenSongs::Entry> BrokenSongs::make(const QString& folder)
{
    m_folder = folder;
    m_error.clear();
    const QByteArray whole = songBytes(Song{44100, 2, Whole, false});
    const qsizetype middle = whole.size() / 2;
    const double lost = Damage * 8.0 / 128000.0;
    // The LAME tag fills the first frame (417 bytes at 128 kbit/s) and holds no sound; a cut a
    // hundred bytes into the next frame leaves no frame of sound whole.
    QList<Entry> entries;
    entries << Entry{u"zero bytes"_s, write(u"empty.mp3"_s, {})}
            << Entry{u"random bytes"_s,
                     write(u"random.mp3"_s, randomBytes(qsizetype{256} * 1024, 7))}
            << Entry{u"text named .mp3"_s, write(u"notes.mp3"_s, "Bread\nFF FB 90 64\r\nID3 tag\n")}
            << Entry{u"cut inside the first frame"_s, write(u"first.mp3"_s, whole.left(517))}
            << Entry{u"random bytes over the middle"_s,
                     write(u"noise.mp3"_s,
                           QByteArray(whole).replace(middle, Damage, randomBytes(Damage, 3))),
                     Whole - lost - 0.1, Whole + Slack}
            << Entry{u"zeros over the middle"_s,
                     write(u"zeros.mp3"_s,
                           QByteArray(whole).replace(middle, Damage, QByteArray(Damage, '\0'))),
                     Whole - lost - 0.1, Whole + Slack}
            << Entry{u"junk at the end"_s, write(u"junk.mp3"_s, whole + randomBytes(Damage, 5)),
                     Whole - 0.01, Whole + 0.01};
    for (int percent : {10, 50, 90})
        entries << Entry{
            u"cut at %1 %"_s.arg(percent),
            write(u"cut-%1.mp3"_s.arg(percent), whole.left(whole.size() * percent / 100)),
            Whole * percent / 100 - 0.1, Whole * percent / 100 + Slack};
    // Valid streams that are rare in the wild.
    const QList<QPair<QString, Song>> kinds{
        {u"mono 44.1 kHz"_s, Song{44100, 1, 1.0, false}},
        {u"free format 200 kbit/s"_s, Song{44100, 2, 1.0, false, true, 440, 200, true}},
        {u"MPEG-2 16 kHz mono"_s, Song{16000, 1, 1.0, false, true, 440, 64}},
        {u"MPEG-2 22.05 kHz"_s, Song{22050, 2, 1.0, false, true, 440, 64}},
        {u"MPEG-2 24 kHz VBR"_s, Song{24000, 2, 1.0, true}},
        {u"MPEG-2.5 8 kHz mono"_s, Song{8000, 1, 1.0, false, true, 440, 32}},
        {u"MPEG-2.5 11.025 kHz"_s, Song{11025, 2, 1.0, false, true, 440, 32}},
        {u"MPEG-2.5 12 kHz"_s, Song{12000, 2, 1.0, false, true, 440, 32}},
    };
    for (const auto& [name, song] : kinds) {
        const double seconds = SongFactory::seconds(song);
        entries << Entry{name,
                         write(QString(name).replace(u'/', u'-') + u".mp3"_s, songBytes(song)),
                         seconds - 0.01, seconds + 0.01};
    }
    const QByteArray tagged = id3Tag(10 * 1024 * 1024) + songBytes(Song{44100, 2, 1.0, false});
    entries << Entry{u"10 MB ID3v2 tag in front"_s, write(u"big-tag.mp3"_s, tagged), 0.99, 1.01};
    const QDir where(m_folder);
    const QString fifo = where.filePath(u"pipe.mp3"_s);
    if (!where.mkpath(u"folder.mp3"_s) || ::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        m_error = u"cannot make a folder and a pipe in %1"_s.arg(m_folder);
    // As a garbage playlist line gives it: the bytes before the NUL name a song that plays.
    const QString real = write(u"real.mp3"_s, songBytes(Song{44100, 2, 1.0, false}));
    entries << Entry{u"NUL inside the name"_s, real + QChar(u'\0') + u".mp3"_s}
            << Entry{u"folder named .mp3"_s, where.filePath(u"folder.mp3"_s)}
            << Entry{u"FIFO named .mp3"_s, fifo}
            << Entry{u"missing"_s, where.filePath(u"missing.mp3"_s)};
    return m_error.isEmpty() ? entries : QList<Entry>{};
}
