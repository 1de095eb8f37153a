#pragma once

#include "MediaComponent.h"
#include "PlaybackFeeder.h"

#include <cstdint>
#include <memory>

// The media player the windows drive: libmpg123 decodes on a feeder thread, AudioOutput plays.
//
// Every member runs on the window thread and returns at once; opening, scanning and decoding
// happen on the feeder thread, so Duration reads 0 for the few milliseconds until the file's
// header has been read. A file that cannot be played leaves the player stopped with that
// CurrentFile and then raises SongEnded, a moment after the Open that named it.
//
// The end of a song: SongEnded is raised shortly before the last of it is heard, and the last
// of it is heard whatever is opened next, unless playback is stopped or closed. An Open in
// that moment queues the next song right behind it, on the same device, without a gap; from
// that Open on, Position, Duration and CurrentFile describe the new song, and Position stays 0
// until its first frame is heard. When nothing follows, PlayState becomes Stopped once the
// song has been heard to its end, and Position keeps the song's length. Stop returns Position
// to 0; Play after a stop or an end starts the file again from its beginning.
class MediaPlayer : public MediaComponent {
    Q_OBJECT

public:
    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    [[nodiscard]] QString CurrentFile() const override;
    void setCurrentFile(const QString& path) override;
    [[nodiscard]] double Position() const override;
    [[nodiscard]] double Duration() const override;
    [[nodiscard]] int PlayState() const override;
    [[nodiscard]] int Volume() const override;
    void setVolume(int hundredthsOfDb) override;

    void Open(const QString& path) override;
    void Play() override;
    void Pause() override;
    void Stop() override;

private:
    void send(PlaybackFeeder::Transport transport);
    void setState(int state);
    void onFeederEvent(PlaybackFeeder::Event event);

    QString m_currentFile;
    int m_state = Stopped;
    int m_volume = MaxVolume;
    std::uint64_t m_generation = 0;
    bool m_playedToEnd = false;
    // Last member: its thread must be gone before anything it reports to is destroyed.
    std::unique_ptr<PlaybackFeeder> m_feeder;
};
