#include "SongFactory.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <cmath>
#include <numbers>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

SongFactory::SongFactory() : m_cache(QDir::temp().filePath(u"ixomp3-test-songs-1"_s))
{
    QDir().mkpath(m_cache);
}

qint64 SongFactory::frames(const Song& song)
{
    return std::llround(song.seconds * song.sampleRate);
}

double SongFactory::seconds(const Song& song)
{
    return static_cast<double>(frames(song)) / song.sampleRate;
}

QString SongFactory::nameOf(const Song& song)
{
    return u"tone-%1hz-%2ch-%3ms-%4%5-%6hz.mp3"_s.arg(song.sampleRate)
        .arg(song.channels)
        .arg(std::llround(song.seconds * 1000))
        .arg(song.vbr ? u"vbr"_s : u"cbr"_s, song.infoTag ? QString() : u"-notag"_s)
        .arg(song.frequency);
}

QString SongFactory::song(const Song& song)
{
    const QString mp3 = QDir(m_cache).filePath(nameOf(song));
    if (QFile::exists(mp3))
        return mp3;
    // Both files are made under temporary names, so an interrupted run leaves no half song.
    const QString wav = m_scratch.filePath(nameOf(song) + u".wav"_s);
    const QString part = mp3 + u".part"_s;
    if (!writeWav(song, wav) || !encode(song, wav, part))
        return {};
    QFile::remove(wav);
    if (!QFile::rename(part, mp3)) {
        m_error = u"cannot rename %1"_s.arg(part);
        return {};
    }
    return mp3;
}

bool SongFactory::writeWav(const Song& song, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    const qint64 count = frames(song);
    const auto dataBytes = static_cast<quint32>(count * song.channels * 2);
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(song.channels) << quint32(song.sampleRate)
        << quint32(song.sampleRate * song.channels * 2) << quint16(song.channels * 2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    const double step = 2.0 * std::numbers::pi * song.frequency / song.sampleRate;
    for (qint64 i = 0; i < count; ++i) {
        const auto sample =
            static_cast<qint16>(std::lround(Amplitude * 32767.0 * std::sin(step * i)));
        for (int channel = 0; channel < song.channels; ++channel)
            out << sample;
    }
    return out.status() == QDataStream::Ok;
}

bool SongFactory::encode(const Song& song, const QString& wav, const QString& mp3)
{
    QStringList arguments{u"--quiet"_s, u"-m"_s, song.channels == 1 ? u"m"_s : u"j"_s};
    arguments << (song.vbr ? QStringList{u"-V"_s, u"4"_s} : QStringList{u"-b"_s, u"128"_s});
    if (!song.infoTag)
        arguments << u"-t"_s;
    arguments << wav << mp3;
    QProcess lame;
    lame.start(u"lame"_s, arguments);
    if (!lame.waitForFinished(120000) || lame.exitStatus() != QProcess::NormalExit ||
        lame.exitCode() != 0) {
        m_error = u"lame failed: %1 %2"_s.arg(lame.errorString(),
                                              QString::fromLocal8Bit(lame.readAllStandardError()));
        return false;
    }
    return true;
}

QString SongFactory::damaged(Damage damage)
{
    const QString path = m_scratch.filePath(u"damaged-%1.mp3"_s.arg(static_cast<int>(damage)));
    if (damage == Damage::Missing || QFileInfo::exists(path) || writeDamaged(damage, path))
        return path;
    return {};
}

bool SongFactory::writeDamaged(Damage damage, const QString& path)
{
    if (damage == Damage::Folder)
        return QDir().mkpath(path);
    if (damage == Damage::Fifo)
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    const QString source = song(Song{});
    QFile original(source);
    if (source.isEmpty() || !original.open(QIODevice::ReadOnly))
        return false;
    const QByteArray whole = original.readAll();
    QByteArray junk(4096, '\0');
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
    QByteArray bytes;
    switch (damage) {
    case Damage::RandomBytes:
        bytes = junk.repeated(16);
        break;
    case Damage::TextFile:
        bytes = "This is a shopping list, not a song.\nBread\nMilk\n";
        break;
    case Damage::Truncated:
        bytes = whole.left(whole.size() / 2);
        break;
    case Damage::JunkInMiddle:
        bytes = whole.left(whole.size() / 2) + junk + whole.mid(whole.size() / 2);
        break;
    case Damage::JunkAtEnd:
        bytes = whole + junk;
        break;
    case Damage::Unreadable:
        bytes = whole;
        break;
    default:
        break;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return damage != Damage::Unreadable || file.setPermissions(QFileDevice::Permissions());
}
