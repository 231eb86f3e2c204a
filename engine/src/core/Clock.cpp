#include "vintrel/core/Clock.h"

#include "platform/SystemClock.h"

namespace vt {

namespace {

// Difference in 32-bit two's-complement arithmetic, wrapping like the clock.
std::int32_t wrappedDifference(std::int32_t later, std::int32_t earlier) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(later) - static_cast<std::uint32_t>(earlier));
}

} // namespace

Clock::Clock() : m_previous_time(platform::wrappingMicroseconds()) {}

std::int32_t Clock::delta() {
    const std::int32_t now = platform::wrappingMicroseconds();
    const std::int32_t elapsed = wrappedDifference(now, m_previous_time);
    m_previous_time = now;
    return elapsed;
}

std::int32_t Clock::split() const {
    return wrappedDifference(platform::wrappingMicroseconds(), m_previous_time);
}

} // namespace vt
