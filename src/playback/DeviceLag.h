#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

// How far the samples taken from the ring run ahead of what is heard: what the device has been
// given and not yet played. A sound server that holds half a second would otherwise have the
// position, and the time on the bar, half a second early.
//
// The device is taken to hold its whole queue right after each full render and to play it at
// the song's rate until the next; a render padded with silence adds only what it took. The
// estimate is one atomic word, so the audio thread that renders, the window thread that pauses
// and reads, and the feeder that closes the device never see half of one another's.
class DeviceLag {
public:
    using Clock = std::chrono::steady_clock;

    // Feeder thread: the samples the open device holds after a full render; 0 for one whose
    // queue is short enough to leave out.
    void setQueue(std::size_t samples) { m_queue.store(samples, std::memory_order_relaxed); }
    // Audio thread: count samples handed to the device, taken of them from the ring.
    void rendered(std::size_t taken, std::size_t count, Clock::time_point now);
    // Window thread: the device stops playing what it holds, and plays it on again.
    void hold(Clock::time_point now);
    void resume(Clock::time_point now);
    // Feeder thread: the device is closed or lost, and nothing it held will be heard.
    void clear() { m_mark.store(0, std::memory_order_relaxed); }

    [[nodiscard]] std::uint64_t samples(Clock::time_point now) const;

private:
    struct Mark {
        std::uint64_t lag = 0;
        std::uint64_t atMs = 0;
        bool held = false;
    };
    static Mark unpack(std::uint64_t word);
    static std::uint64_t pack(const Mark& mark);
    static std::uint64_t lagAt(const Mark& mark, Clock::time_point now);

    std::atomic<std::uint64_t> m_mark{0};
    std::atomic<std::size_t> m_queue{0};
};
