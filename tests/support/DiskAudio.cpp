#include "DiskAudio.h"

#include "SongFactory.h"

#include <QFile>

DiskAudio::DiskAudio(int delayMs)
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path()));
    setDelay(delayMs);
}

void DiskAudio::setDelay(int delayMs)
{
    qputenv("SDL_DISKAUDIODELAY", QByteArray::number(delayMs));
}

QString DiskAudio::path() const
{
    return m_dir.filePath(QStringLiteral("heard.raw"));
}

DiskAudio::Heard DiskAudio::heard() const
{
    return heardIn(path());
}

DiskAudio::Heard DiskAudio::heardIn(const QString& path)
{
    const QVector<float> all = SongFactory::readHeard(path);
    Heard result;
    qint64 silence = 0;
    for (qsizetype at = 0; at + 1 < all.size(); at += 2) {
        result.left += double(all[at]) * all[at];
        result.right += double(all[at + 1]) * all[at + 1];
        const bool quiet = all[at] == 0.0F && all[at + 1] == 0.0F;
        if (!quiet && result.frames++ > 0)
            result.longestInnerSilence = std::max(result.longestInnerSilence, silence);
        silence = quiet ? silence + 1 : 0;
    }
    return result;
}
