#pragma once

#include "AudioOutput.h"
#include "SoundDevice.h"

#include <atomic>
#include <memory>

struct pa_context;
struct pa_cvolume;
struct pa_stream;
struct pa_threaded_mainloop;
class Wakeup;

// The desktop's sound server (PulseAudio, or PipeWire in its place) spoken to directly, on a
// libpulse thread of its own that calls render each time the server asks for more. SDL's own
// route to the same server asks for a few milliseconds at a time and wakes five times per
// buffer; here the server holds half a second and asks for it in large pieces, so libpulse's
// thread wakes a few times a second. What would otherwise wait behind that queue is done by
// the server at once: the volume is the stream's own, pause corks the stream, and a replaced
// song closes it.
//
// One stream at a time; the connection to the server outlives it, so the next song opens at
// once. When the server goes away the owner's wake-up is raised from libpulse's thread, and
// the next open() connects anew.
class PulseOutput final : public SoundDevice {
public:
    // 90 ms asked for 35 ms at a time, with the volume applied as samples were rendered, woke
    // libpulse's thread 50 times a second and cost more than all the decoding.
    static constexpr int QueuedFrames = AudioOutput::SampleRate / 2;
    static constexpr int RequestFrames = AudioOutput::SampleRate / 5;

    explicit PulseOutput(Wakeup& onLoss);
    ~PulseOutput() override;

    // Whether a sound server answers now, connecting if need be. Never starts one.
    bool connect();

    Opened open(Render render, void* userdata) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_stream != nullptr; }
    [[nodiscard]] bool isLost() const override;
    [[nodiscard]] const char* lastError() const override;
    bool setVolume(float gain) override;
    bool hold() override;
    void resume() override;
    [[nodiscard]] bool holdsLittle() const override { return false; }
    [[nodiscard]] std::size_t playOutFrames() const override { return m_playOut; }
    [[nodiscard]] std::size_t queuedFrames() const override { return m_queued; }

private:
    struct LoopFree {
        void operator()(pa_threaded_mainloop* loop) const;
    };
    struct ContextUnref {
        void operator()(pa_context* context) const;
    };
    struct StreamUnref {
        void operator()(pa_stream* stream) const;
    };

    static void contextChanged(pa_context* context, void* userdata);
    static void streamChanged(pa_stream* stream, void* userdata);
    static void writeWanted(pa_stream* stream, std::size_t bytes, void* userdata);
    bool startLoop();
    bool connectStream();
    void dropStream();
    void dropContext();
    void lose();
    void cork(bool corked);
    void sendVolume();
    [[nodiscard]] pa_cvolume streamVolume() const;

    Wakeup& m_onLoss;
    std::unique_ptr<pa_threaded_mainloop, LoopFree> m_loop;
    std::unique_ptr<pa_context, ContextUnref> m_context;
    std::unique_ptr<pa_stream, StreamUnref> m_stream;
    // Set before a stream connects, read by libpulse's thread only while one is connected.
    Render m_render = nullptr;
    void* m_userdata = nullptr;
    // Raised on libpulse's thread when the connection or the stream fails.
    std::atomic<bool> m_lost{false};
    int m_error = 0;
    // Feeder thread only.
    float m_volume = 1.0F;
    bool m_corked = false;
    // The queue the server granted, and one request more that it may have asked for ahead.
    std::size_t m_playOut = QueuedFrames + RequestFrames;
    std::size_t m_queued = QueuedFrames;
};
