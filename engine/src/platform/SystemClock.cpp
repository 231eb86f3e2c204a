#include "platform/SystemClock.h"

#include <cerrno>
#include <ctime>

namespace vt::platform {

namespace {

MicrosecondSource g_source = nullptr;
MicrosecondSleep g_sleep = nullptr;

void sleepFor(long long nanoseconds) {
    if (nanoseconds <= 0)
        return;
    timespec request{};
    request.tv_sec = static_cast<time_t>(nanoseconds / 1000000000LL);
    request.tv_nsec = static_cast<long>(nanoseconds % 1000000000LL);
    timespec remaining{};
    while (nanosleep(&request, &remaining) == -1 && errno == EINTR)
        request = remaining;
}

} // namespace

std::int32_t wrappingMicroseconds() {
    if (g_source)
        return g_source();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t micros =
        static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
    // Modulo 2^32, read as two's complement.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(micros));
}

void sleepMicroseconds(std::int64_t microseconds) { sleepFor(static_cast<long long>(microseconds) * 1000LL); }

void sleepInLoop(std::int64_t microseconds) {
    if (g_sleep)
        g_sleep(microseconds);
    else
        sleepMicroseconds(microseconds);
}

void overrideTime(MicrosecondSource source, MicrosecondSleep sleep) {
    g_source = source;
    g_sleep = sleep;
}

} // namespace vt::platform
