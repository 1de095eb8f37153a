#pragma once

#include <QObject>
#include <QString>

// The media-player component the windows drive. Every member is called on the window thread;
// both events are delivered there too. The windows keep no copy of its state: each decision
// reads the member at that moment.
class MediaComponent : public QObject {
    Q_OBJECT

public:
    // PlayState values. Anything else means "neither playing nor paused".
    static constexpr int Stopped = 0;
    static constexpr int Paused = 1;
    static constexpr int Playing = 2;

    static constexpr int MinVolume = -10000;
    static constexpr int MaxVolume = 0;

    using QObject::QObject;

    // Path of the open file. Writing "" closes it (and stops); writing a path opens it.
    [[nodiscard]] virtual QString CurrentFile() const = 0;
    virtual void setCurrentFile(const QString& path) = 0;
    // Seconds played of the open file, and its length.
    [[nodiscard]] virtual double Position() const = 0;
    [[nodiscard]] virtual double Duration() const = 0;
    [[nodiscard]] virtual int PlayState() const = 0;
    // Hundredths of a decibel, MinVolume (silent) to MaxVolume (full).
    [[nodiscard]] virtual int Volume() const = 0;
    virtual void setVolume(int hundredthsOfDb) = 0;

    // Opens the file and starts playing it from its beginning, replacing whatever was open.
    virtual void Open(const QString& path) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;

signals:
    void SongEnded(int result);
    void PlayStateChanged(int oldState, int newState);
};
