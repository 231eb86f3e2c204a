#pragma once

#include <cstdint>

namespace vt {

/// The game loop's stopwatch, in microseconds. Readings wrap at 32 bits, so
/// an interval is right while it stays under 2^31 microseconds.
class Clock {
  public:
    /// Starts timing now.
    Clock();
    /// Microseconds since the previous delta() (or construction); restarts timing.
    std::int32_t delta();
    /// Microseconds since the previous delta() (or construction); keeps timing.
    std::int32_t split() const;

  private:
    std::int32_t m_previous_time;
};

} // namespace vt
