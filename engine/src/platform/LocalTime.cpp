#include "platform/LocalTime.h"

#include <ctime>

namespace vt::platform {

int localTimeOfDay(int* p_hours, int* p_minutes, int* p_seconds) {
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1))
        return -1;
    std::tm local{};
    if (!localtime_r(&now, &local))
        return -1;
    *p_hours = local.tm_hour;
    *p_minutes = local.tm_min;
    *p_seconds = local.tm_sec;
    return 0;
}

std::int64_t calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

} // namespace vt::platform
