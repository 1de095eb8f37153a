#include "DeviceLag.h"

#include "AudioOutput.h"

#include <algorithm>

namespace {

constexpr std::uint64_t SamplesPerSecond =
    std::uint64_t{AudioOutput::SampleRate} * AudioOutput::Channels;
// The word: the held bit on top, then the lag in samples, then the time in milliseconds of the
// steady clock (some 34 years of it).
constexpr int TimeBits = 40;
constexpr int LagBits = 23;
constexpr std::uint64_t TimeMask = (std::uint64_t{1} << TimeBits) - 1;
constexpr std::uint64_t LagMask = (std::uint64_t{1} << LagBits) - 1;
constexpr std::uint64_t HeldBit = std::uint64_t{1} << (TimeBits + LagBits);

std::uint64_t milliseconds(DeviceLag::Clock::time_point now)
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
}

} // namespace

DeviceLag::Mark DeviceLag::unpack(std::uint64_t word)
{
    return {(word >> TimeBits) & LagMask, word & TimeMask, (word & HeldBit) != 0};
}

std::uint64_t DeviceLag::pack(const Mark& mark)
{
    return (mark.held ? HeldBit : 0) | (std::min(mark.lag, LagMask) << TimeBits) |
           (mark.atMs & TimeMask);
}

std::uint64_t DeviceLag::lagAt(const Mark& mark, Clock::time_point now)
{
    if (mark.held)
        return mark.lag;
    const std::uint64_t nowMs = milliseconds(now) & TimeMask;
    const std::uint64_t played =
        nowMs > mark.atMs ? (nowMs - mark.atMs) * SamplesPerSecond / 1000 : 0;
    return mark.lag > played ? mark.lag - played : 0;
}

// Runs on the audio thread. Should a pause have come meanwhile, the pause's mark stands.
void DeviceLag::rendered(std::size_t taken, std::size_t count, Clock::time_point now)
{
    const std::uint64_t queue = m_queue.load(std::memory_order_relaxed);
    std::uint64_t word = m_mark.load(std::memory_order_relaxed);
    const Mark before = unpack(word);
    if (queue == 0 || before.held)
        return;
    const std::uint64_t lag =
        taken == count ? queue : std::min<std::uint64_t>(queue, lagAt(before, now) + taken);
    m_mark.compare_exchange_strong(word, pack({lag, milliseconds(now), false}),
                                   std::memory_order_relaxed);
}

void DeviceLag::hold(Clock::time_point now)
{
    std::uint64_t word = m_mark.load(std::memory_order_relaxed);
    while (!unpack(word).held &&
           !m_mark.compare_exchange_weak(word, pack({lagAt(unpack(word), now), 0, true}),
                                         std::memory_order_relaxed)) {
    }
}

// What was held is played from now on.
void DeviceLag::resume(Clock::time_point now)
{
    std::uint64_t word = m_mark.load(std::memory_order_relaxed);
    while (unpack(word).held &&
           !m_mark.compare_exchange_weak(word, pack({unpack(word).lag, milliseconds(now), false}),
                                         std::memory_order_relaxed)) {
    }
}

std::uint64_t DeviceLag::samples(Clock::time_point now) const
{
    return lagAt(unpack(m_mark.load(std::memory_order_relaxed)), now);
}
