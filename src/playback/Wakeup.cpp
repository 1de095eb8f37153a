#include "Wakeup.h"

// Only the raise that finds it lowered posts the semaphore. A raise between the waiter's
// acquire and its lowering posts nothing, but the waiter's exchange reads it and so sees
// everything the raiser wrote before raising.
void Wakeup::raise() noexcept
{
    if (!m_raised.exchange(true, std::memory_order_acq_rel))
        m_posted.release();
}

void Wakeup::wait() noexcept
{
    m_posted.acquire();
    lower();
}

void Wakeup::waitFor(std::chrono::milliseconds timeout) noexcept
{
    if (m_posted.try_acquire_for(timeout))
        lower();
}

void Wakeup::lower() noexcept
{
    m_raised.exchange(false, std::memory_order_acq_rel);
}
