#pragma once

#include <cstdint>

namespace vt::platform {

/// Microseconds from a monotonic source, wrapped to 32 bits: differences
/// taken in the same wrapping arithmetic are right for intervals under 2^31 us.
std::int32_t wrappingMicroseconds();

/// Sleeps at least the given microseconds (nothing for 0 or less), with the
/// system timer's precision rather than whole milliseconds, so that short
/// steps keep their length.
void sleepMicroseconds(std::int64_t microseconds);

/// The game loop's sleep: sleepMicroseconds, or the sleep given to overrideTime.
void sleepInLoop(std::int64_t microseconds);

/// Replaces the time source and the sleep, so that the game loop's
/// arithmetic can be driven step by step. Null restores the system's.
using MicrosecondSource = std::int32_t (*)();
using MicrosecondSleep = void (*)(std::int64_t microseconds);
void overrideTime(MicrosecondSource source, MicrosecondSleep sleep);

} // namespace vt::platform
