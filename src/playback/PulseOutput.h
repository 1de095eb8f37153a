#pragma once

#include "SoundDevice.h"

#include <atomic>
#include <memory>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;
class Wakeup;

// The desktop's sound server (PulseAudio, or PipeWire in its place) spoken to directly, on a
// libpulse thread of its own that calls render each time the server asks for more. SDL's own
// route to the same server asks for a few milliseconds at a time and wakes five times per
// buffer; here the server is asked to hold a little more and to ask for it in large pieces.
//
// One stream at a time; the connection to the server outlives it, so the next song opens at
// once. When the server goes away the owner's wake-up is raised from libpulse's thread, and
// the next open() connects anew.
class PulseOutput final : public SoundDevice {
public:
    // A volume step is applied as samples are rendered, so it is heard behind all the server
    // holds. 90 ms in all, asked for 35 ms at a time, leaves the server 10 ms of its own (SDL's
    // way left it 12 ms) and was heard within 52 ms; 120 ms asked for 50 ms at a time took
    // 116 ms. libpulse's thread then wakes 50 times a second, SDL's 140 times.
    static constexpr int QueuedFrames = 3969;
    static constexpr int RequestFrames = 1544;

    explicit PulseOutput(Wakeup& onLoss);
    ~PulseOutput() override;

    // Whether a sound server answers now, connecting if need be. Never starts one.
    bool connect();

    Opened open(Render render, void* userdata) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_stream != nullptr; }
    [[nodiscard]] bool isLost() const override;
    [[nodiscard]] const char* lastError() const override;

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
};
