#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// A single-producer, single-consumer queue of samples that needs no lock on either side.
// The feeder thread is the only producer and the audio callback the only consumer. Indices
// count every sample ever written or read, so they also serve as a timeline: a song starts at
// the write index it was first written at, and the read index says how much has been heard.
class RingBuffer {
public:
    explicit RingBuffer(std::size_t capacity);

    // Producer side. Copies as much of data as fits and returns how many samples that was.
    std::size_t write(const float* data, std::size_t count);
    // Room the producer may fill now. Samples whose discard is still pending take up room
    // until the consumer has stepped over them.
    [[nodiscard]] std::size_t freeSpace() const;
    [[nodiscard]] std::uint64_t writeIndex() const;
    // Asks the consumer to skip everything written so far, so a replaced song stops at once.
    void discardWritten();
    // Performs a pending discard on the producer's side. Call only while no consumer can run,
    // for instance while the audio device is closed.
    void discardWithoutConsumer();

    // Consumer side. Copies up to count samples and returns how many; never blocks.
    std::size_t read(float* out, std::size_t count);
    [[nodiscard]] std::uint64_t readIndex() const;

private:
    std::unique_ptr<float[]> m_samples;
    std::size_t m_capacity;
    std::atomic<std::uint64_t> m_written{0};
    std::atomic<std::uint64_t> m_read{0};
    std::atomic<std::uint64_t> m_discardBefore{0};
};
