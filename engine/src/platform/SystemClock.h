#pragma once

#include <cstdint>

namespace vt::platform {

/// Microseconds from a monotonic source, wrapped to 32 bits: differences
/// taken in the same wrapping arithmetic are right for intervals under 2^31 us.
std::int32_t wrappingMicroseconds();

/// Sleeps at least the given whole milliseconds (nothing for 0 or less).
void sleepMilliseconds(int milliseconds);

/// Sleeps at least the given microseconds (nothing for 0 or less).
void sleepMicroseconds(int microseconds);

/// Replaces the time source and the millisecond sleep, so that the game loop's
/// arithmetic can be driven step by step. Null restores the system's.
using MicrosecondSource = std::int32_t (*)();
using MillisecondSleep = void (*)(int milliseconds);
void overrideTime(MicrosecondSource source, MillisecondSleep sleep);

} // namespace vt::platform
