#pragma once

#include <atomic>
#include <chrono>
#include <semaphore>

// The feeder thread's one way of being woken: any thread raises it, the feeder sleeps on it.
// Raises that come while it is already raised count once, so the semaphore never goes past
// one, and a raise that comes while the feeder is busy makes its next sleep return at once.
class Wakeup {
public:
    // Any thread. Never blocks and never allocates, so SDL's audio thread may raise it.
    void raise() noexcept;
    // The waiting thread only. Returns once raised, and lowers it again.
    void wait() noexcept;
    // Likewise, but gives up after timeout.
    void waitFor(std::chrono::milliseconds timeout) noexcept;

private:
    void lower() noexcept;

    std::atomic<bool> m_raised{false};
    std::binary_semaphore m_posted{0};
};
