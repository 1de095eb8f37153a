#pragma once

#include "AudioOutput.h"
#include "DeviceLag.h"
#include "RingBuffer.h"
#include "SongSource.h"
#include "Wakeup.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The engine under MediaPlayer. A feeder thread opens and decodes the songs, converts them for
// the device and queues them in a lock-free ring; the device's audio thread takes from the ring,
// applies the gain and pads with silence. The window thread only posts requests and reads atomics,
// so nothing it calls waits for file I/O or for the device.
//
// When the device goes away under a playing song, the feeder closes it and has AudioOutput open
// the default device again, as often as it advises while there is none; the ring keeps its place,
// so the song goes on from where it was heard last, and its position stands still meanwhile.
//
// Each song is known by the generation number of the request that opened it. Everything the
// feeder reports carries that number, and what it publishes for Position and Duration is only
// believed for the newest generation.
class PlaybackFeeder {
public:
    enum class Transport { Stopped, Paused, Playing };
    enum class EventKind {
        // The file could not be played; nothing of it was heard. What the song before it
        // still had queued is heard out all the same.
        Failed,
        // Decoding reached the end and only the last moments of the song are still queued.
        DecodeEnded,
        // The device has played the song's last frame and nothing follows it.
        PlayedOut,
    };
    struct Event {
        EventKind kind;
        std::uint64_t generation;
    };
    // Called on the feeder thread.
    using Reporter = std::function<void(Event)>;

    explicit PlaybackFeeder(Reporter reporter);
    PlaybackFeeder(const PlaybackFeeder&) = delete;
    PlaybackFeeder& operator=(const PlaybackFeeder&) = delete;
    ~PlaybackFeeder();

    // The window thread's side. A request with a new generation opens path (nothing when it is
    // empty or the transport is Stopped); one with the current generation changes only the
    // transport. When the previous song has finished decoding and is still being heard, the new
    // one follows it in the same stream without a break.
    void request(std::uint64_t generation, const QString& path, Transport transport);
    void setGain(float gain);
    // Seconds of the given song heard so far, and its length; 0 until the feeder has got to it.
    [[nodiscard]] double positionSeconds(std::uint64_t generation) const;
    [[nodiscard]] double durationSeconds(std::uint64_t generation) const;

private:
    struct Request {
        std::uint64_t generation = 0;
        QString path;
        Transport transport = Transport::Stopped;
        bool quit = false;
    };
    // Feeder-thread state of the song being fed.
    struct Song {
        std::uint64_t generation = 0;
        QString path;
        std::unique_ptr<SongSource> source;
        // Queued behind the end of the song before it, which the device is still playing.
        bool behindEnding = false;
        bool decodeFinished = false;
        bool endReported = false;
        bool drainStarted = false;
        std::uint64_t drainFrom = 0;
        bool playedOut = false;
    };

    static bool renderCallback(void* userdata, float* out, std::size_t count);
    bool render(float* out, std::size_t count);

    void run();
    void post(Request request);
    Request takeRequest();
    void apply(const Request& request);
    void startSong(const Request& request);
    void failSong(const QString& why);
    void stopSong();
    bool feed();
    bool openOutput();
    bool decodeInto();
    void finishDecoding();
    void watchEnding();
    void closeOutput();
    void passGain();
    void publishStart(std::uint64_t generation);

    Reporter m_reporter;

    // The mailbox: the newest request replaces any the feeder has not taken yet. The lock is
    // held just long enough to copy it, and never by the audio thread.
    std::mutex m_requestMutex;
    Request m_request;
    // Raised by a request, by the loss of the device, and by an audio callback that left room
    // for a burst of decoding or that played from a song whose end is queued.
    Wakeup m_wakeup;

    // Shared with the audio callback.
    RingBuffer m_ring;
    // The gain asked for, and the part of it applied as samples are rendered: all of it, or
    // none when the device applies it itself.
    std::atomic<float> m_gain{1.0F};
    std::atomic<float> m_renderGain{1.0F};
    std::atomic<std::uint64_t> m_rendered{0};
    // Taken from the read index for the position, so that it counts what was heard.
    DeviceLag m_lag;
    // Set by the window thread the moment it pauses or stops, so the device takes nothing
    // more from the ring while the feeder gets round to closing it.
    std::atomic<bool> m_hold{true};

    // Written by the feeder, read by the window thread. A new song's start, end and duration
    // are stored before its generation, which is stored last; the duration follows once known.
    std::atomic<std::uint64_t> m_songStart{0};
    std::atomic<std::uint64_t> m_songEnd{UINT64_MAX};
    std::atomic<double> m_duration{0.0};
    std::atomic<std::uint64_t> m_startGeneration{0};

    // Feeder thread only.
    Transport m_transport = Transport::Stopped;
    Song m_song;
    // Made and destroyed on the feeder thread, so SDL's audio subsystem lives on that thread.
    std::optional<AudioOutput> m_output;
    std::vector<float> m_scratch;

    std::thread m_thread;
};
