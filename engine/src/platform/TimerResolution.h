#pragma once

namespace vt::platform {

/// The multimedia timer service's answer when it cannot honour a resolution.
constexpr int TIMER_NO_CAN_DO = 97;

/// Asks for the given timer resolution in milliseconds; 0 or TIMER_NO_CAN_DO.
/// POSIX sleeps already honour short intervals, so this always succeeds.
int beginTimerResolution(unsigned milliseconds);
/// Releases a resolution asked for with beginTimerResolution.
int endTimerResolution(unsigned milliseconds);

} // namespace vt::platform
