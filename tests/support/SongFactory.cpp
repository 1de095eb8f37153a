#include "SongFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace Qt::StringLiterals;

QString SongFactory::song(const Song& song)
{
    const QDir cache(QDir::temp().filePath(u"ixomp3-test-songs-2"_s));
    const QString mp3 = cache.filePath(QString::asprintf(
        "tone-%dhz-%dch-%lldms-%s%s-%ghz-%dk%s.mp3", song.sampleRate, song.channels,
        std::llround(song.seconds * 1000), song.vbr ? "vbr" : "cbr", song.infoTag ? "" : "-notag",
        song.frequency, song.kbps, song.freeFormat ? "-free" : ""));
    if (QFile::exists(mp3))
        return mp3;
    // The same 16-bit little-endian samples in every channel, piped to lame as raw PCM.
    const qint64 count = std::llround(song.seconds * song.sampleRate);
    QByteArray pcm(count * song.channels * 2, Qt::Uninitialized);
    const double step = 2.0 * std::numbers::pi * song.frequency / song.sampleRate;
    for (qint64 i = 0; i < count; ++i) {
        const auto sample =
            static_cast<qint16>(std::lround(Amplitude * 32767.0 * std::sin(step * i)));
        for (int channel = 0; channel < song.channels; ++channel)
            qToLittleEndian(sample, pcm.data() + (i * song.channels + channel) * 2);
    }
    // Encoded under a name of this process's own, so an interrupted run leaves no half song and
    // two test programs making the same song at once do not write into one file.
    const QString part = mp3 + u".%1.part"_s.arg(QCoreApplication::applicationPid());
    const QString rate = QString::number(song.sampleRate / 1000.0);
    const QString mode = song.channels == 1 ? u"m"_s : u"j"_s;
    QStringList arguments{u"--quiet"_s, u"-r"_s, u"-s"_s, rate, u"-m"_s, mode};
    arguments << (song.vbr ? u"-V4"_s : u"-b"_s + QString::number(song.kbps)) << u"-"_s << part;
    if (!song.infoTag)
        arguments.prepend(u"-t"_s);
    if (song.freeFormat)
        arguments.prepend(u"--freeformat"_s);
    cache.mkpath(u"."_s);
    QProcess lame;
    lame.start(u"lame"_s, arguments);
    lame.write(pcm);
    lame.closeWriteChannel();
    const bool made = lame.waitForFinished(120000) && lame.exitStatus() == QProcess::NormalExit &&
                      lame.exitCode() == 0;
    // Another program may have finished the same song first; its copy is as good as ours.
    if (made && (QFile::rename(part, mp3) || QFile::exists(mp3))) {
        QFile::remove(part);
        return mp3;
    }
    qFatal("cannot make %s: %s %s", qPrintable(mp3), qPrintable(lame.errorString()),
           lame.readAllStandardError().constData());
}

QVector<float> SongFactory::readHeard(const QString& path)
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QVector<float> samples(bytes.size() / qsizetype(sizeof(float)));
    if (!samples.isEmpty()) // an empty vector's data() is null, which memcpy must not get
        std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
    return samples;
}
