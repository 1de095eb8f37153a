#pragma once

#include "AudioOutput.h"
#include "RingBuffer.h"
#include "SongSource.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The engine under MediaPlayer. A feeder thread opens and decodes the songs, converts them for
// the device and queues them in a lock-free ring; SDL's audio thread takes from the ring, applies
// the gain and pads with silence. The window thread only posts requests and reads atomics, so
// nothing it calls waits for file I/O or for the device.
//
// When the device goes away under a playing song, the feeder closes it and opens the default
// device again, retrying at a modest pace while there is none; the ring keeps its place, so the
// song goes on from where it was heard last, and its position stands still meanwhile.
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
        std::uint32_t drainFrom = 0;
        bool playedOut = false;
    };

    static void renderCallback(void* userdata, Uint8* stream, int length);
    static void lossCallback(void* userdata);
    void render(float* out, std::size_t count);

    void run();
    Request takeRequest();
    void wake();
    void wakeFromWindow();
    void waitToRetry(std::uint32_t seen);
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
    void publishStart(std::uint64_t generation);
    void publishDuration(std::uint64_t generation, double seconds);

    Reporter m_reporter;

    // Guards m_request, and the window thread's wake-ups for m_retryWait's sake; held just long
    // enough to copy the request or count a wake-up.
    std::mutex m_requestMutex;
    Request m_request;
    std::condition_variable m_retryWait;
    std::atomic<std::uint32_t> m_wakeCount{0};
    std::atomic<bool> m_quit{false};

    // Shared with the audio callback.
    RingBuffer m_ring;
    std::atomic<float> m_gain{1.0F};
    std::atomic<std::uint32_t> m_renderCount{0};
    // Set by the window thread the moment it pauses or stops, so the device takes nothing
    // more from the ring while the feeder gets round to closing it.
    std::atomic<bool> m_hold{true};

    // Written by the feeder, read by the window thread: the published generation is stored last.
    std::atomic<std::uint64_t> m_songStart{0};
    std::atomic<std::uint64_t> m_songEnd{UINT64_MAX};
    std::atomic<std::uint64_t> m_startGeneration{0};
    std::atomic<double> m_duration{0.0};
    std::atomic<std::uint64_t> m_durationGeneration{0};

    // Feeder thread only.
    Transport m_transport = Transport::Stopped;
    Song m_song;
    // The device went away while playing and none could be opened since.
    bool m_outputAway = false;
    // Made and destroyed on the feeder thread, so SDL's audio subsystem lives on that thread.
    std::optional<AudioOutput> m_output;
    std::vector<float> m_scratch;

    std::thread m_thread;
};
