#include "RingBuffer.h"

#include <algorithm>

// Left uninitialised: nothing is read before it was written, and untouched pages cost an idle
// player no memory.
RingBuffer::RingBuffer(std::size_t capacity)
    : m_samples(new float[capacity]),
      m_capacity(capacity) // NOLINT(cppcoreguidelines-owning-memory)
{
}

std::size_t RingBuffer::write(const float* data, std::size_t count)
{
    const std::uint64_t written = m_written.load(std::memory_order_relaxed);
    const std::size_t n = std::min(count, freeSpace());
    const std::size_t capacity = m_capacity;
    for (std::size_t i = 0; i < n;) {
        const std::size_t at = (written + i) % capacity;
        const std::size_t chunk = std::min(n - i, capacity - at);
        std::copy_n(data + i, chunk, m_samples.get() + at);
        i += chunk;
    }
    m_written.store(written + n, std::memory_order_release);
    return n;
}

std::size_t RingBuffer::freeSpace() const
{
    const std::uint64_t used =
        m_written.load(std::memory_order_relaxed) - m_read.load(std::memory_order_acquire);
    return m_capacity - static_cast<std::size_t>(used);
}

std::uint64_t RingBuffer::writeIndex() const
{
    return m_written.load(std::memory_order_relaxed);
}

void RingBuffer::discardWritten()
{
    m_discardBefore.store(m_written.load(std::memory_order_relaxed), std::memory_order_release);
}

void RingBuffer::discardWithoutConsumer()
{
    const std::uint64_t target = m_discardBefore.load(std::memory_order_relaxed);
    if (m_read.load(std::memory_order_relaxed) < target)
        m_read.store(target, std::memory_order_release);
}

std::size_t RingBuffer::read(float* out, std::size_t count)
{
    std::uint64_t position = m_read.load(std::memory_order_relaxed);
    position = std::max(position, m_discardBefore.load(std::memory_order_acquire));
    const std::uint64_t available = m_written.load(std::memory_order_acquire) - position;
    const std::size_t n = std::min<std::size_t>(count, available);
    const std::size_t capacity = m_capacity;
    for (std::size_t i = 0; i < n;) {
        const std::size_t at = (position + i) % capacity;
        const std::size_t chunk = std::min(n - i, capacity - at);
        std::copy_n(m_samples.get() + at, chunk, out + i);
        i += chunk;
    }
    m_read.store(position + n, std::memory_order_release);
    return n;
}

std::uint64_t RingBuffer::readIndex() const
{
    return m_read.load(std::memory_order_acquire);
}
