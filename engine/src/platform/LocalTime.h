#pragma once

#include <cstdint>

namespace vt::platform {

/// The local time of day; 0, or -1 when the clock or its conversion failed.
int localTimeOfDay(int* p_hours, int* p_minutes, int* p_seconds);
/// Calendar time in seconds since the epoch.
std::int64_t calendarSeconds();

} // namespace vt::platform
