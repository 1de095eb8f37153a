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
    QFile file(SongFactory::song(song));
    if (!file.open(QIODevice::ReadOnly))
        m_error = file.errorString();
    return file.readAll();
}

QList<BrokenSongs::Entry> BrokenSongs::make(const QString& folder)
{
    m_folder = folder;
    m_error.clear();
    QList<Entry> entries;
    const auto add = [&](const QString& name, const QByteArray& bytes, double min = 0.0,
                         double max = 0.0) {
        const QString file = QString(name).replace(u'/', u'-').replace(u' ', u'-') + u".mp3"_s;
        entries << Entry{name, write(file, bytes), min, max};
    };
    const QByteArray whole = songBytes(Song{44100, 2, Whole, false});
    const qsizetype middle = whole.size() / 2;
    const double damaged = Whole - Damage * 8.0 / 128000.0 - 0.1;
    add(u"zero bytes"_s, {});
    add(u"random bytes"_s, randomBytes(qsizetype{256} * 1024, 7));
    add(u"text named .mp3"_s, "Bread\nFF FB 90 64\r\nID3 tag\n");
    // The LAME tag fills the first frame (417 bytes at 128 kbit/s) and holds no sound; a cut a
    // hundred bytes into the next frame leaves no frame of sound whole.
    add(u"cut inside the first frame"_s, whole.left(517));
    add(u"random bytes over the middle"_s,
        QByteArray(whole).replace(middle, Damage, randomBytes(Damage, 3)), damaged, Whole + Slack);
    add(u"zeros over the middle"_s,
        QByteArray(whole).replace(middle, Damage, QByteArray(Damage, 0)), damaged, Whole + Slack);
    add(u"junk at the end"_s, whole + randomBytes(Damage, 5), Whole - 0.01, Whole + 0.01);
    for (int percent : {10, 50, 90})
        add(u"cut at %1 %"_s.arg(percent), whole.left(whole.size() * percent / 100),
            Whole * percent / 100 - 0.1, Whole * percent / 100 + Slack);
    // Valid streams that are rare in the wild.
    for (const auto& [name, song] : QList<QPair<QString, Song>>{
             {u"mono 44.1 kHz"_s, Song{44100, 1, 1.0, false}},
             {u"free format 200 kbit/s"_s, Song{44100, 2, 1.0, false, true, 440, 200, true}},
             {u"MPEG-2 16 kHz mono"_s, Song{16000, 1, 1.0, false, true, 440, 64}},
             {u"MPEG-2 22.05 kHz"_s, Song{22050, 2, 1.0, false, true, 440, 64}},
             {u"MPEG-2 24 kHz VBR"_s, Song{24000, 2, 1.0, true}},
             {u"MPEG-2.5 8 kHz mono"_s, Song{8000, 1, 1.0, false, true, 440, 32}},
             {u"MPEG-2.5 11.025 kHz"_s, Song{11025, 2, 1.0, false, true, 440, 32}},
             {u"MPEG-2.5 12 kHz"_s, Song{12000, 2, 1.0, false, true, 440, 32}}})
        add(name, songBytes(song), SongFactory::seconds(song) - 0.01,
            SongFactory::seconds(song) + 0.01);
    const QByteArray second = songBytes(Song{44100, 2, 1.0, false});
    add(u"10 MB ID3v2 tag in front"_s, id3Tag(10 * 1024 * 1024) + second, 0.99, 1.01);
    // As a garbage playlist line gives it: the bytes before the NUL name a song that plays.
    entries << Entry{u"NUL inside the name"_s,
                     write(u"real.mp3"_s, second) + QChar(u'\0') + u".mp3"_s};
    const QDir where(m_folder);
    const QString fifo = where.filePath(u"pipe.mp3"_s);
    if (!where.mkpath(u"folder.mp3"_s) || ::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        m_error = u"cannot make a folder and a pipe in %1"_s.arg(m_folder);
    entries << Entry{u"folder named .mp3"_s, where.filePath(u"folder.mp3"_s)}
            << Entry{u"FIFO named .mp3"_s, fifo}
            << Entry{u"missing"_s, where.filePath(u"missing.mp3"_s)};
    return m_error.isEmpty() ? entries : QList<Entry>{};
}
