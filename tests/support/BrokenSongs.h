#pragma once

#include "SongFactory.h"

#include <QList>
#include <QString>

// Songs a player meets in the wild, made in a folder of the caller's from the song generator's
// tones: files cut short or overwritten in the middle, things that are not MP3s but are named
// so, rare but valid streams (free format, MPEG-2 and 2.5, a huge tag in front), and names
// that are not files at all.
class BrokenSongs {
public:
    struct Entry {
        QString name;
        QString path;
        // Seconds of it heard; both 0 for an entry that cannot be played and ends at once.
        double minSeconds = 0.0;
        double maxSeconds = 0.0;
    };

    // Every entry, made under folder; empty, with the reason in error(), if one could not be.
    QList<Entry> make(const QString& folder);
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    QString write(const QString& name, const QByteArray& bytes);
    QByteArray songBytes(const SongFactory::Song& song);

    QString m_folder;
    QString m_error;
};
